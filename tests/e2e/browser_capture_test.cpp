// Home over the stand-in Chromium and Firefox windows: the real quillane.exe reads the page's
// address from the browser's accessible tree (another process's, through Wine's oleacc) and
// looks the item up against the simulated platform.
#include <gtest/gtest.h>

#include <memory>

#include "app/result_window.h"
#include "harness/browser_view_client.h"
#include "harness/doc_view_client.h"
#include "tests/support/harvested_session.h"

namespace quillane::test {
namespace {

constexpr const char* kShareShortLink = "/h.5zxz3j69cN5go4k?tk=XUymWKIqxIz";  // its page names 20496648200

class BrowserCaptureTest : public HarvestedSessionTest {
protected:
    std::string itemPage(const std::string& id) { return sim().itemPage(id); }

    // Presses Home with the mouse at the point and closes the result window after checking
    // it; false when none came.
    bool pressHomeAndCloseAt(POINT point) {
        HWND result = session_->pressHomeAt(point);
        if (result == nullptr) {
            return false;
        }
        EXPECT_EQ(resultText(result), kAbcResult);
        closeResultWindow(result);
        return true;
    }
};

struct BrowserCase {
    const char* label;
    BrowserViewSetup setup;  // its address: a path on the item host
    bool overToolbar;
    std::string searchedId;
    std::size_t pageFetches;  // requests for the page's path: only a page that names its item is read
};

TEST_F(BrowserCaptureTest, HomeOverEachBrowserLooksUpThePageItShows) {
    BrowserViewSetup chromium;
    chromium.address = "/item.htm?id=11111111111";
    BrowserViewSetup firefox = chromium;
    firefox.kind = BrowserViewKind::Firefox;
    firefox.address = "/item.htm?spm=a1.b2&id=22222222222";
    // Its page's tree arrives half a second after the first ask; the address bar's text (no
    // scheme) would be read as https, which the simulator does not speak: only the document's
    // http address finds the item.
    BrowserViewSetup late = chromium;
    late.address = kShareShortLink;
    late.wakeDelayMs = 500;
    BrowserViewSetup barOnly = chromium;
    barOnly.address = "/item.htm?id=33333333333";
    barOnly.neverFills = true;
    barOnly.barName = "地址和搜索栏";
    const BrowserCase cases[] = {
        {"Chromium, over the page", chromium, false, "11111111111", 0},
        {"Firefox, over the toolbar", firefox, true, "22222222222", 0},
        {"Chromium's late page", late, false, "20496648200", 1},
        {"only the address bar, named in Chinese", barOnly, false, "33333333333", 0},
    };
    for (BrowserCase c : cases) {
        SCOPED_TRACE(c.label);
        const std::string path = c.setup.address;
        c.setup.address = sim().otherUrl(path);
        BrowserViewProcess browser(c.setup);
        ASSERT_TRUE(browser.ready()) << browser.failure();
        ASSERT_TRUE(sim().clearLog());
        ASSERT_TRUE(pressHomeAndCloseAt(c.overToolbar ? browser.toolbarPoint() : browser.contentPoint()))
            << "no result window; status: " << session_->status();
        EXPECT_EQ(session_->lastSearchedId(), c.searchedId);
        EXPECT_NE(clipboardText().find("auctionid=" + c.searchedId + "&adzoneid=202&siteid=101"), std::string::npos);
        EXPECT_EQ(sim().requestsTo(path.substr(0, path.find('?'))).size(), c.pageFetches);
        // Bounded: a few calls per element near the top (the walk's own test has the long lists).
        EXPECT_LT(browser.callsServed(), 400) << "the tree was walked too far";
    }
}

// A browser is known by the page window its frame hosts, whatever the frame's class: the
// Chinese browsers built on Chromium and programs with a built-in browser name their frames
// as they like. One press each, in this order, so that the windows without a page show both
// what comes before any capture and what comes after one.
TEST_F(BrowserCaptureTest, HomeKnowsABrowserByThePageItsFrameHosts) {
    // Desktop: a Chromium window is open, but the press is over the bare desktop beside it.
    enum class Shows { Chromium, Firefox, Explorer, NoPage, Desktop };
    const struct {
        const char* frameClass;
        Shows shows;
        const char* pageId;
        const char* searchedId;  // nullptr: the failure text, no result window
    } presses[] = {
        // Chrome's own frame class, but a program's window with no page in it: its tree (with
        // an address bar) is not asked at all, and before any capture there is no page.
        {"Chrome_WidgetWin_1", Shows::NoPage, "90000000001", nullptr},
        {"360se6_Frame", Shows::Chromium, "10000000001", "10000000001"},
        {"QuillaneNobodyListedFrame", Shows::Chromium, "10000000006", "10000000006"},
        {"QuillaneNobodyListedFrame", Shows::Firefox, "10000000007", "10000000007"},
        // 360's compatibility mode: Internet Explorer's engine inside 360's frame.
        {"360se6_Frame", Shows::Explorer, "10000000008", "10000000008"},
        {"Chrome_WidgetWin_0", Shows::NoPage, "90000000002", "10000000008"},
        {"Chrome_WidgetWin_1", Shows::Desktop, "90000000003", "10000000008"},
    };
    // Internet Explorer's page is repeated at its current address, so its window stays open
    // after its press, beside the others.
    std::unique_ptr<DocViewProcess> explorer;
    for (const auto& press : presses) {
        SCOPED_TRACE(std::string(press.frameClass) + ", page " + press.pageId);
        const std::string address = itemPage(press.pageId);
        std::unique_ptr<BrowserViewProcess> browser;
        POINT point{};
        if (press.shows == Shows::Explorer) {
            DocViewSetup setup;
            setup.address = address;
            setup.frameClass = press.frameClass;
            setup.frame = {40, 420, 580, 900};
            explorer = std::make_unique<DocViewProcess>(setup);
            ASSERT_TRUE(explorer->ready()) << explorer->failure();
            point = explorer->contentPoint();
        } else {
            BrowserViewSetup setup;
            setup.address = address;
            setup.frameClass = press.frameClass;
            setup.kind = press.shows == Shows::Firefox  ? BrowserViewKind::Firefox
                         : press.shows == Shows::NoPage ? BrowserViewKind::NoPage
                                                        : BrowserViewKind::Chromium;
            browser = std::make_unique<BrowserViewProcess>(setup);
            ASSERT_TRUE(browser->ready()) << browser->failure();
            point = press.shows == Shows::Desktop ? POINT{4, 1020} : browser->contentPoint();
        }
        if (press.searchedId == nullptr) {
            moveMouse(point.x, point.y);
            pressKeys(L"Home");
            ASSERT_TRUE(session_->waitForStatus(kLookupFailure));
            ASSERT_TRUE(session_->waitUntilIdle());
            EXPECT_EQ(findWindowOfClass(session_->processId(), ResultWindow::kClassName), nullptr);
            EXPECT_EQ(session_->lastSearchedId(), "");
        } else {
            ASSERT_TRUE(pressHomeAndCloseAt(point)) << "no result window; status: " << session_->status();
            EXPECT_EQ(session_->lastSearchedId(), press.searchedId);
            EXPECT_NE(clipboardText().find(std::string("auctionid=") + press.searchedId), std::string::npos);
        }
        if (press.shows == Shows::NoPage) {
            EXPECT_EQ(browser->callsServed(), 0) << "a window without a page had its tree walked";
        }
    }
}

TEST_F(BrowserCaptureTest, TreeThatAnswersNothingBeforeAnyCaptureEndsInTheFailureText) {
    BrowserViewSetup setup;
    setup.address = itemPage("11111111111");
    setup.silent = true;
    BrowserViewProcess browser(setup);
    ASSERT_TRUE(browser.ready()) << browser.failure();
    moveMouse(browser.contentPoint().x, browser.contentPoint().y);
    pressKeys(L"Home");
    // The tree is asked again for 3 s; then, as any capture that finds no page.
    EXPECT_TRUE(session_->waitForStatus(kLookupFailure, 3500));
    EXPECT_EQ(findWindowOfClass(session_->processId(), ResultWindow::kClassName), nullptr);
    EXPECT_EQ(session_->lastSearchedId(), "");
}

TEST_F(BrowserCaptureTest, HomeOverAWindowWithoutAPageRepeatsTheNewestCapture) {
    DocViewSetup explorerSetup;
    explorerSetup.address = itemPage("11111111111");
    explorerSetup.frame = {40, 420, 580, 900};
    DocViewProcess explorer(explorerSetup);
    ASSERT_TRUE(explorer.ready()) << explorer.failure();
    BrowserViewSetup chromeSetup;
    chromeSetup.address = itemPage("22222222222");
    BrowserViewProcess chrome(chromeSetup);
    ASSERT_TRUE(chrome.ready()) << chrome.failure();

    const struct {
        const char* label;
        POINT point;
        const char* searchedId;
    } presses[] = {
        {"Internet Explorer", explorer.contentPoint(), "11111111111"},
        {"Chromium", chrome.contentPoint(), "22222222222"},
        {"no page after Chromium", overMainWindow(), "22222222222"},
        {"Internet Explorer again", explorer.contentPoint(), "11111111111"},
        {"no page after Internet Explorer", overMainWindow(), "11111111111"},
    };
    for (const auto& press : presses) {
        SCOPED_TRACE(press.label);
        ASSERT_TRUE(pressHomeAndCloseAt(press.point)) << "status: " << session_->status();
        EXPECT_EQ(session_->lastSearchedId(), press.searchedId);
    }
    // The member navigated in the browser: the next press over it reads the new page.
    ASSERT_TRUE(chrome.navigate(itemPage("33333333333")));
    ASSERT_TRUE(pressHomeAndCloseAt(chrome.contentPoint()));
    EXPECT_EQ(session_->lastSearchedId(), "33333333333");
}

}  // namespace
}  // namespace quillane::test
