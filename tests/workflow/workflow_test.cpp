// The workflow runs against the scripted loopback server, with the real cookie store and the
// real engine; its results are checked as the values they are, without any window.
#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "workflow/member_texts.h"
#include "workflow/service_paths.h"
#include "harness/scripted_server.h"
#include "sim/loopback/loopback_server.h"
#include "workflow/affiliate_link.h"
#include "workflow/batch_conversion.h"
#include "workflow/harvest.h"
#include "workflow/rebate_lookup.h"

namespace quillane::test {
namespace {

constexpr const char* kJsonHeaders = "Content-Type: application/json;charset=UTF-8\r\n";
constexpr const char* kSuccessTail = "\"info\":{\"message\":null,\"ok\":true},\"ok\":true}";

std::string jsonReply(const std::string& body, const std::string& extraHeaders = {}) {
    return httpResponse("HTTP/1.1 200 OK", std::string(kJsonHeaders) + extraHeaders, body);
}

std::string adzoneReply(const std::string& site, const std::string& adzone) {
    return jsonReply("{\"data\":{\"otherAdzones\":[{\"id\":\"" + site + "\",\"sub\":[{\"id\":" + adzone +
                     ",\"name\":\"x\"}],\"name\":\"my site\"}]},\"ok\":true}");
}

std::string searchReply(const std::string& fields) {
    return jsonReply("{\"data\":{\"pageList\":[{" + fields + ",\"end\":1}]}," + kSuccessTail);
}

std::string linkReply(const std::string& link) {
    return jsonReply("{\"data\":{\"eliteUrl\":\"" + link + "\",\"clickUrl\":\"http://c.example/1\"}," + kSuccessTail);
}

// The request line with the timestamp value replaced by T, after checking it is all digits.
std::string withoutTimestamp(std::string line) {
    const std::size_t at = line.find("&t=");
    if (at == std::string::npos) {
        return line;
    }
    std::size_t end = at + 3;
    while (end < line.size() && line[end] >= '0' && line[end] <= '9') {
        ++end;
    }
    EXPECT_GE(end - (at + 3), 13u) << "the timestamp is milliseconds since 1970";
    return line.replace(at + 3, end - (at + 3), "T");
}

class WorkflowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.listening());
        static int domainNumber = 0;
        // A cookie domain of its own for every test: the store outlives the test.
        deployment_.cookieDomain = "workflow-" + std::to_string(GetCurrentProcessId()) + "-" +
                                   std::to_string(++domainNumber) + ".test";
        // The scripted server speaks plain HTTP, which the loopback host may be asked with.
        deployment_.apiHost = "127.0.0.1:" + std::to_string(server_.port());
        deployment_.apiScheme = "http";
        deployment_.itemHost = "item.taobao.com";
    }

    void storeCookie(const std::string& name, const std::string& value) {
        const std::string address = "https://" + deployment_.cookieDomain + "/";
        ASSERT_TRUE(InternetSetCookieA(address.c_str(), name.c_str(), value.c_str()));
    }

    // Each run keeps the session it returns, as the program does.
    HarvestResult harvest() {
        HarvestResult result = harvestSessionKeys(session_, deployment_);
        session_ = result.session;
        return result;
    }
    // The item a lookup found is the one a later link() asks for, as the box's double-click does.
    LookupResult lookup(const std::string& text, LookupForm form = LookupForm::EditBox) {
        LookupResult result = lookupRebate(text, form, session_, deployment_);
        session_ = result.session;
        itemId_ = result.item.id;
        return result;
    }
    LinkResult link() {
        LinkResult result = makeAffiliateLink(session_, itemId_, deployment_);
        session_ = result.session;
        return result;
    }
    std::string lastRequest() const { return server_.requests().empty() ? "" : server_.requests().back(); }

    void giveSession() {
        session_.sessionCookies = "a=1; _tb_token_=tok";
        session_.formToken = "tok";
        session_.siteId = "101";
        session_.adzoneId = "202";
    }

    ScriptedServer server_;
    Deployment deployment_;
    SessionState session_;
    std::string itemId_;
};

