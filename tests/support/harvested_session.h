#pragma once
// The start most end-to-end cases share: the simulator describing item "ABC" with a commission
// of 12.5, the member logged in, quillane.exe started against it and harvested.
#include <gtest/gtest.h>

#include <memory>

#include "app/main_window.h"
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
        ASSERT_TRUE(session_->ready()) << session_->failure();
        ASSERT_TRUE(sim().set({{"title", "ABC"}, {"commission", "12.5"}}));
    }
    void startHarvested(const EnvironmentOverrides& extra = {}) {
        start(true, extra);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_EQ(session_->harvest().text, kHarvestSuccess);
    }

    PlatformSim& sim() { return session_->sim(); }

    POINT overMainWindow() { return session_->app().controlCentre(MainWindow::kStatusLabelId); }

    std::unique_ptr<PlatformSession> session_;
};

}  // namespace quillane::test
