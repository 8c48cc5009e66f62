#pragma once
// Results come back to the window thread through one message-only window that the program
// owns: a worker posts a task, and the window thread runs it between the member's messages.
// A task names the window it acts on; when that window is gone by the time the task's turn
// comes, the task is dropped, never run, so a result never reaches a window that was closed.
#include <windows.h>

#include <functional>

#include "util/owners.h"

namespace quillane {

class UiDispatcher {
public:
    // Creates the message-only window on the calling thread, which runs every task.
    UiDispatcher();
    // Tasks still queued are dropped; posts that come later are dropped as they arrive.
    ~UiDispatcher();
    UiDispatcher(const UiDispatcher&) = delete;
    UiDispatcher& operator=(const UiDispatcher&) = delete;

    bool ready() const { return static_cast<bool>(window_); }

    // What a worker keeps to post with: a copy holds only the dispatcher's window handle, so
    // it stays safe to use after the dispatcher is gone (the post is then dropped).
    class Poster {
    public:
        Poster() = default;
        // Any thread: task runs on the dispatcher's thread if target is still a window then.
        // False when the task was dropped at once (no dispatcher any more).
        bool post(HWND target, std::function<void()> task) const;

    private:
        friend class UiDispatcher;
        explicit Poster(HWND window) : window_(window) {}
        HWND window_ = nullptr;
    };
    Poster poster() const { return Poster(window_.get()); }

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    WindowHandle window_;
};

}  // namespace quillane
