#include "ui/QtSettingsStore.h"

#include "base/PlatformServices.h"

namespace kloxmere::ui {

namespace {

QString address(const std::string& section, const std::string& key) {
    return QString::fromStdString(section) + "/" + QString::fromStdString(key);
}

}  // namespace

QtSettingsStore::QtSettingsStore() : m_settings(kApplicationTitle, kApplicationTitle) {}

std::string QtSettingsStore::get(const std::string& section, const std::string& key,
                                 const std::string& fallback) {
    const QVariant value = m_settings.value(address(section, key));
    if (!value.isValid()) return fallback;
    return value.toString().toStdString();
}

void QtSettingsStore::save(const std::string& section, const std::string& key,
                           const std::string& value) {
    m_settings.setValue(address(section, key), QString::fromStdString(value));
}

void QtSettingsStore::flush() {
    m_settings.sync();
}

}  // namespace kloxmere::ui
