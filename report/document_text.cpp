#include "document_text.h"

#include "docx_numbering.h"

#include <QIODevice>
#include <QXmlStreamReader>

#include <zip.h>

#include <algorithm>
#include <memory>
#include <utility>

namespace claimcheck::report {

namespace {

// The mimetype part names a format in a few dozen bytes; a larger one names none.
constexpr qint64 kMaxMimeTypeBytes = 256;
// A numbering part holds the lists' formats, some kilobytes; it is read whole, and each list in it costs some
// hundred bytes of memory for its forty or so bytes of XML.
constexpr qint64 kMaxNumberingBytes = qint64(4) << 20;

const QString kWordNamespace = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
const QString kMarkupCompatibilityNamespace =
    QStringLiteral("http://schemas.openxmlformats.org/markup-compatibility/2006");
const QString kTextNamespace = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString kOfficeNamespace = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct FileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

// Opens the archive in place, over the bytes (which must outlive it).
Archive openArchive(const QByteArray& bytes, QString& error) {
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* source = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &zipError);
    zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY, &zipError) : nullptr;
    if (!archive) {
        error = QStringLiteral("not a readable zip archive (%1)").arg(QString::fromUtf8(zip_error_strerror(&zipError)));
        if (source)
            zip_source_free(source);
    }
    zip_error_fini(&zipError);
    return Archive(archive);
}

bool hasPart(zip_t* archive, const char* name) {
    return zip_name_locate(archive, name, 0) >= 0;
}

QString megabytes(qint64 bytes) {
    return QString::number(bytes >> 20);
}

// One part of the archive as a device that inflates it as it is read, a part of at most `limit` bytes: past
// them, and at a damaged stream, it reads as ended and says why. The reader of a part never holds more of it
// than it has read, whatever the archive claims the part inflates to.
class PartDevice : public QIODevice {
public:
    PartDevice(zip_t* archive, const char* name, qint64 limit) : m_name(name), m_limit(limit) {
        const zip_int64_t index = zip_name_locate(archive, name, 0);
        zip_stat_t stat;
        if (index < 0 || zip_stat_index(archive, zip_uint64_t(index), 0, &stat) != 0) {
            m_error = QStringLiteral("no part %1 in the document").arg(QLatin1StringView(name));
            return;
        }
        // The size the archive states settles most cases at once; the count of what is read, every other.
        if ((stat.valid & ZIP_STAT_SIZE) != 0 && stat.size > zip_uint64_t(limit)) {
            m_error = tooLarge();
            return;
        }
        m_file.reset(zip_fopen_index(archive, zip_uint64_t(index), 0));
        if (!m_file) {
            m_error = QStringLiteral("a part %1 that cannot be opened (%2)")
                          .arg(QLatin1StringView(name), QString::fromUtf8(zip_strerror(archive)));
            return;
        }
        open(QIODevice::ReadOnly);
    }

    bool isSequential() const override { return true; }
    // Why the part could not be read to its end; empty while it can.
    const QString& failure() const { return m_error; }
    // The whole part; false with the reason when it cannot be read, or is too large.
    bool readAllInto(QByteArray& bytes, QString& error) {
        if (isOpen())
            bytes = readAll();
        error = m_error;
        return error.isEmpty();
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        if (!m_file || !m_error.isEmpty())
            return -1;
        // One byte past the limit tells a part of exactly `limit` bytes from a larger one.
        const zip_int64_t got = zip_fread(m_file.get(), data, zip_uint64_t(std::min(maxSize, m_limit + 1 - m_read)));
        if (got < 0) {
            m_error = QStringLiteral("a damaged part %1 (%2)")
                          .arg(QLatin1StringView(m_name), QString::fromUtf8(zip_file_strerror(m_file.get())));
            return -1;
        }
        m_read += got;
        if (m_read > m_limit) {
            m_error = tooLarge();
            return -1;
        }
        return got > 0 ? got : -1;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QString tooLarge() const {
        return QStringLiteral("a part %1 larger than %2 MB when inflated")
            .arg(QLatin1StringView(m_name), megabytes(m_limit));
    }

    const char* m_name;
    qint64 m_limit;
    qint64 m_read = 0;
    std::unique_ptr<zip_file_t, FileCloser> m_file;
    QString m_error;
};

QString dtdRefused(const char* part) {
    return QStringLiteral("a part %1 that declares a document type (DTD) or entities, which no Word or "
                          "OpenDocument file holds")
        .arg(QLatin1StringView(part));
}

QString textTooLarge() {
    return QStringLiteral("a document larger than %1 MB of text").arg(megabytes(kMaxDocumentTextCharacters));
}

// Whether the XML declares a document type, which comes before its first element: the only place where entities
// can be declared. Nothing of it is expanded here, nor by the reader of the part, which stops at it.
bool declaresDocumentType(const QByteArray& xmlBytes) {
    QXmlStreamReader xml(xmlBytes);
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::DTD)
            return true;
        if (token == QXmlStreamReader::StartElement)
            return false;
    }
    return false;
}

