// The stems rules: claim words against the stems of the description's whole words.

#include "collation/dictionary_order.h"
#include "stemmer.h"
#include "support_check.h"
#include "text_words.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <deque>

namespace claimcheck::report {

namespace {

bool isHyphen(QChar c) {
    return c == u'-' || c == u'\u2010' || c == u'\u2011';
}

// Where the stems rules take a word apart: hyphens, slashes, en and em dashes.
bool isPartSeparator(QChar c) {
    return isHyphen(c) || c == u'/' || c == u'\u2013' || c == u'\u2014';
}

// The word less a final possessive: "lever's" is "lever". ("levers'" has lost its apostrophe with the
// punctuation at its end.)
QStringView withoutPossessive(QStringView word) {
    if (word.size() > 2 && (word.endsWith(u's') || word.endsWith(u'S')) &&
        (word.at(word.size() - 2) == u'\'' || word.at(word.size() - 2) == u'\u2019'))
        return word.chopped(2);
    return word;
}

// The parts of a word between the separators that `separates` picks, empty ones left out.
template <typename Separates> std::vector<QStringView> partsOf(QStringView word, Separates separates) {
    std::vector<QStringView> parts;
    qsizetype begin = 0;
    for (qsizetype i = 0; i <= word.size(); ++i) {
        if (i == word.size() || separates(word.at(i))) {
            if (i > begin)
                parts.push_back(word.sliced(begin, i - begin));
            begin = i + 1;
        }
    }
    return parts;
}

bool isSlashOrDash(QChar c) {
    return isPartSeparator(c) && !isHyphen(c);
}

// A claim word (or a piece of one between slashes and dashes) of hyphenated parts: "cross-section". It is
// supported where the description has its parts in order, joined by hyphens or blanks, the last in any inflection.
struct HyphenPattern {
    QStringList lowerParts; // all but the last, which is matched in any inflection
    QString last;
    QString lastStem;
    bool found = false;
};

// One piece of a description word: the word itself, or a part between its separators.
struct Piece {
    QString lower;
    QString stem;
    bool joinedToPrevious = false; // a hyphen stands between it and the piece before, in the same word
    std::vector<int> patternsEndingHere;
};

struct DescriptionEntry {
    std::vector<Piece> pieces; // the whole word's parts in order, or the word alone
};

bool allWhiteSpace(QStringView text) {
    for (qsizetype i = 0; i < text.size(); i += codePointLength(codePointAt(text, i)))
        if (!words_detail::isWhiteSpace(codePointAt(text, i)))
            return false;
    return true;
}

// The pieces met last in the description, each with whether it is joined to the one before by a hyphen or white
// space alone, for the hyphenated claim words.
class RecentPieces {
public:
    explicit RecentPieces(std::size_t capacity) : m_capacity(capacity) {}
    void push(const Piece* piece, bool joined) {
        if (m_pieces.size() == m_capacity)
            m_pieces.pop_front();
        m_pieces.push_back({piece, joined});
    }
    // Whether the pieces before the last one are the pattern's first parts, all joined.
    bool endsWith(const HyphenPattern& pattern) const {
        const auto n = std::size_t(pattern.lowerParts.size());
        if (m_pieces.size() < n + 1)
            return false;
        for (std::size_t k = 0; k < n; ++k) {
            const auto& [piece, joined] = m_pieces[m_pieces.size() - 1 - n + k];
            const bool nextJoined = m_pieces[m_pieces.size() - n + k].second;
            if (!nextJoined || piece->lower != pattern.lowerParts[qsizetype(k)])
                return false;
        }
        return true;
    }

private:
    std::size_t m_capacity;
    std::deque<std::pair<const Piece*, bool>> m_pieces;
};

QStringList inListOrder(const DictionaryOrder& order, const QStringList& texts) {
    QStringList sorted;
    sorted.reserve(texts.size());
    for (const quint32 position : order.sortedPositions(texts))
        sorted.append(texts.at(position));
    return sorted;
}

} // namespace

const QStringList& formalClaimWords() {
    static const QStringList words{
        QStringLiteral("COMBINATION"),   QStringLiteral("FOREGOING"), QStringLiteral("FORTH"),
        QStringLiteral("LEAST"),         QStringLiteral("PLURALITY"), QStringLiteral("PRECEDING"),
        QStringLiteral("PREDETERMINED"), QStringLiteral("RECITED"),   QStringLiteral("FIRST"),
        QStringLiteral("SECOND"),        QStringLiteral("THIRD"),     QStringLiteral("FOURTH"),
        QStringLiteral("FIFTH"),         QStringLiteral("SIXTH"),     QStringLiteral("SEVENTH"),
        QStringLiteral("EIGHTH"),        QStringLiteral("NINTH"),     QStringLiteral("TENTH"),
    };
    return words;
}

CheckResult checkStems(const QString& claims, const QString& description, const QStringList& ignored,
                       Language language) {
    Stemmer stemmer(language);
    CheckResult result;
    result.rules = Rules::Stems;
    result.language = language;

    QSet<QString> leftOut;
    for (const QStringList* list : {&builtInIgnoredWords(), &formalClaimWords(), &ignored})
        for (const QString& word : *list)
            leftOut.insert(word.toLower());

    // The claims' words, one entry for each word in whatever case, with every occurrence.
    struct ClaimEntry {
        QString spelling;
        QString lower;
        std::vector<qsizetype> occurrences;
    };
    std::vector<ClaimEntry> entries;
    QHash<QString, std::size_t> entryOf;
    forEachWord(claims, [&](qsizetype offset, QStringView found) {
        const QStringView word = withoutPossessive(found);
        QString lower = word.toString().toLower();
        if (leftOut.contains(lower))
            return;
        auto entry = entryOf.find(lower);
        if (entry == entryOf.end()) {
            entry = entryOf.insert(lower, entries.size());
            entries.push_back(ClaimEntry{word.toString(), std::move(lower), {}});
        }
        entries[*entry].occurrences.push_back(offset);
    });

    // The hyphenated pieces of the claim words, whose parts the description may have apart.
    std::vector<HyphenPattern> patterns;
    QHash<QString, int> patternOf; // by the piece in lower case
    QHash<QString, std::vector<int>> patternsByLastStem;
    std::size_t longestPattern = 0;
    for (const ClaimEntry& entry : entries) {
        for (const QStringView piece : partsOf(entry.lower, isSlashOrDash)) {
            const std::vector<QStringView> parts = partsOf(piece, isHyphen);
            if (parts.size() < 2 || patternOf.contains(piece.toString()))
                continue;
            HyphenPattern pattern;
            for (std::size_t k = 0; k + 1 < parts.size(); ++k)
                pattern.lowerParts << parts[k].toString();
            pattern.last = parts.back().toString();
            pattern.lastStem = stemmer.stem(pattern.last);
            patternOf.insert(piece.toString(), int(patterns.size()));
            patternsByLastStem[pattern.lastStem].push_back(int(patterns.size()));
            longestPattern = std::max(longestPattern, parts.size());
            patterns.push_back(std::move(pattern));
        }
    }

    // The description's words, each spelling once: a word met before in the same spelling, as most are, needs no
    // case mapping or stemming again.
    QHash<QString, QStringList> wordsOfStem; // in lower case
    QStringList descriptionWords;
    QHash<QString, int> entryOfLower;
    std::deque<DescriptionEntry> descriptionEntries;
    QHash<QStringView, int> entryOfSpelling;
    // Adds a word (a whole one or a part) to the index and to the words of its stem, once.
    const auto addWord = [&](QStringView spelling, const QString& lower) {
        if (entryOfLower.contains(lower))
            return;
        entryOfLower.insert(lower, -1);
        descriptionWords.append(spelling.toString());
        wordsOfStem[stemmer.stem(lower)].append(lower);
    };
    RecentPieces recent(std::max<std::size_t>(longestPattern, 1));
    qsizetype previousEnd = -1;
    forEachWord(description, [&](qsizetype offset, QStringView found) {
        const QStringView word = withoutPossessive(found);
        auto known = entryOfSpelling.constFind(word);
        if (known == entryOfSpelling.cend()) {
            const QString lower = word.toString().toLower();
            int id = entryOfLower.value(lower, -1);
            if (id < 0) {
                addWord(word, lower);
                DescriptionEntry entry;
                const std::vector<QStringView> parts = partsOf(word, isPartSeparator);
                if (parts.size() < 2) {
                    entry.pieces.push_back(Piece{lower, stemmer.stem(lower), false, {}});
                } else {
                    for (const QStringView part : parts) {
                        const QString partLower = part.toString().toLower();
                        addWord(part, partLower);
                        const qsizetype at = part.data() - word.data();
                        const bool joined = at > 0 && isHyphen(word.at(at - 1));
                        entry.pieces.push_back(Piece{partLower, stemmer.stem(partLower), joined, {}});
                    }
                }
                for (Piece& piece : entry.pieces)
                    piece.patternsEndingHere = patternsByLastStem.value(piece.stem);
                id = int(descriptionEntries.size());
                descriptionEntries.push_back(std::move(entry));
                entryOfLower.insert(lower, id);
            }
            known = entryOfSpelling.insert(word, id);
        }
        if (patterns.empty())
            return;
        // White space alone between this word and the one before joins them, as a hyphen would.
        bool joined = previousEnd >= 0 && offset > previousEnd &&
                      allWhiteSpace(QStringView(description).sliced(previousEnd, offset - previousEnd));
        for (const Piece& piece : descriptionEntries[std::size_t(*known)].pieces) {
            recent.push(&piece, joined || piece.joinedToPrevious);
            for (const int p : piece.patternsEndingHere) {
                HyphenPattern& pattern = patterns[std::size_t(p)];
                if (!pattern.found && inflectionsOfOneWord(piece.lower, pattern.last, language) &&
                    recent.endsWith(pattern))
                    pattern.found = true;
            }
            joined = false;
        }
        previousEnd = offset + found.size();
    });
    // Whether the description has the word in some inflection.
    const auto inDescription = [&](const QString& lower) {
        const auto words = wordsOfStem.constFind(stemmer.stem(lower));
        if (words == wordsOfStem.cend())
            return false;
        return std::any_of(words->begin(), words->end(),
                           [&](const QString& word) { return inflectionsOfOneWord(lower, word, language); });
    };
    // Words joined by nothing ("crosssection") are one word of the description.
    const auto supportedPiece = [&](QStringView piece) {
        if (inDescription(piece.toString()))
            return true;
        const auto pattern = patternOf.constFind(piece.toString());
        if (pattern == patternOf.cend())
            return false;
        if (patterns[std::size_t(*pattern)].found)
            return true;
        QString joined;
        for (const QStringView part : partsOf(piece, isHyphen))
            joined += part;
        return inDescription(joined);
    };
    const auto supported = [&](const QString& lower) {
        if (inDescription(lower))
            return true;
        const std::vector<QStringView> pieces = partsOf(lower, isSlashOrDash);
        if (pieces.empty())
            return false;
        for (const QStringView piece : pieces)
            if (!supportedPiece(piece))
                return false;
        return true;
    };

    const DictionaryOrder order;
    QStringList claimWords, unsupportedWords;
    std::vector<std::size_t> unsupportedEntries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        claimWords.append(entries[i].spelling);
        if (!supported(entries[i].lower)) {
            unsupportedWords.append(entries[i].spelling);
            unsupportedEntries.push_back(i);
        }
    }
    result.claimsIndex = inListOrder(order, claimWords);
    result.descriptionIndex = inListOrder(order, descriptionWords);
    for (const quint32 position : order.sortedPositions(unsupportedWords)) {
        ClaimEntry& entry = entries[unsupportedEntries[position]];
        result.unsupported.push_back(Finding{entry.spelling, std::move(entry.occurrences), {}});
    }
    return result;
}

} // namespace claimcheck::report
