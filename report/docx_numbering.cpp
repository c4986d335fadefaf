#include "docx_numbering.h"

#include <QXmlStreamReader>

namespace claimcheck::report {

namespace {

const QString kWordNamespace = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");

int intValue(const QXmlStreamReader& xml) {
    return xml.attributes().value(kWordNamespace, QStringLiteral("val")).toInt();
}

QString stringValue(const QXmlStreamReader& xml) {
    return xml.attributes().value(kWordNamespace, QStringLiteral("val")).toString();
}

QString roman(int n) {
    static const std::array<std::pair<int, const char*>, 13> kNumerals = {{{1000, "m"},
                                                                           {900, "cm"},
                                                                           {500, "d"},
                                                                           {400, "cd"},
                                                                           {100, "c"},
                                                                           {90, "xc"},
                                                                           {50, "l"},
                                                                           {40, "xl"},
                                                                           {10, "x"},
                                                                           {9, "ix"},
                                                                           {5, "v"},
                                                                           {4, "iv"},
                                                                           {1, "i"}}};
    QString text;
    for (const auto& [value, numeral] : kNumerals)
        for (; n >= value; n -= value)
            text += QLatin1StringView(numeral);
    return text;
}

// "a" to "z", then "aa" to "zz", as Word counts letters.
QString letters(int n) {
    if (n < 1)
        return QString::number(n);
    return QString((n - 1) / 26 + 1, QChar(u'a' + (n - 1) % 26));
}

QString formatted(int n, const QString& format) {
    if (format == u"lowerLetter")
        return letters(n);
    if (format == u"upperLetter")
        return letters(n).toUpper();
    if (format == u"lowerRoman")
        return roman(n);
    if (format == u"upperRoman")
        return roman(n).toUpper();
    if (format == u"decimalZero")
        return n < 10 ? QStringLiteral("0%1").arg(n) : QString::number(n);
    return QString::number(n);
}

} // namespace

DocxNumbering::DocxNumbering(const QByteArray& numberingXml) {
    QXmlStreamReader xml(numberingXml);
    int abstractId = -1, numId = -1, level = -1;
    bool inOverride = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.namespaceUri() == kWordNamespace) {
            if (xml.name() == u"abstractNum")
                abstractId = -1;
            else if (xml.name() == u"num")
                numId = -1;
            else if (xml.name() == u"lvl")
                level = -1;
            else if (xml.name() == u"lvlOverride")
                inOverride = false;
            continue;
        }
        if (token != QXmlStreamReader::StartElement || xml.namespaceUri() != kWordNamespace)
            continue;
        const QStringView name = xml.name();
        const QXmlStreamAttributes attributes = xml.attributes();
        if (name == u"abstractNum") {
            abstractId = attributes.value(kWordNamespace, QStringLiteral("abstractNumId")).toInt();
            m_abstract[abstractId] = Levels{};
        } else if (name == u"num") {
            numId = attributes.value(kWordNamespace, QStringLiteral("numId")).toInt();
        } else if (name == u"abstractNumId" && numId >= 0) {
            m_abstractOf[numId] = intValue(xml);
        } else if (name == u"lvlOverride" && numId >= 0) {
            inOverride = true;
            level = attributes.value(kWordNamespace, QStringLiteral("ilvl")).toInt();
        } else if (name == u"startOverride" && inOverride && level >= 0 && level < kLevels) {
            m_startOverride[numId][level] = intValue(xml);
        } else if (name == u"lvl" && abstractId >= 0) {
            level = attributes.value(kWordNamespace, QStringLiteral("ilvl")).toInt();
        } else if (abstractId >= 0 && level >= 0 && level < kLevels && !inOverride) {
            Level& target = m_abstract[abstractId][level];
            if (name == u"start")
                target.start = intValue(xml);
            else if (name == u"numFmt")
                target.format = stringValue(xml);
            else if (name == u"lvlText")
                target.text = stringValue(xml);
            else if (name == u"suff")
                target.suffix = stringValue(xml) == u"space"     ? QStringLiteral(" ")
                                : stringValue(xml) == u"nothing" ? QString()
                                                                 : QStringLiteral("\t");
        }
    }
    if (xml.hasError()) {
        m_abstract.clear();
        m_abstractOf.clear();
    }
}

QString DocxNumbering::nextLabel(int numId, int level) {
    const auto abstract = m_abstract.constFind(m_abstractOf.value(numId, -1));
    if (numId <= 0 || level < 0 || level >= kLevels || abstract == m_abstract.constEnd())
        return {};
    const Levels& levels = *abstract;
    auto counters = m_counters.find(numId);
    if (counters == m_counters.end())
        counters = m_counters.insert(numId, std::array<int, kLevels>{});
    std::array<int, kLevels>& drawn = *counters;
    const auto startOf = [this, numId, &levels](int at) {
        return m_startOverride.value(numId).value(at, levels[std::size_t(at)].start);
    };
    drawn[std::size_t(level)] = drawn[std::size_t(level)] == 0 ? startOf(level) : drawn[std::size_t(level)] + 1;
    for (int deeper = level + 1; deeper < kLevels; ++deeper)
        drawn[std::size_t(deeper)] = 0;

    const Level& here = levels[std::size_t(level)];
    if (here.format == u"bullet" || here.format == u"none" || here.text.isEmpty())
        return {};
    // "%1." names the number of level 0, "%2)" that of level 1, and so on; a level not drawn yet counts as its
    // start.
    QString label;
    for (qsizetype i = 0; i < here.text.size(); ++i) {
        const QChar c = here.text.at(i);
        if (c == u'%' && i + 1 < here.text.size() && here.text.at(i + 1) >= u'1' && here.text.at(i + 1) <= u'9') {
            const int at = here.text.at(++i).unicode() - u'1';
            const int n = drawn[std::size_t(at)] == 0 ? startOf(at) : drawn[std::size_t(at)];
            label += formatted(n, levels[std::size_t(at)].format);
        } else {
            label += c;
        }
    }
    return label + here.suffix;
}

} // namespace claimcheck::report
