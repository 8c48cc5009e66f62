#pragma once
// Unix programs on the test machine (xdotool, the shell, ImageMagick), started from a Windows
// program under Wine.
#include <windows.h>

#include <string>

namespace quillane::test {

// Starts the Unix program named by the command line's first word and returns at once. Wine
// gives no handles for a Unix program's process.
bool startUnixProgram(const std::wstring& commandLine);

// Runs a shell command line and waits until it is over, at most timeoutMs. Wine cannot wait
// on a Unix program's process, so the shell ends by creating a marker file, and we wait for
// the marker: commands run this way never overtake one another.
bool runShellCommand(const std::wstring& command, DWORD timeoutMs = 10000);

}  // namespace quillane::test
