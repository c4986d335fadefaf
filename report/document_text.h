#pragma once

#include <QByteArray>
#include <QString>

namespace claimcheck::report {

enum class DocumentKind { Docx, Odt };

// Whether the bytes begin as a zip archive does (the container of both document formats).
bool looksLikeZip(const QByteArray& bytes);

// What kind of document the zip archive holds, told by its parts: "word/document.xml" for a Word document, the
// "mimetype" part naming OpenDocument text for an .odt. Returns false when it holds neither, with the reason.
bool documentKindOf(const QByteArray& zipBytes, DocumentKind& kind, QString& error);

// The text of the document's body: its paragraphs in order, one line each ("\n" between them), tabs as tabs and
// manual line breaks as line breaks; in a Word document, each paragraph of a numbered list after its number. Deleted
// text of tracked changes, comments, notes and fields' codes are left out. Returns false with the reason when the
// archive or its XML cannot be read.
bool documentText(const QByteArray& zipBytes, DocumentKind kind, QString& text, QString& error);

} // namespace claimcheck::report
