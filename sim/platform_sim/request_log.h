#pragma once
// What reached the simulator, request by request, for tests to read: the exact request line,
// every header line and the connection it came on. One text format serves the log file and
// GET /__log:
//
//   request <number> connection <number>
//   line <request line>
//   header <header line>          (one per header, in the order sent)
//   status <status answered, 0 when the connection was cut before any reply>
//   fault <fault applied, only when one was>
//   end
//
// Values are written with escapeLogValue (wire_text.h), so a trailing blank survives.
#include <mutex>
#include <string>
#include <string_view>

#include "sim/platform_sim/http_wire.h"

namespace platform_sim {

class RequestLog {
public:
    explicit RequestLog(std::string filePath);

    void add(int connection, const Request& request, int status, std::string_view fault);
    std::string text() const;
    void clear();

private:
    void appendToFile(std::string_view text, bool truncate) const;

    const std::string filePath_;
    mutable std::mutex mutex_;
    std::string text_;
    int count_ = 0;
};

}  // namespace platform_sim
