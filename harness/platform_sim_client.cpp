#include "harness/platform_sim_client.h"

#include <winsock2.h>


#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "sim/platform_sim/wire_text.h"
#include "harness/ui_driver.h"
#include "harness/unix_program.h"
#include "harness/wait.h"

namespace quillane::test {
namespace {

constexpr DWORD kStartMs = 20000;
constexpr DWORD kStopMs = 10000;
constexpr DWORD kLoginMs = 30000;
constexpr DWORD kSocketMs = 15000;
constexpr DWORD kFrontStartMs = 10000;
// Another test may take the port between our look and the front's bind: a few tries.
constexpr int kFrontTries = 4;

// Control values keep their slashes and stars readable in the log.
std::string percentEncode(std::string_view text) {
    return platform_sim::percentEncode(text, "/*");
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
}

std::wstring temporaryName(const wchar_t* suffix) {
    static LONG counter = 0;
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"platform_sim_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
           std::to_wstring(InterlockedIncrement(&counter)) + suffix;
}

int readPortFile(const std::wstring& path) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) {
        return 0;
    }
    int port = 0;
    if (std::fscanf(file, "%d", &port) != 1) {
        port = 0;
    }
    std::fclose(file);
    return port;
}

// A loopback port that nothing holds at this moment.
int freeLoopbackPort() {
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (probe == INVALID_SOCKET) {
        return 0;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    int port = 0;
    if (bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        port = ntohs(address.sin_port);
    }
    closesocket(probe);
    return port;
}

std::wstring environmentOr(const wchar_t* name, const wchar_t* fallback) {
    wchar_t value[1024];
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length == 0 || length >= 1024 ? std::wstring(fallback) : std::wstring(value, length);
}

// Where the fronts keep their pid files (a Unix path); the test scripts end what is left there.
std::wstring frontFolder() {
    return environmentOr(L"QUILLANE_TLS_FRONTS", L"/tmp/quillane-tls-fronts");
}

const wchar_t* certificateName(TlsCertificate certificate) {
    switch (certificate) {
        case TlsCertificate::Expired: return L"expired";
        case TlsCertificate::WrongName: return L"wrongname";
        case TlsCertificate::Untrusted: return L"untrusted";
        case TlsCertificate::Localhost: break;
    }
    return L"localhost";
}

// Starts a front on port before the simulator's; false when it could not listen there.
bool startTlsFront(int port, int simulatorPort, TlsCertificate certificate) {
    const std::wstring folder = frontFolder();
    const std::wstring status = folder + L"/front-" + std::to_wstring(port) + L".status";
    const std::wstring statusOnDrive = L"Z:" + status;
    DeleteFileW(statusOnDrive.c_str());
    const std::wstring command = L"tls-front start " + std::to_wstring(port) + L" " + std::to_wstring(simulatorPort) +
                                 L" " + certificateName(certificate) + L" " + folder + L"; echo $? > " + status;
    if (!runShellCommand(command, kFrontStartMs)) {
        return false;
    }
    FILE* file = _wfopen(statusOnDrive.c_str(), L"rb");
    int code = -1;
    if (file) {
        if (std::fscanf(file, "%d", &code) != 1) {
            code = -1;
        }
        std::fclose(file);
    }
    DeleteFileW(statusOnDrive.c_str());
    return code == 0;
}

bool stopTlsFront(int port) {
    return runShellCommand(L"tls-front stop " + std::to_wstring(port) + L" " + frontFolder(), kFrontStartMs);
}

}  // namespace

std::vector<std::string> SimRequest::headerValues(std::string_view name) const {
    std::vector<std::string> values;
    for (const std::string& line : headerLines) {
        const size_t colon = line.find(':');
        if (colon != std::string::npos && equalsNoCase(std::string_view(line).substr(0, colon), name)) {
            const size_t start = line.find_first_not_of(" \t", colon + 1);
            values.push_back(start == std::string::npos ? std::string() : line.substr(start));
        }
    }
    return values;
}

std::optional<std::string> SimRequest::header(std::string_view name) const {
    const auto values = headerValues(name);
    return values.empty() ? std::nullopt : std::optional<std::string>(values.front());
}

std::string SimRequest::host() const {
    return header("Host").value_or("");
}

std::string SimRequest::cookieHeader() const {
    std::string joined;
    for (const std::string& value : headerValues("Cookie")) {
        if (!joined.empty()) {
            joined += "; ";
        }
        joined += value;
    }
    return joined;
}

std::string SimRequest::target() const {
    const size_t first = requestLine.find(' ');
    const size_t last = requestLine.rfind(' ');
    return first == std::string::npos || last == first ? std::string()
                                                       : requestLine.substr(first + 1, last - first - 1);
}

std::string SimRequest::path() const {
    const std::string whole = target();
    return whole.substr(0, whole.find('?'));
}

std::optional<std::string> SimRequest::queryValue(std::string_view key) const {
    const std::string whole = target();
    const size_t question = whole.find('?');
    if (question == std::string::npos) {
        return std::nullopt;
    }
    return platform_sim::queryValue(std::string_view(whole).substr(question + 1), key);
}

