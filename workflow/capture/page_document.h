#pragma once
// The page-document object: attaches to an Internet Explorer document view and reads the
// address of the page it shows. It needs COM on the calling thread for its whole life; a
// document taken in the multithreaded apartment can be read from any thread of it.
#include <windows.h>
#include <oaidl.h>

#include <string>

#include "util/owners.h"

namespace quillane {

// The interface under which an Internet Explorer document view hands out its document
// (IHTMLDocument). It derives from IDispatch, which is all the program uses of it.
inline constexpr GUID kHtmlDocumentInterface = {
    0x626FC520, 0xA41E, 0x11CF, {0xA7, 0x31, 0x00, 0xA0, 0xC9, 0x08, 0x26, 0x37}};

class PageDocument {
public:
    PageDocument() = default;
    virtual ~PageDocument() = default;
    PageDocument(const PageDocument&) = delete;
    PageDocument& operator=(const PageDocument&) = delete;

    // Remembers the window and tries to take the document shown in it or below it. False
    // when the handle is no window (nothing changes then); otherwise whether a document is
    // held now, one obtained by an earlier attach included.
    virtual bool attach(HWND window);
    // The first document view in a depth-first walk of parent's descendants, in the system's
    // child order; 0 when there is none.
    virtual HWND findDocumentWindow(HWND parent);
    // Asks the document view (window itself, or the first one below it) for its document and
    // keeps it. False leaves the held document as it was.
    virtual bool acquireDocument(HWND window);
    // The full address of the held document's page in GBK; empty when no document is held
    // or the page cannot be asked.
    virtual std::string readLocation();

    // The handle last given to attach that was a window; 0 before that.
    HWND windowHandle() const { return windowHandle_; }
    // Whether the last attach found a document view that gave its document: when it did not,
    // the page under the mouse may be another browser's.
    bool tookNewDocument() const { return tookNewDocument_; }

private:
    ComPtr<IDispatch> document_;
    HWND windowHandle_ = nullptr;
    bool tookNewDocument_ = false;
};

}  // namespace quillane
