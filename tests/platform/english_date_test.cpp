#include "platform/english_date.h"

#include <clocale>
#include <gtest/gtest.h>

namespace {

std::tm Date(int year, int month, int day, int wday, int hour = 0, int minute = 0) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_wday = wday;
    t.tm_hour = hour;
    t.tm_min = minute;
    return t;
}

TEST(EnglishDate, FormatsNamesAndNumbersInEnglish) {
    struct Case {
        std::tm time;
        const char* format;
        const char* text;
    } cases[] = {
        {Date(2026, 12, 11, 5), "%A, %B %d, %Y", "Friday, December 11, 2026"},
        {Date(2027, 1, 3, 0, 9, 5), "%A, %B %d, %Y, %H:%M", "Sunday, January 03, 2027, 09:05"},
        {Date(2024, 9, 30, 1, 23, 59), "%B|%A|%H%M", "September|Monday|2359"},
        {Date(2025, 5, 1, 6), "100%% %Q", "100% %Q"},
        {Date(2025, 5, 1, 6), "trailing %", "trailing %"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::FormatEnglishDate(c.time, c.format), c.text) << c.format;
}

TEST(EnglishDate, IgnoresTheUsersTimeLocale) {
    // Whatever LC_TIME the user runs under (a missing locale leaves "C", which is no worse).
    const char* before = std::setlocale(LC_TIME, nullptr);
    const std::string saved = before ? before : "C";
    std::setlocale(LC_TIME, "de_DE.UTF-8");
    EXPECT_EQ(platform::FormatEnglishDate(Date(2026, 3, 2, 1), "%A %B"), "Monday March");
    const std::string now = platform::EnglishDateNow("%A");
    std::setlocale(LC_TIME, saved.c_str());
    EXPECT_NE(now.find("day"), std::string::npos);
}

} // namespace
