// The per-user settings store seen as texts addressed by section and key,
// so that the tune composer can keep its counters without knowing where the
// window stores them.
#pragma once

#include <string>
#include <string_view>

namespace vz {

// Per-user settings store: texts addressed by section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or `fallback` when the key is missing.
    virtual std::string read(std::string_view section, std::string_view key, std::string_view fallback) = 0;
    virtual void write(std::string_view section, std::string_view key, std::string_view text) = 0;
};

}  // namespace vz
