#pragma once
// What another process holds: its open handles and its threads. Wine answers
// GetProcessHandleCount with 0 for every process; the system's handle list it keeps.
#include <windows.h>

namespace quillane::test {

struct ProcessLoad {
    DWORD handles = 0;
    DWORD threads = 0;
};
ProcessLoad processLoad(DWORD processId);

}  // namespace quillane::test
