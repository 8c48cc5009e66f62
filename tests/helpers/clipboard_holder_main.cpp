// clipboard_holder.exe <milliseconds>: another program that keeps the clipboard open, as
// clipboard managers and remote-desktop clients do for moments at a time. It opens the
// clipboard with a window of its own (so that GetOpenClipboardWindow names it while it holds
// it), holds it that long, closes it and ends. Exit code 0 when it held the clipboard, 1 when
// it could not open it within 5 s, 2 on bad arguments.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "util/owners.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: clipboard_holder <milliseconds>\n");
        return 2;
    }
    const DWORD holdMs = static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10));
    quillane::WindowHandle window(CreateWindowExW(0, L"STATIC", L"clipboard holder", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                                  nullptr, GetModuleHandleW(nullptr), nullptr));
    if (!window) {
        return 1;
    }
    const ULONGLONG giveUpAt = GetTickCount64() + 5000;
    while (!OpenClipboard(window.get())) {
        if (GetTickCount64() >= giveUpAt) {
            return 1;
        }
        Sleep(10);
    }
    // Holding the clipboard for the time asked is the whole point of this program.
    Sleep(holdMs);
    CloseClipboard();
    return 0;
}
