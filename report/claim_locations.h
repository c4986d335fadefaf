#pragma once

#include <QString>

#include <vector>

namespace claimcheck::report {

// Where an occurrence stands, counted in Unicode characters (a surrogate pair is one): its line and column, both
// 1-based, its 0-based offset from the start of the claims text (a line break counts one), and the number of the
// claim it belongs to, 0 where no claim number comes before it.
struct Location {
    int claim = 0;
    qsizetype line = 0;
    qsizetype column = 0;
    qsizetype offset = 0;
};

// The claim number that a line of the claims starts with, or 0: "1.", "1 .", "1)", "Claim 1" (also followed by
// ".", ":" or ")"), after any blanks. A number is not one when a digit follows its stop ("3.5 mm"), nor "claim 1,"
// that continues a sentence.
int claimNumberAtLineStart(QStringView line);

// The locations of the offsets (UTF-16 code units into `claims`, in any order), in the same order, found in one
// pass over the text. Lines count from `firstLine`. A claim number counts only when it follows the one before by
// one to ten (claims cancelled from a set leave gaps), so that a numbered list inside a claim does not start a
// new claim.
std::vector<Location> locate(const QString& claims, const std::vector<qsizetype>& offsets, qsizetype firstLine = 1);

} // namespace claimcheck::report
