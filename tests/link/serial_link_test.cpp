#include "link/serial_link.h"

#include "tests/link/link_fixtures.h"
#include "tests/support/recording_serial_line.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <unistd.h>

namespace {

using platform::Parity;
using testing_support::RecordedByte;
using testing_support::RecordingSerialLine;
using testing_support::RecordingState;
using testing_support::SerialRecord;

struct RecordedLink {
    std::shared_ptr<RecordingState> state = std::make_shared<RecordingState>();
    CSerialLink link{std::make_unique<RecordingSerialLine>(state)};

    std::string Open(Framing framing) {
        return link.Open(ComPortIndex(0), framing, kControllerBaud);
    }
    // The records from the first write on (the open's own records dropped).
    std::vector<SerialRecord> Since(std::size_t first) const {
        return {state->records.begin() + static_cast<std::ptrdiff_t>(first), state->records.end()};
    }
    // The same with the slices of one pause joined into one record (a long pause goes in
    // slices so that the windows repaint between them).
    std::vector<SerialRecord> PausesJoinedSince(std::size_t first) const {
        std::vector<SerialRecord> out;
        for (const SerialRecord& r : Since(first)) {
            if (r.kind == SerialRecord::Kind::Pause && !out.empty() &&
                out.back().kind == SerialRecord::Kind::Pause)
                out.back().pause += r.pause;
            else
                out.push_back(r);
        }
        return out;
    }
};

TEST(SerialLink, NineBitFrameCarriesAddressAndChecksumInTheParityBit) {
    RecordedLink r;
    ASSERT_EQ(r.Open(Framing::NineBit), "");
    r.link.SetAddress(255);
    r.link.SetUnit(0x01);
    const std::size_t first = r.state->records.size();
    ASSERT_TRUE(r.link.SendCommand({0x18, 0x02}));

    const std::vector<RecordedByte> expected = {{0xFF, Parity::Mark},
                                                {0x01, Parity::Space},
                                                {0x18, Parity::Space},
                                                {0x02, Parity::Space},
                                                {0x0D, Parity::Mark}};
    EXPECT_EQ(r.state->Written(), expected);
    // A pause of 1 ms after every byte and 2 ms before each of the two parity switches.
    std::vector<std::chrono::milliseconds> pauses;
    for (const auto& rec : r.Since(first)) {
        if (rec.kind == SerialRecord::Kind::Pause) {
            pauses.push_back(rec.pause);
        }
    }
    using ms = std::chrono::milliseconds;
    EXPECT_EQ(pauses, (std::vector<ms>{ms(1), ms(2), ms(1), ms(1), ms(1), ms(2), ms(1)}));
    EXPECT_EQ(r.state->Count(SerialRecord::Kind::Apply), 3u); // open, to space, back to mark
}

TEST(SerialLink, NineBitEmptyMessageIsAddressUnitAndChecksum) {
    RecordedLink r;
    ASSERT_EQ(r.Open(Framing::NineBit), "");
    r.link.SetAddress(0x05);
    r.link.SetUnit(0x07);
    ASSERT_TRUE(r.link.SendCommand({}));
    const std::vector<RecordedByte> expected = {
        {0x85, Parity::Mark}, {0x07, Parity::Space}, {(0x85 + 0x07) >> 1, Parity::Mark}};
    EXPECT_EQ(r.state->Written(), expected);
}

TEST(SerialLink, EightBitFrameIsPreambleThenOneCountedWrite) {
    RecordedLink r;
    ASSERT_EQ(r.Open(Framing::EightBit), "");
    r.link.SetAddress(255);
    r.link.SetUnit(0x02);
    std::vector<std::uint8_t> message(300);
    unsigned sum = 0x02 + 0x2C;
    for (std::size_t i = 0; i < message.size(); ++i) {
        message[i] = static_cast<std::uint8_t>(i);
        sum += message[i];
    }
    const std::size_t first = r.state->records.size();
    ASSERT_TRUE(r.link.SendCommand(message));

    const auto records = r.PausesJoinedSince(first);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].kind, SerialRecord::Kind::Pause);
    EXPECT_EQ(records[0].pause, std::chrono::milliseconds(100));
    EXPECT_EQ(records[1].bytes, (std::vector<std::uint8_t>{0x55, 0x55, 0x55}));
    EXPECT_EQ(records[2].pause, std::chrono::milliseconds(100));
    std::vector<std::uint8_t> frame = {0xF5, 0x02, 0x00, 0x2C};
    frame.insert(frame.end(), message.begin(), message.end());
    frame.push_back(static_cast<std::uint8_t>(sum & 0xFF));
    EXPECT_EQ(records[3].bytes, frame); // no address byte in this framing
    for (const auto& b : r.state->Written()) {
        ASSERT_EQ(b.parity, Parity::None);
    }
}

