#pragma once

#include <QChar>
#include <QString>

namespace claimcheck {

// Whether a character that a text document stores reads back as one line break: the paragraph separator between
// blocks, the line separator of a soft break, and the marks U+FDD0/U+FDD1 where a frame begins and ends.
bool isStoredLineBreak(QChar c);

// The text as a text box shows it after setPlainText(text), read back with boxPlainText: a CR LF pair, a lone CR,
// LF, the line and paragraph separators and the frame marks each become one "\n"; every other character stays
// (seen with Qt 6.4: no other code unit of the Basic Multilingual Plane is changed, lone surrogates included).
QString asTextBoxHoldsIt(const QString& text);

} // namespace claimcheck
