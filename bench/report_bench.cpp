// The whole report (read the files, check, write the HTML page through the save) against the analysis alone on
// EP3882354, side by side in one run, by the three rule sets; and the report of descriptions from 1 MB to 10 MB, which
// must cost in proportion to the text. Prints Google Benchmark's lines, then the side-by-side medians, the scaling
// and the targets; the exit status is 1 when a target is missed.

#include "analysis/word_index.h"
#include "bench/synthetic_text.h"
#include "corpus.h"
#include "report/report_run.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using claimcheck::report::Format;
using claimcheck::report::Rules;
using Clock = std::chrono::steady_clock;

const std::string kPatent = "EP3882354";
// The whole report may take at most this many times as long as the analysis alone.
constexpr double kReportToAnalysisLimit = 3.0;
// Ten times the text may cost at most this many times as much, per megabyte, as the smallest one: a step that
// grew with the square of the text would cost ten times as much per megabyte at 10 MB.
constexpr double kPerMegabyteGrowthLimit = 1.5;

QTemporaryDir& scratch() {
    static QTemporaryDir dir;
    return dir;
}

QString corpusFile(const std::string& part) {
    return QStringLiteral(CLAIMCHECK_CORPUS_DIR "/%1.%2.txt")
        .arg(QString::fromStdString(kPatent), QString::fromStdString(part));
}

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// The analysis alone, as the windows run it: both indexes and the unsupported words, on texts already in memory.
double analysisOnce(const std::u16string& claims, const std::u16string& description) {
    const auto t0 = Clock::now();
    const claimcheck::WordIndex claimsIndex = claimcheck::BuildWordIndex(claims);
    const claimcheck::WordIndex descriptionIndex = claimcheck::BuildWordIndex(description);
    const auto unsupported = claimcheck::FindUnsupportedWords(claimsIndex.words, descriptionIndex.wordString);
    benchmark::DoNotOptimize(unsupported.data());
    return seconds(Clock::now() - t0);
}

// The whole report, from the files to the saved page.
double reportOnce(const QString& claims, const QString& description, Rules rules, qsizetype* pageBytes = nullptr) {
    const auto t0 = Clock::now();
    claimcheck::report::RunOptions options;
    options.files = QStringList{claims, description};
    options.rules = rules;
    options.format = Format::Html;
    const claimcheck::report::RunOutcome outcome = claimcheck::report::produceReport(options);
    QString error;
    if (outcome.status == claimcheck::report::kError ||
        !claimcheck::report::writeReport(scratch().filePath(QStringLiteral("report.html")), outcome.output, error)) {
        std::fprintf(stderr, "report failed: %s%s\n", qPrintable(outcome.error), qPrintable(error));
        std::exit(2);
    }
    if (pageBytes)
        *pageBytes = outcome.output.size();
    return seconds(Clock::now() - t0);
}

void BM_Analysis(benchmark::State& state) {
    const std::filesystem::path folder(CLAIMCHECK_CORPUS_DIR);
    const std::u16string claims = claimcheck::corpus::readUtf8File(folder / (kPatent + ".claims.txt"));
    const std::u16string description = claimcheck::corpus::readUtf8File(folder / (kPatent + ".description.txt"));
    for (auto _ : state)
        state.SetIterationTime(analysisOnce(claims, description));
}

void BM_Report(benchmark::State& state, Rules rules) {
    for (auto _ : state)
        state.SetIterationTime(reportOnce(corpusFile("claims"), corpusFile("description"), rules));
}

