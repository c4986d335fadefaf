#include "references.h"

#include <algorithm>

namespace claimcheck::proofreading {

namespace {

QString term(const QString& text, qsizetype offset, qsizetype length) {
    return text.sliced(offset, length).simplified();
}

} // namespace

std::vector<ProofFinding> checkReferences(const QString& text, const claims::ClaimSet& claims) {
    using claims::Claim;
    std::vector<ProofFinding> findings;
    const auto add = [&](const Claim& claim, qsizetype offset, qsizetype length, Tier tier, QString message) {
        findings.push_back(
            ProofFinding{claim.number, offset, length, tier, term(text, offset, length), std::move(message)});
    };
    for (std::size_t index = 0; index < claims.claims.size(); ++index) {
        const Claim& claim = claims.claims[index];
        const claims::NumberAt& at = claim.numberAt;
        if (claim.fault == claims::NumberingFault::Duplicate)
            add(claim, at.offset, at.length, Tier::Error,
                QStringLiteral("claim number %1 is used a second time").arg(claim.number));
        else if (claim.fault == claims::NumberingFault::OutOfOrder)
            add(claim, at.offset, at.length, Tier::Error,
                QStringLiteral("claim %1 comes after claim %2").arg(claim.number).arg(claims.claims[index - 1].number));
        if (claim.canceled)
            continue;
        for (const claims::ClaimReference& reference : claim.references) {
            if (!reference.inPreamble)
                continue;
            if (reference.allPreceding && index == 0)
                add(claim, reference.offset, reference.length, Tier::Error,
                    QStringLiteral("refers to the preceding claims, but none comes before"));
            for (const claims::NumberAt& named : reference.numbers) {
                const Claim* target = claims.numbered(named.number);
                if (named.number == claim.number)
                    add(claim, named.offset, named.length, Tier::Error, QStringLiteral("depends on itself"));
                else if (named.number > claim.number || (target && target->start > claim.start))
                    add(claim, named.offset, named.length, Tier::Error,
                        QStringLiteral("depends on claim %1, which comes after it%2")
                            .arg(named.number)
                            .arg(target ? QString() : QStringLiteral(" (and does not exist)")));
                else if (!target)
                    add(claim, named.offset, named.length, Tier::Error,
                        QStringLiteral("depends on claim %1, which does not exist").arg(named.number));
                else if (target->canceled)
                    add(claim, named.offset, named.length, Tier::Error,
                        QStringLiteral("depends on claim %1, which is canceled").arg(named.number));
            }
        }
        if (!claim.multipleDependent)
            continue;
        for (const int parent : claim.parents) {
            const Claim* target = claims.numbered(parent);
            if (!target || !target->multipleDependent)
                continue;
            const claims::ClaimReference* reference = nullptr;
            for (const claims::ClaimReference& r : claim.references)
                if (r.inPreamble && !reference)
                    reference = &r;
            add(claim, reference->offset, reference->length, Tier::Warning,
                QStringLiteral("a multiple dependent claim that depends on claim %1, itself multiple dependent")
                    .arg(parent));
            break;
        }
    }
    sortFindings(findings);
    return findings;
}

} // namespace claimcheck::proofreading
