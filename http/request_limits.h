#pragma once
// Bounds on one exchange of the request engine. The member waits on it with a frozen window,
// so no exchange may last for ever.

namespace quillane {

// Connect, send and receive time-outs of every request.
inline constexpr unsigned long kRequestTimeoutMs = 15000;

// Redirects followed in a row before the exchange counts as failed.
inline constexpr int kMaxRedirectsFollowed = 10;

}  // namespace quillane
