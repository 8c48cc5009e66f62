#pragma once
// The document object a stand-in document view hands out for "WM_HTML_GETOBJECT". Seen from
// another process it is an IHTMLDocument: its IDispatch answers the property "location" with
// an object whose default value (and "href") is the page's address, as Internet Explorer's
// does, or with the address text itself when asked for the plain form.
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <utility>

#include "sim/dispatch_object.h"

namespace quillane::docview {

class StandInDocument final : public standin::DispatchObject<StandInDocument> {
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
    friend class standin::DispatchObject<StandInDocument>;
    ~StandInDocument() = default;

    std::wstring address_;
    bool plainLocation_;
};

}  // namespace quillane::docview
