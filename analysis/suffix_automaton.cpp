#include "analysis/suffix_automaton.h"

#include <algorithm>
#include <stdexcept>

namespace claimcheck {

SuffixAutomaton::SuffixAutomaton() {
    m_states.push_back(State{kNone, kNone, kNone, 0, 0});
}

std::size_t SuffixAutomaton::MemoryBytes() const {
    std::size_t bytes = sizeof(*this) + m_states.capacity() * sizeof(State) +
                        m_wideEdges.capacity() * sizeof(std::vector<Edge>) +
                        m_rootEdges.capacity() * sizeof(std::uint32_t);
    for (const std::vector<Edge>& edges : m_wideEdges) {
        bytes += edges.capacity() * sizeof(Edge);
    }
    return bytes;
}

std::size_t SuffixAutomaton::UsedBytes() const {
    std::size_t bytes = sizeof(*this) + m_states.size() * sizeof(State) +
                        m_wideEdges.size() * sizeof(std::vector<Edge>) + m_rootEdges.size() * sizeof(std::uint32_t);
    for (const std::vector<Edge>& edges : m_wideEdges) {
        bytes += edges.size() * sizeof(Edge);
    }
    return bytes;
}

std::uint32_t SuffixAutomaton::NewState() {
    if (m_states.size() >= kWide) {
        throw std::length_error("suffix automaton too large");
    }
    m_states.push_back(State{kNone, kNone, kNone, 0, 0});
    return static_cast<std::uint32_t>(m_states.size() - 1);
}

std::uint32_t SuffixAutomaton::Target(std::uint32_t state, char16_t unit) const {
    if (state == 0) {
        return unit < m_rootEdges.size() ? m_rootEdges[unit] : kNone;
    }
    const State& s = m_states[state];
    if (s.first != kWide) {
        // An absent edge has kNone for its target, whatever its unit says.
        return s.firstUnit == unit ? s.first : s.secondUnit == unit ? s.second : kNone;
    }
    for (const Edge& edge : m_wideEdges[s.second]) {
        if (edge.unit == unit) {
            return edge.target;
        }
    }
    return kNone;
}

std::uint32_t& SuffixAutomaton::TargetOf(std::uint32_t state, char16_t unit) {
    if (state == 0) {
        return m_rootEdges[unit];
    }
    State& s = m_states[state];
    if (s.first != kWide) {
        return s.firstUnit == unit && s.first != kNone ? s.first : s.second;
    }
    std::vector<Edge>& edges = m_wideEdges[s.second];
    return std::find_if(edges.begin(), edges.end(), [unit](const Edge& e) { return e.unit == unit; })->target;
}

void SuffixAutomaton::AddEdge(std::uint32_t from, char16_t unit, std::uint32_t to) {
    ++m_edgeCount;
    if (from == 0) {
        if (unit >= m_rootEdges.size()) {
            m_rootEdges.resize(std::size_t{unit} + 1, kNone);
        }
        m_rootEdges[unit] = to;
        return;
    }
    State& s = m_states[from];
    if (s.first == kNone) {
        s.first = to;
        s.firstUnit = unit;
    } else if (s.first == kWide) {
        m_wideEdges[s.second].push_back(Edge{unit, to});
    } else if (s.second == kNone) {
        s.second = to;
        s.secondUnit = unit;
    } else {
        m_wideEdges.push_back({Edge{s.firstUnit, s.first}, Edge{s.secondUnit, s.second}, Edge{unit, to}});
        s.first = kWide;
        s.second = static_cast<std::uint32_t>(m_wideEdges.size() - 1);
    }
}

void SuffixAutomaton::CopyEdges(std::uint32_t from, std::uint32_t to) {
    const auto unsolid = [](std::uint32_t target) { return target == kNone ? kNone : target & ~kSolid; };
    const State source = m_states[from];
    State& clone = m_states[to];
    if (source.first != kWide) {
        m_edgeCount += (source.first != kNone ? 1 : 0) + (source.second != kNone ? 1 : 0);
        clone = State{clone.link, unsolid(source.first), unsolid(source.second), source.firstUnit, source.secondUnit};
        return;
    }
    std::vector<Edge> edges = m_wideEdges[source.second];
    for (Edge& edge : edges) {
        edge.target = unsolid(edge.target);
    }
    m_edgeCount += edges.size();
    m_wideEdges.push_back(std::move(edges));
    clone = State{clone.link, kWide, static_cast<std::uint32_t>(m_wideEdges.size() - 1), 0, 0};
}

void SuffixAutomaton::Append(std::u16string_view units) {
    for (const char16_t unit : units) {
        Extend(unit);
    }
}

void SuffixAutomaton::Extend(char16_t unit) {
    const std::uint32_t current = NewState();
    std::uint32_t p = m_last;
    m_last = current;
    // Walk the suffix links from the old last state, giving each state without an edge on `unit` one to the new
    // state. Only the edge from the old last state, whose longest string is the whole string so far, is solid.
    std::uint32_t target = kNone;
    for (std::uint32_t solid = kSolid; p != kNone; solid = 0) {
        target = Target(p, unit);
        if (target != kNone) {
            break;
        }
        AddEdge(p, unit, current | solid);
        p = m_states[p].link;
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
    // from p becomes solid; those from p's shorter suffixes do not.
    const std::uint32_t clone = NewState();
    for (std::uint32_t solid = kSolid; p != kNone; solid = 0) {
        std::uint32_t& edge = TargetOf(p, unit);
        if ((edge & ~kSolid) != q) {
            break;
        }
        edge = clone | solid;
        p = m_states[p].link;
    }
    m_states[clone].link = m_states[q].link;
    CopyEdges(q, clone);
    m_states[q].link = clone;
    m_states[current].link = clone;
}

bool SuffixAutomaton::Contains(std::u16string_view units) const {
    std::uint32_t state = 0;
    for (const char16_t unit : units) {
        const std::uint32_t target = Target(state, unit);
        if (target == kNone) {
            return false;
        }
        state = target & ~kSolid;
    }
    return true;
}

} // namespace claimcheck
