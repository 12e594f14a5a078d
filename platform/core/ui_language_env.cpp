// GetUserDefaultUILanguage on Linux: the locale variables as they are set, whether or not the
// locale they name is installed, so the environment and not setlocale's answer.
#include <cstdlib>

#include "ui_language.h"

LANGID WINAPI GetUserDefaultUILanguage() {
    return platform::LanguageOfLocaleVariables(std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                                               std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}
