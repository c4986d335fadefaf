#include "claim_set.h"

#include <QRegularExpression>

#include <algorithm>
#include <iterator>
#include <map>

namespace claimcheck::claims {

namespace {

// A claim number at the start of a line may follow the one before by up to this much: claims cancelled from a set
// leave gaps, and a numbered list inside a claim must not start a new claim.
constexpr int kLargestClaimGap = 10;

struct StartMatch {
    int number = 0;
    int lastNumber = 0;
    qsizetype numberOffset = 0; // from the start of the piece matched
    qsizetype numberLength = 0;
    qsizetype length = 0; // of the whole match
    bool bracket = false; // "2)", which a list inside a claim uses too
};

StartMatch startAtLineStart(QStringView line) {
    static const QRegularExpression numbering(
        QStringLiteral(R"(^[ \t]*(?:(?:Claim|CLAIM)[ \t]+(\d{1,4})(?=[ \t]*(?:$|[.:)](?:\s|$)))[ \t]*[.:)]?|)"
                       R"((\d{1,4})(?:[ \t]*[-–][ \t]*(\d{1,4}))?[ \t]*[.)](?!\d)))"));
    const QRegularExpressionMatch match = numbering.match(line);
    if (!match.hasMatch())
        return {};
    const int group = match.hasCaptured(1) ? 1 : 2;
    StartMatch start;
    start.number = match.capturedView(group).toInt();
    start.lastNumber = match.hasCaptured(3) ? match.capturedView(3).toInt() : start.number;
    start.numberOffset = match.capturedStart(group);
    start.numberLength = match.capturedLength(group);
    start.length = match.capturedLength(0);
    start.bracket = line.sliced(0, start.length).trimmed().endsWith(u')');
    return start;
}

// A status word in brackets after a claim's number, as amended claim sets carry them.
bool isStatusWord(QStringView words) {
    static const QRegularExpression status(
        QStringLiteral(
            R"(^\s*(?:(?:currently|previously|presently)\s+)?(?:original|amended|presented|new|canceled|cancelled|)"
            R"(withdrawn|deleted|rejected|allowed|not\s+entered)(?:\s*[-–,]?\s*(?:and\s+)?(?:(?:currently|previously|)"
            R"(presently)\s+)?(?:original|amended|presented|new|canceled|cancelled|withdrawn|deleted))*\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    return status.match(words).hasMatch();
}

bool isCancelWord(QStringView words) {
    return words.contains(u"cancel", Qt::CaseInsensitive) || words.contains(u"deleted", Qt::CaseInsensitive);
}

// Skips the status word after the number, if there is one; marks the claim canceled when it says so, or when its
// whole text is "Canceled".
void readStatus(const QString& text, Claim& claim) {
    qsizetype at = claim.textStart;
    while (at < claim.end && text.at(at).isSpace())
        ++at;
    if (at < claim.end && (text.at(at) == u'(' || text.at(at) == u'[')) {
        const QChar close = text.at(at) == u'(' ? u')' : u']';
        const qsizetype closing = text.indexOf(close, at);
        if (closing > at && closing < claim.end && closing - at < 60) {
            const QStringView words = QStringView(text).sliced(at + 1, closing - at - 1);
            if (isStatusWord(words)) {
                claim.canceled = isCancelWord(words);
                claim.textStart = closing + 1;
                return;
            }
        }
    }
    static const QRegularExpression cancelAlone(QStringLiteral(R"(^\s*(?:canceled|cancelled|deleted)\W*$)"),
                                                QRegularExpression::CaseInsensitiveOption);
    if (cancelAlone.match(QStringView(text).sliced(claim.textStart, claim.end - claim.textStart)).hasMatch())
        claim.canceled = true;
}

qsizetype preambleEnd(const QString& text, const Claim& claim) {
    static const QRegularExpression marker(
        QStringLiteral(R"(\b(?:wherein|whereby|comprising|comprises|comprise|characteri[sz]ed|including|includes|)"
                       R"(consisting|consists|in\s+which|having|further)\b|;)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match =
        marker.match(QStringView(text).sliced(claim.textStart, claim.end - claim.textStart));
    return match.hasMatch() ? claim.textStart + match.capturedStart(0) : claim.end;
}

void readReferences(const QString& text, Claim& claim) {
    static const QRegularExpression phrase(QStringLiteral(
        R"(\b(?:any(?:\s+one)?\s+of\s+(?:the\s+)?(?:preceding|previous|foregoing|above|prior)\s+claims|)"
        R"(any\s+(?:preceding|previous|foregoing|prior)\s+claim|the\s+(?:preceding|previous|foregoing)\s+claims)\b|)"
        R"(\b[Cc]laims?\s+(\d{1,4}(?:\s*(?:,|and/or|or|and|to|through|-|–)\s*(?:claims?\s+)?\d{1,4}\b)*))"));
    static const QRegularExpression piece(QStringLiteral(R"((to|through|-|–)?\s*(?:claims?\s+)?(\d{1,4}))"));
    const QStringView body = QStringView(text).sliced(claim.textStart, claim.end - claim.textStart);
    for (QRegularExpressionMatchIterator it = phrase.globalMatch(body); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        ClaimReference reference;
        reference.offset = claim.textStart + match.capturedStart(0);
        reference.length = match.capturedLength(0);
        reference.inPreamble = reference.offset < claim.preambleEnd;
        if (!match.hasCaptured(1)) {
            reference.allPreceding = true;
        } else {
            const qsizetype listStart = claim.textStart + match.capturedStart(1);
            for (QRegularExpressionMatchIterator p = piece.globalMatch(match.capturedView(1)); p.hasNext();) {
                const QRegularExpressionMatch number = p.next();
                const NumberAt at{number.capturedView(2).toInt(), listStart + number.capturedStart(2),
                                  number.capturedLength(2)};
                if (number.hasCaptured(1) && !reference.numbers.empty())
                    reference.ranges.emplace_back(reference.numbers.back().number, at.number);
                reference.numbers.push_back(at);
            }
        }
        claim.references.push_back(std::move(reference));
    }
}

// The claims a claim's preamble names that exist, come before it and are not canceled.
void findParents(ClaimSet& set, std::size_t index) {
    Claim& claim = set.claims[index];
    std::vector<int> named;
    int count = 0;
    for (const ClaimReference& reference : claim.references) {
        if (!reference.inPreamble)
            continue;
        if (reference.allPreceding) {
            count += 2;
            for (std::size_t i = 0; i < index; ++i)
                for (int n = set.claims[i].number; n <= set.claims[i].lastNumber; ++n)
                    named.push_back(n);
            continue;
        }
        for (const NumberAt& at : reference.numbers)
            named.push_back(at.number);
        for (const auto& [first, last] : reference.ranges)
            for (int n = first + 1; n < last && n - first <= 1000; ++n)
                named.push_back(n);
        count += int(reference.numbers.size());
        for (const auto& [first, last] : reference.ranges)
            count += std::max(0, last - first - 1);
    }
    claim.multipleDependent = count > 1;
    std::sort(named.begin(), named.end());
    named.erase(std::unique(named.begin(), named.end()), named.end());
    for (const int n : named) {
        const Claim* parent = set.numbered(n);
        if (parent && parent != &claim && !parent->canceled && parent->start < claim.start && n < claim.number)
            claim.parents.push_back(n);
    }
}

} // namespace

int claimNumberAtLineStart(QStringView line) {
    return startAtLineStart(line).number;
}

const Claim* ClaimSet::numbered(int number) const {
    // The last claim whose number is at most `number`, and the first of that number.
    auto after = std::upper_bound(byNumber.begin(), byNumber.end(), number,
                                  [](int n, const std::pair<int, int>& entry) { return n < entry.first; });
    if (after == byNumber.begin())
        return nullptr;
    const int first = std::prev(after)->first;
    const auto start = std::lower_bound(byNumber.begin(), after, first,
                                        [](const std::pair<int, int>& entry, int n) { return entry.first < n; });
    const Claim& claim = claims[std::size_t(start->second)];
    return number <= claim.lastNumber ? &claim : nullptr;
}

int ClaimSet::indexAt(qsizetype offset) const {
    const auto after =
        std::upper_bound(claims.begin(), claims.end(), offset, [](qsizetype o, const Claim& c) { return o < c.start; });
    return int(after - claims.begin()) - 1;
}

std::vector<int> ClaimSet::ancestors(std::size_t index) const {
    std::vector<bool> seen(claims.size(), false);
    std::vector<std::size_t> todo{index};
    while (!todo.empty()) {
        const std::size_t at = todo.back();
        todo.pop_back();
        for (const int number : claims[at].parents) {
            const Claim* parent = numbered(number);
            const std::size_t i = std::size_t(parent - claims.data());
            if (!seen[i] && i != index) {
                seen[i] = true;
                todo.push_back(i);
            }
        }
    }
    std::vector<int> found;
    for (std::size_t i = 0; i < seen.size(); ++i)
        if (seen[i])
            found.push_back(int(i));
    return found;
}

ClaimSet readClaims(const QString& text) {
    static const QRegularExpression inside(
        QStringLiteral(R"((?<=[.])[ \t]+(\d{1,4})(?:[ \t]*[-–][ \t]*(\d{1,4}))?[ \t]*\.[ \t]+(?=[A-Z(\[]))"));
    ClaimSet set;
    int current = 0;           // the highest claim number so far
    std::map<int, int> used;   // the numbers so far: the first and last of each claim's
    bool sentenceEnded = true; // the text before ends with a full stop, as a claim does
    const auto add = [&](int number, int lastNumber, qsizetype start, NumberAt at, qsizetype textStart) {
        Claim claim;
        claim.number = number;
        claim.lastNumber = std::max(number, lastNumber);
        claim.numberAt = at;
        claim.start = start;
        claim.textStart = textStart;
        if (current > 0 && number <= current) {
            const auto holder = used.upper_bound(number);
            const bool usedBefore = holder != used.begin() && number <= std::prev(holder)->second;
            claim.fault = usedBefore ? NumberingFault::Duplicate : NumberingFault::OutOfOrder;
        }
        used.emplace(number, claim.lastNumber);
        if (!set.claims.empty())
            set.claims.back().end = start;
        set.claims.push_back(claim);
        current = std::max(current, claim.lastNumber);
    };
    for (qsizetype lineStart = 0; lineStart <= text.size();) {
        qsizetype lineEnd = text.indexOf(u'\n', lineStart);
        if (lineEnd < 0)
            lineEnd = text.size();
        const QStringView line = QStringView(text).sliced(lineStart, lineEnd - lineStart);
        qsizetype from = 0;
        const StartMatch start = startAtLineStart(line);
        if (start.number > 0) {
            const qsizetype after = start.length;
            const bool capitalFollows = [&] {
                qsizetype i = after;
                while (i < line.size() && line.at(i).isSpace())
                    ++i;
                return i < line.size() && (line.at(i).isUpper() || line.at(i) == u'(' || line.at(i) == u'[');
            }();
            // "2) heating" inside a claim after "1) mixing;" is a list, not the next claim.
            const bool next = current == 0 || (start.number > current && start.number <= current + kLargestClaimGap &&
                                               (!start.bracket || sentenceEnded || capitalFollows));
            if (next || (sentenceEnded && capitalFollows)) {
                add(start.number, start.lastNumber, lineStart,
                    NumberAt{start.number, lineStart + start.numberOffset, start.numberLength}, lineStart + after);
                from = after;
            }
        }
        for (QRegularExpressionMatchIterator it = inside.globalMatch(line.sliced(from)); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            const int number = match.capturedView(1).toInt();
            if (number != current + 1)
                continue;
            const int last = match.hasCaptured(2) ? match.capturedView(2).toInt() : number;
            const qsizetype numberOffset = lineStart + from + match.capturedStart(1);
            add(number, last, numberOffset, NumberAt{number, numberOffset, match.capturedLength(1)},
                lineStart + from + match.capturedEnd(0));
        }
        const QStringView trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            sentenceEnded = trimmed.endsWith(u'.');
        lineStart = lineEnd + 1;
    }
    if (!set.claims.empty())
        set.claims.back().end = text.size();
    for (std::size_t i = 0; i < set.claims.size(); ++i)
        set.byNumber.emplace_back(set.claims[i].number, int(i));
    std::stable_sort(set.byNumber.begin(), set.byNumber.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (Claim& claim : set.claims) {
        readStatus(text, claim);
        claim.preambleEnd = preambleEnd(text, claim);
        if (!claim.canceled)
            readReferences(text, claim);
    }
    for (std::size_t i = 0; i < set.claims.size(); ++i)
        if (!set.claims[i].canceled)
            findParents(set, i);
    return set;
}

} // namespace claimcheck::claims
