#include "analysis/word_index.h"

#include "analysis/multi_word_matcher.h"
#include "analysis/suffix_automaton.h"
#include "analysis/upper_case.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <numeric>
#include <stdexcept>
#include <utility>

namespace claimcheck {

namespace {

// The distinct non-empty words met so far. Each of them occurs in the word string (admitted words are part of it,
// dropped ones were found in it, and the string only grows), so a repeated word needs one lookup here instead of a
// walk through the automaton. Open addressing, with the words copied into a pool of their own: comparing against
// a word's first occurrence in a long text would mean a cache miss per lookup.
class SeenWords {
public:
    // Adds the word and returns true, or returns false when it is there already.
    bool insert(std::u16string_view word) {
        const auto hash = static_cast<std::uint32_t>(std::hash<std::u16string_view>{}(word));
        std::size_t i = hash & (m_slots.size() - 1);
        for (; m_slots[i].length != 0; i = (i + 1) & (m_slots.size() - 1)) {
            const Slot& slot = m_slots[i];
            if (slot.hash == hash && slot.length == word.size() &&
                std::equal(word.begin(), word.end(), m_pool.begin() + slot.offset)) {
                return false;
            }
        }
        if (m_pool.size() + word.size() > UINT32_MAX) {
            throw std::length_error("too many distinct words");
        }
        m_slots[i] = Slot{static_cast<std::uint32_t>(m_pool.size()), static_cast<std::uint32_t>(word.size()), hash};
        m_pool.insert(m_pool.end(), word.begin(), word.end());
        if (++m_count * 2 > m_slots.size()) {
            // At most half full, so that probes stay short.
            std::vector<Slot> old(m_slots.size() * 2);
            old.swap(m_slots);
            for (const Slot& slot : old) {
                if (slot.length != 0) {
                    std::size_t j = slot.hash & (m_slots.size() - 1);
                    while (m_slots[j].length != 0) {
                        j = (j + 1) & (m_slots.size() - 1);
                    }
                    m_slots[j] = slot;
                }
            }
        }
        return true;
    }

private:
    struct Slot {
        std::uint32_t offset;
        std::uint32_t length; // 0 marks a free slot: the empty word is never added
        std::uint32_t hash;
    };
    std::vector<Slot> m_slots = std::vector<Slot>(1024);
    std::vector<char16_t> m_pool;
    std::size_t m_count = 0;
};

} // namespace

// In two passes, each with a small working set: first the words the word string may lack, then the automaton
// admits those it does not contain.
WordIndex BuildWordIndex(std::u16string_view text) {
    WordIndex index;
    if (text.empty()) {
        return index;
    }
    // 1. Every word up to and including the first non-empty one is admitted, as the word string is empty until
    // then. After it, each non-empty word is a candidate at its first occurrence only: a repeated word occurs in
    // the word string already (it was admitted or found there, and the string only grows).
    std::vector<std::u16string_view> candidates;
    std::size_t unconditional = 0;
    {
        SeenWords seen; // freed before the automaton grows
        for (std::size_t begin = 0; begin <= text.size();) {
            const std::size_t end = std::min(text.find(u' ', begin), text.size());
            const std::u16string_view word = text.substr(begin, end - begin);
            begin = end + 1;
            if (unconditional == candidates.size() && (unconditional == 0 || candidates.back().empty())) {
                ++unconditional;
                candidates.push_back(word);
                if (!word.empty()) {
                    seen.insert(word);
                }
            } else if (!word.empty() && seen.insert(word)) {
                candidates.push_back(word);
            }
        }
    }
    // 2. The automaton of the word string admits each candidate that it does not contain, and grows with it. The
    // last candidate is looked for but never added: no candidate comes after it to look for, and a text of one
    // long word would otherwise make an automaton many times the text's size for nothing.
    SuffixAutomaton automaton;
    std::size_t candidateUnits = 0;
    for (std::size_t i = 0; i + 1 < candidates.size(); ++i) {
        candidateUnits += candidates[i].size();
    }
    automaton.reserve(candidateUnits);
    std::size_t wordStringLength = 0;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (i < unconditional || !automaton.contains(candidates[i])) {
            if (i + 1 < candidates.size()) {
                automaton.append(candidates[i]);
            }
            index.words.emplace_back(candidates[i]);
            wordStringLength += candidates[i].size();
        }
    }
    // Put together once, at its exact size.
    index.wordString.reserve(wordStringLength);
    for (const std::u16string& word : index.words) {
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
    const std::u16string word = upperCase(cleanedWord);
    const std::u16string wordString = upperCase(disclosureWordString);
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
    std::vector<std::u16string> upper;
    upper.reserve(cleaned.size());
    for (const std::u16string& word : cleaned) {
        upper.push_back(upperCase(word));
    }
    // Added in sorted order, each word costs the matcher time in proportion to its length only.
    std::vector<std::size_t> order(cleaned.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&upper](std::size_t a, std::size_t b) { return upper[a] < upper[b]; });
    MultiWordMatcher matcher;
    std::vector<MultiWordMatcher::WordId> ids(cleaned.size());
    for (const std::size_t i : order) {
        ids[i] = upper[i].empty() ? 0 : matcher.add(upper[i]);
    }
    const std::vector<bool> found = matcher.findIn(upperCase(disclosureWordString));
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
