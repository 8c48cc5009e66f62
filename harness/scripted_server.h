#pragma once
// A loopback HTTP server for tests that answers every request with exact bytes chosen by the
// test (status line, headers, body, pauses, a close anywhere) and records the exact bytes of
// every request it received. It knows nothing of HTTP beyond finding where a request ends.
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "sim/loopback/loopback_server.h"

namespace quillane::test {

// What the server does on a connection after one request arrived, step by step.
class ScriptedReply {
public:
    ScriptedReply() = default;
    explicit ScriptedReply(std::string_view bytes) { send(bytes); }

    ScriptedReply& send(std::string_view bytes);
    ScriptedReply& pause(DWORD milliseconds);
    // Closes the connection (FIN) here; later steps are not reached.
    ScriptedReply& close();
    // Resets the connection (RST) here, dropping whatever the client has not read yet.
    ScriptedReply& reset();
    // Keeps the connection open and silent until the server stops.
    ScriptedReply& holdOpen();

    struct Step {
        enum class Kind { Send, Pause, Close, Reset, Hold };
        Kind kind;
        std::string bytes;
        DWORD milliseconds = 0;
    };
    const std::vector<Step>& steps() const { return steps_; }

private:
    std::vector<Step> steps_;
};

// A complete reply with a correct Content-Length. headerLines holds whole lines, each ending
// in CR LF (or is empty).
std::string httpResponse(std::string_view statusLine, std::string_view headerLines, std::string_view body);

// A TLS server that breaks off every handshake: it takes the client's hello, answers with the
// start of a server hello that announces more than it brings, and resets the line. It listens
// on port (0: a free one); true when it does. (A server that stays silent after the hello
// instead holds a request for 60 s under Wine, whatever the request's time-outs: the handshake
// does not heed them.)
bool cutHandshakes(loopback::LoopbackServer& server, int port = 0);

// A TLS server that takes each client's hello and then says nothing, as a host that hangs
// after accepting: under Wine the request is held about a minute whatever its time-outs, and
// closing its handle does not end it. Closing the connections ends the held calls.
class SilentTlsServer {
public:
    // Listens on port (0: a free one); listening() tells whether it does.
    explicit SilentTlsServer(int port = 0);
    bool listening() const { return listening_; }
    int port() const { return server_.port(); }
    // Connections whose client hello arrived.
    int hellos() const { return *hellos_; }
    // Closes the connections taken so far; later ones are kept silent again.
    void letGo() { ++*generation_; }
    // Closes every connection and the listener.
    void stop() { server_.stop(); }

private:
    loopback::LoopbackServer server_;
    std::shared_ptr<std::atomic<int>> hellos_ = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<std::atomic<int>> generation_ = std::make_shared<std::atomic<int>>(0);
    bool listening_ = false;
};

// Of a request as the server recorded it: its first line, and the value of one header line
// ("" when it has none of that name).
std::string requestLine(std::string_view request);
std::string headerOf(std::string_view request, std::string_view name);

class ScriptedServer {
public:
    // Listens on 127.0.0.1 at a free port.
    ScriptedServer();
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    bool listening() const { return listening_; }
    int port() const { return server_.port(); }
    // "http://<host>:<port><path>"; host may be any loopback name of this machine.
    std::string address(std::string_view path = "/", std::string_view host = "127.0.0.1") const;

    // Requests are answered in arrival order, whichever connection they come on. A request
    // that finds no reply left is recorded and its connection closed.
    void addReply(ScriptedReply reply);
    void addReply(std::string_view bytes) { addReply(ScriptedReply(bytes)); }

    std::vector<std::string> requests() const;
    std::size_t requestCount() const;
    std::size_t connectionCount() const;
    bool waitForRequests(std::size_t count, DWORD timeoutMs = 10000) const;

    // Ends held connections and every thread; the destructor calls it.
    void stop() { server_.stop(); }

private:
    void serveConnection(loopback::Connection& connection);
    bool readRequest(loopback::Connection& connection, std::string& pending, std::string& request);
    enum class Ending { KeepOpen, Close, Reset };
    Ending performSteps(loopback::Connection& connection, const ScriptedReply& reply);

    loopback::LoopbackServer server_;
    bool listening_ = false;

    mutable std::mutex mutex_;
    std::deque<ScriptedReply> replies_;
    std::vector<std::string> requests_;
    std::size_t connections_ = 0;
};

}  // namespace quillane::test
