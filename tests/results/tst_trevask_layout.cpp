#include "results/trevask.h"
#include "results/word_list.h"
#include "ui/look.h"
#include "ui/message_box.h"

#include <QAccessible>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <array>
#include <cmath>
#include <functional>

using namespace claimcheck;

namespace {

using Report = std::function<double(float)>;

// A control that records what the rule sets and reports back what `report` makes of it.
class FakeControl : public TwipsControl {
public:
    FakeControl(QString name, QStringList& log, Report leftReport, Report widthReport)
        : m_name(std::move(name)), m_log(log), m_leftReport(std::move(leftReport)),
          m_widthReport(std::move(widthReport)) {}

    double left() const override { return m_left; }
    double width() const override { return m_width; }
    void setLeft(float twips) override {
        m_log << m_name + QStringLiteral(".Left");
        m_setLeft = twips;
        m_left = m_leftReport(twips);
    }
    void setWidth(float twips) override {
        m_log << m_name + QStringLiteral(".Width");
        m_setWidth = twips;
        m_width = m_widthReport(twips);
    }

    float setLeftValue() const { return m_setLeft; }
    float setWidthValue() const { return m_setWidth; }

private:
    QString m_name;
    QStringList& m_log;
    Report m_leftReport;
    Report m_widthReport;
    double m_left = -1;
    double m_width = -1;
    float m_setLeft = -1;
    float m_setWidth = -1;
};

const Report kExact = [](float twips) { return double(twips); };

// The ten controls of the rule, columns first.
struct FakeLayout {
    QStringList log;
    std::array<FakeControl, 5> columns;
    std::array<FakeControl, 5> labels;

    FakeLayout(const Report& leftReport, const Report& widthReport)
        : columns{FakeControl(QStringLiteral("RichTextBox1"), log, leftReport, widthReport),
                  FakeControl(QStringLiteral("RichTextBox2"), log, leftReport, widthReport),
                  FakeControl(QStringLiteral("List1"), log, leftReport, widthReport),
                  FakeControl(QStringLiteral("List2"), log, leftReport, widthReport),
                  FakeControl(QStringLiteral("List3"), log, leftReport, widthReport)},
          labels{FakeControl(QStringLiteral("Label1"), log, leftReport, widthReport),
                 FakeControl(QStringLiteral("Label2"), log, leftReport, widthReport),
                 FakeControl(QStringLiteral("Label3"), log, leftReport, widthReport),
                 FakeControl(QStringLiteral("Label4"), log, leftReport, widthReport),
                 FakeControl(QStringLiteral("Label5"), log, leftReport, widthReport)} {}

    void apply(double outerWidth) {
        applyResultsResizeRule(outerWidth, {columns[0], columns[1], columns[2], columns[3], columns[4], labels[0],
                                            labels[1], labels[2], labels[3], labels[4]});
    }
};

const char* const kColumnNames[] = {"RichTextBox1", "RichTextBox2", "List1", "List2", "List3"};
const char* const kLabelNames[] = {"Label1", "Label2", "Label3", "Label4", "Label5"};

int pixels(double twips) {
    return int(std::lround(twips / 15));
}

QList<QRect> geometries(const trevask& window) {
    QList<QRect> rects;
    for (const char* name : kColumnNames)
        rects << window.findChild<QWidget*>(QLatin1String(name))->geometry();
    for (const char* name : kLabelNames)
        rects << window.findChild<QWidget*>(QLatin1String(name))->geometry();
    return rects;
}

void resizeShown(trevask& window, int width, int height) {
    window.resize(width, height);
    QTRY_COMPARE(window.size(), QSize(width, height));
}

} // namespace

class TestTrevaskLayout : public QObject {
    Q_OBJECT
private slots:
    void ruleWithExactControls_data();
    void ruleWithExactControls();
    void ruleSetsLeftsAndWidthsInItsOrder();
    void columnsFollowWhatTheControlsReport();

    void windowIsTheDesignedResultsWindow();
    void isAWindowForScreenReadersNamedByItsCaption();
    void controlsFollowTheDesignTable_data();
    void controlsFollowTheDesignTable();
    void focusOrderFollowsTheDesign();
    void picksReachTheirHandlersAndTheTimerItsTick();
    void loadStepClearsTheEchoFlagAndVariablesLiveInTheRecord();
    void closingDestroysTheWindowButNotTheRecord();

