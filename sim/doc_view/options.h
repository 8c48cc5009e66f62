#pragma once
// doc_view.exe's command line (see protocol.h).
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace quillane::docview {

struct Options {
    std::wstring address;        // the first view's page
    std::wstring secondAddress;  // empty: one view only
    bool secondView = false;
    bool hang = false;
    bool plainLocation = false;
    RECT frame = {100, 100, 900, 700};  // outer rectangle in screen coordinates
};

// Nothing when the arguments (program name excluded) are not understood.
std::optional<Options> parseOptions(const std::vector<std::wstring>& arguments);

// "X,Y,WIDTH,HEIGHT" with a positive size, as a screen rectangle; the stand-in browsers'
// --rect.
std::optional<RECT> parseRect(const std::wstring& text);

// The process's arguments after the program name, split as the system splits them.
std::vector<std::wstring> commandLineArguments();

}  // namespace quillane::docview
