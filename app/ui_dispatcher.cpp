#include "app/ui_dispatcher.h"

#include <memory>
#include <utility>

namespace quillane {
namespace {

constexpr const wchar_t* kDispatcherClass = L"QuillaneDispatcher";
constexpr UINT kRunTaskMessage = WM_APP + 1;

// What one posted message carries and owns.
struct PostedTask {
    HWND target;
    std::function<void()> task;
};

}  // namespace

UiDispatcher::UiDispatcher() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &UiDispatcher::windowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kDispatcherClass;
    RegisterClassExW(&windowClass);  // fails harmlessly when a dispatcher registered it before
    window_.reset(CreateWindowExW(0, kDispatcherClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr));
}

UiDispatcher::~UiDispatcher() {
    // The system discards what is queued for a destroyed window without a word: the tasks
    // are taken out first, so that what they own is released.
    MSG message;
    while (window_ && PeekMessageW(&message, window_.get(), kRunTaskMessage, kRunTaskMessage, PM_REMOVE)) {
        delete reinterpret_cast<PostedTask*>(message.lParam);
    }
}

bool UiDispatcher::Poster::post(HWND target, std::function<void()> task) const {
    auto posted = std::make_unique<PostedTask>(PostedTask{target, std::move(task)});
    if (window_ == nullptr || !PostMessageW(window_, kRunTaskMessage, 0, reinterpret_cast<LPARAM>(posted.get()))) {
        return false;
    }
    posted.release();  // the message owns it now
    return true;
}

LRESULT CALLBACK UiDispatcher::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kRunTaskMessage) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    const std::unique_ptr<PostedTask> posted(reinterpret_cast<PostedTask*>(lParam));
    if (!IsWindow(posted->target)) {
        return 0;
    }
    // No exception may leave a window procedure: a task that fails ends with nothing shown.
    try {
        posted->task();
    } catch (...) {
    }
    return 0;
}

}  // namespace quillane
