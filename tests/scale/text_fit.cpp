#include "tests/scale/text_fit.h"

#include <algorithm>

#include "harness/ui_driver.h"

namespace quillane::test {
namespace {

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

}  // namespace

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

std::vector<TextFit> measureTextFits(HWND parent) {
    std::vector<TextFit> fits;
    for (HWND child : childrenInStackingOrder(parent)) {
        const std::wstring kind = windowClass(child);
        // The edit box holds the member's text, the browser the platform's page.
        if (IsWindowVisible(child) && (kind == L"Button" || kind == L"Static")) {
            TextFit fit = measureTextFit(child);
            if (!fit.text.empty()) {
                fits.push_back(std::move(fit));
            }
        }
    }
    return fits;
}

std::vector<std::pair<HWND, HWND>> overlappingControls(HWND parent, HWND allowedUnder) {
    std::vector<HWND> shown;
    for (HWND child : childrenInStackingOrder(parent)) {
        if (IsWindowVisible(child) && child != allowedUnder) {
            shown.push_back(child);
        }
    }
    std::vector<std::pair<HWND, HWND>> overlaps;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        for (std::size_t j = i + 1; j < shown.size(); ++j) {
            const RECT first = windowRect(shown[i]);
            const RECT second = windowRect(shown[j]);
            RECT common{};
            if (IntersectRect(&common, &first, &second)) {
                overlaps.emplace_back(shown[i], shown[j]);
            }
        }
    }
    return overlaps;
}

std::string describe(const TextFit& fit) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, fit.text.c_str(), static_cast<int>(fit.text.size()), nullptr,
                                           0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(std::max(length, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, fit.text.c_str(), static_cast<int>(fit.text.size()), text.data(), length, nullptr,
                        nullptr);
    if (text.size() > 24) {
        std::size_t cut = 18;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
            --cut;  // not inside a character
        }
        text = text.substr(0, cut) + "...";
    }
    return text + " " + fit.side + " " + std::to_string(fit.margin) + " px";
}

}  // namespace quillane::test
