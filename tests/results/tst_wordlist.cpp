#include "list_order.h"
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
using claimcheck::testing::referenceBefore;

namespace {

QStringList entries(const WordList& list) {
    QStringList entries;
    for (int i = 0; i < list.count(); ++i)
        entries << list.item(i);
    return entries;
}

void fill(WordList& list, const QStringList& entries) {
    for (const QString& entry : entries)
        list.addItem(entry);
}

// Makes the lists created while it lives collate for `locale` (QLocale(), which the lists read, is the default
// locale), and puts the earlier default back.
class CollationLocale {
public:
    explicit CollationLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~CollationLocale() { QLocale::setDefault(m_previous); }
    CollationLocale(const CollationLocale&) = delete;
    CollationLocale& operator=(const CollationLocale&) = delete;

private:
    QLocale m_previous;
};

// Fills the list and shows it at a size that holds every entry, for the mouse; false when it never appeared.
[[nodiscard]] bool showFilled(WordList& list, const QStringList& entries) {
    fill(list, entries);
    list.resize(120, 200);
    list.show();
    return QTest::qWaitForWindowExposed(&list);
}

QPoint centreOf(const WordList& list, int position) {
    return list.visualRect(list.model()->index(position, 0)).center();
}

void postTyped(QWidget* target, const QString& text) {
    for (const QChar c : text) {
        QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, QString(c)));
        QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c)));
    }
}

// The entries of the type-ahead tests, in the list's order (the root order of the C locale): the empty entry,
// punctuation before symbols ("{" before "+" before "~"), then letters, accented ones beside their base letters and
// an entry that begins with a tab or a line break where its visible characters put it; a letter of another script
// (Deseret) after the Latin ones.
const QStringList kTypeAheadEntries{QString(),
                                    QStringLiteral("{x}"),
                                    QStringLiteral("+^%~"),
                                    QStringLiteral("~tilde"),
                                    QStringLiteral("a{b}"),
                                    QStringLiteral("\nabc"),
                                    QStringLiteral("apple"),
                                    QStringLiteral("banana"),
                                    QStringLiteral("Band"),
                                    QStringLiteral("bandana"),
                                    QStringLiteral("cherry"),
                                    QStringLiteral("émail"),
                                    QStringLiteral("Émile"),
                                    QStringLiteral("\tx"),
                                    QStringLiteral("zeta"),
                                    QStringLiteral("\U00010428x")};

} // namespace

