#pragma once
// Harvesting a login: the button "获取关键信息" (the cookie store's login) and a session the
// member pasted into the box. Either replaces the kept login as a whole when it found both ids.
#include <string>

#include "app/job_runner.h"
#include "app/login_keeper.h"
#include "app/main_window.h"
#include "app/status_line.h"
#include "workflow/harvest.h"

namespace quillane {

class LoginFlow {
public:
    LoginFlow(MainWindow& window, StatusLine& status, JobRunner& jobs, LoginKeeper& keeper)
        : window_(window), status_(status), jobs_(jobs), keeper_(keeper) {}

    void onHarvestClicked();
    void harvestPasted(const std::string& cookies);

private:
    void startHarvest();
    void show(const HarvestResult& result);

    MainWindow& window_;
    StatusLine& status_;
    JobRunner& jobs_;
    LoginKeeper& keeper_;
    bool harvestRunning_ = false;
    bool harvestAgain_ = false;  // pressed again while a harvest ran
};

}  // namespace quillane
