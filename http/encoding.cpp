#include "http/encoding.h"

#include <windows.h>

#include <climits>

namespace quillane {
namespace {

constexpr UINT kGbkCodePage = 936;

}  // namespace

std::string utf8ToUtf16(std::string_view utf8) {
    if (utf8.empty() || utf8.size() > INT_MAX) {
        return {};
    }
    const int inputLength = static_cast<int>(utf8.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inputLength, nullptr, 0);
    if (units <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inputLength, wide.data(), units);
    std::string bytes(static_cast<std::size_t>(units) * 2, '\0');
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const unsigned unit = static_cast<unsigned>(wide[i]);
        bytes[2 * i] = static_cast<char>(unit & 0xFF);
        bytes[2 * i + 1] = static_cast<char>((unit >> 8) & 0xFF);
    }
    return bytes;
}

std::string utf8ToGbk(std::string_view utf8) {
    const std::string utf16 = utf8ToUtf16(utf8);
    const int units = static_cast<int>(utf16.size() / 2);
    if (units == 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    for (int i = 0; i < units; ++i) {
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(utf16[2 * i]) |
                                       (static_cast<unsigned char>(utf16[2 * i + 1]) << 8));
    }
    const int size = WideCharToMultiByte(kGbkCodePage, WC_COMPOSITECHECK, wide.data(), units, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return {};
    }
    std::string gbk(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(kGbkCodePage, WC_COMPOSITECHECK, wide.data(), units, gbk.data(), size, nullptr, nullptr);
    return gbk;
}

}  // namespace quillane
