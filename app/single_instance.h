#pragma once
// One Quillane per user session. A second start hands over to the running one, so that the
// member never faces two main windows of which only one holds the Home key.

namespace quillane {

// True when this process is the session's first Quillane: it stays the one until it ends,
// however it ends (the system drops the claim of a crashed process with its handles). False
// when another one runs: its main window has been brought to the front, and this process
// ends at once, before it creates a window or registers anything.
bool becomeTheOnlyInstance();

}  // namespace quillane
