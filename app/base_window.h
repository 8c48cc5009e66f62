#pragma once
// One window pattern for the program: a static window procedure that captures the C++
// object at WM_NCCREATE and hands every message to a member function. No exception may
// leave a window procedure, so the dispatch catches everything.
#include <windows.h>

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
    bool createWindow(const wchar_t* className, const wchar_t* caption, DWORD style, DWORD exStyle, int x, int y,
                      int width, int height);
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    LRESULT defaultHandling(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
};

// A font of the system's default GUI face with the given character height (pixels),
// weight and character set; faceName overrides the face.
HFONT createFont(int characterHeight, int weight, BYTE charSet, const wchar_t* faceName = nullptr);

// One child control as the layout tables describe it. text is GBK.
struct ControlLayout {
    int id;
    const wchar_t* className;
    const char* text;
    DWORD style;
    DWORD exStyle;
    int left, top, width, height;
};

HWND createControl(HWND parent, const ControlLayout& layout);

}  // namespace quillane
