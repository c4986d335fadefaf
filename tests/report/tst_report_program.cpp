// The built claimcheck-report as a user and a script meet it: exit statuses, one line on standard error for each
// bad input with nothing written, standard input, a draft in a document, the output file, --help and --version.

#include "documents.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace claimcheck::testing;

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run runReport(const QStringList& arguments, const QString& workingDirectory, const QByteArray& input = {}) {
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    process.start(QStringLiteral(CLAIMCHECK_REPORT_BINARY), arguments);
    if (!process.waitForStarted(10000))
        return {};
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return Run{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
               process.readAllStandardError()};
}

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray kClaims = "1. A wheel and an axle.\n2. The wheel of claim 1, wherein the axle is a gizmo.\n";
const QByteArray kDescription = "A wheel turns on an axle. The wheels are round.\n";
const QByteArray kDraft = "Title\n\nA wheel turns on an axle. The wheels are round.\n\nWhat is claimed is:\n" +
                          kClaims + "Abstract\nA wheel.\n";

// The limits on a document that the manual page states: its body's part inflates to at most 64 MB, and its text
// holds at most 64 MB.
constexpr qsizetype kPartLimit = qsizetype(64) << 20;
constexpr qsizetype kTextLimit = qsizetype(64) << 20;

// A main part of one paragraph whose one word fills the limit: some hundred kilobytes once compressed, and quick
// to read up to the limit, even in a sanitizer's build.
QByteArray docxOverThePartLimit() {
    return docxWithDocumentXml(kDocumentXmlStart + "<w:p><w:r><w:t>" + QByteArray(kPartLimit, 'w') +
                               "</w:t></w:r></w:p>" + kDocumentXmlEnd);
}

QByteArray odtOverThePartLimit() {
    return odtWithContentXml(kContentXmlStart + "<text:p>" + QByteArray(kPartLimit, 'w') + "</text:p>" +
                             kContentXmlEnd);
}

// The XML with a document type declaration after its XML declaration, and `body` in its body.
QByteArray withDocumentType(const QByteArray& start, const QByteArray& declaration, const QByteArray& body,
                            const QByteArray& end) {
    QByteArray xml = start + body + end;
    return xml.insert(xml.indexOf("?>") + 2, declaration);
}

// The billion laughs made small: one entity of 100,000 characters, used 10,000 times (a gigabyte of text).
QByteArray docxWithALargeEntity() {
    return docxWithDocumentXml(withDocumentType(
        kDocumentXmlStart, "<!DOCTYPE w:document [<!ENTITY e \"" + QByteArray(100000, 'x') + "\">]>",
        "<w:p><w:r><w:t>" + QByteArray("&e;").repeated(10000) + "</w:t></w:r></w:p>", kDocumentXmlEnd));
}

QByteArray docxWithAnExternalEntity() {
    return docxWithDocumentXml(withDocumentType(kDocumentXmlStart,
                                                "<!DOCTYPE w:document [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>",
                                                "<w:p><w:r><w:t>&e;</w:t></w:r></w:p>", kDocumentXmlEnd));
}

QByteArray docxWithAnEntityInItsNumbering() {
    const QByteArray numbering = numberedListsXml();
    return docxWithBody(
        numberedParagraph(1, 0, QStringLiteral("A wheel")),
        QByteArray(numbering).insert(numbering.indexOf("?>") + 2, "<!DOCTYPE w:numbering [<!ENTITY e \"1.\">]>"));
}

QByteArray odtWithAnEntity() {
    return odtWithContentXml(withDocumentType(kContentXmlStart,
                                              "<!DOCTYPE office:document-content [<!ENTITY e \"wheel\">]>",
                                              "<text:p>&e;</text:p>", kContentXmlEnd));
}

// Runs of a million spaces, a few bytes each, one more than the text holds.
QByteArray odtOverTheTextLimit() {
    constexpr qsizetype run = qsizetype(1) << 20;
    return odtWithBody(QStringLiteral("<text:p>a<text:s text:c=\"%1\"/></text:p>").arg(run).repeated(kTextLimit / run));
}

