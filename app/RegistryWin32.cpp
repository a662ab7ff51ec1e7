// The file association in the Windows registry: each entry's key is opened
// (created first when missing) and its default value written as a string.
// Existing values are overwritten; nothing is deleted. The keys go under
// HKEY_CURRENT_USER\Software\Classes, which Windows merges into
// HKEY_CLASSES_ROOT for this user: writing HKEY_CLASSES_ROOT itself needs
// administrator rights, and a program started normally would fail there
// silently at every start.

#include <windows.h>

#include "app/modRegistry.h"

namespace kloxmere {

namespace {

// The access the entries are opened with: query, set, create and enumerate
// subkeys, notify and link.
constexpr REGSAM kAccess = 0x3F;

constexpr const wchar_t* kClasses = L"Software\\Classes\\";

std::wstring wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, text.data(), length);
    return text;
}

bool openOrCreate(const std::wstring& entry, HKEY& key) {
    const std::wstring subkey = kClasses + entry;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, kAccess, &key) == ERROR_SUCCESS) {
        return true;
    }
    HKEY created = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        kAccess, nullptr, &created, nullptr) == ERROR_SUCCESS) {
        RegCloseKey(created);
    }
    return RegOpenKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, kAccess, &key) == ERROR_SUCCESS;
}

}  // namespace

bool WriteFileAssociation(const FileTypeRegistration& registration) {
    for (const RegistryEntry& entry : RegistryEntries(registration)) {
        HKEY key = nullptr;
        if (!openOrCreate(wide(entry.key), key)) return false;
        const std::wstring value = wide(entry.value);
        // The length counts the terminating zero.
        const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
        const LONG written = RegSetValueExW(key, nullptr, 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(value.c_str()), bytes);
        RegCloseKey(key);
        if (written != ERROR_SUCCESS) return false;
    }
    return true;
}

}  // namespace kloxmere
