#include "entry_display.h"

#include <QApplication>

#include <algorithm>

namespace claimcheck {

namespace {

// The most characters of an entry that an item shows. Far more than any list is wide, and the style measures all
// it is given on every paint: an entry of a million characters (a pasted text without a blank) took seconds to
// paint in full, on every repaint of its list.
constexpr qsizetype kMostShownCharacters = 500;

} // namespace

// The list's elision marks an overlong entry as cut.
QString displayForm(QString entry) {
    if (entry.size() > kMostShownCharacters) {
        const bool splitsAPair = entry.at(kMostShownCharacters - 1).isHighSurrogate();
        entry.truncate(kMostShownCharacters - (splitsAPair ? 1 : 0));
    }
    for (QChar& c : entry) {
        const char16_t u = c.unicode();
        if (u == u'\n' || u == u'\r' || u == u'\v' || u == u'\f' || u == QChar::LineSeparator ||
            u == QChar::ParagraphSeparator)
            c = QChar(0x21B5);
    }
    return entry;
}

QString WordDelegate::displayText(const QVariant& value, const QLocale&) const {
    return displayForm(value.toString());
}

// The view sizes every row like the first one, which is often an empty entry: every row gets the height of a line
// of text.
QSize WordDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QSize size = QStyledItemDelegate::sizeHint(option, index);
    QStyleOptionViewItem line(option);
    initStyleOption(&line, index);
    line.text = QStringLiteral("Xg");
    line.features |= QStyleOptionViewItem::HasDisplay;
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    const QSize lineSize = style->sizeFromContents(QStyle::CT_ItemViewItem, &line, QSize(), option.widget);
    return QSize(size.width(), std::max(size.height(), lineSize.height()));
}

} // namespace claimcheck
