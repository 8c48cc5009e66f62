// 淘口令 for WeChat with the real quillane.exe against the simulated platform: with the box
// checked, a double-click, Home and a batch hand out the item's share text or its 淘口令; a
// reply without one falls back to the link and says so; unchecked, links as always.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "app/result_window.h"
#include "harness/browser-recorder/browser_log.h"
#include "harness/doc_view_client.h"
#include "tests/support/harvested_session.h"
#include "util/wide_text.h"

namespace quillane::test {
namespace {

using Modes = std::vector<std::pair<std::string, std::string>>;

constexpr const char* kShareItemId = "12345678901";

class ShareTextTest : public HarvestedSessionTest {
protected:
    void checkShareTokens(bool checked) {
        HWND box = session_->app().control(MainWindow::kShareTokenCheckId);
        if ((SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED) != checked) {
            session_->app().clickButton(MainWindow::kShareTokenCheckId);
        }
        ASSERT_TRUE(waitUntil([&] { return (SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED) == checked; }));
    }
    std::string itemAddress(const std::string& itemId = kShareItemId) { return sim().itemPage(itemId); }
    std::string link(const std::string& itemId = kShareItemId) { return sim().memberLink(itemId); }
};

// The simulator's tokens of an item: its own, and its coupon's.
std::string itemToken(const std::string& itemId = kShareItemId) {
    return "￥Tk" + itemId + "￥";
}
std::string couponToken(const std::string& itemId = kShareItemId) {
    return "￥Cp" + itemId + "￥";
}

const std::string kCouponText = "ABC\r\n【券后价】36.67元\r\n【优惠券】满40元减5元，2026-12-31前有效\r\n复制这条信息" +
                                couponToken() + "，打开手机淘宝即可领券购买\r\n";

struct DoubleClickCase {
    const char* label;
    Modes modes;
    bool checked;
    std::string clipboard;  // "" : the item's link
    std::string status;
};

TEST_F(ShareTextTest, DoubleClickCopiesTheShareTextOrSaysWhyTheLinkCameInstead) {
    const Modes coupon = {{"item", kShareItemId}, {"coupon", "1"}};
    const DoubleClickCase cases[] = {
        {"a coupon", coupon, true, kCouponText, kShareTextCopied},
        {"no coupon", {}, true,
         "ABC\r\n【券后价】41.67元\r\n复制这条信息" + itemToken() + "，打开手机淘宝即可购买\r\n", kShareTextCopied},
        {"an older reply without tokens", {{"tokens", "none"}}, true, "", kNoTaoTokenLinkCopied},
        {"a failed link request", {{"linkOk", "0"}}, true, "kept", kLinkFailure},
        {"unchecked: the link, as always", coupon, false, "", kLinkCopied},
    };
    for (std::size_t index = 0; index < std::size(cases); ++index) {
        const DoubleClickCase& c = cases[index];
        SCOPED_TRACE(c.label);
        // The links made in a session are kept per item: each case asks about an item of its own.
        const std::string itemId = "6666666660" + std::to_string(index);
        const auto ofItem = [&](std::string text) {
            for (std::size_t at = text.find(kShareItemId); at != std::string::npos; at = text.find(kShareItemId, at)) {
                text.replace(at, std::strlen(kShareItemId), itemId);
            }
            return text;
        };
        ASSERT_TRUE(sim().set({{"reset", "1"}, {"title", "ABC"}, {"commission", "12.5"}}));
        Modes modes;
        for (const auto& [key, value] : c.modes) {
            modes.emplace_back(key, ofItem(value));
        }
        ASSERT_TRUE(sim().set(modes));
        checkShareTokens(c.checked);
        session_->pasteItemText(itemAddress(itemId));
        ASSERT_EQ(session_->status(), "\"ABC\"的返利是12.5元！");
        replaceClipboardWith("kept");
        ASSERT_TRUE(session_->doubleClickItemBox());
        EXPECT_TRUE(session_->waitForStatus(c.status)) << session_->status();
        EXPECT_EQ(clipboardText(), c.clipboard.empty() ? link(itemId) : ofItem(c.clipboard));
    }
}

TEST_F(ShareTextTest, HomeWithTheBoxCheckedCopiesTheShareTextAndItsButtonStillOpensTheLink) {
    const std::string mark = uniqueBrowserMark();
    const std::string markedLink = sim().otherUrl("/elite/share?" + mark);
    ASSERT_TRUE(sim().set({{"item", kShareItemId}, {"coupon", "1"}, {"eliteUrl", markedLink}}));
    DocViewProcess page(DocViewSetup{.address = itemAddress()});
    ASSERT_TRUE(page.ready()) << page.failure();
    checkShareTokens(true);

    HWND result = session_->pressHomeAt(page.contentPoint());
    ASSERT_NE(result, nullptr) << "no result window; status: " << session_->status();
    EXPECT_EQ(resultText(result), "\"ABC\"的返利是12.5元！淘口令文案已经复制成功，可以直接粘贴到微信！");
    EXPECT_EQ(clipboardText(), kCouponText);
    PostMessageW(GetDlgItem(result, ResultWindow::kOpenLinkButtonId), BM_CLICK, 0, 0);
    EXPECT_TRUE(waitForBrowserLaunchesWith(mark, 1));
    EXPECT_EQ(browserLaunchesWith(mark), std::vector<std::string>{markedLink});
    closeResultWindow(result);

    ASSERT_TRUE(sim().set({{"tokens", "none"}}));
    result = session_->pressHomeAt(page.contentPoint());
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(resultText(result), "\"ABC\"的返利是12.5元！没有拿到淘口令，已复制返利链接！");
    EXPECT_EQ(clipboardText(), markedLink);
    EXPECT_TRUE(openLinkEnabled(result));
    closeResultWindow(result);
}

TEST_F(ShareTextTest, BatchWithTheBoxCheckedPutsEachItemsTokenWhereItsAddressStood) {
    const std::string coupled = "22222222222";
    const std::string dead = sim().otherUrl("/h.deadL1nk");
    const auto message = [&](const std::string& first, const std::string& second, const std::string& third) {
        return gbkToWide("今日好物\r\n1. " + first + " 连衣裙\r\n2. " + second + "，包邮\r\n3. " + third + " ") +
               L"\U0001F381";
    };
    const std::wstring pasted = message(itemAddress(), itemAddress(coupled), dead);
    ASSERT_TRUE(sim().set({{"item", coupled}, {"coupon", "1"}}));
    checkShareTokens(true);

    struct {
        const char* label;
        Modes modes;
        std::wstring clipboard;
    } cases[] = {
        {"tokens: the coupon's where there is one", {}, message(itemToken(), couponToken(coupled), dead)},
        {"replies without tokens: the links", {{"tokens", "none"}}, message(link(), link(coupled), dead)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(sim().set(c.modes));
        EXPECT_TRUE(session_->focusItemBox());
        session_->pasteItemText(pasted);
        ASSERT_TRUE(session_->waitForStatus("找到3件商品，双击即可全部转成您的返利链接！")) << session_->status();
        const POINT centre = session_->app().controlCentre(MainWindow::kItemEditId);
        doubleClickAt(centre.x, centre.y);
        EXPECT_TRUE(session_->waitForStatus("已转换2/3个链接（1个失败），已复制，可以直接粘贴！")) << session_->status();
        session_->waitUntilIdle();
        EXPECT_EQ(clipboardWideText(), c.clipboard);
    }
}

}  // namespace
}  // namespace quillane::test
