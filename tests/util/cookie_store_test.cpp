// The system cookie store as Wine's WinINet keeps it, seeded by the test itself.
#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <string>

#include "util/cookie_store.h"

namespace quillane {
namespace {

// Session cookies: they live in this process only, so tests cannot see each other's.
void seed(const std::string& domain, const std::string& cookie, bool httpOnly = false) {
    const std::string address = "http://" + domain + "/";
    ASSERT_EQ(InternetSetCookieExA(address.c_str(), nullptr, cookie.c_str(), httpOnly ? INTERNET_COOKIE_HTTPONLY : 0, 0),
              static_cast<DWORD>(COOKIE_STATE_ACCEPT))
        << cookie;
}

TEST(CookieStore, HttpOnlyCookiesJoinThePlainOnes) {
    const std::string domain = "basic.store.quillane.test";
    seed(domain, "a=1");
    seed(domain, "b=2");
    seed(domain, "h=9; HttpOnly", true);
    EXPECT_EQ(readStoreCookies(domain), "a=1; b=2; h=9");
    EXPECT_EQ(readStoreCookies("empty.store.quillane.test"), "");
}

TEST(CookieStore, OneCookieByName) {
    const std::string domain = "named.store.quillane.test";
    seed(domain, "sid=5");
    seed(domain, "id=7");
    seed(domain, "h=9; HttpOnly", true);
    struct Case {
        std::string name;
        std::string result;
    };
    const Case cases[] = {{"h", "h=9"}, {"SID", "SID=5"}, {"c", ""},
                          // The search is not anchored at an entry: "id=" first occurs inside sid=5.
                          {"id", "id=5"}};
    for (const Case& c : cases) {
        EXPECT_EQ(readStoreCookies(domain, c.name), c.result) << c.name;
    }
}

// Answers beyond the first 3000-byte guess come back whole, whichever answer outgrows it.
TEST(CookieStore, LongAnswersComeBackWhole) {
    struct Case {
        std::string domain;
        int plainCookies;
        std::size_t httpOnlyLength;
    };
    const Case cases[] = {{"fits.store.quillane.test", 3, 400}, {"long.store.quillane.test", 6, 100}};
    for (const Case& c : cases) {
        std::string expected;
        for (int i = 0; i < c.plainCookies; ++i) {
            const std::string cookie = std::string("p").append(std::to_string(i)).append("=").append(900, static_cast<char>('a' + i));
            seed(c.domain, cookie);
            expected.append(cookie).append("; ");
        }
        const std::string httpOnly = "h=" + std::string(c.httpOnlyLength, 'h');
        seed(c.domain, httpOnly + "; HttpOnly", true);
        expected.append(httpOnly);
        EXPECT_GT(expected.size(), 3000u);
        EXPECT_EQ(readStoreCookies(c.domain), expected) << c.domain;
    }
}

TEST(CookieByName, SearchesTheTrimmedTextIgnoringCase) {
    struct Case {
        std::string cookies;
        std::string name;
        bool valueOnly;
        std::string result;
        std::string cookiesAfter;
    };
    const Case cases[] = {
        {"a=1; b=2", "b", false, "b=2", "a=1; b=2;"},
        {"a=1; b=2", "B", false, "B=2", "a=1; b=2;"},
        {"  a=1; b=2;  ", "a", true, "1", "a=1; b=2;"},
        {"sid=5; id=7", "id", false, "id=5", "sid=5; id=7;"},
        {"a=; b=2", "a", false, "", "a=; b=2;"},
        {"", "a", false, "", ";"},
    };
    for (const Case& c : cases) {
        std::string cookies = c.cookies;
        EXPECT_EQ(cookieByName(cookies, c.name, c.valueOnly), c.result) << c.cookies << " / " << c.name;
        EXPECT_EQ(cookies, c.cookiesAfter);
    }
}

// The platform's session cookies are Secure: Windows' store hands them only to an https://
// address. Wine's store ignores Secure, so the address is what a test can check.
TEST(CookieStore, StoreIsAskedWithAnHttpsAddress) {
    const std::pair<const char*, const char*> cases[] = {
        {"alimama.com", "https://alimama.com"},
        {".alimama.com", "https://alimama.com"},
        {"localhost", "https://localhost"},
    };
    for (const auto& [domain, address] : cases) {
        EXPECT_EQ(storeAddressOf(domain), address) << domain;
    }
    const std::string domain = "secure.store.quillane.test";
    ASSERT_EQ(InternetSetCookieExA(("https://" + domain + "/").c_str(), nullptr,
                                   "s=1; Secure; SameSite=None; HttpOnly", INTERNET_COOKIE_HTTPONLY, 0),
              static_cast<DWORD>(COOKIE_STATE_ACCEPT));
    EXPECT_EQ(readStoreCookies("." + domain), "s=1");
}

}  // namespace
}  // namespace quillane
