#include "reproducer/smpte_commands.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
std::vector<std::uint8_t> Bytes(const std::array<std::uint8_t, kSmpteSampleClockLength>& a) {
    return {a.begin(), a.end()};
}
} // namespace

TEST(SmpteCommandBytes, SampleClockOfCompactUnitAt48kHzAnd30Fps) {
    ReelvoxSmpteValues v;
    v.unitType = 0;
    v.clockIndex = 4;
    v.frameRate = 5;
    v.bitsCapable = true;
    EXPECT_EQ(Bytes(ReelvoxSampleClockData(v)),
              (std::vector<std::uint8_t>{0x00, 0x04, 0x00, 0x03, 0x72, 0x63, 0x4E, 0x20,
                                         0x4B, 0x00, 0x3E, 0x90, 0x3E, 0x80, 0xE9, 0x00,
                                         0xE0, 0x9A, 0xBA, 0xCF, 0xB9, 0x00}));
    v.bitsCapable = false;
    v.videoFormat = 1;
    EXPECT_EQ(ReelvoxSampleClockData(v)[5], 0xE0);
    // An index outside the table reads as the default row instead of reading past it.
    v.clockIndex = 200;
    EXPECT_EQ(ReelvoxSampleClockData(v)[3], 0x03);
}

TEST(SmpteCommandBytes, ClockDividerAndSampleRate) {
    struct Case {
        double rate;
        std::int32_t whole, fraction;
    };
    for (const Case& c : {Case{30, 185, 0}, Case{24, 233, 0}, Case{25, 224, 154},
                          Case{29.97, 186, 207}, Case{0, 0, 0}}) {
        const auto pair = ReelvoxClockDivider(c.rate, 0, 4);
        EXPECT_EQ(pair.whole, c.whole) << c.rate;
        EXPECT_EQ(pair.fraction, c.fraction) << c.rate;
    }
    EXPECT_DOUBLE_EQ(ReelvoxSampleClockRate(0, 4), 48000.0);
    EXPECT_DOUBLE_EQ(ReelvoxSampleClockRate(0, 3), 44100.0);
    EXPECT_DOUBLE_EQ(ReelvoxSampleClockRate(0, 5), 0.0);
    EXPECT_DOUBLE_EQ(ReelvoxSampleClockRate(3, 7), 96.0);
    EXPECT_DOUBLE_EQ(ReelvoxSampleClockRate(1, 3), 1024.0 / 256.0 * 11025.0);
}

TEST(SmpteCommandBytes, ModeFlagsAndGroups) {
    ReelvoxSmpteValues v;
    v.frameRate = 2;
    v.stopOnSmpteStop = true;
    v.transition = 0;
    EXPECT_EQ(ReelvoxSmpteModeByte(v), 0x41);
    EXPECT_EQ(ReelvoxSmpteFlagsByte(v), 0x10);
    v.generating = v.videoSync = true;
    v.frameRate = 3;
    v.stopOnSmpteStop = false;
    EXPECT_EQ(ReelvoxSmpteModeByte(v), 2);
    EXPECT_EQ(ReelvoxSmpteFlagsByte(v), 0x51);

    std::array<bool, 9> groups{};
    EXPECT_EQ(ReelvoxUnitGroupsData(groups), (std::vector<std::uint8_t>{0x01, 0x32}));
    groups[2] = groups[8] = true;
    EXPECT_EQ(ReelvoxUnitGroupsData(groups), (std::vector<std::uint8_t>{0x03, 0x32, 0x34, 0x3A}));
}

TEST(SmpteCommandBytes, SettingsImageDecodes) {
    std::vector<std::uint8_t> image(kSmpteSettingsImageLength, 0);
    image[0] = 2;
    image[1] = 50;
    image[2] = 53;
    image[16] = 1; // start 01:02:03.04
    image[17] = 2;
    image[18] = 3;
    image[19] = 4;
    image[32] = 1;
    image[35] = 0x03; // word B 960: 44.1 kHz on a compact unit
    image[36] = 0xC0;
    image[777] = 0x40 | 0; // 24 fps, stop on SMPTE stop
    image[775] = 12;
    image[776] = 0x01 | 0x08 | 0x10;
    // Records for a system of 30 reproducers would run past the table: only 20 are read.
    image[256] = 0x83;
    image[257] = 1;
    const auto d = ReelvoxDecodeSettingsImage(image.data(), static_cast<std::int32_t>(image.size()),
                                              0, 4, false, 30);
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->unitGroups[0]);
    EXPECT_TRUE(d->unitGroups[3]);
    EXPECT_FALSE(d->unitGroups[1]);
    EXPECT_EQ(d->phaseLock, true);
    EXPECT_EQ(d->clockIndex, 3);
    EXPECT_EQ(d->frameRate, 1);
    EXPECT_TRUE(d->stopOnSmpteStop);
    EXPECT_EQ(d->unitNumber, 3);
    EXPECT_EQ(d->mode, ReelvoxSmpteImage::Mode::Generate);
    EXPECT_EQ(d->transition, 0);
    EXPECT_TRUE(d->startOnPower);
    EXPECT_EQ(d->reproducers.size(), 20U);
    EXPECT_EQ(d->reproducers[0].index, 3);
    EXPECT_TRUE(d->reproducers[0].groups[0]);
    EXPECT_EQ(d->start, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));

    EXPECT_FALSE(ReelvoxDecodeSettingsImage(image.data(), 784, 0, 4, false, 0));
}

TEST(SmpteCommandBytes, AddressesAreExactlyFourPieces) {
    std::uint8_t out[4] = {};
    ASSERT_TRUE(ReelvoxParseAddress("192.168.0.254", out));
    EXPECT_EQ(out[0], 192);
    EXPECT_EQ(out[3], 254);
    for (const char* bad : {"192.168.0", "192.168.0.1.5", "192.168.0.256", "1..2.3", "1.2.3.",
                            "a.b.c.d", "1.2.3.4 ", "", "0001.2.3.4"}) {
        EXPECT_FALSE(ReelvoxParseAddress(bad, out)) << bad;
    }
}
