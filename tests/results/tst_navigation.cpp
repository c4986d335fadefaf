#include "results_window_fixture.h"

#include <QtTest>

using namespace claimcheck;
using namespace claimcheck::testing;

namespace {

const QString kNothingElseFound = QStringLiteral("Nothing else found");

// "1:word" picks `word` in List1, and so on.
WordList* listOf(trevask& window, QChar number) {
    return number == u'1' ? window.List1 : number == u'2' ? window.List2 : window.List3;
}

} // namespace

class NavigationTest : public QObject {
    Q_OBJECT

private slots:
    void picksFollowTheStateTable_data();
    void picksFollowTheStateTable();
    void aFindSelectsTheOccurrenceInItsOwnBox();
    void colourStaysWhenTheSelectionMovesOn();
};

void NavigationTest::picksFollowTheStateTable_data() {
    QTest::addColumn<QString>("claims");
    QTest::addColumn<QString>("disclosure");
    QTest::addColumn<bool>("echoRunning");
    QTest::addColumn<QStringList>("picks");
    QTest::addColumn<QVariant>("start");
    QTest::addColumn<QVariant>("previtem");
    QTest::addColumn<QVariant>("la");
    QTest::addColumn<QVariant>("tampon");
    QTest::addColumn<int>("messages");
    QTest::addColumn<bool>("armed");
    QTest::addColumn<QString>("claimsColours");
    QTest::addColumn<QString>("disclosureColours");

    const QString claims = QStringLiteral("Device: a device, devices");
    const QString disclosure = QStringLiteral("device one device two device");
    const QString device = QStringLiteral("device");
    const QVariant empty;
    const QString plainClaims(claims.size(), u'.');
    const QString plainDisclosure(disclosure.size(), u'.');

    //                                       "Device: a device, devices"
    const QString firstBlue = QStringLiteral("..........bbbbbb.........");
    const QString twoBlue = QStringLiteral("..........bbbbbb..bbbbbb.");

    QTest::newRow("a new word is found after offset 0")
        << claims << QString() << false << QStringList{"1:device"} << QVariant(16) << QVariant(device) << QVariant(10)
        << empty << 0 << false << firstBlue << QString();
    QTest::newRow("the same word walks on to the next occurrence")
        << claims << QString() << false << QStringList{"1:device", "1:device"} << QVariant(24) << QVariant(device)
        << QVariant(18) << empty << 0 << false << twoBlue << QString();
    QTest::newRow("after the last occurrence nothing changes")
        << claims << QString() << false << QStringList{"1:device", "1:device", "1:device"} << QVariant(24)
        << QVariant(device) << QVariant(-1) << empty << 1 << false << twoBlue << QString();
    QTest::newRow("every further pick tells it again")
        << claims << QString() << false << QStringList{"1:device", "1:device", "1:device", "1:device"} << QVariant(24)
        << QVariant(device) << QVariant(-1) << empty << 2 << false << twoBlue << QString();
    QTest::newRow("case is ignored") << claims << QString() << false << QStringList{"1:DEVICE"} << QVariant(16)
                                     << QVariant("DEVICE") << QVariant(10) << empty << 0 << false << firstBlue
                                     << QString();
    QTest::newRow("a new word not found restarts at 1 and keeps the last word")
        << claims << QString() << false << QStringList{"1:device", "1:device", "1:gadget"} << QVariant(1)
        << QVariant(device) << QVariant(-1) << empty << 1 << false << twoBlue << QString();
    QTest::newRow("the last word then searches from offset 1 again")
        << claims << QString() << false << QStringList{"1:device", "1:device", "1:gadget", "1:device"} << QVariant(16)
        << QVariant(device) << QVariant(10) << empty << 1 << false << twoBlue << QString();
    QTest::newRow("an empty item finds nothing")
        << claims << QString() << false << QStringList{"1:"} << QVariant(1) << empty << QVariant(-1) << empty << 1
        << false << plainClaims << QString();
    QTest::newRow("an empty item after a find restarts the word")
        << claims << QString() << false << QStringList{"1:device", "1:"} << QVariant(1) << QVariant(device)
        << QVariant(-1) << empty << 1 << false << firstBlue << QString();

    QTest::newRow("List3 colours red, keeps the word for the echo and arms it")
        << claims << QString() << false << QStringList{"3:device"} << QVariant(16) << QVariant(device) << QVariant(10)
        << QVariant(device) << 0 << true << QStringLiteral("..........rrrrrr.........") << QString();
    QTest::newRow("List3 then List1 goes on in the claims in blue")
        << claims << QString() << false << QStringList{"3:device", "1:device"} << QVariant(24) << QVariant(device)
        << QVariant(18) << QVariant(device) << 0 << true << QStringLiteral("..........rrrrrr..bbbbbb.") << QString();
    QTest::newRow("List3 not found neither arms nor keeps the word")
        << claims << QString() << false << QStringList{"3:gadget"} << QVariant(1) << empty << QVariant(-1) << empty << 1
        << false << plainClaims << QString();
    QTest::newRow("List3 colours only the picked part of a longer word")
        << claims << QString() << false << QStringList{"3:vice"} << QVariant(6) << QVariant("vice") << QVariant(2)
        << QVariant("vice") << 0 << true << QStringLiteral("..rrrr...................") << QString();
    QTest::newRow("a later colour shows over an earlier one")
        << claims << QString() << false << QStringList{"1:device", "3:ice", "3:ice"} << QVariant(16) << QVariant("ice")
        << QVariant(13) << QVariant("ice") << 0 << true << QStringLiteral("...rrr....bbbrrr.........") << QString();

    QTest::newRow("List1 then List2 goes on in the disclosure from the claims' offset")
        << claims << disclosure << false << QStringList{"1:device", "2:device"} << QVariant(28) << QVariant(device)
        << QVariant(22) << empty << 0 << false
        << firstBlue
        //                "device one device two device"
        << QStringLiteral("......................bbbbbb");
    QTest::newRow("List2 from beyond the end of its text finds nothing")
        << claims << QStringLiteral("device x") << false << QStringList{"1:device", "1:device", "2:device"}
        << QVariant(24) << QVariant(device) << QVariant(-1) << empty << 1 << false << twoBlue
        << QStringLiteral("........");
    QTest::newRow("List2 is quiet while the echo runs")
        << claims << disclosure << true << QStringList{"2:device"} << QVariant(1) << empty << empty << empty << 0
        << false << plainClaims << plainDisclosure;
    QTest::newRow("List1 is heard while the echo runs")
        << claims << disclosure << true << QStringList{"1:device"} << QVariant(16) << QVariant(device) << QVariant(10)
        << empty << 0 << false << firstBlue << plainDisclosure;

    QTest::newRow("a word only at offset 0 is never found")
        << QStringLiteral("Widget and gadget") << QString() << false << QStringList{"1:Widget"} << QVariant(1) << empty
        << QVariant(-1) << empty << 1 << false << QStringLiteral(".................") << QString();
    QTest::newRow("a word at offset 0 is found at its next occurrence")
        << QStringLiteral("Widget and widget") << QString() << false << QStringList{"1:Widget"} << QVariant(17)
        << QVariant("Widget") << QVariant(11) << empty << 0 << false << QStringLiteral("...........bbbbbb")
        << QString();
    QTest::newRow("a word that holds a line break")
        << QStringLiteral("The end.\nThe start") << QString() << false << QStringList{"1:end.\nThe"} << QVariant(12)
        << QVariant("end.\nThe") << QVariant(4) << empty << 0 << false << QStringLiteral("....bbbb/bbb......")
        << QString();
    QTest::newRow("a no-break space stays itself")
        << QStringLiteral("a\u00A0b and a\u00A0b") << QString() << false << QStringList{"1:a\u00A0b"} << QVariant(11)
        << QVariant("a\u00A0b") << QVariant(8) << empty << 0 << false << QStringLiteral("........bbb") << QString();
    QTest::newRow("letters beyond ASCII ignore case")
        << QStringLiteral("Émile and ÉMILE émile") << QString() << false << QStringList{"3:émile"} << QVariant(15)
        << QVariant("émile") << QVariant(10) << QVariant("émile") << 0 << true
        << QStringLiteral("..........rrrrr......") << QString();
    QTest::newRow("characters outside the BMP count two positions")
        << QStringLiteral("x \U0001D400b \U0001D400B") << QString() << false
        << QStringList{"1:\U0001D400b", "1:\U0001D400b"} << QVariant(9) << QVariant("\U0001D400b") << QVariant(6)
        << empty << 0 << false << QStringLiteral("..bbb.bbb") << QString();
}

