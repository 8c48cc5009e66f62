// urlHost, urlPort, urlPath and headerValue. Any text: the results keep their shape
// (lower-case host without slash, port in range, path a suffix of the address, trimmed
// header value). An address built from parts: each part comes back exactly.
// Input: one scheme byte, then host 0x1F port digits 0x1F path; the text after the scheme
// byte is also used whole as an address and as a header line.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "http/parsing/url.h"

namespace quillane::fuzz {
namespace {

constexpr int kPastLastPort = 65536;

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// The leading digits as a port, anything past the range as 65536.
int leadingDigitsPort(std::string_view text) {
    std::string_view digits = text.substr(0, std::min(text.find_first_not_of("0123456789"), text.size()));
    digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size()));
    if (digits.size() > 5) {
        return kPastLastPort;
    }
    return digits.empty() ? 0 : std::min(std::stoi(std::string(digits)), kPastLastPort);
}

int defaultPort(std::string_view address) {
    return lowerAscii(address.substr(0, 5)) == "https" ? 443 : 80;
}

void checkAnyAddress(std::string_view address) {
    const std::string host = urlHost(address);
    const std::string hostAndPort = urlHost(address, false, true);
    require(host == lowerAscii(host), "the host is lower case");
    require(hostAndPort.find('/') == std::string::npos, "the host ends at a slash");
    require(host == hostAndPort.substr(0, hostAndPort.find(':')), "the host is the host-and-port before its colon");
    require(urlHost(lowerAscii(address)) == host, "the host does not depend on the address's case");

    const std::string lastTwo = urlHost(address, true, true);
    require(endsWith(hostAndPort, lastTwo), "the last two labels end the host");
    require(std::count(lastTwo.begin(), lastTwo.end(), '.') == std::min<std::ptrdiff_t>(
                std::count(hostAndPort.begin(), hostAndPort.end(), '.'), 1),
            "the last two labels hold one dot when the host has any");
    require(urlHost(address, true, false) == lastTwo.substr(0, lastTwo.find(':')),
            "the last two labels lose their port like the host");

    const int port = urlPort(address);
    const std::size_t colon = hostAndPort.rfind(':');
    require(port == (colon == std::string::npos ? defaultPort(address)
                                                : leadingDigitsPort(std::string_view(hostAndPort).substr(colon + 1))),
            "the port is the digits after the last colon, else the scheme's");

    const std::string path = urlPath(address);
    require(path == "/" || (startsWith(path, "/") && endsWith(address, path)),
            "the path is \"/\" or the end of the address from a slash on");
}

void checkHeaderLine(std::string_view line) {
    const std::string value = headerValue(line);
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        require(value.empty(), "a line without a colon has no value");
        return;
    }
    require(value.empty() || (value.front() != ' ' && value.back() != ' '), "the value is trimmed");
    const std::string_view after = line.substr(colon + 1);
    const std::size_t at = after.find_first_not_of(' ');
    if (at == std::string_view::npos) {
        require(value.empty(), "a value of spaces only is empty");
        return;
    }
    require(after.substr(at, value.size()) == value &&
                after.substr(at + value.size()).find_first_not_of(' ') == std::string_view::npos,
            "the value is the text after the first colon between its outer spaces");
}

// "http://" at the start, or no scheme at all: the host, port and path put together come
// back out exactly.
void checkBuiltAddress(std::uint8_t schemeByte, std::string_view host, std::string_view portDigits,
                       std::string_view path) {
    constexpr std::string_view schemes[] = {"", "http://", "https://", "HTTP://"};
    const std::string_view scheme = schemes[schemeByte & 3];
    if (host.empty() || host.find_first_of("/:") != std::string_view::npos || portDigits.size() > 9 ||
        portDigits.find_first_not_of("0123456789") != std::string_view::npos || (!path.empty() && path[0] != '/')) {
        return;
    }
    std::string address(scheme);
    address.append(host);
    if (!portDigits.empty()) {
        address.append(":").append(portDigits);
    }
    address.append(path);
    // Without a scheme, an "http://" anywhere in the address is taken as the scheme.
    if (scheme.empty() && lowerAscii(address).find("http://") != std::string::npos) {
        return;
    }

    const std::string lowerHost = lowerAscii(host);
    require(urlHost(address) == lowerHost, "built address: the host comes back");
    require(urlHost(address, false, true) == (portDigits.empty() ? lowerHost : lowerHost + ":" + std::string(portDigits)),
            "built address: the host and port come back");
    require(urlPort(address) == (portDigits.empty() ? defaultPort(address) : leadingDigitsPort(portDigits)),
            "built address: the port comes back");
    require(urlPath(address) == (path.empty() ? std::string("/") : std::string(path)),
            "built address: the path comes back");
}

}  // namespace
}  // namespace quillane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillane::fuzz;
    if (size < 1) {
        return 0;
    }
    const std::string_view text = asText(data + 1, size - 1);
    checkAnyAddress(text);
    checkHeaderLine(text);
    const auto fields = splitFields(text, 3);
    checkBuiltAddress(data[0], fields[0], fields[1], fields[2]);
    return 0;
}
