#pragma once
// Reading the item out of an item-search reply.
#include <string>
#include <string_view>

#include "util/text/readable_title.h"
#include "workflow/reading/share_text.h"

namespace quillane {

struct SearchReading {
    bool successful = false;  // the envelope said yes
    bool found = false;       // the list "pageList" of its "data" has a first item
    // That item's calCommission as decimal text (a number or a string that holds one); empty
    // when it is missing, null, or no figure: the item pays none.
    std::string commission;
    // Its title as the member reads it, and its price and coupon, each in GBK and empty when
    // missing or not of its form.
    ItemOffer offer;
};

// utf8 is the reply as it arrived. Only the first item counts: the search names one item.
SearchReading readSearchReply(std::string_view utf8, CodePointToGbk toGbk);

}  // namespace quillane
