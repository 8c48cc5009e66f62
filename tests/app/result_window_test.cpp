#include <gtest/gtest.h>

#include <future>
#include <string>

#include "app/home_flow.h"
#include "app/result_window.h"
#include "app/window_system.h"
#include "harness/browser-recorder/browser_log.h"
#include "harness/ui_driver.h"
#include "harness/wait.h"

namespace quillane::test {
namespace {

LOGFONTW fontOf(HWND control) {
    LOGFONTW font{};
    auto handle = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
    GetObjectW(handle != nullptr ? handle : GetStockObject(SYSTEM_FONT), sizeof(font), &font);
    return font;
}

// Runs this thread's messages the way the program's message loop does, Esc included.
bool pumpLikeTheProgramUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000) {
    return waitUntil(condition, timeoutMs, closeOnEscape);
}

class ResultWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        open("http://127.0.0.1:9/t?e=setup");
    }
    void open(const std::string& link) {
        window_ = std::make_unique<ResultWindow>("夏季纯棉T恤的返利是12.50元！已成功复制返利地址！", link,
                                                 [this] { ++endRequests_; });
        ASSERT_TRUE(window_->create());
    }

    // Sent: the handler has run when this returns, as the window is on this thread.
    void click(int id) { SendMessageW(window_->control(id), BM_CLICK, 0, 0); }

    int endRequests_ = 0;
    std::unique_ptr<ResultWindow> window_;
};

TEST_F(ResultWindowTest, IsAFixedAlwaysOnTopWindowWithCloseBoxOnlyAndNoTaskbarButton) {
    HWND window = window_->handle();
    EXPECT_EQ(windowText(window), "");
    // Its size and place at each display scale are the display-scale test's.

    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    // A caption with the close box only, not resizable.
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
              WS_CAPTION | WS_SYSMENU);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowVisible(window));
    // The system gives a taskbar button to unowned windows and to those marked as app windows;
    // a tool-window frame would shrink the caption bar.
    EXPECT_FALSE(exStyle & (WS_EX_APPWINDOW | WS_EX_TOOLWINDOW));
    HWND owner = GetWindow(window, GW_OWNER);
    ASSERT_NE(owner, nullptr);
    EXPECT_FALSE(IsWindowVisible(owner)) << "the owner is never seen";
}

struct ExpectedControl {
    int id;
    const char* text;
    const wchar_t* face;  // null: the default GUI font's
    LONG height;          // 0: the default GUI font's
    LONG weight;          // 0: not checked
};

TEST_F(ResultWindowTest, ControlsStandInCreationOrderWithTheirFonts) {
    const ExpectedControl expected[] = {
        {ResultWindow::kEndButtonId, "关闭隐藏程序", nullptr, 0, 0},
        {ResultWindow::kOpenLinkButtonId, "打开返利链接", L"\u5FAE\u8F6F\u96C5\u9ED1", -21,
         FW_BOLD},  // 微软雅黑
        {ResultWindow::kMessageLabelId, "夏季纯棉T恤的返利是12.50元！已成功复制返利地址！", nullptr,
         -21, FW_NORMAL},
    };
    LOGFONTW defaultFont{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(defaultFont), &defaultFont);
    const std::vector<HWND> stacking = childrenInStackingOrder(window_->handle());
    ASSERT_EQ(stacking.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const ExpectedControl& c = expected[i];
        SCOPED_TRACE(c.id);
        HWND control = window_->control(c.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(stacking[i], control);
        EXPECT_EQ(windowText(control), c.text);
        EXPECT_TRUE(IsWindowVisible(control));
        EXPECT_TRUE(IsWindowEnabled(control));
        const LOGFONTW font = fontOf(control);
        EXPECT_STREQ(font.lfFaceName, c.face != nullptr ? c.face : defaultFont.lfFaceName);
        EXPECT_EQ(font.lfHeight, c.height != 0 ? c.height : defaultFont.lfHeight);
        if (c.weight != 0) {
            EXPECT_EQ(font.lfWeight, c.weight);
            EXPECT_EQ(font.lfCharSet, GB2312_CHARSET);
        }
    }
    // The colours the label is painted with, asked of the window as the label asks.
    HDC context = CreateCompatibleDC(nullptr);
    const LRESULT brush = SendMessageW(window_->handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(context),
                                       reinterpret_cast<LPARAM>(window_->control(ResultWindow::kMessageLabelId)));
    EXPECT_EQ(GetTextColor(context), RGB(192, 96, 0));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), GetSysColorBrush(COLOR_BTNFACE)) << "background of the window";
    DeleteDC(context);
}

