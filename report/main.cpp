// claimcheck-report: checks that the words of a patent's claims are supported by its description, and proofreads the
// claims (antecedent basis, references), from files, and reports what it found. Exit status 0 when every claim word
// is supported and no error is found, 1 otherwise, 2 on an error.

#include "report/document_text.h"
#include "report/report_run.h"
#include "report/support_check.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

using namespace claimcheck::report;

namespace {

int fail(const QString& message) {
    QTextStream(stderr) << QCoreApplication::applicationName() << ": " << message << Qt::endl;
    return kError;
}

QString description() {
    QString text = QStringLiteral(
        "Checks that every word of a patent's claims is supported by its description, and reports the words that are "
        "not, each with where it stands (claim, line, column).\n"
        "\n"
        "Give the claims and the description as two files (either may be - for standard input), or one draft that "
        "holds both, cut at its claims heading (\"Claims\", \"What is claimed is:\", ...). Files may be plain text "
        "(UTF-8, or UTF-16 with a byte-order mark), Word documents (.docx) or OpenDocument texts (.odt). ");
    text +=
        QStringLiteral("A document's body may inflate to at most %1 MB and hold at most %2 MB of text, and a document "
                       "that declares a DTD or entities is refused.\n"
                       "\n")
            .arg(kMaxDocumentPartBytes >> 20)
            .arg(kMaxDocumentTextCharacters >> 20);
    text += QStringLiteral(
        "Rules: 'stems' (the default) and 'words' split both texts at white space, strip punctuation from the ends of "
        "each word, leave out words without a letter, labels such as (a) or (iv), and these words of the claims' "
        "own:\n"
        "  ");
    const auto listed = [](const QStringList& upperCase) {
        QStringList words;
        for (const QString& word : upperCase)
            words << word.toLower();
        return words.join(QStringLiteral(", "));
    };
    text += listed(builtInIgnoredWords());
    text += QStringLiteral("\n"
                           "'stems' also leaves out the claims' formal words\n"
                           "  ");
    text += listed(formalClaimWords());
    text += QStringLiteral(
        "\n"
        "and a final possessive ('s). With 'stems' a claim word is supported when its Snowball stem is the stem of "
        "a whole word of the description, ignoring case, and in English the two differ only in inflectional endings "
        "(\"mounting\" by \"mounted\", never \"rod\" by \"production\" nor \"connection\" by "
        "\"connected\"); the description's words joined by hyphens, slashes or dashes count as whole words and "
        "as their parts, and a claim word with hyphens is also supported by its parts in that order joined by "
        "hyphens, blanks or nothing. With 'words' a claim word is supported when, ignoring case, it occurs inside "
        "one word of the description. 'classic' is the windowed claimcheck's check, word for word.\n"
        "Each word not found comes with up to three of the description's words nearest to it: those of the same "
        "stem, else those the fewest edits away (one for a word of up to four letters, two up to eight, else "
        "three).\n"
        "\n"
        "Checks besides support: 'antecedents' (every \"the X\" or \"said X\" needs an earlier \"a X\" in its claim "
        "or a claim it depends on) and 'references' (every claim refers to earlier, existing claims; numbers in "
        "order). Their findings are errors or warnings.\n"
        "\n"
        "Exit status: 0 when every claim word is supported and no check finds an error, 1 otherwise, 2 on an "
        "error.");
    return text;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("claimcheck-report"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CLAIMCHECK_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(description());
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption rulesOption(
        QStringLiteral("rules"), QStringLiteral("The rules of the check: stems (the default), words or classic."),
        QStringLiteral("rules"), QStringLiteral("stems"));
    const QCommandLineOption languageOption(
        QStringLiteral("language"),
        QStringLiteral("The stemmer's language: en, de or fr; by default the draft's claims heading tells it "
                       "(Patentansprüche: de, Revendications: fr), else en."),
        QStringLiteral("language"));
    const QCommandLineOption formatOption(QStringLiteral("format"),
                                          QStringLiteral("The report's format: text (the default), json or html."),
                                          QStringLiteral("format"), QStringLiteral("text"));
    const QCommandLineOption outputOption(
        QStringList{QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("Write the report to <file>, replacing it only once the report is complete; standard output "
                       "by default or for -."),
        QStringLiteral("file"));
    const QCommandLineOption ignoreOption(
        QStringLiteral("ignore"),
        QStringLiteral("Leave out the words in <file> too (one a line, any case); stems and words rules."),
        QStringLiteral("file"));
    const QCommandLineOption checksOption(
        QStringLiteral("checks"),
        QStringLiteral("The checks to make, separated by commas: support, antecedents, references (all by default)."),
        QStringLiteral("checks"), QStringLiteral("support,antecedents,references"));
    parser.addOptions({rulesOption, languageOption, formatOption, outputOption, ignoreOption, checksOption});
    parser.addPositionalArgument(QStringLiteral("claims"), QStringLiteral("The claims, or a draft holding both texts."),
                                 QStringLiteral("CLAIMS|DRAFT"));
    parser.addPositionalArgument(QStringLiteral("description"), QStringLiteral("The description."),
                                 QStringLiteral("[DESCRIPTION]"));

    if (!parser.parse(QCoreApplication::arguments()))
        return fail(parser.errorText() + QStringLiteral(" (see --help)"));
    if (parser.isSet(helpOption)) {
        QTextStream(stdout) << parser.helpText();
        return 0;
    }
    if (parser.isSet(versionOption)) {
        QTextStream(stdout) << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion()
                            << Qt::endl;
        return 0;
    }

    RunOptions options;
    options.files = parser.positionalArguments();
    if (options.files.isEmpty() || options.files.size() > 2)
        return fail(QStringLiteral("give CLAIMS and DESCRIPTION, or one DRAFT (see --help)"));

    const QString rules = parser.value(rulesOption);
    if (rules == u"classic")
        options.rules = Rules::Classic;
    else if (rules == u"words")
        options.rules = Rules::Words;
    else if (rules != u"stems")
        return fail(QStringLiteral("--rules: no rules named '%1' (stems, words or classic)").arg(rules));

    if (parser.isSet(languageOption)) {
        const QString language = parser.value(languageOption);
        if (language == u"en")
            options.language = Language::English;
        else if (language == u"de")
            options.language = Language::German;
        else if (language == u"fr")
            options.language = Language::French;
        else
            return fail(QStringLiteral("--language: no language named '%1' (en, de or fr)").arg(language));
        if (options.rules == Rules::Classic)
            return fail(QStringLiteral("--language: applies to the stems and words rules only"));
    }

    const QString format = parser.value(formatOption);
    if (format == u"json")
        options.format = Format::Json;
    else if (format == u"html")
        options.format = Format::Html;
    else if (format != u"text")
        return fail(QStringLiteral("--format: no format named '%1' (text, json or html)").arg(format));

    if (parser.isSet(ignoreOption)) {
        if (options.rules == Rules::Classic)
            return fail(QStringLiteral("--ignore: applies to the stems and words rules only"));
        options.ignoreFile = parser.value(ignoreOption);
        if (options.ignoreFile.isEmpty())
            return fail(QStringLiteral("--ignore: needs a file name"));
    }
    QString checksError;
    if (!parseChecks(parser.value(checksOption), options.checks, checksError))
        return fail(checksError);
    QString output = parser.value(outputOption);
    if (parser.isSet(outputOption) && output.isEmpty())
        return fail(QStringLiteral("--output: needs a file name"));
    if (output == u'-')
        output.clear(); // standard output, as for the inputs

    const RunOutcome outcome = produceReport(options);
    if (outcome.status == kError)
        return fail(outcome.error);
    QString error;
    if (!writeReport(output, outcome.output, error))
        return fail(error);
    return outcome.status;
}
