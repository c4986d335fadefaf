#include "findings.h"

#include <algorithm>

namespace claimcheck::proofreading {

void sortFindings(std::vector<ProofFinding>& findings) {
    std::stable_sort(findings.begin(), findings.end(), [](const ProofFinding& a, const ProofFinding& b) {
        return a.offset != b.offset ? a.offset < b.offset : a.tier < b.tier;
    });
}

} // namespace claimcheck::proofreading
