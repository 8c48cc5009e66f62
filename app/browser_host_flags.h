#pragma once
// The login browser is told that its host is DPI aware, so that it draws the platform's page at
// the window's DPI instead of at 96 DPI inside a scaled window. The system's ATL host (the
// AtlAxWin window) takes the flags it reports to the browser through IAxWinAmbientDispatch.
#include <windows.h>
#include <oaidl.h>
#include <olectl.h>

namespace quillane {

// ATL's ambient-property interface of its control host, which MinGW's headers lack; the
// methods in the order of ATL's vtable.
inline constexpr IID kIidAxWinAmbientDispatch = {0xB6EA2051, 0x048A, 0x11D1, {0x82, 0xB9, 0x00, 0xC0, 0x4F, 0xB9, 0x94, 0x2E}};
struct AxWinAmbientDispatch : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE put_AllowWindowlessActivation(VARIANT_BOOL) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AllowWindowlessActivation(VARIANT_BOOL*) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_BackColor(OLE_COLOR) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BackColor(OLE_COLOR*) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ForeColor(OLE_COLOR) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ForeColor(OLE_COLOR*) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_LocaleID(LCID) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_LocaleID(LCID*) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_UserMode(VARIANT_BOOL) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_UserMode(VARIANT_BOOL*) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DisplayAsDefault(VARIANT_BOOL) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DisplayAsDefault(VARIANT_BOOL*) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Font(IFontDisp*) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Font(IFontDisp**) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_MessageReflect(VARIANT_BOOL) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_MessageReflect(VARIANT_BOOL*) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ShowGrabHandles(VARIANT_BOOL*) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ShowHatching(VARIANT_BOOL*) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DocHostFlags(DWORD) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DocHostFlags(DWORD*) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DocHostDoubleClickFlags(DWORD) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DocHostDoubleClickFlags(DWORD*) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AllowContextMenu(VARIANT_BOOL) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AllowContextMenu(VARIANT_BOOL*) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AllowShowUI(VARIANT_BOOL) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AllowShowUI(VARIANT_BOOL*) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_OptionKeyPath(BSTR) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_OptionKeyPath(BSTR*) = 0;
};

// Adds DOCHOSTUIFLAG_DPI_AWARE to the flags the host reports, keeping the others. false when the
// host has no such interface (Wine's ATL host has none) or did not keep the flag.
bool askHostForDpiAwarePages(IUnknown* host);
// The same for the host of an AtlAxWin window, found through atl.dll's AtlAxGetHost.
bool askHostForDpiAwarePages(HMODULE atl, HWND hostWindow);

}  // namespace quillane
