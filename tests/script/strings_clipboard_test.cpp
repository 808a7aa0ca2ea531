#include "script/strings_clipboard.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Of(std::initializer_list<int> values) {
    Bytes bytes;
    for (int v : values)
        bytes.push_back(static_cast<std::uint8_t>(v));
    return bytes;
}

// The block is the tag, the count low byte first, then each text as a length byte and its
// bytes, with nothing between.
TEST(StringsClipboard, EncodesTheLayoutByteForByte) {
    const Bytes block = EncodeStringsBlock({{"A", "h0d", ""}, {"Bc", "", "x"}});
    EXPECT_EQ(block, Of({2, 2, 0, 1, 'A', 3, 'h', '0', 'd', 0, 2, 'B', 'c', 0, 1, 'x'}));

    std::vector<StringRecord> many(300);
    const Bytes counted = EncodeStringsBlock(many);
    EXPECT_EQ(counted[1], 300 & 0xFF);
    EXPECT_EQ(counted[2], 300 >> 8);
    EXPECT_EQ(counted.size(), 3u + 300u * 3u);
}

TEST(StringsClipboard, CutsLongTextsTo255Bytes) {
    const std::string name(300, 'n');
    EXPECT_TRUE(StringsNeedCutting({{name, "", ""}}));
    EXPECT_FALSE(StringsNeedCutting({{std::string(255, 'n'), "", ""}}));
    const Bytes block = EncodeStringsBlock({{name, "d", ""}});
    ASSERT_EQ(block.size(), 3u + 1u + 255u + 2u + 1u);
    EXPECT_EQ(block[3], 255);
    const auto back = DecodeStringsBlock(block);
    ASSERT_TRUE(back);
    EXPECT_EQ((*back)[0].name, name.substr(0, 255));
    EXPECT_EQ((*back)[0].data, "d");
}

TEST(StringsClipboard, DecodesWhatItEncodesWithAnyBytes) {
    std::string binary;
    for (int c = 0; c < 256; c += 7)
        binary += static_cast<char>(c);
    const std::vector<StringRecord> records = {{"one", "\"Hi\", h0D", "c"}, {"", binary, ""}};
    const auto back = DecodeStringsBlock(EncodeStringsBlock(records));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ((*back)[i].name, records[i].name);
        EXPECT_EQ((*back)[i].data, records[i].data);
        EXPECT_EQ((*back)[i].comment, records[i].comment);
    }
}

// Trailing bytes after the last record are allowed (the block may be larger than its records);
// every other mismatch between the block and what it announces refuses it whole.
TEST(StringsClipboard, RefusesBlocksThatDoNotHoldWhatTheyAnnounce) {
    struct Case {
        const char* what;
        Bytes block;
        bool accepted;
    };
    const Case cases[] = {
        {"empty", {}, false},
        {"header cut", Of({2, 1}), false},
        {"another tag", Of({3, 0, 0}), false},
        {"count past the end", Of({2, 2, 0, 0, 0, 0}), false},
        {"length past the end", Of({2, 1, 0, 4, 'a', 'b', 0, 0}), false},
        {"comment missing", Of({2, 1, 0, 1, 'a', 0}), false},
        {"huge count", Of({2, 0xFF, 0xFF, 0, 0, 0}), false},
        {"no strings", Of({2, 0, 0}), true},
        {"trailing bytes", Of({2, 1, 0, 0, 0, 0, 9, 9, 9}), true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeStringsBlock(c.block).has_value(), c.accepted) << c.what;
    }
    EXPECT_EQ(StringsBlockCount(Of({2, 0x34, 0x12})), 0x1234);
    EXPECT_FALSE(StringsBlockCount(Of({1, 0, 0})));
}

} // namespace
