// Times and trigger texts of a sequence must not change under a locale with a decimal comma.
#include "script/sequence.h"

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
    CSeq seq("S", 1);
    for (const char* time : {"00:03.10", "00:01.00", "1:02.29", "00:59.29"}) {
        auto event = std::make_unique<CEvnt>();
        event->m_strTime = time;
        seq.m_poEventList.push_back(std::move(event));
    }
    seq.SortEventsByTime(29.97);
    seq.CheckEventOrder(29.97, true);
    std::vector<std::string> out;
    for (const auto& event : seq.m_poEventList)
        out.push_back(event->m_strTime);
    seq.m_nSmpteStartOn = 1;
    seq.m_anSmpteStart = {1, 2, 3, 4};
    seq.m_aTriggers[CSeq::Stop].m_strVariable = "Level";
    seq.m_aTriggers[CSeq::Stop].m_strValue = "2";
    out.push_back(seq.GetTimecodeText());
    return out;
}

TEST(DecimalCommaLocale, SequenceTimesDoNotChange) {
    const std::vector<std::string> expected = Results();
    EXPECT_EQ(expected,
              (std::vector<std::string>{"00:01.00", "00:03.10", "00:59.29", "01:02.29",
                                        "Timecode Trigger: 01:02:03.04 ; Stop: Level eq 2"}));
    const std::locale saved;
    const std::string savedC = std::setlocale(LC_ALL, nullptr);

    std::locale::global(std::locale(std::locale::classic(), new DecimalComma));
    EXPECT_EQ(Results(), expected);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {
        EXPECT_EQ(Results(), expected);
    }

    std::locale::global(saved);
    std::setlocale(LC_ALL, savedC.c_str());
}

} // namespace
