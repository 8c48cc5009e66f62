// browser_view.exe: a stand-in for a Chromium or Firefox window showing one page, for the
// tests, the tour and the demo. It answers screen readers with an accessible tree of its own,
// the page's address in its document and its address bar. See browser_view/protocol.h.
#include "sim/browser_view/browser_frame.h"
#include "sim/browser_view/options.h"
#include "sim/doc_view/options.h"
#include "sim/stand_in_main.h"

int main() {
    constexpr char kUsage[] =
        "usage: browser_view [--kind chromium|firefox|no-page] [--frame-class NAME] [--rect X,Y,WIDTH,HEIGHT]\n"
        "                    [--wake-delay MS] [--never-fills] [--bar-name NAME] [--silent] [--extra-elements N]\n"
        "                    ADDRESS\n";
    return quillane::standin::runStandIn<quillane::browserview::BrowserFrame>(
        "browser_view", kUsage, quillane::browserview::parseOptions(quillane::docview::commandLineArguments()));
}
