#include "sim/browser_view/browser_frame.h"

#include <utility>

#include "sim/browser_view/protocol.h"
#include "workflow/capture/accessible_walk.h"  // the interface's identifier

namespace quillane::browserview {

namespace {

constexpr UINT_PTR kFillTimer = 1;
constexpr wchar_t kFrameCaption[] = L"Item page - stand-in browser";

bool asksForClient(LPARAM lParam) {
    // OBJID_CLIENT arrives sign-extended from some senders and zero-extended from others.
    return static_cast<LONG>(lParam) == OBJID_CLIENT;
}

BrowserFrame* frameOf(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<BrowserFrame*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        return self;
    }
    return reinterpret_cast<BrowserFrame*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace

BrowserFrame::BrowserFrame(const Options& options) : options_(options), tree_(std::make_shared<TreeState>()) {
    tree_->address = options.address;
    tree_->barName = options.barName;
    tree_->silent = options.silent;
    tree_->extraElements = options.extraElements;
    // Firefox's tree holds its page from the start; Chromium's only once asked; a window
    // without a page never does.
    tree_->pageFilled = options.kind == Kind::Firefox && !options.neverFills;
}

BrowserFrame::~BrowserFrame() {
    if (frame_ != nullptr) {
        DestroyWindow(frame_);
    }
}

bool BrowserFrame::create(HINSTANCE instance) {
    callCountMessage_ = RegisterWindowMessageW(kCallCountMessage);
    const wchar_t* frameClass = frameClassOf(options_);
    const wchar_t* pageClass = pageClassOf(options_.kind);
    // Firefox's page window has the frame's class: one class, one procedure that tells the two
    // apart. So does any frame class named like the page's.
    const std::pair<const wchar_t*, WNDPROC> classes[] = {{frameClass, frameProcedure}, {pageClass, pageProcedure}};
    for (const auto& [name, procedure] : classes) {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
        windowClass.lpszClassName = name;
        if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            return false;
        }
    }
    if (callCountMessage_ == 0) {
        return false;
    }
    font_.reset(CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, nullptr));
    const RECT& outer = options_.frame;
    // A tool window, as doc_view's: with no window manager Wine draws its caption itself.
    frame_ = CreateWindowExW(WS_EX_TOOLWINDOW, frameClass, kFrameCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                             outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top, nullptr,
                             nullptr, instance, this);
    if (frame_ == nullptr) {
        return false;
    }
    page_ = CreateWindowExW(0, pageClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, frame_, nullptr, instance, this);
    if (page_ == nullptr) {
        return false;
    }
    layOut();
    ShowWindow(frame_, SW_SHOWNORMAL);
    UpdateWindow(frame_);
    return true;
}

void BrowserFrame::layOut() {
    RECT client;
    GetClientRect(frame_, &client);
    if (page_ != nullptr) {
        MoveWindow(page_, 0, kToolbarHeight, client.right, client.bottom - kToolbarHeight, TRUE);
    }
}

void BrowserFrame::paint(HWND window, const std::wstring& text) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    const HGDIOBJ previousFont = SelectObject(dc, font_.get());
    RECT area;
    GetClientRect(window, &area);
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(window == frame_ ? LTGRAY_BRUSH : WHITE_BRUSH)));
    InflateRect(&area, -8, -6);
    SetBkMode(dc, TRANSPARENT);
    // The toolbar strip is one line, as an address bar is.
    const UINT layout = window == frame_ ? DT_SINGLELINE | DT_END_ELLIPSIS : DT_WORDBREAK;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_LEFT | DT_NOPREFIX | layout);
    SelectObject(dc, previousFont);
    EndPaint(window, &paint);
}

void BrowserFrame::pageAsked() {
    if (asked_ || options_.neverFills || options_.kind != Kind::Chromium) {
        return;
    }
    asked_ = true;
    if (options_.wakeDelayMs == 0) {
        tree_->pageFilled = true;
    } else {
        SetTimer(frame_, kFillTimer, options_.wakeDelayMs, nullptr);
    }
}

LRESULT BrowserFrame::handleFrameMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == callCountMessage_) {
        const long served = tree_->callsServed;
        if (wParam == 1) {
            tree_->callsServed = 0;
        }
        return served;
    }
    switch (message) {
    case WM_GETOBJECT:
        if (asksForClient(lParam)) {
            const ComPtr<IAccessible> root(newElement(ElementKind::Client, tree_));
            return root ? LresultFromObject(kAccessibleInterface, wParam, root.get())
                        : 0;
        }
        break;
    case WM_TIMER:
        if (wParam == kFillTimer) {
            KillTimer(window, kFillTimer);
            tree_->pageFilled = true;
            InvalidateRect(page_, nullptr, TRUE);
        }
        return 0;
    case WM_SIZE:
        layOut();
        return 0;
    case WM_PAINT:
        paint(window, options_.barName + L":  " + tree_->address);
        return 0;
    case WM_COPYDATA: {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data == nullptr || data->dwData != 1 || data->cbData % sizeof(wchar_t) != 0) {
            return FALSE;
        }
        const auto* text = static_cast<const wchar_t*>(data->lpData);
        tree_->address.assign(text, text + data->cbData / sizeof(wchar_t));
        InvalidateRect(frame_, nullptr, TRUE);
        InvalidateRect(page_, nullptr, TRUE);
        return TRUE;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        frame_ = nullptr;
        page_ = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT BrowserFrame::handlePageMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETOBJECT:
        if (asksForClient(lParam)) {
            pageAsked();
            if (tree_->pageFilled) {
                const ComPtr<IAccessible> document(newElement(ElementKind::Document, tree_));
                return document ? LresultFromObject(kAccessibleInterface, wParam, document.get()) : 0;
            }
        }
        break;
    case WM_PAINT:
        if (options_.kind == Kind::NoPage) {
            paint(window, L"(a program's window that shows no page)");
        } else {
            paint(window, tree_->pageFilled ? L"Stand-in page\n\n" + tree_->address : L"(the page's tree is not built yet)");
        }
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK BrowserFrame::frameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    BrowserFrame* self = frameOf(window, message, lParam);
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        // Firefox's page window shares the frame's class.
        if (self->frame_ != nullptr && window != self->frame_) {
            return self->handlePageMessage(window, message, wParam, lParam);
        }
        if (message == WM_NCCREATE) {
            self->frame_ = window;
        }
        return self->handleFrameMessage(window, message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind into the window system.
        return 0;
    }
}

LRESULT CALLBACK BrowserFrame::pageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    BrowserFrame* self = frameOf(window, message, lParam);
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return self->handlePageMessage(window, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

}  // namespace quillane::browserview
