#pragma once
// Drives the simulated affiliate platform (platform_sim.exe, next to the test program) from a
// test: start it on a free port with its TLS front (harness/tls-front), change its modes, read
// what reached it, log the member in through sim_login.exe, stop it. Control traffic goes over
// plain sockets straight to the simulator, so it never touches WinINet's cookie store, cache or
// connection pool, and it is not part of the request log.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "harness/ui_driver.h"
#include "util/owners.h"
#include "util/wide_text.h"

namespace quillane::test {

// Where deploymentVariables() points quillane.exe's publisher notice.
inline constexpr std::string_view kSimNoticePath = "/notice.html";

// One request as the simulator received it.
struct SimRequest {
    int number = 0;
    int connection = 0;                    // requests on one kept-alive connection share it
    std::string requestLine;               // exact bytes, a trailing blank included
    std::vector<std::string> headerLines;  // exact "Name: value" lines, in the order sent
    int status = 0;                        // answered status; 0 when the connection was cut first
    std::string fault;                     // staged faults applied, e.g. "status:500 delay:100"

    // Header names compare without regard to case; values are trimmed.
    std::vector<std::string> headerValues(std::string_view name) const;
    std::optional<std::string> header(std::string_view name) const;  // the first of that name
    std::string host() const;                                        // "" when none
    std::string cookieHeader() const;  // every Cookie header value, joined by "; "
    std::string target() const;        // between the first and the last blank of the line
    std::string path() const;
    std::optional<std::string> queryValue(std::string_view key) const;  // raw, the first match
};

// Parses the simulator's log text (the /__log reply or its log file).
std::vector<SimRequest> parseSimLog(std::string_view text);

// The certificates a TLS front can serve (made on the machine by scripts/test-authority).
enum class TlsCertificate {
    Localhost,  // DNS:localhost from the authority the machine trusts
    Expired,    // the same, expired in 2020
    WrongName,  // DNS:wrong-name.invalid from the trusted authority
    Untrusted,  // DNS:localhost from an authority nobody trusts
};

// How the tool reaches the services: over TLS as the platform serves them, or plain HTTP on
// the loopback host (the deployment value QUILLANE_API_SCHEME=http).
enum class Transport { Tls, Plain };

class PlatformSim {
public:
    PlatformSim() = default;
    ~PlatformSim();
    PlatformSim(const PlatformSim&) = delete;
    PlatformSim& operator=(const PlatformSim&) = delete;

    // Starts platform_sim.exe on a free port and, over TLS, its front with the localhost
    // certificate; waits until both listen.
    bool start(Transport transport = Transport::Tls);
    // Another TLS front before the same simulator; its port, 0 when none could be started.
    // Stopped with the simulator.
    int addTlsFront(TlsCertificate certificate);
    // The front on the API host's port goes (the port is then free for a test's own listener)
    // and comes back with the certificate given, so that the program, which keeps its API host,
    // meets another certificate.
    bool closeApiFront();
    bool openApiFront(TlsCertificate certificate);
    // Talks to a simulator that somebody else started on this port, with its TLS front on
    // tlsPort (0: none, the services in plain HTTP); stop() leaves both running.
    void attach(int port, int tlsPort = 0);
    // Asks it to quit and waits until its process has ended (killing it if it does not).
    bool stop();
    bool running() const { return process_ != nullptr; }

    int port() const { return port_; }
    int tlsPort() const { return tlsPort_; }
    // "localhost:TLSPORT" (plain: "localhost:PORT"), where the tool finds the services.
    std::string apiHost() const;
    std::string otherHost() const;  // "127.0.0.1:PORT", a host name without the session cookies
    std::string apiUrl(std::string_view pathAndQuery) const;  // https:// (plain: http://) + apiHost
    std::string otherUrl(std::string_view pathAndQuery) const;
    // An item's page, and the member's link to it as the link service makes it for the
    // simulator's default site and ad zone.
    std::string itemPage(std::string_view itemId) const;
    std::string memberLink(std::string_view itemId) const;

    // The deployment variables that point quillane.exe at this simulator.
    std::vector<std::pair<std::string, std::string>> deploymentVariables() const;

    // One /__control request; values are GBK texts and travel as UTF-8. True when accepted.
    bool set(const std::vector<std::pair<std::string, std::string>>& modes);
    std::vector<SimRequest> requests();
    std::vector<SimRequest> requestsTo(std::string_view path);
    bool clearLog();
    // The simulator refuses connections for this long, starting at once; true when it agreed.
    // The control requests fail meanwhile too.
    bool refuseConnectionsFor(int milliseconds);

    // Sends exactly these bytes on a new connection and returns everything that came back
    // until the simulator closed it (ask for "Connection: close").
    std::string exchange(std::string_view requestBytes);

    // Runs sim_login.exe on the login (or logout) page of the API host and waits for it.
    bool logIn();
    bool logOut();
    // The member logs in again: the platform issues a new token and session cookie, which
    // land in the cookie store; the old ones are answered "nologin" from now on.
    bool logInAgain();
    // The member logs in with another browser: the cookies that the login page sets, as that
    // browser's developer tools show them in a Cookie request header ("a=1; b=2"). Nothing
    // reaches the system cookie store. Empty when the login page did not answer.
    std::string logInElsewhere();

private:
    void startWinsock();
    std::string controlGet(std::string_view target, int& status);
    bool runSimLogin(std::string_view path);
    void stopTlsFronts();
    bool startFrontOn(int port, TlsCertificate certificate);

    Transport transport_ = Transport::Tls;
    int tlsPort_ = 0;
    std::vector<int> tlsFronts_;
    std::unique_ptr<RunningProgram> process_;
    KernelHandle job_;
    int port_ = 0;
    std::wstring portFile_;
    std::wstring logFile_;
    bool winsockStarted_ = false;
};

}  // namespace quillane::test
