#pragma once
// Shallow address and header-line parsing for the request engine.
#include <string>
#include <string_view>

namespace quillane {

std::string urlHost(std::string_view address, bool lastTwoLabels = false, bool keepPort = false);
int urlPort(std::string_view address);
std::string urlPath(std::string_view address);
std::string headerValue(std::string_view line);

}  // namespace quillane
