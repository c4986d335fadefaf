#include "dictionary_order.h"

#include <QByteArray>
#include <QLocale>

#include <unicode/ucol.h>
#include <unicode/uloc.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <utility>

namespace claimcheck {

namespace {

// Characters that an entry holds but that do not show as themselves: C0 and C1 controls (a line break, a tab) and
// the line and paragraph separators.
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

} // namespace

// ICU's collator for the user's collation locale, in its default strength (base letters, accents, case), with
// canonically equivalent texts (a precomposed "é" and "e" with a combining accent) compared alike.
DictionaryOrder::DictionaryOrder() {
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

DictionaryOrder::~DictionaryOrder() {
    ucol_close(m_collator);
}

bool DictionaryOrder::before(const QString& a, const QString& b) const {
    QString scratchA;
    QString scratchB;
    const QStringView x = visiblePart(a, scratchA);
    const QStringView y = visiblePart(b, scratchB);
    const UCollationResult order = ucol_strcoll(m_collator, units(x), int32_t(x.size()), units(y), int32_t(y.size()));
    return order != UCOL_EQUAL ? order == UCOL_LESS : a < b;
}

namespace {

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

} // namespace

std::vector<quint32> DictionaryOrder::sortedPositions(const QList<QString>& texts) const {
    std::vector<uint8_t> keys;
    keys.reserve(size_t(texts.size()) * 20);
    std::vector<SortItem> items;
    items.reserve(size_t(texts.size()));
    QString scratch;
    std::vector<uint8_t> key(256);
    for (qsizetype i = 0; i < texts.size(); ++i) {
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

    std::vector<quint32> positions;
    positions.reserve(items.size());
    for (const SortItem& item : items)
        positions.push_back(item.index);
    return positions;
}

} // namespace claimcheck
