#include "antecedents.h"

#include "noun_phrases.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <iterator>

namespace claimcheck::proofreading {

namespace {

// Nouns that, followed by "of" or "between", name a property or a part of what follows, which needs no introduction of
// its own: "the end of the lever", "the amount of water", "the distance between the plates".
bool isRelational(const QString& key) {
    static const QSet<QString> words = [] {
        QSet<QString> set;
        for (const char* word : {"amount",      "number",        "surface",        "end",         "side",
                                 "top",         "bottom",        "length",         "width",       "height",
                                 "depth",       "thickness",     "diameter",       "radius",      "size",
                                 "shape",       "weight",        "mass",           "volume",      "area",
                                 "center",      "centre",        "middle",         "edge",        "interior",
                                 "exterior",    "inside",        "outside",        "front",       "rear",
                                 "back",        "position",      "location",       "direction",   "temperature",
                                 "pressure",    "speed",         "rate",           "level",       "degree",
                                 "ratio",       "concentration", "content",        "presence",    "absence",
                                 "rest",        "remainder",     "total",          "sum",         "majority",
                                 "minority",    "range",         "value",          "frequency",   "form",
                                 "group",       "order",         "time",           "period",      "duration",
                                 "plurality",   "identity",      "half",           "entirety",    "whole",
                                 "proportion",  "percentage",    "fraction",       "quantity",    "density",
                                 "viscosity",   "function",      "purpose",        "basis",       "course",
                                 "case",        "use",           "axis",           "periphery",   "circumference",
                                 "perimeter",   "distance",      "angle",          "orientation", "state",
                                 "condition",   "movement",      "motion",         "result",      "strength",
                                 "intensity",   "magnitude",     "extent",         "vicinity",    "surroundings",
                                 "environment", "balance",       "manner",         "way",         "activity",
                                 "expression",  "stability",     "ability",        "capacity",    "efficiency",
                                 "performance", "yield",         "purity",         "formation",   "production",
                                 "preparation", "treatment",     "administration", "combination", "step",
                                 "steps"})
            set.insert(QString::fromLatin1(word));
        return set;
    }();
    return words.contains(key);
}

// Words that name no part of the claimed matter: "the invention", "the art", "the following".
bool isOutsideTheClaims(const QString& key) {
    static const QSet<QString> words = [] {
        QSet<QString> set;
        for (const char* word :
             {"invention", "disclosure", "art", "following", "foregoing", "former", "latter", "above", "like",
              "formula", "present", "prior", "world", "earth", "air", "atmosphere", "ground", "horizontal", "vertical"})
            set.insert(QString::fromLatin1(word));
        return set;
    }();
    return words.contains(key);
}

// How well an introduction serves a reference, worst first. Loose: only once the reference's participles are left
// out ("the received information" for "information").
enum Match { None = 0, Loose = 1, PluralOnly = 2, Full = 3 };

bool isSubset(const std::vector<QString>& part, const std::vector<QString>& whole) {
    for (const QString& key : part)
        if (std::find(whole.begin(), whole.end(), key) == whole.end())
            return false;
    return true;
}

Match matchOf(const NounPhrase& reference, const NounPhrase& introduction) {
    // The reference's phrase may run on past its noun into a verb the word lists do not know ("the lever pivots"):
    // its first words count too, when they end where the introduction's noun does and a verb's form follows.
    Match best = None;
    for (std::size_t length = reference.keys.size(); length >= 1; --length) {
        const bool singular = !reference.each && !reference.quantity && !reference.pluralForm[length - 1];
        const Match found = singular && introduction.plural ? PluralOnly : Full;
        const std::vector<QString> words(reference.keys.begin(), reference.keys.begin() + qsizetype(length));
        // A word dropped after the noun must read as a verb: "pivots", "matches", "rotating", or any word after a
        // plural noun ("the springs touch").
        if (length < reference.keys.size() && (introduction.keys.back() != words.back() ||
                                               !(reference.pluralForm[length] || isParticiple(reference.keys[length]) ||
                                                 reference.pluralForm[length - 1])))
            continue;
        if (isSubset(words, introduction.keys))
            return std::max(best, found);
        std::vector<QString> plain;
        std::copy_if(words.begin(), words.end(), std::back_inserter(plain),
                     [](const QString& key) { return !isParticiple(key); });
        if (!plain.empty() && plain.size() < words.size() && isSubset(plain, introduction.keys))
            best = Loose;
    }
    return best;
}

// The word or mark just before an offset, in lower case.
QString wordBefore(const QString& text, qsizetype at) {
    qsizetype end = at;
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    qsizetype start = end;
    while (start > 0 && text.at(start - 1).isLetter())
        --start;
    if (start == end)
        return end > 0 ? QString(text.at(end - 1)) : QString();
    return text.sliced(start, end - start).toLower();
}

// An introduction in a predicate or a list of alternatives ("R1 is a hydrogen atom, a halogen atom or ..."), which
// names what something is rather than one more part.
bool isPredicate(const QString& before) {
    static const QSet<QString> words = [] {
        QSet<QString> set;
        for (const char* word : {"is", "are", "be", "being", "been", "represents", "represent", "denotes", "denote",
                                 "or", "nor", "as", "than", "means", "becomes", ",", "(", "/"})
            set.insert(QString::fromLatin1(word));
        return set;
    }();
    return words.contains(before);
}

bool isOrdinalOnly(const std::vector<QString>& keys) {
    static const QSet<QString> ordinals = [] {
        QSet<QString> set;
        for (const char* word : {"first", "second", "third", "fourth", "fifth", "sixth", "seventh", "eighth", "ninth",
                                 "tenth", "last", "final"})
            set.insert(QString::fromLatin1(word));
        return set;
    }();
    return std::all_of(keys.begin(), keys.end(), [](const QString& key) { return ordinals.contains(key); });
}

struct ClaimPhrases {
    std::vector<NounPhrase> phrases;
    std::vector<bool> namesAClaim; // phrase by phrase: "the device of claim 1", "a method as claimed in claim 2"
    QHash<QString, std::vector<int>> introducing;            // the introductions that hold a key, by the key"
    std::vector<std::pair<qsizetype, qsizetype>> references; // the claim's reference phrases, ascending
};

// The text from an offset on, as far as the patterns below look: matching a view of it, not the whole text, keeps
// the cost of each match (the subject's encoding is checked first) from growing with the claims' length.
QStringView near(const QString& text, qsizetype at) {
    constexpr qsizetype kReach = 120;
    return QStringView(text).sliced(at, std::min(kReach, text.size() - at));
}

// Whether the text at `at` goes on into one of the claim's reference phrases: "the device of claim 1", "a method
// as claimed in any one of claims 1 to 3".
bool leadsToReference(const QString& text, qsizetype at, const ClaimPhrases& claim) {
    static const QRegularExpression connector(
        QStringLiteral(
            R"(^(?:\s*(?:of|according|to|as|claimed|recited|defined|set|forth|described|in|accordance|with|by|)"
            R"(under|per|any|one|the|is|are|being)\b)*\s*)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = connector.match(near(text, at));
    const qsizetype next = at + (match.hasMatch() ? match.capturedEnd(0) : 0);
    for (const auto& [offset, length] : claim.references)
        if (offset <= next && next < offset + length)
            return true;
    return false;
}

// Whether "and" or "or" and then, a few words on, "of" follow: "the volume and area of the pieces".
bool coordinated(const QString& text, qsizetype at) {
    static const QRegularExpression pattern(QStringLiteral(R"(^\s*(?:and|or)\s+(?:[\w-]+\s+){1,3}of\b)"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern.match(near(text, at)).hasMatch();
}

QString quoted(const QString& text) {
    return u'"' + text + u'"';
}

QString claimList(const std::vector<int>& numbers) {
    QStringList list;
    for (const int n : numbers)
        list << QString::number(n);
    return QLatin1StringView(numbers.size() == 1 ? "claim " : "claims ") + list.join(QStringLiteral(", "));
}

} // namespace

std::vector<ProofFinding> checkAntecedents(const QString& text, const claims::ClaimSet& claims) {
    const std::size_t count = claims.claims.size();
    std::vector<ClaimPhrases> all(count);
    // Every introduction, by the key of its words: claim and phrase.
    QHash<QString, std::vector<std::pair<int, int>>> byKey;
    for (std::size_t c = 0; c < count; ++c) {
        const claims::Claim& claim = claims.claims[c];
        if (claim.canceled)
            continue;
        for (const claims::ClaimReference& reference : claim.references)
            all[c].references.emplace_back(reference.offset, reference.length);
        all[c].phrases = nounPhrases(text, claim.textStart, claim.end, all[c].references);
        for (std::size_t p = 0; p < all[c].phrases.size(); ++p) {
            const NounPhrase& phrase = all[c].phrases[p];
            all[c].namesAClaim.push_back(leadsToReference(text, phrase.nextWord, all[c]));
            // "A method as claimed in claim 1", "the host cell of claim 8" name what another claim claims: a basis for
            // the rest of this claim and the claims depending on it, but nothing of their own for a sibling.
            const bool namesAClaim = all[c].namesAClaim.back();
            if (phrase.kind == PhraseKind::Reference && !namesAClaim)
                continue;
            QSet<QString> seen;
            for (const QString& key : phrase.keys)
                if (!seen.contains(key)) {
                    seen.insert(key);
                    if (!namesAClaim)
                        byKey[key].emplace_back(int(c), int(p));
                    all[c].introducing[key].push_back(int(p));
                }
        }
    }
    // Each claim's chain: every claim it depends on, and itself; as a list and as a row of flags.
    std::vector<std::vector<int>> chainList(count);
    std::vector<std::vector<bool>> chain(count, std::vector<bool>(count, false));
    for (std::size_t c = 0; c < count; ++c) {
        chainList[c] = claims.ancestors(c);
        chainList[c].push_back(int(c));
        for (const int a : chainList[c])
            chain[c][std::size_t(a)] = true;
    }
    // How well the introductions of one claim serve a reference: the best match, looked up by each of the
    // reference's words (its phrase may have run on past its noun). `before` limits them to those before an offset.
    const auto bestIn = [&all](std::size_t in, const NounPhrase& reference, qsizetype before) {
        Match best = None;
        for (const QString& key : reference.keys) {
            const auto holding = all[in].introducing.constFind(key);
            if (holding == all[in].introducing.constEnd())
                continue;
            for (const int pi : *holding) {
                const NounPhrase& introduction = all[in].phrases[std::size_t(pi)];
                if (introduction.offset < before)
                    best = std::max(best, matchOf(reference, introduction));
            }
        }
        return best;
    };

    // A sibling: a claim of the same family, whose chain meets this one's in a claim that depends on none, but
    // which does not depend on this one.
    const auto sibling = [&](std::size_t a, std::size_t b) {
        if (chain[b][a])
            return false;
        for (std::size_t r = 0; r < count; ++r)
            if (chain[a][r] && chain[b][r] && claims.claims[r].parents.empty())
                return true;
        return false;
    };

    std::vector<ProofFinding> findings;
    for (std::size_t c = 0; c < count; ++c) {
        const claims::Claim& claim = claims.claims[c];
        if (claim.canceled)
            continue;
        std::vector<std::size_t> parents;
        for (const int number : claim.parents)
            parents.push_back(std::size_t(claims.numbered(number) - claims.claims.data()));
        const std::vector<NounPhrase>& phrases = all[c].phrases;
        for (std::size_t p = 0; p < phrases.size(); ++p) {
            const NounPhrase& phrase = phrases[p];
            const QString written =
                text.sliced(phrase.leadOffset, phrase.offset + phrase.length - phrase.leadOffset).simplified();
            const QString& head = phrase.keys.back();
            // "the end of ...", "the transmitting of ...": a property, part or act of what follows.
            const bool relational =
                (isRelational(head) && (phrase.followedByOf || coordinated(text, phrase.nextWord))) ||
                (phrase.followedByOf && isParticiple(head));
            if (phrase.kind == PhraseKind::Bare || relational || isOrdinalOnly(phrase.keys) ||
                isOutsideTheClaims(phrase.keys.front()) || isOutsideTheClaims(head) || all[c].namesAClaim[p])
                continue;
            if (phrase.kind == PhraseKind::Introduction) {
                if (phrase.anew || phrase.plural || phrase.followedByOf || isRelational(head) ||
                    isPredicate(wordBefore(text, phrase.leadOffset)))
                    continue;
                for (const int in : chainList[c]) {
                    const auto holding = all[std::size_t(in)].introducing.constFind(phrase.keys.front());
                    if (holding == all[std::size_t(in)].introducing.constEnd())
                        continue;
                    const auto same = std::find_if(holding->begin(), holding->end(), [&](int pi) {
                        const NounPhrase& earlier = all[std::size_t(in)].phrases[std::size_t(pi)];
                        return (std::size_t(in) != c || std::size_t(pi) < p) &&
                               earlier.kind == PhraseKind::Introduction && earlier.keys == phrase.keys;
                    });
                    if (same == holding->end())
                        continue;
                    findings.push_back(ProofFinding{claim.number, phrase.leadOffset,
                                                    phrase.offset + phrase.length - phrase.leadOffset, Tier::Warning,
                                                    written,
                                                    QStringLiteral("%1 again: already introduced in claim %2")
                                                        .arg(quoted(written))
                                                        .arg(claims.claims[std::size_t(in)].number)});
                    break;
                }
                continue;
            }

            const Match own = bestIn(c, phrase, phrase.offset);
            std::vector<Match> perParent(parents.size(), None);
            for (std::size_t k = 0; k < parents.size(); ++k)
                for (const int in : chainList[parents[k]])
                    perParent[k] = std::max(perParent[k], bestIn(std::size_t(in), phrase, text.size()));
            const auto fullIn = [](Match m) { return m == Full; };
            if (own == Full || (!parents.empty() && std::all_of(perParent.begin(), perParent.end(), fullIn)))
                continue;
            // Not in the chain: later in the claim, or in a sibling claim. Looked for only now, over every claim.
            Match elsewhere = None;
            bool laterInClaim = false;
            int outsideClaim = 0;
            for (const QString& key : phrase.keys) {
                const auto holding = byKey.constFind(key);
                if (holding == byKey.constEnd())
                    continue;
                for (const auto& [ci, pi] : *holding) {
                    const std::size_t in = std::size_t(ci);
                    if (chain[c][in] && in != c)
                        continue;
                    const NounPhrase& introduction = all[in].phrases[std::size_t(pi)];
                    const Match m = matchOf(phrase, introduction);
                    if (m == None)
                        continue;
                    if (in == c)
                        laterInClaim = laterInClaim || introduction.offset > phrase.offset;
                    else if (m > elsewhere && sibling(c, in)) {
                        elsewhere = m;
                        outsideClaim = claims.claims[in].number;
                    }
                }
            }
            const qsizetype length = phrase.offset + phrase.length - phrase.leadOffset;
            const QString what = quoted(phrase.keys.back());
            const auto add = [&](Tier tier, QString message) {
                findings.push_back(
                    ProofFinding{claim.number, phrase.leadOffset, length, tier, written, std::move(message)});
            };
            if (std::any_of(perParent.begin(), perParent.end(), fullIn)) {
                std::vector<int> with, without;
                for (std::size_t k = 0; k < parents.size(); ++k)
                    (perParent[k] == Full ? with : without).push_back(claims.claims[parents[k]].number);
                add(Tier::Warning, QStringLiteral("%1 is introduced through %2 but not through %3, which this claim "
                                                  "also depends on")
                                       .arg(quoted(written), claimList(with), claimList(without)));
            } else if (own == PluralOnly ||
                       std::any_of(perParent.begin(), perParent.end(), [](Match m) { return m == PluralOnly; })) {
                add(Tier::Warning,
                    QStringLiteral("%1 is singular, but only a plural introduces %2").arg(quoted(written), what));
            } else if (own == Loose ||
                       std::any_of(perParent.begin(), perParent.end(), [](Match m) { return m == Loose; })) {
                add(Tier::Warning, QStringLiteral("%1: introduced only without its participle").arg(quoted(written)));
            } else if (elsewhere != None) {
                add(Tier::Warning,
                    QStringLiteral("%1: found in claim %2, not in its chain").arg(quoted(written)).arg(outsideClaim));
            } else if (phrase.followedByOf || isParticiple(head)) {
                // "the size distribution of the pieces" often names a property of what follows; "the transmitting"
                // an act.
                add(Tier::Warning,
                    QStringLiteral("%1 has no antecedent basis in claim %2%3, unless it names a property of what "
                                   "follows or an act")
                        .arg(quoted(written))
                        .arg(claim.number)
                        .arg(parents.empty() ? QString() : QStringLiteral(" or the claims it depends on")));
            } else if (laterInClaim) {
                add(Tier::Error, QStringLiteral("%1 has no antecedent basis: it is introduced only later in the claim")
                                     .arg(quoted(written)));
            } else {
                add(Tier::Error,
                    QStringLiteral("%1 has no antecedent basis in claim %2%3")
                        .arg(quoted(written))
                        .arg(claim.number)
                        .arg(parents.empty() ? QString() : QStringLiteral(" or the claims it depends on")));
            }
        }
    }
    sortFindings(findings);
    return findings;
}

} // namespace claimcheck::proofreading
