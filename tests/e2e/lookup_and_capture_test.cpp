// Looking items up with the real quillane.exe against the simulated platform: through the
// item box, and through Home over the stand-in Internet Explorer window.
#include <gtest/gtest.h>

#include <memory>

#include "app/result_window.h"
#include "harness/browser-recorder/browser_log.h"
#include "harness/doc_view_client.h"
#include "tests/support/harvested_session.h"

namespace quillane::test {
namespace {

class LookupTest : public HarvestedSessionTest {
protected:
    std::vector<SimRequest> searches() { return sim().requestsTo(kSearchPath); }
    // The requests that were no search nor the link asked ahead of a double-click: the hops
    // a lookup made to find its item.
    std::vector<SimRequest> hops() {
        std::vector<SimRequest> found;
        for (const SimRequest& request : sim().requests()) {
            if (request.path() != kSearchPath && request.path() != kLinkPath) {
                found.push_back(request);
            }
        }
        return found;
    }
    static void expectNoSession(const SimRequest& hop) {
        EXPECT_EQ(hop.cookieHeader().find("cookie2="), std::string::npos) << "the session went to " << hop.target();
    }

    // The stand-in browser on an item's page of the platform's other host.
    std::unique_ptr<DocViewProcess> openItemPage(const std::string& itemId = "12345678901") {
        return std::make_unique<DocViewProcess>(DocViewSetup{.address = sim().otherUrl("/item.htm?id=" + itemId)});
    }
};

TEST_F(LookupTest, EmptyBoxEndsInTheFailureText) {
    session_->pasteItemText(sim().otherUrl("/item.htm?id=12345678901"));
    ASSERT_EQ(session_->status(), "\"ABC\"的返利是12.5元！");

    // Deleting the content is a change to an empty box: one search, with no item id.
    HWND box = session_->app().control(MainWindow::kItemEditId);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(box, EM_SETSEL, 0, -1, SMTO_NORMAL, 30000, &ignored);
    SendMessageTimeoutW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""), SMTO_NORMAL, 30000, &ignored);
    ASSERT_TRUE(session_->waitUntilIdle());
    EXPECT_EQ(searches().size(), 2u);
    EXPECT_EQ(session_->lastSearchedId(), "");
    EXPECT_EQ(session_->status(), kLookupFailure);
}

// Texts that name an item only through where they lead: the marketplace app's share text
// with its short link, and another member's affiliate link. What reached the simulator shows
// each hop; where hops end is the resolver's own test.
TEST_F(LookupTest, ShareTextFindsItsItemThroughTheShortLinkPage) {
    ASSERT_TRUE(sim().clearLog());
    const std::string shortLink = sim().otherUrl("/h.5zxz3j69cN5go4k?tk=XUymWKIqxIz");
    session_->pasteItemText("【淘宝】" + shortLink + " MF6563 「CONVERSE 匡威 经典款 帆布鞋」\r\n点击链接直接打开 或者 淘宝搜索直接打开");
    EXPECT_EQ(session_->status(), "\"ABC\"的返利是12.5元！");
    EXPECT_EQ(session_->lastSearchedId(), "20496648200");
    // The page's script names the item's mobile page, whose address names the id: one fetch.
    const auto requests = hops();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].target(), "/h.5zxz3j69cN5go4k?tk=XUymWKIqxIz");
    expectNoSession(requests[0]);
}

TEST_F(LookupTest, AnotherMembersAffiliateLinkLeadsToTheItemThroughTheJumpPage) {
    ASSERT_TRUE(sim().clearLog());
    session_->pasteItemText(sim().otherUrl("/t?e=m%3D2%26s%3DAbC123%26i%3D623174277353"));
    EXPECT_EQ(session_->status(), "\"ABC\"的返利是12.5元！");
    EXPECT_EQ(session_->lastSearchedId(), "623174277353");
    // The jump page's hops themselves are the resolver's test; none of them carried the session.
    const auto requests = hops();
    EXPECT_EQ(requests.size(), 3u);
    for (const SimRequest& hop : requests) {
        expectNoSession(hop);
    }
}

