// Huge and hostile texts through the real windows: the input window's boxes, "Check for support", the results
// window's lists and the picks in them. Every case must finish, keep both texts intact and leave a program that
// still answers clicks. Each case prints its times and its peak memory; only a generous memory bound is asserted.

#include "input/merovin.h"
#include "platform/system.h"
#include "results/trevask.h"
#include "results/word_list.h"
#include "results_window_fixture.h"
#include "ui/box_text.h"
#include "ui/huge_words.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <cstdio>

using namespace claimcheck;
using namespace claimcheck::testing;

namespace {

// Peak resident memory of the whole process may not pass this, whatever the texts: ten times what the 10 MB case
// needs, and far below what would make a 2-core CI machine swap or kill the run.
constexpr qint64 kPeakMemoryBoundMb = 3000;

const QString kNothingElseFound = QStringLiteral("Nothing else found");

// The process's peak resident memory in MB; -1 where the system does not tell.
qint64 peakMemoryMb() {
    return qint64(claimcheck::platform::peakResidentBytes().value_or(-1048576.0) / 1048576.0);
}

// A deterministic stand-in for real prose: invented words from syllables, commas and full stops, lines that meet
// without a space (as pasted paragraphs do), reference numerals. `marked` words carry a "q" and a number that no
// text made without marks holds, so the claims get unsupported words.
QString proseText(qsizetype characters, quint32 seed, int vocabulary, bool marked) {
    static const char* const kSyllables[] = {"ab",  "ex", "ro", "ta", "ven", "sil", "mo", "ker", "du", "pli",
                                             "ant", "or", "ge", "ni", "tus", "ca",  "lo", "ber", "im", "pe"};
    QRandomGenerator random(seed);
    QString text;
    text.reserve(characters + 64);
    int wordsOnLine = 0;
    while (text.size() < characters) {
        // Skewed towards the first words of the vocabulary, as word frequencies in real text are.
        const quint32 a = random.bounded(quint32(vocabulary));
        quint32 rank = quint32(quint64(a) * random.bounded(quint32(vocabulary)) / quint32(vocabulary));
        do {
            text += QLatin1String(kSyllables[rank % 20]);
            rank /= 20;
        } while (rank > 0);
        if (marked && random.bounded(40) == 0)
            text += u'q' + QString::number(random.bounded(100000));
        const quint32 r = random.bounded(100);
        if (r < 6)
            text += u',';
        else if (r < 9)
            text += u'.';
        else if (r < 11)
            text += QStringLiteral(" (") + QString::number(random.bounded(400)) + u')';
        if (++wordsOnLine == 14) {
            text += u'\n';
            wordsOnLine = 0;
        } else {
            text += u' ';
        }
    }
    return text;
}

// The characters that break naive text handling: NUL and other controls, lone and reversed surrogates, marks that
// turn the writing direction, combining marks with nothing (or far too much) to combine with, emoji made of
// several code points, byte order marks and non-characters, the characters the text boxes keep for their own
// frames and breaks. Mixed with plain words, single spaces between the pieces.
QString hostileText(qsizetype pieces, quint32 seed) {
    const QString stackedMarks = QStringLiteral("a") + QString(60, QChar(0x0301));
    const QList<QString> kPieces = {
        QString(1, QChar(0)),
        QStringLiteral("nul") + QChar(0) + QStringLiteral("inside"),
        QString(1, QChar(0xD800)),
        QString(1, QChar(0xDC00)),
        QStringLiteral("lone") + QChar(0xDBFF) + QStringLiteral("high"),
        QStringLiteral("lone") + QChar(0xDFFF) + QStringLiteral("low"),
        QString(QChar(0xDE00)) + QChar(0xD83D), // a pair in the wrong order
        QStringLiteral("\x01\x02\x03\x07\x08\x1b\x7f"),
        QStringLiteral("tab\there"),
        QStringLiteral("cr\ronly"),
        QStringLiteral("form\ffeed\vvertical"),
        QString(QChar(0x0085)) + QStringLiteral("nel"),
        QStringLiteral("\u200Fright\u200Eleft"),
        QStringLiteral("\u202Eoverride\u202C"),
        QStringLiteral("\u2067isolate\u2069"),
        QStringLiteral("\u05E9\u05DC\u05D5\u05DD"),                   // Hebrew
        QStringLiteral("\u0627\u0644\u0639\u0631\u0628\u064A\u0629"), // Arabic
        QStringLiteral("e\u0301t\u00E9"),
        QString(QChar(0x0301)) + QStringLiteral("leading"),
        stackedMarks,
        QStringLiteral("\U0001F600"),
        QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467"),
        QStringLiteral("\U0001F1EA\U0001F1FA"),
        QStringLiteral("\U0001F44D\U0001F3FD"),
        QStringLiteral("\U0001D400\U0001D401"), // mathematical bold letters, outside the BMP
        QStringLiteral("\uFEFFbom"),
        QStringLiteral("\uFFFF\uFFFE"),
        QStringLiteral("frame\uFDD0marks\uFDD1"),
        QStringLiteral("line\u2028para\u2029graph"),
        QStringLiteral("no\u00A0break"),
        QStringLiteral("{+}^%~()[]"),
        QStringLiteral("Device"),
        QStringLiteral("device,"),
        QStringLiteral("wheel."),
    };
    QRandomGenerator random(seed);
    QString text;
    for (qsizetype i = 0; i < pieces; ++i) {
        if (i > 0)
            text += random.bounded(25) == 0 ? QStringLiteral("  ") : QStringLiteral(" ");
        text += kPieces.at(random.bounded(int(kPieces.size())));
    }
    return text;
}

// Single letters, single spaces between them, from the first `letters` characters of `alphabet`.
QString oneLetterWords(qsizetype words, quint32 seed, QStringView alphabet) {
    QRandomGenerator random(seed);
    QString text(words * 2 - 1, u' ');
    for (qsizetype i = 0; i < words; ++i)
        text[i * 2] = alphabet[random.bounded(int(alphabet.size()))];
    return text;
}

QString randomLetters(qsizetype length, quint32 seed) {
    QRandomGenerator random(seed);
    QString word(length, u'a');
    for (QChar& c : word)
        c = QChar(u'a' + random.bounded(26));
    return word;
}

// The n-th of a family of words that cannot occur inside one another, nor across the seam of two: each begins
// with "z", ends with "y", and holds only the letters a to p in between, so an occurrence must start where a word
// starts and is then the word itself.
QString distinctWord(int n) {
    QString word = QStringLiteral("z");
    for (int i = 0; i < 5; ++i, n /= 16)
        word += QChar(u'a' + n % 16);
    return word + u'y';
}

QString distinctWords(int from, int to) {
    QStringList words;
    for (int n = from; n < to; ++n)
        words << distinctWord(n);
    return words.join(u' ');
}

enum class Case { TenMegabytes, HostileCharacters, MillionOneLetterWords, MillionCharacterWord, DistinctWords100k };

struct Texts {
    QString claims;
    QString disclosure;
    // Entry counts known from how the texts were made; -1 where only the analysis can tell.
    int list1 = -1, list2 = -1, list3 = -1;
};

Texts makeTexts(Case c) {
    switch (c) {
    case Case::TenMegabytes:
        return {proseText(10'000'000, 1, 60'000, true), proseText(10'000'000, 2, 60'000, false)};
    case Case::HostileCharacters:
        return {hostileText(40'000, 3), hostileText(40'000, 4)};
    case Case::MillionOneLetterWords: {
        // Every letter of the claims is admitted once; the disclosure names a to m, so n to z are unsupported in
        // either case.
        const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
        return {oneLetterWords(1'000'000, 5, letters), oneLetterWords(100'000, 6, QStringView(letters).left(13)), 52,
                13, 26};
    }
    case Case::MillionCharacterWord: {
        // The claims start with a blank so that the huge word stands at offset 1, where a pick finds it and the
        // echo types it into the disclosure index. The disclosure's only word is the same word without its last
        // letter: every character typed matches it, until the last.
        const QString word = randomLetters(1'000'000, 7);
        return {QStringLiteral(" ") + word + QStringLiteral(" 9tail"), word.chopped(1), 3, 1, 2};
    }
    case Case::DistinctWords100k:
        // Half of the claims' words are in the disclosure.
        return {distinctWords(0, 100'000), distinctWords(50'000, 150'000), 100'000, 100'000, 50'000};
    }
    return {};
}

QString selectedText(const QPlainTextEdit* box) {
    QString text = box->textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

// A real left click on the item at `position`.
void clickAt(WordList* list, int position) {
    const QModelIndex index = list->model()->index(position, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
}

// Whether the entry begins with the word's first character, ignoring case.
bool beginsLike(const QString& entry, const QString& word) {
    const qsizetype first = word.size() > 1 && word.at(0).isHighSurrogate() && word.at(1).isLowSurrogate() ? 2 : 1;
    return !word.isEmpty() && entry.startsWith(word.left(first), Qt::CaseInsensitive);
}

bool anyBeginsLike(const WordList& list, const QString& word) {
    for (int position = 0; position < list.count(); ++position)
        if (beginsLike(list.item(position), word))
            return true;
    return false;
}

// A short, ordinary check run: the windows answer as they did before the load.
void expectAnOrdinaryRunWorks(merovin& window) {
    window.clear_Click();
    window.RichTextBox1->setPlainText(QStringLiteral("A wheel, and an axle."));
    window.RichTextBox2->setPlainText(QStringLiteral("The wheels turn on a shaft."));
    window.Command1->click();
    trevask* r = window.results().window();
    QVERIFY(r);
    QCOMPARE(r->List3->count(), 2);
    QCOMPARE(r->List3->item(0), QStringLiteral("and"));
}

} // namespace

class HostileInputTest : public QObject {
    Q_OBJECT
private slots:
    void boxesWrapAnywhereOnlyWhileAHugeWordIsThere_data();
    void boxesWrapAnywhereOnlyWhileAHugeWordIsThere();
    void everyCheckRunFinishesKeepsTheTextsAndAnswersPicks_data();
    void everyCheckRunFinishesKeepsTheTextsAndAnswersPicks();
};

// A word longer than the boxes wrap at word boundaries makes them wrap anywhere, whichever way it comes and goes:
// pasted whole, made by joining two words, split or deleted again.
void HostileInputTest::boxesWrapAnywhereOnlyWhileAHugeWordIsThere_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("wrapsAnywhere");
    QTest::addColumn<int>("editAt");
    QTest::addColumn<int>("removed");
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<bool>("wrapsAnywhereAfter");
    const auto letters = [](int n) { return QString(n, u'x'); };
    const int most = kLongestWrappedWord;
    QTest::newRow("longest word still wrapped at its boundaries, a word typed after it")
        << letters(most) << false << most << 0 << QStringLiteral(" next") << false;
    QTest::newRow("one letter more, then split by a blank")
        << letters(most + 1) << true << most / 2 << 0 << QStringLiteral(" ") << false;
    QTest::newRow("two words joined by deleting the blank between them")
        << letters(600) + u' ' + letters(600) << false << 600 << 1 << QString() << true;
    QTest::newRow("a huge word pasted into ordinary text")
        << QStringLiteral("a wheel and an axle ") << false << 20 << 0 << letters(5 * most) << true;
    QTest::newRow("the huge word deleted") << QStringLiteral("a ") + letters(2 * most) + QStringLiteral(" b") << true
                                           << 2 << 2 * most << QString() << false;
    QTest::newRow("tabs and line breaks end words; deleting the tab joins two")
        << letters(800) + u'\t' + letters(800) + u'\n' + letters(800) << false << 800 << 1 << QString() << true;
    QTest::newRow("a no-break space ends no word")
        << letters(600) + QChar(0x00A0) + letters(600) << true << 0 << 0 << QStringLiteral("a ") << true;
}

void HostileInputTest::boxesWrapAnywhereOnlyWhileAHugeWordIsThere() {
    QFETCH(QString, text);
    QFETCH(bool, wrapsAnywhere);
    QFETCH(int, editAt);
    QFETCH(int, removed);
    QFETCH(QString, inserted);
    QFETCH(bool, wrapsAnywhereAfter);
    merovin input;
    ResultsRecord record;
    trevask results(record);
    for (QTextDocument* document : {input.RichTextBox1->document(), input.RichTextBox2->document(),
                                    results.RichTextBox1->document(), results.RichTextBox2->document()}) {
        const auto anywhere = [document] {
            return document->defaultTextOption().wrapMode() == QTextOption::WrapAnywhere;
        };
        QVERIFY(!anywhere());
        document->setPlainText(text);
        QCOMPARE(anywhere(), wrapsAnywhere);
        QTextCursor cursor(document);
        cursor.setPosition(editAt);
        cursor.setPosition(editAt + removed, QTextCursor::KeepAnchor);
        cursor.insertText(inserted);
        QCOMPARE(anywhere(), wrapsAnywhereAfter);
        // The text itself is never changed.
        QString expected = text;
        expected.replace(editAt, removed, inserted);
        QCOMPARE(boxPlainText(*document), expected);
    }
}

void HostileInputTest::everyCheckRunFinishesKeepsTheTextsAndAnswersPicks_data() {
    QTest::addColumn<Case>("kind");
    QTest::newRow("10 MB in both boxes") << Case::TenMegabytes;
    QTest::newRow("NUL, surrogates, controls, RTL, combining marks, emoji") << Case::HostileCharacters;
    QTest::newRow("1M one-letter words") << Case::MillionOneLetterWords;
    QTest::newRow("one 1M-character word") << Case::MillionCharacterWord;
    QTest::newRow("100k distinct claim words") << Case::DistinctWords100k;
}

void HostileInputTest::everyCheckRunFinishesKeepsTheTextsAndAnswersPicks() {
    QFETCH(Case, kind);
    // A new peak starts at the resident memory of now, so that earlier cases do not count.
    claimcheck::platform::resetResidentPeak();
    const qint64 baseMb = peakMemoryMb();
    const Texts texts = makeTexts(kind);

    MessageRecorder messages;
    merovin window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QElapsedTimer clock;
    clock.start();
    window.RichTextBox1->setPlainText(texts.claims);
    window.RichTextBox2->setPlainText(texts.disclosure);
    QCoreApplication::processEvents();
    const qint64 pasteMs = clock.restart();
    // What the user sees in the boxes, as the boxes hold it: the check run must leave exactly this.
    const QString claimsTyped = boxPlainText(*window.RichTextBox1->document());
    const QString disclosureTyped = boxPlainText(*window.RichTextBox2->document());

    clock.restart();
    window.Command1->click();
    const qint64 runMs = clock.restart();
    trevask* results = window.results().window();
    QVERIFY(results);
    QVERIFY(results->isVisible());
    (void)results->grab(); // the first paint of both texts and the three lists
    const qint64 paintMs = clock.restart();

    QCOMPARE(boxPlainText(*window.RichTextBox1->document()), claimsTyped);
    QCOMPARE(boxPlainText(*window.RichTextBox2->document()), disclosureTyped);
    QCOMPARE(boxPlainText(*results->RichTextBox1->document()), claimsTyped);
    QCOMPARE(boxPlainText(*results->RichTextBox2->document()), disclosureTyped);
    for (const auto& [list, expected] : {std::pair{results->List1, texts.list1}, std::pair{results->List2, texts.list2},
                                         std::pair{results->List3, texts.list3}}) {
        QVERIFY(list->count() > 0);
        if (expected >= 0)
            QCOMPARE(list->count(), expected);
    }
    const int counts[] = {results->List1->count(), results->List2->count(), results->List3->count()};

    // First, middle and last entry of each list, each picked twice: the second pick walks on or says that nothing
    // else is found. A pick in the unsupported words also runs the echo into the disclosure index; the next pick
    // waits until it is over.
    int picks = 0, found = 0;
    for (WordList* list : {results->List1, results->List2, results->List3}) {
        QPlainTextEdit* box = list == results->List2 ? results->RichTextBox2 : results->RichTextBox1;
        const int last = list->count() - 1;
        for (const int position : {0, last / 2, last}) {
            for (int again = 0; again < 2; ++again) {
                const QString word = list->item(position);
                const qsizetype messagesBefore = messages.texts.size();
                results->List2->setSelectedPosition(-1); // so that an echo shows in it
                results->la = QStringLiteral("not searched");
                clickAt(list, position);
                ++picks;
                QCOMPARE(list->selectedPosition(), position);
                QVERIFY2(results->la.typeId() != QMetaType::QString, "the click started no search");
                const qlonglong at = results->la.toLongLong();
                if (at < 1) {
                    QCOMPARE(at, -1);
                    QCOMPARE(messages.texts.size(), messagesBefore + 1);
                    QCOMPARE(messages.texts.last(), kNothingElseFound);
                } else {
                    ++found;
                    QCOMPARE(messages.texts.size(), messagesBefore);
                    QCOMPARE(selectedText(box).compare(word, Qt::CaseInsensitive), 0);
                    QCOMPARE(box->textCursor().selectionStart(), at);
                    QCOMPARE(results->start.toLongLong(), at + word.size());
                }
                // The echo, if the pick armed one, searches nothing in the disclosure and moves the disclosure
                // index to an entry that begins like the word.
                const QVariant laAfterPick = results->la, startAfterPick = results->start;
                QTRY_VERIFY_WITH_TIMEOUT(!results->Timer1->isActive() && !results->flagclick3.toBool(), 30000);
                QCOMPARE(results->la, laAfterPick);
                QCOMPARE(results->start, startAfterPick);
                if (list == results->List3 && at >= 1 && anyBeginsLike(*results->List2, word)) {
                    const int echoed = results->List2->selectedPosition();
                    QVERIFY2(echoed >= 0, "the echo did not move the disclosure index");
                    QVERIFY(beginsLike(results->List2->item(echoed), word));
                }
            }
        }
    }
    const qint64 picksMs = clock.restart();
    QVERIFY(found > 0);

    // The texts are still whole after all the colouring, and the program still does ordinary work.
    QCOMPARE(boxPlainText(*results->RichTextBox1->document()), claimsTyped);
    QCOMPARE(boxPlainText(*window.RichTextBox1->document()), claimsTyped);
    expectAnOrdinaryRunWorks(window);

    const qint64 peakMb = peakMemoryMb();
    std::printf("hostile input '%s': claims %lld, disclosure %lld characters; lists %d/%d/%d; into the boxes %lld ms, "
                "check run %lld ms, first paint %lld ms, %d picks (%d found) %lld ms; peak memory %lld MB "
                "(%lld MB before the texts)\n",
                QTest::currentDataTag(), qlonglong(texts.claims.size()), qlonglong(texts.disclosure.size()), counts[0],
                counts[1], counts[2], pasteMs, runMs, paintMs, picks, found, picksMs, peakMb, baseMb);
    std::fflush(stdout);
    QVERIFY2(peakMb < kPeakMemoryBoundMb, QByteArray::number(peakMb));
}

QTEST_MAIN(HostileInputTest)
#include "tst_hostile_input.moc"
