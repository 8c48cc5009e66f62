#pragma once
// How tests and the demo talk to browser_view.exe, a stand-in for a Chromium or Firefox
// window that answers screen readers the way those browsers do.
//
//   browser_view.exe [--kind chromium|firefox|no-page] [--frame-class NAME] [--rect X,Y,WIDTH,HEIGHT]
//                    [--wake-delay MS] [--never-fills] [--bar-name NAME] [--silent]
//                    [--extra-elements N] ADDRESS
//
// The top-level window has the browser's class (Chrome_WidgetWin_1 or MozillaWindowClass), or
// the one --frame-class names, as the browsers built on Chromium name their frames. It has one
// child that shows the page (Chrome_RenderWidgetHostHWND, or MozillaWindowClass). --kind
// no-page: a window of a program built on Chromium that shows no page (frame class
// Chrome_WidgetWin_1 unless told): its child is a plain window, and the tree never gets its
// page, as with --never-fills. The top-level window answers WM_GETOBJECT for OBJID_CLIENT with
// its accessible tree:
//   client -> toolbar -> [button "Back", address bar (editable text, value: ADDRESS without
//             its scheme, named NAME, "Address and search bar" unless told)]
//          -> pane "web view" -> document (value: ADDRESS) -> two static texts (the content)
// --kind chromium (the default) keeps the pane empty until the page's window has been asked
// for OBJID_CLIENT once, and fills it --wake-delay MS later (0: at once). --never-fills keeps it
// empty for good (only the address bar answers). --silent: the client has no children at all.
// --extra-elements N: a list of N simple items comes first among the client's children.
//
// Navigation: WM_COPYDATA to the top-level window with dwData 1 and the new address as
// UTF-16 without a terminator; answered TRUE.
// kCallCountMessage (registered): answers how many IAccessible calls the tree has served;
// wParam 1 also sets the count back to 0.
#include <windows.h>

namespace quillane::browserview {

inline constexpr wchar_t kChromiumFrameClass[] = L"Chrome_WidgetWin_1";
inline constexpr wchar_t kChromiumPageClass[] = L"Chrome_RenderWidgetHostHWND";
inline constexpr wchar_t kFirefoxClass[] = L"MozillaWindowClass";
inline constexpr wchar_t kNoPageChildClass[] = L"QuillaneStandInContent";
inline constexpr wchar_t kCallCountMessage[] = L"QuillaneBrowserViewCallCount";
inline constexpr wchar_t kDefaultBarName[] = L"Address and search bar";
// Pixels of the frame's client area above the page: the toolbar.
inline constexpr int kToolbarHeight = 32;

}  // namespace quillane::browserview
