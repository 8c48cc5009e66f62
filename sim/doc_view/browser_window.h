#pragma once
// The stand-in browser's windows. The frame's children, in child order:
//   address bar ("Edit", read-only, shows the first view's address)
//   tab 1 (pane) -> document host (pane) -> document view ("Internet Explorer_Server")
//   tab 2 (pane, hidden like an inactive tab) -> document view   [with --second-view]
// The first view fills the content area, so the mouse there is over the view itself; over
// the caption or the frame it is over the top-level window. The second view sits one level
// higher than the first, so a search that goes level by level would meet it first, while a
// depth-first search in child order meets the first view first.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "sim/doc_view/options.h"
#include "sim/doc_view/stand_in_document.h"
#include "util/owners.h"

namespace quillane::docview {

class BrowserWindow {
public:
    explicit BrowserWindow(const Options& options);
    ~BrowserWindow();
    BrowserWindow(const BrowserWindow&) = delete;
    BrowserWindow& operator=(const BrowserWindow&) = delete;

    // Creates and shows the windows; false when the system refuses.
    bool create(HINSTANCE instance);

private:
    struct Page {
        ComPtr<StandInDocument> document;  // other programs may hold it longer: COM keeps it for them
        HANDLE hangRelease = nullptr;         // set: the view blocks until this event is set
        HFONT font = nullptr;
        HWND view = nullptr;
    };

    static LRESULT CALLBACK frameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK paneProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK viewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static bool registerClasses(HINSTANCE instance, const wchar_t* frameClass);
    const wchar_t* frameClass() const;

    LRESULT handleFrameMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool navigate(size_t pageIndex, std::wstring address);
    void layOut();
    HWND createChild(const wchar_t* className, const wchar_t* name, HWND parent, bool visible, void* state);

    Options options_;
    HINSTANCE instance_ = nullptr;
    KernelHandle hangRelease_;
    FontHandle font_;
    HWND frame_ = nullptr;
    HWND addressBar_ = nullptr;
    std::vector<HWND> tabs_;
    std::vector<std::unique_ptr<Page>> pages_;
};

}  // namespace quillane::docview