// Collects the lines of a document body: one per paragraph, in order, "\n" between them, up to the limit of a
// document's text. A paragraph that starts inside another (a text box anchored in it) ends the outer one's line so
// far, so no text is lost or merged with another's.
class Lines {
public:
    void beginParagraph() {
        if (m_depth++ > 0 && !m_line.isEmpty())
            endLine();
    }
    void endParagraph() {
        if (m_depth > 0)
            --m_depth;
        endLine();
    }
    bool inParagraph() const { return m_depth > 0; }
    void append(QStringView text) {
        if (fits(text.size()))
            m_line.append(text);
    }
    void append(QChar c) { append(QStringView(&c, 1)); }
    void appendSpaces(qsizetype count) {
        if (fits(count))
            m_line.append(QString(count, u' '));
    }
    QChar last() const { return m_line.isEmpty() ? QChar() : m_line.back(); }
    void breakLine() { endLine(); }
    // Whether the text has outgrown the limit; what came after that point is not kept.
    bool full() const { return m_full; }
    QString text() && { return std::move(m_text); }

private:
    bool fits(qsizetype count) {
        m_full = m_full || m_text.size() + m_line.size() + count > kMaxDocumentTextCharacters;
        return !m_full;
    }
    // The line's characters were counted as they came; only the line break before it adds one.
    void endLine() {
        if (m_lines++ > 0 && fits(1))
            m_text.append(u'\n');
        if (!m_full)
            m_text.append(m_line);
        m_line.clear();
    }
    QString m_text;
    QString m_line;
    qsizetype m_lines = 0;
    bool m_full = false;
    int m_depth = 0;
};

QString xmlError(const QXmlStreamReader& xml, const char* part) {
    return QStringLiteral("a damaged part %1 (line %2: %3)")
        .arg(QLatin1StringView(part))
        .arg(xml.lineNumber())
        .arg(xml.errorString());
}

