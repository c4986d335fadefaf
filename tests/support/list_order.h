#pragma once

// An independent statement of the word lists' order in the C locale, on a different path from the lists' own sort
// keys: Qt's collator for US English (ICU's root order) on the characters that show, the exact code units to break
// ties.

#include <QChar>
#include <QCollator>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace claimcheck::testing {

inline bool referenceBefore(const QString& a, const QString& b) {
    static const QCollator collator(QLocale(QLocale::English, QLocale::UnitedStates));
    const auto visible = [](QString text) {
        text.removeIf([](QChar c) {
            return c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
                   c.category() == QChar::Separator_Paragraph;
        });
        return text;
    };
    const int order = collator.compare(visible(a), visible(b));
    return order != 0 ? order < 0 : a < b;
}

// Whether no entry collates before the one above it.
inline bool isInListOrder(const QStringList& entries) {
    for (qsizetype i = 1; i < entries.size(); ++i)
        if (referenceBefore(entries[i], entries[i - 1]))
            return false;
    return true;
}

} // namespace claimcheck::testing
