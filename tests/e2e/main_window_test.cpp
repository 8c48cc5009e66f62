#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "app/main_window.h"
#include "harness/quillane_app.h"
#include "harness/wait.h"

namespace quillane::test {
namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        app_ = QuillaneApp::start();
        ASSERT_NE(app_, nullptr) << "quillane.exe did not show its main window";
    }

    LONG_PTR style() const { return GetWindowLongPtrW(app_->mainWindow(), GWL_STYLE); }
    LONG_PTR exStyle() const { return GetWindowLongPtrW(app_->mainWindow(), GWL_EXSTYLE); }
    bool isTopmost() const { return (exStyle() & WS_EX_TOPMOST) != 0; }

    void expectExitsWithCodeZero() {
        DWORD exitCode = 1234;
        ASSERT_TRUE(app_->process().waitForExit(15000, &exitCode)) << "the program did not end";
        EXPECT_EQ(exitCode, 0u);
    }

    std::unique_ptr<QuillaneApp> app_;
};

TEST_F(MainWindowTest, HasCaptionSizeAndFrameOfTheMainWindow) {
    EXPECT_EQ(windowText(app_->mainWindow()), "Quillane");
    // Its size and place at each display scale are the display-scale test's.

    // A caption with the close and minimise boxes; neither maximisable nor resizable.
    EXPECT_EQ(style() & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
              WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_FALSE(isTopmost());
    EXPECT_FALSE(exStyle() & WS_EX_TOOLWINDOW) << "the main window is listed in the taskbar";
    EXPECT_EQ(GetWindow(app_->mainWindow(), GW_OWNER), nullptr);
}

struct ExpectedControl {
    int id;
    const wchar_t* className;
    const char* text;
};

TEST_F(MainWindowTest, ControlsStandInCreationOrder) {
    // Read back under LANG=C: the Chinese captions must still be the right characters.
    const ExpectedControl expected[] = {
        {MainWindow::kHarvestButtonId, L"Button", "获取关键信息"},
        {MainWindow::kBrowserId, L"AtlAxWin", nullptr},
        {MainWindow::kStatusLabelId, L"Static", "状态显示栏"},
        {MainWindow::kItemEditId, L"Edit", ""},
        {MainWindow::kOnTopCheckId, L"Button", "置顶"},
        {MainWindow::kShareTokenCheckId, L"Button", "淘口令"},
    };
    const std::vector<HWND> stacking = childrenInStackingOrder(app_->mainWindow());
    ASSERT_EQ(stacking.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const ExpectedControl& control = expected[i];
        SCOPED_TRACE(control.id);
        HWND window = app_->control(control.id);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(stacking[i], window) << "stacking order differs from creation order";
        EXPECT_EQ(_wcsicmp(windowClass(window).c_str(), control.className), 0);
        if (control.text != nullptr) {
            EXPECT_EQ(windowText(window), control.text);
        }
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_TRUE(IsWindowEnabled(window));
    }
}

// The check box's own style shows in what a click on it does, below.
TEST_F(MainWindowTest, ItemEditBoxIsAMultiLineSunkenBoxWithoutScrollBars) {
    HWND box = app_->control(MainWindow::kItemEditId);
    // The selection hides while the box lacks the focus.
    const LONG_PTR style = GetWindowLongPtrW(box, GWL_STYLE);
    EXPECT_EQ(style & (ES_MULTILINE | WS_HSCROLL | WS_VSCROLL | ES_NOHIDESEL), ES_MULTILINE);
    EXPECT_TRUE(GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(MainWindowTest, CheckBoxesStartUncheckedAndOnlyTheirOwnClickChecksThem) {
    for (const int id : {MainWindow::kOnTopCheckId, MainWindow::kShareTokenCheckId}) {
        EXPECT_EQ(SendMessageW(app_->control(id), BM_GETCHECK, 0, 0), BST_UNCHECKED) << id;
    }
    app_->clickButton(MainWindow::kShareTokenCheckId);
    EXPECT_TRUE(waitUntil([&] {
        return SendMessageW(app_->control(MainWindow::kShareTokenCheckId), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }));
    EXPECT_EQ(SendMessageW(app_->control(MainWindow::kOnTopCheckId), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_FALSE(isTopmost()) << "淘口令 is no always-on-top switch";
}

TEST_F(MainWindowTest, CheckBoxSwitchesAlwaysOnTop) {
    app_->clickButton(MainWindow::kOnTopCheckId);
    EXPECT_TRUE(waitUntil([&] { return isTopmost(); })) << "checking 置顶 keeps the window on top";
    app_->clickButton(MainWindow::kOnTopCheckId);
    EXPECT_TRUE(waitUntil([&] { return !isTopmost(); })) << "unchecking releases it";
}

TEST_F(MainWindowTest, FocusingTheItemBoxEmptiesItAlsoAfterTypedText) {
    // The browser covers the box in the login view; uncover it as the compact view does.
    ShowWindow(app_->control(MainWindow::kBrowserId), SW_HIDE);
    const POINT box = app_->controlCentre(MainWindow::kItemEditId);
    clickAt(box.x, box.y);
    typeText(L"abc");
    ASSERT_TRUE(waitUntil([&] { return app_->controlText(MainWindow::kItemEditId) == "abc"; }));

    // Focus moves to the check box, then back into the box by a click.
    const POINT check = app_->controlCentre(MainWindow::kOnTopCheckId);
    clickAt(check.x, check.y);
    clickAt(box.x, box.y);
    EXPECT_TRUE(waitUntil([&] { return app_->controlText(MainWindow::kItemEditId).empty(); }));

    // Text put there while it lacked the focus goes too when the focus arrives.
    clickAt(check.x, check.y);
    SendMessageW(app_->control(MainWindow::kItemEditId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"12345"));
    clickAt(box.x, box.y);
    EXPECT_TRUE(waitUntil([&] { return app_->controlText(MainWindow::kItemEditId).empty(); }));
}

TEST_F(MainWindowTest, HoldsHomeWhileRunningAndReleasesItOnClose) {
    constexpr int kProbeId = 77;
    EXPECT_FALSE(RegisterHotKey(nullptr, kProbeId, 0, VK_HOME)) << "Home must belong to Quillane while it runs";
    PostMessageW(app_->mainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);  // what the close box sends
    expectExitsWithCodeZero();
    EXPECT_TRUE(RegisterHotKey(nullptr, kProbeId, 0, VK_HOME)) << "Home must be free after Quillane closed";
    UnregisterHotKey(nullptr, kProbeId);
}

// The login browser: IE11 edge mode asked for in the member's own registry before the control
// exists (an IE11 mode the member chose is kept), and script errors kept from opening boxes.
TEST(LoginBrowser, AsksForIe11ModeAndKeepsScriptErrorsSilent) {
    constexpr wchar_t kKey[] = L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";
    const std::pair<std::optional<DWORD>, DWORD> cases[] = {
        {std::nullopt, 11001}, {7000, 11001}, {10001, 11001}, {11000, 11000}, {11001, 11001}};
    for (const auto& [before, after] : cases) {
        SCOPED_TRACE(before ? std::to_string(*before) : "none");
        if (before) {
            const DWORD value = *before;
            ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"quillane.exe", REG_DWORD, &value, sizeof value),
                      ERROR_SUCCESS);
        } else {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"quillane.exe");
        }
        const std::unique_ptr<QuillaneApp> app = QuillaneApp::start();
        ASSERT_NE(app, nullptr);
        DWORD value = 0;
        DWORD size = sizeof value;
        EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, kKey, L"quillane.exe", RRF_RT_REG_DWORD, nullptr, &value, &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(value, after);
        EXPECT_EQ(GetPropW(app->control(MainWindow::kBrowserId), MainWindow::kBrowserSilentProperty),
                  reinterpret_cast<HANDLE>(1));
        SendMessageW(app->mainWindow(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(app->process().waitForExit(15000, nullptr));
    }
}

}  // namespace
}  // namespace quillane::test
