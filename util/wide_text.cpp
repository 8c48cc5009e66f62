#include "util/wide_text.h"

#include <windows.h>

#include <climits>

namespace quillane {

std::wstring toWide(std::string_view bytes, unsigned codePage) {
    if (bytes.empty() || bytes.size() > INT_MAX) {
        return {};
    }
    const int length = static_cast<int>(bytes.size());
    const int units = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (units <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    if (MultiByteToWideChar(codePage, 0, bytes.data(), length, wide.data(), units) != units) {
        return {};
    }
    return wide;
}

std::string fromWide(std::wstring_view wide, unsigned codePage, unsigned long flags) {
    if (wide.empty() || wide.size() > INT_MAX) {
        return {};
    }
    const int length = static_cast<int>(wide.size());
    const int bytes = WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(bytes), '\0');
    if (WideCharToMultiByte(codePage, flags, wide.data(), length, text.data(), bytes, nullptr, nullptr) != bytes) {
        return {};
    }
    return text;
}

std::string codePointToGbk(char32_t codePoint) {
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
        return {};
    }
    // Code page 936 holds no character beyond the basic plane: one "?" for the character, not
    // one for each half of its surrogate pair.
    if (codePoint > 0xFFFF) {
        return codePoint <= 0x10FFFF ? "?" : std::string();
    }
    return wideToGbk(std::wstring(1, static_cast<wchar_t>(codePoint)));
}

}  // namespace quillane
