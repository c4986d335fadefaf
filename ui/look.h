#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>

class QWidget;

namespace claimcheck {

// A 24-bit colour written blue-green-red (0x00BBGGRR): 255 is red, 0xFF0000 is blue.
inline QColor bgrColor(unsigned bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// The design's default text colour.
inline QColor designTextColor() {
    return QColor(Qt::black);
}

// The least contrast any text of the program may have against its own background: WCAG 2's minimum for body text.
constexpr double kLeastTextContrast = 4.5;

// The WCAG 2 contrast ratio of two opaque colours: 1 for the same colour, 21 for black on white.
double contrastRatio(const QColor& a, const QColor& b);

// `colour` where it reaches kLeastTextContrast against `background`; otherwise the shade of it, mixed towards
// white or towards black (whichever stands further from the background), nearest to it that does.
QColor readableShade(const QColor& colour, const QColor& background);

// The colour rule of every control whose background the design fixes (the results window's boxes and lists): the
// design's background and the design's black text, in every colour group (active, inactive, disabled) and every
// role such a control draws unselected text with. A theme's text colour, chosen for the theme's own background,
// would otherwise land on the design's (white on white under a dark scheme). The selection keeps the theme's colours,
// as the colours of found occurrences keep the program's. Controls whose background the design leaves to the system
// are not touched, so they follow the theme whole.
void setDesignBackground(QWidget* control, const QColor& background);

// The colour rule of a text in a design colour on a background the theme chooses (the input window's headings):
// the design's colour wherever it reads (kLeastTextContrast) against that background, otherwise readableShade of
// it, in every colour group; kept so whenever the control's palette changes (a new scheme, a new style).
void setDesignTextColor(QWidget* control, const QColor& colour);

// The colour rule of a highlight the theme draws under its own highlighted text (the input window's menu bar, whose
// pressed item is drawn so): the theme's highlight where its highlighted text reads on it, otherwise readableShade of
// the highlight against that text, in every colour group and after every palette change. Fusion's light highlight
// (#308cc6) under white text reaches only 3.69.
void keepHighlightReadable(QWidget* control);

// "MS Sans Serif" of the given size and weight where installed, otherwise a sans-serif face like it.
QFont sansSerifFont(double pointSize, int weight = QFont::Normal);

// The default font of every box, list, button and text box: 8.25 pt regular.
QFont controlFont();

// The program's icon, the same for both windows, in every size rendered from its SVG (16 to 256 pixels).
QIcon appIcon();

} // namespace claimcheck
