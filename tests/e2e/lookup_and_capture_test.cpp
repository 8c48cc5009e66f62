// Looking items up with the real quillane.exe against the simulated platform: through the
// item box, and through Home over the stand-in Internet Explorer window.
#include <gtest/gtest.h>

#include <memory>

#include "app/main_window.h"
#include "app/result_window.h"
#include "harness/browser-recorder/browser_log.h"
#include "harness/doc_view_client.h"
#include "harness/platform_session.h"
#include "tests/support/harvested_session.h"
#include "workflow/member_texts.h"
#include "workflow/service_paths.h"
#include "harness/wait.h"

namespace quillane::test {
namespace {

constexpr const char* kAbcResult = "\"ABC\"的返利是12.5元！已成功复制返利地址！";

class LookupTest : public HarvestedSessionTest {
protected:
    DWORD processId() const { return session_->processId(); }
    std::string itemPrefixOnTheWire() const {
        return "http%3A%2F%2Flocalhost%3A" + std::to_string(session_->sim().port()) + "%2Fitem.htm%3Fid%3D";
    }
    std::vector<SimRequest> searches() { return sim().requestsTo(kSearchPath); }
    // The requests that were no search: the hops a lookup made to find its item.
    std::vector<SimRequest> hops() {
        std::vector<SimRequest> found;
        for (const SimRequest& request : sim().requests()) {
            if (request.path() != kSearchPath) {
                found.push_back(request);
            }
        }
        return found;
    }
    static void expectNoSession(const SimRequest& hop) {
        EXPECT_EQ(hop.cookieHeader().find("cookie2="), std::string::npos) << "the session went to " << hop.target();
    }
    std::string lastSearchedId() {
        const auto requests = searches();
        if (requests.empty()) {
            return "(none)";
        }
        const std::string q = requests.back().queryValue("q").value_or("");
        const std::string prefix = itemPrefixOnTheWire();
        return q.rfind(prefix, 0) == 0 ? q.substr(prefix.size()) : "(q was " + q + ")";
    }

    // The stand-in browser on an item's page of the platform's other host.
    std::unique_ptr<DocViewProcess> openItemPage(const std::string& itemId = "12345678901") {
        DocViewSetup setup;
        setup.address = sim().otherUrl("/item.htm?id=" + itemId);
        return std::make_unique<DocViewProcess>(setup);
    }

    // Presses Home with the mouse at the point; returns the result window that came up.
    HWND pressHomeAt(POINT point) {
        moveMouse(point.x, point.y);
        pressKeys(L"Home");
        HWND result = waitForWindowOfClass(processId(), ResultWindow::kClassName);
        // The run that showed the window may still be finishing it (under Wine without a
        // window manager that can take seconds), and a Home press made during a run is
        // dropped: the next press must find the program back in its message loop.
        session_->waitUntilIdle();
        return result;
    }
    std::string resultText(HWND window) { return windowText(GetDlgItem(window, ResultWindow::kMessageLabelId)); }
    void closeResultWindow(HWND window) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        waitUntil([&] { return !IsWindow(window); });
    }
    POINT overMainWindow() { return session_->app().controlCentre(MainWindow::kStatusLabelId); }

};

struct EditBoxCase {
    const char* label;
    std::string path;        // on the item host
    bool pageFetched;
    std::string searchedId;
};

TEST_F(LookupTest, ItemBoxTakesTheIdFromTheAddressOrFromThePage) {
    const EditBoxCase cases[] = {
        {"11 digits", "/item.htm?id=12345678901", false, "12345678901"},
        {"12 digits, taken whole", "/item.htm?spm=a.b&id=123456789012", false, "123456789012"},
        {"skuid after the id", "/i/55555555555.htm?id=12345678901&skuid=5", false, "12345678901"},
        {"10 digits", "/i/66666666666.htm?id=1234567890", true, "66666666666"},
        {"leading zero", "/i/77777777777.htm?id=01234567890", true, "77777777777"},
        {"exactly the bound", "/i/88888888888.htm?id=10000000000", true, "88888888888"},
    };
    for (const EditBoxCase& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(sim().clearLog());
        session_->pasteItemText(sim().otherUrl(c.path));
        EXPECT_EQ(session_->status(), "\"ABC\"的返利是12.5元！");
        const auto pages = sim().requestsTo(c.path.substr(0, c.path.find('?')));
        EXPECT_EQ(pages.size(), c.pageFetched ? 1u : 0u);
        if (c.pageFetched && !pages.empty()) {
            EXPECT_EQ(pages[0].cookieHeader(), "") << "the platform's session never goes to the item host";
        }
        EXPECT_EQ(lastSearchedId(), c.searchedId);
    }
}

TEST_F(LookupTest, ItemBoxReportsWhatTheSearchReplyGives) {
    const std::pair<std::vector<std::pair<std::string, std::string>>, const char*> cases[] = {
        {{{"commission", "null"}}, "\"ABC\"的返利是null元！"},
        {{{"omitCommission", "1"}}, kNoCommission},
        {{{"searchOk", "0"}}, kLookupFailure},
        {{{"noResult", "1"}}, kLookupFailure},
        {{{"fault", "cut:mid"}, {"on", "search"}}, kLookupFailure},
    };
    for (const auto& [modes, status] : cases) {
        SCOPED_TRACE(status);
        ASSERT_TRUE(sim().set({{"reset", "1"}, {"title", "ABC"}, {"commission", "12.5"}}));
        ASSERT_TRUE(sim().set(modes));
        session_->pasteItemText(sim().otherUrl("/item.htm?id=12345678901"));
        EXPECT_EQ(session_->status(), status);
    }
}

TEST_F(LookupTest, EmptyBoxAndBareIdEndInTheFailureText) {
    session_->pasteItemText(sim().otherUrl("/item.htm?id=12345678901"));
    ASSERT_EQ(session_->status(), "\"ABC\"的返利是12.5元！");

    // Deleting the content is a change to an empty box: one search, with no item id.
    HWND box = session_->app().control(MainWindow::kItemEditId);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(box, EM_SETSEL, 0, -1, SMTO_NORMAL, 30000, &ignored);
    SendMessageTimeoutW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""), SMTO_NORMAL, 30000, &ignored);
    EXPECT_EQ(searches().size(), 2u);
    EXPECT_EQ(lastSearchedId(), "");
    EXPECT_EQ(session_->status(), kLookupFailure);

    // A bare id is no address and has no "id=": it names no item.
    session_->pasteItemText("12345678901");
    EXPECT_EQ(searches().size(), 3u);
    EXPECT_EQ(lastSearchedId(), "");
    EXPECT_EQ(session_->status(), kLookupFailure);
}

