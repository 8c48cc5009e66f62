#include "harness/scripted_server.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>

#include "harness/wait.h"
#include "util/ascii.h"

namespace quillane::test {
namespace {

// How often a blocked read looks at the stop event; it bounds how long stop() takes.
constexpr long kPollMicroseconds = 50 * 1000;

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

bool sendAll(SOCKET connection, std::string_view bytes) {
    while (!bytes.empty()) {
        const int chunk = static_cast<int>(std::min<std::size_t>(bytes.size(), 64 * 1024));
        const int sent = ::send(connection, bytes.data(), chunk, 0);
        if (sent <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
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

ScriptedServer::ScriptedServer() {
    WSADATA data;
    winsockStarted_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    stopEvent_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!winsockStarted_ || !stopEvent_) {
        return;
    }
    listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener_ == INVALID_SOCKET) {
        return;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    local.sin_port = 0;
    int length = sizeof(local);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0 || ::listen(listener_, SOMAXCONN) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        closesocket(listener_);
        listener_ = INVALID_SOCKET;
        return;
    }
    port_ = ntohs(local.sin_port);
    acceptThread_ = std::thread([this] { acceptLoop(); });
}

ScriptedServer::~ScriptedServer() {
    stop();
    if (winsockStarted_) {
        WSACleanup();
    }
}

std::string ScriptedServer::address(std::string_view path, std::string_view host) const {
    return "http://" + std::string(host) + ":" + std::to_string(port_) + std::string(path);
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

void ScriptedServer::stop() {
    if (stopEvent_) {
        SetEvent(stopEvent_.get());
    }
    if (acceptThread_.joinable()) {
        acceptThread_.join();
    }
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(mutex_);
        threads.swap(connectionThreads_);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    if (listener_ != INVALID_SOCKET) {
        closesocket(listener_);
        listener_ = INVALID_SOCKET;
    }
}

void ScriptedServer::acceptLoop() {
    while (WaitForSingleObject(stopEvent_.get(), 0) == WAIT_TIMEOUT) {
        if (!waitReadable(listener_)) {
            continue;
        }
        const SOCKET connection = ::accept(listener_, nullptr, nullptr);
        if (connection == INVALID_SOCKET) {
            continue;
        }
        std::lock_guard lock(mutex_);
        ++connections_;
        connectionThreads_.emplace_back([this, connection] { serveConnection(connection); });
    }
}

// True when the socket has something to read; false after one poll interval without, or once
// the server is stopping.
bool ScriptedServer::waitReadable(SOCKET socket) {
    if (WaitForSingleObject(stopEvent_.get(), 0) != WAIT_TIMEOUT) {
        return false;
    }
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket, &readable);
    timeval poll{0, kPollMicroseconds};
    return ::select(0, &readable, nullptr, nullptr, &poll) == 1;
}

bool ScriptedServer::readRequest(SOCKET connection, std::string& pending, std::string& request) {
    std::size_t headEnd = std::string::npos;
    std::size_t wanted = std::string::npos;
    char buffer[16 * 1024];
    while (true) {
        if (headEnd == std::string::npos) {
            headEnd = pending.find("\r\n\r\n");
            if (headEnd != std::string::npos) {
                headEnd += 4;
                wanted = headEnd + announcedLength(std::string_view(pending).substr(0, headEnd));
            }
        }
        if (wanted != std::string::npos && pending.size() >= wanted) {
            request = pending.substr(0, wanted);
            pending.erase(0, wanted);
            return true;
        }
        if (WaitForSingleObject(stopEvent_.get(), 0) != WAIT_TIMEOUT) {
            return false;
        }
        if (!waitReadable(connection)) {
            continue;
        }
        const int received = ::recv(connection, buffer, sizeof(buffer), 0);
        if (received <= 0) {
            // The client went away. A partial request is still evidence of what was sent.
            if (!pending.empty()) {
                std::lock_guard lock(mutex_);
                requests_.push_back(pending);
            }
            return false;
        }
        pending.append(buffer, static_cast<std::size_t>(received));
    }
}

ScriptedServer::Ending ScriptedServer::performSteps(SOCKET connection, const ScriptedReply& reply) {
    for (const ScriptedReply::Step& step : reply.steps()) {
        switch (step.kind) {
            case ScriptedReply::Step::Kind::Send:
                if (!sendAll(connection, step.bytes)) {
                    return Ending::Close;
                }
                break;
            case ScriptedReply::Step::Kind::Pause:
                if (WaitForSingleObject(stopEvent_.get(), step.milliseconds) != WAIT_TIMEOUT) {
                    return Ending::Close;
                }
                break;
            case ScriptedReply::Step::Kind::Close:
                return Ending::Close;
            case ScriptedReply::Step::Kind::Reset:
                return Ending::Reset;
            case ScriptedReply::Step::Kind::Hold:
                WaitForSingleObject(stopEvent_.get(), INFINITE);
                return Ending::Close;
        }
    }
    return Ending::KeepOpen;
}

void ScriptedServer::serveConnection(SOCKET connection) {
    std::string pending;
    std::string request;
    Ending ending = Ending::Close;
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
        ending = scripted ? performSteps(connection, reply) : Ending::Close;
        if (ending != Ending::KeepOpen) {
            break;
        }
    }
    if (ending == Ending::Reset) {
        // Lingering for no time turns the close into a reset.
        linger abort{1, 0};
        ::setsockopt(connection, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof(abort));
    } else {
        // A graceful close: the client reads everything sent, then the end of the stream.
        ::shutdown(connection, SD_SEND);
    }
    closesocket(connection);
}

}  // namespace quillane::test
