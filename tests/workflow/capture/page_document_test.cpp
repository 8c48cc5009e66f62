// The page-document object against doc_view.exe, a real window of another process that
// answers "WM_HTML_GETOBJECT" the way Internet Explorer's document view does.
#include "workflow/capture/page_document.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "harness/doc_view_client.h"
#include "harness/ui_driver.h"
#include "util/owners.h"

namespace {

using quillane::PageDocument;
using quillane::test::DocViewProcess;
using quillane::test::DocViewSetup;
using quillane::test::PlainWindow;

constexpr char kItemPage[] = "http://item.taobao.com/item.htm?id=12345678901";
constexpr char kOtherItemPage[] = "http://detail.tmall.com/item.htm?spm=a220o.1000855&id=10987654321";

// The page-document object needs COM on its thread, as the program's start provides it.
class ComForTheTests : public ::testing::Environment {
public:
    void SetUp() override { apartment_.emplace(); }
    void TearDown() override { apartment_.reset(); }

private:
    std::optional<quillane::ComApartment> apartment_;
};
::testing::Environment* const comForTheTests = ::testing::AddGlobalTestEnvironment(new ComForTheTests);

DocViewSetup showing(const std::string& address) {
    DocViewSetup setup;
    setup.address = address;
    return setup;
}

TEST(PageDocument, AttachFindsTheDocumentFromTheViewOrAnyAncestor) {
    DocViewProcess browser(showing(kItemPage));
    ASSERT_TRUE(browser.ready()) << browser.failure();
    const HWND host = GetParent(browser.view());
    const HWND tab = GetParent(host);
    ASSERT_EQ(GetParent(tab), browser.frame());

    for (HWND target : {browser.view(), host, tab, browser.frame()}) {
        SCOPED_TRACE(::testing::Message() << "window " << target);
        PageDocument page;
        EXPECT_TRUE(page.attach(target));
        EXPECT_EQ(page.windowHandle(), target);
        EXPECT_EQ(page.readLocation(), kItemPage);
    }
}

TEST(PageDocument, FirstViewInChildOrderWinsOverAShallowerLaterOne) {
    DocViewSetup setup = showing(kItemPage);
    setup.secondAddress = kOtherItemPage;
    DocViewProcess browser(setup);
    ASSERT_TRUE(browser.ready()) << browser.failure();

    PageDocument page;
    EXPECT_EQ(page.findDocumentWindow(browser.frame()), browser.view(0));
    EXPECT_TRUE(page.attach(browser.frame()));
    EXPECT_EQ(page.readLocation(), kItemPage);
    // The second view answers as well: the search, not the view, made the choice above.
    EXPECT_TRUE(page.attach(browser.view(1)));
    EXPECT_EQ(page.readLocation(), kOtherItemPage);
}

TEST(PageDocument, NoDocumentBeforeAnyCapture) {
    DocViewProcess browser(showing(kItemPage));
    ASSERT_TRUE(browser.ready()) << browser.failure();
    PageDocument page;
    EXPECT_EQ(page.readLocation(), "");
    EXPECT_EQ(page.windowHandle(), nullptr);
    EXPECT_EQ(page.findDocumentWindow(nullptr), nullptr);

    // Another program's window with no page in or below it: the browser's address bar.
    EXPECT_FALSE(page.attach(browser.addressBar()));
    EXPECT_EQ(page.windowHandle(), browser.addressBar());
    EXPECT_EQ(page.readLocation(), "");
}

TEST(PageDocument, WindowWithoutViewKeepsTheEarlierPageAndFollowsItsNavigation) {
    DocViewProcess browser(showing(kItemPage));
    ASSERT_TRUE(browser.ready()) << browser.failure();
    PageDocument page;
    ASSERT_TRUE(page.attach(browser.frame()));

    EXPECT_TRUE(page.attach(browser.addressBar()));
    EXPECT_EQ(page.windowHandle(), browser.addressBar());
    EXPECT_EQ(page.readLocation(), kItemPage);

    ASSERT_TRUE(browser.navigate(kOtherItemPage));
    const PlainWindow plain(false, L"STATIC", L"no page here", 2);  // no document view anywhere
    EXPECT_TRUE(page.attach(plain.handle()));
    EXPECT_EQ(page.readLocation(), kOtherItemPage);
}

TEST(PageDocument, HandlesThatAreNoWindowChangeNothing) {
    DocViewProcess browser(showing(kItemPage));
    ASSERT_TRUE(browser.ready()) << browser.failure();
    HWND destroyed = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                     nullptr);
    DestroyWindow(destroyed);

