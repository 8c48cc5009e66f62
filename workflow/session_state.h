#pragma once
// The member's session: what a run of the program keeps between the member's actions. One
// structure, owned by the program from start to exit; a workflow routine takes it and returns
// the session after its run, which the program keeps. Nothing is saved to disk.
#include <windows.h>

#include <string>

#include "workflow/reading/share_text.h"

namespace quillane {

struct SessionState {
    std::string storeCookieText;  // the platform domain's cookies as last read from the store
    std::string harvestedStoreText;  // the store's text that the last successful harvest read
    std::string sessionCookies;   // sent with every platform request; merged with each reply's cookies
    std::string formToken;        // value of the cookie _tb_token_
    std::string adzoneReply;      // the last ad-zone service reply
    std::string siteId;
    std::string adzoneId;
    std::string itemId;           // the item last looked up
    ItemOffer offer;              // its title, price and coupon, for a share text
    std::string affiliateLink;    // the link of the last successful link request
    HWND cursorWindow = nullptr;  // the window under the mouse at the last Home press
    std::string capturedAddress;  // the address of the page under the mouse at the last Home press
};

}  // namespace quillane
