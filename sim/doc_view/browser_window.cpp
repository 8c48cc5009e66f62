#include "sim/doc_view/browser_window.h"

#include <oleacc.h>

#include <new>

#include "sim/doc_view/protocol.h"
#include "workflow/capture/page_document.h"  // the document interface's identifier

namespace quillane::docview {

namespace {

constexpr wchar_t kPaneClass[] = L"QuillaneStandInPane";
constexpr int kAddressBarHeight = 24;

UINT htmlGetObjectMessage = 0;

template <typename State>
State* stateOf(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* state = static_cast<State*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
        return state;
    }
    return reinterpret_cast<State*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void fillWithFirstChild(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    if (HWND child = GetWindow(window, GW_CHILD)) {
        MoveWindow(child, 0, 0, client.right, client.bottom, TRUE);
    }
}

void paintPage(HWND window, HFONT font, const std::wstring& address) {
    const std::wstring text = L"Stand-in page\n\n" + address;
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    const HGDIOBJ previousFont = SelectObject(dc, font);
    RECT area;
    GetClientRect(window, &area);
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    InflateRect(&area, -16, -16);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previousFont);
    EndPaint(window, &paint);
}

}  // namespace

BrowserWindow::BrowserWindow(const Options& options) : options_(options) {}

BrowserWindow::~BrowserWindow() {
    // A half-built window must not outlive the object its procedure points at.
    if (frame_ != nullptr) {
        DestroyWindow(frame_);
    }
}

const wchar_t* BrowserWindow::frameClass() const {
    return options_.frameClass.empty() ? kFrameClass : options_.frameClass.c_str();
}

bool BrowserWindow::registerClasses(HINSTANCE instance, const wchar_t* frameClass) {
    htmlGetObjectMessage = RegisterWindowMessageW(L"WM_HTML_GETOBJECT");
    struct ClassEntry {
        const wchar_t* name;
        WNDPROC procedure;
        int background;
    };
    const ClassEntry classes[] = {
        {frameClass, frameProcedure, COLOR_WINDOW + 1},
        {kPaneClass, paneProcedure, COLOR_BTNFACE + 1},
        {kDocumentViewClass, viewProcedure, COLOR_WINDOW + 1},
    };
    for (const ClassEntry& entry : classes) {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = entry.procedure;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(entry.background));
        windowClass.lpszClassName = entry.name;
        if (RegisterClassExW(&windowClass) == 0) {
            return false;
        }
    }
    return htmlGetObjectMessage != 0;
}

HWND BrowserWindow::createChild(const wchar_t* className, const wchar_t* name, HWND parent, bool visible,
                                void* state) {
    const DWORD style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0);
    return CreateWindowExW(0, className, name, style, 0, 0, 0, 0, parent, nullptr, instance_, state);
}

