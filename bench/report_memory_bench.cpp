// The peak memory of claimcheck-report, run as a script runs it, one child process per input: descriptions of 10,
// 50 and 200 MB and one of a single 200 MB word, which it must check within 8 times their text plus 50 MB; and
// hostile documents small on disk (parts that inflate to a gigabyte, their size stated or hidden, entities used
// thousands of times, text past its limit), which it must refuse with status 2 within 5 seconds and 300 MB. Takes
// the rule set as its argument. Prints a table and the targets; the exit status is 1 when one is missed.

#include "bench/synthetic_text.h"
#include "documents.h"
#include "platform/system.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <zip.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

using claimcheck::testing::kContentXmlEnd;
using claimcheck::testing::kContentXmlStart;
using claimcheck::testing::kDocumentXmlEnd;
using claimcheck::testing::kDocumentXmlStart;

constexpr double kMiB = 1024.0 * 1024.0;
// Checked inputs: at most this many times their text, plus the program's own start.
constexpr double kTextFactor = 8.0;
constexpr double kBaseMiB = 50.0;
// Refused inputs: this much memory and time at most.
constexpr double kRefusedMiB = 300.0;
constexpr double kRefusedSeconds = 5.0;

constexpr qint64 kGiB = qint64(1) << 30;

[[noreturn]] void fail(const QString& message) {
    std::fprintf(stderr, "claimcheck_report_memory_bench: %s\n", qPrintable(message));
    std::exit(2);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        fail(QStringLiteral("cannot write %1").arg(path));
}

QByteArray utf8(const std::u16string& text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size())).toUtf8();
}

