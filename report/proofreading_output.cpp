#include "proofreading_output.h"

#include "proofreading/antecedents.h"
#include "proofreading/references.h"
#include "report_output.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <algorithm>

namespace claimcheck::report {

namespace {

using proofreading::ProofFinding;
using proofreading::Tier;

// Errors in the results window's red; warnings in a dark orange that still reads on white.
constexpr auto kErrorColour = "#ff0000";
constexpr auto kWarningColour = "#b35900";

QString tierName(Tier tier) {
    return tier == Tier::Error ? QStringLiteral("error") : QStringLiteral("warning");
}

QString where(const claims::Location& location) {
    QString text;
    if (location.claim > 0)
        text = QStringLiteral("claim %1, ").arg(location.claim);
    return text + QStringLiteral("line %1, column %2").arg(location.line).arg(location.column);
}

QString counted(qsizetype count, const char* one, const char* many) {
    return QString::number(count) + u' ' + QLatin1StringView(count == 1 ? one : many);
}

QString tally(const std::vector<ProofFinding>& findings) {
    const auto errors =
        std::count_if(findings.begin(), findings.end(), [](const ProofFinding& f) { return f.tier == Tier::Error; });
    return counted(errors, "error", "errors") + QStringLiteral(", ") +
           counted(qsizetype(findings.size()) - errors, "warning", "warnings");
}

QString summary(const Proofreading& proofreading) {
    QStringList parts;
    if (proofreading.antecedentsChecked)
        parts << QStringLiteral("antecedents: ") + tally(proofreading.antecedents);
    if (proofreading.referencesChecked)
        parts << QStringLiteral("references: ") + tally(proofreading.references);
    return parts.join(QStringLiteral("; "));
}

std::vector<claims::Location> locations(const QString& claims, const claims::ClaimSet& set,
                                        const std::vector<ProofFinding>& findings, qsizetype firstLine) {
    std::vector<qsizetype> offsets;
    for (const ProofFinding& finding : findings)
        offsets.push_back(finding.offset);
    return claims::locate(claims, set, offsets, firstLine);
}

QJsonArray jsonFindings(const std::vector<ProofFinding>& findings, const std::vector<claims::Location>& at) {
    QJsonArray array;
    for (std::size_t i = 0; i < findings.size(); ++i)
        array.append(QJsonObject{
            {QStringLiteral("claim"), findings[i].claim > 0 ? QJsonValue(findings[i].claim) : QJsonValue()},
            {QStringLiteral("line"), qint64(at[i].line)},
            {QStringLiteral("column"), qint64(at[i].column)},
            {QStringLiteral("offset"), qint64(at[i].offset)},
            {QStringLiteral("tier"), tierName(findings[i].tier)},
            {QStringLiteral("term"), findings[i].term},
            {QStringLiteral("message"), findings[i].message},
        });
    return array;
}

QString escaped(QStringView text) {
    QString plain = text.toString();
    plain.replace(u'\v', u' ').replace(u'\f', u' ');
    return plain.toHtmlEscaped();
}

QString anchor(const char* check, std::size_t index) {
    return QStringLiteral("%1%2").arg(QLatin1StringView(check)).arg(index + 1);
}

QString markStyle(Tier tier) {
    return QStringLiteral("background: none; color: %1; font-weight: bold; text-decoration: %2;")
        .arg(QLatin1StringView(tier == Tier::Error ? kErrorColour : kWarningColour),
             QLatin1StringView(tier == Tier::Error ? "none" : "underline dotted"));
}

void appendTable(QString& page, const char* title, const char* check, const std::vector<ProofFinding>& findings,
                 const std::vector<claims::Location>& at) {
    page += QStringLiteral("<h2>%1</h2>\n<p>%2</p>\n").arg(QLatin1StringView(title), escaped(tally(findings)));
    if (findings.empty())
        return;
    page += QLatin1StringView("<table>\n<thead><tr><th>Where</th><th>Tier</th><th>Words</th><th>Finding</th></tr>"
                              "</thead>\n<tbody>\n");
    for (std::size_t i = 0; i < findings.size(); ++i) {
        page += QStringLiteral("<tr><td class=\"where\"><a href=\"#%1\">%2</a></td><td>%3</td>"
                               "<td class=\"word\">%4</td><td>%5</td></tr>\n")
                    .arg(anchor(check, i), escaped(where(at[i])), tierName(findings[i].tier), escaped(findings[i].term),
                         escaped(findings[i].message));
    }
    page += QLatin1StringView("</tbody>\n</table>\n");
}

// The claims with every finding's words marked and an anchor where each begins, escaped and numbered by line in
// one pass. Findings that overlap take the first one's mark.
void appendMarkedClaims(QString& page, const QString& claims, qsizetype firstLine, const Proofreading& proofreading) {
    struct Mark {
        qsizetype begin;
        qsizetype end;
        Tier tier;
        QString id;
    };
    std::vector<Mark> marks;
    for (std::size_t i = 0; i < proofreading.antecedents.size(); ++i) {
        const ProofFinding& f = proofreading.antecedents[i];
        marks.push_back({f.offset, f.offset + f.length, f.tier, anchor("a", i)});
    }
    for (std::size_t i = 0; i < proofreading.references.size(); ++i) {
        const ProofFinding& f = proofreading.references[i];
        marks.push_back({f.offset, f.offset + f.length, f.tier, anchor("r", i)});
    }
    std::stable_sort(marks.begin(), marks.end(), [](const Mark& a, const Mark& b) { return a.begin < b.begin; });
    page +=
        QStringLiteral("<h2>Claims, proofread</h2>\n<div class=\"claims\"><span class=\"ln\">%1</span>").arg(firstLine);
    qsizetype line = firstLine;
    qsizetype markEnd = -1;
    QString markOpen;
    auto next = marks.begin();
    for (qsizetype i = 0; i <= claims.size(); ++i) {
        if (markEnd == i) {
            page += QLatin1StringView("</mark>");
            markEnd = -1;
        }
        for (; next != marks.end() && next->begin == i; ++next) {
            page += QStringLiteral("<span id=\"%1\"></span>").arg(next->id);
            if (markEnd < 0 && next->end > i) {
                markOpen = QStringLiteral("<mark style=\"%1\">").arg(markStyle(next->tier));
                page += markOpen;
                markEnd = std::min(next->end, claims.size());
            }
        }
        if (i == claims.size())
            break;
        const QChar c = claims.at(i);
        if (c == u'\n') {
            if (markEnd >= 0)
                page += QLatin1StringView("</mark>");
            page += QStringLiteral("\n<span class=\"ln\">%1</span>").arg(++line);
            if (markEnd >= 0)
                page += markOpen;
        } else {
            page += escaped(QStringView(&c, 1));
        }
    }
    if (markEnd >= 0)
        page += QLatin1StringView("</mark>");
    page += QLatin1StringView("</div>\n");
}

} // namespace

bool parseChecks(const QString& value, Checks& checks, QString& error) {
    Checks chosen{false, false, false};
    for (const QString& name : value.split(u',', Qt::SkipEmptyParts)) {
        const QString trimmed = name.trimmed();
        if (trimmed == u"support")
            chosen.support = true;
        else if (trimmed == u"antecedents")
            chosen.antecedents = true;
        else if (trimmed == u"references")
            chosen.references = true;
        else {
            error = QStringLiteral("--checks: no check named '%1' (support, antecedents or references)").arg(trimmed);
            return false;
        }
    }
    if (!chosen.support && !chosen.antecedents && !chosen.references) {
        error = QStringLiteral("--checks: name at least one check (support, antecedents or references)");
        return false;
    }
    checks = chosen;
    return true;
}

Proofreading proofread(const QString& claims, qsizetype claimsFirstLine, const Checks& checks) {
    Proofreading result;
    if (!checks.antecedents && !checks.references)
        return result;
    const claims::ClaimSet set = claims::readClaims(claims);
    if (checks.antecedents) {
        result.antecedentsChecked = true;
        result.antecedents = proofreading::checkAntecedents(claims, set);
        result.antecedentLocations = locations(claims, set, result.antecedents, claimsFirstLine);
    }
    if (checks.references) {
        result.referencesChecked = true;
        result.references = proofreading::checkReferences(claims, set);
        result.referenceLocations = locations(claims, set, result.references, claimsFirstLine);
    }
    return result;
}

bool hasErrors(const Proofreading& proofreading) {
    const auto error = [](const ProofFinding& f) { return f.tier == Tier::Error; };
    return std::any_of(proofreading.antecedents.begin(), proofreading.antecedents.end(), error) ||
           std::any_of(proofreading.references.begin(), proofreading.references.end(), error);
}

QByteArray proofreadingText(const Proofreading& proofreading) {
    if (!proofreading.antecedentsChecked && !proofreading.referencesChecked)
        return {};
    QString text;
    const auto lines = [&text](const char* check, const std::vector<ProofFinding>& findings,
                               const std::vector<claims::Location>& at) {
        for (std::size_t i = 0; i < findings.size(); ++i)
            text += QStringLiteral("%1: %2: %3: %4\n")
                        .arg(where(at[i]), tierName(findings[i].tier), QLatin1StringView(check), findings[i].message);
    };
    lines("antecedents", proofreading.antecedents, proofreading.antecedentLocations);
    lines("references", proofreading.references, proofreading.referenceLocations);
    text += summary(proofreading) + u'\n';
    return text.toUtf8();
}

QByteArray proofreadingJson(const QByteArray& supportJson, const Proofreading& proofreading, const QString& claimsName,
                            const QString& descriptionName) {
    QJsonObject root;
    if (!supportJson.isEmpty()) {
        root = QJsonDocument::fromJson(supportJson).object();
    } else {
        // The same layout version as the support report's: these fields mean here what they mean there.
        root.insert(QStringLiteral("format"), 1);
        root.insert(QStringLiteral("program"),
                    QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion());
        root.insert(QStringLiteral("claims_file"), claimsName);
        root.insert(QStringLiteral("description_file"), descriptionName);
    }
    if (proofreading.antecedentsChecked)
        root.insert(QStringLiteral("antecedents"),
                    jsonFindings(proofreading.antecedents, proofreading.antecedentLocations));
    if (proofreading.referencesChecked)
        root.insert(QStringLiteral("references"),
                    jsonFindings(proofreading.references, proofreading.referenceLocations));
    if (proofreading.antecedentsChecked || proofreading.referencesChecked)
        root.insert(QStringLiteral("proofreading_summary"), summary(proofreading));
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QByteArray proofreadingHtml(const QByteArray& supportPage, const Proofreading& proofreading, const QString& claims,
                            qsizetype claimsFirstLine, const QString& claimsName, const QString& descriptionName) {
    if (!proofreading.antecedentsChecked && !proofreading.referencesChecked)
        return supportPage;
    QString sections;
    sections.reserve(claims.size() * 2 + 4096);
    if (supportPage.isEmpty())
        sections += QStringLiteral("<p class=\"summary\">%1</p>\n").arg(escaped(summary(proofreading)));
    if (proofreading.antecedentsChecked)
        appendTable(sections, "Antecedent basis", "a", proofreading.antecedents, proofreading.antecedentLocations);
    if (proofreading.referencesChecked)
        appendTable(sections, "Claim numbers and references", "r", proofreading.references,
                    proofreading.referenceLocations);
    appendMarkedClaims(sections, claims, claimsFirstLine, proofreading);

    if (!supportPage.isEmpty()) {
        QByteArray page = supportPage;
        const qsizetype end = page.lastIndexOf("</body>");
        page.insert(end < 0 ? page.size() : end, sections.toUtf8());
        return page;
    }
    QString page = QLatin1StringView("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                                     "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                                     "<title>");
    page += escaped(QStringLiteral("Claims proofread: %1").arg(claimsName));
    page += QLatin1StringView("</title>\n<style>");
    page += reportPageStyle();
    page += QLatin1StringView("</style>\n</head>\n<body>\n<h1>Claims proofread</h1>\n<p class=\"files\">");
    page += escaped(claimsName == descriptionName ? QStringLiteral("Draft: %1").arg(claimsName)
                                                  : QStringLiteral("Claims: %1").arg(claimsName));
    page += escaped(
        QStringLiteral(" · %1 %2").arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion()));
    page += QLatin1StringView("</p>\n");
    page += sections;
    page += QLatin1StringView("</body>\n</html>\n");
    return page.toUtf8();
}

} // namespace claimcheck::report
