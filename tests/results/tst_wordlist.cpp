#include "results/word_list.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

using namespace claimcheck;

namespace {

QStringList Entries(const WordList& list) {
    QStringList entries;
    for (int i = 0; i < list.count(); ++i)
        entries << list.item(i);
    return entries;
}

void Fill(WordList& list, const QStringList& entries) {
    for (const QString& entry : entries)
        list.addItem(entry);
}

// An independent statement of the list's order: case-folded text first, exact code units to break ties.
bool ReferenceBefore(const QString& a, const QString& b) {
    const QString fa = a.toCaseFolded();
    const QString fb = b.toCaseFolded();
    return fa != fb ? fa < fb : a < b;
}

// Fills the list and shows it at a size that holds every entry, for the mouse; false when it never appeared.
[[nodiscard]] bool ShowFilled(WordList& list, const QStringList& entries) {
    Fill(list, entries);
    list.resize(120, 200);
    list.show();
    return QTest::qWaitForWindowExposed(&list);
}

QPoint CentreOf(const WordList& list, int position) {
    return list.visualRect(list.model()->index(position, 0)).center();
}

void PostTyped(QWidget* target, const QString& text) {
    for (const QChar c : text) {
        QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, QString(c)));
        QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c)));
    }
}

// The entries of the type-ahead tests, in the list's order.
const QStringList kTypeAheadEntries{QString(),
                                    QStringLiteral("\tx"),
                                    QStringLiteral("\nabc"),
                                    QStringLiteral("+^%~"),
                                    QStringLiteral("apple"),
                                    QStringLiteral("a{b}"),
                                    QStringLiteral("banana"),
                                    QStringLiteral("Band"),
                                    QStringLiteral("bandana"),
                                    QStringLiteral("cherry"),
                                    QStringLiteral("zeta"),
                                    QStringLiteral("{x}"),
                                    QStringLiteral("~tilde"),
                                    QStringLiteral("émail"),
                                    QStringLiteral("Émile"),
                                    QStringLiteral("\U00010428x")};

} // namespace

class TestWordList : public QObject {
    Q_OBJECT
private slots:
    void showsEntriesInCollationOrder_data();
    void showsEntriesInCollationOrder();
    void orderDoesNotDependOnTheOrderOfAdding();
    void readsBetweenAddsSeeSortedInsertion();
    void addingKeepsTheSelectedEntrySelected();
    void keepsMoreThan32767Entries();
    void clearEmptiesTheListAndItsSelection();
    void selectingFromCodeDoesNotPick();
    void viewSeesAddedEntriesOnceEventsRun();
    void emptyAndMultiLineEntriesAreFullSingleRows();
    void backgroundColourFillsTheList();

    void everyMouseClickOnAnItemPicksOnce();
    void eachClickOfADoubleClickPicks();
    void clicksOffTheItemsAndOtherButtonsDoNotPick();
    void draggingPicksOnceOnRelease();
    void keyboardSelectionChangesPick();

    void typeAheadSelectsFirstEntryBeginningWithTheTypedText_data();
    void typeAheadSelectsFirstEntryBeginningWithTheTypedText();
    void typeAheadExtendsWithinTheKeyboardIntervalOnly();
    void typedKeysReachTheTypeAhead();
    void postedTextKeysTypeAndKeepTheFocus_data();
    void postedTextKeysTypeAndKeepTheFocus();
};

void TestWordList::showsEntriesInCollationOrder_data() {
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("shown");
    auto row = [](const char* name, const QStringList& added, const QStringList& shown) {
        QTest::newRow(name) << added << shown;
    };
    row("alphabetical", {"beta", "alpha", "gamma"}, {"alpha", "beta", "gamma"});
    row("case is ignored", {"Zebra", "apple"}, {"apple", "Zebra"});
    row("case ties by code unit", {"apple", "APPLE", "Apple"}, {"APPLE", "Apple", "apple"});
    row("empty entries first and kept", {"b", "", ""}, {"", "", "b"});
    row("duplicates kept", {"x", "x"}, {"x", "x"});
    row("punctuation before letters", {"Gamma", "_x", "alpha"}, {"_x", "alpha", "Gamma"});
    row("digits by character", {"9", "10", "1"}, {"1", "10", "9"});
    row("prefix first", {"aa", "a\nb", "a"}, {"a", "a\nb", "aa"});
    row("accented letters after ASCII", {"Émile", "zeta", "emu"}, {"emu", "zeta", "Émile"});
    row("sigmas fold alike", {QStringLiteral("σ"), QStringLiteral("ς"), QStringLiteral("Σ")},
        {QStringLiteral("Σ"), QStringLiteral("ς"), QStringLiteral("σ")});
    // By UTF-16 unit: a supplementary letter (a surrogate pair) sorts before U+FFFD, and folds like a BMP one.
    row("supplementary planes", {QStringLiteral("\U00010428"), QStringLiteral("\uFFFD"), QStringLiteral("\U00010400")},
        {QStringLiteral("\U00010400"), QStringLiteral("\U00010428"), QStringLiteral("\uFFFD")});
}

