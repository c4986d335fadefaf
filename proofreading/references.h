#pragma once

#include "claims/claim_set.h"
#include "findings.h"

#include <QString>

#include <vector>

namespace claimcheck::proofreading {

// The numbering and the references of the claims: errors for a claim that depends on itself, on a later, a missing
// or a canceled claim, for a number used twice or out of order; a warning for a multiple dependent claim that
// depends on another (which EP practice allows and US practice does not).
std::vector<ProofFinding> checkReferences(const QString& text, const claims::ClaimSet& claims);

} // namespace claimcheck::proofreading
