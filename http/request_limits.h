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

// Redirects followed in a row before the exchange counts as failed.
inline constexpr int kMaxRedirectsFollowed = 10;

}  // namespace quillane
