// "Get text " against a stand-in patent server on 127.0.0.1, with the real web view, under Xvfb. Every retrieval
// takes at least one 3-second wait on the flag, so each test is a few seconds long.

#include "input/merovin.h"
#include "results/trevask.h"
#include "stand_in_patent_server.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

using namespace claimcheck;

namespace {

QByteArray claimsTarget(const QByteArray& number) {
    return "/espacenet/claims?LG=en&CY=ep&DB=EPD&PNP=" + number + "&PN=" + number + "&FTDB=@RTDFTDB";
}

QByteArray descriptionTarget(const QByteArray& number) {
    return "/espacenet/desc?LG=en&CY=ep&DB=EPD&PNP=" + number + "&PN=" + number + "&FTDB=@RTDFTDB";
}

QByteArray get(const QByteArray& target) {
    return "GET " + target + " HTTP/1.1";
}

QByteArray html(const QByteArray& body) {
    return "<html><body>" + body + "</body></html>";
}

QString clipboardText() {
    return QGuiApplication::clipboard()->text();
}

// Under Xvfb without a window manager a window has no focus until it is activated.
[[nodiscard]] bool showActive(merovin& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Clicks "Get text " and returns how long the command took to end. A command still waiting after `rescueMs` is let
// go on (the flag is set to "description next"), so that a fault shows as a long command instead of a hung test.
qint64 clickGetText(merovin& window, int rescueMs = 15000) {
    QTimer rescue;
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, &window, [&window] { window.flagrun = false; });
    rescue.start(rescueMs);
    QElapsedTimer clock;
    clock.start();
    window.Command2->click();
    return clock.elapsed();
}

// Every text that the clipboard takes, with the flag as it stood then. Made before the window, it hears of each
// change before the web view does, and so sees a copy that the web view takes off the clipboard again at once.
class ClipboardWatch {
public:
    struct Change {
        qsizetype size;
        QString firstLine;
        QVariant flag;
    };

    ClipboardWatch() {
        m_connection = QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, [this] {
            const QString text = clipboardText();
            if (!text.isEmpty())
                changes.append({text.size(), text.section(u'\n', 0, 0), window ? window->flagrun : QVariant()});
        });
    }
    ~ClipboardWatch() { QObject::disconnect(m_connection); }

    const merovin* window = nullptr;
    QList<Change> changes;

private:
    QMetaObject::Connection m_connection;
};

// Whether every character of the box is in the box's default format: no colour, no weight, no font of its own.
bool holdsPlainText(const QTextEdit& box) {
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            if (format.hasProperty(QTextFormat::ForegroundBrush) || format.hasProperty(QTextFormat::FontWeight) ||
                format.hasProperty(QTextFormat::FontFamilies))
                return false;
        }
    }
    return true;
}

} // namespace

class RetrievalTest : public QObject {
    Q_OBJECT
private slots:
    void fetchesTheClaimsThenTheDescription();
    void flagAtDescriptionNextAsksForBothPagesAtOnce();
    void framesAreCapturedOnce();
    void selfReloadingPageFillsBothBoxesAndTheCommandWaitsOn();
    void pageWithoutTextEmptiesItsBox_data();
    void pageWithoutTextEmptiesItsBox();
    void lateCopiesOfHugePagesStayNeitherInTheBoxesNorOnTheClipboard();
    void closingTheWindowEndsItsFetch();
    void editDuringTheWaitReachesTheDescriptionAddress();
    void silentServerLeavesTheWindowUsable();
    void refusedConnectionCapturesTheErrorPage();
    void oddNumbersGoOutAsTyped_data();
    void oddNumbersGoOutAsTyped();
};

