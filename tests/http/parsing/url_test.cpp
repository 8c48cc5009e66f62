#include <gtest/gtest.h>

#include <string>

#include "http/parsing/url.h"

namespace quillane {
namespace {

struct HostCase {
    std::string address;
    bool lastTwoLabels;
    bool keepPort;
    std::string host;
};

TEST(UrlHost, CutsTheLowerCaseHost) {
    const HostCase cases[] = {
        {"HTTP://Shop.Example.COM:8080/A?b=1", false, false, "shop.example.com"},
        {"HTTP://Shop.Example.COM:8080/A?b=1", false, true, "shop.example.com:8080"},
        {"http://shop.example.com/x", true, false, "example.com"},
        {"http://a.shop.example.com:81/x", true, true, "example.com:81"},
        {"http://localhost/x", true, false, "localhost"},
        {"shop.example.com/item.htm", false, false, "shop.example.com"},
        // "http://" anywhere means no prefix is added, and the host is cut after it.
        {"shop.example.com/?r=http://example.org/", false, false, "example.org"},
        {"http://h?x=1", false, false, "h?x=1"},
        {"http://127.0.0.1:8080/x", false, false, "127.0.0.1"},
        {"127.0.0.1:8080", false, true, "127.0.0.1:8080"},
        {"", false, false, ""},
        {"http:///x", false, false, ""},
        {"http://\xD6\xD0.cn/", false, false, "\xD6\xD0.cn"},
    };
    for (const HostCase& c : cases) {
        EXPECT_EQ(urlHost(c.address, c.lastTwoLabels, c.keepPort), c.host)
            << c.address << " lastTwoLabels=" << c.lastTwoLabels << " keepPort=" << c.keepPort;
    }
}

struct PortCase {
    std::string address;
    int port;
};

TEST(UrlPort, ReadsThePortOrTheSchemeDefault) {
    const PortCase cases[] = {
        {"http://h:8080/x", 8080},
        {"https://h/x", 443},
        {"HTTPS://h/x", 443},
        {"h/x", 80},
        {"", 80},
        // Only the leading digits after the last colon count.
        {"http://h:8080x/", 8080},
        {"http://h:80?x=1", 80},
        {"http://h:00080/", 80},
        {"http://h:/x", 0},
        {"http://h:x/", 0},
        // Numbers past the port range never wrap round into a valid port.
        {"http://h:65535/", 65535},
        {"http://h:65536/", 65536},
        {"http://h:99999/", 65536},
        {"http://h:4294967376/", 65536},
    };
    for (const PortCase& c : cases) {
        EXPECT_EQ(urlPort(c.address), c.port) << c.address;
    }
}

struct PathCase {
    std::string address;
    std::string path;
};

TEST(UrlPath, KeepsEverythingFromTheSlashAfterTheHost) {
    const PathCase cases[] = {
        {"http://Host/A/B?c=1", "/A/B?c=1"},
        {"http://host", "/"},
        {"http://h?x=1", "/"},
        {"Shop.Example.COM/Item.htm?ID=1#Top", "/Item.htm?ID=1#Top"},
        {"http://h/x?u=http://g/y", "/x?u=http://g/y"},
        {"", "/"},
        // Hosts that also occur inside the scheme: the path still begins after the host.
        {"HTTPS://PS:8443/Q", "/Q"},
        {"http://http/x", "/x"},
        {"http:///x", "/x"},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(urlPath(c.address), c.path) << c.address;
    }
}

struct HeaderCase {
    std::string line;
    std::string value;
};

// Only http(s) is followed; a Location with a scheme of its own is not, a relative one is.
TEST(UrlScheme, WebAddressesAndOtherSchemes) {
    const struct {
        const char* text;
        bool web;
        bool otherScheme;
    } cases[] = {
        {"http://a.b/", true, false},
        {"HTTPS://a.b/", true, false},
        {"https:/a.b/", false, true},
        {"about:blank", false, true},
        {"chrome://newtab/", false, true},
        {"file:///C:/windows/win.ini?id=37424802695", false, true},
        {"javascript:alert(1)", false, true},
        {"/x?y=a:b", false, false},
        {"x?y=a:b", false, false},
        {":no-scheme", false, false},
        {"a b:c", false, false},
        {"", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(quillane::isWebAddress(c.text), c.web);
        EXPECT_EQ(quillane::namesOtherScheme(c.text), c.otherScheme);
    }
}

TEST(HeaderValue, TakesTheTrimmedTextAfterTheFirstColon) {
    const HeaderCase cases[] = {
        {"Location: http://h2/x", "http://h2/x"},
        {"X-Empty:", ""},
        {"no colon here", ""},
        {"", ""},
        {"Content-Type:   text/html ; charset=utf-8  ", "text/html ; charset=utf-8"},
        {":", ""},
        {"A:\tb", "\tb"},
        {std::string("A: \0b ", 6), std::string("\0b", 2)},
    };
    for (const HeaderCase& c : cases) {
        EXPECT_EQ(headerValue(c.line), c.value) << c.line;
    }
}

}  // namespace
}  // namespace quillane