TEST_F(LookupTest, TypingAnAddressOneCharacterAtATimeEndsRight) {
    const POINT box = session_->app().controlCentre(MainWindow::kItemEditId);
    clickAt(box.x, box.y);
    const std::string address = sim().otherUrl("/item.htm?id=12345678901");
    typeText(std::wstring(address.begin(), address.end()));
    // Every typed character starts a lookup; the box answers once the last one is over.
    ASSERT_TRUE(waitUntil([&] { return session_->app().controlText(MainWindow::kItemEditId) == address; }, 60000));
    session_->waitUntilIdle();
    EXPECT_EQ(session_->status(), "\"ABC\"的返利是12.5元！");
    EXPECT_EQ(lastSearchedId(), "12345678901");
}

// Texts that name an item only through where they lead: the marketplace app's share text
// with its short link, another member's affiliate link, and links that lead nowhere. What
// reached the simulator shows each hop.
TEST_F(LookupTest, ShareTextFindsItsItemThroughTheShortLinkPage) {
    ASSERT_TRUE(sim().clearLog());
    const std::string shortLink = sim().otherUrl("/h.5zxz3j69cN5go4k?tk=XUymWKIqxIz");
    session_->pasteItemText("【淘宝】" + shortLink + " MF6563 「CONVERSE 匡威 经典款 帆布鞋」\r\n点击链接直接打开 或者 淘宝搜索直接打开");
    EXPECT_EQ(session_->status(), "\"ABC\"的返利是12.5元！");
    EXPECT_EQ(lastSearchedId(), "20496648200");
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
    EXPECT_EQ(lastSearchedId(), "623174277353");
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

TEST_F(LookupTest, LinksThatLeadNowhereEndInTheFailureText) {
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
        EXPECT_EQ(lastSearchedId(), "");
        const auto requests = hops();
        EXPECT_EQ(requests.size(), c.requests);
        for (const SimRequest& hop : requests) {
            EXPECT_EQ(hop.path(), c.shortLink);
        }
    }
}

struct TitleCase {
    const char* name;
    const char* titleJson;  // the raw JSON value the platform sends
    const char* shown;
};