    void showingLaysTheColumnsOutAtTheDesignWidth();
    void everyWidthKeepsTheRuleUnderPixelRounding_data();
    void everyWidthKeepsTheRuleUnderPixelRounding();
    void heightChangesMoveNothing();
};

using Columns = std::array<double, 5>;

void TestTrevaskLayout::ruleWithExactControls_data() {
    QTest::addColumn<double>("outerWidth");
    QTest::addColumn<Columns>("lefts");
    QTest::addColumn<Columns>("widths");
    QTest::newRow("design width") << 13200.0 << Columns{30, 4150, 8270, 9790, 11310}
                                  << Columns{4100, 4100, 1500, 1500, 1500};
    QTest::newRow("half") << 6600.0 << Columns{30, 2100, 4170, 4940, 5710} << Columns{2050, 2050, 750, 750, 750};
    QTest::newRow("double") << 26400.0 << Columns{30, 8250, 16470, 19490, 22510}
                            << Columns{8200, 8200, 3000, 3000, 3000};
    QTest::newRow("rounded down") << 12345.0 << Columns{30, 3884, 7738, 9160, 10582}
                                  << Columns{3834, 3834, 1402, 1402, 1402};
    QTest::newRow("no width") << 0.0 << Columns{30, 50, 70, 90, 110} << Columns{0, 0, 0, 0, 0};
}

void TestTrevaskLayout::ruleWithExactControls() {
    QFETCH(double, outerWidth);
    QFETCH(Columns, lefts);
    QFETCH(Columns, widths);
    FakeLayout layout(kExact, kExact);
    layout.apply(outerWidth);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(layout.columns[i].left(), lefts[i]);
        QCOMPARE(layout.columns[i].width(), widths[i]);
        QCOMPARE(layout.labels[i].left(), lefts[i] + 10);
    }
    if (outerWidth == 13200.0)
        QCOMPARE(13080 - (lefts[4] + widths[4]), 270.0);
}

void TestTrevaskLayout::ruleSetsLeftsAndWidthsInItsOrder() {
    FakeLayout layout(kExact, kExact);
    layout.apply(13200);
    const QStringList expected{"RichTextBox1.Left", "RichTextBox1.Width", "RichTextBox2.Left", "RichTextBox2.Width",
                               "List1.Left",        "List1.Width",        "List2.Left",        "List2.Width",
                               "List3.Left",        "List3.Width",        "Label1.Left",       "Label2.Left",
                               "Label3.Left",       "Label4.Left",        "Label5.Left"};
    QCOMPARE(layout.log, expected);
}

// Controls that take a left edge 3 twips further right and a width 7 twips narrower than asked: each list is
// placed from the reported widths and the claims box's reported left (never from the disclosure box's reported
// left), each label from its column's reported left.
void TestTrevaskLayout::columnsFollowWhatTheControlsReport() {
    FakeLayout layout([](float t) { return double(t) + 3; }, [](float t) { return double(t) - 7; });
    layout.apply(13200);
    const std::array<float, 5> setLefts{30, 4093 + 33 + 20, 4093 + 4146 + 20, 8259 + 1493 + 20, 9772 + 1493 + 20};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(layout.columns[i].setLeftValue(), setLefts[i]);
        QCOMPARE(layout.columns[i].setWidthValue(), i < 2 ? 4100.0f : 1500.0f);
        QCOMPARE(layout.labels[i].setLeftValue(), setLefts[i] + 3 + 10);
    }
}

