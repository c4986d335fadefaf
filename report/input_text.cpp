#include "input_text.h"

#include "document_text.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cstdio>

namespace claimcheck::report {

namespace {

InputText failure(const QString& reason) {
    return InputText{QString(), reason};
}

// Control characters that text files hold: tab, line feed, vertical tab (a manual line break copied from a word
// processor), form feed and carriage return. Any other C0 control, NUL above all, means the bytes are not text.
bool isTextControl(char16_t u) {
    return u == u'\t' || u == u'\n' || u == u'\v' || u == u'\f' || u == u'\r';
}

bool endsWith(const QString& name, QLatin1StringView ending) {
    return name.endsWith(ending, Qt::CaseInsensitive);
}

InputText checkedText(QString text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x20 && !isTextControl(c.unicode()))
            return failure(QStringLiteral("neither text nor a Word document (.docx) or OpenDocument text (.odt)"));
    }
    bool blank = true;
    for (const QChar c : text) {
        if (!c.isSpace()) {
            blank = false;
            break;
        }
    }
    if (blank)
        return failure(QStringLiteral("empty file"));
    return InputText{std::move(text), QString()};
}

// UTF-16 after its byte-order mark, in the order the mark gives. Qt's decoder lets a lone surrogate and an odd
// last byte through, so both are checked here.
InputText utf16Text(const QByteArray& bytes, bool bigEndian) {
    const QByteArray body = bytes.sliced(2);
    if (body.size() % 2 != 0)
        return failure(QStringLiteral("not valid UTF-16 (it ends in half a character)"));
    QString text(body.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto b0 = uchar(body[2 * i]), b1 = uchar(body[2 * i + 1]);
        text[i] = QChar(bigEndian ? char16_t(b0 << 8 | b1) : char16_t(b1 << 8 | b0));
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            return failure(QStringLiteral("not valid UTF-16 (a lone surrogate at character %1)").arg(i + 1));
        }
    }
    return checkedText(std::move(text));
}

// The 1-based number of the byte at which the first ill-formed UTF-8 sequence begins (Unicode's table of
// well-formed sequences: no overlong forms, no surrogates, nothing above U+10FFFF). Qt's decoder only says that
// there is one; this runs once it has.
qsizetype firstInvalidUtf8Byte(const QByteArray& bytes) {
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const auto b = uchar(bytes[i]);
        qsizetype length = 0;
        uchar low = 0x80, high = 0xBF; // the range of the second byte
        if (b < 0x80) {
            length = 1;
        } else if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            low = b == 0xE0 ? 0xA0 : 0x80;
            high = b == 0xED ? 0x9F : 0xBF;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            low = b == 0xF0 ? 0x90 : 0x80;
            high = b == 0xF4 ? 0x8F : 0xBF;
        } else {
            return i + 1;
        }
        if (i + length > n)
            return i + 1;
        for (qsizetype k = 1; k < length; ++k) {
            const auto c = uchar(bytes[i + k]);
            if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF))
                return i + 1;
        }
        i += length;
    }
    return n;
}

} // namespace

InputText textOfBytes(const QByteArray& bytes, const QString& name) {
    if (bytes.isEmpty())
        return failure(QStringLiteral("empty file"));

    const bool namedDocument = endsWith(name, QLatin1StringView(".docx")) || endsWith(name, QLatin1StringView(".odt"));
    if (looksLikeZip(bytes)) {
        DocumentKind kind;
        QString error;
        QString text;
        if (!documentKindOf(bytes, kind, error) || !documentText(bytes, kind, text, error))
            return failure(error);
        InputText checked = checkedText(std::move(text));
        if (!checked.ok() && checked.error == QLatin1StringView("empty file"))
            checked.error = QStringLiteral("a document with no text");
        return checked;
    }
    if (namedDocument)
        return failure(QStringLiteral("named as a document but not one (no zip archive)"));
    if (bytes.startsWith(QByteArrayLiteral("%PDF")))
        return failure(QStringLiteral("a PDF file; save the text as plain text, .docx or .odt"));
    if (bytes.startsWith(QByteArrayLiteral("\xD0\xCF\x11\xE0")))
        return failure(QStringLiteral("an old Word document (.doc); save it as .docx, .odt or plain text"));

    if (bytes.startsWith(QByteArrayLiteral("\xFF\xFE")))
        return utf16Text(bytes, false);
    if (bytes.startsWith(QByteArrayLiteral("\xFE\xFF")))
        return utf16Text(bytes, true);
    // Without a byte-order mark, UTF-16 and other binary data hold NUL bytes, which UTF-8 text never does.
    if (bytes.contains('\0'))
        return failure(QStringLiteral("neither text nor a Word document (.docx) or OpenDocument text (.odt)"));
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes); // drops a leading byte-order mark
    if (decoder.hasError())
        return failure(QStringLiteral("not valid UTF-8 (byte %1)").arg(firstInvalidUtf8Byte(bytes)));
    return checkedText(std::move(text));
}

InputText readInputText(const QString& path) {
    QFile file;
    QString name = path;
    if (path == u'-') {
        if (!file.open(stdin, QIODevice::ReadOnly))
            return failure(QStringLiteral("cannot be read: %1").arg(file.errorString()));
    } else {
        const QFileInfo info(path);
        if (!info.exists())
            return failure(QStringLiteral("no such file"));
        if (info.isDir())
            return failure(QStringLiteral("a folder, not a file"));
        file.setFileName(path);
        if (!file.open(QIODevice::ReadOnly))
            return failure(QStringLiteral("cannot be read: %1").arg(file.errorString()));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failure(QStringLiteral("cannot be read: %1").arg(file.errorString()));
    return textOfBytes(bytes, name);
}

} // namespace claimcheck::report
