// The language chosen from the environment, as gettext chooses one.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <map>
#include <tuple>

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
    using enum RequestValue;
    const std::tuple<RequestProblem, const char*, const char*> cases[] = {
        {{FrameCount, 0, 1, 100}, "Количество картинок: 0, а допустимо от 1 до 100.",
         "Number of pictures: 0, but it must be from 1 to 100."},
        {{PictureSize, 1001, 10, 1000}, "Размер картинок: 1001, а допустимо от 10 до 1000.", "Picture size: 1001, "},
        {{ReferenceSize, 1000.5, 10, 1000}, "Исходный размер узора: 1000.5,", "Pattern's reference size: 1000.5, "},
        {{PatternDigit, 12, 0, 9}, "Цифра узора: 12,", "Pattern digit: 12, but it must be from 0 to 9."},
        {{PalettePower, 4, 0, 3}, "Степень палитры: 4,", "Palette power: 4, "},
    };
    for (const Language language : {Language::English, Language::Russian}) {
        install_translator(*QCoreApplication::instance(), language);
        for (const auto& [problem, russian, english] : cases) {
            const QString text = refusal_text(problem);
            const char* expected = language == Language::English ? english : russian;
            EXPECT_TRUE(text.startsWith(QString::fromUtf8(expected))) << text.toStdString();
        }
    }
}

}  // namespace
}  // namespace vz
