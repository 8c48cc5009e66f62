#pragma once

namespace quillane {

// Program start and end: COM for the thread, the workers, the windows, the message loop until
// the main window closes; then the windows go and the process ends with the exit code, the
// workers and whatever they were doing with it.
[[noreturn]] void runProgram();

}  // namespace quillane