void TestTrevaskLayout::windowIsTheDesignedResultsWindow() {
    ResultsRecord record;
    trevask window(record);
    QCOMPARE(window.objectName(), QStringLiteral("trevask"));
    QCOMPARE(window.windowTitle(), QStringLiteral("trevask"));
    QCOMPARE(window.windowIcon().cacheKey(), appIcon().cacheKey());
    QVERIFY(window.testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(window.isWindow());
    QVERIFY(!window.findChild<QMenuBar*>());
    QCOMPARE(window.size(), QSize(13080 / 15, 10935 / 15));

    QVERIFY(window.Timer1);
    QCOMPARE(window.Timer1->objectName(), QStringLiteral("Timer1"));
    QCOMPARE(window.findChild<QTimer*>(QStringLiteral("Timer1")), window.Timer1);
    QVERIFY(!window.Timer1->isActive());
    QCOMPARE(window.Timer1->interval(), 0);
}

// Screen readers take a window's role and name from its accessible interface (AT-SPI "frame" for the window role).
// Each window made anew, as every check after a close makes one, is such a window again.
void TestTrevaskLayout::isAWindowForScreenReadersNamedByItsCaption() {
    ResultsRecord record;
    for (int made = 0; made < 2; ++made) {
        auto* window = new trevask(record);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(window);
        QVERIFY(frame && frame->isValid());
        QCOMPARE(frame->role(), QAccessible::Window);
        QCOMPARE(frame->text(QAccessible::Name), QStringLiteral("trevask"));
        QCOMPARE(window->objectName(), QStringLiteral("trevask"));
        QVERIFY(!frame->state().invisible);

        // Its columns are its children there, each named by its heading.
        QStringList names;
        for (int i = 0; i < frame->childCount(); ++i) {
            QAccessibleInterface* child = frame->child(i);
            QCOMPARE(child->parent()->object(), window);
            if (child->role() != QAccessible::StaticText)
                names << child->text(QAccessible::Name);
        }
        names.sort();
        QCOMPARE(names, QStringList({QStringLiteral("Claims"), QStringLiteral("Claims Index"),
                                     QStringLiteral("Disclosure"), QStringLiteral("Disclosure Index"),
                                     QStringLiteral("Words in Claims not in disclosure")}));
        // Other windows keep what Qt gives them.
        QWidget plain;
        QCOMPARE(QAccessible::queryAccessibleInterface(&plain)->role(), QAccessible::Client);

        QPointer<trevask> closing = window;
        window->close();
        QTRY_VERIFY(closing.isNull());
    }
}

void TestTrevaskLayout::controlsFollowTheDesignTable_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("designTwips");
    QTest::addColumn<uint>("background"); // 0x00BBGGRR; unused for the labels
    QTest::addColumn<QString>("caption");
    auto row = [](const char* name, QRect twips, uint background, const QString& caption) {
        QTest::newRow(name) << QString::fromLatin1(name) << twips << background << caption;
    };
    row("RichTextBox1", {60, 480, 4095, 9225}, 0xC0E0FF, {});
    row("RichTextBox2", {4200, 480, 4515, 9225}, 0xFFFFFF, {});
    row("List1", {8820, 480, 1512, 9225}, 0xC0E0FF, {});
    row("List2", {10500, 480, 1512, 9225}, 0xFFFFFF, {});
    row("List3", {12180, 480, 1512, 9225}, 0xE0E0E0, {});
    row("Label1", {120, 240, 3552, 372}, 0, QStringLiteral("Claims"));
    row("Label2", {4320, 240, 4272, 432}, 0, QStringLiteral("Disclosure"));
    row("Label3", {8820, 240, 1512, 372}, 0, QStringLiteral("Claims Index"));
    row("Label4", {10560, 0, 1212, 552}, 0, QStringLiteral("Disclosure Index"));
    row("Label5", {12180, 0, 1512, 432}, 0, QStringLiteral("Words in Claims not in disclosure"));
}

