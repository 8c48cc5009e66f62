#include "workflow/reading/search_reply.h"

#include "workflow/reading/reply_json.h"

namespace quillane {

SearchReading readSearchReply(std::string_view utf8, CodePointToGbk toGbk) {
    SearchReading reading;
    const Json reply = parseReply(utf8);
    reading.successful = envelopeSucceeded(reply);
    const Json* item = firstOf(memberOf(memberOf(&reply, "data"), "pageList"));
    if (!reading.successful || item == nullptr || !item->is_object()) {
        return reading;
    }
    reading.found = true;
    reading.commission = figureOf(memberOf(item, "calCommission"));
    const auto text = [&](const char* key) { return readableText(stringOf(memberOf(item, key)), toGbk); };
    reading.offer = offerOfItsForm({
        .title = text("title"),
        .price = figureOf(memberOf(item, "zkPrice")),
        .couponInfo = text("couponInfo"),
        .couponAmount = figureOf(memberOf(item, "couponAmount")),
        .couponEnd = text("couponEffectiveEndTime"),
    });
    return reading;
}

}  // namespace quillane
