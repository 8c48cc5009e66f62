#pragma once
// browser_view.exe's command line (see protocol.h).
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace quillane::browserview {

enum class Kind { Chromium, Firefox, NoPage };

struct Options {
    Kind kind = Kind::Chromium;
    std::wstring frameClass;  // the top-level window's class; empty: the kind's own
    std::wstring address;
    DWORD wakeDelayMs = 0;
    bool neverFills = false;
    bool silent = false;
    long extraElements = 0;
    std::wstring barName;
    RECT frame = {100, 100, 900, 700};  // outer rectangle in screen coordinates
};

// The classes of the top-level window and of its child, the page's window.
const wchar_t* frameClassOf(const Options& options);
const wchar_t* pageClassOf(Kind kind);

// Nothing when the arguments (program name excluded) are not understood.
std::optional<Options> parseOptions(const std::vector<std::wstring>& arguments);

}  // namespace quillane::browserview
