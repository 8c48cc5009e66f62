#pragma once
// The windows are designed in pixels of a 96-DPI display and drawn at the DPI of the monitor
// each window is on: positions, sizes, fonts and icons are the 96-DPI values scaled by that
// DPI, so that a window is as large and as sharp on a 150 % laptop or a 200 % 4K screen as on
// a 100 % one, and nothing in it is cut off.
#include <windows.h>

#include "util/owners.h"

namespace quillane {

inline constexpr UINT kDesignDpi = 96;

// The DPI a window is drawn at: the DPI of its monitor (GetDpiForWindow, Windows 10 1607 and
// later, looked up at run time so that the program still starts on Windows 7), else the
// system's DPI, which is every monitor's DPI there.
UINT dpiOfWindow(HWND window);
UINT systemDpi();

// A length of the 96-DPI design at this DPI, rounded to the nearest pixel.
int scaledToDpi(int designPixels, UINT dpi);

// A rectangle of the 96-DPI design (left, top, width, height) at this DPI. Edges are scaled,
// not the width and height, so that controls that meet at 96 DPI still meet.
struct DesignRect {
    int left, top, width, height;
};
RECT scaledRect(const DesignRect& design, UINT dpi);

// A font of the system's default GUI face at this DPI. characterHeight: in 96-DPI pixels, 0 for
// the default GUI font's own size. faceName overrides the face.
HFONT createFontForDpi(UINT dpi, int characterHeight = 0, int weight = FW_NORMAL, BYTE charSet = DEFAULT_CHARSET,
                       const wchar_t* faceName = nullptr);

// The program's icon at the big and small icon sizes of this DPI.
struct WindowIcons {
    IconHandle big;
    IconHandle small;
};
WindowIcons loadProgramIcons(UINT dpi);
// Hands the icons to the window's caption bar and task switcher; the caller keeps them alive
// while the window uses them.
void showIcons(HWND window, const WindowIcons& icons);

// The window under the mouse pointer, read in the system's DPI context (see the definition).
HWND windowUnderMouse();

// WM_DPICHANGED: the window takes the rectangle the system suggests for its new monitor (which
// keeps it under the mouse while it is dragged across), and returns the new DPI.
UINT takeSuggestedRect(HWND window, WPARAM wParam, LPARAM lParam);

}  // namespace quillane
