#pragma once
// Letting the thread's waiting window messages run in the middle of a run: the document
// search does it between windows, the accessibility search while it waits for the browser.
#include <windows.h>

namespace quillane {

// Delivers every message waiting for this thread. A quit request is put back, so that the
// program's own message loop still ends on it.
void processPendingMessages();

// Waits for the object to be signalled or timeoutMs to pass, running this thread's messages
// meanwhile. True when the object was signalled.
bool waitRunningMessages(HANDLE object, DWORD timeoutMs);

}  // namespace quillane
