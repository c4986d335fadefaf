#pragma once

#include <QVariant>

namespace claimcheck {

// The results window's own variables. They live outside the window so that they keep their values when the
// user closes it. A null QVariant is the "empty" value. Qt 6 does not compare it equal to "" or to 0 with ==, so
// code that must treat it as "" or 0 converts it first: toString() gives "" and toInt() gives 0.
struct ResultsRecord {
    QVariant tampon;     // the word the disclosure index echo types into List2
    QVariant la;         // offset of the occurrence the last search found, or -1
    QVariant start;      // offset at which the next search begins
    QVariant previtem;   // word of the last successful find
    QVariant flagclick3; // true while the echo runs
};

} // namespace claimcheck
