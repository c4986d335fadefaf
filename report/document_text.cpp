#include "document_text.h"

#include "docx_numbering.h"

#include <QStringList>
#include <QXmlStreamReader>

#include <zip.h>

#include <memory>
#include <utility>

namespace claimcheck::report {

namespace {

// No part of a real document comes near this; a larger one is a zip bomb or not a document.
constexpr zip_uint64_t kMaxPartBytes = zip_uint64_t(1) << 30;

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

// The bytes of one part of the archive; false with the reason when it is missing, too large or damaged.
bool readPart(zip_t* archive, const char* name, QByteArray& part, QString& error) {
    const zip_int64_t index = zip_name_locate(archive, name, 0);
    zip_stat_t stat;
    if (index < 0 || zip_stat_index(archive, zip_uint64_t(index), 0, &stat) != 0) {
        error = QStringLiteral("no part %1 in the document").arg(QLatin1StringView(name));
        return false;
    }
    if ((stat.valid & ZIP_STAT_SIZE) == 0 || stat.size > kMaxPartBytes) {
        error = QStringLiteral("a part %1 too large to read").arg(QLatin1StringView(name));
        return false;
    }
    std::unique_ptr<zip_file_t, FileCloser> file(zip_fopen_index(archive, zip_uint64_t(index), 0));
    if (!file) {
        error = QStringLiteral("a part %1 that cannot be opened (%2)")
                    .arg(QLatin1StringView(name), QString::fromUtf8(zip_strerror(archive)));
        return false;
    }
    part.resize(qsizetype(stat.size));
    zip_uint64_t done = 0;
    while (done < stat.size) {
        const zip_int64_t got = zip_fread(file.get(), part.data() + done, stat.size - done);
        if (got <= 0) {
            error = QStringLiteral("a damaged part %1 (%2)")
                        .arg(QLatin1StringView(name), QString::fromUtf8(zip_file_strerror(file.get())));
            return false;
        }
        done += zip_uint64_t(got);
    }
    return true;
}

// Collects the lines of a document body: one per paragraph, in order. A paragraph that starts inside another (a
// text box anchored in it) ends the outer one's line so far, so no text is lost or merged with another's.
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
    void append(QStringView text) { m_line.append(text); }
    void append(QChar c) { m_line.append(c); }
    QChar last() const { return m_line.isEmpty() ? QChar() : m_line.back(); }
    void breakLine() { endLine(); }
    QString text() const { return m_lines.join(u'\n'); }

private:
    void endLine() {
        m_lines.append(m_line);
        m_line.clear();
    }
    QStringList m_lines;
    QString m_line;
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

// word/document.xml: paragraphs w:p, text in w:t, w:tab, w:br and w:cr, each paragraph of a numbered list after
// the number its list draws. Run properties (which hold tab stops named w:tab too), deleted and moved-away text,
// field codes and the fallback copy of alternate content hold no text of the body.
bool docxText(const QByteArray& xmlBytes, DocxNumbering& numbering, QString& text, QString& error) {
    QXmlStreamReader xml(xmlBytes);
    Lines lines;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
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
                lines.append(xml.readElementText(QXmlStreamReader::IncludeChildElements));
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
    if (xml.hasError()) {
        error = xmlError(xml, "word/document.xml");
        return false;
    }
    text = lines.text();
    return true;
}

// content.xml: the paragraphs and headings (text:p, text:h) of office:text, with text:s for runs of spaces,
// text:tab and text:line-break. Within a paragraph, white space in the XML collapses to one space, as OpenDocument
// has it. Notes, comments and the deleted text kept for tracked changes are left out.
bool odtText(const QByteArray& xmlBytes, QString& text, QString& error) {
    QXmlStreamReader xml(xmlBytes);
    Lines lines;
    bool inBody = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
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
                lines.append(QString(count > 0 ? count : 1, u' '));
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
    if (xml.hasError()) {
        error = xmlError(xml, "content.xml");
        return false;
    }
    text = lines.text();
    return true;
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
    if (readPart(archive.get(), "mimetype", mimeType, ignored) && mimeType.trimmed() == kOdtMimeType &&
        hasPart(archive.get(), "content.xml")) {
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
    const char* part = kind == DocumentKind::Docx ? "word/document.xml" : "content.xml";
    QByteArray xml;
    if (!readPart(archive.get(), part, xml, error))
        return false;
    if (kind == DocumentKind::Odt)
        return odtText(xml, text, error);
    // A document without numbered lists has no numbering part.
    QByteArray numberingXml;
    if (hasPart(archive.get(), "word/numbering.xml") &&
        !readPart(archive.get(), "word/numbering.xml", numberingXml, error))
        return false;
    DocxNumbering numbering(numberingXml);
    return docxText(xml, numbering, text, error);
}

} // namespace claimcheck::report
