#include "ui/box_text.h"
#include "ui/look.h"
#include "ui/twips.h"

#include <QApplication>
#include <QFontInfo>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QStringListModel>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <optional>

using namespace claimcheck;

class TestLook : public QObject {
    Q_OBJECT
private slots:
    void boxPlainTextKeepsEveryCharacterAndReadsBreaksAsNewlines_data();
    void boxPlainTextKeepsEveryCharacterAndReadsBreaksAsNewlines();
    void boxPlainTextIndexesAreCursorPositionsAcrossFrames();
    void bgrColourReadsBlueGreenRed_data();
    void bgrColourReadsBlueGreenRed();
    void contrastRatioIsWcags_data();
    void contrastRatioIsWcags();
    void readableShadeKeepsWhatReadsAndShadesWhatDoesNot_data();
    void readableShadeKeepsWhatReadsAndShadesWhatDoesNot();
    void aDesignBackgroundBringsBlackTextInEveryGroup();
    void aDesignTextColourFollowsEveryLaterPalette();
    void sansSerifFontIsTheDesignFaceOrALikeSansSerif_data();
    void sansSerifFontIsTheDesignFaceOrALikeSansSerif();
    void appIconHasEveryRenderedSizeLoadedOnce();
    void twipsRoundToTheNearestPixel_data();
    void twipsRoundToTheNearestPixel();
    void outerWidthAddsTheSizingBorder();
    void designGeometryConvertsEveryEdge();
};

void TestLook::boxPlainTextKeepsEveryCharacterAndReadsBreaksAsNewlines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("no-break space kept") << QStringLiteral("a\u00A0b") << QStringLiteral("a\u00A0b");
    QTest::newRow("line feed") << QStringLiteral("a\nb") << QStringLiteral("a\nb");
    QTest::newRow("carriage return line feed") << QStringLiteral("a\r\nb") << QStringLiteral("a\nb");
    QTest::newRow("line separator") << QStringLiteral("a\u2028b") << QStringLiteral("a\nb");
    QTest::newRow("paragraph separator") << QStringLiteral("a\u2029b") << QStringLiteral("a\nb");
    QTest::newRow("trailing break") << QStringLiteral("claim\n") << QStringLiteral("claim\n");
    QTest::newRow("tabs and symbols") << QStringLiteral("\t{x}+^%~\t") << QStringLiteral("\t{x}+^%~\t");
    QTest::newRow("surrogate pair") << QStringLiteral("\U00010400x") << QStringLiteral("\U00010400x");
}

void TestLook::boxPlainTextKeepsEveryCharacterAndReadsBreaksAsNewlines() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QPlainTextEdit plain;
    plain.setPlainText(text);
    QCOMPARE(boxPlainText(*plain.document()), expected);
    QTextEdit rich;
    rich.setPlainText(text);
    QCOMPARE(boxPlainText(*rich.document()), expected);
}

// A table frame puts frame marks into the document; each must count as one character, as the cursor counts it.
void TestLook::boxPlainTextIndexesAreCursorPositionsAcrossFrames() {
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("before\u00A0x"));
    cursor.insertTable(1, 2);
    cursor.insertText(QStringLiteral("cell"));
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("after"));

    QVERIFY(document.toRawText().contains(QChar(0xFDD0)));
    const QString text = boxPlainText(document);
    QCOMPARE(text.size(), document.characterCount() - 1);
    for (int i = 0; i < text.size(); ++i) {
        const QChar stored = document.characterAt(i);
        const bool isBreak = stored == QChar::ParagraphSeparator || stored == QChar::LineSeparator ||
                             stored.unicode() == 0xFDD0 || stored.unicode() == 0xFDD1;
        QCOMPARE(text.at(i), isBreak ? QChar(u'\n') : stored);
    }
    QVERIFY(text.contains(QStringLiteral("before\u00A0x")));
    QVERIFY(text.contains(QStringLiteral("cell")));
}

void TestLook::bgrColourReadsBlueGreenRed_data() {
    QTest::addColumn<uint>("bgr");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("red") << 255u << QColor(255, 0, 0);
    QTest::newRow("blue") << 0xFF0000u << QColor(0, 0, 255);
    QTest::newRow("light peach") << 0xC0E0FFu << QColor(255, 224, 192);
    QTest::newRow("light grey") << 0xE0E0E0u << QColor(224, 224, 224);
    QTest::newRow("text colour") << 0xD15A4Eu << QColor(78, 90, 209);
}

void TestLook::bgrColourReadsBlueGreenRed() {
    QFETCH(uint, bgr);
    QFETCH(QColor, expected);
    QCOMPARE(bgrColor(bgr), expected);
}

