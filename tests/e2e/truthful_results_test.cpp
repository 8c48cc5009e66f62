// What the member is told after a link request, a busy clipboard and an expired login, with
// the real quillane.exe against the simulated platform: nothing is called copied that was not,
// and a login that ended is either recovered from a newer one in the store or named.
#include <gtest/gtest.h>

#include <memory>

#include "harness/doc_view_client.h"
#include "sim/platform_sim/defaults.h"
#include "tests/support/harvested_session.h"
#include "tests/support/sim_requests.h"

namespace quillane::test {
namespace {

constexpr const char* kItemId = "12345678901";
using Modes = std::vector<std::pair<std::string, std::string>>;

class TruthfulResultsTest : public HarvestedSessionTest {
protected:
    void SetUp() override {
        HarvestedSessionTest::SetUp();
        lookUpTheItem();
    }

    // The simulator's defaults, the member logged in with them, harvested, the item looked up.
    void freshStart() {
        ASSERT_TRUE(sim().set({{"reset", "1"}, {"title", "ABC"}, {"commission", "12.5"}}));
        ASSERT_TRUE(sim().logIn());
        ASSERT_EQ(session_->harvest().text, kHarvestSuccess);
        lookUpTheItem();
    }
    // The link asked for ahead of a double-click fails, so that nothing is kept for the item
    // and each double-click below asks the platform itself.
    void lookUpTheItem() {
        ASSERT_TRUE(sim().set({{"fault", "status:500"}, {"on", "link"}, {"times", "1"}}));
        session_->pasteItemText(itemAddress());
        ASSERT_EQ(session_->status(), "\"ABC\"的返利是12.5元！");
        ASSERT_TRUE(sim().clearLog());
    }

    std::string itemAddress(const std::string& itemId = kItemId) { return sim().itemPage(itemId); }
    std::string eliteLink(const std::string& itemId = kItemId) { return sim().memberLink(itemId); }
    std::size_t requestsTo(const char* path) { return sim().requestsTo(path).size(); }

