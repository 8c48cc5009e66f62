#pragma once
// doc_view.exe's command line (see protocol.h).
#include <windows.h>

#include <functional>
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
    std::wstring frameClass;  // empty: kFrameClass
    RECT frame = {100, 100, 900, 700};  // outer rectangle in screen coordinates
};

// Nothing when the arguments (program name excluded) are not understood.
std::optional<Options> parseOptions(const std::vector<std::wstring>& arguments);

// One option of a stand-in's command line: its name ("--...") and the argument after it (null
// when it is the last). Returns the arguments it used, 1 or 2; 0 when not understood.
using OptionReader = std::function<int(const std::wstring& name, const std::wstring* value)>;
// The stand-ins' command lines: the one page address (the only argument not starting with
// "--") and the options, each read by readOption. False when anything is not understood or
// the address is missing.
bool readArguments(const std::vector<std::wstring>& arguments, std::wstring& address, const OptionReader& readOption);

// "X,Y,WIDTH,HEIGHT" with a positive size, as a screen rectangle; the stand-in browsers'
// --rect.
std::optional<RECT> parseRect(const std::wstring& text);

// The process's arguments after the program name, split as the system splits them.
std::vector<std::wstring> commandLineArguments();

}  // namespace quillane::docview
