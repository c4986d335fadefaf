#include "results_window_fixture.h"

#include <QApplication>
#include <QPointer>
#include <QtTest>

#include <functional>

using namespace claimcheck;
using namespace claimcheck::testing;

namespace {

const QString kList2 = QStringLiteral("List2");
const QString kList3 = QStringLiteral("List3");

struct NavigationState {
    QVariant start, previtem, la, tampon;
    bool operator==(const NavigationState&) const = default;
};

NavigationState stateOf(const ResultsRecord& record) {
    return {record.start, record.previtem, record.la, record.tampon};
}

char* toString(const NavigationState& state) {
    return QTest::toString(
        QStringLiteral("start %1, previtem '%2', la %3, tampon '%4'")
            .arg(state.start.toString(), state.previtem.toString(), state.la.toString(), state.tampon.toString()));
}

// A results window on the heap (the user may close it, which deletes it), shown and active, with the focus in
// List3. Logs every focus move into List2 or List3, which is how an echo shows from outside: focus to List2 at
// its start, back to List3 at its end.
class EchoWindow {
public:
    EchoWindow(const QString& claims, const QString& disclosure, const QStringList& list2, const QStringList& list3)
        : window(new trevask(record)) {
        window->RichTextBox1->setPlainText(claims);
        window->RichTextBox2->setPlainText(disclosure);
        record.start = 1;
        for (const QString& word : list2)
            window->List2->addItem(word);
        for (const QString& word : list3)
            window->List3->addItem(word);
        QObject::connect(qApp, &QApplication::focusChanged, &m_context, [this](QWidget*, QWidget* now) {
            if (!now || (now->objectName() != kList2 && now->objectName() != kList3))
                return;
            focusLog.append(now->objectName());
            if (now->objectName() == kList2 && onEchoStart) {
                // Run it inside the echo's pause, not inside the echo's call that moved the focus.
                QTimer::singleShot(0, &m_context, std::exchange(onEchoStart, {}));
            }
        });
    }
    ~EchoWindow() { delete window.data(); }
    EchoWindow(const EchoWindow&) = delete;
    EchoWindow& operator=(const EchoWindow&) = delete;

    bool open() {
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window))
            return false;
        window->List3->setFocus();
        focusLog.clear();
        return QApplication::focusWidget() == window->List3;
    }

    bool echoing() const { return record.flagclick3.toBool(); }

    MessageRecorder messages;
    ResultsRecord record;
    QPointer<trevask> window;
    QStringList focusLog;
    std::function<void()> onEchoStart; // runs once, during the next echo

private:
    QObject m_context;
};

const QStringList kEchoes1{kList2, kList3};

} // namespace

class EchoTest : public QObject {
    Q_OBJECT

private slots:
    void echoSelectsTheFirstEntryBeginningWithTheWord_data();
    void echoSelectsTheFirstEntryBeginningWithTheWord();
    void anAccentedWordLandsAmongItsUnaccentedNeighbours_data();
    void anAccentedWordLandsAmongItsUnaccentedNeighbours();
    void twoFindsWithinTheDelayGiveOneEchoOfTheLaterWord();
    void aClickInTheDisclosureIndexDuringTheEchoDoesNothing();
    void aTickArmedDuringTheEchoWaitsForItsEnd();
    void eachEchoStartsANewSearch();
    void closingTheWindowDuringTheEchoIsSafe();
};

void EchoTest::echoSelectsTheFirstEntryBeginningWithTheWord_data() {
    QTest::addColumn<QString>("word");
    QTest::addColumn<QStringList>("list2");
    QTest::addColumn<QString>("selectedBefore");
    QTest::addColumn<QString>("selectedAfter");

    const QStringList gizmos{"alpha", "Gizmos", "gizmo", "gizmoid", "zeta"};
    QTest::newRow("an entry further down") << "gizmo" << gizmos << "alpha"
                                           << "gizmo";
    QTest::newRow("the first match lies above the selection") << "gizmo" << gizmos << "gizmoid"
                                                              << "gizmo";
    QTest::newRow("case is ignored") << "GIZMO" << gizmos << "zeta"
                                     << "gizmo";
    QTest::newRow("nothing begins with the word") << "qqq" << gizmos << "zeta"
                                                  << "zeta";
    QTest::newRow("only a beginning of the word matches") << "gizmox" << gizmos << "zeta"
                                                          << "gizmo";
    QTest::newRow("nothing selected before") << "gizmo" << gizmos << "<none>"
                                             << "gizmo";
    QTest::newRow("an empty disclosure index") << "gizmo" << QStringList() << "<none>"
                                               << "<none>";
    QTest::newRow("tabs, braces and command characters are typed as themselves")
        << "a\tb{+^%~}" << QStringList{"a", "a\tb", "a\tb{+^%~}z", "a\tb{+^%~}", "a\tc", "b"} << "b"
        << "a\tb{+^%~}";
    QTest::newRow("a line break is typed as itself")
        << "end.\nThe" << QStringList{"end", "end.", "end.\nThem", "end.\nThe", "ending"} << "ending"
        << "end.\nThe";
    QTest::newRow("a character outside the BMP")
        << "\U0001D400b" << QStringList{"\U0001D400", "\U0001D400c", "\U0001D400b", "x"} << "x"
        << "\U0001D400b";
}

