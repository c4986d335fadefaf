#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace claimcheck {

// Tells which of many words occur in a text, in one pass over the text (an Aho-Corasick automaton over the
// words). The support test of a whole claims index costs one scan of the disclosure word string this way,
// whatever the number of claim words.
class MultiWordMatcher {
public:
    using WordId = std::uint32_t;

    MultiWordMatcher();

    // Adds a non-empty word; adding the same word again gives the same id. Ids are below WordIdLimit().
    WordId Add(std::u16string_view word);
    WordId WordIdLimit() const { return static_cast<WordId>(m_nodes.size()); }

    // The length of the longest word added.
    std::size_t LongestWord() const { return m_longestWord; }

    // For each id, whether its word occurs in the text as a contiguous run of code units.
    std::vector<bool> FindIn(std::u16string_view text);

    // Makes the matcher ready for scans; words added later make it unready again.
    void Prepare();

    // A pass over a text that comes in pieces, fed in order: the words found are those that occur in the pieces
    // joined. Several scans may run at once on different threads over a prepared matcher that nobody changes.
    class Scan {
    public:
        explicit Scan(const MultiWordMatcher& matcher);
        void Feed(std::u16string_view piece);
        // For each id, whether the scan has met its word; or-ed into `found`, which has WordIdLimit() entries.
        void AddFoundTo(std::vector<bool>& found) const;

    private:
        const MultiWordMatcher& m_matcher;
        std::vector<bool> m_seen;
        std::uint32_t m_node = 0;
    };

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    // A trie node; the id of a word is the node at which its path ends.
    struct Node {
        std::uint32_t firstChild = kNone;
        std::uint32_t nextSibling = kNone;
        std::uint32_t fallback = 0; // node of the longest proper suffix of this node's string that is in the trie
    };

    // Child lookup: for the root, where the scan spends most of its steps, a dense table in pages of 256 units
    // made on first use; for other nodes an open-addressing table keyed by parent and unit.
    struct Slot {
        std::uint64_t key; // parent << 16 | unit, or kFreeKey
        std::uint32_t child;
    };
    static constexpr std::uint64_t kFreeKey = UINT64_MAX;

    std::uint32_t Child(std::uint32_t node, char16_t unit) const;
    void InsertChild(std::uint32_t node, char16_t unit, std::uint32_t child);
    std::size_t SlotOf(std::uint64_t key) const;
    void ComputeFallbacks();

    static constexpr unsigned kRootPageBits = 8;
    static constexpr std::size_t kRootPageSize = std::size_t{1} << kRootPageBits;

    std::array<std::unique_ptr<std::uint32_t[]>, (std::size_t{1} << 16) / kRootPageSize> m_rootPages;
    std::vector<Node> m_nodes;
    std::vector<char16_t> m_units; // the unit on the edge into each node
    std::vector<Slot> m_slots;
    unsigned m_slotBits = 0;
    bool m_fallbacksValid = false;
    std::size_t m_longestWord = 0;
};

} // namespace claimcheck
