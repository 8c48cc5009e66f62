#pragma once
// The accessible tree browser_view.exe hands to screen readers (see protocol.h): elements
// made on demand from one shared state, so that navigation and the page's late arrival show
// through elements handed out earlier too.
#include <windows.h>
#include <oleacc.h>

#include <memory>
#include <string>

namespace quillane::browserview {

struct TreeState {
    std::wstring address;
    std::wstring barName;
    bool pageFilled = false;  // the web view holds its document
    bool silent = false;      // the client has no children
    long extraElements = 0;   // simple list items ahead of the toolbar
    long callsServed = 0;     // IAccessible calls answered, all elements together
};

enum class ElementKind { Client, ExtraList, Toolbar, BackButton, AddressBar, WebView, Document, Content };

// A new element of the tree with one reference, which the caller takes over.
IAccessible* newElement(ElementKind kind, std::shared_ptr<TreeState> state);

}  // namespace quillane::browserview
