#include "script/event.h"
#include "script/text_resources.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(CEvnt, Defaults) {
    CEvnt event;
    EXPECT_EQ(event.m_strTime, "00:00.00");
    EXPECT_EQ(event.m_strEvent, "Nop");
    EXPECT_TRUE(event.m_strSkip.empty());
    EXPECT_TRUE(event.m_strLabel.empty());
    EXPECT_TRUE(event.m_strData4.empty());
    EXPECT_TRUE(event.m_bsCompiled.empty());
    EXPECT_EQ(event.m_nSharedCompile, 0);
}

TEST(CEvnt, GetParamPacksDataAndSplitsData4) {
    struct Case {
        const char* data1;
        const char* data2;
        const char* data3;
        const char* data4;
        std::vector<std::string> params; // parameters 0.. ; the rest must be empty
    } cases[] = {
        {"", "x", "", "a \"b c\" d", {"x", "a", "\"b c\"", "d"}},
        {"p", "q", "r", "s", {"p", "q", "r", "s"}},
        {"", "", "", "", {}},
        {"", "", "", "  a", {"", "a"}},                  // a leading run leaves an empty one
        {"", "", "", "a \t\r\n b", {"a", "b"}},          // a run of white space ends one piece
        {"", "", "", "x\"y z\"w v", {"x\"y z\"w", "v"}}, // quotes inside a piece stay
        {"", "", "", "\"open a b", {"\"open a b"}},      // an unclosed quote runs to the end
        {"1",
         "2",
         "3",
         "4 5 6 7 8 9 10 11 12",
         {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
    };
    for (const auto& c : cases) {
        CEvnt event;
        event.m_strData1 = c.data1;
        event.m_strData2 = c.data2;
        event.m_strData3 = c.data3;
        event.m_strData4 = c.data4;
        for (int i = 0; i < 10; ++i) {
            const std::string expected =
                i < static_cast<int>(c.params.size()) ? c.params[static_cast<std::size_t>(i)] : "";
            EXPECT_EQ(event.GetParam(i), expected) << "Data4 \"" << c.data4 << "\" param " << i;
        }
        EXPECT_EQ(event.GetParam(-1), "");
        EXPECT_EQ(event.GetParam(10), "");
    }
}

TEST(TextResources, HoldTheirThreeTexts) {
    CDataStr data("Hello", "\"Hi\" 13 10", "greeting");
    EXPECT_EQ(data.m_strName, "Hello");
    EXPECT_EQ(data.m_strData, "\"Hi\" 13 10");
    EXPECT_EQ(data.m_strComment, "greeting");
    CLcdStr lcd("Line1", "Welcome", "");
    EXPECT_EQ(lcd.m_strName, "Line1");
    EXPECT_EQ(lcd.m_strData, "Welcome");
    EXPECT_EQ(lcd.m_strComment, "");
}

} // namespace
