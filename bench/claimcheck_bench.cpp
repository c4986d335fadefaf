// Whole-analysis timings (claims index + description index + unsupported words) of the production code against
// the literal rules, on the corpus patents and on synthetic texts, with peak memory per case. Prints a summary
// table and checks the targets at the end; the exit status is 1 when a target is missed.

#include "analysis/suffix_automaton.h"
#include "analysis/word_index.h"
#include "bench/heap_counter.h"
#include "bench/synthetic_text.h"
#include "corpus.h"
#include "literal_rules.h"
#include "platform/system.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace claimcheck::bench {
namespace {

constexpr double kMiB = 1024.0 * 1024.0;

struct Inputs {
    std::u16string claims;
    std::u16string description;
};

struct Outcome {
    double wholeSeconds = 0;
    // Processor time: less disturbed than wall time on a busy machine.
    double wholeCpuSeconds = 0;
    // The first run of the case: with a fresh process (a filter that picks one case) it pays for the page faults
    // of memory that later runs find in the heap already, as a program's first check does.
    double firstSeconds = 0;
    double claimsIndexSeconds = 0;
    double descriptionIndexSeconds = 0;
    double unsupportedSeconds = 0;
    double heapPeakBytes = 0; // the analysis' own peak: above the live heap at its start
    double rssPeakBytes = 0;  // the whole process, inputs included
    std::size_t wordStringUnits = 0;
    std::size_t entries = 0;
    std::size_t unsupported = 0;
    std::uint64_t digest = 0;
};

struct Case {
    std::string name;
    std::size_t descriptionWords;
    std::function<Inputs()> make;
    bool withLiteral;
    std::optional<Outcome> production;
    std::optional<Outcome> literal;
    double automatonBytesPerUnit = 0;
    double automatonUsedBytesPerUnit = 0;
    double statesPerUnit = 0;
    double edgesPerUnit = 0;
};

std::vector<std::unique_ptr<Case>> g_cases;

// Only one case's texts are held at a time, so that each case's resident peak is its own.
const Inputs& inputsOf(Case& c) {
    static Case* current = nullptr;
    static Inputs inputs;
    if (current != &c) {
        inputs = Inputs{};
        platform::returnFreeHeap();
        inputs = c.make();
        current = &c;
    }
    return inputs;
}

// Starts a new resident-set peak, from a heap that holds no free memory of earlier cases.
void resetResidentPeak() {
    platform::returnFreeHeap();
    platform::resetResidentPeak();
}

void mix(std::uint64_t& digest, std::u16string_view text) {
    for (const char16_t unit : text) {
        digest = (digest ^ unit) * 0x100000001b3u;
    }
    digest = (digest ^ 0x10000u) * 0x100000001b3u; // end of string
}

std::uint64_t digestOf(const WordIndex& claims, const WordIndex& description,
                       const std::vector<std::u16string>& unsupported) {
    std::uint64_t digest = 0xcbf29ce484222325u;
    for (const WordIndex* index : {&claims, &description}) {
        for (const std::u16string& word : index->words) {
            mix(digest, word);
        }
        mix(digest, index->wordString);
    }
    for (const std::u16string& word : unsupported) {
        mix(digest, word);
    }
    return digest;
}

struct Rules {
    WordIndex (*buildWordIndex)(std::u16string_view);
    std::vector<std::u16string> (*findUnsupportedWords)(const std::vector<std::u16string>&, std::u16string_view);
};

void runWholeAnalysis(benchmark::State& state, Case& c, const Rules& rules, std::optional<Outcome>& outcome) {
    using Clock = std::chrono::steady_clock;
    const Inputs& inputs = inputsOf(c);
    resetResidentPeak();
    Outcome result;
    WordIndex claims;
    WordIndex description;
    std::vector<std::u16string> unsupported;
    for (auto _ : state) {
        state.PauseTiming();
        claims = {};
        description = {};
        unsupported = {};
        const std::size_t heapBase = heapLiveBytes();
        resetHeapPeak();
        state.ResumeTiming();

        const double cpu0 = platform::processCpuSeconds();
        const auto t0 = Clock::now();
        claims = rules.buildWordIndex(inputs.claims);
        const auto t1 = Clock::now();
        description = rules.buildWordIndex(inputs.description);
        const auto t2 = Clock::now();
        unsupported = rules.findUnsupportedWords(claims.words, description.wordString);
        const auto t3 = Clock::now();
        result.wholeCpuSeconds += platform::processCpuSeconds() - cpu0;

        result.claimsIndexSeconds += std::chrono::duration<double>(t1 - t0).count();
        result.descriptionIndexSeconds += std::chrono::duration<double>(t2 - t1).count();
        result.unsupportedSeconds += std::chrono::duration<double>(t3 - t2).count();
        if (result.firstSeconds == 0) {
            result.firstSeconds = std::chrono::duration<double>(t3 - t0).count();
        }
        result.heapPeakBytes = std::max(result.heapPeakBytes, static_cast<double>(heapPeakBytes() - heapBase));
    }
    const double n = static_cast<double>(state.iterations());
    result.claimsIndexSeconds /= n;
    result.descriptionIndexSeconds /= n;
    result.unsupportedSeconds /= n;
    result.wholeCpuSeconds /= n;
    result.wholeSeconds = result.claimsIndexSeconds + result.descriptionIndexSeconds + result.unsupportedSeconds;
    result.rssPeakBytes = platform::peakResidentBytes().value_or(0);
    result.wordStringUnits = description.wordString.size();
    result.entries = description.words.size();
    result.unsupported = unsupported.size();
    result.digest = digestOf(claims, description, unsupported);
    outcome = result;

    state.counters["cpu_ms"] = result.wholeCpuSeconds * 1e3;
    state.counters["first_ms"] = result.firstSeconds * 1e3;
    state.counters["claims_ms"] = result.claimsIndexSeconds * 1e3;
    state.counters["descr_ms"] = result.descriptionIndexSeconds * 1e3;
    state.counters["unsupp_ms"] = result.unsupportedSeconds * 1e3;
    state.counters["heap_MB"] = result.heapPeakBytes / kMiB;
    state.counters["rss_MB"] = result.rssPeakBytes / kMiB;
    state.counters["units"] = static_cast<double>(result.wordStringUnits);
}

// The automaton of the description's word string alone, for its size per code unit.
void runAutomaton(benchmark::State& state, Case& c) {
    const std::u16string wordString = BuildWordIndex(inputsOf(c).description).wordString;
    double bytes = 0;
    double usedBytes = 0;
    double states = 0;
    double edges = 0;
    for (auto _ : state) {
        SuffixAutomaton automaton;
        automaton.append(wordString);
        bytes = static_cast<double>(automaton.memoryBytes());
        usedBytes = static_cast<double>(automaton.usedBytes());
        states = static_cast<double>(automaton.stateCount());
        edges = static_cast<double>(automaton.edgeCount());
    }
    const double units = static_cast<double>(wordString.size());
    c.automatonBytesPerUnit = bytes / units;
    c.automatonUsedBytesPerUnit = usedBytes / units;
    c.statesPerUnit = states / units;
    c.edgesPerUnit = edges / units;
    state.counters["units"] = units;
    state.counters["bytes_per_unit"] = c.automatonBytesPerUnit;
    state.counters["used_bytes_per_unit"] = c.automatonUsedBytesPerUnit;
    state.counters["states_per_unit"] = c.statesPerUnit;
    state.counters["edges_per_unit"] = c.edgesPerUnit;
}

const Rules kProduction{&claimcheck::BuildWordIndex, &claimcheck::FindUnsupportedWords};
const Rules kLiteral{&literal::BuildWordIndex, &literal::FindUnsupportedWords};

Case& addCase(std::string name, std::size_t words, std::function<Inputs()> make, bool withLiteral) {
    g_cases.push_back(std::make_unique<Case>(Case{std::move(name), words, std::move(make), withLiteral, {}, {}}));
    Case& c = *g_cases.back();
    benchmark::RegisterBenchmark(("whole/" + c.name + "/production").c_str(),
                                 [&c](benchmark::State& s) { runWholeAnalysis(s, c, kProduction, c.production); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(0.5);
    if (withLiteral) {
        // Quadratic: one iteration is plenty (about 40 s at a million words).
        benchmark::RegisterBenchmark(("whole/" + c.name + "/literal").c_str(),
                                     [&c](benchmark::State& s) { runWholeAnalysis(s, c, kLiteral, c.literal); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(1);
    }
    return c;
}

void registerCases() {
    for (const corpus::Patent& patent : corpus::loadAll(CLAIMCHECK_CORPUS_DIR)) {
        const std::size_t words =
            static_cast<std::size_t>(std::count(patent.description.begin(), patent.description.end(), u' ') + 1);
        addCase(
            "corpus/" + patent.number, words,
            [patent] {
                return Inputs{patent.claims, patent.description};
            },
            true);
    }
    const auto zipf = [](std::size_t words) {
        return [words] { return Inputs{patentLikeClaims(2000, 17), patentLikeText(words, 42)}; };
    };
    addCase("zipf/100k", 100'000, zipf(100'000), true);
    addCase("zipf/1M", 1'000'000, zipf(1'000'000), true);
    Case& zipf5M = addCase("zipf/5M", 5'000'000, zipf(5'000'000), false);
    benchmark::RegisterBenchmark("automaton/zipf/5M", [&zipf5M](benchmark::State& s) { runAutomaton(s, zipf5M); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    Case& distinct = addCase(
        "distinct/1M", 1'000'000,
        [] {
            return Inputs{distinctWordsText(2000, 5), distinctWordsText(1'000'000, 6)};
        },
        false);
    benchmark::RegisterBenchmark("automaton/distinct/1M",
                                 [&distinct](benchmark::State& s) { runAutomaton(s, distinct); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
}

const Case* findCase(const std::string& name) {
    for (const auto& c : g_cases) {
        if (c->name == name) {
            return c.get();
        }
    }
    return nullptr;
}

void printTable() {
    std::printf("\n%-20s %8s %8s %9s %9s %9s %10s %8s %8s %8s %8s %7s %4s\n", "case", "words", "wordstr", "prod ms",
                "prod cpu", "first ms", "literal ms", "speedup", "heap MB", "rss MB", "heap B/u", "unsupp", "same");
    for (const auto& c : g_cases) {
        if (!c->production) {
            continue;
        }
        const Outcome& p = *c->production;
        std::printf("%-20s %8zu %8zu %9.2f %9.2f %9.2f ", c->name.c_str(), c->descriptionWords, p.wordStringUnits,
                    p.wholeSeconds * 1e3, p.wholeCpuSeconds * 1e3, p.firstSeconds * 1e3);
        if (c->literal) {
            std::printf("%10.1f %7.0fx ", c->literal->wholeSeconds * 1e3, c->literal->wholeSeconds / p.wholeSeconds);
        } else {
            std::printf("%10s %8s ", "-", "-");
        }
        std::printf("%8.1f %8.1f %8.1f %7zu %4s\n", p.heapPeakBytes / kMiB, p.rssPeakBytes / kMiB,
                    p.heapPeakBytes / static_cast<double>(std::max<std::size_t>(p.wordStringUnits, 1)), p.unsupported,
                    c->literal ? (c->literal->digest == p.digest ? "yes" : "NO") : "-");
    }
    std::printf("(prod ms: wall time of the whole analysis, the mean of a case's runs; prod cpu: its processor time; "
                "first ms: the first run, which also pays for the memory the process takes from the system; heap: "
                "peak above the heap at its start; rss: the process's peak resident set, inputs included; heap B/u: "
                "heap per code unit of the description's word string)\n");
    for (const auto& c : g_cases) {
        if (c->statesPerUnit > 0) {
            std::printf("automaton of the %s word string, per code unit: %.1f bytes held, %.1f in use, %.2f states, "
                        "%.2f edges\n",
                        c->name.c_str(), c->automatonBytesPerUnit, c->automatonUsedBytesPerUnit, c->statesPerUnit,
                        c->edgesPerUnit);
        }
    }
}

// Each target that applies to a case that ran; returns whether all were met.
bool checkTargets() {
    bool allMet = true;
    const auto check = [&](const char* what, bool met) {
        std::printf("%-70s %s\n", what, met ? "met" : "MISSED");
        allMet = allMet && met;
    };
    std::printf("\n");
    if (const std::optional<double> load = platform::loadAverage();
        load && *load > std::thread::hardware_concurrency()) {
        std::printf("load average %.1f on %u processors: wall times are not reliable now\n", *load,
                    std::thread::hardware_concurrency());
    }
    for (const auto& c : g_cases) {
        if (c->production && c->literal) {
            check(("same results as the literal rules: " + c->name).c_str(),
                  c->production->digest == c->literal->digest);
        }
    }
    // Times are checked as ratios to the literal rules in the same run, which hold on any machine; absolute times
    // differ by a factor of two between machines and are only printed.
    const auto checkSpeedup = [&](const char* name, double atLeast) {
        if (const Case* c = findCase(name); c && c->production && c->literal) {
            check((std::string(name) + " at least " + std::to_string(int(atLeast)) + "x faster than the literal rules")
                      .c_str(),
                  c->literal->wholeSeconds >= atLeast * c->production->wholeSeconds);
        }
    };
    checkSpeedup("corpus/EP3882354", 200);
    checkSpeedup("zipf/1M", 100);
    if (const Case* c = findCase("zipf/5M"); c && c->production) {
        check("zipf/5M peak resident memory <= 400 MB", c->production->rssPeakBytes <= 400 * kMiB);
    }
    if (const Case* c = findCase("distinct/1M"); c && c->production) {
        check("distinct/1M peak resident memory <= 1 GB", c->production->rssPeakBytes <= 1024 * kMiB);
    }
    return allMet;
}

} // namespace
} // namespace claimcheck::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }
    claimcheck::bench::registerCases();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    claimcheck::bench::printTable();
    return claimcheck::bench::checkTargets() ? 0 : 1;
}
