#include "sim/browser_view/options.h"

#include <cwchar>

#include "sim/browser_view/protocol.h"
#include "sim/doc_view/options.h"

namespace quillane::browserview {

namespace {

// A whole non-negative number up to limit.
std::optional<long> parseCount(const std::wstring& text, long limit) {
    wchar_t* end = nullptr;
    const long value = std::wcstol(text.c_str(), &end, 10);
    if (text.empty() || end == nullptr || *end != L'\0' || value < 0 || value > limit) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<Options> parseOptions(const std::vector<std::wstring>& arguments) {
    Options options;
    options.barName = kDefaultBarName;
    bool haveAddress = false;
    for (size_t index = 0; index < arguments.size(); ++index) {
        const std::wstring& argument = arguments[index];
        const bool hasValue = index + 1 < arguments.size();
        if (argument == L"--never-fills") {
            options.neverFills = true;
        } else if (argument == L"--silent") {
            options.silent = true;
        } else if (argument == L"--kind" && hasValue) {
            const std::wstring& kind = arguments[++index];
            if (kind != L"chromium" && kind != L"firefox") {
                return std::nullopt;
            }
            options.chromium = kind == L"chromium";
        } else if (argument == L"--bar-name" && hasValue) {
            options.barName = arguments[++index];
        } else if ((argument == L"--wake-delay" || argument == L"--extra-elements") && hasValue) {
            const std::optional<long> count = parseCount(arguments[++index], 10000000);
            if (!count) {
                return std::nullopt;
            }
            if (argument == L"--wake-delay") {
                options.wakeDelayMs = static_cast<DWORD>(*count);
            } else {
                options.extraElements = *count;
            }
        } else if (argument == L"--rect" && hasValue) {
            const std::optional<RECT> frame = docview::parseRect(arguments[++index]);
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

}  // namespace quillane::browserview
