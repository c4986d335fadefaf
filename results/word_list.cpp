#include "word_list.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include <algorithm>
#include <utility>
#include <vector>

namespace claimcheck {

// Collation of the lists. Entries are compared by their case-folded UTF-16 code units: each code point is
// simply case-folded (QChar::toCaseFolded, one code point for one; a lone surrogate stands for itself) and the
// results compared unit by unit, as numbers. Entries that fold alike are then ordered by their exact code units
// ("APPLE", "Apple", "apple"). So "Zebra" follows "apple", punctuation and digits come before letters and
// accented letters after z. The order is total: the sorted order does not depend on the order the entries
// came in. Entries that begin alike ignoring case stand together, so the type-ahead finds the first of them by
// binary search.
namespace {

// A text read as its case-folded code units.
class FoldedUnits {
public:
    explicit FoldedUnits(QStringView text) : m_text(text) {}

    bool atEnd() const { return m_low == 0 && m_next == m_text.size(); }

    char16_t next() {
        if (m_low != 0)
            return std::exchange(m_low, char16_t(0));
        const char16_t u = m_text[m_next++].unicode();
        if (u < 0x80)
            return (u >= u'A' && u <= u'Z') ? char16_t(u + 32) : u;
        char32_t c = u;
        if (QChar::isHighSurrogate(u) && m_next < m_text.size() && m_text[m_next].isLowSurrogate())
            c = QChar::surrogateToUcs4(u, m_text[m_next++].unicode());
        c = QChar::toCaseFolded(c);
        if (!QChar::requiresSurrogates(c))
            return char16_t(c);
        m_low = QChar::lowSurrogate(c);
        return QChar::highSurrogate(c);
    }

private:
    QStringView m_text;
    qsizetype m_next = 0;
    char16_t m_low = 0; // the second half of a folded surrogate pair, still to come
};

int CompareFolded(QStringView a, QStringView b) {
    FoldedUnits x(a);
    FoldedUnits y(b);
    while (!x.atEnd() && !y.atEnd()) {
        const char16_t u = x.next();
        const char16_t v = y.next();
        if (u != v)
            return u < v ? -1 : 1;
    }
    return x.atEnd() ? (y.atEnd() ? 0 : -1) : 1;
}

bool StartsWithFolded(QStringView text, QStringView prefix) {
    FoldedUnits x(text);
    FoldedUnits p(prefix);
    while (!p.atEnd()) {
        if (x.atEnd() || x.next() != p.next())
            return false;
    }
    return true;
}

bool CollatesBefore(const QString& a, const QString& b) {
    const int folded = CompareFolded(a, b);
    return folded != 0 ? folded < 0 : a < b;
}

// The first eight folded code units as two numbers (0 past the end): two entries whose keys differ collate as
// their keys do, so most comparisons of a sort never touch the texts.
struct SortKey {
    quint64 high = 0;
    quint64 low = 0;

    explicit SortKey(QStringView text) {
        FoldedUnits units(text);
        for (quint64* part : {&high, &low}) {
            for (int i = 0; i < 4; ++i)
                *part = (*part << 16) | (units.atEnd() ? 0u : units.next());
        }
    }

    friend bool operator==(const SortKey&, const SortKey&) = default;
    friend bool operator<(const SortKey& a, const SortKey& b) {
        return a.high != b.high ? a.high < b.high : a.low < b.low;
    }
};

// The most characters of an entry that an item shows. Far more than any list is wide, and the style measures all
// it is given on every paint: an entry of a million characters (a pasted text without a blank) took seconds to
// paint in full, on every repaint of its list.
constexpr qsizetype kMostShownCharacters = 500;

// Line breaks inside an entry are drawn as a visible mark, so every item stays one line high. Only the beginning of
// an overlong entry is shown; the list's elision marks it as cut.
QString OneLine(QString text) {
    if (text.size() > kMostShownCharacters) {
        const bool splitsAPair = text.at(kMostShownCharacters - 1).isHighSurrogate();
        text.truncate(kMostShownCharacters - (splitsAPair ? 1 : 0));
    }
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u == u'\n' || u == u'\r' || u == u'\v' || u == u'\f' || u == QChar::LineSeparator ||
            u == QChar::ParagraphSeparator)
            c = QChar(0x21B5);
    }
    return text;
}

class WordDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant& value, const QLocale&) const override { return OneLine(value.toString()); }

    // The view sizes every row like the first one, which is often an empty entry: give every row the height of a
    // line of text.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QSize size = QStyledItemDelegate::sizeHint(option, index);
        QStyleOptionViewItem line(option);
        initStyleOption(&line, index);
        line.text = QStringLiteral("Xg");
        line.features |= QStyleOptionViewItem::HasDisplay;
        const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
        const QSize lineSize = style->sizeFromContents(QStyle::CT_ItemViewItem, &line, QSize(), option.widget);
        return QSize(size.width(), std::max(size.height(), lineSize.height()));
    }
};

} // namespace

