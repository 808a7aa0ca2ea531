#include "views/gridbase/listing_layout.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

TEST(ListingLayout, PagesLinesAndSections) {
    // Line height 10, page bottom 100: lines at 40, 50, ... 100 (seven to a page).
    std::string seven;
    for (int i = 0; i < 7; ++i)
        seven += "line\r\n";
    struct Case {
        std::string text;
        int lineHeight, bottom, pages;
    } cases[] = {
        {"", 10, 100, 0},
        {seven, 10, 100, 1},
        {seven + "last", 10, 100, 2},
        // A section line takes two line heights.
        {"[Inputs]\r\n" + seven.substr(0, 6 * 6), 10, 100, 2},
        // A page shorter than the first line's place still takes one line a page.
        {"a\r\nb\r\nc", 10, 20, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LayoutListing(c.text, c.lineHeight, c.bottom, 0, {}), c.pages) << c.text;

    std::vector<std::pair<std::string, int>> drawn;
    LayoutListing(
        "[Inputs]\r\n;note\r\nInput01=Door\r\n", 10, 100, 1,
        [&](const ListingLine& line) { drawn.emplace_back(ShownListingText(line), line.y); });
    const std::vector<std::pair<std::string, int>> expected{
        {"Inputs", 40}, {" note", 60}, {"Input01=Door", 80}};
    EXPECT_EQ(drawn, expected);
}

} // namespace
