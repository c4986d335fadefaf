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
#include <QTextEdit>
#include <QTimer>

using namespace claimcheck;

namespace {

QByteArray ClaimsTarget(const QByteArray& number) {
    return "/espacenet/claims?LG=en&CY=ep&DB=EPD&PNP=" + number + "&PN=" + number + "&FTDB=@RTDFTDB";
}

QByteArray DescriptionTarget(const QByteArray& number) {
    return "/espacenet/desc?LG=en&CY=ep&DB=EPD&PNP=" + number + "&PN=" + number + "&FTDB=@RTDFTDB";
}

QByteArray Get(const QByteArray& target) {
    return "GET " + target + " HTTP/1.1";
}

QByteArray Html(const QByteArray& body) {
    return "<html><body>" + body + "</body></html>";
}

QString ClipboardText() {
    return QGuiApplication::clipboard()->text();
}

// Under Xvfb without a window manager a window has no focus until it is activated.
[[nodiscard]] bool ShowActive(merovin& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Clicks "Get text " and returns how long the command took to end. A command still waiting after 15 s is let go
// on (the flag is set to "description next"), so that a fault shows as a long command instead of a hung test.
qint64 ClickGetText(merovin& window) {
    QTimer rescue;
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, &window, [&window] { window.flagrun = false; });
    rescue.start(15000);
    QElapsedTimer clock;
    clock.start();
    window.Command2->click();
    return clock.elapsed();
}

} // namespace

class RetrievalTest : public QObject {
    Q_OBJECT
private slots:
    void fetchesTheClaimsThenTheDescription();
    void flagAtDescriptionNextAsksForBothPagesAtOnce();
    void framesAreCapturedOnce();
    void selfReloadingPageFillsBothBoxesAndTheCommandWaitsOn();
    void editDuringTheWaitReachesTheDescriptionAddress();
    void silentServerLeavesTheWindowUsable();
    void refusedConnectionCapturesTheErrorPage();
    void oddNumbersGoOutAsTyped_data();
    void oddNumbersGoOutAsTyped();
};

void RetrievalTest::fetchesTheClaimsThenTheDescription() {
    StandInPatentServer server;
    QVERIFY(server.start());
    server.serve(ClaimsTarget("US4564563"), {Html("Claims of US4564563")});
    server.serve(DescriptionTarget("US4564563"), {Html("Description of US4564563")});
    merovin window(server.authority());
    QVERIFY(ShowActive(window));
    window.Text1->setText(QStringLiteral(" us4564563 "));
    window.Text1->setFocus();
    QGuiApplication::clipboard()->setText(QStringLiteral("the user's own clipboard"));

    QString claimsBoxWhenDescriptionAsked;
    QVariant flagWhenDescriptionAsked;
    server.onRequest = [&](const QByteArray& target) {
        if (target.startsWith("/espacenet/desc")) {
            claimsBoxWhenDescriptionAsked = window.RichTextBox1->toPlainText();
            flagWhenDescriptionAsked = window.flagrun;
        }
    };

    const qint64 commandMs = ClickGetText(window);

    // The command has waited out one whole pause, asked for the description and ended; that page comes later.
    QVERIFY2(commandMs >= 3000, QByteArray::number(commandMs));
    QCOMPARE(window.RichTextBox1->toPlainText(), QStringLiteral("Claims of US4564563"));
    QVERIFY(window.RichTextBox2->toPlainText().isEmpty());
    QCOMPARE(window.flagrun, QVariant(false));

    QTRY_COMPARE(window.RichTextBox2->toPlainText(), QStringLiteral("Description of US4564563"));
    QCOMPARE(window.RichTextBox1->toPlainText(), QStringLiteral("Claims of US4564563"));
    QCOMPARE(window.flagrun, QVariant(true));
    QVERIFY(ClipboardText().isEmpty());
    QCOMPARE(claimsBoxWhenDescriptionAsked, QStringLiteral("Claims of US4564563"));
    QCOMPARE(flagWhenDescriptionAsked, QVariant(false));
    // Two plain requests, the number in upper case without the blanks around it, nothing else (no icon).
    QCOMPARE(server.requestLines(),
             (QList<QByteArray>{Get(ClaimsTarget("US4564563")), Get(DescriptionTarget("US4564563"))}));

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
    server.serve(ClaimsTarget("US1"), {Html("Claims of US1")});
    server.serve(DescriptionTarget("US1"), {Html("")}); // a page whose copy yields no text
    merovin window(server.authority());
    QVERIFY(ShowActive(window));
    window.Text1->setText(QStringLiteral("US1"));
    window.RichTextBox1->setPlainText(QStringLiteral("claims typed by hand"));
    window.RichTextBox2->setPlainText(QStringLiteral("disclosure typed by hand"));
    QGuiApplication::clipboard()->setText(QStringLiteral("the user's own clipboard"));
    window.flagrun = false;

    const qint64 commandMs = ClickGetText(window);

    QVERIFY2(commandMs < 2000, QByteArray::number(commandMs)); // no 3-second pause at all
    QTRY_COMPARE(window.flagrun, QVariant(true));
    // The completed page was meant for the disclosure box. It had no text, so the box keeps the user's text rather
    // than being wiped, and never gets what the clipboard held before.
    QCOMPARE(window.RichTextBox2->toPlainText(), QStringLiteral("disclosure typed by hand"));
    QVERIFY(ClipboardText().isEmpty());
    QTest::qWait(1000); // the abandoned claims load must not complete as well
    QCOMPARE(window.flagrun, QVariant(true));
    QCOMPARE(window.RichTextBox1->toPlainText(), QStringLiteral("claims typed by hand"));
    QCOMPARE(server.requestLinesFor("/espacenet/desc"), QList<QByteArray>{Get(DescriptionTarget("US1"))});
}

