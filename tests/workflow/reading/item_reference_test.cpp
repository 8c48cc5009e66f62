// Which items a member's text names: the shapes that members paste and that pages hand off,
// as observed on the marketplace (ids changed). Non-ASCII text is written as GBK bytes.
#include <gtest/gtest.h>

#include "workflow/reading/hand_off.h"
#include "workflow/reading/item_id.h"
#include "workflow/reading/item_reference.h"

namespace quillane {
namespace {

ItemReference id(const char* value) {
    return {ItemReference::Kind::ItemId, value};
}

ItemReference address(const char* value) {
    return {ItemReference::Kind::Address, value};
}

std::string describe(const std::vector<ItemReference>& references) {
    std::string text;
    for (const ItemReference& reference : references) {
        text += (reference.kind == ItemReference::Kind::ItemId ? "id " : "address ") + reference.value + "\n";
    }
    return text;
}

// 【淘宝】 the short link 「CONVERSE 匡威 经典款 帆布鞋」, then on the next line
// 点击链接直接打开 或者 淘宝搜索直接打开: the marketplace app's share text.
constexpr const char* kShareText =
    "\xA1\xBE\xCC\xD4\xB1\xA6\xA1\xBFhttps://m.tb.cn/h.5zxz3j69cN5go4k?tk=XUymWKIqxIz MF6563 \xA1\xB8"
    "CONVERSE \xBF\xEF\xCD\xFE \xBE\xAD\xB5\xE4\xBF\xEE \xB7\xAB\xB2\xBC\xD0\xAC\xA1\xB9\n\xB5\xE3\xBB\xF7\xC1\xB4"
    "\xBD\xD3\xD6\xB1\xBD\xD3\xB4\xF2\xBF\xAA \xBB\xF2\xD5\xDF \xCC\xD4\xB1\xA6\xCB\xD1\xCB\xF7\xD6\xB1\xBD\xD3"
    "\xB4\xF2\xBF\xAA";
constexpr const char* kShortLink = "https://m.tb.cn/h.5zxz3j69cN5go4k?tk=XUymWKIqxIz";

struct ReferenceCase {
    const char* label;
    std::string text;
    std::vector<ItemReference> references;
};

TEST(ItemReferences, RealShapesNameTheirItems) {
    const ReferenceCase cases[] = {
        {"suid= ends in id=", "https://item.taobao.com/item.htm?id=37424802695&price=288&sourceType=item&suid=8be20505-0a16&un=133fdc82",
         {id("37424802695")}},
        {"skuId and ali_trackid after the id",
         "https://detail.tmall.com/item.htm?spm=a220m.1000858.1000725.1&id=623174277353&skuId=4901234567890"
         "&ali_trackid=2:mm_101_202_303:1700000000_211",
         {id("623174277353")}},
        {"id in the path", "https://a.m.taobao.com/i20496648200.htm?price=369&sourceType=item", {id("20496648200")}},
        {"mobile page", "https://h5.m.taobao.com/awp/core/detail.htm?id=1006331369273", {id("1006331369273")}},
        {"mobile Tmall", "https://detail.m.tmall.com/item.htm?id=623174277353&spm=a2141", {id("623174277353")}},
        {"mobile detail home", "https://main.m.taobao.com/security-h5-detail/home?spm=a2141&id=37424802695",
         {id("37424802695")}},
        {"itemId", "https://market.m.taobao.com/app/detail-project/pages/pages/index?wh_weex=true&itemId=37424802695",
         {id("37424802695")}},
        {"itemNumId", "https://h5.m.taobao.com/awp/core/detail.htm?itemNumId=623174277353", {id("623174277353")}},
        {"a host is no path", "http://i37424802695.htm", {address("http://i37424802695.htm")}},
        {"upper-case scheme", "HTTPS://ITEM.TAOBAO.COM/item.htm?id=37424802695", {id("37424802695")}},
        {"plain http, id last", "http://item.taobao.com/item.htm?spm=a1z10&id=37424802695", {id("37424802695")}},
        {"15 digits", "https://item.taobao.com/item.htm?id=123456789012345", {id("123456789012345")}},
        {"16 digits: no id", "https://item.taobao.com/item.htm?id=1234567890123456",
         {address("https://item.taobao.com/item.htm?id=1234567890123456")}},
        {"10 digits: no id", "https://item.taobao.com/item.htm?id=3742480269",
         {address("https://item.taobao.com/item.htm?id=3742480269")}},
        {"exactly the bound", "https://item.taobao.com/item.htm?id=10000000000",
         {address("https://item.taobao.com/item.htm?id=10000000000")}},
        {"leading zero", "https://item.taobao.com/item.htm?id=01234567890",
         {address("https://item.taobao.com/item.htm?id=01234567890")}},
        {"digits then letters", "https://item.taobao.com/item.htm?id=37424802695x",
         {address("https://item.taobao.com/item.htm?id=37424802695x")}},
        {"only keys that end in id", "https://detail.tmall.com/item.htm?skuId=4901234567890&suid=37424802695&ali_trackid=2:mm_1",
         {address("https://detail.tmall.com/item.htm?skuId=4901234567890&suid=37424802695&ali_trackid=2:mm_1")}},
        {"parameter names are exact", "https://item.taobao.com/item.htm?ID=37424802695&Id=37424802695",
         {address("https://item.taobao.com/item.htm?ID=37424802695&Id=37424802695")}},
        {"fragment after the id", "https://item.taobao.com/item.htm?id=37424802695#detail", {id("37424802695")}},
        {"id in the fragment is not sent", "https://item.taobao.com/item.htm?spm=1#id=37424802695",
         {address("https://item.taobao.com/item.htm?spm=1")}},
        {"share text", kShareText, {address(kShortLink)}},
        {"share text, link on its own line before a comma",
         "\xA1\xB8" "CONVERSE\xA1\xB9\r\nhttps://m.tb.cn/h.5zxz3j69cN5go4k\xA3\xAC\xB5\xE3\xBB\xF7",
         {address("https://m.tb.cn/h.5zxz3j69cN5go4k")}},
        {"affiliate link", "https://s.click.taobao.com/t?e=m%3D2%26s%3DAbC123%26pvid%3D10_1",
         {address("https://s.click.taobao.com/t?e=m%3D2%26s%3DAbC123%26pvid%3D10_1")}},
        {"quoted, with Chinese after it", "\"https://item.taobao.com/item.htm?id=37424802695\"\xB7\xAB",
         {id("37424802695")}},
        {"cut before Chinese",
         "https://item.taobao.com/item.htm?spm=1&title=\xB7\xAB\xB2\xBC&id=37424802695",
         {address("https://item.taobao.com/item.htm?spm=1&title=")}},
        {"two items in order",
         "https://detail.tmall.com/item.htm?id=623174277353 <https://item.taobao.com/item.htm?id=37424802695>",
         {id("623174277353"), id("37424802695")}},
        {"the same item twice", "https://item.taobao.com/item.htm?id=37424802695\r\nhttps://a.m.taobao.com/i37424802695.htm",
         {id("37424802695")}},
        {"the same link twice, then an item",
         std::string(kShareText) + "\n" + kShareText + " https://a.m.taobao.com/i20496648200.htm",
         {address(kShortLink), id("20496648200")}},
        {"an address inside another's query belongs to it", "https://s.click.taobao.com/t?u=http://item.taobao.com/item.htm?x=1",
         {address("https://s.click.taobao.com/t?u=http://item.taobao.com/item.htm?x=1")}},
        {"pasted without its scheme", "item.taobao.com/item.htm?id=37424802695", {id("37424802695")}},
        {"bare page without an id", "item.taobao.com/item.htm?spm=1", {address("item.taobao.com/item.htm?spm=1")}},
        {"a bare number names nothing", "37424802695", {}},
        {"id= outside an address names nothing", "id=37424802695", {}},
        {"tao token alone", "\xA3\xA4" "Ab3dE5gH7jK\xA3\xA4", {}},
        {"no scheme but file:", "file:///C:/x?id=37424802695", {}},
        {"user info is never fetched", "http://item.taobao.com@evil.example/x", {}},
        {"an address whose id is read is never fetched", "http://user@item.taobao.com/item.htm?id=37424802695",
         {id("37424802695")}},
        {"the trail byte of a Chinese character is no h", "\x81hTTP://item.taobao.com/item.htm?id=37424802695", {}},
        {"empty", "", {}},
    };
    for (const ReferenceCase& c : cases) {
        EXPECT_EQ(describe(readItemReferences(c.text)), describe(c.references)) << c.label;
    }
}

TEST(ItemReferences, TaoTokensAreFramedLettersAndDigits) {
    const std::pair<const char*, bool> cases[] = {
        {"\xA3\xA4" "Ab3dE5gH7jK\xA3\xA4", true},                  // ￥…￥
        {"7(\xA3\xA4hxWAcj3Yiqt\xA3\xA4)/:/", true},
        {"\x80" "Ab3dE5gH7jK\x80", true},                          // €…€, one byte in GBK
        {"$Ab3dE5gH7jK$", true},
        {"?Ab3dE5gH7jK?", true},                                   // a symbol GBK lacks
        {"(Ab3dE5gH7jK)", true},
        {"\xA3\xA8" "Ab3dE5gH7jK\xA3\xA9", true},                  // full-width brackets
        {"\xA1\xB6" "Ab3dE5gH7jK\xA1\xB6", true},                  // 《…《
        {"\xB8\xB4\xD6\xC6\xA3\xA4" "Ab3dE5gH7jK\xA3\xA4\xBA\xF3", true},  // inside a sentence
        {"\xA3\xA4" "12345678901\xA3\xA4", false},                 // digits only
        {"\xA3\xA4" "Ab3dE5g\xA3\xA4", false},                     // 7 characters
        {"\xA3\xA4" "Ab3dE5gH7jK1234567\xA3\xA4", false},          // 17 characters
        {"\xA3\xA4" "Ab3dE5gH7jK$", false},                        // two different frames
        {"/Ab3dE5gH7jK/", false},                                  // a path segment
        {"https://m.tb.cn/h.5zxz3j69cN5go4k?tk=XUymWKIqxIz MF6563", false},
        {"Ab3dE5gH7jK", false},
        {"", false},
    };
    for (const auto& [text, token] : cases) {
        EXPECT_EQ(holdsTaoToken(text), token) << text;
    }
}

TEST(HandOffPages, ScriptsNameWhereThePageSendsItsVisitor) {
    const std::pair<const char*, const char*> cases[] = {
        {"<script>var extraData = {\"title\":\"x\"};\nvar url = 'https://a.m.taobao.com/i20496648200.htm?price=369"
         "&sourceType=item&short_name=h.5zxz3j';\nvar invalidUrl = \"http://m.tb.cn/scanError.htm\";</script>",
         "https://a.m.taobao.com/i20496648200.htm?price=369&sourceType=item&short_name=h.5zxz3j"},
        {"var real_jump_address = 'https://s.click.taobao.com/t?e=m%3D2&amp;ref=&amp;et=1';",
         "https://s.click.taobao.com/t?e=m%3D2&ref=&et=1"},
        {"var real_jump_address=\"https://s.click.taobao.com/t?e=1&amp;amp;ref=&amp;amp;amp;et=1\"",
         "https://s.click.taobao.com/t?e=1&ref=&et=1"},
        {"var  url\t=  \"http://x.example/a&&amp;amp;b\"", "http://x.example/a&&b"},
        {"var status = \"false\";\nvar url = '';\nvar invalidUrl = \"http://m.tb.cn/scanError.htm\";", ""},
        {"var invalidUrl = \"http://m.tb.cn/scanError.htm\"; var urls = 'http://x/'; myvar url = 'http://y/'", ""},
        {"var url = 'http://unclosed/; var real_jump_address = \"http://closed/\"", "http://closed/"},
        {"var url = http://unquoted/", ""},
        {"", ""},
    };
    for (const auto& [page, handOff] : cases) {
        EXPECT_EQ(handOffAddress(page), handOff) << page;
    }
}

}  // namespace
}  // namespace quillane
