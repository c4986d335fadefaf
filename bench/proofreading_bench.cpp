// The proofreading checks' time: on EP3882354's claims against the support check of the same patent (the default
// stems rules, and the words rules; both texts in memory), the three taking turns in one run; and on generated claim
// sets of 200 to 3200 claims, whose cost per claim must stay within 1.5 times that of the smallest, as a check linear
// in the claims' length does. Prints the medians and the targets; the exit status is 1 when a target is missed.

#include "claims/claim_set.h"
#include "corpus.h"
#include "proofreading/antecedents.h"
#include "proofreading/references.h"
#include "report/support_check.h"

#include <QCoreApplication>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace claimcheck;
using Clock = std::chrono::steady_clock;

namespace {

const std::string kPatent = "EP3882354";
constexpr int kRounds = 7;
constexpr double kPerClaimGrowthLimit = 1.5;

QString toQString(const std::u16string& text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::size_t findingsKept = 0;

double proofreadOnce(const QString& claims) {
    const auto t0 = Clock::now();
    const claims::ClaimSet set = claims::readClaims(claims);
    findingsKept +=
        proofreading::checkAntecedents(claims, set).size() + proofreading::checkReferences(claims, set).size();
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

double supportOnce(const QString& claims, const QString& description, report::Rules rules) {
    const auto t0 = Clock::now();
    findingsKept +=
        (rules == report::Rules::Stems ? report::checkStems(claims, description, {}, report::Language::English)
                                       : report::checkWords(claims, description, {}))
            .unsupported.size();
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

// A claim set in families of 20: an independent claim with ten parts, then claims that each depend on one of the
// three before them and add a part of their own.
QString generatedClaims(int count) {
    static const char* parts[] = {"frame", "lever",   "spring", "cam",  "shaft",
                                  "gear",  "housing", "valve",  "pump", "sensor"};
    QString text;
    for (int n = 1; n <= count; ++n) {
        if (n % 20 == 1) {
            text += QStringLiteral("%1. A device comprising a frame").arg(n);
            for (const char* part : parts)
                text += QStringLiteral(", a first %1").arg(QLatin1StringView(part));
            text += QStringLiteral(" and a base.\n");
            continue;
        }
        const int familyStart = n - (n - 1) % 20;
        const int parent = std::max(familyStart, n - 1 - n % 3);
        text += QStringLiteral("%1. The device of claim %2, wherein the first %3 has a part%1 connected to the "
                               "frame, and the part%1 is held by said base.\n")
                    .arg(n)
                    .arg(parent)
                    .arg(QLatin1StringView(parts[n % 10]));
    }
    return text;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::filesystem::path folder(CLAIMCHECK_CORPUS_DIR);
    const QString claims = toQString(corpus::readUtf8File(folder / (kPatent + ".claims.txt")));
    const QString description = toQString(corpus::readUtf8File(folder / (kPatent + ".description.txt")));

    std::vector<double> proof, stems, words;
    for (int round = 0; round < kRounds; ++round) {
        proof.push_back(proofreadOnce(claims));
        stems.push_back(supportOnce(claims, description, report::Rules::Stems));
        words.push_back(supportOnce(claims, description, report::Rules::Words));
    }
    const double p = median(proof), s = median(stems), w = median(words);
    std::printf("%s (%lld characters of claims), %d rounds taking turns (medians):\n", kPatent.c_str(),
                static_cast<long long>(claims.size()), kRounds);
    std::printf("  %-52s %9.2f ms\n", "proofreading (structure, antecedents, references)", p * 1e3);
    std::printf("  %-52s %9.2f ms  proofreading / it: %.3f\n", "support check, stems rules (claims, description)",
                s * 1e3, p / s);
    std::printf("  %-52s %9.2f ms  proofreading / it: %.3f\n", "support check, words rules (claims, description)",
                w * 1e3, p / w);

    std::printf("\ngenerated claim sets (medians of 3):\n  %8s %12s %12s %14s\n", "claims", "characters", "ms",
                "us per claim");
    std::vector<double> perClaim;
    for (const int count : {200, 800, 3200}) {
        const QString text = generatedClaims(count);
        std::vector<double> runs;
        for (int round = 0; round < 3; ++round)
            runs.push_back(proofreadOnce(text));
        const double m = median(runs);
        perClaim.push_back(m / count);
        std::printf("  %8d %12lld %12.2f %14.2f\n", count, static_cast<long long>(text.size()), m * 1e3,
                    m / count * 1e6);
    }
    const bool linear = perClaim.back() <= kPerClaimGrowthLimit * perClaim.front();
    std::printf("\n%-70s %s\n", "3200 claims: cost per claim within 1.5 times that of 200 claims",
                linear ? "met" : "MISSED");
    std::printf("(%zu findings kept, so that nothing is optimised away)\n", findingsKept);
    return linear ? 0 : 1;
}
