// A user's session with the built program, under Xvfb, driven only by real input events: xdotool moves the pointer,
// clicks and types; the texts are pasted from the X clipboard, which this process owns. What the program does is
// seen only from outside: window titles, screenshots of the X screen (imagemagick's import) and the clipboard. The
// patent database is a stand-in server on 127.0.0.1, which Chromium reaches for any host by its resolver rule.
//
// The results window's layout is read from a copy of the window that this process builds, invisible, from the same
// code and texts: it tells where each list item is drawn, never what the program shows.

#include "analysis/check_run.h"
#include "results/trevask.h"
#include "results/word_list.h"
#include "stand_in_patent_server.h"
#include "ui/message_box.h"

#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdio>
#include <functional>
#include <optional>

using namespace claimcheck;

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kInputClientHeight = 10710 / kTwipsPerPixel; // below the menu bar

// Where the input window's controls stand at its design width, in twips from the top left of its client area.
struct DesignRect {
    int left, top, width, height;
};
constexpr DesignRect kClaimsBox{120, 840, 5295, 8775};
constexpr DesignRect kDisclosureBox{6240, 840, 5295, 8775};
constexpr DesignRect kNumberBox{120, 10080, 2655, 375};
constexpr DesignRect kGetText{3120, 10080, 1215, 375};
constexpr DesignRect kCheckForSupport{9600, 9840, 1935, 495};

const QString kInputTitle = QStringLiteral("^Check for claim support$");
const QString kResultsTitle = QStringLiteral("^trevask$");
const QString kMessageTitle = QStringLiteral("^claimcheck$"); // the message box, under the application's name

constexpr int kResultsLeft = 880; // the results window is moved here, beside the input window

constexpr QRgb kLightPeach = qRgb(255, 224, 192);
constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kLightGrey = qRgb(224, 224, 224);

QString readCorpus(const QString& name) {
    QFile file(QStringLiteral(CLAIMCHECK_CORPUS_DIR "/") + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QByteArray Page(const QString& text) {
    return "<html><body><pre>" + text.toHtmlEscaped().toUtf8() + "</pre></body></html>";
}

QByteArray pageTarget(const char* page, const QByteArray& number) {
    return QByteArray("/espacenet/") + page + "?LG=en&CY=ep&DB=EPD&PNP=" + number + "&PN=" + number + "&FTDB=@RTDFTDB";
}

// Waits for the condition, handling events meanwhile (this process serves the clipboard it owns).
bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (condition())
            return true;
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(30);
    }
}

// Runs a tool to its end while this process goes on handling events; returns its standard output. An event loop of
// its own, not QTest::qWait, which sleeps between rounds: a screenshot through a pipe took seconds that way.
QByteArray run(const QString& program, const QStringList& arguments) {
    QProcess process;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    process.start(program, arguments);
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    return process.readAllStandardOutput();
}

QByteArray xdo(const QStringList& arguments) {
    return run(QStringLiteral("xdotool"), arguments);
}

// The first visible window whose title matches, or 0.
quint32 findWindow(const QString& titlePattern) {
    const QByteArray out =
        xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), titlePattern});
    return out.split('\n').value(0).trimmed().toUInt();
}

QRect windowGeometry(quint32 window) {
    QHash<QByteArray, int> values;
    for (const QByteArray& line :
         xdo({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), QString::number(window)}).split('\n')) {
        const QList<QByteArray> pair = line.split('=');
        if (pair.size() == 2)
            values.insert(pair[0], pair[1].toInt());
    }
    return QRect(values.value("X"), values.value("Y"), values.value("WIDTH"), values.value("HEIGHT"));
}

void click(QPoint at) {
    // No --sync: a move to where the pointer already is never reports back.
    xdo({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()), QStringLiteral("sleep"),
         QStringLiteral("0.05"), QStringLiteral("click"), QStringLiteral("1")});
}

void keys(const QString& keys) {
    xdo({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys});
}

void Type(const QString& text) {
    xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), text});
}

