#include "workflow/deployment.h"

#include <windows.h>

#include "workflow/reading/api_origin.h"

namespace quillane {
namespace {

std::string environmentOr(const char* name, const char* fallback) {
    char buffer[2048];
    DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer) {
        return fallback;
    }
    return std::string(buffer, length);
}

// A whole number of milliseconds from 1 to 10 minutes; anything else is no value (0).
unsigned long millisecondsOr0(const std::string& text) {
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos) {
        return 0;
    }
    const unsigned long value = std::stoul(text);
    return value <= 600000 ? value : 0;
}

Deployment readDeployment() {
    Deployment values;
    values.apiHost = environmentOr("QUILLANE_API_HOST", "pub.alimama.com");
    values.apiScheme = environmentOr("QUILLANE_API_SCHEME", "");
    values.cookieDomain = environmentOr("QUILLANE_COOKIE_DOMAIN", "alimama.com");
    values.homeUrl = environmentOr("QUILLANE_HOME_URL", "https://www.alimama.com/");
    values.itemHost = environmentOr("QUILLANE_ITEM_HOST", "item.taobao.com");
    values.noticeUrl = publisherAddress(environmentOr("QUILLANE_NOTICE_URL", "https://quillane.github.io/notice.html"));
    values.publisherUrl = publisherAddress(environmentOr("QUILLANE_PUBLISHER_URL", "https://quillane.github.io/"));
    values.requestTimeoutMs = millisecondsOr0(environmentOr("QUILLANE_REQUEST_TIMEOUT_MS", ""));
    return values;
}

}  // namespace

const Deployment& deployment() {
    static const Deployment values = readDeployment();
    return values;
}

std::string apiOrigin(const Deployment& deployment) {
    return apiOrigin(deployment.apiHost, deployment.apiScheme);
}

}  // namespace quillane
