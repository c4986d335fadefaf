#include "input/merovin.h"
#include "results/trevask.h"
#include "results/word_list.h"
#include "ui/look.h"
#include "ui/twips.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <cmath>
#include <map>

using namespace claimcheck;

namespace {

// A control that takes every value exactly as handed over, and remembers what it was handed.
struct ExactControl : TwipsControl {
    double l = -1, w = -1;
    double left() const override { return l; }
    double width() const override { return w; }
    void setLeft(float twips) override { l = twips; }
    void setWidth(float twips) override { w = twips; }
};

// A control that snaps to whole pixels, as a real widget does.
struct PixelControl : ExactControl {
    void setLeft(float twips) override { l = std::round(twips / kTwipsPerPixel) * kTwipsPerPixel; }
    void setWidth(float twips) override { w = std::round(twips / kTwipsPerPixel) * kTwipsPerPixel; }
};

template <typename Control> struct Controls {
    Control rtb1, rtb2, command1, label1, label2, label3, command2, text1, web;
    InputLayoutControls view() { return {rtb1, rtb2, command1, label1, label2, label3, command2, text1, web}; }
};

int px(double twips) {
    return int(std::lround(twips / kTwipsPerPixel));
}

} // namespace

class InputWindowTest : public QObject {
    Q_OBJECT
private slots:
    void resizeRuleWithExactReadBack_data();
    void resizeRuleWithExactReadBack();
    void disclosureBoxFollowsTheClaimsBoxAsItReportsItself();
    void controlsHaveTheirDesignNamesTextsAndPlaces();
    void focusOrderFollowsTheDesign();
    void headingsAreLargeBoldAndColoured();
    void realWindowFollowsTheRuleAtAnyWidth_data();
    void realWindowFollowsTheRuleAtAnyWidth();
    void heightChangesMoveNothing();
    void loadStepSetsClaimsNext();
    void clearEmptiesTheThreeBoxesOnly();
    void typingAfterClearIsPlain();
    void exitChangesNothing();
    void closingTheInputWindowKeepsTheResultsWindow();
};

void InputWindowTest::resizeRuleWithExactReadBack_data() {
    QTest::addColumn<double>("outerWidth");
    // Expected values in the order: claims left/width, disclosure left/width, Command1, Label1, Label2, Label3,
    // Command2, Text1 left/width, web view width.
    QTest::addColumn<QList<double>>("expected");
    QTest::newRow("design width") << 12660.0
                                  << QList<double>{120, 5295, 6240, 5295, 9600, 360, 6600, 240, 3120, 120, 2655, 100};
    QTest::newRow("half width") << 6330.0
                                << QList<double>{60,   2647, 60 + 2647 + 412, 2647, 4800, 180, 3300, 120, 1560, 60,
                                                 1327, 100};
    QTest::newRow("double width") << 25320.0 << QList<double>{240,   10590, 12480, 10590, 19200, 720,
                                                              13200, 480,   6240,  240,   5310,  100};
    QTest::newRow("zero width") << 0.0 << QList<double>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 100};
}

void InputWindowTest::resizeRuleWithExactReadBack() {
    QFETCH(double, outerWidth);
    QFETCH(QList<double>, expected);
    Controls<ExactControl> c;
    applyInputResizeRule(outerWidth, c.view());
    const QList<double> actual{c.rtb1.l,   c.rtb1.w,   c.rtb2.l,     c.rtb2.w,  c.command1.l, c.label1.l,
                               c.label2.l, c.label3.l, c.command2.l, c.text1.l, c.text1.w,    c.web.w};
    QCOMPARE(actual, expected);
    // What the rule does not own stays untouched.
    for (const ExactControl* unchanged : {&c.command1, &c.label1, &c.label2, &c.label3, &c.command2})
        QCOMPARE(unchanged->w, -1.0);
    QCOMPARE(c.web.l, -1.0);
}

void InputWindowTest::disclosureBoxFollowsTheClaimsBoxAsItReportsItself() {
    // 12000 twips puts the claims box at 113.7 -> 113 twips (rounded to 8 px = 120) and 5018 twips wide
    // (334.5 px -> 335 px = 5025): the disclosure box must start after what the claims box reports.
    Controls<PixelControl> c;
    applyInputResizeRule(12000, c.view());
    QCOMPARE(c.rtb1.l, 120.0);
    QCOMPARE(c.rtb1.w, 5025.0);
    const double g825 = std::floor(12000.0 / 12660.0 * 825.0);
    QCOMPARE(c.rtb2.l, std::round((5025.0 + 120.0 + g825) / 15) * 15);
}

