#include "support_check.h"

#include "analysis/multi_word_matcher.h"
#include "analysis/upper_case.h"
#include "analysis/word_index.h"
#include "collation/dictionary_order.h"
#include "text_words.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <numeric>
#include <string>
#include <string_view>

namespace claimcheck::report {

namespace {

std::u16string_view view(QStringView text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())};
}

QString toQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

QString upperKey(QStringView word) {
    return toQString(upperCase(view(word)));
}

// The texts in the word lists' order.
QStringList inListOrder(const DictionaryOrder& order, const QStringList& texts) {
    QStringList sorted;
    sorted.reserve(texts.size());
    for (const quint32 position : order.sortedPositions(texts))
        sorted.append(texts.at(position));
    return sorted;
}

QStringList toStringList(const std::vector<std::u16string>& words) {
    QStringList list;
    list.reserve(qsizetype(words.size()));
    for (const std::u16string& word : words)
        list.append(toQString(word));
    return list;
}

// The occurrences that picking the word in the list of unsupported words walks through, as the results window's
// find-next does: a case-blind search of the claims text from offset 1, each next search just after the occurrence
// found. An empty word has none.
std::vector<qsizetype> findNextWalk(const QString& claims, const QString& word) {
    std::vector<qsizetype> occurrences;
    if (word.isEmpty())
        return occurrences;
    for (qsizetype from = 1;;) {
        const qsizetype found = claims.indexOf(word, from, Qt::CaseInsensitive);
        if (found < 1)
            break;
        occurrences.push_back(found);
        from = found + word.size();
    }
    return occurrences;
}

} // namespace

QString rulesName(Rules rules) {
    switch (rules) {
    case Rules::Classic:
        return QStringLiteral("classic");
    case Rules::Words:
        return QStringLiteral("words");
    case Rules::Stems:
        break;
    }
    return QStringLiteral("stems");
}

QString languageCode(Language language) {
    switch (language) {
    case Language::German:
        return QStringLiteral("de");
    case Language::French:
        return QStringLiteral("fr");
    case Language::English:
        break;
    }
    return QStringLiteral("en");
}

const QStringList& builtInIgnoredWords() {
    static const QStringList words{
        QStringLiteral("ACCORDING"), QStringLiteral("CHARACTERISED"), QStringLiteral("CHARACTERIZED"),
        QStringLiteral("CLAIM"),     QStringLiteral("CLAIMED"),       QStringLiteral("CLAIMS"),
        QStringLiteral("COMPRISES"), QStringLiteral("COMPRISING"),    QStringLiteral("CONSISTING"),
        QStringLiteral("HEREIN"),    QStringLiteral("SAID"),          QStringLiteral("THEREBY"),
        QStringLiteral("THEREFROM"), QStringLiteral("THEREIN"),       QStringLiteral("THEREOF"),
        QStringLiteral("THEREON"),   QStringLiteral("THERETO"),       QStringLiteral("THEREWITH"),
        QStringLiteral("WHEREBY"),   QStringLiteral("WHEREIN"),
    };
    return words;
}

CheckResult checkClassic(const QString& claims, const QString& description) {
    const DictionaryOrder order;
    CheckResult result;
    result.rules = Rules::Classic;
    const WordIndex claimsIndex = BuildWordIndex(view(claims));
    const WordIndex descriptionIndex = BuildWordIndex(view(description));
    result.claimsIndex = inListOrder(order, toStringList(claimsIndex.words));
    result.descriptionIndex = inListOrder(order, toStringList(descriptionIndex.words));

    // The claims index is tested in the order its list shows it, as the check run reads it back.
    std::vector<std::u16string> entries;
    entries.reserve(std::size_t(result.claimsIndex.size()));
    for (const QString& entry : std::as_const(result.claimsIndex))
        entries.emplace_back(view(entry));
    const QStringList unsupported =
        inListOrder(order, toStringList(FindUnsupportedWords(entries, descriptionIndex.wordString)));

    QHash<QString, std::vector<qsizetype>> walks; // a word listed twice walks the same occurrences
    for (const QString& word : unsupported) {
        auto walk = walks.find(word);
        if (walk == walks.end())
            walk = walks.insert(word, findNextWalk(claims, word));
        result.unsupported.push_back(Finding{word, *walk, {}});
    }
    return result;
}

std::vector<TextWord> wordsOf(const QString& text) {
    std::vector<TextWord> words;
    forEachWord(text, [&words](qsizetype offset, QStringView word) {
        words.push_back(TextWord{offset, word.toString()});
    });
    return words;
}

CheckResult checkWords(const QString& claims, const QString& description, const QStringList& ignored) {
    const DictionaryOrder order;
    CheckResult result;
    result.rules = Rules::Words;

    QSet<QString> leftOut;
    for (const QString& word : builtInIgnoredWords())
        leftOut.insert(word);
    for (const QString& word : ignored)
        leftOut.insert(upperKey(word));

    // The claims' words, one entry for each word in whatever case, with every occurrence.
    struct Entry {
        QString spelling;
        QString key;
        std::vector<qsizetype> occurrences;
    };
    std::vector<Entry> entries;
    QHash<QString, std::size_t> entryOf;
    forEachWord(claims, [&](qsizetype offset, QStringView word) {
        QString key = upperKey(word);
        if (leftOut.contains(key))
            return;
        auto found = entryOf.find(key);
        if (found == entryOf.end()) {
            found = entryOf.insert(key, entries.size());
            entries.push_back(Entry{word.toString(), std::move(key), {}});
        }
        entries[*found].occurrences.push_back(offset);
    });

    // The description's words likewise, joined by spaces for the matcher: no claim word holds a space, so none is
    // found across two words.
    // A word met before in the same spelling, as most are, needs no case mapping: the spellings seen are views into
    // the description.
    QStringList descriptionWords;
    QSet<QStringView> spellings;
    QSet<QString> descriptionKeys;
    std::u16string joined;
    forEachWord(description, [&](qsizetype, QStringView word) {
        if (spellings.contains(word))
            return;
        spellings.insert(word);
        QString key = upperKey(word);
        if (descriptionKeys.contains(key))
            return;
        descriptionWords.append(word.toString());
        joined += view(key);
        joined += u' ';
        descriptionKeys.insert(std::move(key));
    });

    // Added in sorted order, each word costs the matcher time in proportion to its length only.
    std::vector<std::size_t> byKey(entries.size());
    std::iota(byKey.begin(), byKey.end(), std::size_t{0});
    std::sort(byKey.begin(), byKey.end(),
              [&entries](std::size_t a, std::size_t b) { return entries[a].key < entries[b].key; });
    MultiWordMatcher matcher;
    std::vector<MultiWordMatcher::WordId> ids(entries.size());
    for (const std::size_t i : byKey)
        ids[i] = matcher.add(view(entries[i].key));
    const std::vector<bool> found = matcher.findIn(joined);

    QStringList claimWords;
    claimWords.reserve(qsizetype(entries.size()));
    QStringList unsupportedWords;
    std::vector<std::size_t> unsupportedEntries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        claimWords.append(entries[i].spelling);
        if (!found[ids[i]]) {
            unsupportedWords.append(entries[i].spelling);
            unsupportedEntries.push_back(i);
        }
    }
    result.claimsIndex = inListOrder(order, claimWords);
    result.descriptionIndex = inListOrder(order, descriptionWords);
    for (const quint32 position : order.sortedPositions(unsupportedWords)) {
        Entry& entry = entries[unsupportedEntries[position]];
        result.unsupported.push_back(Finding{entry.spelling, std::move(entry.occurrences), {}});
    }
    return result;
}

} // namespace claimcheck::report
