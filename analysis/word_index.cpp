#include "analysis/word_index.h"

#include "analysis/multi_word_matcher.h"
#include "analysis/suffix_automaton.h"
#include "analysis/upper_case.h"

#include <algorithm>
#include <functional>
#include <unordered_set>
#include <utility>

namespace claimcheck {

WordIndex BuildWordIndex(std::u16string_view text) {
    WordIndex index;
    if (text.empty()) {
        return index;
    }
    // The distinct non-empty words met so far. Each of them occurs in the word string (admitted words are part of
    // it, dropped ones were found in it, and the string only grows), so a repeated word needs one hash lookup
    // instead of a walk through the automaton.
    std::unordered_set<std::u16string_view> seen;
    SuffixAutomaton automaton;
    std::vector<std::u16string_view> admitted;
    std::size_t wordStringLength = 0;
    for (std::size_t begin = 0; begin <= text.size();) {
        const std::size_t end = std::min(text.find(u' ', begin), text.size());
        const std::u16string_view word = text.substr(begin, end - begin);
        begin = end + 1;
        bool admit = true; // every word is, while the word string is still empty
        if (wordStringLength == 0) {
            if (!word.empty()) {
                seen.insert(word);
            }
        } else {
            admit = !word.empty() && seen.insert(word).second && !automaton.Contains(word);
        }
        if (admit) {
            automaton.Append(word);
            admitted.push_back(word);
            wordStringLength += word.size();
        }
    }
    index.words.assign(admitted.begin(), admitted.end());
    // Put together once, at its exact size.
    index.wordString.reserve(wordStringLength);
    for (const std::u16string_view word : admitted) {
        index.wordString += word;
    }
    return index;
}

std::u16string CleanClaimWord(std::u16string_view entry) {
    std::u16string cleaned;
    cleaned.reserve(entry.size());
    for (std::size_t i = 0; i < entry.size(); ++i) {
        if (entry[i] == u'\r' && i + 1 < entry.size() && entry[i + 1] == u'\n') {
            ++i;
        } else {
            cleaned.push_back(entry[i]);
        }
    }
    // The pairs go first ("\r\n" would otherwise lose its LF and keep the CR). The five single characters that
    // follow can be removed in one pass: removing one of them never makes or breaks another.
    std::erase_if(cleaned, [](char16_t u) { return u == u'\n' || u == u'.' || u == u',' || u == u':' || u == u';'; });
    return cleaned;
}

bool IsSupported(std::u16string_view cleanedWord, std::u16string_view disclosureWordString) {
    if (disclosureWordString.empty()) {
        return false;
    }
    const std::u16string word = UpperCase(cleanedWord);
    const std::u16string wordString = UpperCase(disclosureWordString);
    return std::search(wordString.begin(), wordString.end(), std::boyer_moore_searcher(word.begin(), word.end())) !=
           wordString.end();
}

std::vector<std::u16string> FindUnsupportedWords(const std::vector<std::u16string>& claimEntries,
                                                 std::u16string_view disclosureWordString) {
    std::vector<std::u16string> cleaned;
    cleaned.reserve(claimEntries.size());
    for (const std::u16string& entry : claimEntries) {
        cleaned.push_back(CleanClaimWord(entry));
    }
    if (disclosureWordString.empty()) {
        return cleaned;
    }
    MultiWordMatcher matcher;
    std::vector<MultiWordMatcher::WordId> ids;
    ids.reserve(cleaned.size());
    for (const std::u16string& word : cleaned) {
        ids.push_back(word.empty() ? 0 : matcher.Add(UpperCase(word)));
    }
    const std::vector<bool> found = matcher.FindIn(UpperCase(disclosureWordString));
    std::vector<std::u16string> unsupported;
    for (std::size_t i = 0; i < cleaned.size(); ++i) {
        // The empty word occurs in every non-empty string.
        if (!cleaned[i].empty() && !found[ids[i]]) {
            unsupported.push_back(std::move(cleaned[i]));
        }
    }
    return unsupported;
}

} // namespace claimcheck
