#pragma once
// The addresses that programs under test handed to the default web browser, as the recorder
// xdg-open beside this file received them. scripts/wine-env puts the recorder first on PATH
// and names its log in QUILLANE_BROWSER_LOG before Wine starts: the launcher runs the
// recorder with the Unix environment Wine started with, not with variables a program sets.
// Tests may run side by side on the one log, so each test puts a mark of its own into the
// addresses it opens and reads back only the lines that carry it.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "harness/wait.h"
#include "util/owners.h"

namespace quillane::test {

// A mark that no other test of this or an earlier run puts into an address.
inline std::string uniqueBrowserMark() {
    static unsigned sequence = 0;
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return "mark" + std::to_string(GetCurrentProcessId()) + "x" + std::to_string(now.dwLowDateTime) + "x" +
           std::to_string(++sequence);
}

// The recorded addresses that contain mark, in arrival order, byte for byte.
inline std::vector<std::string> browserLaunchesWith(std::string_view mark) {
    std::vector<std::string> lines;
    wchar_t unixPath[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"QUILLANE_BROWSER_LOG", unixPath, MAX_PATH) == 0) {
        return lines;
    }
    const std::wstring path = std::wstring(L"Z:") + unixPath;
    const KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) {
        return lines;
    }
    std::string content;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        content.append(buffer, read);
    }
    std::size_t start = 0;
    for (std::size_t end; (end = content.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = content.substr(start, end - start);
        if (line.find(mark) != std::string::npos) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

inline bool waitForBrowserLaunchesWith(std::string_view mark, std::size_t count, DWORD timeoutMs = 15000) {
    return waitUntil([&] { return browserLaunchesWith(mark).size() >= count; }, timeoutMs);
}

}  // namespace quillane::test
