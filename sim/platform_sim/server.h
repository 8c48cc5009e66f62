#pragma once
// A small Winsock server on 127.0.0.1: one thread accepts, one thread serves each connection.
// Connections are kept alive as HTTP/1.1 allows (WinINet reuses them) unless the client or the
// current mode asks for "Connection: close". Every wait also watches one quit event, so that
// /__quit ends every thread at once, however long a reply is being held back. /__refuse closes
// the listener for a while, so that connections are refused as by a server that is down.
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <list>
#include <memory>
#include <string>
#include <thread>

#include "sim/platform_sim/platform.h"
#include "util/owners.h"

namespace platform_sim {

class Server {
public:
    Server();
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Listens on 127.0.0.1:port (0: a free port the system picks). False when that fails.
    bool listen(int port);
    int port() const { return port_; }

    // Serves until a /__quit request; returns after every connection thread has ended.
    void run(Platform& platform);

private:
    struct Worker {
        std::thread thread;
        std::atomic<bool> done{false};
    };

    void serve(SOCKET client, int connection, Platform& platform);
    bool waitForSocket(SOCKET client, WSAEVENT event, bool idle = false);
    bool receiveMore(SOCKET client, WSAEVENT event, std::string& buffer, bool idle = false);
    bool sendAll(SOCKET client, WSAEVENT event, std::string_view bytes);
    void reapFinishedWorkers();
    void resetConnection(SOCKET client);
    void trickle(SOCKET client, WSAEVENT event, std::string_view bytes, size_t headerBytes, DWORD intervalMs);
    bool refuseConnections(WSAEVENT acceptEvent);

    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    quillane::KernelHandle quitEvent_;
    // Set by the connection that served /__refuse; the accepting thread does the refusing.
    quillane::KernelHandle refuseEvent_;
    std::atomic<int> refuseMs_{0};
    // Set while connections are refused: kept-alive connections waiting for a request close,
    // or a client would carry on over them and never meet the refusal.
    quillane::KernelHandle dropIdleEvent_;
    std::list<std::unique_ptr<Worker>> workers_;
};

}  // namespace platform_sim
