#pragma once
// End-to-end set-up shared by the member-road tests: the simulated platform, a member logged
// in through its login page (cookies in the real cookie store), and quillane.exe pointed at it.
#include <windows.h>

#include <memory>
#include <string>

#include "harness/message_box.h"
#include "harness/platform_sim_client.h"
#include "harness/quillane_app.h"

namespace quillane::test {

EnvironmentOverrides toEnvironment(const std::vector<std::pair<std::string, std::string>>& variables);

class PlatformSession {
public:
    static constexpr DWORD kIdleTimeoutMs = 30000;
    // What a window that is not frozen takes at most to answer a sent message: generous, so
    // that a busy machine passes and a window that waits on the network does not.
    static constexpr DWORD kRespondMs = 100;

    // Starts the simulator, logs the member in (or out, when loggedIn is false) and starts
    // quillane.exe against it. ready() tells whether all of that worked.
    // extra: deployment values of quillane.exe besides the simulator's.
    explicit PlatformSession(bool loggedIn = true, const EnvironmentOverrides& extra = {});
    // Ends quillane.exe and logs the member out: the session cookies live in the cookie store
    // of the whole test prefix and must not reach other tests' requests to localhost.
    ~PlatformSession();
    PlatformSession(const PlatformSession&) = delete;
    PlatformSession& operator=(const PlatformSession&) = delete;
    bool ready() const { return app_ != nullptr; }
    // Which step of the start failed, "" when none did.
    const std::string& failure() const { return failure_; }

    PlatformSim& sim() { return sim_; }
    QuillaneApp& app() { return *app_; }
    DWORD processId() const { return app_->process().processId(); }

    // Presses "获取关键信息", waits for the owned message box, presses its OK button and
    // returns what it showed.
    MessageBoxSeen harvest();
    // Puts text into the item box the way a paste does (one change of its content) and waits
    // until the lookup has reported in the status label; false when the window did not answer
    // within timeoutMs.
    bool pasteItemText(const std::string& gbk, DWORD timeoutMs = kIdleTimeoutMs);
    bool pasteItemText(const std::wstring& text, DWORD timeoutMs = kIdleTimeoutMs);
    // The same paste, returning once the box has the text, not once its lookup is over.
    void startPaste(const std::string& gbk);
    // Double-clicks the item box with the mouse and returns at once.
    void startDoubleClick();
    // Presses Esc over the main window, as the member does; true when quillane.exe ended within
    // timeoutMs, with exitCode (when given) its exit code.
    bool endsAtEscape(DWORD timeoutMs, DWORD* exitCode = nullptr);
    // Clicks into the item box unless it has the focus already (a click that gives it the
    // focus empties it), and waits until it has; false when it did not get it.
    bool focusItemBox();
    // Double-clicks the item box with the mouse and waits until the label tells its end and no
    // run is in flight; false when that did not come within timeoutMs.
    bool doubleClickItemBox(DWORD timeoutMs = kIdleTimeoutMs);
    // Presses Home with the mouse at the point and waits for the result window, then until the
    // run is over (a press made during a run is dropped); null when no result window came.
    HWND pressHomeAt(POINT point);
    // The item id the last search asked the platform about: "" when it named none.
    std::string lastSearchedId();
    // The main window's two views: the login page over the controls, or the controls alone.
    bool loginViewShown() const;
    bool compactViewShown() const;
    std::string status() const;
    // Waits until the status label shows text, true when it did.
    bool waitForStatus(const std::string& gbk, DWORD timeoutMs = 15000) const;
    // Waits until quillane.exe has no run of the member's in flight (every result shown); false
    // when it still had one after timeoutMs, or its window did not answer.
    bool waitUntilIdle(DWORD timeoutMs = kIdleTimeoutMs) const;
    // The member's runs in flight as the window counts them; -1 when it did not answer within
    // kRespondMs.
    int runsInFlight() const;
    // Whether the main window answers a sent message within boundMs: a window that is not
    // frozen does, whatever runs.
    bool answersWithin(DWORD boundMs) const;

private:
    bool browserShown() const;
    int mainWindowHeight() const;

    PlatformSim sim_;
    std::unique_ptr<QuillaneApp> app_;
    std::string failure_;
};

// A result window's sentence, whether its "打开返利链接" button can be pressed, and closing it
// as its close box does (returns once it is gone).
std::string resultText(HWND resultWindow);
bool openLinkEnabled(HWND resultWindow);
void closeResultWindow(HWND resultWindow);

}  // namespace quillane::test
