// The antecedent basis and reference checks on short claim sets whose findings are worked out by hand, and the
// pieces they stand on: the words' singular keys and where noun phrases end.

#include "claims/claim_set.h"
#include "proofreading/antecedents.h"
#include "proofreading/noun_phrases.h"
#include "proofreading/references.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include <ostream>
#include <string>

// Findings as text in a failure's message.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace claimcheck::proofreading {

namespace {

// Each finding as "claim:tier:words", in the order the check gives them.
QStringList summarised(const std::vector<ProofFinding>& findings) {
    QStringList list;
    for (const ProofFinding& finding : findings)
        list << QStringLiteral("%1:%2:%3")
                    .arg(finding.claim)
                    .arg(finding.tier == Tier::Error ? QStringLiteral("error") : QStringLiteral("warning"))
                    .arg(finding.term);
    return list;
}

struct ProofCase {
    const char* name;
    QString claims;
    QStringList findings;
};

void PrintTo(const ProofCase& c, std::ostream* out) {
    *out << c.name;
}

std::string caseName(const ::testing::TestParamInfo<ProofCase>& info) {
    return info.param.name;
}

} // namespace

class AntecedentBasis : public ::testing::TestWithParam<ProofCase> {};

TEST_P(AntecedentBasis, findsExactlyTheTermsWithoutBasis) {
    const QString& text = GetParam().claims;
    EXPECT_EQ(summarised(checkAntecedents(text, claims::readClaims(text))), GetParam().findings);
}

INSTANTIATE_TEST_SUITE_P(
    ClaimSets, AntecedentBasis,
    ::testing::Values(
        ProofCase{"springWithoutBasisOnThreeLines",
                  QStringLiteral("1. A device comprising a lever.\n2. The device of claim 1, wherein the spring is "
                                 "blue.\n3. The device of claim 4."),
                  {"2:error:the spring"}},
        ProofCase{"springWithoutBasisInOneParagraph",
                  QStringLiteral("1. A device comprising a lever. 2. The device of claim 1, wherein the spring is "
                                 "blue. 3. The device of claim 4."),
                  {"2:error:the spring"}},
        ProofCase{"basisInTheClaimAndItsAncestors",
                  QStringLiteral("1. A device comprising a lever and a spring.\n2. The device of claim 1, wherein "
                                 "said lever is bent.\n3. The device of claim 2, wherein the spring pushes the lever."),
                  {}},
        ProofCase{"referenceWordsMustBeAmongTheIntroductions",
                  QStringLiteral("1. A device comprising an aluminum lever, wherein the lever is bent.\n2. A tool "
                                 "comprising a lever, wherein the aluminum lever is bent."),
                  {"2:error:the aluminum lever"}},
        ProofCase{"ordinalsMustMatch",
                  QStringLiteral("1. A device comprising a first lever, wherein the second lever is bent and the "
                                 "first lever is straight."),
                  {"1:error:the second lever"}},
        ProofCase{"pluralsAndSingularsMatchIrregularOnesToo",
                  QStringLiteral("1. A gear comprising a plurality of teeth, wherein each tooth is hardened.\n2. A "
                                 "comb comprising a tooth, wherein the teeth are blunt.\n3. A rack comprising "
                                 "assemblies, wherein each assembly is bolted."),
                  {}},
        ProofCase{"aSingularReferenceToAPluralIsAWarning",
                  QStringLiteral("1. A device comprising levers, wherein the lever is bent."),
                  {"1:warning:the lever"}},
        ProofCase{"everyItemOfAListIsIntroduced",
                  QStringLiteral("1. A device comprising levers, springs and cams, wherein the cams and the springs "
                                 "touch.\n2. A device comprising first and second arms, wherein the second arm "
                                 "is short."),
                  {}},
        ProofCase{"quantitiesIntroduce",
                  QStringLiteral("1. A device comprising at least one sensor, one or more valves, two wheels and "
                                 "another pump, wherein the at least one sensor, the one or more valves, the two "
                                 "wheels and the pump are wired."),
                  {}},
        ProofCase{"aSiblingClaimIsNoBasis",
                  QStringLiteral("1. A device comprising a frame.\n2. The device of claim 1, further comprising a "
                                 "spring.\n3. The device of claim 1, wherein the spring is red."),
                  {"3:warning:the spring"}},
        ProofCase{"aMultipleDependentClaimNeedsBasisThroughEveryParent",
                  QStringLiteral("1. A device comprising a frame.\n2. The device of claim 1, further comprising a "
                                 "spring.\n3. The device of claim 1 or 2, wherein the spring is red.\n4. The device "
                                 "of claim 2 or 3, wherein the spring is blue."),
                  {"3:warning:the spring"}},
        ProofCase{"introducingAgainIsAWarning",
                  QStringLiteral("1. A device comprising a lever.\n2. The device of claim 1, further comprising a "
                                 "lever and another lever."),
                  {"2:warning:a lever"}},
        ProofCase{"introducedOnlyLaterInTheClaim",
                  QStringLiteral("1. A device wherein the lever is fixed to a lever."),
                  {"1:error:the lever"}},
        ProofCase{"aCanceledClaimIntroducesNothing",
                  QStringLiteral("1. A device.\n2. (Canceled) A device comprising a cam.\n3. The device of claim 1, "
                                 "wherein the cam is red."),
                  {"3:error:the cam"}},
        ProofCase{"phrasesThatNeedNoBasis",
                  QStringLiteral("1. A device comprising a lever (12) having an arm, wherein the end of the lever "
                                 "(12) and the other arm have the same colour, and a finish selected from the "
                                 "group consisting of red and blue.\n2. The device according to any one of the "
                                 "preceding claims, wherein the amount of the paint is small."),
                  {"2:error:the paint"}},
        ProofCase{"phrasesEndAtVerbsParticiplesAndPrepositions",
                  QStringLiteral("1. A device comprising a lever connected to a base, wherein the lever pivots on "
                                 "the base configured as a plate, and the base that holds the lever has the lever "
                                 "and/or the cam."),
                  {"1:error:the cam"}},
        // A claim that depends on this one is no sibling: what it introduces comes too late.
        ProofCase{"aLaterDependentClaimIsNoBasis",
                  QStringLiteral("1. A device wherein the cam is red.\n2. The device of claim 1, comprising a cam."),
                  {"1:error:the cam"}},
        ProofCase{"aPropertyOfWhatFollowsIsOnlyAWarning",
                  QStringLiteral("1. A method for measuring the size distribution of rocks, wherein the volume and "
                                 "area of each rock are measured at the position, allowing the transmitting to a "
                                 "store."),
                  {"1:warning:the size distribution", "1:error:the position", "1:warning:the transmitting"}},
        // What a claim names of another claim serves the rest of the claim, and its dependants, not its siblings.
        ProofCase{"whatAClaimNamesOfAnotherIsABasis",
                  QStringLiteral("1. A cell.\n2. A method comprising culturing the cell of claim 1, wherein said cell "
                                 "grows.\n3. The method of claim 2, wherein the cell dies.\n4. A kit comprising a box, "
                                 "wherein the cell is frozen."),
                  {"4:error:the cell"}},
        ProofCase{"aParticipleTheIntroductionLacksIsOnlyAWarning",
                  QStringLiteral("1. A method comprising receiving data, storing the received data and checking "
                                 "whether the received data matches a key."),
                  {"1:warning:the received data", "1:warning:the received data matches"}}),
    caseName);

