// doc_view.exe: a stand-in for an Internet Explorer window showing one page (or two, as
// tabs), for the tests and the demo. Its document views answer "WM_HTML_GETOBJECT" with a
// document whose location is the address on the command line. See doc_view/protocol.h.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <optional>

#include "sim/doc_view/browser_window.h"
#include "sim/doc_view/options.h"

namespace {

constexpr char kUsage[] =
    "usage: doc_view [--rect X,Y,WIDTH,HEIGHT] [--second-view ADDRESS] [--hang] [--plain-location] ADDRESS\n";

int run(const quillane::docview::Options& options) {
    quillane::docview::BrowserWindow browser(options);
    if (!browser.create(GetModuleHandleW(nullptr))) {
        std::fputs("doc_view: the windows could not be created\n", stderr);
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
    const std::optional<quillane::docview::Options> options =
        quillane::docview::parseOptions(quillane::docview::commandLineArguments());
    if (!options) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    // The documents are handed to other processes through COM from this thread.
    if (FAILED(CoInitialize(nullptr))) {
        std::fputs("doc_view: COM could not be initialised\n", stderr);
        return 1;
    }
    int exitCode = 1;
    try {
        exitCode = run(*options);
    } catch (...) {
        std::fputs("doc_view: out of memory\n", stderr);
    }
    CoUninitialize();
    return exitCode;
}
