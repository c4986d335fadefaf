#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace claimcheck::report {

enum class Rules {
    // Words split as the words rules split them, each supported when its Snowball stem is the stem of a whole word
    // of the description (or of a part of one between hyphens, slashes or dashes).
    Stems,
    // The windowed program's check: its word indexes and unsupported words, by the same core functions.
    Classic,
    // Words split at any white space, punctuation stripped from their ends, numbers, labels and the claims' own
    // words left out; a claim word is supported inside one description word.
    Words,
};

QString rulesName(Rules rules);

// The language whose stemmer the stems rules use.
enum class Language { English, German, French };

// "en", "de", "fr".
QString languageCode(Language language);

// One unsupported word, and where it stands in the claims text: the offsets (in UTF-16 code units) of its
// occurrences, in text order.
struct Finding {
    QString word;
    std::vector<qsizetype> occurrences;
    // The description's words nearest to it, nearest first (words and stems rules; see nearest_words.h).
    QStringList nearest;
};

// The outcome of a check, whichever rules made it. Every list is in the word lists' dictionary order.
struct CheckResult {
    Rules rules = Rules::Stems;
    Language language = Language::English;
    QStringList claimsIndex;
    QStringList descriptionIndex;
    std::vector<Finding> unsupported;
};

// The claims' own words that the `words` and `stems` rules leave out, upper-case.
const QStringList& builtInIgnoredWords();

// The claims' formal words that the `stems` rules leave out as well, upper-case: "preceding", "plurality", the
// ordinals "first" to "tenth", ...
const QStringList& formalClaimWords();

// The windows' check on the two texts as their boxes hold them (asTextBoxHoldsIt): the claims index, the
// description index and the unsupported words are the three lists of the results window, each entry as often as
// there. A word's occurrences are those that the window's find-next walks through in the claims: case ignored,
// from the second character on, each search starting after the occurrence before.
CheckResult checkClassic(const QString& claims, const QString& description);

// The `words` rules. `ignored` holds the user's own words to leave out, besides the built-in ones; case does not
// matter. Each index entry stands for a word in every case, spelt as it first occurs; its occurrences in the
// claims are those of that word in any case.
CheckResult checkWords(const QString& claims, const QString& description, const QStringList& ignored);

// The `stems` rules: the words as the `words` rules find them, less a final possessive ('s), and with the formal
// claim words left out as well. A claim word is supported when its stem in `language` is the stem of a word of the
// description, case ignored, and (in English) the two differ only in inflectional endings (see
// inflectionsOfOneWord in stemmer.h); the description's words count whole and, where hyphens, slashes, en or em dashes
// join them, each part on its own. A claim word with hyphens is also supported where its parts stand in the
// description in that order, joined by hyphens, single blanks or nothing (the last part in any inflection); one
// with slashes or dashes where each of its parts is supported. The index entries and occurrences are as for the
// words rules; the description index holds its whole words and their parts.
CheckResult checkStems(const QString& claims, const QString& description, const QStringList& ignored,
                       Language language);

// The `words` rules' pieces, for their tests: the words of a text, each with its offset, in text order.
struct TextWord {
    qsizetype offset;
    QString word;
};
std::vector<TextWord> wordsOf(const QString& text);

} // namespace claimcheck::report
