// Resolving an address hop by hop against the scripted server: which redirects and hand-offs
// are followed, with which Referer, and where the requests stop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness/scripted_server.h"
#include "workflow/item_resolver.h"

namespace quillane {
namespace {

using test::httpResponse;
using test::ScriptedServer;
using test::headerOf;
using test::requestLine;

// One reply: a redirect with its status line and Location, or a page with its body. "@" in
// either stands for the server's own "http://127.0.0.1:PORT".
struct Hop {
    std::string statusLine;  // empty: a page
    std::string text;
};

Hop redirect(const std::string& statusLine, const std::string& location) {
    return {statusLine, location};
}

Hop page(const std::string& body) {
    return {"", body};
}

struct HopCase {
    const char* label;
    std::vector<Hop> replies;
    std::string itemId;
    std::vector<std::string> requestLines;  // the paths asked for, in order
};

std::string reply(const Hop& hop, const ScriptedServer& server) {
    std::string text = hop.text;
    const std::string origin = server.address("");
    for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + origin.size())) {
        text.replace(at, 1, origin);
    }
    if (hop.statusLine.empty()) {
        return httpResponse("HTTP/1.1 200 OK", "Content-Type: text/html\r\n", text);
    }
    return httpResponse(hop.statusLine, "Location: " + text + "\r\n", "<html>moved</html>");
}

TEST(ItemResolver, FollowsRedirectsAndHandOffsOneRequestAtATime) {
    const std::string itemDiv = "<div data-itemid=\"37424802695\"></div>";
    const HopCase cases[] = {
        {"a redirect to an item page is read, not fetched",
         {redirect("HTTP/1.1 302 Found", "/i20496648200.htm?price=369")}, "20496648200", {"/start"}},
        {"301 Moved is judged here, not followed by the engine's rule",
         {redirect("HTTP/1.1 301 Moved Permanently", "@/next"), page(itemDiv)}, "37424802695", {"/start", "/next"}},
        {"a relative Location",
         {redirect("HTTP/1.1 307 Temporary Redirect", "next?a=1#f"), page(itemDiv)}, "37424802695", {"/start", "/next?a=1"}},
        {"a redirect to file: is not followed", {redirect("HTTP/1.1 302 Found", "file:///C:/windows/win.ini?id=37424802695")}, "",
         {"/start"}},
        {"a hand-off to javascript: is not followed", {page("var url = 'javascript:location=\"@/i20496648200.htm\"';")}, "",
         {"/start"}},
        {"a dead short link", {page("var status = \"false\";\nvar url = '';\nvar invalidUrl = \"@/scanError.htm\";")}, "",
         {"/start"}},
        {"a page without an item or a hand-off", {page("<html>sold out</html>")}, "", {"/start"}},
        {"the jump page's twice-escaped address",
         {page("var real_jump_address = \"@/t?e=1&amp;amp;ref=&amp;et=2\";"), page(itemDiv)}, "37424802695",
         {"/start", "/t?e=1&ref=&et=2"}},
        {"five requests at most",
         {redirect("HTTP/1.1 302 Found", "/2"), redirect("HTTP/1.1 302 Found", "/3"), redirect("HTTP/1.1 302 Found", "/4"),
          redirect("HTTP/1.1 302 Found", "/5"), redirect("HTTP/1.1 302 Found", "/6"), page(itemDiv)},
         "", {"/start", "/2", "/3", "/4", "/5"}},
    };
    for (const HopCase& c : cases) {
        SCOPED_TRACE(c.label);
        ScriptedServer server;
        ASSERT_TRUE(server.listening());
        for (const Hop& hop : c.replies) {
            server.addReply(reply(hop, server));
        }
        EXPECT_EQ(resolveItemAddress(server.address("/start")), c.itemId);
        std::vector<std::string> lines;
        for (const std::string& request : server.requests()) {
            lines.push_back(requestLine(request));
        }
        std::vector<std::string> expected;
        for (const std::string& path : c.requestLines) {
            expected.push_back("GET " + path + " HTTP/1.1");
        }
        EXPECT_EQ(lines, expected);
    }
}

TEST(ItemResolver, TheAddressOfAPageThatHandedOffIsTheNextReferer) {
    ScriptedServer server;
    server.addReply(reply(page("<script>var url = '@/landing?x=1&amp;y=2';</script>"), server));
    server.addReply(reply(redirect("HTTP/1.1 302 Found", "/back"), server));
    server.addReply(reply(page("<div itemid=\"1006331369273\"></div>"), server));
    EXPECT_EQ(resolveItemAddress(server.address("/h.5zxz3j69cN5go4k?tk=XUymWKIqxIz")), "1006331369273");
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(headerOf(requests[1], "Referer"), server.address("/h.5zxz3j69cN5go4k?tk=XUymWKIqxIz"));
    // After a redirect, no page handed off: the request names itself, as every plain fetch does.
    EXPECT_EQ(headerOf(requests[2], "Referer"), server.address("/back"));
}

}  // namespace
}  // namespace quillane
