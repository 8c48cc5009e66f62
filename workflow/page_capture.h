#pragma once
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "workflow/capture/page_document.h"
#include "workflow/parallel_work.h"
#include "workflow/rebate_lookup.h"

namespace quillane {

// The page Home read last, kept from press to press: Internet Explorer's document (read
// again at its current address) or, when the newest capture came from another browser, the
// address that browser offered. One Home run at a time uses it.
struct CapturedPage {
    PageDocument document;
    std::optional<std::string> browserAddress;
};

// How long the page read may hold Home: the accessibility search's own bound and a little for
// the browser's call it may be in at that moment.
inline constexpr DWORD kPageReadBoundMs = 3300;

// The Home key: finds the Internet Explorer document in or below the window that was under the
// mouse at the press, or else the Chromium or Firefox page that its top-level window hosts
// (whatever that frame's class), reads its address and looks that item up in the hot-key form.
// Over a window without a page the last page captured is looked up again. The read runs
// through parallel within kPageReadBoundMs: a browser that hangs inside it is left to its
// worker, and lastPage is then a new page that keeps only the address last read. lastPage is
// Home's own memory: no other flow reads it.
LookupResult captureItemPage(HWND cursorWindow, const SessionState& session, const Deployment& deployment,
                             std::shared_ptr<CapturedPage>& lastPage, ParallelWork& parallel);

}  // namespace quillane
