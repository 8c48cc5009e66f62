#pragma once
// When real input happened. A member's action starts with a key or a button going down on
// the display; a program started to press it (xdotool) takes its own, varying time to get
// there. Low-level input hooks, run on a thread of their own, note the performance-counter
// time at which each such event reaches the window system, before any window sees it.
#include <windows.h>

#include <string>
#include <thread>

namespace quillane::bench {

class InputClock {
public:
    InputClock();
    ~InputClock();
    InputClock(const InputClock&) = delete;
    InputClock& operator=(const InputClock&) = delete;

    bool running() const { return hooked_; }

    // Counts and times (Stopwatch::nowMs) of the events seen so far.
    struct Events {
        long homeDowns = 0;
        long homeUps = 0;
        double lastHomeDownMs = 0;
        long buttonDowns = 0;
        long buttonUps = 0;
        double lastButtonDownMs = 0;
    };
    Events events() const;

private:
    static LRESULT CALLBACK keyboardHook(int code, WPARAM message, LPARAM data);
    static LRESULT CALLBACK mouseHook(int code, WPARAM message, LPARAM data);
    void run(HANDLE ready);

    std::thread thread_;
    DWORD threadId_ = 0;
    bool hooked_ = false;
};

// Starts /usr/bin/xdotool with these arguments on the display and returns at once; the caller
// waits for the input it makes through an InputClock.
bool startXdotool(const std::wstring& arguments);

}  // namespace quillane::bench