// Reference values of the WCAG 2 contrast ratio (as its own examples and common checkers give them).
void TestLook::contrastRatioIsWcags_data() {
    QTest::addColumn<QColor>("a");
    QTest::addColumn<QColor>("b");
    QTest::addColumn<double>("expected");
    QTest::newRow("black on white") << QColor(Qt::black) << QColor(Qt::white) << 21.0;
    QTest::newRow("white on black") << QColor(Qt::white) << QColor(Qt::black) << 21.0;
    QTest::newRow("same colour") << QColor(0x12, 0x60, 0x8a) << QColor(0x12, 0x60, 0x8a) << 1.0;
    QTest::newRow("the lightest grey that reads on white") << QColor(0x76, 0x76, 0x76) << QColor(Qt::white) << 4.54;
    QTest::newRow("one step lighter does not") << QColor(0x77, 0x77, 0x77) << QColor(Qt::white) << 4.48;
    QTest::newRow("pure red on white") << QColor(Qt::red) << QColor(Qt::white) << 4.0;
    QTest::newRow("pure blue on white") << QColor(Qt::blue) << QColor(Qt::white) << 8.59;
    QTest::newRow("mid grey on black") << QColor(0x80, 0x80, 0x80) << QColor(Qt::black) << 5.32;
}

void TestLook::contrastRatioIsWcags() {
    QFETCH(QColor, a);
    QFETCH(QColor, b);
    QFETCH(double, expected);
    QVERIFY2(qAbs(contrastRatio(a, b) - expected) < 0.01, qPrintable(QString::number(contrastRatio(a, b))));
}

void TestLook::readableShadeKeepsWhatReadsAndShadesWhatDoesNot_data() {
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<bool>("kept");
    const QColor headingBlue(78, 90, 209);
    QTest::newRow("heading blue on white") << headingBlue << QColor(Qt::white) << true;
    QTest::newRow("heading blue on Fusion's light window") << headingBlue << QColor(0xef, 0xef, 0xef) << true;
    QTest::newRow("heading blue on a dark scheme's window") << headingBlue << QColor(0x22, 0x20, 0x20) << false;
    QTest::newRow("heading blue on black") << headingBlue << QColor(Qt::black) << false;
    QTest::newRow("light yellow on white") << QColor(255, 255, 160) << QColor(Qt::white) << false;
    QTest::newRow("black on a mid grey") << QColor(Qt::black) << QColor(0x77, 0x77, 0x77) << true;
    QTest::newRow("dark red on a dark grey") << QColor(120, 0, 0) << QColor(0x30, 0x30, 0x30) << false;
}

void TestLook::readableShadeKeepsWhatReadsAndShadesWhatDoesNot() {
    QFETCH(QColor, colour);
    QFETCH(QColor, background);
    QFETCH(bool, kept);
    const QColor shade = readableShade(colour, background);
    QVERIFY2(contrastRatio(shade, background) >= kLeastTextContrast, qPrintable(shade.name()));
    if (kept) {
        QCOMPARE(shade, colour);
        return;
    }
    QVERIFY(shade != colour);
    // A shade of the same colour, mixed no further than it must be: not plain white or black, the same hue, and only
    // just past the least contrast.
    QVERIFY2(shade != QColor(Qt::white) && shade != QColor(Qt::black), qPrintable(shade.name()));
    if (colour.hslHue() >= 0)
        QVERIFY2(qAbs(shade.hslHue() - colour.hslHue()) <= 3, qPrintable(shade.name()));
    QVERIFY2(contrastRatio(shade, background) < kLeastTextContrast + 0.1, qPrintable(shade.name()));
}

namespace {

// A dark scheme as a theme hands it to the program: light text on dark backgrounds in every group.
QPalette darkPalette() {
    QPalette dark(QColor(0x42, 0x42, 0x45), QColor(0x22, 0x20, 0x20));
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor text = group == QPalette::Disabled ? QColor(0x80, 0x80, 0x80) : QColor(Qt::white);
        dark.setColor(group, QPalette::WindowText, text);
        dark.setColor(group, QPalette::Text, text);
        dark.setColor(group, QPalette::ButtonText, text);
        dark.setColor(group, QPalette::PlaceholderText, QColor(255, 255, 255, 128));
        dark.setColor(group, QPalette::Base, QColor(0x3d, 0x3d, 0x3d));
        dark.setColor(group, QPalette::Window, QColor(0x22, 0x20, 0x20));
        dark.setColor(group, QPalette::Highlight, QColor(0x12, 0x60, 0x8a));
        dark.setColor(group, QPalette::HighlightedText, QColor(0xf9, 0xf9, 0xf9));
    }
    return dark;
}

