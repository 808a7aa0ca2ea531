#include "foundation/status.h"
#include "reproducer/reelvox_transport.h"
#include "tests/support/recording_serial_line.h"
#include "tests/support/reproducer_emulator.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

using testing_support::RecordedByte;
using testing_support::RecordingSerialLine;
using testing_support::RecordingState;
using testing_support::ReelvoxAnswer;
using testing_support::ReproducerEmulator;
using testing_support::ReproducerEmulatorOptions;
using Clock = std::chrono::steady_clock;

namespace {

// Counts the acknowledgement bytes the way the system's parser does.
std::uint8_t AckParser(void* input, void* device) {
    auto* counter = static_cast<int*>(device);
    if (input == nullptr) {
        return QOR_OK;
    }
    auto* buffer = static_cast<QORBuffer_c*>(input);
    std::uint8_t byte = 0;
    buffer->Read(&byte, 1);
    ++*counter;
    return byte == kReelvoxAccepted ? QOR_OK : QOR_ERROR;
}

struct RecordedPort {
    std::shared_ptr<RecordingState> state = std::make_shared<RecordingState>();
    QORSerial_c port{std::make_unique<RecordingSerialLine>(state)};
    RecordedPort() {
        QORString_c name;
        name.Assign("COM1", -1, 253);
        port.SetCommPort(&name);
    }
};

} // namespace

TEST(ReelvoxFrame, ChecksumAndLayout) {
    EXPECT_EQ(ReelvoxBuildFrame(0xFF, 0xFE, 13, nullptr, 0),
              (std::vector<std::uint8_t>{0xFF, 0xFE, 0x0D, 0x05}));
    const std::uint8_t one = 1;
    EXPECT_EQ(ReelvoxBuildFrame(0xFF, 0x80, 0x17, &one, 1),
              (std::vector<std::uint8_t>{0xFF, 0x80, 0x17, 0x01, 0x4B}));
    std::uint8_t highs[8];
    std::fill(std::begin(highs), std::end(highs), 0xFF);
    EXPECT_LT(ReelvoxFrameChecksum(0xFF, 0xFF, 0xFF, highs, 8), 0x80);
    EXPECT_EQ(ReelvoxCommandAnswer(4, QOR_OK), 4);
    EXPECT_EQ(ReelvoxCommandAnswer(4, QOR_ERROR), -2);
    EXPECT_EQ(ReelvoxCommandAnswer(4, QOR_TIMEOUT), -5);
}

TEST(ReelvoxSerial, SendsNineBitFrameOnTheOpenedPort) {
    RecordedPort rec;
    ReelvoxSerial_c transport;
    EXPECT_EQ(transport.Send(0xFF, 0xFE, 13, nullptr, 0), -2); // no port yet
    ASSERT_EQ(transport.SetPort(&rec.port), QOR_OK);
    EXPECT_TRUE(rec.port.IsOpen());
    EXPECT_EQ(rec.port.SettingsInForce().baud, 9600);
    EXPECT_EQ(rec.port.ParityIndex(), 1); // MARK
    EXPECT_EQ(rec.port.Timeout(), 500);

    const std::uint8_t data[] = {0x00, 0x00, 0x10, 0x05};
    EXPECT_EQ(transport.Send(0xFF, 0xFE, 23, data, 4), 8);
    using P = platform::Parity;
    const std::vector<RecordedByte> expected{{0xFF, P::Mark},  {0xFE, P::Space}, {0x17, P::Space},
                                             {0x00, P::Space}, {0x00, P::Space}, {0x10, P::Space},
                                             {0x05, P::Space}, {0x14, P::Mark}};
    EXPECT_EQ(rec.state->Written(), expected);
    EXPECT_EQ(transport.LastFrameCount(), 8);

    // A lent port is forgotten, not closed.
    EXPECT_EQ(transport.SetPort(nullptr), QOR_OK);
    EXPECT_TRUE(rec.port.IsOpen());
    EXPECT_EQ(transport.Close(), QOR_ERROR);
}

TEST(ReelvoxSerial, PortThatWillNotOpenIsDropped) {
    RecordedPort rec;
    rec.state->refuseOpen = true;
    ReelvoxSerial_c transport;
    EXPECT_EQ(transport.SetPort(&rec.port), QOR_ERROR);
    EXPECT_EQ(transport.Port(), nullptr);
}

