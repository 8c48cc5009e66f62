#include "sim/loopback/loopback_server.h"

namespace quillane::loopback {
namespace {

// How often the accept loop asks the listener even without an event.
constexpr DWORD kAcceptPollMs = 100;

// A kept-alive connection that stays silent this long is closed, as servers do.
constexpr DWORD kIdleMs = 60000;

}  // namespace

Connection::Connection(SOCKET socket, int number, const LoopbackServer& server)
    : socket_(socket), number_(number), server_(server), event_(WSACreateEvent()) {
    // Non-blocking from here on: every wait is on the socket's event and the quit event.
    WSAEventSelect(socket_, event_.get(), FD_READ | FD_WRITE | FD_CLOSE);
}

Connection::~Connection() {
    if (socket_ != INVALID_SOCKET) {
        // A graceful close: the client reads everything sent, then the end of the stream.
        shutdown(socket_, SD_SEND);
        closesocket(socket_);
    }
}

void Connection::reset() {
    // Lingering for no time turns the close into a reset.
    linger abort{1, 0};
    setsockopt(socket_, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
    closesocket(socket_);
    socket_ = INVALID_SOCKET;
}

bool Connection::waitForSocket(bool betweenRequests) {
    HANDLE handles[] = {event_.get(), server_.quitEvent(), server_.dropIdleEvent()};
    if (WaitForMultipleObjects(betweenRequests ? 3 : 2, handles, FALSE, kIdleMs) != WAIT_OBJECT_0) {
        return false;
    }
    WSANETWORKEVENTS events;
    WSAEnumNetworkEvents(socket_, event_.get(), &events);  // resets the event for the next wait
    return true;
}

bool Connection::receiveMore(std::string& buffer, bool betweenRequests) {
    while (socket_ != INVALID_SOCKET) {
        char chunk[16 * 1024];
        const int received = recv(socket_, chunk, sizeof chunk, 0);
        if (received > 0) {
            buffer.append(chunk, static_cast<size_t>(received));
            return true;
        }
        if (received == 0 || WSAGetLastError() != WSAEWOULDBLOCK || !waitForSocket(betweenRequests)) {
            return false;
        }
    }
    return false;
}

bool Connection::sendAll(std::string_view bytes) {
    while (!bytes.empty() && socket_ != INVALID_SOCKET) {
        const int sent = send(socket_, bytes.data(), static_cast<int>(bytes.size()), 0);
        if (sent > 0) {
            bytes.remove_prefix(static_cast<size_t>(sent));
        } else if (WSAGetLastError() != WSAEWOULDBLOCK || !waitForSocket(false)) {
            return false;
        }
    }
    return bytes.empty();
}

bool Connection::pause(DWORD milliseconds) const {
    return WaitForSingleObject(server_.quitEvent(), milliseconds) != WAIT_OBJECT_0;
}

LoopbackServer::LoopbackServer()
    : quitEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      refuseEvent_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      dropIdleEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    WSADATA data;
    winsockStarted_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

LoopbackServer::~LoopbackServer() {
    stop();
    if (listener_ != INVALID_SOCKET) {
        closesocket(listener_);
    }
    if (winsockStarted_) {
        WSACleanup();
    }
}

bool LoopbackServer::listen(int port) {
    if (!winsockStarted_ || !quitEvent_ || !refuseEvent_ || !dropIdleEvent_) {
        return false;
    }
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener_ == INVALID_SOCKET) {
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
    int length = sizeof address;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, SOMAXCONN) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(listener_);
        listener_ = INVALID_SOCKET;
        return false;
    }
    port_ = ntohs(address.sin_port);
    return true;
}

void LoopbackServer::run(const Serve& serve) {
    // A socket's event is a kernel event: closing its handle is what WSACloseEvent does.
    KernelHandle acceptEvent(WSACreateEvent());
    WSAEventSelect(listener_, acceptEvent.get(), FD_ACCEPT);
    int connections = 0;
    while (true) {
        const SOCKET client = accept(listener_, nullptr, nullptr);
        if (client != INVALID_SOCKET) {
            auto worker = std::make_unique<Worker>();
            Worker* self = worker.get();
            const int number = ++connections;
            worker->thread = std::thread([this, self, client, number, &serve] {
                {
                    Connection connection(client, number, *this);
                    serve(connection);
                }
                self->done = true;
            });
            workers_.push_back(std::move(worker));
            reapFinishedWorkers();
            continue;
        }
        if (WSAGetLastError() != WSAEWOULDBLOCK) {
            break;
        }
        // Not only the accept event: in full test runs a control request now and then went
        // unanswered for its whole minute, as if its connection had raised no event. The
        // listener is asked again every kAcceptPollMs all the same, so a missed event costs
        // at most that.
        HANDLE handles[] = {acceptEvent.get(), quitEvent_.get(), refuseEvent_.get()};
        const DWORD woken = WaitForMultipleObjects(3, handles, FALSE, kAcceptPollMs);
        if (woken == WAIT_TIMEOUT) {
            continue;
        }
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
    quit();
    for (auto& worker : workers_) {
        worker->thread.join();
    }
    workers_.clear();
}

void LoopbackServer::start(Serve serve) {
    runner_ = std::thread([this, serve = std::move(serve)] { run(serve); });
}

void LoopbackServer::stop() {
    quit();
    if (runner_.joinable()) {
        runner_.join();
    }
}

void LoopbackServer::quit() {
    if (quitEvent_) {
        SetEvent(quitEvent_.get());
    }
}

void LoopbackServer::refuseFor(int milliseconds) {
    refuseMs_ = milliseconds;
    SetEvent(refuseEvent_.get());
}

// False when the server quits meanwhile or cannot listen again.
bool LoopbackServer::refuseConnections(WSAEVENT acceptEvent) {
    closesocket(listener_);
    listener_ = INVALID_SOCKET;
    SetEvent(dropIdleEvent_.get());
    const bool quitting = WaitForSingleObject(quitEvent_.get(), static_cast<DWORD>(refuseMs_.load())) == WAIT_OBJECT_0;
    ResetEvent(dropIdleEvent_.get());
    if (quitting || !listen(port_)) {
        return false;
    }
    WSAEventSelect(listener_, acceptEvent, FD_ACCEPT);
    return true;
}

void LoopbackServer::reapFinishedWorkers() {
    for (auto worker = workers_.begin(); worker != workers_.end();) {
        if ((*worker)->done) {
            (*worker)->thread.join();
            worker = workers_.erase(worker);
        } else {
            ++worker;
        }
    }
}

}  // namespace quillane::loopback