class TestWordList : public QObject {
    Q_OBJECT
private slots:
    void showsEntriesInCollationOrder_data();
    void showsEntriesInCollationOrder();
    void followsTheDictionaryOrderOfTheLanguage_data();
    void followsTheDictionaryOrderOfTheLanguage();
    void followsTheUsersCollationLocale();
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
    void typeAheadFindsEntriesThatAnAccentedEntrySplits_data();
    void typeAheadFindsEntriesThatAnAccentedEntrySplits();
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
    row("lower case first when only case differs", {"APPLE", "apple", "Apple"}, {"apple", "Apple", "APPLE"});
    row("empty entries first and kept", {"b", "", ""}, {"", "", "b"});
    row("duplicates kept", {"x", "x"}, {"x", "x"});
    row("punctuation before letters", {"Gamma", "_x", "alpha"}, {"_x", "alpha", "Gamma"});
    row("punctuation before symbols before digits", {"1", "~", "+", "_"}, {"_", "+", "~", "1"});
    row("digits by character", {"9", "10", "1"}, {"1", "10", "9"});
    // Entries whose visible characters are the same are ordered by their code units: a control character comes
    // before a letter, a separator (U+2029) after it.
    row("line breaks count for nothing", {"ab", "a\nb", "a", "aa", "\nb"}, {"a", "aa", "a\nb", "ab", "\nb"});
    row("tabs and separators count for nothing",
        {QStringLiteral("ac"), QStringLiteral("a\tb"), QStringLiteral("a\u2029c"), QStringLiteral("ab")},
        {QStringLiteral("a\tb"), QStringLiteral("ab"), QStringLiteral("ac"), QStringLiteral("a\u2029c")});
    row("accented letters beside their base letters", {"Émile", "zeta", "emu", "Eagle", "élan", "Ebene"},
        {"Eagle", "Ebene", "élan", "Émile", "emu", "zeta"});
    row("unaccented first when only accents differ", {QStringLiteral("résumé"), QStringLiteral("resume")},
        {QStringLiteral("resume"), QStringLiteral("résumé")});
    // A precomposed letter and a letter with a combining accent collate alike; their code units then decide.
    row("canonically equivalent spellings stand together",
        {QStringLiteral("ef"), QStringLiteral("e\u0301a"), QStringLiteral("eb"), QStringLiteral("\u00E9a")},
        {QStringLiteral("e\u0301a"), QStringLiteral("\u00E9a"), QStringLiteral("eb"), QStringLiteral("ef")});
    row("Greek in its alphabet's order", {QStringLiteral("τ"), QStringLiteral("Σ"), QStringLiteral("ρ")},
        {QStringLiteral("ρ"), QStringLiteral("Σ"), QStringLiteral("τ")});
    // A supplementary letter (a surrogate pair) has its own place, lower case first; U+FFFD follows every letter.
    row("supplementary planes", {QStringLiteral("\U00010400"), QStringLiteral("\uFFFD"), QStringLiteral("\U00010428")},
        {QStringLiteral("\U00010428"), QStringLiteral("\U00010400"), QStringLiteral("\uFFFD")});
}

void TestWordList::showsEntriesInCollationOrder() {
    QFETCH(QStringList, added);
    QFETCH(QStringList, shown);
    WordList list;
    fill(list, added);
    QCOMPARE(list.count(), shown.size());
    QCOMPARE(entries(list), shown);
}

// Word sets of three languages and the order their dictionaries give them.
// German (DIN 5007-1, the dictionary order): an umlaut sorts as its base letter and ß as "ss"; where the letters
// are otherwise the same, the plain letter comes before the umlaut, "ss" before "ß", lower case before upper case.
// French: accents and the cedilla count only where the letters are otherwise the same, and "œ" sorts as "oe".
// Spanish (the Academy's order since 1994): "ñ" is a letter of its own, after "n"; "ch" and "ll" are no longer
// letters of their own; accents count only where the letters are otherwise the same. Without a Spanish collation
// (the root order) "ñ" is an "n" with an accent.
const QStringList kGerman{"Apfel", "Äpfel", "Ärger", "arm",   "Arm",  "Arzt", "Masse", "Maße",   "Mast", "oben",
                          "offen", "Öl",    "über",  "Übung", "Ufer", "Uhr",  "Zahl",  "zählen", "Zahn"};
const QStringList kFrench{"abbaye", "abbé",  "ça",       "cabane", "cobalt", "code",  "cœur",     "dehors", "déjà",
                          "école",  "effet", "éléphant", "élève",  "être",   "étude", "garage",   "garçon", "gare",
                          "ici",    "idée",  "Île",      "oasis",  "odeur",  "œuvre", "officier", "zèbre",  "zéro"};
const QStringList kSpanish{"ángulo", "anillo", "anzuelo", "añadir", "año",  "chico",  "cosa",  "dama", "el",
                           "él",     "llave",  "lobo",    "luz",    "nube", "nutria", "ñandú", "ñu",   "obra"};
const QStringList kSpanishInRootOrder{"añadir", "ángulo", "anillo", "año",  "anzuelo", "chico",
                                      "cosa",   "dama",   "el",     "él",   "llave",   "lobo",
                                      "luz",    "ñandú",  "ñu",     "nube", "nutria",  "obra"};

