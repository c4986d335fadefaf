#include "look.h"

#include <QDir>
#include <QDirIterator>

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

} // namespace

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
