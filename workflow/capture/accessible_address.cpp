#include "workflow/capture/accessible_address.h"

#include <atomic>
#include <cstring>

#include "util/owners.h"
#include "workflow/capture/accessible_walk.h"

namespace quillane {

namespace {

// The window Chromium draws a page in, whatever the frame around it: Chrome's and Edge's
// frames, but also the Chinese browsers' own frame classes (360's, QQ's, Sogou's, Liebao's)
// and the frames of programs with a built-in browser.
constexpr char kChromiumPageClass[] = "Chrome_RenderWidgetHostHWND";
// Gecko's windows: Firefox's frame is one itself; older Gecko and programs that embed it
// show the page in a content window below their own frame.
constexpr const char* kGeckoWindowClasses[] = {"MozillaWindowClass", "MozillaContentWindowClass"};
// No message to the browser waits longer than this; a hung browser is not waited for at all.
constexpr UINT kBrowserMessageTimeoutMs = 1000;
// While the tree holds no page yet (Chromium builds it only once asked, and its page part some
// hundreds of milliseconds later; Edge takes up to seconds), it is read again this often.
constexpr DWORD kRetryIntervalMs = 100;
// Once the address bar answered, the page document is waited for this long before the
// address bar's text is taken: the document's address is the exact one, the bar's lacks its
// scheme.
constexpr DWORD kAddressBarPatienceMs = 1000;
// The Chromium window last woken, by window and process: waking costs round trips to the
// browser, and a woken browser stays awake.
std::atomic<HWND> lastWokenWindow{nullptr};
std::atomic<DWORD> lastWokenProcess{0};

enum class EngineWindow { ChromiumPage, Gecko, Other };

// One class-name read per window: a frame may host hundreds of windows.
EngineWindow engineWindowOf(HWND window) {
    char className[64] = {};
    if (GetClassNameA(window, className, sizeof className) <= 0) {
        return EngineWindow::Other;
    }
    if (std::strcmp(className, kChromiumPageClass) == 0) {
        return EngineWindow::ChromiumPage;
    }
    for (const char* gecko : kGeckoWindowClasses) {
        if (std::strcmp(className, gecko) == 0) {
            return EngineWindow::Gecko;
        }
    }
    return EngineWindow::Other;
}

// What a top-level window hosts: the first Chromium page window among its descendants, or
// else whether any of them is Gecko's.
struct HostedPage {
    HWND chromiumPage = nullptr;
    bool gecko = false;
};

BOOL CALLBACK lookAtHostedWindow(HWND window, LPARAM found) {
    auto& page = *reinterpret_cast<HostedPage*>(found);
    const EngineWindow engine = engineWindowOf(window);
    if (engine == EngineWindow::ChromiumPage) {
        page.chromiumPage = window;
        return FALSE;
    }
    page.gecko = page.gecko || engine == EngineWindow::Gecko;
    return TRUE;
}

// Only the window list is read, no message is sent: a hung browser cannot hold this. The
// desktop is no browser's frame, though every browser's windows are below it: a press over
// the bare desktop must not read a page somewhere else on the screen.
HostedPage hostedPageOf(HWND topLevel) {
    HostedPage page;
    if (topLevel != nullptr && topLevel != GetDesktopWindow()) {
        EnumChildWindows(topLevel, lookAtHostedWindow, reinterpret_cast<LPARAM>(&page));
    }
    return page;
}

BrowserKind kindOf(const HostedPage& page, HWND topLevel) {
    if (page.chromiumPage != nullptr) {
        return BrowserKind::Chromium;
    }
    return page.gecko || engineWindowOf(topLevel) == EngineWindow::Gecko ? BrowserKind::Firefox : BrowserKind::None;
}

// The object a window hands out for OBJID_CLIENT, as AccessibleObjectFromWindow asks for it,
// but with the wait bounded: a hung or slow browser is given up on.
ComPtr<IAccessible> clientObjectOf(HWND window) {
    DWORD_PTR reply = 0;
    ComPtr<IAccessible> object;
    if (!SendMessageTimeoutW(window, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT), SMTO_ABORTIFHUNG,
                             kBrowserMessageTimeoutMs, &reply) ||
        reply == 0) {
        return object;
    }
    // Taking the object is also what frees the answer, so it is taken even when unused.
    if (FAILED(ObjectFromLresult(static_cast<LRESULT>(reply), kAccessibleInterface, 0, object.put()))) {
        object.reset();
    }
    return object;
}

// Chromium builds its tree only for a client that asks its page's window.
void wakeChromium(HWND topLevel, HWND page, RetiredElements& retired) {
    DWORD process = 0;
    GetWindowThreadProcessId(topLevel, &process);
    if (lastWokenWindow.load() == topLevel && lastWokenProcess.load() == process) {
        return;
    }
    ComPtr<IAccessible> pageObject = clientObjectOf(page);
    if (pageObject) {
        lastWokenWindow = topLevel;
        lastWokenProcess = process;
        retire(retired, pageObject);
    }
}

// The elements taken from the browser end up in retired, to be let go of after the search.
// chromiumPage: the page window to wake, for a Chromium browser; else 0.
std::optional<std::string> searchTree(HWND topLevel, HWND chromiumPage, ULONGLONG start, RetiredElements& retired) {
    if (chromiumPage != nullptr) {
        wakeChromium(topLevel, chromiumPage, retired);
    }
    const AccessibleWalkBounds bounds{3000, 25, start + kAccessibleSearchMs};
    ComPtr<IAccessible> root;  // retired when the search ends, with the rest
    std::optional<std::string> addressBar;
    ULONGLONG addressBarSince = 0;
    for (;;) {
        const ULONGLONG attempt = GetTickCount64();
        if (!root) {
            root = clientObjectOf(topLevel);
        }
        if (root) {
            AccessibleFindings findings = walkAccessibleTree(root.get(), bounds, retired);
            if (findings.documentAddress) {
                retire(retired, root);
                return findings.documentAddress;
            }
            if (findings.addressBarAddress && !addressBar) {
                addressBar = std::move(findings.addressBarAddress);
                addressBarSince = GetTickCount64();
            }
            if (findings.otherDocument) {
                break;
            }
        }
        // Nobody waits for an address yet: the elements of this attempt go now, which bounds
        // what a long search holds.
        retired.clear();
        // Attempts start every kRetryIntervalMs; a walk that took longer is followed at once.
        const ULONGLONG next = attempt + kRetryIntervalMs;
        const ULONGLONG now = GetTickCount64();
        if ((addressBar && now - addressBarSince >= kAddressBarPatienceMs) || next >= bounds.deadline) {
            break;
        }
        if (next > now) {
            Sleep(static_cast<DWORD>(next - now));
        }
    }
    retire(retired, root);
    return addressBar;
}

}  // namespace

BrowserKind browserKindOf(HWND topLevel) {
    return kindOf(hostedPageOf(topLevel), topLevel);
}

std::optional<std::string> readAccessibleAddress(HWND topLevel, RetiredElements& retired) {
    const HostedPage hosted = hostedPageOf(topLevel);
    if (kindOf(hosted, topLevel) == BrowserKind::None) {
        return std::nullopt;
    }
    return searchTree(topLevel, hosted.chromiumPage, GetTickCount64(), retired);
}

}  // namespace quillane
