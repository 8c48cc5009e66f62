// The item title as the member reads it: the reply's UTF-8 text with markup and entities out,
// in GBK. Texts are written as hex escapes (the native build has no GBK literals).
#include <gtest/gtest.h>

#include "tests/util/text/few_characters_gbk.h"
#include "util/text/readable_title.h"

namespace quillane {
namespace {

using test::fewCharactersToGbk;

struct TitleCase {
    const char* name;
    std::string utf8;
    std::string shown;
};

TEST(ReadableText, TakesOutMarkupAndEntitiesAndShowsGbk) {
    const TitleCase cases[] = {
        {"platform markup", "<span class=H>\xE8\xBF\x9E</span>\xE8\xA1\xA3 \"x\" a/b", "\xC1\xAC\xD2\xC2 \"x\" a/b"},
        {"a character without a GBK form, and one of four bytes", "a\xE0\xB8\x81" "b\xF0\x9F\x98\x80" "c", "a?b?c"},
        {"bytes that are no UTF-8", "a\xC1\xAC" "b\xE8\xBF" "c\xED\xA0\x80" "d\xC0\xAF", "a??b??c???d??"},
        {"a GBK form whose second byte is \"\\\" or \"<\"", "\xE4\xB9\x97<b>x\xE2\x82\xAC", "\x81\x5Cx\x80"},
        {"control characters are blanks", "a\nb\tc\r\nd\x01" "e", "a b c d e"},
        {"named entities", "a &amp; b &lt;c&gt; &quot;d&quot;", "a & b <c> \"d\""},
        {"entities undone once, after the tags", "&lt;b&gt;x &amp;lt;", "<b>x &lt;"},
        {"numeric entities", "&#36830;&#x8863;&#X88d9;&#8364;&#65;&#10;&#0;", "\xC1\xAC\xD2\xC2\xC8\xB9\x80" "A"},
        {"broken entities stay", "&#;&#x;&#12a;&amp &nbsp;&#99999999;", "&#;&#x;&#12a;&amp &nbsp;&#99999999;"},
        {"entities beyond Unicode or half a pair", "&#x110000;&#xD800;", "??"},
        {"< before a blank or a digit, and a lone >, are text", "a < b 1<2 and 3<=4 >0", "a < b 1<2 and 3<=4 >0"},
        {"an unclosed tag stays", "a <b c", "a <b c"},
        {"comments and closing tags go", "<!-- x -->a</i><br/>b", "ab"},
        {"blanks collapse and trim", "  a \t\n  b  ", "a b"},
        {"only markup", "<span class=H></span>", ""},
    };
    for (const TitleCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(readableText(c.utf8, fewCharactersToGbk), c.shown);
    }
}

}  // namespace
}  // namespace quillane
