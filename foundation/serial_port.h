// The library's RS-232 port: opens a COM port by name, keeps its line settings as small table
// indexes, reads and writes bytes with fixed line time-outs, and sends the 9-bit address frames
// of the reproducer protocol by switching the parity bit between MARK and SPACE.
#pragma once

#include "foundation/text_string.h"
#include "platform/serial_device.h"

#include <chrono>
#include <cstdint>
#include <memory>

class QORSerial_c {
public:
    // Each change of parity on an open port waits this long before the settings are applied.
    static constexpr std::chrono::milliseconds kSettlePause{50};
    // Line time-outs of every read: between two bytes, and for the whole read.
    static constexpr std::chrono::milliseconds kInterByteTimeout{15};
    static constexpr std::chrono::milliseconds kTotalReadTimeout{35};

    // A port on a real device (a termios line).
    QORSerial_c();
    // A port on the given line (tests record; the controller link may bring its own).
    explicit QORSerial_c(std::unique_ptr<platform::SerialLine> line);
    virtual ~QORSerial_c();
    QORSerial_c(const QORSerial_c&) = delete;
    QORSerial_c& operator=(const QORSerial_c&) = delete;

    // A new name closes the port (the next Open uses it); the current name changes nothing.
    // 254 for a missing name.
    std::uint8_t SetCommPort(const QORString_c* name);
    // 0: no port; 1 to 20: COM1 to COM20; anything else 254.
    std::uint8_t SetPortByIndex(std::int32_t index);
    // Indexes outside their tables are ignored. A change on an open port is applied at once.
    void SetBaudIndex(std::uint8_t index);   // 0: 2400 ... 6: 115200
    void SetDataBits(std::uint8_t bits);     // 5 to 8
    void SetParityIndex(std::uint8_t index); // 0 none, 1 MARK, 2 SPACE, 3 even, 4 odd
    void SetStopIndex(std::uint8_t index);   // 0 one, 1 two
    // How long a write waits for the line to take a byte.
    void SetTimeout(std::int32_t milliseconds) { m_timeout = milliseconds; }

    std::uint8_t Open();
    std::uint8_t Close();
    // Reads the line status (bytes queued each way); stores the error when that fails.
    void ClearError();
    // Up to count bytes within the line time-outs: the count read (0 when none came), or -2.
    std::int32_t Read(void* destination, std::int32_t count);
    // 1, -5 when the line took nothing within the time-out, or -2.
    std::int32_t WriteByte(std::uint8_t byte);
    // Start byte with the top bit set in MARK parity, the second, third and data bytes in SPACE
    // parity, then the 7-bit checksum in MARK parity: count + 4, or -2.
    std::int32_t SendFrame9Bit(std::uint8_t start, std::uint8_t second, std::uint8_t third,
                               const std::uint8_t* data, std::int32_t count);
    // Discards both queues and drains what keeps arriving (at most 8 reads of 256 bytes).
    void Flush();

    bool IsOpen() const { return m_line->IsOpen(); }
    const QORString_c& PortName() const { return m_portName; }
    std::uint8_t BaudIndex() const { return m_baudIndex; }
    std::uint8_t DataBits() const { return m_dataBits; }
    std::uint8_t ParityIndex() const { return m_parityIndex; }
    std::uint8_t StopIndex() const { return m_stopIndex; }
    std::int32_t Timeout() const { return m_timeout; }
    int LastError() const { return m_lastError; }
    // The settings last read back from an opened line.
    const platform::LineSettings& SettingsInForce() const { return m_inForce; }
    std::size_t InputQueued() const { return m_inputQueued; }
    std::size_t OutputQueued() const { return m_outputQueued; }

private:
    platform::LineSettings StoredSettings() const;
    // Applies the stored settings to an open port after the settling pause; closes it on failure.
    bool ApplyToOpenPort();
    void ChangeParity(std::uint8_t index);
    bool Failed(); // stores the line's error; always false
    std::int32_t WriteOne(std::uint8_t byte);

    std::unique_ptr<platform::SerialLine> m_line;
    QORString_c m_portName;
    std::uint8_t m_baudIndex = 2;
    std::uint8_t m_dataBits = 8;
    std::uint8_t m_parityIndex = 0;
    std::uint8_t m_stopIndex = 0;
    std::int32_t m_timeout = 500;

    platform::LineSettings m_inForce;
    int m_lastError = 0;
    std::size_t m_inputQueued = 0;
    std::size_t m_outputQueued = 0;
};
