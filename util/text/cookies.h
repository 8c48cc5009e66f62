#pragma once
// Cookie texts: name=value entries joined by "; ", the empty text for no cookies.
#include <string>
#include <string_view>

namespace quillane {

// Folds incoming (newer) cookies into existing: newer entries replace older ones of the same
// name, "=deleted" entries vanish, exact repeats are dropped. Both arguments lose their spaces;
// existing receives the merged text, which is also returned.
std::string mergeCookies(std::string& existing, std::string& incoming);

// The name of one cookie entry: the text before its first "=", trimmed of spaces.
std::string cookieName(std::string_view entry);

// Splits text at separator, keeps the first of each identical piece, joins them again.
std::string removeDuplicateEntries(std::string_view text, std::string_view separator);

}  // namespace quillane
