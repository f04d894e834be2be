#include "web/page_store.h"

namespace vz {

std::string PageStore::storage_key(std::string_view section, std::string_view key) {
    std::string name(kPrefix);
    name.append(section).append("/").append(key);
    return name;
}

void PageStore::put(std::string_view storage_key, std::string_view text) {
    if (storage_key.starts_with(kPrefix)) values_.insert_or_assign(std::string(storage_key), std::string(text));
}

std::string PageStore::read(std::string_view section, std::string_view key, std::string_view fallback) {
    const auto found = values_.find(storage_key(section, key));
    return found == values_.end() ? std::string(fallback) : found->second;
}

void PageStore::write(std::string_view section, std::string_view key, std::string_view text) {
    std::string name = storage_key(section, key);
    values_.insert_or_assign(name, std::string(text));
    written_.emplace_back(std::move(name), std::string(text));
}

std::vector<std::pair<std::string, std::string>> PageStore::take_written() { return std::exchange(written_, {}); }

}  // namespace vz
