#include "app/browser_emulation.h"

#include <windows.h>

#include <string>

namespace quillane {
namespace {

constexpr wchar_t kEmulationKey[] =
    L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";

// "quillane.exe" when started as C:\...\quillane.exe: the control looks for the file name.
std::wstring ownFileName() {
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(path.find_last_of(L"\\/") + 1);
}

}  // namespace

void askForIe11Mode() {
    const std::wstring name = ownFileName();
    HKEY key = nullptr;
    if (name.empty() || RegCreateKeyExW(HKEY_CURRENT_USER, kEmulationKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    const bool ie11Already = RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                                 ERROR_SUCCESS &&
                             type == REG_DWORD && (value == kIe11EdgeMode || value == kIe11DoctypeMode);
    if (!ie11Already) {
        value = kIe11EdgeMode;
        RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    RegCloseKey(key);
}

}  // namespace quillane
