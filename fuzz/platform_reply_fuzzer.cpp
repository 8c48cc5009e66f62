// Reading the item-search, ad-zone and expired-login replies out of any bytes: nothing read
// may crash or throw, and what is read keeps its form.
// - An item is found only in a reply whose envelope said yes; its commission is empty or a
//   decimal figure; its title holds no control character and no blank at either end.
// - A title of printable ASCII without markup, entities or blanks, escaped as JSON, comes
//   back as itself, and a figure sent as a string comes back as sent.
// - The ad-zone ids read are digits.
// Input: reply 0x1F title 0x1F commission 0x1F more keys of the item
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "workflow/reading/adzone_reply.h"
#include "workflow/reading/login_expiry.h"
#include "workflow/reading/search_reply.h"

namespace quillane::fuzz {
namespace {

std::string standInGbk(char32_t) {
    return "\xB0\xA1";
}

bool allOf(std::string_view text, bool (*holds)(char)) {
    for (const char c : text) {
        if (!holds(c)) {
            return false;
        }
    }
    return true;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isFigureCharacter(char c) {
    return isDigit(c) || c == '.';
}

void checkReading(std::string_view reply) {
    const SearchReading reading = readSearchReply(reply, standInGbk);
    require(reading.successful || !reading.found, "an item only from a success");
    require(allOf(reading.commission, isFigureCharacter), "a commission is a figure");
    const std::string& title = reading.offer.title;
    for (const char c : title) {
        require(static_cast<unsigned char>(c) >= 0x20, "a title holds no control character");
    }
    require(title.empty() || (title.front() != ' ' && title.back() != ' '), "a title has no blank at either end");
    const AdzoneIds ids = readAdzoneReply(reply);
    require(allOf(ids.siteId, isDigit) && allOf(ids.adzoneId, isDigit), "ids are digits");
    isLoginExpiredReply(reply);
}

bool plainTitle(std::string_view text) {
    for (const char c : text) {
        if (c <= 0x20 || c >= 0x7F || c == '<' || c == '&') {
            return false;
        }
    }
    return true;
}

std::string jsonString(std::string_view text) {
    std::string escaped = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            escaped += '\\';
        }
        escaped += c;
    }
    return escaped + "\"";
}

std::string searchReply(const std::string& item) {
    return "{\"data\":{\"pageList\":[{" + item + "}]},\"info\":{\"message\":null,\"ok\":true},\"ok\":true}";
}

void checkRoundTrip(std::string_view title, std::string_view commission, std::string_view moreKeys) {
    checkReading(searchReply(std::string(moreKeys)));
    if (!plainTitle(title) || !plainTitle(commission)) {
        return;
    }
    const SearchReading reading = readSearchReply(
        searchReply("\"title\":" + jsonString(title) + ",\"calCommission\":" + jsonString(commission)), standInGbk);
    require(reading.found && reading.offer.title == title, "a plain title comes back as itself");
    require(reading.commission.empty() || reading.commission == commission, "a figure comes back as sent");
}

}  // namespace
}  // namespace quillane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillane::fuzz;
    const std::string_view input = quillane::fuzz::asText(data, size);
    checkReading(input);
    const auto fields = splitFields(input, 4);
    checkRoundTrip(fields[1], fields[2], fields[3]);
    return 0;
}
