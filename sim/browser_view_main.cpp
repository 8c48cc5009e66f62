// browser_view.exe: a stand-in for a Chromium or Firefox window showing one page, for the
// tests, the tour and the demo. It answers screen readers with an accessible tree of its own,
// the page's address in its document and its address bar. See browser_view/protocol.h.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <optional>

#include "sim/browser_view/browser_frame.h"
#include "sim/browser_view/options.h"
#include "sim/doc_view/options.h"

namespace {

constexpr char kUsage[] =
    "usage: browser_view [--kind chromium|firefox] [--rect X,Y,WIDTH,HEIGHT] [--wake-delay MS] [--never-fills]\n"
    "                    [--bar-name NAME] [--silent] [--extra-elements N] ADDRESS\n";

int run(const quillane::browserview::Options& options) {
    quillane::browserview::BrowserFrame browser(options);
    if (!browser.create(GetModuleHandleW(nullptr))) {
        std::fputs("browser_view: the windows could not be created\n", stderr);
        return 1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace

int main() {
    const std::optional<quillane::browserview::Options> options =
        quillane::browserview::parseOptions(quillane::docview::commandLineArguments());
    if (!options) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    // The tree's elements are handed to other processes through COM from this thread.
    if (FAILED(CoInitialize(nullptr))) {
        std::fputs("browser_view: COM could not be initialised\n", stderr);
        return 1;
    }
    int exitCode = 1;
    try {
        exitCode = run(*options);
    } catch (...) {
        std::fputs("browser_view: out of memory\n", stderr);
    }
    CoUninitialize();
    return exitCode;
}
