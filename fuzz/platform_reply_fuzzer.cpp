// Reading the item-search, ad-zone and expired-login replies out of any bytes: nothing read
// may crash or throw, and what is read keeps its form.
// - An item is found only in a reply whose envelope said yes; its commission is empty or a
//   figure; its title holds no control character and no blank at either end.
// - A title of printable ASCII without markup, entities or blanks, escaped as JSON, comes
//   back as itself, and so does a figure sent as a string, if it is read as one.
// - The ad-zone ids read are digits.
// Input: reply 0x1F title 0x1F commission 0x1F more keys of the item
#include <algorithm>
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

bool onlyOf(std::string_view text, std::string_view allowed) {
    return text.find_first_not_of(allowed) == std::string_view::npos;
}

SearchReading checkReading(std::string_view reply) {
    const SearchReading reading = readSearchReply(reply, standInGbk);
    require(reading.successful || !reading.found, "an item only from a success");
    require(onlyOf(reading.commission, "0123456789."), "a commission is a figure");
    const std::string& title = reading.offer.title;
    require(std::none_of(title.begin(), title.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }),
            "a title holds no control character");
    require(title.empty() || (title.front() != ' ' && title.back() != ' '), "a title has no blank at either end");
    const AdzoneIds ids = readAdzoneReply(reply);
    require(onlyOf(ids.siteId, "0123456789") && onlyOf(ids.adzoneId, "0123456789"), "ids are digits");
    isLoginExpiredReply(reply);
    return reading;
}

bool plain(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c > 0x20 && c < 0x7F && c != '<' && c != '&'; });
}

void checkRoundTrip(std::string_view title, std::string_view commission, std::string_view moreKeys) {
    const std::string tail = "}]},\"info\":{\"message\":null,\"ok\":true},\"ok\":true}";
    checkReading("{\"data\":{\"pageList\":[{" + std::string(moreKeys) + tail);
    if (plain(title) && plain(commission)) {
        const SearchReading reading = checkReading("{\"data\":{\"pageList\":[{\"title\":\"" + jsonEscaped(title) +
                                                   "\",\"calCommission\":\"" + jsonEscaped(commission) + "\"" + tail);
        require(reading.found && reading.offer.title == title, "a plain title comes back as itself");
        require(reading.commission.empty() || reading.commission == commission, "a figure comes back as sent");
    }
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
