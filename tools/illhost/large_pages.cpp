// Linked into illhost with mimalloc only: its memory is taken in large OS pages, which a model of
// millions of small objects needs to be built at speed (fewer page faults and TLB misses). Its
// own operator new aborts when memory runs out without calling the new-handler, so its
// out-of-memory error is sent to that handler: one line and exit 1, as with any allocator. The
// hook is set before any library's initialisation runs, which may allocate already.
#include <mimalloc.h>

#include <cerrno>
#include <new>

namespace {

void OnError(int error, void* /*unused*/) {
  std::new_handler const handler = std::get_new_handler();
  if ((error == ENOMEM || error == EOVERFLOW) && handler) handler();
}

void SendErrorsToTheNewHandler() { mi_register_error(OnError, nullptr); }
[[gnu::section(".preinit_array"), gnu::used]] void (*const kEarly)() = SendErrorsToTheNewHandler;

[[maybe_unused]] bool const kLargePages = (mi_option_enable(mi_option_large_os_pages), true);

}  // namespace
