#include "sim/platform_sim/request_log.h"

#include <windows.h>

#include <cstdio>

namespace platform_sim {

RequestLog::RequestLog(std::string filePath) : filePath_(std::move(filePath)) {
    appendToFile({}, true);
}

void RequestLog::add(int connection, const Request& request, int status, std::string_view fault) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string record = "request " + std::to_string(++count_) + " connection " + std::to_string(connection) + "\n";
    record += "line " + escapeLogValue(request.requestLine) + "\n";
    for (const HeaderLine& header : request.headers) {
        record += "header " + escapeLogValue(header.line) + "\n";
    }
    record += "status " + std::to_string(status) + "\n";
    if (!fault.empty()) {
        record += "fault " + escapeLogValue(fault) + "\n";
    }
    record += "end\n";
    text_ += record;
    appendToFile(record, false);
}

std::string RequestLog::text() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return text_;
}

void RequestLog::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    text_.clear();
    appendToFile({}, true);
}

void RequestLog::appendToFile(std::string_view text, bool truncate) const {
    if (filePath_.empty()) {
        return;
    }
    FILE* file = std::fopen(filePath_.c_str(), truncate ? "wb" : "ab");
    if (!file) {
        return;
    }
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

}  // namespace platform_sim
