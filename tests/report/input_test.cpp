// Reading the texts: each format and encoding, each kind of bad input, and the cut of a draft at its claims heading.

#include "documents.h"
#include "report/draft_split.h"
#include "report/input_text.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>

#include <functional>
#include <ostream>

namespace claimcheck::report {

void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

using testing::docx;
using testing::docxWithBody;
using testing::docxWithDocumentXml;
using testing::odt;
using testing::odtWithBody;
using testing::withStatedSize;
using testing::zipArchive;

QByteArray utf16(const QString& text, bool bigEndian) {
    QByteArray bytes = bigEndian ? QByteArray("\xFE\xFF", 2) : QByteArray("\xFF\xFE", 2);
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        bytes.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return bytes;
}

// "é", "€" and a character outside the Basic Multilingual Plane, so that every encoding needs more than one unit.
const QString kSample = QStringLiteral("1. A wh\u00E9el of \u20AC5 \U0001D400\nand an axle");

struct GoodInput {
    const char* name;
    std::function<QByteArray()> bytes;
    QString fileName;
    QString text;
};

void PrintTo(const GoodInput& input, std::ostream* out) {
    *out << input.name;
}

class ReadsEveryFormat : public ::testing::TestWithParam<GoodInput> {};

TEST_P(ReadsEveryFormat, givesTheTextWithParagraphsAsLines) {
    const InputText read = textOfBytes(GetParam().bytes(), GetParam().fileName);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ReadsEveryFormat,
    ::testing::Values(
        GoodInput{"utf8", [] { return kSample.toUtf8(); }, QStringLiteral("claims.txt"), kSample},
        GoodInput{"utf8WithByteOrderMark", [] { return QByteArray("\xEF\xBB\xBF") + kSample.toUtf8(); },
                  QStringLiteral("claims.txt"), kSample},
        GoodInput{"utf16LittleEndian", [] { return utf16(kSample, false); }, QStringLiteral("claims.txt"), kSample},
        GoodInput{"utf16BigEndian", [] { return utf16(kSample, true); }, QStringLiteral("claims.txt"), kSample},
        GoodInput{"crLfKeptForTheCheckToHandle", [] { return QByteArray("a\r\nb\r\n"); }, QStringLiteral("x"),
                  QStringLiteral("a\r\nb\r\n")},
        GoodInput{"textWithNoNameEnding", [] { return kSample.toUtf8(); }, QStringLiteral("-"), kSample},
        GoodInput{"docx",
                  [] {
                      return docx({QStringLiteral("1. A wh\u00E9el"), QString(), QStringLiteral("2. <b> & c")});
                  },
                  QStringLiteral("draft.docx"), QStringLiteral("1. A wh\u00E9el\n\n2. <b> & c")},
        GoodInput{"docxToldByContentNotName",
                  [] {
                      return docx({QStringLiteral("alpha"), QStringLiteral("beta")});
                  },
                  QStringLiteral("draft.bin"), QStringLiteral("alpha\nbeta")},
        GoodInput{"docxRunsTabsBreaksAndWhatIsNotText",
                  [] {
                      return docxWithBody(QStringLiteral(
                          "<w:p><w:r><w:rPr><w:b/></w:rPr><w:t>wh</w:t></w:r><w:r><w:t>eel</w:t><w:tab/>"
                          "<w:t>x</w:t><w:br/><w:t>y</w:t></w:r>"
                          "<w:del><w:r><w:delText>gone</w:delText></w:r></w:del>"
                          "<w:r><w:instrText>PAGE</w:instrText></w:r>"
                          "<w:r><mc:AlternateContent><mc:Choice Requires=\"wps\"><w:t>box</w:t></mc:Choice>"
                          "<mc:Fallback><w:t>box</w:t></mc:Fallback></mc:AlternateContent></w:r></w:p>"
                          "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>cell</w:t></w:r></w:p></w:tc></w:tr></w:tbl>"));
                  },
                  QStringLiteral("d.docx"), QStringLiteral("wheel\tx\nybox\ncell")},
        GoodInput{"docxNumberedListsDrawTheirNumbers",
                  [] {
                      using testing::numberedParagraph;
                      return docxWithBody(numberedParagraph(1, 0, QStringLiteral("A wheel")) +
                                              numberedParagraph(1, 1, QStringLiteral("a rim")) +
                                              numberedParagraph(1, 1, QStringLiteral("a hub")) +
                                              numberedParagraph(1, 2, QStringLiteral("spoke")) +
                                              numberedParagraph(1, 0, QStringLiteral("An axle")) +
                                              numberedParagraph(1, 1, QStringLiteral("a pin")) +
                                              numberedParagraph(1, 3, QStringLiteral("x")) +
                                              numberedParagraph(2, 0, QStringLiteral("Restarted")) +
                                              numberedParagraph(0, 0, QStringLiteral("plain")) +
                                              numberedParagraph(7, 0, QStringLiteral("unknown list")),
                                          testing::numberedListsXml());
                  },
                  QStringLiteral("n.docx"),
                  QStringLiteral("1.\tA wheel\na) a rim\nb) a hub\nspoke\n2.\tAn axle\na) a pin\n2.IVx\n5.\tRestarted\n"
                                 "plain\nunknown list")},
        GoodInput{"odt",
                  [] {
                      return odt({QStringLiteral("1. A wh\u00E9el"), QStringLiteral("2. <b> & c")});
                  },
                  QStringLiteral("draft.odt"), QStringLiteral("1. A wh\u00E9el\n2. <b> & c")},
        GoodInput{
            "odtSpacesTabsBreaksHeadingsListsAndWhatIsNotText",
            [] {
                return odtWithBody(QStringLiteral(
                    "<text:h text:outline-level=\"1\">Claims</text:h>"
                    "<text:p>a<text:s text:c=\"3\"/>b<text:tab/>c<text:line-break/>d"
                    "<text:note><text:note-citation>1</text:note-citation><text:note-body><text:p>note"
                    "</text:p></text:note-body></text:note></text:p>"
                    "<text:list><text:list-item><text:p>  listed\n   item </text:p></text:list-item></text:list>"));
            },
            QStringLiteral("d.odt"), QStringLiteral("Claims\na   b\tc\nd\nlisted item ")}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadInput {
    const char* name;
    std::function<QByteArray()> bytes;
    QString fileName;
    QString reason; // the start of the reason given
};

void PrintTo(const BadInput& input, std::ostream* out) {
    *out << input.name;
}

class RefusesBadInput : public ::testing::TestWithParam<BadInput> {};

TEST_P(RefusesBadInput, givesNoTextAndSaysWhy) {
    const InputText read = textOfBytes(GetParam().bytes(), GetParam().fileName);
    EXPECT_FALSE(read.ok());
    EXPECT_TRUE(read.text.isEmpty());
    EXPECT_TRUE(read.error.startsWith(GetParam().reason)) << read.error.toStdString();
}

const QString kNotText = QStringLiteral("neither text nor");

INSTANTIATE_TEST_SUITE_P(
    BadInputs, RefusesBadInput,
    ::testing::Values(
        BadInput{"empty", [] { return QByteArray(); }, QStringLiteral("a.txt"), QStringLiteral("empty file")},
        BadInput{"onlyAByteOrderMark", [] { return QByteArray("\xEF\xBB\xBF"); }, QStringLiteral("a.txt"),
                 QStringLiteral("empty file")},
        BadInput{"onlyWhiteSpace", [] { return QByteArray(" \n\t\r\n"); }, QStringLiteral("a.txt"),
                 QStringLiteral("empty file")},
        BadInput{"utf16OnlyAByteOrderMark", [] { return QByteArray("\xFF\xFE"); }, QStringLiteral("a.txt"),
                 QStringLiteral("empty file")},
        BadInput{"overlongUtf8", [] { return QByteArray("ab\xC0\x80"); }, QStringLiteral("a.txt"),
                 QStringLiteral("not valid UTF-8 (byte 3)")},
        BadInput{"utf8Surrogate", [] { return QByteArray("\xED\xA0\x80x"); }, QStringLiteral("a.txt"),
                 QStringLiteral("not valid UTF-8 (byte 1)")},
        BadInput{"strayContinuationByte", [] { return QByteArray("abc\x80"); }, QStringLiteral("a.txt"),
                 QStringLiteral("not valid UTF-8 (byte 4)")},
        BadInput{"truncatedSequenceAtTheEnd", [] { return QByteArray("ab\xE2\x82"); }, QStringLiteral("a.txt"),
                 QStringLiteral("not valid UTF-8 (byte 3)")},
        BadInput{"latin1", [] { return QByteArray("caf\xE9 au lait"); }, QStringLiteral("a.txt"),
                 QStringLiteral("not valid UTF-8 (byte 4)")},
        BadInput{"utf16LoneSurrogate", [] { return utf16(QStringLiteral("a") + QChar(0xD800) + u'b', false); },
                 QStringLiteral("a.txt"), QStringLiteral("not valid UTF-16 (a lone surrogate at character 2)")},
        BadInput{"utf16OddLength", [] { return utf16(QStringLiteral("ab"), true) + 'x'; }, QStringLiteral("a.txt"),
                 QStringLiteral("not valid UTF-16")},
        BadInput{"utf16WithoutByteOrderMark", [] { return utf16(QStringLiteral("abc"), false).sliced(2); },
                 QStringLiteral("a.txt"), kNotText},
        BadInput{"binary",
                 [] {
                     return QByteArray("\x7F"
                                       "ELF\x02\x01\x01\x00\x00",
                                       9);
                 },
                 QStringLiteral("a.out"), kNotText},
        BadInput{"controlCharacters", [] { return QByteArray("text\x1B[0m"); }, QStringLiteral("a.txt"), kNotText},
        BadInput{"pdf", [] { return QByteArray("%PDF-1.7\n\xE2\xE3\xCF\xD3\n"); }, QStringLiteral("a.pdf"),
                 QStringLiteral("a PDF file")},
        BadInput{"oldWordDocument", [] { return QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\x00", 9); },
                 QStringLiteral("a.doc"), QStringLiteral("an old Word document")},
        BadInput{"textNamedDocx", [] { return QByteArray("plain"); }, QStringLiteral("a.docx"),
                 QStringLiteral("named as a document but not one")},
        BadInput{"textNamedOdt", [] { return QByteArray("plain"); }, QStringLiteral("a.ODT"),
                 QStringLiteral("named as a document but not one")},
        BadInput{"zipOfSomethingElse",
                 [] {
                     return zipArchive({{QStringLiteral("readme.txt"), QByteArrayLiteral("hello")}});
                 },
                 QStringLiteral("a.zip"), QStringLiteral("a zip archive but neither")},
        BadInput{"odtOfAnotherKind",
                 [] {
                     return zipArchive({{QStringLiteral("mimetype"),
                                         QByteArrayLiteral("application/vnd.oasis.opendocument.spreadsheet")},
                                        {QStringLiteral("content.xml"), QByteArrayLiteral("<x/>")}});
                 },
                 QStringLiteral("a.odt"), QStringLiteral("a zip archive but neither")},
        BadInput{"truncatedZip", [] { return docx({QStringLiteral("text")}).first(40); }, QStringLiteral("a.docx"),
                 QStringLiteral("not a readable zip archive")},
        BadInput{"damagedDocumentXml",
                 [] {
                     return zipArchive({{QStringLiteral("word/document.xml"), QByteArrayLiteral("<w:document><w:p>")}});
                 },
                 QStringLiteral("a.docx"), QStringLiteral("a damaged part word/document.xml")},
        BadInput{"docxWithNoText",
                 [] {
                     return docx({QString(), QStringLiteral("  ")});
                 },
                 QStringLiteral("a.docx"), QStringLiteral("a document with no text")}),
    [](const auto& info) { return std::string(info.param.name); });

// The limits on a document, as the manual page states them: its body's part inflates to at most 64 MB, and its
// text holds at most 64 MB (UTF-16 code units, line breaks between paragraphs included).
constexpr qsizetype kPartLimit = qsizetype(64) << 20;
constexpr qsizetype kTextLimit = qsizetype(64) << 20;

const QByteArray kEmptyComment = "<!---->";

// A part of exactly `size` bytes: `start`, `unit` as often as it fits, an XML comment that fills what is left,
// then `end`.
qsizetype unitsInPart(qsizetype size, const QByteArray& start, const QByteArray& unit, const QByteArray& end) {
    return (size - start.size() - end.size() - kEmptyComment.size()) / unit.size();
}

QByteArray partOfSize(qsizetype size, const QByteArray& start, const QByteArray& unit, const QByteArray& end) {
    const qsizetype units = unitsInPart(size, start, unit, end);
    const qsizetype fill = size - start.size() - end.size() - kEmptyComment.size() - units * unit.size();
    return start + unit.repeated(units) + "<!--" + QByteArray(fill, 'x') + "-->" + end;
}

// Each unit is a paragraph "A wheel turns.", so a part's text is that many lines of 14 characters.
const QByteArray kDocxParagraph = "<w:p><w:r><w:t>A wheel turns.</w:t></w:r></w:p>";
const QByteArray kOdtParagraph = "<text:p>A wheel turns.</text:p>";

QByteArray docxOfSize(qsizetype size) {
    return docxWithDocumentXml(partOfSize(size, testing::kDocumentXmlStart, kDocxParagraph, testing::kDocumentXmlEnd));
}

qsizetype docxTextLength(qsizetype size) {
    return unitsInPart(size, testing::kDocumentXmlStart, kDocxParagraph, testing::kDocumentXmlEnd) * 15 - 1;
}

QByteArray odtOfSize(qsizetype size) {
    return testing::odtWithContentXml(
        partOfSize(size, testing::kContentXmlStart, kOdtParagraph, testing::kContentXmlEnd));
}

qsizetype odtTextLength(qsizetype size) {
    return unitsInPart(size, testing::kContentXmlStart, kOdtParagraph, testing::kContentXmlEnd) * 15 - 1;
}

// Paragraphs of `lengths` characters each: an "a", then a run of spaces.
QByteArray odtOfParagraphs(std::initializer_list<qsizetype> lengths) {
    QString body;
    for (const qsizetype length : lengths)
        body += QStringLiteral("<text:p>a<text:s text:c=\"%1\"/></text:p>").arg(length - 1);
    return odtWithBody(body);
}

struct LimitCase {
    const char* name;
    std::function<QByteArray()> bytes;
    qsizetype textLength; // of the text read; 0 when the document is refused
    QString reason;       // the start of the reason given, when it is
};

void PrintTo(const LimitCase& c, std::ostream* out) {
    *out << c.name;
}

class DocumentLimits : public ::testing::TestWithParam<LimitCase> {};

TEST_P(DocumentLimits, holdUpToTheLimitAndRefuseOneMore) {
    const InputText read = textOfBytes(GetParam().bytes(), QStringLiteral("draft"));
    if (GetParam().textLength > 0) {
        ASSERT_TRUE(read.ok()) << read.error.toStdString();
        EXPECT_EQ(read.text.size(), GetParam().textLength);
    } else {
        EXPECT_FALSE(read.ok());
        EXPECT_TRUE(read.text.isEmpty());
        EXPECT_TRUE(read.error.startsWith(GetParam().reason)) << read.error.toStdString();
    }
}

const QString kDocxPartTooLarge = QStringLiteral("a part word/document.xml larger than 64 MB when inflated");
const QString kOdtPartTooLarge = QStringLiteral("a part content.xml larger than 64 MB when inflated");
const QString kTextTooLarge = QStringLiteral("a document larger than 64 MB of text");

INSTANTIATE_TEST_SUITE_P(
    Limits, DocumentLimits,
    ::testing::Values(
        LimitCase{"docxPartAtTheLimit", [] { return docxOfSize(kPartLimit); }, docxTextLength(kPartLimit), {}},
        LimitCase{"docxPartOverIt", [] { return docxOfSize(kPartLimit + 1); }, 0, kDocxPartTooLarge},
        // The archive states a small size: only the count of what inflates tells.
        LimitCase{"docxPartOverItWithItsSizeHidden",
                  [] { return withStatedSize(docxOfSize(kPartLimit + 1), "word/document.xml", 1000); }, 0,
                  kDocxPartTooLarge},
        LimitCase{"odtPartAtTheLimitWithItsSizeHidden",
                  [] { return withStatedSize(odtOfSize(kPartLimit), "content.xml", 1000); },
                  odtTextLength(kPartLimit),
                  {}},
        LimitCase{"odtPartOverItWithItsSizeHidden",
                  [] { return withStatedSize(odtOfSize(kPartLimit + 1), "content.xml", 1000); }, 0, kOdtPartTooLarge},
        LimitCase{"textAtTheLimit", [] { return odtOfParagraphs({kTextLimit}); }, kTextLimit, {}},
        LimitCase{"textOverIt", [] { return odtOfParagraphs({kTextLimit + 1}); }, 0, kTextTooLarge},
        // The line break between two paragraphs counts.
        LimitCase{"twoParagraphsAtTheLimit",
                  [] {
                      return odtOfParagraphs({kTextLimit - 3, 2});
                  },
                  kTextLimit,
                  {}},
        LimitCase{"twoParagraphsOverIt",
                  [] {
                      return odtOfParagraphs({kTextLimit - 2, 2});
                  },
                  0, kTextTooLarge},
        // One element asks for more spaces than a string holds.
        LimitCase{"aRunOfTwoBillionSpaces", [] { return odtOfParagraphs({2147483647}); }, 0, kTextTooLarge}),
    [](const auto& info) { return std::string(info.param.name); });

struct HeadingCase {
    const char* name;
    QString line;
    bool heading;
};

void PrintTo(const HeadingCase& c, std::ostream* out) {
    *out << c.name;
}

class ClaimsHeadings : public ::testing::TestWithParam<HeadingCase> {};

TEST_P(ClaimsHeadings, areTheUsualHeadingsAlone) {
    EXPECT_EQ(isClaimsHeading(GetParam().line), GetParam().heading);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ClaimsHeadings,
    ::testing::Values(HeadingCase{"claims", QStringLiteral("Claims"), true},
                      HeadingCase{"upperCaseWithColon", QStringLiteral("CLAIMS:"), true},
                      HeadingCase{"whatIsClaimed", QStringLiteral("What is claimed is:"), true},
                      HeadingCase{"blanksAround", QStringLiteral(" \t What is claimed is :  "), true},
                      HeadingCase{"iClaim", QStringLiteral("I claim:"), true},
                      HeadingCase{"weClaim", QStringLiteral("we claim"), true},
                      HeadingCase{"inventionClaimed", QStringLiteral("The invention claimed is:"), true},
                      HeadingCase{"patentClaims", QStringLiteral("Patent Claims"), true},
                      HeadingCase{"german", QStringLiteral("PATENTANSPR\u00DCCHE"), true},
                      HeadingCase{"french", QStringLiteral("Revendications"), true},
                      HeadingCase{"sentence", QStringLiteral("The claims define the invention."), false},
                      HeadingCase{"numberedClaim", QStringLiteral("1. Claims of a kind"), false},
                      HeadingCase{"twoColons", QStringLiteral("Claims::"), false},
                      HeadingCase{"singular", QStringLiteral("Claim"), false}, HeadingCase{"empty", QString(), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SplitDraft, cutsAtTheHeadingAndStopsAtTheAbstract) {
    const DraftParts parts = splitDraft(QStringLiteral(
        "Title\nThe wheel turns.\n\nWhat is claimed is:\n1. A wheel.\n2. The wheel of claim 1.\nAbstract\nA wheel."));
    ASSERT_TRUE(parts.ok()) << parts.error.toStdString();
    EXPECT_EQ(parts.description, QStringLiteral("Title\nThe wheel turns.\n"));
    EXPECT_EQ(parts.claims, QStringLiteral("1. A wheel.\n2. The wheel of claim 1."));
    EXPECT_EQ(parts.claimsFirstLine, 5);
}

TEST(SplitDraft, takesEverythingAfterTheHeadingWithoutAnAbstract) {
    const DraftParts parts = splitDraft(QStringLiteral("Background.\nCLAIMS\n1. A wheel.\n"));
    ASSERT_TRUE(parts.ok());
    EXPECT_EQ(parts.description, QStringLiteral("Background."));
    EXPECT_EQ(parts.claims, QStringLiteral("1. A wheel.\n"));
    EXPECT_EQ(parts.claimsFirstLine, 3);
}

TEST(SplitDraft, anAbstractBeforeTheClaimsStaysInTheDescription) {
    const DraftParts parts = splitDraft(QStringLiteral("Abstract\nA wheel.\nClaims\n1. A wheel."));
    ASSERT_TRUE(parts.ok());
    EXPECT_EQ(parts.description, QStringLiteral("Abstract\nA wheel."));
    EXPECT_EQ(parts.claims, QStringLiteral("1. A wheel."));
}

TEST(SplitDraft, refusesADraftWithNoHeading) {
    const DraftParts parts = splitDraft(QStringLiteral("A wheel.\nThe claims follow.\n1. A wheel."));
    EXPECT_FALSE(parts.ok());
    EXPECT_TRUE(parts.error.startsWith(QStringLiteral("no claims heading"))) << parts.error.toStdString();
    EXPECT_TRUE(parts.error.contains(QStringLiteral("two files")));
}

TEST(SplitDraft, refusesADraftWithTwoHeadingsAndNamesTheirLines) {
    const DraftParts parts = splitDraft(QStringLiteral("Intro\nClaims\n1. A wheel.\nRevendications:\n1. Une roue."));
    EXPECT_FALSE(parts.ok());
    EXPECT_TRUE(parts.error.startsWith(QStringLiteral("2 claims headings (lines 2, 4)"))) << parts.error.toStdString();
    EXPECT_TRUE(parts.error.contains(QStringLiteral("two files")));
}

} // namespace
} // namespace claimcheck::report
