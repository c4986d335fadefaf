#include "word_list.h"

#include "collation/dictionary_order.h"
#include "entry_display.h"
#include "ui/look.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <utility>
#include <vector>

namespace claimcheck {

namespace {

// Entries that begin alike need not stand together in dictionary order ("ea", "éa", "eb"), so the type-ahead looks
// through the list in order for the first entry that begins with the typed text, comparing case-folded units.

// A case-folded code unit of a text: each code point is simply case-folded (QChar::toCaseFolded, one code point for
// one; a lone surrogate stands for itself).
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

// The first four case-folded code units of a text, packed into a number from its high end, zero past its end, and
// how many units that are.
quint64 foldedHead(QStringView text, int* units = nullptr) {
    FoldedUnits folded(text);
    quint64 head = 0;
    int count = 0;
    for (; count < 4 && !folded.atEnd(); ++count)
        head = (head << 16) | folded.next();
    if (units)
        *units = count;
    return count == 0 ? 0 : head << (16 * (4 - count));
}

bool startsWithFolded(QStringView text, QStringView prefix) {
    FoldedUnits x(text);
    FoldedUnits p(prefix);
    while (!p.atEnd()) {
        if (x.atEnd() || x.next() != p.next())
            return false;
    }
    return true;
}

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
        m_heads.clear();
        endResetModel();
    }

    // Merges the waiting entries in and returns where the entry at `selected` now stands (-1 stays -1). An
    // added entry equal to an existing one goes after it. The buffer is emptied first, so a read from inside the
    // reset notifications finds nothing left to merge.
    int merge(int selected) {
        std::vector<quint64> addedHeads;
        QList<QString> added = sorted(std::exchange(m_pending, {}), addedHeads);
        if (m_entries.isEmpty()) {
            beginResetModel();
            m_entries.swap(added);
            m_heads.swap(addedHeads);
            endResetModel();
            return selected;
        }
        m_heads.clear();
        // Where each added entry goes: before the entry now at that place. The places only grow.
        const auto before = [this](const QString& a, const QString& b) { return m_order.before(a, b); };
        std::vector<qsizetype> places;
        places.reserve(size_t(added.size()));
        auto from = m_entries.cbegin();
        for (const QString& entry : added) {
            from = std::upper_bound(from, m_entries.cend(), entry, before);
            places.push_back(from - m_entries.cbegin());
        }
        int kept = selected;
        if (selected >= 0)
            kept += int(std::upper_bound(places.cbegin(), places.cend(), qsizetype(selected)) - places.cbegin());

        QList<QString> merged;
        merged.reserve(m_entries.size() + added.size());
        qsizetype next = 0;
        for (qsizetype i = 0; i < added.size(); ++i) {
            for (; next < places[size_t(i)]; ++next)
                merged.append(std::move(m_entries[next]));
            merged.append(std::move(added[i]));
        }
        for (; next < m_entries.size(); ++next)
            merged.append(std::move(m_entries[next]));
        beginResetModel();
        m_entries.swap(merged);
        endResetModel();
        return kept;
    }

    // The first entry, in list order, that begins with `prefix` ignoring case, or -1. Entries that begin alike need
    // not stand together, so every entry is looked at until one does: first by the head of its folded text, then,
    // where the heads agree, in full. Entries merged into a filled list have their heads made by the first search.
    int firstStartingWith(const QString& prefix) const {
        if (m_heads.size() != size_t(m_entries.size())) {
            m_heads.clear();
            m_heads.reserve(size_t(m_entries.size()));
            for (const QString& entry : m_entries)
                m_heads.push_back(foldedHead(entry));
        }
        int units = 0;
        const quint64 wanted = foldedHead(prefix, &units);
        const quint64 mask = units == 0 ? 0 : ~quint64(0) << (16 * (4 - units));
        for (size_t i = 0; i < m_heads.size(); ++i) {
            if ((m_heads[i] & mask) == wanted && startsWithFolded(m_entries.at(qsizetype(i)), prefix))
                return int(i);
        }
        return -1;
    }

private:
    // The texts in dictionary order, and the foldedHead of each in that order. The heads are made in the order the
    // texts came in, which is close to the order of their characters in memory.
    QList<QString> sorted(QList<QString> texts, std::vector<quint64>& heads) const {
        std::vector<quint64> unsortedHeads;
        unsortedHeads.reserve(size_t(texts.size()));
        for (const QString& text : texts)
            unsortedHeads.push_back(foldedHead(text));
        const std::vector<quint32> positions = m_order.sortedPositions(texts);
        // The texts are gathered in their new order from all over the old one: each is asked for a little ahead of
        // its turn, so that waiting for memory overlaps (this about halved the time of the gather for a million
        // entries).
        QList<QString> result;
        result.reserve(texts.size());
        heads.clear();
        heads.reserve(positions.size());
        for (size_t i = 0; i < positions.size(); ++i) {
#if defined(__GNUC__)
            constexpr size_t kAhead = 16;
            if (i + kAhead < positions.size())
                __builtin_prefetch(texts.constData() + positions[i + kAhead]);
#endif
            result.append(std::move(texts[positions[i]]));
            heads.push_back(unsortedHeads[positions[i]]);
        }
        return result;
    }

    DictionaryOrder m_order;
    QList<QString> m_entries;
    QList<QString> m_pending;
    mutable std::vector<quint64> m_heads; // foldedHead of each entry, in list order; empty: made by the next search
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
    setDesignBackground(this, colour);
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
bool isTypeAheadKey(const QKeyEvent* event) {
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
        if (isTypeAheadKey(static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (isTypeAheadKey(key)) {
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