void TestWordList::showsEntriesInCollationOrder() {
    QFETCH(QStringList, added);
    QFETCH(QStringList, shown);
    WordList list;
    Fill(list, added);
    QCOMPARE(list.count(), shown.size());
    QCOMPARE(Entries(list), shown);
}

void TestWordList::orderDoesNotDependOnTheOrderOfAdding() {
    QStringList words;
    QRandomGenerator random(42);
    const QString alphabet = QStringLiteral("aAbBzZéÉ_1\n");
    for (int i = 0; i < 400; ++i) {
        QString word;
        for (int n = random.bounded(0, 6); n > 0; --n)
            word += alphabet.at(random.bounded(alphabet.size()));
        words << word;
    }
    QStringList expected = words;
    std::sort(expected.begin(), expected.end(), ReferenceBefore);
    for (int round = 0; round < 3; ++round) {
        std::shuffle(words.begin(), words.end(), random);
        WordList list;
        Fill(list, words);
        QCOMPARE(Entries(list), expected);
    }
}

void TestWordList::readsBetweenAddsSeeSortedInsertion() {
    WordList list;
    QStringList expected;
    const QStringList words{"delta", "Alpha", "", "charlie", "bravo", "alpha", "Echo", "delta"};
    for (const QString& word : words) {
        list.addItem(word);
        expected.insert(std::upper_bound(expected.begin(), expected.end(), word, ReferenceBefore), word);
        QCOMPARE(list.count(), expected.size());
        QCOMPARE(Entries(list), expected);
    }
}

void TestWordList::addingKeepsTheSelectedEntrySelected() {
    WordList list;
    Fill(list, {"m", "c", "x"});
    list.setSelectedPosition(1);
    Fill(list, {"a", "z", "M", "b", "m"});
    QCOMPARE(list.count(), 8);
    QCOMPARE(list.item(list.selectedPosition()), QStringLiteral("m"));
    QCOMPARE(list.selectedPosition(), 4); // a b c M m (the earlier one stays selected) m x z
}

void TestWordList::keepsMoreThan32767Entries() {
    WordList list;
    for (int i = 0; i < 40000; ++i)
        list.addItem(QStringLiteral("w%1").arg(39999 - i));
    QCOMPARE(list.count(), 40000);
    QCOMPARE(list.item(0), QStringLiteral("w0"));
    QCOMPARE(list.item(39999), QStringLiteral("w9999"));
    for (int i = 1; i < list.count(); ++i)
        QVERIFY(!ReferenceBefore(list.item(i), list.item(i - 1)));
    list.setSelectedPosition(39000);
    QCOMPARE(list.selectedPosition(), 39000);
    QCOMPARE(list.item(40000), QString());
    QCOMPARE(list.item(-1), QString());
}

void TestWordList::clearEmptiesTheListAndItsSelection() {
    WordList list;
    Fill(list, {"a", "b"});
    list.setSelectedPosition(1);
    list.addItem(QStringLiteral("c"));
    list.clear();
    QCOMPARE(list.count(), 0);
    QCOMPARE(list.selectedPosition(), -1);
    QCOMPARE(list.model()->rowCount(), 0);
    list.addItem(QStringLiteral("d"));
    QCOMPARE(Entries(list), QStringList{"d"});
}

