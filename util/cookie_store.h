#pragma once
// The system's Internet cookie store, shared with the embedded browser and Internet Explorer.
#include <string>
#include <string_view>

namespace quillane {

// The cookie text the store would send to https://domain, HttpOnly cookies included;
// with cookieName, only that cookie as name=value (or empty).
std::string readStoreCookies(std::string_view domain, std::string_view cookieName = {});
// The address the store is asked with for a cookie domain: https, since the platform's session
// cookies are Secure and the store keeps them from any http:// address (Wine's does not, so only
// the address shows it). A domain written with its leading dot, as cookie files name it, is
// asked for without it.
std::string storeAddressOf(std::string_view domain);
std::string cookieByName(std::string& cookies, std::string_view name, bool valueOnly = false);

}  // namespace quillane