void TestWordList::followsTheDictionaryOrderOfTheLanguage_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QStringList>("ordered");
    QTest::newRow("German, de_DE") << QLocale(QLocale::German, QLocale::Germany) << kGerman;
    QTest::newRow("German, C") << QLocale::c() << kGerman;
    QTest::newRow("French, fr_FR") << QLocale(QLocale::French, QLocale::France) << kFrench;
    QTest::newRow("French, C") << QLocale::c() << kFrench;
    QTest::newRow("Spanish, es_ES") << QLocale(QLocale::Spanish, QLocale::Spain) << kSpanish;
    QTest::newRow("Spanish, C") << QLocale::c() << kSpanishInRootOrder;
    QTest::newRow("Spanish, en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << kSpanishInRootOrder;
}

void TestWordList::followsTheDictionaryOrderOfTheLanguage() {
    QFETCH(QLocale, locale);
    QFETCH(QStringList, ordered);
    const CollationLocale collation(locale);
    for (const bool reversed : {false, true}) {
        QStringList added = ordered;
        if (reversed)
            std::reverse(added.begin(), added.end());
        else
            std::shuffle(added.begin(), added.end(), *QRandomGenerator::global());
        WordList list;
        fill(list, added);
        QCOMPARE(entries(list), ordered);
    }
}

// The list follows the collation locale of the user's environment (LC_ALL, LC_COLLATE, LANG): under C, as the test
// suite runs, the root order; the same test runs again with LC_COLLATE set to Spanish.
void TestWordList::followsTheUsersCollationLocale() {
    const QLocale collation = QLocale::system().collation();
    WordList list;
    fill(list, kSpanish);
    if (collation.language() == QLocale::Spanish)
        QCOMPARE(entries(list), kSpanish);
    else if (collation.language() == QLocale::C)
        QCOMPARE(entries(list), kSpanishInRootOrder);
    else
        QSKIP("run under the C locale or with LC_COLLATE set to a Spanish locale");
}

void TestWordList::orderDoesNotDependOnTheOrderOfAdding() {
    QStringList words;
    QRandomGenerator random(42);
    const QString alphabet = QStringLiteral("aAbBzZéÉüÜß_-1\n\t");
    for (int i = 0; i < 400; ++i) {
        QString word;
        for (int n = random.bounded(0, 6); n > 0; --n)
            word += alphabet.at(random.bounded(alphabet.size()));
        words << word;
    }
    QStringList expected = words;
    std::sort(expected.begin(), expected.end(), referenceBefore);
    for (int round = 0; round < 3; ++round) {
        std::shuffle(words.begin(), words.end(), random);
        WordList list;
        fill(list, words);
        QCOMPARE(entries(list), expected);
    }
}

void TestWordList::readsBetweenAddsSeeSortedInsertion() {
    WordList list;
    QStringList expected;
    const QStringList words{"delta", "Alpha", "", "charlie", "bravo", "alpha", "Echo", "delta"};
    for (const QString& word : words) {
        list.addItem(word);
        expected.insert(std::upper_bound(expected.begin(), expected.end(), word, referenceBefore), word);
        QCOMPARE(list.count(), expected.size());
        QCOMPARE(entries(list), expected);
    }
}

void TestWordList::addingKeepsTheSelectedEntrySelected() {
    WordList list;
    fill(list, {"m", "c", "x"});
    list.setSelectedPosition(1);
    fill(list, {"a", "z", "M", "b", "m"});
    QCOMPARE(list.count(), 8);
    QCOMPARE(list.item(list.selectedPosition()), QStringLiteral("m"));
    QCOMPARE(list.selectedPosition(), 3); // a b c m (the earlier one stays selected) m M x z
}

