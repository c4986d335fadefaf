#include "analysis/word_index.h"
#include "input/merovin.h"
#include "list_order.h"
#include "results/trevask.h"
#include "results/word_list.h"
#include "results_window_fixture.h"
#include "ui/box_text.h"

#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QWindow>

#include <algorithm>

using namespace claimcheck;
using namespace claimcheck::testing;

namespace {

QStringList toStrings(const std::vector<std::u16string>& words) {
    QStringList out;
    for (const std::u16string& w : words)
        out << QString(reinterpret_cast<const QChar*>(w.data()), qsizetype(w.size()));
    return out;
}

std::u16string_view view(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())};
}

QStringList sortedCopy(QStringList items) {
    std::sort(items.begin(), items.end());
    return items;
}

QString readCorpus(const QString& name) {
    QFile file(QStringLiteral(CLAIMCHECK_CORPUS_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// The colour map (results_window_fixture.h) of a text none of whose characters is coloured.
QString uncoloured(const QString& text) {
    QString map(text.size(), u'.');
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text.at(i) == u'\n')
            map[i] = u'/';
    return map;
}

struct Fixture {
    merovin window;
    void run(const QString& claims, const QString& disclosure) {
        window.RichTextBox1->setPlainText(claims);
        window.RichTextBox2->setPlainText(disclosure);
        window.Command1->click();
    }
    trevask& results() { return *window.results().window(); }
};

} // namespace

class CheckRunTest : public QObject {
    Q_OBJECT
private slots:
    void workedExample();
    void listsMatchTheAnalysisOnARealPatent();
    void secondRunReusesTheWindowAndReplacesEverything();
    void closingAndRerunningKeepsTheVariables();
    void oddTexts_data();
    void oddTexts();
    void noBreakSpaceDoesNotSplitWords();
    void onlyThePlainTextReachesTheResults();
    void lineBreaksJoinWordsAndAreCleanedAway();
    void aSecondCheckLeavesNoColourOfTheFirst_data();
    void aSecondCheckLeavesNoColourOfTheFirst();
    void aSecondCheckAfterAHugeWordWrapsAtWordsAgain();
    void aCheckAfterReopeningStartsPlain();
    void aMinimisedResultsWindowComesBackActive_data();
    void aMinimisedResultsWindowComesBackActive();
};

void CheckRunTest::workedExample() {
    Fixture f;
    f.window.show();
    f.run(QStringLiteral("A wheel, and an axle."), QStringLiteral("The wheels turn on a shaft."));
    trevask& r = f.results();
    QVERIFY(r.isVisible());
    QCOMPARE(items(*r.List1), (QStringList{"A", "and", "axle.", "wheel,"}));
    QCOMPARE(items(*r.List2), (QStringList{"a", "on", "shaft.", "The", "turn", "wheels"}));
    QCOMPARE(items(*r.List3), (QStringList{"and", "axle"}));
    QCOMPARE(r.RichTextBox1->toPlainText(), QStringLiteral("A wheel, and an axle."));
    QCOMPARE(r.RichTextBox2->toPlainText(), QStringLiteral("The wheels turn on a shaft."));
    QCOMPARE(r.start, QVariant(1));
    QCOMPARE(r.flagclick3, QVariant(false));
    // The input boxes are left as they were.
    QCOMPARE(f.window.RichTextBox1->toPlainText(), QStringLiteral("A wheel, and an axle."));
    QCOMPARE(f.window.RichTextBox2->toPlainText(), QStringLiteral("The wheels turn on a shaft."));
}

void CheckRunTest::listsMatchTheAnalysisOnARealPatent() {
    const QString claims = readCorpus(QStringLiteral("US7272630.claims.txt"));
    const QString description = readCorpus(QStringLiteral("US7272630.description.txt"));
    QVERIFY2(!claims.isEmpty() && !description.isEmpty(), "corpus patent US7272630 not found");

    Fixture f;
    f.run(claims, description);
    trevask& r = f.results();

    // The corpus has LF line ends only, so the boxes hold exactly the files' text.
    QCOMPARE(boxPlainText(*r.RichTextBox1->document()), claims);
    const WordIndex claimsIndex = BuildWordIndex(view(claims));
    const WordIndex disclosureIndex = BuildWordIndex(view(description));
    const QStringList list1 = items(*r.List1), list2 = items(*r.List2), list3 = items(*r.List3);
    QVERIFY(isInListOrder(list1) && isInListOrder(list2) && isInListOrder(list3));
    QCOMPARE(sortedCopy(list1), sortedCopy(toStrings(claimsIndex.words)));
    QCOMPARE(sortedCopy(list2), sortedCopy(toStrings(disclosureIndex.words)));
    QCOMPARE(sortedCopy(list3),
             sortedCopy(toStrings(FindUnsupportedWords(claimsIndex.words, disclosureIndex.wordString))));
    QCOMPARE(list1.size(), 128); // counted independently on the file
    QVERIFY(!list3.isEmpty());
}

void CheckRunTest::secondRunReusesTheWindowAndReplacesEverything() {
    Fixture f;
    f.run(QStringLiteral("alpha beta gamma"), QStringLiteral("alpha"));
    QPointer<trevask> first = f.window.results().window();
    first->start = 42;
    first->previtem = QStringLiteral("beta");
    first->flagclick3 = true;

    f.run(QStringLiteral("delta"), QStringLiteral("epsilon delta"));
    QCOMPARE(f.window.results().window(), first.data());
    trevask& r = f.results();
    QCOMPARE(items(*r.List1), QStringList{"delta"});
    QCOMPARE(items(*r.List2), (QStringList{"delta", "epsilon"}));
    QVERIFY(items(*r.List3).isEmpty());
    QCOMPARE(r.RichTextBox1->toPlainText(), QStringLiteral("delta"));
    QCOMPARE(r.start, QVariant(1));
    QCOMPARE(r.previtem, QVariant(QStringLiteral("beta")));
    // The load step does not run again for a window that is still open.
    QCOMPARE(r.flagclick3, QVariant(true));
}

void CheckRunTest::closingAndRerunningKeepsTheVariables() {
    Fixture f;
    f.run(QStringLiteral("alpha beta"), QStringLiteral("alpha"));
    QPointer<trevask> first = f.window.results().window();
    first->previtem = QStringLiteral("alpha");
    first->tampon = QStringLiteral("beta");
    first->la = 6;
    first->flagclick3 = true;

    QVERIFY(first->close());
    QTRY_VERIFY(first.isNull());
    QVERIFY(!f.window.results().window());
    ResultsRecord& record = f.window.results().record;
    QCOMPARE(record.previtem, QVariant(QStringLiteral("alpha")));

    f.run(QStringLiteral("gamma"), QString());
    trevask& r = f.results();
    QVERIFY(r.isVisible());
    QCOMPARE(r.flagclick3, QVariant(false));
    QCOMPARE(r.previtem, QVariant(QStringLiteral("alpha")));
    QCOMPARE(r.tampon, QVariant(QStringLiteral("beta")));
    QCOMPARE(r.la, QVariant(6));
    QCOMPARE(r.start, QVariant(1));
    QCOMPARE(items(*r.List1), QStringList{"gamma"});
    QCOMPARE(items(*r.List3), QStringList{"gamma"});
}

void CheckRunTest::oddTexts_data() {
    QTest::addColumn<QString>("claims");
    QTest::addColumn<QString>("disclosure");
    QTest::addColumn<QStringList>("list1");
    QTest::addColumn<QStringList>("list2");
    QTest::addColumn<QStringList>("list3");
    QTest::newRow("both empty") << ""
                                << "" << QStringList{} << QStringList{} << QStringList{};
    QTest::newRow("empty claims") << ""
                                  << "wheel axle" << QStringList{} << QStringList{"axle", "wheel"} << QStringList{};
    QTest::newRow("spaces-only disclosure reports every entry")
        << "  a b."
        << "   " << QStringList{"", "", "a", "b."} << QStringList{"", "", "", ""} << QStringList{"", "", "a", "b"};
    QTest::newRow("leading spaces in claims are supported when the disclosure has words")
        << "  a b."
        << "a" << QStringList{"", "", "a", "b."} << QStringList{"a"} << QStringList{"b"};
    QTest::newRow("punctuation-only entry") << "x ."
                                            << "" << QStringList{".", "x"} << QStringList{} << QStringList{"", "x"};
}

void CheckRunTest::oddTexts() {
    QFETCH(QString, claims);
    QFETCH(QString, disclosure);
    Fixture f;
    f.run(claims, disclosure);
    trevask& r = f.results();
    QFETCH(QStringList, list1);
    QFETCH(QStringList, list2);
    QFETCH(QStringList, list3);
    QVERIFY(r.isVisible());
    QCOMPARE(items(*r.List1), list1);
    QCOMPARE(items(*r.List2), list2);
    QCOMPARE(items(*r.List3), list3);
    QCOMPARE(r.start, QVariant(1));
}

void CheckRunTest::noBreakSpaceDoesNotSplitWords() {
    Fixture f;
    const QString claims = QStringLiteral("10\u00A0mm wide");
    f.run(claims, QStringLiteral("10 mm"));
    trevask& r = f.results();
    QCOMPARE(boxPlainText(*r.RichTextBox1->document()), claims);
    QCOMPARE(items(*r.List1), (QStringList{QStringLiteral("10\u00A0mm"), "wide"}));
    QCOMPARE(items(*r.List3), (QStringList{QStringLiteral("10\u00A0mm"), "wide"}));
}

void CheckRunTest::onlyThePlainTextReachesTheResults() {
    Fixture f;
    f.window.RichTextBox1->setHtml(QStringLiteral("<p><b>bold</b> <span style='color:#00ff00'>green</span></p>"
                                                  "<p><i>next</i></p>"));
    f.window.RichTextBox2->setHtml(QStringLiteral("<table><tr><td>bold</td></tr></table>"));
    const QString inputHtml = f.window.RichTextBox1->toHtml();
    f.window.Command1->click();
    trevask& r = f.results();

    QCOMPARE(r.RichTextBox1->toPlainText(), QStringLiteral("bold green\nnext"));
    for (QTextBlock block = r.RichTextBox1->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            QVERIFY(format.fontWeight() <= QFont::Normal);
            QVERIFY(!format.fontItalic());
            QVERIFY(!format.hasProperty(QTextFormat::ForegroundBrush));
        }
    }
    QCOMPARE(items(*r.List1), (QStringList{"bold", "green\nnext"}));
    QCOMPARE(f.window.RichTextBox1->toHtml(), inputHtml);
}

