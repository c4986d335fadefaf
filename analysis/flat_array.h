#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <type_traits>

namespace claimcheck {

// Memory for a FlatArray. Blocks under 1 MiB come from the heap. Larger ones are mapped from the system where it
// can remap pages (Linux), so that growing never copies, with all their pages mapped in at once; blocks of 2 MiB and
// more are marked for transparent huge pages. The automata built on these arrays are read at random: with 4 KiB
// pages most of those reads also miss the TLB, and every first touch of a page is a page fault; both are dear on a
// virtual machine (seen there: the index of a 170,000-word patent took half as long again with small pages).
//
// A freed mapped block of up to kFlatCacheBytes is kept for a later array instead of going back to the system (the
// blocks kept add up to that much at most): the next check run then finds its large arrays' memory mapped in
// already, as a heap hands back freed memory, without a page fault per page. Under the address sanitizer every
// block comes from the heap and none is kept.
struct FlatBlock {
    void* data;
    std::size_t bytes; // at least what was asked for
};
inline constexpr std::size_t kFlatCacheBytes = std::size_t{32} << 20;
FlatBlock AllocateFlat(std::size_t bytes);
FlatBlock ReallocateFlat(FlatBlock block, std::size_t newBytes);
void FreeFlat(FlatBlock block);
// Bytes of flat arrays in use and kept for reuse, and the most in use at once since the last reset: for the
// benchmarks, whose heap counts do not see these blocks.
std::size_t FlatBytesInUse();
std::size_t FlatBytesKept();
std::size_t FlatBytesPeak();
void ResetFlatBytesPeak();

// A growable array of trivially copyable values in one block of memory, indexed by 32-bit indices. An index is
// turned into an address with one addition, which matters where every step of a walk through an automaton is an
// index to follow. Growing doubles the capacity and may move the values: no pointer into the array may be kept
// across a call to grow().
template <typename T> class FlatArray {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

public:
    FlatArray() = default;
    FlatArray(const FlatArray&) = delete;
    FlatArray& operator=(const FlatArray&) = delete;
    ~FlatArray() {
        if (m_data != nullptr) {
            FreeFlat(FlatBlock{m_data, m_capacity * sizeof(T)});
        }
    }

    T& operator[](std::uint32_t i) { return m_data[i]; }
    const T& operator[](std::uint32_t i) const { return m_data[i]; }

    std::size_t size() const { return m_size; }
    std::size_t capacityBytes() const { return m_capacity * sizeof(T); }

    // Appends `count` uninitialised values and returns the index of the first. Throws std::length_error when an
    // index would reach `limit`.
    std::uint32_t grow(std::size_t count, std::size_t limit) {
        const std::size_t begin = m_size;
        if (begin + count > m_capacity || begin + count > limit) {
            Reserve(begin + count, limit);
        }
        m_size = begin + count;
        return static_cast<std::uint32_t>(begin);
    }

private:
    static constexpr std::size_t kFirstCapacity = 4096 / sizeof(T) > 0 ? 4096 / sizeof(T) : 1;

    void Reserve(std::size_t needed, std::size_t limit) {
        if (needed > limit) {
            throw std::length_error("flat array too large");
        }
        std::size_t capacity = m_capacity == 0 ? kFirstCapacity : m_capacity * 2;
        while (capacity < needed) {
            capacity *= 2;
        }
        const FlatBlock block = m_data == nullptr
                                    ? AllocateFlat(capacity * sizeof(T))
                                    : ReallocateFlat(FlatBlock{m_data, m_capacity * sizeof(T)}, capacity * sizeof(T));
        m_data = static_cast<T*>(block.data);
        m_capacity = block.bytes / sizeof(T);
    }

    T* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

} // namespace claimcheck
