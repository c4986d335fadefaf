#include "look.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace claimcheck {

namespace {

const QString kDesignFamily = QStringLiteral("MS Sans Serif");

// Faces tried in order where the design's face is missing: the metric twin of Arial first (closest in width to
// the design's captions), then common sans-serif faces. Debian ships DejaVu Sans everywhere.
void RegisterSubstitutes() {
    static const bool registered = [] {
        QFont::insertSubstitutions(kDesignFamily, {QStringLiteral("Microsoft Sans Serif"),
                                                   QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                                   QStringLiteral("Helvetica"), QStringLiteral("DejaVu Sans")});
        return true;
    }();
    Q_UNUSED(registered);
}

// A sheet of paper with a few lines of text and a green check mark over its lower right corner.
QIcon DrawIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    QPainterPath sheet;
    sheet.moveTo(5.5, 1.5);
    sheet.lineTo(20.5, 1.5);
    sheet.lineTo(26.5, 7.5);
    sheet.lineTo(26.5, 30.5);
    sheet.lineTo(5.5, 30.5);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.setBrush(Qt::white);
    p.drawPath(sheet);

    QPainterPath fold;
    fold.moveTo(20.5, 1.5);
    fold.lineTo(20.5, 7.5);
    fold.lineTo(26.5, 7.5);
    p.setBrush(QColor(208, 208, 208));
    p.drawPath(fold);

    p.setPen(QPen(QColor(128, 128, 160), 1.5));
    for (int y = 11; y <= 23; y += 4)
        p.drawLine(QPointF(9, y), QPointF(y < 15 ? 23 : 16, y));

    QPen check(QColor(0, 150, 40), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(check);
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(16, 22), QPointF(21, 27), QPointF(29, 15)}));
    p.end();
    return QIcon(pixmap);
}

} // namespace

QFont SansSerifFont(double pointSize, int weight) {
    RegisterSubstitutes();
    QFont font(kDesignFamily);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Weight(weight));
    font.setItalic(false);
    return font;
}

QFont ControlFont() {
    return SansSerifFont(8.25);
}

QIcon AppIcon() {
    static const QIcon icon = DrawIcon();
    return icon;
}

} // namespace claimcheck
