#pragma once
// The one conversion between code pages and UTF-16. The program's texts are GBK (code page
// 936); the window system, COM and the clipboard speak UTF-16; replies arrive in UTF-8. Each
// conversion names its code page explicitly, so the result does not depend on the system's
// ANSI code page, and sizes its output with a first call.
#include <string>
#include <string_view>

namespace quillane {

inline constexpr unsigned kGbkCodePage = 936;
inline constexpr unsigned kUtf8CodePage = 65001;  // CP_UTF8

// Empty when the text is empty, too long for the system's calls, or a pass fails.
// Malformed input is replaced by the converter, not refused.
std::wstring toWide(std::string_view bytes, unsigned codePage);
// flags: WideCharToMultiByte's (0, or WC_COMPOSITECHECK for GBK).
std::string fromWide(std::wstring_view wide, unsigned codePage, unsigned long flags = 0);

inline std::wstring gbkToWide(std::string_view gbk) { return toWide(gbk, kGbkCodePage); }
inline std::string wideToGbk(std::wstring_view wide) { return fromWide(wide, kGbkCodePage); }
inline std::string gbkToUtf8(std::string_view gbk) { return fromWide(gbkToWide(gbk), kUtf8CodePage); }
// One Unicode character in GBK; "?" for one that code page 936 lacks, empty for a surrogate
// or a value above U+10FFFF, which name no character.
std::string codePointToGbk(char32_t codePoint);

}  // namespace quillane