void RetrievalTest::framesAreCapturedOnce() {
    StandInPatentServer server;
    QVERIFY(server.start());
    // The frame comes a second late, so the top-level document completes after it.
    server.serve(ClaimsTarget("EP7"), {Html("Claims of EP7<iframe src='/frame'></iframe>")});
    server.serve("/frame", {Html("Text of the frame"), 1000});
    server.serve(DescriptionTarget("EP7"), {Html("Description of EP7")});
    merovin window(server.authority());
    QVERIFY(ShowActive(window));
    window.Text1->setText(QStringLiteral("EP7"));

    ClickGetText(window);
    QTRY_COMPARE(window.RichTextBox2->toPlainText(), QStringLiteral("Description of EP7"));

    // One capture for the framed page: a second one would have flipped the flag back and sent the description
    // to the claims box.
    QCOMPARE(window.RichTextBox1->toPlainText().trimmed(), QStringLiteral("Claims of EP7"));
    QCOMPARE(window.flagrun, QVariant(true));
    QCOMPARE(server.requestLines(),
             (QList<QByteArray>{Get(ClaimsTarget("EP7")), Get("/frame"), Get(DescriptionTarget("EP7"))}));

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
        QCOMPARE(ClipboardText(), QStringLiteral("kept"));
    }
    QGuiApplication::clipboard()->clear();
}

void RetrievalTest::selfReloadingPageFillsBothBoxesAndTheCommandWaitsOn() {
    StandInPatentServer server;
    QVERIFY(server.start());
    server.serve(ClaimsTarget("US2"), {"<html><head><meta http-equiv='refresh' content='1; url=/reloaded'></head>"
                                       "<body>First page</body></html>"});
    server.serve("/reloaded", {Html("Second page")});
    merovin window(server.authority());
    QVERIFY(ShowActive(window));
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
        window.close(); // a closed window's command stops waiting at its next look at the flag
    });
    const qint64 commandMs = ClickGetText(window);

    QCOMPARE(claimsBox, QStringLiteral("First page"));
    QCOMPARE(disclosureBox, QStringLiteral("Second page"));
    QCOMPARE(flag, QVariant(true));
    QCOMPARE(descriptionRequests, 0);
    QVERIFY2(commandMs >= 6000 && commandMs < 15000, QByteArray::number(commandMs));
    QTest::qWait(500); // the command ended without asking for the description
    QVERIFY(server.requestLinesFor("/espacenet/desc").isEmpty());
}

void RetrievalTest::editDuringTheWaitReachesTheDescriptionAddress() {
    StandInPatentServer server;
    QVERIFY(server.start());
    server.serve(ClaimsTarget("US1"), {Html("Claims of US1")});
    server.serve(DescriptionTarget("EP2"), {Html("Description of EP2")});
    merovin window(server.authority());
    QVERIFY(ShowActive(window));
    window.Text1->setText(QStringLiteral("US1"));
    QTimer::singleShot(1000, window.Text1, [&] { window.Text1->setText(QStringLiteral(" ep2 ")); });

    ClickGetText(window);

    QTRY_COMPARE(window.RichTextBox2->toPlainText(), QStringLiteral("Description of EP2"));
    QCOMPARE(window.RichTextBox1->toPlainText(), QStringLiteral("Claims of US1"));
    QCOMPARE(server.requestLines(), (QList<QByteArray>{Get(ClaimsTarget("US1")), Get(DescriptionTarget("EP2"))}));
}