void InputWindowTest::controlsHaveTheirDesignNamesTextsAndPlaces() {
    merovin window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.objectName(), QStringLiteral("merovin"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Check for claim support"));
    QVERIFY(!window.windowIcon().isNull());
    QCOMPARE(window.windowIcon().pixmap(32, 32).size(), QSize(32, 32));

    struct Expected {
        const char* name;
        QString text;
        int left, top, width, height;
    };
    // At the design width every control is at its design place, except that the web view is 100 twips wide.
    const Expected table[] = {
        {"Command1", QStringLiteral("Check for support"), 9600, 9840, 1935, 495},
        {"RichTextBox1", QString(), 120, 840, 5295, 8775},
        {"RichTextBox2", QString(), 6240, 840, 5295, 8775},
        {"Label1", QStringLiteral("Insert Claims Here"), 360, 480, 4575, 615},
        {"Label2", QStringLiteral("Insert Disclosure Here"), 6600, 480, 4575, 615},
        {"Label3", QStringLiteral("Or enter patent No (ex: US4564563)"), 240, 9840, 3255, 255},
        {"Text1", QString(), 120, 10080, 2655, 375},
        {"Command2", QStringLiteral("Get text "), 3120, 10080, 1215, 375},
        {"WebBrowser1", QString(), 720, 3840, 100, 2295},
    };
    QCOMPARE(window.centralWidget()->width() * kTwipsPerPixel, 12540);
    for (const Expected& e : table) {
        auto* widget = window.findChild<QWidget*>(QString::fromLatin1(e.name));
        QVERIFY2(widget, e.name);
        QCOMPARE(widget->geometry(), QRect(px(e.left), px(e.top), px(e.width), px(e.height)));
        QVERIFY(widget->isVisible());
        QVERIFY(widget->isEnabled());
        if (auto* button = qobject_cast<QPushButton*>(widget))
            QCOMPARE(button->text(), e.text);
        else if (auto* label = qobject_cast<QLabel*>(widget))
            QCOMPARE(label->text(), e.text);
        else if (auto* line = qobject_cast<QLineEdit*>(widget))
            QCOMPARE(line->text(), e.text);
        else if (auto* box = qobject_cast<QTextEdit*>(widget))
            QVERIFY(box->document()->isEmpty());
    }

    const QList<QAction*> menu = window.menuBar()->actions();
    QCOMPARE(menu.size(), 2);
    QCOMPARE(menu[0]->text(), QStringLiteral("Clear"));
    QCOMPARE(menu[0]->objectName(), QStringLiteral("clear"));
    QCOMPARE(menu[1]->text(), QStringLiteral("Exit"));
    QCOMPARE(menu[1]->objectName(), QStringLiteral("EExit"));
    QVERIFY(!menu[0]->menu() && !menu[1]->menu());
}

void InputWindowTest::focusOrderFollowsTheDesign() {
    merovin window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QApplication::focusWidget(), window.Command1);
    const QList<QWidget*> chain{window.RichTextBox1, window.RichTextBox2, window.Text1, window.Command2,
                                window.Command1};
    QWidget* at = window.Command1;
    for (QWidget* next : chain) {
        at = at->nextInFocusChain();
        while (!(at->focusPolicy() & Qt::TabFocus) || !at->isVisible())
            at = at->nextInFocusChain();
        QCOMPARE(at, next);
    }
    QCOMPARE(window.WebBrowser1->focusPolicy(), Qt::NoFocus);
}

void InputWindowTest::headingsAreLargeBoldAndColoured() {
    merovin window;
    for (QLabel* heading : {window.Label1, window.Label2}) {
        QCOMPARE(heading->font().pointSizeF(), 12.0);
        QCOMPARE(heading->font().weight(), QFont::Bold);
        QCOMPARE(heading->palette().color(QPalette::WindowText), QColor(78, 90, 209));
    }
    for (QWidget* plain : std::initializer_list<QWidget*>{window.Label3, window.Text1, window.Command1, window.Command2,
                                                          window.RichTextBox1}) {
        QCOMPARE(plain->font().pointSizeF(), controlFont().pointSizeF());
        QCOMPARE(plain->font().weight(), QFont::Normal);
    }
}

void InputWindowTest::realWindowFollowsTheRuleAtAnyWidth_data() {
    QTest::addColumn<int>("clientWidth");
    for (int px : {418, 600, 836, 1001, 1672})
        QTest::addRow("%d px", px) << px;
}

