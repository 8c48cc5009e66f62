// Starting quillane.exe when it already runs, and when another program holds the Home key.
#include <gtest/gtest.h>

#include <memory>

#include "app/main_window.h"
#include "harness/message_box.h"
#include "harness/platform_session.h"
#include "harness/quillane_app.h"
#include "harness/scripted_server.h"
#include "harness/wait.h"
#include "workflow/member_texts.h"

namespace quillane::test {
namespace {

constexpr int kTestHotKeyId = 0x5A17;

// Main windows of any process on the desktop.
int mainWindowCount() {
    int count = 0;
    for (HWND window = FindWindowExW(nullptr, nullptr, MainWindow::kClassName, nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, MainWindow::kClassName, nullptr)) {
        ++count;
    }
    return count;
}

// Home held by the test process, which is another program than quillane.exe.
class HomeHeldHere {
public:
    HomeHeldHere() : held_(RegisterHotKey(nullptr, kTestHotKeyId, 0, VK_HOME) != FALSE) {}
    ~HomeHeldHere() {
        if (held_) {
            UnregisterHotKey(nullptr, kTestHotKeyId);
        }
    }
    HomeHeldHere(const HomeHeldHere&) = delete;
    HomeHeldHere& operator=(const HomeHeldHere&) = delete;
    bool held() const { return held_; }

private:
    bool held_;
};

TEST(StartTest, SecondStartBringsTheFirstForwardAndEndsWithCodeZero) {
    auto first = QuillaneApp::start();
    ASSERT_NE(first, nullptr) << "quillane.exe did not show its main window";
    HWND main = first->mainWindow();
    ShowWindow(main, SW_MINIMIZE);
    ASSERT_TRUE(waitUntil([&] { return IsIconic(main) != FALSE; }));

    auto second = QuillaneApp::launch();
    ASSERT_NE(second, nullptr);
    DWORD exitCode = 1234;
    ASSERT_TRUE(second->waitForExit(15000, &exitCode)) << "the second start keeps running";
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(mainWindowCount(), 1);
    EXPECT_TRUE(waitUntil([&] { return !IsIconic(main) && GetForegroundWindow() == main; }))
        << "the running main window was not brought to the front";

    // The first one still holds Home, and answers it: with nothing captured yet, a press over
    // its own window ends in the failure text.
    ASSERT_TRUE(first->process().isRunning());
    EXPECT_FALSE(HomeHeldHere().held()) << "Home was free while the first instance ran";
    const POINT status = first->controlCentre(MainWindow::kStatusLabelId);
    moveMouse(status.x, status.y);
    pressKeys(L"Home");
    EXPECT_TRUE(waitUntil([&] { return first->controlText(MainWindow::kStatusLabelId) == kLookupFailure; }, 15000));

    // An instance that dies without closing, as in a crash, does not block the next start.
    first->process().terminate();
    EXPECT_NE(QuillaneApp::start(), nullptr) << "the start after a killed instance showed no main window";
}

TEST(StartTest, HomeHeldByAnotherProgramIsToldOnceAndTheRestWorks) {
    HomeHeldHere home;
    ASSERT_TRUE(home.held());
    ScriptedServer noticeHost;
    ASSERT_TRUE(noticeHost.listening());
    noticeHost.addReply(httpResponse("HTTP/1.1 200 OK", "Content-Type: text/html; charset=gbk\r\n", "公告++开张大吉++"));
    const std::string noticeUrl = noticeHost.address("/notice.html");
    PlatformSession session(true, {{L"QUILLANE_NOTICE_URL", std::wstring(noticeUrl.begin(), noticeUrl.end())}});
    ASSERT_TRUE(session.ready()) << "simulator, login or quillane.exe did not start";

    HWND box = waitForMessageBox(session.processId());
    ASSERT_NE(box, nullptr) << "no word about the Home key";
    const MessageBoxSeen seen = readMessageBox(box);
    EXPECT_EQ(seen.caption, kMessageCaption);
    EXPECT_EQ(seen.text, kHomeTaken);
    EXPECT_EQ(seen.buttonIds, std::vector<int>{IDOK});
    EXPECT_EQ(seen.owner, session.app().mainWindow());
    ASSERT_TRUE(pressMessageBoxButton(box, IDOK));
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(box); }));

    // The publisher's notice still follows, and after it no second word about Home.
    HWND notice = waitForMessageBox(session.processId());
    ASSERT_NE(notice, nullptr) << "the publisher notice did not come";
    EXPECT_EQ(readMessageBox(notice).text, "开张大吉");
    ASSERT_TRUE(pressMessageBoxButton(notice, IDNO));
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(notice); }));
    session.waitUntilIdle();
    EXPECT_EQ(findMessageBox(session.processId()), nullptr);

    ASSERT_TRUE(session.sim().set({{"title", "ABC"}, {"commission", "12.5"}}));
    EXPECT_EQ(session.harvest().text, kHarvestSuccess);
    session.pasteItemText(session.sim().otherUrl("/item.htm?id=12345678901"));
    EXPECT_EQ(session.status(), "\"ABC\"的返利是12.5元！");
    EXPECT_TRUE(session.doubleClickItemBox());
    EXPECT_EQ(session.status(), kLinkCopied);
}

}  // namespace
}  // namespace quillane::test
