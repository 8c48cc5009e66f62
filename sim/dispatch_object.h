#pragma once
// The COM object shape every stand-in hands to other processes.
#include <windows.h>
#include <oaidl.h>

namespace quillane::standin {

// IUnknown and IDispatch for the stand-ins' objects: a few read-only text properties, or an
// interface built on IDispatch (Interface) whose own slots Derived implements. Derived
// supplies answersTo(interface), idOf(name) (DISPID_UNKNOWN when unknown) and read(id, result).
// The hooks are not virtual, so that Derived may add interface slots after IDispatch's.
template <typename Derived, typename Interface = IDispatch>
class DispatchObject : public Interface {
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
        *object = static_cast<Interface*>(this);
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

}  // namespace quillane::standin
