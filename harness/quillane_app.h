#pragma once
// The real quillane.exe under test, with its deployment values pointed away from the
// Internet: by default at a closed loopback port, so that nothing leaves the machine and the
// start-up notice fetch fails at once.
#include <windows.h>

#include <memory>

#include "harness/ui_driver.h"

namespace quillane::test {

class QuillaneApp {
public:
    // Starts quillane.exe and waits until its main window is shown. overrides replace the
    // defaults (e.g. QUILLANE_API_HOST pointed at the simulator). Null when it did not start.
    static std::unique_ptr<QuillaneApp> start(const EnvironmentOverrides& overrides = {});
    // Starts quillane.exe with the same deployment values and returns at once, without
    // waiting for any window (a second start shows none).
    static std::unique_ptr<RunningProgram> launch(const EnvironmentOverrides& overrides = {});

    RunningProgram& process() { return *process_; }
    HWND mainWindow() const { return mainWindow_; }
    HWND control(int id) const { return GetDlgItem(mainWindow_, id); }
    std::string controlText(int id) const { return windowText(control(id)); }
    // Clicks a button as a mouse click does (BM_CLICK); returns at once.
    void clickButton(int id) const;
    // The centre of a control on the screen, for real mouse input.
    POINT controlCentre(int id) const { return centreOf(windowRect(control(id))); }

private:
    std::unique_ptr<RunningProgram> process_;
    HWND mainWindow_ = nullptr;
};

}  // namespace quillane::test
