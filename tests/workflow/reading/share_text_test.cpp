// The share text of an item for WeChat: the text composed of the search reply's price and
// coupon and the link reply's 淘口令. GBK texts are written as hex escapes
// (the native build has no GBK literals).
#include <gtest/gtest.h>

#include "workflow/reading/share_text.h"

namespace quillane {
namespace {

constexpr const char* kTitle = "\xC1\xAC\xD2\xC2\xC8\xB9";                             // 连衣裙
constexpr const char* kCoupon = "\xC2\xFA" "40\xD4\xAA\xBC\xF5" "5\xD4\xAA";            // 满40元减5元
constexpr const char* kPrice = "\xA1\xBE\xC8\xAF\xBA\xF3\xBC\xDB\xA1\xBF";            // 【券后价】
constexpr const char* kYuanLine = "\xD4\xAA\r\n";                                     // 元
constexpr const char* kCouponLabel = "\xA1\xBE\xD3\xC5\xBB\xDD\xC8\xAF\xA1\xBF";     // 【优惠券】
constexpr const char* kUntil = "\xA3\xAC" "2026-12-31\xC7\xB0\xD3\xD0\xD0\xA7\r\n";   // ，2026-12-31前有效
constexpr const char* kCopy = "\xB8\xB4\xD6\xC6\xD5\xE2\xCC\xF5\xD0\xC5\xCF\xA2";    // 复制这条信息
// ，打开手机淘宝即可领券购买 / ，打开手机淘宝即可购买
constexpr const char* kWithCoupon =
    "\xA3\xAC\xB4\xF2\xBF\xAA\xCA\xD6\xBB\xFA\xCC\xD4\xB1\xA6\xBC\xB4\xBF\xC9\xC1\xEC\xC8\xAF\xB9\xBA\xC2\xF2\r\n";
constexpr const char* kWithout = "\xA3\xAC\xB4\xF2\xBF\xAA\xCA\xD6\xBB\xFA\xCC\xD4\xB1\xA6\xBC\xB4\xBF\xC9\xB9\xBA\xC2\xF2\r\n";
const std::string kItemToken = "\xA3\xA4" "Tk41526374859\xA3\xA4";
const std::string kCouponToken = "\xA3\xA4" "Cp41526374859\xA3\xA4";

struct TextCase {
    const char* name;
    ItemOffer offer;
    ShareTokens tokens;
    std::string text;
};

TEST(ShareText, TitlePriceCouponAndTheTokenALineEach) {
    const ItemOffer coupon{kTitle, "41.67", kCoupon, "5", "2026-12-31"};
    const std::string title = std::string(kTitle) + "\r\n";
    const TextCase cases[] = {
        {"a coupon: its token, and the price after it", coupon, {kItemToken, kCouponToken},
         title + kPrice + "36.67" + kYuanLine + kCouponLabel + kCoupon + kUntil + kCopy + kCouponToken + kWithCoupon},
        {"no coupon: the item's token and the price", {kTitle, "41.67", "", "", ""}, {kItemToken, ""},
         title + kPrice + "41.67" + kYuanLine + kCopy + kItemToken + kWithout},
        {"the search named a coupon that the link reply has no token for", coupon, {kItemToken, ""},
         title + kPrice + "41.67" + kYuanLine + kCopy + kItemToken + kWithout},
        {"no price", {kTitle, "", kCoupon, "5", "2026-12-31"}, {kItemToken, kCouponToken},
         title + kCouponLabel + kCoupon + kUntil + kCopy + kCouponToken + kWithCoupon},
        {"a coupon without its last day or its text", {kTitle, "40", "", "5", ""}, {"", kCouponToken},
         title + kPrice + "35" + kYuanLine + kCopy + kCouponToken + kWithCoupon},
        {"one piece short of what the coupon asks: the price stays", {kTitle, "39.9", kCoupon, "5", ""},
         {kItemToken, kCouponToken},
         title + kPrice + "39.9" + kYuanLine + kCouponLabel + kCoupon + "\r\n" + kCopy + kCouponToken + kWithCoupon},
        {"a coupon worth the whole price takes nothing off", {kTitle, "5", "", "5", ""}, {"", kCouponToken},
         title + kPrice + "5" + kYuanLine + kCopy + kCouponToken + kWithCoupon},
        {"finer figures than a price are shown as sent", {kTitle, "41.675", "", "0.5", ""}, {"", kCouponToken},
         title + kPrice + "41.675" + kYuanLine + kCopy + kCouponToken + kWithCoupon},
        {"tenths", {"", "10.6", "", "0.1", ""}, {"", kCouponToken},
         std::string(kPrice) + "10.5" + kYuanLine + kCopy + kCouponToken + kWithCoupon},
        {"no token at all: no text", coupon, {"", ""}, ""},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(shareText(c.offer, c.tokens), c.text) << c.name;
    }
}

}  // namespace
}  // namespace quillane
