#pragma once

#include <QVariant>

namespace claimcheck {

// The results window's own variables. They live outside the window so that they keep their values when the
// user closes it; a null QVariant is the "empty" value, which compares equal to "" and to 0.
struct ResultsRecord {
    QVariant tampon;     // the word the disclosure index echo types into List2
    QVariant la;         // offset of the occurrence the last search found, or -1
    QVariant start;      // offset at which the next search begins
    QVariant previtem;   // word of the last successful find
    QVariant flagclick3; // true while the echo runs
};

} // namespace claimcheck
