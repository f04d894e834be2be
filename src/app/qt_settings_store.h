// The per-user settings store of application "vazedoza": an INI file at
// $XDG_CONFIG_HOME/vazedoza/vazedoza.conf (~/.config when unset).
//
// A file that cannot be parsed is kept, not fought: what could be read from
// it is used, and the file itself is moved aside unchanged, to
// `vazedoza.conf.damaged` (or `.damaged.1`, `.2`, ...), so that the next
// save writes clean settings: only what is written anew. One line on stderr
// says where it went.
#pragma once

#include <QSettings>
#include <memory>

#include "io/settings_store.h"

namespace vz {

class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore();
    std::string read(std::string_view section, std::string_view key, std::string_view fallback) override;
    void write(std::string_view section, std::string_view key, std::string_view text) override;
    std::error_code save() override;
    std::string location() const override { return file_name().toStdString(); }
    QString file_name() const { return settings_->fileName(); }
    // Where a damaged file was moved at start; empty when it was not.
    const QString& damaged_copy() const { return damaged_copy_; }

private:
    void keep_damaged_file();

    std::unique_ptr<QSettings> settings_;
    QVariantMap recovered_;  // what could be read from a damaged file
    QString damaged_copy_;
    bool damaged_in_place_ = false;  // damaged, and could not be moved aside
    bool unsaved_ = false;
};

}  // namespace vz