// What a window manager sends when the user clicks a window's close button.
void askToClose(quint32 window) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11->connection();
    const auto atom = [connection](const char* name) {
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, quint16(qstrlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return atom;
    };
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom("WM_PROTOCOLS");
    event.data.data32[0] = atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
}

QImage screenshot() {
    QImage image = QImage::fromData(
        run(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("ppm:-")}),
        "PPM");
    return image.convertToFormat(QImage::Format_RGB32);
}

int countPixels(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& wanted) {
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += wanted(line[x]) ? 1 : 0;
    }
    return count;
}

bool isRed(QRgb c) {
    return qRed(c) > 150 && qGreen(c) < 90 && qBlue(c) < 90;
}

bool isBlue(QRgb c) {
    return qBlue(c) > 150 && qRed(c) < 90 && qGreen(c) < 90;
}

bool isInk(QRgb c) {
    return qRed(c) + qGreen(c) + qBlue(c) < 330;
}

// The colour that covers most of the area.
QRgb backgroundOf(const QImage& image, const QRect& area) {
    QHash<QRgb, int> counts;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = inside.left(); x <= inside.right(); ++x)
            ++counts[line[x] | 0xff000000u];
    }
    QRgb most = 0;
    int mostCount = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > mostCount)
            most = it.key(), mostCount = it.value();
    return most;
}

bool near(QRgb a, QRgb b) {
    return qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b)) < 24;
}

// A box of the given background that shows text: more dark pixels than a text cursor has. A window that is not
// drawn (yet) is black, which is not a box holding text.
bool holdsText(const QImage& image, const QRect& area, QRgb background) {
    return near(backgroundOf(image, area), background) && countPixels(image, area, isInk) > 60;
}

// A box of the given background that shows nothing (a text cursor at most).
bool isBlank(const QImage& image, const QRect& area, QRgb background) {
    return near(backgroundOf(image, area), background) && countPixels(image, area, isInk) <= 60;
}

// Successive offsets at which the program's find-next walks through `word` in `text`: case ignored, the first
// search from offset 1, each next one after the occurrence before.
QList<qsizetype> findNextWalk(const QString& text, const QString& word) {
    QList<qsizetype> offsets;
    for (qsizetype at = text.indexOf(word, 1, Qt::CaseInsensitive); !word.isEmpty() && at >= 1;
         at = text.indexOf(word, at + word.size(), Qt::CaseInsensitive))
        offsets << at;
    return offsets;
}

// The program under test, its windows and where their controls are on the screen.
class Session {
public:
    explicit Session(const QString& folder) : m_folder(folder) { m_clock.start(); }

