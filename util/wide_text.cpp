#include "util/wide_text.h"

#include <windows.h>

#include <climits>

namespace quillane {
namespace {

constexpr UINT kGbkCodePage = 936;

}  // namespace

std::wstring gbkToWide(std::string_view gbk) {
    if (gbk.empty() || gbk.size() > INT_MAX) {
        return {};
    }
    const int length = static_cast<int>(gbk.size());
    const int units = MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), length, nullptr, 0);
    if (units <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), length, wide.data(), units);
    return wide;
}

std::string wideToGbk(std::wstring_view wide) {
    if (wide.empty() || wide.size() > INT_MAX) {
        return {};
    }
    const int length = static_cast<int>(wide.size());
    const int bytes = WideCharToMultiByte(kGbkCodePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return {};
    }
    std::string gbk(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(kGbkCodePage, 0, wide.data(), length, gbk.data(), bytes, nullptr, nullptr);
    return gbk;
}

}  // namespace quillane
