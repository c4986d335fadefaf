#pragma once

#include <QString>
#include <QStyledItemDelegate>

namespace claimcheck {

// How a word list shows an entry: on one line, each line break inside it drawn as a visible mark (↵), and only
// the beginning of an overlong entry (its first 500 characters, never half a surrogate pair).
QString displayForm(QString entry);

// Draws each entry in its display form, every row one line of text high.
class WordDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant& value, const QLocale& locale) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace claimcheck
