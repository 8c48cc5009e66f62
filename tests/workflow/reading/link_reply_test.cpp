// Which link and 淘口令 a link-service reply gives, which replies say that the login is over,
// and the member's ids in an ad-zone reply. Replies are UTF-8; the tokens read are GBK.
#include <gtest/gtest.h>

#include <optional>

#include "tests/util/text/few_characters_gbk.h"
#include "workflow/reading/adzone_reply.h"
#include "workflow/reading/link_reply.h"
#include "workflow/reading/login_expiry.h"

namespace quillane {
namespace {

constexpr const char* kEnvelopeEnd = "},\"info\":{\"message\":null,\"ok\":true},\"ok\":true,\"invalidKey\":null}";

std::string linkReply(const std::string& data) {
    return "{\"data\":{" + data + kEnvelopeEnd;
}

// The yen sign ￥ (U+FFE5) in UTF-8 and in GBK.
constexpr const char* kYenUtf8 = "\xEF\xBF\xA5";
const std::string kYenGbk = "\xA3\xA4";

std::optional<std::string> linkOf(const std::string& reply) {
    return readLinkReply(reply, test::fewCharactersToGbk).link;
}

TEST(LinkReply, TheLinkIsTheFirstOfEliteShortAndClickUrlThatIsALink) {
    const std::string newerShape =
        "\"taoToken\":\"" + std::string(kYenUtf8) + "Ab3dE5gH7jK" + kYenUtf8 + "\","
        "\"couponShortLinkUrl\":\"https://s.click.taobao.com/Qw3rTy1\","
        "\"qrCodeUrl\":\"//gqrcode.alicdn.com/img?type=hv&text=https%3A%2F%2Fs.click.taobao.com%2FZx9Cv8b\","
        "\"clickUrl\":\"https://s.click.taobao.com/t?e=m%3D2%26s%3DAbCdEf%3D%3D&pvid=10_1.2.3.4_527\","
        "\"couponLink\":\"https://uland.taobao.com/coupon/edetail?e=AbCd%2Bef\",\"type\":\"auction\","
        "\"shortLinkUrl\":\"https://s.click.taobao.com/Zx9Cv8b\"";
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        // eliteUrl wherever it stands among the keys, whatever follows it.
        {linkReply("\"eliteUrl\":\"http://e.x/1\",\"clickUrl\":\"http://c.x/1\""), "http://e.x/1"},
        {linkReply("\"clickUrl\":\"http://c.x/2\",\"type\":\"auction\",\"eliteUrl\":\"http://e.x/2\""), "http://e.x/2"},
        {linkReply("\"eliteUrl\" :\n \"https://e.x/3\"\n"), "https://e.x/3"},
        // The newer shape: the short link, never the coupon's short link that comes first.
        {linkReply(newerShape), "https://s.click.taobao.com/Zx9Cv8b"},
        {linkReply("\"couponShortLinkUrl\":\"https://c.x/coupon\",\"clickUrl\":\"https://c.x/click\""),
         "https://c.x/click"},
        // Only the keys of "data": not those of the envelope or of an object inside data.
        {"{\"eliteUrl\":\"http://top.x/\",\"data\":{\"coupon\":{\"eliteUrl\":\"http://in.x/\"},\"clickUrl\":\"http://c.x/\""
         + std::string(kEnvelopeEnd), "http://c.x/"},
        // Escapes undone; beyond ASCII the UTF-8 bytes percent-encoded.
        {linkReply("\"eliteUrl\":\"https:\\/\\/e.x\\/t?a=1\\u0026b=\\\"2\\\"\\\\\""), "https://e.x/t?a=1&b=\"2\"\\"},
        {linkReply("\"eliteUrl\":\"https://e.x/\\u4E2D\\ud83d\\ude00\xE4\xB8\xAD\""),
         "https://e.x/%E4%B8%AD%F0%9F%98%80%E4%B8%AD"},
        // "//" is taken as https; a value without a scheme, or of another scheme, is no link.
        {linkReply("\"eliteUrl\":\"//s.click.taobao.com/k\""), "https://s.click.taobao.com/k"},
        {linkReply("\"eliteUrl\":\"s.click.taobao.com/k\""), std::nullopt},
        {linkReply("\"eliteUrl\":\"javascript:alert(1)\",\"clickUrl\":\"HTTP://c.x/\""), "HTTP://c.x/"},
        {linkReply("\"eliteUrl\":\"\",\"shortLinkUrl\":\"http://s.x/\""), "http://s.x/"},
        {linkReply("\"eliteUrl\":\"http://\""), std::nullopt},
        {linkReply("\"eliteUrl\":\"https:///path\""), std::nullopt},
        // A blank or a control character; a value of another type.
        {linkReply("\"eliteUrl\":\"http://e.x/\\n\""), std::nullopt},
        {linkReply("\"eliteUrl\":\"http://e.x/ a\""), std::nullopt},
        {linkReply("\"eliteUrl\":null,\"clickUrl\":[\"http://c.x/\"]"), std::nullopt},
        // No JSON (a broken escape: the reply's whole text is checked), or no success.
        {linkReply("\"eliteUrl\":\"http://e.x/\",\"x\":\"\\x\""), std::nullopt},
        {"{\"data\":{\"eliteUrl\":\"http://e.x/\"},\"info\":{\"message\":null,\"ok\":false},\"ok\":false}", std::nullopt},
    };
    for (const auto& [reply, link] : cases) {
        EXPECT_EQ(linkOf(reply), link) << reply;
    }
}

TEST(LinkReply, TokensAreReadAsTitlesAreAndKeptOnlyWhenEachIsOneTaoToken) {
    const std::string yen = kYenUtf8;
    const std::string item = kYenGbk + "ezJF0ibOpJm" + kYenGbk;
    const std::string coupon = kYenGbk + "Vb7Xc9Zt1Kw" + kYenGbk;
    const std::pair<std::string, ShareTokens> cases[] = {
        // The real shape, with and without a coupon.
        {"\"taoToken\":\"" + yen + "ezJF0ibOpJm" + yen + "\",\"couponShortLinkUrl\":\"https://s.click.taobao.com/9Mn7NXw\","
         "\"clickUrl\":\"https://s.click.taobao.com/t?e=x\",\"couponLinkTaoToken\":\"" + yen + "Vb7Xc9Zt1Kw" + yen + "\","
         "\"couponLink\":\"https://uland.taobao.com/coupon/edetail?e=x&pid=mm_1\",\"type\":\"auction\"",
         {item, coupon}},
        {"\"couponLinkTaoToken\":\"\",\"taoToken\":\"" + yen + "ezJF0ibOpJm" + yen + "\",\"couponLink\":\"\"", {item, ""}},
        // Escaped, and framed otherwise as the item-text reader knows tokens.
        {"\"taoToken\":\"\\uffe5ezJF0ibOpJm\\uFFE5\"", {item, ""}},
        {"\"taoToken\":\"(ezJF0ibOpJm)\",\"couponLinkTaoToken\":\"\\u20acVb7Xc9Zt1Kw\\u20ac\"",
         {"(ezJF0ibOpJm)", "\x80Vb7Xc9Zt1Kw\x80"}},
        // The older replies, and empty, null or other values.
        {"\"eliteUrl\":\"http://e.x/1\",\"clickUrl\":\"http://c.x/1\"", {"", ""}},
        {"\"taoToken\":\"\",\"couponLinkTaoToken\":null", {"", ""}},
        {"\"taoToken\":12345678901", {"", ""}},
        // Not one token and nothing else.
        {"\"taoToken\":\"" + yen + "ezJF0ibOpJm" + yen + " \\u6253\\u5f00\"", {"", ""}},
        {"\"taoToken\":\"x" + yen + "ezJF0ibOpJm" + yen + "\"", {"", ""}},
        {"\"taoToken\":\"" + yen + "12345678901" + yen + "\"", {"", ""}},
        {"\"taoToken\":\"" + yen + "ezJF0ib" + yen + "\"", {"", ""}},
        {"\"taoToken\":\"/ezJF0ibOpJm/\"", {"", ""}},
        // Markup comes out as it does of a title.
        {"\"taoToken\":\"" + yen + "ezJF0ib<b>OpJm" + yen + "\"", {item, ""}},
        // Only the key of that very name, in data.
        {"\"couponLinkTaoToken\":\"" + yen + "Vb7Xc9Zt1Kw" + yen + "\",\"x\":{\"taoToken\":\"" + yen + "ezJF0ibOpJm" + yen +
             "\"}",
         {"", coupon}},
    };
    for (const auto& [data, tokens] : cases) {
        EXPECT_EQ(readLinkReply(linkReply(data), test::fewCharactersToGbk).tokens, tokens) << data;
    }
    EXPECT_EQ(shareToken({item, coupon}), coupon);
    EXPECT_EQ(shareToken({item, ""}), item);
}

TEST(LoginExpiry, OnlyTheEnvelopesMessageOfAnEndedLoginCounts) {
    const std::pair<std::string, bool> cases[] = {
        {"{\"data\":null,\"info\":{\"message\":\"nologin\",\"ok\":false},\"ok\":false,\"invalidKey\":null}", true},
        {"{\"ok\":false,\"info\":{\"ok\":false,\"message\":\"\\u006eologin\"}}", true},
        {"{\"data\":null,\"info\":{\"message\":\"\xE9\xA1\xB5\xE9\x9D\xA2\xE5\xA4\xB1\xE6\x95\x88\xEF\xBC\x8C\xE5\xBB\xBA\xE8"
         "\xAE\xAE\xE9\x87\x8D\xE5\x90\xAF\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8\xE5\x86\x8D\xE8\xAF\x95\xEF\xBC\x81\",\"ok\":false},"
         "\"ok\":false}",
         true},
        {"{\"data\":null,\"info\":{\"message\":\"nologin2\",\"ok\":false},\"ok\":false}", false},
        {"{\"data\":{},\"info\":{\"message\":null,\"ok\":true},\"ok\":true}", false},
        // The word elsewhere: in a title, as a key's name, in a message outside the envelope's info.
        {"{\"data\":{\"title\":\"\\\"info\\\":{\\\"message\\\":\\\"nologin\\\"\"},\"info\":{\"message\":null,\"ok\":true}}",
         false},
        {"{\"data\":{\"info\":{\"message\":\"nologin\"}},\"info\":{\"message\":null,\"ok\":true},\"ok\":true}", false},
        {"{\"info\":{\"message\":\"nologin\",\"ok\":false}", false},  // cut off
        {"nologin", false},
        {"", false},
    };
    for (const auto& [reply, expired] : cases) {
        EXPECT_EQ(isLoginExpiredReply(reply), expired) << reply;
    }
}

struct AdzoneCase {
    const char* name;
    std::string data;
    const char* siteId;
    const char* adzoneId;
};

TEST(AdzoneReply, TheFirstSiteOfOtherAdzonesAndItsOwnFirstAdzone) {
    const AdzoneCase cases[] = {
        {"the platform's shape", "{\"otherAdzones\":[{\"id\":\"101\",\"sub\":[{\"id\":202,\"name\":\"a\"},{\"id\":303}],"
                                 "\"name\":\"s\"}]}",
         "101", "202"},
        {"ids as numbers or strings, of 13 digits and more",
         "{\"otherAdzones\":[{\"sub\":[{\"name\":\"a\",\"id\":\"1234567890123456789\"}],\"id\":18446744073709551615}]}",
         "18446744073709551615", "1234567890123456789"},
        {"another list before, with its own sites and ad zones",
         "{\"guideList\":[{\"id\":\"9\",\"sub\":[{\"id\":8}]}],\"otherAdzones\":[{\"name\":\"s\",\"id\":\"101\","
         "\"sub\":[{\"id\":202}]}]}",
         "101", "202"},
        {"the second site's ad zone never pairs with the first site",
         "{\"otherAdzones\":[{\"id\":\"101\",\"sub\":[]},{\"id\":\"102\",\"sub\":[{\"id\":202}]}]}", "101", ""},
        {"an account without sites", "{\"webList\":[],\"otherAdzones\":null,\"hasSelfAdzone\":false}", "", ""},
        {"too big for 64 bits, negative", "{\"otherAdzones\":[{\"id\":123456789012345678901,\"sub\":[{\"id\":-202}]}]}", "", ""},
        {"a fraction, not digits", "{\"otherAdzones\":[{\"id\":1.5,\"sub\":[{\"id\":\"2a\"}]}]}", "", ""},
    };
    for (const AdzoneCase& c : cases) {
        SCOPED_TRACE(c.name);
        const AdzoneIds ids = readAdzoneReply("{\"data\":" + c.data + ",\"ok\":true}");
        EXPECT_EQ(ids.siteId, c.siteId);
        EXPECT_EQ(ids.adzoneId, c.adzoneId);
    }
    EXPECT_EQ(readAdzoneReply("{\"data\":{\"otherAdzones\":[{\"id\":\"101\",\"sub\":[{\"id\":202").siteId, "");
}

}  // namespace
}  // namespace quillane
