// The address bar's text read as the page's address. Non-ASCII bytes are written as escapes:
// this test also builds natively, where no GBK execution character set exists.
#include "workflow/reading/address_bar_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using quillane::addressFromAddressBar;

struct BarCase {
    const char* shown;
    std::optional<std::string> address;
};

TEST(AddressBarText, ReadsWhatBrowsersShowAndRefusesWhatIsNoAddress) {
    const BarCase cases[] = {
        // Browsers leave the scheme out: https is put in front.
        {"item.taobao.com/item.htm?id=12345678901", "https://item.taobao.com/item.htm?id=12345678901"},
        {"localhost:8080/item.htm?id=1", "https://localhost:8080/item.htm?id=1"},
        {"detail.tmall.com", "https://detail.tmall.com"},
        {"  m.tb.cn/h.abc  ", "https://m.tb.cn/h.abc"},
        // A shown scheme stays as it is, in any case.
        {"http://item.taobao.com/item.htm?id=1", "http://item.taobao.com/item.htm?id=1"},
        {"HTTPS://Item.Taobao.com/x", "HTTPS://Item.Taobao.com/x"},
        // A path may show Chinese unescaped (GBK bytes).
        {"s.taobao.com/search?q=\xC1\xAC\xD2\xC2\xC8\xB9", "https://s.taobao.com/search?q=\xC1\xAC\xD2\xC2\xC8\xB9"},
        // Search words being typed, the browser's own pages, other schemes, broken hosts.
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"\xC1\xAC\xD2\xC2\xC8\xB9", std::nullopt},
        {"dress summer", std::nullopt},
        {"taobao", std::nullopt},
        {"item.taobao.com/item.htm?id=1 extra words", std::nullopt},
        {"chrome://newtab", std::nullopt},
        {"file:///C:/windows/win.ini", std::nullopt},
        {"about:blank", std::nullopt},
        {".taobao.com/x", std::nullopt},
        {"taobao.com./x", std::nullopt},
        {"\xC1\xAC.com/x", std::nullopt},
        {"item.taobao.com:/x", std::nullopt},
        {"item.taobao.com:123456/x", std::nullopt},
        {"item.taobao.com:80a/x", std::nullopt},
        {"https://", std::nullopt},
        {"item.taobao.com/a\tb", std::nullopt},
    };
    for (const BarCase& c : cases) {
        SCOPED_TRACE(c.shown);
        EXPECT_EQ(addressFromAddressBar(c.shown), c.address);
    }
}

}  // namespace
