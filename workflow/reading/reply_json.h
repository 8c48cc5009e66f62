#pragma once
// The platform's services answer in JSON, UTF-8, every one in the same envelope:
// {"data":…,"info":{"message":…,"ok":…},"ok":…}. A value is read by its place in the parsed
// document, never by the first occurrence of its key's name: JSON fixes neither the order of
// an object's keys nor the blanks between tokens, and the same name may stand in any object.
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace quillane {

using Json = nlohmann::json;

// The reply parsed, with only the first element of each list kept (no reader looks further);
// a discarded value when it is not one JSON text in UTF-8 (a login page, a cut-off body, a
// zero byte, a byte-order mark, another encoding). Never throws.
Json parseReply(std::string_view utf8);

// The envelope says yes: "ok" is true, and so is its "info"'s "ok", with no message.
bool envelopeSucceeded(const Json& reply);

// The member named key of an object; nullptr when value is none, no object, or lacks it.
const Json* memberOf(const Json* value, const char* key);

// The first element of a list; nullptr when value is none, no list, or an empty one.
const Json* firstOf(const Json* value);

// The UTF-8 text of a string value; empty for anything else.
std::string stringOf(const Json* value);

// A figure of money as decimal text: a number that is not negative, or a string that holds
// one ("8.80" stays as sent). Empty for null, other strings, or a number that is no plain
// decimal (an exponent, a negative).
std::string figureOf(const Json* value);

// An id as its digits: a whole number, or a string of digits. Empty otherwise; a number too
// big for 64 bits arrives as a floating-point value, which would have lost digits, and is
// refused too.
std::string idOf(const Json* value);

}  // namespace quillane
