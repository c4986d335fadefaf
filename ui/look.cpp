#include "look.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QEvent>
#include <QPalette>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

namespace claimcheck {

namespace {

const QString kDesignFamily = QStringLiteral("MS Sans Serif");

// Faces tried in order where the design's face is missing: the metric twin of Arial first (closest in width to
// the design's captions), then common sans-serif faces. Debian ships DejaVu Sans everywhere.
void registerSubstitutes() {
    static const bool registered = [] {
        QFont::insertSubstitutions(kDesignFamily, {QStringLiteral("Microsoft Sans Serif"),
                                                   QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                                   QStringLiteral("Helvetica"), QStringLiteral("DejaVu Sans")});
        return true;
    }();
    Q_UNUSED(registered);
}

// Every size of the program's icon in the resources: rendered at build time from the SVG the icon theme also gets.
QIcon loadIcon() {
    QIcon icon;
    QDirIterator files(QStringLiteral(":/icons"), {QStringLiteral("claimcheck.png")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext())
        icon.addFile(files.next());
    return icon;
}

constexpr QPalette::ColorGroup kColourGroups[] = {QPalette::Active, QPalette::Inactive, QPalette::Disabled};

// WCAG 2's relative luminance of an sRGB colour.
double relativeLuminance(const QColor& colour) {
    const auto linear = [](int component) {
        const double c = component / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.red()) + 0.7152 * linear(rgb.green()) + 0.0722 * linear(rgb.blue());
}

// Keeps a control's palette as a rule wants it, given the palette the control has from its theme: applied at once and
// again on every change of the control's palette (an application palette or a style set later reaches the control as
// such a change).
class PaletteRule final : public QObject {
public:
    using Rule = std::function<void(const QWidget& control, QPalette& palette)>;

    PaletteRule(QWidget* control, Rule rule) : QObject(control), m_rule(std::move(rule)) {
        control->installEventFilter(this);
        apply(control);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::PaletteChange)
            apply(static_cast<QWidget*>(watched));
        return false;
    }

private:
    // Sets the palette only when the rule changes it, so the change this causes ends here.
    void apply(QWidget* control) const {
        QPalette palette = control->palette();
        m_rule(*control, palette);
        if (!(palette == control->palette()))
            control->setPalette(palette);
    }

    Rule m_rule;
};

} // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableShade(const QColor& colour, const QColor& background) {
    if (contrastRatio(colour, background) >= kLeastTextContrast)
        return colour;
    const QColor white(Qt::white);
    const QColor black(Qt::black);
    const QColor towards = contrastRatio(white, background) >= contrastRatio(black, background) ? white : black;
    const QColor from = colour.toRgb();
    constexpr int kSteps = 256;
    for (int step = 1; step < kSteps; ++step) {
        const auto mix = [step](int a, int b) { return a + int(std::lround(double(b - a) * step / kSteps)); };
        const QColor shade(mix(from.red(), towards.red()), mix(from.green(), towards.green()),
                           mix(from.blue(), towards.blue()));
        if (contrastRatio(shade, background) >= kLeastTextContrast)
            return shade;
    }
    return towards;
}

void setDesignBackground(QWidget* control, const QColor& background) {
    QPalette palette = control->palette();
    for (const QPalette::ColorGroup group : kColourGroups) {
        palette.setColor(group, QPalette::Base, background);
        // The roles a box or list draws its own text with. WindowText stays the theme's: Fusion draws the control's
        // scroll bar arrows with it, on the theme's own colours.
        palette.setColor(group, QPalette::Text, designTextColor());
        palette.setColor(group, QPalette::PlaceholderText, designTextColor());
    }
    control->setPalette(palette);
}

void setDesignTextColor(QWidget* control, const QColor& colour) {
    new PaletteRule(control, [colour](const QWidget& c, QPalette& palette) {
        for (const QPalette::ColorGroup group : kColourGroups)
            palette.setColor(group, c.foregroundRole(),
                             readableShade(colour, palette.color(group, c.backgroundRole())));
    });
}

void keepHighlightReadable(QWidget* control) {
    new PaletteRule(control, [](const QWidget& c, QPalette& palette) {
        // From the theme's own highlight, not from the shade set before.
        const QPalette theme = QApplication::palette(&c);
        for (const QPalette::ColorGroup group : kColourGroups)
            palette.setColor(group, QPalette::Highlight,
                             readableShade(theme.color(group, QPalette::Highlight),
                                           palette.color(group, QPalette::HighlightedText)));
    });
}

QFont sansSerifFont(double pointSize, int weight) {
    registerSubstitutes();
    QFont font(kDesignFamily);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Weight(weight));
    font.setItalic(false);
    return font;
}

QFont controlFont() {
    return sansSerifFont(8.25);
}

QIcon appIcon() {
    static const QIcon icon = loadIcon();
    return icon;
}

} // namespace claimcheck
