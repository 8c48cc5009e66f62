#pragma once
// The address of the page a browser other than Internet Explorer shows, read from what the
// browser offers to screen readers (Active Accessibility). Nothing is injected into the
// browser: only its windows' WM_GETOBJECT answers and the accessible tree behind them are
// used. Chromium (Chrome, Edge and the browsers built on it) and Firefox are known.
#include <windows.h>

#include <optional>
#include <string>

namespace quillane {

// How long one search may take as a whole, waits for a browser that builds its tree late
// included. The caller's thread runs its messages meanwhile.
inline constexpr DWORD kAccessibleSearchMs = 3000;

enum class BrowserKind { None, Chromium, Firefox };

// By the class of the browser's top-level window.
BrowserKind browserKindOf(HWND topLevel);

// The page's full address (GBK) in the browser whose top-level window this is; nothing when it
// is no browser known here or it offers no page within kAccessibleSearchMs.
std::optional<std::string> readAccessibleAddress(HWND topLevel);

}  // namespace quillane