TEST_F(WorkflowTest, HarvestKeepsTokenAndIdsAndSwitchesToTheCompactView) {
    storeCookie("a", "1");
    storeCookie("_tb_token_", "tok");
    storeCookie("b", "2");
    server_.addReply(adzoneReply("101", "202"));
    const HarvestResult result = harvest();

    ASSERT_EQ(server_.requestCount(), 1u);
    const std::string request = lastRequest();
    const std::string line = withoutTimestamp(requestLine(request));
    // The query ends in a blank, which the system library sends raw, escaped, or (Wine) trims.
    const std::string query = "GET /common/adzone/newSelfAdzone2.json?tag=29&t=T&_tb_token_=tok&_input_charset=utf-8";
    EXPECT_TRUE(line == query + "  HTTP/1.1" || line == query + "%20 HTTP/1.1" || line == query + " HTTP/1.1")
        << line;
    EXPECT_EQ(headerOf(request, "Cookie"), "a=1; _tb_token_=tok; b=2");

    EXPECT_EQ(result.outcome, HarvestOutcome::Harvested);
    EXPECT_EQ(session_.formToken, "tok");
    EXPECT_EQ(session_.siteId, "101");
    EXPECT_EQ(session_.adzoneId, "202");
    EXPECT_EQ(result.idsText, "请核对下面是否提取两组数字,否则放弃软件：101|202");
    EXPECT_EQ(result.messageText,
              "关键信息获取成功！如果您正在使用ie浏览器，可以用home键获取鼠标对应的淘宝商品网页获取返利信息！");
}

struct TokenCase {
    const char* label;
    std::vector<std::pair<std::string, std::string>> cookies;
    bool harvests;
    const char* token;
};

TEST_F(WorkflowTest, TokenIsFoundWhereverItsEntryStands) {
    const TokenCase cases[] = {
        {"first entry", {{"_tb_token_", "first"}, {"a", "1"}}, true, "first"},
        {"last entry", {{"a", "1"}, {"_tb_token_", "last"}}, true, "last"},
        {"only in capitals", {{"a", "1"}, {"_TB_TOKEN_", "x"}}, false, ""},
        {"no cookies", {}, false, ""},
    };
    for (const TokenCase& c : cases) {
        SCOPED_TRACE(c.label);
        SetUp();  // a cookie domain of its own for each case
        session_ = {};
        for (const auto& [name, value] : c.cookies) {
            storeCookie(name, value);
        }
        if (c.harvests) {
            server_.addReply(adzoneReply("101", "202"));
        }
        const std::size_t before = server_.requestCount();
        const HarvestResult result = harvest();
        EXPECT_EQ(session_.formToken, c.token);
        EXPECT_EQ(result.messageText, c.harvests ? kHarvestSuccess : kHarvestFailure);
        EXPECT_EQ(result.outcome, c.harvests ? HarvestOutcome::Harvested : HarvestOutcome::NotLoggedIn);
        EXPECT_EQ(result.idsText.has_value(), c.harvests) << "the ids are shown only when the service was asked";
        EXPECT_EQ(server_.requestCount() - before, c.harvests ? 1u : 0u);
    }
}

struct ExpiryCase {
    const char* label;
    const char* newToken;                 // a newer login in the store; nullptr: none
    std::vector<std::string> replies;     // after the harvest: the platform's answers in turn
    bool made;
    bool reharvested;
    std::size_t requests;                 // after the first harvest
};

