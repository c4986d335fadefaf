#pragma once

#include "claims/claim_locations.h"
#include "support_check.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace claimcheck::report {

using claims::Location;

// A check and everything its report says about it.
struct Report {
    CheckResult result;
    QString claims;                // the claims text that was checked, as its occurrences' offsets count it
    qsizetype claimsFirstLine = 1; // the line number of its first line in the file it came from
    QString claimsName;            // the files, as given ("-" for standard input); for a draft, both are the draft
    QString descriptionName;
    // Where each finding's occurrences stand, finding by finding and in the same order.
    std::vector<std::vector<Location>> locations;
};

// Locates every occurrence of every finding, in one pass over the claims text.
Report makeReport(CheckResult result, QString claims, qsizetype claimsFirstLine, QString claimsName,
                  QString descriptionName);

// The version of the JSON layout; it changes only when a field changes meaning or goes away.
constexpr int kJsonFormatVersion = 1;

QString summaryLine(const Report& report);

// The style sheet of the report's pages, for screen and print.
QString reportPageStyle();

// One line per unsupported word, in the lists' order, then the summary line; UTF-8.
QByteArray textReport(const Report& report);

// One JSON object (the manual page describes it); UTF-8.
QByteArray jsonReport(const Report& report);

// One self-contained HTML page: the summary, a table of the unsupported words with links to every occurrence, and
// the claims text with each occurrence marked in red. Escaped and laid out in one pass over the claims.
QByteArray htmlReport(const Report& report);

} // namespace claimcheck::report
