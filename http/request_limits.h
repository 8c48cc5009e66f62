#pragma once
// Bounds on one exchange of the request engine. The member waits on it with a frozen window,
// so no exchange may last for ever.

namespace quillane {

// Connect, send and receive time-outs of every request.
inline constexpr unsigned long kRequestTimeoutMs = 15000;

// A reply must have arrived whole this long after its request was sent. The time-outs above
// bound each wait for the next bytes; this bounds a server that sends them one at a time.
inline constexpr unsigned long kReplyDeadlineMs = 15000;

// Redirects followed in a row before the exchange counts as failed.
inline constexpr int kMaxRedirectsFollowed = 10;

}  // namespace quillane
