#pragma once
// The item title as a person reads it. The search service sends the title with the highlight
// markup of the platform's web page (<span class=H>...</span>) and HTML entities; neither is
// part of the title. The reply's text is UTF-8; what the member sees is GBK.
#include <string>
#include <string_view>

namespace quillane {

// The GBK form of one Unicode character (never a surrogate, never above U+10FFFF); empty
// when it has none. Supplied by the caller, so that this module needs no code-page tables.
using CodePointToGbk = std::string (*)(char32_t codePoint);

// utf8 is a string value of a reply, JSON's escapes already undone by its parser. The result
// is that text in GBK as the member reads it: HTML tags removed (a "<" followed by a letter,
// "/" or "!", up to the next ">"), the entities &amp; &lt; &gt; &quot; &#N; &#xH; undone,
// control characters as blanks, runs of blanks collapsed to one and blanks at either end
// dropped, and "?" for a character without a GBK form or a byte that is no UTF-8. Any other
// "<" or ">" stays.
std::string readableText(std::string_view utf8, CodePointToGbk toGbk);

}  // namespace quillane
