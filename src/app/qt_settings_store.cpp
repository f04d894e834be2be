#include "app/qt_settings_store.h"

#include <QStandardPaths>

namespace vz {

namespace {

QString store_path() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/vazedoza/vazedoza.conf");
}

QString setting_key(std::string_view section, std::string_view key) {
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + '/' +
           QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

}  // namespace

QtSettingsStore::QtSettingsStore() : settings_(store_path(), QSettings::IniFormat) {}

std::string QtSettingsStore::read(std::string_view section, std::string_view key, std::string_view fallback) {
    const QVariant value = settings_.value(setting_key(section, key));
    if (!value.isValid()) return std::string(fallback);
    // A hand-edited list ("a, b") reads back as several texts; keep them as typed.
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(QStringLiteral(", ")).toStdString();
    return value.toString().toStdString();
}

void QtSettingsStore::write(std::string_view section, std::string_view key, std::string_view text) {
    settings_.setValue(setting_key(section, key),
                       QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    settings_.sync();
}

bool QtSettingsStore::saved() {
    settings_.sync();
    return settings_.status() == QSettings::NoError;
}

}  // namespace vz
