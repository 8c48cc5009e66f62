// The window never waits: whatever the platform, the notice host or a browser keeps it
// waiting for, it answers, says that it is asking, and ends at Esc; the newest box wins; Home
// asks its two questions at once; a double-click finds the link already asked for.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/result_window.h"
#include "harness/doc_view_client.h"
#include "harness/message_box.h"
#include "harness/scripted_server.h"
#include "tests/support/harvested_session.h"
#include "tests/support/sim_requests.h"
#include "util/wide_text.h"
#include "workflow/page_capture.h"

namespace quillane::test {
namespace {

using Modes = std::vector<std::pair<std::string, std::string>>;

// Far beyond what a window in its message loop takes even on a busy machine, far below the
// time a silent peer holds a request: a frozen window fails it.
constexpr DWORD kAnswerMs = 1000;
// Esc, the close box and 关闭隐藏程序 end the program within this, whatever is in flight.
constexpr DWORD kEndMs = 1000;

// The close box, as it asks the window; true when the program ended within kEndMs.
bool endsAtCloseBox(RunningProgram& program, HWND window) {
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return program.waitForExit(kEndMs);
}

class ResponsiveWindowTest : public HarvestedSessionTest {
protected:
    HWND mainWindow() { return session_->app().mainWindow(); }
    std::size_t requestsTo(const char* path) { return sim().requestsTo(path).size(); }
};

enum class Waited { Paste, DoubleClick, Home, Harvest };

struct SilentCase {
    const char* label;
    const char* silentService;  // the simulator's name of the service that never answers
    const char* path;
    Waited action;
};

TEST_F(ResponsiveWindowTest, ASilentPlatformNeverHoldsTheWindowAndEscEndsTheProgram) {
    const DocViewProcess page(DocViewSetup{.address = sim().itemPage("12345678901")});
    ASSERT_TRUE(page.ready()) << page.failure();
    const SilentCase cases[] = {
        {"box lookup", "search", kSearchPath, Waited::Paste},
        // The lookup asked for the link ahead and it never came: the double-click waits for it.
        {"double-click", "link", kLinkPath, Waited::DoubleClick},
        {"Home", "search", kSearchPath, Waited::Home},
        {"harvest", "adzone", kAdzonePath, Waited::Harvest},
    };
    for (const SilentCase& c : cases) {
        SCOPED_TRACE(c.label);
        startHarvested();
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(sim().set({{"fault", "silent"}, {"on", c.silentService}}));
        ASSERT_TRUE(sim().clearLog());
        switch (c.action) {
        case Waited::Paste:
            session_->startPaste(sim().itemPage("12345678901"));
            break;
        case Waited::DoubleClick:
            session_->startPaste(sim().itemPage("12345678901"));
            ASSERT_TRUE(waitUntil([&] { return requestsTo(kLinkPath) > 0; }));
            session_->startDoubleClick();
            break;
        case Waited::Home:
            moveMouse(page.contentPoint().x, page.contentPoint().y);
            pressKeys(L"Home");
            break;
        case Waited::Harvest:
            session_->app().clickButton(MainWindow::kHarvestButtonId);
            break;
        }
        ASSERT_TRUE(waitUntil([&] { return requestsTo(c.path) > 0; })) << "the request never went out";
        EXPECT_TRUE(session_->answersWithin(kAnswerMs)) << "the window is frozen";
        EXPECT_TRUE(session_->waitForStatus(kQuerying, 5000)) << session_->status();
        EXPECT_GT(session_->runsInFlight(), 0);
        EXPECT_TRUE(session_->endsAtEscape(kEndMs)) << "still running after Esc";
    }
}

TEST_F(ResponsiveWindowTest, AHungBrowserNeverHoldsTheWindowAndHomeEndsWithinItsBound) {
    const DocViewProcess page(DocViewSetup{.address = sim().itemPage("12345678901"), .hang = true});
    ASSERT_TRUE(page.ready()) << page.failure();
    ASSERT_TRUE(sim().clearLog());
    moveMouse(page.contentPoint().x, page.contentPoint().y);
    pressKeys(L"Home");
    ASSERT_TRUE(waitUntil([&] { return session_->runsInFlight() > 0; }, 5000)) << "Home started no run";
    EXPECT_TRUE(session_->answersWithin(kAnswerMs)) << "the window waits for the browser";
    // The read gives up on the browser within its bound: no page, so the failure text.
    EXPECT_TRUE(session_->waitUntilIdle(kPageReadBoundMs + 5000));
    EXPECT_EQ(session_->status(), kLookupFailure);
    // Home again, and the close box at once: the program does not wait for the read. (Not Esc:
    // under Xvfb without a window manager the hung stand-in keeps the keyboard.)
    pressKeys(L"Home");
    EXPECT_TRUE(endsAtCloseBox(session_->app().process(), mainWindow())) << "still running after the close box";
}

// The first text's search is held back and answers with another title than the second's:
// its late result must change nothing the member sees or keeps.
TEST_F(ResponsiveWindowTest, TheNewestPasteWinsOverALateOlderLookup) {
    ASSERT_TRUE(sim().set({{"title", "OLD"}, {"fault", "delay:2000"}, {"on", "search"}, {"times", "1"}}));
    ASSERT_TRUE(sim().clearLog());
    session_->startPaste(sim().itemPage("11111111111"));
    ASSERT_TRUE(waitUntil([&] { return requestsTo(kSearchPath) == 1; }));
    ASSERT_TRUE(sim().set({{"title", "NEW"}}));
    replaceClipboardWith("kept");
    session_->startPaste(sim().itemPage("22222222222"));
    EXPECT_TRUE(session_->waitForStatus("\"NEW\"的返利是12.5元！", 1500)) << "the newer text waited for the older";
    // The older result has come in once nothing is in flight any more.
    ASSERT_TRUE(session_->waitUntilIdle());
    EXPECT_EQ(session_->status(), "\"NEW\"的返利是12.5元！");
    EXPECT_EQ(clipboardText(), "kept");
    // The kept item is the newer one's: the double-click copies its link, and no link was
    // ever asked for the older item.
    ASSERT_TRUE(session_->doubleClickItemBox());
    EXPECT_EQ(session_->status(), kLinkCopied);
    EXPECT_EQ(clipboardText(), sim().memberLink("22222222222"));
    for (const SimRequest& link : sim().requestsTo(kLinkPath)) {
        EXPECT_EQ(link.queryValue("auctionid"), "22222222222");
    }
}

struct DoubleClickCase {
    const char* label;
    const char* itemId;
    Modes linkAhead;  // how the simulator treats the link asked for after the lookup
    bool waitForItFirst;  // the double-click comes once the link asked ahead is over
    std::size_t linkRequests;
};

TEST_F(ResponsiveWindowTest, ADoubleClickCopiesTheLinkAskedAheadWaitsForItOrAsksAgain) {
    const DoubleClickCase cases[] = {
        {"link in", "31111111111", {}, true, 1},
        {"link in flight", "32222222222", {{"fault", "delay:1500"}, {"on", "link"}, {"times", "1"}}, false, 1},
        {"link failed", "33333333333", {{"fault", "status:500"}, {"on", "link"}, {"times", "1"}}, true, 2},
    };
    for (const DoubleClickCase& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(sim().set({{"reset", "1"}, {"title", "ABC"}, {"commission", "12.5"}}));
        ASSERT_TRUE(c.linkAhead.empty() || sim().set(c.linkAhead));
        ASSERT_TRUE(sim().clearLog());
        replaceClipboardWith("kept");
        if (c.waitForItFirst) {
            ASSERT_TRUE(session_->pasteItemText(sim().itemPage(c.itemId)));
            EXPECT_EQ(requestsTo(kLinkPath), 1u) << "the lookup asked for no link ahead";
        } else {
            session_->startPaste(sim().itemPage(c.itemId));
            ASSERT_TRUE(waitUntil([&] { return requestsTo(kLinkPath) == 1; }));
        }
        ASSERT_TRUE(session_->doubleClickItemBox());
        EXPECT_EQ(session_->status(), kLinkCopied);
        EXPECT_EQ(clipboardText(), sim().memberLink(c.itemId));
        EXPECT_EQ(requestsTo(kLinkPath), c.linkRequests);
    }
}

// Both of Home's requests reach the platform while each is still held back: one round trip.
TEST_F(ResponsiveWindowTest, HomeAsksForTheItemAndItsLinkAtOnce) {
    const DocViewProcess page(DocViewSetup{.address = sim().itemPage("12345678901")});
    ASSERT_TRUE(page.ready()) << page.failure();
    ASSERT_TRUE(sim().set({{"delay", "1500"}}));
    ASSERT_TRUE(sim().clearLog());
    moveMouse(page.contentPoint().x, page.contentPoint().y);
    pressKeys(L"Home");
    const bool bothAsked =
        waitUntil([&] { return requestsTo(kSearchPath) == 1 && requestsTo(kLinkPath) == 1; }, 5000);
    const bool noAnswerYet = findWindowOfClass(session_->processId(), ResultWindow::kClassName) == nullptr;
    EXPECT_TRUE(bothAsked);
    EXPECT_TRUE(noAnswerYet) << "the result window came before both requests were asked";
    HWND result = waitForWindowOfClass(session_->processId(), ResultWindow::kClassName);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(resultText(result), kAbcResult);
    EXPECT_EQ(clipboardText(), sim().memberLink("12345678901"));
    closeResultWindow(result);
}

}  // namespace
}  // namespace quillane::test
