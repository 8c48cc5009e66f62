#pragma once
// The document object a stand-in document view hands out for "WM_HTML_GETOBJECT". Seen from
// another process it is an IHTMLDocument: its IDispatch answers the property "location" with
// an object whose default value (and "href") is the page's address, as Internet Explorer's
// does, or with the address text itself when asked for the plain form.
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <utility>

namespace quillane::docview {

// IUnknown and IDispatch for an object of a few read-only text properties. Derived supplies
// answersTo(interface), idOf(name) (DISPID_UNKNOWN when unknown) and read(id, result).
// The hooks are not virtual, so that Derived may add interface slots after IDispatch's.
template <typename Derived>
class DispatchObject : public IDispatch {
public:
    DispatchObject() = default;
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (id != IID_IUnknown && id != IID_IDispatch && !Derived::answersTo(id)) {
            return E_NOINTERFACE;
        }
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            delete static_cast<Derived*>(this);
        }
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) {
            *info = nullptr;
        }
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (names == nullptr || ids == nullptr || count == 0) {
            return E_INVALIDARG;
        }
        HRESULT outcome = S_OK;
        for (UINT index = 0; index < count; ++index) {
            // Only the member itself has a name here; named arguments are unknown.
            ids[index] = index == 0 && names[0] != nullptr ? Derived::idOf(names[0]) : DISPID_UNKNOWN;
            if (ids[index] == DISPID_UNKNOWN) {
                outcome = DISP_E_UNKNOWNNAME;
            }
        }
        return outcome;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* arguments,
                                     VARIANT* result, EXCEPINFO*, UINT*) override {
        if ((flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) == 0) {
            return DISP_E_MEMBERNOTFOUND;
        }
        if (arguments != nullptr && arguments->cArgs != 0) {
            return DISP_E_BADPARAMCOUNT;
        }
        VARIANT ignored;
        VARIANT* target = result != nullptr ? result : &ignored;
        VariantInit(target);
        const HRESULT outcome = static_cast<Derived*>(this)->read(member, target);
        if (target == &ignored) {
            VariantClear(&ignored);
        }
        return outcome;
    }

protected:
    ~DispatchObject() = default;

private:
    LONG references_ = 1;
};

class StandInDocument final : public DispatchObject<StandInDocument> {
public:
    StandInDocument(std::wstring address, bool plainLocation)
        : address_(std::move(address)), plainLocation_(plainLocation) {}

    // Navigation: every later read of the location, through objects handed out earlier
    // too, reports the new address.
    void setAddress(std::wstring address) { address_ = std::move(address); }
    const std::wstring& address() const { return address_; }

    // The one method IHTMLDocument adds to IDispatch; its slot must exist for the interface
    // to be whole. This stand-in has no script engine.
    virtual HRESULT STDMETHODCALLTYPE get_Script(IDispatch** script);

    static bool answersTo(REFIID id);
    static DISPID idOf(const wchar_t* name);
    HRESULT read(DISPID member, VARIANT* result);

private:
    friend class DispatchObject<StandInDocument>;
    ~StandInDocument() = default;

    std::wstring address_;
    bool plainLocation_;
};

}  // namespace quillane::docview
