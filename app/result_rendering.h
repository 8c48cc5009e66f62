#pragma once
// What the flows render alike: a made link onto the clipboard (or the item's share text), and
// a change of the login onto the main window's view.
#include <optional>

#include "app/main_window.h"
#include "app/status_line.h"
#include "workflow/affiliate_link.h"
#include "workflow/login_recovery.h"
#include "workflow/reading/share_text.h"

namespace quillane {

// An expired login brings the login view back; a newer login harvested on the way the
// compact view.
void showLoginChange(MainWindow& window, const LoginCheck& login);

// Copies the made link, or with 淘口令 checked the share text of offer (what the lookup of the
// link's own item read) with the link's 淘口令, and says so in the status line. What was
// copied; nothing when no link was made or the clipboard stayed busy, which the status line
// then says.
std::optional<CopiedForm> copyLink(MainWindow& window, StatusLine& status, const LinkResult& result,
                                   const ItemOffer& offer);

}  // namespace quillane
