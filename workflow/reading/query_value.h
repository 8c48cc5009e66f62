#pragma once
// Values inserted into the platform's query strings.
#include <string>
#include <string_view>

namespace quillane {

// Percent-encodes every byte except ASCII letters, digits and "-._~", so that a value cut
// from a reply or a page can never add or override a query key. Well-formed ids, tokens and
// timestamps go out unchanged.
std::string queryValue(std::string_view value);

}  // namespace quillane