// Sets the application's palette for the life of the object.
class ApplicationPalette {
public:
    explicit ApplicationPalette(const QPalette& palette) : m_previous(QApplication::palette()) { set(palette); }
    ~ApplicationPalette() { set(m_previous); }
    ApplicationPalette(const ApplicationPalette&) = delete;
    ApplicationPalette& operator=(const ApplicationPalette&) = delete;

private:
    // The widgets that exist learn of a new application palette through posted events.
    static void set(const QPalette& palette) {
        QApplication::setPalette(palette);
        QCoreApplication::processEvents();
    }

    QPalette m_previous;
};

constexpr QPalette::ColorGroup kGroups[] = {QPalette::Active, QPalette::Inactive, QPalette::Disabled};

} // namespace

// Set before the dark palette comes (as a scheme changed while the program runs) and after it (as a scheme the
// program starts with).
void TestLook::aDesignBackgroundBringsBlackTextInEveryGroup() {
    const QColor peach(255, 224, 192);
    for (const bool paletteFirst : {false, true}) {
        QWidget window;
        auto* box = new QPlainTextEdit(&window);
        auto* list = new QListView(&window);
        std::optional<ApplicationPalette> dark;
        if (paletteFirst)
            dark.emplace(darkPalette());
        setDesignBackground(box, peach);
        setDesignBackground(list, peach);
        if (!paletteFirst)
            dark.emplace(darkPalette());

        const QPalette theme = darkPalette();
        for (QWidget* control : {static_cast<QWidget*>(box), static_cast<QWidget*>(list)}) {
            for (const QPalette::ColorGroup group : kGroups) {
                const QPalette palette = control->palette();
                QCOMPARE(palette.color(group, QPalette::Base), peach);
                QCOMPARE(palette.color(group, QPalette::Text), QColor(Qt::black));
                QCOMPARE(palette.color(group, QPalette::PlaceholderText), QColor(Qt::black));
                // The selection, and whatever the control draws on the theme's own colours, stay the theme's.
                QCOMPARE(palette.color(group, QPalette::Highlight), theme.color(group, QPalette::Highlight));
                QCOMPARE(palette.color(group, QPalette::HighlightedText),
                         theme.color(group, QPalette::HighlightedText));
                QCOMPARE(palette.color(group, QPalette::WindowText), theme.color(group, QPalette::WindowText));
                QCOMPARE(palette.color(group, QPalette::Window), theme.color(group, QPalette::Window));
            }
            // The viewport, where the text is drawn, has the same colours.
            const QPalette viewport = static_cast<QAbstractScrollArea*>(control)->viewport()->palette();
            QCOMPARE(viewport.color(QPalette::Text), QColor(Qt::black));
            QCOMPARE(viewport.color(QPalette::Base), peach);
        }
    }
}

void TestLook::aDesignTextColourFollowsEveryLaterPalette() {
    const QColor headingBlue(78, 90, 209);
    const QPalette light = QApplication::style()->standardPalette();
    ApplicationPalette start(light);
    QWidget window;
    auto* heading = new QLabel(QStringLiteral("Insert Claims Here"), &window);
    setDesignTextColor(heading, headingBlue);
    QCOMPARE(heading->palette().color(QPalette::Active, QPalette::WindowText), headingBlue);

    for (int round = 0; round < 2; ++round) {
        {
            ApplicationPalette dark(darkPalette());
            for (const QPalette::ColorGroup group : kGroups) {
                const QPalette palette = heading->palette();
                QCOMPARE(palette.color(group, QPalette::Window), darkPalette().color(group, QPalette::Window));
                const QColor shown = palette.color(group, QPalette::WindowText);
                QCOMPARE(shown, readableShade(headingBlue, palette.color(group, QPalette::Window)));
                QVERIFY(shown != headingBlue);
            }
        }
        // Back on the light palette, the design's own colour.
        for (const QPalette::ColorGroup group : kGroups)
            QCOMPARE(heading->palette().color(group, QPalette::WindowText), headingBlue);
    }
}

void TestLook::sansSerifFontIsTheDesignFaceOrALikeSansSerif_data() {
    QTest::addColumn<QFont>("font");
    QTest::addColumn<double>("pointSize");
    QTest::addColumn<int>("weight");
    QTest::newRow("control font") << controlFont() << 8.25 << int(QFont::Normal);
    QTest::newRow("results headings") << sansSerifFont(9.75) << 9.75 << int(QFont::Normal);
    QTest::newRow("input headings") << sansSerifFont(12, QFont::Bold) << 12.0 << int(QFont::Bold);
}