bool BrowserWindow::create(HINSTANCE instance) {
    instance_ = instance;
    if (!registerClasses(instance, frameClass())) {
        return false;
    }
    if (options_.hang) {
        hangRelease_.reset(CreateEventW(nullptr, TRUE, FALSE, hangReleaseEventName(GetCurrentProcessId()).c_str()));
        if (!hangRelease_) {
            return false;
        }
    }
    // Addresses may hold Chinese: ask for a face that has the GB2312 characters.
    font_.reset(CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, nullptr));
    std::vector<std::wstring> addresses = {options_.address};
    if (options_.secondView) {
        addresses.push_back(options_.secondAddress);
    }
    for (std::wstring& address : addresses) {
        auto page = std::make_unique<Page>();
        page->document.reset(new StandInDocument(std::move(address), options_.plainLocation));
        page->hangRelease = hangRelease_.get();
        page->font = font_.get();
        pages_.push_back(std::move(page));
    }

    const RECT& outer = options_.frame;
    // Without a window manager (a bare X display), Wine leaves a normal window's caption and
    // border to the absent manager, so they belong to no window at all. A tool window's it
    // draws itself, and then the caption is the frame's, as it is on Windows.
    frame_ = CreateWindowExW(WS_EX_TOOLWINDOW, frameClass(), kFrameCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                             outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top, nullptr,
                             nullptr, instance, this);
    if (frame_ == nullptr) {
        return false;
    }
    // Child order is creation order: the address bar first, then the tabs in turn.
    addressBar_ = CreateWindowExW(0, L"Edit", options_.address.c_str(),
                                  WS_CHILD | WS_VISIBLE | WS_BORDER | ES_READONLY | ES_AUTOHSCROLL, 0, 0, 0, 0,
                                  frame_, nullptr, instance, nullptr);
    SendMessageW(addressBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    for (size_t index = 0; index < pages_.size(); ++index) {
        const bool firstTab = index == 0;
        const std::wstring tabName = L"tab " + std::to_wstring(index + 1);
        HWND tab = createChild(kPaneClass, tabName.c_str(), frame_, firstTab, nullptr);
        HWND viewParent = firstTab ? createChild(kPaneClass, L"document host", tab, true, nullptr) : tab;
        pages_[index]->view = createChild(kDocumentViewClass, L"", viewParent, true, pages_[index].get());
        if (addressBar_ == nullptr || tab == nullptr || viewParent == nullptr || pages_[index]->view == nullptr) {
            return false;
        }
        tabs_.push_back(tab);
    }
    layOut();
    ShowWindow(frame_, SW_SHOWNORMAL);
    UpdateWindow(frame_);
    return true;
}

void BrowserWindow::layOut() {
    RECT client;
    GetClientRect(frame_, &client);
    if (addressBar_ != nullptr) {
        MoveWindow(addressBar_, 0, 0, client.right, kAddressBarHeight, TRUE);
    }
    for (HWND tab : tabs_) {
        MoveWindow(tab, 0, kAddressBarHeight, client.right, client.bottom - kAddressBarHeight, TRUE);
    }
}

bool BrowserWindow::navigate(size_t pageIndex, std::wstring address) {
    if (pageIndex >= pages_.size()) {
        return false;
    }
    Page& page = *pages_[pageIndex];
    if (pageIndex == 0) {
        SetWindowTextW(addressBar_, address.c_str());
    }
    page.document->setAddress(std::move(address));
    InvalidateRect(page.view, nullptr, TRUE);
    return true;
}

LRESULT BrowserWindow::handleFrameMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        layOut();
        return 0;
    case WM_COPYDATA: {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data == nullptr || data->dwData == 0 || data->cbData % sizeof(wchar_t) != 0) {
            return FALSE;
        }
        const auto* text = static_cast<const wchar_t*>(data->lpData);
        std::wstring address(text, text + data->cbData / sizeof(wchar_t));
        return navigate(static_cast<size_t>(data->dwData - 1), std::move(address)) ? TRUE : FALSE;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        frame_ = nullptr;
        return 0;
    default:
        return DefWindowProcW(frame_, message, wParam, lParam);
    }
}

LRESULT CALLBACK BrowserWindow::frameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    BrowserWindow* self = stateOf<BrowserWindow>(window, message, lParam);
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCCREATE) {
        self->frame_ = window;
    }
    try {
        return self->handleFrameMessage(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind into the window system; a failed navigation is simply not done.
        return 0;
    }
}

LRESULT CALLBACK BrowserWindow::paneProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        fillWithFirstChild(window);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK BrowserWindow::viewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const Page* page = stateOf<Page>(window, message, lParam);
    if (page == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == htmlGetObjectMessage) {
        if (page->hangRelease != nullptr) {
            // A hung page: no messages are taken while blocked here, as in a stuck browser.
            WaitForSingleObject(page->hangRelease, INFINITE);
            return 0;
        }
        return LresultFromObject(kHtmlDocumentInterface, wParam, page->document.get());
    }
    if (message == WM_PAINT) {
        try {
            paintPage(window, page->font, page->document->address());
        } catch (...) {
            ValidateRect(window, nullptr);
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace quillane::docview