    // Another program holds the clipboard open for this long, starting now.
    std::unique_ptr<RunningProgram> holdClipboard(int milliseconds) {
        auto holder = RunningProgram::start(L"clipboard_holder.exe", std::to_wstring(milliseconds));
        if (holder == nullptr) {
            return nullptr;
        }
        const bool holding = waitUntil([&] {
            DWORD owner = 0;
            HWND window = GetOpenClipboardWindow();
            return window != nullptr && GetWindowThreadProcessId(window, &owner) != 0 &&
                   owner == holder->processId();
        });
        return holding ? std::move(holder) : nullptr;
    }

};

struct LinkCase {
    const char* label;
    const char* itemId;  // each case its own item: a link made for an item is kept
    Modes modes;
    bool made;
};

TEST_F(TruthfulResultsTest, OnlyAMadeLinkIsCopiedAndCalledCopied) {
    const LinkCase cases[] = {
        {"eliteUrl then clickUrl", "12345678902", {}, true},
        {"only the newer shape: the short link", "12345678903", {{"linkShape", "newer"}}, true},
        {"success marker without any link", "12345678904", {{"linkShape", "none"}}, false},
    };
    for (const LinkCase& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(sim().set({{"reset", "1"}, {"title", "ABC"}, {"commission", "12.5"}}));
        ASSERT_TRUE(sim().set(c.modes));
        replaceClipboardWith("kept");
        // The lookup asks for the link ahead; a failed one is asked for again at the double-click.
        ASSERT_TRUE(session_->pasteItemText(itemAddress(c.itemId)));
        ASSERT_TRUE(session_->doubleClickItemBox());
        const std::string link = c.modes.empty() ? eliteLink(c.itemId) : sim().otherUrl(std::string("/s/") + c.itemId);
        EXPECT_EQ(session_->status(), c.made ? kLinkCopied : "返利链接获取失败，请稍后再试！");
        EXPECT_EQ(clipboardText(), c.made ? link : "kept");
    }
}

TEST_F(TruthfulResultsTest, ABusyClipboardIsWaitedForASecondThenNamed) {
    const std::pair<int, bool> cases[] = {{300, true}, {3000, false}};
    for (const auto& [holdMs, copied] : cases) {
        SCOPED_TRACE(holdMs);
        replaceClipboardWith("kept");
        auto holder = holdClipboard(holdMs);
        ASSERT_NE(holder, nullptr) << "the clipboard holder did not start holding";
        ASSERT_TRUE(session_->doubleClickItemBox());
        EXPECT_EQ(session_->status(), copied ? kLinkCopied : "复制失败：剪贴板正被其他程序占用，请再试一次！");
        ASSERT_TRUE(holder->waitForExit(10000));
        EXPECT_EQ(clipboardText(), copied ? eliteLink() : "kept");
    }
    // The link was kept: once the clipboard is free, the next double-click copies it.
    ASSERT_TRUE(session_->doubleClickItemBox());
    EXPECT_EQ(session_->status(), kLinkCopied);
    EXPECT_EQ(clipboardText(), eliteLink());

    // Home: the result window names the failure, and its button still opens the link.
    const DocViewProcess page(DocViewSetup{.address = itemAddress()});
    ASSERT_TRUE(page.ready()) << page.failure();
    replaceClipboardWith("kept");
    auto holder = holdClipboard(3000);
    ASSERT_NE(holder, nullptr);
    HWND result = session_->pressHomeAt(page.contentPoint());
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(resultText(result), std::string("\"ABC\"的返利是12.5元！") + kClipboardBusy);
    EXPECT_TRUE(openLinkEnabled(result));
    ASSERT_TRUE(holder->waitForExit(10000));
    EXPECT_EQ(clipboardText(), "kept");
    closeResultWindow(result);
}

enum class Flow { EditBox, Link, Home };

struct ExpiryCase {
    const char* label;
    Flow flow;
    Modes expiry;       // how the platform says the login is over
    bool loggedInAgain; // the member has logged in again (a new token and cookie in the store)
    bool recovered;
};

TEST_F(TruthfulResultsTest, AnExpiredLoginIsRecoveredFromANewerOneOnceOrNamed) {
    const DocViewProcess page(DocViewSetup{.address = itemAddress()});
    ASSERT_TRUE(page.ready()) << page.failure();
    const Modes expired = {{"session", "expired"}};
    const Modes staleLink = {{"fault", "staletoken"}, {"on", "link"}};
    const ExpiryCase cases[] = {
        {"box: expired", Flow::EditBox, expired, false, false},
        {"box: logged in again", Flow::EditBox, {}, true, true},
        {"link: stale token", Flow::Link, staleLink, false, false},
        {"link: logged in again", Flow::Link, {}, true, true},
        {"home: expired", Flow::Home, expired, false, false},
        {"home: logged in again", Flow::Home, {}, true, true},
    };
    for (const ExpiryCase& c : cases) {
        SCOPED_TRACE(c.label);
        freshStart();
        if (c.loggedInAgain) {
            ASSERT_TRUE(sim().logInAgain());
            ASSERT_TRUE(sim().clearLog());
        }
        ASSERT_TRUE(sim().set(c.expiry));
        replaceClipboardWith("kept");
        const char* servicePath = c.flow == Flow::Link ? kLinkPath : kSearchPath;
        std::string shown;
        if (c.flow == Flow::EditBox) {
            session_->pasteItemText(itemAddress());
            shown = session_->status();
        } else if (c.flow == Flow::Link) {
            ASSERT_TRUE(session_->doubleClickItemBox());
            shown = session_->status();
        } else {
            HWND result = session_->pressHomeAt(page.contentPoint());
            ASSERT_NE(result, nullptr);
            shown = resultText(result);
            EXPECT_EQ(openLinkEnabled(result), c.recovered);
            closeResultWindow(result);
        }
        // At most one silent harvest, and the request repeated once after it.
        EXPECT_EQ(requestsTo(kAdzonePath), c.loggedInAgain ? 1u : 0u);
        EXPECT_EQ(requestsTo(servicePath), c.loggedInAgain ? 2u : 1u);
        if (c.recovered) {
            const SimRequest repeated = lastRequestTo(sim(), servicePath);
            EXPECT_NE(repeated.queryValue("_tb_token_"), platform_sim::kDefaultToken) << "the new login's token";
            EXPECT_TRUE(session_->compactViewShown());
            EXPECT_EQ(shown, c.flow == Flow::EditBox ? "\"ABC\"的返利是12.5元！"
                             : c.flow == Flow::Link  ? kLinkCopied
                                                     : "\"ABC\"的返利是12.5元！已成功复制返利地址！");
            continue;
        }
        EXPECT_EQ(shown, kLoginExpired);
        EXPECT_TRUE(session_->loginViewShown()) << "the member can log in above";
        EXPECT_EQ(clipboardText(), "kept");
        if (!c.loggedInAgain) {
            // The earlier token and ids are still in force once the platform takes them again
            // (Home, as the login page now covers the item box).
            ASSERT_TRUE(sim().set({{"reset", "1"}, {"title", "ABC"}, {"commission", "12.5"}}));
            HWND result = session_->pressHomeAt(page.contentPoint());
            ASSERT_NE(result, nullptr);
            EXPECT_EQ(resultText(result), "\"ABC\"的返利是12.5元！已成功复制返利地址！");
            closeResultWindow(result);
            const SimRequest link = lastRequestTo(sim(), kLinkPath);
            EXPECT_EQ(link.queryValue("_tb_token_"), platform_sim::kDefaultToken);
            EXPECT_EQ(link.queryValue("siteid"), "101");
            EXPECT_EQ(link.queryValue("adzoneid"), "202");
        }
    }
}

}  // namespace
}  // namespace quillane::test
