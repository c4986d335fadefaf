#pragma once

#include <cstddef>

namespace claimcheck::bench {

// The live bytes of the C++ heap, as counted by this program's replacements of the global operator new and
// delete, and the highest value since the last ResetHeapPeak.
std::size_t heapLiveBytes();
std::size_t heapPeakBytes();
void resetHeapPeak();

} // namespace claimcheck::bench
