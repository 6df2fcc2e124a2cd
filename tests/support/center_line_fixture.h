// Centre lines that have no object yet, only the stored representation of a pending one, as
// an illustration holds them before their object is loaded.
#pragma once

#include <map>
#include <string>

#include "model.h"

namespace testsupport {

// A centre line of `model` whose pending object, of the selection type `type`, carries
// `fields` (field name to text).
du::SmartPtr<qmannotations::CenterLinesAnnotation> AddPendingCenterLine(
    hostmodel::Model& model, du::Symbol const& type,
    std::map<std::string, std::string> const& fields);

}  // namespace testsupport
