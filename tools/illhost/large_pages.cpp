// Linked with mimalloc only: large OS pages build a model of millions of small objects faster.
// Its operator new aborts when memory runs out without calling the new-handler, so its error is
// sent to that handler, set before any library's initialisation, which may allocate already.
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
