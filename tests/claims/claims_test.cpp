// The claims' structure on short claim sets worked out by hand: where claims start (on their own lines or inside
// one paragraph), status words and canceled ranges, what each claim depends on; and where an offset stands.

#include "claims/claim_locations.h"
#include "claims/claim_set.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include <ostream>
#include <string>
#include <vector>

// Claim shapes and texts as text in a failure's message.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace claimcheck::claims {

namespace {

// A claim set as a few letters a claim each: its number, "x" when canceled, "!d" or "!o" for a number used twice
// or out of order, "<" and its parents, "*" when multiple dependent; e.g. "3<1,2*".
QStringList shape(const ClaimSet& set) {
    QStringList claims;
    for (const Claim& claim : set.claims) {
        QString item = QString::number(claim.number);
        if (claim.lastNumber != claim.number)
            item += u'-' + QString::number(claim.lastNumber);
        if (claim.canceled)
            item += u'x';
        if (claim.fault == NumberingFault::Duplicate)
            item += QStringLiteral("!d");
        if (claim.fault == NumberingFault::OutOfOrder)
            item += QStringLiteral("!o");
        QStringList parents;
        for (const int parent : claim.parents)
            parents << QString::number(parent);
        if (!parents.isEmpty())
            item += u'<' + parents.join(u',');
        if (claim.multipleDependent)
            item += u'*';
        claims << item;
    }
    return claims;
}

} // namespace

struct StructureCase {
    const char* name;
    QString text;
    QStringList shape;
};

void PrintTo(const StructureCase& c, std::ostream* out) {
    *out << c.name;
}

class ClaimStructure : public ::testing::TestWithParam<StructureCase> {};

TEST_P(ClaimStructure, numbersStatusAndParents) {
    EXPECT_EQ(shape(readClaims(GetParam().text)), GetParam().shape);
}