void RetrievalTest::fetchesTheClaimsThenTheDescription() {
    StandInPatentServer server;
    QVERIFY(server.start());
    server.serve(claimsTarget("US4564563"), {html("Claims of US4564563")});
    server.serve(descriptionTarget("US4564563"), {html("Description of US4564563")});
    merovin window(server.authority());
    QVERIFY(showActive(window));
    window.Text1->setText(QStringLiteral(" us4564563 "));
    window.Text1->setFocus();
    QGuiApplication::clipboard()->setText(QStringLiteral("the user's own clipboard"));
    // Rich text pasted earlier, the text cursor after it and so in its format: the fetched text must not take it.
    window.RichTextBox1->setHtml(QStringLiteral("<b style=\"color:red; font-family:serif\">pasted</b>"));
    window.RichTextBox1->moveCursor(QTextCursor::End);
    QVERIFY(!holdsPlainText(*window.RichTextBox1));

    QString claimsBoxWhenDescriptionAsked;
    QVariant flagWhenDescriptionAsked;
    server.onRequest = [&](const QByteArray& target) {
        if (target.startsWith("/espacenet/desc")) {
            claimsBoxWhenDescriptionAsked = window.RichTextBox1->toPlainText();
            flagWhenDescriptionAsked = window.flagrun;
        }
    };

    const qint64 commandMs = clickGetText(window);

    // The command has waited out one whole pause, asked for the description and ended; that page comes later.
    QVERIFY2(commandMs >= 3000, QByteArray::number(commandMs));
    QCOMPARE(window.RichTextBox1->toPlainText(), QStringLiteral("Claims of US4564563"));
    QVERIFY(window.RichTextBox2->toPlainText().isEmpty());
    QCOMPARE(window.flagrun, QVariant(false));

    QTRY_COMPARE(window.RichTextBox2->toPlainText(), QStringLiteral("Description of US4564563"));
    QCOMPARE(window.RichTextBox1->toPlainText(), QStringLiteral("Claims of US4564563"));
    QVERIFY(holdsPlainText(*window.RichTextBox1));
    QVERIFY(holdsPlainText(*window.RichTextBox2));
    QCOMPARE(window.flagrun, QVariant(true));
    QVERIFY(clipboardText().isEmpty());
    QCOMPARE(claimsBoxWhenDescriptionAsked, QStringLiteral("Claims of US4564563"));
    QCOMPARE(flagWhenDescriptionAsked, QVariant(false));
    // Two plain requests, the number in upper case without the blanks around it, nothing else (no icon).
    QCOMPARE(server.requestLines(),
             (QList<QByteArray>{get(claimsTarget("US4564563")), get(descriptionTarget("US4564563"))}));

    // The web view took neither the focus nor a place in the tab chain.
    QTRY_COMPARE(QApplication::focusWidget(), window.Text1);
    const QList<QWidget*> inside = window.WebBrowser1->findChildren<QWidget*>();
    QVERIFY(!inside.isEmpty());
    for (QWidget* widget : inside)
        QCOMPARE(widget->focusPolicy(), Qt::NoFocus);
}

void RetrievalTest::flagAtDescriptionNextAsksForBothPagesAtOnce() {
    StandInPatentServer server;
    QVERIFY(server.start());
    server.serve(claimsTarget("US1"), {html("Claims of US1")});
    server.serve(descriptionTarget("US1"), {html("")}); // a page whose copy yields no text
    merovin window(server.authority());
    QVERIFY(showActive(window));
    window.Text1->setText(QStringLiteral("US1"));
    window.RichTextBox1->setPlainText(QStringLiteral("claims typed by hand"));
    window.RichTextBox2->setPlainText(QStringLiteral("disclosure typed by hand"));
    QGuiApplication::clipboard()->setText(QStringLiteral("the user's own clipboard"));
    window.flagrun = false;

    const qint64 commandMs = clickGetText(window);

    QVERIFY2(commandMs < 2000, QByteArray::number(commandMs)); // no 3-second pause at all
    QTRY_COMPARE(window.flagrun, QVariant(true));
    // The completed page was meant for the disclosure box. It had no text, so the box is emptied: it neither keeps
    // the text of before nor gets what the clipboard held before.
    QCOMPARE(window.RichTextBox2->toPlainText(), QString());
    QVERIFY(clipboardText().isEmpty());
    QTest::qWait(1000); // the abandoned claims load must not complete as well
    QCOMPARE(window.flagrun, QVariant(true));
    QCOMPARE(window.RichTextBox1->toPlainText(), QStringLiteral("claims typed by hand"));
    QCOMPARE(server.requestLinesFor("/espacenet/desc"), QList<QByteArray>{get(descriptionTarget("US1"))});
}

