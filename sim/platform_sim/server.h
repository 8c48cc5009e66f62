#pragma once
// The simulated platform on the loopback server. Connections are kept alive as HTTP/1.1
// allows (WinINet reuses them) unless the client or the current mode asks for
// "Connection: close". /__quit ends every thread at once, however long a reply is being held
// back; /__refuse closes the listener for a while, so that connections are refused as by a
// server that is down.
#include "sim/loopback/loopback_server.h"
#include "sim/platform_sim/platform.h"

namespace platform_sim {

class Server {
public:
    // Listens on 127.0.0.1:port (0: a free port the system picks). False when that fails.
    bool listen(int port) { return loopback_.listen(port); }
    int port() const { return loopback_.port(); }

    // Serves until a /__quit request; returns after every connection thread has ended.
    void run(Platform& platform);

private:
    void serve(quillane::loopback::Connection& connection, Platform& platform);

    quillane::loopback::LoopbackServer loopback_;
};

}  // namespace platform_sim
