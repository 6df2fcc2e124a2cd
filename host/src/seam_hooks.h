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

#define QM_HOST_CALL(name) ::hostseams::detail::EnterHostCall(name)
