#include "harness/scripted_server.h"

#include <algorithm>
#include <cctype>

#include "harness/wait.h"
#include "util/text/ascii.h"

namespace quillane::test {
namespace {

// The Content-Length of a request head, 0 when it has none: the client's body is read whole
// before the reply starts, so that a test sees every byte that was sent.
std::size_t announcedLength(std::string_view head) {
    const std::string lowered = lowerAscii(head);
    const std::size_t at = lowered.find("\r\ncontent-length:");
    if (at == std::string::npos) {
        return 0;
    }
    std::size_t length = 0;
    for (std::size_t i = at + 17; i < lowered.size() && lowered[i] != '\r'; ++i) {
        if (std::isdigit(static_cast<unsigned char>(lowered[i]))) {
            length = length * 10 + static_cast<std::size_t>(lowered[i] - '0');
        }
    }
    return length;
}

}  // namespace

ScriptedReply& ScriptedReply::send(std::string_view bytes) {
    steps_.push_back({Step::Kind::Send, std::string(bytes), 0});
    return *this;
}

ScriptedReply& ScriptedReply::pause(DWORD milliseconds) {
    steps_.push_back({Step::Kind::Pause, {}, milliseconds});
    return *this;
}

ScriptedReply& ScriptedReply::close() {
    steps_.push_back({Step::Kind::Close, {}, 0});
    return *this;
}

ScriptedReply& ScriptedReply::reset() {
    steps_.push_back({Step::Kind::Reset, {}, 0});
    return *this;
}

ScriptedReply& ScriptedReply::holdOpen() {
    steps_.push_back({Step::Kind::Hold, {}, 0});
    return *this;
}

std::string httpResponse(std::string_view statusLine, std::string_view headerLines, std::string_view body) {
    std::string reply(statusLine);
    reply.append("\r\n");
    reply.append(headerLines);
    reply.append("Content-Length: " + std::to_string(body.size()) + "\r\n\r\n");
    reply.append(body);
    return reply;
}

std::string requestLine(std::string_view request) {
    return std::string(request.substr(0, request.find("\r\n")));
}

std::string headerOf(std::string_view request, std::string_view name) {
    const std::string prefix = "\r\n" + std::string(name) + ": ";
    const std::size_t at = request.find(prefix);
    if (at == std::string_view::npos) {
        return {};
    }
    const std::size_t from = at + prefix.size();
    return std::string(request.substr(from, request.find("\r\n", from) - from));
}

ScriptedServer::ScriptedServer() {
    listening_ = server_.listen();
    if (listening_) {
        server_.start([this](loopback::Connection& connection) { serveConnection(connection); });
    }
}

ScriptedServer::~ScriptedServer() {
    stop();
}

std::string ScriptedServer::address(std::string_view path, std::string_view host) const {
    return "http://" + std::string(host) + ":" + std::to_string(port()) + std::string(path);
}

void ScriptedServer::addReply(ScriptedReply reply) {
    std::lock_guard lock(mutex_);
    replies_.push_back(std::move(reply));
}

std::vector<std::string> ScriptedServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::size_t ScriptedServer::requestCount() const {
    std::lock_guard lock(mutex_);
    return requests_.size();
}

std::size_t ScriptedServer::connectionCount() const {
    std::lock_guard lock(mutex_);
    return connections_;
}

bool ScriptedServer::waitForRequests(std::size_t count, DWORD timeoutMs) const {
    return waitUntil([&] { return requestCount() >= count; }, timeoutMs);
}

bool ScriptedServer::readRequest(loopback::Connection& connection, std::string& pending, std::string& request) {
    while (true) {
        const std::size_t headEnd = pending.find("\r\n\r\n");
        if (headEnd != std::string::npos) {
            const std::size_t wanted = headEnd + 4 + announcedLength(std::string_view(pending).substr(0, headEnd + 4));
            if (pending.size() >= wanted) {
                request = pending.substr(0, wanted);
                pending.erase(0, wanted);
                return true;
            }
        }
        if (!connection.receiveMore(pending, pending.empty())) {
            // The client went away. A partial request is still evidence of what was sent.
            if (!pending.empty()) {
                std::lock_guard lock(mutex_);
                requests_.push_back(pending);
            }
            return false;
        }
    }
}

ScriptedServer::Ending ScriptedServer::performSteps(loopback::Connection& connection, const ScriptedReply& reply) {
    for (const ScriptedReply::Step& step : reply.steps()) {
        switch (step.kind) {
            case ScriptedReply::Step::Kind::Send:
                if (!connection.sendAll(step.bytes)) {
                    return Ending::Close;
                }
                break;
            case ScriptedReply::Step::Kind::Pause:
                if (!connection.pause(step.milliseconds)) {
                    return Ending::Close;
                }
                break;
            case ScriptedReply::Step::Kind::Close:
                return Ending::Close;
            case ScriptedReply::Step::Kind::Reset:
                return Ending::Reset;
            case ScriptedReply::Step::Kind::Hold:
                connection.pause(INFINITE);
                return Ending::Close;
        }
    }
    return Ending::KeepOpen;
}

void ScriptedServer::serveConnection(loopback::Connection& connection) {
    {
        std::lock_guard lock(mutex_);
        ++connections_;
    }
    std::string pending;
    std::string request;
    while (readRequest(connection, pending, request)) {
        ScriptedReply reply;
        bool scripted = false;
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
            if (!replies_.empty()) {
                reply = std::move(replies_.front());
                replies_.pop_front();
                scripted = true;
            }
        }
        const Ending ending = scripted ? performSteps(connection, reply) : Ending::Close;
        if (ending == Ending::Reset) {
            connection.reset();
        }
        if (ending != Ending::KeepOpen) {
            return;
        }
    }
}

bool cutHandshakes(loopback::LoopbackServer& server, int port) {
    if (!server.listen(port)) {
        return false;
    }
    server.start([](loopback::Connection& connection) {
        std::string hello;
        if (connection.receiveMore(hello)) {
            // A server hello record that announces 74 bytes and brings 6.
            connection.sendAll(std::string("\x16\x03\x03\x00\x4a\x02\x00\x00\x46\x03\x03", 11));
        }
        connection.reset();
    });
    return true;
}

SilentTlsServer::SilentTlsServer(int port) {
    listening_ = server_.listen(port);
    if (listening_) {
        server_.start([hellos = hellos_, generation = generation_](loopback::Connection& connection) {
            const int taken = *generation;
            std::string hello;
            if (connection.receiveMore(hello)) {
                ++*hellos;
                // Silent until let go or stopped.
                while (*generation == taken && connection.pause(50)) {
                }
            }
        });
    }
}

}  // namespace quillane::test