    PageDocument page;
    ASSERT_TRUE(page.attach(browser.view()));
    for (HWND notAWindow : {static_cast<HWND>(nullptr), destroyed}) {
        SCOPED_TRACE(::testing::Message() << "handle " << notAWindow);
        EXPECT_FALSE(page.attach(notAWindow));
        EXPECT_EQ(page.windowHandle(), browser.view());
        EXPECT_EQ(page.readLocation(), kItemPage);
    }
}

TEST(PageDocument, HungViewGivesNoNewDocument) {
    DocViewProcess answering(showing(kItemPage));
    DocViewSetup hungSetup = showing(kOtherItemPage);
    hungSetup.hang = true;
    DocViewProcess hung(hungSetup);
    ASSERT_TRUE(answering.ready()) << answering.failure();
    ASSERT_TRUE(hung.ready()) << hung.failure();

    PageDocument fresh;
    EXPECT_FALSE(fresh.attach(hung.view()));
    EXPECT_EQ(fresh.readLocation(), "");

    PageDocument page;
    ASSERT_TRUE(page.attach(answering.view()));
    EXPECT_TRUE(page.attach(hung.frame()));
    EXPECT_EQ(page.windowHandle(), hung.frame());
    EXPECT_EQ(page.readLocation(), kItemPage);
}

TEST(PageDocument, ClosedBrowserLeavesAnEmptyAddressUntilTheNextCapture) {
    DocViewProcess closing(showing(kItemPage));
    ASSERT_TRUE(closing.ready()) << closing.failure();
    PageDocument page;
    ASSERT_TRUE(page.attach(closing.view()));
    closing.stop();
    EXPECT_EQ(page.readLocation(), "");

    DocViewProcess next(showing(kOtherItemPage));
    ASSERT_TRUE(next.ready()) << next.failure();
    EXPECT_TRUE(page.attach(next.frame()));
    EXPECT_EQ(page.readLocation(), kOtherItemPage);
}

TEST(PageDocument, AddressesComeBackAsExactGbkText) {
    const std::vector<std::string> addresses = {
        kItemPage,
        // The word for "Chinese text" in GBK, written out so that the expectation does not
        // depend on how this file was compiled.
        "http://s.taobao.com/search?q=\xD6\xD0\xCE\xC4&id=12345678901",
        "http://s.taobao.com/search?q=连衣裙%20夏&id=12345678901",
        "http://s.taobao.com/search?q=%E8%BF%9E%E8%A1%A3%E8%A3%99&id=12345678901",
        "http://shop.test/price?eur=\x80" "5&note=\"quoted\" text\\",  // euro sign, quotes, backslash
    };
    for (bool plainLocation : {false, true}) {
        SCOPED_TRACE(plainLocation ? "location as text" : "location as object");
        DocViewSetup setup = showing(addresses.front());
        setup.plainLocation = plainLocation;
        DocViewProcess browser(setup);
        ASSERT_TRUE(browser.ready()) << browser.failure();
        PageDocument page;
        ASSERT_TRUE(page.attach(browser.frame()));
        for (const std::string& address : addresses) {
            ASSERT_TRUE(browser.navigate(address));
            EXPECT_EQ(page.readLocation(), address);
        }
    }
}

}  // namespace
