#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

namespace claimcheck {

// A queue from one producing thread to one consuming thread, of at most `capacity` items (fixed when it is made).
// Items go into blocks that the producer makes as it needs them and the consumer frees once it is past them, so
// what the queue holds is the consumer's lag, not everything that went through it. The producer publishes its
// count every `publishEvery` items and when it closes the queue; the consumer sleeps while there is nothing
// published to read. Waking a sleeping consumer is a system call: a consumer that is usually ahead of its producer
// wants items in large batches.
template <typename T> class HandoffQueue {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    HandoffQueue(std::size_t capacity, std::size_t publishEvery)
        : m_blocks(capacity / kBlockSize + 1), m_publishEvery(publishEvery) {}
    HandoffQueue(const HandoffQueue&) = delete;
    HandoffQueue& operator=(const HandoffQueue&) = delete;

    // Producer side.
    void Push(const T& item) {
        const std::size_t block = m_written / kBlockSize;
        if (m_written % kBlockSize == 0) {
            m_blocks.at(block) = std::make_unique_for_overwrite<T[]>(kBlockSize);
        }
        m_blocks[block][m_written % kBlockSize] = item;
        if (++m_written % m_publishEvery == 0) {
            Publish(false);
        }
    }
    // Publishes everything pushed and tells the consumer that nothing more will come.
    void Close() { Publish(true); }

    // Consumer side: takes the next item, waiting for it if needed; false once the queue is closed and empty.
    bool Pop(T& item) {
        std::uint64_t state = m_state.load(std::memory_order_acquire);
        while (m_read >= (state >> 1)) {
            if (state & 1) {
                return false;
            }
            m_state.wait(state, std::memory_order_acquire);
            state = m_state.load(std::memory_order_acquire);
        }
        const std::size_t block = m_read / kBlockSize;
        item = m_blocks[block][m_read % kBlockSize];
        if (++m_read % kBlockSize == 0) {
            m_blocks[block].reset();
        }
        return true;
    }

private:
    static constexpr std::size_t kBlockSize = 4096;

    void Publish(bool closed) {
        m_state.store((std::uint64_t{m_written} << 1) | (closed ? 1 : 0), std::memory_order_release);
        m_state.notify_one();
    }

    std::vector<std::unique_ptr<T[]>> m_blocks;
    const std::size_t m_publishEvery;
    std::atomic<std::uint64_t> m_state{0}; // published count << 1 | closed
    alignas(64) std::size_t m_written = 0; // the producer's own
    alignas(64) std::size_t m_read = 0;    // the consumer's own
};

} // namespace claimcheck
