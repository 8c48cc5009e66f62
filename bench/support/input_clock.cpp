#include "bench/support/input_clock.h"

#include <mutex>

#include "bench/support/measure.h"
#include "harness/unix_program.h"
#include "util/owners.h"

namespace quillane::bench {
namespace {

// The hooks are process-wide callbacks without a context argument: one clock at a time.
std::mutex clockMutex;
InputClock::Events seen;

}  // namespace

InputClock::InputClock() {
    const KernelHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    thread_ = std::thread([this, event = ready.get()] { run(event); });
    WaitForSingleObject(ready.get(), 10000);
}

InputClock::~InputClock() {
    if (threadId_ != 0) {
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    }
    if (thread_.joinable()) {
        thread_.join();
    }
}

void InputClock::run(HANDLE ready) {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists from here on
    threadId_ = GetCurrentThreadId();
    HHOOK keyboard = SetWindowsHookExW(WH_KEYBOARD_LL, &InputClock::keyboardHook, GetModuleHandleW(nullptr), 0);
    HHOOK mouse = SetWindowsHookExW(WH_MOUSE_LL, &InputClock::mouseHook, GetModuleHandleW(nullptr), 0);
    hooked_ = keyboard != nullptr && mouse != nullptr;
    SetEvent(ready);
    // Low-level hooks are called through this thread's message loop.
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageW(&msg);
    }
    if (keyboard != nullptr) {
        UnhookWindowsHookEx(keyboard);
    }
    if (mouse != nullptr) {
        UnhookWindowsHookEx(mouse);
    }
}

LRESULT CALLBACK InputClock::keyboardHook(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION) {
        const double now = Stopwatch::nowMs();
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        if (key->vkCode == VK_HOME) {
            std::lock_guard lock(clockMutex);
            if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
                ++seen.homeDowns;
                seen.lastHomeDownMs = now;
            } else {
                ++seen.homeUps;
            }
        }
    }
    return CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK InputClock::mouseHook(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION && (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP)) {
        const double now = Stopwatch::nowMs();
        std::lock_guard lock(clockMutex);
        if (message == WM_LBUTTONDOWN) {
            ++seen.buttonDowns;
            seen.lastButtonDownMs = now;
        } else {
            ++seen.buttonUps;
        }
    }
    return CallNextHookEx(nullptr, code, message, data);
}

InputClock::Events InputClock::events() const {
    std::lock_guard lock(clockMutex);
    return seen;
}

bool startXdotool(const std::wstring& arguments) {
    return test::startUnixProgram(L"/usr/bin/xdotool " + arguments);
}

}  // namespace quillane::bench
