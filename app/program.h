#pragma once

namespace quillane {

// Program start and end: COM for the thread, the windows, the message loop until the main
// window closes, then everything released in the reverse order. Returns the exit code.
int runProgram();

}  // namespace quillane
