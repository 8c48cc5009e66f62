#pragma once
// The text a member posts in WeChat and QQ groups, which do not open the marketplace's links:
// the item's title, its price and coupon, and the 淘口令 that the marketplace's app reads from
// the clipboard. Texts are GBK.
#include <string>
#include <string_view>

#include "util/text/readable_title.h"
#include "workflow/reading/link_reply.h"

namespace quillane {

// What the item-search reply says about the item beside its commission. Each value is empty
// when the reply lacks it or it fails its form.
struct ItemOffer {
    std::string title;         // as the member reads it, without quotes around it
    std::string price;         // zkPrice, the price after the shop's discount: a decimal number
    std::string couponInfo;    // "满45元减5元": text with a figure in it, on one line
    std::string couponAmount;  // what the coupon takes off: a decimal number
    std::string couponEnd;     // the coupon's last day, YYYY-MM-DD
};

// The offer with every value that does not have its form emptied: a price or coupon amount
// that is no decimal number of at most 12 characters, a coupon text without a figure ("无") or
// too long for one line, a last day that is no YYYY-MM-DD.
ItemOffer offerOfItsForm(ItemOffer offer);

// Lines that end with CR LF: the title; 【券后价】 and the price the buyer pays, when the
// reply gave one; 【优惠券】 and the coupon, when the token is the coupon's; then the sentence
// that carries the token. Empty when the reply had no 淘口令.
std::string shareText(const ItemOffer& offer, const ShareTokens& tokens);

}  // namespace quillane
