#include "trevask.h"
#include "ui/box_text.h"
#include "ui/look.h"
#include "ui/message_box.h"
#include "word_list.h"

#include <QTextCharFormat>
#include <QTextCursor>
#include <QTimer>

namespace claimcheck {

namespace {

constexpr unsigned kFoundInIndexColour = 0xFF0000; // blue, for words picked in either index
constexpr unsigned kUnsupportedColour = 255;       // red, for words picked among the unsupported ones
constexpr int kEchoDelayMs = 100;

QString pickedWord(const WordList* list) {
    const int position = list->selectedPosition();
    return position < 0 ? QString() : list->item(position);
}

// Offset of the first occurrence of `word` at or after `from`, ignoring case, or -1. It searches the text as the
// box shows it, whose offsets are the box's cursor positions; QTextDocument::find would miss words that hold a line
// break. An empty word has no occurrence to show, so it is never found.
qsizetype findInBox(const QPlainTextEdit* box, const QString& word, qlonglong from) {
    if (word.isEmpty() || from < 0)
        return -1;
    return boxPlainText(*box->document()).indexOf(word, qsizetype(from), Qt::CaseInsensitive);
}

void selectAndColour(QPlainTextEdit* box, qsizetype offset, qsizetype length, unsigned bgr) {
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(int(offset));
    cursor.setPosition(int(offset + length), QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
    QTextCharFormat colour;
    colour.setForeground(bgrColor(bgr));
    box->mergeCurrentCharFormat(colour);
}

// The find-next that all three lists share. Returns whether an occurrence was found and coloured.
bool findNext(trevask& window, const WordList* list, QPlainTextEdit* box, unsigned bgr) {
    const QString word = pickedWord(list);
    if (word != window.previtem.toString())
        window.start = qlonglong(1);

    const qsizetype found = findInBox(box, word, window.start.toLongLong());
    window.la = qlonglong(found);
    // The search starts at offset 1 at the earliest, so an occurrence at offset 0 never counts.
    if (found < 1) {
        showMessage(&window, QStringLiteral("Nothing else found"));
        return false;
    }

    selectAndColour(box, found, word.size(), bgr);
    window.start = qlonglong(found + word.size());
    window.previtem = word;
    return true;
}

} // namespace

void trevask::List1_Click() {
    findNext(*this, List1, RichTextBox1, kFoundInIndexColour);
}

void trevask::List2_Click() {
    // Quiet while the echo types into this list: its type-ahead must not start searches in the disclosure.
    if (flagclick3.toBool())
        return;
    findNext(*this, List2, RichTextBox2, kFoundInIndexColour);
}

void trevask::List3_Click() {
    if (!findNext(*this, List3, RichTextBox1, kUnsupportedColour))
        return;
    tampon = previtem;
    Timer1->setInterval(kEchoDelayMs);
    Timer1->start();
}

} // namespace claimcheck
