#pragma once

#include <cstddef>
#include <cstdint>
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

    // Adds a non-empty word; adding the same word again gives the same id. Ids are below wordIdLimit(). Words
    // added in sorted order take time in proportion to their length; in any other order a word may take as long
    // as the units that follow its prefixes among the words added before.
    WordId add(std::u16string_view word);
    WordId wordIdLimit() const { return static_cast<WordId>(m_nodes.size()); }

    // For each id, whether its word occurs in the text as a contiguous run of code units.
    std::vector<bool> findIn(std::u16string_view text);

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    // A trie node; the id of a word is the node at which its path ends. A node's children are a list through
    // `firstChild` and `nextSibling`; for a scan they are laid out side by side, in order of their units, at
    // [childBegin, childEnd) of m_childUnits and m_childNodes.
    struct Node {
        std::uint32_t firstChild = kNone;
        std::uint32_t nextSibling = kNone;
        std::uint32_t fallback = 0; // node of the longest proper suffix of this node's string that is in the trie
        std::uint32_t childBegin = 0;
        std::uint32_t childEnd = 0;
    };

    // The child on `unit`, or kNone: while words are added, and in a scan, once prepare() has laid out the children.
    std::uint32_t childWhileAdding(std::uint32_t node, char16_t unit) const;
    std::uint32_t childOf(std::uint32_t node, char16_t unit) const;
    void prepare();

    // The children of the root, where a scan spends most of its steps, in a table indexed by unit (as long as the
    // highest unit added, kNone where there is no child).
    std::vector<std::uint32_t> m_rootChildren;
    std::vector<Node> m_nodes;
    std::vector<char16_t> m_units; // the unit on the edge into each node
    std::vector<char16_t> m_childUnits;
    std::vector<std::uint32_t> m_childNodes;
    bool m_prepared = false;
};

} // namespace claimcheck
