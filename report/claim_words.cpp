#include "claim_words.h"

#include "collation/dictionary_order.h"

namespace claimcheck::report {

// One text needs no sort key, which for one long word is as long as it.
QStringList inListOrder(const DictionaryOrder& order, const QStringList& texts) {
    if (texts.size() < 2)
        return texts;
    QStringList sorted;
    sorted.reserve(texts.size());
    for (const quint32 position : order.sortedPositions(texts))
        sorted.append(texts.at(position));
    return sorted;
}

void fillLists(CheckResult& result, std::vector<ClaimWord>& words, const std::vector<bool>& supported,
               const QStringList& descriptionWords) {
    const DictionaryOrder order;
    QStringList claimWords;
    claimWords.reserve(qsizetype(words.size()));
    QStringList unsupportedWords;
    std::vector<std::size_t> unsupported;
    for (std::size_t i = 0; i < words.size(); ++i) {
        claimWords.append(words[i].spelling);
        if (!supported[i]) {
            unsupportedWords.append(words[i].spelling);
            unsupported.push_back(i);
        }
    }
    result.claimsIndex = inListOrder(order, claimWords);
    result.descriptionIndex = inListOrder(order, descriptionWords);
    for (const quint32 position : order.sortedPositions(unsupportedWords)) {
        ClaimWord& word = words[unsupported[position]];
        result.unsupported.push_back(Finding{word.spelling, std::move(word.occurrences), {}});
    }
}

} // namespace claimcheck::report
