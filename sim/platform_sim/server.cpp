#include "sim/platform_sim/server.h"

namespace platform_sim {
namespace {

using quillane::KernelHandle;

// A kept-alive connection that stays silent this long is closed, as servers do.
constexpr DWORD kIdleMs = 60000;

}  // namespace

Server::Server()
    : quitEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      refuseEvent_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      dropIdleEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

Server::~Server() {
    if (listener_ != INVALID_SOCKET) {
        closesocket(listener_);
    }
}

bool Server::listen(int port) {
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener_ == INVALID_SOCKET || !quitEvent_ || !refuseEvent_ || !dropIdleEvent_) {
        return false;
    }
    // The port is listened on again after a refusal while connections accepted before are
    // still open on it.
    BOOL reuse = TRUE;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port));
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, SOMAXCONN) != 0) {
        return false;
    }
    int length = sizeof address;
    if (getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return false;
    }
    port_ = ntohs(address.sin_port);
    return true;
}

void Server::run(Platform& platform) {
    // A socket's event is a kernel event: closing its handle is what WSACloseEvent does.
    KernelHandle acceptEvent(WSACreateEvent());
    WSAEventSelect(listener_, acceptEvent.get(), FD_ACCEPT);
    int connections = 0;
    while (true) {
        SOCKET client = accept(listener_, nullptr, nullptr);
        if (client != INVALID_SOCKET) {
            auto worker = std::make_unique<Worker>();
            Worker* self = worker.get();
            const int connection = ++connections;
            worker->thread = std::thread([this, self, client, connection, &platform] {
                serve(client, connection, platform);
                self->done = true;
            });
            workers_.push_back(std::move(worker));
            reapFinishedWorkers();
            continue;
        }
        if (WSAGetLastError() != WSAEWOULDBLOCK) {
            break;
        }
        HANDLE handles[] = {acceptEvent.get(), quitEvent_.get(), refuseEvent_.get()};
        const DWORD woken = WaitForMultipleObjects(3, handles, FALSE, INFINITE);
        if (woken == WAIT_OBJECT_0 + 2) {
            if (!refuseConnections(acceptEvent.get())) {
                break;
            }
            continue;
        }
        if (woken != WAIT_OBJECT_0) {
            break;
        }
        WSANETWORKEVENTS events;
        WSAEnumNetworkEvents(listener_, acceptEvent.get(), &events);
    }
    closesocket(listener_);
    listener_ = INVALID_SOCKET;
    SetEvent(quitEvent_.get());
    for (auto& worker : workers_) {
        worker->thread.join();
    }
    workers_.clear();
}

// Closes the listener for the time asked, then listens on the same port again. False when
// the simulator quits meanwhile or cannot listen again.
bool Server::refuseConnections(WSAEVENT acceptEvent) {
    closesocket(listener_);
    listener_ = INVALID_SOCKET;
    SetEvent(dropIdleEvent_.get());
    const bool quit = WaitForSingleObject(quitEvent_.get(), static_cast<DWORD>(refuseMs_.load())) == WAIT_OBJECT_0;
    ResetEvent(dropIdleEvent_.get());
    if (quit || !listen(port_)) {
        return false;
    }
    WSAEventSelect(listener_, acceptEvent, FD_ACCEPT);
    return true;
}

void Server::reapFinishedWorkers() {
    for (auto worker = workers_.begin(); worker != workers_.end();) {
        if ((*worker)->done) {
            (*worker)->thread.join();
            worker = workers_.erase(worker);
        } else {
            ++worker;
        }
    }
}

// Waits until the socket may have become readable or writable again; false on quit, when the
// connection stayed idle too long, or, for a connection between requests, when connections
// are being refused.
bool Server::waitForSocket(SOCKET client, WSAEVENT event, bool idle) {
    HANDLE handles[] = {event, quitEvent_.get(), dropIdleEvent_.get()};
    if (WaitForMultipleObjects(idle ? 3 : 2, handles, FALSE, kIdleMs) != WAIT_OBJECT_0) {
        return false;
    }
    WSANETWORKEVENTS events;
    WSAEnumNetworkEvents(client, event, &events);  // resets the event for the next wait
    return true;
}

