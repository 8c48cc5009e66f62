#pragma once
// The item title as a person reads it. The search service sends the title as a JSON string
// that carries transport escapes (\" \/ \uXXXX), the highlight markup of the platform's web
// page (<span class=H>...</span>) and HTML entities; none of them is part of the title.
// Texts are GBK.
#include <string>
#include <string_view>

namespace quillane {

// The GBK form of one Unicode character (never a surrogate, never above U+10FFFF); empty
// when it has none. Supplied by the caller, so that this module needs no code-page tables.
using CodePointToGbk = std::string (*)(char32_t codePoint);

// rawValue is the title's JSON value as cut out of the (GBK) reply, its enclosing double
// quotes included when it is a string. The result is the readable title between double
// quotes: JSON escapes undone (\n, \t and other control characters as a blank, \uXXXX and
// surrogate pairs through toGbk, "?" for a character without a GBK form), HTML tags removed
// (a "<" followed by a letter, "/" or "!", up to the next ">"), the entities &amp; &lt; &gt;
// &quot; &#N; &#xH; undone, runs of blanks collapsed to one and blanks at either end dropped.
// Any other "<" or ">" stays.
std::string readableTitle(std::string_view rawValue, CodePointToGbk toGbk);

// The same reading without the double quotes around the result: for the other values of a
// reply that are shown or passed on as text.
std::string readableValue(std::string_view rawValue, CodePointToGbk toGbk);

// The value of the first key named exactly key (the quotes around the name are part of the
// match, so "taoToken" is never read out of "couponLinkTaoToken"), read as readableValue
// reads it: a string up to its closing quote, anything else (a number, null) up to the next
// comma or closing brace. Empty when the key is missing.
std::string readableValueOf(std::string_view json, std::string_view key, CodePointToGbk toGbk);

}  // namespace quillane