// Paragraphs numbered by a list whose level's label is its number and a thousand letters: together past the text
// limit.
QByteArray docxOverTheTextLimitByItsNumbers() {
    QByteArray numbering = numberedListsXml();
    numbering.replace("w:val=\"%1.\"", "w:val=\"%1" + QByteArray(1000, 'x') + "\"");
    const qsizetype paragraphs = kTextLimit / 1000 + 1;
    return docxWithBody(numberedParagraph(1, 0, QStringLiteral("a")).repeated(paragraphs), numbering);
}
// The proofreading summary of claims in which neither check finds anything.
const char* const kNoProofreadingFindings = "antecedents: 0 errors, 0 warnings; references: 0 errors, 0 warnings\n";
// Worked out by hand: claim 2's "the spring" has no "a spring" before it, and claim 3 names a later claim; the
// columns count from the start of each line.
const QByteArray kFaultyClaims = "1. A device comprising a lever.\n2. The device of claim 1, wherein the spring is "
                                 "blue.\n3. The device of claim 4.\n";
const QByteArray kFaultyClaimsInOneLine =
    "1. A device comprising a lever. 2. The device of claim 1, wherein the spring is blue. 3. The device of claim 4.\n";

} // namespace

class ReportProgramTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void exitStatusSaysWhetherEveryWordIsSupported_data();
    void exitStatusSaysWhetherEveryWordIsSupported();
    void badInputIsOneLineOnStandardErrorAndNothingWritten_data();
    void badInputIsOneLineOnStandardErrorAndNothingWritten();
    void aDraftDocumentIsCheckedInOneCommand_data();
    void aDraftDocumentIsCheckedInOneCommand();
    void stemsAreTheDefaultAndTheHeadingTellsTheLanguage_data();
    void stemsAreTheDefaultAndTheHeadingTellsTheLanguage();
    void eitherTextMayComeFromStandardInputAndTheReportGoToIt();
    void theOutputFileIsReplacedWhole();
    void anOutputThatCannotBeWrittenIsAnError();
    void theUsersIgnoreListLeavesOutItsWords();
    void helpListsTheBuiltInWordsAndVersionNamesTheProgram();
    void proofreadingFindsTheTermWithoutBasisAndTheLaterClaim_data();
    void proofreadingFindsTheTermWithoutBasisAndTheLaterClaim();
    void checksChooseTheSectionsAndTheExitStatus_data();
    void checksChooseTheSectionsAndTheExitStatus();
    void proofreadingInJsonAndHtml();

private:
    QTemporaryDir m_dir;
    QString path(const char* name) const { return m_dir.filePath(QLatin1StringView(name)); }
};

void ReportProgramTest::init() {
    QVERIFY(m_dir.isValid());
    write(path("claims.txt"), kClaims);
    write(path("description.txt"), kDescription);
    write(path("supported.txt"), "1. A wheel on an axle.\n");
}

void ReportProgramTest::exitStatusSaysWhetherEveryWordIsSupported_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("lastLine");
    QTest::newRow("all supported") << QStringList{"supported.txt", "description.txt"} << 0
                                   << "0 of 5 claim words not found in the description (rules: stems)";
    QTest::newRow("some not") << QStringList{"claims.txt", "description.txt"} << 1
                              << "4 of 9 claim words not found in the description (rules: stems)";
    QTest::newRow("all supported, words") << QStringList{"--rules", "words", "supported.txt", "description.txt"} << 0
                                          << "0 of 5 claim words not found in the description (rules: words)";
    QTest::newRow("some not, words") << QStringList{"--rules", "words", "claims.txt", "description.txt"} << 1
                                     << "4 of 9 claim words not found in the description (rules: words)";
    QTest::newRow("classic") << QStringList{"--rules", "classic", "claims.txt", "description.txt"} << 1
                             << "9 of 13 claim words not found in the description (rules: classic)";
    QTest::newRow("all supported, classic") << QStringList{"--rules", "classic", "supported.txt", "supported.txt"} << 0
                                            << "0 of 6 claim words not found in the description (rules: classic)";
}

void ReportProgramTest::exitStatusSaysWhetherEveryWordIsSupported() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, lastLine);
    const Run run = runReport(arguments, m_dir.path());
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.isEmpty(), run.err.constData());
    QCOMPARE(QString::fromUtf8(run.out).trimmed().section(u'\n', -1), lastLine);
}

