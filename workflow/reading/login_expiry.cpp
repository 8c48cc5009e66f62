#include "workflow/reading/login_expiry.h"

namespace quillane {
namespace {

// The envelope puts "message" first inside "info". Inside a JSON string every quote is
// escaped, so these markers can only be the envelope's own keys.
constexpr std::string_view kMessageKey = "\"info\":{\"message\":";
constexpr std::string_view kExpiredMessages[] = {
    "\"nologin\"",
    // "页面失效，建议重启浏览器再试！" in GBK: the platform's word for a stale form token.
    "\"\xD2\xB3\xC3\xE6\xCA\xA7\xD0\xA7\xA3\xAC\xBD\xA8\xD2\xE9\xD6\xD8\xC6\xF4\xE4\xAF\xC0\xC0\xC6\xF7\xD4\xD9\xCA\xD4"
    "\xA3\xA1\"",
};

}  // namespace

bool isLoginExpiredReply(std::string_view reply) {
    for (std::size_t at = reply.find(kMessageKey); at != std::string_view::npos;
         at = reply.find(kMessageKey, at + 1)) {
        const std::string_view message = reply.substr(at + kMessageKey.size());
        for (const std::string_view expired : kExpiredMessages) {
            if (message.starts_with(expired)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace quillane
