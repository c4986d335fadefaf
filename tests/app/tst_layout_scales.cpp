// Both windows as a user at 96 or at 192 dpi sees them: CTest runs this twice, the second time with
// QT_SCALE_FACTOR=2. Narrower and wider than designed, every column and control keeps its proportional place,
// every caption fits its control without running into another one, and every control has an accessible name.

#include "input/merovin.h"
#include "results/trevask.h"
#include "results/word_list.h"
#include "ui/twips.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTest>
#include <QTextEdit>

#include <cmath>
#include <cstdio>
#include <optional>

using namespace claimcheck;

namespace {

// A position or width within a pixel of `twips`: the controls snap to whole pixels.
bool withinAPixel(int pixels, double twips) {
    return std::abs(pixels - twips / kTwipsPerPixel) <= 1.0;
}

// Outer width in twips of a window whose client is `clientPixels` wide: the design counts a 60-twip border each
// side.
double outerWidth(int clientPixels) {
    return double(clientPixels) * kTwipsPerPixel + 120;
}

QString describe(const QWidget* w) {
    return QStringLiteral("%1 at %2,%3 %4x%5")
        .arg(w->objectName())
        .arg(w->x())
        .arg(w->y())
        .arg(w->width())
        .arg(w->height());
}

// The pixels a caption inks when drawn from the top left of a box `width` wide and as tall as need be, at the
// screen's device pixel ratio: a caption too long for its control shows as ink beyond the control's room. Ink,
// not the font's line boxes, because a line box holds room for descenders that a caption may not have.
QRect inkOf(const QFont& font, int width, int flags, const QString& text, qreal devicePixelRatio) {
    const int height = 400;
    QImage image(QSize(width, height) * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, 0, width, height), flags, text);
    painter.end();
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) > 64)
                ink |= QRect(x, y, 1, 1);
    }
    // Back to the control's own pixels, rounding outwards.
    return QRect(QPoint(int(std::floor(ink.left() / devicePixelRatio)), int(std::floor(ink.top() / devicePixelRatio))),
                 QPoint(int(std::ceil((ink.right() + 1) / devicePixelRatio)) - 1,
                        int(std::ceil((ink.bottom() + 1) / devicePixelRatio)) - 1));
}

struct Caption {
    QRect ink;  // in the parent's coordinates
    QRect room; // where the control lets it be drawn
};

std::optional<Caption> captionOf(const QWidget* control) {
    const qreal ratio = control->devicePixelRatioF();
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        const QRect room = label->contentsRect();
        const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        const QRect ink = inkOf(label->font(), room.width(), flags, label->text(), ratio);
        return Caption{ink.translated(room.topLeft() + label->pos()), room.translated(label->pos())};
    }
    if (const auto* button = qobject_cast<const QPushButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        // Drawn centred on one line: where it starts, measured from the left of the room.
        const int advance = button->fontMetrics().horizontalAdvance(button->text());
        const QRect ink = inkOf(button->font(), advance + 8, Qt::AlignLeft | Qt::AlignTop, button->text(), ratio);
        const QPoint origin(room.left() + (room.width() - advance) / 2,
                            room.top() + (room.height() - button->fontMetrics().height()) / 2);
        return Caption{ink.translated(origin + button->pos()), room.translated(button->pos())};
    }
    return std::nullopt;
}

