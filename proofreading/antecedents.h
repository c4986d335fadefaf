#pragma once

#include "claims/claim_set.h"
#include "findings.h"

#include <QString>

#include <vector>

namespace claimcheck::proofreading {

// Antecedent basis. Each "the X", "said X", "such X", "each X" needs an introduction of X ("a X", "at least one
// X", "two X", a bare plural, ...) earlier in its claim or in a claim that claim depends on, directly or not. A
// reference's words must all be among the introduction's (ordinals too), in singular or plural. Errors: nothing in
// the chain introduces it. Warnings: only a claim outside the chain does; only some parents of a multiple dependent
// claim do; only a plural introduces a singular reference; "a X" once more where X is already introduced. Not
// reference phrases: "the same", "the other", "the end of ...", "the amount of ..." and the like, and "the device
// of claim 1", which names the claim's subject.
std::vector<ProofFinding> checkAntecedents(const QString& text, const claims::ClaimSet& claims);

} // namespace claimcheck::proofreading
