#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace claimcheck {

// The index of one text: the words it admits, in order of first appearance, and those words joined end to end.
struct WordIndex {
    std::vector<std::u16string> words;
    std::u16string wordString;
};

// Cuts the text at every U+0020 and admits each word that does not already occur inside the word string built
// so far (an empty word only while that string is still empty).
WordIndex BuildWordIndex(std::u16string_view text);

// Removes CR LF pairs, then LF, '.', ',', ':' and ';', each in its own pass. Nothing else changes.
std::u16string CleanClaimWord(std::u16string_view entry);

// True when the cleaned word occurs, ignoring case, anywhere in a non-empty disclosure word string.
bool IsSupported(std::u16string_view cleanedWord, std::u16string_view disclosureWordString);

// Cleans each claims-index entry in order and returns the cleaned words that the disclosure does not support.
std::vector<std::u16string> FindUnsupportedWords(const std::vector<std::u16string>& claimEntries,
                                                 std::u16string_view disclosureWordString);

} // namespace claimcheck
