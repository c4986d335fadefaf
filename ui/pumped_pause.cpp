#include "pumped_pause.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cmath>

namespace claimcheck {

void pumpedPause(double seconds, const std::function<bool()>& endsEarly) {
    // A monotonic clock: the day clock restarts at midnight, this one never goes back.
    QElapsedTimer clock;
    clock.start();
    const qint64 lengthNs = std::llround(seconds * 1e9);

    // Between events the loop sleeps in the dispatcher; this timer wakes it at the end of the pause when no other
    // event does. A pause nested inside this one may swallow its tick, so it is armed again whenever it is idle.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);

    for (;;) {
        const qint64 leftNs = lengthNs - clock.nsecsElapsed();
        if (leftNs <= 0 || (endsEarly && endsEarly()))
            return;
        if (!wake.isActive())
            wake.start(int((leftNs + 999'999) / 1'000'000));
        // Qt's GLib dispatcher does not hand out, inside a wait begun while a posted event is being delivered,
        // the events queued behind that one until something new is posted (seen with two queued calls: the second
        // came only after the first one's pause, and with the web view, whose queued work stalled for a whole
        // pause). Delivering them here first keeps every queued event flowing during the pause.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

} // namespace claimcheck
