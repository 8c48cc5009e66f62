#include "app/single_instance.h"

#include <windows.h>

#include "app/main_window.h"
#include "util/owners.h"

namespace quillane {
namespace {

// "Local\": one name per user session, so that members of a shared machine each run their own.
constexpr const wchar_t* kInstanceMutexName = L"Local\\QuillaneSingleInstance";
// The running instance may itself be starting (its claim comes before its main window) or
// ending (its window is gone, its claim not yet).
constexpr DWORD kHandOverWaitMs = 5000;
constexpr DWORD kPollMs = 50;

void bringToFront(HWND mainWindow) {
    if (IsIconic(mainWindow)) {
        ShowWindow(mainWindow, SW_RESTORE);
    }
    // A box the running instance shows (a harvest result, the notice) is what the member must
    // answer first; without one this is the main window itself.
    SetForegroundWindow(GetLastActivePopup(mainWindow));
}

}  // namespace

bool becomeTheOnlyInstance() {
    const ULONGLONG deadline = GetTickCount64() + kHandOverWaitMs;
    for (;;) {
        KernelHandle claim(CreateMutexW(nullptr, FALSE, kInstanceMutexName));
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            // The claim stays open for the life of the process and is never closed by hand:
            // the end of the process, normal or not, frees the name for the next start.
            // Without a mutex (none could be made) the program runs as it always did.
            claim.release();
            return true;
        }
        // Closed before waiting: a handle of ours would keep the name alive after the running
        // instance has ended.
        claim.reset();
        if (HWND running = FindWindowW(MainWindow::kClassName, nullptr)) {
            bringToFront(running);
            return false;
        }
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(kPollMs);
    }
}

}  // namespace quillane