void CheckRunTest::lineBreaksJoinWordsAndAreCleanedAway() {
    Fixture f;
    f.run(QStringLiteral("comprising:\r\na lever"), QStringLiteral("comprising the lever"));
    trevask& r = f.results();
    QCOMPARE(items(*r.List1), (QStringList{"comprising:\na", "lever"}));
    QCOMPARE(items(*r.List3), QStringList{"comprisinga"});
}

void CheckRunTest::aSecondCheckLeavesNoColourOfTheFirst_data() {
    QTest::addColumn<QString>("claims");
    QTest::addColumn<QString>("disclosure");
    QTest::newRow("longer texts")
        << QStringLiteral("A rotor causing a gear to turn a rotor shaft and more words after it")
        << QStringLiteral("The rotor and the cog turn on a long shaft of steel, and more besides");
    QTest::newRow("shorter texts") << QStringLiteral("A cog") << QStringLiteral("a cog");
    QTest::newRow("several lines") << QStringLiteral("A cog\nand\na rotor") << QStringLiteral("a cog \n\n rotor");
}

// The user's day: finds colour both texts red and blue, then the next check. Every character of both new texts is
// in the default format, and a find in the new texts colours only its own occurrence.
void CheckRunTest::aSecondCheckLeavesNoColourOfTheFirst() {
    QFETCH(QString, claims);
    QFETCH(QString, disclosure);
    MessageRecorder messages;
    Fixture f;
    f.run(QStringLiteral("A gear causing a rotor to turn"), QStringLiteral("The gear and the rotor turn"));
    trevask& r = f.results();
    pick(r.List3, QStringLiteral("causing")); // red in the claims
    pick(r.List1, QStringLiteral("rotor"));   // blue in the claims, after the red word
    pick(r.List2, QStringLiteral("turn"));    // blue in the disclosure, after the claims' "rotor"
    QCOMPARE(colourMap(*r.RichTextBox1->document()), QStringLiteral(".......rrrrrrr...bbbbb........"));
    QCOMPARE(colourMap(*r.RichTextBox2->document()), QStringLiteral(".......................bbbb"));
    // The cursor stands right after the last coloured character, in each box.
    QVERIFY(r.RichTextBox1->textCursor().hasSelection());

    f.run(claims, disclosure);
    QCOMPARE(colourMap(*r.RichTextBox1->document()), uncoloured(claims));
    QCOMPARE(colourMap(*r.RichTextBox2->document()), uncoloured(disclosure));
    QCOMPARE(r.RichTextBox1->toPlainText(), claims);
    QCOMPARE(r.RichTextBox2->toPlainText(), disclosure);

    // A blue find now shows as blue on its own word only.
    pick(r.List2, QStringLiteral("cog"));
    const qsizetype at = disclosure.indexOf(QStringLiteral("cog"));
    QVERIFY(at > 0);
    const QString expected = uncoloured(disclosure).replace(at, 3, QStringLiteral("bbb"));
    QCOMPARE(colourMap(*r.RichTextBox2->document()), expected);
    QCOMPARE(messages.texts, QStringList());
}

