#include "ui/message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QtTest>

using claimcheck::MessageHandler;
using claimcheck::setMessageHandler;
using claimcheck::showMessage;

class MessageBoxTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void aHandlerAnswersInsteadOfTheBox();
    void settingAHandlerReturnsThePreviousOne();
    void theRealBoxIsModalWithOkOnlyUnderTheApplicationName();
};

void MessageBoxTest::initTestCase() {
    QCoreApplication::setApplicationName(QStringLiteral("claimcheck"));
}

void MessageBoxTest::aHandlerAnswersInsteadOfTheBox() {
    QWidget parent;
    QList<QPair<QWidget*, QString>> shown;
    bool aBoxWasUp = false;
    setMessageHandler([&](QWidget* p, const QString& text) {
        aBoxWasUp = aBoxWasUp || QApplication::activeModalWidget() != nullptr;
        shown.append({p, text});
    });
    showMessage(&parent, QStringLiteral("Nothing else found"));
    setMessageHandler({});

    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].first, &parent);
    QCOMPARE(shown[0].second, QStringLiteral("Nothing else found"));
    QVERIFY(!aBoxWasUp);
}

void MessageBoxTest::settingAHandlerReturnsThePreviousOne() {
    int firstCalls = 0;
    int secondCalls = 0;
    setMessageHandler([&](QWidget*, const QString&) { ++firstCalls; });
    MessageHandler previous = setMessageHandler([&](QWidget*, const QString&) { ++secondCalls; });
    showMessage(nullptr, QStringLiteral("x"));
    QVERIFY(previous);
    previous(nullptr, QStringLiteral("y"));
    const MessageHandler last = setMessageHandler({});
    QVERIFY(last);
    QVERIFY(!setMessageHandler({}));
    QCOMPARE(firstCalls, 1);
    QCOMPARE(secondCalls, 1);
}

void MessageBoxTest::theRealBoxIsModalWithOkOnlyUnderTheApplicationName() {
    QWidget parent;
    parent.show();

    struct Seen {
        bool found = false;
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::Warning;
        QMessageBox::StandardButtons buttons;
        int buttonCount = 0;
        bool modal = false;
        QWidget* parent = nullptr;
    } seen;

    // Looks for the box until it is up, notes what it shows and clicks OK; the checks come after it has gone.
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        seen.found = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.buttonCount = int(box->buttons().size());
        seen.modal = box->isModal();
        seen.parent = box->parentWidget();
        box->button(QMessageBox::Ok)->click();
    });
    poll.start();
    // Should the box never close, a second timer ends its loop so that the test fails instead of hanging.
    QTimer::singleShot(10'000, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });

    showMessage(&parent, QStringLiteral("Nothing else found"));

    QVERIFY(seen.found);
    QCOMPARE(seen.title, QStringLiteral("claimcheck"));
    QCOMPARE(seen.text, QStringLiteral("Nothing else found"));
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(seen.buttonCount, 1);
    QVERIFY(seen.modal);
    QCOMPARE(seen.parent, &parent);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(parent.findChildren<QMessageBox*>().isEmpty());
}

QTEST_MAIN(MessageBoxTest)
#include "tst_message_box.moc"
