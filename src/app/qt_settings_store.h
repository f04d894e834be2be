// The per-user settings store of application "vazedoza": an INI file at
// $XDG_CONFIG_HOME/vazedoza/vazedoza.conf (~/.config when unset).
#pragma once

#include <QSettings>

#include "io/settings_store.h"

namespace vz {

class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore();
    std::string read(std::string_view section, std::string_view key, std::string_view fallback) override;
    void write(std::string_view section, std::string_view key, std::string_view text) override;
    QString file_name() const { return settings_.fileName(); }
    // Whether everything written so far reached the file.
    bool saved();

private:
    QSettings settings_;
};

}  // namespace vz
