#include "analysis/suffix_automaton.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__GNUC__)
#define CLAIMCHECK_HOT_PATH inline __attribute__((always_inline))
#else
#define CLAIMCHECK_HOT_PATH inline
#endif

namespace claimcheck {

void SuffixAutomaton::FreeDeleter::operator()(std::uint32_t* p) const {
    std::free(p);
}

SuffixAutomaton::SuffixAutomaton() {
    m_freeBlocks.fill(kNone);
    m_freeTables.fill(kNone);
    m_unitNumbers.reset(static_cast<std::uint32_t*>(std::calloc(std::size_t{1} << 16, sizeof(std::uint32_t))));
    if (!m_unitNumbers) {
        throw std::bad_alloc();
    }
    NewState(kNone);
}

std::size_t SuffixAutomaton::MemoryBytes() const {
    std::size_t bytes = sizeof(*this) + m_states.capacityBytes() + m_edgePool.capacityBytes();
    for (const auto& page : m_rootPages) {
        bytes += page ? kRootPageSize * sizeof(std::uint32_t) : 0;
    }
    return bytes;
}

std::size_t SuffixAutomaton::UsedBytes() const {
    std::size_t bytes = sizeof(*this) + m_states.size() * sizeof(State) + m_edgePool.size() * sizeof(char16_t);
    for (const auto& page : m_rootPages) {
        bytes += page ? kRootPageSize * sizeof(std::uint32_t) : 0;
    }
    return bytes;
}

std::uint32_t SuffixAutomaton::LoadTarget(const char16_t* at) {
    std::uint32_t target;
    std::memcpy(&target, at, sizeof target);
    return target;
}

void SuffixAutomaton::StoreTarget(char16_t* at, std::uint32_t target) {
    std::memcpy(at, &target, sizeof target);
}

std::uint32_t SuffixAutomaton::Get(const TargetSlot& slot) {
    return slot.inlineTarget != nullptr ? *slot.inlineTarget : LoadTarget(slot.blockTarget);
}

void SuffixAutomaton::Set(const TargetSlot& slot, std::uint32_t target) {
    if (slot.inlineTarget != nullptr) {
        *slot.inlineTarget = target;
    } else {
        StoreTarget(slot.blockTarget, target);
    }
}

void SuffixAutomaton::PrefetchState(std::uint32_t state) const {
#if defined(__GNUC__)
    if (state != kNone) {
        __builtin_prefetch(&m_states[state]);
    }
#endif
}

CLAIMCHECK_HOT_PATH std::uint32_t SuffixAutomaton::NewState(std::uint32_t link) {
    const std::uint32_t state = m_states.grow(1, kIndexLimit);
    m_states[state] = State{link, kNone, kNone, 0, 0};
    return state;
}

CLAIMCHECK_HOT_PATH std::uint32_t SuffixAutomaton::Target(std::uint32_t state, char16_t unit) const {
    if (state == 0) {
        const auto& page = m_rootPages[unit >> kRootPageBits];
        return page ? page[unit & (kRootPageSize - 1)] : kNone;
    }
    const State& s = m_states[state];
    if (s.first != kExternal) {
        // An absent edge has kNone for its target, whatever its unit says.
        return s.firstUnit == unit ? s.first : s.secondUnit == unit ? s.second : kNone;
    }
    const unsigned shape = s.secondUnit;
    if (shape >= kDense) {
        const std::uint32_t number = UnitNumber(unit);
        return number - 1 < (std::uint32_t{1} << (shape - kDense))
                   ? LoadTarget(&m_edgePool[s.second] + 2 * (number - 1))
                   : kNone;
    }
    const char16_t* units = &m_edgePool[s.second];
    const std::size_t size = std::size_t{1} << (shape - kBlock);
    const char16_t* end = units + s.firstUnit + 1;
    const char16_t* found = std::find(units, end, unit);
    return found == end ? kNone : LoadTarget(units + size + 2 * (found - units));
}

CLAIMCHECK_HOT_PATH SuffixAutomaton::TargetSlot SuffixAutomaton::FindTargetSlot(std::uint32_t state, char16_t unit) {
    if (state == 0) {
        return {&m_rootPages[unit >> kRootPageBits][unit & (kRootPageSize - 1)], nullptr};
    }
    State& s = m_states[state];
    if (s.first != kExternal) {
        return {s.firstUnit == unit && s.first != kNone ? &s.first : &s.second, nullptr};
    }
    const unsigned shape = s.secondUnit;
    if (shape >= kDense) {
        return {nullptr, &m_edgePool[s.second] + 2 * (UnitNumber(unit) - 1)};
    }
    char16_t* units = &m_edgePool[s.second];
    const std::size_t size = std::size_t{1} << (shape - kBlock);
    return {nullptr, units + size + 2 * (std::find(units, units + s.firstUnit + 1, unit) - units)};
}

std::uint32_t SuffixAutomaton::AllocateFrom(std::uint32_t& freeList, std::size_t units) {
    const std::uint32_t block = freeList;
    if (block == kNone) {
        return m_edgePool.grow(units, kIndexLimit);
    }
    freeList = LoadTarget(&m_edgePool[block]);
    return block;
}

std::uint32_t SuffixAutomaton::AllocateBlock(unsigned sizeLog2) {
    return AllocateFrom(m_freeBlocks[sizeLog2], std::size_t{3} << sizeLog2);
}

std::uint32_t SuffixAutomaton::AllocateTable(unsigned sizeLog2) {
    const std::uint32_t table = AllocateFrom(m_freeTables[sizeLog2], std::size_t{2} << sizeLog2);
    std::fill_n(&m_edgePool[table], std::size_t{2} << sizeLog2, static_cast<char16_t>(0xFFFF)); // kNone
    return table;
}

void SuffixAutomaton::FreeTable(std::uint32_t table, unsigned sizeLog2) {
    StoreTarget(&m_edgePool[table], m_freeTables[sizeLog2]);
    m_freeTables[sizeLog2] = table;
}

void SuffixAutomaton::FreeBlock(std::uint32_t block, unsigned sizeLog2) {
    StoreTarget(&m_edgePool[block], m_freeBlocks[sizeLog2]);
    m_freeBlocks[sizeLog2] = block;
}

void SuffixAutomaton::AddEdge(std::uint32_t from, char16_t unit, std::uint32_t to) {
    ++m_edgeCount;
    if (from == 0) {
        auto& page = m_rootPages[unit >> kRootPageBits];
        if (!page) {
            page = std::make_unique_for_overwrite<std::uint32_t[]>(kRootPageSize);
            std::fill_n(page.get(), kRootPageSize, kNone);
        }
        page[unit & (kRootPageSize - 1)] = to;
        return;
    }
    State& s = m_states[from];
    if (s.first == kNone) {
        s.first = to;
        s.firstUnit = unit;
        return;
    }
    if (s.first != kExternal) {
        if (s.second == kNone) {
            s.second = to;
            s.secondUnit = unit;
            return;
        }
        // A third edge: all three move to a block with room for a fourth.
        const std::uint32_t block = AllocateBlock(2);
        char16_t* units = &m_edgePool[block];
        units[0] = s.firstUnit;
        units[1] = s.secondUnit;
        units[2] = unit;
        StoreTarget(units + 4, s.first);
        StoreTarget(units + 6, s.second);
        StoreTarget(units + 8, to);
        s = State{s.link, kExternal, block, 2, kBlock + 2};
        return;
    }
    const unsigned shape = s.secondUnit;
    if (shape >= kDense) {
        const unsigned sizeLog2 = shape - kDense;
        const std::uint32_t index = UnitNumber(unit) - 1;
        const std::size_t degree = std::size_t{s.firstUnit} + 2; // with the new edge
        if (index >= (std::uint32_t{1} << sizeLog2)) {
            const unsigned grownLog2 = static_cast<unsigned>(std::bit_width(index));
            if ((std::size_t{1} << grownLog2) > kMaxSparseness * degree) {
                // Back to a block, with room for the new edge.
                const unsigned blockLog2 = static_cast<unsigned>(std::bit_width(degree - 1));
                const std::size_t blockSize = std::size_t{1} << blockLog2;
                const std::uint32_t block = AllocateBlock(blockLog2);
                const char16_t* old = &m_edgePool[s.second];
                char16_t* units = &m_edgePool[block];
                std::size_t used = 0;
                for (std::size_t i = 0; i < (std::size_t{1} << sizeLog2); ++i) {
                    const std::uint32_t target = LoadTarget(old + 2 * i);
                    if (target != kNone) {
                        units[used] = m_unitOfNumber[i];
                        StoreTarget(units + blockSize + 2 * used, target);
                        ++used;
                    }
                }
                units[used] = unit;
                StoreTarget(units + blockSize + 2 * used, to);
                FreeTable(s.second, sizeLog2);
                s = State{s.link, kExternal, block, static_cast<char16_t>(used),
                          static_cast<char16_t>(kBlock + blockLog2)};
                return;
            }
            const std::uint32_t table = AllocateTable(grownLog2);
            std::copy_n(&m_edgePool[s.second], std::size_t{2} << sizeLog2, &m_edgePool[table]);
            FreeTable(s.second, sizeLog2);
            s.second = table;
            s.secondUnit = static_cast<char16_t>(kDense + grownLog2);
        }
        StoreTarget(&m_edgePool[s.second] + 2 * index, to);
        s.firstUnit = static_cast<char16_t>(degree - 1);
        return;
    }
    const unsigned sizeLog2 = shape - kBlock;
    std::size_t size = std::size_t{1} << sizeLog2;
    const std::size_t used = std::size_t{s.firstUnit} + 1;
    const unsigned tableLog2 =
        std::max(kDenseFromLog2 + 1, static_cast<unsigned>(std::bit_width(std::uint32_t{m_unitsSeen} - 1)));
    if (used == size && sizeLog2 >= kDenseFromLog2 && (std::size_t{1} << tableLog2) <= kMaxSparseness * (used + 1)) {
        // Every unit here has been seen, so the table has room for all of them and for the new one.
        const std::uint32_t table = AllocateTable(tableLog2);
        const char16_t* units = &m_edgePool[s.second];
        char16_t* targets = &m_edgePool[table];
        for (std::size_t i = 0; i < used; ++i) {
            StoreTarget(targets + 2 * (UnitNumber(units[i]) - 1), LoadTarget(units + size + 2 * i));
        }
        StoreTarget(targets + 2 * (UnitNumber(unit) - 1), to);
        FreeBlock(s.second, sizeLog2);
        s = State{s.link, kExternal, table, static_cast<char16_t>(used), static_cast<char16_t>(kDense + tableLog2)};
        return;
    }
    if (used == size) {
        const std::uint32_t block = AllocateBlock(sizeLog2 + 1);
        const char16_t* old = &m_edgePool[s.second];
        char16_t* moved = &m_edgePool[block];
        std::copy_n(old, used, moved);
        std::copy_n(old + size, 2 * used, moved + 2 * size);
        FreeBlock(s.second, sizeLog2);
        s.second = block;
        s.secondUnit = static_cast<char16_t>(shape + 1);
        size *= 2;
    }
    char16_t* units = &m_edgePool[s.second];
    units[used] = unit;
    StoreTarget(units + size + 2 * used, to);
    s.firstUnit = static_cast<char16_t>(used);
}

// The copies are never solid: `to` is a clone, shorter than `from`.
void SuffixAutomaton::CopyEdges(std::uint32_t from, std::uint32_t to) {
    const State source = m_states[from];
    State& clone = m_states[to];
    if (source.first != kExternal) {
        const auto copied = [](std::uint32_t target) { return target == kNone ? kNone : target & ~kSolid; };
        m_edgeCount += (source.first != kNone ? 1 : 0) + (source.second != kNone ? 1 : 0);
        clone = State{clone.link, copied(source.first), copied(source.second), source.firstUnit, source.secondUnit};
        return;
    }
    const unsigned shape = source.secondUnit;
    if (shape >= kDense) {
        const std::size_t size = std::size_t{1} << (shape - kDense);
        const std::uint32_t table = AllocateFrom(m_freeTables[shape - kDense], 2 * size);
        const char16_t* original = &m_edgePool[source.second];
        char16_t* copy = &m_edgePool[table];
        for (std::size_t i = 0; i < size; ++i) {
            const std::uint32_t target = LoadTarget(original + 2 * i);
            m_edgeCount += target != kNone ? 1 : 0;
            StoreTarget(copy + 2 * i, target != kNone ? target & ~kSolid : kNone);
        }
        clone = State{clone.link, kExternal, table, source.firstUnit, source.secondUnit};
        return;
    }
    const unsigned sizeLog2 = shape - kBlock;
    const std::size_t size = std::size_t{1} << sizeLog2;
    const std::size_t used = std::size_t{source.firstUnit} + 1;
    const std::uint32_t block = AllocateBlock(sizeLog2);
    const char16_t* original = &m_edgePool[source.second];
    char16_t* copy = &m_edgePool[block];
    std::copy_n(original, used, copy);
    for (std::size_t i = 0; i < used; ++i) {
        StoreTarget(copy + size + 2 * i, LoadTarget(original + size + 2 * i) & ~kSolid);
    }
    m_edgeCount += used;
    clone = State{clone.link, kExternal, block, source.firstUnit, source.secondUnit};
}

void SuffixAutomaton::Append(std::u16string_view units) {
    for (const char16_t unit : units) {
        Extend(unit);
    }
}

void SuffixAutomaton::Extend(char16_t unit) {
    if (m_unitNumbers[unit] == 0) {
        m_unitNumbers[unit] = ++m_unitsSeen;
        m_unitOfNumber.push_back(unit);
    }
    const std::uint32_t current = NewState(kNone);
    std::uint32_t p = m_last;
    m_last = current;
    std::uint32_t solid = kSolid;
    if (p != 0) {
        // The last state never has edges (nothing follows the whole string), so its new edge needs no search.
        State& last = m_states[p];
        p = last.link;
        PrefetchState(p);
        last.first = current | kSolid;
        last.firstUnit = unit;
        ++m_edgeCount;
        solid = 0;
    }
    std::uint32_t target = kNone;
    for (; p != kNone; solid = 0) {
        // The walk is a chain of cache misses; asking for the next state while this one's edges are searched
        // lets two of them overlap.
        const std::uint32_t next = m_states[p].link;
        PrefetchState(next);
        target = Target(p, unit);
        if (target != kNone) {
            break;
        }
        AddEdge(p, unit, current | solid);
        p = next;
    }
    if (p == kNone) {
        m_states[current].link = 0;
        return;
    }
    const std::uint32_t q = target & ~kSolid;
    // Needed next: by the clone below, or as the first state of the next extension's walk.
    PrefetchState(q);
    if (target & kSolid) {
        m_states[current].link = q;
        return;
    }
    // q also stands for longer strings that do not end here: split off the shorter ones into a clone. The edge
    // from p becomes solid; those from p's shorter suffixes do not. The edges are redirected before q is read, so
    // that q's record and edges are on their way meanwhile.
    const std::uint32_t clone = NewState(kNone);
    for (std::uint32_t solid = kSolid; p != kNone; solid = 0) {
        const std::uint32_t next = m_states[p].link;
        PrefetchState(next);
        const TargetSlot slot = FindTargetSlot(p, unit);
        if ((Get(slot) & ~kSolid) != q) {
            break;
        }
        Set(slot, clone | solid);
        p = next;
    }
    const std::uint32_t link = m_states[q].link;
    // The next extension's walk goes through the clone, and on to this state unless the clone has its unit.
    PrefetchState(link);
    m_states[clone].link = link;
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
