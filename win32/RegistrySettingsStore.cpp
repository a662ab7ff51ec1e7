#include "win32/RegistrySettingsStore.h"

#include <windows.h>

#include "base/Environment.h"
#include "win32/Handles.h"

namespace kloxmere::win32 {

RegistrySettingsStore::RegistrySettingsStore(std::wstring key) : m_key(std::move(key)) {}

std::string RegistrySettingsStore::get(const std::string& section, const std::string& key,
                                       const std::string& fallback) {
    const std::wstring subkey = m_key + L"\\" + WideFromUtf8(section);
    const std::wstring name = WideFromUtf8(key);
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                     nullptr, &bytes) != ERROR_SUCCESS) {
        return fallback;
    }
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                     value.data(), &bytes) != ERROR_SUCCESS) {
        return fallback;
    }
    // The size counts the terminating zero.
    value.resize(bytes / sizeof(wchar_t) > 0 ? bytes / sizeof(wchar_t) - 1 : 0);
    return Utf8FromWide(value);
}

void RegistrySettingsStore::save(const std::string& section, const std::string& key,
                                 const std::string& value) {
    const std::wstring subkey = m_key + L"\\" + WideFromUtf8(section);
    HKEY opened = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &opened, nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegistryKey owned(opened);
    const std::wstring text = WideFromUtf8(value);
    RegSetValueExW(owned.get(), WideFromUtf8(key).c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace kloxmere::win32
