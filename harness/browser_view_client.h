#pragma once
// Starting and driving browser_view.exe, the stand-in Chromium or Firefox window, from a test.
#include <windows.h>

#include <memory>
#include <string>

#include "harness/ui_driver.h"

namespace quillane::test {

enum class BrowserViewKind {
    Chromium,
    Firefox,
    NoPage,  // a window of a program built on Chromium that shows no page
};

struct BrowserViewSetup {
    BrowserViewKind kind = BrowserViewKind::Chromium;
    std::string frameClass;         // the top-level window's class; empty: the kind's own
    std::string address;            // GBK
    DWORD wakeDelayMs = 0;          // Chromium: the page's tree arrives this long after the first ask
    bool neverFills = false;        // the page's tree never arrives: only the address bar answers
    bool silent = false;            // the tree has no elements below its root
    long extraElements = 0;         // simple list items ahead of the toolbar
    std::string barName;            // GBK; empty: the English name
    RECT frame = {700, 420, 1240, 900};
};

class BrowserViewProcess {
public:
    explicit BrowserViewProcess(const BrowserViewSetup& setup);
    ~BrowserViewProcess();
    BrowserViewProcess(const BrowserViewProcess&) = delete;
    BrowserViewProcess& operator=(const BrowserViewProcess&) = delete;

    bool ready() const { return failure_.empty(); }
    const std::string& failure() const { return failure_; }
    HWND frame() const { return frame_; }
    // The centre of the page's window, and a point on the toolbar strip above it.
    POINT contentPoint() const;
    POINT toolbarPoint() const;

    // Shows another page; true once the stand-in took it.
    bool navigate(const std::string& address);
    // The IAccessible calls its tree has answered so far; reset: count from 0 again. -1 when
    // the stand-in did not answer.
    long callsServed(bool reset = false) const;
    void stop();

private:
    std::string failure_;
    std::unique_ptr<RunningProgram> process_;
    HWND frame_ = nullptr;
    HWND page_ = nullptr;
};

}  // namespace quillane::test
