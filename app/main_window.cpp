#include "app/main_window.h"

#include <commctrl.h>
#include <exdisp.h>

#include <utility>

#include "app/browser_emulation.h"
#include "app/browser_host_flags.h"
#include "app/owned_message.h"
#include "app/window_system.h"
#include "util/owners.h"
#include "workflow/member_texts.h"

namespace quillane {
namespace {

constexpr UINT_PTR kItemEditSubclassId = 1;
// Posted by the edit box's subclass so that the double-click handler runs after the edit
// control has finished its own double-click handling.
constexpr UINT kItemDoubleClickedMessage = WM_APP + 1;

// The web-browser control is hosted by the system's ATL; it needs AtlAxWinInit first.
LibraryHandle loadBrowserHost() {
    LibraryHandle atl(LoadLibraryW(L"atl.dll"));
    if (!atl) {
        return {};
    }
    using AtlAxWinInitFunction = BOOL(WINAPI*)();
    auto atlAxWinInit = reinterpret_cast<AtlAxWinInitFunction>(
        reinterpret_cast<void*>(GetProcAddress(atl.get(), "AtlAxWinInit")));
    if (atlAxWinInit == nullptr || !atlAxWinInit()) {
        return {};
    }
    return atl;
}

// The web browser a host window holds; null for a host without one (ATL missing, or no
// control created), which is then left alone: the member can still log in with Internet Explorer.
ComPtr<IWebBrowser2> hostedBrowser(HMODULE atl, HWND host) {
    ComPtr<IWebBrowser2> browser;
    if (atl == nullptr || host == nullptr) {
        return browser;
    }
    using AtlAxGetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);
    auto atlAxGetControl = reinterpret_cast<AtlAxGetControlFunction>(
        reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
    ComPtr<IUnknown> control;
    if (atlAxGetControl == nullptr ||
        FAILED(atlAxGetControl(host, reinterpret_cast<IUnknown**>(control.put()))) || !control) {
        return browser;
    }
    if (FAILED(control->QueryInterface(IID_IWebBrowser2, browser.put()))) {
        browser = ComPtr<IWebBrowser2>();
    }
    return browser;
}

// Script errors of the login pages would each open a box over the window: the control keeps
// them to itself. What the control took is noted on its host window, where a support tool
// (and the tests) can read it from outside the process.
void silenceBrowser(HMODULE atl, HWND host) {
    const ComPtr<IWebBrowser2> browser = hostedBrowser(atl, host);
    if (!browser) {
        return;
    }
    browser->put_Silent(VARIANT_TRUE);
    VARIANT_BOOL silent = VARIANT_FALSE;
    if (SUCCEEDED(browser->get_Silent(&silent)) && silent == VARIANT_TRUE) {
        SetPropW(host, MainWindow::kBrowserSilentProperty, reinterpret_cast<HANDLE>(1));
    }
}

// Sends the hosted web browser to the address.
void navigateBrowser(HMODULE atl, HWND host, const std::string& gbkAddress) {
    const ComPtr<IWebBrowser2> browser = hostedBrowser(atl, host);
    if (!browser) {
        return;
    }
    Variant address(gbkToWide(gbkAddress).c_str());
    Variant none;
    browser->Navigate2(address.get(), none.get(), none.get(), none.get(), none.get());
}

}  // namespace

MainWindow::MainWindow(MainWindowEvents& events) : events_(events) {}

MainWindow::~MainWindow() {
    if (handle() != nullptr && IsWindow(handle())) {
        DestroyWindow(handle());
    }
}

bool MainWindow::create(const std::string& homeUrl) {
    registerClass(kClassName, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    runsInFlightMessage_ = RegisterWindowMessageW(kRunsInFlightMessage);
    // Fixed border, caption with system menu and minimise box, no maximise box.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    if (!createWindow(kClassName, gbkToWide(kMainCaption).c_str(), style, 0, kOuterWidth, kOuterHeight)) {
        return false;
    }
    createControls(homeUrl);
    // The created event: Home becomes a system-wide key of this program, before the window
    // shows, so that whoever sees the window can rely on it. A failed registration (another
    // program holds Home) leaves Home to that program, and the member is told so.
    hotKeyHeld_ = registerHomeHotKey(handle(), kHomeHotKeyId);
    ShowWindow(handle(), SW_SHOWNORMAL);
    UpdateWindow(handle());
    if (!hotKeyHeld_) {
        showOwnedMessage(kHomeTaken);
    }
    events_.onMainWindowCreated();
    return true;
}

namespace {

// The controls in creation order, which is stacking order: the button lies above the browser,
// the browser above the label, the check boxes and the edit box.
constexpr ControlLayout kControls[] = {
    {MainWindow::kHarvestButtonId, L"BUTTON", kHarvestButton, BS_PUSHBUTTON | WS_TABSTOP, 0, {376, 288, 88, 40}},
    // Named by the home page's address, which the browser opens.
    {MainWindow::kBrowserId, L"AtlAxWin", "", 0, 0, {-2, 0, 504, 360}},
    // SS_NOPREFIX: an "&" of an item title shows as itself, not as an underline.
    {MainWindow::kStatusLabelId, L"STATIC", kStartStatus, SS_LEFT | SS_NOPREFIX, 0, {56, 5, 439, 75}},
    // Multi-line without scroll bars; ES_AUTOVSCROLL so that text longer than the box is still
    // accepted. The selection hides while the box lacks the focus (no ES_NOHIDESEL).
    {MainWindow::kItemEditId, L"EDIT", "", ES_MULTILINE | ES_AUTOVSCROLL | ES_LEFT | WS_TABSTOP, WS_EX_CLIENTEDGE,
     {9, 83, 488, 120}},
    {MainWindow::kOnTopCheckId, L"BUTTON", kOnTopCheck, BS_AUTOCHECKBOX | WS_TABSTOP, 0, {0, 24, 48, 24}},
    // Unchecked at every start: nothing is stored. Three characters need more than the two of
    // 置顶: as wide as the space left of the status label, or the last one is cut off.
    {MainWindow::kShareTokenCheckId, L"BUTTON", kShareTokenCheck, BS_AUTOCHECKBOX | WS_TABSTOP, 0, {0, 48, 56, 24}},
};

}  // namespace

void MainWindow::createControls(const std::string& homeUrl) {
    statusFont_.reset(createFontForDpi(dpi(), kStatusFontHeight, FW_NORMAL, GB2312_CHARSET));
    for (const ControlLayout& layout : kControls) {
        if (layout.id == kBrowserId) {
            atlLibrary_ = loadBrowserHost();
            askForIe11Mode();
        }
        HWND control = createControl(handle(), layout, dpi(), fontOf(layout.id),
                                     layout.id == kBrowserId ? homeUrl.c_str() : nullptr);
        if (layout.id == kBrowserId) {
            silenceBrowser(atlLibrary_.get(), control);
            // Before the message loop runs, so before the browser asks for them on loading the page.
            askHostForDpiAwarePages(atlLibrary_.get(), control);
        }
    }
    HWND edit = control(kItemEditId);
    SendMessageW(edit, EM_SETLIMITTEXT, kItemTextLimit, 0);
    SetWindowSubclass(edit, &MainWindow::itemEditSubclass, kItemEditSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

HFONT MainWindow::fontOf(int controlId) const {
    return controlId == kStatusLabelId ? statusFont_.get() : defaultFont();
}

void MainWindow::layOut() {
    // The controls keep the old status font until they have the new one.
    FontHandle oldStatusFont = std::exchange(statusFont_, FontHandle(createFontForDpi(dpi(), kStatusFontHeight,
                                                                                       FW_NORMAL, GB2312_CHARSET)));
    for (const ControlLayout& layout : kControls) {
        placeControl(handle(), layout, dpi(), fontOf(layout.id));
    }
}

void MainWindow::setStatusText(const std::string& text) {
    setControlText(control(kStatusLabelId), text);
    UpdateWindow(control(kStatusLabelId));
}

std::string MainWindow::itemText() const {
    return controlText(control(kItemEditId));
}

std::wstring MainWindow::itemWideText() const {
    return controlWideText(control(kItemEditId));
}

void MainWindow::clearItemText() {
    // WM_SETTEXT raises no EN_CHANGE, so clearing starts no lookup of an empty text.
    setControlText(control(kItemEditId), "");
}

bool MainWindow::shareTokensChecked() const {
    return isChecked(control(kShareTokenCheckId));
}

void MainWindow::showCompactView() {
    setVisible(control(kBrowserId), false);
    setOuterHeight(handle(), scaled(kCompactHeight));
}

void MainWindow::showLoginView(const std::string& homeUrl) {
    navigateBrowser(atlLibrary_.get(), control(kBrowserId), homeUrl);
    setVisible(control(kBrowserId), true);
    setOuterHeight(handle(), scaled(kOuterHeight));
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == runsInFlightMessage_ && runsInFlightMessage_ != 0) {
        return events_.runsInFlight();
    }
    switch (message) {
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case kItemDoubleClickedMessage:
        events_.onItemDoubleClicked();
        return 0;
    case WM_TIMER:
        if (wParam == kProgressTimerId) {
            events_.onProgressDue();
            return 0;
        }
        break;
    case WM_HOTKEY:
        if (static_cast<int>(wParam) == kHomeHotKeyId) {
            events_.onHomePressed();
        }
        return 0;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == control(kStatusLabelId)) {
            return colourLabel(reinterpret_cast<HDC>(wParam), kStatusColour);
        }
        break;
    case WM_CLOSE:
        // Query close: give Home back to the system, never veto.
        if (hotKeyHeld_) {
            releaseHotKey(handle(), kHomeHotKeyId);
            hotKeyHeld_ = false;
        }
        DestroyWindow(handle());
        return 0;
    case WM_DESTROY:
        RemoveWindowSubclass(control(kItemEditId), &MainWindow::itemEditSubclass, kItemEditSubclassId);
        RemovePropW(control(kBrowserId), kBrowserSilentProperty);
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return defaultHandling(message, wParam, lParam);
}

void MainWindow::onCommand(int id, int notification) {
    switch (id) {
    case kHarvestButtonId:
        if (notification == BN_CLICKED) {
            events_.onHarvestClicked();
        }
        break;
    case kOnTopCheckId:
        if (notification == BN_CLICKED) {
            setAlwaysOnTop(handle(), isChecked(control(kOnTopCheckId)));
        }
        break;
    case kItemEditId:
        if (notification == EN_SETFOCUS) {
            // However the focus arrives, the box starts empty for the next item.
            clearItemText();
        } else if (notification == EN_CHANGE) {
            events_.onItemTextChanged();
        }
        break;
    default:
        break;
    }
}

LRESULT CALLBACK MainWindow::itemEditSubclass(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR data) {
    if (message == WM_LBUTTONDBLCLK) {
        // A real double-click finds the box focused: its first press gave it the focus. A
        // double-click into a box without the focus is a press that the system paired with an
        // earlier press on the same spot of the box, made before the member went to another
        // program (a click into another program does not break the pair). For the member it is
        // a click into the box: it must empty the box for the paste, not convert the old text
        // and overwrite the text the member has just copied.
        if (GetFocus() != edit) {
            return DefSubclassProc(edit, WM_LBUTTONDOWN, wParam, lParam);
        }
        auto* self = reinterpret_cast<MainWindow*>(data);
        PostMessageW(self->handle(), kItemDoubleClickedMessage, 0, 0);
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace quillane
