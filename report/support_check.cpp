#include "support_check.h"

#include "analysis/multi_word_matcher.h"
#include "analysis/upper_case.h"
#include "analysis/word_index.h"
#include "claim_words.h"
#include "collation/dictionary_order.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <numeric>
#include <string>
#include <string_view>
#include <unordered_set>

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

// The distinct keys of the description's words, joined by spaces for the matcher: each key is held once, in the
// joined string, and the set that tells a new key from one met before holds where it stands there.
class JoinedKeys {
public:
    JoinedKeys() = default;
    JoinedKeys(const JoinedKeys&) = delete; // the set's functions point at the joined string
    JoinedKeys& operator=(const JoinedKeys&) = delete;

    // Appends the key and a space, unless the key was added before; tells whether it was new.
    bool add(std::u16string_view key) {
        if (m_spans.find(key) != m_spans.end())
            return false;
        // Grown ahead, in doubling steps: appending the space to a string just grown to fit a long key would copy
        // it to a string of twice its size.
        const std::size_t size = m_joined.size() + key.size() + 1;
        if (size > m_joined.capacity())
            m_joined.reserve(std::max(size, 2 * m_joined.capacity()));
        const Span span{m_joined.size(), key.size()};
        m_joined += key;
        m_joined += u' ';
        m_spans.insert(span);
        return true;
    }
    const std::u16string& joined() const { return m_joined; }

private:
    struct Span {
        std::size_t offset;
        std::size_t length;
    };
    struct Text {
        using is_transparent = void;
        const std::u16string* joined;
        std::u16string_view operator()(Span span) const {
            return std::u16string_view(*joined).substr(span.offset, span.length);
        }
        std::u16string_view operator()(std::u16string_view key) const { return key; }
    };
    struct Hash : Text {
        template <typename Key> std::size_t operator()(const Key& key) const {
            return std::hash<std::u16string_view>{}(Text::operator()(key));
        }
    };
    struct Equal : Text {
        template <typename A, typename B> bool operator()(const A& a, const B& b) const {
            return Text::operator()(a) == Text::operator()(b);
        }
    };
    std::u16string m_joined;
    std::unordered_set<Span, Hash, Equal> m_spans{0, Hash{{&m_joined}}, Equal{{&m_joined}}};
};

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

CheckResult checkClassic(const QString& claims, QString description) {
    const DictionaryOrder order;
    CheckResult result;
    result.rules = Rules::Classic;
    const WordIndex claimsIndex = BuildWordIndex(view(claims));
    WordIndex descriptionIndex = BuildWordIndex(view(description));
    // From here on the description's index stands for it; its words, once listed, are not held twice either.
    description = QString();
    result.claimsIndex = inListOrder(order, toStringList(claimsIndex.words));
    result.descriptionIndex = inListOrder(order, toStringList(descriptionIndex.words));
    descriptionIndex.words = {};

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

    std::vector<ClaimWord> entries = claimWordsOf(
        claims, leftOut, [](QStringView word) { return word; }, upperKey);

    // The description's words likewise, joined by spaces for the matcher: no claim word holds a space, so none is
    // found across two words.
    // A word met before in the same spelling, as most are, needs no case mapping: the spellings seen are views into
    // the description. A word's key is let go of before its spelling is copied, so that a description of one long
    // word is held no more than three times.
    QStringList descriptionWords;
    QSet<QStringView> spellings;
    JoinedKeys keys;
    forEachWord(description, [&](qsizetype, QStringView word) {
        if (spellings.contains(word))
            return;
        spellings.insert(word);
        if (keys.add(upperCase(view(word))))
            descriptionWords.append(word.toString());
    });
    const std::u16string& joined = keys.joined();

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

    std::vector<bool> supported(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        supported[i] = found[ids[i]];
    fillLists(result, entries, supported, descriptionWords);
    return result;
}

} // namespace claimcheck::report
