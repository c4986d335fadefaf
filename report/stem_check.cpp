// The stems rules: claim words against the stems of the description's whole words.

#include "claim_words.h"
#include "stemmer.h"
#include "support_check.h"
#include "text_words.h"

#include <QHash>
#include <QSet>

#include <algorithm>

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
    std::vector<int> firstParts; // the codes of all parts but the last, which is matched in any inflection
    QString last;
    bool found = false;
};

// One piece of a description word (the word itself, or a part between its separators), as far as the hyphenated
// claim words care: which of their first parts it is, and which of them could end with it.
struct Piece {
    int code = -1;                 // the first part it is, or -1
    bool joinedToPrevious = false; // a hyphen stands between it and the piece before, in the same word
    QString lower;                 // kept only where patterns could end with it
    const std::vector<int>* patternsEndingHere = nullptr;
};

// The pieces of a whole word of the description, when one of them matters to a hyphenated claim word.
struct DescriptionEntry {
    std::vector<Piece> pieces;
};

// A whole word none of whose pieces matter breaks every run of pieces.
constexpr int kNoEntry = -2;

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
    explicit RecentPieces(std::size_t capacity) : m_codes(capacity), m_joined(capacity) {}
    void push(int code, bool joined) {
        if (m_size == m_codes.size()) {
            std::move(m_codes.begin() + 1, m_codes.end(), m_codes.begin());
            std::move(m_joined.begin() + 1, m_joined.end(), m_joined.begin());
            --m_size;
        }
        m_codes[m_size] = code;
        m_joined[m_size] = joined;
        ++m_size;
    }
    void clear() { m_size = 0; }
    // Whether the pieces before the last one are the pattern's first parts, each joined to the next.
    bool endsWith(const HyphenPattern& pattern) const {
        const std::size_t n = pattern.firstParts.size();
        if (m_size < n + 1)
            return false;
        const std::size_t first = m_size - 1 - n;
        for (std::size_t k = 0; k < n; ++k)
            if (m_codes[first + k] != pattern.firstParts[k] || !m_joined[first + k + 1])
                return false;
        return true;
    }

