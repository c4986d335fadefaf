#include "ui/pumped_pause.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QtTest>

#include "platform/system.h"

using claimcheck::pumpedPause;
using claimcheck::platform::processCpuSeconds;

namespace {

double secondsSince(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e9;
}

// A pause never ends early; the generous upper bound only catches one that overstays by far, not a slow machine.
constexpr double kLateness = 1.0;

} // namespace

class PumpedPauseTest : public QObject {
    Q_OBJECT

private slots:
    void lastsItsLength_data();
    void lastsItsLength();
    void runsPendingHandlersToTheirEnd();
    void endsAsSoonAsItsConditionHolds();
    void cannotEndBeforeANestedHandlerReturns();
    void outlivesAShorterNestedPause();
    void leavesTheCpuIdle();
    void deletesObjectsDeletedLaterByNestedHandlers();
    void deliversCallsQueuedBehindTheOneThatPauses();
};

void PumpedPauseTest::lastsItsLength_data() {
    QTest::addColumn<double>("seconds");
    QTest::newRow("zero") << 0.0;
    QTest::newRow("under a millisecond") << 0.0004;
    QTest::newRow("echo pause") << 0.2;
    QTest::newRow("half a second") << 0.5;
}

void PumpedPauseTest::lastsItsLength() {
    QFETCH(double, seconds);
    QElapsedTimer clock;
    clock.start();
    pumpedPause(seconds);
    const double took = secondsSince(clock);
    QVERIFY2(took >= seconds, qPrintable(QString::number(took)));
    QVERIFY2(took < seconds + kLateness, qPrintable(QString::number(took)));
}

// The condition is looked at after events were handled: a handler that makes it true ends the pause then, not at
// the end of its length; a condition that never holds leaves the length as it was.
void PumpedPauseTest::endsAsSoonAsItsConditionHolds() {
    bool closed = false;
    QTimer::singleShot(200, [&] { closed = true; });
    QElapsedTimer clock;
    clock.start();
    pumpedPause(5, [&] { return closed; });
    const double took = secondsSince(clock);
    QVERIFY(closed);
    QVERIFY2(took >= 0.2 && took < 0.2 + kLateness, qPrintable(QString::number(took)));

    clock.restart();
    pumpedPause(0.3, [] { return false; });
    QVERIFY2(secondsSince(clock) >= 0.3, qPrintable(QString::number(secondsSince(clock))));
}

void PumpedPauseTest::runsPendingHandlersToTheirEnd() {
    QStringList ran;
    QTimer::singleShot(0, [&] { ran << QStringLiteral("timer"); });
    QMetaObject::invokeMethod(
        this, [&] { ran << QStringLiteral("queued"); }, Qt::QueuedConnection);
    QTimer::singleShot(50, [&] {
        ran << QStringLiteral("late begins");
        QElapsedTimer busy;
        busy.start();
        while (busy.elapsed() < 20) {
        }
        ran << QStringLiteral("late ends");
    });
    pumpedPause(0.2);
    ran.sort();
    QCOMPARE(ran, (QStringList{QStringLiteral("late begins"), QStringLiteral("late ends"), QStringLiteral("queued"),
                               QStringLiteral("timer")}));
}

void PumpedPauseTest::cannotEndBeforeANestedHandlerReturns() {
    QElapsedTimer clock;
    clock.start();
    double nestedEnded = -1;
    QTimer::singleShot(20, [&] {
        pumpedPause(0.3);
        nestedEnded = secondsSince(clock);
    });
    pumpedPause(0.1);
    const double took = secondsSince(clock);
    QVERIFY(nestedEnded >= 0.32);
    QVERIFY2(took >= nestedEnded, qPrintable(QString::number(took)));
    QVERIFY2(took < nestedEnded + kLateness, qPrintable(QString::number(took)));
}

void PumpedPauseTest::outlivesAShorterNestedPause() {
    QElapsedTimer clock;
    clock.start();
    double nestedEnded = -1;
    QTimer::singleShot(20, [&] {
        pumpedPause(0.05);
        nestedEnded = secondsSince(clock);
    });
    pumpedPause(0.3);
    const double took = secondsSince(clock);
    QVERIFY(nestedEnded >= 0.07);
    QVERIFY(nestedEnded < 0.3);
    QVERIFY2(took >= 0.3, qPrintable(QString::number(took)));
    QVERIFY2(took < 0.3 + kLateness, qPrintable(QString::number(took)));
}

void PumpedPauseTest::leavesTheCpuIdle() {
    const double cpuBefore = processCpuSeconds();
    pumpedPause(1.0);
    const double cpu = processCpuSeconds() - cpuBefore;
    QVERIFY2(cpu < 0.1, qPrintable(QStringLiteral("%1 s of CPU time").arg(cpu)));
}

void PumpedPauseTest::deletesObjectsDeletedLaterByNestedHandlers() {
    QPointer<QObject> doomed = new QObject;
    QTimer::singleShot(10, doomed, [&] { doomed->deleteLater(); });
    pumpedPause(0.1);
    QVERIFY(doomed.isNull());
}

void PumpedPauseTest::deliversCallsQueuedBehindTheOneThatPauses() {
    // Two calls queued one behind the other: the first pauses, and the second must run inside that pause rather
    // than after it.
    bool firstPausing = false;
    bool secondRanDuringThePause = false;
    bool secondRan = false;
    QObject context;
    QMetaObject::invokeMethod(
        &context,
        [&] {
            firstPausing = true;
            pumpedPause(0.3);
            firstPausing = false;
        },
        Qt::QueuedConnection);
    QMetaObject::invokeMethod(
        &context,
        [&] {
            secondRan = true;
            secondRanDuringThePause = firstPausing;
        },
        Qt::QueuedConnection);
    QTRY_VERIFY(secondRan);
    QTRY_VERIFY(!firstPausing);
    QVERIFY(secondRanDuringThePause);
}

QTEST_MAIN(PumpedPauseTest)
#include "tst_pumped_pause.moc"
