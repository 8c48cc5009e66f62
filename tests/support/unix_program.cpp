#include "tests/support/unix_program.h"

#include <atomic>

#include "tests/support/wait.h"

namespace quillane::test {

bool startUnixProgram(const std::wstring& commandLine) {
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    HANDLE nowhere = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                 OPEN_EXISTING, 0, nullptr);
    if (nowhere == INVALID_HANDLE_VALUE) {
        return false;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nowhere;
    PROCESS_INFORMATION info{};
    std::wstring line = commandLine;
    const BOOL created = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
    CloseHandle(nowhere);
    // The process and thread fields are left alone: for a Unix program Wine fills them with
    // whatever lay on its stack, and closing those values closed handles of our own (the
    // standard output, the simulator's job, a socket).
    return created != FALSE;
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
