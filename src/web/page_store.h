// The page's settings store: the values its storage held when the page
// opened, and every value written since, for the page to keep in its
// storage. Each value is kept under "vuzuduzi-2/<section>/<key>", so the
// page's values never meet another page's in a storage they share.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "io/settings_store.h"

namespace vz {

class PageStore final : public SettingsStore {
public:
    static constexpr std::string_view kPrefix = "vuzuduzi-2/";

    // A value the page's storage holds, by its storage key; keys without
    // the prefix are not the page's and are left out.
    void put(std::string_view storage_key, std::string_view text);

    std::string read(std::string_view section, std::string_view key, std::string_view fallback) override;
    void write(std::string_view section, std::string_view key, std::string_view text) override;
    // The page keeps the values itself (see take_written), so nothing can fail here.
    std::error_code save() override { return {}; }
    std::string location() const override { return std::string(kPrefix); }

    // Storage key and text of every value written since the last look.
    std::vector<std::pair<std::string, std::string>> take_written();

private:
    static std::string storage_key(std::string_view section, std::string_view key);

    std::map<std::string, std::string, std::less<>> values_;
    std::vector<std::pair<std::string, std::string>> written_;
};

}  // namespace vz
