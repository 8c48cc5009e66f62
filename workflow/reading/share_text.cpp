#include "workflow/reading/share_text.h"

#include <optional>
#include <utility>

namespace quillane {
namespace {

// The text's words in GBK, written as bytes: the native build has no GBK literals.
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kPriceLabel = "\xA1\xBE\xC8\xAF\xBA\xF3\xBC\xDB\xA1\xBF";   // 【券后价】
constexpr std::string_view kYuan = "\xD4\xAA";                                        // 元
constexpr std::string_view kCouponLabel = "\xA1\xBE\xD3\xC5\xBB\xDD\xC8\xAF\xA1\xBF";  // 【优惠券】
constexpr std::string_view kComma = "\xA3\xAC";                                       // ，
constexpr std::string_view kValidUntil = "\xC7\xB0\xD3\xD0\xD0\xA7";                  // 前有效
constexpr std::string_view kCopyThis = "\xB8\xB4\xD6\xC6\xD5\xE2\xCC\xF5\xD0\xC5\xCF\xA2";  // 复制这条信息
// ，打开手机淘宝即可领券购买 / ，打开手机淘宝即可购买
constexpr std::string_view kOpenWithCoupon =
    "\xA3\xAC\xB4\xF2\xBF\xAA\xCA\xD6\xBB\xFA\xCC\xD4\xB1\xA6\xBC\xB4\xBF\xC9\xC1\xEC\xC8\xAF\xB9\xBA\xC2\xF2";
constexpr std::string_view kOpen = "\xA3\xAC\xB4\xF2\xBF\xAA\xCA\xD6\xBB\xFA\xCC\xD4\xB1\xA6\xBC\xB4\xBF\xC9\xB9\xBA\xC2\xF2";
// 满: what follows it in a coupon's text is the least the buyer must spend for it.
constexpr std::string_view kAtLeast = "\xC2\xFA";

// Longer figures are no price; longer coupon texts no coupon (they would flood the message).
constexpr std::size_t kLongestFigure = 12;
constexpr std::size_t kLongestCouponInfo = 64;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits, optionally a point and more digits.
bool isDecimal(std::string_view text) {
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    const auto allDigits = [](std::string_view part) {
        for (const char c : part) {
            if (!isDigit(c)) {
                return false;
            }
        }
        return true;
    };
    return text.size() <= kLongestFigure && !whole.empty() && allDigits(whole) &&
           (point == std::string_view::npos || (!fraction.empty() && allDigits(fraction)));
}

bool isDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return false;
    }
    for (const std::size_t at : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (!isDigit(text[at])) {
            return false;
        }
    }
    return true;
}

bool isCouponInfo(std::string_view text) {
    if (text.empty() || text.size() > kLongestCouponInfo) {
        return false;
    }
    for (const char c : text) {
        if (isDigit(c)) {
            return true;
        }
    }
    return false;  // "无" and the like: no coupon
}

// Hundredths of a yuan; none for a figure with finer decimals than a price has.
std::optional<long long> hundredths(std::string_view decimal) {
    if (!isDecimal(decimal)) {
        return std::nullopt;
    }
    const std::size_t point = decimal.find('.');
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : decimal.substr(point + 1);
    if (fraction.size() > 2) {
        return std::nullopt;
    }
    long long value = 0;
    for (const char c : decimal.substr(0, point)) {
        value = value * 10 + (c - '0');
    }
    for (std::size_t digit = 0; digit < 2; ++digit) {
        value = value * 10 + (digit < fraction.size() ? fraction[digit] - '0' : 0);
    }
    return value;
}

std::string yuanText(long long value) {
    std::string text = std::to_string(value / 100);
    if (value % 100 != 0) {
        text += '.';
        text += static_cast<char>('0' + value % 100 / 10);
        if (value % 10 != 0) {
            text += static_cast<char>('0' + value % 10);
        }
    }
    return text;
}

// The least a coupon asks the buyer to spend: the figure after 满 and before 元.
std::optional<long long> leastSpend(std::string_view couponInfo) {
    const std::size_t at = couponInfo.find(kAtLeast);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view rest = couponInfo.substr(at + kAtLeast.size());
    const std::size_t end = rest.find(kYuan);
    return end == std::string_view::npos ? std::nullopt : hundredths(rest.substr(0, end));
}

// What the buyer pays: the coupon comes off the price when the text hands the buyer the
// coupon and one piece reaches the least the coupon asks for. Without that, the price itself.
std::string pricePaid(const ItemOffer& offer, bool withCoupon) {
    const auto price = hundredths(offer.price);
    const auto amount = hundredths(offer.couponAmount);
    if (!withCoupon || !price || !amount || *amount <= 0 || *amount >= *price) {
        return offer.price;
    }
    if (const auto least = leastSpend(offer.couponInfo); least && *least > *price) {
        return offer.price;
    }
    return yuanText(*price - *amount);
}

std::string checked(std::string value, bool (*hasForm)(std::string_view)) {
    return hasForm(value) ? value : std::string();
}

}  // namespace

ItemOffer offerOfItsForm(ItemOffer offer) {
    offer.price = checked(std::move(offer.price), isDecimal);
    offer.couponInfo = checked(std::move(offer.couponInfo), isCouponInfo);
    offer.couponAmount = checked(std::move(offer.couponAmount), isDecimal);
    offer.couponEnd = checked(std::move(offer.couponEnd), isDate);
    return offer;
}

std::string shareText(const ItemOffer& offer, const ShareTokens& tokens) {
    const std::string& token = shareToken(tokens);
    if (token.empty()) {
        return {};
    }
    const bool withCoupon = !tokens.coupon.empty();
    std::string text;
    if (!offer.title.empty()) {
        text.append(offer.title).append(kLineEnd);
    }
    if (!offer.price.empty()) {
        text.append(kPriceLabel).append(pricePaid(offer, withCoupon)).append(kYuan).append(kLineEnd);
    }
    if (withCoupon && !offer.couponInfo.empty()) {
        text.append(kCouponLabel).append(offer.couponInfo);
        if (!offer.couponEnd.empty()) {
            text.append(kComma).append(offer.couponEnd).append(kValidUntil);
        }
        text.append(kLineEnd);
    }
    text.append(kCopyThis).append(token).append(withCoupon ? kOpenWithCoupon : kOpen).append(kLineEnd);
    return text;
}

}  // namespace quillane
