#include "util/cookie_store.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstring>

#include "util/text/cookies.h"
#include "util/text/text.h"

namespace quillane {
namespace {

// The first guess for an answer; a larger answer is read again into the size the store names.
constexpr DWORD kFirstAnswerSize = 3000;

// One answer of the store for address, the empty text when it has none.
std::string storeAnswer(const std::string& address, bool withHttpOnly) {
    std::string buffer(kFirstAnswerSize, '\0');
    // The store can grow between two calls; a few rounds settle it.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = static_cast<DWORD>(buffer.size());
        const BOOL answered = withHttpOnly ? InternetGetCookieExA(address.c_str(), "", buffer.data(), &size,
                                                                  INTERNET_COOKIE_HTTPONLY, nullptr)
                                           : InternetGetCookieA(address.c_str(), "", buffer.data(), &size);
        if (answered) {
            buffer.resize(std::strlen(buffer.c_str()));
            return buffer;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            return {};
        }
        buffer.assign(std::max<std::size_t>(size, buffer.size()) + 1, '\0');
    }
    return {};
}

}  // namespace

std::string storeAddressOf(std::string_view domain) {
    while (domain.starts_with('.')) {
        domain.remove_prefix(1);
    }
    return "https://" + std::string(domain);
}

std::string readStoreCookies(std::string_view domain, std::string_view cookieName) {
    const std::string address = storeAddressOf(domain);
    std::string cookies = storeAnswer(address, false);
    std::string withHttpOnly = storeAnswer(address, true);
    // The answer with HttpOnly cookies is the newer, fuller view: its entries come first.
    mergeCookies(cookies, withHttpOnly);
    if (!cookieName.empty()) {
        cookies = cookieByName(cookies, cookieName);
    }
    return cookies;
}

std::string cookieByName(std::string& cookies, std::string_view name, bool valueOnly) {
    const std::size_t first = cookies.find_first_not_of(' ');
    cookies = first == std::string::npos ? std::string() : cookies.substr(first, cookies.find_last_not_of(' ') - first + 1);
    if (cookies.empty() || cookies.back() != ';') {
        cookies.push_back(';');
    }
    const std::string value = textBetween(cookies, std::string(name) + "=", ";");
    if (valueOnly || value.empty()) {
        return value;
    }
    return std::string(name) + "=" + value;
}

}  // namespace quillane
