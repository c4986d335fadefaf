#pragma once

#include <QString>

class QPlainTextEdit;
class QTextDocument;
class QTextEdit;

namespace claimcheck {

// The characters a text box shows, with its line and paragraph breaks as "\n". Unlike
// QTextDocument::toPlainText() it keeps U+00A0, which must not become a word-splitting space.
QString boxPlainText(const QTextDocument& document);

// Replaces the whole text of the box with `text` in the box's default format, the text cursor at its start with no
// format of its own, so that what is typed next is plain too. setPlainText alone gives the new text the format the
// text cursor had, such as the colour of the last find (seen with Qt 6.4: a second check showed the whole claims
// text red).
void setBoxPlainText(QPlainTextEdit& box, const QString& text);
void setBoxPlainText(QTextEdit& box, const QString& text);

} // namespace claimcheck