void TestWordList::selectingFromCodeDoesNotPick() {
    WordList list;
    QSignalSpy picked(&list, &WordList::picked);
    Fill(list, {"a", "b", "c"});
    list.setSelectedPosition(2);
    QCOMPARE(list.selectedPosition(), 2);
    list.addItem(QStringLiteral("0"));
    QCOMPARE(list.selectedPosition(), 3);
    list.setSelectedPosition(-1);
    QCOMPARE(list.selectedPosition(), -1);
    list.setSelectedPosition(1);
    list.setSelectedPosition(99);
    QCOMPARE(list.selectedPosition(), -1);
    list.clear();
    QCOMPARE(picked.count(), 0);
}

void TestWordList::viewSeesAddedEntriesOnceEventsRun() {
    WordList list;
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    Fill(list, {"b", "a", "c"});
    QTRY_COMPARE(list.model()->rowCount(), 3);
    QCOMPARE(list.model()->index(0, 0).data().toString(), QStringLiteral("a"));
    QVERIFY(list.visualRect(list.model()->index(2, 0)).isValid());
}

void TestWordList::emptyAndMultiLineEntriesAreFullSingleRows() {
    WordList plain;
    Fill(plain, {"x"});
    WordList odd;
    Fill(odd, {"", "a\nb", "x"});
    for (WordList* list : {&plain, &odd}) {
        list->resize(150, 200);
        list->show();
        QVERIFY(QTest::qWaitForWindowExposed(list));
    }
    const int lineHeight = plain.visualRect(plain.model()->index(0, 0)).height();
    QVERIFY(lineHeight >= plain.fontMetrics().height());
    for (int row = 0; row < 3; ++row) {
        const QRect rect = odd.visualRect(odd.model()->index(row, 0));
        QCOMPARE(rect.height(), lineHeight);
        QCOMPARE(rect.top(), row * lineHeight);
    }
}

void TestWordList::backgroundColourFillsTheList() {
    WordList list;
    Fill(list, {"a"});
    const QColor peach(255, 224, 192);
    list.setBackgroundColor(peach);
    list.resize(120, 120);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    const QImage shown = list.viewport()->grab().toImage();
    QCOMPARE(shown.pixelColor(shown.width() - 5, shown.height() - 5), peach);
}

void TestWordList::everyMouseClickOnAnItemPicksOnce() {
    WordList list;
    QVERIFY(ShowFilled(list, {"a", "b", "c"}));
    QSignalSpy picked(&list, &WordList::picked);

    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, CentreOf(list, 1));
    QCOMPARE(picked.count(), 1);
    QCOMPARE(list.selectedPosition(), 1);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, CentreOf(list, 1));
    QCOMPARE(picked.count(), 2);
    QCOMPARE(list.selectedPosition(), 1);
    // Ctrl+click would deselect in a Qt view; here it is a click like any other.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, CentreOf(list, 1));
    QCOMPARE(picked.count(), 3);
    QCOMPARE(list.selectedPosition(), 1);
    QTest::keyClick(&list, Qt::Key_Space, Qt::ControlModifier);
    QCOMPARE(list.selectedPosition(), 1);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, CentreOf(list, 2));
    QCOMPARE(picked.count(), 4);
    QCOMPARE(list.selectedPosition(), 2);
}

void TestWordList::eachClickOfADoubleClickPicks() {
    WordList list;
    QVERIFY(ShowFilled(list, {"a", "b", "c"}));
    list.setSelectedPosition(0);
    QSignalSpy picked(&list, &WordList::picked);

    // Through the window, as the platform delivers it: press, release, then the second press arrives as a
    // double-click event, then its release.
    const QPoint onLast = list.viewport()->mapTo(&list, CentreOf(list, 2));
    QTest::mouseDClick(list.windowHandle(), Qt::LeftButton, {}, onLast);
    QTRY_COMPARE(picked.count(), 2);
    QCOMPARE(list.selectedPosition(), 2);
    QTest::mouseDClick(list.windowHandle(), Qt::LeftButton, {}, onLast); // on the selected item
    QTRY_COMPARE(picked.count(), 4);
    QCOMPARE(list.selectedPosition(), 2);
}

void TestWordList::clicksOffTheItemsAndOtherButtonsDoNotPick() {
    WordList list;
    QVERIFY(ShowFilled(list, {"a", "b"}));
    list.setSelectedPosition(1);
    QSignalSpy picked(&list, &WordList::picked);

    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(10, list.viewport()->height() - 5));
    QTest::mouseClick(list.viewport(), Qt::RightButton, {}, CentreOf(list, 0));
    QTest::mouseClick(list.viewport(), Qt::MiddleButton, {}, CentreOf(list, 0));
    QCOMPARE(picked.count(), 0);
    QCOMPARE(list.selectedPosition(), 1);
}

