#pragma once
// How tests and the demo talk to doc_view.exe, the stand-in for an Internet Explorer window.
//
//   doc_view.exe [--rect X,Y,WIDTH,HEIGHT] [--frame-class NAME] [--second-view ADDRESS] [--hang]
//                [--plain-location] ADDRESS
//
// The frame window (class kFrameClass unless --frame-class names another, caption
// kFrameCaption) is placed at the given outer rectangle. Another class stands for a browser
// that shows a page in Internet Explorer's engine inside a frame of its own (360's and
// Sogou's compatibility mode). Its children, in child order: a read-only address bar, then one tab holding the
// first document view, then (with --second-view) a hidden tab holding the second view.
//
// Navigation: send WM_COPYDATA to the frame with dwData = the view's number (1 or 2) and
// lpData/cbData = the new address as UTF-16 without a terminator. The frame answers TRUE when
// the view exists. Its document reports the new address from then on.
//
// --hang: the views never answer "WM_HTML_GETOBJECT"; the process blocks inside the first
// such message until the named event hangReleaseEventName(its process id) is set.
// --plain-location: the document's "location" is the address text itself instead of a
// location object whose default value is the address.
#include <windows.h>

#include <string>

namespace quillane::docview {

inline constexpr wchar_t kFrameClass[] = L"QuillaneStandInFrame";
inline constexpr wchar_t kFrameCaption[] = L"Item page - stand-in browser";
inline constexpr wchar_t kDocumentViewClass[] = L"Internet Explorer_Server";

inline std::wstring hangReleaseEventName(DWORD processId) {
    return L"QuillaneDocViewHangRelease." + std::to_wstring(processId);
}

}  // namespace quillane::docview