private:
    std::vector<int> m_codes;
    std::vector<bool> m_joined;
    std::size_t m_size = 0;
};

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

    std::vector<ClaimWord> entries =
        claimWordsOf(claims, leftOut, withoutPossessive, [](QStringView word) { return word.toString().toLower(); });

    // The hyphenated pieces of the claim words, whose parts the description may have apart.
    std::vector<HyphenPattern> patterns;
    QHash<QString, int> patternOf; // by the piece in lower case
    QHash<QString, int> codeOfFirstPart;
    QHash<QString, std::vector<int>> patternsByLastStem;
    std::size_t longestPattern = 0;
    for (const ClaimWord& entry : entries) {
        for (const QStringView piece : partsOf(entry.key, isSlashOrDash)) {
            const std::vector<QStringView> parts = partsOf(piece, isHyphen);
            if (parts.size() < 2 || patternOf.contains(piece.toString()))
                continue;
            HyphenPattern pattern;
            for (std::size_t k = 0; k + 1 < parts.size(); ++k) {
                const QString part = parts[k].toString();
                auto code = codeOfFirstPart.constFind(part);
                if (code == codeOfFirstPart.cend())
                    code = codeOfFirstPart.insert(part, int(codeOfFirstPart.size()));
                pattern.firstParts.push_back(*code);
            }
            pattern.last = parts.back().toString();
            patternOf.insert(piece.toString(), int(patterns.size()));
            patternsByLastStem[stemmer.stem(pattern.last)].push_back(int(patterns.size()));
            longestPattern = std::max(longestPattern, parts.size());
            patterns.push_back(std::move(pattern));
        }
    }

    // The description's words, each spelling once: a word met before in the same spelling, as most are, needs no
    // case mapping or stemming again.
    // The stems the claim words ask about: their own, their pieces' between slashes or dashes, and those of their
    // hyphenated pieces written as one word. Only description words of these stems need to be kept by stem.
    QSet<QString> askedStems;
    for (const ClaimWord& entry : entries) {
        askedStems.insert(stemmer.stem(entry.key));
        for (const QStringView piece : partsOf(entry.key, isSlashOrDash)) {
            askedStems.insert(stemmer.stem(piece.toString()));
            QString joined;
            for (const QStringView part : partsOf(piece, isHyphen))
                joined += part;
            askedStems.insert(stemmer.stem(joined));
        }
    }
    QHash<QString, QStringList> wordsOfStem; // in lower case
    QStringList descriptionWords;
    // The words met, whole or as parts, in lower case: each one's stem, and for a whole word its pieces' entry.
    struct Known {
        QString stem;
        int entry = -1;
    };
    QHash<QString, Known> known;
    // Adds a word (a whole one or a part) to the index and to the words of its stem, once; gives its stem.
    const auto addWord = [&](QStringView spelling, const QString& lower) {
        const auto found = known.constFind(lower);
        if (found != known.cend())
            return found->stem;
        const QString stem = stemmer.stem(lower);
        // A word in lower case already, as most are, shares its text with its lower case.
        descriptionWords.append(spelling == lower ? lower : spelling.toString());
        if (askedStems.contains(stem))
            wordsOfStem[stem].append(lower);
        known.insert(lower, Known{stem, -1});
        return stem;
    };
    // The pieces of each whole word that matters to the hyphenated claim words.
    std::vector<DescriptionEntry> descriptionEntries;
    QHash<QStringView, int> entryOfSpelling;
    QSet<QStringView> partSpellings;
    RecentPieces recent(std::max<std::size_t>(longestPattern, 1));
    qsizetype previousEnd = -1;
    forEachWord(description, [&](qsizetype offset, QStringView found) {
        const QStringView word = withoutPossessive(found);
        auto spelling = entryOfSpelling.constFind(word);
        if (spelling == entryOfSpelling.cend()) {
            const QString lower = word.toString().toLower();
            const auto met = known.constFind(lower);
            int id = met == known.cend() ? -1 : met->entry;
            if (id == -1) {
                const QString stem = addWord(word, lower);
                const bool hasParts = std::any_of(word.begin(), word.end(), isPartSeparator);
                const std::vector<QStringView> parts =
                    hasParts ? partsOf(word, isPartSeparator) : std::vector<QStringView>{};
                DescriptionEntry entry;
                const auto addPiece = [&](const QString& pieceLower, const QString& pieceStem, bool joined) {
                    Piece piece{codeOfFirstPart.value(pieceLower, -1), joined, {}, nullptr};
                    const auto ending = patternsByLastStem.constFind(pieceStem);
                    if (ending != patternsByLastStem.cend()) {
                        piece.lower = pieceLower;
                        piece.patternsEndingHere = &*ending;
                    }
                    entry.pieces.push_back(std::move(piece));
                };
                if (parts.size() < 2) {
                    if (!patterns.empty())
                        addPiece(lower, stem, false);
                } else {
                    // Parts recur far more often than the words they are parts of ("4-yl", "methyl-"): a part met
                    // before in the same spelling needs no case mapping or stemming again, unless a hyphenated
                    // claim word needs to know what it is.
                    for (const QStringView part : parts) {
                        if (partSpellings.contains(part) && patterns.empty())
                            continue;
                        partSpellings.insert(part);
                        const QString partLower = part.toString().toLower();
                        const QString partStem = addWord(part, partLower);
                        const qsizetype at = part.data() - word.data();
                        if (!patterns.empty())
                            addPiece(partLower, partStem, at > 0 && isHyphen(word.at(at - 1)));
                    }
                }
                const bool matters = std::any_of(entry.pieces.begin(), entry.pieces.end(), [](const Piece& piece) {
                    return piece.code >= 0 || piece.patternsEndingHere;
                });
                id = kNoEntry;
                if (matters) {
                    id = int(descriptionEntries.size());
                    descriptionEntries.push_back(std::move(entry));
                }
                known[lower].entry = id;
            }
            spelling = entryOfSpelling.insert(word, id);
        }
        if (patterns.empty())
            return;
        const qsizetype begin = previousEnd;
        previousEnd = offset + found.size();
        if (*spelling == kNoEntry) {
            recent.clear();
            return;
        }
        // White space alone between this word and the one before joins them, as a hyphen would.
        bool joined =
            begin >= 0 && offset > begin && allWhiteSpace(QStringView(description).sliced(begin, offset - begin));
        for (const Piece& piece : descriptionEntries[std::size_t(*spelling)].pieces) {
            recent.push(piece.code, joined || piece.joinedToPrevious);
            joined = false;
            if (!piece.patternsEndingHere)
                continue;
            for (const int p : *piece.patternsEndingHere) {
                HyphenPattern& pattern = patterns[std::size_t(p)];
                if (!pattern.found && inflectionsOfOneWord(piece.lower, pattern.last, language) &&
                    recent.endsWith(pattern))
                    pattern.found = true;
            }
        }
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

    std::vector<bool> found(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        found[i] = supported(entries[i].key);
    fillLists(result, entries, found, descriptionWords);
    return result;
}

} // namespace claimcheck::report