void TestWordList::draggingPicksOnceOnRelease() {
    WordList list;
    QVERIFY(ShowFilled(list, {"a", "b", "c"}));
    QSignalSpy picked(&list, &WordList::picked);
    QWidget* viewport = list.viewport();

    QTest::mousePress(viewport, Qt::LeftButton, {}, CentreOf(list, 0));
    QCOMPARE(list.selectedPosition(), 0);
    for (int row : {1, 2}) {
        const QPoint at = CentreOf(list, row);
        QMouseEvent move(QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &move);
    }
    QCOMPARE(picked.count(), 0);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, CentreOf(list, 2));
    QCOMPARE(picked.count(), 1);
    QCOMPARE(list.selectedPosition(), 2);
}

void TestWordList::keyboardSelectionChangesPick() {
    WordList list;
    Fill(list, {"a", "b", "c"});
    QSignalSpy picked(&list, &WordList::picked);
    struct Step {
        Qt::Key key;
        int selected;
        int picks;
    };
    const Step steps[] = {
        {Qt::Key_Down, 0, 1},                                             // nothing selected: the first item
        {Qt::Key_Down, 1, 2}, {Qt::Key_End, 2, 3},  {Qt::Key_Down, 2, 3}, // no move at the end: no pick
        {Qt::Key_Up, 1, 4},   {Qt::Key_Home, 0, 5}, {Qt::Key_Up, 0, 5},
    };
    for (const Step& step : steps) {
        QTest::keyClick(&list, step.key);
        QCOMPARE(list.selectedPosition(), step.selected);
        QCOMPARE(picked.count(), step.picks);
    }
}

void TestWordList::typeAheadSelectsFirstEntryBeginningWithTheTypedText_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("picks");
    QTest::newRow("one letter") << QStringLiteral("b") << QStringLiteral("banana") << 1;
    QTest::newRow("letters extend the search") << QStringLiteral("band") << QStringLiteral("Band") << 2;
    QTest::newRow("case ignored") << QStringLiteral("BANDA") << QStringLiteral("bandana") << 3;
    QTest::newRow("tab") << QStringLiteral("\t") << QStringLiteral("\tx") << 1;
    QTest::newRow("line feed") << QStringLiteral("\n") << QStringLiteral("\nabc") << 1;
    QTest::newRow("brace") << QStringLiteral("{") << QStringLiteral("{x}") << 1;
    QTest::newRow("brace inside") << QStringLiteral("a{") << QStringLiteral("a{b}") << 2;
    QTest::newRow("modifier symbols") << QStringLiteral("+^%~") << QStringLiteral("+^%~") << 1;
    QTest::newRow("tilde") << QStringLiteral("~") << QStringLiteral("~tilde") << 1;
    QTest::newRow("accent folds case") << QStringLiteral("É") << QStringLiteral("émail") << 1;
    QTest::newRow("ends on the selected entry") << QStringLiteral("émi") << QStringLiteral("Émile") << 2;
    QTest::newRow("supplementary letter folds") << QStringLiteral("\U00010400") << QStringLiteral("\U00010428x") << 1;
    QTest::newRow("no match keeps the selection") << QStringLiteral("q") << QStringLiteral("Émile") << 0;
    QTest::newRow("a failed extension keeps the last match") << QStringLiteral("bx") << QStringLiteral("banana") << 1;
}

// Whatever was selected before ("Émile", near the end), the search runs from the top of the list.
void TestWordList::typeAheadSelectsFirstEntryBeginningWithTheTypedText() {
    QFETCH(QString, typed);
    QFETCH(QString, selected);
    QFETCH(int, picks);
    WordList list;
    QStringList shuffled = kTypeAheadEntries;
    std::reverse(shuffled.begin(), shuffled.end());
    Fill(list, shuffled);
    QCOMPARE(Entries(list), kTypeAheadEntries);
    list.setSelectedPosition(int(kTypeAheadEntries.indexOf(QStringLiteral("Émile"))));
    QSignalSpy picked(&list, &WordList::picked);

    list.typeAhead(typed);
    QCOMPARE(list.item(list.selectedPosition()), selected);
    QCOMPARE(picked.count(), picks);
}