// The list and level a paragraph's properties (w:pPr, the reader on its start) put it in, from w:numPr; -1 for
// none. The properties a tracked change replaced (w:pPrChange) do not count. Leaves the reader on the end of w:pPr.
std::pair<int, int> listOfParagraph(QXmlStreamReader& xml) {
    int numId = -1, level = 0;
    while (xml.readNextStartElement()) {
        if (xml.namespaceUri() == kWordNamespace && xml.name() == u"numPr") {
            while (xml.readNextStartElement()) {
                const int value = xml.attributes().value(kWordNamespace, QStringLiteral("val")).toInt();
                if (xml.name() == u"numId")
                    numId = value;
                else if (xml.name() == u"ilvl")
                    level = value;
                xml.skipCurrentElement();
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    return {numId, level};
}

// The next token of a part's XML. A document type declaration ends the reading, with the reason, before any of
// its entities is used.
QXmlStreamReader::TokenType nextToken(QXmlStreamReader& xml, const char* part) {
    const QXmlStreamReader::TokenType token = xml.readNext();
    if (token != QXmlStreamReader::DTD)
        return token;
    xml.raiseError(dtdRefused(part));
    return QXmlStreamReader::Invalid;
}

// How reading a part ended: false with the reason, or true with its text. The device's reason comes first: where
// the device stopped, the reader saw only an early end.
bool finished(const QXmlStreamReader& xml, const PartDevice& device, const char* part, Lines& lines, QString& text,
              QString& error) {
    if (lines.full())
        error = textTooLarge();
    else if (!device.failure().isEmpty())
        error = device.failure();
    else if (xml.error() == QXmlStreamReader::CustomError)
        error = xml.errorString();
    else if (xml.hasError())
        error = xmlError(xml, part);
    else
        text = std::move(lines).text();
    return error.isEmpty();
}

// word/document.xml: paragraphs w:p, text in w:t, w:tab, w:br and w:cr, each paragraph of a numbered list after
// the number its list draws. Run properties (which hold tab stops named w:tab too), deleted and moved-away text,
// field codes and the fallback copy of alternate content hold no text of the body. Within w:t, the text of any
// element is the run's text too.
bool docxText(PartDevice& device, DocxNumbering& numbering, QString& text, QString& error) {
    constexpr const char* part = "word/document.xml";
    QXmlStreamReader xml(&device);
    Lines lines;
    int depthInText = 0; // within w:t, how deep: 1 for the w:t itself
    while (!xml.atEnd() && !lines.full()) {
        const QXmlStreamReader::TokenType token = nextToken(xml, part);
        if (depthInText > 0) {
            if (token == QXmlStreamReader::StartElement)
                ++depthInText;
            else if (token == QXmlStreamReader::EndElement)
                --depthInText;
            else if (token == QXmlStreamReader::Characters)
                lines.append(xml.text());
            continue;
        }
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = xml.name();
            if (xml.namespaceUri() == kMarkupCompatibilityNamespace) {
                if (name == u"Fallback")
                    xml.skipCurrentElement();
                continue;
            }
            if (xml.namespaceUri() != kWordNamespace)
                continue;
            if (name == u"p") {
                lines.beginParagraph();
            } else if (name == u"t") {
                depthInText = 1;
            } else if (name == u"tab") {
                lines.append(QChar(u'\t'));
            } else if (name == u"br" || name == u"cr") {
                lines.breakLine();
            } else if (name == u"noBreakHyphen") {
                lines.append(QChar(0x2011));
            } else if (name == u"pPr") {
                const auto [numId, level] = listOfParagraph(xml);
                if (numId > 0)
                    lines.append(numbering.nextLabel(numId, level));
            } else if (name == u"rPr" || name == u"del" || name == u"moveFrom" || name == u"instrText" ||
                       name == u"delText" || name == u"delInstrText") {
                xml.skipCurrentElement();
            }
        } else if (token == QXmlStreamReader::EndElement && xml.namespaceUri() == kWordNamespace &&
                   xml.name() == u"p") {
            lines.endParagraph();
        }
    }
    return finished(xml, device, part, lines, text, error);
}

// content.xml: the paragraphs and headings (text:p, text:h) of office:text, with text:s for runs of spaces,
// text:tab and text:line-break. Within a paragraph, white space in the XML collapses to one space, as OpenDocument
// has it. Notes, comments and the deleted text kept for tracked changes are left out.
bool odtText(PartDevice& device, QString& text, QString& error) {
    constexpr const char* part = "content.xml";
    QXmlStreamReader xml(&device);
    Lines lines;
    bool inBody = false;
    while (!xml.atEnd() && !lines.full()) {
        const QXmlStreamReader::TokenType token = nextToken(xml, part);
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = xml.name();
            if (xml.namespaceUri() == kOfficeNamespace) {
                if (name == u"text")
                    inBody = true;
                else if (name == u"annotation")
                    xml.skipCurrentElement();
                continue;
            }
            if (!inBody || xml.namespaceUri() != kTextNamespace)
                continue;
            if (name == u"p" || name == u"h") {
                lines.beginParagraph();
            } else if (name == u"s") {
                const int count = xml.attributes().value(kTextNamespace, QStringLiteral("c")).toInt();
                lines.appendSpaces(count > 0 ? count : 1);
            } else if (name == u"tab") {
                lines.append(QChar(u'\t'));
            } else if (name == u"line-break") {
                lines.breakLine();
            } else if (name == u"note" || name == u"tracked-changes" || name == u"sequence-decls") {
                xml.skipCurrentElement();
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (xml.namespaceUri() == kOfficeNamespace && xml.name() == u"text")
                inBody = false;
            else if (inBody && xml.namespaceUri() == kTextNamespace && (xml.name() == u"p" || xml.name() == u"h"))
                lines.endParagraph();
        } else if (token == QXmlStreamReader::Characters && lines.inParagraph()) {
            for (const QChar c : xml.text()) {
                const bool space = c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
                if (!space)
                    lines.append(c);
                else if (lines.last() != u' ' && !lines.last().isNull())
                    lines.append(QChar(u' '));
            }
        }
    }
    return finished(xml, device, part, lines, text, error);
}

const QByteArray kOdtMimeType = QByteArrayLiteral("application/vnd.oasis.opendocument.text");

} // namespace

bool looksLikeZip(const QByteArray& bytes) {
    return bytes.startsWith(QByteArrayLiteral("PK\x03\x04")) || bytes.startsWith(QByteArrayLiteral("PK\x05\x06"));
}

bool documentKindOf(const QByteArray& zipBytes, DocumentKind& kind, QString& error) {
    const Archive archive = openArchive(zipBytes, error);
    if (!archive)
        return false;
    if (hasPart(archive.get(), "word/document.xml")) {
        kind = DocumentKind::Docx;
        return true;
    }
    QByteArray mimeType;
    QString ignored;
    if (PartDevice(archive.get(), "mimetype", kMaxMimeTypeBytes).readAllInto(mimeType, ignored) &&
        mimeType.trimmed() == kOdtMimeType && hasPart(archive.get(), "content.xml")) {
        kind = DocumentKind::Odt;
        return true;
    }
    error = QStringLiteral("a zip archive but neither a Word document (.docx) nor an OpenDocument text (.odt)");
    return false;
}

bool documentText(const QByteArray& zipBytes, DocumentKind kind, QString& text, QString& error) {
    const Archive archive = openArchive(zipBytes, error);
    if (!archive)
        return false;
    if (kind == DocumentKind::Odt) {
        PartDevice content(archive.get(), "content.xml", kMaxDocumentPartBytes);
        error = content.failure();
        return error.isEmpty() && odtText(content, text, error);
    }
    // A document without numbered lists has no numbering part.
    QByteArray numberingXml;
    if (hasPart(archive.get(), "word/numbering.xml")) {
        if (!PartDevice(archive.get(), "word/numbering.xml", kMaxNumberingBytes).readAllInto(numberingXml, error))
            return false;
        if (declaresDocumentType(numberingXml)) {
            error = dtdRefused("word/numbering.xml");
            return false;
        }
    }
    DocxNumbering numbering(numberingXml);
    PartDevice document(archive.get(), "word/document.xml", kMaxDocumentPartBytes);
    error = document.failure();
    return error.isEmpty() && docxText(document, numbering, text, error);
}

} // namespace claimcheck::report
