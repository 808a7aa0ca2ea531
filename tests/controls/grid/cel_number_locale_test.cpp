// A number cell's text and its reading do not follow the user's locale: under a decimal comma
// 2.5 still writes "2.500000", reads back as 2.5 and sorts after 2.25.
#include "controls/grid/cel_cell.h"
#include "tests/support/decimal_comma_locale.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

class CELNumberLocale : public ::testing::Test {
protected:
    void SetUp() override {
        if (!locale_.Available())
            GTEST_SKIP() << "no decimal-comma locale: " << locale_.Why();
    }
    testing_support::DecimalCommaLocale locale_;
};

CELCell Number(double value) {
    CELCell cell;
    cell.SetNumber(value);
    return cell;
}

TEST_F(CELNumberLocale, NumberTextReadsBackAndSorts) {
    const CELCell half = Number(2.5);
    EXPECT_STREQ(half.GetValueText(), "2.500000");
    EXPECT_DOUBLE_EQ(half.GetValueNumber(), 2.5);
    EXPECT_STREQ(Number(-1234567.125).GetValueText(), "-1234567.125000");
    const CELCell quarter = Number(2.25);
    EXPECT_GT(CompareCellsDefault(&half, &quarter, 0), 0);
    EXPECT_LT(CompareCellsDefault(&quarter, &half, 0), 0);
}

TEST_F(CELNumberLocale, TextsReadAsTheCLocaleReadsThem) {
    const double inf = std::numeric_limits<double>::infinity();
    struct {
        const char* text;
        double value;
    } cases[] = {
        {"2.5", 2.5},   {"  +2.5", 2.5}, {"\t-.5x", -0.5}, {"2,5", 2.0},    {"0x1p3", 8.0},
        {"-0X10", -16}, {"0x", 0.0},     {"1e3", 1000.0},  {"1e-400", 0.0}, {"1e400", inf},
        {"-inf", -inf}, {"abc", 0.0},    {"", 0.0},        {"-", 0.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadDouble(c.text), c.value) << '"' << c.text << '"';
}

} // namespace
