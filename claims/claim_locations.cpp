#include "claim_locations.h"

#include <algorithm>
#include <numeric>

namespace claimcheck::claims {

std::vector<Location> locate(const QString& text, const ClaimSet& claims, const std::vector<qsizetype>& offsets,
                             qsizetype firstLine) {
    std::vector<std::size_t> order(offsets.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&offsets](std::size_t a, std::size_t b) { return offsets[a] < offsets[b]; });

    std::vector<Location> locations(offsets.size());
    Location here{0, firstLine, 1, 0};
    auto nextClaim = claims.claims.begin();
    qsizetype unit = 0;
    for (const std::size_t index : order) {
        const qsizetype target = std::clamp<qsizetype>(offsets[index], 0, text.size());
        while (unit < target) {
            const QChar c = text.at(unit);
            unit += c.isHighSurrogate() && unit + 1 < text.size() && text.at(unit + 1).isLowSurrogate() ? 2 : 1;
            ++here.offset;
            if (c == u'\n') {
                ++here.line;
                here.column = 1;
            } else {
                ++here.column;
            }
        }
        for (; nextClaim != claims.claims.end() && nextClaim->start <= unit; ++nextClaim)
            here.claim = nextClaim->number;
        locations[index] = here;
    }
    return locations;
}

std::vector<Location> locate(const QString& text, const std::vector<qsizetype>& offsets, qsizetype firstLine) {
    return locate(text, readClaims(text), offsets, firstLine);
}

} // namespace claimcheck::claims
