#include "workflow/page_capture.h"

#include <memory>
#include <utility>

#include "util/held_runs.h"
#include "workflow/capture/accessible_address.h"

namespace quillane {
namespace {

// Reads still inside a browser that hangs hold a worker each until the program ends; while this
// many are held no new read starts, and Home goes on as over a window without a page.
constexpr int kMaxStuckReads = 2;
HeldRuns stuckReads(kMaxStuckReads);

// What a page read and the Home run that waits for it share; a read that outlives its wait
// keeps it alone.
struct PageRead {
    std::shared_ptr<CapturedPage> page;
    HWND cursorWindow = nullptr;
    std::string address;
    RetiredElements retired;
};

void readPage(PageRead& read) {
    CapturedPage& page = *read.page;
    // Internet Explorer first. Without a document view under the mouse, another browser's
    // page; without that either, the last page captured stays, so the lookup repeats for it
    // (an Internet Explorer page at its current address).
    page.document.attach(read.cursorWindow);
    if (page.document.tookNewDocument()) {
        page.browserAddress.reset();
    } else if (auto address = readAccessibleAddress(GetAncestor(read.cursorWindow, GA_ROOT), read.retired)) {
        page.browserAddress = std::move(address);
    }
    read.address = page.browserAddress ? *page.browserAddress : page.document.readLocation();
}

}  // namespace

LookupResult captureItemPage(HWND cursorWindow, const SessionState& session, const Deployment& deployment,
                             std::shared_ptr<CapturedPage>& lastPage, ParallelWork& parallel) {
    std::string address;
    if (!lastPage) {
        lastPage = std::make_shared<CapturedPage>();
    }
    // Taken before the read: a read that hangs keeps the page to itself.
    const std::optional<std::string> lastAddress = lastPage->browserAddress;
    auto read = std::make_shared<PageRead>();
    read->page = lastPage;
    read->cursorWindow = cursorWindow;
    const bool readInTime =
        stuckReads.run(parallel, [read] { readPage(*read); }, kPageReadBoundMs) == HeldRuns::Outcome::InTime;
    if (readInTime) {
        address = read->address;
        // Letting go of the browser's elements is a call each to it: not on Home's way.
        parallel.runWithin([retired = std::make_shared<RetiredElements>(std::move(read->retired))] { retired->clear(); },
                           0);
    } else {
        lastPage = std::make_shared<CapturedPage>();
        lastPage->browserAddress = lastAddress;
        address = lastAddress.value_or("");
    }
    return lookupRebate(address, LookupForm::HotKey, session, deployment, parallel);
}

}  // namespace quillane
