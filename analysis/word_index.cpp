#include "analysis/word_index.h"

#include "analysis/chunked_array.h"
#include "analysis/multi_word_matcher.h"
#include "analysis/suffix_automaton.h"
#include "analysis/upper_case.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <utility>

namespace claimcheck {

namespace {

// The distinct non-empty words met so far. Each of them is known to occur in the word string (admitted words are
// part of it, dropped ones were found in it, and the string only grows), so a repeated word needs one hash lookup
// instead of a walk through the automaton. The words are copied into a pool of their own: comparing against the
// first occurrence in a long text would mean a cache miss per lookup.
class SeenWords {
public:
    SeenWords() : m_slots(1024) {}

    static std::uint32_t Hash(std::u16string_view word) {
        // Four units at a time: words are short, and a multiplication per unit would be most of the work.
        std::uint64_t h = 0x9e3779b97f4a7c15u ^ word.size();
        const char16_t* at = word.data();
        std::size_t left = word.size();
        for (; left >= 4; left -= 4, at += 4) {
            std::uint64_t chunk;
            std::memcpy(&chunk, at, sizeof chunk);
            h = (h ^ chunk) * 0xff51afd7ed558ccdu;
            h ^= h >> 32;
        }
        if (left != 0) {
            std::uint64_t chunk = 0;
            std::memcpy(&chunk, at, left * sizeof(char16_t));
            h = (h ^ chunk) * 0xff51afd7ed558ccdu;
        }
        h = (h ^ (h >> 29)) * 0xc4ceb9fe1a85ec53u;
        return static_cast<std::uint32_t>(h >> 32);
    }

    // Asks for the slot where a lookup of a word with this hash starts, ahead of the lookup.
    void Prefetch(std::uint32_t hash) const {
#if defined(__GNUC__)
        __builtin_prefetch(&m_slots[hash & (m_slots.size() - 1)]);
#endif
    }

    // Adds the word, whose hash is given, and returns true, or returns false when it is already there.
    bool Insert(std::u16string_view word, std::uint32_t hash) {
        const std::size_t mask = m_slots.size() - 1;
        std::size_t i = hash & mask;
        for (; m_slots[i].length != 0; i = (i + 1) & mask) {
            const Slot& slot = m_slots[i];
            if (slot.hash == hash && slot.length == word.size() &&
                std::equal(word.begin(), word.end(), &m_pool[slot.offset])) {
                return false;
            }
        }
        const std::uint32_t offset = m_pool.grow(word.size(), kPoolLimit);
        std::copy(word.begin(), word.end(), &m_pool[offset]);
        m_slots[i] = Slot{offset, static_cast<std::uint32_t>(word.size()), hash};
        if (++m_count * 2 > m_slots.size()) {
            Grow();
        }
        return true;
    }

private:
    static constexpr std::size_t kPoolLimit = std::size_t{1} << 31;

    struct Slot {
        std::uint32_t offset;
        std::uint32_t length; // 0 marks a free slot: the empty word is never stored
        std::uint32_t hash;
    };

    void Grow() {
        std::vector<Slot> old(m_slots.size() * 2);
        old.swap(m_slots);
        const std::size_t mask = m_slots.size() - 1;
        for (const Slot& slot : old) {
            if (slot.length != 0) {
                std::size_t i = slot.hash & mask;
                while (m_slots[i].length != 0) {
                    i = (i + 1) & mask;
                }
                m_slots[i] = slot;
            }
        }
    }

    std::vector<Slot> m_slots;
    ChunkedArray<char16_t> m_pool; // each word lies within one chunk
    std::size_t m_count = 0;
};

} // namespace

WordIndex BuildWordIndex(std::u16string_view text) {
    WordIndex index;
    if (text.empty()) {
        return index;
    }
    SuffixAutomaton automaton;
    SeenWords seen;
    // The word string itself is put together once at the end, at its exact size: the automaton stands for it
    // meanwhile, and all the entry rule needs besides is whether it is still empty.
    std::size_t wordStringLength = 0;
    const auto admit = [&](std::u16string_view word) {
        index.words.emplace_back(word);
        wordStringLength += word.size();
        automaton.Append(word);
    };
    // The words are cut one ahead, so that the seen-words slot of the next one is on its way while this one is
    // looked up and perhaps admitted.
    const auto wordAt = [&](std::size_t begin) {
        const std::size_t space = text.find(u' ', begin);
        return text.substr(begin, space == text.npos ? text.npos : space - begin);
    };
    std::u16string_view word = wordAt(0);
    std::uint32_t hash = SeenWords::Hash(word);
    while (true) {
        const std::size_t end = static_cast<std::size_t>(word.data() - text.data()) + word.size();
        const bool last = end == text.size();
        std::u16string_view next;
        std::uint32_t nextHash = 0;
        if (!last) {
            next = wordAt(end + 1);
            nextHash = SeenWords::Hash(next);
            seen.Prefetch(nextHash);
        }
        if (wordStringLength == 0) {
            admit(word);
            if (!word.empty()) {
                seen.Insert(word, hash);
            }
        } else if (!word.empty() && seen.Insert(word, hash) && !automaton.Contains(word)) {
            admit(word);
        }
        if (last) {
            break;
        }
        word = next;
        hash = nextHash;
    }
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
