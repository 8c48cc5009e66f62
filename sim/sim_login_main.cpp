// sim_login.exe <address>: logs the member in to the simulated platform the way a browser
// does, with one plain GET of its login page through WinINet with the system cookie store in
// use. The Set-Cookie lines of the answer (an HttpOnly one among them, all with an expiry
// date) thus land in the store that Internet Explorer and the tool read. The same works for
// the logout page. Exit code 0 when the page answered 200, 1 otherwise, 2 on bad arguments.
#include <windows.h>
#include <wininet.h>

#include <cstdio>

#include "util/owners.h"

namespace {

using quillane::InternetHandle;

int logIn(const char* address) {
    InternetHandle session(InternetOpenA("Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)",
                                         INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!session) {
        return 1;
    }
    InternetHandle page(
        InternetOpenUrlA(session.get(), address, nullptr, 0, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    if (!page) {
        std::fprintf(stderr, "sim_login: %s failed, error %lu\n", address, GetLastError());
        return 1;
    }
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoA(page.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) {
        return 1;
    }
    // Read the page to its end, as a browser would, before the handles close.
    char buffer[4096];
    DWORD read = 0;
    while (InternetReadFile(page.get(), buffer, sizeof buffer, &read) && read > 0) {
    }
    return status == 200 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: sim_login <login page address>\n");
        return 2;
    }
    return logIn(argv[1]);
}
