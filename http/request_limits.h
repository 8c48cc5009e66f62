#pragma once
// Bounds on one exchange of the request engine. The member waits on it with a frozen window,
// so no exchange may last for ever.

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