void InputWindowTest::realWindowFollowsTheRuleAtAnyWidth() {
    QFETCH(int, clientWidth);
    merovin window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.resize(clientWidth, window.height());
    QTRY_COMPARE(window.width(), clientWidth);

    const double W = clientWidth * kTwipsPerPixel + 120;
    const auto g = [W](double k) { return std::floor(W / 12660 * k); };
    const std::map<QWidget*, double> lefts{
        {window.RichTextBox1, g(120)}, {window.Command1, g(9600)}, {window.Label1, g(360)}, {window.Label2, g(6600)},
        {window.Label3, g(240)},       {window.Command2, g(3120)}, {window.Text1, g(120)}};
    for (const auto& [widget, twips] : lefts)
        QCOMPARE(widget->x(), px(twips));
    QCOMPARE(window.RichTextBox1->width(), px(g(5295)));
    QCOMPARE(window.RichTextBox2->width(), px(g(5295)));
    QCOMPARE(window.Text1->width(), px(g(2655)));
    QCOMPARE(window.WebBrowser1->width(), px(100));
    const double reported = (window.RichTextBox1->x() + window.RichTextBox1->width()) * kTwipsPerPixel;
    QCOMPARE(window.RichTextBox2->x(), px(reported + g(825)));
    // Buttons and labels keep their widths.
    QCOMPARE(window.Command1->width(), px(1935));
    QCOMPARE(window.Label3->width(), px(3255));
}

void InputWindowTest::heightChangesMoveNothing() {
    merovin window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QList<QWidget*> controls{window.Command1, window.RichTextBox1, window.RichTextBox2,
                                   window.Label1,   window.Label2,       window.Label3,
                                   window.Text1,    window.Command2,     window.WebBrowser1};
    QList<QRect> before;
    for (QWidget* w : controls)
        before << w->geometry();
    for (int height : {300, 1200}) {
        window.resize(window.width(), height);
        QTRY_COMPARE(window.height(), height);
        for (int i = 0; i < controls.size(); ++i)
            QCOMPARE(controls[i]->geometry(), before[i]);
    }
}

void InputWindowTest::loadStepSetsClaimsNext() {
    merovin window;
    QCOMPARE(window.flagrun, QVariant(true));
}

void InputWindowTest::clearEmptiesTheThreeBoxesOnly() {
    merovin window;
    window.RichTextBox1->setPlainText(QStringLiteral("1. A wheel."));
    window.RichTextBox2->setPlainText(QStringLiteral("The wheel turns."));
    window.Text1->setText(QStringLiteral("US4564563"));
    window.Command1_Click();
    trevask* results = window.results().window();
    QVERIFY(results);
    window.flagrun = false;

    window.clear->trigger();

    QVERIFY(window.RichTextBox1->document()->isEmpty());
    QVERIFY(window.RichTextBox2->document()->isEmpty());
    QVERIFY(window.Text1->text().isEmpty());
    QCOMPARE(window.flagrun, QVariant(false));
    QCOMPARE(window.results().window(), results);
    QCOMPARE(results->RichTextBox1->toPlainText(), QStringLiteral("1. A wheel."));
    QVERIFY(results->List1->count() > 0);
}

// Pasted rich text, the cursor left at its end (where the user clicked last), then Clear: what the user types next
// into either box comes without the bold and colour of the text that was there.
void InputWindowTest::typingAfterClearIsPlain() {
    merovin window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (QTextEdit* box : {window.RichTextBox1, window.RichTextBox2}) {
        box->setHtml(QStringLiteral("<p><b><span style='color:#ff0000'>1. A bold red wheel</span></b></p>"));
        box->moveCursor(QTextCursor::End);
    }

    window.clear->trigger();

    for (QTextEdit* box : {window.RichTextBox1, window.RichTextBox2}) {
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("typed"));
        QCOMPARE(box->toPlainText(), QStringLiteral("typed"));
        for (auto it = box->document()->begin().begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            QVERIFY(!format.hasProperty(QTextFormat::ForegroundBrush));
            QVERIFY(format.fontWeight() <= QFont::Normal);
        }
    }
}

void InputWindowTest::exitChangesNothing() {
    merovin window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.RichTextBox1->setPlainText(QStringLiteral("claims"));
    window.Text1->setText(QStringLiteral("EP1000000"));
    QSignalSpy aboutToQuit(qApp, &QCoreApplication::aboutToQuit);

    window.EExit->trigger();
    QTest::qWait(50); // long enough for any queued close or quit to have been delivered

    QVERIFY(window.isVisible());
    QCOMPARE(window.RichTextBox1->toPlainText(), QStringLiteral("claims"));
    QCOMPARE(window.Text1->text(), QStringLiteral("EP1000000"));
    QCOMPARE(window.flagrun, QVariant(true));
    QCOMPARE(aboutToQuit.count(), 0);
}

void InputWindowTest::closingTheInputWindowKeepsTheResultsWindow() {
    merovin window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.Command1_Click();
    QPointer<trevask> results = window.results().window();
    QVERIFY(results && results->isVisible());
    // A window of its own, owned by no other, so the program lives on while either window is open.
    QVERIFY(results->isWindow());
    QVERIFY(!results->parentWidget());

    QVERIFY(window.close());
    QTest::qWait(50); // any deferred deletion would have happened by now
    QVERIFY(!results.isNull());
    QVERIFY(results->isVisible());

    QVERIFY(results->close());
    QTRY_VERIFY(results.isNull());
}

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false); // the test itself decides when to end
    InputWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_input_window.moc"