    ~Session() {
        if (QTest::currentTestFailed())
            shot(QStringLiteral("failed"));
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(5000);
        }
    }

    bool start(quint16 serverPort) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // Added to what is there, as the program itself does; every host name leads to the stand-in server.
        QString flags = environment.value(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"));
        flags += QStringLiteral(" --disable-gpu --host-resolver-rules=\"MAP * 127.0.0.1:%1\"").arg(serverPort);
        environment.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), flags.trimmed());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(QStringLiteral(CLAIMCHECK_BINARY), {});
        if (!program.waitForStarted(10000))
            return false;
        if (!waitUntil([this] { return (input = findWindow(kInputTitle)) != 0; }, 30000))
            return false;
        const QRect window = windowGeometry(input);
        m_inputClient = QPoint(window.x(), window.bottom() + 1 - kInputClientHeight);
        return true;
    }

    QPoint centreOf(const DesignRect& control) const {
        return m_inputClient + QPoint((control.left + control.width / 2) / kTwipsPerPixel,
                                      (control.top + control.height / 2) / kTwipsPerPixel);
    }

    QRect rectOf(const DesignRect& control) const {
        return QRect(m_inputClient + QPoint(control.left / kTwipsPerPixel, control.top / kTwipsPerPixel),
                     QSize(control.width / kTwipsPerPixel, control.height / kTwipsPerPixel));
    }

    QPoint menuItemClear() const {
        return QPoint(m_inputClient.x() + 18, (windowGeometry(input).y() + m_inputClient.y()) / 2);
    }

    // Pastes the text into the box: the clipboard is this process's, the keys are the user's.
    bool paste(const DesignRect& box, const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        click(centreOf(box));
        keys(QStringLiteral("ctrl+v"));
        return waitUntil([&] { return holdsText(screenshot(), rectOf(box), kWhite); }, 10000);
    }

    // What the box holds, as the program copies it: select all, copy, read the clipboard.
    QString copyOf(const DesignRect& box) {
        QGuiApplication::clipboard()->setText(QStringLiteral("-- not copied --"));
        click(centreOf(box));
        keys(QStringLiteral("ctrl+a"));
        keys(QStringLiteral("ctrl+c"));
        QString text;
        waitUntil(
            [&] {
                text = QGuiApplication::clipboard()->text();
                return text != QStringLiteral("-- not copied --");
            },
            10000);
        return text;
    }

    // Waits for the results window, moves it beside the input window and builds the invisible copy of it.
    bool awaitResults(const QString& claims, const QString& disclosure) {
        if (!waitUntil([this] { return (results = findWindow(kResultsTitle)) != 0; }, 20000))
            return false;
        xdo({QStringLiteral("windowmove"), QString::number(results), QString::number(kResultsLeft),
             QStringLiteral("0")});
        if (!waitUntil([this] { return windowGeometry(results).topLeft() == QPoint(kResultsLeft, 0); }, 10000))
            return false;
        const QRect window = windowGeometry(results);
        m_resultsOrigin = window.topLeft();
        trevask* copy = m_copy.ensureWindow();
        copy->setAttribute(Qt::WA_DontShowOnScreen);
        runSupportCheck(m_copy, claims, disclosure);
        copy->resize(window.size());
        QCoreApplication::processEvents();
        return copy->size() == window.size();
    }

    trevask& copy() { return *m_copy.window(); }

    // A control of the results window on the screen.
    QRect onScreen(const QWidget* control) const {
        return QRect(m_resultsOrigin + control->mapTo(control->window(), QPoint(0, 0)), control->size());
    }

    // The item of the list on the screen, when the list shows it whole.
    std::optional<QRect> itemOnScreen(const WordList* list, int position) const {
        const QRect item = list->visualRect(list->model()->index(position, 0));
        if (!list->viewport()->rect().contains(item))
            return std::nullopt;
        return QRect(m_resultsOrigin + list->viewport()->mapTo(list->window(), item.topLeft()), item.size());
    }

    bool shot(const QString& name) {
        const QString path = QDir(m_folder).filePath(name + QStringLiteral(".png"));
        const bool saved = screenshot().save(path);
        std::printf("session screenshot at %.1f s: %s\n", double(m_clock.elapsed()) / 1000, qPrintable(path));
        return saved;
    }

    QProcess program;
    quint32 input = 0;
    quint32 results = 0;

private:
    QString m_folder;
    QElapsedTimer m_clock;
    QPoint m_inputClient;
    QPoint m_resultsOrigin;
    ResultsWindowHost m_copy;
};

} // namespace

class SessionTest : public QObject {
    Q_OBJECT
private slots:
    void aUserPastesChecksPicksClosesReopensAndFetches();
    void closingTheInputWindowDuringAFetchEndsTheProgram();
    void closingTheInputWindowDuringAFetchLeavesTheResultsWindow();
};

namespace {

// A claims page that reloads itself every 0.3 s, on a server that counts its requests.
void serveEndlessClaims(StandInPatentServer& server) {
    server.serve(pageTarget("claims", "US5"), {StandInPatentServer::selfReloadingPage("Claims of US5", 0.3)});
    server.serve(pageTarget("desc", "US5"), {Page(QStringLiteral("Description of US5"))});
}

// Types the number, presses "Get text " and waits until the claims page has reloaded itself a few times. Returns
// the input window, which is a new X window since its web view first loaded a page.
quint32 fetchEndlessClaims(Session& s, const StandInPatentServer& server) {
    click(s.centreOf(kNumberBox));
    Type(QStringLiteral("us5"));
    click(s.centreOf(kGetText));
    if (!waitUntil([&] { return server.requestLines().size() >= 5; }, 30000))
        return 0;
    return findWindow(kInputTitle);
}

// How many requests the server had when they stopped coming: none for 2 s.
qsizetype requestsWhenTheyStop(const StandInPatentServer& server, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    qsizetype count = server.requestLines().size();
    for (;;) {
        QTest::qWait(2000);
        const qsizetype now = server.requestLines().size();
        if (now == count || clock.elapsed() > timeoutMs)
            return now == count ? count : -1;
        count = now;
    }
}

} // namespace

