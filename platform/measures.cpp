#include "system.h"

#include <QtGlobal>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

#if defined(Q_OS_LINUX)
#include <malloc.h>
#elif defined(Q_OS_DARWIN)
#include <malloc/malloc.h>
#elif defined(Q_OS_WIN)
#include <malloc.h>
#endif

namespace claimcheck::platform {

double processCpuSeconds() {
#if defined(Q_OS_UNIX)
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
#else
    // The C library's processor clock; on Windows it counts wall time.
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
#endif
}

std::optional<double> peakResidentBytes() {
#if defined(Q_OS_LINUX)
    // "VmHWM:   123456 kB"
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stod(line.substr(6)) * 1024.0;
        }
    }
#endif
    return std::nullopt;
}

bool resetResidentPeak() {
#if defined(Q_OS_LINUX)
    // Writing 5 to clear_refs sets the peak (VmHWM) to the current resident set.
    std::ofstream clearRefs("/proc/self/clear_refs");
    clearRefs << "5";
    clearRefs.flush();
    return static_cast<bool>(clearRefs);
#else
    return false;
#endif
}

void returnFreeHeap() {
#if defined(Q_OS_LINUX) && defined(__GLIBC__)
    malloc_trim(0);
#endif
}

std::size_t allocatedBytes(void* block) {
#if defined(Q_OS_LINUX)
    return malloc_usable_size(block);
#elif defined(Q_OS_DARWIN)
    return malloc_size(block);
#elif defined(Q_OS_WIN)
    return _msize(block);
#else
#error "no way to tell the size of a heap block on this system"
#endif
}

std::optional<double> loadAverage() {
#if defined(Q_OS_UNIX)
    double load = 0;
    if (getloadavg(&load, 1) == 1) {
        return load;
    }
#endif
    return std::nullopt;
}

} // namespace claimcheck::platform