TEST_F(WorkflowTest, ExpiredLoginIsHarvestedAgainOnlyFromANewerLoginAndOnlyOnce) {
    const std::string expired = jsonReply(
        "{\"data\":null,\"info\":{\"message\":\"nologin\",\"ok\":false},\"ok\":false,\"invalidKey\":null}");
    const ExpiryCase cases[] = {
        {"no newer login", nullptr, {expired}, false, false, 1},
        {"newer login", "tok2", {expired, adzoneReply("111", "222"), linkReply("http://s.example/new")}, true, true, 3},
        {"newer login expired too", "tok2", {expired, adzoneReply("111", "222"), expired}, false, true, 3},
        {"newer login without ids", "tok2", {expired, adzoneReply("", "")}, false, false, 2},
    };
    for (const ExpiryCase& c : cases) {
        SCOPED_TRACE(c.label);
        SetUp();
        session_ = {};
        storeCookie("_tb_token_", "tok");
        server_.addReply(adzoneReply("101", "202"));
        ASSERT_EQ(harvest().outcome, HarvestOutcome::Harvested);
        itemId_ = "12345678901";
        if (c.newToken != nullptr) {
            storeCookie("_tb_token_", c.newToken);
        }
        for (const std::string& reply : c.replies) {
            server_.addReply(reply);
        }
        const std::size_t before = server_.requestCount();
        const LinkResult result = link();
        EXPECT_EQ(server_.requestCount() - before, c.requests);
        EXPECT_EQ(result.made, c.made);
        EXPECT_EQ(result.login.expired, !c.made);
        EXPECT_EQ(result.login.reharvested, c.reharvested);
        EXPECT_EQ(session_.formToken, c.reharvested ? "tok2" : "tok");
        EXPECT_EQ(session_.siteId, c.reharvested ? "111" : "101");
        EXPECT_EQ(result.link, c.made ? "http://s.example/new" : "");
        if (c.made) {
            EXPECT_NE(requestLine(lastRequest()).find("siteid=111&t="), std::string::npos);
        }
    }
}

TEST_F(WorkflowTest, RepliesCookiesGoAlongUntilTheNextHarvest) {
    storeCookie("_tb_token_", "tok");
    server_.addReply(adzoneReply("101", "202"));
    harvest();
    itemId_ = "12345678901";
    server_.addReply(httpResponse("HTTP/1.1 200 OK", std::string(kJsonHeaders) + "Set-Cookie: merged=yes; path=/\r\n",
                                  "{\"data\":{\"eliteUrl\":\"e\",\"clickUrl\":\"c\"}," + std::string(kSuccessTail)));
    link();
    server_.addReply(linkReply("http://s.example/2"));
    link();
    EXPECT_EQ(headerOf(lastRequest(), "Cookie"), "merged=yes; _tb_token_=tok");

    // A second successful harvest starts again from the store's cookies.
    server_.addReply(adzoneReply("101", "202"));
    harvest();
    server_.addReply(linkReply("http://s.example/3"));
    link();
    EXPECT_EQ(headerOf(lastRequest(), "Cookie"), "_tb_token_=tok");
}

TEST_F(WorkflowTest, LinkIsMadeWithTheExactQueryAndAnIdThatIsOneValue) {
    giveSession();
    // An id cut from a page may be built to add keys of its own.
    for (const auto& [itemId, onTheWire] : {std::pair{"12345678901", "12345678901"},
                                            std::pair{"1&adzoneid=999", "1%26adzoneid%3D999"}}) {
        itemId_ = itemId;
        server_.addReply(linkReply("http://s.click.example/t?e=abc"));
        const LinkResult result = link();
        EXPECT_EQ(withoutTimestamp(requestLine(lastRequest())),
                  std::string("GET /common/code/getAuctionCode.json?auctionid=") + onTheWire +
                      "&adzoneid=202&siteid=101&t=T&_tb_token_=tok&_input_charset=utf-8 HTTP/1.1");
        EXPECT_EQ(headerOf(lastRequest(), "Cookie"), "a=1; _tb_token_=tok");
        EXPECT_TRUE(result.made);
        EXPECT_EQ(result.link, "http://s.click.example/t?e=abc");
        EXPECT_EQ(result.itemId, itemId);
    }
}

// Which replies hold a link is the reader's table; here, the platform gone.
TEST_F(WorkflowTest, NoLinkWhenThePlatformIsGone) {
    giveSession();
    itemId_ = "12345678901";
    server_.addReply(ScriptedReply().close());
    const LinkResult result = link();
    EXPECT_FALSE(result.made);
    EXPECT_EQ(result.link, "");
}

