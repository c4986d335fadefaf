#pragma once

#include <cmath>

class QWidget;

namespace claimcheck {

inline constexpr int kTwipsPerPixel = 15;

// The horizontal geometry of a control in twips. Values are handed over as single-precision twips and read
// back as the control actually took them, so a layout that reads back sees the platform's pixel rounding.
class TwipsControl {
public:
    virtual ~TwipsControl() = default;
    virtual double left() const = 0;
    virtual double width() const = 0;
    virtual void setLeft(float twips) = 0;
    virtual void setWidth(float twips) = 0;
};

// A widget seen in twips: set values round to the nearest whole pixel.
class WidgetTwips final : public TwipsControl {
public:
    explicit WidgetTwips(QWidget* widget) : m_widget(widget) {}
    double left() const override;
    double width() const override;
    void setLeft(float twips) override;
    void setWidth(float twips) override;

private:
    QWidget* m_widget;
};

// W / reference * k, in double precision, rounded down to a whole number of twips.
inline double proportionalTwips(double outerWidth, double referenceWidth, double k) {
    return std::floor(outerWidth / referenceWidth * k);
}

// The outer width of a top-level window in twips: its client width plus the 60-twip sizing border on each
// side, the same on every window manager (and with none, as under Xvfb).
double outerWidthTwips(const QWidget* window);

// Places a widget and sizes it from design values in twips (15 twips a pixel).
void setDesignGeometry(QWidget* widget, int left, int top, int width, int height);

} // namespace claimcheck
