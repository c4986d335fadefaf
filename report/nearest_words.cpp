#include "nearest_words.h"

#include <QVarLengthArray>

#include <algorithm>

namespace claimcheck::report {

namespace {

// The most edits that make a word of this length near another.
int mostEditsFor(qsizetype length) {
    return length <= 4 ? 1 : length <= 8 ? 2 : 3;
}

} // namespace

int editDistance(QStringView a, QStringView b, int limit) {
    if (std::abs(a.size() - b.size()) > limit)
        return limit + 1;
    // One row of the table at a time; a row whose every cell is over the limit ends the search.
    QVarLengthArray<int, 64> row(b.size() + 1);
    for (qsizetype j = 0; j <= b.size(); ++j)
        row[j] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        int rowMin = row[0];
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[j];
            const int cost = a.at(i - 1) == b.at(j - 1) ? 0 : 1;
            row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + cost});
            diagonal = above;
            rowMin = std::min(rowMin, row[j]);
        }
        if (rowMin > limit)
            return limit + 1;
    }
    return std::min(row.back(), limit + 1);
}

NearestWords::NearestWords(const QStringList& words, Stemmer& stemmer) : m_stemmer(stemmer) {
    m_words.reserve(std::size_t(words.size()));
    for (const QString& spelling : words) {
        const int id = int(m_words.size());
        QString lower = spelling.toLower();
        m_byStem[m_stemmer.stem(lower)].push_back(id);
        m_byLength[lower.size()].push_back(id);
        m_words.push_back(Word{spelling, std::move(lower)});
    }
}

QStringList NearestWords::of(const QString& word) const {
    const QString lower = word.toLower();
    QStringList nearest;
    std::vector<int> taken;
    const auto sameStem = m_byStem.constFind(m_stemmer.stem(lower));
    if (sameStem != m_byStem.cend()) {
        for (const int id : *sameStem) {
            if (m_words[std::size_t(id)].lower == lower)
                continue;
            nearest << m_words[std::size_t(id)].spelling;
            taken.push_back(id);
            if (nearest.size() == kMostNearest)
                return nearest;
        }
    }
    // The words within reach, by distance, each distance's words in the description index's order.
    const int limit = mostEditsFor(lower.size());
    std::vector<std::pair<int, int>> near; // distance, id
    const qsizetype shortest = std::max<qsizetype>(1, lower.size() - limit);
    for (qsizetype length = shortest; length <= lower.size() + limit; ++length) {
        const auto ofLength = m_byLength.constFind(length);
        if (ofLength == m_byLength.cend())
            continue;
        for (const int id : *ofLength) {
            const int distance = editDistance(lower, m_words[std::size_t(id)].lower, limit);
            if (distance > 0 && distance <= limit && std::find(taken.begin(), taken.end(), id) == taken.end())
                near.emplace_back(distance, id);
        }
    }
    std::sort(near.begin(), near.end());
    for (const auto& [distance, id] : near) {
        if (nearest.size() == kMostNearest)
            break;
        nearest << m_words[std::size_t(id)].spelling;
    }
    return nearest;
}

void addNearestWords(CheckResult& result) {
    if (result.unsupported.empty() || result.rules == Rules::Classic)
        return;
    Stemmer stemmer(result.language);
    const NearestWords nearest(result.descriptionIndex, stemmer);
    for (Finding& finding : result.unsupported)
        finding.nearest = nearest.of(finding.word);
}

} // namespace claimcheck::report
