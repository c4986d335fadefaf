#include "draft_split.h"

#include <QList>
#include <QStringList>

#include <array>

namespace claimcheck::report {

namespace {

const std::array<QStringView, 8> kClaimsHeadings = {
    u"Claims",        u"What is claimed is", u"I claim",        u"We claim", u"The invention claimed is",
    u"Patent claims", u"Patentansprüche",    u"Revendications",
};

// The heading the line holds, without blanks around it and a final colon, or the line itself.
QStringView headingText(QStringView line) {
    QStringView text = line.trimmed();
    if (text.endsWith(u':'))
        text = text.chopped(1).trimmed();
    return text;
}

bool isAbstractHeading(QStringView line) {
    return headingText(line).compare(u"Abstract", Qt::CaseInsensitive) == 0;
}

QString lineList(const QList<qsizetype>& lines) {
    QStringList numbers;
    for (const qsizetype line : lines)
        numbers << QString::number(line);
    return numbers.join(QStringLiteral(", "));
}

} // namespace

bool isClaimsHeading(QStringView line) {
    const QStringView text = headingText(line);
    for (const QStringView heading : kClaimsHeadings)
        if (text.compare(heading, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

DraftParts splitDraft(const QString& draft) {
    DraftParts parts;
    // Where each line begins, and which lines are headings, in one pass.
    QList<qsizetype> headingLines;
    QList<qsizetype> headingStarts, headingEnds;
    qsizetype abstractStart = -1;
    qsizetype line = 1;
    for (qsizetype begin = 0; begin <= draft.size(); ++line) {
        qsizetype end = draft.indexOf(u'\n', begin);
        if (end < 0)
            end = draft.size();
        const QStringView text = QStringView(draft).sliced(begin, end - begin);
        if (isClaimsHeading(text)) {
            headingLines << line;
            headingStarts << begin;
            headingEnds << end;
            abstractStart = -1;
        } else if (!headingLines.isEmpty() && abstractStart < 0 && isAbstractHeading(text)) {
            abstractStart = begin;
        }
        begin = end + 1;
    }
    if (headingLines.isEmpty()) {
        parts.error = QStringLiteral("no claims heading (a line such as \"Claims\" or \"What is claimed is:\"); "
                                     "give the claims and the description as two files");
        return parts;
    }
    if (headingLines.size() > 1) {
        parts.error = QStringLiteral("%1 claims headings (lines %2); give the claims and the description as two "
                                     "files")
                          .arg(headingLines.size())
                          .arg(lineList(headingLines));
        return parts;
    }
    const qsizetype claimsBegin = qMin(headingEnds.front() + 1, draft.size());
    const qsizetype claimsEnd = abstractStart < 0 ? draft.size() : qMax(claimsBegin, abstractStart - 1);
    parts.description = draft.first(qMax<qsizetype>(0, headingStarts.front() - 1));
    parts.claims = draft.sliced(claimsBegin, claimsEnd - claimsBegin);
    parts.claimsFirstLine = headingLines.front() + 1;
    const QStringView heading =
        headingText(QStringView(draft).sliced(headingStarts.front(), headingEnds.front() - headingStarts.front()));
    if (heading.compare(u"Patentansprüche", Qt::CaseInsensitive) == 0)
        parts.language = Language::German;
    else if (heading.compare(u"Revendications", Qt::CaseInsensitive) == 0)
        parts.language = Language::French;
    return parts;
}

} // namespace claimcheck::report