TEST(SerialLink, SingleBytesSwitchParityOnlyWhenItChanges) {
    RecordedLink r;
    ASSERT_EQ(r.Open(Framing::NineBit), "");
    const auto applies = r.state->Count(SerialRecord::Kind::Apply);
    ASSERT_TRUE(r.link.SendByte(0x10, kParitySpace));
    ASSERT_TRUE(r.link.SendByte(0x11, kParitySpace));
    EXPECT_EQ(r.state->Count(SerialRecord::Kind::Apply), applies + 1);

    RecordedLink e;
    ASSERT_EQ(e.Open(Framing::EightBit), "");
    ASSERT_TRUE(e.link.SendByte(0x10, kParityMark));
    ASSERT_TRUE(e.link.SendByte(0x11, kParitySpace));
    EXPECT_EQ(e.state->Written(),
              (std::vector<RecordedByte>{{0x10, Parity::None}, {0x11, Parity::None}}));
}

TEST(SerialLink, AddressAlwaysHasBitSeven) {
    CSerialLink link;
    for (auto [in, out] :
         std::vector<std::pair<int, int>>{{0, 0x80}, {255, 0xFF}, {254, 0xFE}, {0x12, 0x92}}) {
        EXPECT_EQ(link.SetAddress(static_cast<std::uint8_t>(in)), out);
        EXPECT_EQ(link.Address(), out);
    }
}

TEST(SerialLink, OpenFailuresLeaveTheLinkClosedWithTheirText) {
    {
        RecordedLink r;
        EXPECT_EQ(r.link.Open(ComPortIndex(8), Framing::NineBit, kControllerBaud),
                  "Opening serial port: Only Com1 - Com8 are supported");
        EXPECT_FALSE(r.link.IsOpen());
        EXPECT_FALSE(r.link.SendCommand({0x42}));
        EXPECT_EQ(r.link.ReadByte(10), 0);
        EXPECT_FALSE(r.link.SendByte(1, kParitySpace));
        EXPECT_FALSE(r.link.WriteRaw({1}));
        EXPECT_EQ(r.state->Count(SerialRecord::Kind::Open), 0u);
    }
    {
        RecordedLink r;
        r.state->refuseOpen = true;
        EXPECT_EQ(r.Open(Framing::NineBit),
                  "Opening serial port: Invalid handle retrieved opening port (" +
                      platform::SerialDevicePathForPort(1) + ": No such file or directory)");
        EXPECT_NE(r.link.LastError(), 0u);
    }
    {
        // The handle opened before the settings were refused is released again.
        RecordedLink r;
        r.state->refuseApply = true;
        EXPECT_EQ(r.Open(Framing::NineBit), "Opening serial port:  Could not set comm status");
        EXPECT_FALSE(r.link.IsOpen());
        EXPECT_EQ(r.state->Count(SerialRecord::Kind::Close), 1u);
    }
}

TEST(SerialLink, OpenSetsNineThousandSixHundredEightBitsAndTheFramingsParity) {
    for (auto [framing, parity] :
         {std::pair{Framing::NineBit, Parity::Mark}, std::pair{Framing::EightBit, Parity::None}}) {
        RecordedLink r;
        ASSERT_EQ(r.Open(framing), "");
        const auto& apply = r.state->records.back();
        ASSERT_EQ(apply.kind, SerialRecord::Kind::Apply);
        EXPECT_EQ(apply.settings,
                  (platform::LineSettings{9600, 8, parity, platform::StopBits::One}));
        EXPECT_EQ(r.state->records.front().path, platform::SerialDevicePathForPort(1));
    }
}

TEST(SerialLink, FailedWritesAndParityChangesFailTheSend) {
    {
        RecordedLink r;
        ASSERT_EQ(r.Open(Framing::EightBit), "");
        r.state->writesBeforeFailure = 2; // the frame's write is cut short
        EXPECT_FALSE(r.link.SendCommand({0x42}));
        EXPECT_NE(r.link.LastError(), 0u);
    }
    {
        RecordedLink r;
        ASSERT_EQ(r.Open(Framing::NineBit), "");
        r.state->refuseApply = true;
        const auto written = r.state->Written().size();
        EXPECT_FALSE(r.link.SendByte(0x33, kParitySpace));
        EXPECT_EQ(r.state->Written().size(), written); // no byte with the wrong ninth bit
    }
    {
        RecordedLink r;
        ASSERT_EQ(r.Open(Framing::NineBit), "");
        r.state->hungUp = true;
        EXPECT_FALSE(r.link.SendByte(0x33, kParityMark));
        EXPECT_FALSE(r.link.WriteRaw({1, 2}));
        EXPECT_EQ(r.link.ReadByte(5), -1);
    }
}

