// Texts that name an item only through where they lead, pasted into the real quillane.exe:
// the marketplace app's share text with its short link, another member's affiliate link,
// and links that lead nowhere. What reached the simulator shows each hop.
#include <gtest/gtest.h>

#include <memory>

#include "tests/support/member_texts.h"
#include "tests/support/platform_session.h"

namespace quillane::test {

namespace {

constexpr const char* kFound = "\"ABC\"的返利是12.5元！";

class LinkedItemTest : public ::testing::Test {
protected:
    void SetUp() override {
        session_ = std::make_unique<PlatformSession>();
        ASSERT_TRUE(session_->ready()) << "simulator, login or quillane.exe did not start";
        ASSERT_TRUE(sim().set({{"title", "ABC"}, {"commission", "12.5"}}));
        ASSERT_EQ(session_->harvest().text, kHarvestSuccess);
        ASSERT_TRUE(sim().clearLog());
    }

    PlatformSim& sim() { return session_->sim(); }

    // The requests that were no search: the hops the lookup made to find the item.
    std::vector<SimRequest> hops() {
        std::vector<SimRequest> found;
        for (const SimRequest& request : sim().requests()) {
            if (request.path() != kSearchPath) {
                found.push_back(request);
            }
        }
        return found;
    }
    std::string searchedId() {
        const auto searches = sim().requestsTo(kSearchPath);
        if (searches.size() != 1) {
            return std::to_string(searches.size()) + " searches";
        }
        const std::string q = searches[0].queryValue("q").value_or("");
        return q.substr(q.rfind("%3D") + 3);
    }
    static void expectNoSession(const SimRequest& hop) {
        EXPECT_EQ(hop.cookieHeader().find("cookie2="), std::string::npos) << "the session went to " << hop.target();
    }

    std::unique_ptr<PlatformSession> session_;
};

TEST_F(LinkedItemTest, ShareTextFindsItsItemThroughTheShortLinkPage) {
    const std::string shortLink = sim().otherUrl("/h.5zxz3j69cN5go4k?tk=XUymWKIqxIz");
    session_->pasteItemText("【淘宝】" + shortLink + " MF6563 「CONVERSE 匡威 经典款 帆布鞋」\r\n点击链接直接打开 或者 淘宝搜索直接打开");
    EXPECT_EQ(session_->status(), kFound);
    EXPECT_EQ(searchedId(), "20496648200");
    // The page's script names the item's mobile page, whose address names the id: one fetch.
    const auto requests = hops();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].target(), "/h.5zxz3j69cN5go4k?tk=XUymWKIqxIz");
    expectNoSession(requests[0]);
}

TEST_F(LinkedItemTest, AnotherMembersAffiliateLinkLeadsToTheItemThroughTheJumpPage) {
    session_->pasteItemText(sim().otherUrl("/t?e=m%3D2%26s%3DAbC123%26i%3D623174277353"));
    EXPECT_EQ(session_->status(), kFound);
    EXPECT_EQ(searchedId(), "623174277353");
    // 302 to the jump page, the jump page, then the link again from the jump page, whose 302
    // names the Tmall page: that page is not fetched.
    const auto requests = hops();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].path(), "/t");
    EXPECT_EQ(requests[1].path(), "/t_js");
    EXPECT_EQ(requests[2].target(), "/t?e=m%3D2%26s%3DAbC123%26i%3D623174277353&ref=&et=Xq3Pd8Lk");
    EXPECT_EQ(requests[2].header("Referer").value_or(""), sim().otherUrl(requests[1].target()));
    for (const SimRequest& hop : requests) {
        expectNoSession(hop);
    }
}

struct DeadEndCase {
    const char* label;
    const char* shortLink;
    std::string handOff;  // empty: the simulator does not know the link
    std::size_t requests;
};

TEST_F(LinkedItemTest, LinksThatLeadNowhereEndInTheFailureText) {
    const DeadEndCase cases[] = {
        {"a dead short link", "/h.deadLink00", "", 1},
        {"a short link that hands off to itself", "/h.loopLink00", "/h.loopLink00", 5},
        {"a short link that hands off to a file", "/h.fileLink00", "file:///C:/windows/win.ini", 1},
    };
    for (const DeadEndCase& c : cases) {
        SCOPED_TRACE(c.label);
        if (!c.handOff.empty()) {
            ASSERT_TRUE(sim().set({{"shortLink", c.shortLink}, {"to", c.handOff}}));
        }
        ASSERT_TRUE(sim().clearLog());
        session_->pasteItemText(std::string("【淘宝】") + sim().otherUrl(c.shortLink) + " 「帆布鞋」");
        EXPECT_EQ(session_->status(), kLookupFailure);
        EXPECT_EQ(searchedId(), "");
        const auto requests = hops();
        EXPECT_EQ(requests.size(), c.requests);
        for (const SimRequest& hop : requests) {
            EXPECT_EQ(hop.path(), c.shortLink);
        }
    }
}

}  // namespace
}  // namespace quillane::test