void ReportProgramTest::badInputIsOneLineOnStandardErrorAndNothingWritten_data() {
    QTest::addColumn<QString>("file"); // written with `bytes` first, unless the bytes are null
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message"); // the start of the line after "claimcheck-report: "
    const QByteArray none;
    QTest::newRow("missing") << "" << none << QStringList{"nothere.txt", "description.txt"}
                             << "nothere.txt: no such file";
    QTest::newRow("folder") << "" << none << QStringList{"claims.txt", "."} << ".: a folder, not a file";
    QTest::newRow("empty") << "empty.txt" << QByteArray("") << QStringList{"claims.txt", "empty.txt"}
                           << "empty.txt: empty file";
    QTest::newRow("invalid utf-8") << "latin1.txt" << QByteArray("caf\xE9")
                                   << QStringList{"latin1.txt", "description.txt"}
                                   << "latin1.txt: not valid UTF-8 (byte 4)";
    QTest::newRow("binary") << "a.out"
                            << QByteArray("\x7F"
                                          "ELF\x00\x01",
                                          6)
                            << QStringList{"claims.txt", "a.out"} << "a.out: neither text nor";
    QTest::newRow("not a document") << "fake.docx" << QByteArray("text") << QStringList{"fake.docx"}
                                    << "fake.docx: named as a document but not one";
    QTest::newRow("no heading") << "draft.txt" << QByteArray("A wheel.\n1. A wheel.\n") << QStringList{"draft.txt"}
                                << "draft.txt: no claims heading";
    QTest::newRow("two headings") << "draft.txt" << QByteArray("A.\nClaims\n1. A.\nClaims:\n1. B.\n")
                                  << QStringList{"draft.txt"} << "draft.txt: 2 claims headings (lines 2, 4)";
    QTest::newRow("nothing after the heading") << "draft.txt" << QByteArray("A wheel.\nClaims\n\nAbstract\nA.\n")
                                               << QStringList{"draft.txt"} << "draft.txt: no claims after";
    QTest::newRow("standard input twice")
        << "" << none << QStringList{"-", "-"} << "standard input: can be read only once";
    QTest::newRow("empty standard input")
        << "" << none << QStringList{"-", "description.txt"} << "standard input: empty file";
    QTest::newRow("three files") << "" << none << QStringList{"claims.txt", "description.txt", "claims.txt"}
                                 << "give CLAIMS and DESCRIPTION";
    QTest::newRow("unknown option") << "" << none << QStringList{"--colour", "claims.txt"} << "Unknown option 'colour'";
    QTest::newRow("unknown rules") << "" << none << QStringList{"--rules", "strict", "claims.txt", "description.txt"}
                                   << "--rules: no rules named 'strict'";
    QTest::newRow("unknown format") << "" << none << QStringList{"--format", "xml", "claims.txt", "description.txt"}
                                    << "--format: no format named 'xml'";
    QTest::newRow("ignore with classic") << "" << none << QStringList{"--rules",    "classic",    "--ignore",
                                                                      "claims.txt", "claims.txt", "description.txt"}
                                         << "--ignore: applies to the stems and words rules only";
    QTest::newRow("unknown language") << "" << none << QStringList{"--language", "nl", "claims.txt", "description.txt"}
                                      << "--language: no language named 'nl' (en, de or fr)";
    QTest::newRow("language with classic")
        << "" << none << QStringList{"--rules", "classic", "--language", "de", "claims.txt", "description.txt"}
        << "--language: applies to the stems and words rules only";
    QTest::newRow("missing ignore list") << "" << none
                                         << QStringList{"--ignore", "words.txt", "claims.txt", "description.txt"}
                                         << "words.txt: no such file";
    // Hostile documents: small on disk, each would take far more memory or time than any draft.
    const QString partTooLarge = QStringLiteral("big.docx: a part word/document.xml larger than 64 MB when inflated");
    const QString dtd = QStringLiteral("big.docx: a part word/document.xml that declares a document type (DTD)");
    const QString textTooLarge = QStringLiteral("big.docx: a document larger than 64 MB of text");
    const QByteArray overThePartLimit = docxOverThePartLimit();
    QTest::newRow("part past its limit") << "big.docx" << overThePartLimit << QStringList{"big.docx"} << partTooLarge;
    QTest::newRow("part past its limit, its size hidden")
        << "big.docx" << withStatedSize(overThePartLimit, "word/document.xml", 1000) << QStringList{"big.docx"}
        << partTooLarge;
    QTest::newRow("odt part past its limit, its size hidden")
        << "big.docx" << withStatedSize(odtOverThePartLimit(), "content.xml", 1000)
        << QStringList{"claims.txt", "big.docx"} << "big.docx: a part content.xml larger than 64 MB when inflated";
    QTest::newRow("entity used 10,000 times") << "big.docx" << docxWithALargeEntity() << QStringList{"big.docx"} << dtd;
    QTest::newRow("external entity") << "big.docx" << docxWithAnExternalEntity()
                                     << QStringList{"claims.txt", "big.docx"} << dtd;
    QTest::newRow("entity in the numbering part")
        << "big.docx" << docxWithAnEntityInItsNumbering() << QStringList{"big.docx"}
        << "big.docx: a part word/numbering.xml that declares a document type (DTD)";
    QTest::newRow("odt entity") << "big.docx" << odtWithAnEntity() << QStringList{"big.docx"}
                                << "big.docx: a part content.xml that declares a document type (DTD)";
    QTest::newRow("text past its limit") << "big.docx" << odtOverTheTextLimit() << QStringList{"big.docx"}
                                         << textTooLarge;
    QTest::newRow("numbers past the text limit")
        << "big.docx" << docxOverTheTextLimitByItsNumbers() << QStringList{"big.docx"} << textTooLarge;
}

