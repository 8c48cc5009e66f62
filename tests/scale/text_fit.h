#pragma once
// Whether each control's text fits the control, measured in the control's own font: the space
// left between the text and the edge of the place the control draws it in.
#include <windows.h>

#include <string>
#include <vector>

namespace quillane::test {

struct TextFit {
    HWND control = nullptr;
    std::wstring text;
    // Pixels between the text and the nearest edge of its place: negative when cut off.
    int margin = 0;
    const char* side = "";  // which edge is the nearest
};

// Push buttons (one centred line inside the 3-D edge), check boxes (one line after the box),
// labels and the message box's text (wrapped lines from the top left). Controls without text
// are left out.
TextFit measureTextFit(HWND control);
std::vector<TextFit> measureTextFits(HWND parent);

// Pairs of visible sibling controls whose rectangles overlap, apart from those named in
// allowedUnder (a control that lies under the others by design).
std::vector<std::pair<HWND, HWND>> overlappingControls(HWND parent, HWND allowedUnder = nullptr);

// "关闭隐藏程序 right 7 px", for the messages and the closing table.
std::string describe(const TextFit& fit);

}  // namespace quillane::test
