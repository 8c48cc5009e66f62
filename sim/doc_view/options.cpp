#include "sim/doc_view/options.h"

#include <cwchar>

#include "util/owners.h"

namespace quillane::docview {

std::optional<RECT> parseRect(const std::wstring& text) {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    wchar_t rest = 0;
    if (swscanf(text.c_str(), L"%d,%d,%d,%d%lc", &x, &y, &width, &height, &rest) != 4 || width <= 0 ||
        height <= 0) {
        return std::nullopt;
    }
    return RECT{x, y, x + width, y + height};
}

bool readArguments(const std::vector<std::wstring>& arguments, std::wstring& address, const OptionReader& readOption) {
    bool haveAddress = false;
    for (size_t index = 0; index < arguments.size(); ++index) {
        const std::wstring& argument = arguments[index];
        if (argument.rfind(L"--", 0) != 0) {
            if (haveAddress) {
                return false;
            }
            address = argument;
            haveAddress = true;
            continue;
        }
        const int used = readOption(argument, index + 1 < arguments.size() ? &arguments[index + 1] : nullptr);
        if (used == 0) {
            return false;
        }
        index += static_cast<size_t>(used - 1);
    }
    return haveAddress;
}

std::optional<Options> parseOptions(const std::vector<std::wstring>& arguments) {
    Options options;
    const bool understood = readArguments(arguments, options.address, [&](const std::wstring& name, const std::wstring* value) {
        if (name == L"--hang") {
            options.hang = true;
            return 1;
        }
        if (name == L"--plain-location") {
            options.plainLocation = true;
            return 1;
        }
        if (value == nullptr) {
            return 0;
        }
        if (name == L"--second-view") {
            options.secondView = true;
            options.secondAddress = *value;
            return 2;
        }
        if (name == L"--frame-class") {
            // A class name is at most 256 characters long.
            if (value->empty() || value->size() > 256) {
                return 0;
            }
            options.frameClass = *value;
            return 2;
        }
        const std::optional<RECT> frame = name == L"--rect" ? parseRect(*value) : std::nullopt;
        if (frame) {
            options.frame = *frame;
        }
        return frame ? 2 : 0;
    });
    return understood ? std::optional<Options>(options) : std::nullopt;
}

std::vector<std::wstring> commandLineArguments() {
    // CommandLineToArgvW lives in shell32, which this program is not linked with; the
    // system's own splitting is still the one to use, since callers quote for it.
    using SplitCommandLine = LPWSTR*(WINAPI*)(LPCWSTR, int*);
    std::vector<std::wstring> arguments;
    const LibraryHandle shell(LoadLibraryW(L"shell32.dll"));
    if (!shell) {
        return arguments;
    }
    const auto split = reinterpret_cast<SplitCommandLine>(
        reinterpret_cast<void*>(GetProcAddress(shell.get(), "CommandLineToArgvW")));
    int count = 0;
    LPWSTR* parts = split != nullptr ? split(GetCommandLineW(), &count) : nullptr;
    if (parts != nullptr) {
        for (int index = 1; index < count; ++index) {
            arguments.emplace_back(parts[index]);
        }
        LocalFree(parts);
    }
    return arguments;
}

}  // namespace quillane::docview
