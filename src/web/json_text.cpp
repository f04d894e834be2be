#include "web/json_text.h"

#include <cmath>
#include <cstdio>

namespace vz {

std::string json_string(std::string_view text) {
    std::string json = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            json += escaped;
        } else {
            json += c;
        }
    }
    return json + "\"";
}

JsonObject& JsonObject::add(std::string_view name, double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return raw(name, std::isfinite(value) ? text : "null");  // JSON has no NaN or infinity
}

JsonObject& JsonObject::raw(std::string_view name, std::string_view json) {
    if (!members_.empty()) members_ += ',';
    members_ += json_string(name);
    members_ += ':';
    members_ += json;
    return *this;
}

}  // namespace vz
