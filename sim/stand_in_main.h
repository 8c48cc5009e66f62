#pragma once
// What every stand-in window program does from start to end: check its command line, make
// COM ready for handing objects to other processes from this thread, create its windows and
// run their messages until they close.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <optional>
#include <string>

namespace quillane::standin {

// Window: constructed from the options, with bool create(HINSTANCE). Exit code 0 after the
// windows closed, 1 when they could not be made, 2 on a command line not understood.
template <typename Window, typename Options>
int runStandIn(const char* name, const char* usage, const std::optional<Options>& options) {
    if (!options) {
        std::fputs(usage, stderr);
        return 2;
    }
    if (FAILED(CoInitialize(nullptr))) {
        std::fprintf(stderr, "%s: COM could not be initialised\n", name);
        return 1;
    }
    int exitCode = 1;
    try {
        Window window(*options);
        if (window.create(GetModuleHandleW(nullptr))) {
            MSG message;
            while (GetMessageW(&message, nullptr, 0, 0) > 0) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            exitCode = 0;
        } else {
            std::fprintf(stderr, "%s: the windows could not be created\n", name);
        }
    } catch (...) {
        std::fprintf(stderr, "%s: out of memory\n", name);
    }
    CoUninitialize();
    return exitCode;
}

}  // namespace quillane::standin
