#include "workflow/platform_request.h"

#include "http/request_engine.h"
#include "http/secure_connection.h"

namespace quillane {

std::string requestWithSession(SessionState& session, const std::string& url, bool* unsafeConnection) {
    HttpRequestOptions request;
    request.url = url;
    request.cookies = session.sessionCookies;
    request.bodyAsSent = true;
    std::string reply = httpRequestBytes(request);
    session.sessionCookies = *request.cookies;
    if (unsafeConnection) {
        *unsafeConnection = isUnsafeConnectionError(request.systemError);
    }
    return reply;
}

}  // namespace quillane