void RetrievalTest::silentServerLeavesTheWindowUsable() {
    StandInPatentServer server;
    QVERIFY(server.start());
    server.serve(ClaimsTarget("US9"), {{}, 0, true});
    server.serve(DescriptionTarget(""), {Html("Description of nothing")});
    merovin window(server.authority());
    QVERIFY(ShowActive(window));
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
        server.answerSilentRequests(Html("Claims of US9, late"));
    });

    const qint64 commandMs = ClickGetText(window);

    QCOMPARE(checkedClaims, QStringLiteral("a lever"));
    QCOMPARE(checkedDisclosure, QStringLiteral("the lever"));
    QVERIFY(clearedAll);
    QCOMPARE(flagStill, QVariant(true));
    QCOMPARE(requestsSoFar, QList<QByteArray>{Get(ClaimsTarget("US9"))});
    QVERIFY(boxesStillEmpty);
    QTRY_VERIFY(window.results().window() && window.results().window()->isVisible());

    // The late answer let the command go on, with the number box as Clear left it: empty.
    QVERIFY2(commandMs >= 6000 && commandMs < 15000, QByteArray::number(commandMs));
    QCOMPARE(window.RichTextBox1->toPlainText(), QStringLiteral("Claims of US9, late"));
    QTRY_COMPARE(window.RichTextBox2->toPlainText(), QStringLiteral("Description of nothing"));
    QCOMPARE(server.requestLines().last(), Get(DescriptionTarget("")));
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
    QVERIFY(ShowActive(window));
    window.Text1->setText(QStringLiteral("US1"));

    ClickGetText(window);

    // The web view's error page is a completed top-level document like any other: its text is captured.
    QVERIFY2(window.RichTextBox1->toPlainText().contains(QStringLiteral("refused to connect")),
             qPrintable(window.RichTextBox1->toPlainText()));
    QTRY_VERIFY(window.RichTextBox2->toPlainText().contains(QStringLiteral("refused to connect")));
    QCOMPARE(window.flagrun, QVariant(true));
    QVERIFY(ClipboardText().isEmpty());
}

void RetrievalTest::oddNumbersGoOutAsTyped_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("requestLine"); // of the description

    QTest::newRow("tab inside") << QStringLiteral("us\t4564563") << Get(DescriptionTarget("US%094564563"));
    QTest::newRow("tabs outside the blanks")
        << QStringLiteral("\t us1 \t") << Get(DescriptionTarget("%09%20US1%20%09"));
    QTest::newRow("inner blanks") << QStringLiteral(" US 4564  563 ") << Get(DescriptionTarget("US%204564%20%20563"));
    QTest::newRow("ampersand") << QStringLiteral("US1&PN=EP2") << Get(DescriptionTarget("US1&PN=EP2"));
    // Everything after the first '#' is the fragment, which stays with the browser.
    QTest::newRow("hash") << QStringLiteral("US45#64563") << Get("/espacenet/desc?LG=en&CY=ep&DB=EPD&PNP=US45");
    // A valid escape is read as an escape (of an unreserved letter: it goes out decoded); one stray '%' makes
    // every '%' a literal one.
    QTest::newRow("percent escape") << QStringLiteral("US%41") << Get(DescriptionTarget("USA"));
    QTest::newRow("stray percent") << QStringLiteral("US%41%zz%") << Get(DescriptionTarget("US%2541%25ZZ%25"));
    QTest::newRow("non-ASCII") << QStringLiteral("de€ä") << Get(DescriptionTarget("DE%E2%82%AC%C3%84"));
    QTest::newRow("10,000 characters") << QString(10000, u'x') << Get(DescriptionTarget(QByteArray(10000, 'X')));
}

void RetrievalTest::oddNumbersGoOutAsTyped() {
    QFETCH(QString, typed);
    QFETCH(QByteArray, requestLine);
    StandInPatentServer server;
    QVERIFY(server.start());
    merovin window(server.authority());
    QVERIFY(ShowActive(window));
    window.Text1->setText(typed);
    QCOMPARE(window.Text1->text(), typed);
    window.flagrun = false; // no wait for the claims: the description address goes out at once

    ClickGetText(window);

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
