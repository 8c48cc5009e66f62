#include "harness/platform_sim_client.h"

#include <winsock2.h>


#include <cstdio>
#include <cstdlib>

#include "sim/platform_sim/wire_text.h"
#include "harness/ui_driver.h"
#include "harness/wait.h"

namespace quillane::test {
namespace {

constexpr DWORD kStartMs = 20000;
constexpr DWORD kStopMs = 10000;
constexpr DWORD kLoginMs = 30000;
constexpr DWORD kSocketMs = 15000;

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

void PlatformSim::attach(int port) {
    startWinsock();
    port_ = port;
}

void PlatformSim::startWinsock() {
    if (!winsockStarted_) {
        WSADATA wsa;
        winsockStarted_ = WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
    }
}

bool PlatformSim::start() {
    if (process_) {
        return true;
    }
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
    return true;
}

bool PlatformSim::stop() {
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
    return "127.0.0.1:" + std::to_string(port_);
}

std::string PlatformSim::otherHost() const {
    return "localhost:" + std::to_string(port_);
}

std::string PlatformSim::apiUrl(std::string_view pathAndQuery) const {
    return "http://" + apiHost() + std::string(pathAndQuery);
}

std::string PlatformSim::otherUrl(std::string_view pathAndQuery) const {
    return "http://" + otherHost() + std::string(pathAndQuery);
}

std::vector<std::pair<std::string, std::string>> PlatformSim::deploymentVariables() const {
    return {
        {"QUILLANE_API_HOST", apiHost()},
        {"QUILLANE_COOKIE_DOMAIN", "127.0.0.1"},
        {"QUILLANE_HOME_URL", apiUrl("/")},
        {"QUILLANE_ITEM_HOST", otherHost()},
        {"QUILLANE_NOTICE_URL", otherUrl("/notice.html")},
        {"QUILLANE_PUBLISHER_URL", otherUrl("/publisher/")},
    };
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
