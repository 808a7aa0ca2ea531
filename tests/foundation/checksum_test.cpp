#include "foundation/checksum.h"

#include <gtest/gtest.h>

namespace {

TEST(ChecksumByteSum, SumsBytesModulo256) {
    QORChecksumByteSum_c sum;
    const std::uint8_t bytes[] = {0xFF, 0x02};
    EXPECT_EQ(sum.Update(bytes, 2), 2);
    EXPECT_EQ(*sum.Value(), 0x01);
    EXPECT_EQ(sum.Size(), 1);
    EXPECT_EQ(sum.Update(nullptr, 1), 254);
    EXPECT_EQ(*sum.Value(), 0x01);

    std::uint8_t out = 0xAA;
    EXPECT_EQ(sum.CopyOut(&out, 0), -2);
    EXPECT_EQ(out, 0xAA);
    EXPECT_EQ(sum.CopyOut(nullptr, 1), -2);
    EXPECT_EQ(sum.CopyOut(&out, 1), 1);
    EXPECT_EQ(out, 0x01);

    sum.Reset();
    EXPECT_EQ(*sum.Value(), 0);
    auto fresh = sum.Create();
    EXPECT_EQ(*fresh->Value(), 0);
}

} // namespace