// Every caption of the window's controls fits its control and meets no other control nor another caption.
// `behind` lists the controls that the design puts out of sight behind another. Labels may overlap each other
// (their widths are the design's, whatever the columns' widths), but their captions may not.
void expectCaptionsFit(const QList<QWidget*>& controls, const QList<QWidget*>& behind) {
    for (QWidget* control : controls) {
        const std::optional<Caption> caption = captionOf(control);
        if (!caption)
            continue;
        QVERIFY2(caption->room.contains(caption->ink),
                 qPrintable(QStringLiteral("caption of %1 is cut: it inks %2x%3 from %4,%5, room %6x%7 from %8,%9")
                                .arg(describe(control))
                                .arg(caption->ink.width())
                                .arg(caption->ink.height())
                                .arg(caption->ink.x())
                                .arg(caption->ink.y())
                                .arg(caption->room.width())
                                .arg(caption->room.height())
                                .arg(caption->room.x())
                                .arg(caption->room.y())));
        for (QWidget* other : controls) {
            if (other == control || behind.contains(other))
                continue;
            const std::optional<Caption> otherCaption = captionOf(other);
            const QRect obstacle = qobject_cast<QLabel*>(other) ? otherCaption->ink : other->geometry();
            QVERIFY2(!caption->ink.intersects(obstacle),
                     qPrintable(QStringLiteral("caption of %1 runs into %2").arg(describe(control), describe(other))));
        }
    }
}

void expectAccessibleNames(const QList<QWidget*>& controls) {
    QStringList seen;
    for (QWidget* control : controls) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        QVERIFY2(accessible, qPrintable(control->objectName()));
        const QString name = accessible->text(QAccessible::Name).trimmed();
        QVERIFY2(!name.isEmpty(), qPrintable(control->objectName() + QStringLiteral(" has no accessible name")));
        seen << control->objectName() + QStringLiteral(": ") + name;
    }
    std::printf("accessible names: %s\n", qPrintable(seen.join(QStringLiteral("; "))));
}

template <typename T> T* Control(QWidget& window, const char* name) {
    T* control = window.findChild<T*>(QLatin1String(name));
    if (!control)
        qFatal("no control %s", name);
    return control;
}

} // namespace

class LayoutScalesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void inputWindow_data();
    void inputWindow();
    void resultsWindow_data();
    void resultsWindow();
};

// The run must be at the scale that CTest asked for, or it proves nothing about that scale.
void LayoutScalesTest::initTestCase() {
    const double asked = qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? qgetenv("QT_SCALE_FACTOR").toDouble() : 1.0;
    QWidget probe;
    probe.show();
    QVERIFY(QTest::qWaitForWindowExposed(&probe));
    std::printf("layout at %g dpi (device pixel ratio %g, logical dpi %d)\n", 96 * probe.devicePixelRatioF(),
                probe.devicePixelRatioF(), probe.logicalDpiX());
    QCOMPARE(probe.devicePixelRatioF(), asked);
    QCOMPARE(probe.grab().size(), probe.size() * asked);
}

void LayoutScalesTest::inputWindow_data() {
    QTest::addColumn<double>("scale");
    QTest::newRow("half") << 0.5;
    QTest::newRow("three quarters") << 0.75;
    QTest::newRow("design width") << 1.0;
    QTest::newRow("1.3 times") << 1.3;
    QTest::newRow("twice") << 2.0;
}

