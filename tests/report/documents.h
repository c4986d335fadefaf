#pragma once

// Word documents and OpenDocument texts made for the tests, with libzip: each paragraph given becomes one
// paragraph of the document. The archives hold the parts an office program needs to open them.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <zip.h>

#include <stdexcept>
#include <utility>
#include <vector>

namespace claimcheck::testing {

using Parts = std::vector<std::pair<QString, QByteArray>>;

// A zip archive of the parts, in order; a part named "mimetype" is stored uncompressed, as OpenDocument wants.
inline QByteArray zipArchive(const Parts& parts) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("archive.zip"));
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        throw std::runtime_error("zip_open failed");
    for (const auto& [name, bytes] : parts) {
        zip_source_t* source = zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        const zip_int64_t index = zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0)
            throw std::runtime_error("zip_file_add failed");
        if (name == QLatin1StringView("mimetype"))
            zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    if (zip_close(archive) != 0)
        throw std::runtime_error("zip_close failed");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("archive not written");
    return file.readAll();
}

// The archive with the inflated size that its records state for the part changed to `size`, in its local header
// and its central directory entry: a part whose true size the archive hides from a reader that trusts it. The
// archive must hold no zip64 records, as none under 4 GB does.
inline QByteArray withStatedSize(QByteArray zip, const QByteArray& part, quint32 size) {
    const auto read16 = [&zip](qsizetype at) { return qsizetype(uchar(zip[at])) | qsizetype(uchar(zip[at + 1])) << 8; };
    const auto read32 = [&zip, &read16](qsizetype at) { return read16(at) | read16(at + 2) << 16; };
    const auto write32 = [&zip](qsizetype at, quint32 value) {
        for (int i = 0; i < 4; ++i)
            zip[at + i] = char(value >> (8 * i));
    };
    const qsizetype end = zip.lastIndexOf(QByteArrayLiteral("PK\x05\x06"));
    if (end < 0)
        throw std::runtime_error("no end of central directory");
    qsizetype entry = read32(end + 16);
    for (qsizetype i = 0, entries = read16(end + 10); i < entries; ++i) {
        const qsizetype nameLength = read16(entry + 28);
        if (zip.mid(entry + 46, nameLength) == part) {
            write32(entry + 24, size);
            write32(read32(entry + 42) + 22, size);
            return zip;
        }
        entry += 46 + nameLength + read16(entry + 30) + read16(entry + 32);
    }
    throw std::runtime_error("no such part");
}

inline QString xmlEscaped(QString text) {
    return text.replace(u'&', QStringLiteral("&amp;"))
        .replace(u'<', QStringLiteral("&lt;"))
        .replace(u'>', QStringLiteral("&gt;"));
}

// The start and the end of a Word document's main part, around the body's elements.
inline const QByteArray kDocumentXmlStart =
    R"xml(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006"><w:body>)xml";
inline const QByteArray kDocumentXmlEnd = "<w:sectPr/></w:body></w:document>";

// A Word document whose main part, word/document.xml, is `documentXml`, with word/numbering.xml when
// `numberingXml` is given.
inline QByteArray docxWithDocumentXml(const QByteArray& documentXml, const QByteArray& numberingXml = {}) {
    const QByteArray contentTypes = R"xml(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/></Types>)xml";
    const QByteArray rels = R"xml(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/></Relationships>)xml";
    Parts parts{{QStringLiteral("[Content_Types].xml"), contentTypes},
                {QStringLiteral("_rels/.rels"), rels},
                {QStringLiteral("word/document.xml"), documentXml}};
    if (!numberingXml.isEmpty())
        parts.emplace_back(QStringLiteral("word/numbering.xml"), numberingXml);
    return zipArchive(parts);
}

// A Word document whose body is `bodyXml` (w: elements), with word/numbering.xml when `numberingXml` is given.
inline QByteArray docxWithBody(const QString& bodyXml, const QByteArray& numberingXml = {}) {
    return docxWithDocumentXml(kDocumentXmlStart + bodyXml.toUtf8() + kDocumentXmlEnd, numberingXml);
}

