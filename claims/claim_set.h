#pragma once

#include <QString>
#include <QStringView>

#include <utility>
#include <vector>

namespace claimcheck::claims {

// A claim number as the text gives it, and where it stands (UTF-16 code units into the claims text).
struct NumberAt {
    int number = 0;
    qsizetype offset = 0;
    qsizetype length = 0;
};

// A phrase of a claim that names other claims: "claim 3", "claims 1 to 4", "claim 2 or 5", "any one of the
// preceding claims".
struct ClaimReference {
    qsizetype offset = 0; // the whole phrase
    qsizetype length = 0;
    std::vector<NumberAt> numbers;           // every number written, in order
    std::vector<std::pair<int, int>> ranges; // "1 to 4", "1-4": first and last, both among `numbers` too
    bool allPreceding = false;               // "any of the preceding claims"
    bool inPreamble = false;                 // only these make the claim depend on others
};

enum class NumberingFault {
    None,
    Duplicate,  // the number of a claim before
    OutOfOrder, // lower than the number of the claim before
};

struct Claim {
    int number = 0;
    int lastNumber = 0; // of a range of canceled claims, "4-7. (canceled)"; the number itself otherwise
    bool canceled = false;
    NumberingFault fault = NumberingFault::None;
    NumberAt numberAt;         // the number that starts it (the first of a range)
    qsizetype start = 0;       // where it starts: its line's start, or its number where it starts inside a line
    qsizetype textStart = 0;   // its text, after the number and any status word such as "(Original)"
    qsizetype end = 0;         // where the next claim starts, or the text's end
    qsizetype preambleEnd = 0; // the end of the part before "wherein", "comprising", "characterised", ...
    std::vector<ClaimReference> references;
    std::vector<int> parents;       // the existing, earlier, not canceled claims its preamble names, ascending
    bool multipleDependent = false; // its preamble names more than one claim, or all the preceding ones
};

// The claims of a text in the order they stand. A claim starts at the start of a line with its number ("1.",
// "1)", "Claim 1", "3-5." for a range), or inside a line where "N." follows a full stop and is followed by a
// capital letter or a bracket, N being the next number: claims copied from a patent's web page often come as one
// paragraph. Text before the first claim belongs to none.
struct ClaimSet {
    std::vector<Claim> claims;
    // The claims' numbers and indexes, ascending by number (the first claim of a number used twice); readClaims
    // fills it.
    std::vector<std::pair<int, int>> byNumber;

    // The claim that holds a number (also inside a canceled range), the first one where the number is used twice;
    // null where none does.
    const Claim* numbered(int number) const;
    // The index of the claim an offset of the text belongs to, or -1 before the first claim.
    int indexAt(qsizetype offset) const;
    // The claims a claim depends on, itself left out, directly or through others: indexes, ascending.
    std::vector<int> ancestors(std::size_t index) const;
};

ClaimSet readClaims(const QString& text);

// The claim number that a line of the claims starts with, or 0: "1.", "1 .", "1)", "Claim 1" (also followed by
// ".", ":" or ")"), "3-5." (3), after any blanks. A number is not one when a digit follows its stop ("3.5 mm"),
// nor "claim 1," that continues a sentence.
int claimNumberAtLineStart(QStringView line);

} // namespace claimcheck::claims
