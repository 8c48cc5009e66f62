// The member's session with the real quillane.exe against the simulated platform: the login
// leaves real cookies in the cookie store, the harvest reads them, the link goes to the real
// clipboard.
#include <gtest/gtest.h>

#include "http/request_engine.h"
#include "sim/platform_sim/defaults.h"
#include "tests/support/harvested_session.h"
#include "tests/support/sim_requests.h"
#include "util/cookie_store.h"

namespace quillane::test {
namespace {

constexpr const char* kItemId = "12345678901";

class HarvestAndLinkTest : public HarvestedSessionTest {
protected:
    void SetUp() override {}  // each case starts as it needs

    std::string itemAddress() { return sim().otherUrl(std::string("/item.htm?id=") + kItemId); }

    // A harvest that is expected to work, then an item looked up so that a link can be made.
    void harvestAndLookUp() {
        const MessageBoxSeen box = session_->harvest();
        ASSERT_EQ(box.text, kHarvestSuccess);
        session_->pasteItemText(itemAddress());
    }
};

TEST_F(HarvestAndLinkTest, SuccessfulHarvestShowsTheIdsAndTheCompactView) {
    start();
    const std::string storeCookies = readStoreCookies("localhost");
    ASSERT_NE(storeCookies.find(std::string("_tb_token_=") + platform_sim::kDefaultToken), std::string::npos);

    const MessageBoxSeen box = session_->harvest();
    EXPECT_EQ(box.caption, "友情提醒");
    EXPECT_EQ(box.text, kHarvestSuccess);
    EXPECT_EQ(box.owner, session_->app().mainWindow());
    EXPECT_TRUE(box.ownerDisabled);

    EXPECT_EQ(session_->status(), std::string(kIdsPrefix) + "101|202");
    EXPECT_TRUE(session_->compactViewShown());

    // The query itself is checked byte for byte against the scripted server; here, that the
    // real store's cookies went to the platform's host.
    const SimRequest request = lastRequestTo(sim(), kAdzonePath);
    EXPECT_EQ(request.queryValue("_tb_token_"), platform_sim::kDefaultToken);
    EXPECT_EQ(request.cookieHeader(), storeCookies) << "the store's cookies, HttpOnly ones included";
    EXPECT_EQ(request.host(), sim().apiHost());
}

// The simulator answers its services only for the session it issued: otherwise a request
// that lost its cookies or its token would pass every test here unnoticed.
TEST_F(HarvestAndLinkTest, ServicesAnswerOnlyTheSessionTheyIssued) {
    start();
    const std::string storeCookies = readStoreCookies("localhost");
    const struct {
        const char* label;
        std::string cookies;
        std::string token;
        bool answered;
    } cases[] = {
        {"as issued", storeCookies, platform_sim::kDefaultToken, true},
        {"without cookies", "", platform_sim::kDefaultToken, false},
        {"another token in the query", storeCookies, "other", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        HttpRequestOptions request;
        request.url = sim().apiUrl(std::string(kAdzonePath) + "?tag=29&_tb_token_=" + c.token);
        request.cookies = c.cookies;
        const std::string reply = httpRequest(request);
        EXPECT_EQ(reply.find("otherAdzones") != std::string::npos, c.answered) << reply;
    }
}

struct FailedHarvestCase {
    const char* label;
    std::vector<std::pair<std::string, std::string>> modes;
    std::string status;
    bool loggedIn = true;  // false: nothing in the store, and nothing is asked of the platform
};

TEST_F(HarvestAndLinkTest, FailedHarvestKeepsTheLoginViewAndTheEarlierSession) {
    const std::string noIds = std::string(kIdsPrefix) + "|";
    const FailedHarvestCase cases[] = {
        {"not logged in", {}, "状态显示栏", false},
        {"platform down", {{"fault", "status:503"}, {"on", "adzone"}}, noIds},
        {"connection cut", {{"fault", "cut:start"}, {"on", "adzone"}}, noIds},
        {"no ad-zone id", {{"omitZone", "1"}}, std::string(kIdsPrefix) + "101|"},  // the site id given is shown
        {"not logged in any more", {{"session", "expired"}}, "登录已过期，请在上方重新登录阿里妈妈，再点击获取关键信息！"},
        {"stale form token", {{"fault", "staletoken"}, {"on", "adzone"}}, kLoginExpired},
    };
    for (const FailedHarvestCase& c : cases) {
        SCOPED_TRACE(c.label);
        start(c.loggedIn);
        ASSERT_TRUE(sim().set(c.modes));
        const MessageBoxSeen box = session_->harvest();
        EXPECT_EQ(box.caption, "友情提醒");
        EXPECT_EQ(box.text, kHarvestFailure);
        EXPECT_EQ(sim().requestsTo(kAdzonePath).empty(), !c.loggedIn);
        EXPECT_EQ(session_->status(), c.status);
        EXPECT_TRUE(session_->loginViewShown()) << "the member can log in again";
    }

    // After a success, a failed harvest leaves the earlier token, ids and cookies in force.
    start();
    harvestAndLookUp();
    ASSERT_TRUE(sim().set({{"emptyAdzones", "1"}}));
    EXPECT_EQ(session_->harvest().text, kHarvestFailure);
    ASSERT_TRUE(sim().set({{"reset", "1"}}));
    ASSERT_TRUE(session_->doubleClickItemBox());
    const SimRequest link = lastRequestTo(sim(), kLinkPath);
    EXPECT_EQ(link.queryValue("siteid"), "101");
    EXPECT_EQ(link.queryValue("adzoneid"), "202");
    EXPECT_EQ(link.queryValue("_tb_token_"), platform_sim::kDefaultToken);
    EXPECT_TRUE(session_->waitForStatus(kLinkCopied));
}

}  // namespace
}  // namespace quillane::test
