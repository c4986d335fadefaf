#pragma once

// Answers the real message boxes a test brings up. A box runs its own event loop, so the test cannot act on it
// after the call that shows it; the watch looks for it from a timer inside that loop instead.

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <functional>
#include <utility>

namespace claimcheck::testing {

class MessageBoxWatch {
public:
    enum class Boxes {
        First, // the first box that is up, as soon as it is there; then the watch stops
        Every, // each box once it is up and has the focus, so that keys reach it
    };

    // `answer` gets each box and must close it. Should a box stay up all the same, it is closed after ten seconds,
    // so that the test fails instead of hanging.
    MessageBoxWatch(Boxes boxes, std::function<void(QMessageBox*)> answer) {
        m_poll.setInterval(10);
        QObject::connect(&m_poll, &QTimer::timeout, [this, boxes, answer = std::move(answer)] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            if (boxes == Boxes::Every && (!box->isVisible() || !box->isActiveWindow()))
                return;
            if (boxes == Boxes::First)
                m_poll.stop();
            ++m_seen;
            answer(box);
        });
        m_poll.start();
        QTimer::singleShot(10'000, &m_poll, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
    }
    MessageBoxWatch(const MessageBoxWatch&) = delete;
    MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;

    // How many boxes went to the answer so far.
    int seen() const { return m_seen; }

private:
    QTimer m_poll;
    int m_seen = 0;
};

} // namespace claimcheck::testing
