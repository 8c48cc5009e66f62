#include "workflow/reading/adzone_reply.h"

#include "workflow/reading/reply_json.h"

namespace quillane {

AdzoneIds readAdzoneReply(std::string_view utf8) {
    const Json reply = parseReply(utf8);
    const Json* site = firstOf(memberOf(memberOf(&reply, "data"), "otherAdzones"));
    return {idOf(memberOf(site, "id")), idOf(memberOf(firstOf(memberOf(site, "sub")), "id"))};
}

}  // namespace quillane
