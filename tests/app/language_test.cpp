// The language chosen from the environment, as gettext chooses one.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <map>

#include "app/language.h"
#include "app/refusal_text.h"

namespace vz {
namespace {

struct Case {
    std::map<std::string, std::string> environment;
    Language expected;
};

TEST(LanguageTest, EnglishOnlyWhenTheLocaleAndLanguageAskForIt) {
    using enum Language;
    const Case cases[] = {
        {{}, Russian},
        {{{"LANGUAGE", "en"}}, Russian},  // no locale: LANGUAGE is ignored
        {{{"LANG", "C"}, {"LANGUAGE", "en"}}, Russian},
        {{{"LANG", "C.UTF-8"}, {"LANGUAGE", "en"}}, Russian},
        {{{"LANG", "POSIX"}, {"LANGUAGE", "en"}}, Russian},
        {{{"LANG", "en_US.UTF-8"}}, English},
        {{{"LANG", "en"}}, English},
        {{{"LANG", "fr_FR.UTF-8"}}, Russian},
        {{{"LANG", "ru_RU.UTF-8"}, {"LANGUAGE", "en_GB:ru"}}, English},
        {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "de:en"}}, Russian},  // the first entry counts
        {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", ""}}, English},       // empty is unset
        {{{"LC_ALL", "ru_RU.UTF-8"}, {"LANG", "en_US.UTF-8"}}, Russian},
        {{{"LC_ALL", ""}, {"LC_MESSAGES", "en_GB.UTF-8"}, {"LANG", "ru_RU.UTF-8"}}, English},
        {{{"LC_MESSAGES", "C"}, {"LANG", "en_US.UTF-8"}, {"LANGUAGE", "en"}}, Russian},
        {{{"LC_ALL", "de_DE@euro"}, {"LANGUAGE", "en"}}, English},
    };
    for (const Case& c : cases) {
        const Language chosen = chosen_language([&](const char* name) {
            const auto found = c.environment.find(name);
            return found == c.environment.end() ? std::string() : found->second;
        });
        std::string described;
        for (const auto& [name, value] : c.environment) described += name + "=" + value + " ";
        EXPECT_EQ(chosen, c.expected) << described;
    }
}

// A refused request in both languages: which value, what it was, its range.
TEST(LanguageTest, RefusalsNameTheValueAndItsRange) {
    const char* names[][2] = {{"Количество картинок", "Number of pictures"}, {"Размер картинок", "Picture size"},
                              {"Исходный размер узора", "Pattern's reference size"}, {"Цифра узора", "Pattern digit"},
                              {"Степень палитры", "Palette power"}};
    for (const Language language : {Language::English, Language::Russian}) {
        install_translator(*QCoreApplication::instance(), language);
        const bool english = language == Language::English;
        for (int value = 1; value <= 5; ++value)
            EXPECT_EQ(refusal_text({static_cast<RequestValue>(value), 1000.5, 10, 1000}),
                      QString::fromUtf8(names[value - 1][english]) +
                          (english ? QStringLiteral(": 1000.5, but it must be from 10 to 1000.")
                                   : QStringLiteral(": 1000.5, а допустимо от 10 до 1000.")));
    }
}

}  // namespace
}  // namespace vz
