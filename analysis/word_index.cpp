#include "analysis/word_index.h"

#include "analysis/flat_array.h"
#include "analysis/handoff_queue.h"
#include "analysis/multi_word_matcher.h"
#include "analysis/second_thread.h"
#include "analysis/suffix_automaton.h"
#include "analysis/upper_case.h"

#include <algorithm>
#include <atomic>
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
    FlatArray<char16_t> m_pool;
    std::size_t m_count = 0;
};

// A word of the text, by place, and whether it is admitted whatever the word string holds: the words up to and
// including the first non-empty one are, as they all come while the word string is still empty.
class WordSpan {
public:
    WordSpan() = default;
    WordSpan(std::size_t begin, std::size_t length, bool unconditional)
        : m_begin(begin | (unconditional ? kUnconditional : 0)), m_length(length) {}

    std::size_t begin() const { return m_begin & ~kUnconditional; }
    std::size_t length() const { return m_length; }
    bool unconditional() const { return (m_begin & kUnconditional) != 0; }

private:
    // No text comes near 2^63 code units, so the top bit of the place is free for the flag.
    static constexpr std::size_t kUnconditional = std::size_t{1} << 63;
    std::size_t m_begin = 0;
    std::size_t m_length = 0;
};

// The entry rule in three steps, so that the first and the last can run on a helper thread while the calling
// thread does the middle one:
// 1. cut the text into words and pass on those the word string may lack: the words met while it is still empty,
//    and afterwards each non-empty word at its first occurrence (a repeated word occurs in the word string
//    already: it was either admitted or found there, and the string only grows);
// 2. admit each word passed on that the automaton of the word string does not contain, and extend the automaton;
// 3. copy the admitted words into the index, and join them into the word string.
class WordIndexBuilder {
public:
    explicit WordIndexBuilder(std::u16string_view text)
        : m_text(text), m_candidates(text.size() + 1, kCandidateBatch), m_admitted(text.size() + 1, kAdmittedBatch) {}

    WordIndex Build() {
        HelperThread helper;
        const bool split = WorthASecondThread(m_text.size()) && helper.Start([this] {
            PassOnCandidates();
            CopyAdmitted();
        });
        if (!split) {
            PassOnCandidates();
            AdmitCandidates();
            CopyAdmitted();
            return std::move(m_index);
        }
        try {
            AdmitCandidates();
        } catch (...) {
            // The helper's queue of admitted words is closed already: let it end (it may stop cutting early), and
            // report this thread's error rather than a consequence of it.
            m_stop.store(true, std::memory_order_relaxed);
            try {
                helper.Join();
            } catch (...) {
            }
            throw;
        }
        helper.Join();
        return std::move(m_index);
    }

private:
    void PassOnCandidates() {
        try {
            CutIntoCandidates();
        } catch (...) {
            m_candidates.Close();
            throw;
        }
        m_candidates.Close();
    }

    void CutIntoCandidates() {
        SeenWords seen;
        bool wordStringEmpty = true;
        // The words are cut one ahead, so that the seen-words slot of the next one is on its way while this one is
        // looked up.
        const auto wordAt = [&](std::size_t begin) {
            const std::size_t space = m_text.find(u' ', begin);
            return m_text.substr(begin, space == m_text.npos ? m_text.npos : space - begin);
        };
        std::u16string_view word = wordAt(0);
        std::uint32_t hash = SeenWords::Hash(word);
        for (std::size_t count = 1;; ++count) {
            const std::size_t begin = static_cast<std::size_t>(word.data() - m_text.data());
            const std::size_t end = begin + word.size();
            const bool last = end == m_text.size();
            std::u16string_view next;
            std::uint32_t nextHash = 0;
            if (!last) {
                next = wordAt(end + 1);
                nextHash = SeenWords::Hash(next);
                seen.Prefetch(nextHash);
            }
            if (wordStringEmpty) {
                m_candidates.Push(WordSpan{begin, word.size(), true});
                if (!word.empty()) {
                    seen.Insert(word, hash);
                    wordStringEmpty = false;
                }
            } else if (!word.empty() && seen.Insert(word, hash)) {
                m_candidates.Push(WordSpan{begin, word.size(), false});
            }
            if (last || (count % 4096 == 0 && m_stop.load(std::memory_order_relaxed))) {
                break;
            }
            word = next;
            hash = nextHash;
        }
    }

