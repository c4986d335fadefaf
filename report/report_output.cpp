#include "report_output.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <algorithm>

namespace claimcheck::report {

namespace {

// The results window's colour for the occurrences of an unsupported word.
constexpr auto kUnsupportedRed = "#ff0000";

QString plural(qsizetype count, const char* one, const char* many) {
    return QString::number(count) + u' ' + QLatin1StringView(count == 1 ? one : many);
}

QString whereFirst(const Location& location) {
    QString where;
    if (location.claim > 0)
        where = QStringLiteral("claim %1, ").arg(location.claim);
    return where + QStringLiteral("line %1, column %2").arg(location.line).arg(location.column);
}

// Where the occurrences after the first stand: their claim numbers, or their lines where they have none, each
// named once.
QString whereOthers(const std::vector<Location>& locations) {
    QStringList claims, lines;
    for (std::size_t i = 1; i < locations.size(); ++i) {
        const Location& location = locations[i];
        QStringList& list = location.claim > 0 ? claims : lines;
        const QString item = QString::number(location.claim > 0 ? location.claim : location.line);
        if (list.isEmpty() || list.back() != item)
            list.append(item);
    }
    QStringList parts;
    if (!claims.isEmpty())
        parts << QLatin1StringView(claims.size() == 1 ? "claim " : "claims ") + claims.join(QStringLiteral(", "));
    if (!lines.isEmpty())
        parts << QLatin1StringView(lines.size() == 1 ? "line " : "lines ") + lines.join(QStringLiteral(", "));
    return parts.join(QStringLiteral(", "));
}

QString shownWord(const QString& word) {
    return word.isEmpty() ? QStringLiteral("(empty)") : word;
}

// The classic rules are the windows' lists, which name no nearest words.
bool namesNearest(const CheckResult& result) {
    return result.rules != Rules::Classic;
}

QString notInTheClaims() {
    return QStringLiteral("not in the claims as written (the check removed punctuation or a line break)");
}

// Appends the text to the page, escaped. The vertical tab and form feed, which HTML does not allow, show as spaces.
void appendEscaped(QString& page, QStringView text) {
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            page += QLatin1StringView("&amp;");
            break;
        case u'<':
            page += QLatin1StringView("&lt;");
            break;
        case u'>':
            page += QLatin1StringView("&gt;");
            break;
        case u'"':
            page += QLatin1StringView("&quot;");
            break;
        case u'\v':
        case u'\f':
            page += u' ';
            break;
        default:
            page += c;
        }
    }
}

QString occurrenceId(std::size_t finding, std::size_t occurrence) {
    return QStringLiteral("o%1-%2").arg(finding + 1).arg(occurrence + 1);
}

const char* kStyle = R"(
body { font-family: "Liberation Sans", Arial, Helvetica, sans-serif; color: #000; background: #fff;
       max-width: 60em; margin: 1.5em auto; padding: 0 1em; line-height: 1.4; }
