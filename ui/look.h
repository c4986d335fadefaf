#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>

namespace claimcheck {

// A 24-bit colour written blue-green-red (0x00BBGGRR): 255 is red, 0xFF0000 is blue.
inline QColor bgrColor(unsigned bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// "MS Sans Serif" of the given size and weight where installed, otherwise a sans-serif face like it.
QFont sansSerifFont(double pointSize, int weight = QFont::Normal);

// The default font of every box, list, button and text box: 8.25 pt regular.
QFont controlFont();

// The program's icon, the same for both windows, in every size rendered from its SVG (16 to 256 pixels).
QIcon appIcon();

} // namespace claimcheck
