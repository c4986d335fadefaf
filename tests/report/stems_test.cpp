// The stems rules and the nearest words, on small texts whose answers are worked out by hand, and the stems rules on
// every corpus patent against a literal reading of them.

#include "corpus.h"
#include "findings.h"
#include "report/draft_split.h"
#include "report/nearest_words.h"
#include "report/report_output.h"
#include "report/stemmer.h"
#include "report/support_check.h"

#include <gtest/gtest.h>

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <ostream>

namespace claimcheck::report {

namespace {

using testing::q;
using testing::wordsOfFindings;

// --- stems rules -------------------------------------------------------------------------------------------------

struct StemsCase {
    const char* name;
    QString claims;
    QString description;
    QStringList unsupported; // in dictionary order
    Language language = Language::English;
};

void PrintTo(const StemsCase& c, std::ostream* out) {
    *out << c.name;
}

class StemsRules : public ::testing::TestWithParam<StemsCase> {};

TEST_P(StemsRules, reportExactlyTheWordsWhoseStemTheDescriptionLacks) {
    const CheckResult result = checkStems(GetParam().claims, GetParam().description, {}, GetParam().language);
    EXPECT_EQ(result.rules, Rules::Stems);
    EXPECT_EQ(result.language, GetParam().language);
    EXPECT_EQ(wordsOfFindings(result), GetParam().unsupported);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StemsRules,
    ::testing::Values(
        StemsCase{"inflectionsOfDescriptionWordsAreSupported",
                  QStringLiteral("mounting extends levers carries stopped locating"),
                  QStringLiteral("mounted extend lever carry stops located"),
                  {}},
        StemsCase{"derivedWordsOfOneStemAreNot",
                  QStringLiteral("connection illustration actively"),
                  QStringLiteral("connected illustrated active"),
                  {QStringLiteral("actively"), QStringLiteral("connection"), QStringLiteral("illustration")}},
        StemsCase{"inGermanTheStemAloneDecides",
                  QStringLiteral("Verbindung"),
                  QStringLiteral("verbinden"),
                  {},
                  Language::German},
        StemsCase{"shortNounsInsideLongerWordsAreNot",
                  QStringLiteral("rod arm lid port"),
                  QStringLiteral("production alarm validation support"),
                  {QStringLiteral("arm"), QStringLiteral("lid"), QStringLiteral("port"), QStringLiteral("rod")}},
        StemsCase{"caseIgnored", QStringLiteral("WHEEL Axle"), QStringLiteral("wheels, the AXLE"), {}},
        StemsCase{"partsOfDescriptionWordsAreWords",
                  QStringLiteral("section input output lock camera sensor"),
                  QStringLiteral("cross-section input/output anti\u2013lock camera\u2014sensor"),
                  {}},
        StemsCase{"aHyphenatedClaimWordByItsPartsJoinedByABlank",
                  QStringLiteral("cross-section"),
                  QStringLiteral("a cross sections view"),
                  {}},
        StemsCase{"byItsPartsAcrossALineBreak", QStringLiteral("cross-section"), QStringLiteral("cross\nsection"), {}},
        StemsCase{"byItsPartsJoinedByNothing", QStringLiteral("cross-section"), QStringLiteral("crosssections"), {}},
        StemsCase{"byItsWholeInflected", QStringLiteral("cross-section"), QStringLiteral("cross-sections"), {}},
        StemsCase{"byItsPartsInsideALongerHyphenatedWord",
                  QStringLiteral("cross-section"),
                  QStringLiteral("a cross-section-like view"),
                  {}},
        StemsCase{"twoHyphenatedWordsOfOneFirstPart",
                  QStringLiteral("cross-section cross-beam"),
                  QStringLiteral("a cross section and cross beams"),
                  {}},
        StemsCase{"threeParts", QStringLiteral("ball-and-socket"), QStringLiteral("a ball and sockets"), {}},
        StemsCase{"notByItsPartsApart",
                  QStringLiteral("cross-section"),
                  QStringLiteral("cross and section"),
                  {QStringLiteral("cross-section")}},
        StemsCase{"notByItsPartsInAnotherOrder",
                  QStringLiteral("cross-section"),
                  QStringLiteral("section cross"),
                  {QStringLiteral("cross-section")}},
        StemsCase{"notAcrossPunctuation",
                  QStringLiteral("cross-section"),
                  QStringLiteral("cross. Section"),
                  {QStringLiteral("cross-section")}},
        StemsCase{"notAcrossAReferenceNumeral",
                  QStringLiteral("cross-section"),
                  QStringLiteral("cross 12 section"),
                  {QStringLiteral("cross-section")}},
        StemsCase{"notAcrossASlash",
                  QStringLiteral("cross-section"),
                  QStringLiteral("cross/section"),
                  {QStringLiteral("cross-section")}},
        StemsCase{"theFirstPartsAsWritten",
                  QStringLiteral("crossing-section"),
                  QStringLiteral("cross section"),
                  {QStringLiteral("crossing-section")}},
        StemsCase{"aSlashedClaimWordByEachOfItsParts", QStringLiteral("and/or"), QStringLiteral("and or"), {}},
        StemsCase{"notWhenAPartIsMissing",
                  QStringLiteral("input/output"),
                  QStringLiteral("input only"),
                  {QStringLiteral("input/output")}},
        StemsCase{"possessivesStripped",
                  QStringLiteral("lever's device\u2019s ARM'S"),
                  QStringLiteral("levers; the device; the arm's end"),
                  {}},
        StemsCase{"formalAndBuiltInWordsLeftOut",
                  QStringLiteral("first second third fourth fifth sixth seventh eighth ninth tenth plurality "
                                 "preceding foregoing recited forth predetermined least combination wherein said "
                                 "comprising"),
                  QStringLiteral("x"),
                  {}},
        StemsCase{"numbersAndLabelsLeftOutAsByTheWordsRules",
                  QStringLiteral("(a) wheel 12 (iv) 3.5"),
                  QStringLiteral("wheels"),
                  {}},
        StemsCase{"emptyDescriptionSupportsNothing", QStringLiteral("wheel"), QString(), {QStringLiteral("wheel")}},
        StemsCase{"germanStems",
                  QStringLiteral("Vorrichtung leichte R\u00E4der Hebel"),
                  QStringLiteral("Die Vorrichtungen sind leicht, das Rad"),
                  {QStringLiteral("Hebel")},
                  Language::German},
        StemsCase{"frenchStems",
                  QStringLiteral("roues dispositif"),
                  QStringLiteral("une roue, des dispositifs"),
                  {},
                  Language::French}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StemsRules, theUsersOwnListAndEveryOccurrenceAsByTheWordsRules) {
    const QString claims = QStringLiteral("Gizmo x gizmo's, (GIZMO) gear Flange");
    const CheckResult result = checkStems(claims, QStringLiteral("x"), {QStringLiteral("flange")}, Language::English);
    EXPECT_EQ(wordsOfFindings(result), (QStringList{QStringLiteral("gear"), QStringLiteral("Gizmo")}));
    EXPECT_EQ(result.unsupported[1].occurrences, (std::vector<qsizetype>{0, 8, 18}));
    EXPECT_EQ(result.claimsIndex, (QStringList{QStringLiteral("gear"), QStringLiteral("Gizmo"), QStringLiteral("x")}));
}

TEST(StemsRules, theDescriptionIndexHoldsWholeWordsAndTheirParts) {
    const CheckResult result =
        checkStems(QStringLiteral("x"), QStringLiteral("Cross-section, cross and/or"), {}, Language::English);
    EXPECT_EQ(result.descriptionIndex, (QStringList{"and", "and/or", "Cross", "Cross-section", "or", "section"}));
}

struct InflectionCase {
    const char* a;
    const char* b;
    bool oneWord;
};

class Inflections : public ::testing::TestWithParam<InflectionCase> {};

TEST_P(Inflections, ofOneWordDifferOnlyInInflectionalEndings) {
    const InflectionCase& c = GetParam();
    EXPECT_EQ(inflectionsOfOneWord(QString::fromUtf8(c.a), QString::fromUtf8(c.b), Language::English), c.oneWord);
    EXPECT_EQ(inflectionsOfOneWord(QString::fromUtf8(c.b), QString::fromUtf8(c.a), Language::English), c.oneWord);
    EXPECT_TRUE(inflectionsOfOneWord(QString::fromUtf8(c.a), QString::fromUtf8(c.b), Language::French));
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, Inflections,
    ::testing::Values(InflectionCase{"mounting", "mounted", true}, InflectionCase{"extends", "extend", true},
                      InflectionCase{"locate", "locating", true}, InflectionCase{"carries", "carry", true},
                      InflectionCase{"carried", "carrying", true}, InflectionCase{"stopped", "stop", true},
                      InflectionCase{"boxes", "box", true}, InflectionCase{"mountings", "mounted", true},
                      InflectionCase{"lever", "lever", true}, InflectionCase{"illustration", "illustrated", false},
                      InflectionCase{"connection", "connected", false}, InflectionCase{"actively", "active", false},
                      InflectionCase{"generous", "generate", false}, InflectionCase{"stopper", "stop", false}));

// --- the stemmer and the language ----------------------------------------------------------------------------------

TEST(Stemmer, inflectionsShareAStemAndAWordTooLongForAnyLanguageIsItsOwn) {
    Stemmer english(Language::English);
    EXPECT_EQ(english.stem(QStringLiteral("mounting")), english.stem(QStringLiteral("mounted")));
    EXPECT_NE(english.stem(QStringLiteral("rod")), english.stem(QStringLiteral("production")));
    const QString longWord(500, u'a');
    EXPECT_EQ(english.stem(longWord), longWord);
    Stemmer german(Language::German);
    EXPECT_EQ(german.stem(QStringLiteral("vorrichtungen")), german.stem(QStringLiteral("vorrichtung")));
}

struct HeadingLanguageCase {
    const char* heading;
    Language language;
};

class DraftLanguage : public ::testing::TestWithParam<HeadingLanguageCase> {};

TEST_P(DraftLanguage, isTheClaimsHeadingsLanguage) {
    const DraftParts parts =
        splitDraft(QStringLiteral("Text.\n%1\n1. A wheel.").arg(QString::fromUtf8(GetParam().heading)));
    ASSERT_TRUE(parts.ok());
    EXPECT_EQ(parts.language, GetParam().language);
}

INSTANTIATE_TEST_SUITE_P(Headings, DraftLanguage,
                         ::testing::Values(HeadingLanguageCase{"Claims", Language::English},
                                           HeadingLanguageCase{"What is claimed is:", Language::English},
                                           HeadingLanguageCase{"  PATENTANSPR\u00DCCHE  ", Language::German},
                                           HeadingLanguageCase{"Patentanspr\u00FCche:", Language::German},
                                           HeadingLanguageCase{"Revendications", Language::French}));

// --- nearest words -------------------------------------------------------------------------------------------------

struct DistanceCase {
    const char* a;
    const char* b;
    int limit;
    int distance; // limit + 1 when over the limit
};

class EditDistance : public ::testing::TestWithParam<DistanceCase> {};

TEST_P(EditDistance, countsInsertionsDeletionsAndReplacementsUpToTheLimit) {
    const DistanceCase& c = GetParam();
    EXPECT_EQ(editDistance(QString::fromUtf8(c.a), QString::fromUtf8(c.b), c.limit), c.distance);
    EXPECT_EQ(editDistance(QString::fromUtf8(c.b), QString::fromUtf8(c.a), c.limit), c.distance);
}

INSTANTIATE_TEST_SUITE_P(Pairs, EditDistance,
                         ::testing::Values(DistanceCase{"kitten", "sitting", 3, 3},
                                           DistanceCase{"kitten", "sitting", 2, 3}, DistanceCase{"rod", "rot", 1, 1},
                                           DistanceCase{"rod", "road", 1, 1}, DistanceCase{"lever", "lever", 3, 0},
                                           DistanceCase{"a", "", 1, 1}, DistanceCase{"abc", "xyz", 1, 2},
                                           DistanceCase{"ab", "abcde", 2, 3}, DistanceCase{"flaw", "lawn", 3, 2},
                                           DistanceCase{"\u00E9t\u00E9", "ete", 3, 2}));

struct NearestCase {
    const char* name;
    const char* word;
    QStringList description; // in the order the nearest list equals
    QStringList nearest;
};

void PrintTo(const NearestCase& c, std::ostream* out) {
    *out << c.name;
}

class Nearest : public ::testing::TestWithParam<NearestCase> {};

TEST_P(Nearest, areTheSameStemFirstThenTheFewestEdits) {
    Stemmer stemmer(Language::English);
    const NearestWords nearest(GetParam().description, stemmer);
    EXPECT_EQ(nearest.of(QString::fromUtf8(GetParam().word)), GetParam().nearest);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Nearest,
    ::testing::Values(
        NearestCase{
            "sameStemBeforeAnyEdit", "mounting", {"counting", "Mounted", "mount"}, {"Mounted", "mount", "counting"}},
        NearestCase{"sameStemInTheListsOrder",
                    "fastener",
                    {"faster", "fastened", "fasteners"},
                    {"fastened", "fasteners", "faster"}},
        NearestCase{"fewerEditsFirst", "sprocket", {"pocket", "sprockel"}, {"sprockel", "pocket"}},
        NearestCase{"aShortWordOneEditAway", "rod", {"production", "red", "ride", "rods"}, {"rods", "red"}},
        NearestCase{"atMostThreeInTheListsOrder", "cat", {"bat", "cot", "cut", "hat", "mat"}, {"bat", "cot", "cut"}},
        NearestCase{"caseIgnored", "LEVER", {"Liver", "lever"}, {"Liver"}},
        NearestCase{"noneNearEnough", "gizmo", {"gadget", "widget"}, {}},
        NearestCase{"aLongWordThreeEditsAway", "photodetector", {"photodetection"}, {"photodetection"}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- the nearest words in the three formats ----------------------------------------------------------------------

Report nearestReport(Rules rules) {
    const QString claims = QStringLiteral("1. A gizmo and a R&D lever.");
    const QString description = QStringLiteral("A gismo and a R&Ds levers; an R&E.");
    CheckResult result = rules == Rules::Classic ? checkClassic(claims, description)
                                                 : checkStems(claims, description, {}, Language::German);
    addNearestWords(result);
    return makeReport(std::move(result), claims, 1, QStringLiteral("c.txt"), QStringLiteral("d.txt"));
}

TEST(NearestInTheFormats, standAfterTheWordInTextAndInTheirOwnFieldAndColumn) {
    // German stems: "levers" has the stem of "lever" there, "R&Ds" not that of "R&D"; "gismo" is one letter away.
    const Report report = nearestReport(Rules::Stems);
    EXPECT_EQ(QString::fromUtf8(textReport(report)),
              QStringLiteral("gizmo [nearest: gismo] (1): claim 1, line 1, column 6\n"
                             "R&D [nearest: R&Ds, R&E] (1): claim 1, line 1, column 18\n"
                             "2 of 5 claim words not found in the description (rules: stems)\n"));
    const QJsonObject root = QJsonDocument::fromJson(jsonReport(report)).object();
    EXPECT_EQ(root[QStringLiteral("language")].toString(), QStringLiteral("de"));
    const QJsonArray unsupported = root[QStringLiteral("unsupported")].toArray();
    ASSERT_EQ(unsupported.size(), 2);
    EXPECT_EQ(unsupported[1].toObject()[QStringLiteral("nearest")].toArray(),
              QJsonArray({QStringLiteral("R&Ds"), QStringLiteral("R&E")}));
    const QString page = QString::fromUtf8(htmlReport(report));
    EXPECT_TRUE(page.contains(QStringLiteral("<th>Nearest in the description</th>")));
    EXPECT_TRUE(page.contains(QStringLiteral("<td class=\"nearest\">R&amp;Ds, R&amp;E</td>")));
}

TEST(NearestInTheFormats, theClassicRulesNameNone) {
    const Report report = nearestReport(Rules::Classic);
    EXPECT_FALSE(QString::fromUtf8(textReport(report)).contains(QStringLiteral("[nearest")));
    const QJsonObject root = QJsonDocument::fromJson(jsonReport(report)).object();
    EXPECT_FALSE(root.contains(QStringLiteral("language")));
    for (const QJsonValue& finding : root[QStringLiteral("unsupported")].toArray())
        EXPECT_FALSE(finding.toObject().contains(QStringLiteral("nearest")));
    EXPECT_FALSE(QString::fromUtf8(htmlReport(report)).contains(QStringLiteral("Nearest")));
}

// --- every corpus patent -----------------------------------------------------------------------------------------

bool isPartSeparator(QChar c) {
    return c == u'-' || c == u'\u2010' || c == u'\u2011' || c == u'/' || c == u'\u2013' || c == u'\u2014';
}

bool isHyphen(QChar c) {
    return c == u'-' || c == u'\u2010' || c == u'\u2011';
}

QString withoutPossessive(const QString& word) {
    static const QRegularExpression possessive(QStringLiteral("^(.+)['\u2019][sS]$"));
    const QRegularExpressionMatch match = possessive.match(word);
    return match.hasMatch() ? match.captured(1) : word;
}

// The stems rules read literally: every word of the description stemmed where it stands, and each hyphenated claim
// word looked for at every place of the description, with nothing remembered between words.
QStringList literalStemsFindings(const QString& claims, const QString& description) {
    Stemmer stemmer(Language::English);
    struct Piece {
        QString lower;
        bool joined; // to the piece before, by a hyphen or by white space alone
    };
    QHash<QString, QStringList> wordsOfStem;
    const auto addWord = [&](const QString& lower) { wordsOfStem[stemmer.stem(lower)].append(lower); };
    const auto described = [&](const QString& lower) {
        for (const QString& word : wordsOfStem.value(stemmer.stem(lower)))
            if (inflectionsOfOneWord(lower, word, Language::English))
                return true;
        return false;
    };
    std::vector<Piece> pieces;
    qsizetype previousEnd = -1;
    for (const TextWord& found : wordsOf(description)) {
        const QString lower = withoutPossessive(found.word).toLower();
        addWord(lower);
        const bool afterBlanks = previousEnd >= 0 && found.offset > previousEnd &&
                                 description.sliced(previousEnd, found.offset - previousEnd).trimmed().isEmpty();
        previousEnd = found.offset + found.word.size();
        qsizetype begin = 0;
        bool joined = afterBlanks;
        std::vector<Piece> parts;
        for (qsizetype i = 0; i <= lower.size(); ++i) {
            if (i < lower.size() && !isPartSeparator(lower.at(i)))
                continue;
            if (i > begin)
                parts.push_back(Piece{lower.sliced(begin, i - begin), joined});
            joined = i < lower.size() && isHyphen(lower.at(i));
            begin = i + 1;
        }
        if (parts.size() > 1)
            for (const Piece& part : parts)
                addWord(part.lower);
        if (parts.size() <= 1)
            parts = {Piece{lower, afterBlanks}};
        pieces.insert(pieces.end(), parts.begin(), parts.end());
    }
    const auto supportedPiece = [&](const QString& piece) {
        if (described(piece))
            return true;
        const QStringList parts =
            piece.split(QRegularExpression(QStringLiteral("[-\u2010\u2011]")), Qt::SkipEmptyParts);
        if (parts.size() < 2)
            return false;
        if (described(parts.join(QString())))
            return true;
        const auto n = std::size_t(parts.size());
        for (std::size_t at = 0; at + n <= pieces.size(); ++at) {
            const QString& last = pieces[at + n - 1].lower;
            bool matches = stemmer.stem(last) == stemmer.stem(parts.back()) &&
                           inflectionsOfOneWord(last, parts.back(), Language::English);
            for (std::size_t k = 0; matches && k + 1 < n; ++k)
                matches = pieces[at + k].lower == parts[qsizetype(k)] && pieces[at + k + 1].joined;
            if (matches)
                return true;
        }
        return false;
    };
    QStringList leftOut;
    for (const QString& word : builtInIgnoredWords() + formalClaimWords())
        leftOut << word.toLower();
    QStringList findings;
    QSet<QString> seen;
    for (const TextWord& found : wordsOf(claims)) {
        const QString word = withoutPossessive(found.word);
        const QString lower = word.toLower();
        if (leftOut.contains(lower) || seen.contains(lower))
            continue;
        seen.insert(lower);
        bool supported = described(lower);
        if (!supported) {
            const QStringList slashed =
                lower.split(QRegularExpression(QStringLiteral("[/\u2013\u2014]")), Qt::SkipEmptyParts);
            supported = !slashed.isEmpty() && std::all_of(slashed.begin(), slashed.end(), supportedPiece);
        }
        if (!supported)
            findings << word;
    }
    std::sort(findings.begin(), findings.end());
    return findings;
}

class CorpusPatentStems : public ::testing::TestWithParam<std::string> {};

TEST_P(CorpusPatentStems, findingsAreTheLiteralReadingsFindings) {
    const std::filesystem::path folder(CLAIMCHECK_CORPUS_DIR);
    const QString claims = q(corpus::readUtf8File(folder / (GetParam() + ".claims.txt")));
    const QString description = q(corpus::readUtf8File(folder / (GetParam() + ".description.txt")));
    const CheckResult stems = checkStems(claims, description, {}, Language::English);
    QStringList findings = wordsOfFindings(stems);
    std::sort(findings.begin(), findings.end());
    const QStringList literal = literalStemsFindings(claims, description);
    QStringList onlyHere, onlyLiteral;
    for (const QString& word : findings)
        if (!literal.contains(word))
            onlyHere << word;
    for (const QString& word : literal)
        if (!findings.contains(word))
            onlyLiteral << word;
    EXPECT_TRUE(onlyHere.isEmpty() && onlyLiteral.isEmpty())
        << "reported but not by the literal reading: " << onlyHere.join(u' ').toStdString()
        << "\nby the literal reading only: " << onlyLiteral.join(u' ').toStdString();
    // Every finding names where it stands, and no finding is a word the description has whole.
    const CheckResult words = checkWords(claims, description, {});
    QSet<QString> descriptionWords;
    for (const TextWord& word : wordsOf(description))
        descriptionWords.insert(word.word.toLower());
    for (const Finding& finding : stems.unsupported) {
        EXPECT_FALSE(finding.occurrences.empty()) << finding.word.toStdString();
        EXPECT_FALSE(descriptionWords.contains(finding.word.toLower())) << finding.word.toStdString();
    }
    std::printf("%s: stems %zu, words %zu of %lld claim words\n", GetParam().c_str(), stems.unsupported.size(),
                words.unsupported.size(), static_cast<long long>(stems.claimsIndex.size()));
}

INSTANTIATE_TEST_SUITE_P(Patents, CorpusPatentStems, ::testing::ValuesIn(corpus::numbers()),
                         [](const auto& info) { return info.param; });

} // namespace
} // namespace claimcheck::report
