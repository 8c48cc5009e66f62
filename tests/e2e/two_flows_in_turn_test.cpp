// The box and Home used in turn, as members work (paste one item, point at another page, come
// back to the box), with the real quillane.exe against the simulated platform: each result
// acts on its own item, whatever the other flow found meanwhile.
#include <gtest/gtest.h>

#include <memory>

#include "app/result_window.h"
#include "harness/browser-recorder/browser_log.h"
#include "harness/doc_view_client.h"
#include "tests/support/harvested_session.h"

namespace quillane::test {
namespace {

constexpr const char* kBoxItem = "34000000001";
constexpr const char* kHomeItem = "34000000002";

class TwoFlowsInTurnTest : public HarvestedSessionTest {
protected:
    void SetUp() override {
        HarvestedSessionTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(sim().set({{"item", kBoxItem}, {"title", "AAA"}}));
        ASSERT_TRUE(sim().set({{"item", kHomeItem}, {"title", "BBB"}}));
        homePage_ = std::make_unique<DocViewProcess>(DocViewSetup{.address = sim().itemPage(kHomeItem)});
        ASSERT_TRUE(homePage_->ready()) << homePage_->failure();
    }
    void pasteBoxItem() {
        session_->pasteItemText(sim().itemPage(kBoxItem));
        ASSERT_EQ(session_->status(), "\"AAA\"的返利是12.5元！");
    }
    // The result window, which stays on top, is moved off the main window, as a member would
    // to get back to the box.
    HWND pressHomeOverTheOtherItem() {
        HWND result = session_->pressHomeAt(homePage_->contentPoint());
        EXPECT_NE(result, nullptr) << "no result window; status: " << session_->status();
        EXPECT_EQ(resultText(result).rfind("\"BBB\"的返利是12.5元！", 0), 0u) << resultText(result);
        SetWindowPos(result, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return result;
    }

    std::unique_ptr<DocViewProcess> homePage_;
};

TEST_F(TwoFlowsInTurnTest, DoubleClickAfterHomeCopiesTheLinkOfTheItemTheBoxNames) {
    pasteBoxItem();
    pressHomeOverTheOtherItem();
    EXPECT_EQ(clipboardText(), sim().memberLink(kHomeItem));

    // Back to the box from the browser: the click into it empties it, and names no other item.
    ASSERT_TRUE(session_->focusItemBox());
    ASSERT_TRUE(session_->doubleClickItemBox());
    EXPECT_EQ(session_->status(), kLinkCopied);
    EXPECT_EQ(clipboardText(), sim().memberLink(kBoxItem));
}

TEST_F(TwoFlowsInTurnTest, ShareTextWaitedForAcrossAHomePressNamesOneItemOnly) {
    session_->app().clickButton(MainWindow::kShareTokenCheckId);
    HWND check = session_->app().control(MainWindow::kShareTokenCheckId);
    ASSERT_TRUE(waitUntil([&] { return SendMessageW(check, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
    // The box's link, asked for as soon as its lookup found the item, is slow; Home's is not.
    ASSERT_TRUE(sim().set({{"fault", "delay:3000"}, {"on", "link"}, {"times", "1"}}));
    // Not waiting for the box to fall idle, which it does only once the slow link is in.
    session_->startPaste(sim().itemPage(kBoxItem));
    ASSERT_TRUE(session_->waitForStatus("\"AAA\"的返利是12.5元！")) << session_->status();
    session_->startDoubleClick();
    ASSERT_TRUE(session_->waitForStatus(kQuerying)) << "the double-click did not wait for the link";
    pressHomeOverTheOtherItem();

    ASSERT_TRUE(session_->waitUntilIdle());
    EXPECT_EQ(session_->status(), kShareTextCopied);
    EXPECT_EQ(clipboardText(), "AAA\r\n【券后价】41.67元\r\n复制这条信息￥Tk" + std::string(kBoxItem) +
                                   "￥，打开手机淘宝即可购买\r\n");
}

TEST_F(TwoFlowsInTurnTest, ResultWindowButtonOpensTheLinkItShowedAfterTheBoxMadeAnother) {
    const std::string mark = uniqueBrowserMark();
    const std::string homeLink = sim().otherUrl("/elite/home?" + mark);
    ASSERT_TRUE(sim().set({{"eliteUrl", homeLink}}));
    HWND result = pressHomeOverTheOtherItem();
    ASSERT_NE(result, nullptr);

    const std::string boxLink = sim().otherUrl("/elite/box?" + mark);
    ASSERT_TRUE(sim().set({{"eliteUrl", boxLink}}));
    ASSERT_TRUE(session_->focusItemBox());
    pasteBoxItem();
    ASSERT_TRUE(session_->doubleClickItemBox());
    ASSERT_EQ(clipboardText(), boxLink);

    PostMessageW(GetDlgItem(result, ResultWindow::kOpenLinkButtonId), BM_CLICK, 0, 0);
    ASSERT_TRUE(waitForBrowserLaunchesWith(mark, 1));
    EXPECT_EQ(browserLaunchesWith(mark), std::vector<std::string>{homeLink});
    closeResultWindow(result);
}

}  // namespace
}  // namespace quillane::test
