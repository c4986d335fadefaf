#pragma once

#include <QList>
#include <QString>

#include <vector>

struct UCollator;

namespace claimcheck {

// The order in which the word lists show their entries: a dictionary's order in the user's language. Entries are
// compared by ICU's collator for the collation locale of the user (QLocale().collation(), which follows
// LC_COLLATE); where that locale is C or POSIX, whose collation is plain code points, by ICU's root order, which
// suits English, German and French alike. Base letters decide first, accents next and case last, so "élan" stands
// between "Ebene" and "Emil", and "apple" just before "Apple". Digits compare one by one, as text ("10" before
// "9"). Control characters (line breaks, tabs) and line and paragraph separators take no part in the comparison:
// an entry stands where its visible characters put it. Entries that still compare equal are ordered by their exact
// code units, so the order is total and the sorted order does not depend on the order the entries came in.
//
// The collation locale is read when the order is made.
class DictionaryOrder {
public:
    DictionaryOrder();
    ~DictionaryOrder();
    DictionaryOrder(const DictionaryOrder&) = delete;
    DictionaryOrder& operator=(const DictionaryOrder&) = delete;

    bool before(const QString& a, const QString& b) const;

    // Where each text goes: element i is the index in `texts` of the text that stands i-th in the order. Each
    // text's sort key is made once, and the sort compares keys, which are bytes.
    std::vector<quint32> sortedPositions(const QList<QString>& texts) const;

private:
    UCollator* m_collator = nullptr;
};

} // namespace claimcheck