void RetrievalTest::framesAreCapturedOnce() {
    StandInPatentServer server;
    QVERIFY(server.start());
    // The frame comes a second late, so the top-level document completes after it.
    server.serve(claimsTarget("EP7"), {html("Claims of EP7<iframe src='/frame'></iframe>")});
    server.serve("/frame", {html("Text of the frame"), 1000});
    server.serve(descriptionTarget("EP7"), {html("Description of EP7")});
    merovin window(server.authority());
    QVERIFY(showActive(window));
    window.Text1->setText(QStringLiteral("EP7"));

    clickGetText(window);
    QTRY_COMPARE(window.RichTextBox2->toPlainText(), QStringLiteral("Description of EP7"));

    // One capture for the framed page: a second one would have flipped the flag back and sent the description
    // to the claims box.
    QCOMPARE(window.RichTextBox1->toPlainText().trimmed(), QStringLiteral("Claims of EP7"));
    QCOMPARE(window.flagrun, QVariant(true));
    QCOMPARE(server.requestLines(),
             (QList<QByteArray>{get(claimsTarget("EP7")), get("/frame"), get(descriptionTarget("EP7"))}));

    // Completions of anything but the top-level document change nothing and do not wait.
    QObject frame;
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    for (const QObject* document : {static_cast<const QObject*>(&frame), static_cast<const QObject*>(nullptr)}) {
        QElapsedTimer clock;
        clock.start();
        window.WebBrowser1_DocumentComplete(document, QUrl(QStringLiteral("http://127.0.0.1/frame")));
        QVERIFY(clock.elapsed() < 400);
        QCOMPARE(window.RichTextBox1->toPlainText().trimmed(), QStringLiteral("Claims of EP7"));
        QCOMPARE(window.RichTextBox2->toPlainText(), QStringLiteral("Description of EP7"));
        QCOMPARE(window.flagrun, QVariant(true));
        QCOMPARE(clipboardText(), QStringLiteral("kept"));
    }
    QGuiApplication::clipboard()->clear();
}

void RetrievalTest::selfReloadingPageFillsBothBoxesAndTheCommandWaitsOn() {
    StandInPatentServer server;
    QVERIFY(server.start());
    server.serve(claimsTarget("US2"), {"<html><head><meta http-equiv='refresh' content='1; url=/reloaded'></head>"
                                       "<body>First page</body></html>"});
    server.serve("/reloaded", {html("Second page")});
    merovin window(server.authority());
    QVERIFY(showActive(window));
    window.Text1->setText(QStringLiteral("US2"));

    // Seen inside the command's second pause, after it found the flag back at "claims next" at its first look.
    QString claimsBox, disclosureBox;
    QVariant flag;
    qsizetype descriptionRequests = -1;
    QTimer::singleShot(4500, &window, [&] {
        claimsBox = window.RichTextBox1->toPlainText();
        disclosureBox = window.RichTextBox2->toPlainText();
        flag = window.flagrun;
        descriptionRequests = server.requestLinesFor("/espacenet/desc").size();
        window.close(); // a closed window's command stops waiting at once
    });
    const qint64 commandMs = clickGetText(window);

    QCOMPARE(claimsBox, QStringLiteral("First page"));
    QCOMPARE(disclosureBox, QStringLiteral("Second page"));
    QCOMPARE(flag, QVariant(true));
    QCOMPARE(descriptionRequests, 0);
    // It ended at the close (a coarse timer may fire 5 % early), before its next look at the flag (at 6 s).
    QVERIFY2(commandMs >= 4000 && commandMs < 6000, QByteArray::number(commandMs));
    QTest::qWait(500); // the command ended without asking for the description
    QVERIFY(server.requestLinesFor("/espacenet/desc").isEmpty());
}

void RetrievalTest::pageWithoutTextEmptiesItsBox_data() {
    QTest::addColumn<QByteArray>("claimsPage"); // of the second patent

    QTest::newRow("empty page") << StandInPatentServer::emptyPage();
    QTest::newRow("filled by a script after completing")
        << StandInPatentServer::pageFilledLate("Claims of EP2222222, too late");
    QTest::newRow("frameset") << StandInPatentServer::frameset("/frame");
}

