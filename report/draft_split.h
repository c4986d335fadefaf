#pragma once

#include "support_check.h"

#include <QString>

namespace claimcheck::report {

// A whole application cut at its claims heading.
struct DraftParts {
    QString description;                   // the text before the heading line
    QString claims;                        // the text after it, up to an "Abstract" heading line if one follows
    qsizetype claimsFirstLine = 1;         // the draft's line number (1-based) of the claims' first line
    Language language = Language::English; // German under "Patentansprüche", French under "Revendications"
    QString error;                         // why the draft could not be cut; empty when it was
    bool ok() const { return error.isEmpty(); }
};

// Whether the line is a claims heading: nothing but "Claims", "What is claimed is", "I claim", "We claim", "The
// invention claimed is", "Patent claims", "Patentansprüche" or "Revendications", in any case, with blanks around
// it and a final colon allowed.
bool isClaimsHeading(QStringView line);

// Cuts the draft (lines separated by "\n") at its one claims heading. No heading, or more than one, is an error
// whose message says which and asks for the two texts as two files.
DraftParts splitDraft(const QString& draft);

} // namespace claimcheck::report