void TestWordList::keepsMoreThan32767Entries() {
    WordList list;
    for (int i = 0; i < 40000; ++i)
        list.addItem(QStringLiteral("w%1").arg(39999 - i));
    QCOMPARE(list.count(), 40000);
    QCOMPARE(list.item(0), QStringLiteral("w0"));
    QCOMPARE(list.item(39999), QStringLiteral("w9999"));
    for (int i = 1; i < list.count(); ++i)
        QVERIFY(!referenceBefore(list.item(i), list.item(i - 1)));
    list.setSelectedPosition(39000);
    QCOMPARE(list.selectedPosition(), 39000);
    QCOMPARE(list.item(40000), QString());
    QCOMPARE(list.item(-1), QString());
}

void TestWordList::clearEmptiesTheListAndItsSelection() {
    WordList list;
    fill(list, {"a", "b"});
    list.setSelectedPosition(1);
    list.addItem(QStringLiteral("c"));
    list.clear();
    QCOMPARE(list.count(), 0);
    QCOMPARE(list.selectedPosition(), -1);
    QCOMPARE(list.model()->rowCount(), 0);
    list.addItem(QStringLiteral("d"));
    QCOMPARE(entries(list), QStringList{"d"});
}

void TestWordList::selectingFromCodeDoesNotPick() {
    WordList list;
    QSignalSpy picked(&list, &WordList::picked);
    fill(list, {"a", "b", "c"});
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
    fill(list, {"b", "a", "c"});
    QTRY_COMPARE(list.model()->rowCount(), 3);
    QCOMPARE(list.model()->index(0, 0).data().toString(), QStringLiteral("a"));
    QVERIFY(list.visualRect(list.model()->index(2, 0)).isValid());
}

void TestWordList::emptyAndMultiLineEntriesAreFullSingleRows() {
    WordList plain;
    fill(plain, {"x"});
    WordList odd;
    fill(odd, {"", "a\nb", "x"});
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
    fill(list, {"a"});
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
    QVERIFY(showFilled(list, {"a", "b", "c"}));
    QSignalSpy picked(&list, &WordList::picked);

    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centreOf(list, 1));
    QCOMPARE(picked.count(), 1);
    QCOMPARE(list.selectedPosition(), 1);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centreOf(list, 1));
    QCOMPARE(picked.count(), 2);
    QCOMPARE(list.selectedPosition(), 1);
    // Ctrl+click would deselect in a Qt view; here it is a click like any other.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, centreOf(list, 1));
    QCOMPARE(picked.count(), 3);
    QCOMPARE(list.selectedPosition(), 1);
    QTest::keyClick(&list, Qt::Key_Space, Qt::ControlModifier);
    QCOMPARE(list.selectedPosition(), 1);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centreOf(list, 2));
    QCOMPARE(picked.count(), 4);
    QCOMPARE(list.selectedPosition(), 2);
}

void TestWordList::eachClickOfADoubleClickPicks() {
    WordList list;
    QVERIFY(showFilled(list, {"a", "b", "c"}));
    list.setSelectedPosition(0);
    QSignalSpy picked(&list, &WordList::picked);

    // Through the window, as the platform delivers it: press, release, then the second press arrives as a
    // double-click event, then its release.
    const QPoint onLast = list.viewport()->mapTo(&list, centreOf(list, 2));
    QTest::mouseDClick(list.windowHandle(), Qt::LeftButton, {}, onLast);
    QTRY_COMPARE(picked.count(), 2);
    QCOMPARE(list.selectedPosition(), 2);
    QTest::mouseDClick(list.windowHandle(), Qt::LeftButton, {}, onLast); // on the selected item
    QTRY_COMPARE(picked.count(), 4);
    QCOMPARE(list.selectedPosition(), 2);
}

void TestWordList::clicksOffTheItemsAndOtherButtonsDoNotPick() {
    WordList list;
    QVERIFY(showFilled(list, {"a", "b"}));
    list.setSelectedPosition(1);
    QSignalSpy picked(&list, &WordList::picked);

    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(10, list.viewport()->height() - 5));
    QTest::mouseClick(list.viewport(), Qt::RightButton, {}, centreOf(list, 0));
    QTest::mouseClick(list.viewport(), Qt::MiddleButton, {}, centreOf(list, 0));
    QCOMPARE(picked.count(), 0);
    QCOMPARE(list.selectedPosition(), 1);
}

