#pragma once

#include "stemmer.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace claimcheck::report {

// The words of a description that a reader would look at instead of a claim word it lacks: first those with the
// claim word's stem, then those the fewest edits away (letters inserted, deleted or replaced, case ignored). A word
// of up to four letters may be one edit away, of up to eight two, a longer one three: more would make every short
// word near every other.
class NearestWords {
public:
    // `words` are the description's words, each once in any case, in the order the nearest should list them
    // among equals (the word lists' order).
    NearestWords(const QStringList& words, Stemmer& stemmer);

    // At most kMostNearest words, nearest first; none when no word is near enough.
    QStringList of(const QString& word) const;

    static constexpr int kMostNearest = 3;

private:
    struct Word {
        QString spelling;
        QString lower;
    };
    Stemmer& m_stemmer;
    std::vector<Word> m_words;
    QHash<QString, std::vector<int>> m_byStem;
    // The words of each length (in UTF-16 units) that some word has, in order: a table of every length up to the
    // longest would be of the size of one long word.
    QHash<qsizetype, std::vector<int>> m_byLength;
};

// The Levenshtein distance of the two words, or `limit` + 1 when it exceeds `limit`.
int editDistance(QStringView a, QStringView b, int limit);

// Fills each finding's nearest words from the description index (words and stems rules).
void addNearestWords(CheckResult& result);

} // namespace claimcheck::report