// One patent fetched, then another whose claims page gives no text: the claims box is emptied rather than keeping
// the first patent's claims beside the second one's description.
void RetrievalTest::pageWithoutTextEmptiesItsBox() {
    QFETCH(QByteArray, claimsPage);
    StandInPatentServer server;
    QVERIFY(server.start());
    server.serve(claimsTarget("EP1111111"), {html("Claims of EP1111111")});
    server.serve(descriptionTarget("EP1111111"), {html("Description of EP1111111")});
    server.serve(claimsTarget("EP2222222"), {claimsPage});
    server.serve(descriptionTarget("EP2222222"), {html("Description of EP2222222")});
    server.serve("/frame", {html("Text of a frame")});
    merovin window(server.authority());
    QVERIFY(showActive(window));
    window.Text1->setText(QStringLiteral("EP1111111"));
    clickGetText(window);
    QTRY_COMPARE(window.RichTextBox2->toPlainText(), QStringLiteral("Description of EP1111111"));
    QCOMPARE(window.RichTextBox1->toPlainText(), QStringLiteral("Claims of EP1111111"));
    QGuiApplication::clipboard()->setText(QStringLiteral("the user's own clipboard"));

    window.Text1->setText(QStringLiteral("EP2222222"));
    const qint64 commandMs = clickGetText(window);

    // The claims capture ran (the command went on to the description after one pause) and stored no text.
    QVERIFY2(commandMs >= 3000 && commandMs < 15000, QByteArray::number(commandMs));
    QCOMPARE(window.RichTextBox1->toPlainText(), QString());
    QTRY_COMPARE(window.RichTextBox2->toPlainText(), QStringLiteral("Description of EP2222222"));
    QCOMPARE(window.RichTextBox1->toPlainText(), QString());
    QCOMPARE(window.flagrun, QVariant(true));
    QVERIFY(clipboardText().isEmpty());
    QCOMPARE(server.requestLinesFor("/espacenet/"),
             (QList<QByteArray>{get(claimsTarget("EP1111111")), get(descriptionTarget("EP1111111")),
                                get(claimsTarget("EP2222222")), get(descriptionTarget("EP2222222"))}));
}

