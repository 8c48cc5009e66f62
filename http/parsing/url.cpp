#include "http/parsing/url.h"

#include "util/text/ascii.h"
#include "util/text/text.h"

namespace quillane {
namespace {

constexpr std::string_view kHttpPrefix = "http://";
constexpr std::string_view kHttpsPrefix = "https://";

// Ports above the range come out as this value, which no connection can use, instead of
// overflowing while the digits are read.
constexpr int kPastLastPort = 65536;

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Where the host begins in the lower-cased address: after a leading "https://", else after
// the first "http://" anywhere (the one urlHost cuts from), else at the start.
std::size_t hostOffset(std::string_view lowered) {
    if (startsWith(lowered, kHttpsPrefix)) {
        return kHttpsPrefix.size();
    }
    const std::size_t http = lowered.find(kHttpPrefix);
    return http == std::string_view::npos ? 0 : http + kHttpPrefix.size();
}

// "shop.example.com" -> "example.com"; a name without a dot stays as it is.
std::string lastTwoLabelsOf(const std::string& host) {
    const std::size_t lastDot = host.rfind('.');
    if (lastDot == std::string::npos || lastDot == 0) {
        return host;
    }
    const std::size_t previousDot = host.rfind('.', lastDot - 1);
    return previousDot == std::string::npos ? host : host.substr(previousDot + 1);
}

}  // namespace

std::string urlHost(std::string_view address, bool lastTwoLabels, bool keepPort) {
    std::string text = lowerAscii(address);
    if (text.empty() || text.back() != '/') {
        text.push_back('/');
    }
    std::string host;
    if (startsWith(text, kHttpsPrefix)) {
        host = textBetween(text, kHttpsPrefix, "/");
    } else {
        // A bare "host/path" gets a prefix; an address that carries "http://" anywhere (even
        // in its query) is cut after its first occurrence.
        if (text.find(kHttpPrefix) == std::string::npos) {
            text.insert(0, kHttpPrefix);
        }
        host = textBetween(text, kHttpPrefix, "/");
    }
    if (lastTwoLabels) {
        host = lastTwoLabelsOf(host);
    }
    if (keepPort) {
        return host;
    }
    return host.substr(0, host.find(':'));
}

int urlPort(std::string_view address) {
    const std::string host = urlHost(address, false, true);
    const std::size_t colon = host.rfind(':');
    if (colon == std::string::npos) {
        return lowerAscii(address.substr(0, 5)) == "https" ? 443 : 80;
    }
    // Only the leading digits count ("h:80?x=1" is port 80); none at all gives 0.
    int value = 0;
    for (std::size_t i = colon + 1; i < host.size() && host[i] >= '0' && host[i] <= '9'; ++i) {
        value = value * 10 + (host[i] - '0');
        if (value > kPastLastPort) {
            value = kPastLastPort;
        }
    }
    return value;
}

std::string urlPath(std::string_view address) {
    const std::string lowered = lowerAscii(address);
    // The host is searched from where it begins, not from the start of the address: a host
    // such as "h" or "tp" also occurs inside the scheme, and the path would then begin at
    // the scheme's slashes.
    const std::string host = urlHost(address);
    std::size_t hostAt = lowered.find(host, hostOffset(lowered));
    if (hostAt == std::string::npos) {
        hostAt = 0;
    }
    const std::size_t slash = address.find('/', hostAt);
    if (slash == std::string_view::npos) {
        return "/";
    }
    return std::string(address.substr(slash));
}

std::string headerValue(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        return {};
    }
    return std::string(trimSpaces(line.substr(colon + 1)));
}

bool isWebAddress(std::string_view text) {
    return startsWithIgnoringCase(text, "http://") || startsWithIgnoringCase(text, "https://");
}

bool namesOtherScheme(std::string_view location) {
    if (isWebAddress(location)) {
        return false;
    }
    const std::size_t colon = location.find(':');
    if (colon == std::string_view::npos || colon == 0 || location.find_first_of("/?#") < colon) {
        return false;
    }
    for (char c : location.substr(0, colon)) {
        const bool schemeCharacter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                                     c == '+' || c == '-' || c == '.';
        if (!schemeCharacter) {
            return false;
        }
    }
    return true;
}

}  // namespace quillane
