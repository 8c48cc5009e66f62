#pragma once
// What a browser's address bar shows, read as the page's address. Browsers leave out the
// scheme (and sometimes "www."), and while the member types the bar holds search words
// instead: only a text shaped like host[:port][/path] or a full http(s) address counts.
#include <optional>
#include <string>
#include <string_view>

namespace quillane {

// The full address the bar's text stands for (GBK), "https://" put in front when it names no
// scheme; nothing when the text does not read as a web address.
std::optional<std::string> addressFromAddressBar(std::string_view text);

}  // namespace quillane
