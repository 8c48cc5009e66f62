// A Cookie header pasted into the item box. Non-ASCII bytes are written as escapes: this test
// also builds natively, where no GBK execution character set exists.
#include <gtest/gtest.h>

#include "workflow/reading/pasted_session.h"

namespace quillane {
namespace {

using Kind = PastedSession::Kind;

TEST(PastedSession, ReadsTheHeaderAsDeveloperToolsShowIt) {
    const std::string full = "t=8d0f; _tb_token_=e5a3f1; cookie2=1c9b3e";
    const struct {
        const char* pasted;
        Kind kind;
        const char* cookies;
    } cases[] = {
        {"t=8d0f; _tb_token_=e5a3f1; cookie2=1c9b3e", Kind::Session, full.c_str()},
        {"Cookie: t=8d0f; _tb_token_=e5a3f1; cookie2=1c9b3e", Kind::Session, full.c_str()},
        {"cookie:t=8d0f;_tb_token_=e5a3f1;cookie2=1c9b3e;", Kind::Session, full.c_str()},
        {"\r\n  COOKIE:  t=8d0f;\r\n _tb_token_=e5a3f1;\tcookie2=1c9b3e \r\n", Kind::Session, full.c_str()},
        // Values as the platform sets them: base64 padding, percent escapes, "&" lists.
        {"_tb_token_=e5a3f1; cookie2=1c9b3e; uc1=cookie14=UoYc%3D%3D&existShop=false; sgcookie=E100+/x==",
         Kind::Session, "_tb_token_=e5a3f1; cookie2=1c9b3e; uc1=cookie14=UoYc%3D%3D&existShop=false; sgcookie=E100+/x=="},
        // Reads as a header but lacks what the platform needs.
        {"t=8d0f; cookie2=1c9b3e", Kind::Incomplete, ""},
        {"Cookie: t=8d0f; _tb_token_=e5a3f1", Kind::Incomplete, ""},
        {"_tb_token_=; cookie2=1c9b3e", Kind::Incomplete, ""},
        {"Cookie: cna=abc", Kind::Incomplete, ""},
        {"_tb_token_=e5a3f1", Kind::Incomplete, ""},
        {"Cookie:", Kind::NotASession, ""},
        // Not a header at all.
        {"", Kind::NotASession, ""},
        {"a=b", Kind::NotASession, ""},
        {"t=8d0f; _tb_token_=e5a3f1 cookie2=1c9b3e", Kind::NotASession, ""},  // a blank inside a value
        {"=x; _tb_token_=e5a3f1; cookie2=1c9b3e", Kind::NotASession, ""},
        {"_tb_token_=e5a3f1; cookie2=\xD6\xD0\xCE\xC4", Kind::NotASession, ""},
        {"\xA3\xA4" "Ab3dE5gH7jK" "\xA3\xA4", Kind::NotASession, ""},
        // A text that names an item is an item text, whatever pairs it also holds.
        {"https://item.taobao.com/item.htm?id=12345678901", Kind::NotASession, ""},
        {"_tb_token_=e5a3f1; cookie2=1c9b3e; https://item.taobao.com/item.htm?id=12345678901", Kind::NotASession, ""},
        {"item.taobao.com/item.htm?id=12345678901&_tb_token_=e5a3f1;cookie2=1c9b3e", Kind::NotASession, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pasted);
        const PastedSession read = readPastedSession(c.pasted);
        EXPECT_EQ(read.kind, c.kind);
        EXPECT_EQ(read.cookies, c.cookies);
    }
}

}  // namespace
}  // namespace quillane
