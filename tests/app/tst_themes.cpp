// Both windows and the "Nothing else found" box under a light and two dark palettes, set before the windows open (as
// a scheme the program starts with) or while they are open (a scheme changed on a running desktop): every text the
// program draws reads on its own background, and the light palette shows the design's colours unchanged.
#include "input/merovin.h"
#include "message_box_watch.h"
#include "results/trevask.h"
#include "results/word_list.h"
#include "ui/look.h"
#include "ui/message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace claimcheck;
using claimcheck::testing::MessageBoxWatch;

namespace {

constexpr QPalette::ColorGroup kGroups[] = {QPalette::Active, QPalette::Inactive, QPalette::Disabled};

// qt6ct's "darker" scheme (/usr/share/qt6ct/colors/darker.conf), one colour a role in the order of QPalette's roles;
// its inactive colours are its active ones.
const char* const kDarkerActive[] = {"#ffffff", "#424245", "#979797", "#5e5c5b", "#302f2e", "#4a4947", "#ffffff",
                                     "#ffffff", "#ffffff", "#3d3d3d", "#222020", "#e7e4e0", "#12608a", "#f9f9f9",
                                     "#0986d3", "#a70b06", "#5c5b5a", "#ffffff", "#3f3f36", "#ffffff", "#80ffffff"};
const char* const kDarkerDisabled[] = {"#808080", "#424245", "#979797", "#5e5c5b", "#302f2e", "#4a4947", "#808080",
                                       "#ffffff", "#808080", "#3d3d3d", "#222020", "#e7e4e0", "#12608a", "#808080",
                                       "#0986d3", "#a70b06", "#5c5b5a", "#ffffff", "#3f3f36", "#ffffff", "#80ffffff"};

QPalette darkerScheme() {
    QPalette palette;
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto r = QPalette::ColorRole(role);
        palette.setColor(QPalette::Active, r, QColor::fromString(QLatin1String(kDarkerActive[role])));
        palette.setColor(QPalette::Inactive, r, QColor::fromString(QLatin1String(kDarkerActive[role])));
        palette.setColor(QPalette::Disabled, r, QColor::fromString(QLatin1String(kDarkerDisabled[role])));
    }
    return palette;
}

// The plainest dark palette: white on black, Qt deriving the other shades.
QPalette whiteOnBlack() {
    QPalette palette(QColor(Qt::white), QColor(Qt::black), QColor(Qt::darkGray), QColor(Qt::black), QColor(Qt::gray),
                     QColor(Qt::white), QColor(Qt::white), QColor(Qt::black), QColor(Qt::black));
    palette.setColor(QPalette::Highlight, QColor(0x30, 0x8c, 0xc6));
    palette.setColor(QPalette::HighlightedText, QColor(Qt::white));
    return palette;
}

QPalette lightDefault() {
    return QApplication::style()->standardPalette();
}

// A text colour that may be partly transparent, as it shows on its background.
QColor over(const QColor& text, const QColor& background) {
    const double a = text.alphaF();
    const auto mix = [a](int t, int b) { return int(std::lround(a * t + (1 - a) * b)); };
    return QColor(mix(text.red(), background.red()), mix(text.green(), background.green()),
                  mix(text.blue(), background.blue()));
}

// The strongest contrast of any pixel of the picture against the background: what the darkest (or lightest) stroke of
// its text reaches. A picture of nothing but its background gives 1.
double strongestContrast(const QImage& picture, const QColor& background) {
    double strongest = 1;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            strongest = std::max(strongest, contrastRatio(picture.pixelColor(x, y), background));
    return strongest;
}

// Sets the application's palette; the windows that are open learn of it through posted events.
void setApplicationPalette(const QPalette& palette) {
    QApplication::setPalette(palette);
    QCoreApplication::processEvents();
}

// One text the program draws: the control, the palette roles of its text and of what it is drawn on, and the groups
// in which it can show (the program disables none of its controls, so a control the theme colours whole is seen
// active or inactive only).
struct DrawnText {
    QString what;
    QWidget* control;
    QPalette::ColorRole text;
    QPalette::ColorRole background;
    bool everyGroup;
};

void verifyReadable(const DrawnText& drawn) {
    const QPalette palette = drawn.control->palette();
    for (const QPalette::ColorGroup group : kGroups) {
        if (group == QPalette::Disabled && !drawn.everyGroup)
            continue;
        const QColor background = palette.color(group, drawn.background);
        const QColor text = over(palette.color(group, drawn.text), background);
        const double contrast = contrastRatio(text, background);
        QVERIFY2(contrast >= kLeastTextContrast, qPrintable(QStringLiteral("%1, group %2: %3 on %4 is %5")
                                                                .arg(drawn.what)
                                                                .arg(int(group))
                                                                .arg(text.name(), background.name())
                                                                .arg(contrast, 0, 'f', 2)));
    }
}

