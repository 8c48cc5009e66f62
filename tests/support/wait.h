#pragma once
// Waiting for a condition with a deadline: tests never sleep to synchronise.
#include <windows.h>

#include <functional>

namespace quillane::test {

// Polls condition until it holds or timeoutMs passes; pumps this thread's messages meanwhile.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

}  // namespace quillane::test
