#pragma once
// The program's texts are GBK (code page 936); the window system, COM and the clipboard
// speak UTF-16. These convert at those boundaries with code page 936 named explicitly, so
// the result does not depend on the system's ANSI code page.
#include <string>
#include <string_view>

namespace quillane {

std::wstring gbkToWide(std::string_view gbk);
std::string wideToGbk(std::wstring_view wide);

}  // namespace quillane
