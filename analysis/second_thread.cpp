#include "analysis/second_thread.h"

#include <atomic>

namespace claimcheck {

namespace {

std::atomic<std::size_t> g_minimum{kSecondThreadMinimum};

} // namespace

bool WorthASecondThread(std::size_t units) {
    static const bool severalProcessors = std::thread::hardware_concurrency() > 1;
    const std::size_t minimum = g_minimum.load(std::memory_order_relaxed);
    return units >= minimum && (severalProcessors || minimum == 0);
}

void SetSecondThreadMinimumForTesting(std::size_t units) {
    g_minimum.store(units, std::memory_order_relaxed);
}

void ResetSecondThreadMinimumForTesting() {
    g_minimum.store(kSecondThreadMinimum, std::memory_order_relaxed);
}

} // namespace claimcheck
