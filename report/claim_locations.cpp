#include "claim_locations.h"

#include <QRegularExpression>

#include <algorithm>
#include <numeric>

namespace claimcheck::report {

namespace {

constexpr int kLargestClaimGap = 10;

} // namespace

int claimNumberAtLineStart(QStringView line) {
    static const QRegularExpression numbering(QStringLiteral(
        R"(^[ \t]*(?:(?:Claim|CLAIM)[ \t]+(\d{1,4})(?=[ \t]*(?:$|[.:)](?:\s|$)))|(\d{1,4})[ \t]*[.)](?!\d)))"));
    const QRegularExpressionMatch match = numbering.match(line);
    if (!match.hasMatch())
        return 0;
    const QStringView number = match.hasCaptured(1) ? match.capturedView(1) : match.capturedView(2);
    return number.toInt();
}

std::vector<Location> locate(const QString& claims, const std::vector<qsizetype>& offsets, qsizetype firstLine) {
    std::vector<std::size_t> order(offsets.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&offsets](std::size_t a, std::size_t b) { return offsets[a] < offsets[b]; });

    std::vector<Location> locations(offsets.size());
    Location here{0, firstLine, 1, 0};
    const auto claimOfLineAt = [&claims, &here](qsizetype lineStart) {
        qsizetype end = claims.indexOf(u'\n', lineStart);
        if (end < 0)
            end = claims.size();
        const int number = claimNumberAtLineStart(QStringView(claims).sliced(lineStart, end - lineStart));
        if (number > 0 && (here.claim == 0 || (number > here.claim && number <= here.claim + kLargestClaimGap)))
            here.claim = number;
    };
    claimOfLineAt(0);
    qsizetype unit = 0;
    for (const std::size_t index : order) {
        const qsizetype target = std::clamp<qsizetype>(offsets[index], 0, claims.size());
        while (unit < target) {
            const QChar c = claims.at(unit);
            unit += c.isHighSurrogate() && unit + 1 < claims.size() && claims.at(unit + 1).isLowSurrogate() ? 2 : 1;
            ++here.offset;
            if (c == u'\n') {
                ++here.line;
                here.column = 1;
                claimOfLineAt(unit);
            } else {
                ++here.column;
            }
        }
        locations[index] = here;
    }
    return locations;
}

} // namespace claimcheck::report
