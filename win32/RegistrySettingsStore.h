#pragma once

// The per-user settings store in the registry: under
// HKEY_CURRENT_USER\Software\Kloxmere\Kloxmere, one subkey per section and
// one REG_SZ value per key, the same sections, keys and text the Linux
// window keeps in its settings file.

#include <string>

#include "app/Settings.h"

namespace kloxmere::win32 {

inline constexpr const wchar_t* kSettingsKey = L"Software\\Kloxmere\\Kloxmere";

class RegistrySettingsStore final : public SettingsStore {
  public:
    // `key` under HKEY_CURRENT_USER; tests pass a key of their own.
    explicit RegistrySettingsStore(std::wstring key = kSettingsKey);

    // The stored text; `fallback` when the section, the key or a text value
    // is missing.
    std::string get(const std::string& section, const std::string& key,
                    const std::string& fallback) override;
    // Creates the section's subkey when needed; a refused write is passed
    // over, as the store has no way to report it.
    void save(const std::string& section, const std::string& key,
              const std::string& value) override;

  private:
    std::wstring m_key;
};

}  // namespace kloxmere::win32