void EchoTest::echoSelectsTheFirstEntryBeginningWithTheWord() {
    QFETCH(QString, word);
    QFETCH(QStringList, list2);
    QFETCH(QString, selectedBefore);
    QFETCH(QString, selectedAfter);

    // Every entry of the disclosure index occurs in the disclosure after any offset the claims reach, so a search
    // that slipped through would colour it.
    const QString claims = QStringLiteral("Claims: ") + word + QStringLiteral(" and ") + word;
    const QString disclosure = QString(claims.size(), u'x') + u' ' + list2.join(u' ');
    EchoWindow echo(claims, disclosure, list2, {word, QStringLiteral("zzz")});
    QVERIFY(echo.open());
    echo.window->List2->setSelectedPosition(positionOf(echo.window->List2, selectedBefore));
    const QString plainDisclosure = colourMap(*echo.window->RichTextBox2->document());

    clickItem(echo.window->List3, word);
    QCOMPARE(echo.record.la, QVariant(8));
    const NavigationState afterFind = stateOf(echo.record);
    QVERIFY(echo.window->Timer1->isActive());
    QCOMPARE(echo.focusLog, QStringList());

    QTRY_COMPARE(echo.focusLog, kEchoes1);
    QVERIFY(!echo.echoing());
    QVERIFY(!echo.window->Timer1->isActive());
    QCOMPARE(QApplication::focusWidget(), echo.window->List3);
    QCOMPARE(selectedItem(echo.window->List2), selectedAfter);
    QCOMPARE(stateOf(echo.record), afterFind);
    QCOMPARE(colourMap(*echo.window->RichTextBox2->document()), plainDisclosure);
    QCOMPARE(echo.messages.texts, QStringList());

    // The echo left `start` where the find put it: the next pick finds the next occurrence.
    clickItem(echo.window->List3, word);
    QCOMPARE(echo.record.la, QVariant(13 + word.size()));
}

void EchoTest::anAccentedWordLandsAmongItsUnaccentedNeighbours_data() {
    QTest::addColumn<QString>("word");
    QTest::addColumn<QStringList>("list2");
    QTest::addColumn<QStringList>("neighbourhood");
    // "Übertragung" is not in the disclosure: the type-ahead stops at "über", the first entry that begins with "Über",
    // which stands between "Ubahn" and "Ufer".
    QTest::newRow("German") << QStringLiteral("Übertragung")
                            << QStringList{"Zahn", "über", "Uhr", "Ufer", "Tor", "Ubahn"}
                            << QStringList{"Ubahn", "über", "Ufer"};
    QTest::newRow("French") << QStringLiteral("éléments") << QStringList{"zone", "élément", "elle", "elevage", "ecrou"}
                            << QStringList{"ecrou", "élément", "elevage"};
}

// The echo shows the alphabetical neighbourhood of an unsupported word that begins with an accented letter: the
// entry it lands on stands among the unaccented words around it, not after "z".
void EchoTest::anAccentedWordLandsAmongItsUnaccentedNeighbours() {
    QFETCH(QString, word);
    QFETCH(QStringList, list2);
    QFETCH(QStringList, neighbourhood);
    EchoWindow echo(QStringLiteral("Claims: ") + word, list2.join(u' '), list2, {word});
    QVERIFY(echo.open());

    clickItem(echo.window->List3, word);
    QTRY_COMPARE(echo.focusLog, kEchoes1);
    const WordList* list = echo.window->List2;
    const int landed = list->selectedPosition();
    QVERIFY(landed >= 1 && landed + 1 < list->count());
    QCOMPARE((QStringList{list->item(landed - 1), list->item(landed), list->item(landed + 1)}), neighbourhood);
}

