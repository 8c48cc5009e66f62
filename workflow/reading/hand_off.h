#pragma once
// Reading where a page sends its visitor by script rather than by a redirect: the
// marketplace's short-link pages and the affiliate service's jump page.
#include <string>
#include <string_view>

namespace quillane {

// The address the page's script hands off to: the quoted value (single or double quotes) of
// the first "var url = ..." or "var real_jump_address = ...", with "&amp;" undone until none
// is left (the jump page writes its address HTML-escaped, sometimes twice). Empty when the
// page has neither, or hands off to the empty text (a dead short link says var url = '').
std::string handOffAddress(std::string_view page);

// The text with every "&amp;" turned into "&", again and again until none is left, in one
// pass: "&amp;amp;" becomes "&".
std::string withoutAmpEscapes(std::string_view text);

}  // namespace quillane
