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

std::optional<Options> parseOptions(const std::vector<std::wstring>& arguments) {
    Options options;
    bool haveAddress = false;
    for (size_t index = 0; index < arguments.size(); ++index) {
        const std::wstring& argument = arguments[index];
        const bool hasValue = index + 1 < arguments.size();
        if (argument == L"--hang") {
            options.hang = true;
        } else if (argument == L"--plain-location") {
            options.plainLocation = true;
        } else if (argument == L"--second-view" && hasValue) {
            options.secondView = true;
            options.secondAddress = arguments[++index];
        } else if (argument == L"--rect" && hasValue) {
            const std::optional<RECT> frame = parseRect(arguments[++index]);
            if (!frame) {
                return std::nullopt;
            }
            options.frame = *frame;
        } else if (argument.rfind(L"--", 0) != 0 && !haveAddress) {
            options.address = argument;
            haveAddress = true;
        } else {
            return std::nullopt;
        }
    }
    if (!haveAddress) {
        return std::nullopt;
    }
    return options;
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