// A Word document with one paragraph per line, each in one run.
inline QByteArray docx(const QStringList& paragraphs) {
    QString body;
    for (const QString& paragraph : paragraphs)
        body += QStringLiteral("<w:p><w:pPr><w:tabs><w:tab w:val=\"left\" w:pos=\"720\"/></w:tabs></w:pPr>"
                               "<w:r><w:t xml:space=\"preserve\">%1</w:t></w:r></w:p>")
                    .arg(xmlEscaped(paragraph));
    return docxWithBody(body);
}

// A numbering part: list 1 counts "1.", "2." then "a)", "b)" below, with bullets at the third level; list 2 is the
// same list started at 5.
inline QByteArray numberedListsXml() {
    return R"xml(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<w:numbering xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:abstractNum w:abstractNumId="3"><w:lvl w:ilvl="0"><w:start w:val="1"/><w:numFmt w:val="decimal"/><w:lvlText w:val="%1."/></w:lvl><w:lvl w:ilvl="1"><w:start w:val="1"/><w:numFmt w:val="lowerLetter"/><w:lvlText w:val="%2)"/><w:suff w:val="space"/></w:lvl><w:lvl w:ilvl="2"><w:numFmt w:val="bullet"/><w:lvlText w:val="&#8226;"/></w:lvl><w:lvl w:ilvl="3"><w:start w:val="4"/><w:numFmt w:val="upperRoman"/><w:lvlText w:val="%1.%4"/><w:suff w:val="nothing"/></w:lvl></w:abstractNum><w:num w:numId="1"><w:abstractNumId w:val="3"/></w:num><w:num w:numId="2"><w:abstractNumId w:val="3"/><w:lvlOverride w:ilvl="0"><w:startOverride w:val="5"/></w:lvlOverride></w:num></w:numbering>)xml";
}

// A paragraph of list `numId` at `level`.
inline QString numberedParagraph(int numId, int level, const QString& text) {
    return QStringLiteral("<w:p><w:pPr><w:pStyle w:val=\"ListParagraph\"/><w:numPr><w:ilvl w:val=\"%1\"/><w:numId "
                          "w:val=\"%2\"/></w:numPr><w:tabs><w:tab w:val=\"left\" w:pos=\"720\"/></w:tabs></w:pPr>"
                          "<w:r><w:t>%3</w:t></w:r></w:p>")
        .arg(level)
        .arg(numId)
        .arg(xmlEscaped(text));
}

// The start and the end of an OpenDocument text's content.xml, around the elements of office:text.
inline const QByteArray kContentXmlStart = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2"><office:body><office:text><text:sequence-decls><text:sequence-decl text:display-outline-level="0" text:name="Table"/></text:sequence-decls>)xml";
inline const QByteArray kContentXmlEnd = "</office:text></office:body></office:document-content>";

// An OpenDocument text whose content.xml is `contentXml`.
inline QByteArray odtWithContentXml(const QByteArray& contentXml) {
    const QByteArray manifest = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.2"><manifest:file-entry manifest:full-path="/" manifest:media-type="application/vnd.oasis.opendocument.text"/><manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/></manifest:manifest>)xml";
    return zipArchive({{QStringLiteral("mimetype"), QByteArrayLiteral("application/vnd.oasis.opendocument.text")},
                       {QStringLiteral("content.xml"), contentXml},
                       {QStringLiteral("META-INF/manifest.xml"), manifest}});
}

// An OpenDocument text whose office:text holds `bodyXml` (text: elements).
inline QByteArray odtWithBody(const QString& bodyXml) {
    return odtWithContentXml(kContentXmlStart + bodyXml.toUtf8() + kContentXmlEnd);
}

inline QByteArray odt(const QStringList& paragraphs) {
    QString body;
    for (const QString& paragraph : paragraphs)
        body += QStringLiteral("<text:p>%1</text:p>").arg(xmlEscaped(paragraph));
    return odtWithBody(body);
}

} // namespace claimcheck::testing
