#include "foundation/byte_buffer.h"
#include "foundation/smpte_timecode.h"
#include "foundation/status.h"
#include "reproducer/reelvox_system.h"
#include "reproducer/reproducer_elements.h"
#include "reproducer/reproducer_units.h"
#include "reproducer/smpte_interface.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Feeds the bytes in pieces of the given size, as a serial line delivers them.
std::uint8_t Feed(QORCallback_c::Function parse, void* device,
                  const std::vector<std::uint8_t>& bytes, std::size_t piece) {
    std::uint8_t status = 0;
    for (std::size_t at = 0; at < bytes.size() && status == 0; at += piece) {
        const auto n = static_cast<std::int32_t>(std::min(piece, bytes.size() - at));
        auto buffer = QORBuffer_c::New(n);
        buffer->CopyIn(n, bytes.data() + at);
        status = parse(buffer.get(), device);
    }
    return status;
}

class SmpteReplies : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(system.AttachSMPTEInterface(std::make_unique<ReelvoxSMPTEInterface_c>()), QOR_OK);
        smpte = system.SMPTEInterface();
    }
    Reelvox_c system;
    ReelvoxSMPTEInterface_c* smpte = nullptr;
};

} // namespace

TEST_F(SmpteReplies, TextShortAndStatusReplies) {
    smpte->SetRequestByte('B');
    const std::string version = "SMPTE V1.20\r";
    EXPECT_EQ(Feed(&ReelvoxSMPTEInterface_c::ParseTextReply, smpte,
                   std::vector<std::uint8_t>(version.begin(), version.end()), 3),
              QOR_OK);
    EXPECT_DOUBLE_EQ(smpte->FirmwareVersion(), 1.20);
    EXPECT_EQ(Feed(&ReelvoxSMPTEInterface_c::ParseTextReply, smpte, {'U', 'x'}, 1), QOR_ERROR);
    ReelvoxSMPTEInterface_c::ParseTextReply(nullptr, smpte);
    EXPECT_EQ(Feed(&ReelvoxSMPTEInterface_c::ParseTextReply, smpte, {'a', 0x07}, 2), QOR_ERROR);
    ReelvoxSMPTEInterface_c::ParseTextReply(nullptr, smpte);

    EXPECT_EQ(Feed(&ReelvoxSMPTEInterface_c::ParseShortReply, smpte, {0xAA, 0x12, 0x34}, 1),
              QOR_OK);
    EXPECT_EQ(smpte->ReplyBytes(), (std::array<std::uint8_t, 2>{0x12, 0x34}));
    EXPECT_EQ(Feed(&ReelvoxSMPTEInterface_c::ParseShortReply, smpte, {'U'}, 1), QOR_ERROR);
    ReelvoxSMPTEInterface_c::ParseShortReply(nullptr, smpte);
    EXPECT_EQ(Feed(&ReelvoxSMPTEInterface_c::ParseShortReply, smpte, {0x55, 1, 2}, 3), QOR_ERROR);

    std::vector<std::uint8_t> table(kSmpteStatusTableLength, 0xFF);
    table[0] = 0x11;
    table[2] = 0x1F;
    EXPECT_EQ(Feed(&ReelvoxSMPTEInterface_c::ParseStatusTable, smpte,
                   std::vector<std::uint8_t>(table.begin(), table.begin() + 20), 7),
              0);
    EXPECT_EQ(Feed(&ReelvoxSMPTEInterface_c::ParseStatusTable, smpte,
                   std::vector<std::uint8_t>(table.begin() + 20, table.end()), 7),
              QOR_OK);
    EXPECT_EQ(smpte->StatusEntry(0), (std::array<std::uint8_t, 3>{0x11, 0, 32}));
    EXPECT_EQ(smpte->StatusEntry(1), (std::array<std::uint8_t, 3>{0x9F, 0, 0}));
    EXPECT_EQ(smpte->StatusEntry(2), (std::array<std::uint8_t, 3>{0x1F, 0, 64}));
}

TEST_F(SmpteReplies, SettingsImageIsCheckedAndApplied) {
    std::vector<std::uint8_t> image(kSmpteSettingsImageLength, 0);
    image[0] = 1;
    image[1] = 51;                   // unit group 2
    image[16] = 1;                   // start 01:00:00.00
    image[37] = 0x03;                // bits-capable clock code 3: 48 kHz
    image[256] = 0x01;               // record of reproducer 2 ...
    image[258] = 1;                  // ... in group 2
    image[776] = 0x80 | 0x20 | 0x02; // timecode out, midi, mute on idle, transition 1, reading
    image[777] = 0x02;               // 30 fps
    std::uint8_t sum = 0;
    for (int i = 0; i < kSmpteSettingsImageLength - 1; ++i) {
        sum = static_cast<std::uint8_t>(sum + image[static_cast<std::size_t>(i)]);
    }
    image.back() = static_cast<std::uint8_t>(sum + 1);
    EXPECT_EQ(Feed(&ReelvoxSMPTEInterface_c::ParseSettingsReply, smpte, image, 100), QOR_ERROR);
    EXPECT_EQ(smpte->GetState(), SMPTE_IMAGE_CHECKSUM);
    ReelvoxSMPTEInterface_c::ParseSettingsReply(nullptr, smpte);
    EXPECT_EQ(Feed(&ReelvoxSMPTEInterface_c::ParseSettingsReply, smpte, {'U'}, 1), QOR_ERROR);
    EXPECT_EQ(smpte->GetState(), SMPTE_IMAGE_REFUSED);
    ReelvoxSMPTEInterface_c::ParseSettingsReply(nullptr, smpte);

    image.back() = sum;
    EXPECT_EQ(Feed(&ReelvoxSMPTEInterface_c::ParseSettingsReply, smpte, image, 100), QOR_OK);
    EXPECT_EQ(smpte->GetState(), SMPTE_IMAGE_DECODING);
    EXPECT_EQ(smpte->GetFrameRate(), 5);
    EXPECT_EQ(smpte->GetClockFreq(), 4);
    EXPECT_EQ(smpte->GetTimecodeOutput(), QOR_TRUE);
    EXPECT_EQ(smpte->GetControlSource(), 1);
    EXPECT_EQ(smpte->GetMuteOnIdle(), QOR_TRUE);
    EXPECT_EQ(smpte->GetTransition(), 1);
    EXPECT_EQ(smpte->IsGenerating(), QOR_FALSE);
    std::uint8_t groups[9];
    ASSERT_EQ(smpte->GetUnitGroups(groups), QOR_OK);
    EXPECT_EQ(groups[1], QOR_TRUE);
    EXPECT_EQ(groups[2], QOR_FALSE);
    ReelvoxReproducer_c* second = system.Reproducer(2);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Element()->IsInGroup(2), QOR_TRUE);
    QORSMPTETimecode_c start;
    start.SetFrameRate(5, QOR_FALSE);
    ASSERT_EQ(smpte->GetStart(&start), QOR_OK);
    std::uint8_t bytes[4];
    start.ToBytes(bytes, 4);
    EXPECT_EQ(bytes[0], 1);
}