struct Windows {
    merovin input;
    trevask* results = nullptr;

    void check() {
        input.show();
        input.RichTextBox1->setPlainText(QStringLiteral("1. A wheel comprising a hub and an axle."));
        input.RichTextBox2->setPlainText(QStringLiteral("The wheel has a hub and spokes."));
        input.Text1->setText(QStringLiteral("US4564563"));
        input.Command1->click();
        results = input.results().window();
    }

    std::vector<DrawnText> texts() const {
        std::vector<DrawnText> all = {
            {QStringLiteral("input heading Label1"), input.Label1, QPalette::WindowText, QPalette::Window, false},
            {QStringLiteral("input heading Label2"), input.Label2, QPalette::WindowText, QPalette::Window, false},
            {QStringLiteral("input Label3"), input.Label3, QPalette::WindowText, QPalette::Window, false},
            {QStringLiteral("Command1"), input.Command1, QPalette::ButtonText, QPalette::Button, false},
            {QStringLiteral("Command2"), input.Command2, QPalette::ButtonText, QPalette::Button, false},
            {QStringLiteral("number box"), input.Text1, QPalette::Text, QPalette::Base, false},
            {QStringLiteral("input claims box"), input.RichTextBox1, QPalette::Text, QPalette::Base, false},
            {QStringLiteral("input disclosure box"), input.RichTextBox2, QPalette::Text, QPalette::Base, false},
            {QStringLiteral("menu item"), input.menuBar(), QPalette::ButtonText, QPalette::Window, false},
            {QStringLiteral("pressed menu item"), input.menuBar(), QPalette::HighlightedText, QPalette::Highlight,
             false},
        };
        for (QLabel* label : {results->Label1, results->Label2, results->Label3, results->Label4, results->Label5})
            all.push_back({QStringLiteral("results ") + label->objectName(), label, QPalette::WindowText,
                           QPalette::Window, false});
        for (QWidget* control : designBackgrounds()) {
            all.push_back(
                {QStringLiteral("results ") + control->objectName(), control, QPalette::Text, QPalette::Base, true});
            all.push_back({QStringLiteral("results ") + control->objectName() + QStringLiteral(" placeholder"), control,
                           QPalette::PlaceholderText, QPalette::Base, true});
        }
        return all;
    }

    std::vector<QAbstractScrollArea*> designBackgrounds() const {
        return {results->RichTextBox1, results->RichTextBox2, results->List1, results->List2, results->List3};
    }
};

// The design's background of each of the results window's boxes and lists, in the order of designBackgrounds().
const QColor kDesignBackgrounds[] = {QColor(255, 224, 192), QColor(Qt::white), QColor(255, 224, 192), QColor(Qt::white),
                                     QColor(224, 224, 224)};

} // namespace

class ThemesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void everyTextReadsOnItsOwnBackground_data();
    void everyTextReadsOnItsOwnBackground();
    void theDesignBackgroundsShowTheirTextAsDrawn_data();
    void theDesignBackgroundsShowTheirTextAsDrawn();
    void theLightPaletteShowsTheDesignsColours();
    void theMessageBoxReadsInEveryScheme_data();
    void theMessageBoxReadsInEveryScheme();

private:
    QPalette m_startPalette;
};

void ThemesTest::initTestCase() {
    QApplication::setApplicationName(QStringLiteral("claimcheck"));
    m_startPalette = QApplication::palette();
}

void ThemesTest::cleanup() {
    setApplicationPalette(m_startPalette);
}

namespace {

void addSchemeRows() {
    QTest::addColumn<QPalette>("scheme");
    QTest::addColumn<bool>("whileOpen");
    const std::pair<const char*, QPalette> schemes[] = {
        {"light", lightDefault()}, {"darker", darkerScheme()}, {"white on black", whiteOnBlack()}};
    for (const auto& [name, palette] : schemes) {
        QTest::addRow("%s, at start", name) << palette << false;
        QTest::addRow("%s, while open", name) << palette << true;
    }
}

} // namespace

void ThemesTest::everyTextReadsOnItsOwnBackground_data() {
    addSchemeRows();
}

void ThemesTest::everyTextReadsOnItsOwnBackground() {
    QFETCH(QPalette, scheme);
    QFETCH(bool, whileOpen);
    if (!whileOpen)
        setApplicationPalette(scheme);
    Windows windows;
    windows.check();
    QVERIFY(windows.results);
    if (whileOpen)
        setApplicationPalette(scheme);

    // The controls the theme colours whole take its colours indeed: a dark scheme reaches the windows.
    QCOMPARE(windows.input.Text1->palette().color(QPalette::Base), scheme.color(QPalette::Base));
    QCOMPARE(windows.results->Label1->palette().color(QPalette::Window), scheme.color(QPalette::Window));
    for (const DrawnText& drawn : windows.texts()) {
        verifyReadable(drawn);
        if (QTest::currentTestFailed())
            return;
    }
}

