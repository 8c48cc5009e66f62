#pragma once
// The marketplace's ways to an item that are no item page themselves: the short-link host's
// hand-off pages (m.tb.cn/h.CODE, as the app's share text names them) and another member's
// affiliate link (s.click.taobao.com/t?e=..., which answers 302 to a t_js jump page whose
// script names the same link again; asked for with the jump page as Referer, the link answers
// 302 to the item's Tmall page). All hosts are this one simulator: paths stand for them, and
// every address handed out points back at it as otherHostAddress.
#include <optional>

#include "sim/platform_sim/http_wire.h"
#include "sim/platform_sim/settings.h"

namespace platform_sim {

// The reply for /h.CODE, /t and /t_js; nothing for any other path.
std::optional<Reply> marketplaceLinkReply(const Request& request, const Settings& settings, int port);

}  // namespace platform_sim
