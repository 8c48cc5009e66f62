#include <gtest/gtest.h>

#include <string>

#include "harness/browser-recorder/browser_log.h"
#include "harness/message_box.h"
#include "harness/platform_sim_client.h"
#include "harness/quillane_app.h"
#include "harness/scripted_server.h"
#include "util/wide_text.h"

namespace quillane::test {
namespace {

std::string gbkPage(const std::string& body) {
    return httpResponse("HTTP/1.1 200 OK", "Content-Type: text/html; charset=gbk\r\n", body);
}

class PublisherNoticeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server_.listening()); }

    // Starts the program with its notice page on the scripted server and the publisher site
    // at an address carrying this test's mark.
    void startWithNoticePage(const std::string& reply) {
        server_.addReply(reply);
        startApp(server_.address("/notice.html"));
    }

    void startApp(const std::string& noticeUrl) {
        app_ = QuillaneApp::start({{L"QUILLANE_NOTICE_URL", gbkToWide(noticeUrl)},
                                   {L"QUILLANE_PUBLISHER_URL", gbkToWide(publisherSite_)},
                                   {L"QUILLANE_REQUEST_TIMEOUT_MS", std::to_wstring(kTestRequestTimeoutMs)}});
        ASSERT_NE(app_, nullptr) << "quillane.exe did not show its main window";
    }

    DWORD processId() { return app_->process().processId(); }

    // True once the main window's thread has finished the created event: a message sent to
    // the window is answered only by a message loop, the program's or a box's.
    bool startFinished(DWORD timeoutMs = 15000) {
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutW(app_->mainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored) != 0;
    }

    void expectNoNoticeBox() {
        ASSERT_TRUE(startFinished());
        EXPECT_EQ(findMessageBox(processId()), nullptr) << "a notice box appeared";
        EXPECT_TRUE(IsWindowEnabled(app_->mainWindow()));
    }

    ScriptedServer server_;
    const std::string mark_ = uniqueBrowserMark();
    // A plain address of another machine: the browser is sent there over HTTPS.
    const std::string publisherSite_ = "http://publisher.invalid/site/?from=quillane&m=" + mark_;
    const std::string publisherSiteOpened_ = "https://publisher.invalid/site/?from=quillane&m=" + mark_;
    std::unique_ptr<QuillaneApp> app_;
};

