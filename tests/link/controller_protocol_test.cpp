#include "link/controller_protocol.h"

#include "link/delay_ticks.h"
#include "tests/link/link_fixtures.h"
#include "tests/support/recording_serial_line.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace showlink;
using Clock = std::chrono::steady_clock;
using testing_support::RecordingSerialLine;
using testing_support::RecordingState;

struct Case {
    const char* line;
    bool found;
    double version;
};

TEST(FirmwareVersion, ParsedFromTheFirstCharacterBeforeAPoint) {
    const Case cases[] = {
        {"Ver 5.61", true, 5.61}, {"5.6", true, 5.6},         {"V5.80 2003", true, 5.80},
        {"Ver 12.5", true, 2.5},  {"no version", false, 7.0}, {"", false, 7.0},
        {"x.5", true, 0.0}, // nothing converts: 0
    };
    for (const auto& c : cases) {
        double version = 7.0;
        EXPECT_EQ(ParseFirmwareVersion(c.line, version), c.found) << c.line;
        EXPECT_DOUBLE_EQ(version, c.version) << c.line;
    }
}

struct QueuedLink {
    std::shared_ptr<RecordingState> state = std::make_shared<RecordingState>();
    CSerialLink link{std::make_unique<RecordingSerialLine>(state)};
    std::vector<std::string> reports;
    ReplyReporter report = [this](const std::string& t) { reports.push_back(t); };

    QueuedLink() { link.Open(ComPortIndex(0), Framing::NineBit, kControllerBaud); }
    void Queue(const std::string& bytes) {
        state->input.insert(state->input.end(), bytes.begin(), bytes.end());
    }
};

TEST(ReplyLine, EndsAtCarriageReturnOrZeroAndIsCapped) {
    {
        QueuedLink q;
        q.Queue(std::string("Ver 5.61\rX", 10));
        std::string text;
        EXPECT_EQ(ReadReplyLine(q.link, text, 50, q.report), kReplyLineRead);
        EXPECT_EQ(text, "Ver 5.61");
    }
    {
        QueuedLink q;
        q.Queue(std::string("AB\0CD", 5));
        std::string text;
        EXPECT_EQ(ReadReplyLine(q.link, text, 50, q.report), kReplyLineRead);
        EXPECT_EQ(text, "AB");
    }
    {
        QueuedLink q;
        q.Queue("AB"); // then nothing
        std::string text;
        EXPECT_EQ(ReadReplyLine(q.link, text, 50, q.report), kReplyTimedOut);
        EXPECT_EQ(q.reports, std::vector<std::string>{"Error: Timed out receiving response"});
    }
    {
        QueuedLink q;
        q.Queue(std::string(kMaxReplyLine + 10, 'A') + "\r");
        std::string text;
        EXPECT_EQ(ReadReplyLine(q.link, text, 50, q.report), kReplyFailed);
        EXPECT_EQ(q.reports, std::vector<std::string>{"Error: Hardware error receiving response"});
        EXPECT_LE(text.size(), kMaxReplyLine);
    }
}

TEST(ReplyLine, ClosedLinkReadsAsAnEmptyLine) {
    CSerialLink closed;
    std::string text = "old";
    EXPECT_EQ(ReadReplyLine(closed, text, 50, {}), kReplyLineRead);
    EXPECT_EQ(text, "");
    std::vector<std::string> reports;
    EXPECT_EQ(SendAndReadByte(closed, 50, 2, {kCmdMemorySize},
                              [&](const std::string& t) { reports.push_back(t); }),
              kReplyFailed);
    EXPECT_EQ(reports, std::vector<std::string>{"Hardware error transmitting message"});
}

TEST(RequestRetries, LateFirstAnswerSendsTheRequestTwice) {
    testing_support::EmulatorOptions options;
    options.ignoredRequests = 1;
    options.firmwareLine = "Ver 5.61";
    link_tests::EmulatedPort port(options);
    ASSERT_TRUE(port.started);
    CSerialLink link;
    ASSERT_EQ(link.Open(ComPortIndex(0), Framing::NineBit, kControllerBaud), "");
    link.SetAddress(kAddressAll);
    link.SetUnit(0);
    std::vector<std::string> reports;
    std::string text;
    EXPECT_EQ(SendAndReadLine(link, 200, kRequestTries, {kCmdFirmwareVersion}, text,
                              [&](const std::string& t) { reports.push_back(t); }),
              kReplyLineRead);
    EXPECT_EQ(text, "Ver 5.61");
    EXPECT_EQ(reports, std::vector<std::string>{"Error: Timed out receiving response"});
    const auto requests = port.emulator.Requests();
    ASSERT_EQ(requests.size(), 2u);
    for (const auto& r : requests) {
        EXPECT_TRUE(r.checksumOk);
        EXPECT_EQ(r.message, std::vector<std::uint8_t>{kCmdFirmwareVersion});
    }
}

