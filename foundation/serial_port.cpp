#include "foundation/serial_port.h"

#include "foundation/thread.h"

#include <array>
#include <string>

namespace {

constexpr std::array<int, 7> kBaudRates = {2400, 4800, 9600, 19200, 38400, 57600, 115200};
constexpr std::array<platform::Parity, 5> kParities = {
    platform::Parity::None, platform::Parity::Mark, platform::Parity::Space, platform::Parity::Even,
    platform::Parity::Odd};
constexpr std::array<platform::StopBits, 2> kStopBits = {platform::StopBits::One,
                                                         platform::StopBits::Two};
constexpr std::uint8_t kMark = 1;
constexpr std::uint8_t kSpace = 2;

} // namespace

QORSerial_c::QORSerial_c() : QORSerial_c(std::make_unique<platform::SerialDevice>()) {}

QORSerial_c::QORSerial_c(std::unique_ptr<platform::SerialLine> line) : m_line(std::move(line)) {
    if (!m_line) {
        m_line = std::make_unique<platform::SerialDevice>();
    }
    // Waits on the line end early when the worker thread using the port is asked to stop.
    m_line->SetStopQuery(&QORCurrentThreadStopRequested);
}

QORSerial_c::~QORSerial_c() {
    Close();
}

platform::LineSettings QORSerial_c::StoredSettings() const {
    platform::LineSettings s;
    s.baud = kBaudRates[m_baudIndex];
    s.dataBits = m_dataBits;
    s.parity = kParities[m_parityIndex];
    s.stopBits = kStopBits[m_stopIndex];
    return s;
}

bool QORSerial_c::Failed() {
    m_lastError = m_line->LastError();
    return false;
}

std::uint8_t QORSerial_c::SetCommPort(const QORString_c* name) {
    if (name == nullptr) {
        return 254;
    }
    if (name->View() == m_portName.View()) {
        return 2;
    }
    const std::uint8_t status =
        m_portName.Assign(name->Chars(), name->Length(), 253) == -2 ? 254 : 2;
    Close();
    return status;
}

std::uint8_t QORSerial_c::SetPortByIndex(std::int32_t index) {
    if (index < 0 || index > 20) {
        return 254;
    }
    QORString_c name;
    if (index > 0) {
        const std::string text = "COM" + std::to_string(index);
        name.Assign(text.c_str(), static_cast<std::int32_t>(text.size()), 253);
    }
    return SetCommPort(&name);
}

bool QORSerial_c::ApplyToOpenPort() {
    // Lets the last byte leave the line before its framing changes.
    m_line->Pause(kSettlePause);
    if (!m_line->Apply(StoredSettings())) {
        Failed();
        m_line->Close();
        return false;
    }
    return true;
}

void QORSerial_c::SetBaudIndex(std::uint8_t index) {
    if (index < kBaudRates.size() && index != m_baudIndex) {
        m_baudIndex = index;
        if (IsOpen()) {
            ApplyToOpenPort();
        }
    }
}

void QORSerial_c::SetDataBits(std::uint8_t bits) {
    if (bits >= 5 && bits <= 8 && bits != m_dataBits) {
        m_dataBits = bits;
        if (IsOpen()) {
            ApplyToOpenPort();
        }
    }
}

void QORSerial_c::SetParityIndex(std::uint8_t index) {
    if (index < kParities.size() && index != m_parityIndex) {
        m_parityIndex = index;
        if (IsOpen()) {
            ApplyToOpenPort();
        }
    }
}

void QORSerial_c::SetStopIndex(std::uint8_t index) {
    if (index < kStopBits.size() && index != m_stopIndex) {
        m_stopIndex = index;
        if (IsOpen()) {
            ApplyToOpenPort();
        }
    }
}

