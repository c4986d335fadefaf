#pragma once

#include <QString>

class QTextDocument;

namespace claimcheck {

// The characters a text box shows, with its line and paragraph breaks as "\n". Unlike
// QTextDocument::toPlainText() it keeps U+00A0, which must not become a word-splitting space.
QString BoxPlainText(const QTextDocument& document);

} // namespace claimcheck