TEST_F(ResultWindowTest, OpenLinkHandsTheWindowsOwnLinkToTheDefaultBrowser) {
    const std::string mark = uniqueBrowserMark();
    // Characters a shell or a URL parser could mangle on the way must arrive as they are.
    const std::string link = "http://127.0.0.1:9/t?e=a%2Fb+c&pid=mm_1_2_3&m=" + mark;
    open(link);
    click(ResultWindow::kOpenLinkButtonId);
    click(ResultWindow::kOpenLinkButtonId);
    ASSERT_TRUE(waitForBrowserLaunchesWith(mark, 2)) << "the default browser received nothing";
    EXPECT_EQ(browserLaunchesWith(mark), (std::vector<std::string>{link, link}));
    EXPECT_TRUE(IsWindowVisible(window_->handle())) << "the window stays open";
    EXPECT_EQ(endRequests_, 0);
}

TEST_F(ResultWindowTest, CloseBoxAndEscapeCloseOnlyThisWindowTheEndButtonEndsTheProgram) {
    PostMessageW(window_->handle(), WM_SYSCOMMAND, SC_CLOSE, 0);  // what the close box sends
    EXPECT_TRUE(pumpLikeTheProgramUntil([&] { return window_->handle() == nullptr; }));

    // A new window for the next result; Esc pressed on the real keyboard while it is active.
    window_ = std::make_unique<ResultWindow>("next", "", [this] { ++endRequests_; });
    ASSERT_TRUE(window_->create());
    // Away from the centre, where result windows of tests running beside this one appear, and
    // from the lower right, where the stand-in browsers of other suites stand: the key goes to
    // the window under the pointer on the bare virtual display.
    SetWindowPos(window_->handle(), nullptr, 20, 700, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const POINT centre = centreOf(windowRect(window_->handle()));
    // Pressed from another thread: this one must run the messages as the program's loop does.
    // A window of a suite running beside this one may take the focus for a moment: the key is
    // pressed again, three times at most.
    bool closed = false;
    for (int press = 0; press < 3 && !closed; ++press) {
        moveMouse(centre.x, centre.y);
        SetForegroundWindow(window_->handle());
        auto pressing = std::async(std::launch::async, [] { pressKeys(L"Escape"); });
        closed = pumpLikeTheProgramUntil([&] { return window_->handle() == nullptr; }, 4000);
    }
    EXPECT_TRUE(closed) << "Esc did not close the window";
    EXPECT_EQ(endRequests_, 0) << "closing the window does not end the program";

    window_ = std::make_unique<ResultWindow>("next", "", [this] { ++endRequests_; });
    ASSERT_TRUE(window_->create());
    click(ResultWindow::kEndButtonId);
    EXPECT_EQ(endRequests_, 1);
}

std::vector<HWND> visibleResultWindows() {
    std::vector<HWND> found;
    for (HWND window : topLevelWindows(GetCurrentProcessId())) {
        if (IsWindowVisible(window) && windowClass(window) == ResultWindow::kClassName) {
            found.push_back(window);
        }
    }
    return found;
}

TEST(ResultWindowOfTheProgram, ANewResultReplacesTheOpenWindow) {
    ResultWindowSlot program;
    program.show("first", "", [] {});
    const std::vector<HWND> first = visibleResultWindows();
    ASSERT_EQ(first.size(), 1u);

    program.show("second", "", [] {});
    const std::vector<HWND> second = visibleResultWindows();
    ASSERT_EQ(second.size(), 1u) << "never more than one result window";
    EXPECT_FALSE(IsWindow(first[0])) << "the old window is gone, not merely hidden";

    // Closed by the member, then the next result: a window again.
    SendMessageW(second[0], WM_CLOSE, 0, 0);
    EXPECT_TRUE(visibleResultWindows().empty());
    program.show("third", "", [] {});
    EXPECT_EQ(visibleResultWindows().size(), 1u);
}

}  // namespace
}  // namespace quillane::test
