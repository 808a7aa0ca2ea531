#include "link/serial_link.h"

#include "platform/ui_services.h"
#include "platform/wait_clock.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace {

using namespace std::chrono_literals;

// Nothing waits on a write timing out; this only keeps a stuck line from hanging a transfer.
constexpr std::chrono::milliseconds kWriteTimeout{5000};
// The longest single read of a reply wait, so that paint is pumped between reads.
constexpr std::chrono::milliseconds kReadSlice{20};

constexpr int kMaxPortIndex = 7;

platform::Parity ToLineParity(int parity) {
    switch (parity) {
    case kParityMark:
        return platform::Parity::Mark;
    case kParitySpace:
        return platform::Parity::Space;
    default:
        return platform::Parity::None;
    }
}

} // namespace

CSerialLink::CSerialLink() : m_hPort(std::make_unique<platform::SerialDevice>()) {}

CSerialLink::CSerialLink(std::unique_ptr<platform::SerialLine> line) : m_hPort(std::move(line)) {
    if (!m_hPort) {
        m_hPort = std::make_unique<platform::SerialDevice>();
    }
}

CSerialLink::~CSerialLink() {
    Close();
}

bool CSerialLink::Record(bool ok) {
    m_bLastResult = ok ? 1 : 0;
    if (!ok) {
        m_dwLastError = static_cast<std::uint32_t>(m_hPort->LastError());
    }
    return ok;
}

std::string CSerialLink::Open(ComPortIndex port, Framing mode, BaudRate baud) {
    if (port.value > kMaxPortIndex) {
        return "Opening serial port: Only Com1 - Com8 are supported";
    }
    Close();
    const std::string path = platform::SerialDevicePathForPort(port.value + 1);
    if (!Record(m_hPort->Open(path))) {
        return "Opening serial port: Invalid handle retrieved opening port (" +
               platform::SerialOpenFailure(path, m_hPort->LastError()) + ")";
    }
    // A handle that did not become a working link is released again.
    auto abandon = [&](const char* text) {
        m_hPort->Close();
        return std::string(text);
    };
    m_hPort->Discard();
    platform::LineSettings settings;
    if (!Record(m_hPort->ReadBack(settings))) {
        return abandon("Opening serial port:  Could not get comm status");
    }
    settings.baud = baud.value;
    settings.dataBits = 8;
    settings.stopBits = platform::StopBits::One;
    const bool nineBit = mode != Framing::EightBit;
    settings.parity = nineBit ? platform::Parity::Mark : platform::Parity::None;
    if (!Record(m_hPort->Apply(settings))) {
        return abandon("Opening serial port:  Could not set comm status");
    }
    m_dcb = settings;
    m_bNineBit = nineBit ? 1 : 0;
    m_wMode = static_cast<std::uint16_t>(mode);
    m_wBaud = baud.value;
    m_nPort = port.value;
    // A read returns at once when a byte waits, else waits for one up to its own time-out.
    m_timeouts = {};
    return {};
}

void CSerialLink::Close() {
    if (m_nPort < 0 && !m_hPort->IsOpen()) {
        m_nPort = -1;
        return;
    }
    Record(m_hPort->Close());
    m_nPort = -1;
}

std::uint8_t CSerialLink::SetAddress(std::uint8_t address) {
    m_byAddress = static_cast<std::uint8_t>(address | 0x80);
    return m_byAddress;
}

bool CSerialLink::WriteBytes(const std::uint8_t* bytes, std::size_t count) {
    // A line that takes nothing now is waited on in slices, the windows repainted between
    // them, until the write's own time-out.
    const auto limit = platform::WaitClock::now() + kWriteTimeout;
    std::size_t done = 0;
    platform::LineResult result;
    for (;;) {
        result = m_hPort->Write(bytes + done, count - done, kReadSlice);
        done += result.count;
        // A packet goes out byte by byte: the windows repaint on the way.
        platform::PumpPaintIfDue();
        if (result.status != platform::LineStatus::TimedOut || done >= count ||
            platform::WaitClock::now() >= limit) {
            break;
        }
    }
    if (result.status == platform::LineStatus::Ok && done == count) {
        m_bLastResult = 1;
        return true;
    }
    m_bLastResult = 0;
    m_dwLastError = result.status == platform::LineStatus::Failed
                        ? static_cast<std::uint32_t>(m_hPort->LastError())
                        : static_cast<std::uint32_t>(ETIMEDOUT);
    return false;
}

bool CSerialLink::PausePumped(std::chrono::milliseconds duration) {
    while (duration > 0ms) {
        platform::PumpPaintIfDue();
        const auto slice = std::min(duration, kReadSlice);
        if (!m_hPort->Pause(slice)) {
            return false;
        }
        duration -= slice;
    }
    platform::PumpPaintIfDue();
    return true;
}

bool CSerialLink::SendByte(std::uint8_t byte, int parity) {
    if (!IsOpen()) {
        return false;
    }
    if (m_bNineBit) {
        const platform::Parity wanted = ToLineParity(parity);
        if (wanted != m_dcb.parity) {
            m_hPort->Pause(2ms);
            platform::LineSettings settings = m_dcb;
            settings.parity = wanted;
            if (!Record(m_hPort->Apply(settings))) {
                return false;
            }
            m_dcb = settings;
        }
    }
    return WriteBytes(&byte, 1);
}

