#pragma once
// Cutting values out of texts between fixed markers: the only way the program reads replies,
// cookie texts, headers and addresses. Texts are GBK bytes; positions are 1-based byte positions.
#include <string>
#include <string_view>

namespace quillane {

// The text between the first start marker (searched from startPosition) and the next end
// marker after it; empty when either is missing. The quote placeholder "#引号" inside a
// marker stands for one double quote. Letters compare without regard to case by default.
std::string textBetween(std::string_view subject, std::string_view startMarker, std::string_view endMarker,
                        int startPosition = 1, bool caseSensitive = false);

// Everything after the last occurrence of marker; empty when it is missing or ends the subject.
std::string textAfterLast(std::string_view subject, std::string_view marker, bool caseInsensitive = false);

}  // namespace quillane
