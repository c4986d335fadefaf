#pragma once

#include <QByteArray>
#include <QString>

namespace claimcheck::report {

// A file's text, or why there is none. `error` is one short reason ("empty file", "not valid UTF-8 (byte 12)"),
// to follow the file's name in a message; it is empty when `text` holds the file's text.
struct InputText {
    QString text;
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// The text of a file's bytes, told by content and name: a Word document (.docx) or an OpenDocument text (.odt),
// each paragraph one line; else plain text in UTF-8, with or without a byte-order mark, or in UTF-16 with one.
// `name` is the file's name as given (its ending tells a document that is not a zip archive from text); the
// bytes decide otherwise. A text that holds nothing but white space counts as empty.
InputText textOfBytes(const QByteArray& bytes, const QString& name);

// Reads the file, or standard input for "-", and gives its text as textOfBytes does; a file that does not exist
// or cannot be read has the reason the system gave.
InputText readInputText(const QString& path);

} // namespace claimcheck::report
