#include "http/request_watch.h"

namespace quillane {

bool RequestWatch::enter(HINTERNET handle) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (abandoned_) {
        return false;
    }
    inCall_ = handle;
    return true;
}

void RequestWatch::leave() {
    const std::lock_guard<std::mutex> lock(mutex_);
    inCall_ = nullptr;
}

bool RequestWatch::abandoned() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return abandoned_;
}

bool RequestWatch::closedByAbandon(HINTERNET handle) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return handle != nullptr && handle == closed_;
}

void RequestWatch::abandon() {
    HINTERNET closing = nullptr;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        abandoned_ = true;
        closing = closed_ = inCall_;
    }
    // Outside the lock: the call it ends then finds the request abandoned as it leaves.
    if (closing != nullptr) {
        InternetCloseHandle(closing);
    }
}

}  // namespace quillane
