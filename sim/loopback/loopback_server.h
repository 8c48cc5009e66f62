#pragma once
// The one loopback HTTP server under the simulated platform and the tests' scripted server: a
// Winsock server on 127.0.0.1 where one thread accepts and one thread serves each connection.
// What is said on a connection is the caller's; this part keeps the sockets, the threads and
// one quit event that ends every wait at once, however long a reply is being held back.
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "util/owners.h"

namespace quillane::loopback {

class LoopbackServer;

// One accepted connection, seen from the thread that serves it. Every wait also watches the
// server's quit event. It closes gracefully at its end unless it was reset.
class Connection {
public:
    Connection(SOCKET socket, int number, const LoopbackServer& server);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Numbered from 1 in the order the server accepted them.
    int number() const { return number_; }
    // Appends what arrives next; false when the client closed, the server quits, or the
    // connection stayed silent too long. betweenRequests: a kept-alive connection waiting for
    // its next request, which also closes while connections are being refused.
    bool receiveMore(std::string& buffer, bool betweenRequests = false);
    bool sendAll(std::string_view bytes);
    // Waits; false when the server quits meanwhile.
    bool pause(DWORD milliseconds) const;
    // Ends the connection with a reset (RST), dropping what the client has not read yet.
    void reset();

private:
    bool waitForSocket(bool betweenRequests);

    SOCKET socket_;
    int number_;
    const LoopbackServer& server_;
    KernelHandle event_;
};

class LoopbackServer {
public:
    using Serve = std::function<void(Connection&)>;

    LoopbackServer();
    // Quits and waits for every thread.
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // Listens on 127.0.0.1:port (0: a free port the system picks). False when that fails.
    bool listen(int port = 0);
    int port() const { return port_; }

    // Accepts on this thread and serves each connection on a thread of its own until quit();
    // returns after every connection thread has ended.
    void run(const Serve& serve);
    // run() on a thread of its own; stop() ends it.
    void start(Serve serve);
    void stop();

    void quit();
    HANDLE quitEvent() const { return quitEvent_.get(); }
    HANDLE dropIdleEvent() const { return dropIdleEvent_.get(); }
    // Closes the listener for the time given, as a server that is down, then listens on the
    // same port again.
    void refuseFor(int milliseconds);

private:
    struct Worker {
        std::thread thread;
        std::atomic<bool> done{false};
    };
    void reapFinishedWorkers();
    bool refuseConnections(WSAEVENT acceptEvent);

    bool winsockStarted_ = false;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    KernelHandle quitEvent_;
    // Set by refuseFor; the accepting thread does the refusing.
    KernelHandle refuseEvent_;
    std::atomic<int> refuseMs_{0};
    // Set while connections are refused: kept-alive connections waiting for a request close,
    // or a client would carry on over them and never meet the refusal.
    KernelHandle dropIdleEvent_;
    std::list<std::unique_ptr<Worker>> workers_;
    std::thread runner_;
};

}  // namespace quillane::loopback