void LayoutScalesTest::inputWindow() {
    QFETCH(double, scale);
    merovin window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.resize(int(std::lround(window.width() * scale)), window.height());
    QTRY_COMPARE(window.centralWidget()->width(), window.width());

    auto* claims = Control<QTextEdit>(window, "RichTextBox1");
    auto* disclosure = Control<QTextEdit>(window, "RichTextBox2");
    const double w = outerWidth(window.centralWidget()->width());
    const auto g = [w](double k) { return std::floor(w / 12660 * k); };
    struct Place {
        const char* name;
        double left;
        double width; // < 0: the control keeps its design width
        int top, height;
    };
    const Place places[] = {
        {"Command1", g(9600), -1, 9840, 495},
        {"RichTextBox1", g(120), g(5295), 840, 8775},
        // The disclosure box follows the claims box as it stands, by g(825).
        {"RichTextBox2", (claims->x() + claims->width()) * kTwipsPerPixel + g(825), g(5295), 840, 8775},
        {"Label1", g(360), -1, 480, 615},
        {"Label2", g(6600), -1, 480, 615},
        {"Label3", g(240), -1, 9840, 255},
        {"Text1", g(120), g(2655), 10080, 375},
        {"Command2", g(3120), -1, 10080, 375},
    };
    for (const Place& place : places) {
        const QWidget* control = Control<QWidget>(window, place.name);
        QVERIFY2(withinAPixel(control->x(), place.left), qPrintable(describe(control)));
        if (place.width >= 0)
            QVERIFY2(withinAPixel(control->width(), place.width), qPrintable(describe(control)));
        QVERIFY2(withinAPixel(control->y(), place.top) && withinAPixel(control->height(), place.height),
                 qPrintable(describe(control)));
    }
    QCOMPARE(disclosure->width(), claims->width());
    QVERIFY(disclosure->geometry().right() < window.centralWidget()->width());

    const QList<QWidget*> controls = {Control<QWidget>(window, "Command1"),
                                      claims,
                                      disclosure,
                                      Control<QWidget>(window, "Label1"),
                                      Control<QWidget>(window, "Label2"),
                                      Control<QWidget>(window, "Label3"),
                                      Control<QWidget>(window, "Text1"),
                                      Control<QWidget>(window, "Command2"),
                                      Control<QWidget>(window, "WebBrowser1")};
    // The web view lies behind the claims box, out of sight, by design.
    expectCaptionsFit(controls, {Control<QWidget>(window, "WebBrowser1")});
    expectAccessibleNames(controls);
}

// Narrower than about 0.73 of the design width the list columns get narrower than "Claims Index", and the
// headings above them, which keep their design widths, run into each other.
void LayoutScalesTest::resultsWindow_data() {
    QTest::addColumn<double>("scale");
    QTest::newRow("three quarters") << 0.75;
    QTest::newRow("design width") << 1.0;
    QTest::newRow("1.3 times") << 1.3;
    QTest::newRow("twice") << 2.0;
}

void LayoutScalesTest::resultsWindow() {
    QFETCH(double, scale);
    ResultsRecord record;
    trevask window(record);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.resize(int(std::lround(window.width() * scale)), window.height());
    QTRY_COMPARE(window.List3->x() > 0, true);

    const double w = outerWidth(window.width());
    const auto f = [w](double k) { return std::floor(w / 13200 * k); };
    // Five columns from left to right, 20 twips apart, each as wide as its share of the window.
    const QList<QWidget*> columns = {window.RichTextBox1, window.RichTextBox2, window.List1, window.List2,
                                     window.List3};
    const QList<QLabel*> headings = {window.Label1, window.Label2, window.Label3, window.Label4, window.Label5};
    const double widths[] = {f(4100), f(4100), f(1500), f(1500), f(1500)};
    QVERIFY2(withinAPixel(window.RichTextBox1->x(), 30), qPrintable(describe(window.RichTextBox1)));
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const QWidget* column = columns[i];
        QVERIFY2(withinAPixel(column->width(), widths[i]), qPrintable(describe(column)));
        QVERIFY2(withinAPixel(column->y(), 480) && withinAPixel(column->height(), 9225), qPrintable(describe(column)));
        if (i > 0) {
            const int gap = column->x() - (columns[i - 1]->x() + columns[i - 1]->width());
            QVERIFY2(withinAPixel(gap, 20) && gap >= 1, qPrintable(describe(column)));
        }
        const int indent = headings[i]->x() - column->x();
        QVERIFY2(withinAPixel(indent, 10), qPrintable(describe(headings[i])));
    }
    QVERIFY(window.List3->geometry().right() < window.width());

    QList<QWidget*> controls(columns.cbegin(), columns.cend());
    for (QLabel* heading : headings)
        controls << heading;
    expectCaptionsFit(controls, {});
    expectAccessibleNames(controls);
}

QTEST_MAIN(LayoutScalesTest)
#include "tst_layout_scales.moc"
