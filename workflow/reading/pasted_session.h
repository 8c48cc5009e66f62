#pragma once
// A Cookie request header copied from a browser's developer tools and pasted into the item box:
// the member's session, for when the built-in login cannot be used. The header is the only
// place where a browser shows the HttpOnly cookies (cookie2 among them) that the platform needs.
#include <string>
#include <string_view>

namespace quillane {

struct PastedSession {
    enum class Kind {
        NotASession,  // an item text, or any text that is not a Cookie header
        Incomplete,   // a Cookie header without _tb_token_ or cookie2: nothing can be asked with it
        Session,
    };
    Kind kind = Kind::NotASession;
    // The cookies as a cookie text ("name=value; name=value"), when kind is Session.
    std::string cookies;
};

// Reads the box's text (GBK) as a Cookie header: optionally "Cookie:" (any case) first, then
// name=value pairs separated by ";", with blanks and line breaks around them. It counts as a
// header when it says "Cookie:", holds two pairs or more, or names the platform's token or
// session cookie; a single "a=b" is just text. A text that names an item is an item text, even
// when it also holds pairs: the member's paste of an item never turns into a login.
PastedSession readPastedSession(std::string_view text);

}  // namespace quillane
