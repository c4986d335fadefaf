// What a screen reader is told, on a real accessibility bus: Xvfb, a D-Bus session with the AT-SPI bus launcher
// (tests/app/CMakeLists.txt starts them) and QT_LINUX_ACCESSIBILITY_ALWAYS_ON, so that Qt's AT-SPI bridge is active.
// The events Qt hands its bridge are recorded here instead of being sent on.
#include "analysis/check_run.h"
#include "message_box_watch.h"
#include "results/trevask.h"
#include "ui/message_box.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <vector>

using namespace claimcheck;
using claimcheck::testing::MessageBoxWatch;

namespace {

struct Heard {
    QAccessible::Event type;
    QPointer<QObject> object;
    QAccessible::Role role;
    QString name;
    QAccessible::State state;
};

std::vector<Heard>& heard() {
    static std::vector<Heard> events;
    return events;
}

void record(QAccessibleEvent* event) {
    QAccessibleInterface* iface = event->accessibleInterface();
    if (!iface || !iface->isValid())
        return;
    QAccessible::State state;
    if (event->type() == QAccessible::StateChanged)
        state = static_cast<QAccessibleStateChangeEvent*>(event)->changedStates();
    heard().push_back({event->type(), iface->object(), iface->role(), iface->text(QAccessible::Name), state});
}

// The events heard about `object` since `from`.
std::vector<Heard> about(const QObject* object, size_t from = 0) {
    std::vector<Heard> found;
    for (size_t i = from; i < heard().size(); ++i)
        if (heard()[i].object == object)
            found.push_back(heard()[i]);
    return found;
}

bool hasEvent(const std::vector<Heard>& events, QAccessible::Event type) {
    return std::any_of(events.begin(), events.end(), [type](const Heard& h) { return h.type == type; });
}

} // namespace

class ScreenReaderTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void theResultsWindowIsAnnouncedAsAWindowWhenItOpensAndWhenRaised();
    void nothingElseFoundIsAnnouncedAsAnAlert();
};

void ScreenReaderTest::initTestCase() {
    QApplication::setApplicationName(QStringLiteral("claimcheck"));
    // The bridge turns active once it has found the accessibility bus, a few D-Bus round trips after start.
    QTRY_VERIFY_WITH_TIMEOUT(QAccessible::isActive(), 20'000);
    QAccessible::installUpdateHandler(record);
}

namespace {

// Whether the events tell of the window as a window named "trevask": shown, or made the active window.
bool toldAsTheResultsWindow(const std::vector<Heard>& events, QAccessible::Event type) {
    return std::any_of(events.begin(), events.end(), [type](const Heard& h) {
        return h.type == type && h.role == QAccessible::Window && h.name == QStringLiteral("trevask") &&
               (type != QAccessible::StateChanged || h.state.active);
    });
}

} // namespace

// The check run as "Check for support" starts it, from another window of the program that has the focus. (The input
// window itself is left out: its web view sets up OpenGL under X, which leaks in Mesa, and the sanitizer build runs
// this test.)
void ScreenReaderTest::theResultsWindowIsAnnouncedAsAWindowWhenItOpensAndWhenRaised() {
    QWidget input;
    input.setWindowTitle(QStringLiteral("Check for claim support"));
    input.show();
    input.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&input));
    ResultsWindowHost host;
    const auto check = [&host] {
        runSupportCheck(host, QStringLiteral("1. A wheel comprising a hub and an axle."),
                        QStringLiteral("The wheel has a hub and spokes."));
    };

    size_t from = heard().size();
    check();
    trevask* results = host.window();
    QVERIFY(results);
    QVERIFY(QTest::qWaitForWindowActive(results));
    QTRY_VERIFY(toldAsTheResultsWindow(about(results, from), QAccessible::ObjectShow));
    QTRY_VERIFY(toldAsTheResultsWindow(about(results, from), QAccessible::StateChanged));

    // Back to the other window, and the check again: the open results window is raised, made active, and the focus
    // is told inside it.
    input.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&input));
    from = heard().size();
    check();
    QVERIFY(QTest::qWaitForWindowActive(results));
    QTRY_VERIFY(toldAsTheResultsWindow(about(results, from), QAccessible::StateChanged));
    QTRY_VERIFY(QApplication::focusWidget() && results->isAncestorOf(QApplication::focusWidget()));
    QTRY_VERIFY(hasEvent(about(QApplication::focusWidget(), from), QAccessible::Focus));
}

// Qt's message box tells itself as an alert when it shows; its text and its button can be read.
void ScreenReaderTest::nothingElseFoundIsAnnouncedAsAnAlert() {
    QWidget window;
    window.setWindowTitle(QStringLiteral("trevask"));
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    const size_t from = heard().size();
    QStringList childNames;
    const MessageBoxWatch watch(MessageBoxWatch::Boxes::First, [&](QMessageBox* box) {
        if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(box))
            for (int i = 0; i < iface->childCount(); ++i)
                childNames << iface->child(i)->text(QAccessible::Name);
        // Heard while the box is up, so the events name a live box.
        const std::vector<Heard> events = about(box, from);
        if (!std::any_of(events.begin(), events.end(), [](const Heard& h) {
                return h.type == QAccessible::Alert && h.role == QAccessible::AlertMessage &&
                       h.name == QStringLiteral("claimcheck");
            }))
            childNames << QStringLiteral("no alert heard");
        QAbstractButton* ok = box->button(QMessageBox::Ok);
        if (QAccessibleInterface* button = QAccessible::queryAccessibleInterface(ok))
            if (button->role() == QAccessible::Button)
                childNames << QStringLiteral("button ") + button->text(QAccessible::Name);
        ok->click();
    });
    showMessage(&window, QStringLiteral("Nothing else found"));

    QCOMPARE(watch.seen(), 1);
    QVERIFY2(!childNames.contains(QStringLiteral("no alert heard")), qPrintable(childNames.join(u'|')));
    QVERIFY2(childNames.contains(QStringLiteral("Nothing else found")), qPrintable(childNames.join(u'|')));
    QVERIFY2(childNames.contains(QStringLiteral("button OK")), qPrintable(childNames.join(u'|')));
}

QTEST_MAIN(ScreenReaderTest)
#include "tst_screen_reader.moc"