    void AdmitCandidates() {
        try {
            SuffixAutomaton automaton;
            WordSpan span;
            while (m_candidates.Pop(span)) {
                const std::u16string_view word = m_text.substr(span.begin(), span.length());
                if (span.unconditional() || !automaton.Contains(word)) {
                    automaton.Append(word);
                    m_admitted.Push(span);
                }
            }
        } catch (...) {
            m_admitted.Close();
            throw;
        }
        m_admitted.Close();
    }

    void CopyAdmitted() {
        std::size_t wordStringLength = 0;
        WordSpan span;
        while (m_admitted.Pop(span)) {
            m_index.words.emplace_back(m_text.substr(span.begin(), span.length()));
            wordStringLength += span.length();
        }
        // Put together once, at its exact size.
        m_index.wordString.reserve(wordStringLength);
        for (const std::u16string& word : m_index.words) {
            m_index.wordString += word;
        }
    }

    // Cutting runs well ahead of admitting, so the admitting thread rarely waits; copying the admitted words is
    // quicker still and would wait for every batch, so it gets large ones.
    static constexpr std::size_t kCandidateBatch = 256;
    static constexpr std::size_t kAdmittedBatch = 4096;

    std::u16string_view m_text;
    HandoffQueue<WordSpan> m_candidates;
    HandoffQueue<WordSpan> m_admitted;
    // Set when the admitting thread failed: the cutting thread may stop early, its work is lost anyway.
    std::atomic<bool> m_stop{false};
    WordIndex m_index;
};

} // namespace

WordIndex BuildWordIndex(std::u16string_view text) {
    if (text.empty()) {
        return {};
    }
    return WordIndexBuilder(text).Build();
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

namespace {

// Upper-cases the disclosure word string between `begin` and `end` piece by piece, into a buffer that stays in the
// processor's cache, and feeds the pieces to the scan.
void ScanUpperCased(std::u16string_view text, std::size_t begin, std::size_t end, MultiWordMatcher::Scan& scan) {
    constexpr std::size_t kPiece = 4096;
    char16_t buffer[kPiece];
    while (begin < end) {
        std::size_t stop = std::min(end, begin + kPiece);
        if (stop < end && SplitsSurrogatePair(text, stop)) {
            --stop; // the pair goes whole into the next piece
        }
        const std::u16string_view piece = text.substr(begin, stop - begin);
        UpperCaseInto(piece, buffer);
        scan.Feed(std::u16string_view(buffer, piece.size()));
        begin = stop;
    }
}

// Which of the matcher's words occur in the upper-cased text. A long text is scanned in two halves at once: the
// second half's scan starts early enough (the longest word's length, less one) to meet every word that ends in
// it, and the first half's meets every word that ends before it.
std::vector<bool> FindUpperCased(MultiWordMatcher& matcher, std::u16string_view text) {
    matcher.Prepare();
    // Unsplit, the first scan takes the whole text and the second none of it.
    std::size_t middle = text.size();
    std::size_t secondBegin = text.size();
    const bool split = WorthASecondThread(text.size()) && text.size() >= 2;
    if (split) {
        middle = text.size() / 2;
        if (SplitsSurrogatePair(text, middle)) {
            ++middle;
        }
        secondBegin = middle - std::min(middle, matcher.LongestWord() - 1);
        if (SplitsSurrogatePair(text, secondBegin)) {
            --secondBegin;
        }
    }
    MultiWordMatcher::Scan first(matcher);
    MultiWordMatcher::Scan second(matcher);
    RunBoth(
        split, [&] { ScanUpperCased(text, 0, middle, first); },
        [&] { ScanUpperCased(text, secondBegin, text.size(), second); });
    std::vector<bool> found(matcher.WordIdLimit(), false);
    first.AddFoundTo(found);
    second.AddFoundTo(found);
    return found;
}

} // namespace

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
    const std::vector<bool> found = FindUpperCased(matcher, disclosureWordString);
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
