#include "harness/wait.h"

namespace quillane::test {

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs,
               const std::function<bool(const MSG&)>& handledFirst) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (true) {
        if (condition()) {
            return true;
        }
        if (GetTickCount64() >= deadline) {
            return false;
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (handledFirst && handledFirst(msg)) {
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        // Give the other process a slice; the deadline, not this pause, decides the outcome.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace quillane::test
