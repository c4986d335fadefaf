#include "analysis/multi_word_matcher.h"

#include <algorithm>

namespace claimcheck {

MultiWordMatcher::MultiWordMatcher() : m_nodes(1), m_units(1, u'\0') {}

std::uint32_t MultiWordMatcher::childWhileAdding(std::uint32_t node, char16_t unit) const {
    if (node == 0) {
        return unit < m_rootChildren.size() ? m_rootChildren[unit] : kNone;
    }
    // A node's latest child comes first: with the words added in order, the child sought is the first or none.
    std::uint32_t child = m_nodes[node].firstChild;
    while (child != kNone && m_units[child] != unit) {
        child = m_nodes[child].nextSibling;
    }
    return child;
}

inline std::uint32_t MultiWordMatcher::childOf(std::uint32_t node, char16_t unit) const {
    if (node == 0) {
        return unit < m_rootChildren.size() ? m_rootChildren[unit] : kNone;
    }
    // A scan of a few dozen children beats a binary search, whose every step is a guess the processor gets wrong
    // half the time; a node of a text with many distinct units may have thousands, though.
    const char16_t* begin = m_childUnits.data() + m_nodes[node].childBegin;
    const char16_t* end = m_childUnits.data() + m_nodes[node].childEnd;
    const char16_t* found = end - begin <= 64 ? std::find(begin, end, unit) : std::lower_bound(begin, end, unit);
    return found == end || *found != unit ? kNone : m_childNodes[static_cast<std::size_t>(found - m_childUnits.data())];
}

MultiWordMatcher::WordId MultiWordMatcher::add(std::u16string_view word) {
    std::uint32_t node = 0;
    for (const char16_t unit : word) {
        std::uint32_t child = childWhileAdding(node, unit);
        if (child == kNone) {
            child = static_cast<std::uint32_t>(m_nodes.size());
            m_nodes.push_back(Node{kNone, m_nodes[node].firstChild});
            m_nodes[node].firstChild = child;
            m_units.push_back(unit);
            if (node == 0) {
                m_rootChildren.resize(std::max<std::size_t>(m_rootChildren.size(), unit + 1u), kNone);
                m_rootChildren[unit] = child;
            }
            m_prepared = false;
        }
        node = child;
    }
    return node;
}

// Lays out each node's children side by side and computes the fallbacks, breadth first: a node's fallback chain is
// shallower than the node, so its nodes are laid out and their fallbacks known before the node's children need
// them.
void MultiWordMatcher::prepare() {
    m_childUnits.clear();
    m_childNodes.clear();
    std::vector<std::uint32_t> queue{0};
    queue.reserve(m_nodes.size());
    for (std::size_t next = 0; next < queue.size(); ++next) {
        const std::uint32_t node = queue[next];
        Node& n = m_nodes[node];
        n.childBegin = static_cast<std::uint32_t>(m_childNodes.size());
        for (std::uint32_t child = n.firstChild; child != kNone; child = m_nodes[child].nextSibling) {
            m_childNodes.push_back(child);
            queue.push_back(child);
        }
        n.childEnd = static_cast<std::uint32_t>(m_childNodes.size());
        const auto begin = m_childNodes.begin() + n.childBegin;
        std::sort(begin, m_childNodes.end(),
                  [this](std::uint32_t a, std::uint32_t b) { return m_units[a] < m_units[b]; });
        for (auto child = begin; child != m_childNodes.end(); ++child) {
            m_childUnits.push_back(m_units[*child]);
        }
        if (node == 0) {
            continue;
        }
        for (std::uint32_t i = n.childBegin; i < n.childEnd; ++i) {
            std::uint32_t fallback = n.fallback;
            std::uint32_t target = childOf(fallback, m_childUnits[i]);
            while (target == kNone && fallback != 0) {
                fallback = m_nodes[fallback].fallback;
                target = childOf(fallback, m_childUnits[i]);
            }
            m_nodes[m_childNodes[i]].fallback = target == kNone ? 0 : target;
        }
    }
    m_prepared = true;
}

std::vector<bool> MultiWordMatcher::findIn(std::u16string_view text) {
    if (!m_prepared) {
        prepare();
    }
    // A node is marked once the text has shown its string; marking a node marks its whole fallback chain, so a
    // walk up that chain can stop at the first node already marked, and each node is marked only once.
    std::vector<bool> found(m_nodes.size(), false);
    std::uint32_t node = 0;
    for (const char16_t unit : text) {
        std::uint32_t target = childOf(node, unit);
        while (target == kNone && node != 0) {
            node = m_nodes[node].fallback;
            target = childOf(node, unit);
        }
        node = target == kNone ? 0 : target;
        for (std::uint32_t marked = node; marked != 0 && !found[marked]; marked = m_nodes[marked].fallback) {
            found[marked] = true;
        }
    }
    return found;
}

} // namespace claimcheck
