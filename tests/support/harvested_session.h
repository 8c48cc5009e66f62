#pragma once
// The start most end-to-end cases share: the simulator describing item "ABC" with a commission
// of 12.5, the member logged in, quillane.exe started against it and harvested.
#include <gtest/gtest.h>

#include <memory>

#include "harness/platform_session.h"
#include "workflow/member_texts.h"

namespace quillane::test {

class HarvestedSessionTest : public ::testing::Test {
protected:
    void SetUp() override { startHarvested(); }

    // extra: deployment values of quillane.exe besides the simulator's.
    void startHarvested(const EnvironmentOverrides& extra = {}) {
        // One Quillane runs at a time: the earlier one ends before the next starts.
        session_.reset();
        session_ = std::make_unique<PlatformSession>(true, extra);
        ASSERT_TRUE(session_->ready()) << "simulator, login or quillane.exe did not start";
        ASSERT_TRUE(sim().set({{"title", "ABC"}, {"commission", "12.5"}}));
        ASSERT_EQ(session_->harvest().text, kHarvestSuccess);
    }

    PlatformSim& sim() { return session_->sim(); }

    std::unique_ptr<PlatformSession> session_;
};

}  // namespace quillane::test
