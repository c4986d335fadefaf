#pragma once

// What the rule tests read off a check: its texts as Qt strings, the words of its findings.

#include "report/support_check.h"

#include <QString>
#include <QStringList>

#include <string_view>

namespace claimcheck::report::testing {

inline QString q(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

inline QStringList wordsOfFindings(const CheckResult& result) {
    QStringList words;
    for (const Finding& finding : result.unsupported)
        words << finding.word;
    return words;
}

} // namespace claimcheck::report::testing