std::vector<SimRequest> parseSimLog(std::string_view text) {
    std::vector<SimRequest> records;
    SimRequest current;
    size_t position = 0;
    while (position < text.size()) {
        size_t end = text.find('\n', position);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(position, end - position);
        position = end + 1;
        const size_t blank = line.find(' ');
        const std::string_view field = line.substr(0, blank);
        const std::string value =
            blank == std::string_view::npos ? std::string() : platform_sim::percentDecode(line.substr(blank + 1));
        if (field == "request") {
            current = SimRequest{};
            std::sscanf(value.c_str(), "%d connection %d", &current.number, &current.connection);
        } else if (field == "line") {
            current.requestLine = value;
        } else if (field == "header") {
            current.headerLines.push_back(value);
        } else if (field == "status") {
            current.status = std::atoi(value.c_str());
        } else if (field == "fault") {
            current.fault = value;
        } else if (field == "end") {
            records.push_back(current);
        }
    }
    return records;
}

PlatformSim::~PlatformSim() {
    stop();
    if (winsockStarted_) {
        WSACleanup();
    }
}

void PlatformSim::attach(int port, int tlsPort) {
    startWinsock();
    port_ = port;
    tlsPort_ = tlsPort;
    transport_ = tlsPort > 0 ? Transport::Tls : Transport::Plain;
}

void PlatformSim::startWinsock() {
    if (!winsockStarted_) {
        WSADATA wsa;
        winsockStarted_ = WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
    }
}

bool PlatformSim::start(Transport transport) {
    if (process_) {
        return true;
    }
    transport_ = transport;
    startWinsock();
    // The simulator dies with the test process, whatever ends the test.
    if (!job_) {
        job_.reset(CreateJobObjectW(nullptr, nullptr));
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (job_) {
            SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
        }
    }
    portFile_ = temporaryName(L"_port.txt");
    logFile_ = temporaryName(L"_log.txt");
    DeleteFileW(portFile_.c_str());
    process_ = RunningProgram::start(L"platform_sim.exe", L"0 \"" + portFile_ + L"\" \"" + logFile_ + L"\"");
    if (!process_) {
        return false;
    }
    if (job_) {
        AssignProcessToJobObject(job_.get(), process_->handle());
    }
    const bool listening = waitUntil(
        [this] {
            port_ = readPortFile(portFile_);
            return port_ > 0 || !process_->isRunning();
        },
        kStartMs);
    if (!listening || port_ <= 0) {
        stop();
        return false;
    }
    if (transport_ == Transport::Tls) {
        tlsPort_ = addTlsFront(TlsCertificate::Localhost);
        if (tlsPort_ == 0) {
            stop();
            return false;
        }
    }
    return true;
}

bool PlatformSim::startFrontOn(int port, TlsCertificate certificate) {
    if (port_ <= 0 || port <= 0 || !startTlsFront(port, port_, certificate)) {
        return false;
    }
    tlsFronts_.push_back(port);
    return true;
}

int PlatformSim::addTlsFront(TlsCertificate certificate) {
    for (int attempt = 0; attempt < kFrontTries; ++attempt) {
        const int port = freeLoopbackPort();
        if (startFrontOn(port, certificate)) {
            return port;
        }
    }
    return 0;
}

bool PlatformSim::closeApiFront() {
    const auto front = std::find(tlsFronts_.begin(), tlsFronts_.end(), tlsPort_);
    if (front == tlsFronts_.end()) {
        return false;
    }
    tlsFronts_.erase(front);
    return stopTlsFront(tlsPort_);
}

bool PlatformSim::openApiFront(TlsCertificate certificate) {
    // Whatever front holds the port goes first.
    closeApiFront();
    return startFrontOn(tlsPort_, certificate);
}

void PlatformSim::stopTlsFronts() {
    for (const int port : tlsFronts_) {
        stopTlsFront(port);
    }
    tlsFronts_.clear();
    tlsPort_ = 0;
}

bool PlatformSim::stop() {
    stopTlsFronts();
    if (!process_) {
        return true;
    }
    bool clean = false;
    DWORD exitCode = 1;
    if (port_ > 0) {
        int status = 0;
        controlGet("/__quit", status);
        clean = status == 200 && process_->waitForExit(kStopMs, &exitCode);
    }
    process_.reset();  // ends it if it is still running
    port_ = 0;
    DeleteFileW(portFile_.c_str());
    DeleteFileW(logFile_.c_str());
    return clean && exitCode == 0;
}

std::string PlatformSim::apiHost() const {
    return "localhost:" + std::to_string(transport_ == Transport::Tls ? tlsPort_ : port_);
}

std::string PlatformSim::otherHost() const {
    return "127.0.0.1:" + std::to_string(port_);
}

std::string PlatformSim::apiUrl(std::string_view pathAndQuery) const {
    return (transport_ == Transport::Tls ? "https://" : "http://") + apiHost() + std::string(pathAndQuery);
}

