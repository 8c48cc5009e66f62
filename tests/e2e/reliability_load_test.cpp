// Load on the hot-key and the item box, end to end: a burst of Home presses, a thousand
// changes of the box in a row, double-clicks while a lookup is running. No crash, never a
// lookup inside another, and the final state is the one the last action asked for.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/result_window.h"
#include "tests/e2e/reliability_fixture.h"
#include "harness/doc_view_client.h"

namespace quillane::test {
namespace {

class ReliabilityLoad : public ReliabilityTest {
protected:
    void SetUp() override { startSession("load"); }

    int visibleResultWindows() {
        int count = 0;
        for (HWND window : topLevelWindows(processId())) {
            count += IsWindowVisible(window) && windowClass(window) == ResultWindow::kClassName ? 1 : 0;
        }
        return count;
    }
};

TEST_F(ReliabilityLoad, TwoHundredHomePressesInABurst) {
    DocViewProcess browser(DocViewSetup{.address = goodItem()});
    ASSERT_TRUE(browser.ready()) << browser.failure();
    moveMouse(browser.contentPoint().x, browser.contentPoint().y);
    std::wstring keys;
    for (int i = 0; i < 200; ++i) {
        keys += L"Home ";
    }
    // Returns once every press has been made.
    pressKeys(keys);
    const bool shown = waitForWindowOfClass(processId(), ResultWindow::kClassName, kAnswerBoundMs) != nullptr;
    // The burst is over once no search has come for longer than one capture takes (the
    // replaced result window alone may take two seconds to go under Wine) and the window
    // answers.
    std::size_t seen = 0;
    ULONGLONG lastChange = GetTickCount64();
    const bool settled = waitUntil(
        [&] {
            const std::size_t now = sim().requestsTo(kSearchPath).size();
            if (now != seen) {
                seen = now;
                lastChange = GetTickCount64();
            }
            return GetTickCount64() - lastChange > 5000 && answersWithin(kAnswerBoundMs);
        },
        200 * 2000);
    const bool answered = settled && answersWithin(kAnswerBoundMs);
    // Presses made while a capture runs are dropped, whether the capture was waiting for the
    // network or processing messages: far fewer captures than presses, each with one search
    // and one link.
    const std::size_t searches = sim().requestsTo(kSearchPath).size();
    const std::size_t links = sim().requestsTo(kLinkPath).size();
    HWND result = findWindowOfClass(processId(), ResultWindow::kClassName);
    const std::string shownText = result ? resultText(result) : "";
    const int resultWindows = visibleResultWindows();
    const std::string clipboard = clipboardText();
    // Never more than one result window; the one shown (if the last press's run showed one)
    // tells the right item, and every run made its link after its search.
    const bool resultRight = resultWindows == 0 || shownText == kAbcResult;
    EXPECT_TRUE(shown);
    EXPECT_TRUE(answered);
    EXPECT_TRUE(alive());
    EXPECT_LE(resultWindows, 1);
    EXPECT_TRUE(resultRight) << shownText;
    EXPECT_GE(searches, 1u);
    // Home takes one round trip, so a burst fits more runs than presses it drops; far fewer all the same.
    EXPECT_LT(searches, 150u);
    EXPECT_EQ(links, searches);
    EXPECT_EQ(clipboard, goodLink());
    std::printf("200 Home presses: %zu runs, %d result window(s) at the end\n", searches, resultWindows);
    const bool survived = shown && answered && alive() && resultWindows <= 1 && resultRight && links == searches &&
                          clipboard == goodLink();
    // The result window stays on top of everything, the item box included.
    if (result != nullptr) {
        closeResultWindow(result);
    }
    record_->caseRun(survived, sessionStillWhole());
}

TEST_F(ReliabilityLoad, ThousandChangesOfTheItemBoxInARow) {
    // Each typed character is a change of its own, queued behind the lookups before it; the
    // last change, a paste queued behind them all, is the first text that names the item (a
    // half-typed address names a page too, and would be fetched).
    ASSERT_TRUE(sim().clearLog());
    const std::string address = std::string(1, ' ').append(goodItem());
    const std::string typed999(999, 'x');
    const std::string text = typed999 + address;
    replaceClipboardWith(address);
    for (char c : typed999) {
        PostMessageW(itemBox(), WM_CHAR, static_cast<WPARAM>(c), 0);
    }
    PostMessageW(itemBox(), WM_PASTE, 0, 0);
    const bool typed = waitUntil([&] { return session_->app().controlText(MainWindow::kItemEditId) == text; }, 120000);
    const bool answered = answersWithin(kAnswerBoundMs);
    const auto searches = sim().requestsTo(kSearchPath);
    EXPECT_TRUE(typed);
    EXPECT_TRUE(answered);
    EXPECT_TRUE(alive());
    EXPECT_EQ(session_->status(), kAbcStatus);
    ASSERT_FALSE(searches.empty());
    EXPECT_LE(searches.size(), 1000u);
    // Lookups of older texts may still answer after the newest one's: the newest text's search
    // is among them, and its result is the one shown.
    EXPECT_TRUE(std::any_of(searches.begin(), searches.end(), [](const SimRequest& search) {
        const std::string q = search.queryValue("q").value_or("");
        return q.size() >= 11 && q.substr(q.size() - 11) == kItemId;
    }));
    // Nothing but the searches and the link asked ahead for the item found went out: none of
    // the texts on the way was a page address.
    EXPECT_LE(sim().requestsTo(kLinkPath).size(), 1u);
    EXPECT_EQ(sim().requests().size(), searches.size() + sim().requestsTo(kLinkPath).size())
        << requestLines(sim().requests());
    std::printf("1000 changes: %zu searches\n", searches.size());
    const bool survived = typed && answered && alive() && session_->status() == kAbcStatus;
    record_->caseRun(survived, carriesSession(searches.back()) && sessionStillWhole());
}

TEST_F(ReliabilityLoad, DoubleClicksDuringARunningLookup) {
    const std::string itemId = newItemId();
    ASSERT_TRUE(paste(goodItem(itemId)));
    // The lookup asked for the item's link ahead; the clipboard is then the double-click's.
    const std::size_t linksBefore = sim().requestsTo(kLinkPath).size();
    ASSERT_EQ(linksBefore, 1u);
    replaceClipboardWith("kept");
    // The next lookup's search is held back for two seconds; the member double-clicks the
    // box three times meanwhile.
    ASSERT_TRUE(sim().set({{"fault", "delay:2000"}, {"on", "search"}, {"times", "1"}}));
    const std::size_t searchesBefore = sim().requestsTo(kSearchPath).size();
    PostMessageW(itemBox(), WM_CHAR, L' ', 0);
    ASSERT_TRUE(waitUntil([&] { return sim().requestsTo(kSearchPath).size() > searchesBefore; }));
    const POINT centre = session_->app().controlCentre(MainWindow::kItemEditId);
    for (int i = 0; i < 3; ++i) {
        doubleClickAt(centre.x, centre.y);
    }
    // The double-clicks wait for the lookup of what the box names now, then copy the link
    // kept for its item at once: no request of their own, however many came.
    const bool answered = answersWithin(kAnswerBoundMs);
    const bool copied = session_->waitForStatus(kLinkCopied) && clipboardText() == goodLink(itemId);
    EXPECT_TRUE(answered);
    EXPECT_TRUE(alive());
    EXPECT_TRUE(copied) << clipboardText();
    EXPECT_EQ(sim().requestsTo(kLinkPath).size(), linksBefore);
    const bool survived = answered && alive() && copied && sim().requestsTo(kLinkPath).size() == linksBefore;
    record_->caseRun(survived, sessionStillWhole());
}

}  // namespace
}  // namespace quillane::test
