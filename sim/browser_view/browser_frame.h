#pragma once
// browser_view.exe's windows (see protocol.h): the browser's top-level window, which paints
// a toolbar strip with the address, and the page's window below it.
#include <windows.h>

#include <memory>

#include "sim/browser_view/accessible_tree.h"
#include "sim/browser_view/options.h"
#include "util/owners.h"

namespace quillane::browserview {

class BrowserFrame {
public:
    explicit BrowserFrame(const Options& options);
    ~BrowserFrame();
    BrowserFrame(const BrowserFrame&) = delete;
    BrowserFrame& operator=(const BrowserFrame&) = delete;

    // Creates and shows the windows; false when the system refuses.
    bool create(HINSTANCE instance);

private:
    static LRESULT CALLBACK frameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK pageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT handleFrameMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handlePageMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // A screen reader asked the page's window: Chromium starts building the page's tree.
    void pageAsked();
    void paint(HWND window, const std::wstring& text);
    void layOut();

    Options options_;
    std::shared_ptr<TreeState> tree_;
    UINT callCountMessage_ = 0;
    bool asked_ = false;
    FontHandle font_;
    HWND frame_ = nullptr;
    HWND page_ = nullptr;
};

}  // namespace quillane::browserview
