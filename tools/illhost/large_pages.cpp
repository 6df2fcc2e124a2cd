// Linked into illhost with mimalloc only: its memory is taken in large OS pages, which a model of
// millions of small objects needs to be built at speed (fewer page faults and TLB misses).
#include <mimalloc.h>

[[maybe_unused]] bool const kLargePages = (mi_option_enable(mi_option_large_os_pages), true);
