#pragma once
// The thin window-system layer: every text that crosses into the window system is GBK
// inside the program and UTF-16 at the boundary, converted with code page 936 explicitly,
// so Chinese shows correctly whatever the system's ANSI code page is.
#include <windows.h>

#include <string>
#include <string_view>

#include "util/wide_text.h"

namespace quillane {

void setControlText(HWND control, std::string_view gbk);
std::string controlText(HWND control);
// The text as the control holds it, for text that must survive unchanged (GBK lacks emoji).
std::wstring controlWideText(HWND control);
void setVisible(HWND window, bool visible);
void setOuterHeight(HWND window, int pixels);
void setAlwaysOnTop(HWND window, bool onTop);
bool isChecked(HWND checkBox);

// Replaces the clipboard's content with the text; the empty text leaves it without text.
// While another program holds the clipboard open it tries again for up to a second; false
// when the clipboard stayed busy (or the write failed) and the content is unchanged.
bool replaceClipboardText(HWND owner, std::string_view gbk);
bool replaceClipboardWideText(HWND owner, std::wstring_view wide);
// Hands the address to the default web browser; failures are not reported to the member.
void openInDefaultBrowser(std::string_view gbkAddress);

bool registerHomeHotKey(HWND owner, int id);
void releaseHotKey(HWND owner, int id);

// Esc pressed in one of the program's top-level windows (window class "Quillane...") or in
// one of its controls closes that window, as its close box does. The message loop offers
// every message here first; true: handled, do not dispatch it.
bool closeOnEscape(const MSG& message);

// The answer to WM_CTLCOLORSTATIC for a label drawn in this text colour on the window's own
// background.
LRESULT colourLabel(HDC context, COLORREF textColour);

// Top-left position that centres a window of this outer size on the primary screen.
POINT centredOnScreen(int outerWidth, int outerHeight);

}  // namespace quillane
