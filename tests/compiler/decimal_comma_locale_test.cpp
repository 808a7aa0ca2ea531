// The conversions must give the same results whatever locale the program runs under: the
// desktop sets the user's locale, and a decimal comma must not change a time or a value.
#include "script/text_utils.h"
#include "script/time_conversions.h"
#include "script/value_parsers.h"

#include <charconv>
#include <clocale>
#include <gtest/gtest.h>
#include <locale>
#include <string>
#include <vector>

namespace {

struct DecimalComma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

std::vector<std::string> Results() {
    std::vector<std::string> out;
    out.push_back(FramesToMinSecText(1798, 29.97));
    out.push_back(FramesToTimecodeText(2591999, 30));
    out.push_back(std::to_string(TimeTextToFrames("1:00:00.00", 29.97) == 107892));
    // Printed with to_chars: std::to_string of a double would itself follow the C locale.
    char buffer[64];
    const auto printed =
        std::to_chars(buffer, buffer + sizeof buffer, TimeTextToFrames("01:02.5", 29.97));
    out.push_back(std::string(buffer, printed.ptr));
    out.push_back(NormalizeTimeEntry("00:13.04", 29.97, 0, {}));
    out.push_back(NormalizeTimeEntryForDoc("12:34:56.12", 25));
    out.push_back(std::to_string(ParseByteValue("50%")));
    out.push_back(std::to_string(ParseWordValue("1234")));
    const ByteString bytes = TimeTextToBytes("1:2:3.4");
    out.push_back(std::string(bytes.begin(), bytes.end()));
    std::uint16_t h = 0, m = 0, s = 0, f = 0;
    const int parsed = ParseTimecodeText("01:02:03.04", h, m, s, f);
    out.push_back(std::to_string(parsed) + std::to_string(h + m + s + f));
    const auto four = SplitFourInts("10, 1.234, -3, 4");
    for (int v : four)
        out.push_back(std::to_string(v));
    out.push_back(std::to_string(CommaFieldToInt("1.500,2", 0)));
    return out;
}

class LocaleGuard {
public:
    LocaleGuard() : saved_(std::locale()), savedC_(std::setlocale(LC_ALL, nullptr)) {}
    ~LocaleGuard() {
        std::locale::global(saved_);
        std::setlocale(LC_ALL, savedC_.c_str());
    }

private:
    std::locale saved_;
    std::string savedC_;
};

TEST(DecimalCommaLocale, ResultsDoNotChange) {
    const std::vector<std::string> expected = Results();
    LocaleGuard guard;

    std::locale::global(std::locale(std::locale::classic(), new DecimalComma));
    EXPECT_EQ(Results(), expected);

    if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {
        EXPECT_EQ(Results(), expected);
    }
}

} // namespace
