// The sender without any window: the bytes a cycle puts on the wire, which channels it sends,
// the last change always arriving, and stopping between frames.
#include "lumaquill/channel_command.h"
#include "lumaquill/dmx_sender.h"

#include "tests/lumaquill/slow_line.h"
#include "tests/support/controller_emulator.h"
#include "tests/support/recording_serial_line.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <sstream>
#include <thread>

namespace {

using namespace std::chrono_literals;
using platform::Parity;
using testing_support::RecordingSerialLine;
using testing_support::RecordingState;
using testing_support::SerialRecord;
using Bytes = std::vector<std::uint8_t>;

// The line as the controller sees it: each byte with its parity ('m' mark, 's' space), "P2" for
// a pause of 2 ms, "A" for a parity switch; from the open's own settings on.
std::string Trace(const RecordingState& state) {
    std::ostringstream out;
    bool opened = false;
    for (const auto& r : state.records) {
        switch (r.kind) {
        case SerialRecord::Kind::Open:
        case SerialRecord::Kind::Close:
        case SerialRecord::Kind::Discard:
        case SerialRecord::Kind::Read:
            break;
        case SerialRecord::Kind::Apply:
            if (opened) {
                out << "A ";
            }
            opened = true;
            break;
        case SerialRecord::Kind::Pause:
            out << "P" << r.pause.count() << ' ';
            break;
        case SerialRecord::Kind::Write:
            for (auto b : r.bytes) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "%02X%c ", b,
                              r.settings.parity == Parity::Mark ? 'm' : 's');
                out << hex;
            }
            break;
        }
    }
    return out.str();
}

// The trace of commands framed as the controller expects: MARK address, SPACE unit and
// message, MARK check byte, a 2 ms pause and a switch before each change of parity only.
std::string Expected(const std::vector<Bytes>& commands) {
    std::ostringstream out;
    for (const Bytes& c : commands) {
        char hex[64];
        std::snprintf(hex, sizeof hex, "%02Xm P2 A %02Xs %02Xs %02Xs %02Xs P2 A %02Xm ", c[0], c[1],
                      c[2], c[3], c[4], c[5]);
        out << hex;
    }
    return out.str();
}

struct Recorded {
    std::shared_ptr<RecordingState> state = std::make_shared<RecordingState>();
    dmx::CSerialLink* link = nullptr;
    std::unique_ptr<dmx::DmxSender> sender;

    Recorded() {
        auto owned =
            std::make_unique<dmx::CSerialLink>(std::make_unique<RecordingSerialLine>(state));
        link = owned.get();
        sender = std::make_unique<dmx::DmxSender>(std::move(owned));
    }
};

