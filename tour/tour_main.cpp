// tour.exe: walks the member's whole road through a running quillane.exe with real clicks,
// keys and a real paste on the display, as a member would: harvest the session keys, paste
// an item address, double-click for the link, log in again after the login expired (the next
// lookup harvests the new login by itself), paste the marketplace app's share text (its
// short link leads to another item), paste a group message of five items and convert them
// all with one double-click, press Home over the item page in the stand-in
// Internet Explorer window, open the link, check 淘口令 and copy share texts for WeChat (with a
// double-click and with Home), end the program. After each step it prints what
// the windows and the clipboard show, photographs the screen, and compares what it saw with
// what the member should see. scripts/run starts the simulated platform, logs the member in,
// starts the stand-in window and quillane.exe before the tour, and stops them after it.
//
//   tour.exe <simulator port> <item id of the stand-in window's page> <screenshot folder> [--scale]
//
// With --scale (scripts/run runs it once more after the tour, with the display at 150 %) it walks
// only the start, the harvest and the paste, at the display's scale, whose number the
// screenshots carry in their names.
//
// The screenshot folder is a Unix path: ImageMagick's import, a Unix program, writes there.
// Exit code 0 when every step showed what it should; 1 at the first step that did not (the
// tour stops there, since each step builds on the one before); 2 on bad arguments.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_window.h"
#include "app/result_window.h"
#include "sim/doc_view/protocol.h"
#include "sim/platform_sim/defaults.h"
#include "harness/browser-recorder/browser_log.h"
#include "harness/browser_view_client.h"
#include "workflow/member_texts.h"
#include "workflow/service_paths.h"
#include "app/display_scale.h"
#include "harness/message_box.h"
#include "harness/platform_sim_client.h"
#include "harness/ui_driver.h"
#include "harness/unix_program.h"
#include "harness/wait.h"
#include "util/wide_text.h"
#include "util/owners.h"