// A word longer than a line can wrap makes a box wrap anywhere; the next check's ordinary text wraps at words again.
void CheckRunTest::aSecondCheckAfterAHugeWordWrapsAtWordsAgain() {
    Fixture f;
    const QTextOption::WrapMode usual =
        f.window.results().ensureWindow()->RichTextBox1->document()->defaultTextOption().wrapMode();
    f.run(QString(5000, u'x'), QString(5000, u'y'));
    trevask& r = f.results();
    QVERIFY(r.RichTextBox1->document()->defaultTextOption().wrapMode() != usual);
    f.run(QStringLiteral("a wheel"), QStringLiteral("the wheel"));
    QCOMPARE(r.RichTextBox1->document()->defaultTextOption().wrapMode(), usual);
    QCOMPARE(r.RichTextBox2->document()->defaultTextOption().wrapMode(), usual);
}

// The re-created window has new boxes: a check after closing the coloured one shows plain texts.
void CheckRunTest::aCheckAfterReopeningStartsPlain() {
    MessageRecorder messages;
    Fixture f;
    f.run(QStringLiteral("A gear causing a rotor"), QStringLiteral("gear rotor"));
    QPointer<trevask> first = f.window.results().window();
    pick(first->List3, QStringLiteral("causing"));
    QVERIFY(colourMap(*first->RichTextBox1->document()).contains(u'r'));
    QVERIFY(first->close());
    QTRY_VERIFY(first.isNull());

    f.run(QStringLiteral("A gear causing a rotor"), QStringLiteral("gear rotor"));
    trevask& r = f.results();
    QCOMPARE(colourMap(*r.RichTextBox1->document()), QString(22, u'.'));
    QCOMPARE(colourMap(*r.RichTextBox2->document()), QString(10, u'.'));
    QCOMPARE(r.List3->selectedPosition(), -1);
}

