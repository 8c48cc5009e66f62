#include "app/login_flow.h"

#include <utility>

#include "app/owned_message.h"
#include "app/result_rendering.h"
#include "workflow/deployment.h"
#include "workflow/member_texts.h"

namespace quillane {

void LoginFlow::onHarvestClicked() {
    if (harvestRunning_) {
        harvestAgain_ = true;  // once more when the running one is in, as a second press asks
        return;
    }
    startHarvest();
}

void LoginFlow::startHarvest() {
    harvestRunning_ = true;
    const std::uint64_t epoch = keeper_.epoch();
    jobs_.start<HarvestResult>(
        Waiting::Member, [login = keeper_.login()] { return harvestSessionKeys(login, deployment()); },
        [this, epoch](HarvestResult& result) {
            harvestRunning_ = false;
            keeper_.adopt(result.session, epoch, result.outcome == HarvestOutcome::Harvested);
            show(result);
            if (std::exchange(harvestAgain_, false)) {
                startHarvest();
            }
        });
}

void LoginFlow::harvestPasted(const std::string& cookies) {
    const std::uint64_t epoch = keeper_.epoch();
    jobs_.start<HarvestResult>(
        Waiting::Member,
        [login = keeper_.login(), cookies] { return harvestPastedSession(login, cookies, deployment()); },
        [this, epoch](HarvestResult& result) {
            keeper_.adopt(result.session, epoch, result.outcome == HarvestOutcome::Harvested);
            show(result);
        });
}

void LoginFlow::show(const HarvestResult& result) {
    if (result.idsText) {
        status_.set(*result.idsText);
    }
    if (result.outcome == HarvestOutcome::Harvested) {
        window_.showCompactView();
    }
    if (result.outcome == HarvestOutcome::LoginExpired) {
        status_.set(kLoginExpired);
        showLoginChange(window_, LoginCheck{.expired = true});
    }
    showOwnedMessage(result.messageText);
}

}  // namespace quillane
