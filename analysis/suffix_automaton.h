#pragma once

#include "analysis/flat_array.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace claimcheck {

// The suffix automaton of a growing string of UTF-16 code units: Append extends the string, Contains tells
// whether a string occurs in it as a contiguous run. Both cost time in proportion to their argument's length
// (amortised over all appends, and times the number of distinct units that can follow a state, which is small in
// any text), so testing and extending a word string word by word stays linear overall.
//
// Storage is laid out for few cache misses per step:
// - the root, which sees every code unit as a first character, has a dense table, in pages of 256 units made
//   on first use so that a short text pays only for the pages its units fall in;
// - a state with one or two outgoing edges, by far the most common kinds, holds them in its own record;
// - a state with a few more edges keeps them in a block of the edge pool: first the units side by side, so that a
//   search reads few cache lines, then the targets. A block that fills up moves to one twice its size, and the
//   old one is reused for a later block of its size;
// - a state with many edges (the states of short strings, which nearly every walk passes) has a dense table of
//   targets in the edge pool instead, indexed by the unit's number in order of first sight: one read, where a
//   block would mean a scan over several cache lines. Texts use a few hundred distinct units at most, so these
//   tables stay small.
// States and edges live in flat arrays (see there), so that following an index costs one addition.
class SuffixAutomaton {
public:
    SuffixAutomaton();

    void Append(std::u16string_view units);
    bool Contains(std::u16string_view units) const;

    std::size_t StateCount() const { return m_states.size(); }
    std::size_t EdgeCount() const { return m_edgeCount; }
    // Bytes held by the automaton, the arrays' spare capacity included, and bytes of it in use.
    std::size_t MemoryBytes() const;
    std::size_t UsedBytes() const;

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;
    // Set in an edge's target when the edge is solid: its target's longest string is its source's plus one unit.
    // The textbook automaton keeps that length in every state and compares lengths at each step; the flag tells
    // the same without a look at the target state (a cache miss per appended unit) and without storing lengths at
    // all.
    static constexpr std::uint32_t kSolid = 0x80000000u;
    // Indices stay below this, so that no flagged index equals kNone.
    static constexpr std::size_t kIndexLimit = kSolid - 1;
    static constexpr unsigned kRootPageBits = 8;
    static constexpr std::size_t kRootPageSize = std::size_t{1} << kRootPageBits;

    // Where a state's edges are kept, once it has more than two: kBlock + k, a block for 2^k edges in the pool, the
    // state's edges first (a block for n edges is 3n pool units long: n units, then n 32-bit targets); or
    // kDense + k, a dense table of 2^k targets (2^(k+1) pool units), indexed by unit number - 1, kNone where there
    // is no edge. Every block and table starts at an even index, so that its targets are aligned.
    enum : std::uint16_t { kBlock = 2, kDense = 32 };
    // A full block of at least 2^kDenseFromLog2 edges turns into a dense table when it would grow, as long as the
    // table would have an edge for at least one in kMaxSparseness of its entries. A table that would grow sparser
    // than that for a new unit turns back into a block: a text of thousands of distinct units stays at a few bytes
    // per edge.
    static constexpr unsigned kDenseFromLog2 = 2;
    static constexpr std::size_t kMaxSparseness = 32;
    // In a state's `first`: its edges are in the pool. No target is ever this value, flagged or not.
    static constexpr std::uint32_t kExternal = kSolid - 1;

    // A state's record: 16 bytes, so that no record straddles two cache lines. Most states have one or two edges
    // (nearly all have one) and keep them here, where a walk finds them without a second read: `first` and `second`
    // are their targets, kNone where there is none (`first` fills first), and `firstUnit` and `secondUnit` their
    // units. A state with more edges has kExternal in `first`, the pool index of its edges in `second`, their
    // number less one in `firstUnit`, and their shape in `secondUnit`.
    struct State {
        std::uint32_t link; // suffix link
        std::uint32_t first;
        std::uint32_t second;
        char16_t firstUnit;
        char16_t secondUnit;
    };
    static_assert(sizeof(State) == 16);

    void Extend(char16_t unit);
    std::uint32_t NewState(std::uint32_t link);
    void PrefetchState(std::uint32_t state) const;
    // The target of the state's edge on `unit`, with its kSolid flag, or kNone.
    std::uint32_t Target(std::uint32_t state, char16_t unit) const;
    // Where the target of the state's edge on `unit` is kept; the edge must exist.
    struct TargetSlot {
        std::uint32_t* inlineTarget; // in the state itself, or null
        char16_t* blockTarget;       // in the pool otherwise (possibly unaligned for a 32-bit read)
    };
    TargetSlot FindTargetSlot(std::uint32_t state, char16_t unit);
    static std::uint32_t Get(const TargetSlot& slot);
    static void Set(const TargetSlot& slot, std::uint32_t target);
    static std::uint32_t LoadTarget(const char16_t* at);
    static void StoreTarget(char16_t* at, std::uint32_t target);
    void AddEdge(std::uint32_t from, char16_t unit, std::uint32_t to);
    void CopyEdges(std::uint32_t from, std::uint32_t to);
    std::uint32_t AllocateBlock(unsigned sizeLog2);
    void FreeBlock(std::uint32_t block, unsigned sizeLog2);
    // A dense table of 2^sizeLog2 targets, all kNone.
    std::uint32_t AllocateTable(unsigned sizeLog2);
    void FreeTable(std::uint32_t table, unsigned sizeLog2);
    std::uint32_t AllocateFrom(std::uint32_t& freeList, std::size_t units);
    // The number of the unit (1 for the first unit seen, and so on), 0 for a unit not seen yet.
    std::uint32_t UnitNumber(char16_t unit) const { return m_unitNumbers[unit]; }

    std::array<std::unique_ptr<std::uint32_t[]>, (std::size_t{1} << 16) / kRootPageSize> m_rootPages;
    FlatArray<State> m_states;
    FlatArray<char16_t> m_edgePool;
    std::array<std::uint32_t, 17> m_freeBlocks; // per block size 2^k, a list linked through the first target
    std::array<std::uint32_t, 17> m_freeTables; // the same for dense tables
    struct FreeDeleter {
        void operator()(std::uint32_t* p) const;
    };
    // Zeroed memory of the system's: only the pages of the units the text uses are ever touched.
    std::unique_ptr<std::uint32_t[], FreeDeleter> m_unitNumbers;
    std::uint32_t m_unitsSeen = 0;
    std::vector<char16_t> m_unitOfNumber; // the unit of number n at n - 1
    std::size_t m_edgeCount = 0;
    std::uint32_t m_last = 0;
};

} // namespace claimcheck
