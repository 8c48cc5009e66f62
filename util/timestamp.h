#pragma once
#include <string>

namespace quillane {

// Milliseconds since 1970-01-01 00:00:00 UTC as decimal digits.
std::string millisecondTimestamp();

}  // namespace quillane
