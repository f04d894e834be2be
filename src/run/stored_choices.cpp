#include "run/stored_choices.h"

#include "run/run_values.h"

namespace vz {

std::string read_text(SettingsStore& store, const StoredKey& key) {
    return store.read(key.section, key.key, key.fallback);
}

double read_number(SettingsStore& store, const StoredKey& key) { return leading_number(read_text(store, key)); }

bool read_box(SettingsStore& store, const StoredKey& key) { return read_number(store, key) == 1; }

void write_text(SettingsStore& store, const StoredKey& key, std::string_view text) {
    store.write(key.section, key.key, text);
}

void write_box(SettingsStore& store, const StoredKey& key, bool checked) {
    write_text(store, key, checked ? "1" : "0");
}

}  // namespace vz
