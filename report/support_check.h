#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace claimcheck::report {

enum class Rules {
    // The windowed program's check: its word indexes and unsupported words, by the same core functions.
    Classic,
    // Words split at any white space, punctuation stripped from their ends, numbers, labels and the claims' own
    // words left out; a claim word is supported inside one description word.
    Words,
};

QString rulesName(Rules rules);

// One unsupported word, and where it stands in the claims text: the offsets (in UTF-16 code units) of its
// occurrences, in text order.
struct Finding {
    QString word;
    std::vector<qsizetype> occurrences;
};

// The outcome of a check, whichever rules made it. Every list is in the word lists' dictionary order.
struct CheckResult {
    Rules rules = Rules::Words;
    QStringList claimsIndex;
    QStringList descriptionIndex;
    std::vector<Finding> unsupported;
};

// The claims' own words that the `words` rules leave out, upper-case.
const QStringList& builtInIgnoredWords();

// The windows' check on the two texts as their boxes hold them (asTextBoxHoldsIt): the claims index, the
// description index and the unsupported words are the three lists of the results window, each entry as often as
// there. A word's occurrences are those that the window's find-next walks through in the claims: case ignored,
// from the second character on, each search starting after the occurrence before. The description is let go of
// once its index is made, when it was handed over.
CheckResult checkClassic(const QString& claims, QString description);

// The `words` rules. `ignored` holds the user's own words to leave out, besides the built-in ones; case does not
// matter. Each index entry stands for a word in every case, spelt as it first occurs; its occurrences in the
// claims are those of that word in any case.
CheckResult checkWords(const QString& claims, const QString& description, const QStringList& ignored);

// The `words` rules' pieces, for their tests: the words of a text, each with its offset, in text order.
struct TextWord {
    qsizetype offset;
    QString word;
};
std::vector<TextWord> wordsOf(const QString& text);

} // namespace claimcheck::report
