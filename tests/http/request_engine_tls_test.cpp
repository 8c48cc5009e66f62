// The request engine over TLS, against the simulated platform's TLS fronts (stunnel before the
// simulator, with certificates made on this machine): the system checks every certificate,
// a connection that cannot be made safe fails before a byte of the request leaves, and the
// record says why; the session never follows a redirect into plain HTTP.
#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "harness/platform_sim_client.h"
#include "harness/scripted_server.h"
#include "http/request_engine.h"
#include "http/secure_connection.h"

namespace quillane {
namespace {

using test::PlatformSim;
using test::TlsCertificate;

HttpRequestOptions sessionRequest(std::string url) {
    HttpRequestOptions request;
    request.url = std::move(url);
    request.cookies = "sid=1";
    return request;
}

class RequestEngineTls : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sim_.start()) << "the simulator or its TLS front did not start"; }
    PlatformSim sim_;
};

TEST_F(RequestEngineTls, CertificateIsCheckedBeforeAnythingIsSent) {
    struct Case {
        const char* label;
        TlsCertificate certificate;
        unsigned long systemError;  // 0: the request goes through
    };
    const Case cases[] = {
        {"trusted localhost", TlsCertificate::Localhost, 0},
        {"expired", TlsCertificate::Expired, ERROR_INTERNET_SEC_CERT_DATE_INVALID},
        {"another host's name", TlsCertificate::WrongName, ERROR_INTERNET_SEC_CERT_CN_INVALID},
        // Wine reports a chain it cannot complete as a failed revocation check.
        {"unknown authority", TlsCertificate::Untrusted, ERROR_INTERNET_SEC_CERT_REV_FAILED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const int port = c.certificate == TlsCertificate::Localhost ? sim_.tlsPort() : sim_.addTlsFront(c.certificate);
        ASSERT_NE(port, 0);
        ASSERT_TRUE(sim_.clearLog());
        HttpRequestOptions request = sessionRequest("https://localhost:" + std::to_string(port) + "/notice.html");
        const std::string body = httpRequest(request);
        EXPECT_EQ(request.systemError, c.systemError);
        EXPECT_EQ(isUnsafeConnectionError(request.systemError), c.systemError != 0);
        EXPECT_EQ(request.status, c.systemError == 0 ? 200 : 0);
        EXPECT_EQ(body.empty(), c.systemError != 0);
        EXPECT_EQ(sim_.requests().size(), c.systemError == 0 ? 1u : 0u) << "a request passed an unsafe connection";
        EXPECT_EQ(request.cookies, "sid=1");
    }
}

// From https to http the session would travel in clear: neither a redirect in the library's
// place nor a "301 Moved" follow-up is taken, and the record names the refusal.
TEST_F(RequestEngineTls, SessionNeverFollowsIntoPlainHttp) {
    ASSERT_TRUE(sim_.set({{"redirectTo", sim_.otherUrl("/after")}}));
    for (const bool noRedirect : {false, true}) {
        SCOPED_TRACE(noRedirect ? "301 Moved follow-up" : "redirect");
        ASSERT_TRUE(sim_.clearLog());
        HttpRequestOptions request = sessionRequest(sim_.apiUrl("/moved"));
        request.noRedirect = noRedirect;
        EXPECT_EQ(httpRequest(request), "");
        EXPECT_EQ(request.systemError, static_cast<unsigned long>(ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR));
        EXPECT_EQ(request.status, 301);
        const auto requests = sim_.requests();
        ASSERT_EQ(requests.size(), 1u) << "the redirect was followed";
        EXPECT_EQ(requests[0].path(), "/moved");
    }
    // Upwards is fine: from plain http to https the session is safe.
    ASSERT_TRUE(sim_.set({{"redirectTo", sim_.apiUrl("/notice.html")}}));
    HttpRequestOptions upward = sessionRequest("http://localhost:" + std::to_string(sim_.port()) + "/moved");
    EXPECT_FALSE(httpRequest(upward).empty());
    EXPECT_EQ(upward.systemError, 0u);
}

// Without a proxy of the caller's the engine takes the system's proxy setting; here Wine's,
// which also reads http_proxy when Internet Options name none.
TEST(RequestEngineProxy, SystemProxyIsUsedWithoutOneOfTheCallers) {
    test::ScriptedServer proxy;
    proxy.addReply(test::httpResponse("HTTP/1.1 200 OK", "", "via the system's proxy"));
    const std::string setting = "http://127.0.0.1:" + std::to_string(proxy.port());
    ASSERT_TRUE(SetEnvironmentVariableA("http_proxy", setting.c_str()));
    _putenv_s("http_proxy", setting.c_str());
    // Nothing listens on port 1: only the proxy can answer.
    HttpRequestOptions request;
    request.url = "http://127.0.0.1:1/p?q=1";
    EXPECT_EQ(httpRequest(request), "via the system's proxy");
    SetEnvironmentVariableA("http_proxy", nullptr);
    _putenv_s("http_proxy", "");
    ASSERT_EQ(proxy.requestCount(), 1u);
    const std::string sent = proxy.requests()[0];
    EXPECT_EQ(sent.substr(0, sent.find("\r\n")), "GET http://127.0.0.1:1/p?q=1 HTTP/1.1");
}

}  // namespace
}  // namespace quillane