bool Server::receiveMore(SOCKET client, WSAEVENT event, std::string& buffer, bool idle) {
    while (true) {
        char chunk[8192];
        const int received = recv(client, chunk, sizeof chunk, 0);
        if (received > 0) {
            buffer.append(chunk, static_cast<size_t>(received));
            return true;
        }
        if (received == 0 || WSAGetLastError() != WSAEWOULDBLOCK) {
            return false;
        }
        if (!waitForSocket(client, event, idle)) {
            return false;
        }
    }
}

bool Server::sendAll(SOCKET client, WSAEVENT event, std::string_view bytes) {
    while (!bytes.empty()) {
        const int sent = send(client, bytes.data(), static_cast<int>(bytes.size()), 0);
        if (sent > 0) {
            bytes.remove_prefix(static_cast<size_t>(sent));
            continue;
        }
        if (WSAGetLastError() != WSAEWOULDBLOCK) {
            return false;
        }
        if (!waitForSocket(client, event)) {
            return false;
        }
    }
    return true;
}

void Server::resetConnection(SOCKET client) {
    // Lingering for no time turns the close into a reset.
    linger abort{1, 0};
    setsockopt(client, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
    closesocket(client);
}

// The header block at once, then the body one byte per interval, until it is all out, the
// client has gone or the simulator quits.
void Server::trickle(SOCKET client, WSAEVENT event, std::string_view bytes, size_t headerBytes, DWORD intervalMs) {
    if (!sendAll(client, event, bytes.substr(0, headerBytes))) {
        return;
    }
    for (size_t at = headerBytes; at < bytes.size(); ++at) {
        if (WaitForSingleObject(quitEvent_.get(), intervalMs) == WAIT_OBJECT_0 || !sendAll(client, event, bytes.substr(at, 1))) {
            return;
        }
    }
}

void Server::serve(SOCKET client, int connection, Platform& platform) {
    KernelHandle event(WSACreateEvent());
    WSAEventSelect(client, event.get(), FD_READ | FD_WRITE | FD_CLOSE);
    std::string buffer;
    bool open = true;
    while (open) {
        Request request;
        size_t consumed = 0;
        const ParseState state = parseRequest(buffer, request, consumed);
        if (state == ParseState::Incomplete) {
            open = receiveMore(client, event.get(), buffer, buffer.empty());
            continue;
        }
        if (state == ParseState::Invalid) {
            Reply reply;
            reply.status = 400;
            reply.contentType = "text/plain;charset=utf-8";
            reply.body = "bad request\n";
            sendAll(client, event.get(), formatReply(reply, false));
            break;
        }
        buffer.erase(0, consumed);

        const Outcome outcome = platform.answer(connection, request);
        if (outcome.delayMs > 0 &&
            WaitForSingleObject(quitEvent_.get(), static_cast<DWORD>(outcome.delayMs)) == WAIT_OBJECT_0) {
            break;
        }
        const std::string bytes = formatReply(outcome.reply, outcome.keepAlive);
        const size_t headerBytes = bytes.size() - outcome.reply.body.size();
        const std::string_view sent(bytes);
        if (outcome.cut == Outcome::Cut::AtStart) {
            break;
        }
        if (outcome.cut == Outcome::Cut::Silent) {
            // Takes whatever the client sends and never answers, until it gives up.
            while (receiveMore(client, event.get(), buffer)) {
            }
            break;
        }
        if (outcome.cut == Outcome::Cut::ResetInHead || outcome.cut == Outcome::Cut::ResetInBody) {
            const size_t upTo = outcome.cut == Outcome::Cut::ResetInHead ? headerBytes / 2
                                                                         : headerBytes + outcome.reply.body.size() / 2;
            sendAll(client, event.get(), sent.substr(0, upTo));
            resetConnection(client);
            return;
        }
        if (outcome.cut == Outcome::Cut::MidReply) {
            // The whole header block (with the full Content-Length) and half of the body.
            sendAll(client, event.get(), sent.substr(0, headerBytes + outcome.reply.body.size() / 2));
            break;
        }
        if (outcome.trickleMs > 0) {
            trickle(client, event.get(), sent, headerBytes, static_cast<DWORD>(outcome.trickleMs));
            break;
        }
        open = sendAll(client, event.get(), bytes) && outcome.keepAlive;
        if (outcome.quit) {
            SetEvent(quitEvent_.get());
        }
        if (outcome.refuseMs > 0) {
            refuseMs_ = outcome.refuseMs;
            SetEvent(refuseEvent_.get());
        }
    }
    shutdown(client, SD_SEND);
    closesocket(client);
}

}  // namespace platform_sim
