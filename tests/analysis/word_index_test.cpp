#include "analysis/upper_case.h"
#include "analysis/word_index.h"
#include "literal_rules.h"

#include <gtest/gtest.h>

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <numeric>
#include <ostream>
#include <string>
#include <vector>

namespace claimcheck {
namespace {

using Words = std::vector<std::u16string>;

struct IndexCase {
    const char* name;
    std::u16string text;
    Words words;
};

void PrintTo(const IndexCase& c, std::ostream* os) {
    *os << c.name;
}

class BuildWordIndexRules : public testing::TestWithParam<IndexCase> {};

TEST_P(BuildWordIndexRules, admitsExactlyTheExpectedEntries) {
    const IndexCase& c = GetParam();
    const WordIndex index = BuildWordIndex(c.text);
    EXPECT_EQ(index.words, c.words);
    EXPECT_EQ(index.wordString, std::accumulate(c.words.begin(), c.words.end(), std::u16string()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BuildWordIndexRules,
    testing::Values(IndexCase{"emptyTextHasNoEntries", u"", {}}, IndexCase{"oneWord", u"wheel", {u"wheel"}},
                    IndexCase{"repeatIsDropped", u"a a", {u"a"}},
                    IndexCase{"wordInsideEarlierEntryIsDropped", u"data a comprising com", {u"data", u"comprising"}},
                    IndexCase{"wordAcrossASeamIsDropped", u"the rapy therapy era", {u"the", u"rapy"}},
                    IndexCase{"seamSpanningThreeEntries", u"ab c de bcd", {u"ab", u"c", u"de"}},
                    IndexCase{"caseMakesWordsDifferent", u"The the", {u"The", u"the"}},
                    IndexCase{"laterWordInsideEarlierOne", u"other the", {u"other"}},
                    IndexCase{"punctuatedWordFirstSwallowsBareWord", u"wheel, wheel", {u"wheel,"}},
                    IndexCase{"bareWordFirstAdmitsPunctuatedWord", u"wheel wheel,", {u"wheel", u"wheel,"}},
                    IndexCase{"orderOfFirstAppearance", u"b a b c a", {u"b", u"a", u"c"}},
                    IndexCase{"leadingSpacesGiveEmptyEntries", u"  x", {u"", u"", u"x"}},
                    IndexCase{"laterEmptyWordsLeaveNoTrace", u"x  y ", {u"x", u"y"}},
                    IndexCase{"spacesOnlyGiveOneEntryMoreThanSpaces", u"   ", {u"", u"", u"", u""}},
                    IndexCase{"repeatAfterLeadingSpace", u" x x", {u"", u"x"}},
                    IndexCase{"lineBreakWithoutSpacesJoinsWords", u"one\r\ntwo two three", {u"one\r\ntwo", u"three"}},
                    IndexCase{"tabDoesNotSplit", u"a\tb a b", {u"a\tb"}},
                    IndexCase{"workedExample", u"A wheel, and an axle.", {u"A", u"wheel,", u"and", u"axle."}},
                    // Code units, not code points: the trail surrogate alone occurs inside the pair.
                    IndexCase{"loneTrailSurrogateInsidePair", u"\U00010428 \xDC28", {u"\U00010428"}},
                    IndexCase{"accentsMatter", u"e é", {u"e", u"é"}},
                    // Long words that share all but their last unit, repeated: each is kept once.
                    IndexCase{"longWordsDifferingInLastUnit",
                              u"abcdefghX abcdefghY abcdefghX abcdefghY abcdefghZZ",
                              {u"abcdefghX", u"abcdefghY", u"abcdefghZZ"}},
                    IndexCase{"longWordsDifferingInFirstUnit", u"Xabcdefgh Yabcdefgh Xabcdefgh",
                              {u"Xabcdefgh", u"Yabcdefgh"}},
                    IndexCase{"emptyStartThenRepeatsAndSeams",
                              u"   wheel  the wheel therapy  rap the axle ",
                              {u"", u"", u"", u"wheel", u"the", u"therapy", u"axle"}}),
    [](const testing::TestParamInfo<IndexCase>& info) { return info.param.name; });

struct CleanCase {
    const char* name;
    std::u16string entry;
    std::u16string cleaned;
};

void PrintTo(const CleanCase& c, std::ostream* os) {
    *os << c.name;
}

class CleanClaimWordRules : public testing::TestWithParam<CleanCase> {};

TEST_P(CleanClaimWordRules, removesOnlyLineBreaksAndFourPunctuationMarks) {
    EXPECT_EQ(CleanClaimWord(GetParam().entry), GetParam().cleaned);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CleanClaimWordRules,
    testing::Values(CleanCase{"semicolon", u"wheel;", u"wheel"}, CleanCase{"decimalPoint", u"3.5", u"35"},
                    CleanCase{"crLfJoinsWords", u"comprising:\r\na", u"comprisinga"},
                    CleanCase{"bracketsStay", u"(a)", u"(a)"}, CleanCase{"onlyRemovedCharacters", u".", u""},
                    CleanCase{"allFourMarks", u"a,b:c;d.e", u"abcde"}, CleanCase{"loneCrStays", u"a\rb", u"a\rb"},
                    CleanCase{"loneLfGoes", u"a\nb", u"ab"}, CleanCase{"lfCrKeepsTheCr", u"\n\r", u"\r"},
                    // The pair pass runs once: the CR and LF around a removed pair are not a pair any more.
                    CleanCase{"nestedPairKeepsOuterCr", u"\r\r\n\n", u"\r"},
                    CleanCase{"pairSplitByFullStop", u"\r.\n", u"\r"},
                    CleanCase{"otherPunctuationStays", u"x!?-'\"\t", u"x!?-'\"\t"},
                    CleanCase{"caseIsKept", u"Wheel.", u"Wheel"}, CleanCase{"emptyEntry", u"", u""}),
    [](const testing::TestParamInfo<CleanCase>& info) { return info.param.name; });

struct SupportCase {
    const char* name;
    std::u16string word;
    std::u16string wordString;
    bool supported;
};

void PrintTo(const SupportCase& c, std::ostream* os) {
    *os << c.name;
}

class IsSupportedRules : public testing::TestWithParam<SupportCase> {};

TEST_P(IsSupportedRules, matchesUpperCasedSubstring) {
    EXPECT_EQ(IsSupported(GetParam().word, GetParam().wordString), GetParam().supported);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IsSupportedRules,
    testing::Values(SupportCase{"insideADisclosureWord", u"wheel", u"Thewheelsturnonashaft.", true},
                    SupportCase{"upperClaimLowerDisclosure", u"WHEEL", u"wheel", true},
                    SupportCase{"lowerClaimCapitalisedDisclosure", u"wheel", u"Wheels", true},
                    SupportCase{"acrossASeam", u"ewh", u"thewheelsturn", true},
                    SupportCase{"absent", u"axle", u"thewheelsturn", false},
                    SupportCase{"disclosurePunctuationIsKept", u"wheelaxle", u"wheel.axle", false},
                    SupportCase{"emptyWordInNonEmptyString", u"", u"x", true},
                    SupportCase{"emptyWordInEmptyString", u"", u"", false},
                    SupportCase{"anyWordInEmptyString", u"x", u"", false},
                    SupportCase{"accentedCapital", u"é", u"CAFÉ", true},
                    SupportCase{"accentStillMatters", u"e", u"É", false},
                    // Simple mappings only: ß has no single-character capital and is not "SS".
                    SupportCase{"sharpSIsNotDoubleS", u"ß", u"SS", false}, SupportCase{"longSIsS", u"ſ", u"s", true},
                    SupportCase{"dotlessIIsI", u"ı", u"i", true}, SupportCase{"finalSigma", u"ς", u"Σ", true},
                    SupportCase{"titlecaseDigraph", u"ǆ", u"ǅ", true},
                    SupportCase{"deseretPair", u"\U00010428", u"x\U00010400", true},
                    // The pair upper-cases to D801 DC00, so its old trail unit is gone.
                    SupportCase{"trailOfAPairAfterUpperCasing", u"\xDC28", u"\U00010428", false},
                    SupportCase{"leadOfAPairAfterUpperCasing", u"\xD801", u"\U00010428", true}),
    [](const testing::TestParamInfo<SupportCase>& info) { return info.param.name; });

struct UnsupportedCase {
    const char* name;
    Words entries;
    std::u16string wordString;
    Words unsupported;
};

void PrintTo(const UnsupportedCase& c, std::ostream* os) {
    *os << c.name;
}

class FindUnsupportedWordsRules : public testing::TestWithParam<UnsupportedCase> {};

TEST_P(FindUnsupportedWordsRules, reportsCleanedUnsupportedEntriesInOrder) {
    EXPECT_EQ(FindUnsupportedWords(GetParam().entries, GetParam().wordString), GetParam().unsupported);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindUnsupportedWordsRules,
    testing::Values(
        UnsupportedCase{
            "workedExample", {u"A", u"wheel,", u"and", u"axle."}, u"Thewheelsturnonashaft.", {u"and", u"axle"}},
        UnsupportedCase{"noDeduplication", {u"wheel,", u"wheel."}, u"axle", {u"wheel", u"wheel"}},
        UnsupportedCase{"emptyDisclosureReportsEverything", {u"", u"", u".", u"x"}, u"", {u"", u"", u"", u"x"}},
        UnsupportedCase{"emptyCleanedWordIsSupported", {u".", u"\r\n", u";", u""}, u"x", {}},
        UnsupportedCase{"loneCrIsReported", {u"a\rb"}, u"ab", {u"a\rb"}},
        UnsupportedCase{"claimCaseIsKept", {u"WHEEL", u"Axle"}, u"wheel", {u"Axle"}},
        UnsupportedCase{"entryOrderIsKept", {u"b", u"a", u"c"}, u"zzz", {u"b", u"a", u"c"}},
        UnsupportedCase{"noEntries", {}, u"", {}},
        UnsupportedCase{"wordsInsideAndAtTheEnds", {u"wheel", u"axle", u"el"}, u"abwheelx", {u"axle"}},
        // U+10428 upper-cases to U+10400 only as a pair: its trail unit is then U+DC00.
        UnsupportedCase{"trailUnitOfTheUpperCasedPair", {u"\xDC00", u"\U00010400"}, u"a\U00010428b", {}},
        UnsupportedCase{"oldTrailUnitOfAPairIsGone", {u"\xDC28", u"b"}, u"a\U00010428b", {u"\xDC28"}}),
    [](const testing::TestParamInfo<UnsupportedCase>& info) { return info.param.name; });

TEST(FindUnsupportedWords, wordDroppedFromClaimsIndexIsNeverTested) {
    const WordIndex claims = BuildWordIndex(u"therapy rap");
    ASSERT_EQ(claims.words, Words{u"therapy"});
    EXPECT_EQ(FindUnsupportedWords(claims.words, u"x"), Words{u"therapy"});
}

TEST(FindUnsupportedWords, lineBreakInClaimsRunsWordsTogether) {
    const WordIndex claims = BuildWordIndex(u"the wheel\r\naxle");
    ASSERT_EQ(claims.words, (Words{u"the", u"wheel\r\naxle"}));
    EXPECT_EQ(FindUnsupportedWords(claims.words, BuildWordIndex(u"wheel axle").wordString), Words{u"the"});
    EXPECT_EQ(FindUnsupportedWords(claims.words, u"wheel.axle"), (Words{u"the", u"wheelaxle"}));
}

TEST(UpperCase, agreesWithIcuForEveryCodePoint) {
    for (UChar32 c = 0; c <= 0x10FFFF; ++c) {
        std::u16string text;
        if (U16_LENGTH(c) == 1) {
            text.push_back(static_cast<char16_t>(c));
        } else {
            text = {U16_LEAD(c), U16_TRAIL(c)};
        }
        ASSERT_EQ(upperCase(text), literal::upperCase(text)) << "code point " << c;
    }
}

TEST(UpperCase, keepsLengthAndLeavesLoneSurrogates) {
    EXPECT_EQ(upperCase(u"abcß ﬀ ŉ"), u"ABCß ﬀ ŉ");
    EXPECT_EQ(upperCase(u"\U00010428\U00010429"), u"\U00010400\U00010401");
    EXPECT_EQ(upperCase(u"\xDC28\xD801"), u"\xDC28\xD801");
    EXPECT_EQ(upperCase(u"a\xD801"
                        u"b\xDC28"),
              u"A\xD801"
              u"B\xDC28");
    EXPECT_EQ(upperCase(u"\xD801"), u"\xD801");
}

} // namespace
} // namespace claimcheck
