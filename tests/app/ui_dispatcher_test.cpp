// Results posted from worker threads to the window thread through the dispatcher: each runs
// on the window thread, and one whose window is gone, or whose dispatcher is gone, never runs
// and still releases what it holds.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "app/ui_dispatcher.h"

namespace quillane::test {
namespace {

HWND plainWindow() {
    return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
}

// Runs what this thread's queue holds, as the message loop does.
void runQueuedMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
}

// Posts from another thread, as a worker does, and returns once the post is made.
void postFromAWorker(const UiDispatcher::Poster& poster, HWND target, std::function<void()> task) {
    std::thread([&] { poster.post(target, std::move(task)); }).join();
}

TEST(UiDispatcher, RunsAWorkersTaskOnTheWindowThreadOnlyWhileItsWindowLives) {
    const UiDispatcher dispatcher;
    ASSERT_TRUE(dispatcher.ready());
    const WindowHandle live(plainWindow());
    HWND closed = plainWindow();

    DWORD ranOn = 0;
    int ranForClosed = 0;
    auto held = std::make_shared<int>(0);
    postFromAWorker(dispatcher.poster(), live.get(), [&] { ranOn = GetCurrentThreadId(); });
    postFromAWorker(dispatcher.poster(), closed, [&ranForClosed, held] { ++ranForClosed; });
    DestroyWindow(closed);  // the member closed it while the result was on its way

    runQueuedMessages();
    EXPECT_EQ(ranOn, GetCurrentThreadId());
    EXPECT_EQ(ranForClosed, 0);
    EXPECT_EQ(held.use_count(), 1) << "the dropped task still holds its values";
}

TEST(UiDispatcher, TasksLeftWhenTheDispatcherEndsAreReleasedUnrunAndLaterPostsAreDropped) {
    const WindowHandle live(plainWindow());
    auto held = std::make_shared<int>(0);
    int ran = 0;
    UiDispatcher::Poster poster;
    {
        const UiDispatcher dispatcher;
        poster = dispatcher.poster();
        postFromAWorker(poster, live.get(), [&ran, held] { ++ran; });
    }
    EXPECT_EQ(held.use_count(), 1) << "the queued task was not released";
    EXPECT_FALSE(poster.post(live.get(), [&ran, held] { ++ran; }));
    EXPECT_EQ(held.use_count(), 1);
    runQueuedMessages();
    EXPECT_EQ(ran, 0);
}

}  // namespace
}  // namespace quillane::test
