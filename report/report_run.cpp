#include "report_run.h"

#include "boxtext/line_breaks.h"
#include "draft_split.h"
#include "input_text.h"
#include "nearest_words.h"
#include "report_output.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>
#include <utility>

namespace claimcheck::report {

namespace {

QString shownName(const QString& path) {
    return path == u'-' ? QStringLiteral("standard input") : path;
}

RunOutcome failure(const QString& path, const QString& reason) {
    return RunOutcome{kError, {}, shownName(path) + QStringLiteral(": ") + reason};
}

// The text as its box would hold it, the file's own text let go as soon as it is copied: a long description is
// held twice only meanwhile.
QString heldText(InputText& input) {
    return asTextBoxHoldsIt(std::exchange(input.text, QString()));
}

bool isBlank(const QString& text) {
    for (const QChar c : text)
        if (!c.isSpace())
            return false;
    return true;
}

} // namespace

RunOutcome produceReport(const RunOptions& options) {
    if (options.files.size() == 2 && options.files[0] == u'-' && options.files[1] == u'-')
        return RunOutcome{
            kError, {}, QStringLiteral("standard input: can be read only once; name a file for one text")};

    QStringList ignored;
    if (!options.ignoreFile.isEmpty()) {
        const InputText list = readInputText(options.ignoreFile);
        if (!list.ok())
            return failure(options.ignoreFile, list.error);
        for (const QString& line : asTextBoxHoldsIt(list.text).split(u'\n')) {
            const QString word = line.trimmed();
            if (!word.isEmpty())
                ignored << word;
        }
    }

    QString claims, description;
    qsizetype claimsFirstLine = 1;
    Language language = options.language.value_or(Language::English);
    if (options.files.size() == 1) {
        const QString& path = options.files[0];
        InputText draft = readInputText(path);
        if (!draft.ok())
            return failure(path, draft.error);
        DraftParts parts = splitDraft(heldText(draft));
        if (!parts.ok())
            return failure(path, parts.error);
        if (isBlank(parts.description))
            return failure(path, QStringLiteral("no description before its claims heading"));
        if (isBlank(parts.claims))
            return failure(path, QStringLiteral("no claims after its claims heading"));
        claims = std::move(parts.claims);
        description = std::move(parts.description);
        claimsFirstLine = parts.claimsFirstLine;
        language = options.language.value_or(parts.language);
    } else {
        InputText claimsText = readInputText(options.files[0]);
        if (!claimsText.ok())
            return failure(options.files[0], claimsText.error);
        claims = heldText(claimsText);
        InputText descriptionText = readInputText(options.files[1]);
        if (!descriptionText.ok())
            return failure(options.files[1], descriptionText.error);
        description = heldText(descriptionText);
    }

    const Proofreading proofreading = proofread(claims, claimsFirstLine, options.checks);
    const bool proofErrors = hasErrors(proofreading);
    if (!options.checks.support) {
        const int status = proofErrors ? kSomeUnsupported : kAllSupported;
        const QString claimsName = shownName(options.files.front()), descriptionName = shownName(options.files.back());
        switch (options.format) {
        case Format::Json:
            return RunOutcome{status, proofreadingJson({}, proofreading, claimsName, descriptionName), {}};
        case Format::Html:
            return RunOutcome{
                status, proofreadingHtml({}, proofreading, claims, claimsFirstLine, claimsName, descriptionName), {}};
        case Format::Text:
            break;
        }
        return RunOutcome{status, proofreadingText(proofreading), {}};
    }

    // The description is needed by the check alone (the classic one lets go of it once its index is made), and is
    // not held while the report is made.
    CheckResult result;
    switch (options.rules) {
    case Rules::Classic:
        result = checkClassic(claims, std::move(description));
        break;
    case Rules::Words:
        result = checkWords(claims, description, ignored);
        result.language = language;
        break;
    case Rules::Stems:
        result = checkStems(claims, description, ignored, language);
        break;
    }
    description = QString();
    addNearestWords(result);
    const int status = result.unsupported.empty() && !proofErrors ? kAllSupported : kSomeUnsupported;
    const Report report = makeReport(std::move(result), std::move(claims), claimsFirstLine,
                                     shownName(options.files.front()), shownName(options.files.back()));
    switch (options.format) {
    case Format::Json:
        return RunOutcome{
            status, proofreadingJson(jsonReport(report), proofreading, report.claimsName, report.descriptionName), {}};
    case Format::Html:
        return RunOutcome{status,
                          proofreadingHtml(htmlReport(report), proofreading, report.claims, claimsFirstLine,
                                           report.claimsName, report.descriptionName),
                          {}};
    case Format::Text:
        break;
    }
    return RunOutcome{status, proofreadingText(proofreading) + textReport(report), {}};
}

bool writeReport(const QString& path, const QByteArray& report, QString& error) {
    if (path.isEmpty()) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly) || out.write(report) != report.size() || !out.flush()) {
            error = QStringLiteral("standard output: cannot be written (%1)").arg(out.errorString());
            return false;
        }
        return true;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(report) != report.size() || !file.commit()) {
        error = QStringLiteral("%1: cannot be written (%2)").arg(path, file.errorString());
        file.cancelWriting();
        return false;
    }
    return true;
}

} // namespace claimcheck::report
