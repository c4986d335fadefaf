#include "box_text.h"

#include "boxtext/line_breaks.h"

#include <QPlainTextEdit>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace claimcheck {

namespace {

// setPlainText formats the new text as the text cursor's character format: the format set on the cursor, or else
// that of the character before it. A fresh cursor with an empty format of its own leaves every character in the
// document's default format.
template <typename Box> void replaceText(Box& box, const QString& text) {
    QTextCursor fresh(box.document());
    fresh.setCharFormat(QTextCharFormat());
    box.setTextCursor(fresh);
    box.setPlainText(text);
}

} // namespace

// toRawText() gives the characters as stored: U+2029 between paragraphs, U+2028 for a soft line break, and
// U+FDD0/U+FDD1 where a frame (a table, say) begins and ends. Each of them reads as one line break, which keeps
// every index of the returned text equal to the matching cursor position.
QString boxPlainText(const QTextDocument& document) {
    QString text = document.toRawText();
    for (QChar& c : text) {
        if (isStoredLineBreak(c))
            c = u'\n';
    }
    return text;
}

void setBoxPlainText(QPlainTextEdit& box, const QString& text) {
    replaceText(box, text);
}

void setBoxPlainText(QTextEdit& box, const QString& text) {
    replaceText(box, text);
}

} // namespace claimcheck
