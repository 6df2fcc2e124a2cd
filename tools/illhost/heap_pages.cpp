#include "heap_pages.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace illhost {

void PrepareHeapFor(std::size_t bytes) {
  constexpr std::size_t kWorthIt = std::size_t{64} << 20;
  constexpr std::size_t kStep = std::size_t{32} << 20;  // the allocator's largest mmap threshold
  if (bytes < kWorthIt) return;
  // Every block comes from the heap, large tables too (they are probed at random): allocate
  // blocks until the heap is large enough, then free all but the topmost, which stays
  // (untouched) so that the freed space before it is never handed back. Later allocations are
  // cut from that space.
  mallopt(M_MMAP_MAX, 0);
  auto* const start = static_cast<char*>(sbrk(0));
  std::vector<void*> blocks;
  for (std::size_t grown = 0; grown < bytes; grown += kStep) {
    void* block = std::malloc(kStep - 4096);
    if (!block) break;
    blocks.push_back(block);
  }
  auto* const end = static_cast<char*>(sbrk(0));
  if (!blocks.empty()) blocks.pop_back();
  for (void* block : blocks) std::free(block);
  std::uintptr_t const page = std::uintptr_t{2} << 20;
  auto const first = (reinterpret_cast<std::uintptr_t>(start) + page - 1) & ~(page - 1);
  auto const last = reinterpret_cast<std::uintptr_t>(end) & ~(page - 1);
  if (last > first)
    madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);  // a hint: may fail
}

}  // namespace illhost
