#include "sim/browser_view/accessible_tree.h"

#include <new>
#include <utility>
#include <vector>

#include "sim/dispatch_object.h"
#include "workflow/capture/accessible_walk.h"  // the interface's identifier

namespace quillane::browserview {

namespace {

HRESULT textResult(const std::wstring& text, BSTR* result) {
    *result = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *result != nullptr ? S_OK : E_OUTOFMEMORY;
}

// What browsers show in the address bar: the address without http:// or https://.
std::wstring withoutScheme(const std::wstring& address) {
    for (const wchar_t* scheme : {L"https://", L"http://"}) {
        const size_t length = wcslen(scheme);
        if (address.size() >= length && _wcsnicmp(address.c_str(), scheme, length) == 0) {
            return address.substr(length);
        }
    }
    return address;
}

// An element of the page's tree. Screen readers call the IAccessible slots directly; its
// IDispatch has no named members.
class Element final : public standin::DispatchObject<Element, IAccessible> {
public:
    Element(ElementKind kind, std::shared_ptr<TreeState> state) : kind_(kind), state_(std::move(state)) {}

    static bool answersTo(REFIID id) { return id == kAccessibleInterface; }
    static DISPID idOf(const wchar_t*) { return DISPID_UNKNOWN; }
    HRESULT read(DISPID, VARIANT*) { return DISP_E_MEMBERNOTFOUND; }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        ++state_->callsServed;
        if (parent == nullptr) {
            return E_POINTER;
        }
        *parent = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        ++state_->callsServed;
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = kind_ == ElementKind::ExtraList ? state_->extraElements : static_cast<long>(children().size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** result) override {
        ++state_->callsServed;
        if (result == nullptr) {
            return E_POINTER;
        }
        *result = nullptr;
        if (V_VT(&child) != VT_I4) {
            return E_INVALIDARG;
        }
        if (kind_ == ElementKind::ExtraList) {
            // Simple items: the list answers for them by their number.
            return V_I4(&child) >= 1 && V_I4(&child) <= state_->extraElements ? S_FALSE : E_INVALIDARG;
        }
        const std::vector<ElementKind> kinds = children();
        const long index = V_I4(&child);
        if (index < 1 || index > static_cast<long>(kinds.size())) {
            return E_INVALIDARG;
        }
        *result = newElement(kinds[index - 1], state_);
        return *result != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        ++state_->callsServed;
        if (name == nullptr) {
            return E_POINTER;
        }
        *name = nullptr;
        if (!isSelf(child)) {
            return textResult(L"bookmark " + std::to_wstring(V_I4(&child)), name);
        }
        switch (kind_) {
        case ElementKind::AddressBar:
            return textResult(state_->barName, name);
        case ElementKind::BackButton:
            return textResult(L"Back", name);
        case ElementKind::Content:
            return textResult(L"Stand-in page", name);
        default:
            return S_FALSE;
        }
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        ++state_->callsServed;
        if (value == nullptr) {
            return E_POINTER;
        }
        *value = nullptr;
        if (isSelf(child) && kind_ == ElementKind::AddressBar) {
            return textResult(withoutScheme(state_->address), value);
        }
        if (isSelf(child) && kind_ == ElementKind::Document) {
            return textResult(state_->address, value);
        }
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override { return noText(text); }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        ++state_->callsServed;
        if (role == nullptr) {
            return E_POINTER;
        }
        VariantInit(role);
        V_VT(role) = VT_I4;
        V_I4(role) = isSelf(child) ? roleOfKind() : ROLE_SYSTEM_LISTITEM;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT, VARIANT* state) override {
        ++state_->callsServed;
        if (state == nullptr) {
            return E_POINTER;
        }
        VariantInit(state);
        V_VT(state) = VT_I4;
        V_I4(state) = kind_ == ElementKind::AddressBar ? STATE_SYSTEM_FOCUSABLE : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* text) override { return noText(text); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long*) override { return noText(file); }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* text) override { return noText(text); }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return noVariant(focus); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override { return noVariant(selection); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* text) override { return noText(text); }
    HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return notDone(); }
    HRESULT STDMETHODCALLTYPE accLocation(long*, long*, long*, long*, VARIANT) override { return notDone(); }
    HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT* end) override { return noVariant(end); }
    HRESULT STDMETHODCALLTYPE accHitTest(long, long, VARIANT* hit) override { return noVariant(hit); }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return notDone(); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return notDone(); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return notDone(); }

private:
    friend class standin::DispatchObject<Element, IAccessible>;
    ~Element() = default;

    static bool isSelf(const VARIANT& child) { return V_VT(&child) == VT_I4 && V_I4(&child) == CHILDID_SELF; }

    HRESULT noText(BSTR* text) {
        ++state_->callsServed;
        if (text != nullptr) {
            *text = nullptr;
        }
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT noVariant(VARIANT* value) {
        ++state_->callsServed;
        if (value != nullptr) {
            VariantInit(value);
        }
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT notDone() {
        ++state_->callsServed;
        return DISP_E_MEMBERNOTFOUND;
    }

    long roleOfKind() const {
        switch (kind_) {
        case ElementKind::Client:
            return ROLE_SYSTEM_CLIENT;
        case ElementKind::ExtraList:
            return ROLE_SYSTEM_LIST;
        case ElementKind::Toolbar:
            return ROLE_SYSTEM_TOOLBAR;
        case ElementKind::BackButton:
            return ROLE_SYSTEM_PUSHBUTTON;
        case ElementKind::AddressBar:
            return ROLE_SYSTEM_TEXT;
        case ElementKind::WebView:
            return ROLE_SYSTEM_PANE;
        case ElementKind::Document:
            return ROLE_SYSTEM_DOCUMENT;
        case ElementKind::Content:
            return ROLE_SYSTEM_STATICTEXT;
        }
        return ROLE_SYSTEM_CLIENT;
    }

    std::vector<ElementKind> children() const {
        switch (kind_) {
        case ElementKind::Client: {
            if (state_->silent) {
                return {};
            }
            std::vector<ElementKind> kinds;
            if (state_->extraElements > 0) {
                kinds.push_back(ElementKind::ExtraList);
            }
            kinds.push_back(ElementKind::Toolbar);
            kinds.push_back(ElementKind::WebView);
            return kinds;
        }
        case ElementKind::Toolbar:
            return {ElementKind::BackButton, ElementKind::AddressBar};
        case ElementKind::WebView:
            return state_->pageFilled ? std::vector<ElementKind>{ElementKind::Document} : std::vector<ElementKind>{};
        case ElementKind::Document:
            return {ElementKind::Content, ElementKind::Content};
        default:
            return {};
        }
    }

    ElementKind kind_;
    std::shared_ptr<TreeState> state_;
};

}  // namespace

IAccessible* newElement(ElementKind kind, std::shared_ptr<TreeState> state) {
    return new (std::nothrow) Element(kind, std::move(state));
}

}  // namespace quillane::browserview
