#include "workflow/capture/page_document.h"

#include <objbase.h>
#include <oleacc.h>
#include <oleauto.h>

#include <cstring>

#include "util/wide_text.h"

namespace quillane {

namespace {

constexpr char kDocumentViewClass[] = "Internet Explorer_Server";
// How long a document view may take to answer before the capture goes on without it.
constexpr UINT kDocumentViewTimeoutMs = 1000;

bool isDocumentView(HWND window) {
    char className[50] = {};
    const int length = GetClassNameA(window, className, sizeof className);
    return length > 0 && std::strcmp(className, kDocumentViewClass) == 0;
}

// Reads a property by name and turns it into text. A document's location is an object whose
// default value is the address; VariantChangeType asks the object for that value.
std::string readTextProperty(IDispatch* object, const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) {
        return {};
    }
    DISPPARAMS noArguments = {};
    Variant property;
    if (FAILED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &noArguments,
                              property.get(), nullptr, nullptr))) {
        return {};
    }
    Variant text;
    if (FAILED(VariantChangeType(text.get(), property.get(), 0, VT_BSTR))) {
        return {};
    }
    const BSTR address = V_BSTR(text.get());
    return wideToGbk(std::wstring_view(address, SysStringLen(address)));
}

}  // namespace

bool PageDocument::attach(HWND window) {
    tookNewDocument_ = false;
    if (!IsWindow(window)) {
        return false;
    }
    windowHandle_ = window;
    tookNewDocument_ = acquireDocument(window);
    return static_cast<bool>(document_);
}

HWND PageDocument::findDocumentWindow(HWND parent) {
    // FindWindowExA with no parent walks the top-level windows: that is not "below" anything.
    if (parent == nullptr) {
        return nullptr;
    }
    HWND child = FindWindowExA(parent, nullptr, nullptr, nullptr);
    while (child != nullptr) {
        if (isDocumentView(child)) {
            return child;
        }
        if (HWND found = findDocumentWindow(child)) {
            return found;
        }
        child = FindWindowExA(parent, child, nullptr, nullptr);
    }
    return nullptr;
}

bool PageDocument::acquireDocument(HWND window) {
    if (!isDocumentView(window)) {
        window = findDocumentWindow(window);
        if (window == nullptr) {
            return false;
        }
    }
    const UINT getObjectMessage = RegisterWindowMessageA("WM_HTML_GETOBJECT");
    DWORD_PTR reply = 0;
    if (getObjectMessage == 0 ||
        !SendMessageTimeoutA(window, getObjectMessage, 0, 0, SMTO_ABORTIFHUNG, kDocumentViewTimeoutMs, &reply)) {
        return false;
    }
    void* object = nullptr;
    if (reply == 0 || ObjectFromLresult(static_cast<LRESULT>(reply), kHtmlDocumentInterface, 0, &object) != S_OK ||
        object == nullptr) {
        return false;
    }
    document_.reset(static_cast<IDispatch*>(object));
    return true;
}

std::string PageDocument::readLocation() {
    if (!document_) {
        return {};
    }
    // The read waits on the other program, and a nested capture may replace the held
    // document meanwhile; our own reference keeps the one being read alive until we are done.
    const ComPtr<IDispatch> document = ComPtr<IDispatch>::share(document_.get());
    return readTextProperty(document.get(), L"location");
}

}  // namespace quillane
