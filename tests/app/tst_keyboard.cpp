// A day at the keyboard alone: into the boxes and on through the input window in its focus order, the check, the
// results window's columns in theirs, a word picked in a list, "Nothing else found" dismissed, the number box and
// "Get text ", and the Clear command from the menu bar.
#include "input/merovin.h"
#include "message_box_watch.h"
#include "results/trevask.h"
#include "results/word_list.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

using namespace claimcheck;
using claimcheck::testing::MessageBoxWatch;

namespace {

QWidget* focused() {
    return QApplication::focusWidget();
}

// Presses the key on whatever has the focus, as the keyboard does.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(focused(), key, modifiers);
}

} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void theWholeDayWithoutAMouse_data();
    void theWholeDayWithoutAMouse();
};

void KeyboardTest::initTestCase() {
    QApplication::setApplicationName(QStringLiteral("claimcheck"));
}

void KeyboardTest::theWholeDayWithoutAMouse_data() {
    QTest::addColumn<Qt::Key>("dismissKey");
    QTest::newRow("Return") << Qt::Key_Return;
    QTest::newRow("Escape") << Qt::Key_Escape;
    QTest::newRow("Space") << Qt::Key_Space;
}

void KeyboardTest::theWholeDayWithoutAMouse() {
    QFETCH(Qt::Key, dismissKey);
    merovin input;
    input.show();
    input.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&input));
    QCOMPARE(focused(), input.Command1);

    // Into the claims box, and on: Tab leaves a box as it leaves any control, and types nothing into it.
    press(Qt::Key_Tab);
    QCOMPARE(focused(), input.RichTextBox1);
    QTest::keyClicks(focused(), QStringLiteral("1. A wheel comprising a hub and an axle."));
    press(Qt::Key_Tab);
    QCOMPARE(focused(), input.RichTextBox2);
    QTest::keyClicks(focused(), QStringLiteral("The wheel 1 has a hub and spokes."));
    QCOMPARE(input.RichTextBox1->toPlainText(), QStringLiteral("1. A wheel comprising a hub and an axle."));
    press(Qt::Key_Tab);
    QCOMPARE(focused(), input.Text1);
    press(Qt::Key_Tab);
    QCOMPARE(focused(), input.Command2);
    // The web view stays out of the round, which comes back to the first control.
    press(Qt::Key_Tab);
    QCOMPARE(focused(), input.Command1);
    // And backwards, out of a box too.
    press(Qt::Key_Tab);
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(focused(), input.Command1);

    // Every message box that comes up is noted and dismissed by the key.
    QStringList shown;
    bool keyGone = true;
    const MessageBoxWatch watch(MessageBoxWatch::Boxes::Every, [&](QMessageBox* box) {
        shown << box->text();
        QTest::keyClick(QApplication::focusWidget(), dismissKey);
        keyGone = keyGone && QApplication::activeModalWidget() == nullptr;
    });
    // The check, by the space bar on "Check for support": the results window comes up with the focus in its claims.
    press(Qt::Key_Space);
    trevask* results = input.results().window();
    QVERIFY(results);
    QVERIFY(QTest::qWaitForWindowActive(results));
    QCOMPARE(focused(), results->RichTextBox1);
    QVERIFY(results->List3->count() > 0);
    const QList<QWidget*> round{results->RichTextBox2, results->List1, results->List2, results->List3,
                                results->RichTextBox1};
    for (QWidget* next : round) {
        press(Qt::Key_Tab);
        QCOMPARE(focused(), next);
    }

    // A word of the claims that the disclosure lacks, picked with the arrow keys: found and coloured in the claims,
    // and the disclosure index's echo gives the focus back to the list.
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(focused(), results->List3);
    press(Qt::Key_Down);
    const QString word = results->List3->item(results->List3->selectedPosition());
    QVERIFY(!word.isEmpty());
    QCOMPARE(results->RichTextBox1->textCursor().selectedText().toLower(), word.toLower());
    QCOMPARE(results->previtem.toString(), word);
    QVERIFY(shown.isEmpty());
    QTRY_VERIFY(!results->flagclick3.toBool() && !results->Timer1->isActive());
    QTRY_COMPARE(focused(), results->List3);

    // "1." stands only at the very start of the claims, where no search looks: picking it by type-ahead in the
    // claims index brings "Nothing else found", which one key dismisses.
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(focused(), results->List1);
    QTest::keyClicks(focused(), QStringLiteral("1"));
    QCOMPARE(results->List1->item(results->List1->selectedPosition()), QStringLiteral("1."));
    QCOMPARE(shown, QStringList{QStringLiteral("Nothing else found")});
    QVERIFY(keyGone);
    // A window manager gives the focus back to the window under a closed box (offscreen and a bare Xvfb have none);
    // the window then has it where it was.
    results->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(results));
    QCOMPARE(focused(), results->List1);

    // Back in the input window (the window manager's key for that is not the program's): a patent number typed and
    // "Get text " pressed. The retrieval itself is tested on its own, with a stand-in server.
    input.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&input));
    QObject::disconnect(input.Command2, &QPushButton::clicked, &input, &merovin::Command2_Click);
    QSignalSpy fetches(input.Command2, &QPushButton::clicked);
    input.Text1->setFocus();
    QTest::keyClicks(focused(), QStringLiteral("US4564563"));
    press(Qt::Key_Tab);
    QCOMPARE(focused(), input.Command2);
    press(Qt::Key_Space);
    QCOMPARE(fetches.size(), 1);

    // The menu bar by Alt, its first item "Clear" by Return.
    press(Qt::Key_Alt);
    QCOMPARE(input.menuBar()->activeAction(), input.clear);
    press(Qt::Key_Return);
    QVERIFY(input.RichTextBox1->toPlainText().isEmpty());
    QVERIFY(input.RichTextBox2->toPlainText().isEmpty());
    QVERIFY(input.Text1->text().isEmpty());
}

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
