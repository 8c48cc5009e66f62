// Home's page read in a browser that hangs: each read still inside it keeps a worker, so at
// most two are left there at a time; while two are, Home reads no page, and once one of them
// ends the next press reads again.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "workflow/page_capture.h"

namespace quillane {
namespace {

// Workers whose bounded jobs never end in time: each is kept, as a read held by a hung
// browser, until the test lets it end.
class HungBrowserWork final : public ParallelWork {
public:
    void forEach(std::size_t count, std::size_t width, const std::function<void(std::size_t)>& task) override {
        callingThreadOnly().forEach(count, width, task);
    }
    bool runWithin(std::function<void()> job, DWORD) override {
        held_.push_back(std::move(job));
        return false;
    }
    std::size_t held() const { return held_.size(); }
    void endOldest() {
        std::function<void()> job = std::move(held_.front());
        held_.erase(held_.begin());
        job();
    }

private:
    std::vector<std::function<void()>> held_;
};

TEST(PageCapture, AtMostTwoReadsAreLeftInAHungBrowser) {
    HungBrowserWork work;
    Deployment deployment;
    deployment.apiHost = "127.0.0.1:9";  // nothing listens: the lookup after the read fails at once
    deployment.apiScheme = "http";
    std::shared_ptr<CapturedPage> lastPage;
    const auto pressHome = [&] { return captureItemPage(nullptr, SessionState{}, deployment, lastPage, work); };
    const std::size_t heldAfterPress[] = {1, 2, 2, 2};
    for (std::size_t press = 0; press < std::size(heldAfterPress); ++press) {
        SCOPED_TRACE("press " + std::to_string(press + 1));
        const LookupResult result = pressHome();
        EXPECT_EQ(work.held(), heldAfterPress[press]);
        EXPECT_TRUE(result.item.id.empty());  // no page read, no item
    }
    // One read ends: the next press reads again, and is left there as well.
    work.endOldest();
    pressHome();
    EXPECT_EQ(work.held(), 2u);
    while (work.held() > 0) {
        work.endOldest();
    }
}

}  // namespace
}  // namespace quillane
