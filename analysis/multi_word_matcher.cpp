#include "analysis/multi_word_matcher.h"

#include <algorithm>

namespace claimcheck {

MultiWordMatcher::MultiWordMatcher() : m_nodes(1), m_units(1, u'\0') {}

std::uint32_t MultiWordMatcher::childOf(std::uint32_t node, char16_t unit) const {
    if (node == 0) {
        return unit < m_rootChildren.size() ? m_rootChildren[unit] : kNone;
    }
    const auto found = m_children.find(std::uint64_t{node} << 16 | unit);
    return found == m_children.end() ? kNone : found->second;
}

MultiWordMatcher::WordId MultiWordMatcher::add(std::u16string_view word) {
    std::uint32_t node = 0;
    for (const char16_t unit : word) {
        std::uint32_t child = childOf(node, unit);
        if (child == kNone) {
            child = static_cast<std::uint32_t>(m_nodes.size());
            m_nodes.push_back(Node{kNone, m_nodes[node].firstChild, 0});
            m_nodes[node].firstChild = child;
            m_units.push_back(unit);
            if (node == 0) {
                m_rootChildren.resize(std::max<std::size_t>(m_rootChildren.size(), unit + 1u), kNone);
                m_rootChildren[unit] = child;
            } else {
                m_children.emplace(std::uint64_t{node} << 16 | unit, child);
            }
            m_fallbacksValid = false;
        }
        node = child;
    }
    return node;
}

// Breadth first, so that a node's fallback, which is shallower, is always known before the node's own children.
void MultiWordMatcher::computeFallbacks() {
    std::vector<std::uint32_t> queue;
    queue.reserve(m_nodes.size());
    for (std::uint32_t child = m_nodes[0].firstChild; child != kNone; child = m_nodes[child].nextSibling) {
        m_nodes[child].fallback = 0;
        queue.push_back(child);
    }
    for (std::size_t next = 0; next < queue.size(); ++next) {
        const std::uint32_t node = queue[next];
        for (std::uint32_t child = m_nodes[node].firstChild; child != kNone; child = m_nodes[child].nextSibling) {
            const char16_t unit = m_units[child];
            std::uint32_t fallback = m_nodes[node].fallback;
            std::uint32_t target = childOf(fallback, unit);
            while (target == kNone && fallback != 0) {
                fallback = m_nodes[fallback].fallback;
                target = childOf(fallback, unit);
            }
            m_nodes[child].fallback = target == kNone ? 0 : target;
            queue.push_back(child);
        }
    }
    m_fallbacksValid = true;
}

std::vector<bool> MultiWordMatcher::findIn(std::u16string_view text) {
    if (!m_fallbacksValid) {
        computeFallbacks();
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
