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

#include "workflow/capture/accessible_walk.h"

namespace quillane {

// How long one search may take as a whole, waits for a browser that builds its tree late
// included. A browser that hangs inside one of its calls holds the calling thread longer: the
// caller bounds that itself. COM must be usable on the calling thread.
inline constexpr DWORD kAccessibleSearchMs = 3000;

enum class BrowserKind { None, Chromium, Firefox };

// By what the top-level window hosts: a Chromium page window (Chrome_RenderWidgetHostHWND)
// among its descendants makes it Chromium; a Gecko window, itself or among its descendants,
// Firefox. Asks the browser nothing: only the window list is read.
BrowserKind browserKindOf(HWND topLevel);

// The page's full address (GBK) in the browser whose top-level window this is; nothing when it
// is no browser known here or it offers no page within kAccessibleSearchMs. The elements taken
// from the browser end up in retired: letting go of them is a call each to the browser, which
// the caller makes once it no longer waits for the address.
std::optional<std::string> readAccessibleAddress(HWND topLevel, RetiredElements& retired);

}  // namespace quillane
