#pragma once
// browser_view.exe's command line (see protocol.h).
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace quillane::browserview {

struct Options {
    bool chromium = true;  // false: Firefox
    std::wstring address;
    DWORD wakeDelayMs = 0;
    bool neverFills = false;
    bool silent = false;
    long extraElements = 0;
    std::wstring barName;
    RECT frame = {100, 100, 900, 700};  // outer rectangle in screen coordinates
};

// Nothing when the arguments (program name excluded) are not understood.
std::optional<Options> parseOptions(const std::vector<std::wstring>& arguments);

}  // namespace quillane::browserview