void EchoTest::twoFindsWithinTheDelayGiveOneEchoOfTheLaterWord() {
    EchoWindow echo(QStringLiteral("A gizmo and a widget"), QString(), {"gizmo", "widget", "zeta"},
                    {"gizmo", "widget"});
    QVERIFY(echo.open());
    echo.window->List2->setSelectedPosition(positionOf(echo.window->List2, QStringLiteral("zeta")));

    pick(echo.window->List3, QStringLiteral("gizmo"));
    pick(echo.window->List3, QStringLiteral("widget"));

    QTRY_COMPARE(echo.focusLog, kEchoes1);
    // Watched for half a second more: no second echo follows.
    QTest::qWait(500);
    QCOMPARE(echo.focusLog, kEchoes1);
    QCOMPARE(selectedItem(echo.window->List2), QStringLiteral("widget"));
    QCOMPARE(echo.record.tampon, QVariant(QStringLiteral("widget")));
}

void EchoTest::aClickInTheDisclosureIndexDuringTheEchoDoesNothing() {
    EchoWindow echo(QStringLiteral("A gizmo"), QStringLiteral("x gizmo zeta"), {"gizmo", "zeta"}, {"gizmo"});
    QVERIFY(echo.open());
    bool clickedDuringEcho = false;
    echo.onEchoStart = [&] {
        clickedDuringEcho = echo.echoing();
        clickItem(echo.window->List2, QStringLiteral("zeta"));
    };

    clickItem(echo.window->List3, QStringLiteral("gizmo"));
    const NavigationState afterFind = stateOf(echo.record);
    QTRY_COMPARE(echo.focusLog, kEchoes1);

    QVERIFY(clickedDuringEcho);
    QCOMPARE(stateOf(echo.record), afterFind);
    QCOMPARE(colourMap(*echo.window->RichTextBox2->document()), QStringLiteral("............"));
    QCOMPARE(echo.messages.texts, QStringList());

    // Once the echo is over, a click in the disclosure index searches the disclosure again.
    clickItem(echo.window->List2, QStringLiteral("zeta"));
    QCOMPARE(echo.record.la, QVariant(8));
    QCOMPARE(colourMap(*echo.window->RichTextBox2->document()), QStringLiteral("........bbbb"));
}

void EchoTest::aTickArmedDuringTheEchoWaitsForItsEnd() {
    EchoWindow echo(QStringLiteral("A gizmo and a widget"), QString(), {"gizmo", "widget", "zeta"},
                    {"gizmo", "widget"});
    QVERIFY(echo.open());
    // Armed at the start of the echo's 0.2 s pause, the new tick falls due inside it.
    echo.onEchoStart = [&] { pick(echo.window->List3, QStringLiteral("widget")); };

    pick(echo.window->List3, QStringLiteral("gizmo"));

    // An echo run inside the first would take the focus to List2 while it is already there, and log nothing.
    QTRY_COMPARE(echo.focusLog, (QStringList{kList2, kList3, kList2, kList3}));
    QVERIFY(!echo.echoing());
    QVERIFY(!echo.window->Timer1->isActive());
    QCOMPARE(selectedItem(echo.window->List2), QStringLiteral("widget"));
    QCOMPARE(QApplication::focusWidget(), echo.window->List3);
}

void EchoTest::eachEchoStartsANewSearch() {
    EchoWindow echo(QStringLiteral("A gizmo"), QString(), {"gizmo", "zeta"}, {"gizmo"});
    QVERIFY(echo.open());

    // The user types "z" into the disclosure index and, with the focus still there, the unsupported word is
    // picked well within the type-ahead's interval: the echo must not go on from "z".
    echo.window->List2->setFocus();
    echo.window->List2->typeAhead(QStringLiteral("z"));
    QCOMPARE(selectedItem(echo.window->List2), QStringLiteral("zeta"));
    echo.focusLog.clear();
    pick(echo.window->List3, QStringLiteral("gizmo"));

    QTRY_VERIFY(echo.focusLog.contains(kList3));
    QCOMPARE(selectedItem(echo.window->List2), QStringLiteral("gizmo"));
}

void EchoTest::closingTheWindowDuringTheEchoIsSafe() {
    EchoWindow echo(QStringLiteral("A gizmo"), QString(), {"gizmo", "zeta"}, {"gizmo"});
    QVERIFY(echo.open());
    echo.onEchoStart = [&] { echo.window->close(); };

    pick(echo.window->List3, QStringLiteral("gizmo"));

    QTRY_VERIFY(echo.window.isNull());
    QTRY_VERIFY(!echo.echoing());
    QCOMPARE(echo.record.tampon, QVariant(QStringLiteral("gizmo")));
}

QTEST_MAIN(EchoTest)
#include "tst_echo.moc"