INSTANTIATE_TEST_SUITE_P(
    Sets, ClaimStructure,
    ::testing::Values(
        StructureCase{"threeLines",
                      QStringLiteral("1. A device comprising a lever.\n2. The device of claim 1, wherein the spring is "
                                     "blue.\n3. The device of claim 4."),
                      {"1", "2<1", "3"}},
        StructureCase{"oneParagraph",
                      QStringLiteral("1. A device comprising a lever. 2. The device of claim 1, wherein the spring is "
                                     "blue. 3. The device of claim 4."),
                      {"1", "2<1", "3"}},
        // Inside a line only the next number after a full stop and before a capital starts a claim.
        StructureCase{"numbersInsideAClaim",
                      QStringLiteral("1. A rod of 2. mm, cut at 5. A bend. 2. The rod of claim 1. 4. Heat. 3. The "
                                     "rod of claim 2."),
                      {"1", "2<1", "3<2"}},
        StructureCase{"statusWords",
                      QStringLiteral("1. (Original) A device.\n2. (Canceled)\n3. (Currently amended) The device of "
                                     "claim 1.\n4. (New) The device of claim 2."),
                      {"1", "2x", "3<1", "4"}},
        StructureCase{"canceledRange",
                      QStringLiteral("1. A device.\n2-4. (canceled)\n5. The device of claim 3 or 1.\n6. Canceled."),
                      {"1", "2-4x", "5<1*", "6x"}},
        StructureCase{"referencePhrases",
                      QStringLiteral("1. A device.\n2. A device according to claim 1.\n3. A device as claimed in "
                                     "claim 2.\n4. A device as recited in claim 3.\n5. A device as set forth in claim "
                                     "4, wherein it is red.\n6. The device of claims 1 to 3.\n7. The device of any one "
                                     "of claims 2-4.\n8. The device of claim 1 or 2.\n9. The device of any of the "
                                     "preceding claims."),
                      {"1", "2<1", "3<2", "4<3", "5<4", "6<1,2,3*", "7<2,3,4*", "8<1,2*", "9<1,2,3,4,5,6,7,8*"}},
        // A claim named after the preamble is part of what is claimed, no parent.
        StructureCase{"referenceInTheBody",
                      QStringLiteral("1. A lever.\n2. A kit comprising a box and the lever of claim 1.\n3. The kit "
                                     "of claim 2, wherein the box holds the lever of claim 1."),
                      {"1", "2", "3<2"}},
        StructureCase{"selfLaterAndMissingAreNoParents",
                      QStringLiteral("1. A lever.\n2. The lever of claim 2.\n3. The lever of claim 4 or 1.\n4. The "
                                     "lever of claim 9."),
                      {"1", "2", "3<1*", "4"}},
        StructureCase{"duplicateAndOutOfOrder",
                      QStringLiteral("1. A lever.\n2. The lever of claim 1.\n2. The lever of claim 1.\n5. A cam.\n4. "
                                     "The cam of claim 5."),
                      {"1", "2<1", "2!d<1", "5", "4!o"}},
        StructureCase{"numberedListInsideAClaim",
                      QStringLiteral("1. A method comprising:\n1) mixing;\n2) heating.\n2. The method of claim 1."),
                      {"1", "2<1"}},
        StructureCase{
            "claimWordNumbering", QStringLiteral("Claim 1. A lever.\nClaim 2. The lever of claim 1."), {"1", "2<1"}},
        StructureCase{"noClaims", QStringLiteral("What we claim is a lever."), {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ClaimSpans, aClaimRunsToTheNextAndItsTextStartsAfterItsStatusWord) {
    const QString text = QStringLiteral("Claims\n1. (Original) A lever. 2. The lever of claim 1.");
    const ClaimSet set = readClaims(text);
    ASSERT_EQ(set.claims.size(), 2u);
    EXPECT_EQ(set.claims[0].start, text.indexOf(u'1'));
    EXPECT_EQ(set.claims[0].textStart, text.indexOf(u')') + 1);
    EXPECT_EQ(set.claims[0].end, text.indexOf(QStringLiteral("2.")));
    EXPECT_EQ(set.claims[1].start, text.indexOf(QStringLiteral("2.")));
    EXPECT_EQ(set.claims[1].end, text.size());
    EXPECT_EQ(set.claims[1].preambleEnd, text.size());
    EXPECT_EQ(set.indexAt(0), -1);
    EXPECT_EQ(set.indexAt(text.indexOf(QStringLiteral("lever."))), 0);
    EXPECT_EQ(set.indexAt(text.size() - 1), 1);
}

TEST(ClaimSpans, theReferenceNamesEveryNumberWhereItStands) {
    const QString text = QStringLiteral("1. A. 2. B. 3. C. 4. The device of any one of claims 1 to 3, wherein it "
                                        "fits claim 2.");
    const ClaimSet set = readClaims(text);
    ASSERT_EQ(set.claims.size(), 4u);
    const std::vector<ClaimReference>& references = set.claims[3].references;
    ASSERT_EQ(references.size(), 2u);
    EXPECT_TRUE(references[0].inPreamble);
    EXPECT_FALSE(references[1].inPreamble);
    ASSERT_EQ(references[0].numbers.size(), 2u);
    EXPECT_EQ(references[0].numbers[1].number, 3);
    EXPECT_EQ(references[0].numbers[1].offset, text.indexOf(QStringLiteral("3,")));
    EXPECT_EQ(references[0].ranges, (std::vector<std::pair<int, int>>{{1, 3}}));
    EXPECT_EQ(set.ancestors(3), (std::vector<int>{0, 1, 2}));
}

TEST(ClaimSpans, ancestorsFollowTheChainButNotIntoSiblings) {
    const ClaimSet set = readClaims(QStringLiteral(
        "1. A lever.\n2. The lever of claim 1.\n3. The lever of claim 2.\n4. The lever of claim 1.\n5. A cam.\n6. The "
        "cam of claim 5 or 3."));
    EXPECT_EQ(set.ancestors(2), (std::vector<int>{0, 1}));
    EXPECT_EQ(set.ancestors(3), (std::vector<int>{0}));
    EXPECT_EQ(set.ancestors(5), (std::vector<int>{0, 1, 2, 4}));
}

// --- where findings stand ----------------------------------------------------------------------------------------

struct NumberingCase {
    const char* name;
    QString line;
    int claim;
};

void PrintTo(const NumberingCase& c, std::ostream* out) {
    *out << c.name;
}

class ClaimNumbering : public ::testing::TestWithParam<NumberingCase> {};

TEST_P(ClaimNumbering, readsTheUsualNumberingAtTheStartOfALine) {
    EXPECT_EQ(claimNumberAtLineStart(GetParam().line), GetParam().claim);
}

INSTANTIATE_TEST_SUITE_P(Lines, ClaimNumbering,
                         ::testing::Values(NumberingCase{"stop", QStringLiteral("1. A wheel"), 1},
                                           NumberingCase{"spaceBeforeStop", QStringLiteral("12 . A wheel"), 12},
                                           NumberingCase{"bracket", QStringLiteral("3) A wheel"), 3},
                                           NumberingCase{"noSpaceAfterStop", QStringLiteral("4.An axle"), 4},
                                           NumberingCase{"indented", QStringLiteral("\t 5. An axle"), 5},
                                           NumberingCase{"claimWord", QStringLiteral("Claim 6"), 6},
                                           NumberingCase{"claimWordWithStop", QStringLiteral("CLAIM 7. An axle"), 7},
                                           NumberingCase{"claimWordWithColon", QStringLiteral("Claim 8:"), 8},
                                           NumberingCase{"decimal", QStringLiteral("3.5 mm of axle"), 0},
                                           NumberingCase{"referenceContinuingASentence",
                                                         QStringLiteral("claim 1, wherein"), 0},
                                           NumberingCase{"claimWordInASentence", QStringLiteral("Claim 1 wherein"), 0},
                                           NumberingCase{"letterLabel", QStringLiteral("a) a wheel"), 0},
                                           NumberingCase{"numberAlone", QStringLiteral("27 wheels"), 0},
                                           NumberingCase{"empty", QString(), 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Locate, linesColumnsAndOffsetsCountCharactersNotCodeUnits) {
    const QString claims = QStringLiteral("1. A \U0001D400x\n2. y \U0001D400z");
    //                                     0123456 7 8     9...   (code units: the pair takes two)
    const std::vector<Location> at = locate(claims, {claims.indexOf(u'z'), claims.indexOf(u'x'), 0}, 10);
    ASSERT_EQ(at.size(), 3u);
    EXPECT_EQ(at[0].claim, 2);
    EXPECT_EQ(at[0].line, 11);
    EXPECT_EQ(at[0].column, 7);
    EXPECT_EQ(at[0].offset, 14);
    EXPECT_EQ(at[1].claim, 1);
    EXPECT_EQ(at[1].line, 10);
    EXPECT_EQ(at[1].column, 7);
    EXPECT_EQ(at[1].offset, 6);
    EXPECT_EQ(at[2].column, 1);
    EXPECT_EQ(at[2].offset, 0);
}

TEST(Locate, aNumberedListInsideAClaimStartsNoClaimButAGapOfCancelledClaimsDoes) {
    const QString claims = QStringLiteral("3. A kit of:\n1) a wheel\n2) an axle\n17. x\n9. y\n4. z");
    const std::vector<Location> at =
        locate(claims, {claims.indexOf(QStringLiteral("wheel")), claims.indexOf(QStringLiteral("axle")),
                        claims.indexOf(u'x'), claims.indexOf(u'y'), claims.indexOf(u'z')});
    std::vector<int> claimsFound;
    for (const Location& location : at)
        claimsFound.push_back(location.claim);
    EXPECT_EQ(claimsFound, (std::vector<int>{3, 3, 3, 9, 9}));
}

TEST(Locate, textBeforeAnyNumberHasNoClaim) {
    const QString claims = QStringLiteral("What we claim\nis a wheel");
    EXPECT_EQ(locate(claims, {claims.indexOf(QStringLiteral("wheel"))}).front().claim, 0);
}

} // namespace claimcheck::claims
