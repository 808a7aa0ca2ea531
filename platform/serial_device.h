// Serial lines: the line-backend interface that the serial port classes talk to, and its
// termios implementation on a device path. COMn names resolve to device paths through a
// settable lookup (the program connects it to the "Serial Ports" section of its profile).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace platform {

enum class Parity { None, Odd, Even, Mark, Space };
enum class StopBits { One, Two };

struct LineSettings {
    int baud = 9600;
    int dataBits = 8; // 5 to 8
    Parity parity = Parity::None;
    StopBits stopBits = StopBits::One;

    bool operator==(const LineSettings&) const = default;
};

// How a transfer ends: the whole count went through; the time ran out first; the caller's thread
// was asked to stop; or the line failed (an end of file and a hang-up count as failures, never
// as time-outs).
enum class LineStatus { Ok, TimedOut, Stopped, Failed };

struct LineResult {
    LineStatus status = LineStatus::Ok;
    std::size_t count = 0; // bytes transferred, also when the status is not Ok
};

// Read time-outs. The read ends when `total` has passed since it began, or when `interByte`
// passes between two bytes after the first one (zero: no gap limit). Millisecond accuracy on a
// monotonic clock; `total` is limited to 30 seconds.
struct ReadTimeouts {
    std::chrono::milliseconds interByte{0};
    std::chrono::milliseconds total{0};
};

inline constexpr std::chrono::milliseconds kMaxReadTimeout{30000};

// Lets a wait end early: asked now and then while a read, a write or a pause waits.
using StopQuery = std::function<bool()>;

// A serial line as the port classes see it. The real device and the recording backend of the
// tests both implement it, so the same port code runs over either.
class SerialLine {
public:
    virtual ~SerialLine() = default;

    // Opens the device at `path` for exclusive use in raw mode. False with LastError() set.
    virtual bool Open(const std::string& path) = 0;
    virtual bool IsOpen() const = 0;
    // Closing a closed line succeeds.
    virtual bool Close() = 0;

    // Applies the settings once everything written so far has left the line.
    virtual bool Apply(const LineSettings& settings) = 0;
    // The settings in force, read back from the line.
    virtual bool ReadBack(LineSettings& settings) = 0;
    // Raises or drops DTR and RTS (lines that have no modem lines ignore it).
    virtual bool SetModemLines(bool dtr, bool rts) = 0;

    virtual LineResult Read(std::uint8_t* destination, std::size_t count,
                            const ReadTimeouts& timeouts) = 0;
    // Writes all `count` bytes; waits up to `timeout` each time the line takes nothing.
    virtual LineResult Write(const std::uint8_t* source, std::size_t count,
                             std::chrono::milliseconds timeout) = 0;
    // Discards what is queued in both directions.
    virtual bool Discard() = 0;
    // Bytes waiting to be read and waiting to be sent (the line status).
    virtual bool QueueCounts(std::size_t& input, std::size_t& output) = 0;
    // Waits, ending early when the stop query says so. Answers false when stopped.
    virtual bool Pause(std::chrono::milliseconds duration) = 0;

    virtual int LastError() const = 0;

    void SetStopQuery(StopQuery query) { stopQuery_ = std::move(query); }

protected:
    bool StopRequested() const { return stopQuery_ && stopQuery_(); }

private:
    StopQuery stopQuery_;
};

// A tty device driven through termios.
class SerialDevice : public SerialLine {
public:
    SerialDevice() = default;
    ~SerialDevice() override;
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    bool Open(const std::string& path) override;
    bool IsOpen() const override { return fd_ >= 0; }
    bool Close() override;
    bool Apply(const LineSettings& settings) override;
    bool ReadBack(LineSettings& settings) override;
    bool SetModemLines(bool dtr, bool rts) override;
    LineResult Read(std::uint8_t* destination, std::size_t count,
                    const ReadTimeouts& timeouts) override;
    LineResult Write(const std::uint8_t* source, std::size_t count,
                     std::chrono::milliseconds timeout) override;
    bool Discard() override;
    bool QueueCounts(std::size_t& input, std::size_t& output) override;
    bool Pause(std::chrono::milliseconds duration) override;
    int LastError() const override { return lastError_; }

    int FileDescriptor() const { return fd_; }

private:
    bool Fail(int error);

    int fd_ = -1;
    // What the last Apply of this open put in force: a repeat is not sent to the driver again.
    std::optional<LineSettings> applied_;
    int lastError_ = 0;
};

// The device path of COMn: the lookup's answer when it gives one, else /dev/ttyS<n-1>. Empty for
// n below 1.
std::string SerialDevicePathForPort(int n);
// The device path of a port name: "COMn" (any case) as above; a name that starts with '/' is
// already a path; anything else has none (empty).
std::string SerialDevicePathForName(const std::string& name);

// "/dev/ttyUSB0: Permission denied": the device tried and the system's reason, as every report
// of a port that could not be opened gives them.
std::string SerialOpenFailure(const std::string& path, int error);

// Answers the configured path of COMn, or an empty text when none is configured.
using SerialPortLookup = std::function<std::string(int n)>;
// Installs the lookup (an empty function restores the default) and answers the previous one.
SerialPortLookup SetSerialPortLookup(SerialPortLookup lookup);

} // namespace platform
