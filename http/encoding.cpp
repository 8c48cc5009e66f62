#include "http/encoding.h"

#include <windows.h>

#include <climits>

namespace quillane {
namespace {

constexpr UINT kGbkCodePage = 936;

// UTF-8 to UTF-16 units, sized by a first pass. Flags 0: malformed sequences are replaced
// by the converter and do not stop the conversion. Any failed pass gives the empty text.
std::wstring decodeUtf8(std::string_view utf8) {
    if (utf8.empty() || utf8.size() > INT_MAX) {
        return {};
    }
    const int inputLength = static_cast<int>(utf8.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inputLength, nullptr, 0);
    if (units <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    if (MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inputLength, wide.data(), units) != units) {
        return {};
    }
    return wide;
}

}  // namespace

std::string utf8ToUtf16(std::string_view utf8) {
    const std::wstring wide = decodeUtf8(utf8);
    std::string bytes(wide.size() * 2, '\0');
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const unsigned unit = static_cast<unsigned>(wide[i]);
        bytes[2 * i] = static_cast<char>(unit & 0xFF);
        bytes[2 * i + 1] = static_cast<char>((unit >> 8) & 0xFF);
    }
    return bytes;
}

std::string utf8ToGbk(std::string_view utf8) {
    const std::wstring wide = decodeUtf8(utf8);
    if (wide.empty()) {
        return {};
    }
    const int units = static_cast<int>(wide.size());
    // WC_COMPOSITECHECK turns a base letter plus combining mark into the precomposed
    // character where GBK has one; unmappable characters become the code page's default.
    const int size =
        WideCharToMultiByte(kGbkCodePage, WC_COMPOSITECHECK, wide.data(), units, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return {};
    }
    std::string gbk(static_cast<std::size_t>(size), '\0');
    if (WideCharToMultiByte(kGbkCodePage, WC_COMPOSITECHECK, wide.data(), units, gbk.data(), size, nullptr,
                            nullptr) != size) {
        return {};
    }
    return gbk;
}

}  // namespace quillane
