#include "analysis/suffix_automaton.h"

#include <algorithm>
#include <stdexcept>

namespace claimcheck {

SuffixAutomaton::SuffixAutomaton() {
    m_states.push_back(State{kNone, kNone, kNone, 0, 0});
}

std::size_t SuffixAutomaton::memoryBytes() const {
    return sizeof(*this) + m_states.capacity() * sizeof(State) + m_edgePool.capacity() * sizeof(char16_t) +
           m_rootEdges.capacity() * sizeof(std::uint32_t);
}

std::size_t SuffixAutomaton::usedBytes() const {
    return sizeof(*this) + m_states.size() * sizeof(State) + m_edgePool.size() * sizeof(char16_t) +
           m_rootEdges.size() * sizeof(std::uint32_t);
}

inline std::uint32_t SuffixAutomaton::newState() {
    if (m_states.size() >= kNone) {
        throw std::length_error("suffix automaton too large");
    }
    m_states.push_back(State{kNone, kNone, kNone, 0, 0});
    return static_cast<std::uint32_t>(m_states.size() - 1);
}

inline std::uint32_t SuffixAutomaton::targetOf(std::uint32_t state, char16_t unit) const {
    if (state == 0) {
        return unit < m_rootEdges.size() ? m_rootEdges[unit] : kNone;
    }
    const State& s = m_states[state];
    if (!isWide(s)) {
        // An absent edge has kNone for its target, whatever its unit says.
        return s.firstUnit == unit ? s.first : s.secondUnit == unit ? s.second : kNone;
    }
    if ((s.first & unitBit(unit)) == 0) {
        return kNone;
    }
    const char16_t* units = m_edgePool.data() + s.second;
    const char16_t* end = units + s.firstUnit + 1;
    const auto found = std::find(units, end, unit);
    return found == end ? kNone : loadTarget(targetAt(s, static_cast<std::size_t>(found - units)));
}

bool SuffixAutomaton::redirect(std::uint32_t state, char16_t unit, std::uint32_t from, std::uint32_t to) {
    if (state == 0) {
        std::uint32_t& target = m_rootEdges[unit];
        if ((target & ~kSolid) != from) {
            return false;
        }
        target = to;
        return true;
    }
    State& s = m_states[state];
    if (!isWide(s)) {
        std::uint32_t& target = s.firstUnit == unit && s.first != kNone ? s.first : s.second;
        if ((target & ~kSolid) != from) {
            return false;
        }
        target = to;
        return true;
    }
    const char16_t* units = m_edgePool.data() + s.second;
    const char16_t* end = units + s.firstUnit + 1;
    const char16_t* found = std::find(units, end, unit);
    if (found == end) {
        return false;
    }
    const std::size_t at = targetAt(s, static_cast<std::size_t>(found - units));
    if ((loadTarget(at) & ~kSolid) != from) {
        return false;
    }
    storeTarget(at, to);
    return true;
}

std::uint32_t SuffixAutomaton::loadTarget(std::size_t at) const {
    return m_edgePool[at] | std::uint32_t{m_edgePool[at + 1]} << 16;
}

void SuffixAutomaton::storeTarget(std::size_t at, std::uint32_t target) {
    m_edgePool[at] = static_cast<char16_t>(target);
    m_edgePool[at + 1] = static_cast<char16_t>(target >> 16);
}

void SuffixAutomaton::addEdge(std::uint32_t from, char16_t unit, std::uint32_t to) {
    ++m_edgeCount;
    if (from == 0) {
        m_rootEdges.resize(std::max<std::size_t>(m_rootEdges.size(), unit + 1u), kNone);
        m_rootEdges[unit] = to;
        return;
    }
    State& s = m_states[from];
    if (!isWide(s)) {
        if (s.first == kNone) {
            s.first = to;
            s.firstUnit = unit;
            return;
        }
        if (s.second == kNone) {
            s.second = to;
            s.secondUnit = unit;
            return;
        }
        s = State{s.link | kWide, unitBit(s.firstUnit) | unitBit(s.secondUnit), newBlock(s, 2), 1, 2};
    } else if (s.firstUnit + 1u == 1u << s.secondUnit) {
        s.second = newBlock(s, s.secondUnit + 1u);
        ++s.secondUnit;
    }
    ++s.firstUnit;
    s.first |= unitBit(unit);
    m_edgePool[s.second + s.firstUnit] = unit;
    storeTarget(targetAt(s, s.firstUnit), to);
}

std::uint32_t SuffixAutomaton::newBlock(const State& s, unsigned sizeLog2) {
    const std::size_t block = m_edgePool.size();
    const std::size_t size = std::size_t{3} << sizeLog2;
    if (block + size >= UINT32_MAX) {
        throw std::length_error("suffix automaton too large");
    }
    m_edgePool.resize(block + size);
    const State moved{s.link, s.first, static_cast<std::uint32_t>(block), s.firstUnit, static_cast<char16_t>(sizeLog2)};
    if (!isWide(s)) {
        m_edgePool[block] = s.firstUnit;
        m_edgePool[block + 1] = s.secondUnit;
        storeTarget(targetAt(moved, 0), s.first);
        storeTarget(targetAt(moved, 1), s.second);
    } else {
        for (std::size_t i = 0; i <= s.firstUnit; ++i) {
            m_edgePool[block + i] = m_edgePool[s.second + i];
            storeTarget(targetAt(moved, i), loadTarget(targetAt(s, i)));
        }
    }
    return static_cast<std::uint32_t>(block);
}

void SuffixAutomaton::copyEdges(std::uint32_t from, std::uint32_t to) {
    const auto unsolid = [](std::uint32_t target) { return target & ~kSolid; };
    const State source = m_states[from];
    if (!isWide(source)) {
        m_edgeCount += (source.first != kNone ? 1 : 0) + (source.second != kNone ? 1 : 0);
        State& clone = m_states[to];
        clone = State{clone.link, unsolid(source.first), unsolid(source.second), source.firstUnit, source.secondUnit};
        return;
    }
    const State copy{m_states[to].link | kWide, source.first, newBlock(source, source.secondUnit), source.firstUnit,
                     source.secondUnit};
    for (std::size_t i = 0; i <= copy.firstUnit; ++i) {
        storeTarget(targetAt(copy, i), unsolid(loadTarget(targetAt(copy, i))));
    }
    m_edgeCount += copy.firstUnit + 1u;
    m_states[to] = copy;
}

void SuffixAutomaton::append(std::u16string_view units) {
    for (const char16_t unit : units) {
        extend(unit);
    }
}

void SuffixAutomaton::extend(char16_t unit) {
    const std::uint32_t current = newState();
    std::uint32_t p = m_last;
    m_last = current;
    std::uint32_t solid = kSolid;
    if (p != 0) {
        // The last state never has edges (nothing follows the whole string), so its new edge needs no search.
        State& last = m_states[p];
        last.first = current | kSolid;
        last.firstUnit = unit;
        ++m_edgeCount;
        p = linkOf(last);
        prefetch(p);
        solid = 0;
    }
    // Walk the suffix links, giving each state without an edge on `unit` one to the new state. Only the edge from
    // the old last state, whose longest string is the whole string so far, is solid.
    std::uint32_t target = kNone;
    for (; p != kNone; solid = 0) {
        // The walk is a chain of cache misses: asking for the next state while this one's edges are searched lets
        // two of them overlap.
        const std::uint32_t next = linkOf(m_states[p]);
        prefetch(next);
        target = targetOf(p, unit);
        if (target != kNone) {
            break;
        }
        addEdge(p, unit, current | solid);
        p = next;
    }
    if (p == kNone) {
        m_states[current].link = 0;
        return;
    }
    const std::uint32_t q = target & ~kSolid;
    if ((target & kSolid) != 0) {
        m_states[current].link = q;
        return;
    }
    // q also stands for longer strings that do not end here: split off the shorter ones into a clone. The edge
    // from p becomes solid; those from p's shorter suffixes do not. q is read once the edges are redirected, so
    // that it is on its way meanwhile.
    prefetch(q);
    const std::uint32_t clone = newState();
    for (solid = kSolid; p != kNone && redirect(p, unit, q, clone | solid); solid = 0) {
        p = linkOf(m_states[p]);
    }
    m_states[clone].link = linkOf(m_states[q]);
    copyEdges(q, clone);
    m_states[q].link = (m_states[q].link & kWide) | clone;
    m_states[current].link = clone;
}

bool SuffixAutomaton::contains(std::u16string_view units) const {
    std::uint32_t state = 0;
    for (const char16_t unit : units) {
        const std::uint32_t target = targetOf(state, unit);
        if (target == kNone) {
            return false;
        }
        state = target & ~kSolid;
    }
    return true;
}

} // namespace claimcheck
