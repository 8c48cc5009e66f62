#include "harness/process_load.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <vector>

#include "util/owners.h"

namespace quillane::test {
namespace {

// The system's list of open handles, each entry naming the process that owns it.
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