BENCHMARK(BM_Analysis)->Name("analysis/" + kPatent)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_Report, stems, Rules::Stems)
    ->Name("report_html/stems/" + kPatent)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_Report, words, Rules::Words)
    ->Name("report_html/words/" + kPatent)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_Report, classic, Rules::Classic)
    ->Name("report_html/classic/" + kPatent)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString writeUtf8(const QString& name, const std::u16string& text) {
    const QString path = scratch().filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size())).toUtf8()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(2);
    }
    return path;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("claimcheck-report"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    // Side by side: the three measures take turns, so that a change in the machine's load falls on all of them.
    const std::filesystem::path folder(CLAIMCHECK_CORPUS_DIR);
    const std::u16string claims = claimcheck::corpus::readUtf8File(folder / (kPatent + ".claims.txt"));
    const std::u16string description = claimcheck::corpus::readUtf8File(folder / (kPatent + ".description.txt"));
    constexpr int kRounds = 7;
    std::vector<double> analysis, stems, words, classic;
    for (int round = 0; round < kRounds; ++round) {
        analysis.push_back(analysisOnce(claims, description));
        stems.push_back(reportOnce(corpusFile("claims"), corpusFile("description"), Rules::Stems));
        words.push_back(reportOnce(corpusFile("claims"), corpusFile("description"), Rules::Words));
        classic.push_back(reportOnce(corpusFile("claims"), corpusFile("description"), Rules::Classic));
    }
    const double a = median(analysis), s = median(stems), w = median(words), c = median(classic);
    std::printf("\n%s, %d rounds taking turns (medians):\n", kPatent.c_str(), kRounds);
    std::printf("  %-44s %9.1f ms\n", "analysis alone (indexes, unsupported words)", a * 1e3);
    std::printf("  %-44s %9.1f ms  %5.2fx the analysis\n", "report, stems rules (read, check, html, save)", s * 1e3,
                s / a);
    std::printf("  %-44s %9.1f ms  %5.2fx the analysis\n", "report, words rules (read, check, html, save)", w * 1e3,
                w / a);
    std::printf("  %-44s %9.1f ms  %5.2fx the analysis\n", "report, classic rules (read, check, html, save)", c * 1e3,
                c / a);

    // Descriptions of 1 to 10 MB, made of description-like text, against the patent's claims; per megabyte.
    std::printf("\nsynthetic descriptions, report html with the claims of %s (medians of 3):\n", kPatent.c_str());
    std::printf("  %8s %10s %12s %12s %12s %12s %12s %12s\n", "MB", "words", "stems ms", "ms per MB", "words ms",
                "ms per MB", "classic ms", "ms per MB");
    const QString claimsFile = corpusFile("claims");
    std::vector<double> perMegabyte[3]; // stems, words, classic
    for (const std::size_t wordCount : {170'000u, 680'000u, 1'700'000u}) {
        const QString path = writeUtf8(QStringLiteral("description-%1.txt").arg(wordCount),
                                       claimcheck::bench::patentLikeText(wordCount, 7));
        const double megabytes = double(QFile(path).size()) / 1e6;
        double medians[3];
        int i = 0;
        for (const Rules rules : {Rules::Stems, Rules::Words, Rules::Classic}) {
            std::vector<double> runs;
            for (int round = 0; round < 3; ++round)
                runs.push_back(reportOnce(claimsFile, path, rules));
            medians[i++] = median(runs);
            perMegabyte[i - 1].push_back(median(runs) / megabytes);
        }
        std::printf("  %8.1f %10zu %12.1f %12.1f %12.1f %12.1f %12.1f %12.1f\n", megabytes, wordCount, medians[0] * 1e3,
                    medians[0] * 1e3 / megabytes, medians[1] * 1e3, medians[1] * 1e3 / megabytes, medians[2] * 1e3,
                    medians[2] * 1e3 / megabytes);
    }

    bool met = true;
    const auto target = [&met](const char* what, bool ok) {
        std::printf("%-78s %s\n", what, ok ? "met" : "MISSED");
        met = met && ok;
    };
    std::printf("\n");
    target("whole report of EP3882354, stems rules, at most 3 times the analysis alone",
           s <= kReportToAnalysisLimit * a);
    target("whole report of EP3882354, words rules, at most 3 times the analysis alone",
           w <= kReportToAnalysisLimit * a);
    target("whole report of EP3882354, classic rules, at most 3 times the analysis alone",
           c <= kReportToAnalysisLimit * a);
    target("10 MB description, stems rules: cost per MB within 1.5 times that at 1 MB",
           perMegabyte[0].back() <= kPerMegabyteGrowthLimit * perMegabyte[0].front());
    target("10 MB description, words rules: cost per MB within 1.5 times that at 1 MB",
           perMegabyte[1].back() <= kPerMegabyteGrowthLimit * perMegabyte[1].front());
    target("10 MB description, classic rules: cost per MB within 1.5 times that at 1 MB",
           perMegabyte[2].back() <= kPerMegabyteGrowthLimit * perMegabyte[2].front());
    return met ? 0 : 1;
}