void NavigationTest::picksFollowTheStateTable() {
    QFETCH(QString, claims);
    QFETCH(QString, disclosure);
    QFETCH(bool, echoRunning);
    QFETCH(QStringList, picks);

    MessageRecorder messages;
    ResultsRecord record;
    trevask window(record);
    window.RichTextBox1->setPlainText(claims);
    window.RichTextBox2->setPlainText(disclosure);
    record.start = 1;
    record.flagclick3 = echoRunning;
    for (const QString& picked : picks) {
        WordList* list = listOf(window, picked.at(0));
        ensure(list, picked.mid(2));
        ensure(list, QStringLiteral("zzz"));
    }

    for (const QString& picked : picks)
        pick(listOf(window, picked.at(0)), picked.mid(2));

    QTEST(record.start, "start");
    QTEST(record.previtem, "previtem");
    QTEST(record.la, "la");
    QTEST(record.tampon, "tampon");
    QTEST(int(messages.texts.size()), "messages");
    QCOMPARE(messages.texts, QStringList(messages.texts.size(), kNothingElseFound));
    QCOMPARE(messages.parents, QList<QWidget*>(messages.parents.size(), &window));
    QTEST(window.Timer1->isActive(), "armed");
    if (window.Timer1->isActive())
        QCOMPARE(window.Timer1->interval(), 100);
    QTEST(colourMap(*window.RichTextBox1->document()), "claimsColours");
    QTEST(colourMap(*window.RichTextBox2->document()), "disclosureColours");
    QCOMPARE(record.flagclick3.toBool(), echoRunning);
}

