#include "http/request_engine.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

#include "http/encoding.h"
#include "http/parsing/reply_headers.h"
#include "http/parsing/request_headers.h"
#include "http/request_limits.h"
#include "http/request_watch.h"
#include "http/parsing/url.h"
#include "util/held_runs.h"
#include "util/text/cookies.h"
#include "util/owners.h"

namespace quillane {
namespace {

constexpr DWORD kReadSize = 1024;

// Set once at start, before any request; read by every request.
unsigned long configuredTimeoutMs = kDefaultRequestTimeoutMs;
BoundedRunner* requestRunner = nullptr;
// Under Wine a TLS server that takes the hello and then says nothing holds the call for about
// a minute whatever the time-outs, and closing its handle does not end it: such requests are
// left to their worker, and at most this many at a time.
constexpr int kMaxHeldRequests = 2;
HeldRuns heldRequests(kMaxHeldRequests);
// The engine's own time-outs end every other exchange: they come first.
constexpr DWORD kAbandonGraceMs = 500;
// The first guess for the raw header block; a larger block is read in a second query.
constexpr DWORD kRawHeaderGuess = 5000;

// How the engine came to request an address.
enum class HopKind {
    // The caller's address: the header block is completed.
    First,
    // A "HTTP/1.1 301 Moved" reply: the record runs again as it stands, so the completed
    // header block gains only a Cookie line with the merged cookie text.
    MovedFollowUp,
    // A redirect the library would have followed by itself.
    Redirect,
};

struct Hop {
    std::string address;
    HopKind kind = HopKind::First;
    bool post = false;
};

// What one request brought back besides the record's fields.
struct Reply {
    // Every byte of the body arrived: no read failed and none is missing.
    bool whole = false;
    DWORD status = 0;
    std::string redirectLocation;
    std::string body;
};

// Under Wine, time-outs on the session handle never reach its requests: they are set on the
// request handle, where they take effect, and on the session for libraries that inherit them.
void setReceiveTimeout(RequestWatch& watch, HINTERNET handle, DWORD milliseconds) {
    watch.call(handle, [&] {
        return InternetSetOptionA(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &milliseconds, sizeof(milliseconds));
    });
}

void applyTimeouts(HINTERNET handle) {
    DWORD timeout = requestTimeoutMs();
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        InternetSetOptionA(handle, option, &timeout, sizeof(timeout));
    }
}

// A header query sized by what the library asks for. Nothing when the reply has no such header.
std::optional<std::string> queryHeader(RequestWatch& watch, HINTERNET request, DWORD info, DWORD firstSize = 256) {
    std::string buffer(firstSize, ' ');
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD size = static_cast<DWORD>(buffer.size());
        if (watch.call(request, [&] { return HttpQueryInfoA(request, info, buffer.data(), &size, nullptr); })) {
            buffer.resize(std::strlen(buffer.c_str()));
            return buffer;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= buffer.size()) {
            return std::nullopt;
        }
        buffer.assign(size, ' ');
    }
    return std::nullopt;
}

std::optional<DWORD> queryNumber(RequestWatch& watch, HINTERNET request, DWORD info) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (!watch.call(request,
                    [&] { return HttpQueryInfoA(request, info | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr); })) {
        return std::nullopt;
    }
    return value;
}

// The body as it arrives, until its end; false when a read fails or the deadline passes. The
// receive time-out bounds each wait for the next bytes, not a server that keeps the reply
// alive by sending a byte now and then: only asking for what has arrived, and never waiting
// past the deadline, bounds the whole reply.
bool readBody(RequestWatch& watch, HINTERNET request, ULONGLONG deadline, std::string& body) {
    char buffer[kReadSize];
    while (true) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            SetLastError(ERROR_INTERNET_TIMEOUT);
            return false;
        }
        setReceiveTimeout(watch, request, static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, requestTimeoutMs())));
        DWORD available = 0;
        if (!watch.call(request, [&] { return InternetQueryDataAvailable(request, &available, 0, 0); })) {
            return false;
        }
        DWORD count = 0;
        if (available > 0 &&
            !watch.call(request, [&] { return InternetReadFile(request, buffer, std::min(available, kReadSize), &count); })) {
            return false;
        }
        if (count == 0) {
            return true;
        }
        body.append(buffer, count);
    }
}

// The library ends a body that the server cut off like a complete one; only the length the
// reply announced tells them apart.
bool bodyIsWhole(RequestWatch& watch, HINTERNET request, DWORD status, std::size_t received) {
    if (status == HTTP_STATUS_NO_CONTENT || status == HTTP_STATUS_NOT_MODIFIED ||
        queryHeader(watch, request, HTTP_QUERY_TRANSFER_ENCODING)) {
        return true;
    }
    const std::optional<DWORD> announced = queryNumber(watch, request, HTTP_QUERY_CONTENT_LENGTH);
    return !announced || received >= *announced;
}

