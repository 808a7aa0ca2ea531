#include "foundation/serial_port.h"
#include "tests/support/recording_serial_line.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <unistd.h>

using namespace std::chrono_literals;
using platform::Parity;
using testing_support::RecordedByte;
using testing_support::RecordingSerialLine;
using testing_support::RecordingState;
using testing_support::SerialRecord;
using Clock = std::chrono::steady_clock;

namespace {

// Maps COMn to a path of the test's choosing for the life of the object.
class PortMap {
public:
    explicit PortMap(int n, std::string path) {
        previous_ = platform::SetSerialPortLookup(
            [n, path](int port) { return port == n ? path : std::string(); });
    }
    ~PortMap() { platform::SetSerialPortLookup(previous_); }

private:
    platform::SerialPortLookup previous_;
};

struct Recorded {
    Recorded() : state(std::make_shared<RecordingState>()) {
        port = std::make_unique<QORSerial_c>(std::make_unique<RecordingSerialLine>(state));
    }
    std::shared_ptr<RecordingState> state;
    std::unique_ptr<QORSerial_c> port;
};

TEST(SerialPort, NineBitFrameSendsEachByteWithItsParityBit) {
    PortMap map(1, "/dev/recorded");
    Recorded r;
    ASSERT_EQ(r.port->SetPortByIndex(1), 2);
    ASSERT_EQ(r.port->Open(), 2);
    r.state->records.clear();

    const std::uint8_t data[] = {0x10, 0x20};
    EXPECT_EQ(r.port->SendFrame9Bit(0x7F, 0x01, 0x02, data, 2), 6);
    const std::vector<RecordedByte> expected = {
        {0xFF, Parity::Mark},  {0x01, Parity::Space}, {0x02, Parity::Space},
        {0x10, Parity::Space}, {0x20, Parity::Space}, {0x19, Parity::Mark},
    };
    EXPECT_EQ(r.state->Written(), expected);
    // From no parity: three switches, each after a settling pause.
    EXPECT_EQ(r.state->TotalPause(), 150ms);
    EXPECT_EQ(r.state->Count(SerialRecord::Kind::Apply), 3u);
    for (std::size_t i = 0; i < r.state->records.size(); ++i) {
        if (r.state->records[i].kind == SerialRecord::Kind::Apply) {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(r.state->records[i - 1].kind, SerialRecord::Kind::Pause);
        }
    }
    EXPECT_EQ(r.port->ParityIndex(), 1) << "a frame leaves the port in MARK parity";

    // Already in MARK parity: only two switches.
    r.state->records.clear();
    EXPECT_EQ(r.port->SendFrame9Bit(0x01, 0x00, 0x00, nullptr, 0), 4);
    const std::vector<RecordedByte> empty = {
        {0x81, Parity::Mark}, {0x00, Parity::Space}, {0x00, Parity::Space}, {0x40, Parity::Mark}};
    EXPECT_EQ(r.state->Written(), empty);
    EXPECT_EQ(r.state->TotalPause(), 100ms);
}

TEST(SerialPort, FrameChecksumIsTheByteSumShiftedRight) {
    Recorded r;
    PortMap map(2, "/dev/recorded");
    r.port->SetPortByIndex(2);
    const std::uint8_t data[] = {0xF0, 0xF0, 0xF0};
    EXPECT_EQ(r.port->SendFrame9Bit(0x80, 0xFF, 0x01, data, 3), 7);
    // 0x80 + 0xFF + 0x01 + 3 x 0xF0 = 0x350: the low byte 0x50 shifted right gives 0x28.
    ASSERT_EQ(r.state->Written().size(), 7u);
    EXPECT_EQ(r.state->Written().front().byte, 0x80);
    EXPECT_EQ(r.state->Written().back(), (RecordedByte{0x28, Parity::Mark}));
}

TEST(SerialPort, FailedFramesStopAtTheFirstFailedByteAndStillEndInMark) {
    PortMap map(1, "/dev/recorded");
    {
        Recorded r;
        r.port->SetPortByIndex(1);
        EXPECT_EQ(r.port->SendFrame9Bit(0x7F, 1, 2, nullptr, 2), -2);
        EXPECT_EQ(r.state->records.size(), 0u) << "nothing may be sent for missing data";
    }
    Recorded r;
    r.port->SetPortByIndex(1);
    r.state->writesBeforeFailure = 2;
    const std::uint8_t data[] = {0x10, 0x20};
    EXPECT_EQ(r.port->SendFrame9Bit(0x7F, 1, 2, data, 2), -2);
    const std::vector<RecordedByte> sent = {{0xFF, Parity::Mark}, {0x01, Parity::Space}};
    EXPECT_EQ(r.state->Written(), sent);
    EXPECT_EQ(r.port->ParityIndex(), 1);
}

TEST(SerialPort, PortChoiceByIndexAndName) {
    PortMap map(3, "/dev/recorded-com3");
    Recorded r;
    EXPECT_EQ(r.port->SetPortByIndex(21), 254);
    EXPECT_EQ(r.port->SetPortByIndex(-1), 254);
    EXPECT_EQ(r.port->SetPortByIndex(0), 2);
    EXPECT_EQ(r.port->Open(), 254) << "no port has the empty name";

    QORString_c com1;
    com1.Assign("COM1", -1, 253);
    ASSERT_EQ(r.port->SetCommPort(&com1), 2);
    ASSERT_EQ(r.port->Open(), 2);
    EXPECT_EQ(r.state->records.front().path, "/dev/ttyS0");
    // The same name keeps the open port open.
    QORString_c same;
    same.Assign("COM1", -1, 253);
    EXPECT_EQ(r.port->SetCommPort(&same), 2);
    EXPECT_TRUE(r.port->IsOpen());
    EXPECT_EQ(r.port->SetCommPort(nullptr), 254);
    // Another name closes it; the next open uses the new name.
    EXPECT_EQ(r.port->SetPortByIndex(3), 2);
    EXPECT_EQ(r.port->PortName().View(), "COM3");
    EXPECT_FALSE(r.port->IsOpen());
    EXPECT_EQ(r.port->WriteByte(0x55), 1);
    EXPECT_EQ(r.state->records.back().kind, SerialRecord::Kind::Write);
    std::string lastOpen;
    for (const auto& rec : r.state->records) {
        if (rec.kind == SerialRecord::Kind::Open) {
            lastOpen = rec.path;
        }
    }
    EXPECT_EQ(lastOpen, "/dev/recorded-com3");
}

TEST(SerialPort, TableSettersIgnoreIndexesOutsideTheirTables) {
    PortMap map(1, "/dev/recorded");
    Recorded r;
    r.port->SetPortByIndex(1);
    ASSERT_EQ(r.port->Open(), 2);
    EXPECT_EQ(r.state->records.back().settings.baud, 9600);
    r.state->records.clear();

    r.port->SetBaudIndex(7);
    r.port->SetParityIndex(5);
    r.port->SetStopIndex(2);
    r.port->SetDataBits(9);
    r.port->SetDataBits(4);
    r.port->SetBaudIndex(2); // unchanged
    EXPECT_EQ(r.state->records.size(), 0u);
    EXPECT_EQ(r.port->BaudIndex(), 2);
    EXPECT_EQ(r.port->ParityIndex(), 0);
    EXPECT_EQ(r.port->StopIndex(), 0);
    EXPECT_EQ(r.port->DataBits(), 8);

    struct Change {
        void (QORSerial_c::*set)(std::uint8_t);
        std::uint8_t value;
        platform::LineSettings expected;
    };
    const Change changes[] = {
        {&QORSerial_c::SetBaudIndex, 6, {115200, 8, Parity::None, platform::StopBits::One}},
        {&QORSerial_c::SetDataBits, 7, {115200, 7, Parity::None, platform::StopBits::One}},
        {&QORSerial_c::SetParityIndex, 3, {115200, 7, Parity::Even, platform::StopBits::One}},
        {&QORSerial_c::SetParityIndex, 4, {115200, 7, Parity::Odd, platform::StopBits::One}},
        {&QORSerial_c::SetStopIndex, 1, {115200, 7, Parity::Odd, platform::StopBits::Two}},
        {&QORSerial_c::SetBaudIndex, 0, {2400, 7, Parity::Odd, platform::StopBits::Two}},
    };
    for (const auto& c : changes) {
        r.state->records.clear();
        (r.port.get()->*c.set)(c.value);
        ASSERT_EQ(r.state->records.size(), 2u);
        EXPECT_EQ(r.state->records[0].pause, 50ms);
        EXPECT_EQ(r.state->records[1].kind, SerialRecord::Kind::Apply);
        EXPECT_EQ(r.state->records[1].settings, c.expected);
    }
    // A closed port only stores the change; Open applies it.
    r.port->Close();
    r.state->records.clear();
    r.port->SetBaudIndex(3);
    EXPECT_EQ(r.state->Count(SerialRecord::Kind::Apply), 0u);
    ASSERT_EQ(r.port->Open(), 2);
    EXPECT_EQ(r.state->records.back().settings.baud, 19200);
}

TEST(SerialPort, OpenFailuresLeaveThePortClosed) {
    PortMap map(1, "/dev/recorded");
    Recorded r;
    r.port->SetPortByIndex(1);
    r.state->refuseOpen = true;
    EXPECT_EQ(r.port->Open(), 254);
    EXPECT_FALSE(r.port->IsOpen());
    EXPECT_EQ(r.port->Read(nullptr, 0), -2);
    r.state->refuseOpen = false;
    r.state->refuseApply = true;
    EXPECT_EQ(r.port->Open(), 254);
    EXPECT_FALSE(r.port->IsOpen());
    EXPECT_EQ(r.port->WriteByte(1), -2);

    // Opening an open port settles and applies the settings again; a refusal closes it.
    r.state->refuseApply = false;
    ASSERT_EQ(r.port->Open(), 2);
    r.state->records.clear();
    EXPECT_EQ(r.port->Open(), 2);
    ASSERT_EQ(r.state->records.size(), 2u);
    EXPECT_EQ(r.state->records[0].pause, 50ms);
    EXPECT_EQ(r.state->records[1].kind, SerialRecord::Kind::Apply);
    r.state->refuseApply = true;
    EXPECT_EQ(r.port->Open(), 254);
    EXPECT_FALSE(r.port->IsOpen());

    QORSerial_c real; // a real device path that does not exist
    QORString_c name;
    name.Assign("/nonexistent/ttyQ", -1, 253);
    real.SetCommPort(&name);
    EXPECT_EQ(real.Open(), 254);
    EXPECT_FALSE(real.IsOpen());
    EXPECT_NE(real.LastError(), 0);
}

TEST(SerialPort, ReadsWhatCameAndFailsOnHangUp) {
    PortMap map(1, "/dev/recorded");
    Recorded r;
    r.port->SetPortByIndex(1);
    ASSERT_EQ(r.port->Open(), 2);
    for (char c : std::string("abc")) {
        r.state->input.push_back(static_cast<std::uint8_t>(c));
    }
    char buf[8] = {};
    EXPECT_EQ(r.port->Read(buf, 5), 3);
    EXPECT_EQ(std::string(buf, 3), "abc");
    EXPECT_EQ(r.port->Read(buf, 5), 0);
    EXPECT_EQ(r.port->Read(nullptr, 5), -2);
    r.state->hungUp = true;
    EXPECT_EQ(r.port->Read(buf, 5), -2);
    EXPECT_EQ(r.port->WriteByte(1), -2);

    Recorded closed;
    closed.port->Flush();
    EXPECT_EQ(closed.state->records.size(), 0u) << "flushing a closed port does nothing";
}

// The same code path as a real device, over a pseudo-terminal.
class SerialPortOverPty : public testing::Test {
protected:
    void SetUp() override {
        char name[256] = {};
        ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
        map = std::make_unique<PortMap>(5, name);
    }
    void TearDown() override {
        map.reset();
        if (master >= 0) {
            ::close(master);
        }
        ::close(slave);
    }
    std::string Receive(std::chrono::milliseconds wait) const {
        std::string out;
        const auto end = Clock::now() + wait;
        while (Clock::now() < end) {
            pollfd pfd{master, POLLIN, 0};
            if (::poll(&pfd, 1, 5) > 0 && (pfd.revents & POLLIN)) {
                char buf[256];
                const ssize_t n = ::read(master, buf, sizeof buf);
                if (n > 0) {
                    out.append(buf, static_cast<std::size_t>(n));
                }
            }
        }
        return out;
    }
    void Send(const std::string& s) const {
        ASSERT_EQ(::write(master, s.data(), s.size()), static_cast<ssize_t>(s.size()));
    }
    int master = -1;
    int slave = -1;
    std::unique_ptr<PortMap> map;
};

TEST_F(SerialPortOverPty, OpensOnDemandFlushesStaleInputAndTransfersBytes) {
    Send("stale");
    Receive(20ms); // the fresh tty echoes until the port puts it in raw mode
    QORSerial_c port;
    ASSERT_EQ(port.SetPortByIndex(5), 2);
    EXPECT_EQ(port.WriteByte('A'), 1) << port.LastError();
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(Receive(30ms), "A");
    char buf[16] = {};
    auto start = Clock::now();
    EXPECT_EQ(port.Read(buf, sizeof buf), 0) << "the open did not drop what came before it";
    EXPECT_GE(Clock::now() - start, 35ms);

    Send("hello\r\n");
    EXPECT_EQ(port.Read(buf, 7), 7);
    EXPECT_EQ(std::string(buf, 7), "hello\r\n");

    QORSerial_c second;
    second.SetPortByIndex(5);
    EXPECT_EQ(second.Open(), 254) << "the port is in use";

    start = Clock::now();
    const std::uint8_t data[] = {0x10, 0x20};
    EXPECT_EQ(port.SendFrame9Bit(0x7F, 0x01, 0x02, data, 2), 6);
    EXPECT_GE(Clock::now() - start, 150ms);
    EXPECT_EQ(Receive(30ms), "\xFF\x01\x02\x10\x20\x19");

    EXPECT_EQ(port.Close(), 2);
    EXPECT_EQ(second.Open(), 2);
}

TEST_F(SerialPortOverPty, HangUpIsAReadFailure) {
    QORSerial_c port;
    port.SetPortByIndex(5);
    ASSERT_EQ(port.Open(), 2);
    ::close(master);
    master = -1;
    char buf[4];
    EXPECT_EQ(port.Read(buf, sizeof buf), -2);
}

} // namespace
