#pragma once
#include <string>

namespace platform_sim {

// The same JSON as another server may render it: keys sorted by name, a tab per level, a
// line break between values, every character beyond ASCII as a \u escape (a pair of them
// beyond the BMP). Text that is no JSON comes back unchanged.
std::string prettyJson(const std::string& json);

}  // namespace platform_sim