// Escapes, key orders and blanks are the reader table's; here, the GBK title reaches both windows.
TEST_F(LookupTest, TitlesShowAsAPersonReadsThemInTheLabelAndTheResultWindow) {
    const std::string shown = "\"连衣裙夏季新款 \"显瘦\" 女装/碎花\"";
    const auto page = openItemPage();
    ASSERT_TRUE(page->ready()) << page->failure();
    ASSERT_TRUE(sim().set({{"titleJson", "\"<span class=H>连衣裙</span>夏季新款 \\\"显瘦\\\" 女装\\/碎花\""}}));
    session_->pasteItemText(sim().otherUrl("/item.htm?id=12345678901"));
    EXPECT_EQ(session_->status(), shown + "的返利是12.5元！");
    HWND result = session_->pressHomeAt(page->contentPoint());
    ASSERT_NE(result, nullptr) << "no result window; status: " << session_->status();
    EXPECT_EQ(resultText(result), shown + "的返利是12.5元！已成功复制返利地址！");
    closeResultWindow(result);
}

TEST_F(LookupTest, HomeOverThePageOrItsFrameShowsTheResultCopiesTheLinkAndItsButtonOpensIt) {
    const std::string mark = uniqueBrowserMark();
    const std::string link = sim().otherUrl("/elite/road?" + mark);
    ASSERT_TRUE(sim().set({{"eliteUrl", link}}));
    const auto page = openItemPage();
    ASSERT_TRUE(page->ready()) << page->failure();

    int opened = 0;
    for (POINT point : {page->contentPoint(), page->captionPoint()}) {
        SCOPED_TRACE(point.y);
        replaceClipboardWith("kept");
        HWND result = session_->pressHomeAt(point);
        ASSERT_NE(result, nullptr) << "no result window; status: " << session_->status();
        EXPECT_EQ(resultText(result), kAbcResult);
        EXPECT_TRUE(GetWindowLongPtrW(result, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_EQ(clipboardText(), link);
        PostMessageW(GetDlgItem(result, ResultWindow::kOpenLinkButtonId), BM_CLICK, 0, 0);
        ASSERT_TRUE(waitForBrowserLaunchesWith(mark, ++opened));
        closeResultWindow(result);
    }
    EXPECT_EQ(browserLaunchesWith(mark), (std::vector<std::string>{link, link}));
    EXPECT_EQ(searches().size(), 2u);
    const auto links = sim().requestsTo(kLinkPath);
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(links[1].queryValue("auctionid"), "12345678901");
}

TEST_F(LookupTest, FailedLinkSaysSoAndItsButtonCannotOpenTheEarlierLink) {
    const std::string firstLink = sim().otherUrl("/elite/first");
    ASSERT_TRUE(sim().set({{"eliteUrl", firstLink}}));
    const auto page = openItemPage();
    ASSERT_TRUE(page->ready()) << page->failure();
    HWND first = session_->pressHomeAt(page->contentPoint());
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(openLinkEnabled(first));
    closeResultWindow(first);

    // Which replies hold no link is the reader table's.
    ASSERT_TRUE(sim().set({{"linkShape", "none"}}));
    HWND result = session_->pressHomeAt(page->contentPoint());
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(resultText(result), "\"ABC\"的返利是12.5元！返利链接获取失败！");
    EXPECT_FALSE(openLinkEnabled(result));
    EXPECT_EQ(clipboardText(), firstLink);
    closeResultWindow(result);
}

TEST_F(LookupTest, EndButtonEndsTheProgramAndFreesHome) {
    const auto page = openItemPage();
    ASSERT_TRUE(page->ready()) << page->failure();
    HWND result = session_->pressHomeAt(page->contentPoint());
    ASSERT_NE(result, nullptr);
    PostMessageW(GetDlgItem(result, ResultWindow::kEndButtonId), BM_CLICK, 0, 0);
    DWORD exitCode = 1234;
    ASSERT_TRUE(session_->app().process().waitForExit(15000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    // Home is free again for other programs.
    EXPECT_TRUE(RegisterHotKey(nullptr, 78, 0, VK_HOME));
    UnregisterHotKey(nullptr, 78);
}

}  // namespace
}  // namespace quillane::test
