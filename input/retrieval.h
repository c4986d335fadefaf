#pragma once

#include <QString>

namespace claimcheck {

// The full-text web server of the Espacenet patent database, which serves the claims and the description pages.
inline constexpr char kPatentServer[] = "ep.espacenet.com";

// The patent number N as the retrieval uses it: the typed text in upper case, with the blanks (U+0020 only) at
// either end removed. Nothing else is checked, converted or escaped; the result may be empty.
QString patentNumber(const QString& typed);

// "http://" + server + the fixed path and query, with N under the query keys PNP and PN. The server may carry a
// port ("127.0.0.1:8080").
QString claimsAddress(const QString& server, const QString& number);
QString descriptionAddress(const QString& server, const QString& number);

} // namespace claimcheck