void ReportProgramTest::badInputIsOneLineOnStandardErrorAndNothingWritten() {
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    if (!file.isEmpty())
        write(m_dir.filePath(file), bytes);
    // A report written before stays as it was; a new one is not made.
    write(path("old.txt"), "the old report\n");
    for (const QString& output : {QStringLiteral("old.txt"), QStringLiteral("new.txt")}) {
        const Run run = runReport(QStringList{QStringLiteral("-o"), output} + arguments, m_dir.path());
        QCOMPARE(run.status, 2);
        QVERIFY2(run.out.isEmpty(), run.out.constData());
        const QString err = QString::fromUtf8(run.err);
        QCOMPARE(err.count(u'\n'), 1);
        QVERIFY2(err.startsWith(QStringLiteral("claimcheck-report: ") + message), qPrintable(err));
    }
    QCOMPARE(read(path("old.txt")), QByteArray("the old report\n"));
    QVERIFY(!QFile::exists(path("new.txt")));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("new.txt")), QStringList());
}

void ReportProgramTest::aDraftDocumentIsCheckedInOneCommand_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    const QStringList paragraphs = QString::fromUtf8(kDraft).split(u'\n');
    QTest::newRow("docx") << "draft.docx" << docx(paragraphs);
    QTest::newRow("odt") << "draft.odt" << odt(paragraphs);
    // The claims numbered by the word processor, not typed: the numbers still say which claim a word is in.
    QString numbered;
    for (const QString& paragraph : paragraphs) {
        if (paragraph.startsWith(QStringLiteral("1. ")) || paragraph.startsWith(QStringLiteral("2. ")))
            numbered += numberedParagraph(1, 0, paragraph.sliced(3));
        else
            numbered += QStringLiteral("<w:p><w:r><w:t>%1</w:t></w:r></w:p>").arg(paragraph);
    }
    QTest::newRow("docx with numbered claims") << "draft.docx" << docxWithBody(numbered, numberedListsXml());
    QTest::newRow("text") << "draft.txt" << kDraft;
    QTest::newRow("utf-16 with crlf")
        << "draft.txt"
        << QByteArray("\xFF\xFE") +
               QByteArray(reinterpret_cast<const char*>(
                              QString::fromUtf8(kDraft).replace(u'\n', QStringLiteral("\r\n")).utf16()),
                          (kDraft.size() + kDraft.count('\n')) * 2);
}

// Lines count in the draft, where the practitioner will look: the claims start on line 6. Worked out by hand: the
// description lacks "and", "is", "of" and "gizmo"; "claim" and "wherein" are the claims' own words. "an" is one
// letter away from "and", "on" from "of"; "is" and "gizmo" have no description word near them.
void ReportProgramTest::aDraftDocumentIsCheckedInOneCommand() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    write(m_dir.filePath(name), bytes);
    const Run run = runReport({name}, m_dir.path());
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.isEmpty(), run.err.constData());
    QCOMPARE(QString::fromUtf8(run.out),
             QStringLiteral("antecedents: 0 errors, 0 warnings; references: 0 errors, 0 warnings\n"
                            "and [nearest: an] (1): claim 1, line 6, column 12\n"
                            "gizmo (1): claim 2, line 7, column 48\n"
                            "is (1): claim 2, line 7, column 43\n"
                            "of [nearest: on] (1): claim 2, line 7, column 14\n"
                            "4 of 9 claim words not found in the description (rules: stems)\n"));
}

