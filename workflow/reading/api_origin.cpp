#include "workflow/reading/api_origin.h"

#include "util/text/ascii.h"

namespace quillane {
namespace {

bool isDecimalPart(std::string_view part) {
    if (part.empty() || part.size() > 3 || part.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    int value = 0;
    for (const char digit : part) {
        value = value * 10 + (digit - '0');
    }
    return value <= 255;
}

bool isLoopbackAddress(std::string_view host) {
    if (!host.starts_with("127.")) {
        return false;
    }
    int parts = 0;
    while (true) {
        const std::size_t dot = host.find('.');
        if (!isDecimalPart(host.substr(0, dot))) {
            return false;
        }
        ++parts;
        if (dot == std::string_view::npos) {
            return parts == 4;
        }
        host.remove_prefix(dot + 1);
    }
}

}  // namespace

bool isLoopbackHost(std::string_view hostAndPort) {
    const std::size_t colon = hostAndPort.find(':');
    // Only digits may follow the colon: "localhost:80@evil.example" names evil.example, with
    // "localhost" and "80" as its user information.
    if (colon != std::string_view::npos) {
        const std::string_view port = hostAndPort.substr(colon + 1);
        if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string_view::npos) {
            return false;
        }
    }
    const std::string host = lowerAscii(hostAndPort.substr(0, colon));
    return host == "localhost" || isLoopbackAddress(host);
}

std::string publisherAddress(std::string_view address) {
    constexpr std::string_view kHttp = "http://";
    constexpr std::string_view kHttps = "https://";
    const std::string scheme = lowerAscii(address.substr(0, kHttps.size()));
    if (scheme == kHttps) {
        return std::string(address);
    }
    if (!scheme.starts_with(kHttp)) {
        return {};
    }
    const std::string_view rest = address.substr(kHttp.size());
    const std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
    if (isLoopbackHost(authority)) {
        return std::string(address);
    }
    return std::string(kHttps).append(rest);
}

std::string apiOrigin(std::string_view apiHost, std::string_view scheme) {
    const bool plain = lowerAscii(scheme) == "http" && isLoopbackHost(apiHost);
    return (plain ? "http://" : "https://") + std::string(apiHost);
}

}  // namespace quillane