void TestWordList::typeAheadExtendsWithinTheKeyboardIntervalOnly() {
    WordList list;
    Fill(list, kTypeAheadEntries);
    list.typeAhead(QStringLiteral("b"));
    list.typeAhead(QStringLiteral("a"));
    list.typeAhead(QStringLiteral("nd"));
    QCOMPARE(list.item(list.selectedPosition()), QStringLiteral("Band"));

    list.clearTypeAhead();
    list.typeAhead(QStringLiteral("c"));
    QCOMPARE(list.item(list.selectedPosition()), QStringLiteral("cherry"));

    const int interval = QApplication::keyboardInputInterval();
    QApplication::setKeyboardInputInterval(20);
    list.typeAhead(QStringLiteral("b"));
    QTest::qWait(60); // longer than the interval: the next character starts a new search
    list.typeAhead(QStringLiteral("z"));
    QApplication::setKeyboardInputInterval(interval);
    QCOMPARE(list.item(list.selectedPosition()), QStringLiteral("zeta"));
}

void TestWordList::typedKeysReachTheTypeAhead() {
    QWidget window;
    auto* list = new WordList(&window);
    auto* after = new QLineEdit(&window);
    auto* layout = new QHBoxLayout(&window);
    layout->addWidget(list);
    layout->addWidget(after);
    Fill(*list, kTypeAheadEntries);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    list->setFocus();
    QSignalSpy picked(list, &WordList::picked);

    // A capital comes with a press of Shift first, which must not end the search.
    QTest::keyClick(list, Qt::Key_B);
    QTest::keyClick(list, Qt::Key_A, Qt::ShiftModifier);
    QTest::keyClick(list, Qt::Key_N);
    QCOMPARE(list->item(list->selectedPosition()), QStringLiteral("banana"));
    QCOMPARE(picked.count(), 1);
    QTest::keyClick(list, Qt::Key_Down); // moving on ends the search: the next letters start a new one
    QCOMPARE(list->item(list->selectedPosition()), QStringLiteral("Band"));
    QTest::keyClicks(list, QStringLiteral("ban"));
    QCOMPARE(list->item(list->selectedPosition()), QStringLiteral("banana"));
    QCOMPARE(picked.count(), 3);
    QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier); // a command, not a character
    QCOMPARE(list->item(list->selectedPosition()), QStringLiteral("banana"));
    QCOMPARE(picked.count(), 3);

    // The Tab key itself still moves the focus on.
    QTest::keyClick(list, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), after);
    QCOMPARE(list->item(list->selectedPosition()), QStringLiteral("banana"));
}

void TestWordList::postedTextKeysTypeAndKeepTheFocus_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("selected");
    QTest::newRow("tab") << QStringLiteral("\t") << QStringLiteral("\tx");
    QTest::newRow("line feed") << QStringLiteral("\nab") << QStringLiteral("\nabc");
    QTest::newRow("braces") << QStringLiteral("{x}") << QStringLiteral("{x}");
    QTest::newRow("modifier symbols") << QStringLiteral("+^%~") << QStringLiteral("+^%~");
    QTest::newRow("word") << QStringLiteral("banda") << QStringLiteral("bandana");
}

// How the disclosure index echo types: one posted key event per character, key code 0.
void TestWordList::postedTextKeysTypeAndKeepTheFocus() {
    QFETCH(QString, typed);
    QFETCH(QString, selected);
    QWidget window;
    auto* before = new QLineEdit(&window);
    auto* list = new WordList(&window);
    auto* after = new QLineEdit(&window);
    auto* layout = new QHBoxLayout(&window);
    layout->addWidget(before);
    layout->addWidget(list);
    layout->addWidget(after);
    Fill(*list, kTypeAheadEntries);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    list->setFocus();
    QSignalSpy picked(list, &WordList::picked);

    PostTyped(list, typed);
    QTRY_COMPARE(list->item(list->selectedPosition()), selected);
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::focusWidget(), list);
    QVERIFY(picked.count() >= 1);
    QCOMPARE(before->text(), QString());
    QCOMPARE(after->text(), QString());
}

QTEST_MAIN(TestWordList)
#include "tst_wordlist.moc"
