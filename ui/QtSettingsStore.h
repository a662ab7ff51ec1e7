#pragma once

// The per-user settings store over QSettings, organisation and application
// "Kloxmere": the registry on Windows, ~/.config/Kloxmere/Kloxmere.conf on
// Linux. Every value is kept as text, so that it means the same everywhere.

#include <QSettings>

#include "app/Settings.h"

namespace kloxmere::ui {

class QtSettingsStore final : public SettingsStore {
  public:
    QtSettingsStore();

    std::string get(const std::string& section, const std::string& key,
                    const std::string& fallback) override;
    void save(const std::string& section, const std::string& key,
              const std::string& value) override;
    void flush() override;

    // Where the settings live, for tests and messages.
    QString fileName() const { return m_settings.fileName(); }

  private:
    QSettings m_settings;
};

}  // namespace kloxmere::ui
