// Counts the heap allocations of the whole process: the benchmark binary replaces the global
// operator new, so the module's and the host library's allocations are both seen here.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bench {

struct HeapCounts {
  std::uint64_t allocations;
  std::size_t liveBytes;
  std::size_t peakBytes;
};

HeapCounts Heap();
// Starts a new peak from the bytes that are live now.
void ResetHeapPeak();

}  // namespace bench
