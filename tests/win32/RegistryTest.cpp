// The settings store and the file association in the registry of the test
// prefix; each test works under keys it removes afterwards.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/modRegistry.h"
#include "base/Environment.h"
#include "win32/RegistrySettingsStore.h"

namespace kloxmere::win32 {
namespace {

std::wstring readString(const std::wstring& key, const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD bytes = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &bytes) !=
        ERROR_SUCCESS) {
        return L"<missing>";
    }
    return value;
}

TEST(RegistrySettingsStore, KeepsTextPerSectionAndKeyAndFallsBackWhenMissing) {
    const std::wstring root = L"Software\\Kloxmere\\KloxmereTest";
    RegDeleteTreeW(HKEY_CURRENT_USER, root.c_str());
    {
        RegistrySettingsStore store(root);
        EXPECT_EQ(store.get("Startup", "SliderLeft", "2460"), "2460");
        store.save("Startup", "SliderLeft", "3000");
        store.save("Locations", "TAPath", "C:\\Игры\\TA\\");
        store.save("Locations", "UnitViewPath", "");
        EXPECT_EQ(store.get("Startup", "SliderLeft", "0"), "3000");
        EXPECT_EQ(store.get("Locations", "TAPath", ""), "C:\\Игры\\TA\\");
        EXPECT_EQ(store.get("Locations", "UnitViewPath", "fallback"), "");
        EXPECT_EQ(store.get("Startup", "Width", "fallback"), "fallback");
        // A value that is not text counts as missing.
        HKEY startup = nullptr;
        RegOpenKeyExW(HKEY_CURRENT_USER, (root + L"\\Startup").c_str(), 0, KEY_SET_VALUE, &startup);
        const DWORD number = 7;
        RegSetValueExW(startup, L"Top", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                       sizeof number);
        RegCloseKey(startup);
        EXPECT_EQ(store.get("Startup", "Top", "fallback"), "fallback");
    }
    // One subkey per section, REG_SZ values.
    EXPECT_EQ(readString(root + L"\\Startup", L"SliderLeft"), L"3000");
    EXPECT_EQ(readString(root + L"\\Locations", L"TAPath"), L"C:\\Игры\\TA\\");
    RegDeleteTreeW(HKEY_CURRENT_USER, root.c_str());
}

TEST(FileAssociation, IsWrittenForThisUserWithoutAdministratorRights) {
    const std::wstring classes = L"Software\\Classes\\";
    const std::wstring type = L"KloxmereTestType";
    RegDeleteTreeW(HKEY_CURRENT_USER, (classes + L".klxtest").c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, (classes + type).c_str());
    const std::string program = "C:\\Program Files\\Клоксмир\\kloxmere.exe";
    ASSERT_TRUE(RegisterFileType("klxtest", program, "", Utf8FromWide(type), "TA Unit List"));
    EXPECT_EQ(readString(classes + L".klxtest", nullptr), type);
    EXPECT_EQ(readString(classes + type, nullptr), L"TA Unit List");
    EXPECT_EQ(readString(classes + type + L"\\DefaultIcon", nullptr),
              WideFromUtf8(program) + L",0");
    EXPECT_EQ(readString(classes + type + L"\\shell\\open\\command", nullptr),
              WideFromUtf8(program) + L" %1");
    // Windows shows these in HKEY_CLASSES_ROOT for this user; Wine 8 does
    // not merge the two, so that half is not checked here.
    RegDeleteTreeW(HKEY_CURRENT_USER, (classes + L".klxtest").c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, (classes + type).c_str());
}

}  // namespace
}  // namespace kloxmere::win32