// A draft whose description has "production" and "mounted" only: the stems rules report the short noun "rod" that
// stands only inside a longer word and pass "mounting"; the words rules do the opposite. Under a German heading the
// German stemmer takes "Vorrichtungen" for "Vorrichtung"; the English one, asked for, does not (it takes "leichte"
// for "leicht" all the same, by its final "e").
void ReportProgramTest::stemsAreTheDefaultAndTheHeadingTellsTheLanguage_data() {
    QTest::addColumn<QStringList>("paragraphs");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("report");
    const QStringList lever{"Lever assembly",
                            "",
                            "The production of the lever is simple. A lever is mounted on a base.",
                            "",
                            "Claims",
                            "1. A lever mounting on a base.",
                            "2. The lever of claim 1 on a rod."};
    QTest::newRow("stems") << lever << QStringList{}
                           << "rod (1): claim 2, line 7, column 30\n"
                              "1 of 8 claim words not found in the description (rules: stems)\n";
    QTest::newRow("words") << lever << QStringList{"--rules", "words"}
                           << "mounting [nearest: mounted] (1): claim 1, line 6, column 12\n"
                              "1 of 8 claim words not found in the description (rules: words)\n";
    const QStringList german{"Die Vorrichtungen sind leicht.", "Patentansprüche", "1. Eine leichte Vorrichtung."};
    QTest::newRow("german heading") << german << QStringList{}
                                    << "Eine (1): claim 1, line 3, column 4\n"
                                       "1 of 3 claim words not found in the description (rules: stems)\n";
    QTest::newRow("english asked for") << german << QStringList{"--language", "en"}
                                       << "Eine (1): claim 1, line 3, column 4\n"
                                          "Vorrichtung [nearest: Vorrichtungen] (1): claim 1, line 3, column 17\n"
                                          "2 of 3 claim words not found in the description (rules: stems)\n";
}

void ReportProgramTest::stemsAreTheDefaultAndTheHeadingTellsTheLanguage() {
    QFETCH(QStringList, paragraphs);
    QFETCH(QStringList, options);
    QFETCH(QString, report);
    write(path("draft.docx"), docx(paragraphs));
    const Run run = runReport(options + QStringList{"draft.docx"}, m_dir.path());
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.isEmpty(), run.err.constData());
    QCOMPARE(QString::fromUtf8(run.out), QLatin1StringView(kNoProofreadingFindings) + report);
}

void ReportProgramTest::eitherTextMayComeFromStandardInputAndTheReportGoToIt() {
    const Run claims = runReport({"-", "description.txt"}, m_dir.path(), kClaims);
    const Run description = runReport({"claims.txt", "-"}, m_dir.path(), kDescription);
    const Run files = runReport({"claims.txt", "description.txt"}, m_dir.path());
    QCOMPARE(claims.status, 1);
    QCOMPARE(claims.out, files.out);
    QCOMPARE(description.out, files.out);
    QCOMPARE(runReport({"-o", "-", "claims.txt", "description.txt"}, m_dir.path()).out, files.out);
    const Run json = runReport({"--format", "json", "-", "description.txt"}, m_dir.path(), kClaims);
    QCOMPARE(QJsonDocument::fromJson(json.out)[QStringLiteral("claims_file")].toString(),
             QStringLiteral("standard input"));
}

void ReportProgramTest::theOutputFileIsReplacedWhole() {
    write(path("report.html"), QByteArray(100000, 'x'));
    const Run run = runReport({"--format", "html", "-o", "report.html", "claims.txt", "description.txt"}, m_dir.path());
    QCOMPARE(run.status, 1);
    QVERIFY(run.out.isEmpty());
    const QByteArray page = read(path("report.html"));
    QVERIFY(page.startsWith("<!DOCTYPE html>"));
    QVERIFY(page.endsWith("</html>\n"));
    QVERIFY(!page.contains("xxxx"));
    // No temporary file is left beside it.
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("report")),
             QStringList{"report.html"});
}

void ReportProgramTest::anOutputThatCannotBeWrittenIsAnError() {
    const Run run = runReport({"-o", "no/such/folder/report.txt", "claims.txt", "description.txt"}, m_dir.path());
    QCOMPARE(run.status, 2);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.err.startsWith("claimcheck-report: no/such/folder/report.txt: cannot be written"),
             run.err.constData());
}

