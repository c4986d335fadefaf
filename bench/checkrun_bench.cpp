// Times a whole check run, from "Check for support" to the painted results window, on real patents.
#include "analysis/check_run.h"
#include "results/trevask.h"
#include "results/word_list.h"

#include <QApplication>
#include <QFile>
#include <benchmark/benchmark.h>

namespace {

QString readCorpus(const std::string& name) {
    QFile file(QStringLiteral(CLAIMCHECK_CORPUS_DIR "/") + QString::fromStdString(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void BM_CheckRun(benchmark::State& state, const std::string& patent) {
    const QString claims = readCorpus(patent + ".claims.txt");
    const QString description = readCorpus(patent + ".description.txt");
    if (claims.isEmpty() || description.isEmpty()) {
        state.SkipWithError("corpus patent not found");
        return;
    }
    claimcheck::ResultsWindowHost host;
    for (auto _ : state) {
        claimcheck::runSupportCheck(host, claims, description);
        QCoreApplication::processEvents(); // layout and first paint of the filled window
    }
    state.counters["disclosure_index"] = host.window()->List2->count();
    state.counters["unsupported"] = host.window()->List3->count();
}

} // namespace

BENCHMARK_CAPTURE(BM_CheckRun, US7272630, std::string("US7272630"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CheckRun, EP3882239, std::string("EP3882239"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CheckRun, EP3882354, std::string("EP3882354"))->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
