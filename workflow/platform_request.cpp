#include "workflow/platform_request.h"

#include "http/request_engine.h"

namespace quillane {

std::string requestWithSession(SessionState& session, const std::string& url) {
    HttpRequestOptions request;
    request.url = url;
    request.cookies = session.sessionCookies;
    std::string reply = httpRequest(request);
    session.sessionCookies = *request.cookies;
    return reply;
}

}  // namespace quillane