// A description of description-like text of at least `bytes` bytes, made and written a piece at a time.
void writeDescription(const QString& path, qint64 bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail(QStringLiteral("cannot write %1").arg(path));
    for (std::uint64_t seed = 1; file.size() < bytes; ++seed) {
        const QByteArray piece = utf8(claimcheck::bench::patentLikeText(200'000, seed)) + '\n';
        if (file.write(piece) != piece.size())
            fail(QStringLiteral("cannot write %1").arg(path));
    }
}

// A zip archive whose one main part is `start`, `block` as often as it takes to make `size` bytes, and `end`; the
// block is given to libzip once for each time, not copied. Deflated at the fastest level, as a sender who wants a
// small file quickly would.
QByteArray archiveWithLargePart(const char* name, const QByteArray& start, const QByteArray& block,
                                const QByteArray& end, qint64 size, const char* mimeType, const QString& path) {
    std::vector<zip_buffer_fragment_t> fragments;
    fragments.push_back(
        {reinterpret_cast<zip_uint8_t*>(const_cast<char*>(start.constData())), zip_uint64_t(start.size())});
    for (qint64 filled = start.size() + end.size(); filled < size; filled += block.size())
        fragments.push_back(
            {reinterpret_cast<zip_uint8_t*>(const_cast<char*>(block.constData())), zip_uint64_t(block.size())});
    fragments.push_back({reinterpret_cast<zip_uint8_t*>(const_cast<char*>(end.constData())), zip_uint64_t(end.size())});
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        fail(QStringLiteral("cannot make %1").arg(path));
    if (mimeType) {
        zip_source_t* source = zip_source_buffer(archive, mimeType, std::strlen(mimeType), 0);
        const zip_int64_t index = zip_file_add(archive, "mimetype", source, 0);
        zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    zip_source_t* source = zip_source_buffer_fragment(archive, fragments.data(), fragments.size(), 0);
    const zip_int64_t index = source ? zip_file_add(archive, name, source, 0) : -1;
    if (index < 0 || zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 1) != 0 ||
        zip_close(archive) != 0)
        fail(QStringLiteral("cannot make %1").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1").arg(path));
    return file.readAll();
}

// About a mebibyte of whole copies of the unit.
QByteArray blockOf(const QByteArray& unit) {
    return unit.repeated((qsizetype(1) << 20) / unit.size());
}

QByteArray withDocumentType(QByteArray xml, const QByteArray& declaration) {
    return xml.insert(xml.indexOf("?>") + 2, declaration);
}

// One entity of `length` characters, used 10,000 times.
QByteArray docxWithAnEntity(qsizetype length) {
    return claimcheck::testing::docxWithDocumentXml(
        withDocumentType(kDocumentXmlStart, "<!DOCTYPE w:document [<!ENTITY e \"" + QByteArray(length, 'x') + "\">]>") +
        "<w:p><w:r><w:t>" + QByteArray("&e;").repeated(10000) + "</w:t></w:r></w:p>" + kDocumentXmlEnd);
}

struct Input {
    QString name;
    QStringList files;  // in the scratch folder
    double textMiB = 0; // of the text it yields; for a refused input, 0
    bool refused = false;
};

struct Row {
    Input input;
    claimcheck::platform::ChildRun run;
    double boundMiB = 0;
    bool met = false;
    QString message; // the refusal's line on standard error
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("claimcheck_report_memory_bench"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Peak memory of claimcheck-report on large and hostile inputs."));
    parser.addHelpOption();
    const QCommandLineOption rulesOption(QStringLiteral("rules"), QStringLiteral("The rules to run: words, classic..."),
                                         QStringLiteral("rules"), QStringLiteral("words"));
    const QCommandLineOption programOption(QStringLiteral("program"), QStringLiteral("The claimcheck-report to run."),
                                           QStringLiteral("path"), QStringLiteral(CLAIMCHECK_REPORT_BINARY));
    parser.addOptions({rulesOption, programOption});
    parser.process(app);
    const QString rules = parser.value(rulesOption);

    QTemporaryDir scratch;
    if (!scratch.isValid())
        fail(QStringLiteral("no scratch folder"));
    const auto at = [&scratch](const QString& name) { return scratch.filePath(name); };

    std::printf("claimcheck-report memory, rules %s: making the inputs...\n", qPrintable(rules));
    std::fflush(stdout);
    writeFile(at(QStringLiteral("claims.txt")), utf8(claimcheck::bench::patentLikeClaims(2000, 7)));
    const double claimsMiB = double(QFile(at(QStringLiteral("claims.txt"))).size()) / kMiB;
    std::vector<Input> inputs;
    for (const int megabytes : {10, 50, 200}) {
        const QString name = QStringLiteral("description-%1.txt").arg(megabytes);
        writeDescription(at(name), qint64(megabytes) * 1'000'000);
        inputs.push_back({QStringLiteral("description of %1 MB").arg(megabytes),
                          {QStringLiteral("claims.txt"), name},
                          claimsMiB + double(QFile(at(name)).size()) / kMiB});
    }
    writeFile(at(QStringLiteral("one-word.txt")), QByteArray(200'000'000, 'w'));
    inputs.push_back({QStringLiteral("description of one 200 MB word"),
                      {QStringLiteral("claims.txt"), QStringLiteral("one-word.txt")},
                      claimsMiB + 200'000'000 / kMiB});

    // The hostile documents, each given as the one draft.
    const auto hostile = [&](const QString& name, const QString& file, const QByteArray& bytes) {
        writeFile(at(file), bytes);
        inputs.push_back({name, {file}, 0, true});
    };
    const QByteArray paragraphs = archiveWithLargePart(
        "word/document.xml", kDocumentXmlStart, blockOf("<w:p><w:r><w:t>The wheel turns on an axle.</w:t></w:r></w:p>"),
        kDocumentXmlEnd, kGiB, nullptr, at(QStringLiteral("paragraphs.zip")));
    hostile(QStringLiteral("docx, document.xml of 1 GiB"), QStringLiteral("paragraphs.docx"), paragraphs);
    hostile(QStringLiteral("  the same, its size hidden"), QStringLiteral("paragraphs-hidden.docx"),
            claimcheck::testing::withStatedSize(paragraphs, "word/document.xml", 1000));
    const QByteArray empty = archiveWithLargePart("word/document.xml", kDocumentXmlStart, blockOf("<w:p/>"),
                                                  kDocumentXmlEnd, kGiB, nullptr, at(QStringLiteral("empty.zip")));
    hostile(QStringLiteral("docx, 1 GiB of empty paragraphs, size hidden"), QStringLiteral("empty-hidden.docx"),
            claimcheck::testing::withStatedSize(empty, "word/document.xml", 1000));
    const QByteArray odt = archiveWithLargePart(
        "content.xml", kContentXmlStart, blockOf("<text:p>The wheel turns on an axle.</text:p>"), kContentXmlEnd, kGiB,
        "application/vnd.oasis.opendocument.text", at(QStringLiteral("content.zip")));
    hostile(QStringLiteral("odt, content.xml of 1 GiB"), QStringLiteral("content.odt"), odt);
    hostile(QStringLiteral("  the same, its size hidden"), QStringLiteral("content-hidden.odt"),
            claimcheck::testing::withStatedSize(odt, "content.xml", 1000));
    hostile(QStringLiteral("docx, entity of 100,000 characters x 10,000"), QStringLiteral("entity-100k.docx"),
            docxWithAnEntity(100'000));
    hostile(QStringLiteral("docx, entity of 1,000,000 characters x 10,000"), QStringLiteral("entity-1m.docx"),
            docxWithAnEntity(1'000'000));
    hostile(QStringLiteral("odt, runs of spaces past 64 MB of text"), QStringLiteral("spaces.odt"),
            claimcheck::testing::odtWithBody(
                QStringLiteral("<text:p>a<text:s text:c=\"1048576\"/></text:p>").repeated(65)));

    // Linux counts in a spawned child's peak the peak of the process it was spawned from (the memory it had until
    // it ran the program), so the bench lets go of what it made and starts its own peak afresh before each run.
    std::vector<Row> rows;
    const std::string program = parser.value(programOption).toStdString();
    double floorMiB = 0;
    for (const Input& input : inputs) {
        claimcheck::platform::returnFreeHeap();
        claimcheck::platform::resetResidentPeak();
        floorMiB = std::max(floorMiB, claimcheck::platform::peakResidentBytes().value_or(0) / kMiB);
        std::vector<std::string> arguments{program, "--rules", rules.toStdString()};
        for (const QString& file : input.files)
            arguments.push_back(at(file).toStdString());
        const std::optional<claimcheck::platform::ChildRun> run = claimcheck::platform::runChild(
            arguments, at(QStringLiteral("out.txt")).toStdString(), at(QStringLiteral("err.txt")).toStdString());
        if (!run)
            fail(QStringLiteral("cannot run %1").arg(QString::fromStdString(program)));
        Row row{input, *run, input.refused ? kRefusedMiB : kTextFactor * input.textMiB + kBaseMiB, false, {}};
        const double peakMiB = run->peakResidentBytes / kMiB;
        if (input.refused) {
            QFile err(at(QStringLiteral("err.txt")));
            if (err.open(QIODevice::ReadOnly))
                row.message = QString::fromUtf8(err.readLine()).trimmed().section(QStringLiteral(": "), 2);
            row.met = run->exitStatus == 2 && peakMiB <= row.boundMiB && run->seconds <= kRefusedSeconds;
        } else {
            row.met = (run->exitStatus == 0 || run->exitStatus == 1) && peakMiB <= row.boundMiB;
        }
        rows.push_back(row);
        std::printf("  %-48s %8.1f MiB peak, %6.2f s, exit %d\n", qPrintable(input.name), peakMiB, run->seconds,
                    run->exitStatus);
        std::fflush(stdout);
    }

    std::printf("\n%-48s %9s %9s %9s %8s %5s %s\n", "input", "text MiB", "peak MiB", "bound MiB", "seconds", "exit",
                "target");
    bool met = true;
    for (const Row& row : rows) {
        std::printf("%-48s %9.1f %9.1f %9.1f %8.2f %5d %s\n", qPrintable(row.input.name), row.input.textMiB,
                    row.run.peakResidentBytes / kMiB, row.boundMiB, row.run.seconds, row.run.exitStatus,
                    row.met ? "met" : "MISSED");
        met = met && row.met;
    }
    std::printf("\nchecked inputs: at most %.0f x their text + %.0f MiB, exit 0 or 1; refused ones: exit 2 within "
                "%.0f s and %.0f MiB.\n",
                kTextFactor, kBaseMiB, kRefusedSeconds, kRefusedMiB);
    std::printf("the peaks hold the bench's own resident memory when it starts a run, at most %.1f MiB.\n", floorMiB);
    std::printf("refusals:\n");
    for (const Row& row : rows)
        if (row.input.refused)
            std::printf("  %-46s %s\n", qPrintable(row.input.name), qPrintable(row.message));
    return met ? 0 : 1;
}
