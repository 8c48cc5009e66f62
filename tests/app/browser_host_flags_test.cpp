#include <gtest/gtest.h>

#include <mshtmhst.h>

#include "app/browser_host_flags.h"

namespace quillane::test {
namespace {

// A control host with ATL's ambient properties, as the system's atl.dll hosts the login browser
// on Windows (Wine's host has none): the browser asks it for its flags on loading a page.
class StandInHost : public AxWinAmbientDispatch {
public:
    enum class Keeps { Everything, Nothing, RefusesChanges };
    StandInHost(DWORD flags, Keeps keeps) : flags_(flags), keeps_(keeps) {}
    DWORD flags() const { return flags_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidAxWinAmbientDispatch) ? this : nullptr;
        return *object != nullptr ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE put_DocHostFlags(DWORD flags) override {
        if (keeps_ == Keeps::RefusesChanges) {
            return E_FAIL;
        }
        if (keeps_ == Keeps::Everything) {
            flags_ = flags;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_DocHostFlags(DWORD* flags) override {
        *flags = flags_;
        return S_OK;
    }

    // The rest of ATL's ambient properties, which the browser's flags do not touch.
#define QUILLANE_NOT_ASKED(name, ...) \
    HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return E_NOTIMPL; }
    QUILLANE_NOT_ASKED(GetTypeInfoCount, UINT*) QUILLANE_NOT_ASKED(GetTypeInfo, UINT, LCID, ITypeInfo**)
    QUILLANE_NOT_ASKED(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
    QUILLANE_NOT_ASKED(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
    QUILLANE_NOT_ASKED(put_AllowWindowlessActivation, VARIANT_BOOL)
    QUILLANE_NOT_ASKED(get_AllowWindowlessActivation, VARIANT_BOOL*) QUILLANE_NOT_ASKED(put_BackColor, OLE_COLOR)
    QUILLANE_NOT_ASKED(get_BackColor, OLE_COLOR*) QUILLANE_NOT_ASKED(put_ForeColor, OLE_COLOR)
    QUILLANE_NOT_ASKED(get_ForeColor, OLE_COLOR*) QUILLANE_NOT_ASKED(put_LocaleID, LCID)
    QUILLANE_NOT_ASKED(get_LocaleID, LCID*) QUILLANE_NOT_ASKED(put_UserMode, VARIANT_BOOL)
    QUILLANE_NOT_ASKED(get_UserMode, VARIANT_BOOL*) QUILLANE_NOT_ASKED(put_DisplayAsDefault, VARIANT_BOOL)
    QUILLANE_NOT_ASKED(get_DisplayAsDefault, VARIANT_BOOL*) QUILLANE_NOT_ASKED(put_Font, IFontDisp*)
    QUILLANE_NOT_ASKED(get_Font, IFontDisp**) QUILLANE_NOT_ASKED(put_MessageReflect, VARIANT_BOOL)
    QUILLANE_NOT_ASKED(get_MessageReflect, VARIANT_BOOL*) QUILLANE_NOT_ASKED(get_ShowGrabHandles, VARIANT_BOOL*)
    QUILLANE_NOT_ASKED(get_ShowHatching, VARIANT_BOOL*) QUILLANE_NOT_ASKED(put_DocHostDoubleClickFlags, DWORD)
    QUILLANE_NOT_ASKED(get_DocHostDoubleClickFlags, DWORD*) QUILLANE_NOT_ASKED(put_AllowContextMenu, VARIANT_BOOL)
    QUILLANE_NOT_ASKED(get_AllowContextMenu, VARIANT_BOOL*) QUILLANE_NOT_ASKED(put_AllowShowUI, VARIANT_BOOL)
    QUILLANE_NOT_ASKED(get_AllowShowUI, VARIANT_BOOL*) QUILLANE_NOT_ASKED(put_OptionKeyPath, BSTR)
    QUILLANE_NOT_ASKED(get_OptionKeyPath, BSTR*)
#undef QUILLANE_NOT_ASKED

private:
    DWORD flags_;
    Keeps keeps_;
};

TEST(LoginBrowserHost, ReportsItselfDpiAwareAndKeepsItsOtherFlags) {
    // ATL's own flags for a hosted browser: no 3-D border, the system's theme.
    constexpr DWORD kAtlFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_THEME;
    const struct {
        StandInHost::Keeps keeps;
        bool taken;
        DWORD flagsAfter;
    } cases[] = {
        {StandInHost::Keeps::Everything, true, kAtlFlags | DOCHOSTUIFLAG_DPI_AWARE},
        {StandInHost::Keeps::Nothing, false, kAtlFlags},
        {StandInHost::Keeps::RefusesChanges, false, kAtlFlags},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.keeps));
        StandInHost host(kAtlFlags, c.keeps);
        EXPECT_EQ(askHostForDpiAwarePages(&host), c.taken);
        EXPECT_EQ(host.flags(), c.flagsAfter);
    }
    EXPECT_FALSE(askHostForDpiAwarePages(nullptr));
    EXPECT_FALSE(askHostForDpiAwarePages(nullptr, nullptr)) << "no ATL, no host: the browser is left as it is";
}

}  // namespace
}  // namespace quillane::test
