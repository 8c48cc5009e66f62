// Requests that the system holds past their time-out: a TLS server that takes the hello and
// stays silent holds the call under Wine for about a minute whatever its time-outs. With the
// program's workers as the engine's runner, the caller gets its failure at the time-out and its
// record back unchanged; at most two workers stay held, and while they are, requests fail at
// once without going out; once the system lets go of them, requests go out again.
#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <string>

#include "app/workers.h"
#include "harness/scripted_server.h"
#include "harness/wait.h"
#include "http/request_engine.h"
#include "http/request_limits.h"

namespace quillane {
namespace {

using test::httpResponse;
using test::kTestRequestTimeoutMs;
using test::ScriptedServer;
using test::SilentTlsServer;
using test::waitUntil;

class RequestEngineHeld : public ::testing::Test {
protected:
    void SetUp() override {
        setRequestTimeoutMs(kTestRequestTimeoutMs);
        setRequestRunner(&workers_);
    }
    void TearDown() override {
        setRequestRunner(nullptr);
        setRequestTimeoutMs(0);
    }
    WorkerPool workers_{4};
};

TEST_F(RequestEngineHeld, AtMostTwoCallsStayHeldAndTheNextRequestFailsAtOnceUntilTheyReturn) {
    SilentTlsServer silent;
    ASSERT_TRUE(silent.listening());
    const std::string address = "https://localhost:" + std::to_string(silent.port()) + "/held";
    struct Attempt {
        const char* label;
        int hellosAfter;  // connections the silent server has taken by the attempt's end
        int heldAfter;
    };
    const Attempt attempts[] = {
        {"first: abandoned at the time-out", 1, 1},
        {"second: abandoned at the time-out", 2, 2},
        {"third: two held, so it never goes out", 2, 2},
    };
    for (const Attempt& attempt : attempts) {
        SCOPED_TRACE(attempt.label);
        HttpRequestOptions request;
        request.url = address;
        request.cookies = "sid=1";
        request.headers = "X-Mine: 1";
        EXPECT_EQ(httpRequestBytes(request), "");
        EXPECT_EQ(request.systemError, static_cast<unsigned long>(ERROR_INTERNET_TIMEOUT));
        // Nothing of the abandoned exchange reaches the caller's record.
        EXPECT_EQ(request.cookies, "sid=1");
        EXPECT_EQ(request.headers, "X-Mine: 1");
        EXPECT_EQ(request.rawHeaders, "");
        EXPECT_EQ(silent.hellos(), attempt.hellosAfter);
        EXPECT_EQ(heldRequestCount(), attempt.heldAfter);
    }

    // The server closes its connections: the system lets go of both calls, their workers
    // return, and the next request goes out and is answered.
    silent.stop();
    EXPECT_TRUE(waitUntil([] { return heldRequestCount() == 0; }, 10000)) << heldRequestCount() << " still held";
    ScriptedServer answering;
    answering.addReply(httpResponse("HTTP/1.1 200 OK", "Set-Cookie: b=2\r\n", "fine"));
    HttpRequestOptions request;
    request.url = answering.address("/after");
    request.cookies = "sid=1";
    EXPECT_EQ(httpRequestBytes(request), "fine");
    EXPECT_EQ(request.cookies, "b=2; sid=1");
}

}  // namespace
}  // namespace quillane
