#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <system_error>
#include <thread>
#include <utility>

namespace claimcheck {

// The analysis splits its longest passes between the calling thread and one helper thread. A thread costs tens of
// microseconds to start, so only inputs of at least this many code units are split; smaller ones take the
// single-threaded order of the same steps.
inline constexpr std::size_t kSecondThreadMinimum = std::size_t{1} << 16;

// Whether work over `units` code units should use a helper thread: a large enough input on a machine with more
// than one processor.
bool WorthASecondThread(std::size_t units);

// Lets the tests run the split code paths on small inputs (0 splits everything) and put the usual minimum back.
void SetSecondThreadMinimumForTesting(std::size_t units);
void ResetSecondThreadMinimumForTesting();

// A helper thread that runs one piece of work and hands back what it threw. Start() returns false when no thread
// could be started (the caller then runs the work itself); Join() waits for the work and rethrows its exception.
class HelperThread {
public:
    HelperThread() = default;
    HelperThread(const HelperThread&) = delete;
    HelperThread& operator=(const HelperThread&) = delete;
    ~HelperThread() {
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }

    bool Start(std::function<void()> work) {
        try {
            m_thread = std::thread([this, work = std::move(work)] {
                try {
                    work();
                } catch (...) {
                    m_error = std::current_exception();
                }
            });
            return true;
        } catch (const std::system_error&) {
            return false;
        }
    }

    void Join() {
        if (m_thread.joinable()) {
            m_thread.join();
        }
        if (m_error) {
            std::rethrow_exception(std::exchange(m_error, nullptr));
        }
    }

private:
    std::thread m_thread;
    std::exception_ptr m_error;
};

// Runs `first` on the calling thread and `second` on a helper thread at the same time when `split` is true and a
// thread can be started, one after the other otherwise. Rethrows what either threw once both have ended.
template <typename First, typename Second> void RunBoth(bool split, First&& first, Second&& second) {
    HelperThread helper;
    if (!split || !helper.Start([&second] { second(); })) {
        first();
        second();
        return;
    }
    try {
        first();
    } catch (...) {
        // The helper's work does not depend on this thread's: let it end, then report this thread's error.
        try {
            helper.Join();
        } catch (...) {
        }
        throw;
    }
    helper.Join();
}

} // namespace claimcheck