bool WaitIdle(const dmx::DmxSender& sender, std::chrono::milliseconds limit = 5s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (sender.Busy()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

dmx::DmxSnapshot Snapshot(int base, std::array<int, dmx::kChannels> values, int port = 0) {
    dmx::DmxSnapshot s;
    s.values = values;
    s.baseChannel = base;
    s.port = port;
    return s;
}

constexpr int N = dmx::kNotSent;

TEST(DmxWire, ChannelCommandsGoOutAsSixFramedBytes) {
    struct Case {
        int channel;
        std::uint8_t value;
        Bytes wire;
    };
    const Case cases[] = {
        {1, 255, {0xFF, 0x00, 0x07, 0x00, 0xFF, 0x02}},
        {256, 0, {0xFF, 0x00, 0x07, 0xFF, 0x00, 0x02}},
        {257, 10, {0xFF, 0x00, 0x1D, 0x00, 0x0A, 0x13}},
        {300, 128, {0xFF, 0x00, 0x1D, 0x2B, 0x80, 0x63}},
        {512, 255, {0xFF, 0x00, 0x1D, 0xFF, 0xFF, 0x0D}},
        {1, 0, {0xFF, 0x00, 0x07, 0x00, 0x00, 0x03}},
        {250, 128, {0xFF, 0x00, 0x07, 0xF9, 0x80, 0x3F}},
        {255, 1, {0xFF, 0x00, 0x07, 0xFE, 0x01, 0x02}},
        {258, 254, {0xFF, 0x00, 0x1D, 0x01, 0xFE, 0x0D}},
        {505, 77, {0xFF, 0x00, 0x1D, 0xF8, 0x4D, 0x30}},
        {511, 0, {0xFF, 0x00, 0x1D, 0xFE, 0x00, 0x0D}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("channel " + std::to_string(c.channel));
        auto state = std::make_shared<RecordingState>();
        dmx::CSerialLink link(std::make_unique<RecordingSerialLine>(state));
        ASSERT_EQ(link.Open(ComPortIndex(0), 0, kControllerBaud, Framing::NineBit), "");
        link.SetAddress(255);
        link.SetUnit(0);
        EXPECT_TRUE(dmx::SendChannelCommand(link, c.channel, c.value));
        EXPECT_EQ(Trace(*state), Expected({c.wire}));
    }
}

TEST(DmxSender, CycleOpensThePortSendsEnabledChannelsInOrderAndCloses) {
    struct Case {
        const char* name;
        dmx::DmxSnapshot snapshot;
        std::vector<Bytes> wire;
    };
    const Case cases[] = {
        {"base 250 crosses from command 7 to 29",
         Snapshot(250, {0, 37, 74, 111, 148, 185, 222, 3}),
         {{0xFF, 0x00, 0x07, 0xF9, 0x00, 0x7F},
          {0xFF, 0x00, 0x07, 0xFA, 0x25, 0x12},
          {0xFF, 0x00, 0x07, 0xFB, 0x4A, 0x25},
          {0xFF, 0x00, 0x07, 0xFC, 0x6F, 0x38},
          {0xFF, 0x00, 0x07, 0xFD, 0x94, 0x4B},
          {0xFF, 0x00, 0x07, 0xFE, 0xB9, 0x5E},
          {0xFF, 0x00, 0x07, 0xFF, 0xDE, 0x71},
          {0xFF, 0x00, 0x1D, 0x00, 0x03, 0x0F}}},
        {"base 505 ends at channel 512",
         Snapshot(505, {255, 254, 253, 252, 251, 250, 249, 248}),
         {{0xFF, 0x00, 0x1D, 0xF8, 0xFF, 0x09},
          {0xFF, 0x00, 0x1D, 0xF9, 0xFE, 0x09},
          {0xFF, 0x00, 0x1D, 0xFA, 0xFD, 0x09},
          {0xFF, 0x00, 0x1D, 0xFB, 0xFC, 0x09},
          {0xFF, 0x00, 0x1D, 0xFC, 0xFB, 0x09},
          {0xFF, 0x00, 0x1D, 0xFD, 0xFA, 0x09},
          {0xFF, 0x00, 0x1D, 0xFE, 0xF9, 0x09},
          {0xFF, 0x00, 0x1D, 0xFF, 0xF8, 0x09}}},
        {"only the enabled channels",
         Snapshot(1, {N, 255, N, N, N, N, 0, N}),
         {{0xFF, 0x00, 0x07, 0x01, 0xFF, 0x03}, {0xFF, 0x00, 0x07, 0x06, 0x00, 0x06}}},
        {"no channel enabled", Snapshot(1, {N, N, N, N, N, N, N, N}), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Recorded r;
        r.sender->Publish(c.snapshot);
        ASSERT_TRUE(WaitIdle(*r.sender));
        EXPECT_EQ(Trace(*r.state), Expected(c.wire));
        ASSERT_GE(r.state->records.size(), 2u);
        const SerialRecord& open = r.state->records.front();
        EXPECT_EQ(open.kind, SerialRecord::Kind::Open);
        EXPECT_EQ(open.path, platform::SerialDevicePathForPort(1));
        EXPECT_EQ(r.state->records.back().kind, SerialRecord::Kind::Close);
        // 9600 baud, 8 data bits, one stop bit, MARK parity to begin with.
        const auto apply =
            std::find_if(r.state->records.begin(), r.state->records.end(),
                         [](auto& x) { return x.kind == SerialRecord::Kind::Apply; });
        ASSERT_NE(apply, r.state->records.end());
        EXPECT_EQ(apply->settings,
                  (platform::LineSettings{9600, 8, Parity::Mark, platform::StopBits::One}));
        EXPECT_EQ(r.sender->Cycles(), 1);
    }
}

TEST(DmxSender, PortChoiceNamesTheDeviceOfComOneToFour) {
    for (int port = 0; port < 4; ++port) {
        Recorded r;
        r.sender->Publish(Snapshot(1, {1, N, N, N, N, N, N, N}, port));
        ASSERT_TRUE(WaitIdle(*r.sender));
        ASSERT_FALSE(r.state->records.empty());
        EXPECT_EQ(r.state->records.front().path, platform::SerialDevicePathForPort(port + 1));
    }
}

TEST(DmxSender, PortThatDoesNotOpenSendsNothingAndTheNextChangeTriesAgain) {
    Recorded r;
    r.state->refuseOpen = true;
    r.sender->Publish(Snapshot(1, {200, N, N, N, N, N, N, N}));
    ASSERT_TRUE(WaitIdle(*r.sender));
    EXPECT_TRUE(r.state->Written().empty());

    r.state->refuseOpen = false;
    r.sender->Publish(Snapshot(1, {201, N, N, N, N, N, N, N}));
    ASSERT_TRUE(WaitIdle(*r.sender));
    EXPECT_EQ(Trace(*r.state), Expected({{0xFF, 0x00, 0x07, 0x00, 0xC9, 0x67}}));
}

// A line whose n-th write fails once, as a glitch on a real port would.
class FlakyLine : public RecordingSerialLine {
public:
    FlakyLine(std::shared_ptr<RecordingState> state, int failingWrite)
        : RecordingSerialLine(std::move(state)), failingWrite_(failingWrite) {}
    platform::LineResult Write(const std::uint8_t* source, std::size_t count,
                               std::chrono::milliseconds timeout) override {
        if (++writes_ == failingWrite_) {
            return {platform::LineStatus::Failed, 0};
        }
        return RecordingSerialLine::Write(source, count, timeout);
    }

private:
    int failingWrite_;
    int writes_ = 0;
};

TEST(DmxSender, FailedWriteIsSilentAndTheNextChannelStillGoesOut) {
    auto state = std::make_shared<RecordingState>();
    dmx::DmxSender sender(
        std::make_unique<dmx::CSerialLink>(std::make_unique<FlakyLine>(state, 3)));
    sender.Publish(Snapshot(1, {1, 2, N, N, N, N, N, N}));
    ASSERT_TRUE(WaitIdle(sender));
    // The first command breaks off after two bytes; the second one is whole, back on MARK.
    EXPECT_EQ(Trace(*state),
              "FFm P2 A 00s P2 A " + Expected({{0xFF, 0x00, 0x07, 0x01, 0x02, 0x04}}));
    EXPECT_EQ(state->records.back().kind, SerialRecord::Kind::Close);
}

TEST(DmxSender, LastChangeAlwaysArrivesAfterABurstDuringACycle) {
    auto state = std::make_shared<RecordingState>();
    std::atomic<int> written{0};
    dmx::DmxSender sender(std::make_unique<dmx::CSerialLink>(
        std::make_unique<lumaquill_tests::SlowLine>(state, 1ms, written)));
    dmx::DmxSnapshot last;
    for (int i = 0; i < 40; ++i) {
        last = Snapshot(1 + i, {i, i + 1, i + 2, i + 3, i + 4, i + 5, i + 6, i + 7});
        sender.Publish(last);
        std::this_thread::sleep_for(3ms);
    }
    ASSERT_TRUE(WaitIdle(sender));
    EXPECT_EQ(sender.LastSent(), last);
    // Fewer cycles than changes, the last one with the final values.
    EXPECT_LT(sender.Cycles(), 40);
    const auto bytes = state->Written();
    ASSERT_GE(bytes.size(), 48u);
    std::vector<std::uint8_t> tail;
    for (std::size_t i = bytes.size() - 48; i < bytes.size(); ++i) {
        tail.push_back(bytes[i].byte);
    }
    for (int k = 0; k < dmx::kChannels; ++k) {
        const auto command = dmx::ChannelCommandMessage(last.baseChannel + k,
                                                        static_cast<std::uint8_t>(last.values[k]));
        EXPECT_EQ(Bytes(tail.begin() + k * 6 + 2, tail.begin() + k * 6 + 5), command);
    }
}

TEST(DmxSender, StopDuringACycleEndsBetweenFramesAndClosesTheLink) {
    auto state = std::make_shared<RecordingState>();
    std::atomic<int> written{0};
    auto sender = std::make_unique<dmx::DmxSender>(std::make_unique<dmx::CSerialLink>(
        std::make_unique<lumaquill_tests::SlowLine>(state, 5ms, written)));
    sender->Publish(Snapshot(1, {1, 2, 3, 4, 5, 6, 7, 8}));
    const auto begun = std::chrono::steady_clock::now();
    while (written.load() < 2 && std::chrono::steady_clock::now() - begun < 5s) {
        std::this_thread::sleep_for(1ms);
    }
    const auto stopAt = std::chrono::steady_clock::now();
    sender->Stop();
    // At most the frame under way is finished: six bytes of 5 ms.
    EXPECT_LT(std::chrono::steady_clock::now() - stopAt, 200ms);
    EXPECT_FALSE(sender->Busy() && sender->Cycles() == 0);
    const int sent = written.load();
    EXPECT_EQ(sent % 6, 0) << "a frame was cut";
    EXPECT_LT(sent, 48);
    EXPECT_EQ(state->records.back().kind, SerialRecord::Kind::Close);
    // A stopped sender starts nothing more.
    sender->Publish(Snapshot(1, {9, N, N, N, N, N, N, N}));
    EXPECT_EQ(written.load(), sent);
    sender.reset();
}

TEST(DmxSender, StoppedSenderReleasesTheRealPort) {
    testing_support::ControllerEmulator emulator;
    ASSERT_TRUE(emulator.Start());
    const std::string path = emulator.SlavePath();
    const auto previous =
        platform::SetSerialPortLookup([path](int n) { return n == 1 ? path : std::string(); });
    {
        dmx::DmxSender sender;
        for (int i = 0; i < 20; ++i) {
            sender.Publish(Snapshot(1, {i, i, i, i, i, i, i, i}));
            std::this_thread::sleep_for(2ms);
        }
        sender.Stop();
        // The port is closed: another program may open it at once.
        platform::SerialDevice device;
        EXPECT_TRUE(device.Open(path)) << device.LastError();
    }
    platform::SetSerialPortLookup(previous);
}

} // namespace