void CheckRunTest::aMinimisedResultsWindowComesBackActive_data() {
    QTest::addColumn<bool>("maximised");
    QTest::newRow("normal") << false;
    QTest::newRow("maximised") << true;
}

// The user minimised the results window and works in the input window; the next check shows the results window
// again, as it was before it was minimised, and active.
void CheckRunTest::aMinimisedResultsWindowComesBackActive() {
    QFETCH(bool, maximised);
    Fixture f;
    f.window.show();
    f.run(QStringLiteral("a wheel"), QStringLiteral("wheel"));
    trevask& r = f.results();
    QVERIFY(QTest::qWaitForWindowActive(&r));
    if (maximised)
        r.showMaximized();
    r.setWindowState(r.windowState() | Qt::WindowMinimized);
    QTRY_VERIFY(r.windowHandle()->windowState() == Qt::WindowMinimized);
    f.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.window));

    f.run(QStringLiteral("an axle"), QStringLiteral("axle"));
    QVERIFY(r.isVisible());
    QVERIFY(!r.isMinimized());
    QCOMPARE(r.isMaximized(), maximised);
    QTRY_COMPARE(r.windowHandle()->windowState(), maximised ? Qt::WindowMaximized : Qt::WindowNoState);
    QVERIFY(QTest::qWaitForWindowActive(&r));
    QCOMPARE(items(*r.List1), (QStringList{"an", "axle"}));
}

QTEST_MAIN(CheckRunTest)
#include "tst_check_run.moc"
