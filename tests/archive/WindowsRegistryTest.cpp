// The lookup of the game's directory in the Windows registry, against keys
// that the test writes into HKEY_LOCAL_MACHINE (under Wine: the test
// prefix's registry) and removes again. Built on Windows only.

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/TADirectory.h"
#include "archive/modHPIUtil.h"
#include "base/Environment.h"
#include "base/FileSystem.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using kloxmere::test::ScopedEnv;
using kloxmere::test::TempDir;

namespace {

constexpr const char* kInstaller =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Total Annihilation";
constexpr const char* kGog = "Software\\GOG.com\\GOGTOTALANNIHILATION";
constexpr const char* kSteam =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Steam App 298030";

bool keyExists(const std::string& key, REGSAM view) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, WideFromUtf8(key).c_str(), 0, KEY_READ | view, &handle) !=
        ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(handle);
    return true;
}

// Writes one string value into one registry view and, when the object goes,
// removes the keys it had to create (the value with them).
class ScopedRegistryValue {
  public:
    ScopedRegistryValue(const std::string& key, const char* name, const std::string& data,
                        REGSAM view)
        : m_view(view) {
        // The outermost key that is missing now is the one to delete later.
        for (std::size_t end = key.find('\\');; end = key.find('\\', end + 1)) {
            std::string prefix = key.substr(0, end);
            if (!keyExists(prefix, view)) {
                m_created = prefix;
                break;
            }
            if (end == std::string::npos) break;
        }
        if (!m_created) throw std::runtime_error(key + " exists already");
        HKEY handle = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, WideFromUtf8(key).c_str(), 0, nullptr, 0,
                            KEY_WRITE | view, nullptr, &handle, nullptr) != ERROR_SUCCESS) {
            throw std::runtime_error("cannot create " + key);
        }
        std::wstring text = WideFromUtf8(data);
        LONG written = RegSetValueExW(handle, WideFromUtf8(name).c_str(), 0, REG_SZ,
                                      reinterpret_cast<const BYTE*>(text.c_str()),
                                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(handle);
        if (written != ERROR_SUCCESS) throw std::runtime_error("cannot write " + key);
    }

    ~ScopedRegistryValue() {
        std::size_t split = m_created->rfind('\\');
        std::string parent = m_created->substr(0, split), child = m_created->substr(split + 1);
        HKEY handle = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, WideFromUtf8(parent).c_str(), 0,
                          KEY_ALL_ACCESS | m_view, &handle) == ERROR_SUCCESS) {
            RegDeleteTreeW(handle, WideFromUtf8(child).c_str());
            RegCloseKey(handle);
        }
    }

  private:
    REGSAM m_view;
    std::optional<std::string> m_created;
};

class WindowsRegistry : public testing::Test {
  protected:
    void SetUp() override {
        for (const char* key : {kInstaller, kGog, kSteam}) {
            for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
                if (keyExists(key, view)) {
                    GTEST_SKIP() << key << " records a real installation; it is left alone";
                }
            }
        }
    }

    // A game directory whose path no ANSI code page holds.
    std::string gameDirectory(const std::string& name) const {
        std::filesystem::path path = m_root.path() / PathFromUtf8(name);
        std::filesystem::create_directories(path);
        return Utf8FromPath(path);
    }

    TempDir m_root;
    ScopedEnv m_noOverride{"KLOXMERE_TA_DIR", std::nullopt};
};

TEST_F(WindowsRegistry, FindsTheInstallersKeyInThe32BitView) {
    std::string game = gameDirectory("Total Annihilation \xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0");
    EXPECT_EQ(FindTADirectory(), "");
    ScopedRegistryValue installed(kInstaller, "Dir", game, KEY_WOW64_32KEY);
    EXPECT_EQ(FindTADirectory(), game + "\\");

    std::array<char, 256> buffer{};
    GetTADirectory(buffer);
    EXPECT_EQ(BytesToString(buffer), game + "\\");
}

TEST_F(WindowsRegistry, TheInstallerWinsOverTheStoresAndMissingDirectoriesArePassedOver) {
    std::string gog = gameDirectory("GOG \xD0\x98\xD0\xB3\xD1\x80\xD0\xB0\\");  // Игра
    std::string steam = gameDirectory("steamapps\\common\\Total Annihilation");
    ScopedRegistryValue steamKey(kSteam, "InstallLocation", steam, KEY_WOW64_32KEY);
    EXPECT_EQ(FindTADirectory(), steam + "\\");
    ScopedRegistryValue gogKey(kGog, "PATH", gog, KEY_WOW64_64KEY);
    EXPECT_EQ(FindTADirectory(), gog);  // recorded with its separator
    {
        ScopedRegistryValue gone(kInstaller, "Dir", Utf8FromPath(m_root.path() / "gone"),
                                 KEY_WOW64_32KEY);
        EXPECT_EQ(FindTADirectory(), gog);
    }
    std::string installer = gameDirectory("Cavedog\\TA");
    ScopedRegistryValue installed(kInstaller, "Dir", installer, KEY_WOW64_64KEY);
    EXPECT_EQ(FindTADirectory(), installer + "\\");
}

TEST_F(WindowsRegistry, TheEnvironmentOverridesTheRegistry) {
    ScopedRegistryValue installed(kInstaller, "Dir", gameDirectory("TA"), KEY_WOW64_32KEY);
    std::string elsewhere = gameDirectory("\xE5\x88\xA5\xE3\x81\xAE");  // 別の
    ScopedEnv overridden("KLOXMERE_TA_DIR", elsewhere);
    EXPECT_EQ(FindTADirectory(), elsewhere + "\\");
}

}  // namespace
