#pragma once
// UTF-8 replies to the program's GBK (code page 936). Byte strings are std::string and may
// hold zero bytes.
#include <string>
#include <string_view>

namespace quillane {

std::string utf8ToGbk(std::string_view utf8);

}  // namespace quillane
