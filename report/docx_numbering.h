#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <array>

namespace claimcheck::report {

// The numbers a Word document draws before the paragraphs of its numbered lists (word/numbering.xml), which are
// no part of the paragraphs' text: claims numbered "1.", "2." by the word processor keep their numbers this way.
// Numbers count per list and level; a paragraph on one level starts its deeper levels afresh. Bullets and levels
// drawn without a number give no label. Numbering that a paragraph takes from its style, not from its own
// properties, is not seen.
class DocxNumbering {
public:
    // An unreadable numbering part reads as none: the text is still there without its numbers.
    explicit DocxNumbering(const QByteArray& numberingXml);

    // The label for the next paragraph of list `numId` at level `level` ("1.", "a)", "iv."), followed by the
    // separator the level asks for (a tab unless it names a space or nothing); empty when there is none.
    QString nextLabel(int numId, int level);

private:
    static constexpr int kLevels = 9;
    struct Level {
        int start = 1;
        QString format = QStringLiteral("decimal");
        QString text;
        QString suffix = QStringLiteral("\t");
    };
    using Levels = std::array<Level, kLevels>;
    QHash<int, Levels> m_abstract;                   // abstractNumId -> its levels
    QHash<int, int> m_abstractOf;                    // numId -> abstractNumId
    QHash<int, QHash<int, int>> m_startOverride;     // numId -> level -> start
    QHash<int, std::array<int, kLevels>> m_counters; // numId -> the last number drawn at each level, 0 for none
};

} // namespace claimcheck::report
