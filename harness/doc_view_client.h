#pragma once
// Starting and driving doc_view.exe, the stand-in Internet Explorer window, from a test.
// Each object runs its own process; its windows are told apart from other tests' by process.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "harness/ui_driver.h"

namespace quillane::test {

// Quotes one argument so that CommandLineToArgvW gives it back unchanged.
std::wstring quoted(const std::wstring& argument);
// Shows another address in a stand-in browser: WM_COPYDATA to its frame with dwData = slot
// (the view's number). True once the stand-in took it.
bool sendAddress(HWND frame, ULONG_PTR slot, const std::string& address);

struct DocViewSetup {
    std::string address;                       // GBK, the first view's page
    std::optional<std::string> secondAddress;  // GBK; a second view in a hidden tab
    bool hang = false;                         // the views never answer for their document
    bool plainLocation = false;                // location is the address text, not an object
    std::string frameClass;                    // the frame's class; empty: the stand-in's own
    RECT frame = {700, 420, 1240, 900};        // outer rectangle in screen coordinates
};

class DocViewProcess {
public:
    // Starts doc_view.exe from the test program's folder and waits until its views exist.
    explicit DocViewProcess(const DocViewSetup& setup);
    ~DocViewProcess();
    DocViewProcess(const DocViewProcess&) = delete;
    DocViewProcess& operator=(const DocViewProcess&) = delete;

    bool ready() const { return failure_.empty(); }
    const std::string& failure() const { return failure_; }

    HWND frame() const { return frame_; }
    HWND addressBar() const { return addressBar_; }
    HWND view(size_t index = 0) const { return index < views_.size() ? views_[index] : nullptr; }
    RECT frameRect() const;
    // A point on the caption bar, and the centre of the first view (the page's content area).
    POINT captionPoint() const;
    POINT contentPoint() const;

    // Shows another page in a view (0 first, 1 second); true once the stand-in took it.
    bool navigate(const std::string& address, size_t viewIndex = 0);
    // Ends the process (a hung one too) and waits for its end; nothing is left running.
    void stop();

private:
    bool start(const DocViewSetup& setup);
    bool findWindows(size_t expectedViews);

    std::string failure_;
    bool hang_ = false;
    std::wstring frameClass_;
    std::unique_ptr<RunningProgram> process_;
    HWND frame_ = nullptr;
    HWND addressBar_ = nullptr;
    std::vector<HWND> views_;
};

}  // namespace quillane::test
