#include "message_box.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>

#include <utility>

namespace claimcheck {

namespace {

MessageHandler& currentHandler() {
    static MessageHandler handler;
    return handler;
}

} // namespace

void showMessage(QWidget* parent, const QString& text) {
    if (const MessageHandler& handler = currentHandler()) {
        handler(parent, text);
        return;
    }
    // The caption is the application's name, set here rather than left to the window system, which fills an empty
    // caption with the same name on X11 but not everywhere.
    QPointer<QMessageBox> box =
        new QMessageBox(QMessageBox::NoIcon, QCoreApplication::applicationName(), text, QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    box->exec();
    // On the heap: should the parent go while the box is up, it takes the box with it.
    delete box.data();
}

MessageHandler setMessageHandler(MessageHandler handler) {
    return std::exchange(currentHandler(), std::move(handler));
}

} // namespace claimcheck
