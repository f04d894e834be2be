// The window's language, chosen once at start the way gettext chooses one:
// Russian, the program's own, unless the desktop asks for English.
#pragma once

#include <functional>
#include <string>

class QCoreApplication;

namespace vz {

enum class Language { Russian, English };

// The value of an environment variable, empty when unset.
using Environment = std::function<std::string(const char* name)>;

// The locale is the first non-empty of LC_ALL, LC_MESSAGES and LANG. Unset,
// C, C.UTF-8 or POSIX keeps Russian and LANGUAGE is ignored. Otherwise the
// language is the first entry of LANGUAGE, else the locale's own; "en" gives
// English, anything else Russian.
Language chosen_language(const Environment& environment);

// Installs the English translation on `application` when the process
// environment chooses English; true when it did. Call once, before the
// window is made.
bool install_translator(QCoreApplication& application);
// The same for a language given outright; Russian removes an installed one.
bool install_translator(QCoreApplication& application, Language language);

}  // namespace vz