h1 { font-size: 1.4em; margin-bottom: .2em; }
h2 { font-size: 1.15em; margin-top: 1.5em; }
.files { color: #333; margin-top: 0; }
.summary { font-size: 1.1em; font-weight: bold; }
table { border-collapse: collapse; width: 100%; }
th, td { border: 1px solid #999; padding: .2em .5em; text-align: left; vertical-align: top; }
th { background: #eee; }
td.count { text-align: right; }
td.word { font-weight: bold; overflow-wrap: break-word; }
td.nearest { overflow-wrap: break-word; }
td.where a { white-space: nowrap; }
a { color: #0645ad; }
.claims { white-space: pre-wrap; overflow-wrap: anywhere; font-family: "Liberation Mono", "DejaVu Sans Mono",
          monospace; font-size: .9em; border: 1px solid #999; padding: .5em; }
.ln { display: inline-block; min-width: 3em; margin-right: 1em; color: #555; text-align: right;
      user-select: none; }
mark { background: none; color: %1; font-weight: bold; }
@page { margin: 15mm; }
@media print {
  body { max-width: none; margin: 0; padding: 0; font-size: 10pt; }
  a { color: inherit; text-decoration: none; }
  tr, .ln { break-inside: avoid; }
  h2 { break-after: avoid; }
  th { background: none; }
  mark { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
}
)";

} // namespace

QString reportPageStyle() {
    return QString::fromLatin1(kStyle).arg(QLatin1StringView(kUnsupportedRed));
}

Report makeReport(CheckResult result, QString claims, qsizetype claimsFirstLine, QString claimsName,
                  QString descriptionName) {
    Report report{std::move(result),     std::move(claims),          claimsFirstLine,
                  std::move(claimsName), std::move(descriptionName), {}};
    std::vector<qsizetype> offsets;
    for (const Finding& finding : report.result.unsupported)
        offsets.insert(offsets.end(), finding.occurrences.begin(), finding.occurrences.end());
    const std::vector<Location> all = claimcheck::claims::locate(report.claims, offsets, claimsFirstLine);
    auto next = all.begin();
    for (const Finding& finding : report.result.unsupported) {
        report.locations.emplace_back(next, next + qsizetype(finding.occurrences.size()));
        next += qsizetype(finding.occurrences.size());
    }
    return report;
}

QString summaryLine(const Report& report) {
    return QStringLiteral("%1 of %2 not found in the description (rules: %3)")
        .arg(report.result.unsupported.size())
        .arg(plural(report.result.claimsIndex.size(), "claim word", "claim words"))
        .arg(rulesName(report.result.rules));
}

QByteArray textReport(const Report& report) {
    QString text;
    for (std::size_t i = 0; i < report.result.unsupported.size(); ++i) {
        const Finding& finding = report.result.unsupported[i];
        const std::vector<Location>& locations = report.locations[i];
        text += shownWord(finding.word);
        if (!finding.nearest.isEmpty())
            text += QStringLiteral(" [nearest: %1]").arg(finding.nearest.join(QStringLiteral(", ")));
        text += QStringLiteral(" (%1): ").arg(locations.size());
        if (locations.empty()) {
            text += notInTheClaims();
        } else {
            text += whereFirst(locations.front());
            const QString others = whereOthers(locations);
            if (!others.isEmpty())
                text += QStringLiteral("; also ") + others;
        }
        text += u'\n';
    }
    text += summaryLine(report) + u'\n';
    return text.toUtf8();
}

QByteArray jsonReport(const Report& report) {
    QJsonObject root;
    root.insert(QStringLiteral("format"), kJsonFormatVersion);
    root.insert(QStringLiteral("program"),
                QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion());
    root.insert(QStringLiteral("rules"), rulesName(report.result.rules));
    if (namesNearest(report.result))
        root.insert(QStringLiteral("language"), languageCode(report.result.language));
    root.insert(QStringLiteral("claims_file"), report.claimsName);
    root.insert(QStringLiteral("description_file"), report.descriptionName);
    root.insert(QStringLiteral("claims_index"), QJsonArray::fromStringList(report.result.claimsIndex));
    root.insert(QStringLiteral("description_index"), QJsonArray::fromStringList(report.result.descriptionIndex));
    QJsonArray unsupported;
    for (std::size_t i = 0; i < report.result.unsupported.size(); ++i) {
        QJsonArray occurrences;
        for (const Location& location : report.locations[i]) {
            occurrences.append(QJsonObject{
                {QStringLiteral("claim"), location.claim > 0 ? QJsonValue(location.claim) : QJsonValue()},
                {QStringLiteral("line"), qint64(location.line)},
                {QStringLiteral("column"), qint64(location.column)},
                {QStringLiteral("offset"), qint64(location.offset)},
            });
        }
        QJsonObject finding{
            {QStringLiteral("word"), report.result.unsupported[i].word},
            {QStringLiteral("count"), occurrences.size()},
            {QStringLiteral("occurrences"), occurrences},
        };
        if (namesNearest(report.result))
            finding.insert(QStringLiteral("nearest"), QJsonArray::fromStringList(report.result.unsupported[i].nearest));
        unsupported.append(finding);
    }
    root.insert(QStringLiteral("unsupported"), unsupported);
    root.insert(QStringLiteral("summary"),
                QJsonObject{{QStringLiteral("claim_words"), report.result.claimsIndex.size()},
                            {QStringLiteral("unsupported"), qint64(report.result.unsupported.size())},
                            {QStringLiteral("text"), summaryLine(report)}});
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QByteArray htmlReport(const Report& report) {
    const CheckResult& result = report.result;
    QString page;
    page.reserve(report.claims.size() * 2 + 4096);
    page += QLatin1StringView("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                              "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>");
    appendEscaped(page, QStringLiteral("Claim support: %1").arg(report.claimsName));
    page += QLatin1StringView("</title>\n<style>");
    page += reportPageStyle();
    page += QLatin1StringView("</style>\n</head>\n<body>\n<h1>Claim support</h1>\n<p class=\"files\">");
    if (report.claimsName == report.descriptionName)
        appendEscaped(page, QStringLiteral("Draft: %1").arg(report.claimsName));
    else
        appendEscaped(page,
                      QStringLiteral("Claims: %1 · Description: %2").arg(report.claimsName, report.descriptionName));
    appendEscaped(page, QStringLiteral(" · Rules: %1 · %2 %3")
                            .arg(rulesName(result.rules), QCoreApplication::applicationName(),
                                 QCoreApplication::applicationVersion()));
    page += QLatin1StringView("</p>\n<p class=\"summary\">");
    appendEscaped(page, summaryLine(report));
    page += QLatin1StringView("</p>\n");

    if (!result.unsupported.empty()) {
        const bool nearestColumn = namesNearest(result);
        page += QLatin1StringView("<h2>Words of the claims not found in the description</h2>\n<table>\n"
                                  "<thead><tr><th>Word</th>");
        if (nearestColumn)
            page += QLatin1StringView("<th>Nearest in the description</th>");
        page += QLatin1StringView("<th>Count</th><th>Where</th></tr></thead>\n<tbody>\n");
        for (std::size_t i = 0; i < result.unsupported.size(); ++i) {
            const std::vector<Location>& locations = report.locations[i];
            page += QLatin1StringView("<tr><td class=\"word\">");
            appendEscaped(page, shownWord(result.unsupported[i].word));
            if (nearestColumn) {
                page += QLatin1StringView("</td><td class=\"nearest\">");
                appendEscaped(page, result.unsupported[i].nearest.join(QStringLiteral(", ")));
            }
            page += QStringLiteral("</td><td class=\"count\">%1</td><td class=\"where\">").arg(locations.size());
            if (locations.empty())
                appendEscaped(page, notInTheClaims());
            for (std::size_t k = 0; k < locations.size(); ++k) {
                if (k > 0)
                    page += QLatin1StringView(", ");
                page += QStringLiteral("<a href=\"#%1\">").arg(occurrenceId(i, k));
                page += k == 0                   ? whereFirst(locations[k])
                        : locations[k].claim > 0 ? QStringLiteral("claim %1").arg(locations[k].claim)
                                                 : QStringLiteral("line %1").arg(locations[k].line);
                page += QLatin1StringView("</a>");
            }
            page += QLatin1StringView("</td></tr>\n");
        }
        page += QLatin1StringView("</tbody>\n</table>\n");
    }

    // The claims, escaped, numbered by line and marked, in one pass: how many occurrences cover each character
    // comes from the changes at their ends, and each occurrence's anchor stands where it begins.
    const QString& claims = report.claims;
    std::vector<int> coverChange(std::size_t(claims.size()) + 1, 0);
    std::vector<std::pair<qsizetype, QString>> anchors;
    for (std::size_t i = 0; i < result.unsupported.size(); ++i) {
        const Finding& finding = result.unsupported[i];
        for (std::size_t k = 0; k < finding.occurrences.size(); ++k) {
            const qsizetype begin = finding.occurrences[k];
            ++coverChange[std::size_t(begin)];
            --coverChange[std::size_t(std::min(claims.size(), begin + finding.word.size()))];
            anchors.emplace_back(begin, occurrenceId(i, k));
        }
    }
    std::stable_sort(anchors.begin(), anchors.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    page += QLatin1StringView("<h2>Claims</h2>\n<div class=\"claims\">");
    int cover = 0;
    bool marked = false;
    auto anchor = anchors.begin();
    qsizetype lineNumber = report.claimsFirstLine;
    page += QStringLiteral("<span class=\"ln\">%1</span>").arg(lineNumber);
    for (qsizetype i = 0; i <= claims.size(); ++i) {
        cover += coverChange[std::size_t(i)];
        if (marked && cover == 0) {
            page += QLatin1StringView("</mark>");
            marked = false;
        }
        for (; anchor != anchors.end() && anchor->first == i; ++anchor)
            page += QStringLiteral("<span id=\"%1\"></span>").arg(anchor->second);
        if (i == claims.size())
            break;
        if (!marked && cover > 0) {
            page += QLatin1StringView("<mark>");
            marked = true;
        }
        const QChar c = claims.at(i);
        if (c == u'\n') {
            // A mark stays open across a line break; the line's number shows in its own colour.
            page += QStringLiteral("\n<span class=\"ln\">%1</span>").arg(++lineNumber);
        } else {
            appendEscaped(page, QStringView(&c, 1));
        }
    }
    page += QLatin1StringView("</div>\n");
    page += QLatin1StringView("</body>\n</html>\n");
    return page.toUtf8();
}

} // namespace claimcheck::report
