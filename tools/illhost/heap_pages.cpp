#include "heap_pages.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace illhost {

void PrepareHeapFor(std::size_t bytes) {
  constexpr std::size_t kWorthIt = std::size_t{64} << 20;
  constexpr std::size_t kStep = std::size_t{32} << 20;  // the allocator's largest mmap threshold
  static std::size_t prepared = 0;  // a later call grows the heap only by what is missing
  if (bytes < kWorthIt || bytes <= prepared) return;
  bytes -= prepared;
  prepared += bytes;
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
  // madvise wants whole huge pages: the first boundary at or after start to the last before end.
  std::size_t const page = std::size_t{2} << 20;
  std::size_t const lead = (page - reinterpret_cast<std::uintptr_t>(start) % page) % page;
  std::size_t const tail = reinterpret_cast<std::uintptr_t>(end) % page;
  if (end - start > static_cast<std::ptrdiff_t>(lead + tail))
    madvise(start + lead, static_cast<std::size_t>(end - start) - lead - tail,
            MADV_HUGEPAGE);  // a hint: may fail
}

}  // namespace illhost