void TestWordList::draggingPicksOnceOnRelease() {
    WordList list;
    QVERIFY(showFilled(list, {"a", "b", "c"}));
    QSignalSpy picked(&list, &WordList::picked);
    QWidget* viewport = list.viewport();

    QTest::mousePress(viewport, Qt::LeftButton, {}, centreOf(list, 0));
    QCOMPARE(list.selectedPosition(), 0);
    for (int row : {1, 2}) {
        const QPoint at = centreOf(list, row);
        QMouseEvent move(QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &move);
    }
    QCOMPARE(picked.count(), 0);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, centreOf(list, 2));
    QCOMPARE(picked.count(), 1);
    QCOMPARE(list.selectedPosition(), 2);
}

void TestWordList::keyboardSelectionChangesPick() {
    WordList list;
    fill(list, {"a", "b", "c"});
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
    QTest::newRow("brace inside") << QStringLiteral("a{") << QStringLiteral("a{b}") << 1;
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
    fill(list, shuffled);
    QCOMPARE(entries(list), kTypeAheadEntries);
    list.setSelectedPosition(int(kTypeAheadEntries.indexOf(QStringLiteral("Émile"))));
    QSignalSpy picked(&list, &WordList::picked);

    list.typeAhead(typed);
    QCOMPARE(list.item(list.selectedPosition()), selected);
    QCOMPARE(picked.count(), picks);
}

void TestWordList::typeAheadFindsEntriesThatAnAccentedEntrySplits_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("selected");
    QTest::newRow("first of all") << QStringLiteral("e") << QStringLiteral("ea");
    QTest::newRow("past an accented entry") << QStringLiteral("eb") << QStringLiteral("eb");
    QTest::newRow("past two accented entries") << QStringLiteral("ec") << QStringLiteral("EC");
    QTest::newRow("capital typed") << QStringLiteral("EB") << QStringLiteral("eb");
    QTest::newRow("accented") << QStringLiteral("é") << QStringLiteral("Éa");
    QTest::newRow("accented, further") << QStringLiteral("éb") << QStringLiteral("éb");
    QTest::newRow("accented capital typed") << QStringLiteral("ÉB") << QStringLiteral("éb");
    QTest::newRow("after them") << QStringLiteral("f") << QStringLiteral("f");
}

// The entries that begin with the same letters need not stand together: an accented entry stands between "ea" and
// "eb". The type-ahead still finds the first entry, in list order, that begins with the typed letters (case
// ignored, accents not), wherever the selection was.
void TestWordList::typeAheadFindsEntriesThatAnAccentedEntrySplits() {
    QFETCH(QString, typed);
    QFETCH(QString, selected);
    const QStringList ordered{"ea", "Éa", "eb", "éb", "EC", "f"};
    WordList list;
    fill(list, {"f", "éb", "EC", "Éa", "eb", "ea"});
    QCOMPARE(entries(list), ordered);
    list.setSelectedPosition(int(ordered.size()) - 1);
    list.typeAhead(typed);
    QCOMPARE(list.item(list.selectedPosition()), selected);
}

void TestWordList::typeAheadExtendsWithinTheKeyboardIntervalOnly() {
    WordList list;
    fill(list, kTypeAheadEntries);
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
    fill(*list, kTypeAheadEntries);
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
    fill(*list, kTypeAheadEntries);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    list->setFocus();
    QSignalSpy picked(list, &WordList::picked);

    postTyped(list, typed);
    QTRY_COMPARE(list->item(list->selectedPosition()), selected);
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::focusWidget(), list);
    QVERIFY(picked.count() >= 1);
    QCOMPARE(before->text(), QString());
    QCOMPARE(after->text(), QString());
}

QTEST_MAIN(TestWordList)
#include "tst_wordlist.moc"
