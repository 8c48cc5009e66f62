// Which link a link-service reply gives, and which replies say that the login is over.
#include <gtest/gtest.h>

#include <optional>

#include "workflow/reading/link_reply.h"
#include "workflow/reading/login_expiry.h"

namespace quillane {
namespace {

constexpr const char* kEnvelopeEnd = "},\"info\":{\"message\":null,\"ok\":true},\"ok\":true,\"invalidKey\":null}";

std::string linkReply(const std::string& data) {
    return "{\"data\":{" + data + kEnvelopeEnd;
}

TEST(LinkReply, TheLinkIsTheFirstOfEliteShortAndClickUrlThatIsALink) {
    const std::string newerShape =
        "\"taoToken\":\"\xA3\xA4" "Ab3dE5gH7jK\xA3\xA4\",\"couponShortLinkUrl\":\"https://s.click.taobao.com/Qw3rTy1\","
        "\"qrCodeUrl\":\"//gqrcode.alicdn.com/img?type=hv&text=https%3A%2F%2Fs.click.taobao.com%2FZx9Cv8b\","
        "\"clickUrl\":\"https://s.click.taobao.com/t?e=m%3D2%26s%3DAbCdEf%3D%3D&pvid=10_1.2.3.4_527\","
        "\"couponLink\":\"https://uland.taobao.com/coupon/edetail?e=AbCd%2Bef\",\"type\":\"auction\","
        "\"shortLinkUrl\":\"https://s.click.taobao.com/Zx9Cv8b\"";
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        // eliteUrl directly followed by clickUrl, and followed by any other key.
        {linkReply("\"eliteUrl\":\"http://e.x/1\",\"clickUrl\":\"http://c.x/1\""), "http://e.x/1"},
        {linkReply("\"eliteUrl\":\"http://e.x/2\",\"type\":\"auction\",\"clickUrl\":\"http://c.x/2\""), "http://e.x/2"},
        {linkReply("\"eliteUrl\":\"https://e.x/3\""), "https://e.x/3"},
        // The newer shape: the short link, never the coupon's short link that comes first.
        {linkReply(newerShape), "https://s.click.taobao.com/Zx9Cv8b"},
        {linkReply("\"couponShortLinkUrl\":\"https://c.x/coupon\",\"clickUrl\":\"https://c.x/click\""),
         "https://c.x/click"},
        // Escapes undone; a \u beyond ASCII becomes percent-encoded UTF-8.
        {linkReply("\"eliteUrl\":\"https:\\/\\/e.x\\/t?a=1\\u0026b=\\\"2\\\"\\\\\""), "https://e.x/t?a=1&b=\"2\"\\"},
        {linkReply("\"eliteUrl\":\"https://e.x/\\u4E2D\\ud83d\\ude00\""), "https://e.x/%E4%B8%AD%F0%9F%98%80"},
        // A GBK character whose second byte is a backslash does not escape the closing quote.
        {linkReply("\"eliteUrl\":\"https://e.x/\x95\\\",\"clickUrl\":\"https://c.x/\""), "https://e.x/\x95\\"},
        // "//" is taken as https; a value without a scheme, or of another scheme, is no link.
        {linkReply("\"eliteUrl\":\"//s.click.taobao.com/k\""), "https://s.click.taobao.com/k"},
        {linkReply("\"eliteUrl\":\"s.click.taobao.com/k\""), std::nullopt},
        {linkReply("\"eliteUrl\":\"javascript:alert(1)\",\"clickUrl\":\"HTTP://c.x/\""), "HTTP://c.x/"},
        {linkReply("\"eliteUrl\":\"\",\"shortLinkUrl\":\"http://s.x/\""), "http://s.x/"},
        {linkReply("\"eliteUrl\":\"http://\""), std::nullopt},
        {linkReply("\"eliteUrl\":\"https:///path\""), std::nullopt},
        // Broken values: unterminated, a broken escape, a control character or a blank, a lone
        // surrogate.
        {"{\"data\":{\"eliteUrl\":\"http://e.x/", std::nullopt},
        {linkReply("\"eliteUrl\":\"http://e.x/\\x\""), std::nullopt},
        {linkReply("\"eliteUrl\":\"http://e.x/\\n\""), std::nullopt},
        {linkReply("\"eliteUrl\":\"http://e.x/ a\""), std::nullopt},
        {linkReply("\"eliteUrl\":\"http://e.x/\\ud83d\""), std::nullopt},
        {linkReply("\"eliteUrl\":\"http://e.x/\\u00\""), std::nullopt},
        // The success marker without any link, and a null value.
        {linkReply("\"taoToken\":\"x\",\"type\":\"auction\""), std::nullopt},
        {linkReply("\"eliteUrl\":null"), std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [reply, link] : cases) {
        EXPECT_EQ(linkOfReply(reply), link) << reply;
    }
}

// The yen sign ￥ (U+FFE5), the only character that the replies here escape.
std::string yenToGbk(char32_t codePoint) {
    return codePoint == 0xFFE5 ? "\xA3\xA4" : "";
}

TEST(LinkReply, TokensAreReadAsTitlesAreAndKeptOnlyWhenEachIsOneTaoToken) {
    const std::string yen = "\xA3\xA4";
    const std::string item = yen + "ezJF0ibOpJm" + yen;
    const std::string coupon = yen + "Vb7Xc9Zt1Kw" + yen;
    const std::pair<std::string, ShareTokens> cases[] = {
        // The real shape, with and without a coupon.
        {"\"taoToken\":\"" + item + "\",\"couponShortLinkUrl\":\"https://s.click.taobao.com/9Mn7NXw\","
         "\"clickUrl\":\"https://s.click.taobao.com/t?e=x\",\"couponLinkTaoToken\":\"" + coupon + "\","
         "\"couponLink\":\"https://uland.taobao.com/coupon/edetail?e=x&pid=mm_1\",\"type\":\"auction\"",
         {item, coupon}},
        {"\"taoToken\":\"" + item + "\",\"couponLinkTaoToken\":\"\",\"couponLink\":\"\"", {item, ""}},
        // Escaped, and framed otherwise as the item-text reader knows tokens.
        {"\"taoToken\":\"\\uffe5ezJF0ibOpJm\\uFFE5\"", {item, ""}},
        {"\"taoToken\":\"(ezJF0ibOpJm)\",\"couponLinkTaoToken\":\"\x80Vb7Xc9Zt1Kw\x80\"",
         {"(ezJF0ibOpJm)", "\x80Vb7Xc9Zt1Kw\x80"}},
        // The older replies, and empty or null values.
        {"\"eliteUrl\":\"http://e.x/1\",\"clickUrl\":\"http://c.x/1\"", {"", ""}},
        {"\"taoToken\":\"\",\"couponLinkTaoToken\":null", {"", ""}},
        // Not one token and nothing else.
        {"\"taoToken\":\"" + item + " \\u6253\\u5f00\"", {"", ""}},
        {"\"taoToken\":\"x" + item + "\"", {"", ""}},
        {"\"taoToken\":\"" + yen + "ezJF0ibOpJm$\"", {"", ""}},
        {"\"taoToken\":\"" + yen + "12345678901" + yen + "\"", {"", ""}},
        {"\"taoToken\":\"" + yen + "ezJF0ib" + yen + "\"", {"", ""}},
        {"\"taoToken\":\"" + yen + "ezJF0ibOpJm1234567" + yen + "\"", {"", ""}},
        {"\"taoToken\":\"/ezJF0ibOpJm/\"", {"", ""}},
        // Markup comes out as it does of a title.
        {"\"taoToken\":\"" + yen + "ezJF0ib<b>OpJm" + yen + "\"", {item, ""}},
        // Only the key of that very name.
        {"\"couponLinkTaoToken\":\"" + coupon + "\"", {"", coupon}},
    };
    for (const auto& [data, tokens] : cases) {
        EXPECT_EQ(shareTokensOfReply(linkReply(data), yenToGbk), tokens) << data;
    }
    EXPECT_EQ(shareToken({item, coupon}), coupon);
    EXPECT_EQ(shareToken({item, ""}), item);
}

TEST(LoginExpiry, OnlyTheEnvelopesMessageOfAnEndedLoginCounts) {
    const std::pair<const char*, bool> cases[] = {
        {"{\"data\":null,\"info\":{\"message\":\"nologin\",\"ok\":false},\"ok\":false,\"invalidKey\":null}", true},
        {"{\"data\":null,\"info\":{\"message\":\"\xD2\xB3\xC3\xE6\xCA\xA7\xD0\xA7\xA3\xAC\xBD\xA8\xD2\xE9\xD6\xD8\xC6\xF4"
         "\xE4\xAF\xC0\xC0\xC6\xF7\xD4\xD9\xCA\xD4\xA3\xA1\",\"ok\":false},\"ok\":false}",
         true},
        {"{\"data\":null,\"info\":{\"message\":\"nologin2\",\"ok\":false},\"ok\":false}", false},
        {"{\"data\":null,\"info\":{\"message\":\"\xCD\xC6\xB9\xE3\xCE\xBB\",\"ok\":false},\"ok\":false}", false},
        {"{\"data\":{},\"info\":{\"message\":null,\"ok\":true},\"ok\":true}", false},
        // The word inside a title's text is not the envelope's message.
        {"{\"data\":{\"title\":\"\\\"info\\\":{\\\"message\\\":\\\"nologin\\\"\"},\"info\":{\"message\":null,\"ok\":true}}",
         false},
        {"nologin", false},
        {"", false},
    };
    for (const auto& [reply, expired] : cases) {
        EXPECT_EQ(isLoginExpiredReply(reply), expired) << reply;
    }
}

}  // namespace
}  // namespace quillane