TEST_F(LookupTest, TitlesShowAsAPersonReadsThemInTheLabelAndTheResultWindow) {
    const TitleCase cases[] = {
        {"markup and escapes", "\"<span class=H>连衣裙</span>夏季新款 \\\"显瘦\\\" 女装\\/碎花\"",
         "\"连衣裙夏季新款 \"显瘦\" 女装/碎花\""},
        {"\\u escapes", "\"\\u8fde\\u8863\\u88D9 \\ud83d\\ude00\\u0e01\"", "\"连衣裙 ??\""},
        {"entities", "\"A&amp;B &lt;夏&gt; &#36830;&quot;\"", "\"A&B <夏> 连\"\""},
        {"a lone <", "\"a < b > c\"", "\"a < b > c\""},
        {"line breaks and blanks", "\" 连衣裙\\n\\t  夏季 \"", "\"连衣裙 夏季\""},
        {"empty", "\"\"", "\"\""},
    };
    const auto page = openItemPage();
    ASSERT_TRUE(page->ready()) << page->failure();
    for (const TitleCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(sim().set({{"titleJson", c.titleJson}}));
        session_->pasteItemText(sim().otherUrl("/item.htm?id=12345678901"));
        EXPECT_EQ(session_->status(), std::string(c.shown) + "的返利是12.5元！");
        HWND result = pressHomeAt(page->contentPoint());
        ASSERT_NE(result, nullptr) << "no result window; status: " << session_->status();
        EXPECT_EQ(resultText(result), std::string(c.shown) + "的返利是12.5元！已成功复制返利地址！");
        closeResultWindow(result);
    }
}

TEST_F(LookupTest, HomeOverThePageOrItsFrameShowsTheResultAndCopiesTheLink) {
    const auto page = openItemPage();
    ASSERT_TRUE(page->ready()) << page->failure();

    for (POINT point : {page->contentPoint(), page->captionPoint()}) {
        SCOPED_TRACE(point.y);
        HWND result = pressHomeAt(point);
        ASSERT_NE(result, nullptr) << "no result window; status: " << session_->status();
        EXPECT_EQ(resultText(result), kAbcResult);
        EXPECT_TRUE(GetWindowLongPtrW(result, GWL_EXSTYLE) & WS_EX_TOPMOST);
        const std::string link = clipboardText();
        EXPECT_NE(link.find("auctionid=12345678901&adzoneid=202&siteid=101"), std::string::npos) << link;
        closeResultWindow(result);
    }
    EXPECT_EQ(searches().size(), 2u);
    EXPECT_EQ(sim().requestsTo(kLinkPath).size(), 2u);
}

TEST_F(LookupTest, HomeOverAWindowWithoutAPageRepeatsTheLastCapturedPage) {
    const auto page = openItemPage();
    ASSERT_TRUE(page->ready()) << page->failure();
    closeResultWindow(pressHomeAt(page->contentPoint()));

    // The member navigated since; the held page's current address counts.
    ASSERT_TRUE(page->navigate(sim().otherUrl("/item.htm?id=22222222222")));
    HWND result = pressHomeAt(overMainWindow());
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(lastSearchedId(), "22222222222");
    closeResultWindow(result);
}

TEST_F(LookupTest, HomeBeforeAnyCaptureOverAWindowWithoutAPageFails) {
    moveMouse(overMainWindow().x, overMainWindow().y);
    pressKeys(L"Home");
    EXPECT_TRUE(session_->waitForStatus(kLookupFailure));
    EXPECT_EQ(findWindowOfClass(processId(), ResultWindow::kClassName), nullptr);
}

TEST_F(LookupTest, WithTwoViewsTheFirstInChildOrderWins) {
    DocViewSetup setup;
    setup.address = sim().otherUrl("/item.htm?id=11111111111");
    setup.secondAddress = sim().otherUrl("/item.htm?id=33333333333");
    DocViewProcess browser(setup);
    ASSERT_TRUE(browser.ready()) << browser.failure();
    HWND result = pressHomeAt(browser.captionPoint());
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(lastSearchedId(), "11111111111");
    closeResultWindow(result);
}

TEST_F(LookupTest, FailedLinkSaysSoAndItsButtonCannotOpenTheEarlierLink) {
    const std::string firstLink = sim().otherUrl("/elite/first");
    ASSERT_TRUE(sim().set({{"eliteUrl", firstLink}}));
    const auto page = openItemPage();
    ASSERT_TRUE(page->ready()) << page->failure();
    HWND first = pressHomeAt(page->contentPoint());
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(first, ResultWindow::kOpenLinkButtonId)));
    closeResultWindow(first);

    for (const char* linkMode : {"linkOk", "linkShape"}) {
        SCOPED_TRACE(linkMode);
        ASSERT_TRUE(sim().set({{linkMode, std::string(linkMode) == "linkOk" ? "0" : "none"}}));
        HWND result = pressHomeAt(page->contentPoint());
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(resultText(result), "\"ABC\"的返利是12.5元！返利链接获取失败！");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(result, ResultWindow::kOpenLinkButtonId)));
        EXPECT_EQ(clipboardText(), firstLink);
        closeResultWindow(result);
        ASSERT_TRUE(sim().set({{"reset", "1"}, {"title", "ABC"}, {"commission", "12.5"}}));
    }
}

