// The user's choices as the settings store keeps them, for the window and
// the page alike: where each is kept, its default, and how a stored text
// is read back.
#pragma once

#include <string>
#include <string_view>

#include "io/settings_store.h"

namespace vz {

// Where one choice is kept, and the text that stands for it when missing.
struct StoredKey {
    std::string_view section;
    std::string_view key;
    std::string_view fallback;
};

namespace stored {
inline constexpr StoredKey kFolder{"tem", "put", ""};
inline constexpr StoredKey kFrameCount{"tem", "col", "3"};
inline constexpr StoredKey kPictureSize{"tem", "px", "323"};
inline constexpr StoredKey kMobileSize{"tem", "mob", "0"};
inline constexpr StoredKey kTransparent{"tem", "fon", "0"};
inline constexpr StoredKey kLeft{"tem", "lef", "3500"};  // twips
inline constexpr StoredKey kTop{"tem", "top", "3000"};   // twips
inline constexpr StoredKey kOpenAtEnd{"met", "ope", "1"};
}  // namespace stored

// The side of the mobile size box, which puts it into the size box.
inline constexpr int kMobileSize = 128;

// The stored text as it was written; the default when missing.
std::string read_text(SettingsStore& store, const StoredKey& key);
// The leading number of the stored text, 0 when it has none.
double read_number(SettingsStore& store, const StoredKey& key);
// A box is checked when its stored number is 1.
bool read_box(SettingsStore& store, const StoredKey& key);

void write_text(SettingsStore& store, const StoredKey& key, std::string_view text);
void write_box(SettingsStore& store, const StoredKey& key, bool checked);

}  // namespace vz
