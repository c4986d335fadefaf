// The report's classic rules against the windowed program itself: for every corpus patent, the three lists that
// the check run puts into the results window, and the occurrences that its find-next walks through when a word of
// the third list is picked again and again. And the report's JSON, text and HTML on a corpus patent, read back and
// compared with the window.

#include "analysis/check_run.h"
#include "boxtext/line_breaks.h"
#include "corpus.h"
#include "report/report_run.h"
#include "report/support_check.h"
#include "results/trevask.h"
#include "results/word_list.h"
#include "results_window_fixture.h"
#include "ui/box_text.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <set>

using namespace claimcheck;
using namespace claimcheck::testing;

namespace {

QString corpusPath(const QString& number, const char* part) {
    return QStringLiteral(CLAIMCHECK_CORPUS_DIR "/%1.%2.txt").arg(number, QLatin1StringView(part));
}

QString readCorpus(const QString& number, const char* part) {
    QFile file(corpusPath(number, part));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The offsets at which picking the word in List3 over and over colours it, until "Nothing else found".
QList<qsizetype> walkInTheWindow(trevask& window, const QString& word) {
    QList<qsizetype> offsets;
    MessageRecorder messages;
    // A pick of another word first, so that the walk starts afresh from the second character.
    window.previtem = QString();
    for (int picks = 0; messages.texts.isEmpty() && picks < 100000; ++picks) {
        pick(window.List3, word);
        if (messages.texts.isEmpty())
            offsets << qsizetype(window.la.toLongLong());
    }
    return offsets;
}

QList<qsizetype> toList(const std::vector<qsizetype>& offsets) {
    return QList<qsizetype>(offsets.begin(), offsets.end());
}

QStringList strings(const QJsonArray& array) {
    QStringList list;
    for (const QJsonValue& value : array)
        list << value.toString();
    return list;
}

} // namespace

class ReportCheckRunTest : public QObject {
    Q_OBJECT
private slots:
    void classicListsAndWalksAreTheWindows_data();
    void classicListsAndWalksAreTheWindows();
    void walksThroughCaseOverlapsAndTheFirstCharacterAsTheWindowDoes();
    void textsHeldAsTheBoxesHoldThem_data();
    void textsHeldAsTheBoxesHoldThem();
    void threeFormatsOnACorpusPatentMatchTheWindow();
};

void ReportCheckRunTest::classicListsAndWalksAreTheWindows_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("crLf");
    for (const std::string& number : corpus::numbers())
        QTest::newRow(number.c_str()) << QString::fromStdString(number) << false;
    // As a Windows editor saves them: the boxes turn each CR LF pair into one line break, and so must the report.
    QTest::newRow("US7272630 with CR LF") << QStringLiteral("US7272630") << true;
}

void ReportCheckRunTest::classicListsAndWalksAreTheWindows() {
    QFETCH(QString, number);
    QFETCH(bool, crLf);
    QString claims = readCorpus(number, "claims"), description = readCorpus(number, "description");
    QVERIFY2(!claims.isEmpty() && !description.isEmpty(), "corpus patent not found");
    if (crLf) {
        claims.replace(u'\n', QStringLiteral("\r\n"));
        description.replace(u'\n', QStringLiteral("\r\n"));
    }

    ResultsWindowHost host;
    runSupportCheck(host, claims, description);
    trevask& window = *host.window();

    const report::CheckResult result = report::checkClassic(asTextBoxHoldsIt(claims), asTextBoxHoldsIt(description));
    QCOMPARE(result.claimsIndex, items(*window.List1));
    QCOMPARE(result.descriptionIndex, items(*window.List2));
    QStringList unsupported;
    for (const report::Finding& finding : result.unsupported)
        unsupported << finding.word;
    QCOMPARE(unsupported, items(*window.List3));

    // Every word's occurrences, as the window's find-next walks them (a word listed twice walks alike).
    std::set<QString> walked;
    for (const report::Finding& finding : result.unsupported) {
        if (!walked.insert(finding.word).second)
            continue;
        QCOMPARE(toList(finding.occurrences), walkInTheWindow(window, finding.word));
    }
    QVERIFY(!walked.empty());
}

// The corpus words seldom overlap or differ in case: this text does all of it, at the first character too.
void ReportCheckRunTest::walksThroughCaseOverlapsAndTheFirstCharacterAsTheWindowDoes() {
    const QString claims = QStringLiteral("abab ABABAB xababx\r\nAbab, ab\u2029aBAbab");
    const QString description = QStringLiteral("zzz");
    ResultsWindowHost host;
    runSupportCheck(host, claims, description);
    const report::CheckResult result = report::checkClassic(asTextBoxHoldsIt(claims), asTextBoxHoldsIt(description));
    QCOMPARE(result.claimsIndex, items(*host.window()->List1));
    std::size_t occurrences = 0;
    for (const report::Finding& finding : result.unsupported) {
        QCOMPARE(toList(finding.occurrences), walkInTheWindow(*host.window(), finding.word));
        occurrences += finding.occurrences.size();
    }
    QVERIFY(occurrences >= 5);
}