namespace quillane::tour {
namespace {

using namespace quillane::test;

// The item the tour pastes; the stand-in window shows another one, named by scripts/run.
constexpr const char* kPastedItemId = "41526374859";
// An item with a coupon, looked up first in the 淘口令 step: the links made in a session are
// kept per item, with the 淘口令 their replies carried.
constexpr const char* kCouponItemId = "52637485960";
// Generous: the first request of a fresh Wine prefix is slow.
constexpr DWORD kStepTimeoutMs = 30000;
// Around the windows in the screenshots.
constexpr int kShotMargin = 12;

// Lines go out as UTF-8 bytes, unchanged, whatever the console's code page: the reader is a
// Unix terminal or a log file.
void print(const std::string& gbkLine) {
    const std::string bytes = gbkToUtf8(gbkLine) + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// The simulator's item as the member reads it: its title without the platform's markup and
// JSON escapes, then the commission.
constexpr const char* kDefaultItemTitle = "\"连衣裙夏季新款 \"显瘦\" 女装/碎花\"";

std::string rebateOfDefaultItem() {
    return kDefaultItemTitle + std::string(kRebateIs) + platform_sim::kDefaultCommission;
}

HWND firstDescendantOfClass(HWND parent, const wchar_t* className) {
    struct Search {
        const wchar_t* className;
        HWND found;
    } search{className, nullptr};
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM data) -> BOOL {
            auto* state = reinterpret_cast<Search*>(data);
            if (windowClass(window) == state->className) {
                state->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForTopLevelWindow(const wchar_t* className) {
    HWND found = nullptr;
    waitUntil([&] { return (found = FindWindowW(className, nullptr)) != nullptr && IsWindowVisible(found); },
              kStepTimeoutMs);
    return found;
}

class Tour {
public:
    Tour(int port, int tlsPort, std::string pageItemId, std::string screenshotFolder, bool atScale)
        : port_(port), pageItemId_(std::move(pageItemId)), screenshotFolder_(std::move(screenshotFolder)),
          atScale_(atScale) {
        sim_.attach(port_, tlsPort);
    }
    Tour(const Tour&) = delete;
    Tour& operator=(const Tour&) = delete;

    int run();

private:
    bool start();
    bool harvest();
    bool paste();
    bool link();
    bool loginAgain();
    // The member goes to another window, so that the item box gains the focus anew (and is
    // emptied) at the next click into it; false when the other window did not take the focus.
    bool leaveTheBox();
    bool shareText();
    bool groupMessage();
    // Pastes the text into the item box as the member does; true when the status label then
    // shows what it should (by default the pasted item found).
    bool pasteIntoBox(const std::string& text, const std::string& shot, std::string expected = {});
    // Double-clicks the box; true when the link to the item is on the clipboard.
    bool copyLink(const std::string& itemId);
    bool homeOverChromium();
    bool home();
    // Home with the mouse over a page showing the item: the result window (kept in result_)
    // and the clipboard must show that item.
    bool pressHomeOver(POINT page, const std::string& itemId);
    bool openLink();
    bool shareInWeChat();
    bool end();
    // Quillane closed as the member closes it.
    bool close();

    // Prints one thing the member sees.
    void show(const std::string& what, const std::string& seen);
    // Prints it and, when it differs from what the member should see, that too.
    bool expect(const std::string& what, const std::string& seen, const std::string& expected);
    // Photographs the windows once the picture on the display has settled.
    bool screenshot(const std::string& step);

    std::string itemAddress(const std::string& itemId) const {
        return platform_sim::otherHostAddress(port_) + "/item.htm?id=" + itemId;
    }
    std::string linkFor(const std::string& itemId) const {
        return platform_sim::otherHostAddress(port_) + "/elite?auctionid=" + itemId +
               "&adzoneid=" + platform_sim::kDefaultAdzoneId + "&siteid=" + platform_sim::kDefaultSiteId;
    }
    std::string status() const { return windowText(control(MainWindow::kStatusLabelId)); }
    HWND control(int id) const { return GetDlgItem(main_, id); }
    // No run of the member's in flight any more: every result is shown.
    void waitUntilIdle() const {
        const UINT runsInFlight = RegisterWindowMessageW(MainWindow::kRunsInFlightMessage);
        waitUntil(
            [&] {
                DWORD_PTR runs = 1;
                return SendMessageTimeoutW(main_, runsInFlight, 0, 0, SMTO_NORMAL, kStepTimeoutMs, &runs) && runs == 0;
            },
            kStepTimeoutMs);
    }

    int port_;
    PlatformSim sim_;
    std::string pageItemId_;
    std::string screenshotFolder_;
    HWND main_ = nullptr;
    DWORD processId_ = 0;
    KernelHandle process_;
    HWND addressBar_ = nullptr;
    HWND pageView_ = nullptr;
    HWND result_ = nullptr;
    RECT shotArea_{};
    int shots_ = 0;
    bool atScale_;
};

int Tour::run() {
    struct Step {
        const char* title;
        bool (Tour::*walk)();
    };
    const Step steps[] = {
        {"quillane.exe has started against the simulated platform; the member is logged in", &Tour::start},
        {"Press 获取关键信息: the session keys are harvested", &Tour::harvest},
        {"Paste an item address into the item box", &Tour::paste},
        {"Double-click the item box: the member's link", &Tour::link},
        {"The login expires, the member logs in again; the next paste works without 获取关键信息", &Tour::loginAgain},
        {"Paste the marketplace app's share text, double-click: its short link led to the item", &Tour::shareText},
        {"Paste a group message of five items, double-click: every item becomes the member's link",
         &Tour::groupMessage},
        {"Point at the item page in the stand-in Chromium window, press Home", &Tour::homeOverChromium},
        {"Point at the item page in the stand-in Internet Explorer window, press Home", &Tour::home},
        {"Press 打开返利链接 in the result window", &Tour::openLink},
        {"Check 淘口令, paste an item with a coupon, double-click, then Home: share texts for WeChat",
         &Tour::shareInWeChat},
        {"Press 关闭隐藏程序 in the result window", &Tour::end},
    };
    const Step stepsAtScale[] = {
        {"quillane.exe has started at the display's scale; the member is logged in", &Tour::start},
        {"Press 获取关键信息: the session keys are harvested", &Tour::harvest},
        {"Paste an item address into the item box", &Tour::paste},
        {"Close Quillane", &Tour::close},
    };
    const Step* walk = atScale_ ? stepsAtScale : steps;
    const int count = atScale_ ? static_cast<int>(std::size(stepsAtScale)) : static_cast<int>(std::size(steps));
    print("Quillane tour: the member's road against the simulated platform on 127.0.0.1:" + std::to_string(port_));
    print("Screenshots: " + screenshotFolder_);
    for (int index = 0; index < count; ++index) {
        print("");
        print(std::to_string(index + 1) + ". " + walk[index].title);
        if (!(this->*walk[index].walk)()) {
            print("   NOT what the member should see: the tour stops here.");
            return 1;
        }
        print("   ok");
    }
    print("");
    print("The tour passed: all " + std::to_string(count) + " steps showed what the member should see.");
    return 0;
}

bool Tour::start() {
    main_ = waitForTopLevelWindow(MainWindow::kClassName);
    HWND frame = waitForTopLevelWindow(docview::kFrameClass);
    if (main_ == nullptr || frame == nullptr) {
        show("windows", main_ == nullptr ? "no Quillane main window came" : "no stand-in browser window came");
        return false;
    }
    GetWindowThreadProcessId(main_, &processId_);
    process_.reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId_));
    if (!process_ || WaitForInputIdle(process_.get(), kStepTimeoutMs) != 0) {
        show("quillane.exe", "does not answer");
        return false;
    }
    // The publisher notice is fetched while the window is created; idle means it is done.
    waitUntilIdle();
    addressBar_ = FindWindowExW(frame, nullptr, L"Edit", nullptr);
    pageView_ = firstDescendantOfClass(frame, docview::kDocumentViewClass);

    bool ok = expect("main window", windowText(main_), kMainCaption);
    ok = expect("status label", status(), kStartStatus) && ok;
    ok = expect("button", windowText(control(MainWindow::kHarvestButtonId)), kHarvestButton) && ok;
    ok = expect("notice box", findMessageBox(processId_) == nullptr ? "none" : "shown", "none") && ok;
    ok = expect("stand-in browser shows", windowText(addressBar_), itemAddress(pageItemId_)) && ok;
    ok = expect("its document view", pageView_ != nullptr ? "present" : "missing", "present") && ok;

    // Every screenshot frames the same area: the stand-in browser and the full main window.
    const RECT mainRect = windowRect(main_);
    const RECT frameRect = windowRect(frame);
    UnionRect(&shotArea_, &mainRect, &frameRect);
    InflateRect(&shotArea_, kShotMargin, kShotMargin);
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&shotArea_, &shotArea_, &screen);
    return screenshot("start") && ok;
}

bool Tour::harvest() {
    const POINT button = centreOf(windowRect(control(MainWindow::kHarvestButtonId)));
    clickAt(button.x, button.y);
    HWND box = waitForMessageBox(processId_, kStepTimeoutMs);
    if (box == nullptr) {
        show("message box", "none came");
        show("status label", status());
        return false;
    }
    const MessageBoxSeen seen = readMessageBox(box);
    bool ok = expect("message box caption", seen.caption, kMessageCaption);
    ok = expect("message box", seen.text, kHarvestSuccess) && ok;
    ok = expect("status label", status(),
                std::string(kIdsPrefix) + platform_sim::kDefaultSiteId + "|" + platform_sim::kDefaultAdzoneId) &&
         ok;
    ok = screenshot("harvest") && ok;

    const POINT okButton = centreOf(windowRect(GetDlgItem(box, IDOK)));
    clickAt(okButton.x, okButton.y);
    ok = expect("after OK, the box", waitUntil([&] { return !IsWindow(box); }) ? "closed" : "still open", "closed") &&
         ok;
    waitUntilIdle();
    const bool browserShown = IsWindowVisible(control(MainWindow::kBrowserId)) != FALSE;
    ok = expect("embedded browser", browserShown ? "shown" : "hidden", "hidden") && ok;
    const RECT mainRect = windowRect(main_);
    ok = expect("main window height", std::to_string(mainRect.bottom - mainRect.top) + " pixels",
                std::to_string(scaledToDpi(MainWindow::kCompactHeight, systemDpi())) + " pixels") &&
         ok;
    return ok;
}

bool Tour::pasteIntoBox(const std::string& text, const std::string& shot, std::string expected) {
    replaceClipboardWith(text);
    show("copied to the clipboard", text);
    // A click into the box gives it the focus (which empties it), then Ctrl+V pastes.
    const POINT box = centreOf(windowRect(control(MainWindow::kItemEditId)));
    clickAt(box.x, box.y);
    // A click that left the box as it was is what the member would see too: say so now, with
    // where the focus went, rather than paste into it.
    if (!waitUntil([&] { return windowText(control(MainWindow::kItemEditId)).empty(); }, kStepTimeoutMs)) {
        show("item box after the click", windowText(control(MainWindow::kItemEditId)));
        show("  but the member should see", "(empty)");
        const HWND focus = focusInThreadOf(main_);
        show("keyboard focus", focus == nullptr ? std::string("none") : wideToGbk(windowClass(focus)));
        show("status label", status());
        return false;
    }
    pressKeys(L"ctrl+v");
    if (expected.empty()) {
        expected = rebateOfDefaultItem() + kYuan;
    }
    waitUntil([&] { return status() == expected; }, kStepTimeoutMs);
    waitUntilIdle();
    bool ok = expect("item box", windowText(control(MainWindow::kItemEditId)), text);
    ok = expect("status label", status(), expected) && ok;
    return screenshot(shot) && ok;
}

bool Tour::copyLink(const std::string& itemId) {
    const POINT box = centreOf(windowRect(control(MainWindow::kItemEditId)));
    doubleClickAt(box.x, box.y);
    waitUntil([&] { return status() == kLinkCopied; }, kStepTimeoutMs);
    waitUntilIdle();
    bool ok = expect("status label", status(), kLinkCopied);
    return expect("clipboard", clipboardText(), linkFor(itemId)) && ok;
}

bool Tour::paste() {
    return pasteIntoBox(itemAddress(kPastedItemId), "paste");
}

bool Tour::link() {
    const bool ok = copyLink(kPastedItemId);
    return screenshot("link") && ok;
}

bool Tour::loginAgain() {
    // The platform ends the old session and issues a new one, which lands in the cookie
    // store as a login in the embedded browser or Internet Explorer leaves it.
    if (!sim_.clearLog() || !sim_.logInAgain()) {
        show("simulator", "did not take the new login");
        return false;
    }
    show("platform", "the old session is answered nologin; a new token and cookie are in the store");
    if (!leaveTheBox()) {
        return false;
    }
    bool ok = pasteIntoBox(itemAddress(kPastedItemId), "login-again");
    ok = expect("harvests of the new login", std::to_string(sim_.requestsTo(kAdzonePath).size()), "1") && ok;
    ok = expect("searches (one repeated)", std::to_string(sim_.requestsTo(kSearchPath).size()), "2") && ok;
    const bool browserShown = IsWindowVisible(control(MainWindow::kBrowserId)) != FALSE;
    return expect("embedded browser", browserShown ? "shown" : "hidden", "hidden") && ok;
}

bool Tour::leaveTheBox() {
    const POINT page = centreOf(windowRect(pageView_));
    clickAt(page.x, page.y);
    if (waitUntil([&] { return GetForegroundWindow() != main_; }, kStepTimeoutMs)) {
        return true;
    }
    show("a click on the stand-in page", "left Quillane's window in front");
    return false;
}

bool Tour::shareText() {
    if (!leaveTheBox()) {
        return false;
    }
    const std::string text = "【淘宝】" + platform_sim::otherHostAddress(port_) + platform_sim::kDefaultShortLink +
                             "?tk=XUymWKIqxIz MF6563 「CONVERSE 匡威 经典款 帆布鞋」\r\n点击链接直接打开 或者 淘宝搜索直接打开";
    const bool ok = pasteIntoBox(text, "share-text");
    // The link names the item that the short link's page handed off to.
    return copyLink(platform_sim::kDefaultShortLinkItemId) && ok;
}

bool Tour::groupMessage() {
    // A second short link of the group, to another item than the share text's.
    if (!sim_.set({{"shortLink", "/h.Gr0upL1nk2"}, {"to", "/i33445566778.htm"}})) {
        show("simulator", "did not take the second short link");
        return false;
    }
    if (!leaveTheBox()) {
        return false;
    }
    const std::string self = platform_sim::otherHostAddress(port_);
    const std::string shareLink = self + platform_sim::kDefaultShortLink + "?tk=XUymWKIqxIz";
    const std::string shortLink = self + "/h.Gr0upL1nk2";
    const std::string affiliateLink = self + "/t?e=AbC44556677889";
    const std::string tmallAddress = "https://detail.tmall.com/item.htm?id=55667788990&skuId=4211";
    const std::string suidAddress = "https://item.taobao.com/item.htm?suid=86418463827&id=66778899001&un=a1";
    const auto message = [&](const std::string& share, const std::string& second, const std::string& third,
                             const std::string& fourth, const std::string& fifth) {
        return "今日好物 ￥Ab3dE5gH7jK￥\r\n1.【淘宝】" + share + " 「CONVERSE 匡威 帆布鞋」\r\n2. 保温杯 " + second +
               "\r\n3. 连衣裙（别人的链接）" + third + "\r\n4. 天猫 " + fourth + "\r\n5. " + fifth + " 拍下立减";
    };
    bool ok = pasteIntoBox(message(shareLink, shortLink, affiliateLink, tmallAddress, suidAddress), "group-message",
                           std::string(kBatchFound) + "5" + kBatchFoundEnd);
    const POINT box = centreOf(windowRect(control(MainWindow::kItemEditId)));
    doubleClickAt(box.x, box.y);
    const std::string converted = std::string(kBatchConverted) + "5" + kBatchConvertedEnd;
    waitUntil([&] { return status() == converted; }, kStepTimeoutMs);
    waitUntilIdle();
    ok = expect("status label", status(), converted) && ok;
    const std::string clipboard = clipboardText();
    ok = expect("clipboard", clipboard,
                message(linkFor(platform_sim::kDefaultShortLinkItemId), linkFor("33445566778"), linkFor("44556677889"),
                        linkFor("55667788990"), linkFor("66778899001"))) &&
         ok;
    return screenshot("batch") && ok;
}

bool Tour::homeOverChromium() {
    // Below Quillane's window, which opens centred on the screen; the stand-in Internet
    // Explorer window is above it.
    BrowserViewSetup setup;
    setup.address = platform_sim::otherHostAddress(port_) + "/item.htm?id=" + kPastedItemId;
    setup.wakeDelayMs = 300;
    setup.frame = {385, 712, 894, 1012};
    BrowserViewProcess chromium(setup);
    if (!chromium.ready()) {
        show("stand-in Chromium window", chromium.failure());
        return false;
    }
    show("stand-in Chromium shows", setup.address);
    bool ok = pressHomeOver(chromium.contentPoint(), kPastedItemId);
    if (result_ == nullptr) {
        return false;
    }
    // The shot takes in the Chromium window below the others for this step only.
    const RECT usualArea = shotArea_;
    const RECT chromiumArea = windowRect(chromium.frame());
    UnionRect(&shotArea_, &shotArea_, &chromiumArea);
    ok = screenshot("home-chromium") && ok;
    shotArea_ = usualArea;
    PostMessageW(result_, WM_CLOSE, 0, 0);
    waitUntil([&] { return !IsWindow(result_); }, kStepTimeoutMs);
    return ok;
}

bool Tour::pressHomeOver(POINT page, const std::string& itemId) {
    moveMouse(page.x, page.y);
    pressKeys(L"Home");
    result_ = waitForWindowOfClass(processId_, ResultWindow::kClassName, kStepTimeoutMs);
    if (result_ == nullptr) {
        show("result window", "none came");
        show("status label", status());
        return false;
    }
    waitUntilIdle();
    const bool ok = expect("result window", windowText(GetDlgItem(result_, ResultWindow::kMessageLabelId)),
                           rebateOfDefaultItem() + kYuanAndCopied);
    return expect("clipboard", clipboardText(), linkFor(itemId)) && ok;
}

bool Tour::home() {
    show("stand-in browser shows", windowText(addressBar_));
    const bool ok = pressHomeOver(centreOf(windowRect(pageView_)), pageItemId_);
    return result_ != nullptr && screenshot("home") && ok;
}

bool Tour::openLink() {
    // The browser launcher here is a recorder (scripts/wine-env) that writes each address
    // down as a line; the empty mark matches every line.
    const std::size_t opened = browserLaunchesWith("").size();
    const POINT button = centreOf(windowRect(GetDlgItem(result_, ResultWindow::kOpenLinkButtonId)));
    clickAt(button.x, button.y);
    const bool launched = waitForBrowserLaunchesWith("", opened + 1, kStepTimeoutMs);
    const std::vector<std::string> launches = browserLaunchesWith("");
    bool ok = expect("browser asked to open", launched ? launches.back() : "nothing", linkFor(pageItemId_));
    return screenshot("open-link") && ok;
}

bool Tour::shareInWeChat() {
    // An item with a coupon; the page's item has none.
    if (!sim_.set({{"item", kCouponItemId}, {"coupon", "1"}})) {
        show("simulator", "did not take the coupon");
        return false;
    }
    PostMessageW(result_, WM_CLOSE, 0, 0);
    waitUntil([&] { return !IsWindow(result_); }, kStepTimeoutMs);
    HWND check = control(MainWindow::kShareTokenCheckId);
    const POINT box = centreOf(windowRect(check));
    clickAt(box.x, box.y);
    waitUntil([&] { return SendMessageW(check, BM_GETCHECK, 0, 0) == BST_CHECKED; }, kStepTimeoutMs);
    bool ok = expect("淘口令", SendMessageW(check, BM_GETCHECK, 0, 0) == BST_CHECKED ? "checked" : "unchecked", "checked");
    leaveTheBox();
    ok = pasteIntoBox(itemAddress(kCouponItemId), "share-paste") && ok;
    const POINT item = centreOf(windowRect(control(MainWindow::kItemEditId)));
    doubleClickAt(item.x, item.y);
    waitUntil([&] { return status() == kShareTextCopied; }, kStepTimeoutMs);
    waitUntilIdle();
    ok = expect("status label", status(), kShareTextCopied) && ok;
    const std::string title = std::string(kDefaultItemTitle).substr(1, std::strlen(kDefaultItemTitle) - 2);
    ok = expect("clipboard", clipboardText(),
                title + "\r\n【券后价】36.67元\r\n【优惠券】满40元减5元，2026-12-31前有效\r\n复制这条信息￥Cp" +
                    kCouponItemId + "￥，打开手机淘宝即可领券购买\r\n") &&
         ok;
    ok = screenshot("share-text") && ok;

    // Home over the page: its item has no coupon, so its own 淘口令.
    moveMouse(centreOf(windowRect(pageView_)).x, centreOf(windowRect(pageView_)).y);
    pressKeys(L"Home");
    result_ = waitForWindowOfClass(processId_, ResultWindow::kClassName, kStepTimeoutMs);
    if (result_ == nullptr) {
        show("result window", "none came");
        return false;
    }
    waitUntilIdle();
    ok = expect("result window", windowText(GetDlgItem(result_, ResultWindow::kMessageLabelId)),
                rebateOfDefaultItem() + kYuan + kShareTextCopied) &&
         ok;
    ok = expect("clipboard", clipboardText(),
                title + "\r\n【券后价】41.67元\r\n复制这条信息￥Tk" + pageItemId_ + "￥，打开手机淘宝即可购买\r\n") &&
         ok;
    return screenshot("share-home") && ok;
}

bool Tour::end() {
    const POINT button = centreOf(windowRect(GetDlgItem(result_, ResultWindow::kEndButtonId)));
    clickAt(button.x, button.y);
    DWORD exitCode = STILL_ACTIVE;
    if (WaitForSingleObject(process_.get(), kStepTimeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process_.get(), &exitCode);
    }
    const bool ok = expect("quillane.exe",
                           exitCode == STILL_ACTIVE ? std::string("still running")
                                                    : "ended with exit code " + std::to_string(exitCode),
                           "ended with exit code 0");
    return screenshot("end") && ok;
}

bool Tour::close() {
    PostMessageW(main_, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(process_.get(), kStepTimeoutMs) == WAIT_OBJECT_0;
    return expect("quillane.exe", ended ? "ended" : "still running", "ended");
}

void Tour::show(const std::string& what, const std::string& seen) {
    std::string label = "   " + what + ":";
    label.resize(std::max<size_t>(label.size() + 1, 28), ' ');
    print(label + seen);
}

bool Tour::expect(const std::string& what, const std::string& seen, const std::string& expected) {
    show(what, seen);
    if (seen == expected) {
        return true;
    }
    show("  but the member should see", expected);
    return false;
}

bool Tour::screenshot(const std::string& step) {
    char name[64];
    if (atScale_) {
        std::snprintf(name, sizeof name, "%02d-%s-%u", ++shots_, step.c_str(), systemDpi() * 100 / kDesignDpi);
    } else {
        std::snprintf(name, sizeof name, "%02d-%s", ++shots_, step.c_str());
    }
    const std::string folder = "'" + screenshotFolder_ + "'";
    char geometry[64];
    std::snprintf(geometry, sizeof geometry, "%ldx%ld+%ld+%ld", shotArea_.right - shotArea_.left,
                  shotArea_.bottom - shotArea_.top, shotArea_.left, shotArea_.top);
    // Wine paints and hands its pictures to the X server on its own schedule: grab the area
    // until two grabs in a row agree (at most ten), then keep the last one.
    const std::string raw = std::string(name) + ".ppm";
    const std::string command = "cd " + folder + " && p= && for i in 1 2 3 4 5 6 7 8 9 10; do import -silent " +
                                "-window root -crop " + geometry + " +repage " + raw + " || break; c=$(cksum < " +
                                raw + " | tr -d ' '); [ x$c = x$p ] && break; p=$c; done; convert " + raw + " " +
                                name + ".png; rm -f " + raw;
    const std::string picture = screenshotFolder_ + "/" + name + ".png";
    const bool taken = runShellCommand(gbkToWide(command), kStepTimeoutMs) &&
                       GetFileAttributesW((L"Z:" + gbkToWide(picture)).c_str()) != INVALID_FILE_ATTRIBUTES;
    show("screenshot", taken ? std::string(name) + ".png" : "not taken");
    return taken;
}

}  // namespace
}  // namespace quillane::tour

int main(int argc, char** argv) {
    const char* usage =
        "usage: tour <simulator port> <its TLS front's port> <item id of the stand-in page> <screenshot folder> "
        "[--scale]\n";
    const bool atScale = argc == 6 && std::strcmp(argv[5], "--scale") == 0;
    if (argc != 5 && !atScale) {
        std::fputs(usage, stderr);
        return 2;
    }
    // The tour sees the windows as the member does, at the display's scale, in the pixels the
    // mouse moves in: a program unaware of the scale would be shown them shrunk to 96 DPI.
    SetProcessDPIAware();
    long ports[2] = {};
    for (int which = 0; which < 2; ++which) {
        char* end = nullptr;
        ports[which] = std::strtol(argv[1 + which], &end, 10);
        if (*end != '\0' || ports[which] <= 0 || ports[which] > 65535) {
            std::fputs(usage, stderr);
            return 2;
        }
    }
    quillane::tour::Tour tour(static_cast<int>(ports[0]), static_cast<int>(ports[1]), argv[3], argv[4], atScale);
    return tour.run();
}
