#pragma once

// Start-up: the program runs with glibc's allocator asked for large memory pages.
//
// The index of a long description is built with a suffix automaton of a few hundred megabytes whose every step
// lands somewhere else in it. With 4 KB pages nearly each of those steps also misses the processor's cache of
// address translations; with 2 MB pages the check of one million distinct words took a sixth to a third less time
// in side-by-side runs. glibc's malloc asks the kernel for such pages (transparent huge pages, which Debian's
// kernel gives on request) when its tunable glibc.malloc.hugetlb is 1. glibc reads tunables only as a process
// starts, so the program starts itself once more, in the same process, with the tunable added to the environment.

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include <unistd.h>

namespace claimcheck {

inline constexpr char kLargePagesTunable[] = "glibc.malloc.hugetlb=1";

// The GLIBC_TUNABLES value with large pages added to `current` (the variable's value, null when unset), or nothing
// when `current` names the tunable already, whatever its value: a choice made outside the program stands, and the
// program restarted once finds it there and does not restart again.
inline std::optional<std::string> tunablesWithLargePages(const char* current) {
    if (current == nullptr || *current == '\0') {
        return std::string(kLargePagesTunable);
    }
    if (std::strstr(current, "glibc.malloc.hugetlb") != nullptr) {
        return std::nullopt;
    }
    return std::string(current) + ':' + kLargePagesTunable;
}

// Restarts the program with large pages unless the environment already says whether to use them. Returns only when
// there was nothing to do or the restart failed (no /proc, say); the program then goes on with the pages it has and
// the environment as it was.
inline void restartWithLargePages(char* argv[]) {
    const char* current = std::getenv("GLIBC_TUNABLES");
    const std::optional<std::string> tunables = tunablesWithLargePages(current);
    if (!tunables) {
        return;
    }
    const std::optional<std::string> before = current ? std::optional<std::string>(current) : std::nullopt;
    setenv("GLIBC_TUNABLES", tunables->c_str(), 1);
    execv("/proc/self/exe", argv);
    if (before) {
        setenv("GLIBC_TUNABLES", before->c_str(), 1);
    } else {
        unsetenv("GLIBC_TUNABLES");
    }
}

} // namespace claimcheck