void ThemesTest::theDesignBackgroundsShowTheirTextAsDrawn_data() {
    addSchemeRows();
}

// What the style draws, not only what the palettes say: each box and list, and each heading of the input window,
// drawn with its text and nothing selected or focused.
void ThemesTest::theDesignBackgroundsShowTheirTextAsDrawn() {
    QFETCH(QPalette, scheme);
    QFETCH(bool, whileOpen);
    if (!whileOpen)
        setApplicationPalette(scheme);
    Windows windows;
    windows.check();
    if (whileOpen)
        setApplicationPalette(scheme);
    QVERIFY(windows.results->List3->count() > 0);
    if (QWidget* focus = QApplication::focusWidget())
        focus->clearFocus();

    const std::vector<QAbstractScrollArea*> controls = windows.designBackgrounds();
    for (size_t i = 0; i < controls.size(); ++i) {
        const QImage picture = controls[i]->viewport()->grab().toImage();
        QCOMPARE(picture.pixelColor(picture.width() - 2, picture.height() - 2), kDesignBackgrounds[i]);
        const double contrast = strongestContrast(picture, kDesignBackgrounds[i]);
        QVERIFY2(contrast >= kLeastTextContrast,
                 qPrintable(controls[i]->objectName() + QStringLiteral(": ") + QString::number(contrast)));
    }
    for (QLabel* heading : {windows.input.Label1, windows.input.Label2}) {
        const QImage picture = heading->grab().toImage();
        const QColor background = picture.pixelColor(picture.width() - 1, picture.height() - 1);
        QCOMPARE(background, scheme.color(QPalette::Active, QPalette::Window));
        const double contrast = strongestContrast(picture, background);
        QVERIFY2(contrast >= kLeastTextContrast,
                 qPrintable(heading->objectName() + QStringLiteral(": ") + QString::number(contrast)));
    }
}

// The light palette is the one the design was drawn for: nothing of it may change.
void ThemesTest::theLightPaletteShowsTheDesignsColours() {
    setApplicationPalette(lightDefault());
    Windows windows;
    windows.check();
    for (QLabel* heading : {windows.input.Label1, windows.input.Label2})
        for (const QPalette::ColorGroup group : kGroups)
            QCOMPARE(heading->palette().color(group, QPalette::WindowText), QColor(78, 90, 209));
    const std::vector<QAbstractScrollArea*> controls = windows.designBackgrounds();
    for (size_t i = 0; i < controls.size(); ++i) {
        for (const QPalette::ColorGroup group : kGroups) {
            QCOMPARE(controls[i]->palette().color(group, QPalette::Base), kDesignBackgrounds[i]);
            QCOMPARE(controls[i]->palette().color(group, QPalette::Text), QColor(Qt::black));
        }
    }
    // The light palette's own text is the design's black already: the rule changes nothing a user of it sees.
    QCOMPARE(lightDefault().color(QPalette::Active, QPalette::Text), QColor(Qt::black));
}

void ThemesTest::theMessageBoxReadsInEveryScheme_data() {
    QTest::addColumn<QPalette>("scheme");
    QTest::newRow("light") << lightDefault();
    QTest::newRow("darker") << darkerScheme();
    QTest::newRow("white on black") << whiteOnBlack();
}

// The real "Nothing else found" box, up over the results window: its text and its button. The box is read while it
// is up, then closed; the checks come after.
void ThemesTest::theMessageBoxReadsInEveryScheme() {
    QFETCH(QPalette, scheme);
    setApplicationPalette(scheme);
    Windows windows;
    windows.check();

    struct Seen {
        QPalette text, button;
    } seen;
    const MessageBoxWatch watch(MessageBoxWatch::Boxes::First, [&](QMessageBox* box) {
        if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
            seen.text = label->palette();
        seen.button = box->button(QMessageBox::Ok)->palette();
        box->button(QMessageBox::Ok)->click();
    });
    showMessage(windows.results, QStringLiteral("Nothing else found"));

    QCOMPARE(watch.seen(), 1);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        QVERIFY(contrastRatio(seen.text.color(group, QPalette::WindowText), seen.text.color(group, QPalette::Window)) >=
                kLeastTextContrast);
        QVERIFY(contrastRatio(seen.button.color(group, QPalette::ButtonText),
                              seen.button.color(group, QPalette::Button)) >= kLeastTextContrast);
    }
    QCOMPARE(seen.text.color(QPalette::Window), scheme.color(QPalette::Window));
}

QTEST_MAIN(ThemesTest)
#include "tst_themes.moc"