std::uint8_t QORSerial_c::Open() {
    if (IsOpen()) {
        return ApplyToOpenPort() ? 2 : 254;
    }
    if (!m_line->Open(platform::SerialDevicePathForName(std::string(m_portName.View())))) {
        Failed();
        return 254;
    }
    platform::LineSettings inForce;
    if (!m_line->SetModemLines(true, true) || !m_line->Apply(StoredSettings()) ||
        !m_line->ReadBack(inForce)) {
        Failed();
        m_line->Close();
        return 254;
    }
    m_inForce = inForce;
    Flush();
    if (!IsOpen()) {
        return 254;
    }
    if (!m_line->Apply(StoredSettings())) {
        Failed();
        m_line->Close();
        return 254;
    }
    return 2;
}

std::uint8_t QORSerial_c::Close() {
    if (!IsOpen()) {
        return 2;
    }
    if (!m_line->Close()) {
        Failed();
        return 254;
    }
    return 2;
}

void QORSerial_c::ClearError() {
    if (!m_line->QueueCounts(m_inputQueued, m_outputQueued)) {
        Failed();
    }
}

std::int32_t QORSerial_c::Read(void* destination, std::int32_t count) {
    if (!IsOpen() && Open() != 2) {
        return -2;
    }
    if (count <= 0) {
        return 0;
    }
    if (destination == nullptr) {
        return -2;
    }
    const auto r =
        m_line->Read(static_cast<std::uint8_t*>(destination), static_cast<std::size_t>(count),
                     {kInterByteTimeout, kTotalReadTimeout});
    switch (r.status) {
    case platform::LineStatus::Ok:
    case platform::LineStatus::TimedOut:
        return static_cast<std::int32_t>(r.count);
    case platform::LineStatus::Stopped:
        break;
    case platform::LineStatus::Failed:
        Failed();
        ClearError();
        break;
    }
    // Bytes that arrived before a failure or a stop are still delivered.
    return r.count > 0 ? static_cast<std::int32_t>(r.count) : -2;
}

std::int32_t QORSerial_c::WriteOne(std::uint8_t byte) {
    const auto limit = std::chrono::milliseconds(m_timeout > 0 ? m_timeout : 0);
    const auto r = m_line->Write(&byte, 1, limit);
    switch (r.status) {
    case platform::LineStatus::Ok:
        return 1;
    case platform::LineStatus::TimedOut:
        return -5;
    case platform::LineStatus::Stopped:
        return -2;
    case platform::LineStatus::Failed:
        break;
    }
    Failed();
    ClearError();
    return -2;
}

std::int32_t QORSerial_c::WriteByte(std::uint8_t byte) {
    if (!IsOpen() && Open() != 2) {
        return -2;
    }
    return WriteOne(byte);
}

void QORSerial_c::ChangeParity(std::uint8_t index) {
    if (index != m_parityIndex) {
        SetParityIndex(index);
    }
}

std::int32_t QORSerial_c::SendFrame9Bit(std::uint8_t start, std::uint8_t second, std::uint8_t third,
                                        const std::uint8_t* data, std::int32_t count) {
    if (count < 0 || (data == nullptr && count > 0)) {
        return -2;
    }
    const std::uint8_t first = start | 0x80;
    std::uint8_t sum = static_cast<std::uint8_t>(first + second + third);
    for (std::int32_t i = 0; i < count; ++i) {
        sum = static_cast<std::uint8_t>(sum + data[i]);
    }
    const std::uint8_t checksum = sum >> 1;

    ChangeParity(kMark);
    bool ok = WriteByte(first) == 1;
    ChangeParity(kSpace);
    ok = ok && WriteByte(second) == 1;
    ok = ok && WriteByte(third) == 1;
    for (std::int32_t i = 0; ok && i < count; ++i) {
        ok = WriteByte(data[i]) == 1;
    }
    ChangeParity(kMark);
    ok = ok && WriteByte(checksum) == 1;
    return ok ? count + 4 : -2;
}

void QORSerial_c::Flush() {
    if (!IsOpen()) {
        return;
    }
    if (!m_line->Discard()) {
        Failed();
    }
    std::uint8_t scrap[256];
    for (int block = 0; block < 8; ++block) {
        const auto r = m_line->Read(scrap, sizeof scrap, {kInterByteTimeout, kTotalReadTimeout});
        if (r.count == 0 || r.status == platform::LineStatus::Failed ||
            r.status == platform::LineStatus::Stopped) {
            break;
        }
    }
}
