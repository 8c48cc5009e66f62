#pragma once
// Shallow address and header-line parsing for the request engine.
#include <string>
#include <string_view>

namespace quillane {

std::string urlHost(std::string_view address, bool lastTwoLabels = false, bool keepPort = false);
int urlPort(std::string_view address);
std::string urlPath(std::string_view address);
std::string headerValue(std::string_view line);
// Whether a text is a web address: it begins with http:// or https://, in any case.
bool isWebAddress(std::string_view text);
// Whether a Location names a scheme of its own ("file:///C:/x", "javascript:..."); a web
// address or a relative one ("/x", "x?y=a:b", taken relative to the address that answered)
// does not.
bool namesOtherScheme(std::string_view location);

}  // namespace quillane
