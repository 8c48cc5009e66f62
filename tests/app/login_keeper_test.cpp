// The login and the links kept with it, without any window: what a job's end leaves kept when
// logins change under it.
#include <gtest/gtest.h>

#include "app/login_keeper.h"

namespace quillane::test {
namespace {

SessionState loginOf(const std::string& cookies, const std::string& token, const std::string& site) {
    SessionState login;
    login.sessionCookies = cookies;
    login.formToken = token;
    login.siteId = site;
    login.adzoneId = "202";
    return login;
}

LinkResult linkResult(const std::string& itemId, const SessionState& after, bool made, bool reharvested) {
    LinkResult result;
    result.itemId = itemId;
    result.made = made;
    result.link = made ? "http://s.example/" + itemId : "";
    result.tokens.item = made ? "￥Tk" + itemId + "￥" : "";
    result.session = after;
    result.login.reharvested = reharvested;
    return result;
}

class LoginKeeperTest : public ::testing::Test {
protected:
    void SetUp() override {
        keeper_.adopt(loginOf("a=1; _tb_token_=tok", "tok", "101"), keeper_.epoch(), true);
        startedAt_ = keeper_.epoch();
    }
    LoginKeeper keeper_;
    std::uint64_t startedAt_ = 0;
};

TEST_F(LoginKeeperTest, AJobOfTheSameLoginAddsOnlyTheCookiesItsRepliesRenewed) {
    // The job's copy carries everything it had, plus a renewed and a new cookie; its token and
    // ids are the login's own and must not change it.
    keeper_.adopt(loginOf("a=2; _tb_token_=tok; b=3", "other", "999"), startedAt_, false);
    const std::string& cookies = keeper_.login().sessionCookies;
    for (const char* entry : {"a=2", "b=3", "_tb_token_=tok"}) {
        EXPECT_NE(cookies.find(entry), std::string::npos) << entry << " in " << cookies;
    }
    EXPECT_EQ(cookies.find("a=1"), std::string::npos) << cookies;
    EXPECT_EQ(keeper_.login().formToken, "tok");
    EXPECT_EQ(keeper_.login().siteId, "101");
    EXPECT_EQ(keeper_.epoch(), startedAt_);
}

TEST_F(LoginKeeperTest, ANewerLoginReplacesTheWholeLoginAndForgetsTheOldLinks) {
    keeper_.takeLinkResult(linkResult("111", keeper_.login(), true, false), startedAt_);
    ASSERT_NE(keeper_.link("111"), nullptr);

    keeper_.adopt(loginOf("c=1; _tb_token_=new", "new", "303"), startedAt_, true);
    EXPECT_EQ(keeper_.login().sessionCookies, "c=1; _tb_token_=new");
    EXPECT_EQ(keeper_.login().formToken, "new");
    EXPECT_EQ(keeper_.login().siteId, "303");
    EXPECT_NE(keeper_.epoch(), startedAt_);
    EXPECT_EQ(keeper_.link("111"), nullptr) << "a link of the old login's ids pays nobody now";
}

TEST_F(LoginKeeperTest, WhatAJobOfAnOlderLoginBringsBackIsLeftOut) {
    const SessionState older = keeper_.login();
    keeper_.adopt(loginOf("c=1", "new", "303"), startedAt_, true);
    const std::uint64_t now = keeper_.epoch();

    keeper_.takeLinkResult(linkResult("222", loginOf("a=9; d=4", "tok", "101"), true, false), startedAt_);
    EXPECT_EQ(keeper_.login().sessionCookies, "c=1") << "no cookie of the gone login joins the newer one";
    EXPECT_EQ(keeper_.link("222"), nullptr) << "a link made with the gone login's ids";
    EXPECT_NE(older.formToken, keeper_.login().formToken);
    EXPECT_EQ(keeper_.epoch(), now);
}

TEST_F(LoginKeeperTest, KeepsEachItemsOwnLinkWithItsTokensAndOnlyMadeOnes) {
    const struct {
        const char* label;
        LinkResult result;
        const char* kept;  // null: nothing kept for the item
    } cases[] = {
        {"made", linkResult("111", keeper_.login(), true, false), "http://s.example/111"},
        {"another item", linkResult("222", keeper_.login(), true, false), "http://s.example/222"},
        {"failed", linkResult("333", keeper_.login(), false, false), nullptr},
        {"no item", linkResult("", keeper_.login(), true, false), nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        keeper_.takeLinkResult(c.result, startedAt_);
        const KeptLink* kept = keeper_.link(c.result.itemId);
        ASSERT_EQ(kept != nullptr, c.kept != nullptr);
        if (kept != nullptr) {
            EXPECT_EQ(kept->link, c.kept);
            EXPECT_EQ(kept->tokens.item, "￥Tk" + c.result.itemId + "￥");
        }
    }
    EXPECT_EQ(keeper_.link("111")->link, "http://s.example/111") << "a later item does not overwrite it";
}

TEST_F(LoginKeeperTest, ALinkMadeWithTheLoginItsRunRecoveredIsKeptWithThatLogin) {
    const SessionState recovered = loginOf("e=5; _tb_token_=tok2", "tok2", "111");
    keeper_.takeLinkResult(linkResult("444", recovered, true, true), startedAt_);
    EXPECT_EQ(keeper_.login().formToken, "tok2");
    EXPECT_NE(keeper_.epoch(), startedAt_);
    ASSERT_NE(keeper_.link("444"), nullptr);
    EXPECT_EQ(keeper_.link("444")->link, "http://s.example/444");
}

}  // namespace
}  // namespace quillane::test
