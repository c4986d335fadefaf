#include "huge_words.h"

#include <QObject>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>

namespace claimcheck {

namespace {

bool endsAWord(QChar c) {
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\n' || u == QChar::LineSeparator || u == QChar::ParagraphSeparator;
}

bool holdsHugeWord(QStringView text) {
    qsizetype run = 0;
    for (const QChar c : text) {
        run = endsAWord(c) ? 0 : run + 1;
        if (run > kLongestWrappedWord)
            return true;
    }
    return false;
}

QString textBetween(QTextDocument* document, int from, int to) {
    QTextCursor cursor(document);
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    return cursor.selectedText();
}

void setWrapMode(QTextDocument* document, QTextOption::WrapMode mode) {
    QTextOption option = document->defaultTextOption();
    if (option.wrapMode() == mode)
        return;
    option.setWrapMode(mode);
    document->setDefaultTextOption(option);
}

} // namespace

// contentsChange comes before the document is laid out again for the change, so a switch made here spares that
// layout the slow mode.
void keepHugeWordsFast(QTextDocument* document) {
    const QTextOption::WrapMode usual = document->defaultTextOption().wrapMode();
    const auto check = [document, usual](int position, int /*removed*/, int added) {
        if (document->defaultTextOption().wrapMode() == usual) {
            // Only a run that reaches into the change can be new: look at the change and a word's length around it.
            const int end = document->characterCount() - 1;
            const int from = std::max(0, position - kLongestWrappedWord - 1);
            const int to = std::min(end, position + added + kLongestWrappedWord + 1);
            if (holdsHugeWord(textBetween(document, from, to)))
                setWrapMode(document, QTextOption::WrapAnywhere);
        } else if (!holdsHugeWord(document->toRawText())) {
            setWrapMode(document, usual);
        }
    };
    QObject::connect(document, &QTextDocument::contentsChange, document, check);
    check(0, 0, document->characterCount() - 1);
}

} // namespace claimcheck
