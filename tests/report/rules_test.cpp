// The two rule sets, where findings stand, and the three formats, on small texts whose answers are worked out by
// hand, and both rule sets on every corpus patent.

#include "corpus.h"
#include "findings.h"
#include "literal_rules.h"
#include "report/report_output.h"
#include "report/support_check.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <ostream>
#include <set>

namespace claimcheck::report {

namespace {

using testing::q;
using testing::wordsOfFindings;

std::vector<qsizetype> occurrencesOf(const CheckResult& result, const QString& word) {
    for (const Finding& finding : result.unsupported)
        if (finding.word == word)
            return finding.occurrences;
    ADD_FAILURE() << "no finding " << word.toStdString();
    return {};
}

// --- words rules -------------------------------------------------------------------------------------------------

struct WordsCase {
    const char* name;
    QString claims;
    QString description;
    QStringList unsupported; // in dictionary order
};

void PrintTo(const WordsCase& c, std::ostream* out) {
    *out << c.name;
}

class WordsRules : public ::testing::TestWithParam<WordsCase> {};

TEST_P(WordsRules, reportExactlyTheWordsTheDescriptionLacks) {
    const CheckResult result = checkWords(GetParam().claims, GetParam().description, {});
    EXPECT_EQ(result.rules, Rules::Words);
    EXPECT_EQ(wordsOfFindings(result), GetParam().unsupported);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WordsRules,
    ::testing::Values(
        WordsCase{
            "lineBreakSplitsWords", QStringLiteral("a device\nand axle"), QStringLiteral("a device and axle"), {}},
        WordsCase{"everyWhiteSpaceSplits",
                  QStringLiteral("wheel\u00A0axle\u2003hub\tnut\u2029bolt\r\nrim"),
                  QStringLiteral("wheel axle hub nut bolt rim"),
                  {}},
        WordsCase{"punctuationStrippedFromTheEndsOnly",
                  QStringLiteral("\u201Cwheel,\u201D (axle); hub."),
                  QStringLiteral("wheel axle hub"),
                  {}},
        WordsCase{"innerPunctuationKept",
                  QStringLiteral("in-protocol path-ASIC"),
                  QStringLiteral("in protocol path ASIC"),
                  {QStringLiteral("in-protocol"), QStringLiteral("path-ASIC")}},
        WordsCase{"numbersAndReferenceNumeralsLeftOut",
                  QStringLiteral("1. A wheel 27 of 3.5 mm, 60% (12) 517/681"),
                  QStringLiteral("a wheel of mm"),
                  {}},
        WordsCase{"labelsLeftOut",
                  QStringLiteral("(a) wheel; (iv) axle; b) hub (12b) ii. (XIV)"),
                  QStringLiteral("wheel axle hub ii"),
                  {}},
        WordsCase{"aWordInBracketsIsNoLabel",
                  QStringLiteral("(optional) (mix)"),
                  QStringLiteral("wheel"),
                  {QStringLiteral("mix"), QStringLiteral("optional")}},
        WordsCase{"mergedWordsAreNoLongerMade",
                  QStringLiteral("the device\n27 and\nA1"),
                  QStringLiteral("the device and"),
                  {QStringLiteral("A1")}},
        WordsCase{"supportIgnoresCase", QStringLiteral("WHEEL Axle"), QStringLiteral("wheels, the AXLE"), {}},
        WordsCase{"supportedInsideOneWord", QStringLiteral("heel cat"), QStringLiteral("wheels indicate"), {}},
        WordsCase{"neverAcrossTwoWords",
                  QStringLiteral("football therapy"),
                  QStringLiteral("foot ball the rapy"),
                  {QStringLiteral("football"), QStringLiteral("therapy")}},
        WordsCase{"neverAcrossALineBreak",
                  QStringLiteral("football"),
                  QStringLiteral("foot\nball"),
                  {QStringLiteral("football")}},
        WordsCase{"claimsOwnWordsLeftOut",
                  QStringLiteral("2. The wheel of claim 1, wherein said wheel comprising thereof; Claims Comprises"),
                  QStringLiteral("the wheel of"),
                  {}},
        WordsCase{"caseVariantsAreOneFindingSpeltAsFirstMet",
                  QStringLiteral("Sprocket and sprocket and SPROCKET"),
                  QStringLiteral("and"),
                  {QStringLiteral("Sprocket")}},
        WordsCase{"dictionaryOrder",
                  QStringLiteral("zeta \u00C9mile apple Eagle \u00E9lan"),
                  QStringLiteral("x"),
                  {QStringLiteral("apple"), QStringLiteral("Eagle"), QStringLiteral("\u00E9lan"),
                   QStringLiteral("\u00C9mile"), QStringLiteral("zeta")}},
        WordsCase{"emptyDescriptionSupportsNothing", QStringLiteral("wheel"), QString(), {QStringLiteral("wheel")}},
        WordsCase{"lettersBeyondTheBasicPlane",
                  QStringLiteral("\U0001D400\U0001D401x"),
                  QStringLiteral("y\U0001D400\U0001D401xz"),
                  {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct DescriptionIndexCase {
    const char* name;
    QString description;
    QStringList index; // in dictionary order
};

void PrintTo(const DescriptionIndexCase& c, std::ostream* out) {
    *out << c.name;
}

class WordsDescriptionIndex : public ::testing::TestWithParam<DescriptionIndexCase> {};

TEST_P(WordsDescriptionIndex, holdsEachWordOnceInAnyCaseSpeltAsFirstMet) {
    const CheckResult result = checkWords(QStringLiteral("x"), GetParam().description, {});
    EXPECT_EQ(result.descriptionIndex, GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WordsDescriptionIndex,
    ::testing::Values(
        DescriptionIndexCase{"caseVariants", QStringLiteral("Wheel wheel WHEEL axle"), {"axle", "Wheel"}},
        DescriptionIndexCase{"punctuationStrippedFirst", QStringLiteral("axle, AXLE. (Axle)"), {"axle"}},
        // A word that begins another is a word of its own, in whichever order they come.
        DescriptionIndexCase{
            "prefixesAreOtherWords", QStringLiteral("wheels wheel WHEELS wheelS whee"), {"whee", "wheel", "wheels"}},
        DescriptionIndexCase{
            "accentedLetters", QStringLiteral("\u00C4rger \u00E4rger \u00C4RGER arger"), {"arger", "\u00C4rger"}},
        DescriptionIndexCase{"longWordsInTwoCases",
                             QString(100000, u'a') + u' ' + QString(100000, u'A') + u' ' + QString(99999, u'A'),
                             {QString(99999, u'A'), QString(100000, u'a')}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WordsRules, splitStripsAndKeepsOffsets) {
    const std::vector<TextWord> words = wordsOf(QStringLiteral("1. (a) \u201Cwheel,\u201D  in-line\n27 x\U0001D400."));
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[0].word, QStringLiteral("wheel"));
    EXPECT_EQ(words[0].offset, 8);
    EXPECT_EQ(words[1].word, QStringLiteral("in-line"));
    EXPECT_EQ(words[1].offset, 17);
    EXPECT_EQ(words[2].word, QStringLiteral("x\U0001D400"));
    EXPECT_EQ(words[2].offset, 28);
}

TEST(WordsRules, theUsersOwnListLeavesOutMoreWordsInAnyCase) {
    const QString claims = QStringLiteral("a sprocket and a Flange and a gear");
    EXPECT_EQ(wordsOfFindings(
                  checkWords(claims, QStringLiteral("a and"), {QStringLiteral("FLANGE"), QStringLiteral("sprocket")})),
              QStringList{QStringLiteral("gear")});
}

TEST(WordsRules, everyOccurrenceInAnyCaseInTextOrder) {
    const QString claims = QStringLiteral("Gizmo x gizmo, (GIZMO) gizmos");
    const CheckResult result = checkWords(claims, QStringLiteral("x"), {});
    EXPECT_EQ(wordsOfFindings(result), (QStringList{QStringLiteral("Gizmo"), QStringLiteral("gizmos")}));
    EXPECT_EQ(occurrencesOf(result, QStringLiteral("Gizmo")), (std::vector<qsizetype>{0, 8, 16}));
    EXPECT_EQ(result.claimsIndex,
              (QStringList{QStringLiteral("Gizmo"), QStringLiteral("gizmos"), QStringLiteral("x")}));
}

// --- classic rules -----------------------------------------------------------------------------------------------

TEST(ClassicRules, theWorkedExampleGivesTheWindowsLists) {
    const CheckResult result =
        checkClassic(QStringLiteral("A wheel, and an axle."), QStringLiteral("The wheels turn on a shaft."));
    EXPECT_EQ(result.rules, Rules::Classic);
    EXPECT_EQ(result.claimsIndex, (QStringList{"A", "and", "axle.", "wheel,"}));
    EXPECT_EQ(result.descriptionIndex, (QStringList{"a", "on", "shaft.", "The", "turn", "wheels"}));
    EXPECT_EQ(wordsOfFindings(result), (QStringList{"and", "axle"}));
}

TEST(ClassicRules, occurrencesAreTheFindNextWalk) {
    // "abab" at 0 is never searched (the walk starts at offset 1); "ABAB" at 5 is found ignoring case; the one at 7
    // overlaps it and is skipped; the search goes on after it, inside a longer word too.
    const QString claims = QStringLiteral("abab ABABAB xababx");
    const CheckResult result = checkClassic(claims, QStringLiteral("zzz"));
    EXPECT_EQ(occurrencesOf(result, QStringLiteral("abab")), (std::vector<qsizetype>{5, 13}));
}

TEST(ClassicRules, aWordListedTwiceIsReportedTwiceAndAWordTheCleaningMadeHasNoOccurrence) {
    const CheckResult result = checkClassic(QStringLiteral("x wheel, wheel. wheel.axle"), QStringLiteral("x"));
    EXPECT_EQ(wordsOfFindings(result), (QStringList{"wheel", "wheel", "wheelaxle"}));
    EXPECT_EQ(occurrencesOf(result, QStringLiteral("wheel")), (std::vector<qsizetype>{2, 9, 16}));
    EXPECT_TRUE(occurrencesOf(result, QStringLiteral("wheelaxle")).empty());
}

// --- the three formats -------------------------------------------------------------------------------------------

Report smallReport() {
    const QString claims = QStringLiteral("1. A gizmo & <widget>.\n2. The gizmo of claim 1.");
    return makeReport(checkWords(claims, QStringLiteral("A the of"), {}), claims, 1, QStringLiteral("c.txt"),
                      QStringLiteral("d.txt"));
}

TEST(TextFormat, oneLinePerWordThenTheSummary) {
    EXPECT_EQ(QString::fromUtf8(textReport(smallReport())),
              QStringLiteral("gizmo (2): claim 1, line 1, column 6; also claim 2\n"
                             "widget (1): claim 1, line 1, column 15\n"
                             "2 of 5 claim words not found in the description (rules: words)\n"));
}

TEST(JsonFormat, holdsTheIndexesAndEveryOccurrence) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(jsonReport(smallReport()), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonObject root = document.object();
    EXPECT_EQ(root[QStringLiteral("format")].toInt(), kJsonFormatVersion);
    EXPECT_EQ(root[QStringLiteral("rules")].toString(), QStringLiteral("words"));
    EXPECT_EQ(root[QStringLiteral("claims_index")].toArray().size(), 5);
    EXPECT_EQ(root[QStringLiteral("description_index")].toArray().size(), 3);
    const QJsonArray unsupported = root[QStringLiteral("unsupported")].toArray();
    ASSERT_EQ(unsupported.size(), 2);
    const QJsonObject gizmo = unsupported[0].toObject();
    EXPECT_EQ(gizmo[QStringLiteral("word")].toString(), QStringLiteral("gizmo"));
    const QJsonArray occurrences = gizmo[QStringLiteral("occurrences")].toArray();
    ASSERT_EQ(occurrences.size(), 2);
    const QJsonObject second = occurrences[1].toObject();
    EXPECT_EQ(second[QStringLiteral("claim")].toInt(), 2);
    EXPECT_EQ(second[QStringLiteral("line")].toInt(), 2);
    EXPECT_EQ(second[QStringLiteral("column")].toInt(), 8);
    EXPECT_EQ(second[QStringLiteral("offset")].toInt(), 30);
}

TEST(JsonFormat, anOccurrenceBeforeAnyClaimNumberHasANullClaim) {
    const QString claims = QStringLiteral("a gizmo");
    const Report report =
        makeReport(checkWords(claims, QStringLiteral("a"), {}), claims, 1, QStringLiteral("c"), QStringLiteral("d"));
    const QJsonObject occurrence = QJsonDocument::fromJson(jsonReport(report))
                                       .object()[QStringLiteral("unsupported")]
                                       .toArray()[0]
                                       .toObject()[QStringLiteral("occurrences")]
                                       .toArray()[0]
                                       .toObject();
    EXPECT_TRUE(occurrence[QStringLiteral("claim")].isNull());
    EXPECT_EQ(QString::fromUtf8(textReport(report)).section(u'\n', 0, 0),
              QStringLiteral("gizmo (1): line 1, column 3"));
}

TEST(HtmlFormat, isSelfContainedEscapedAndMarksEveryOccurrence) {
    const QString page = QString::fromUtf8(htmlReport(smallReport()));
    EXPECT_TRUE(page.startsWith(QStringLiteral("<!DOCTYPE html>")));
    EXPECT_FALSE(page.contains(QStringLiteral("<script"), Qt::CaseInsensitive));
    EXPECT_FALSE(page.contains(QRegularExpression(QStringLiteral(R"((src|href)="(?!#))"))));
    EXPECT_FALSE(page.contains(QStringLiteral("@import")));
    EXPECT_FALSE(page.contains(QStringLiteral("url(")));
    EXPECT_TRUE(page.contains(QStringLiteral("@media print")));
    EXPECT_TRUE(page.contains(QStringLiteral("2 of 5 claim words not found in the description")));
    // The claims, escaped, each occurrence marked and anchored where the table links to it.
    EXPECT_TRUE(page.contains(QStringLiteral("A <span id=\"o1-1\"></span><mark>gizmo</mark> &amp; &lt;"
                                             "<span id=\"o2-1\"></span><mark>widget</mark>&gt;.")));
    EXPECT_TRUE(page.contains(QStringLiteral("The <span id=\"o1-2\"></span><mark>gizmo</mark> of")));
    for (const char* link : {"#o1-1", "#o1-2", "#o2-1"})
        EXPECT_TRUE(page.contains(QStringLiteral("<a href=\"%1\">").arg(QLatin1StringView(link)))) << link;
    EXPECT_EQ(page.count(QStringLiteral("<mark>")), 3);
    EXPECT_EQ(page.count(QStringLiteral("<mark>")), page.count(QStringLiteral("</mark>")));
}

TEST(HtmlFormat, overlappingOccurrencesOfTwoWordsMakeOneMark) {
    const QString claims = QStringLiteral("x abcd");
    CheckResult result;
    result.unsupported = {Finding{QStringLiteral("abc"), {2}, {}}, Finding{QStringLiteral("bcd"), {3}, {}}};
    const QString page =
        QString::fromUtf8(htmlReport(makeReport(result, claims, 1, QStringLiteral("c"), QStringLiteral("d"))));
    EXPECT_TRUE(page.contains(QStringLiteral("x <span id=\"o1-1\"></span><mark>a<span id=\"o2-1\"></span>bcd</mark>")));
}

// --- every corpus patent -----------------------------------------------------------------------------------------

class CorpusPatent : public ::testing::TestWithParam<std::string> {
protected:
    static corpus::Patent load(const std::string& number) {
        const std::filesystem::path folder(CLAIMCHECK_CORPUS_DIR);
        return corpus::Patent{number, corpus::readUtf8File(folder / (number + ".claims.txt")),
                              corpus::readUtf8File(folder / (number + ".description.txt"))};
    }
};

// A reader accepts a words finding: it has a letter, no white space, and stands in the claims, ignoring case, at
// each of its occurrences as a whole word; and it really is absent from every description word.
TEST_P(CorpusPatent, wordsFindingsAreWordsAReaderWouldAccept) {
    const corpus::Patent patent = load(GetParam());
    const QString claims = q(patent.claims), description = q(patent.description);
    const CheckResult result = checkWords(claims, description, {});
    const QStringList descriptionWords =
        description.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    for (const Finding& finding : result.unsupported) {
        SCOPED_TRACE(finding.word.toStdString());
        EXPECT_TRUE(std::any_of(finding.word.begin(), finding.word.end(), [](QChar c) { return c.isLetter(); }));
        EXPECT_FALSE(finding.word.contains(QRegularExpression(QStringLiteral("\\s"))));
        EXPECT_FALSE(builtInIgnoredWords().contains(finding.word.toUpper()));
        ASSERT_FALSE(finding.occurrences.empty());
        for (const qsizetype at : finding.occurrences) {
            EXPECT_EQ(claims.sliced(at, finding.word.size()).compare(finding.word, Qt::CaseInsensitive), 0);
            EXPECT_TRUE(at == 0 || claims.at(at - 1).isSpace() || claims.at(at - 1).isPunct() ||
                        claims.at(at - 1).isSymbol());
        }
        for (const QString& word : descriptionWords)
            ASSERT_FALSE(word.contains(finding.word, Qt::CaseInsensitive)) << word.toStdString();
    }
    EXPECT_LT(result.unsupported.size(), std::size_t(result.claimsIndex.size()));
    std::printf("%s: words %zu of %lld\n", GetParam().c_str(), result.unsupported.size(),
                static_cast<long long>(result.claimsIndex.size()));
}

// The patents whose descriptions the literal rules check in seconds: on EP3882239 and EP3882354 they take half a
// minute each, and the analysis tests and the comparison with the results window cover those two.
std::vector<std::string> patentsForTheLiteralRules() {
    std::vector<std::string> numbers;
    for (const std::string& number : corpus::numbers())
        if (number != "EP3882239" && number != "EP3882354")
            numbers.push_back(number);
    return numbers;
}

class CorpusPatentForTheLiteralRules : public CorpusPatent {};

// The classic lists are the literal rules' lists, in the windows' order, each entry as often.
TEST_P(CorpusPatentForTheLiteralRules, classicListsAreTheLiteralRulesLists) {
    const corpus::Patent patent = load(GetParam());
    const CheckResult result = checkClassic(q(patent.claims), q(patent.description));
    const WordIndex claimsIndex = literal::BuildWordIndex(patent.claims);
    const WordIndex descriptionIndex = literal::BuildWordIndex(patent.description);
    const auto sorted = [](QStringList list) {
        std::sort(list.begin(), list.end());
        return list;
    };
    const auto strings = [](const std::vector<std::u16string>& words) {
        QStringList list;
        for (const std::u16string& word : words)
            list << q(word);
        return list;
    };
    EXPECT_EQ(sorted(result.claimsIndex), sorted(strings(claimsIndex.words)));
    EXPECT_EQ(sorted(result.descriptionIndex), sorted(strings(descriptionIndex.words)));
    EXPECT_EQ(sorted(wordsOfFindings(result)),
              sorted(strings(literal::FindUnsupportedWords(claimsIndex.words, descriptionIndex.wordString))));
    std::printf("%s: classic %zu of %lld\n", GetParam().c_str(), result.unsupported.size(),
                static_cast<long long>(result.claimsIndex.size()));
}

INSTANTIATE_TEST_SUITE_P(Patents, CorpusPatent, ::testing::ValuesIn(corpus::numbers()),
                         [](const auto& info) { return info.param; });
INSTANTIATE_TEST_SUITE_P(Patents, CorpusPatentForTheLiteralRules, ::testing::ValuesIn(patentsForTheLiteralRules()),
                         [](const auto& info) { return info.param; });

} // namespace
} // namespace claimcheck::report