// Before the first resize, every control stands where the design puts it.
void TestTrevaskLayout::controlsFollowTheDesignTable() {
    QFETCH(QString, name);
    QFETCH(QRect, designTwips);
    QFETCH(uint, background);
    QFETCH(QString, caption);
    ResultsRecord record;
    trevask window(record);
    auto* control = window.findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget(), &window);
    QCOMPARE(control->geometry(), QRect(pixels(designTwips.x()), pixels(designTwips.y()), pixels(designTwips.width()),
                                        pixels(designTwips.height())));
    QVERIFY(control->isEnabled());
    QVERIFY(!control->isHidden());

    if (auto* label = qobject_cast<QLabel*>(control)) {
        QCOMPARE(label->text(), caption);
        QCOMPARE(label->font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(label->font().pointSizeF(), 9.75);
        QCOMPARE(label->font().weight(), QFont::Normal);
        QVERIFY(label->wordWrap());
        QVERIFY(!label->autoFillBackground());
        QCOMPARE(label->palette().color(QPalette::Window), window.palette().color(QPalette::Window));
        return;
    }
    QCOMPARE(control->font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(control->font().pointSizeF(), 8.25);
    QCOMPARE(control->palette().color(QPalette::Base), bgrColor(background));
    if (auto* box = qobject_cast<QPlainTextEdit*>(control)) {
        QCOMPARE(box, name == QLatin1String("RichTextBox1") ? window.RichTextBox1 : window.RichTextBox2);
        QVERIFY(box->toPlainText().isEmpty());
        QVERIFY(box->isReadOnly());
        QVERIFY(box->textInteractionFlags() & Qt::TextSelectableByKeyboard);
    } else {
        auto* list = qobject_cast<WordList*>(control);
        QVERIFY(list);
        QCOMPARE(list->count(), 0);
        QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
    }
}

void TestTrevaskLayout::focusOrderFollowsTheDesign() {
    ResultsRecord record;
    trevask window(record);
    const QList<QWidget*> expected{window.RichTextBox1, window.RichTextBox2, window.List1, window.List2, window.List3};
    QList<QWidget*> order;
    QWidget* w = window.RichTextBox1;
    do {
        if (w->parentWidget() == &window && (w->focusPolicy() & Qt::TabFocus))
            order << w;
        w = w->nextInFocusChain();
    } while (w != window.RichTextBox1 && order.size() <= expected.size());
    QCOMPARE(order, expected);
    for (QLabel* label : {window.Label1, window.Label2, window.Label3, window.Label4, window.Label5})
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
}

// A pick in each list reaches its own handler, which searches its own box; the find in List3 arms Timer1, whose
// tick types the word into List2.
void TestTrevaskLayout::picksReachTheirHandlersAndTheTimerItsTick() {
    QStringList messages;
    const MessageHandler previous = setMessageHandler([&messages](QWidget*, const QString& text) { messages << text; });
    ResultsRecord record;
    trevask window(record);
    window.RichTextBox1->setPlainText(QStringLiteral("a claimed word"));
    window.RichTextBox2->setPlainText(QStringLiteral("the disclosed word"));
    window.start = 1;
    window.List1->addItem(QStringLiteral("claimed"));
    window.List2->addItem(QStringLiteral("word"));
    window.List2->addItem(QStringLiteral("disclosed"));
    window.List3->addItem(QStringLiteral("word"));

    QTest::keyClick(window.List1, Qt::Key_Down);
    QCOMPARE(window.la.toLongLong(), 2);
    QTest::keyClick(window.List2, Qt::Key_Down);
    QCOMPARE(window.la.toLongLong(), 4);
    QTest::keyClick(window.List3, Qt::Key_Down);
    QCOMPARE(window.la.toLongLong(), 10);
    QVERIFY(window.Timer1->isActive());

    QTRY_COMPARE(window.List2->item(window.List2->selectedPosition()), QStringLiteral("word"));
    QTRY_VERIFY(!window.flagclick3.toBool());
    QCOMPARE(window.la.toLongLong(), 10); // the echo's pick in List2 searched nothing
    setMessageHandler(previous);
    QCOMPARE(messages, QStringList());
}

void TestTrevaskLayout::loadStepClearsTheEchoFlagAndVariablesLiveInTheRecord() {
    ResultsRecord record;
    record.flagclick3 = true;
    record.previtem = QStringLiteral("device");
    trevask window(record);
    QCOMPARE(record.flagclick3.metaType(), QMetaType::fromType<bool>());
    QCOMPARE(record.flagclick3.toBool(), false);
    QCOMPARE(window.previtem.toString(), QStringLiteral("device"));
    QVERIFY(window.tampon.isNull());

    window.start = 7;
    window.la = -1;
    window.tampon = QStringLiteral("claim");
    QCOMPARE(record.start.toInt(), 7);
    QCOMPARE(record.la.toInt(), -1);
    QCOMPARE(record.tampon.toString(), QStringLiteral("claim"));
}

void TestTrevaskLayout::closingDestroysTheWindowButNotTheRecord() {
    ResultsRecord record;
    QPointer<trevask> window = new trevask(record);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->previtem = QStringLiteral("device");
    window->flagclick3 = true;
    QPointer<QWidget> list = window->List1;
    QVERIFY(window->close());
    QTRY_VERIFY(window.isNull());
    QVERIFY(list.isNull());
    QCOMPARE(record.previtem.toString(), QStringLiteral("device"));
    QCOMPARE(record.flagclick3.toBool(), true);

    trevask again(record);
    QCOMPARE(record.flagclick3.toBool(), false);
    QCOMPARE(again.previtem.toString(), QStringLiteral("device"));
}

// 872 pixels is the design client width (13200 twips outside). Worked out by hand: the claims box at 2 px (30
// twips) and 273 px (4100 twips rounded); the disclosure box at 4095 + 30 + 20 = 4145 twips, 276 px; List1 at
// 4095 + 4145 + 20 = 8260 twips, 551 px; List2 at 8260 + 1500 + 20 = 9780, 652 px; List3 at 11300, 753 px; each
// heading at its column's reported left + 10 twips, one pixel further.
void TestTrevaskLayout::showingLaysTheColumnsOutAtTheDesignWidth() {
    ResultsRecord record;
    trevask window(record);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.width(), 872);
    const std::array<int, 5> lefts{2, 276, 551, 652, 753};
    const std::array<int, 5> widths{273, 273, 100, 100, 100};
    for (int i = 0; i < 5; ++i) {
        const QWidget* column = window.findChild<QWidget*>(QLatin1String(kColumnNames[i]));
        const QWidget* label = window.findChild<QWidget*>(QLatin1String(kLabelNames[i]));
        QCOMPARE(column->x(), lefts[i]);
        QCOMPARE(column->width(), widths[i]);
        QCOMPARE(label->x(), lefts[i] + 1);
    }
    QVERIFY(window.List3->geometry().right() < window.width());
}

