// Internal to the stand-in: the point that every host call passes through.
#pragma once

#include <string>

#include "host/utilities.h"

namespace hostseams {
namespace detail {
void EnterHostCall(char const* name);
void TrackObject(du::RefCounted const* object, bool alive);
void TrackReference(du::RefCounted const* object, void const* holder, int delta);
void MoveReference(du::RefCounted const* object, void const* from, void const* to);
void WriteTrace(std::string const& line);
extern bool g_ledgerOn;
}  // namespace detail
}  // namespace hostseams

// Each call site also leaves its name in the linker section below, so that the call log knows
// every name a host call can record before any of them runs, and can refuse a query for a name
// that none records. On ELF the section name is a C identifier: the linker then provides
// __start_/__stop_ symbols around it, and the sanitizers put no red zones between its entries.
// A PE linker provides no such symbols but sorts the parts of a grouped section by the text after
// '$': markers in the parts "$a" and "$z" (seams.cpp) bound the names in "$m".
#ifdef _WIN32
#define QM_HOST_CALL_SECTION ".qmhc$m"
#else
#define QM_HOST_CALL_SECTION "qm_host_call_names"
#endif
#define QM_HOST_CALL(name)                                           \
  do {                                                               \
    [[maybe_unused]] static char const* const qmHostCallName         \
        __attribute__((used, section(QM_HOST_CALL_SECTION))) = name; \
    ::hostseams::detail::EnterHostCall(name);                        \
  } while (false)
