#include "http/url.h"

#include <cctype>

#include "util/text.h"

namespace quillane {
namespace {

std::string lowerAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return result;
}

std::string_view trimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

bool startsHttps(std::string_view address) {
    return lowerAscii(address.substr(0, 5)) == "https";
}

}  // namespace

std::string urlHost(std::string_view address, bool lastTwoLabels, bool keepPort) {
    std::string text = lowerAscii(address);
    if (text.empty() || text.back() != '/') {
        text.push_back('/');
    }
    std::string host;
    if (text.rfind("https://", 0) == 0) {
        host = textBetween(text, "https://", "/");
    } else {
        if (text.find("http://") == std::string::npos) {
            text.insert(0, "http://");
        }
        host = textBetween(text, "http://", "/");
    }
    if (lastTwoLabels) {
        const std::size_t lastDot = host.rfind('.');
        if (lastDot != std::string::npos) {
            const std::size_t previousDot = host.rfind('.', lastDot == 0 ? 0 : lastDot - 1);
            if (previousDot != std::string::npos && previousDot < lastDot) {
                host = host.substr(previousDot + 1);
            }
        }
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
        return startsHttps(address) ? 443 : 80;
    }
    // The leading digits after the colon; none gives 0. Values past the port range are
    // capped rather than overflowing.
    long value = 0;
    for (std::size_t i = colon + 1; i < host.size() && std::isdigit(static_cast<unsigned char>(host[i])); ++i) {
        value = value * 10 + (host[i] - '0');
        if (value > 65535) {
            value = 65536;
        }
    }
    return static_cast<int>(value);
}

std::string urlPath(std::string_view address) {
    const std::string host = urlHost(address);
    const std::string lowered = lowerAscii(address);
    std::size_t hostAt = host.empty() ? 0 : lowered.find(host);
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

}  // namespace quillane
