#include "tests/support/reliability_record.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <cstdio>
#include <vector>

#include "sim/platform_sim/defaults.h"
#include "harness/ui_driver.h"
#include "util/owners.h"

namespace quillane::test {
namespace {

bool holdsSession(std::string_view cookieText) {
    return cookieText.find(platform_sim::kSessionCookieValue) != std::string_view::npos ||
           cookieText.find(std::string(platform_sim::kTokenCookieName) + "=" + platform_sim::kDefaultToken) !=
               std::string_view::npos;
}

// The system's list of open handles (Wine answers GetProcessHandleCount with 0 for every
// process; this list it keeps).
constexpr auto kSystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);

struct SystemHandleEntry {
    ULONG ownerProcessId;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
};

DWORD openHandles(DWORD processId) {
    std::vector<char> buffer(1 << 20);
    ULONG length = 0;
    NTSTATUS status = kInfoLengthMismatch;
    for (int attempt = 0; attempt < 6 && status == kInfoLengthMismatch; ++attempt) {
        status = NtQuerySystemInformation(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                                          &length);
        if (status == kInfoLengthMismatch) {
            buffer.resize(buffer.size() * 2);
        }
    }
    if (status != 0) {
        return 0;
    }
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const SystemHandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
    DWORD owned = 0;
    for (ULONG i = 0; i < count; ++i) {
        owned += entries[i].ownerProcessId == processId ? 1 : 0;
    }
    return owned;
}

}  // namespace

ReliabilityRecord::~ReliabilityRecord() {
    // Beside the programs' folder, where the test command looks for it.
    const std::wstring path = binFolder() + L"..\\reliability-results.txt";
    FILE* file = _wfopen(path.c_str(), L"ab");
    if (file == nullptr) {
        return;
    }
    std::fprintf(file, "%s %d %d %d %d\n", category_.c_str(), cases_, survived_, lost_, leaked_);
    std::fclose(file);
}

void ReliabilityRecord::caseRun(bool survived, bool stateKept) {
    ++cases_;
    survived_ += survived ? 1 : 0;
    lost_ += stateKept ? 0 : 1;
}

int sessionCookieLeaks(const std::vector<SimRequest>& requests, const std::string& apiHost) {
    int leaks = 0;
    for (const SimRequest& request : requests) {
        if (request.host() != apiHost && holdsSession(request.cookieHeader())) {
            ++leaks;
        }
    }
    return leaks;
}

int sessionCookieLeaks(const std::vector<std::string>& rawRequests) {
    int leaks = 0;
    for (const std::string& request : rawRequests) {
        leaks += holdsSession(request) ? 1 : 0;
    }
    return leaks;
}

bool carriesSession(const SimRequest& request) {
    const std::string cookies = request.cookieHeader();
    const std::string token = platform_sim::kDefaultToken;
    return cookies.find(std::string(platform_sim::kSessionCookieName) + "=" + platform_sim::kSessionCookieValue) !=
               std::string::npos &&
           cookies.find(std::string(platform_sim::kTokenCookieName) + "=" + token) != std::string::npos &&
           cookies.find(std::string(platform_sim::kTrackCookieName) + "=" + platform_sim::kTrackCookieValue) !=
               std::string::npos &&
           request.queryValue(platform_sim::kTokenCookieName) == token;
}

ProcessLoad processLoad(DWORD processId) {
    ProcessLoad load;
    load.handles = openHandles(processId);
    const KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) {
        return load;
    }
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry)) {
        load.threads += entry.th32OwnerProcessID == processId ? 1 : 0;
    }
    return load;
}

}  // namespace quillane::test
