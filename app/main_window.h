#pragma once
// The main window: the embedded login browser, the status label, the item edit box, the
// always-on-top check box and the button that harvests the session keys.
#include <windows.h>

#include <string>

#include "app/base_window.h"

namespace quillane {

// What the member's actions in the main window start. The program implements it.
class MainWindowEvents {
public:
    virtual ~MainWindowEvents() = default;
    virtual void onMainWindowCreated() = 0;  // after the hot-key is registered
    virtual void onHarvestClicked() = 0;
    virtual void onItemTextChanged() = 0;
    virtual void onItemDoubleClicked() = 0;
    virtual void onHomePressed() = 0;
    // The progress timer (kProgressTimerId) is due.
    virtual void onProgressDue() = 0;
    // The member's runs started and not yet rendered.
    virtual int runsInFlight() const = 0;
};

class MainWindow : public BaseWindow {
public:
    static constexpr int kHarvestButtonId = 1001;  // "获取关键信息"
    static constexpr int kBrowserId = 1002;        // embedded web browser
    // Set (to 1) on the browser's host window once the control keeps script errors silent.
    static constexpr const wchar_t* kBrowserSilentProperty = L"Quillane.BrowserSilent";
    static constexpr int kStatusLabelId = 1003;    // status label
    static constexpr int kItemEditId = 1004;       // item edit box
    static constexpr int kOnTopCheckId = 1005;     // "置顶"
    static constexpr int kShareTokenCheckId = 1006;  // "淘口令"
    static constexpr int kHomeHotKeyId = 1;
    static constexpr UINT_PTR kProgressTimerId = 1;
    // A message any program may send: the window answers with the number of the member's runs
    // in flight, 0 once every result is shown. Tests and tools wait for that, not for a
    // window that stops answering.
    static constexpr const wchar_t* kRunsInFlightMessage = L"Quillane.RunsInFlight";
    // Characters the item box takes: far more than any address, and little enough that a
    // huge paste (a megabyte of text without a blank) cannot stall or crash the edit control
    // while it lays the text out; the rest of such a paste is cut off.
    static constexpr int kItemTextLimit = 32767;
    static constexpr int kOuterWidth = 509;
    static constexpr int kOuterHeight = 387;
    static constexpr int kCompactHeight = 236;
    static constexpr int kStatusFontHeight = 19;  // pixels at 96 DPI
    static constexpr COLORREF kStatusColour = RGB(0, 128, 128);
    static constexpr const wchar_t* kClassName = L"QuillaneMainWindow";

    explicit MainWindow(MainWindowEvents& events);
    ~MainWindow() override;

    // Creates the window and its controls, registers the Home hot-key, shows the window (with a
    // box that says so when another program holds Home), then runs
    // MainWindowEvents::onMainWindowCreated.
    bool create(const std::string& homeUrl);

    HWND control(int id) const { return GetDlgItem(handle(), id); }
    void setStatusText(const std::string& text);
    std::string itemText() const;
    std::wstring itemWideText() const;
    // Empties the item box without starting a lookup of the empty text.
    void clearItemText();
    // Whether the member hands out 淘口令 share texts instead of links.
    bool shareTokensChecked() const;
    // After a harvest: the login browser hidden and the window shrunk to the status label,
    // the check box and the item box.
    void showCompactView();
    // When the login is over: the login browser shown again on the home page, and the window
    // at its full height, so that the member can log in above.
    void showLoginView(const std::string& homeUrl);

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void createControls(const std::string& homeUrl);
    void layOut() override;
    HFONT fontOf(int controlId) const;
    void onCommand(int id, int notification);
    static LRESULT CALLBACK itemEditSubclass(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR subclassId, DWORD_PTR data);

    MainWindowEvents& events_;
    FontHandle statusFont_;
    LibraryHandle atlLibrary_;  // freed after the window, whose browser it hosts
    bool hotKeyHeld_ = false;
    UINT runsInFlightMessage_ = 0;
};

}  // namespace quillane
