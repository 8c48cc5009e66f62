#pragma once
// The member's login: what every request to the platform carries. The program keeps one, and
// replaces it as a whole when a harvest, a pasted session or a recovered login brings a newer
// one; between those, only the cookies that replies renew join it. What a single flow finds
// (an item, its link, the page under the mouse) travels in that flow's result, not here.
// Nothing is saved to disk.
#include <string>

namespace quillane {

struct SessionState {
    std::string harvestedStoreText;  // the store's text that the last successful harvest read
    std::string sessionCookies;   // sent with every platform request; merged with each reply's cookies
    std::string formToken;        // value of the cookie _tb_token_
    std::string siteId;
    std::string adzoneId;
};

}  // namespace quillane
