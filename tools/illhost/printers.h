// What illhost shows: a table for people, JSON for tools and tests.
#pragma once

#include <iosfwd>
#include <vector>

#include <nlohmann/json.hpp>

#include "driver.h"

namespace illhost {

nlohmann::json ResultsJson(std::vector<TrackResult> const& results);
void PrintTable(std::ostream& out, std::vector<TrackResult> const& results);

}  // namespace illhost