void ReportCheckRunTest::textsHeldAsTheBoxesHoldThem_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("cr lf") << QStringLiteral("a\r\nb");
    QTest::newRow("lone cr") << QStringLiteral("a\rb\r");
    QTest::newRow("lf cr") << QStringLiteral("a\n\rb");
    QTest::newRow("cr cr lf") << QStringLiteral("a\r\r\nb");
    QTest::newRow("separators") << QStringLiteral("line\u2028para\u2029graph");
    QTest::newRow("frame marks") << QStringLiteral("frame\uFDD0marks\uFDD1");
    QTest::newRow("kept") << QStringLiteral("tab\tvt\vff\f\u00A0nbsp\u0085nel\uFEFFbom \U0001F600") + QChar(0xD800);
}

// The report holds each text as the results window's box does, so that offsets, lines and the classic lists agree.
void ReportCheckRunTest::textsHeldAsTheBoxesHoldThem() {
    QFETCH(QString, text);
    QPlainTextEdit box;
    setBoxPlainText(box, text);
    QCOMPARE(asTextBoxHoldsIt(text), boxPlainText(*box.document()));
}

void ReportCheckRunTest::threeFormatsOnACorpusPatentMatchTheWindow() {
    const QString number = QStringLiteral("WO2018148832");
    ResultsWindowHost host;
    runSupportCheck(host, readCorpus(number, "claims"), readCorpus(number, "description"));
    trevask& window = *host.window();

    report::RunOptions options;
    options.files = QStringList{corpusPath(number, "claims"), corpusPath(number, "description")};
    options.rules = report::Rules::Classic;
    options.checks = report::Checks{true, false, false}; // the support check alone, as the window makes it

    options.format = report::Format::Json;
    const report::RunOutcome json = report::produceReport(options);
    QCOMPARE(json.status, report::kSomeUnsupported);
    QJsonParseError error;
    const QJsonObject root = QJsonDocument::fromJson(json.output, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(root[QStringLiteral("rules")].toString(), QStringLiteral("classic"));
    QCOMPARE(strings(root[QStringLiteral("claims_index")].toArray()), items(*window.List1));
    QCOMPARE(strings(root[QStringLiteral("description_index")].toArray()), items(*window.List2));
    QStringList words;
    qsizetype occurrences = 0;
    const QString claimsText = boxPlainText(*window.RichTextBox1->document());
    for (const QJsonValue& value : root[QStringLiteral("unsupported")].toArray()) {
        const QJsonObject finding = value.toObject();
        const QString word = finding[QStringLiteral("word")].toString();
        words << word;
        const QJsonArray at = finding[QStringLiteral("occurrences")].toArray();
        QCOMPARE(finding[QStringLiteral("count")].toInt(), at.size());
        occurrences += at.size();
        // The corpus is all in the Basic Multilingual Plane, so character offsets are the box's positions; each
        // occurrence's line and column say the same place.
        for (const QJsonValue& place : at) {
            const qsizetype offset = place[QStringLiteral("offset")].toInteger();
            QCOMPARE(claimsText.sliced(offset, word.size()).compare(word, Qt::CaseInsensitive), 0);
            const qsizetype lineStart = claimsText.lastIndexOf(u'\n', offset - 1) + 1;
            QCOMPARE(place[QStringLiteral("line")].toInteger(), claimsText.first(lineStart).count(u'\n') + 1);
            QCOMPARE(place[QStringLiteral("column")].toInteger(), offset - lineStart + 1);
            QVERIFY(place[QStringLiteral("claim")].toInt() >= 1);
        }
    }
    QCOMPARE(words, items(*window.List3));

    options.format = report::Format::Text;
    const QStringList lines = QString::fromUtf8(report::produceReport(options).output).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), window.List3->count() + 1);
    for (int i = 0; i < window.List3->count(); ++i)
        QVERIFY2(lines[i].startsWith(window.List3->item(i) + QStringLiteral(" (")), qPrintable(lines[i]));
    QCOMPARE(lines.back(), QStringLiteral("%1 of %2 claim words not found in the description (rules: classic)")
                               .arg(window.List3->count())
                               .arg(window.List1->count()));

    options.format = report::Format::Html;
    const QString page = QString::fromUtf8(report::produceReport(options).output);
    QCOMPARE(page.count(QRegularExpression(QStringLiteral("<span id=\"o\\d+-\\d+\"></span>"))), occurrences);
    QCOMPARE(page.count(QRegularExpression(QStringLiteral("<a href=\"#o\\d+-\\d+\">"))), occurrences);
    QCOMPARE(page.count(QStringLiteral("<td class=\"word\">")), window.List3->count());
}

QTEST_MAIN(ReportCheckRunTest)
#include "tst_report_check_run.moc"
