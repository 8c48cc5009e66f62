// The program's windows at the display scale of the Wine prefix this runs in (scripts set it to
// 100, 125, 150 and 200 %): laid out for that DPI, every text whole in its own font, and again
// after a move to a monitor of another scale. This program is DPI aware as quillane.exe is
// (the same manifest), so it sees the windows as the program draws them.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/display_scale.h"
#include "app/main_window.h"
#include "app/owned_message.h"
#include "app/result_window.h"
#include "harness/doc_view_client.h"
#include "harness/message_box.h"
#include "harness/platform_session.h"
#include "harness/quillane_app.h"
#include "harness/wait.h"
#include "util/wide_text.h"
#include "workflow/member_texts.h"

namespace quillane::test {
namespace {

// Whether each control's text fits the control, measured in the control's own font: the space
// left between the text and the edge of the place the control draws it in (negative: cut off).
struct TextFit {
    HWND control = nullptr;
    std::wstring text;
    int margin = 0;
    const char* side = "";  // which edge is the nearest
};

std::wstring textOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The nearer of the two: the side that is tighter.
void keepTighter(TextFit& fit, int margin, const char* side) {
    if (fit.side[0] == '\0' || margin < fit.margin) {
        fit.margin = margin;
        fit.side = side;
    }
}

// Push buttons (one centred line inside the 3-D edge), check boxes (one line after the box),
// labels and the message box's text (wrapped lines from the top left).
TextFit measureTextFit(HWND control) {
    TextFit fit{control, textOf(control)};
    if (fit.text.empty()) {
        return fit;
    }
    RECT client{};
    GetClientRect(control, &client);
    const HDC context = GetDC(control);
    const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = SelectObject(context, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    SIZE extent{};
    GetTextExtentPoint32W(context, fit.text.c_str(), static_cast<int>(fit.text.size()), &extent);

    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    const bool button = windowClass(control) == L"Button";
    const LONG_PTR buttonType = style & BS_TYPEMASK;
    if (button && (buttonType == BS_CHECKBOX || buttonType == BS_AUTOCHECKBOX)) {
        // The box is 12 pixels at 96 DPI plus one, then half a digit's width before the text.
        INT digit = 0;
        GetCharWidth32W(context, L'0', L'0', &digit);
        const int textLeft = 12 * GetDeviceCaps(context, LOGPIXELSX) / 96 + 1 + digit / 2;
        keepTighter(fit, client.right - textLeft - extent.cx, "right");
        keepTighter(fit, (client.bottom - extent.cy) / 2, "top and bottom");
    } else if (button) {
        // Centred inside the button's 3-D edge.
        const int edge = GetSystemMetrics(SM_CXEDGE);
        keepTighter(fit, (client.right - extent.cx) / 2 - edge, "left and right");
        keepTighter(fit, (client.bottom - extent.cy) / 2 - edge, "top and bottom");
    } else {
        // A label wraps its text at its width, from the top left.
        RECT needed{0, 0, client.right, 0};
        DrawTextW(context, fit.text.c_str(), static_cast<int>(fit.text.size()), &needed,
                  DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
        // Its lines fill the width by design: only a word wider than the label is cut at the right.
        keepTighter(fit, client.bottom - needed.bottom, "bottom");
        if (needed.right > client.right) {
            keepTighter(fit, client.right - needed.right, "right");
        }
    }
    SelectObject(context, previous);
    ReleaseDC(control, context);
    return fit;
}

// "关闭隐藏程序 left and right 5 px", in UTF-8 for the log.
std::string describe(const TextFit& fit) {
    const std::wstring shown = fit.text.size() > 8 ? fit.text.substr(0, 6) + L"..." : fit.text;
    return fromWide(shown, kUtf8CodePage) + " " + fit.side + " " + std::to_string(fit.margin) + " px";
}

// The DPI the prefix was set to; the system's when run by hand.
UINT prefixDpi() {
    const char* value = std::getenv("QUILLANE_SCALE_DPI");
    return value != nullptr ? static_cast<UINT>(std::atoi(value)) : systemDpi();
}

struct NoEvents : MainWindowEvents {
    void onMainWindowCreated() override {}
    void onHarvestClicked() override {}
    void onItemTextChanged() override {}
    void onItemDoubleClicked() override {}
    void onHomePressed() override {}
    void onProgressDue() override {}
    int runsInFlight() const override { return 0; }
};

struct DesignedControl {
    int id;
    DesignRect rect;
};
constexpr DesignedControl kMainWindowDesign[] = {
    {MainWindow::kHarvestButtonId, {376, 288, 88, 40}}, {MainWindow::kBrowserId, {-2, 0, 504, 360}},
    {MainWindow::kStatusLabelId, {56, 5, 439, 75}},     {MainWindow::kItemEditId, {9, 83, 488, 120}},
    {MainWindow::kOnTopCheckId, {0, 24, 48, 24}},       {MainWindow::kShareTokenCheckId, {0, 48, 56, 24}},
};
constexpr DesignedControl kResultWindowDesign[] = {
    {ResultWindow::kEndButtonId, {408, 162, 80, 40}},
    {ResultWindow::kOpenLinkButtonId, {51, 162, 312, 40}},
    {ResultWindow::kMessageLabelId, {6, 6, 480, 152}},
};

// The longest sentence the result window shows, for a title as long as the marketplace allows
// (30 Chinese characters).
const std::string kLongResult = std::string("\"") + "夏季新款韩版宽松显瘦纯棉短袖T恤女装百搭学生上衣潮流夏装" + "\"" +
                                kRebateIs + "128.50" + kYuanAndCopied + kShareTextCopied;

LONG fontHeightOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
    return font.lfHeight;
}

SIZE outerSize(HWND window) {
    const RECT outer = windowRect(window);
    return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

// The design's outer size at the DPI, centred on the screen (a pixel of rounding either way).
void expectOuterSize(HWND window, int designWidth, int designHeight, UINT dpi) {
    const RECT outer = windowRect(window);
    EXPECT_EQ(outer.right - outer.left, scaledToDpi(designWidth, dpi));
    EXPECT_EQ(outer.bottom - outer.top, scaledToDpi(designHeight, dpi));
    EXPECT_NEAR(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2, 1);
    EXPECT_NEAR(outer.top, (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2, 1);
}

template <std::size_t N>
void expectLaidOutFor(HWND window, const DesignedControl (&design)[N], UINT dpi) {
    for (const DesignedControl& control : design) {
        SCOPED_TRACE(control.id);
        const RECT expected = scaledRect(control.rect, dpi);
        HWND child = GetDlgItem(window, control.id);
        ASSERT_NE(child, nullptr);
        const RECT actual = childRectInParent(child);
        EXPECT_TRUE(EqualRect(&actual, &expected))
            << actual.left << "," << actual.top << " " << actual.right << "," << actual.bottom;
    }
}

// What a window's design leaves out of the checks below.
struct ByDesign {
    HWND lyingUnder = nullptr;  // under the other controls (the login browser)
    HWND outOfView = nullptr;   // below the client area (the harvest button in the compact view)
    // Wine draws a window's frame at the system's DPI whatever the window's own, so a window
    // moved to a monitor of a smaller DPI keeps a frame too thick for its outer size (on Windows
    // the frame scales with the window): its controls are then not checked against its client area.
    bool frameAtItsDpi = true;
};

// Every text fits its control, no two controls overlap, and every control in view lies inside
// the client area. Prints the window's outer size and its tightest margin for the closing table.
void expectWhole(HWND window, const char* name, UINT dpi, const ByDesign& exempt = {}) {
    SCOPED_TRACE(name);
    TextFit tightest{nullptr, L"no text", 1 << 30};
    RECT client{};
    GetClientRect(window, &client);
    std::vector<RECT> placed;
    for (HWND child : childrenInStackingOrder(window)) {
        if (!IsWindowVisible(child) || child == exempt.lyingUnder) {
            continue;
        }
        const RECT place = childRectInParent(child);
        for (const RECT& other : placed) {
            RECT common{};
            EXPECT_FALSE(IntersectRect(&common, &place, &other)) << windowText(child) << " overlaps another control";
        }
        placed.push_back(place);
        if (exempt.frameAtItsDpi && child != exempt.outOfView) {
            EXPECT_TRUE(place.left >= 0 && place.top >= 0 && place.right <= client.right && place.bottom <= client.bottom)
                << windowText(child) << " reaches past the client area: " << place.right << "," << place.bottom;
        }
        // The edit box holds the member's text, the browser the platform's page.
        const std::wstring kind = windowClass(child);
        const TextFit fit = kind == L"Button" || kind == L"Static" ? measureTextFit(child) : TextFit{};
        if (!fit.text.empty()) {
            EXPECT_GE(fit.margin, 0) << "cut off: " << describe(fit);
            tightest = fit.margin < tightest.margin ? fit : tightest;
        }
    }
    const SIZE outer = outerSize(window);
    std::printf("scale %u %% (%u DPI) | %s | outer %ld x %ld | tightest margin %s\n", dpi * 100 / 96, dpi, name,
                outer.cx, outer.cy, describe(tightest).c_str());
}

class DisplayScale : public ::testing::Test {
protected:
    void TearDown() override {
        main_.reset();
        result_.reset();
        // A main window that goes posts the end of the message loop, which is not this test's end.
        MSG message;
        PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    void openMainWindow() {
        // The browser's window class lives in atl.dll, which each main window frees when it goes:
        // held here, the class stays usable for the next main window of this process.
        static const HMODULE atl = LoadLibraryW(L"atl.dll");
        (void)atl;
        main_ = std::make_unique<MainWindow>(events_);
        ASSERT_TRUE(main_->create("about:blank"));
    }
    void openResultWindow() {
        result_ = std::make_unique<ResultWindow>(kLongResult, "http://127.0.0.1/elite", [] {});
        ASSERT_TRUE(result_->create());
    }
    // What the system sends when the window has moved to a monitor of this DPI.
    static RECT moveToMonitorOf(HWND window, UINT from, UINT to) {
        const RECT outer = windowRect(window);
        RECT suggested{outer.left + 10, outer.top + 20, outer.left + 10 + MulDiv(outer.right - outer.left, to, from),
                       outer.top + 20 + MulDiv(outer.bottom - outer.top, to, from)};
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
        return suggested;
    }

    NoEvents events_;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<ResultWindow> result_;
};

TEST_F(DisplayScale, MainWindowBeforeAndAfterTheHarvest) {
    const UINT dpi = prefixDpi();
    openMainWindow();
    HWND window = main_->handle();
    ASSERT_EQ(dpiOfWindow(window), dpi) << "the program draws at the prefix's DPI";
    expectOuterSize(window, MainWindow::kOuterWidth, MainWindow::kOuterHeight, dpi);
    expectLaidOutFor(window, kMainWindowDesign, dpi);
    EXPECT_EQ(fontHeightOf(main_->control(MainWindow::kStatusLabelId)), -scaledToDpi(MainWindow::kStatusFontHeight, dpi));
    ICONINFO icon{};  // the caption's icon, drawn at the size of this DPI rather than stretched
    BITMAP bitmap{};
    GetIconInfo(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0)), &icon);
    EXPECT_TRUE(GetObjectW(icon.hbmColor, sizeof(bitmap), &bitmap) && bitmap.bmWidth == GetSystemMetrics(SM_CXSMICON));
    expectWhole(window, "main window, login view", dpi, {.lyingUnder = main_->control(MainWindow::kBrowserId)});

    // After the harvest: the ids in the status label, the compact view.
    main_->setStatusText(std::string(kIdsPrefix) + "109876543|987654321012");
    main_->showCompactView();
    EXPECT_EQ(outerSize(window).cy, scaledToDpi(MainWindow::kCompactHeight, dpi));
    expectWhole(window, "main window, compact view", dpi, {.outOfView = main_->control(MainWindow::kHarvestButtonId)});
}

TEST_F(DisplayScale, ResultWindowWithALongTitle) {
    const UINT dpi = prefixDpi();
    openResultWindow();
    expectOuterSize(result_->handle(), ResultWindow::kOuterWidth, ResultWindow::kOuterHeight, dpi);
    expectLaidOutFor(result_->handle(), kResultWindowDesign, dpi);
    expectWhole(result_->handle(), "result window, longest sentence", dpi);
}

TEST_F(DisplayScale, OwnedMessageBoxOfTheHarvest) {
    const UINT dpi = prefixDpi();
    openMainWindow();
    // The box's modal loop runs on a thread of its own; this one measures it and answers, and
    // keeps its owner's messages flowing until the box is gone.
    std::atomic<bool> answered{false};
    std::thread shown([&answered] {
        showOwnedMessage(kHarvestSuccess);
        answered = true;
    });
    HWND box = nullptr;
    waitUntil([&box] { return (box = findMessageBox(GetCurrentProcessId())) != nullptr; });
    if (box != nullptr) {
        EXPECT_EQ(GetWindow(box, GW_OWNER), main_->handle());
        expectWhole(box, "owned message box, harvest", dpi);
        pressMessageBoxButton(box, IDOK);
    }
    EXPECT_TRUE(waitUntil([&answered] { return answered.load(); }));
    shown.join();
    ASSERT_NE(box, nullptr);
}

TEST_F(DisplayScale, MovingToAMonitorOfAnotherScaleLaysTheWindowsOutAgain) {
    const UINT dpi = prefixDpi();
    const UINT other = dpi == 144 ? 96 : 144;
    openMainWindow();
    main_->showCompactView();
    const RECT suggested = moveToMonitorOf(main_->handle(), dpi, other);
    const RECT taken = windowRect(main_->handle());
    EXPECT_TRUE(EqualRect(&taken, &suggested)) << "the window takes the system's rectangle";
    EXPECT_FALSE(IsWindowVisible(main_->control(MainWindow::kBrowserId))) << "the compact view stays compact";
    expectLaidOutFor(main_->handle(), kMainWindowDesign, other);
    EXPECT_EQ(fontHeightOf(main_->control(MainWindow::kStatusLabelId)), -scaledToDpi(MainWindow::kStatusFontHeight, other));
    EXPECT_EQ(fontHeightOf(main_->control(MainWindow::kShareTokenCheckId)), -scaledToDpi(11, other));
    const bool frameAtItsDpi = other > dpi;
    expectWhole(main_->handle(), "main window, compact view, moved", other,
                {.outOfView = main_->control(MainWindow::kHarvestButtonId), .frameAtItsDpi = frameAtItsDpi});

    openResultWindow();
    moveToMonitorOf(result_->handle(), dpi, other);
    expectLaidOutFor(result_->handle(), kResultWindowDesign, other);
    expectWhole(result_->handle(), "result window, moved", other, {.frameAtItsDpi = frameAtItsDpi});
}

// Home over a browser that knows nothing of the scale (the stand-in Internet Explorer window
// has no DPI declaration): Quillane, aware of it, reads the window under the mouse in the
// screen's own pixels and finds the page; the result window opens centred, at its scaled size.
TEST(DisplayScaleOfTheProgram, HomeFindsThePageOfABrowserUnawareOfTheScale) {
    const UINT dpi = prefixDpi();
    PlatformSession session;
    ASSERT_TRUE(session.ready());
    expectOuterSize(session.app().mainWindow(), MainWindow::kOuterWidth, MainWindow::kOuterHeight, dpi);
    session.harvest();
    DocViewProcess page(DocViewSetup{.address = session.sim().otherUrl("/item.htm?id=12345678901")});
    ASSERT_TRUE(page.ready()) << page.failure();
    HWND result = session.pressHomeAt(page.contentPoint());
    ASSERT_NE(result, nullptr) << "no result window; status: " << session.status();
    EXPECT_EQ(session.lastSearchedId(), "12345678901");
    expectOuterSize(result, ResultWindow::kOuterWidth, ResultWindow::kOuterHeight, dpi);
    closeResultWindow(result);
}

}  // namespace
}  // namespace quillane::test
