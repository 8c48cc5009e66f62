#pragma once
// The system's Internet cookie store, shared with the embedded browser and Internet Explorer.
#include <string>
#include <string_view>

namespace quillane {

// The cookie text the store would send to http://domain, HttpOnly cookies included;
// with cookieName, only that cookie as name=value (or empty).
std::string readStoreCookies(std::string_view domain, std::string_view cookieName = {});
std::string cookieByName(std::string& cookies, std::string_view name, bool valueOnly = false);

}  // namespace quillane
