#include "system.h"

#include <QtGlobal>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#endif

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

std::optional<ChildRun> runChild(const std::vector<std::string>& arguments, const std::string& outputPath,
                                 const std::string& errorPath) {
#if defined(Q_OS_LINUX)
    // wait4 gives the child's own peak (ru_maxrss, in kilobytes), where the rusage of all children would give
    // the highest of every child so far.
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, 2, errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (spawned != 0) {
        return std::nullopt;
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) {
        return std::nullopt;
    }
    ChildRun run;
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakResidentBytes = static_cast<double>(usage.ru_maxrss) * 1024.0;
    return run;
#else
    (void)arguments;
    (void)outputPath;
    (void)errorPath;
    return std::nullopt;
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
