#pragma once
// One window pattern for the program: a static window procedure that captures the C++
// object at WM_NCCREATE and hands every message to a member function. No exception may
// leave a window procedure, so the dispatch catches everything.
#include <windows.h>

#include "app/display_scale.h"
#include "util/owners.h"

namespace quillane {

class BaseWindow {
public:
    BaseWindow() = default;
    virtual ~BaseWindow();
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    HWND handle() const { return handle_; }

protected:
    // Registers the class once per process. background: a system colour index + 1 or a brush.
    static void registerClass(const wchar_t* className, HBRUSH background);
    // Creates the window hidden, centred on the primary screen, with the outer size of the 96-DPI
    // design scaled to the DPI of the monitor it is on, and its icons at that DPI.
    bool createWindow(const wchar_t* className, const wchar_t* caption, DWORD style, DWORD exStyle, int designWidth,
                      int designHeight);
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // What the window does not handle itself, WM_DPICHANGED included: the window takes the
    // system's suggested rectangle for the new monitor and lays itself out again (layOut).
    LRESULT defaultHandling(UINT message, WPARAM wParam, LPARAM lParam);
    // Places the controls and gives them their fonts for dpi(); runs again at each DPI change.
    virtual void layOut() {}

    UINT dpi() const { return dpi_; }
    int scaled(int designPixels) const { return scaledToDpi(designPixels, dpi_); }
    // The default GUI font at dpi(), for every control without a font of its own.
    HFONT defaultFont() const { return defaultFont_.get(); }

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void takeDpi(UINT dpi);

    HWND handle_ = nullptr;
    UINT dpi_ = kDesignDpi;
    FontHandle defaultFont_;
    WindowIcons icons_;
};

// One child control as the layout tables describe it, in 96-DPI pixels. text is GBK.
struct ControlLayout {
    int id;
    const wchar_t* className;
    const char* text;
    DWORD style;
    DWORD exStyle;
    DesignRect rect;
};

// Creates the control at its place for dpi, with the font. text: the caption, when it is not
// the table's.
HWND createControl(HWND parent, const ControlLayout& layout, UINT dpi, HFONT font, const char* text = nullptr);
// Moves the control to its place for dpi and hands it the font (redrawn with it).
void placeControl(HWND parent, const ControlLayout& layout, UINT dpi, HFONT font);

}  // namespace quillane