void NavigationTest::aFindSelectsTheOccurrenceInItsOwnBox() {
    MessageRecorder messages;
    ResultsRecord record;
    trevask window(record);
    window.RichTextBox1->setPlainText(QStringLiteral("A Gizmo and a gizmo"));
    window.RichTextBox2->setPlainText(QStringLiteral("No gizmo here"));
    record.start = 1;
    const QString gizmo = QStringLiteral("gizmo");
    ensure(window.List1, gizmo);
    ensure(window.List2, gizmo);

    pick(window.List1, gizmo);
    QCOMPARE(window.RichTextBox1->textCursor().selectionStart(), 2);
    QCOMPARE(window.RichTextBox1->textCursor().selectionEnd(), 7);

    // From offset 7 the disclosure has nothing more: its selection stays where it was.
    pick(window.List2, gizmo);
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY(!window.RichTextBox2->textCursor().hasSelection());

    pick(window.List1, gizmo);
    QCOMPARE(window.RichTextBox1->textCursor().selectionStart(), 14);
    QCOMPARE(window.RichTextBox1->textCursor().selectionEnd(), 19);

    pick(window.List1, gizmo);
    QCOMPARE(messages.texts.size(), 2);
    QCOMPARE(window.RichTextBox1->textCursor().selectionStart(), 14);
    QCOMPARE(window.RichTextBox1->textCursor().selectionEnd(), 19);
}

void NavigationTest::colourStaysWhenTheSelectionMovesOn() {
    MessageRecorder messages;
    ResultsRecord record;
    trevask window(record);
    window.RichTextBox1->setPlainText(QStringLiteral("x part\npart"));
    record.start = 1;
    ensure(window.List3, QStringLiteral("part"));

    pick(window.List3, QStringLiteral("part"));
    pick(window.List3, QStringLiteral("part"));
    QTextCursor elsewhere = window.RichTextBox1->textCursor();
    elsewhere.setPosition(0);
    window.RichTextBox1->setTextCursor(elsewhere);

    // The second occurrence begins a line, where QTextCursor::charFormat() would report the next character.
    QCOMPARE(colourMap(*window.RichTextBox1->document()), QStringLiteral("..rrrr/rrrr"));
    QVERIFY(messages.texts.isEmpty());
}

QTEST_MAIN(NavigationTest)
#include "tst_navigation.moc"