void TestTrevaskLayout::everyWidthKeepsTheRuleUnderPixelRounding_data() {
    QTest::addColumn<int>("width");
    for (int width : {872, 436, 1744, 1000, 613, 300, 40})
        QTest::addRow("%d px", width) << width;
}

// Each step's relation, checked against what the widgets report in twips (15 a pixel) after the real resize.
void TestTrevaskLayout::everyWidthKeepsTheRuleUnderPixelRounding() {
    QFETCH(int, width);
    ResultsRecord record;
    trevask window(record);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    resizeShown(window, width, 729);

    const double outer = width * 15.0 + 120;
    auto f = [outer](double k) { return std::floor(outer / 13200 * k); };
    auto twipsLeft = [](const QWidget* w) { return w->x() * 15.0; };
    auto twipsWidth = [](const QWidget* w) { return w->width() * 15.0; };
    const QWidget* box1 = window.RichTextBox1;
    const QWidget* box2 = window.RichTextBox2;
    const double x1 = twipsLeft(box1);
    const double w1 = twipsWidth(box1);
    const double w2 = twipsWidth(box2);
    const double w3 = twipsWidth(window.List1);
    const double w4 = twipsWidth(window.List2);

    QCOMPARE(x1, 30.0);
    QCOMPARE(box1->width(), pixels(f(4100)));
    QCOMPARE(box2->x(), pixels(w1 + x1 + 20));
    QCOMPARE(box2->width(), pixels(f(4100)));
    QCOMPARE(window.List1->x(), pixels(w2 + (w1 + x1 + 20) + 20));
    QCOMPARE(window.List1->width(), pixels(f(1500)));
    QCOMPARE(window.List2->x(), pixels(w2 + (w1 + x1 + 20) + 20 + w3 + 20));
    QCOMPARE(window.List2->width(), pixels(f(1500)));
    QCOMPARE(window.List3->x(), pixels(w2 + (w1 + x1 + 20) + 20 + w3 + 20 + w4 + 20));
    QCOMPARE(window.List3->width(), pixels(f(1500)));
    for (int i = 0; i < 5; ++i) {
        const QWidget* column = window.findChild<QWidget*>(QLatin1String(kColumnNames[i]));
        const QWidget* label = window.findChild<QWidget*>(QLatin1String(kLabelNames[i]));
        QCOMPARE(label->x(), pixels(twipsLeft(column) + 10));
        if (i > 0) {
            const QWidget* previous = window.findChild<QWidget*>(QLatin1String(kColumnNames[i - 1]));
            QVERIFY2(previous->geometry().right() < column->x(), kColumnNames[i]); // never overlapping
        }
    }
}

void TestTrevaskLayout::heightChangesMoveNothing() {
    ResultsRecord record;
    trevask window(record);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    resizeShown(window, 1000, 729);
    const QList<QRect> laidOut = geometries(window);
    for (int height : {300, 1400, 729}) {
        resizeShown(window, 1000, height);
        QCOMPARE(geometries(window), laidOut);
    }
    QCOMPARE(window.List2->height(), 9225 / 15);
    QCOMPARE(window.Label4->geometry().top(), 0);
}

QTEST_MAIN(TestTrevaskLayout)
#include "tst_trevask_layout.moc"
