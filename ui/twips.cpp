#include "twips.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

namespace claimcheck {

namespace {

// Twips to whole pixels, to the nearest pixel. Halves cannot occur for whole twips (15 is odd).
int toPixels(double twips) {
    return int(std::lround(twips / kTwipsPerPixel));
}

// The sizing border the design counts into a window's outer width, each side.
constexpr double kSizingBorderTwips = 60;

} // namespace

double WidgetTwips::left() const {
    return double(m_widget->x()) * kTwipsPerPixel;
}

double WidgetTwips::width() const {
    return double(m_widget->width()) * kTwipsPerPixel;
}

void WidgetTwips::setLeft(float twips) {
    m_widget->move(toPixels(twips), m_widget->y());
}

void WidgetTwips::setWidth(float twips) {
    m_widget->resize(std::max(0, toPixels(twips)), m_widget->height());
}

// The client width alone would make the layout depend on whether a window manager draws a frame (and how wide),
// so the outer width is always the client width plus the design's own border.
double outerWidthTwips(const QWidget* window) {
    return double(window->width()) * kTwipsPerPixel + 2 * kSizingBorderTwips;
}

void setDesignGeometry(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace claimcheck