std::string PlatformSim::otherUrl(std::string_view pathAndQuery) const {
    return "http://" + otherHost() + std::string(pathAndQuery);
}

std::string PlatformSim::itemPage(std::string_view itemId) const {
    return otherUrl("/item.htm?id=" + std::string(itemId));
}

std::string PlatformSim::memberLink(std::string_view itemId) const {
    return otherUrl("/elite?auctionid=" + std::string(itemId) + "&adzoneid=202&siteid=101");
}

std::vector<std::pair<std::string, std::string>> PlatformSim::deploymentVariables() const {
    std::vector<std::pair<std::string, std::string>> variables = {
        {"QUILLANE_API_HOST", apiHost()},
        {"QUILLANE_COOKIE_DOMAIN", "localhost"},
        {"QUILLANE_HOME_URL", apiUrl("/")},
        {"QUILLANE_ITEM_HOST", otherHost()},
        {"QUILLANE_NOTICE_URL", otherUrl(kSimNoticePath)},
        {"QUILLANE_PUBLISHER_URL", otherUrl("/publisher/")},
    };
    if (transport_ == Transport::Plain) {
        variables.push_back({"QUILLANE_API_SCHEME", "http"});
    }
    return variables;
}

bool PlatformSim::set(const std::vector<std::pair<std::string, std::string>>& modes) {
    std::string target = "/__control?";
    for (const auto& [key, value] : modes) {
        if (target.back() != '?') {
            target += '&';
        }
        target += percentEncode(key) + "=" + percentEncode(gbkToUtf8(value));
    }
    int status = 0;
    controlGet(target, status);
    return status == 200;
}

std::vector<SimRequest> PlatformSim::requests() {
    int status = 0;
    const std::string text = controlGet("/__log", status);
    return status == 200 ? parseSimLog(text) : std::vector<SimRequest>{};
}

std::vector<SimRequest> PlatformSim::requestsTo(std::string_view path) {
    std::vector<SimRequest> matching;
    for (SimRequest& request : requests()) {
        if (request.path() == path) {
            matching.push_back(std::move(request));
        }
    }
    return matching;
}

bool PlatformSim::refuseConnectionsFor(int milliseconds) {
    int status = 0;
    controlGet("/__refuse?ms=" + std::to_string(milliseconds), status);
    return status == 200;
}

bool PlatformSim::clearLog() {
    return set({{"clearLog", "1"}});
}

std::string PlatformSim::logInElsewhere() {
    const std::string reply =
        exchange("GET /login HTTP/1.1\r\nHost: " + apiHost() + "\r\nConnection: close\r\n\r\n");
    const std::string_view head = std::string_view(reply).substr(0, reply.find("\r\n\r\n"));
    constexpr std::string_view kSetCookie = "\r\nSet-Cookie: ";
    std::string cookies;
    for (std::size_t at = head.find(kSetCookie); at != std::string_view::npos; at = head.find(kSetCookie, at + 1)) {
        const std::string_view line = head.substr(at + kSetCookie.size());
        if (!cookies.empty()) {
            cookies += "; ";
        }
        cookies += line.substr(0, line.find_first_of(";\r"));
    }
    return cookies;
}

std::string PlatformSim::exchange(std::string_view requestBytes) {
    SOCKET connection = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (connection == INVALID_SOCKET) {
        return {};
    }
    const DWORD timeout = kSocketMs;
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    setsockopt(connection, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port_));
    std::string reply;
    if (connect(connection, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        send(connection, requestBytes.data(), static_cast<int>(requestBytes.size()), 0) ==
            static_cast<int>(requestBytes.size())) {
        char chunk[8192];
        int received = 0;
        while ((received = recv(connection, chunk, sizeof chunk, 0)) > 0) {
            reply.append(chunk, static_cast<size_t>(received));
        }
    }
    closesocket(connection);
    return reply;
}

std::string PlatformSim::controlGet(std::string_view target, int& status) {
    const std::string reply =
        exchange("GET " + std::string(target) + " HTTP/1.1\r\nHost: " + apiHost() + "\r\nConnection: close\r\n\r\n");
    status = 0;
    std::sscanf(reply.c_str(), "HTTP/1.1 %d", &status);
    const size_t bodyStart = reply.find("\r\n\r\n");
    return bodyStart == std::string::npos ? std::string() : reply.substr(bodyStart + 4);
}

bool PlatformSim::runSimLogin(std::string_view path) {
    const std::string address = apiUrl(path);
    const std::unique_ptr<RunningProgram> login =
        RunningProgram::start(L"sim_login.exe", std::wstring(address.begin(), address.end()));
    DWORD exitCode = 1;
    return login && login->waitForExit(kLoginMs, &exitCode) && exitCode == 0;
}

bool PlatformSim::logIn() {
    return runSimLogin("/login");
}

bool PlatformSim::logOut() {
    return runSimLogin("/logout");
}

bool PlatformSim::logInAgain() {
    return set({{"relogin", "1"}}) && logIn();
}

}  // namespace quillane::test