// The entries in collation order. Added entries wait in a buffer and are merged in all at once on the next read,
// so filling the list entry by entry costs a sort instead of a shifted insertion per entry.
class WordListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : int(m_entries.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= m_entries.size())
            return {};
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return m_entries.at(index.row());
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
    }

    qsizetype size() const { return m_entries.size() + m_pending.size(); }
    bool hasPending() const { return !m_pending.isEmpty(); }
    const QString& at(int position) const { return m_entries.at(position); }

    void add(const QString& entry) { m_pending.append(entry); }

    void clear() {
        beginResetModel();
        m_entries.clear();
        m_pending.clear();
        endResetModel();
    }

    // Merges the waiting entries in and returns where the entry at `selected` now stands (-1 stays -1). An
    // added entry equal to an existing one goes after it. The buffer is emptied first, so a read from inside the
    // reset notifications finds nothing left to merge.
    int merge(int selected) {
        QList<QString> added = std::exchange(m_pending, {});
        Sort(added);
        int kept = selected;
        if (selected >= 0)
            kept += int(std::lower_bound(added.cbegin(), added.cend(), m_entries.at(selected), CollatesBefore) -
                        added.cbegin());
        beginResetModel();
        if (m_entries.isEmpty()) {
            m_entries.swap(added);
        } else {
            const qsizetype middle = m_entries.size();
            m_entries.append(std::move(added));
            std::inplace_merge(m_entries.begin(), m_entries.begin() + middle, m_entries.end(), CollatesBefore);
        }
        endResetModel();
        return kept;
    }

    // The first entry that begins with `prefix` ignoring case, or -1.
    int firstStartingWith(const QString& prefix) const {
        const auto found =
            std::lower_bound(m_entries.cbegin(), m_entries.cend(), prefix,
                             [](const QString& entry, const QString& p) { return CompareFolded(entry, p) < 0; });
        if (found == m_entries.cend() || !StartsWithFolded(*found, prefix))
            return -1;
        return int(found - m_entries.cbegin());
    }

private:
    // Sorts with each entry's key beside it: the sort's passes then run through one array in order.
    static void Sort(QList<QString>& texts) {
        struct Keyed {
            SortKey key;
            QString text;
        };
        std::vector<Keyed> keyed;
        keyed.reserve(size_t(texts.size()));
        for (QString& text : texts) {
            const SortKey key(text);
            keyed.push_back({key, std::move(text)});
        }
        std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
            if (!(a.key == b.key))
                return a.key < b.key;
            return CollatesBefore(a.text, b.text);
        });
        for (qsizetype i = 0; i < texts.size(); ++i)
            texts[i] = std::move(keyed[size_t(i)].text);
    }

    QList<QString> m_entries;
    QList<QString> m_pending;
};

WordList::WordList(QWidget* parent) : QListView(parent) {
    m_model = new WordListModel(this);
    setModel(m_model);
    setItemDelegate(new WordDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
}

WordList::~WordList() = default;

void WordList::clear() {
    m_model->clear();
    clearTypeAhead();
}

void WordList::addItem(const QString& entry) {
    if (!m_model->hasPending())
        QMetaObject::invokeMethod(this, &WordList::flush, Qt::QueuedConnection);
    m_model->add(entry);
}

// Reading or showing the list merges what was added since; to the caller the list is sorted at all times.
void WordList::flush() {
    if (!m_model || !m_model->hasPending())
        return;
    const QItemSelection selection = selectionModel()->selection();
    const int kept = m_model->merge(selection.isEmpty() ? -1 : selection.first().top());
    if (kept >= 0)
        selectQuietly(kept);
    executeDelayedItemsLayout();
}

int WordList::count() const {
    return int(m_model->size());
}

QString WordList::item(int position) const {
    const_cast<WordList*>(this)->flush();
    if (position < 0 || position >= m_model->rowCount())
        return {};
    return m_model->at(position);
}

int WordList::selectedPosition() const {
    const_cast<WordList*>(this)->flush();
    const QItemSelection selection = selectionModel()->selection();
    return selection.isEmpty() ? -1 : selection.first().top();
}

void WordList::setSelectedPosition(int position) {
    flush();
    selectQuietly(position);
    if (position >= 0 && position < m_model->rowCount())
        scrollTo(m_model->index(position));
}

void WordList::setBackgroundColor(const QColor& colour) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, colour);
    setPalette(palette);
}

