#pragma once
// How a lookup decides whether the text the member gave names its item directly. Pure text
// functions: no Windows header, so that they also build natively for the sanitizer and fuzz
// builds.
#include <string>
#include <string_view>

namespace quillane {

// The run of decimal digits right after the last "id=" of the text (empty when there is none).
std::string itemIdCandidate(std::string_view text);
// A candidate is taken as the item id without fetching the page when it has at least 11
// digits and its value is greater than 10 000 000 000.
bool isDirectItemId(std::string_view candidate);

}  // namespace quillane
