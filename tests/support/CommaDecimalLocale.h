// A comma-decimal locale for the length of a scope, to show that what the program writes
// does not follow the process locale. scripts/run-tests.sh builds de_DE.UTF-8 under LOCPATH.
#pragma once

#include <clocale>
#include <cstdio>
#include <string>

class CommaDecimalLocale {
public:
    CommaDecimalLocale() : m_previous(std::setlocale(LC_ALL, nullptr))
    {
        char printed[16] = "";
        if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr)
            std::snprintf(printed, sizeof printed, "%.2f", 0.5);
        m_active = std::string(printed) == "0,50";
    }
    ~CommaDecimalLocale() { std::setlocale(LC_ALL, m_previous.c_str()); }
    CommaDecimalLocale(const CommaDecimalLocale&) = delete;
    CommaDecimalLocale& operator=(const CommaDecimalLocale&) = delete;

    // False when the locale is not installed (or does not write commas): skip then.
    bool Active() const { return m_active; }

private:
    std::string m_previous;
    bool m_active = false;
};

#define SPM_REQUIRE_COMMA_LOCALE(locale)                                                  \
    do {                                                                                  \
        if (!(locale).Active())                                                           \
            GTEST_SKIP() << "locale de_DE.UTF-8 is not installed; the comma-decimal run " \
                            "is skipped";                                                 \
    } while (0)
