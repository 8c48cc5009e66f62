#pragma once
// The reliability suite's common ground: a member logged in to the simulated platform with a
// harvested session in the real quillane.exe, the member's actions with a bound on how long
// the window may stay busy, the check that the session is still whole after a case, and the
// audit that the session went to no host but the API host.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/main_window.h"
#include "http/request_limits.h"
#include "harness/platform_session.h"
#include "tests/support/harvested_session.h"
#include "tests/support/sim_requests.h"
#include "tests/support/reliability_record.h"
#include "workflow/member_texts.h"
#include "workflow/service_paths.h"
#include "harness/wait.h"
#include "util/wide_text.h"

namespace quillane::test {

inline constexpr const char* kAbcStatus = "\"ABC\"的返利是12.5元！";
inline constexpr const char* kItemId = "12345678901";
// A lookup makes at most two requests (the page and the search); each may use its whole
// time-out. Anything beyond that and some slack is a window that hangs.
inline constexpr DWORD kAnswerBoundMs = 2 * kDefaultRequestTimeoutMs + 10000;

class ReliabilityTest : public HarvestedSessionTest {
protected:
    // requestTimeoutMs: the program's request time-out, 0 for its default.
    void startSession(const char* category, unsigned long requestTimeoutMs = 0) {
        record_ = std::make_unique<ReliabilityRecord>(category);
        EnvironmentOverrides overrides;
        if (requestTimeoutMs != 0) {
            overrides.emplace_back(L"QUILLANE_REQUEST_TIMEOUT_MS", std::to_wstring(requestTimeoutMs));
        }
        startHarvested(overrides);
    }

    // Every request that reached the simulator, the notice and the item pages included, is
    // checked for the session; then the counts are written.
    void TearDown() override {
        if (session_ && session_->ready()) {
            const int leaks = sessionCookieLeaks(sim().requests(), sim().apiHost());
            EXPECT_EQ(leaks, 0) << "the session went to another host";
            record_->cookiesLeaked(leaks);
        }
        session_.reset();
        record_.reset();
    }

    static std::vector<std::pair<std::string, std::string>> itemModes() {
        return {{"reset", "1"}, {"title", "ABC"}, {"commission", "12.5"}};
    }
    DWORD processId() const { return session_->processId(); }
    HWND itemBox() const { return session_->app().control(MainWindow::kItemEditId); }
    std::string goodItem(const std::string& itemId = kItemId) { return sim().itemPage(itemId); }
    std::string goodLink(const std::string& itemId = kItemId) { return sim().memberLink(itemId); }
    // An item that no link was made for yet in this session: a link made earlier is kept per
    // item, so only a new item's double-click (or the lookup before it) asks the platform.
    std::string newItemId() { return std::to_string(23456789000 + ++itemsAsked_); }
    bool alive() { return session_->app().process().isRunning(); }

    bool answersWithin(DWORD boundMs) const { return session_->waitUntilIdle(boundMs); }
    // As one paste does; true when the lookup it started was over within the bound.
    bool paste(const std::string& gbk) { return session_->pasteItemText(gbk, kAnswerBoundMs); }
    // The member's own paste: the text goes on the clipboard, the box takes it from there.
    bool pasteFromClipboard(const std::wstring& text, DWORD boundMs = kAnswerBoundMs) {
        replaceClipboardWith(wideToGbk(text));
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutW(itemBox(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""), SMTO_NORMAL, boundMs,
                                   &ignored) != 0 &&
               SendMessageTimeoutW(itemBox(), WM_PASTE, 0, 0, SMTO_NORMAL, boundMs, &ignored) != 0 &&
               session_->waitUntilIdle(boundMs);
    }
    // True when the link request came and the window answered again within the bound.
    bool doubleClick() { return session_->doubleClickItemBox(kAnswerBoundMs); }

    // After a case, with the platform answering normally again: a lookup and a link that go
    // out with the login's cookies, the token and the member's ids, and the link arrives.
    bool sessionStillWhole() {
        const std::string itemId = newItemId();
        const bool looked = sim().set(itemModes()) && paste(goodItem(itemId)) && session_->status() == kAbcStatus;
        const bool clicked = looked && doubleClick();
        EXPECT_TRUE(looked && clicked) << "lookup " << looked << ", link request " << clicked;
        if (!clicked) {
            return false;
        }
        const SimRequest search = lastRequestTo(sim(), kSearchPath);
        const SimRequest link = lastRequestTo(sim(), kLinkPath);
        const bool whole = carriesSession(search) && carriesSession(link) && link.queryValue("siteid") == "101" &&
                           link.queryValue("adzoneid") == "202" && link.queryValue("auctionid") == itemId &&
                           session_->waitForStatus(kLinkCopied) && clipboardText() == goodLink(itemId);
        EXPECT_TRUE(whole) << "search: " << search.requestLine << " cookies: " << search.cookieHeader()
                           << "\nlink: " << link.requestLine << " cookies: " << link.cookieHeader();
        return whole;
    }

    std::unique_ptr<ReliabilityRecord> record_;
    long long itemsAsked_ = 0;
};

}  // namespace quillane::test
