// The page's session answers in JSON: a flat object of texts, numbers,
// flags and nested objects or arrays, written in order.
#pragma once

#include <string>
#include <string_view>

namespace vz {

// `text` as a JSON string, quotes included.
std::string json_string(std::string_view text);

class JsonObject {
public:
    JsonObject& add(std::string_view name, std::string_view text) { return raw(name, json_string(text)); }
    JsonObject& add(std::string_view name, const char* text) { return add(name, std::string_view(text)); }
    JsonObject& add(std::string_view name, int value) { return raw(name, std::to_string(value)); }
    JsonObject& add(std::string_view name, double value);
    JsonObject& add(std::string_view name, bool value) { return raw(name, value ? "true" : "false"); }
    // A value that is JSON already: an object or an array.
    JsonObject& raw(std::string_view name, std::string_view json);
    std::string text() const { return "{" + members_ + "}"; }

private:
    std::string members_;
};

}  // namespace vz