TEST_F(WorkflowTest, EditBoxLookupTakesALongIdDirectlyAndReportsTheCommission) {
    giveSession();
    server_.addReply(searchReply("\"title\":\"ABC\",\"calCommission\":12.5"));
    const LookupResult result = lookup("http://item.taobao.com/item.htm?spm=1&id=123456789012");
    EXPECT_EQ(server_.requestCount(), 1u) << "no page fetch for an id in the address";
    EXPECT_EQ(result.item.id, "123456789012");
    EXPECT_EQ(withoutTimestamp(requestLine(lastRequest())),
              "GET /pubauc/searchAuctionList.json?spm=a2320.7388781.a214tr8.d006.2u5wi7&q=http%3A%2F%2F"
              "item.taobao.com%2Fitem.htm%3Fid%3D123456789012&t=T&_tb_token_=tok&_input_charset=utf-8 HTTP/1.1");
    EXPECT_EQ(result.outcome, LookupOutcome::Found);
    EXPECT_EQ(result.statusText, "\"ABC\"的返利是12.5元！");
    EXPECT_FALSE(result.link.has_value()) << "the edit box makes no link until a double-click";
}

TEST_F(WorkflowTest, LookupFetchesThePageWhenTheAddressHoldsNoItemId) {
    giveSession();
    server_.addReply(httpResponse("HTTP/1.1 200 OK", "Content-Type: text/html\r\n",
                                  "<html><div data-itemid=\"55555555555\"></div></html>"));
    server_.addReply(searchReply("\"title\":\"T\",\"calCommission\":1"));
    const LookupResult result = lookup(server_.address("/item.htm?skuId=12345678901&id=1234567890#x"));
    ASSERT_EQ(server_.requestCount(), 2u);
    EXPECT_EQ(requestLine(server_.requests()[0]), "GET /item.htm?skuId=12345678901&id=1234567890 HTTP/1.1");
    EXPECT_EQ(result.item.id, "55555555555");
    EXPECT_NE(requestLine(lastRequest()).find("q=http%3A%2F%2Fitem.taobao.com%2Fitem.htm%3Fid%3D55555555555&"),
              std::string::npos);
}

TEST_F(WorkflowTest, TaoTokenAloneAsksForTheItemsAddressWithoutARequest) {
    giveSession();
    itemId_ = "12345678901";
    const LookupResult result = lookup("7(￥hxWAcj3Yiqt￥)/:/");
    EXPECT_EQ(server_.requestCount(), 0u);
    EXPECT_EQ(result.outcome, LookupOutcome::OnlyTaoToken);
    EXPECT_EQ(result.statusText, "淘口令无法直接识别，请在淘宝里复制商品链接再粘贴！");
    EXPECT_EQ(result.item.id, "") << "a double-click then makes no link for the item before";
}

struct ReplyCase {
    const char* label;
    std::string reply;
    LookupOutcome outcome;
    const char* status;
};

TEST_F(WorkflowTest, LookupReportsWhatTheReplyGives) {
    giveSession();
    const ReplyCase cases[] = {
        {"no commission", searchReply("\"title\":\"ABC\",\"price\":3"), LookupOutcome::NoCommission,
         "这件商品暂时没有返利，换一件商品试试吧！"},
        {"not logged in", jsonReply("{\"message\":\"nologin\",\"ok\":false}"), LookupOutcome::Failed,
         "采集信息失败，是否网页登陆并获取关键信息？"},
    };
    for (const ReplyCase& c : cases) {
        SCOPED_TRACE(c.label);
        server_.addReply(c.reply);
        const LookupResult result = lookup("http://item.taobao.com/item.htm?id=12345678901");
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.statusText, c.status);
        EXPECT_EQ(result.resultMessage, "");
    }
}

struct HotKeyCase {
    const char* label;
    std::string address;
    std::vector<std::string> replies;
    const char* resultMessage;
    bool linkMade;
    std::size_t requests;
};