TEST(ReelvoxSerial, ReceiveRunsParserAndResetsIt) {
    RecordedPort rec;
    ReelvoxSerial_c transport;
    ASSERT_EQ(transport.SetPort(&rec.port), QOR_OK);
    int runs = 0;
    ReelvoxReplyParser_c parser(&AckParser, &runs);
    EXPECT_EQ(transport.Receive(nullptr, 100), QOR_ERROR);

    rec.state->input.push_back(0xAA);
    EXPECT_EQ(transport.Receive(&parser, 3000), QOR_OK);
    EXPECT_EQ(runs, 1);
    rec.state->input.push_back(0x55);
    EXPECT_EQ(transport.Receive(&parser, 3000), QOR_ERROR);
    rec.state->input.push_back(0x13); // any other byte refuses as well
    EXPECT_EQ(transport.Receive(&parser, 3000), QOR_ERROR);
}

TEST(ReelvoxUDP, WithoutSocketEverythingFails) {
    ReelvoxUDP_c transport;
    int runs = 0;
    ReelvoxReplyParser_c parser(&AckParser, &runs);
    EXPECT_EQ(transport.Send(0xFF, 0xFE, 13, nullptr, 0), -2);
    EXPECT_EQ(transport.Receive(&parser, 3000), QOR_ERROR);
    EXPECT_EQ(transport.Close(), -2);
    EXPECT_EQ(runs, 0);
}

// Against the emulator over a pseudo-terminal: the same code path as a real line.
class ReelvoxSerialPty : public ::testing::Test {
protected:
    void Open(ReproducerEmulatorOptions options = {}) {
        emulator = std::make_unique<ReproducerEmulator>(std::move(options));
        ASSERT_TRUE(emulator->Start());
        QORString_c name;
        name.Assign(emulator->SlavePath().c_str(), -1, 253);
        ASSERT_EQ(port.SetCommPort(&name), QOR_OK);
        ASSERT_EQ(transport.SetPort(&port), QOR_OK) << port.LastError();
    }
    void TearDown() override {
        transport.SetPort(nullptr);
        port.Close();
    }
    std::unique_ptr<ReproducerEmulator> emulator;
    QORSerial_c port;
    ReelvoxSerial_c transport;
    int runs = 0;
    ReelvoxReplyParser_c parser{&AckParser, &runs};
};

TEST_F(ReelvoxSerialPty, FrameIsParsedAndAcknowledged) {
    Open();
    const std::uint8_t data[] = {9};
    ASSERT_EQ(transport.Send(0xFF, 0xFE, 6, data, 1), 5);
    EXPECT_EQ(transport.Receive(&parser, 3000), QOR_OK);
    const auto frames = emulator->Frames();
    ASSERT_EQ(frames.size(), 1U);
    EXPECT_EQ(frames[0].bytes, ReelvoxBuildFrame(0xFF, 0xFE, 6, data, 1));
    EXPECT_TRUE(frames[0].checksumOk);
}

TEST_F(ReelvoxSerialPty, LateFirstByteIsStillAcceptedWithinTheFirstByteLimit) {
    ReproducerEmulatorOptions options;
    options.replyDelay = std::chrono::milliseconds(3500);
    Open(options);
    ASSERT_EQ(transport.Send(0xFF, 0xFE, 13, nullptr, 0), 4);
    EXPECT_EQ(transport.Receive(&parser, 3000), QOR_OK);
}

TEST_F(ReelvoxSerialPty, SilenceTimesOut) {
    ReproducerEmulatorOptions options;
    options.defaultAnswer = ReelvoxAnswer::Silent;
    Open(options);
    ASSERT_EQ(transport.Send(0xFF, 0xFE, 13, nullptr, 0), 4);
    const auto start = Clock::now();
    EXPECT_EQ(transport.Receive(&parser, 1000), QOR_TIMEOUT);
    const auto waited = Clock::now() - start;
    // The first byte may take up to the first-byte limit even when the caller asked for less.
    EXPECT_GE(waited, std::chrono::milliseconds(5000));
    EXPECT_LT(waited, std::chrono::milliseconds(6000));
    EXPECT_EQ(runs, 0);
}

TEST_F(ReelvoxSerialPty, LongCallerTimeOutHoldsForTheFirstByte) {
    ReproducerEmulatorOptions options;
    options.replyDelay = std::chrono::milliseconds(6000);
    Open(options);
    ASSERT_EQ(transport.Send(0xFF, 0xFE, 13, nullptr, 0), 4);
    EXPECT_EQ(transport.Receive(&parser, 15000), QOR_OK);
}
