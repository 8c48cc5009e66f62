// A pasted message of several items turned into the member's links with one double-click, with
// the real quillane.exe against the simulated platform: what lands on the clipboard, what the
// status label says, and a window that stays alive while the batch waits for the platform.
#include <gtest/gtest.h>

#include <memory>

#include "sim/platform_sim/defaults.h"
#include "tests/support/harvested_session.h"
#include "tests/support/sim_requests.h"
#include "util/wide_text.h"
#include "workflow/batch_conversion.h"

namespace quillane::test {
namespace {

using Modes = std::vector<std::pair<std::string, std::string>>;

// One piece of a message: plain text, or an address and the item whose link replaces it
// (none: it stays as it is).
struct Part {
    std::wstring text;
    std::string address;
    std::string itemId;
};

class BatchConversionTest : public HarvestedSessionTest {
protected:
    std::string link(const std::string& itemId) { return sim().memberLink(itemId); }
    std::wstring message(const std::vector<Part>& parts, bool linked) {
        std::wstring text;
        for (const Part& part : parts) {
            text += part.address.empty()                      ? part.text
                    : linked && !part.itemId.empty() ? gbkToWide(link(part.itemId))
                                                              : gbkToWide(part.address);
        }
        return text;
    }
    // As a paste does: one change of the box's content, with text that GBK may lack. The box
    // has the focus first, so that the double-click after it does not empty it.
    void paste(const std::wstring& text) {
        EXPECT_TRUE(session_->focusItemBox());
        session_->pasteItemText(text);
    }
    void doubleClickBox() { session_->startDoubleClick(); }
};

struct BatchCase {
    const char* label;
    std::vector<Part> parts;
    std::string found;  // the status label after the paste
    std::string done;   // after the double-click
    int linkRequests;  // -1: not counted (requests racing with the one that tells)
    Modes modes = {};
};

TEST_F(BatchConversionTest, EveryItemOfAMessageBecomesTheMembersLink) {
    const std::string shareLink = sim().otherUrl(std::string(platform_sim::kDefaultShortLink) + "?tk=XUymWKIqxIz");
    const std::string shareItem = platform_sim::kDefaultShortLinkItemId;
    const std::string first = sim().otherUrl("/item.htm?id=11111111111");
    const std::string second = sim().otherUrl("/i22222222222.htm?spm=a1");
    const std::string dead = sim().otherUrl("/h.deadL1nk");
    std::vector<Part> sixty;
    for (int item = 10; item < 70; ++item) {
        const std::string itemId = "100000000" + std::to_string(item);
        sixty.push_back({L"\r\n", {}, {}});
        sixty.push_back({{}, sim().otherUrl("/item.htm?id=" + itemId), item < 60 ? itemId : ""});
    }
    const BatchCase cases[] = {
        {"one item: a lookup, then its link", {{{}, first, "11111111111"}},
         "\"ABC\"的返利是12.5元！", kLinkCopied, 1},
        {"two, between Chinese text, CRLF, a 淘口令 and an emoji",
         {{L"\u4ECA\u65E5\U0001F525 \uFFE5Ab3dE5gH7jK\uFFE5\r\n1.", {}, {}},
          {{}, first, "11111111111"},
          {L"\uFF0C\u5305\u90AE\r\n2.\u3010\u6DD8\u5B9D\u3011", {}, {}},
          {{}, second, "22222222222"},
          {L" \U0001F381", {}, {}}},
         "找到2件商品，双击即可全部转成您的返利链接！", "已转换2个链接，已复制，可以直接粘贴！", 2},
        {"duplicates: the same address twice, and a short link to an item named by address",
         {{{}, first, "11111111111"}, {L" ", {}, {}}, {{}, shareLink, shareItem}, {L" ", {}, {}},
          {{}, first, "11111111111"}, {L" ", {}, {}}, {{}, sim().otherUrl("/i" + shareItem + ".htm"), shareItem}},
         "找到3件商品，双击即可全部转成您的返利链接！", "已转换3个链接，已复制，可以直接粘贴！", 2},
        {"mixed shapes: share text, affiliate link, Tmall address, suid before id",
         {{L"\u3010\u6DD8\u5B9D\u3011", {}, {}}, {{}, shareLink, shareItem},
          {L" \u300CCONVERSE\u300D\n", {}, {}}, {{}, sim().otherUrl("/t?e=AbC44556677889"), "44556677889"},
          {L"\n", {}, {}}, {{}, "https://detail.tmall.com/item.htm?id=55667788990&skuId=4211", "55667788990"},
          {L"\n", {}, {}}, {{}, "https://item.taobao.com/item.htm?suid=86418463827&id=66778899001", "66778899001"}},
         "找到4件商品，双击即可全部转成您的返利链接！", "已转换4个链接，已复制，可以直接粘贴！", 4},
        {"a failing item keeps its text", {{{}, first, "11111111111"}, {L"\n", {}, {}}, {{}, dead, ""}},
         "找到2件商品，双击即可全部转成您的返利链接！", "已转换1/2个链接（1个失败），已复制，可以直接粘贴！", 1},
        {"none resolvable: the clipboard unchanged",
         {{{}, dead, ""}, {L"\n", {}, {}}, {{}, sim().otherUrl("/h.deadL1nk2"), ""}},
         "找到2件商品，双击即可全部转成您的返利链接！", kBatchNoneConverted, 0},
        {"sixty: the first fifty converted, the rest counted as not", sixty,
         "找到60件商品，双击即可全部转成您的返利链接！", "已转换50/60个链接（10个失败），已复制，可以直接粘贴！", 50},
        {"an expired login stops the batch", {{{}, first, ""}, {L" ", {}, {}}, {{}, second, ""}},
         "找到2件商品，双击即可全部转成您的返利链接！", kLoginExpired, -1, {{"session", "expired"}}},
    };
    for (const BatchCase& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(sim().set(c.modes));
        ASSERT_TRUE(sim().clearLog());
        replaceClipboardWith("kept");
        paste(message(c.parts, false));
        ASSERT_TRUE(session_->waitForStatus(c.found)) << session_->status();
        doubleClickBox();
        EXPECT_TRUE(session_->waitForStatus(c.done)) << session_->status();
        session_->waitUntilIdle();
        const bool copied = c.done != kBatchNoneConverted && c.done != kLoginExpired;
        EXPECT_EQ(clipboardWideText(), copied ? message(c.parts, true) : L"kept");
        if (c.linkRequests >= 0) {
            EXPECT_EQ(sim().requestsTo(kLinkPath).size(), static_cast<std::size_t>(c.linkRequests));
        }
    }
}

// The cookies that link replies renew travel on with the session, after a single link as
// after a batch.
TEST_F(BatchConversionTest, CookiesRenewedByLinkRepliesReachTheNextRequest) {
    // Only the link's reply renews a cookie: the lookup before it must not bring it. The
    // lookup asks for the link as soon as its search is answered, so the search is held back
    // until the cookie is set (the simulator takes its settings as a request arrives).
    const auto linkOfOneItem = [&](const std::string& itemId, const std::string& renewedByTheLink) {
        const std::size_t searches = sim().requestsTo(kSearchPath).size();
        EXPECT_TRUE(sim().set({{"fault", "delay:1000"}, {"on", "search"}, {"times", "1"}}));
        EXPECT_TRUE(session_->focusItemBox());
        const std::wstring address = gbkToWide(sim().otherUrl("/item.htm?id=" + itemId));
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(session_->app().control(MainWindow::kItemEditId), WM_SETTEXT, 0,
                            reinterpret_cast<LPARAM>(L""), SMTO_NORMAL, 5000, &ignored);
        SendMessageTimeoutW(session_->app().control(MainWindow::kItemEditId), EM_REPLACESEL, TRUE,
                            reinterpret_cast<LPARAM>(address.c_str()), SMTO_NORMAL, 5000, &ignored);
        EXPECT_TRUE(waitUntil([&] { return sim().requestsTo(kSearchPath).size() > searches; }));
        EXPECT_TRUE(sim().set({{"replyCookie", renewedByTheLink}}));
        session_->waitUntilIdle();
        EXPECT_TRUE(sim().set({{"replyCookie", ""}}));
        doubleClickBox();
        return session_->waitForStatus(kLinkCopied);
    };
    ASSERT_TRUE(linkOfOneItem("33333333333", "single=yes; Path=/")) << session_->status();
    ASSERT_TRUE(sim().set({{"replyCookie", "batch=yes; Path=/"}}));
    paste(gbkToWide(sim().otherUrl("/item.htm?id=11111111111") + " " + sim().otherUrl("/i22222222222.htm")));
    ASSERT_TRUE(session_->waitForStatus("找到2件商品，双击即可全部转成您的返利链接！"));
    doubleClickBox();
    ASSERT_TRUE(session_->waitForStatus(batchConvertedText(2, 2)));
    ASSERT_TRUE(sim().set({{"replyCookie", ""}}));
    ASSERT_TRUE(linkOfOneItem("44444444444", "")) << session_->status();
    const std::string cookies = lastRequestTo(sim(), kLinkPath).cookieHeader();
    EXPECT_NE(cookies.find("single=yes"), std::string::npos) << cookies;
    EXPECT_NE(cookies.find("batch=yes"), std::string::npos) << cookies;
}

TEST_F(BatchConversionTest, TheWindowAnswersDuringASlowBatchAndEscEndsTheProgramAtOnce) {
    ASSERT_TRUE(sim().set({{"fault", "delay:20000"}, {"on", "link"}}));
    std::wstring text;
    for (int item = 11; item < 17; ++item) {
        text += gbkToWide(sim().otherUrl("/item.htm?id=100000000" + std::to_string(item))) + L"\r\n";
    }
    paste(text);
    ASSERT_TRUE(session_->waitForStatus("找到6件商品，双击即可全部转成您的返利链接！"));
    doubleClickBox();
    ASSERT_TRUE(session_->waitForStatus("正在转换 0/6…"));
    ASSERT_TRUE(waitUntil([&] { return sim().requestsTo(kLinkPath).size() == kMaxRequestsInFlight; }));

    HWND window = session_->app().mainWindow();
    DWORD_PTR ignored = 0;
    EXPECT_NE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &ignored), 0) << "the window is frozen";
    session_->app().clickButton(MainWindow::kOnTopCheckId);
    EXPECT_TRUE(waitUntil([&] { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }, 2000));
    // A second double-click and Home are ignored while the batch runs: no run starts that
    // the batch's result would then overwrite.
    doubleClickBox();
    pressKeys(L"Home");
    EXPECT_TRUE(session_->answersWithin(1000));
    EXPECT_EQ(session_->status(), "正在转换 0/6…");

    DWORD exitCode = STILL_ACTIVE;
    EXPECT_TRUE(session_->endsAtEscape(1000, &exitCode)) << "still running 1 s after Esc";
    EXPECT_EQ(exitCode, 0u);
    // The two items left never went out: no more than four were in flight.
    EXPECT_EQ(sim().requestsTo(kLinkPath).size(), kMaxRequestsInFlight);
}

}  // namespace
}  // namespace quillane::test
