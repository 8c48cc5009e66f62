#include "workflow/reading/address_bar_text.h"

#include "http/parsing/url.h"
#include "util/text/ascii.h"

namespace quillane {

namespace {

bool isHostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// host[:port], the host a dotted name or "localhost": search words have no dot, an address
// always has one (or is the machine itself).
bool isHostAndPort(std::string_view authority) {
    const std::size_t colon = authority.find(':');
    const std::string_view host = authority.substr(0, colon);
    if (host.empty() || host.front() == '.' || host.front() == '-' || host.back() == '.') {
        return false;
    }
    for (char c : host) {
        if (!isHostCharacter(c)) {
            return false;
        }
    }
    if (host.find('.') == std::string_view::npos && !equalsIgnoringCase(host, "localhost")) {
        return false;
    }
    if (colon == std::string_view::npos) {
        return true;
    }
    const std::string_view port = authority.substr(colon + 1);
    if (port.empty() || port.size() > 5) {
        return false;
    }
    for (char c : port) {
        if (!isDigit(c)) {
            return false;
        }
    }
    return true;
}

// An address has no blank or control character anywhere; GBK bytes (0x81 and up) pass, as a
// path may show Chinese unescaped.
bool hasNoBlanks(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<std::string> addressFromAddressBar(std::string_view text) {
    text = trimSpaces(text);
    if (text.empty() || !hasNoBlanks(text)) {
        return std::nullopt;
    }
    std::string_view rest = text;
    bool hasScheme = false;
    if (isWebAddress(text)) {
        rest = text.substr(text.find("//") + 2);
        hasScheme = true;
    } else if (text.find("://") != std::string_view::npos) {
        return std::nullopt;  // another scheme (file, ftp, the browser's own pages)
    }
    // Only ASCII ends the host: in GBK no trail byte is one of these three.
    const std::size_t end = rest.find_first_of("/?#");
    if (!isHostAndPort(rest.substr(0, end))) {
        return std::nullopt;
    }
    return hasScheme ? std::string(text) : "https://" + std::string(text);
}

}  // namespace quillane
