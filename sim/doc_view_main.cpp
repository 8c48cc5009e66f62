// doc_view.exe: a stand-in for an Internet Explorer window showing one page (or two, as
// tabs), for the tests and the demo. Its document views answer "WM_HTML_GETOBJECT" with a
// document whose location is the address on the command line. See doc_view/protocol.h.
#include "sim/doc_view/browser_window.h"
#include "sim/doc_view/options.h"
#include "sim/stand_in_main.h"

int main() {
    constexpr char kUsage[] =
        "usage: doc_view [--rect X,Y,WIDTH,HEIGHT] [--second-view ADDRESS] [--hang] [--plain-location] ADDRESS\n";
    return quillane::standin::runStandIn<quillane::docview::BrowserWindow>(
        "doc_view", kUsage, quillane::docview::parseOptions(quillane::docview::commandLineArguments()));
}