TEST(RequestRetries, SilentControllerCostsTwoTimeOuts) {
    testing_support::EmulatorOptions options;
    options.silent = true;
    link_tests::EmulatedPort port(options);
    ASSERT_TRUE(port.started);
    CSerialLink link;
    ASSERT_EQ(link.Open(ComPortIndex(0), Framing::EightBit, kControllerBaud), "");
    int reports = 0;
    EXPECT_EQ(SendAndReadByte(link, 100, kRequestTries, {kCmdMemorySize},
                              [&](const std::string&) { ++reports; }),
              kReplyTimedOut);
    EXPECT_EQ(reports, 2);
    EXPECT_EQ(port.emulator.Requests().size(), 2u);
}

TEST(DelayTicks, WaitsFiftyFiveMillisecondsPerTick) {
    auto start = Clock::now();
    DelayTicks(0);
    DelayTicks(-3);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(20));
    start = Clock::now();
    DelayTicks(2);
    const auto elapsed = Clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(110));
    EXPECT_LT(elapsed, std::chrono::milliseconds(600));
}

// Times at which each byte of a stream was handed to the line.
class TimedLine : public RecordingSerialLine {
public:
    using RecordingSerialLine::RecordingSerialLine;
    platform::LineResult Write(const std::uint8_t* source, std::size_t count,
                               std::chrono::milliseconds timeout) override {
        times.push_back(Clock::now());
        return RecordingSerialLine::Write(source, count, timeout);
    }
    std::vector<Clock::time_point> times;
};

TEST(BulkStream, PacedBeforeEveryPacketIncludingTheFirst) {
    struct PacingCase {
        int packetSize, pacing;
        std::size_t bytes;
        int expectedWaits; // packets that wait
    };
    const PacingCase cases[] = {{8, 2, 20, 3}, {8, 0, 20, 0}, {0, 1, 130, 2}, {-5, 1, 128, 1}};
    for (const auto& c : cases) {
        auto state = std::make_shared<RecordingState>();
        auto line = std::make_unique<TimedLine>(state);
        TimedLine* timed = line.get();
        CSerialLink link(std::move(line));
        ASSERT_EQ(link.Open(ComPortIndex(0), Framing::NineBit, kControllerBaud), "");
        std::vector<std::uint8_t> data(c.bytes, 0x5A);
        const auto start = Clock::now();
        ASSERT_TRUE(SendBulkStream(link, data.data(), data.size(), c.packetSize, c.pacing));
        ASSERT_EQ(timed->times.size(), c.bytes);
        // Count the gaps of at least one tick: before the first byte and between packets.
        int waits = timed->times[0] - start >= kTickLength * c.pacing && c.pacing > 0 ? 1 : 0;
        for (std::size_t i = 1; i < timed->times.size(); ++i) {
            if (timed->times[i] - timed->times[i - 1] >= std::chrono::milliseconds(50)) {
                ++waits;
                EXPECT_EQ(i % static_cast<std::size_t>(EffectivePacketSize(c.packetSize)), 0u);
            }
        }
        EXPECT_EQ(waits, c.expectedWaits) << c.packetSize << "/" << c.pacing;
        for (const auto& b : state->Written()) {
            ASSERT_EQ(b.parity, platform::Parity::Space);
        }
    }
}

TEST(BulkStream, StopsAtTheFirstByteThatCannotBeSent) {
    auto state = std::make_shared<RecordingState>();
    CSerialLink link(std::make_unique<RecordingSerialLine>(state));
    ASSERT_EQ(link.Open(ComPortIndex(0), Framing::EightBit, kControllerBaud), "");
    state->writesBeforeFailure = 5;
    std::vector<std::uint8_t> data(40, 1);
    EXPECT_FALSE(SendBulkStream(link, data.data(), data.size(), 8, 0));
    EXPECT_EQ(state->Written().size(), 5u);
}

} // namespace
