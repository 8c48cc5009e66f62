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

const wchar_t* frameClassOf(const Options& options) {
    if (!options.frameClass.empty()) {
        return options.frameClass.c_str();
    }
    return options.kind == Kind::Firefox ? kFirefoxClass : kChromiumFrameClass;
}

const wchar_t* pageClassOf(Kind kind) {
    switch (kind) {
    case Kind::Chromium:
        return kChromiumPageClass;
    case Kind::Firefox:
        return kFirefoxClass;
    case Kind::NoPage:
        break;
    }
    return kNoPageChildClass;
}

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
            if (*value == L"chromium") {
                options.kind = Kind::Chromium;
            } else if (*value == L"firefox") {
                options.kind = Kind::Firefox;
            } else if (*value == L"no-page") {
                options.kind = Kind::NoPage;
            } else {
                return 0;
            }
        } else if (name == L"--frame-class") {
            // A class name is at most 256 characters long.
            if (value->empty() || value->size() > 256) {
                return 0;
            }
            options.frameClass = *value;
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
