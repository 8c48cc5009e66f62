// A session pasted into the item box, for a member whose built-in login fails: the member is
// logged in with another browser only, and the system cookie store holds no login.
#include <gtest/gtest.h>

#include <future>

#include "tests/support/harvested_session.h"
#include "tests/support/sim_requests.h"
#include "util/cookie_store.h"

namespace quillane::test {
namespace {

class PastedSessionTest : public HarvestedSessionTest {
protected:
    void SetUp() override {
        start(/*loggedIn=*/false);
        ASSERT_FALSE(HasFatalFailure());
        // A login of its own, so that no value of it can be in the store from an earlier test.
        ASSERT_TRUE(sim().set({{"relogin", "1"}}));
        browserCookies_ = sim().logInElsewhere();
        ASSERT_NE(browserCookies_.find("cookie2="), std::string::npos) << browserCookies_;
        ASSERT_NE(browserCookies_.find("_tb_token_="), std::string::npos) << browserCookies_;
    }

    // Pastes the text and answers the box that the harvest ends with; the box's text, or ""
    // when none came.
    std::string pasteAndAnswer(const std::string& text) {
        auto box = answerMessageBox(session_->processId(), IDOK);
        EXPECT_TRUE(session_->pasteItemText(text));
        return box.get().text;
    }

    std::string valueOf(const std::string& name) {
        std::string cookies = browserCookies_;
        return cookieByName(cookies, name, /*valueOnly=*/true);
    }

    std::string itemBoxText() { return session_->app().controlText(MainWindow::kItemEditId); }

    std::string browserCookies_;
};

TEST_F(PastedSessionTest, IsHarvestedWithExactlyItsCookiesUsedByLookupAndLinkAndEndsInALogin) {
    // Half a session first: told, and nothing goes out with it.
    ASSERT_TRUE(sim().clearLog());
    ASSERT_TRUE(session_->pasteItemText("Cookie: t=1; _tb_token_=" + valueOf("_tb_token_")));
    EXPECT_EQ(session_->status(), kPastedSessionIncomplete);
    EXPECT_EQ(itemBoxText(), "");
    EXPECT_TRUE(sim().requests().empty()) << "a request went out with half a session:\n"
                                          << requestLines(sim().requests());

    EXPECT_EQ(pasteAndAnswer("\r\n Cookie: " + browserCookies_ + " \r\n"), kHarvestSuccess);
    EXPECT_EQ(session_->status(), std::string(kIdsPrefix) + "101|202");
    EXPECT_TRUE(session_->compactViewShown());
    EXPECT_EQ(itemBoxText(), "") << "the session stays on screen";
    const SimRequest harvest = lastRequestTo(sim(), kAdzonePath);
    EXPECT_EQ(harvest.cookieHeader(), browserCookies_);
    EXPECT_EQ(harvest.queryValue("_tb_token_"), valueOf("_tb_token_"));

    ASSERT_TRUE(session_->focusItemBox());
    ASSERT_TRUE(session_->pasteItemText(sim().itemPage("12345678901")));
    EXPECT_EQ(session_->status(), "\"ABC\"的返利是12.5元！");
    ASSERT_TRUE(session_->doubleClickItemBox());
    EXPECT_EQ(session_->status(), kLinkCopied);
    for (const char* path : {kSearchPath, kLinkPath}) {
        SCOPED_TRACE(path);
        const SimRequest request = lastRequestTo(sim(), path);
        EXPECT_NE(request.cookieHeader().find("cookie2=" + valueOf("cookie2")), std::string::npos);
        EXPECT_EQ(request.queryValue("_tb_token_"), valueOf("_tb_token_"));
    }

    // Kept in memory only: the system store has not learnt the session.
    EXPECT_EQ(readStoreCookies("localhost").find(valueOf("cookie2")), std::string::npos);

    // The platform ends the session: the member is asked to log in, and a login above (the
    // store was empty at the paste) is then found by itself.
    ASSERT_TRUE(sim().set({{"session", "expired"}}));
    const std::string item = sim().itemPage("22222222222");
    ASSERT_TRUE(session_->pasteItemText(item));
    EXPECT_EQ(session_->status(), kLoginExpired);
    EXPECT_TRUE(session_->loginViewShown());
    ASSERT_TRUE(sim().logInAgain());
    ASSERT_TRUE(session_->pasteItemText(item));
    EXPECT_EQ(session_->status(), "\"ABC\"的返利是12.5元！");
    EXPECT_TRUE(session_->compactViewShown());
}

}  // namespace
}  // namespace quillane::test
