#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/owned_message.h"
#include "app/result_window.h"
#include "harness/message_box.h"
#include "harness/ui_driver.h"
#include "util/wide_text.h"

namespace quillane::test {
namespace {

// A plain top-level window of the test process standing in for the main window: normal
// stacking, not on top.
class PlainWindow {
public:
    explicit PlainWindow(bool visible, const wchar_t* className = L"STATIC", const std::wstring& title = L"plain") {
        window_ = CreateWindowExW(0, className, title.c_str(), WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 100,
                                  100, 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~PlainWindow() { DestroyWindow(window_); }
    PlainWindow(const PlainWindow&) = delete;
    PlainWindow& operator=(const PlainWindow&) = delete;
    HWND handle() const { return window_; }

private:
    HWND window_;
};

class OwnedMessageTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Earlier tests of this process must not leave a visible window behind.
        ASSERT_EQ(findProcessWindow(GetCurrentProcessId()), nullptr);
    }

    // Shows the box on this thread while a helper thread reads it and presses the button.
    MessageBoxSeen showAndAnswer(const std::string& text, const OwnedMessageOptions& options, int buttonId,
                                 int* result = nullptr) {
        auto answer = answerMessageBox(GetCurrentProcessId(), buttonId);
        const int code = showOwnedMessage(text, options);
        if (result != nullptr) {
            *result = code;
        }
        return answer.get();
    }
};

TEST_F(OwnedMessageTest, DefaultsAreTheFriendlyReminderWithInformationIconAndOk) {
    PlainWindow main(true);
    int code = -99;
    const MessageBoxSeen seen = showAndAnswer("会员您好：关键信息获取成功！", {}, IDOK, &code);
    ASSERT_NE(seen.box, nullptr) << "no message box appeared";
    EXPECT_EQ(seen.caption, "友情提醒");
    EXPECT_EQ(seen.text, "会员您好：关键信息获取成功！");
    EXPECT_EQ(seen.buttonIds, std::vector<int>{IDOK});
    EXPECT_EQ(seen.icon, LoadIconW(nullptr, IDI_INFORMATION));
    EXPECT_EQ(code, 0) << "OK is button code 0, not the system's 1";

    EXPECT_EQ(seen.owner, main.handle()) << "the only visible window of the process owns the box";
    EXPECT_TRUE(seen.ownerDisabled) << "the owner cannot be used while the box shows";
    EXPECT_TRUE(IsWindowEnabled(main.handle())) << "and is usable again afterwards";
}

TEST_F(OwnedMessageTest, ButtonCodesCountFromZero) {
    struct Case {
        UINT style;
        int pressed;
        int expectedCode;
    };
    const Case cases[] = {
        {MB_OKCANCEL, IDCANCEL, 1},
        {MB_YESNO, IDYES, 5},
        {MB_YESNO, IDNO, 6},
    };
    PlainWindow main(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pressed);
        OwnedMessageOptions options;
        options.style = c.style;
        int code = -99;
        const MessageBoxSeen seen = showAndAnswer("?", options, c.pressed, &code);
        ASSERT_NE(seen.box, nullptr);
        EXPECT_EQ(code, c.expectedCode);
    }
}

TEST_F(OwnedMessageTest, CallerMayNameCaptionStyleAndNoOwner) {
    PlainWindow main(true);
    OwnedMessageOptions options;
    options.style = MB_YESNO;
    options.caption = "公告";
    options.owner = nullptr;
    const MessageBoxSeen seen = showAndAnswer("Welcome", options, IDNO);
    ASSERT_NE(seen.box, nullptr);
    EXPECT_EQ(seen.caption, "公告");
    EXPECT_EQ(seen.owner, nullptr) << "an owner given as none is not searched for";
    EXPECT_EQ(seen.icon, nullptr) << "a style without an icon shows none";
    EXPECT_EQ(seen.buttonIds, (std::vector<int>{IDYES, IDNO}));
}

TEST_F(OwnedMessageTest, TopmostResultWindowOwnsTheBoxBeforeTheMainWindow) {
    PlainWindow main(true);
    ResultWindow result("结果", [] {}, [] {});
    ASSERT_TRUE(result.create());
    SetForegroundWindow(main.handle());  // the main window is the active one, yet not on top

    EXPECT_EQ(findProcessWindow(GetCurrentProcessId()), result.handle());
    const MessageBoxSeen seen = showAndAnswer("x", {}, IDOK);
    ASSERT_NE(seen.box, nullptr);
    EXPECT_EQ(seen.owner, result.handle());
    EXPECT_TRUE(seen.ownerDisabled);
}

TEST_F(OwnedMessageTest, HiddenWindowsOfTheProcessAreNeverChosen) {
    // Created later, so it lies above the visible one in the stacking order.
    PlainWindow visible(true);
    PlainWindow hiddenAbove(false);
    SetWindowPos(hiddenAbove.handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(findProcessWindow(GetCurrentProcessId()), visible.handle());

    ShowWindow(visible.handle(), SW_HIDE);
    EXPECT_EQ(findProcessWindow(GetCurrentProcessId()), nullptr);
    // With nothing visible to own it, the box still shows, without owner.
    int code = -99;
    const MessageBoxSeen seen = showAndAnswer("x", {}, IDOK, &code);
    ASSERT_NE(seen.box, nullptr);
    EXPECT_EQ(seen.owner, nullptr);
    EXPECT_EQ(code, 0);
}

TEST_F(OwnedMessageTest, ListedEntriesDescribeEachWindowInStackingOrder) {
    static const wchar_t kLongClass[] = L"QuillaneTestClassWithAVeryLongNameThatGoesPastFortyNine";
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kLongClass;
    RegisterClassW(&windowClass);
    const std::wstring longTitle(300, L'\u5B9D');  // 300 Chinese characters
    auto lower = std::make_unique<PlainWindow>(true, L"STATIC", gbkToWide("返利助手"));
    auto upper = std::make_unique<PlainWindow>(true, kLongClass, longTitle);
    SetWindowPos(upper->handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    std::vector<WindowEntry> entries(3);  // whatever the caller held is replaced
    const int count = listTopLevelWindows(entries);
    ASSERT_EQ(count, static_cast<int>(entries.size()));
    auto position = [&](HWND window) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].handle == window) {
                return static_cast<int>(i);
            }
        }
        return -1;
    };
    const int lowerAt = position(lower->handle());
    const int upperAt = position(upper->handle());
    ASSERT_GE(lowerAt, 0);
    ASSERT_GE(upperAt, 0);
    EXPECT_LT(upperAt, lowerAt) << "entries run from the top of the stacking order down";

    const WindowEntry& lowerEntry = entries[lowerAt];
    EXPECT_EQ(lowerEntry.processId, GetCurrentProcessId());
    EXPECT_EQ(lowerEntry.threadId, GetCurrentThreadId());
    EXPECT_EQ(lowerEntry.title, "返利助手");
    EXPECT_EQ(lowerEntry.className, "Static");

    const WindowEntry& upperEntry = entries[upperAt];
    EXPECT_EQ(gbkToWide(upperEntry.title), longTitle.substr(0, 255));
    EXPECT_EQ(gbkToWide(upperEntry.className), std::wstring(kLongClass).substr(0, 49));
    upper.reset();
    UnregisterClassW(kLongClass, GetModuleHandleW(nullptr));
}

}  // namespace
}  // namespace quillane::test
