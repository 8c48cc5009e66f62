#pragma once
#include <string>

namespace quillane {

// Milliseconds since 1970-01-01 00:00:00 UTC as decimal digits.
std::string millisecondTimestamp();

// The same reading taken from the system script control alone; empty where the control is
// missing or fails (millisecondTimestamp then reads the system clock).
std::string scriptTimestamp();

}  // namespace quillane