TEST_F(PublisherNoticeTest, YesOpensThePublisherSiteFromABoxOwnedByTheMainWindow) {
    startWithNoticePage(gbkPage("<html><body>今日公告++Welcome++</body></html>"));
    HWND box = waitForMessageBox(processId());
    ASSERT_NE(box, nullptr) << "no notice box";
    const MessageBoxSeen seen = readMessageBox(box);
    EXPECT_EQ(seen.text, "Welcome");
    EXPECT_EQ(seen.caption, "友情提醒");
    EXPECT_EQ(seen.buttonIds, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(seen.icon, nullptr) << "the notice box shows no icon";
    EXPECT_EQ(seen.owner, app_->mainWindow()) << "the only window of the program owns the box";
    EXPECT_TRUE(seen.ownerDisabled) << "the main window cannot be used while the box shows";

    ASSERT_TRUE(pressMessageBoxButton(box, IDYES));
    ASSERT_TRUE(waitForBrowserLaunchesWith(mark_, 1)) << "the publisher site was not opened";
    EXPECT_EQ(browserLaunchesWith(mark_), std::vector<std::string>{publisherSiteOpened_});
    EXPECT_TRUE(waitUntil([&] { return IsWindowEnabled(app_->mainWindow()); }));
    ASSERT_EQ(server_.requestCount(), 1u);
    EXPECT_EQ(server_.requests()[0].rfind("GET /notice.html HTTP/1.1\r\n", 0), 0u);
}

struct PageCase {
    const char* name;
    std::string reply;
    const char* expectedNotice;
};

TEST_F(PublisherNoticeTest, ShowsTheFirstNoticeWhereverThePageHoldsItAndNoOpensNothing) {
    const PageCase cases[] = {
        {"two notices", gbkPage("<p>公告++第一条++</p><p>公告++第二条++</p>"), "第一条"},
        {"no closing marker", gbkPage("<p>公告++never closed</p>"), ""},
        // Publishers' pages are mostly UTF-8; the engine hands the notice over as GBK.
        {"utf-8 page",
         httpResponse("HTTP/1.1 200 OK", "Content-Type: text/html; charset=utf-8\r\n",
                      "<p>\xE5\x85\xAC\xE5\x91\x8A++\xE6\xAC\xA2\xE8\xBF\x8E++</p>"),
         "欢迎"},
    };
    for (const PageCase& page : cases) {
        SCOPED_TRACE(page.name);
        startWithNoticePage(page.reply);
        HWND box = waitForMessageBox(processId());
        ASSERT_NE(box, nullptr) << "no notice box";
        EXPECT_EQ(readMessageBox(box).text, page.expectedNotice);
        ASSERT_TRUE(pressMessageBoxButton(box, IDNO));
        EXPECT_TRUE(waitUntil([&] { return findMessageBox(processId()) == nullptr; }));
        ASSERT_TRUE(startFinished());
        // Ends the program, so that anything it started has been started.
        PostMessageW(app_->mainWindow(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(app_->process().waitForExit(15000));
    }
    EXPECT_TRUE(browserLaunchesWith(mark_).empty()) << "No must not open the publisher site";
}

TEST_F(PublisherNoticeTest, NoNoticeOnThePageOrNoPageShowsNothing) {
    startWithNoticePage(gbkPage("<html>公告: none today ++</html>"));
    ASSERT_TRUE(server_.waitForRequests(1));
    expectNoNoticeBox();
    app_.reset();
    startApp("http://127.0.0.1:9/notice.html");  // nothing listens there
    expectNoNoticeBox();
}

// The publisher serves the notice over HTTPS, and the system checks the host's certificate as
// for the platform (the engine's tests hold the certificates it refuses).
TEST_F(PublisherNoticeTest, TheNoticeComesOverHttps) {
    PlatformSim sim;
    ASSERT_TRUE(sim.start());
    ASSERT_TRUE(sim.set({{"notice", "<p>公告++安全送达++</p>"}}));
    const std::string noticeUrl = sim.apiUrl("/notice.html");
    ASSERT_EQ(noticeUrl.rfind("https://", 0), 0u);
    startApp(noticeUrl);
    HWND box = waitForMessageBox(processId());
    ASSERT_NE(box, nullptr) << "no notice box";
    EXPECT_EQ(readMessageBox(box).text, "安全送达");
    pressMessageBoxButton(box, IDNO);
}

// The notice's page is fetched beside the window: a host that never answers holds neither the
// window nor the program's end, and a late page brings its box when it comes.
TEST_F(PublisherNoticeTest, ASilentNoticeHostHoldsNeitherTheWindowNorItsEnd) {
    server_.addReply(ScriptedReply().holdOpen());
    startApp(server_.address("/notice.html"));
    ASSERT_TRUE(server_.waitForRequests(1));
    EXPECT_TRUE(startFinished(1000)) << "the window waits for the notice";
    EXPECT_EQ(findMessageBox(processId()), nullptr);
    const POINT centre = centreOf(windowRect(app_->mainWindow()));
    moveMouse(centre.x, centre.y);
    pressKeys(L"Escape");
    EXPECT_TRUE(app_->process().waitForExit(1000)) << "still running 1 s after Esc";
}

TEST_F(PublisherNoticeTest, ALateNoticeComesAfterTheWindowWhenItsPageDoes) {
    server_.addReply(ScriptedReply().pause(1500).send(gbkPage("公告++late news++")));
    startApp(server_.address("/notice.html"));
    ASSERT_TRUE(server_.waitForRequests(1));
    EXPECT_TRUE(startFinished(1000)) << "the window waits for the notice";
    EXPECT_EQ(findMessageBox(processId()), nullptr) << "the box came before the page";
    HWND box = waitForMessageBox(processId());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(readMessageBox(box).text, "late news");
    pressMessageBoxButton(box, IDNO);
}

}  // namespace
}  // namespace quillane::test
