#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace claimcheck {

// The suffix automaton of a growing string of UTF-16 code units: append() extends the string, contains() tells
// whether a string occurs in it as a contiguous run. Both cost time in proportion to their argument's length
// (amortised over all appends), so testing and extending a word string word by word stays linear overall.
//
// Layout: every state is a 16-byte record that holds its suffix link and up to two outgoing edges, which is all
// that nearly every state of a text ever has, so a step of a walk reads one record. A state with more edges keeps
// all of them side by side in a block of the edge pool, so that a search reads few cache lines, and marks their
// units in its record, so that looking for an edge it lacks seldom reads the block at all (in a long text, most
// states on the suffix-link walk of an append lack the edge). A full block is copied to the pool's end at twice
// its size, and its old place stays unused. The root, which has an edge for nearly every unit of the text and
// starts every walk of contains(), has a table indexed by unit instead (as long as the highest unit seen).
class SuffixAutomaton {
public:
    SuffixAutomaton();

    // Makes room for a string of this many units, so that the automaton's vectors rarely have to grow (and hold
    // two copies of themselves meanwhile): three states per two units, eight edge pool places per unit. The texts
    // of the benchmarks need 1.3 to 1.45 states and 4 to 6 places per unit; a suffix automaton may have up to two
    // states per unit, and beyond the room made the vectors grow as usual.
    void reserve(std::size_t units) {
        m_states.reserve(units + units / 2 + 1);
        m_edgePool.reserve(8 * units);
    }
    void append(std::u16string_view units);
    bool contains(std::u16string_view units) const;

    std::size_t stateCount() const { return m_states.size(); }
    std::size_t edgeCount() const { return m_edgeCount; }
    // Bytes held by the automaton, the states' spare capacity included, and bytes of it in use.
    std::size_t memoryBytes() const;
    std::size_t usedBytes() const;

private:
    // No state, or no edge. State indices stay below it.
    static constexpr std::uint32_t kNone = 0x7FFFFFFF;
    // Set in an edge's target when the edge is solid: its target's longest string is its source's plus one unit.
    // The textbook automaton keeps that length in every state and compares lengths; the flag tells the same
    // without a look at the target state and without storing lengths at all.
    static constexpr std::uint32_t kSolid = 0x80000000u;
    // Set in a state's `link` when its edges are in a block of the edge pool.
    static constexpr std::uint32_t kWide = 0x80000000u;

    // `first` and `second` are the targets of the state's edges on `firstUnit` and `secondUnit`, kNone where there
    // is none (`first` fills first). Or, in a wide state, `second` is the pool index of its block of edges,
    // `firstUnit` their number less one and `secondUnit` the block's size as a power of two: a block for n edges
    // is 3n pool units long, their n units first, then their 32-bit targets. A wide state's `first` has bit u % 32
    // set for each unit u of its edges, so that most searches for an edge it lacks need not read the block.
    struct State {
        std::uint32_t link; // suffix link, kNone for the root; and kWide
        std::uint32_t first;
        std::uint32_t second;
        char16_t firstUnit;
        char16_t secondUnit;
    };
    static_assert(sizeof(State) == 16);
    static bool isWide(const State& s) { return (s.link & kWide) != 0; }
    static std::uint32_t linkOf(const State& s) { return s.link & ~kWide; }
    static std::uint32_t unitBit(char16_t unit) { return std::uint32_t{1} << (unit & 31u); }

    void extend(char16_t unit);
    // Asks for a state's record ahead of its use; a hint only.
    void prefetch(std::uint32_t state) const {
#if defined(__GNUC__)
        if (state != kNone) {
            __builtin_prefetch(&m_states[state]);
        }
#endif
    }
    std::uint32_t newState();
    // The target of the state's edge on `unit`, with its kSolid flag, or kNone.
    std::uint32_t targetOf(std::uint32_t state, char16_t unit) const;
    // Points the state's edge on `unit` at `to` if it points at `from` (solid or not), and tells whether it did. The
    // edge must exist, as it does on the suffix-link path from a state that has one: the path's strings are
    // suffixes of that state's strings.
    bool redirect(std::uint32_t state, char16_t unit, std::uint32_t from, std::uint32_t to);
    // The pool index of the target of a wide state's i-th edge, and that target read and written.
    static std::size_t targetAt(const State& s, std::size_t i) {
        return s.second + (std::size_t{1} << s.secondUnit) + 2 * i;
    }
    std::uint32_t loadTarget(std::size_t at) const;
    void storeTarget(std::size_t at, std::uint32_t target);
    void addEdge(std::uint32_t from, char16_t unit, std::uint32_t to);
    // Gives the clone `to` the edges of `from`, none of them solid.
    void copyEdges(std::uint32_t from, std::uint32_t to);

    // Copies the state's edges to a new block of 2^sizeLog2 edges at the pool's end and returns its index.
    std::uint32_t newBlock(const State& s, unsigned sizeLog2);

    std::vector<State> m_states;
    std::vector<char16_t> m_edgePool;
    std::vector<std::uint32_t> m_rootEdges; // the root's target on unit u at u, kNone where it has none
    std::size_t m_edgeCount = 0;
    std::uint32_t m_last = 0;
};

} // namespace claimcheck
