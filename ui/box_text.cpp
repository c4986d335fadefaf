#include "box_text.h"

#include <QTextDocument>

namespace claimcheck {

// toRawText() gives the characters as stored: U+2029 between paragraphs, U+2028 for a soft line break, and
// U+FDD0/U+FDD1 where a frame (a table, say) begins and ends. Each of them reads as one line break, which keeps
// every index of the returned text equal to the matching cursor position.
QString BoxPlainText(const QTextDocument& document) {
    QString text = document.toRawText();
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u == QChar::ParagraphSeparator || u == QChar::LineSeparator || u == 0xFDD0 || u == 0xFDD1)
            c = u'\n';
    }
    return text;
}

} // namespace claimcheck
