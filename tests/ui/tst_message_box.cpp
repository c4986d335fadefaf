#include "message_box_watch.h"
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
using claimcheck::testing::MessageBoxWatch;

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
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::Warning;
        QMessageBox::StandardButtons buttons;
        int buttonCount = 0;
        bool modal = false;
        QWidget* parent = nullptr;
    } seen;

    // Notes what the box shows and clicks OK; the checks come after it has gone.
    const MessageBoxWatch watch(MessageBoxWatch::Boxes::First, [&](QMessageBox* box) {
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.buttonCount = int(box->buttons().size());
        seen.modal = box->isModal();
        seen.parent = box->parentWidget();
        box->button(QMessageBox::Ok)->click();
    });

    showMessage(&parent, QStringLiteral("Nothing else found"));

    QCOMPARE(watch.seen(), 1);
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
