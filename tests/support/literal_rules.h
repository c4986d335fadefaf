#pragma once

// The word index and support rules written out literally, one plain substring search per step, with no shortcut
// of any kind. Slow (quadratic in the number of words) and kept that way on purpose: the tests compare the
// production code against it, and the benchmarks time it as the baseline.

#include "analysis/word_index.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <string>
#include <string_view>
#include <vector>

namespace claimcheck::literal {

inline std::vector<std::u16string> splitAtSpaces(std::u16string_view text) {
    std::vector<std::u16string> words;
    if (text.empty()) {
        return words;
    }
    std::size_t begin = 0;
    for (std::size_t space = text.find(u' '); space != text.npos; space = text.find(u' ', begin)) {
        words.emplace_back(text.substr(begin, space - begin));
        begin = space + 1;
    }
    words.emplace_back(text.substr(begin));
    return words;
}

inline WordIndex BuildWordIndex(std::u16string_view text) {
    WordIndex index;
    for (const std::u16string& word : splitAtSpaces(text)) {
        bool admit;
        if (index.wordString.empty()) {
            admit = true;
        } else if (word.empty()) {
            admit = false;
        } else {
            admit = index.wordString.find(word) == std::u16string::npos;
        }
        if (admit) {
            index.words.push_back(word);
            index.wordString += word;
        }
    }
    return index;
}

inline std::u16string replaceAll(std::u16string text, std::u16string_view what) {
    std::u16string result;
    std::size_t begin = 0;
    for (std::size_t at = text.find(what); at != text.npos; at = text.find(what, begin)) {
        result.append(text, begin, at - begin);
        begin = at + what.size();
    }
    result.append(text, begin);
    return result;
}

inline std::u16string CleanClaimWord(std::u16string_view entry) {
    std::u16string word(entry);
    for (const std::u16string_view removed : {u"\r\n", u"\n", u".", u",", u":", u";"}) {
        word = replaceAll(word, removed);
    }
    return word;
}

// Code point by code point through ICU, keeping a code point whose mapping would need another number of units.
inline std::u16string upperCase(std::u16string_view text) {
    std::u16string result;
    std::size_t i = 0;
    while (i < text.size()) {
        UChar32 c;
        U16_NEXT(text.data(), i, text.size(), c);
        UChar32 upper = u_toupper(c);
        if (U16_LENGTH(upper) != U16_LENGTH(c)) {
            upper = c;
        }
        if (U16_LENGTH(upper) == 1) {
            result.push_back(static_cast<char16_t>(upper));
        } else {
            result.push_back(U16_LEAD(upper));
            result.push_back(U16_TRAIL(upper));
        }
    }
    return result;
}

inline bool IsSupported(std::u16string_view cleanedWord, std::u16string_view disclosureWordString) {
    const std::u16string word = upperCase(cleanedWord);
    const std::u16string wordString = upperCase(disclosureWordString);
    if (wordString.empty()) {
        return false;
    }
    if (word.empty()) {
        return true;
    }
    return wordString.find(word) != std::u16string::npos;
}

// Upper-cases the word string once for all entries, as a check run may; the result is the same as calling
// IsSupported per entry.
inline std::vector<std::u16string> FindUnsupportedWords(const std::vector<std::u16string>& claimEntries,
                                                        std::u16string_view disclosureWordString) {
    const std::u16string wordString = upperCase(disclosureWordString);
    std::vector<std::u16string> unsupported;
    for (const std::u16string& entry : claimEntries) {
        const std::u16string cleaned = CleanClaimWord(entry);
        const bool supported =
            !wordString.empty() && (cleaned.empty() || wordString.find(upperCase(cleaned)) != std::u16string::npos);
        if (!supported) {
            unsupported.push_back(cleaned);
        }
    }
    return unsupported;
}

} // namespace claimcheck::literal
