#include "line_breaks.h"

namespace claimcheck {

bool isStoredLineBreak(QChar c) {
    const char16_t u = c.unicode();
    return u == QChar::ParagraphSeparator || u == QChar::LineSeparator || u == 0xFDD0 || u == 0xFDD1;
}

QString asTextBoxHoldsIt(const QString& text) {
    QString held;
    held.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            continue; // the LF that follows makes the one break
        held.append(c == u'\r' || c == u'\n' || isStoredLineBreak(c) ? QChar(u'\n') : c);
    }
    return held;
}

} // namespace claimcheck
