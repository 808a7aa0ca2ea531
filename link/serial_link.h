// The serial link to a show controller: opens one of COM1 to COM8, frames command messages in
// the controller's 9-bit framing (address and checksum with the parity bit set) or its 8-bit
// framing (preamble and a counted frame), writes single bulk bytes, reads reply bytes with a
// time-out and discards stale input. Every transfer opens its own link and closes it again.
#pragma once

#include "platform/serial_device.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Framing of command messages: the "SerialBitMode" setting (0 the 8-bit framing, any other
// value the 9-bit framing).
enum class Framing : std::uint16_t { EightBit = 0, NineBit = 1 };

inline Framing FramingFromSetting(int bitMode) {
    return bitMode == 0 ? Framing::EightBit : Framing::NineBit;
}

// A port index 0-7 (COM1-COM8) and a line speed, typed so that neither can take the other's
// place in a call.
struct ComPortIndex {
    explicit constexpr ComPortIndex(std::uint16_t index) : value(index) {}
    std::uint16_t value;
};

struct BaudRate {
    explicit constexpr BaudRate(std::uint16_t baud) : value(baud) {}
    std::uint16_t value;
};

inline constexpr BaudRate kControllerBaud{9600};

// Parity values as the link keeps them.
inline constexpr int kParityNone = 0;
inline constexpr int kParityMark = 3;
inline constexpr int kParitySpace = 4;

class CSerialLink {
public:
    // A link on the serial device named by each Open.
    CSerialLink();
    // A link on a given line (tests record what the link writes).
    explicit CSerialLink(std::unique_ptr<platform::SerialLine> line);
    ~CSerialLink();
    CSerialLink(const CSerialLink&) = delete;
    CSerialLink& operator=(const CSerialLink&) = delete;

    // Empty on success, else the failure text; the link stays closed on failure.
    std::string Open(ComPortIndex port, Framing mode, BaudRate baud);
    void Close();
    bool IsOpen() const { return m_nPort >= 0; }

    std::uint8_t SetAddress(std::uint8_t address);
    void SetUnit(std::uint8_t unit) { m_byUnit = unit; }

    // Frames and writes one command message. False on a closed link or a failed write.
    bool SendCommand(const std::vector<std::uint8_t>& message);
    // Writes one byte unframed with mark (3) or space (4) parity; the 8-bit framing sends it
    // with parity none. False on a closed link, a failed parity change or a failed write.
    bool SendByte(std::uint8_t byte, int parity);
    // The byte read (0-255), -2 when none came within the time-out, -1 when the read failed,
    // 0 on a closed link.
    int ReadByte(int timeoutMs);
    // Discards what the controller sent that nobody waited for (ten reads of 20 ms).
    void Drain();
    // Writes the bytes as they are in one write.
    bool WriteRaw(const std::vector<std::uint8_t>& bytes);
    // Waits until everything written has left the port (a write returns as soon as the system
    // has queued the bytes, so a reply time-out must not start before this).
    bool WaitUntilSent();

    bool SendPreamble();
    bool SendFrame8Bit(const std::vector<std::uint8_t>& message);
    bool SendFrame9Bit(const std::vector<std::uint8_t>& message);

    int Port() const { return m_nPort; }
    std::uint8_t Address() const { return m_byAddress; }
    std::uint8_t Unit() const { return m_byUnit; }
    bool NineBit() const { return m_bNineBit != 0; }
    std::uint32_t LastError() const { return m_dwLastError; }

private:
    bool WriteBytes(const std::uint8_t* bytes, std::size_t count);
    // A pause of the line in read-sized slices, the windows repainted between them.
    bool PausePumped(std::chrono::milliseconds duration);
    bool Record(bool ok);

    std::int32_t m_nPort = -1;
    std::uint16_t m_wBaud = 0;
    std::uint16_t m_wMode = 0;
    std::uint32_t m_dwLastError = 0;
    std::int32_t m_bLastResult = 0;
    std::int32_t m_bNineBit = 0;
    platform::LineSettings m_dcb;
    std::uint8_t m_byAddress = 0;
    std::uint8_t m_byUnit = 0;
    std::unique_ptr<platform::SerialLine> m_hPort;
    platform::ReadTimeouts m_timeouts;
};

// True when COMn (index 0-7) exists, also when another program holds it.
bool ProbeComPort(int index);
// How many of COM1 to COM8 exist.
int CountComPorts();
// Why COM(index+1) cannot be opened now, as "/dev/ttyS0: No such file or directory"; empty when
// it opens (or the index names no port).
std::string ComPortFailure(int index);

// The DMX sender's reduced link: COM1 to COM4 only, commands in the 9-bit framing without
// pauses, or the bare message bytes when opened without the 9-bit flag.
namespace dmx {

class CSerialLink {
public:
    CSerialLink() = default;
    explicit CSerialLink(std::unique_ptr<platform::SerialLine> line) : link_(std::move(line)) {}

    // The second argument is not used.
    std::string Open(ComPortIndex port, int unused, BaudRate baud, Framing mode);
    void Close() { link_.Close(); }
    std::uint8_t SetAddress(std::uint8_t address) { return link_.SetAddress(address); }
    void SetUnit(std::uint8_t unit) { link_.SetUnit(unit); }
    bool SendCommand(const std::vector<std::uint8_t>& message);
    bool SendByte(std::uint8_t byte, int parity) { return link_.SendByte(byte, parity); }

private:
    ::CSerialLink link_;
};

} // namespace dmx
