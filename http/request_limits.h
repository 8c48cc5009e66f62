#pragma once
// Bounds on one exchange of the request engine. Exchanges run on the program's workers while
// the window goes on answering, but the member still waits for the result and a worker stays
// taken until the exchange ends, so no exchange may last for ever.

namespace quillane {

// Connect, send and receive time-outs of every request, and the time by which a reply must
// have arrived whole after its request was sent (the first bounds each wait for the next
// bytes, the second a server that sends them one at a time). 15 s unless the program's
// deployment says otherwise; tests of silent servers shorten it.
inline constexpr unsigned long kDefaultRequestTimeoutMs = 15000;
unsigned long requestTimeoutMs();
// Takes effect for the requests started after it; 0 restores the default.
void setRequestTimeoutMs(unsigned long milliseconds);

// Where requests run once the program has its workers: each on one of them, its caller waiting
// at most the time-out (and a moment). A request not over by then is abandoned: the caller gets
// an empty reply with ERROR_INTERNET_TIMEOUT and its record unchanged, the request's handle is
// closed (which ends the call on Windows), and the worker is held until the system lets go of
// the call. While two are held, requests fail that way at once. Without a runner (null, the
// default) each request runs on its caller's thread, bounded by its own time-outs only.
class BoundedRunner;
void setRequestRunner(BoundedRunner* runner);
// Requests abandoned whose workers are still held.
int heldRequestCount();

// Redirects followed in a row before the exchange counts as failed.
inline constexpr int kMaxRedirectsFollowed = 10;

}  // namespace quillane
