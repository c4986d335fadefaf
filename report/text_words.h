#pragma once

// How the words rules and the stems rules cut a text into words: at white space, with punctuation and symbols
// stripped from each piece's ends, and pieces without a letter and labels such as "(a)" left out.

#include <QRegularExpression>
#include <QStringView>

#include <unicode/uchar.h>

namespace claimcheck::report {

namespace words_detail {

// A label of a claim's parts or of a list: "(a)", "a)", "(iv)", "(12)", "12b)", with a final stop or comma.
inline bool isLabel(QStringView token) {
    static const QRegularExpression label(
        QStringLiteral(R"(^\(?(?:[A-Za-z]|\d+[A-Za-z]?|[A-Za-z]\d+|(?i:x{0,3}(?:ix|iv|v?i{0,3})))['’]?\)[.,;:]?$)"));
    return label.match(token).hasMatch();
}

// Punctuation and symbols, which a word sheds at both ends: brackets, quotation marks, stops, "%", "°", "+".
inline bool isStripped(char32_t c) {
    return QChar::isPunct(c) || QChar::isSymbol(c);
}

// Unicode White_Space; the ASCII ones, by far the most frequent, without a call into ICU.
inline bool isWhiteSpace(char32_t c) {
    if (c < 0x80)
        return c == u' ' || (c >= u'\t' && c <= u'\r');
    return u_isUWhiteSpace(UChar32(c));
}

} // namespace words_detail

inline char32_t codePointAt(QStringView text, qsizetype i) {
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return QChar::surrogateToUcs4(c, text.at(i + 1));
    return c.unicode();
}

inline qsizetype codePointLength(char32_t c) {
    return QChar::requiresSurrogates(c) ? 2 : 1;
}

// The code point that ends just before position `end`.
inline char32_t codePointBefore(QStringView text, qsizetype end) {
    if (end >= 2 && text.at(end - 1).isLowSurrogate() && text.at(end - 2).isHighSurrogate())
        return QChar::surrogateToUcs4(text.at(end - 2), text.at(end - 1));
    return text.at(end - 1).unicode();
}

// Calls `visit(offset, word)` for each word of the text, in text order: the text cut at white space, punctuation
// and symbols stripped from each piece's ends, pieces without a letter and labels left out.
template <typename Visit> void forEachWord(QStringView text, Visit visit) {
    using namespace words_detail;
    for (qsizetype i = 0; i < text.size();) {
        char32_t c = codePointAt(text, i);
        if (isWhiteSpace(c)) {
            i += codePointLength(c);
            continue;
        }
        const qsizetype tokenBegin = i;
        bool hasLetter = false;
        bool hasBracket = false;
        for (; i < text.size() && !isWhiteSpace(c = codePointAt(text, i)); i += codePointLength(c)) {
            hasLetter = hasLetter || QChar::isLetter(c);
            hasBracket = hasBracket || c == u')';
        }
        const QStringView token = text.sliced(tokenBegin, i - tokenBegin);
        // Every label ends in a bracket, so only such pieces need the pattern.
        if (!hasLetter || (hasBracket && isLabel(token)))
            continue;
        qsizetype begin = 0, end = token.size();
        while (isStripped(codePointAt(token, begin)))
            begin += codePointLength(codePointAt(token, begin));
        while (isStripped(codePointBefore(token, end)))
            end -= codePointLength(codePointBefore(token, end));
        visit(tokenBegin + begin, token.sliced(begin, end - begin));
    }
}

} // namespace claimcheck::report