bool isRedirectStatus(DWORD status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

DWORD requestFlags(const HttpRequestOptions& request, std::string_view address) {
    // The engine follows redirects itself: the library would carry our Cookie line to any
    // host, follow a redirect loop without end and drop the body of a 307 POST.
    // Every reply is read once, into memory, and nothing the member fetches belongs on disk:
    // no cache entry is written (a file per request would cost more than the request itself
    // on loopback), and no file is asked for. The bytes sent are the same either way.
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT;
    if (request.cookies) {
        // The caller's cookie text is then the only cookie source, and the reply's cookies
        // stay out of the system store.
        flags |= INTERNET_FLAG_NO_COOKIES;
    }
    flags |= isHttpsAddress(address) ? INTERNET_FLAG_SECURE : INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
    return flags;
}

// The request handle of one hop: closed at the hop's end, unless abandoning the request closed
// it already.
struct WatchedHandle {
    RequestWatch& watch;
    InternetHandle handle;
    ~WatchedHandle() {
        if (watch.closedByAbandon(handle.get())) {
            handle.release();
        }
    }
};

// One request and its reply. False when no handle could be opened; the record is then
// unchanged but for its system error.
bool runRequest(HttpRequestOptions& request, const Hop& hop, Reply& reply, RequestWatch& watch) {
    const std::string agent = requestAgent(request.headers);
    const std::string proxyList = request.proxy ? "http=" + *request.proxy : std::string();
    // Without a proxy of the caller's, the one of Windows' Internet Options: at work and behind
    // some security software nothing else gets out, and the member's browser works through it.
    InternetHandle session(InternetOpenA(agent.c_str(), request.proxy ? INTERNET_OPEN_TYPE_PROXY : INTERNET_OPEN_TYPE_PRECONFIG,
                                         request.proxy ? proxyList.c_str() : nullptr, request.proxy ? "" : nullptr, 0));
    if (!session) {
        request.systemError = GetLastError();
        return false;
    }
    applyTimeouts(session.get());
    // A relative Location followed as "Moved" leaves an address without a host: nowhere to go.
    const std::string host = urlHost(hop.address);
    const int port = urlPort(hop.address);
    if (host.empty() || port < 0 || port > 65535) {
        return false;
    }
    InternetHandle connection(InternetConnectA(session.get(), host.c_str(), static_cast<INTERNET_PORT>(port), "", "",
                                               INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) {
        request.systemError = GetLastError();
        return false;
    }
    WatchedHandle watched{watch, InternetHandle(HttpOpenRequestA(connection.get(), hop.post ? "POST" : "GET",
                                                                 urlPath(hop.address).c_str(), "HTTP/1.1", nullptr,
                                                                 nullptr, requestFlags(request, hop.address), 0))};
    const HINTERNET handle = watched.handle.get();
    if (!handle) {
        request.systemError = GetLastError();
        return false;
    }
    applyTimeouts(handle);

    // The caller's session belongs to the host of the caller's address alone.
    const bool toCallersHost = sameHost(hop.address, request.url);
    if (!toCallersHost) {
        request.headers = withoutCookieLines(request.headers);
    }
    // A redirect in the library's place sends the block as it stood; only a block without a
    // Cookie line (none was due yet, or it was withheld from another host) gains one here.
    const bool hasCookieLine = withoutCookieLines(request.headers).size() != request.headers.size();
    if (hop.kind != HopKind::Redirect || !hasCookieLine) {
        const std::string_view cookieText = toCallersHost && request.cookies ? std::string_view(*request.cookies) : std::string_view();
        completeRequestHeaders(request.headers, hop.address, cookieText);
    }
    if (hop.post && request.postBytes.empty()) {
        request.postBytes = request.postText;
    }
    const ULONGLONG sendTime = GetTickCount64();
    const BOOL sent = watch.call(handle, [&] {
        return HttpSendRequestA(handle, request.headers.data(), static_cast<DWORD>(request.headers.size()),
                                hop.post ? request.postBytes.data() : nullptr,
                                hop.post ? static_cast<DWORD>(request.postBytes.size()) : 0);
    });
    // A certificate the system does not trust, or a handshake that breaks off, fails the send
    // before a byte of the request leaves.
    if (!sent) {
        request.systemError = GetLastError();
    }
    reply.whole = sent && readBody(watch, handle, sendTime + requestTimeoutMs(), reply.body);
    if (sent && !reply.whole && request.systemError == 0) {
        request.systemError = GetLastError();
    }

    request.rawHeaders = queryHeader(watch, handle, HTTP_QUERY_RAW_HEADERS_CRLF, kRawHeaderGuess)
                             .value_or(std::string(kRawHeaderGuess, ' '));
    reply.status = queryNumber(watch, handle, HTTP_QUERY_STATUS_CODE).value_or(0);
    request.status = static_cast<int>(reply.status);
    reply.redirectLocation = queryHeader(watch, handle, HTTP_QUERY_LOCATION).value_or(std::string());
    reply.whole = reply.whole && bodyIsWhole(watch, handle, reply.status, reply.body.size());
    return true;
}

// The next address to request after this reply, if any.
std::optional<Hop> followUp(HttpRequestOptions& request, const Hop& hop, const Reply& reply) {
    if (request.singleRequest) {
        return std::nullopt;
    }
    if (!request.noRedirect && isRedirectStatus(reply.status) && !reply.redirectLocation.empty()) {
        // As the library does: 307 and 308 repeat the request, the others fetch the new place.
        return Hop{resolveLocation(hop.address, reply.redirectLocation), HopKind::Redirect,
                   hop.post && (reply.status == 307 || reply.status == 308)};
    }
    if (isMovedPermanently(request.rawHeaders)) {
        Hop next{request.location + urlPath(hop.address), HopKind::MovedFollowUp, request.method == 1};
        request.location.clear();
        return next;
    }
    return std::nullopt;
}

std::optional<std::string> exchange(HttpRequestOptions& request, RequestWatch& watch) {
    if (request.method != 0 && request.method != 1) {
        return std::nullopt;
    }
    request.systemError = 0;
    request.status = 0;
    Hop hop{request.url, HopKind::First, request.method == 1};
    for (int followed = 0;; ++followed) {
        Reply reply;
        if (!runRequest(request, hop, reply, watch)) {
            return std::nullopt;
        }
        // Bytes that do not begin with a status line are no HTTP reply: nothing in them is
        // taken, their cookies neither.
        if (!hasStatusLine(request.rawHeaders)) {
            return std::nullopt;
        }
        const ReplyHeaderFields fields = readReplyHeaders(request.rawHeaders);
        request.location = fields.location;
        request.receivedCookies = fields.receivedCookies;
        if (request.cookies) {
            mergeCookies(*request.cookies, request.receivedCookies);
        }
        if (request.location.empty()) {
            request.location = request.rawHeaders;
        }
        if (!reply.whole) {
            return std::nullopt;
        }
        std::optional<Hop> next = followUp(request, hop, reply);
        if (!next) {
            if (!request.bodyAsSent && replyIsUtf8(reply.body, request.rawHeaders)) {
                return utf8ToGbk(reply.body);
            }
            return std::move(reply.body);
        }
        if (!mayFollow(hop.address, next->address) || followed == kMaxRedirectsFollowed) {
            if (isHttpsAddress(hop.address) && !isHttpsAddress(next->address)) {
                request.systemError = ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR;
            }
            return std::nullopt;
        }
        hop = std::move(*next);
    }
}

std::string textUpToZero(std::string bytes) {
    bytes.resize(std::strlen(bytes.c_str()));
    return bytes;
}

}  // namespace

unsigned long requestTimeoutMs() {
    return configuredTimeoutMs;
}

void setRequestTimeoutMs(unsigned long milliseconds) {
    configuredTimeoutMs = milliseconds == 0 ? kDefaultRequestTimeoutMs : milliseconds;
}

void setRequestRunner(BoundedRunner* runner) {
    requestRunner = runner;
}

int heldRequestCount() {
    return heldRequests.held();
}

std::string httpRequestBytes(HttpRequestOptions& request) {
    if (requestRunner == nullptr) {
        RequestWatch watch;
        return exchange(request, watch).value_or(std::string());
    }
    // The exchange works on its own copy of the record: a late one writes nothing the caller
    // sees, its cookies least of all.
    struct Run {
        HttpRequestOptions request;
        RequestWatch watch;
        std::optional<std::string> body;
    };
    auto run = std::make_shared<Run>();
    run->request = request;
    const HeldRuns::Outcome outcome = heldRequests.run(
        *requestRunner, [run] { run->body = exchange(run->request, run->watch); },
        requestTimeoutMs() + kAbandonGraceMs, [run] { run->watch.abandon(); });
    if (outcome != HeldRuns::Outcome::InTime) {
        request.systemError = ERROR_INTERNET_TIMEOUT;
        request.status = 0;
        return {};
    }
    request = std::move(run->request);
    return std::move(run->body).value_or(std::string());
}

std::string httpRequest(HttpRequestOptions& request) {
    return textUpToZero(httpRequestBytes(request));
}

std::string fetchPage(std::string_view address) {
    HttpRequestOptions request;
    request.url = std::string(address);
    return textUpToZero(httpRequestBytes(request));
}

}  // namespace quillane
