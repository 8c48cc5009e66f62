#include "app/browser_host_flags.h"

#include <mshtmhst.h>

#include "util/owners.h"

namespace quillane {

bool askHostForDpiAwarePages(IUnknown* host) {
    if (host == nullptr) {
        return false;
    }
    ComPtr<AxWinAmbientDispatch> ambient;
    if (FAILED(host->QueryInterface(kIidAxWinAmbientDispatch, reinterpret_cast<void**>(ambient.put()))) || !ambient) {
        return false;
    }
    // The host's other flags (its borders, its theme) stay as they are.
    DWORD flags = 0;
    if (FAILED(ambient->get_DocHostFlags(&flags)) || FAILED(ambient->put_DocHostFlags(flags | DOCHOSTUIFLAG_DPI_AWARE))) {
        return false;
    }
    DWORD kept = 0;
    return SUCCEEDED(ambient->get_DocHostFlags(&kept)) && (kept & DOCHOSTUIFLAG_DPI_AWARE) != 0;
}

bool askHostForDpiAwarePages(HMODULE atl, HWND hostWindow) {
    if (atl == nullptr || hostWindow == nullptr) {
        return false;
    }
    using AtlAxGetHostFunction = HRESULT(WINAPI*)(HWND, IUnknown**);
    auto atlAxGetHost =
        reinterpret_cast<AtlAxGetHostFunction>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetHost")));
    ComPtr<IUnknown> host;
    if (atlAxGetHost == nullptr || FAILED(atlAxGetHost(hostWindow, reinterpret_cast<IUnknown**>(host.put())))) {
        return false;
    }
    return askHostForDpiAwarePages(host.get());
}

}  // namespace quillane
