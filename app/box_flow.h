#pragma once
// The item box: every change is looked up, and a double-click copies the link to the item the
// box names (or converts the message of several items it holds). The box keeps its own item,
// the one its newest lookup found: Home's results never change what the box names.
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "app/batch_flow.h"
#include "app/job_runner.h"
#include "app/login_flow.h"
#include "app/login_keeper.h"
#include "app/main_window.h"
#include "app/status_line.h"
#include "workflow/affiliate_link.h"
#include "workflow/rebate_lookup.h"

namespace quillane {

class BoxFlow {
public:
    BoxFlow(MainWindow& window, StatusLine& status, JobRunner& jobs, LoginKeeper& keeper, BatchFlow& batch,
            LoginFlow& login)
        : window_(window), status_(status), jobs_(jobs), keeper_(keeper), batch_(batch), login_(login) {}

    void onTextChanged();
    void onDoubleClicked();

private:
    // A pasted session is harvested, a message of several items is offered for a batch,
    // anything else is looked up.
    void lookUp();
    void showLookup(const LookupResult& result);
    void startLink(const std::string& itemId, bool memberWaits);
    // The box's item's link, or its share text, onto the clipboard.
    void copy(const LinkResult& link);
    // No double-click waits for a link any more; one that waited for a link asked ahead ends
    // its wait.
    void stopAwaitingLink();

    MainWindow& window_;
    StatusLine& status_;
    JobRunner& jobs_;
    LoginKeeper& keeper_;
    BatchFlow& batch_;
    LoginFlow& login_;
    // What the box names: the item its newest lookup found, with the offer read for it.
    LookedUpItem item_;
    // Bumped by every change of the box: a result of an older box is dropped, and a lookup
    // that had not started yet when the box changed again is not made at all.
    std::uint64_t generation_ = 0;
    std::shared_ptr<std::atomic<std::uint64_t>> newestGeneration_ = std::make_shared<std::atomic<std::uint64_t>>(0);
    bool lookupRunning_ = false;  // the newest text's lookup is not in yet
    int lookupsInFlight_ = 0;
    bool lookupDeferred_ = false;  // the newest text waits for a lookup to end
    // A double-click that came while the box's lookup ran: done once that lookup is in.
    bool linkAfterLookup_ = false;
    // The items whose link request is in flight; the item whose link a double-click waits for.
    std::set<std::string> linksInFlight_;
    std::optional<std::string> awaitedLink_;
    bool awaitingAhead_ = false;  // awaitedLink_ was asked ahead, not by the double-click
};

}  // namespace quillane