TEST(SerialLink, DestroyingAnOpenLinkClosesItsPort) {
    auto state = std::make_shared<RecordingState>();
    {
        CSerialLink link(std::make_unique<RecordingSerialLine>(state));
        ASSERT_EQ(link.Open(ComPortIndex(2), Framing::NineBit, kControllerBaud), "");
    }
    EXPECT_EQ(state->Count(SerialRecord::Kind::Close), 1u);
}

TEST(DmxSerialLink, ReducedVariant) {
    auto state = std::make_shared<RecordingState>();
    dmx::CSerialLink link(std::make_unique<RecordingSerialLine>(state));
    EXPECT_EQ(link.Open(ComPortIndex(4), 0, kControllerBaud, Framing::NineBit),
              "Opening serial port: Only Com1 - Com4 are supported");
    ASSERT_EQ(link.Open(ComPortIndex(3), 0, kControllerBaud, Framing::NineBit), "");
    link.SetAddress(255);
    link.SetUnit(1);
    const std::size_t pausesBefore = state->Count(SerialRecord::Kind::Pause);
    ASSERT_TRUE(link.SendCommand({0x18, 0x02}));
    EXPECT_EQ(state->Written(), (std::vector<RecordedByte>{{0xFF, Parity::Mark},
                                                           {0x01, Parity::Space},
                                                           {0x18, Parity::Space},
                                                           {0x02, Parity::Space},
                                                           {0x0D, Parity::Mark}}));
    // Only the two parity switches pause, no 1 ms per byte.
    EXPECT_EQ(state->Count(SerialRecord::Kind::Pause) - pausesBefore, 2u);

    auto bare = std::make_shared<RecordingState>();
    dmx::CSerialLink plain(std::make_unique<RecordingSerialLine>(bare));
    ASSERT_EQ(plain.Open(ComPortIndex(0), 0, kControllerBaud, Framing::EightBit), "");
    ASSERT_TRUE(plain.SendCommand({0x01, 0x00, 0x7F}));
    EXPECT_EQ(bare->Written(),
              (std::vector<RecordedByte>{
                  {0x01, Parity::None}, {0x00, Parity::None}, {0x7F, Parity::None}}));
}

TEST(SerialLinkOnPty, ReadTimesOutAfterTheTimeOutNotBefore) {
    testing_support::EmulatorOptions options;
    options.silent = true;
    link_tests::EmulatedPort port(options);
    ASSERT_TRUE(port.started);
    CSerialLink link;
    ASSERT_EQ(link.Open(ComPortIndex(0), Framing::NineBit, kControllerBaud), "");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(link.ReadByte(150), -2);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(150));
    EXPECT_LT(elapsed, std::chrono::milliseconds(1500));
}

TEST(SerialLinkOnPty, ProbeFindsPortsAlsoWhenHeldByAnother) {
    link_tests::EmulatedPort port;
    ASSERT_TRUE(port.started);
    EXPECT_TRUE(ProbeComPort(0));
    EXPECT_FALSE(ProbeComPort(1)); // mapped to a path that does not exist
    EXPECT_FALSE(ProbeComPort(8));
    EXPECT_EQ(CountComPorts(), 1);

    CSerialLink holder;
    ASSERT_EQ(holder.Open(ComPortIndex(0), Framing::NineBit, kControllerBaud), "");
    EXPECT_TRUE(ProbeComPort(0));
    CSerialLink second;
    // The device tried and the system's reason follow the text.
    EXPECT_EQ(second.Open(ComPortIndex(0), Framing::NineBit, kControllerBaud),
              "Opening serial port: Invalid handle retrieved opening port (" +
                  port.emulator.SlavePath() + ": Device or resource busy)");
    EXPECT_EQ(ComPortFailure(0), port.emulator.SlavePath() + ": Device or resource busy");
    EXPECT_EQ(ComPortFailure(1), "/nonexistent/port: No such file or directory");
    EXPECT_EQ(ComPortFailure(8), "");
}

} // namespace
