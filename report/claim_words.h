#pragma once

// What the words rules and the stems rules share: the claims' words with their occurrences, and the three lists of
// a check in the word lists' order.

#include "support_check.h"
#include "text_words.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

namespace claimcheck {
class DictionaryOrder;
}

namespace claimcheck::report {

// A word of the claims: one for each word in whatever case, spelt as it first occurs, with every occurrence.
struct ClaimWord {
    QString spelling;
    QString key; // the same for every case of the word
    std::vector<qsizetype> occurrences;
};

// The claims' words in the order they first occur. `wordOf(found)` gives the word that a word found in the text
// stands for (a piece of it), `keyOf(word)` its key; words whose key is left out are passed over.
template <typename WordOf, typename KeyOf>
std::vector<ClaimWord> claimWordsOf(QStringView claims, const QSet<QString>& leftOut, WordOf wordOf, KeyOf keyOf) {
    std::vector<ClaimWord> words;
    QHash<QString, std::size_t> wordOfKey;
    forEachWord(claims, [&](qsizetype offset, QStringView found) {
        const QStringView word = wordOf(found);
        QString key = keyOf(word);
        if (leftOut.contains(key))
            return;
        auto known = wordOfKey.find(key);
        if (known == wordOfKey.end()) {
            known = wordOfKey.insert(key, words.size());
            words.push_back(ClaimWord{word.toString(), std::move(key), {}});
        }
        words[*known].occurrences.push_back(offset);
    });
    return words;
}

// The texts in the word lists' order.
QStringList inListOrder(const DictionaryOrder& order, const QStringList& texts);

// The result's claims index (every claim word), description index and unsupported words (the claim words not
// `supported`, with their occurrences, which are moved out of `words`), each in the word lists' order.
void fillLists(CheckResult& result, std::vector<ClaimWord>& words, const std::vector<bool>& supported,
               const QStringList& descriptionWords);

} // namespace claimcheck::report
