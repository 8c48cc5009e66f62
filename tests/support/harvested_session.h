#pragma once
// The start most end-to-end cases share: the simulator describing item "ABC" with a commission
// of 12.5, the member logged in, quillane.exe started against it and harvested; and what those
// cases do with it: Home over a point, the result window it brings, the item last searched.
#include <gtest/gtest.h>

#include <memory>

#include "app/main_window.h"
#include "app/result_window.h"
#include "harness/platform_session.h"
#include "harness/wait.h"
#include "workflow/member_texts.h"
#include "workflow/service_paths.h"

namespace quillane::test {

inline constexpr const char* kAbcResult = "\"ABC\"的返利是12.5元！已成功复制返利地址！";

class HarvestedSessionTest : public ::testing::Test {
protected:
    void SetUp() override { startHarvested(); }

    // The member logged in (or not) and quillane.exe started, nothing harvested yet. extra:
    // deployment values of quillane.exe besides the simulator's.
    void start(bool loggedIn = true, const EnvironmentOverrides& extra = {}) {
        // One Quillane runs at a time: the earlier one ends before the next starts.
        session_.reset();
        session_ = std::make_unique<PlatformSession>(loggedIn, extra);
        ASSERT_TRUE(session_->ready()) << "simulator, login or quillane.exe did not start";
        ASSERT_TRUE(sim().set({{"title", "ABC"}, {"commission", "12.5"}}));
    }
    void startHarvested(const EnvironmentOverrides& extra = {}) {
        start(true, extra);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_EQ(session_->harvest().text, kHarvestSuccess);
    }

    PlatformSim& sim() { return session_->sim(); }

    // The item id the last search asked the platform about ("" when it named none).
    std::string lastSearchedId() {
        const auto searches = sim().requestsTo(kSearchPath);
        if (searches.empty()) {
            return "(no search)";
        }
        const std::string q = searches.back().queryValue("q").value_or("");
        const std::size_t id = q.rfind("id%3D");
        return id == std::string::npos ? "" : q.substr(id + 5);
    }

    // Moves the mouse and waits until the system has it there: a press right after a move
    // must not be read at the mouse's earlier place (the last case's browser, maybe).
    static void pointAt(POINT point) {
        moveMouse(point.x, point.y);
        EXPECT_TRUE(waitUntil([&] {
            POINT now{};
            return GetCursorPos(&now) && now.x == point.x && now.y == point.y;
        }));
    }
    // Presses Home with the mouse at the point; returns the result window that came up (null:
    // none came). A press made during a run is dropped: this returns once the run is over.
    HWND pressHomeAt(POINT point) {
        pointAt(point);
        pressKeys(L"Home");
        HWND result = waitForWindowOfClass(session_->processId(), ResultWindow::kClassName);
        session_->waitUntilIdle();
        return result;
    }
    static std::string resultText(HWND window) {
        return windowText(GetDlgItem(window, ResultWindow::kMessageLabelId));
    }
    static bool openLinkEnabled(HWND window) {
        return IsWindowEnabled(GetDlgItem(window, ResultWindow::kOpenLinkButtonId)) != FALSE;
    }
    static void closeResultWindow(HWND window) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        waitUntil([&] { return !IsWindow(window); });
    }
    // The main window's two views: the login page over the controls, or the controls alone.
    bool loginViewShown() { return browserShown() && mainWindowHeight() == 387; }
    bool compactViewShown() { return !browserShown() && mainWindowHeight() == 236; }
    POINT overMainWindow() { return session_->app().controlCentre(MainWindow::kStatusLabelId); }

    std::unique_ptr<PlatformSession> session_;

private:
    bool browserShown() { return IsWindowVisible(session_->app().control(MainWindow::kBrowserId)) != FALSE; }
    int mainWindowHeight() {
        const RECT rect = windowRect(session_->app().mainWindow());
        return rect.bottom - rect.top;
    }
};

}  // namespace quillane::test
