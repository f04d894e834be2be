#include "app/language.h"

#include <QCoreApplication>
#include <QTranslator>
#include <cstdlib>
#include <string_view>

namespace vz {

namespace {

// The language part of a locale or LANGUAGE entry: "en_GB.UTF-8@x" gives "en".
std::string_view language_of(std::string_view name) { return name.substr(0, name.find_first_of("_.@")); }

}  // namespace

Language chosen_language(const Environment& environment) {
    std::string locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (locale = environment(name); !locale.empty()) break;
    if (locale.empty() || locale == "C" || locale == "POSIX" || language_of(locale) == "C") return Language::Russian;

    std::string_view language = language_of(locale);
    const std::string priorities = environment("LANGUAGE");
    for (std::string_view rest = priorities; !rest.empty();) {
        const std::size_t colon = rest.find(':');
        const std::string_view entry = rest.substr(0, colon);
        if (!entry.empty()) {
            language = language_of(entry);
            break;
        }
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
    return language == "en" ? Language::English : Language::Russian;
}

bool install_translator(QCoreApplication& application) {
    return install_translator(application, chosen_language([](const char* name) {
                                  const char* value = std::getenv(name);
                                  return std::string(value ? value : "");
                              }));
}

bool install_translator(QCoreApplication& application, Language language) {
    static QTranslator english;
    application.removeTranslator(&english);
    if (language != Language::English) return false;
    return english.load(QStringLiteral(":/i18n/vuzuduzi-2_en.qm")) && application.installTranslator(&english);
}

}  // namespace vz