TEST_F(LookupTest, BurstOfHomePressesLeavesOneCorrectResult) {
    const auto page = openItemPage();
    ASSERT_TRUE(page->ready()) << page->failure();
    const POINT content = page->contentPoint();
    moveMouse(content.x, content.y);
    std::wstring keys;
    for (int i = 0; i < 20; ++i) {
        keys += L"Home ";
    }
    pressKeys(keys);
    ASSERT_NE(waitForWindowOfClass(processId(), ResultWindow::kClassName), nullptr);
    // Responsive again, and never more than one result window.
    session_->waitUntilIdle();
    int resultWindows = 0;
    for (HWND window : topLevelWindows(processId())) {
        if (IsWindowVisible(window) && windowClass(window) == ResultWindow::kClassName) {
            ++resultWindows;
            EXPECT_EQ(resultText(window), kAbcResult);
        }
    }
    EXPECT_EQ(resultWindows, 1);
    const std::size_t searched = searches().size();
    EXPECT_GE(searched, 1u);
    // Presses made while a capture runs are dropped, those queued behind its network calls
    // too: a few captures, not one for every press.
    EXPECT_LE(searched, 5u);
    EXPECT_EQ(sim().requestsTo(kLinkPath).size(), searched) << "one link per completed lookup";
}

TEST_F(LookupTest, NewResultReplacesTheOpenResultWindow) {
    const auto page = openItemPage();
    ASSERT_TRUE(page->ready()) << page->failure();
    HWND first = pressHomeAt(page->contentPoint());
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(sim().set({{"title", "XYZ"}, {"commission", "7"}}));
    pressKeys(L"Home");
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(first); })) << "the old result window stays";
    HWND second = waitForWindowOfClass(processId(), ResultWindow::kClassName);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(resultText(second), "\"XYZ\"的返利是7元！已成功复制返利地址！");
}

TEST_F(LookupTest, EndButtonEndsTheProgramAndFreesHome) {
    const auto page = openItemPage();
    ASSERT_TRUE(page->ready()) << page->failure();
    HWND result = pressHomeAt(page->contentPoint());
    ASSERT_NE(result, nullptr);
    PostMessageW(GetDlgItem(result, ResultWindow::kEndButtonId), BM_CLICK, 0, 0);
    DWORD exitCode = 1234;
    ASSERT_TRUE(session_->app().process().waitForExit(15000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    // Home is free again for other programs.
    EXPECT_TRUE(RegisterHotKey(nullptr, 78, 0, VK_HOME));
    UnregisterHotKey(nullptr, 78);
}

TEST(MemberRoad, LoginHarvestHomeResultClipboardAndBrowser) {
    PlatformSession session;
    ASSERT_TRUE(session.ready());
    const std::string mark = uniqueBrowserMark();
    const std::string link = session.sim().otherUrl("/elite/road?" + mark);
    ASSERT_TRUE(session.sim().set({{"title", "ABC"}, {"commission", "12.5"}, {"eliteUrl", link}}));

    EXPECT_EQ(session.harvest().text, kHarvestSuccess);
    DocViewSetup setup;
    setup.address = session.sim().otherUrl("/item.htm?id=12345678901");
    DocViewProcess browser(setup);
    ASSERT_TRUE(browser.ready()) << browser.failure();
    moveMouse(browser.contentPoint().x, browser.contentPoint().y);
    pressKeys(L"Home");
    HWND result = waitForWindowOfClass(session.processId(), ResultWindow::kClassName);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(windowText(GetDlgItem(result, ResultWindow::kMessageLabelId)), kAbcResult);
    EXPECT_EQ(clipboardText(), link);
    PostMessageW(GetDlgItem(result, ResultWindow::kOpenLinkButtonId), BM_CLICK, 0, 0);
    ASSERT_TRUE(waitForBrowserLaunchesWith(mark, 1));
    EXPECT_EQ(browserLaunchesWith(mark)[0], link);
}

}  // namespace
}  // namespace quillane::test
