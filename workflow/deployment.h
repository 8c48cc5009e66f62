#pragma once
// Where the platform and the publisher live. Each value has a compiled-in default and an
// environment variable that overrides it (tests and the demo point them at the simulator).
// A host may carry ":port". The request time-out is a whole number of milliseconds.
#include <string>

namespace quillane {

struct Deployment {
    std::string apiHost;        // QUILLANE_API_HOST
    // QUILLANE_API_SCHEME: "http" asks for plain HTTP to the API host, honoured only when that
    // host is this machine's loopback; empty or anything else: HTTPS.
    std::string apiScheme;
    std::string cookieDomain;   // QUILLANE_COOKIE_DOMAIN
    std::string homeUrl;        // QUILLANE_HOME_URL
    std::string itemHost;       // QUILLANE_ITEM_HOST
    // QUILLANE_NOTICE_URL and QUILLANE_PUBLISHER_URL, over HTTPS unless the host is this
    // machine's loopback (see publisherAddress); "" for a value that is no web address.
    std::string noticeUrl;
    std::string publisherUrl;
    unsigned long requestTimeoutMs = 0;  // QUILLANE_REQUEST_TIMEOUT_MS; 0: the engine's default
};

// Read once; later calls return the same values.
const Deployment& deployment();

// Where the services are asked: "https://" + apiHost, or "http://" where apiScheme allows it.
std::string apiOrigin(const Deployment& deployment);

}  // namespace quillane
