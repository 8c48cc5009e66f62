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
    const BOOL created = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info);
    CloseHandle(nowhere);
    if (!created) {
        return false;
    }
    if (info.hThread != nullptr) {
        CloseHandle(info.hThread);
    }
    if (info.hProcess != nullptr) {
        CloseHandle(info.hProcess);
    }
    return true;
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
