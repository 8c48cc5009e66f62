#pragma once
// What the simulated platform answers to one request: the three services of the API host
// with their session checks, the login and logout pages, item pages, the notice page, the
// moved address, and the control requests that change its modes.
#include <mutex>
#include <string>

#include "sim/platform_sim/http_wire.h"
#include "sim/platform_sim/request_log.h"
#include "sim/platform_sim/settings.h"

namespace platform_sim {

struct Outcome {
    // How the reply leaves: whole, not at all (closed, or held open silently), or broken off
    // by a close or a reset inside the header block or the body.
    enum class Cut { None, AtStart, MidReply, ResetInHead, ResetInBody, Silent };

    Reply reply;
    int delayMs = 0;
    Cut cut = Cut::None;
    int trickleMs = 0;  // above 0: the body goes out one byte every trickleMs
    bool keepAlive = true;
    bool quit = false;
    // Above 0: once this reply is out, the listener closes for that long, so connections
    // are refused, and idle kept-alive connections are closed.
    int refuseMs = 0;
};

class Platform {
public:
    Platform(int port, RequestLog& log);

    // Safe to call from several connection threads at once.
    Outcome answer(int connection, const Request& request);

private:
    Outcome control(const Request& request);
    Reply route(const Request& request, const Settings& settings, unsigned replyNumber) const;
    Reply adzoneReply(const Settings& settings) const;
    Reply searchReply(const Request& request, const Settings& settings) const;
    Reply linkReply(const Request& request, const Settings& settings) const;
    Reply loginReply(bool login, const Settings& settings) const;
    Reply itemPage(const std::string& itemId, bool idInAddress) const;

    const int port_;
    RequestLog& log_;
    std::mutex mutex_;
    Settings settings_;
    unsigned replyCount_ = 0;
};

}  // namespace platform_sim