class ClaimReferences : public ::testing::TestWithParam<ProofCase> {};

TEST_P(ClaimReferences, findsExactlyTheFaultyNumbersAndReferences) {
    const QString& text = GetParam().claims;
    EXPECT_EQ(summarised(checkReferences(text, claims::readClaims(text))), GetParam().findings);
}

INSTANTIATE_TEST_SUITE_P(
    ClaimSets, ClaimReferences,
    ::testing::Values(
        ProofCase{"aLaterClaim",
                  QStringLiteral("1. A device comprising a lever. 2. The device of claim 1, wherein the spring is "
                                 "blue. 3. The device of claim 4."),
                  {"3:error:4"}},
        ProofCase{"selfLaterMissingAndCanceled",
                  QStringLiteral("1. A lever.\n2. The lever of claim 2.\n3. (Canceled)\n4. The lever of claim 5.\n5. "
                                 "The lever of claim 3.\n7. The lever of claim 6 or 1."),
                  {"2:error:2", "4:error:5", "5:error:3", "7:error:6"}},
        ProofCase{"rangesAreCheckedAtTheirEnds",
                  QStringLiteral("1. A lever.\n2. The lever of claim 1.\n3. The lever of any one of claims 1 to 4."),
                  {"3:error:4"}},
        ProofCase{"duplicateAndOutOfOrderNumbers",
                  QStringLiteral("1. A lever.\n2. The lever of claim 1.\n2. The lever of claim 1.\n5. A cam.\n4. The "
                                 "cam of claim 5."),
                  {"2:error:2", "4:error:4", "4:error:5"}},
        ProofCase{"multipleDependentOnMultipleDependentIsAWarning",
                  QStringLiteral("1. A lever.\n2. The lever of claim 1.\n3. The lever of claim 1 or 2.\n4. The lever "
                                 "of claim 3.\n5. The lever of claims 2 or 3."),
                  {"5:warning:claims 2 or 3"}},
        ProofCase{"precedingClaimsInTheFirstClaim",
                  QStringLiteral("1. The lever of any of the preceding claims.\n2. The lever of claim 1."),
                  {"1:error:any of the preceding claims"}},
        ProofCase{"aClaimNamedInTheBodyIsNoDependency",
                  QStringLiteral("1. A lever.\n2. A kit comprising a box and the lever of claim 3.\n3. A box."),
                  {}}),
    caseName);

struct KeyCase {
    const char* word;
    const char* key;
};

class WordKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(WordKeys, singularAndPluralShareAKey) {
    EXPECT_EQ(wordKey(QString::fromLatin1(GetParam().word)), QString::fromLatin1(GetParam().key));
}

INSTANTIATE_TEST_SUITE_P(Words, WordKeys,
                         ::testing::Values(KeyCase{"Levers", "lever"}, KeyCase{"lever", "lever"},
                                           KeyCase{"teeth", "tooth"}, KeyCase{"assemblies", "assembly"},
                                           KeyCase{"boxes", "box"}, KeyCase{"glasses", "glass"},
                                           KeyCase{"glass", "glass"}, KeyCase{"brushes", "brush"},
                                           KeyCase{"gases", "gas"}, KeyCase{"gas", "gas"},
                                           KeyCase{"apparatus", "apparatus"}, KeyCase{"axis", "axis"},
                                           KeyCase{"means", "means"}, KeyCase{"data", "datum"},
                                           KeyCase{"knives", "knife"}, KeyCase{"bus", "bus"}),
                         [](const auto& info) { return std::string(info.param.word); });

} // namespace claimcheck::proofreading
