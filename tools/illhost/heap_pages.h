// Large pages for the heap that a large illustration is built in.
#pragma once

#include <cstddef>

namespace illhost {

// Grows the heap to at least `bytes` up front and asks the kernel to back it with huge pages.
// Building millions of small host objects touches memory at random; with 4 KiB pages most of
// that time goes to page-table walks. Nothing is touched here, so the memory counts only once
// used. Does nothing for small sizes, or where the allocator is not the C library's.
void PrepareHeapFor(std::size_t bytes);

}  // namespace illhost
