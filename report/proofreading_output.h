#pragma once

#include "claims/claim_locations.h"
#include "proofreading/findings.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace claimcheck::report {

// Which checks a run makes; all by default.
struct Checks {
    bool support = true;
    bool antecedents = true;
    bool references = true;
};

// Parses a --checks value, "support,antecedents,references" or any of them; false for an unknown name or none.
bool parseChecks(const QString& value, Checks& checks, QString& error);

// The proofreading checks of a claims text and where their findings stand.
struct Proofreading {
    bool antecedentsChecked = false;
    bool referencesChecked = false;
    std::vector<proofreading::ProofFinding> antecedents;
    std::vector<proofreading::ProofFinding> references;
    std::vector<claims::Location> antecedentLocations; // finding by finding
    std::vector<claims::Location> referenceLocations;
};

Proofreading proofread(const QString& claims, qsizetype claimsFirstLine, const Checks& checks);

// Whether any finding is an error, not only a warning.
bool hasErrors(const Proofreading& proofreading);

// One line per finding, antecedents then references, each in text order, then a summary line; UTF-8.
QByteArray proofreadingText(const Proofreading& proofreading);

// The support report's JSON object with the "antecedents" and "references" arrays added; or, for an empty
// `supportJson`, an object of its own that names the program and the files.
QByteArray proofreadingJson(const QByteArray& supportJson, const Proofreading& proofreading, const QString& claimsName,
                            const QString& descriptionName);

// The support report's page with the proofreading sections added before its end: a table of each check's findings
// and the claims with each finding's words marked; or, for an empty `supportPage`, a page of its own.
QByteArray proofreadingHtml(const QByteArray& supportPage, const Proofreading& proofreading, const QString& claims,
                            qsizetype claimsFirstLine, const QString& claimsName, const QString& descriptionName);

} // namespace claimcheck::report