// Two pages of 20 MB, whose copies reach the clipboard within their capture's pause on one machine and seconds
// after it has given up on them on another (seen: within the 0.5 s, and 1.6 s to 8 s later), or never when the web
// view is still too busy with the page to begin the copy within the pause. Whenever each copy lands, a box holds
// its own page's text, if its copy came in time, or nothing: never the other page's text, never an old one; and no
// copy stays on the clipboard.
void RetrievalTest::lateCopiesOfHugePagesStayNeitherInTheBoxesNorOnTheClipboard() {
    constexpr qsizetype kPageText = 20'000'000; // characters of each page's text, at least
    StandInPatentServer server;
    QVERIFY(server.start());
    server.serve(claimsTarget("EP3"), {StandInPatentServer::hugePage("Claims of EP3", 20)});
    server.serve(descriptionTarget("EP3"), {StandInPatentServer::hugePage("Description of EP3", 20)});
    ClipboardWatch watch;
    merovin window(server.authority());
    watch.window = &window;
    QVERIFY(showActive(window));
    window.RichTextBox1->setPlainText(QStringLiteral("Claims of EP1111111"));
    window.RichTextBox2->setPlainText(QStringLiteral("Description of EP1111111"));
    window.Text1->setText(QStringLiteral("EP3"));

    QElapsedTimer clock;
    clock.start();
    clickGetText(window, 120000);
    QTRY_COMPARE_WITH_TIMEOUT(window.flagrun, QVariant(true), 120000); // the description has been captured
    const qint64 capturedMs = clock.elapsed();
    const auto copiesOf = [&watch](const QString& firstLine) {
        QList<ClipboardWatch::Change> copies;
        for (const ClipboardWatch::Change& change : watch.changes)
            if (change.size >= kPageText && change.firstLine == firstLine)
                copies << change;
        return copies;
    };
    QTRY_VERIFY2_WITH_TIMEOUT(!copiesOf(QStringLiteral("Description of EP3")).isEmpty(),
                              "the description was never copied", 60000);
    const qint64 landedMs = clock.elapsed();

    // A copy that landed while the flag still named its page's box came in time for its capture (the claims while
    // the flag is true, the description while it is false); any other landed late. Each box holds its page's text
    // exactly when its copy came in time.
    const QList<ClipboardWatch::Change> claimsCopies = copiesOf(QStringLiteral("Claims of EP3"));
    const QList<ClipboardWatch::Change> descriptionCopies = copiesOf(QStringLiteral("Description of EP3"));
    QCOMPARE(descriptionCopies.size(), 1);
    const bool claimsInTime = std::any_of(claimsCopies.begin(), claimsCopies.end(),
                                          [](const ClipboardWatch::Change& copy) { return copy.flag.toBool(); });
    const bool descriptionInTime = !descriptionCopies.first().flag.toBool();
    const QString claimsBox = window.RichTextBox1->toPlainText();
    const QString descriptionBox = window.RichTextBox2->toPlainText();
    QCOMPARE(claimsBox.isEmpty(), !claimsInTime);
    QVERIFY(claimsBox.isEmpty() || claimsBox.startsWith(QStringLiteral("Claims of EP3\n")));
    QCOMPARE(descriptionBox.isEmpty(), !descriptionInTime);
    QVERIFY2(descriptionBox.isEmpty() || descriptionBox.startsWith(QStringLiteral("Description of EP3\n")),
             qPrintable(descriptionBox.left(40)));
    QVERIFY2(clipboardText().isEmpty(),
             qPrintable(QStringLiteral("%1 characters: %2").arg(clipboardText().size()).arg(clipboardText().left(40))));
    QCOMPARE(window.flagrun, QVariant(true));
    QCOMPARE(server.requestLines(), (QList<QByteArray>{get(claimsTarget("EP3")), get(descriptionTarget("EP3"))}));
    qInfo("description captured at %lld ms, its copy landed at %lld ms (%s); claims copies: %lld (%s)", capturedMs,
          landedMs, descriptionInTime ? "in time" : "late", qlonglong(claimsCopies.size()),
          claimsInTime ? "in time" : "late or none");
}

