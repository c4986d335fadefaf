#pragma once

#include <QByteArray>
#include <QString>

namespace claimcheck::report {

enum class DocumentKind { Docx, Odt };

// The limits on what a document may make the program hold, far beyond any real draft: the inflated size of the
// part that holds its body (word/document.xml, content.xml), and the text read from it, in UTF-16 code units.
constexpr qint64 kMaxDocumentPartBytes = qint64(64) << 20;
constexpr qsizetype kMaxDocumentTextCharacters = qsizetype(64) << 20;

// Whether the bytes begin as a zip archive does (the container of both document formats).
bool looksLikeZip(const QByteArray& bytes);

// What kind of document the zip archive holds, told by its parts: "word/document.xml" for a Word document, the
// "mimetype" part naming OpenDocument text for an .odt. Returns false when it holds neither, with the reason.
bool documentKindOf(const QByteArray& zipBytes, DocumentKind& kind, QString& error);

// The text of the document's body: its paragraphs in order, one line each ("\n" between them), tabs as tabs and
// manual line breaks as line breaks; in a Word document, each paragraph of a numbered list after its number. Deleted
// text of tracked changes, comments, notes and fields' codes are left out. The body is read as it inflates, never
// whole. Returns false with the reason when the archive or its XML cannot be read, when the body's part or text
// outgrows its limit, or when a part declares a document type (DTD), where entities are declared: no entity is
// ever expanded.
bool documentText(const QByteArray& zipBytes, DocumentKind kind, QString& text, QString& error);

} // namespace claimcheck::report