// The claims page reloads itself endlessly, so the command waits on; the user closes the only window. The program
// ends, and with it every request.
void SessionTest::closingTheInputWindowDuringAFetchEndsTheProgram() {
    StandInPatentServer server;
    QVERIFY(server.start());
    serveEndlessClaims(server);
    Session s(QStringLiteral(CLAIMCHECK_SESSION_SCREENSHOTS));
    QVERIFY2(s.start(server.authority().section(u':', -1).toUShort()), "the input window did not appear");

    s.input = fetchEndlessClaims(s, server);
    QVERIFY2(s.input, "the claims page did not reload itself");
    QElapsedTimer sinceClose;
    sinceClose.start();
    askToClose(s.input);
    QVERIFY2(waitUntil([&] { return s.program.state() == QProcess::NotRunning; }, 15000),
             "the program went on after its only window was closed");
    const qint64 endedMs = sinceClose.elapsed();
    QCOMPARE(s.program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(s.program.exitCode(), 0);
    const qsizetype requests = requestsWhenTheyStop(server, 10000);
    QVERIFY2(requests > 0, "requests went on after the program had ended");
    QVERIFY(server.requestLinesFor("/espacenet/desc").isEmpty());
    std::printf("the program ended %lld ms after its window was closed; %lld requests in all\n", endedMs,
                qlonglong(requests));
}

// As above, with the results window open: the program goes on with it, but the fetch ends with the input window.
void SessionTest::closingTheInputWindowDuringAFetchLeavesTheResultsWindow() {
    StandInPatentServer server;
    QVERIFY(server.start());
    serveEndlessClaims(server);
    Session s(QStringLiteral(CLAIMCHECK_SESSION_SCREENSHOTS));
    QVERIFY2(s.start(server.authority().section(u':', -1).toUShort()), "the input window did not appear");
    click(s.centreOf(kCheckForSupport));
    QVERIFY2(waitUntil([&] { return (s.results = findWindow(kResultsTitle)) != 0; }, 20000),
             "the results window did not appear");
    xdo({QStringLiteral("windowmove"), QString::number(s.results), QString::number(kResultsLeft), QStringLiteral("0")});
    QVERIFY(waitUntil([&] { return windowGeometry(s.results).topLeft() == QPoint(kResultsLeft, 0); }, 10000));

    s.input = fetchEndlessClaims(s, server);
    QVERIFY2(s.input, "the claims page did not reload itself");
    askToClose(s.input);
    QVERIFY2(waitUntil([] { return !findWindow(kInputTitle); }, 10000), "the input window did not close");
    const qsizetype requests = requestsWhenTheyStop(server, 10000);
    QVERIFY2(requests > 0, "the page went on reloading itself after its window was closed");
    QVERIFY(server.requestLinesFor("/espacenet/desc").isEmpty());
    QCOMPARE(s.program.state(), QProcess::Running);
    QVERIFY(findWindow(kResultsTitle));
    QVERIFY2(QGuiApplication::clipboard()->text().isEmpty(), "the page's text stayed on the clipboard");

    askToClose(s.results);
    QVERIFY2(waitUntil([&] { return s.program.state() == QProcess::NotRunning; }, 15000),
             "the program did not end with its last window");
    QCOMPARE(s.program.exitCode(), 0);
}

void SessionTest::aUserPastesChecksPicksClosesReopensAndFetches() {
    QElapsedTimer sessionClock;
    sessionClock.start();
    const QString claims = readCorpus(QStringLiteral("US3937375.claims.txt"));
    const QString description = readCorpus(QStringLiteral("US3937375.description.txt"));
    const QString fetchedClaims = readCorpus(QStringLiteral("US4347903.claims.txt"));
    const QString fetchedDescription = readCorpus(QStringLiteral("US4347903.description.txt"));
    QVERIFY2(!claims.isEmpty() && !fetchedDescription.isEmpty(), "corpus patents not found");

    StandInPatentServer server;
    QVERIFY(server.start());
    server.serve(pageTarget("claims", "US4347903"), {Page(fetchedClaims)});
    server.serve(pageTarget("desc", "US4347903"), {Page(fetchedDescription)});

    const QString folder = QStringLiteral(CLAIMCHECK_SESSION_SCREENSHOTS);
    QVERIFY(QDir().mkpath(folder));
    std::printf("session screenshots go to %s\n", qPrintable(folder));

    // The invisible copy of the results window may find nothing: its messages are not shown.
    const MessageHandler previousHandler = setMessageHandler([](QWidget*, const QString&) {});
    const auto restoreHandler = qScopeGuard([&] { setMessageHandler(previousHandler); });
    Session s(folder);
    QVERIFY2(s.start(server.authority().section(u':', -1).toUShort()), "the input window did not appear");
    // The window belongs to the process that was started: the program starts once, as from the menu.
    QCOMPARE(xdo({QStringLiteral("getwindowpid"), QString::number(s.input)}).trimmed().toLongLong(),
             s.program.processId());
    QVERIFY(s.shot(QStringLiteral("01-input-window")));

    // Paste both texts; the boxes give back exactly what was pasted.
    QVERIFY(s.paste(kClaimsBox, claims));
    QVERIFY(s.paste(kDisclosureBox, description));
    QCOMPARE(s.copyOf(kClaimsBox), claims);
    QCOMPARE(s.copyOf(kDisclosureBox), description);
    QVERIFY(s.shot(QStringLiteral("02-texts-pasted")));

    // "Check for support" opens the results window in its colours, with words in all three lists.
    click(s.centreOf(kCheckForSupport));
    QVERIFY2(s.awaitResults(claims, description), "the results window did not appear");
    trevask& copy = s.copy();
    QVERIFY(copy.List3->count() > 0);
    QImage screen = screenshot();
    s.shot(QStringLiteral("03-results-window"));
    const QRect claimsBox = s.onScreen(copy.RichTextBox1->viewport());
    const QRect disclosureBox = s.onScreen(copy.RichTextBox2->viewport());
    const QRect list2 = s.onScreen(copy.List2->viewport());
    struct Area {
        const char* name;
        QRect rect;
        QRgb background;
    };
    for (const Area& area : {Area{"claims", claimsBox, kLightPeach}, Area{"disclosure", disclosureBox, kWhite},
                             Area{"claims index", s.onScreen(copy.List1->viewport()), kLightPeach},
                             Area{"disclosure index", list2, kWhite},
                             Area{"unsupported words", s.onScreen(copy.List3->viewport()), kLightGrey}}) {
        QVERIFY2(near(backgroundOf(screen, area.rect), area.background), area.name);
        QVERIFY2(holdsText(screen, area.rect, area.background), area.name);
    }
    QCOMPARE(countPixels(screen, claimsBox, isRed), 0);

    // An unsupported word, clicked again and again: each click selects its next occurrence in the claims (and colours
    // it red, which shows once the selection has moved on), and the first one also types it into the disclosure
    // index, whose selection moves; after the last occurrence the program says "Nothing else found".
    const QRgb highlight = copy.palette().color(QPalette::Active, QPalette::Highlight).rgb();
    const QRgb inactiveHighlight = copy.palette().color(QPalette::Inactive, QPalette::Highlight).rgb();
    const auto isHighlight = [&](QRgb c) { return near(c, highlight) || near(c, inactiveHighlight); };
    // The box has moved its selection to a new occurrence of a word.
    const auto selectionMoved = [&](const QImage& before, const QRect& box) {
        const QImage now = screenshot();
        return now.copy(box) != before.copy(box) && countPixels(now, box, isHighlight) > 20;
    };
    // Clicks below the end of a short text, which takes the selection away and shows the colours under it.
    const auto clickBelowTheText = [&s](const QRect& box) { click(QPoint(box.center().x(), box.bottom() - 10)); };

    int pick = -1;
    QList<qsizetype> walk;
    for (int position = 0; position < copy.List3->count() && pick < 0; ++position) {
        walk = findNextWalk(claims, copy.List3->item(position));
        if (walk.size() >= 2 && walk.size() <= 4 && s.itemOnScreen(copy.List3, position))
            pick = position;
    }
    QVERIFY2(pick >= 0, "no unsupported word with a few occurrences on the screen");
    const QString word = copy.List3->item(pick);
    const QPoint wordItem = s.itemOnScreen(copy.List3, pick)->center();
    const QImage beforeEcho = screenshot();
    QCOMPARE(countPixels(beforeEcho, list2, isHighlight), 0);
    for (qsizetype occurrence = 0; occurrence < walk.size(); ++occurrence) {
        const QImage before = screenshot();
        click(wordItem);
        QVERIFY2(waitUntil([&] { return selectionMoved(before, claimsBox); }, 10000),
                 qPrintable(QStringLiteral("occurrence %1 of '%2' not selected").arg(occurrence + 1).arg(word)));
        QVERIFY2(!findWindow(kMessageTitle), "a message came while occurrences were left");
        if (occurrence > 0) // the occurrence before is red now
            QVERIFY(waitUntil([&] { return countPixels(screenshot(), claimsBox, isRed) > 20; }, 10000));
    }
    // The echo: the disclosure index selects the first disclosure word that begins with the word's letters, where
    // the invisible copy of the window, given the same letters, selects it too.
    copy.flagclick3 = true; // as during the echo: the copy's disclosure index searches nothing
    copy.List2->clearTypeAhead();
    copy.List2->typeAhead(word);
    copy.flagclick3 = false;
    const int echoed = copy.List2->selectedPosition();
    if (echoed >= 0) {
        const std::optional<QRect> echoedItem = s.itemOnScreen(copy.List2, echoed);
        QVERIFY(echoedItem);
        QVERIFY2(
            waitUntil([&] { return countPixels(screenshot(), *echoedItem, isHighlight) > echoedItem->width(); }, 10000),
            qPrintable(QStringLiteral("the disclosure index did not move to '%1'").arg(copy.List2->item(echoed))));
    }
    s.shot(QStringLiteral("04-unsupported-word-and-echo"));

    click(wordItem);
    quint32 message = 0;
    QVERIFY2(waitUntil([&] { return (message = findWindow(kMessageTitle)) != 0; }, 10000),
             "no \"Nothing else found\" after the last occurrence");
    s.shot(QStringLiteral("05-nothing-else-found"));
    xdo({QStringLiteral("windowfocus"), QString::number(message)});
    keys(QStringLiteral("Return"));
    QVERIFY2(waitUntil([] { return !findWindow(kMessageTitle); }, 10000), "the message did not go with its OK");
    clickBelowTheText(claimsBox);
    QVERIFY(waitUntil(
        [&] {
            const QImage now = screenshot();
            return countPixels(now, claimsBox, isHighlight) == 0 &&
                   countPixels(now, claimsBox, isRed) > 20 * walk.size();
        },
        10000));

    // A word of the claims index colours its next occurrence in the claims blue; a word of the disclosure index
    // its next occurrence in the disclosure.
    struct IndexPick {
        WordList* list;
        const QString& text;
        QRect box;
    };
    for (const IndexPick& index :
         {IndexPick{copy.List1, claims, claimsBox}, IndexPick{copy.List2, description, disclosureBox}}) {
        int position = -1;
        for (int p = 0; p < index.list->count() && position < 0; ++p) {
            const QString entry = index.list->item(p);
            if (entry.size() > 3 && entry.compare(word, Qt::CaseInsensitive) != 0 &&
                !findNextWalk(index.text, entry).isEmpty() && s.itemOnScreen(index.list, p))
                position = p;
        }
        QVERIFY(position >= 0);
        const QImage before = screenshot();
        const int blueBefore = countPixels(before, index.box, isBlue);
        click(s.itemOnScreen(index.list, position)->center());
        QVERIFY2(waitUntil([&] { return selectionMoved(before, index.box); }, 10000),
                 qPrintable(QStringLiteral("'%1' not selected").arg(index.list->item(position))));
        clickBelowTheText(index.box);
        QVERIFY2(waitUntil([&] { return countPixels(screenshot(), index.box, isBlue) > blueBefore + 20; }, 10000),
                 qPrintable(QStringLiteral("'%1' not coloured blue").arg(index.list->item(position))));
    }
    s.shot(QStringLiteral("06-index-words"));

    // Closed and opened again by the next check: a fresh window, none of the colours of before.
    askToClose(s.results);
    QVERIFY2(waitUntil([] { return !findWindow(kResultsTitle); }, 10000), "the results window did not close");
    QCOMPARE(s.program.state(), QProcess::Running);
    click(s.centreOf(kCheckForSupport));
    QVERIFY2(s.awaitResults(claims, description), "the results window did not open again");
    screen = screenshot();
    s.shot(QStringLiteral("07-results-window-again"));
    QCOMPARE(countPixels(screen, claimsBox, isRed), 0);
    QCOMPARE(countPixels(screen, claimsBox, isBlue), 0);
    QCOMPARE(countPixels(screen, disclosureBox, isBlue), 0);
    QVERIFY(holdsText(screen, claimsBox, kLightPeach));

    // Clear, then a patent fetched by its number, typed in lower case with a blank after it.
    click(s.menuItemClear());
    QVERIFY2(waitUntil(
                 [&] {
                     const QImage now = screenshot();
                     return isBlank(now, s.rectOf(kClaimsBox), kWhite) &&
                            isBlank(now, s.rectOf(kDisclosureBox), kWhite);
                 },
                 10000),
             "Clear left text in the boxes");
    click(s.centreOf(kNumberBox));
    Type(QStringLiteral("us4347903 "));
    click(s.centreOf(kGetText));
    QVERIFY2(waitUntil(
                 [&] {
                     const QImage now = screenshot();
                     return holdsText(now, s.rectOf(kClaimsBox), kWhite) &&
                            holdsText(now, s.rectOf(kDisclosureBox), kWhite);
                 },
                 30000),
             "the fetched texts did not arrive");
    QCOMPARE(server.requestLines(), (QList<QByteArray>{"GET " + pageTarget("claims", "US4347903") + " HTTP/1.1",
                                                       "GET " + pageTarget("desc", "US4347903") + " HTTP/1.1"}));
    // Each capture empties the clipboard at its end.
    QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
    QCOMPARE(s.copyOf(kClaimsBox).simplified(), fetchedClaims.simplified());
    QCOMPARE(s.copyOf(kDisclosureBox).simplified(), fetchedDescription.simplified());
    s.shot(QStringLiteral("08-patent-fetched"));

    const QImage beforeFetchedCheck = screenshot();
    click(s.centreOf(kCheckForSupport));
    QVERIFY(waitUntil([&] { return screenshot().copy(claimsBox) != beforeFetchedCheck.copy(claimsBox); }, 10000));
    s.shot(QStringLiteral("09-results-of-the-fetched-patent"));

    // Closing both windows ends the program, normally.
    askToClose(s.results);
    QVERIFY(waitUntil([] { return !findWindow(kResultsTitle); }, 10000));
    // The input window is a new X window since its web view first loaded a page: look it up again.
    s.input = findWindow(kInputTitle);
    askToClose(s.input);
    QVERIFY2(waitUntil([&] { return s.program.state() == QProcess::NotRunning; }, 15000),
             "the program did not end with its last window");
    QCOMPARE(s.program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(s.program.exitCode(), 0);
    std::printf("session took %lld ms\n", sessionClock.elapsed());
}

QTEST_MAIN(SessionTest)
#include "tst_session.moc"
