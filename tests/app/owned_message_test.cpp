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

TEST_F(OwnedMessageTest, BoxShowsWhatTheCallerAsksAndCountsButtonsFromZero) {
    PlainWindow main(true);
    const OwnedMessageOptions defaults;
    OwnedMessageOptions okCancel;
    okCancel.style = MB_OKCANCEL;
    OwnedMessageOptions yesNo;
    yesNo.style = MB_YESNO;
    OwnedMessageOptions notice = yesNo;
    notice.caption = "公告";
    notice.owner = nullptr;
    const struct {
        const char* label;
        OwnedMessageOptions options;
        int pressed;
        int code;
        const char* caption;
        std::vector<int> buttons;
        HICON icon;
        bool owned;  // by the only visible window of the process, else by none
    } cases[] = {
        {"defaults: the friendly reminder, OK is 0, not the system's 1", defaults, IDOK, 0, "友情提醒", {IDOK},
         LoadIconW(nullptr, IDI_INFORMATION), true},
        {"cancel", okCancel, IDCANCEL, 1, "友情提醒", {IDOK, IDCANCEL}, nullptr, true},
        {"yes", yesNo, IDYES, 5, "友情提醒", {IDYES, IDNO}, nullptr, true},
        {"no, a caption of its own, an owner given as none", notice, IDNO, 6, "公告", {IDYES, IDNO}, nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        int code = -99;
        const MessageBoxSeen seen = showAndAnswer("会员您好：关键信息获取成功！", c.options, c.pressed, &code);
        ASSERT_NE(seen.box, nullptr) << "no message box appeared";
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(seen.caption, c.caption);
        EXPECT_EQ(seen.text, "会员您好：关键信息获取成功！");
        EXPECT_EQ(seen.buttonIds, c.buttons);
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.owner, c.owned ? main.handle() : nullptr);
        EXPECT_EQ(seen.ownerDisabled, c.owned) << "the owner cannot be used while the box shows";
        EXPECT_TRUE(IsWindowEnabled(main.handle())) << "and is usable again afterwards";
    }
}

TEST_F(OwnedMessageTest, TopmostResultWindowOwnsTheBoxBeforeTheMainWindow) {
    PlainWindow main(true);
    ResultWindow result("结果", "", [] {});
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
