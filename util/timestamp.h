#pragma once
#include <string>

namespace quillane {

// Milliseconds since 1970-01-01 00:00:00 UTC as decimal digits.
std::string millisecondTimestamp();

// The same reading taken from the system script control alone; empty where the control is
// missing or fails (millisecondTimestamp then reads the system clock).
std::string scriptTimestamp();

// Gives back this thread's script control and the use of COM it holds. A thread that read a
// timestamp calls it before it gives up COM itself; what a thread still holds at its end is
// left to the system.
void releaseTimeScript();

}  // namespace quillane
