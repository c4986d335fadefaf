#pragma once

// The program's one seam to the operating system: everything that needs more than Qt and the standard library
// is here, each behind Qt's platform macros, so that the rest of the code builds wherever Qt does.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace claimcheck::platform {

// Whether the program runs with the administrator's rights (root on Unix; never on other systems, where
// Chromium's sandbox does not depend on the user).
bool runsAsSuperuser();

// Measures that the benchmarks and tests take of their own process.

// Processor time the process has used so far, user and system, in seconds.
double processCpuSeconds();

// The process's highest resident memory since it started or since the last resetResidentPeak(), in bytes;
// nothing where the system does not tell.
std::optional<double> peakResidentBytes();

// Starts a new resident peak at the current resident memory; false where the system cannot.
bool resetResidentPeak();

// Hands memory that the C heap holds free back to the system, so that the next peak starts low (a no-op where
// the C library has no such call).
void returnFreeHeap();

// The bytes that a block from std::malloc really holds, which may be more than were asked for.
std::size_t allocatedBytes(void* block);

// A program run to its end as a child process, with what it cost: its exit status (-1 when a signal ended it), the
// wall time it took and its highest resident memory, in bytes.
struct ChildRun {
    int exitStatus = -1;
    double seconds = 0;
    double peakResidentBytes = 0;
};

// Runs the program (arguments[0], a path) with the arguments, its standard input empty and its standard output and
// error written to the files, and waits for it; nothing where it cannot start or the system does not tell.
std::optional<ChildRun> runChild(const std::vector<std::string>& arguments, const std::string& outputPath,
                                 const std::string& errorPath);

// The system's load average over the last minute; nothing where the system does not tell.
std::optional<double> loadAverage();

} // namespace claimcheck::platform
