// Every helper takes whatever a user or a file hands it: random texts must stay within each
// result's contract and never trip the sanitizers.
#include "script/text_utils.h"
#include "script/time_conversions.h"
#include "script/value_parsers.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

std::string RandomText(std::mt19937& rng) {
    static const std::string alphabet = "0123456789:.,-+ #%hHxXaFg\"\t>&\\9999";
    std::uniform_int_distribution<int> length(0, 40);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(alphabet.size()) - 1);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::string text;
    const int n = length(rng);
    for (int i = 0; i < n; ++i)
        text += (i % 7 == 6) ? static_cast<char>(anyByte(rng))
                             : alphabet[static_cast<std::size_t>(pick(rng))];
    return text;
}

TEST(ArbitraryText, ResultsStayWithinTheirContracts) {
    std::mt19937 rng(20261210);
    for (int i = 0; i < 5000; ++i) {
        const std::string text = RandomText(rng);
        SCOPED_TRACE(text);
        const int byteValue = ParseByteValue(text);
        EXPECT_TRUE(byteValue >= -1 && byteValue <= 255);
        const int wordValue = ParseWordValue(text);
        EXPECT_TRUE(wordValue >= -1 && wordValue <= 65535);
        EXPECT_LE(DataElementToBytes(text).size(), text.size());

        const ByteString bytes = TimeTextToBytes(text);
        if (!bytes.empty()) {
            ASSERT_EQ(bytes.size(), 4u);
            EXPECT_TRUE(bytes[0] <= 23 && bytes[1] <= 59 && bytes[2] <= 59 && bytes[3] <= 29);
        }
        std::uint16_t h = 0, m = 0, s = 0, f = 0;
        if (ParseTimecodeText(text, h, m, s, f) == 0) {
            EXPECT_TRUE(h <= 23 && m <= 59 && s <= 59 && f <= 29);
        }

        for (double rate : {24.0, 25.0, 29.97, 30.0}) {
            const double frames = TimeTextToFrames(text, rate);
            FramesToMinSecText(frames, rate);
            FramesToTimecodeText(frames, rate);
            const std::string entry = NormalizeTimeEntry(text, rate, 0, {});
            if (!entry.empty()) {
                EXPECT_EQ(NormalizeTimeEntry(entry, rate, 0, {}), entry) << "stable at " << rate;
            }
            NormalizeTimeEntryForDoc(text, rate);
        }

        NormalizeName(text, true);
        TextBeforeLastArrow(text);
        TextAfterLastArrow(text);
        DirectoryOfPath(text);
        SplitFourInts(text);
        CommaFieldToInt(text, 2);
        SplitTextAtBlank(text, 10);
    }
}

} // namespace