void ReportProgramTest::theUsersIgnoreListLeavesOutItsWords() {
    write(path("words.txt"), "\xEF\xBB\xBF"
                             "GIZMO\r\nand\r\n\r\n IS \r\nOf\r\n");
    const Run run = runReport({"--ignore", "words.txt", "claims.txt", "description.txt"}, m_dir.path());
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QByteArray("antecedents: 0 errors, 0 warnings; references: 0 errors, 0 warnings\n"
                                 "0 of 5 claim words not found in the description (rules: stems)\n"));
    const Run words =
        runReport({"--rules", "words", "--ignore", "words.txt", "claims.txt", "description.txt"}, m_dir.path());
    QCOMPARE(words.status, 0);
    QCOMPARE(words.out, QByteArray("antecedents: 0 errors, 0 warnings; references: 0 errors, 0 warnings\n"
                                   "0 of 5 claim words not found in the description (rules: words)\n"));
}

void ReportProgramTest::helpListsTheBuiltInWordsAndVersionNamesTheProgram() {
    const Run help = runReport({"--help"}, m_dir.path());
    QCOMPARE(help.status, 0);
    for (const char* text :
         {"--rules", "--language", "--format", "--output", "--ignore", "--checks", "comprising, consisting", "wherein",
          "plurality, preceding, predetermined, recited, first, second", "tenth", "Exit status: 0",
          "at most 64 MB and hold at most 64 MB of text"})
        QVERIFY2(help.out.contains(text), text);
    const Run version = runReport({"--version"}, m_dir.path());
    QCOMPARE(version.status, 0);
    QCOMPARE(version.out, QByteArray("claimcheck-report " CLAIMCHECK_VERSION "\n"));
}

void ReportProgramTest::proofreadingFindsTheTermWithoutBasisAndTheLaterClaim_data() {
    QTest::addColumn<QByteArray>("claims");
    QTest::addColumn<QString>("report");
    QTest::newRow("three lines") << kFaultyClaims
                                 << "claim 2, line 2, column 35: error: antecedents: \"the spring\" has no antecedent "
                                    "basis in claim 2 or the claims it depends on\n"
                                    "claim 3, line 3, column 24: error: references: depends on claim 4, which comes "
                                    "after it (and does not exist)\n"
                                    "antecedents: 1 error, 0 warnings; references: 1 error, 0 warnings\n";
    QTest::newRow("one line") << kFaultyClaimsInOneLine
                              << "claim 2, line 1, column 67: error: antecedents: \"the spring\" has no antecedent "
                                 "basis in claim 2 or the claims it depends on\n"
                                 "claim 3, line 1, column 110: error: references: depends on claim 4, which comes "
                                 "after it (and does not exist)\n"
                                 "antecedents: 1 error, 0 warnings; references: 1 error, 0 warnings\n";
}

void ReportProgramTest::proofreadingFindsTheTermWithoutBasisAndTheLaterClaim() {
    QFETCH(QByteArray, claims);
    QFETCH(QString, report);
    write(path("faulty.txt"), claims);
    const Run run = runReport({"--checks", "antecedents,references", "faulty.txt", "description.txt"}, m_dir.path());
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.isEmpty(), run.err.constData());
    QCOMPARE(QString::fromUtf8(run.out), report);
}

void ReportProgramTest::checksChooseTheSectionsAndTheExitStatus_data() {
    QTest::addColumn<QString>("checks");
    QTest::addColumn<QString>("claims");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("lastLine");
    QTest::addColumn<int>("lines");
    // kClaims has unsupported words and no proofreading error; faulty.txt has both.
    QTest::newRow("support alone") << "support"
                                   << "claims.txt" << 1
                                   << "4 of 9 claim words not found in the description (rules: stems)" << 5;
    QTest::newRow("antecedents alone, none found") << "antecedents"
                                                   << "claims.txt" << 0 << "antecedents: 0 errors, 0 warnings" << 1;
    QTest::newRow("references alone") << "references"
                                      << "faulty.txt" << 1 << "references: 1 error, 0 warnings" << 2;
    QTest::newRow("support left out of the default order")
        << "references,antecedents"
        << "claims.txt" << 0 << "antecedents: 0 errors, 0 warnings; references: 0 errors, 0 warnings" << 1;
    QTest::newRow("all, support last") << "support,antecedents,references"
                                       << "faulty.txt" << 1
                                       << "6 of 8 claim words not found in the description (rules: stems)" << 10;
}