void WordList::selectQuietly(int position) {
    if (position >= 0 && position < m_model->rowCount())
        selectionModel()->setCurrentIndex(m_model->index(position), QItemSelectionModel::ClearAndSelect);
    else
        selectionModel()->clear();
}

void WordList::pick() {
    ++m_picks;
    emit picked();
}

void WordList::typeAhead(const QString& characters) {
    for (const QChar c : characters)
        typeAheadCharacter(c);
}

void WordList::keyboardSearch(const QString& search) {
    typeAhead(search);
}

void WordList::clearTypeAhead() {
    m_search.clear();
    m_lastTyped.invalidate();
}

void WordList::typeAheadCharacter(QChar character) {
    if (!m_lastTyped.isValid() || m_lastTyped.elapsed() > QApplication::keyboardInputInterval())
        m_search.clear();
    m_lastTyped.start();
    m_search.append(character);

    flush();
    const int found = m_model->firstStartingWith(m_search);
    if (found < 0)
        return;
    scrollTo(m_model->index(found));
    if (found == selectedPosition())
        return;
    selectQuietly(found);
    pick();
}

namespace {

// Keys that type into the list's search: anything that brings text, from a key that stands for a character
// (or from no key at all: key code 0 is how a tab or line break is sent as text), without a command modifier.
bool IsTypeAheadKey(const QKeyEvent* event) {
    if (event->text().isEmpty())
        return false;
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    return event->key() < Qt::Key_Escape; // 0, or a key that is a character itself
}

} // namespace

// Type-ahead keys are taken here, before QWidget::event could read a tab as a focus move, and before
// QAbstractItemView's own search, which starts after the current row rather than at the top.
bool WordList::event(QEvent* event) {
    flush();
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        if (IsTypeAheadKey(static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (IsTypeAheadKey(key)) {
            m_mousePicking = false;
            typeAhead(key->text());
            key->accept();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QListView::event(event);
}

bool WordList::viewportEvent(QEvent* event) {
    flush();
    return QListView::viewportEvent(event);
}

void WordList::focusOutEvent(QFocusEvent* event) {
    clearTypeAhead();
    QListView::focusOutEvent(event);
}

// A key that moves the selection ends the type-ahead search; a modifier key alone (Shift for a capital) does not.
void WordList::keyPressEvent(QKeyEvent* event) {
    m_mousePicking = false;
    const int before = selectedPosition();
    const bool plain = !(event->modifiers() & ~Qt::KeypadModifier);
    // With nothing selected the focus mark usually sits on an item already, and Qt would step past it.
    if (before < 0 && plain && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) && count() > 0) {
        const QModelIndex current = currentIndex();
        const int position = current.isValid() ? current.row() : 0;
        clearTypeAhead();
        selectQuietly(position);
        scrollTo(m_model->index(position));
        pick();
        event->accept();
        return;
    }
    const quint64 picks = m_picks;
    QListView::keyPressEvent(event);
    const int after = selectedPosition();
    if (after >= 0 && after != before && m_picks == picks) {
        clearTypeAhead();
        pick();
    }
}

// Only the left button picks. A press selects the item under it; the pick itself is told on the release, once
// per click, because the second click of a double click arrives as a double-click event and not as a press.
void WordList::mousePressEvent(QMouseEvent* event) {
    clearTypeAhead();
    if (event->button() != Qt::LeftButton || !indexAt(event->position().toPoint()).isValid()) {
        event->accept();
        return;
    }
    m_pressedPosition = selectedPosition();
    m_mousePicking = true;
    QListView::mousePressEvent(event);
}

void WordList::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !indexAt(event->position().toPoint()).isValid()) {
        event->accept();
        return;
    }
    m_pressedPosition = selectedPosition();
    m_mousePicking = true;
    QListView::mouseDoubleClickEvent(event);
}

// Every click is a pick, so no modifier deselects: Ctrl+click (or Ctrl+Space) on the selected item keeps it.
QItemSelectionModel::SelectionFlags WordList::selectionCommand(const QModelIndex& index, const QEvent* event) const {
    if (!index.isValid() || (event && event->type() == QEvent::MouseButtonRelease))
        return QItemSelectionModel::NoUpdate;
    return QItemSelectionModel::ClearAndSelect;
}

// A release over an item picks it. A press dragged off the items picks only if the drag moved the selection.
void WordList::mouseReleaseEvent(QMouseEvent* event) {
    const bool picking = m_mousePicking && event->button() == Qt::LeftButton;
    if (event->button() == Qt::LeftButton)
        m_mousePicking = false;
    QListView::mouseReleaseEvent(event);
    if (!picking)
        return;
    const int selected = selectedPosition();
    if (selected >= 0 && (indexAt(event->position().toPoint()).isValid() || selected != m_pressedPosition))
        pick();
}

} // namespace claimcheck