// A page that reloads itself every 0.3 s, and the window closed while the command waits: the command ends at once,
// the web view asks for nothing more and the clipboard stays empty.
void RetrievalTest::closingTheWindowEndsItsFetch() {
    StandInPatentServer server;
    QVERIFY(server.start());
    server.serve(claimsTarget("US3"), {StandInPatentServer::selfReloadingPage("Claims of US3, again", 0.3)});
    server.serve(descriptionTarget("US3"), {html("Description of US3")});
    ClipboardWatch watch;
    merovin window(server.authority());
    QVERIFY(showActive(window));
    window.Text1->setText(QStringLiteral("US3"));

    QElapsedTimer clock;
    qint64 closedAtMs = -1;
    qsizetype requestsBeforeClose = 0;
    // Closed once the page has reloaded itself a few times, early in one of the command's 3 s pauses (from 6.5 s
    // on; later on a slow machine whose web engine takes long to start), so that the pause would go on for at least
    // another 1.5 s if the close did not end it.
    QTimer closer;
    closer.setInterval(50);
    QObject::connect(&closer, &QTimer::timeout, &window, [&] {
        const qint64 now = clock.elapsed();
        const qint64 intoPause = now % 3000;
        const bool ready = now >= 6500 && intoPause >= 300 && intoPause <= 1500 && server.requestLines().size() >= 3;
        if (!ready && now < 60'000) // after a minute it closes all the same, and the checks below tell what failed
            return;
        closer.stop();
        requestsBeforeClose = server.requestLines().size();
        closedAtMs = now;
        window.close();
    });
    clock.start();
    closer.start();
    const qint64 commandMs = clickGetText(window);

    QVERIFY2(requestsBeforeClose >= 3, "the page did not reload itself");
    QVERIFY2(closedAtMs > 0 && commandMs - closedAtMs < 1000,
             qPrintable(QStringLiteral("closed at %1 ms, command ended at %2 ms").arg(closedAtMs).arg(commandMs)));
    // A request already on its way at the close may still come in; after that, watched for 3 s: nothing.
    QTest::qWait(500);
    const qsizetype requests = server.requestLines().size();
    const qsizetype copies = watch.changes.size();
    QTest::qWait(3000);
    QCOMPARE(server.requestLines().size(), requests);
    QCOMPARE(watch.changes.size(), copies);
    QVERIFY(clipboardText().isEmpty());
    QVERIFY(server.requestLinesFor("/espacenet/desc").isEmpty());
    qInfo("requests: %lld before the close, %lld in all; the command ended %lld ms after the close",
          qlonglong(requestsBeforeClose), qlonglong(requests), commandMs - closedAtMs);
}

void RetrievalTest::editDuringTheWaitReachesTheDescriptionAddress() {
    StandInPatentServer server;
    QVERIFY(server.start());
    server.serve(claimsTarget("US1"), {html("Claims of US1")});
    server.serve(descriptionTarget("EP2"), {html("Description of EP2")});
    merovin window(server.authority());
    QVERIFY(showActive(window));
    window.Text1->setText(QStringLiteral("US1"));
    QTimer::singleShot(1000, window.Text1, [&] { window.Text1->setText(QStringLiteral(" ep2 ")); });

    clickGetText(window);

    QTRY_COMPARE(window.RichTextBox2->toPlainText(), QStringLiteral("Description of EP2"));
    QCOMPARE(window.RichTextBox1->toPlainText(), QStringLiteral("Claims of US1"));
    QCOMPARE(server.requestLines(), (QList<QByteArray>{get(claimsTarget("US1")), get(descriptionTarget("EP2"))}));
}

void RetrievalTest::silentServerLeavesTheWindowUsable() {
    StandInPatentServer server;
    QVERIFY(server.start());
    server.serve(claimsTarget("US9"), {{}, 0, true});
    server.serve(descriptionTarget(""), {html("Description of nothing")});
    merovin window(server.authority());
    QVERIFY(showActive(window));
    window.Text1->setText(QStringLiteral("US9"));

    // Inside the first pause: a check run and Clear, each to its end.
    QString checkedClaims, checkedDisclosure;
    bool clearedAll = false;
    QTimer::singleShot(1000, &window, [&] {
        window.RichTextBox1->setPlainText(QStringLiteral("a lever"));
        window.RichTextBox2->setPlainText(QStringLiteral("the lever"));
        QTest::mouseClick(window.Command1, Qt::LeftButton);
        if (trevask* results = window.results().window()) {
            checkedClaims = results->RichTextBox1->toPlainText();
            checkedDisclosure = results->RichTextBox2->toPlainText();
        }
        window.clear->trigger();
        clearedAll = window.RichTextBox1->toPlainText().isEmpty() && window.RichTextBox2->toPlainText().isEmpty() &&
                     window.Text1->text().isEmpty();
    });
    // Inside the second pause, after the flag was found unchanged: then the server answers at last.
    QVariant flagStill;
    QList<QByteArray> requestsSoFar;
    bool boxesStillEmpty = false;
    QTimer::singleShot(4000, &window, [&] {
        flagStill = window.flagrun;
        requestsSoFar = server.requestLines();
        boxesStillEmpty = window.RichTextBox1->toPlainText().isEmpty() && window.RichTextBox2->toPlainText().isEmpty();
        server.answerSilentRequests(html("Claims of US9, late"));
    });

    const qint64 commandMs = clickGetText(window);

    QCOMPARE(checkedClaims, QStringLiteral("a lever"));
    QCOMPARE(checkedDisclosure, QStringLiteral("the lever"));
    QVERIFY(clearedAll);
    QCOMPARE(flagStill, QVariant(true));
    QCOMPARE(requestsSoFar, QList<QByteArray>{get(claimsTarget("US9"))});
    QVERIFY(boxesStillEmpty);
    QTRY_VERIFY(window.results().window() && window.results().window()->isVisible());

    // The late answer let the command go on, with the number box as Clear left it: empty.
    QVERIFY2(commandMs >= 6000 && commandMs < 15000, QByteArray::number(commandMs));
    QCOMPARE(window.RichTextBox1->toPlainText(), QStringLiteral("Claims of US9, late"));
    QTRY_COMPARE(window.RichTextBox2->toPlainText(), QStringLiteral("Description of nothing"));
    QCOMPARE(server.requestLines().last(), get(descriptionTarget("")));
    QCOMPARE(window.flagrun, QVariant(true));
}

void RetrievalTest::refusedConnectionCapturesTheErrorPage() {
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    merovin window(QStringLiteral("127.0.0.1:%1").arg(closedPort));
    QVERIFY(showActive(window));
    window.Text1->setText(QStringLiteral("US1"));

    clickGetText(window);

    // The web view's error page is a completed top-level document like any other: its text is captured.
    QVERIFY2(window.RichTextBox1->toPlainText().contains(QStringLiteral("refused to connect")),
             qPrintable(window.RichTextBox1->toPlainText()));
    QTRY_VERIFY(window.RichTextBox2->toPlainText().contains(QStringLiteral("refused to connect")));
    QCOMPARE(window.flagrun, QVariant(true));
    QVERIFY(clipboardText().isEmpty());
}

void RetrievalTest::oddNumbersGoOutAsTyped_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("requestLine"); // of the description

    QTest::newRow("tab inside") << QStringLiteral("us\t4564563") << get(descriptionTarget("US%094564563"));
    QTest::newRow("tabs outside the blanks")
        << QStringLiteral("\t us1 \t") << get(descriptionTarget("%09%20US1%20%09"));
    QTest::newRow("inner blanks") << QStringLiteral(" US 4564  563 ") << get(descriptionTarget("US%204564%20%20563"));
    QTest::newRow("ampersand") << QStringLiteral("US1&PN=EP2") << get(descriptionTarget("US1&PN=EP2"));
    // Everything after the first '#' is the fragment, which stays with the browser.
    QTest::newRow("hash") << QStringLiteral("US45#64563") << get("/espacenet/desc?LG=en&CY=ep&DB=EPD&PNP=US45");
    // A valid escape is read as an escape (of an unreserved letter: it goes out decoded); one stray '%' makes
    // every '%' a literal one.
    QTest::newRow("percent escape") << QStringLiteral("US%41") << get(descriptionTarget("USA"));
    QTest::newRow("stray percent") << QStringLiteral("US%41%zz%") << get(descriptionTarget("US%2541%25ZZ%25"));
    QTest::newRow("non-ASCII") << QStringLiteral("de€ä") << get(descriptionTarget("DE%E2%82%AC%C3%84"));
    QTest::newRow("10,000 characters") << QString(10000, u'x') << get(descriptionTarget(QByteArray(10000, 'X')));
}

void RetrievalTest::oddNumbersGoOutAsTyped() {
    QFETCH(QString, typed);
    QFETCH(QByteArray, requestLine);
    StandInPatentServer server;
    QVERIFY(server.start());
    merovin window(server.authority());
    QVERIFY(showActive(window));
    window.Text1->setText(typed);
    QCOMPARE(window.Text1->text(), typed);
    window.flagrun = false; // no wait for the claims: the description address goes out at once

    clickGetText(window);

    QTRY_COMPARE(window.flagrun, QVariant(true)); // the server's "no page" answer was captured
    const QList<QByteArray> lines = server.requestLinesFor("/espacenet/desc");
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines.first(), requestLine);
    QVERIFY2(window.RichTextBox2->toPlainText().startsWith(QStringLiteral("No page at")),
             qPrintable(window.RichTextBox2->toPlainText()));
}

int main(int argc, char* argv[]) {
    // Chromium refuses to start as root (as in CI) with its sandbox on, and there is no GPU under Xvfb.
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") + " --no-sandbox --disable-gpu");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false); // the test itself decides when to end
    RetrievalTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_retrieval.moc"
