#include "workflow/reading/login_expiry.h"

#include "workflow/reading/reply_json.h"

namespace quillane {
namespace {

constexpr std::string_view kExpiredMessages[] = {
    "nologin",
    // "页面失效，建议重启浏览器再试！" in UTF-8: the platform's word for a stale form token.
    "\xE9\xA1\xB5\xE9\x9D\xA2\xE5\xA4\xB1\xE6\x95\x88\xEF\xBC\x8C\xE5\xBB\xBA\xE8\xAE\xAE\xE9\x87\x8D\xE5\x90\xAF"
    "\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8\xE5\x86\x8D\xE8\xAF\x95\xEF\xBC\x81",
};

}  // namespace

bool isLoginExpiredReply(std::string_view reply) {
    const Json parsed = parseReply(reply);
    const std::string message = stringOf(memberOf(memberOf(&parsed, "info"), "message"));
    for (const std::string_view expired : kExpiredMessages) {
        if (message == expired) {
            return true;
        }
    }
    return false;
}

}  // namespace quillane
