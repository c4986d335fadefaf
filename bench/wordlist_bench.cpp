// The word list filled entry by entry, as a check run fills the indexes of a long patent, and read back.

#include "results/word_list.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QStringList>

#include <benchmark/benchmark.h>

using claimcheck::WordList;

namespace {

// Words of 1 to 12 letters, mixed case, some with punctuation, in no particular order: unlike ascending input
// they give the sort real work.
const QStringList& Words(int count) {
    static QStringList words;
    if (words.size() != count) {
        QRandomGenerator random(7);
        const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ.,;");
        words.clear();
        words.reserve(count);
        for (int i = 0; i < count; ++i) {
            QString word;
            for (int n = random.bounded(1, 13); n > 0; --n)
                word += letters.at(random.bounded(letters.size()));
            words << word;
        }
    }
    return words;
}

// addItem for every word, as the check run fills a list.
void fillList(WordList& list, const QStringList& words) {
    for (const QString& word : words)
        list.addItem(word);
}

// addItem for every word, then the first read, which puts them in order.
void BM_FillThenRead(benchmark::State& state) {
    const QStringList& words = Words(int(state.range(0)));
    for (auto _ : state) {
        WordList list;
        fillList(list, words);
        benchmark::DoNotOptimize(list.item(0));
        state.PauseTiming();
        list.clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FillThenRead)->Arg(30'000)->Arg(300'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// Filling a shown list and painting it once.
void BM_FillShownThenPaint(benchmark::State& state) {
    const QStringList& words = Words(int(state.range(0)));
    WordList list;
    list.resize(200, 600);
    list.show();
    for (auto _ : state) {
        list.clear();
        fillList(list, words);
        list.repaint();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FillShownThenPaint)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// Type-ahead over a million entries: a word of six characters, each a keystroke.
void BM_TypeAhead(benchmark::State& state) {
    const QStringList& words = Words(1'000'000);
    WordList list;
    fillList(list, words);
    benchmark::DoNotOptimize(list.item(0));
    for (auto _ : state) {
        list.clearTypeAhead();
        list.typeAhead(QStringLiteral("Patent"));
        benchmark::DoNotOptimize(list.selectedPosition());
    }
}
BENCHMARK(BM_TypeAhead)->Unit(benchmark::kMicrosecond);

// One type-ahead keystroke over a million entries: a letter whose first entry lies halfway down the list, a
// character that begins no entry, so that every entry is looked at, and that character again as the first keystroke
// after the list was filled.
void BM_TypeAheadKeystroke(benchmark::State& state) {
    const QStringList& words = Words(1'000'000);
    WordList list;
    fillList(list, words);
    benchmark::DoNotOptimize(list.item(0));
    const bool afterFilling = state.range(0) == 2;
    const QString typed = state.range(0) == 0 ? QStringLiteral("m") : QStringLiteral("\u00E9");
    for (auto _ : state) {
        if (afterFilling) {
            state.PauseTiming();
            list.clear();
            fillList(list, words);
            benchmark::DoNotOptimize(list.item(0));
            state.ResumeTiming();
        }
        list.clearTypeAhead();
        list.typeAhead(typed);
        benchmark::DoNotOptimize(list.selectedPosition());
    }
    state.SetLabel(state.range(0) == 0   ? "a letter halfway down"
                   : state.range(0) == 1 ? "a character no entry begins with"
                                         : "the same, first keystroke after filling");
}
BENCHMARK(BM_TypeAheadKeystroke)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
// Each of its iterations fills the list again, untimed: a few are enough.
BENCHMARK(BM_TypeAheadKeystroke)->Arg(2)->Iterations(5)->Unit(benchmark::kMillisecond);

// Reading every entry back by position, as the check run reads the claims index.
void BM_ReadAll(benchmark::State& state) {
    const QStringList& words = Words(1'000'000);
    WordList list;
    fillList(list, words);
    benchmark::DoNotOptimize(list.item(0));
    for (auto _ : state) {
        qsizetype total = 0;
        for (int i = 0; i < list.count(); ++i)
            total += list.item(i).size();
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_ReadAll)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
