// The per-user settings store seen as texts addressed by section and key,
// so that the tune composer can keep its counters without knowing where the
// window stores them.
#pragma once

#include <string>
#include <string_view>
#include <system_error>

namespace vz {

// Per-user settings store: texts addressed by section and key. Writes are
// kept until save(), so values that change together reach the disk together.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or `fallback` when the key is missing.
    virtual std::string read(std::string_view section, std::string_view key, std::string_view fallback) = 0;
    virtual void write(std::string_view section, std::string_view key, std::string_view text) = 0;
    // Puts everything written since the last save on disk; the system's
    // reason when that failed, else no error.
    virtual std::error_code save() = 0;
    // Where the values are kept (a file name), as a message would name it.
    virtual std::string location() const = 0;
};

}  // namespace vz
