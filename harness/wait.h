#pragma once
// Waiting for a condition with a deadline: tests never sleep to synchronise.
#include <windows.h>

#include <functional>

namespace quillane::test {

// The request time-out given to the program (and the engine) by tests of silent servers, so
// that each of them waits seconds rather than the member's 15.
inline constexpr unsigned long kTestRequestTimeoutMs = 2000;

// Polls condition until it holds or timeoutMs passes; pumps this thread's messages meanwhile.
// handledFirst, if given, sees every message before it is dispatched, as the program's own loop
// offers each to its Esc handling; true: handled, not dispatched.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000,
               const std::function<bool(const MSG&)>& handledFirst = {});

}  // namespace quillane::test