void ReportProgramTest::checksChooseTheSectionsAndTheExitStatus() {
    QFETCH(QString, checks);
    QFETCH(QString, claims);
    QFETCH(int, status);
    QFETCH(QString, lastLine);
    QFETCH(int, lines);
    write(path("faulty.txt"), kFaultyClaims);
    const Run run = runReport({"--checks", checks, claims, "description.txt"}, m_dir.path());
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.isEmpty(), run.err.constData());
    const QStringList out = QString::fromUtf8(run.out).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(out.size(), lines);
    QCOMPARE(out.back(), lastLine);

    for (const char* bad : {"spelling", "", "support,grammar"}) {
        const Run wrong = runReport({"--checks", bad, claims, "description.txt"}, m_dir.path());
        QCOMPARE(wrong.status, 2);
        QVERIFY(wrong.out.isEmpty());
        QVERIFY2(wrong.err.startsWith("claimcheck-report: --checks: "), wrong.err.constData());
    }
}

void ReportProgramTest::proofreadingInJsonAndHtml() {
    write(path("faulty.txt"), kFaultyClaims);
    const Run json = runReport({"--format", "json", "faulty.txt", "description.txt"}, m_dir.path());
    QCOMPARE(json.status, 1);
    const QJsonObject root = QJsonDocument::fromJson(json.out).object();
    QCOMPARE(root[QStringLiteral("format")].toInt(), 1);
    QVERIFY(root.contains(QStringLiteral("unsupported")));
    const QJsonArray antecedents = root[QStringLiteral("antecedents")].toArray();
    QCOMPARE(antecedents.size(), 1);
    const QJsonObject spring = antecedents[0].toObject();
    QCOMPARE(spring[QStringLiteral("claim")].toInt(), 2);
    QCOMPARE(spring[QStringLiteral("line")].toInt(), 2);
    QCOMPARE(spring[QStringLiteral("column")].toInt(), 35);
    QCOMPARE(spring[QStringLiteral("tier")].toString(), QStringLiteral("error"));
    QCOMPARE(spring[QStringLiteral("term")].toString(), QStringLiteral("the spring"));
    QVERIFY(spring[QStringLiteral("message")].toString().contains(QStringLiteral("no antecedent basis")));
    const QJsonArray references = root[QStringLiteral("references")].toArray();
    QCOMPARE(references.size(), 1);
    QCOMPARE(references[0][QStringLiteral("claim")].toInt(), 3);
    QCOMPARE(references[0][QStringLiteral("column")].toInt(), 24);
    QCOMPARE(references[0][QStringLiteral("term")].toString(), QStringLiteral("4"));

    // Without the support check, the object has no support fields.
    const Run alone =
        runReport({"--format", "json", "--checks", "references", "faulty.txt", "description.txt"}, m_dir.path());
    const QJsonObject only = QJsonDocument::fromJson(alone.out).object();
    QVERIFY(!only.contains(QStringLiteral("unsupported")));
    QVERIFY(!only.contains(QStringLiteral("antecedents")));
    QCOMPARE(only[QStringLiteral("references")].toArray().size(), 1);

    const Run html = runReport({"--format", "html", "faulty.txt", "description.txt"}, m_dir.path());
    QCOMPARE(html.status, 1);
    const QString page = QString::fromUtf8(html.out);
    QVERIFY(page.endsWith(QStringLiteral("</body>\n</html>\n")));
    QCOMPARE(page.count(QStringLiteral("<body>")), 1);
    QVERIFY(page.contains(QStringLiteral("<h2>Antecedent basis</h2>")));
    QVERIFY(page.contains(QStringLiteral("<h2>Claim numbers and references</h2>")));
    QVERIFY(page.contains(QRegularExpression(QStringLiteral("<span id=\"a1\"></span><mark [^>]*>the spring</mark>"))));
    QVERIFY(page.contains(QRegularExpression(QStringLiteral("claim <span id=\"r1\"></span><mark [^>]*>4</mark>"))));
    QVERIFY(page.contains(QStringLiteral("<a href=\"#a1\">claim 2, line 2, column 35</a>")));
}

QTEST_GUILESS_MAIN(ReportProgramTest)
#include "tst_report_program.moc"
