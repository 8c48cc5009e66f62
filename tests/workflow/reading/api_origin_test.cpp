#include <gtest/gtest.h>

#include "workflow/reading/api_origin.h"

namespace quillane {
namespace {

// Plain HTTP carries the member's session in clear: only this machine's loopback may be
// asked that way, and only when the deployment says so.
TEST(ApiOrigin, PlainHttpOnlyForALoopbackHostThatAsksForIt) {
    struct Case {
        const char* host;
        const char* scheme;
        const char* origin;
    };
    const Case cases[] = {
        {"pub.alimama.com", "", "https://pub.alimama.com"},
        {"pub.alimama.com", "http", "https://pub.alimama.com"},
        {"localhost:8443", "", "https://localhost:8443"},
        {"localhost:8080", "http", "http://localhost:8080"},
        {"LocalHost:8080", "HTTP", "http://LocalHost:8080"},
        {"127.0.0.1:80", "http", "http://127.0.0.1:80"},
        {"127.255.3.9", "http", "http://127.255.3.9"},
        {"localhost", "ftp", "https://localhost"},
        {"localhost", "http ", "https://localhost"},
        // Names that only look like the loopback reach other machines.
        {"localhost.evil.example:80", "http", "https://localhost.evil.example:80"},
        {"127.0.0.1.evil.example", "http", "https://127.0.0.1.evil.example"},
        {"evil.example/127.0.0.1", "http", "https://evil.example/127.0.0.1"},
        {"localhost@evil.example", "http", "https://localhost@evil.example"},
        {"localhost:80@evil.example", "http", "https://localhost:80@evil.example"},
        {"127.0.0.1:80/@evil.example", "http", "https://127.0.0.1:80/@evil.example"},
        {"localhost:", "http", "https://localhost:"},
        {"127.0.0.256", "http", "https://127.0.0.256"},
        {"127.0.1", "http", "https://127.0.1"},
        {"127.0.0.01x", "http", "https://127.0.0.01x"},
        {"128.0.0.1", "http", "https://128.0.0.1"},
        {"10.0.0.1:80", "http", "https://10.0.0.1:80"},
        {"", "http", "https://"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(apiOrigin(c.host, c.scheme), c.origin) << c.host << " " << c.scheme;
    }
}

// The publisher's notice reaches the member's eyes and its site the member's browser.
TEST(PublisherAddress, HttpsAndLoopbackStayPlainHttpElsewhereIsAskedOverHttpsOtherSchemesAreNone) {
    struct Case {
        const char* address;
        const char* used;
    };
    const Case cases[] = {
        {"https://quillane.github.io/notice.html", "https://quillane.github.io/notice.html"},
        {"HTTPS://quillane.github.io/", "HTTPS://quillane.github.io/"},
        {"http://quillane.github.io/notice.html", "https://quillane.github.io/notice.html"},
        {"Http://quillane.github.io", "https://quillane.github.io"},
        {"http://127.0.0.1:8080/notice.html", "http://127.0.0.1:8080/notice.html"},
        {"http://localhost/site/?from=quillane", "http://localhost/site/?from=quillane"},
        // Loopback only in the path, the query or the user information: another machine.
        {"http://evil.example/127.0.0.1", "https://evil.example/127.0.0.1"},
        {"http://evil.example?localhost", "https://evil.example?localhost"},
        {"http://localhost:80@evil.example/", "https://localhost:80@evil.example/"},
        {"http://localhost.evil.example/", "https://localhost.evil.example/"},
        {"ftp://quillane.github.io/notice.html", ""},
        {"file:///C:/notice.html", ""},
        {"quillane.github.io/notice.html", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(publisherAddress(c.address), c.used) << c.address;
    }
}

}  // namespace
}  // namespace quillane
