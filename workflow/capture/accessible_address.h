#pragma once
// The address of the page a browser other than Internet Explorer shows, read from what the
// browser offers to screen readers (Active Accessibility). Nothing is injected into the
// browser: only its windows' WM_GETOBJECT answers and the accessible tree behind them are
// used. Chromium (Chrome, Edge, the browsers built on it and programs with a built-in
// browser) and Firefox are known, by the windows the browser's frame hosts, not by the
// frame's own class, which each browser built on Chromium names as it likes.
#include <windows.h>

#include <optional>
#include <string>

namespace quillane {

// How long one search may take as a whole, waits for a browser that builds its tree late
// included. The caller's thread runs its messages meanwhile.
inline constexpr DWORD kAccessibleSearchMs = 3000;

enum class BrowserKind { None, Chromium, Firefox };

// By what the top-level window hosts: a Chromium page window (Chrome_RenderWidgetHostHWND)
// among its descendants makes it Chromium; a Gecko window, itself or among its descendants,
// Firefox. Asks the browser nothing: only the window list is read.
BrowserKind browserKindOf(HWND topLevel);

// The page's full address (GBK) in the browser whose top-level window this is; nothing when it
// is no browser known here or it offers no page within kAccessibleSearchMs.
std::optional<std::string> readAccessibleAddress(HWND topLevel);

}  // namespace quillane
