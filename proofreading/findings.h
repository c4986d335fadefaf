#pragma once

#include <QString>

#include <vector>

namespace claimcheck::proofreading {

enum class Tier {
    Error,   // the claim is wrong as written
    Warning, // doubtful, or allowed by some offices: for the practitioner to judge
};

// One finding of a proofreading check: where it stands (UTF-16 code units into the claims text), the words it is
// about as the claim writes them, and what is wrong.
struct ProofFinding {
    int claim = 0;
    qsizetype offset = 0;
    qsizetype length = 0;
    Tier tier = Tier::Error;
    QString term;
    QString message;
};

// The findings in text order, errors before warnings at the same place.
void sortFindings(std::vector<ProofFinding>& findings);

} // namespace claimcheck::proofreading