bool CSerialLink::SendFrame9Bit(const std::vector<std::uint8_t>& message) {
    if (!IsOpen()) {
        return false;
    }
    unsigned sum = m_byAddress + m_byUnit;
    auto send = [&](std::uint8_t byte, int parity) {
        if (!SendByte(byte, parity)) {
            return false;
        }
        m_hPort->Pause(1ms);
        return true;
    };
    if (!send(m_byAddress, kParityMark) || !send(m_byUnit, kParitySpace)) {
        return false;
    }
    for (std::uint8_t byte : message) {
        sum += byte;
        if (!send(byte, kParitySpace)) {
            return false;
        }
    }
    return send(static_cast<std::uint8_t>((sum & 0xFF) >> 1), kParityMark);
}

bool CSerialLink::SendPreamble() {
    if (!IsOpen()) {
        return false;
    }
    PausePumped(100ms);
    const std::uint8_t preamble[] = {0x55, 0x55, 0x55};
    const bool ok = WriteBytes(preamble, sizeof preamble);
    PausePumped(100ms);
    return ok;
}

bool CSerialLink::SendFrame8Bit(const std::vector<std::uint8_t>& message) {
    if (!IsOpen()) {
        return false;
    }
    const auto length = static_cast<std::uint8_t>(message.size() & 0xFF);
    std::vector<std::uint8_t> frame;
    frame.reserve(message.size() + 5);
    frame.push_back(0xF5);
    frame.push_back(m_byUnit);
    frame.push_back(0x00);
    frame.push_back(length);
    unsigned sum = m_byUnit + length;
    for (std::uint8_t byte : message) {
        frame.push_back(byte);
        sum += byte;
    }
    frame.push_back(static_cast<std::uint8_t>(sum & 0xFF));
    return WriteBytes(frame.data(), frame.size());
}

bool CSerialLink::SendCommand(const std::vector<std::uint8_t>& message) {
    if (!IsOpen()) {
        return false;
    }
    if (m_bNineBit) {
        return SendFrame9Bit(message);
    }
    return SendPreamble() && SendFrame8Bit(message);
}

int CSerialLink::ReadByte(int timeoutMs) {
    if (!IsOpen()) {
        return 0;
    }
    // The wait goes in slices, with the windows repainted between them.
    const auto end =
        platform::WaitClock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        // Also between short reads in a row (Drain's).
        platform::PumpPaintIfDue();
        // Rounded up, so the wait never ends before its time.
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(end - platform::WaitClock::now());
        m_timeouts.interByte = std::chrono::milliseconds(0);
        m_timeouts.total = std::clamp(left, std::chrono::milliseconds(0), kReadSlice);
        std::uint8_t byte = 0;
        const platform::LineResult result = m_hPort->Read(&byte, 1, m_timeouts);
        if (result.status == platform::LineStatus::Failed) {
            Record(false);
            return -1;
        }
        m_bLastResult = 1;
        if (result.count != 0) {
            return byte;
        }
        if (platform::WaitClock::now() >= end) {
            return -2;
        }
    }
}

void CSerialLink::Drain() {
    for (int i = 0; i < 10; ++i) {
        if (IsOpen()) {
            ReadByte(20);
        }
    }
}

bool CSerialLink::WriteRaw(const std::vector<std::uint8_t>& bytes) {
    if (!IsOpen()) {
        return false;
    }
    return WriteBytes(bytes.data(), bytes.size());
}

bool CSerialLink::WaitUntilSent() {
    if (!IsOpen()) {
        return false;
    }
    // A slow line drains for seconds: the windows repaint while it does.
    const auto limit = platform::WaitClock::now() + kWriteTimeout;
    std::size_t input = 0;
    std::size_t output = 0;
    while (m_hPort->QueueCounts(input, output) && output > 0 &&
           platform::WaitClock::now() < limit) {
        platform::PumpedSleep(kReadSlice);
    }
    // Applying the settings in force waits for the output to drain and changes nothing else.
    return Record(m_hPort->Apply(m_dcb));
}

bool ProbeComPort(int index) {
    if (index < 0 || index > kMaxPortIndex) {
        return false;
    }
    platform::SerialDevice device;
    if (device.Open(platform::SerialDevicePathForPort(index + 1))) {
        device.Close();
        return true;
    }
    // The port exists but another program holds it.
    const int error = device.LastError();
    return error == EACCES || error == EBUSY;
}

std::string ComPortFailure(int index) {
    if (index < 0 || index > kMaxPortIndex) {
        return {};
    }
    const std::string path = platform::SerialDevicePathForPort(index + 1);
    platform::SerialDevice device;
    if (device.Open(path)) {
        device.Close();
        return {};
    }
    return platform::SerialOpenFailure(path, device.LastError());
}

int CountComPorts() {
    int count = 0;
    for (int i = 0; i <= kMaxPortIndex; ++i) {
        count += ProbeComPort(i) ? 1 : 0;
    }
    return count;
}

namespace dmx {

std::string CSerialLink::Open(ComPortIndex port, int /*unused*/, BaudRate baud, Framing mode) {
    if (port.value > 3) {
        return "Opening serial port: Only Com1 - Com4 are supported";
    }
    return link_.Open(port, mode, baud);
}

bool CSerialLink::SendCommand(const std::vector<std::uint8_t>& message) {
    if (!link_.IsOpen()) {
        return false;
    }
    if (!link_.NineBit()) {
        return link_.WriteRaw(message);
    }
    unsigned sum = link_.Address() + link_.Unit();
    if (!link_.SendByte(link_.Address(), kParityMark) ||
        !link_.SendByte(link_.Unit(), kParitySpace)) {
        return false;
    }
    for (std::uint8_t byte : message) {
        sum += byte;
        if (!link_.SendByte(byte, kParitySpace)) {
            return false;
        }
    }
    return link_.SendByte(static_cast<std::uint8_t>((sum & 0xFF) >> 1), kParityMark);
}

} // namespace dmx
