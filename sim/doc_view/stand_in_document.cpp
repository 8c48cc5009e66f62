#include "sim/doc_view/stand_in_document.h"

#include <new>

#include "workflow/capture/page_document.h"  // the document interface's identifier

namespace quillane::docview {

namespace {

constexpr DISPID kLocationId = 1;
constexpr DISPID kHrefId = 2;

HRESULT addressValue(const std::wstring& address, VARIANT* result) {
    const BSTR text = SysAllocStringLen(address.data(), static_cast<UINT>(address.size()));
    if (text == nullptr) {
        return E_OUTOFMEMORY;
    }
    V_VT(result) = VT_BSTR;
    V_BSTR(result) = text;
    return S_OK;
}

// What document.location gives: an object whose default value is the address. It keeps
// the document alive and reads its address when asked, so navigation shows through it.
class StandInLocation final : public standin::DispatchObject<StandInLocation> {
public:
    explicit StandInLocation(StandInDocument* document) : document_(document) { document_->AddRef(); }

    static bool answersTo(REFIID) { return false; }
    static DISPID idOf(const wchar_t* name) { return _wcsicmp(name, L"href") == 0 ? kHrefId : DISPID_UNKNOWN; }
    HRESULT read(DISPID member, VARIANT* result) {
        if (member != DISPID_VALUE && member != kHrefId) {
            return DISP_E_MEMBERNOTFOUND;
        }
        return addressValue(document_->address(), result);
    }

private:
    friend class standin::DispatchObject<StandInLocation>;
    ~StandInLocation() { document_->Release(); }

    StandInDocument* document_;
};

}  // namespace

HRESULT STDMETHODCALLTYPE StandInDocument::get_Script(IDispatch** script) {
    if (script == nullptr) {
        return E_POINTER;
    }
    *script = nullptr;
    return E_NOTIMPL;
}

bool StandInDocument::answersTo(REFIID id) {
    return id == kHtmlDocumentInterface;
}

DISPID StandInDocument::idOf(const wchar_t* name) {
    return _wcsicmp(name, L"location") == 0 ? kLocationId : DISPID_UNKNOWN;
}

HRESULT StandInDocument::read(DISPID member, VARIANT* result) {
    if (member != kLocationId) {
        return DISP_E_MEMBERNOTFOUND;
    }
    if (plainLocation_) {
        return addressValue(address_, result);
    }
    auto* location = new (std::nothrow) StandInLocation(this);
    if (location == nullptr) {
        return E_OUTOFMEMORY;
    }
    V_VT(result) = VT_DISPATCH;
    V_DISPATCH(result) = location;  // the caller takes over the one reference it starts with
    return S_OK;
}

}  // namespace quillane::docview
