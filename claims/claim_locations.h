#pragma once

#include "claim_set.h"

#include <QString>

#include <vector>

namespace claimcheck::claims {

// Where an occurrence stands, counted in Unicode characters (a surrogate pair is one): its line and column, both
// 1-based, its 0-based offset from the start of the claims text (a line break counts one), and the number of the
// claim it belongs to, 0 where no claim number comes before it.
struct Location {
    int claim = 0;
    qsizetype line = 0;
    qsizetype column = 0;
    qsizetype offset = 0;
};

// The locations of the offsets (UTF-16 code units into `text`, in any order), in the same order, found in one
// pass over the text. Lines count from `firstLine`. The claims are those of `claims`, read from the same text.
std::vector<Location> locate(const QString& text, const ClaimSet& claims, const std::vector<qsizetype>& offsets,
                             qsizetype firstLine = 1);

// The same, for a text whose claims are still to be read (readClaims).
std::vector<Location> locate(const QString& text, const std::vector<qsizetype>& offsets, qsizetype firstLine = 1);

} // namespace claimcheck::claims
