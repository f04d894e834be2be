// A settings store kept in memory, recording every operation, for tests.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "io/settings_store.h"

namespace vz {

// A store in memory for tests. `values` maps a
// section to its keys; `journal` lists every operation in order, as
// "read section/key", "write section/key=text" and "save".
class MemorySettingsStore final : public SettingsStore {
public:
    std::string read(std::string_view section, std::string_view key, std::string_view fallback) override {
        journal.push_back("read " + std::string(section) + "/" + std::string(key));
        const auto found_section = values.find(std::string(section));
        if (found_section == values.end()) return std::string(fallback);
        const auto found_key = found_section->second.find(std::string(key));
        if (found_key == found_section->second.end()) return std::string(fallback);
        return found_key->second;
    }

    void write(std::string_view section, std::string_view key, std::string_view text) override {
        journal.push_back("write " + std::string(section) + "/" + std::string(key) + "=" + std::string(text));
        values[std::string(section)][std::string(key)] = std::string(text);
    }

    std::error_code save() override {
        journal.push_back("save");
        return save_error;
    }
    std::string location() const override { return "memory"; }

    std::map<std::string, std::map<std::string, std::string>> values;
    std::vector<std::string> journal;
    std::error_code save_error;  // what every save reports
};

}  // namespace vz
