#pragma once
// A request that its caller may stop waiting for. Closing the request handle from another
// thread is how Windows ends a call blocked on it; after that close the handle is no longer
// ours to use or close, and its number may already name another handle. So every call on the
// handle passes through the watch: none starts once the request was abandoned, and the handle
// is closed by the abandoning thread only while a call is inside it.
#include <windows.h>
#include <wininet.h>

#include <mutex>

namespace quillane {

class RequestWatch {
public:
    // The engine's side: runs call() on the request handle unless the request was abandoned;
    // FALSE with ERROR_INTERNET_OPERATION_CANCELLED then.
    template <class Call>
    BOOL call(HINTERNET handle, Call&& call) {
        if (!enter(handle)) {
            SetLastError(ERROR_INTERNET_OPERATION_CANCELLED);
            return FALSE;
        }
        const BOOL result = call();
        const DWORD error = GetLastError();
        leave();
        SetLastError(error);
        return result;
    }
    bool abandoned() const;
    // True when abandon() closed this handle: its owner must let go of it without closing it.
    bool closedByAbandon(HINTERNET handle) const;

    // The waiting side: no call starts any more, and one under way has its handle closed.
    void abandon();

private:
    bool enter(HINTERNET handle);
    void leave();

    mutable std::mutex mutex_;
    bool abandoned_ = false;
    HINTERNET inCall_ = nullptr;
    HINTERNET closed_ = nullptr;
};

}  // namespace quillane
