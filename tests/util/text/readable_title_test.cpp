// The item title as the member reads it: the raw JSON value of the reply, escapes, markup and
// entities undone. Texts are GBK, written as hex escapes (the native build has no GBK literals).
#include <gtest/gtest.h>

#include "util/text/readable_title.h"

namespace quillane {
namespace {

// A few characters with their GBK bytes; every other non-ASCII character has no GBK form here.
std::string fewCharactersToGbk(char32_t codePoint) {
    switch (codePoint) {
    case 0x8FDE: return "\xC1\xAC";  // 连
    case 0x8863: return "\xD2\xC2";  // 衣
    case 0x88D9: return "\xC8\xB9";  // 裙
    case 0x4E57: return "\x81\x5C";  // 乗: its trail byte is "\"
    case 0x20AC: return "\x80";      // the euro sign
    default: return {};
    }
}

struct TitleCase {
    const char* name;
    std::string raw;
    std::string shown;
};

TEST(ReadableTitle, UndoesEscapesMarkupAndEntities) {
    const TitleCase cases[] = {
        {"platform markup and escapes", "\"<span class=H>\xC1\xAC</span>\xD2\xC2 \\\"x\\\" a\\/b\"",
         "\"\xC1\xAC\xD2\xC2 \"x\" a/b\""},
        {"backslash escape", "\"a\\\\b\"", "\"a\\b\""},
        {"line break and tab are blanks", "\"a\\nb\\tc\\r\\nd\"", "\"a b c d\""},
        {"\\u of Chinese characters, either case", "\"\\u8fde\\u8863\\u88D9\"", "\"\xC1\xAC\xD2\xC2\xC8\xB9\""},
        {"\\u of ASCII markup is markup", "\"\\u003cb\\u003e\\u8fde\\u003c/b\\u003e\"", "\"\xC1\xAC\""},
        {"\\u without a GBK form", "\"a\\u0e01b\"", "\"a?b\""},
        {"surrogate pair is one character", "\"a\\ud83d\\ude00b\"", "\"a?b\""},
        {"lone surrogates", "\"\\udc00\\ud800x\"", "\"??x\""},
        {"\\u of a control character", "\"a\\u0000b\\u001fc\"", "\"a b c\""},
        {"broken \\u stays", "\"\\u12g4\\u12\"", "\"\\u12g4\\u12\""},
        {"unknown escape stays", "\"a\\qb\"", "\"a\\qb\""},
        {"trail byte \\ escapes nothing", "\"\x81\x5C\"tail\"", "\"\x81\x5C\""},
        {"trail byte \\ before n", "\"\x81\x5Cn\"", "\"\x81\x5Cn\""},
        {"lead byte without a trail byte", "\"a\x81\"x", "\"a\x81\""},
        {"named entities", "\"a &amp; b &lt;c&gt; &quot;d&quot;\"", "\"a & b <c> \"d\"\""},
        {"entity that spells a tag stays text", "\"&lt;b&gt;x\"", "\"<b>x\""},
        {"entities undone once", "\"&amp;lt;\"", "\"&lt;\""},
        {"numeric entities", "\"&#36830;&#x8863;&#X88d9;&#8364;&#65;\"", "\"\xC1\xAC\xD2\xC2\xC8\xB9\x80" "A\""},
        {"broken entities stay", "\"&#;&#x;&#12a;&amp &nbsp;&#99999999;\"", "\"&#;&#x;&#12a;&amp &nbsp;&#99999999;\""},
        {"entity beyond Unicode", "\"&#x110000;&#xD800;\"", "\"??\""},
        {"lone < and > stay", "\"a < b > c\"", "\"a < b > c\""},
        {"< before a digit or blank is text", "\"1<2 and 3<=4 >0\"", "\"1<2 and 3<=4 >0\""},
        {"unclosed tag stays", "\"a <b c\"", "\"a <b c\""},
        {"comment and closing tags go", "\"<!-- x -->a</i><br/>b\"", "\"ab\""},
        {"blanks collapse and trim", "\"  a \\t\\n  b  \"", "\"a b\""},
        {"only markup", "\"<span class=H></span>\"", "\"\""},
        {"empty title", "\"\"", "\"\""},
        {"no title at all", "", "\"\""},
        {"not a string", "null", "\"null\""},
        {"unterminated string", "\"abc\\", "\"abc\\\""},
        {"text after the closing quote is not title", "\"ab\" ,x", "\"ab\""},
        {"GBK text passes unchanged", "\"\xC1\xAC \x81\x5C\xD2\xC2\"", "\"\xC1\xAC \x81\x5C\xD2\xC2\""},
    };
    for (const TitleCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(readableTitle(c.raw, fewCharactersToGbk), c.shown);
    }
}

}  // namespace
}  // namespace quillane
