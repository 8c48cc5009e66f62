#include "harness/unix_program.h"

#include <atomic>

#include "harness/wait.h"

namespace quillane::test {

bool startUnixProgram(const std::wstring& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring line = commandLine;
    // The process and thread fields are left alone: for a Unix program Wine fills them with
    // whatever lay on its stack, and closing those values closed handles of our own (the
    // standard output, the simulator's job, a socket).
    return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info) != FALSE;
}

bool runShellCommand(const std::wstring& command, DWORD timeoutMs) {
    static std::atomic<unsigned> sequence{0};
    const std::wstring marker = L"/tmp/quillane-shell-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                std::to_wstring(++sequence);
    if (!startUnixProgram(L"/bin/sh -c \"" + command + L"; touch " + marker + L"\"")) {
        return false;
    }
    const std::wstring markerOnDrive = L"Z:" + marker;
    const bool done =
        waitUntil([&] { return GetFileAttributesW(markerOnDrive.c_str()) != INVALID_FILE_ATTRIBUTES; }, timeoutMs);
    DeleteFileW(markerOnDrive.c_str());
    return done;
}

}  // namespace quillane::test