TEST_F(WorkflowTest, HotKeyLookupMakesTheLinkThenComposesTheResult) {
    const std::string item = "http://item.taobao.com/item.htm?id=12345678901";
    const std::string found = searchReply("\"title\":\"ABC\",\"calCommission\":12.5");
    const HotKeyCase cases[] = {
        {"link made", item, {found, linkReply("http://s.example/abc")}, "\"ABC\"的返利是12.5元！已成功复制返利地址！", true, 2},
        {"no link in the reply", item, {found, jsonReply("{\"data\":{\"taoToken\":\"x\"}," + std::string(kSuccessTail))},
         "\"ABC\"的返利是12.5元！返利链接获取失败！", false, 2},
        // No window then: the label tells.
        {"no address", "", {jsonReply("{\"message\":\"nologin\",\"ok\":false}")}, "", false, 1},
    };
    for (const HotKeyCase& c : cases) {
        SCOPED_TRACE(c.label);
        giveSession();
        for (const std::string& reply : c.replies) {
            server_.addReply(reply);
        }
        const std::size_t before = server_.requestCount();
        const LookupResult result = lookup(c.address, LookupForm::HotKey);
        EXPECT_EQ(server_.requestCount() - before, c.requests);
        EXPECT_EQ(result.resultMessage, c.resultMessage);
        EXPECT_EQ(result.statusText, c.address.empty() ? kLookupFailure : "") << "the label is the link's to change";
        ASSERT_EQ(result.link.has_value(), !c.address.empty());
        if (result.link) {
            EXPECT_EQ(result.link->made, c.linkMade);
            EXPECT_EQ(result.link->link, c.linkMade ? "http://s.example/abc" : "");
            EXPECT_NE(requestLine(lastRequest()).find("auctionid=12345678901&"), std::string::npos);
        }
    }
}

// Every flow names a connection that cannot be made safe (here: a TLS handshake cut off) with
// the one text, where that flow speaks, and leaves the earlier session as it was.
TEST_F(WorkflowTest, UnsafeConnectionIsNamedByEveryFlow) {
    loopback::LoopbackServer cutter;
    ASSERT_TRUE(cutHandshakes(cutter));
    deployment_.apiHost = "localhost:" + std::to_string(cutter.port());
    deployment_.apiScheme.clear();  // the services over TLS, as members reach them
    storeCookie("_tb_token_", "tok");
    giveSession();
    itemId_ = "12345678901";
    const SessionState earlier = session_;

    const HarvestResult harvested = harvest();
    EXPECT_EQ(harvested.outcome, HarvestOutcome::UnsafeConnection);
    EXPECT_EQ(harvested.messageText, kUnsafeConnection);
    EXPECT_FALSE(harvested.idsText.has_value());

    const std::string item = "http://item.taobao.com/item.htm?id=12345678901";
    const LookupResult box = lookup(item);
    EXPECT_EQ(box.statusText, kUnsafeConnection);
    const LookupResult home = lookup(item, LookupForm::HotKey);
    EXPECT_EQ(home.resultMessage, kUnsafeConnection);
    EXPECT_TRUE(home.login.unsafeConnection);

    const LinkResult made = link();
    EXPECT_FALSE(made.made);
    EXPECT_TRUE(made.login.unsafeConnection);

    const std::atomic<bool> stop{false};
    const std::vector<ItemReference> references = {{ItemReference::Kind::ItemId, "11111111111"},
                                                    {ItemReference::Kind::ItemId, "22222222222"}};
    const BatchResult batch =
        convertReferences(references, session_, deployment_, stop, [](std::size_t, std::size_t) {}, callingThreadOnly());
    EXPECT_TRUE(batch.login.unsafeConnection);
    EXPECT_EQ(batch.converted, 0u);

    EXPECT_EQ(session_.sessionCookies, earlier.sessionCookies);
    EXPECT_EQ(session_.formToken, earlier.formToken);
    EXPECT_EQ(session_.siteId, earlier.siteId);
    EXPECT_EQ(server_.requestCount(), 0u);
    cutter.stop();
}

}  // namespace
}  // namespace quillane::test
