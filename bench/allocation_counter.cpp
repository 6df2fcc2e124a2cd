#include "allocation_counter.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

namespace bench {
namespace {
// The benchmarks run on one thread; plain counters keep the counting cheap.
HeapCounts g_heap{0, 0, 0};

void* Allocate(std::size_t size, std::size_t alignment) {
  void* p = alignment <= alignof(std::max_align_t)
                ? std::malloc(size ? size : 1)
                : std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
  if (!p) throw std::bad_alloc();
  ++g_heap.allocations;
  g_heap.liveBytes += malloc_usable_size(p);
  if (g_heap.liveBytes > g_heap.peakBytes) g_heap.peakBytes = g_heap.liveBytes;
  return p;
}

void Free(void* p) noexcept {
  if (!p) return;
  g_heap.liveBytes -= malloc_usable_size(p);
  std::free(p);
}
}  // namespace

HeapCounts Heap() { return g_heap; }
void ResetHeapPeak() { g_heap.peakBytes = g_heap.liveBytes; }

}  // namespace bench

void* operator new(std::size_t size) { return bench::Allocate(size, 0); }
void* operator new[](std::size_t size) { return bench::Allocate(size, 0); }
void* operator new(std::size_t size, std::align_val_t a) {
  return bench::Allocate(size, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t size, std::align_val_t a) {
  return bench::Allocate(size, static_cast<std::size_t>(a));
}
void* operator new(std::size_t size, std::nothrow_t const&) noexcept {
  try {
    return bench::Allocate(size, 0);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, std::nothrow_t const& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* p) noexcept { bench::Free(p); }
void operator delete[](void* p) noexcept { bench::Free(p); }
void operator delete(void* p, std::size_t) noexcept { bench::Free(p); }
void operator delete[](void* p, std::size_t) noexcept { bench::Free(p); }
void operator delete(void* p, std::align_val_t) noexcept { bench::Free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { bench::Free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { bench::Free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { bench::Free(p); }
void operator delete(void* p, std::nothrow_t const&) noexcept { bench::Free(p); }
void operator delete[](void* p, std::nothrow_t const&) noexcept { bench::Free(p); }
