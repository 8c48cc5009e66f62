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
    const bool understood = docview::readArguments(arguments, options.address, [&](const std::wstring& name,
                                                                          const std::wstring* value) {
        if (name == L"--never-fills") {
            options.neverFills = true;
            return 1;
        }
        if (name == L"--silent") {
            options.silent = true;
            return 1;
        }
        if (value == nullptr) {
            return 0;
        }
        if (name == L"--kind") {
            if (*value != L"chromium" && *value != L"firefox") {
                return 0;
            }
            options.chromium = *value == L"chromium";
        } else if (name == L"--bar-name") {
            options.barName = *value;
        } else if (name == L"--wake-delay" || name == L"--extra-elements") {
            const std::optional<long> count = parseCount(*value, 10000000);
            if (!count) {
                return 0;
            }
            if (name == L"--wake-delay") {
                options.wakeDelayMs = static_cast<DWORD>(*count);
            } else {
                options.extraElements = *count;
            }
        } else if (name == L"--rect") {
            const std::optional<RECT> frame = docview::parseRect(*value);
            if (!frame) {
                return 0;
            }
            options.frame = *frame;
        } else {
            return 0;
        }
        return 2;
    });
    return understood ? std::optional<Options>(options) : std::nullopt;
}

}  // namespace quillane::browserview
