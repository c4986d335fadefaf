#pragma once

#include "proofreading_output.h"
#include "support_check.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace claimcheck::report {

enum class Format { Text, Json, Html };

struct RunOptions {
    QStringList files; // CLAIMS and DESCRIPTION, or one DRAFT; "-" is standard input
    Rules rules = Rules::Stems;
    Format format = Format::Text;
    QString ignoreFile; // the user's own words to leave out (words and stems rules), one a line; empty for none
    // The stemmer's language; without one, a draft's claims heading tells it, and English otherwise.
    std::optional<Language> language;
    Checks checks;
};

// Exit statuses, as linters have them.
constexpr int kAllSupported = 0;
constexpr int kSomeUnsupported = 1;
constexpr int kError = 2;

struct RunOutcome {
    int status = kError;
    QByteArray output; // the whole report, when status is not kError
    QString error;     // one line naming the file and the reason, when it is
};

// Reads the files, checks the claims against the description and renders the report; writes nothing.
RunOutcome produceReport(const RunOptions& options);

// Writes the report to the file through a save that replaces it only once the whole report is in place, or to
// standard output for an empty name. Returns false with the reason.
bool writeReport(const QString& path, const QByteArray& report, QString& error);

} // namespace claimcheck::report