void TestLook::sansSerifFontIsTheDesignFaceOrALikeSansSerif() {
    QFETCH(QFont, font);
    QFETCH(double, pointSize);
    QFETCH(int, weight);
    QCOMPARE(font.family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(font.pointSizeF(), pointSize);
    QCOMPARE(int(font.weight()), weight);

    const QFontInfo shown(font);
    const QStringList likeFaces{QStringLiteral("MS Sans Serif"),   QStringLiteral("Microsoft Sans Serif"),
                                QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                QStringLiteral("Helvetica"),       QStringLiteral("DejaVu Sans")};
    QVERIFY2(likeFaces.contains(shown.family()), qPrintable(shown.family()));
    QVERIFY(!shown.fixedPitch());
    QVERIFY(!shown.italic());
    QCOMPARE(int(shown.weight()), weight);
    QVERIFY(qAbs(shown.pointSizeF() - pointSize) < 0.5);
}

void TestLook::appIconHasEveryRenderedSizeLoadedOnce() {
    const QIcon icon = appIcon();
    QVERIFY(!icon.isNull());
    QCOMPARE(appIcon().cacheKey(), icon.cacheKey());
    // The sizes of the icon theme, each rendered from the one SVG (packaging/icons/claimcheck.svg).
    QList<QSize> sizes = icon.availableSizes();
    std::sort(sizes.begin(), sizes.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
    const QList<QSize> expected{{16, 16}, {22, 22}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}};
    QCOMPARE(sizes, expected);

    // The design's 32 x 32 image: a white sheet with a green check mark over its lower right corner.
    const QImage image = icon.pixmap(32, 32).toImage();
    QCOMPARE(image.size(), QSize(32, 32));
    QCOMPARE(image.pixelColor(0, 31).alpha(), 0); // outside the sheet
    QCOMPARE(image.pixelColor(8, 5), QColor(Qt::white));
    const QColor check = image.pixelColor(21, 26);
    QVERIFY2(check.green() > 100 && check.red() < 80 && check.blue() < 100, qPrintable(check.name()));
    // The largest size is the same drawing at eight times the scale.
    const QImage large = icon.pixmap(256, 256).toImage();
    QCOMPARE(large.size(), QSize(256, 256));
    QCOMPARE(large.pixelColor(4, 252).alpha(), 0);
    QCOMPARE(large.pixelColor(68, 44), QColor(Qt::white));
    const QColor largeCheck = large.pixelColor(168, 208);
    QVERIFY2(largeCheck.green() > 100 && largeCheck.red() < 80 && largeCheck.blue() < 100,
             qPrintable(largeCheck.name()));
}

void TestLook::twipsRoundToTheNearestPixel_data() {
    QTest::addColumn<float>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("zero") << 0.0f << 0;
    QTest::newRow("just under half") << 7.0f << 0;
    QTest::newRow("just over half") << 8.0f << 1;
    QTest::newRow("30") << 30.0f << 2;
    QTest::newRow("gap after whole pixels rounds down") << 4145.0f << 276;
    QTest::newRow("heading indent rounds up") << 40.0f << 3;
    QTest::newRow("fractional twips") << 22.6f << 2;
    QTest::newRow("design list width") << 1512.0f << 101;
}

void TestLook::twipsRoundToTheNearestPixel() {
    QFETCH(float, twips);
    QFETCH(int, pixels);
    QWidget parent;
    QWidget child(&parent);
    child.setGeometry(5, 7, 11, 13);
    WidgetTwips control(&child);

    control.setLeft(twips);
    QCOMPARE(child.geometry(), QRect(pixels, 7, 11, 13));
    QCOMPARE(control.left(), double(pixels * kTwipsPerPixel));

    control.setWidth(twips);
    QCOMPARE(child.geometry(), QRect(pixels, 7, pixels, 13));
    QCOMPARE(control.width(), double(pixels * kTwipsPerPixel));
}

void TestLook::outerWidthAddsTheSizingBorder() {
    QWidget window;
    window.resize(872, 400);
    QCOMPARE(outerWidthTwips(&window), 13200.0);
    window.resize(836, 400);
    QCOMPARE(outerWidthTwips(&window), 12660.0);
}

void TestLook::designGeometryConvertsEveryEdge() {
    QWidget parent;
    QWidget child(&parent);
    setDesignGeometry(&child, 12180, 480, 1512, 372);
    QCOMPARE(child.geometry(), QRect(812, 32, 101, 25));
}

QTEST_MAIN(TestLook)
#include "tst_look.moc"
