#include "workflow/reading/item_id.h"

#include "util/text/ascii.h"

namespace quillane {
namespace {

constexpr std::string_view kSmallestItemId = "10000000000";
constexpr std::size_t kLongestItemId = 15;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isLetter(char c) {
    return lowerAscii(c) >= 'a' && lowerAscii(c) <= 'z';
}

}  // namespace

bool isPageAddress(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
            return false;
        }
    }
    std::string_view rest = text;
    bool schemeGiven = false;
    for (std::string_view scheme : {std::string_view("http://"), std::string_view("https://")}) {
        if (startsWithIgnoringCase(rest, scheme)) {
            rest.remove_prefix(scheme.size());
            schemeGiven = true;
            break;
        }
    }
    // The host ends where the engine's own reading of an address ends it: at the first slash.
    const std::string_view authority = rest.substr(0, rest.find('/'));
    const std::string_view host = authority.substr(0, authority.find(':'));
    if (host.empty() || authority.find('@') != std::string_view::npos) {
        return false;
    }
    bool dot = false;
    bool letter = false;
    for (char c : host) {
        if (c == ' ' || static_cast<unsigned char>(c) == 0x7F) {
            return false;
        }
        dot = dot || c == '.';
        letter = letter || isLetter(c);
    }
    // Without a scheme, "javascript:alert(1)" or "file:x" would read as a host and a port,
    // and an "http://" further on would be taken for the address's start.
    if (!schemeGiven) {
        return dot && letter && authority.find(':') == std::string_view::npos &&
               text.find("://") == std::string_view::npos;
    }
    return true;
}

bool isItemId(std::string_view value) {
    if (value.size() < kSmallestItemId.size() || value.size() > kLongestItemId) {
        return false;
    }
    for (char c : value) {
        if (!isDigit(c)) {
            return false;
        }
    }
    // Compare values as digit strings, leading zeros aside.
    std::size_t firstSignificant = 0;
    while (firstSignificant < value.size() && value[firstSignificant] == '0') {
        ++firstSignificant;
    }
    const std::string_view significant = value.substr(firstSignificant);
    if (significant.size() != kSmallestItemId.size()) {
        return significant.size() > kSmallestItemId.size();
    }
    return significant > kSmallestItemId;
}

}  // namespace quillane
