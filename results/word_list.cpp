#include "word_list.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include <unicode/ucol.h>
#include <unicode/uloc.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

namespace claimcheck {

// Collation of the lists: a dictionary's order in the user's language. Entries are compared by ICU's collator for
// the collation locale of the user (QLocale().collation(), which follows LC_COLLATE); where that locale is C or
// POSIX, whose collation is plain code points, by ICU's root order, which suits English, German and French alike.
// Base letters decide first, accents next and case last, so "élan" stands between "Ebene" and "Emil", and "apple"
// just before "Apple". Digits compare one by one, as text ("10" before "9"). Control characters (line breaks, tabs)
// and line and paragraph separators take no part in the comparison: an entry stands where its visible characters put
// it. Entries that still compare equal are ordered by their exact code units, so the order is total and the sorted
// order does not depend on the order the entries came in.
//
// Entries that begin alike need not stand together ("ea", "éa", "eb"), so the type-ahead looks through the list in
// order for the first entry that begins with the typed text.
namespace {

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

// Characters that an entry holds but that do not show as themselves: C0 and C1 controls (a line break, a tab) and
// the line and paragraph separators. The list draws line breaks as a mark of its own.
bool isInvisible(char16_t u) {
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == QChar::LineSeparator || u == QChar::ParagraphSeparator;
}

// The text that collates: the entry without its invisible characters. Most entries have none, and are not copied.
QStringView visiblePart(QStringView text, QString& scratch) {
    const auto invisible = std::find_if(text.begin(), text.end(), [](QChar c) { return isInvisible(c.unicode()); });
    if (invisible == text.end())
        return text;
    scratch.clear();
    for (const QChar c : text)
        if (!isInvisible(c.unicode()))
            scratch.append(c);
    return scratch;
}

const UChar* units(QStringView text) {
    return reinterpret_cast<const UChar*>(text.utf16());
}

// The ICU name of the locale whose dictionary order the lists follow: empty for the root order.
QByteArray collationLocaleId() {
    const QLocale locale = QLocale().collation();
    if (locale.language() == QLocale::C)
        return {};
    char id[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    uloc_forLanguageTag(locale.bcp47Name().toLatin1().constData(), id, sizeof id, nullptr, &status);
    return U_SUCCESS(status) ? QByteArray(id) : QByteArray();
}

// ICU's collator for the user's collation locale, in its default strength (base letters, accents, case), with
// canonically equivalent texts (a precomposed "é" and "e" with a combining accent) compared alike.
class Collation {
public:
    Collation() {
        UErrorCode status = U_ZERO_ERROR;
        m_collator = ucol_open(collationLocaleId().constData(), &status);
        if (U_FAILURE(status)) {
            status = U_ZERO_ERROR;
            m_collator = ucol_open("", &status);
        }
        if (U_FAILURE(status))
            qFatal("claimcheck: ICU has no collation data (%s)", u_errorName(status));
        ucol_setAttribute(m_collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    }
    ~Collation() { ucol_close(m_collator); }
    Collation(const Collation&) = delete;
    Collation& operator=(const Collation&) = delete;

    bool before(const QString& a, const QString& b) const {
        QString scratchA;
        QString scratchB;
        const QStringView x = visiblePart(a, scratchA);
        const QStringView y = visiblePart(b, scratchB);
        const UCollationResult order =
            ucol_strcoll(m_collator, units(x), int32_t(x.size()), units(y), int32_t(y.size()));
        return order != UCOL_EQUAL ? order == UCOL_LESS : a < b;
    }

    // Puts the entries in order. Each entry's sort key is made once, and the sort compares keys, which are bytes.
    // Gives the foldedHead of each entry too, in the new order, made while the entry's text is at hand.
    void sort(QList<QString>& texts, std::vector<quint64>& foldedHeads) const;

private:
    UCollator* m_collator = nullptr;
};

// An entry's place in the sort: the first eight bytes of its sort key as a number, which settle most comparisons
// without a look at the rest; where the rest of the key lies; which entry it is. Sixteen bytes, so the sort moves
// little.
struct SortItem {
    quint64 head;
    quint32 keyStart;
    quint32 index;
};

// Sort keys end in a zero byte and hold no other; the bytes of a head past the end of its key are zero.
quint64 head(const uint8_t* key) {
    quint64 head = 0;
    bool ended = false;
    for (int i = 0; i < 8; ++i) {
        ended = ended || key[i] == 0;
        head = (head << 8) | (ended ? 0u : key[i]);
    }
    return head;
}

// Orders the items by head, items of equal heads in the order they came in: a radix sort, four stable passes of
// sixteen bits each, which compares no two items (a comparison sort of a million entries took twice as long).
void sortByHead(std::vector<SortItem>& items) {
    if (items.size() < 2)
        return;
    std::vector<SortItem> moved(items.size());
    std::vector<quint32> starts(0x10000);
    for (int shift = 0; shift < 64; shift += 16) {
        const auto digit = [shift](const SortItem& item) { return size_t(item.head >> shift) & 0xFFFF; };
        std::fill(starts.begin(), starts.end(), 0);
        for (const SortItem& item : items)
            ++starts[digit(item)];
        if (starts[digit(items.front())] == items.size())
            continue; // the same digit throughout: nothing moves
        quint32 total = 0;
        for (quint32& start : starts)
            total += std::exchange(start, total);
        for (const SortItem& item : items)
            moved[starts[digit(item)]++] = item;
        items.swap(moved);
    }
}

void Collation::sort(QList<QString>& texts, std::vector<quint64>& foldedHeads) const {
    std::vector<uint8_t> keys;
    keys.reserve(size_t(texts.size()) * 20);
    std::vector<SortItem> items;
    items.reserve(size_t(texts.size()));
    QString scratch;
    std::vector<uint8_t> key(256);
    std::vector<quint64> heads;
    heads.reserve(size_t(texts.size()));
    for (qsizetype i = 0; i < texts.size(); ++i) {
        heads.push_back(foldedHead(texts.at(i)));
        const QStringView visible = visiblePart(texts.at(i), scratch);
        int32_t length =
            ucol_getSortKey(m_collator, units(visible), int32_t(visible.size()), key.data(), int32_t(key.size()));
        if (size_t(length) > key.size()) {
            key.resize(size_t(length));
            length = ucol_getSortKey(m_collator, units(visible), int32_t(visible.size()), key.data(), length);
        }
        if (keys.size() + size_t(length) > std::numeric_limits<quint32>::max())
            qFatal("claimcheck: the sort keys of a list outgrow four gigabytes");
        items.push_back({head(key.data()), quint32(keys.size()), quint32(i)});
        keys.insert(keys.end(), key.data(), key.data() + length);
    }

    const auto* base = reinterpret_cast<const char*>(keys.data());
    const auto keyOrder = [base](const SortItem& a, const SortItem& b) {
        if (a.head != b.head)
            return a.head < b.head ? -1 : 1;
        // Equal heads whose last byte is zero hold the whole of two equal keys.
        return (a.head & 0xFF) == 0 ? 0 : std::strcmp(base + a.keyStart + 8, base + b.keyStart + 8);
    };
    // By key alone first: the texts are not read, and entries with equal keys stand in the order they came in.
    sortByHead(items);
    for (auto run = items.begin(); run != items.end();) {
        const auto end = std::find_if(run, items.end(), [run](const SortItem& item) { return item.head != run->head; });
        if (end - run > 1 && (run->head & 0xFF) != 0) {
            std::sort(run, end, [&keyOrder](const SortItem& a, const SortItem& b) {
                const int order = keyOrder(a, b);
                return order != 0 ? order < 0 : a.index < b.index;
            });
        }
        run = end;
    }
    // Then each run of equal keys by code units. Most such runs are the same text again and again, and stay.
    const auto byText = [&texts](const SortItem& a, const SortItem& b) {
        return texts.at(a.index) < texts.at(b.index);
    };
    for (auto run = items.begin(); run != items.end();) {
        auto end = std::next(run);
        bool sameText = true;
        for (; end != items.end() && keyOrder(*run, *end) == 0; ++end)
            sameText = sameText && texts.at(run->index) == texts.at(end->index);
        if (!sameText)
            std::stable_sort(run, end, byText);
        run = end;
    }

    // The texts are gathered in their new order from all over the old one: each is asked for a little ahead of its
    // turn, so that waiting for memory overlaps (this about halved the time of the gather for a million entries).
    constexpr size_t kAhead = 16;
    QList<QString> sorted;
    sorted.reserve(texts.size());
    foldedHeads.clear();
    foldedHeads.reserve(items.size());
    const QString* old = texts.constData();
    for (size_t i = 0; i < items.size(); ++i) {
        if (i + kAhead < items.size())
            __builtin_prefetch(old + items[i + kAhead].index);
        sorted.append(std::move(texts[items[i].index]));
        foldedHeads.push_back(heads[items[i].index]);
    }
    texts.swap(sorted);
}

// The most characters of an entry that an item shows. Far more than any list is wide, and the style measures all
// it is given on every paint: an entry of a million characters (a pasted text without a blank) took seconds to
// paint in full, on every repaint of its list.
constexpr qsizetype kMostShownCharacters = 500;

// Line breaks inside an entry are drawn as a visible mark, so every item stays one line high. Only the beginning of
// an overlong entry is shown; the list's elision marks it as cut.
QString oneLine(QString text) {
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

    QString displayText(const QVariant& value, const QLocale&) const override { return oneLine(value.toString()); }

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
        m_heads.clear();
        endResetModel();
    }

    // Merges the waiting entries in and returns where the entry at `selected` now stands (-1 stays -1). An
    // added entry equal to an existing one goes after it. The buffer is emptied first, so a read from inside the
    // reset notifications finds nothing left to merge.
    int merge(int selected) {
        QList<QString> added = std::exchange(m_pending, {});
        std::vector<quint64> addedHeads;
        m_collation.sort(added, addedHeads);
        if (m_entries.isEmpty()) {
            beginResetModel();
            m_entries.swap(added);
            m_heads.swap(addedHeads);
            endResetModel();
            return selected;
        }
        m_heads.clear();
        // Where each added entry goes: before the entry now at that place. The places only grow.
        const auto before = [this](const QString& a, const QString& b) { return m_collation.before(a, b); };
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
    Collation m_collation;
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
