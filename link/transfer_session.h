// One serial conversation with a show controller as every transfer holds it: the link opened
// on the "Download" settings and addressed to a unit, the firmware and memory requests, the
// image write request, the stream and the completion byte. Its lines go through the caller's
// log; verbose lines carry the caller's prefix ("  " in a compile view, "* " in an image's
// list).
#pragma once

#include "link/controller_protocol.h"
#include "link/serial_link.h"
#include "link/transfer_log.h"
#include "script/download_settings.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace showlink {

// Opens the port of the "SerialPort" setting in the framing of "SerialBitMode" at the
// controller's rate: empty on success, else the link's text.
std::string OpenControllerLink(CSerialLink& link, const CommSettings& settings);

class TransferSession {
public:
    // `timeoutMs`: how long each reply is waited for.
    TransferSession(const CommSettings& settings, TransferLog log, std::string verbosePrefix,
                    int timeoutMs);
    TransferSession(const TransferSession&) = delete;
    TransferSession& operator=(const TransferSession&) = delete;

    void Line(const std::string& text, LogColour colour = LogColour::Default) const;
    // A line shown only with verbose messages, behind the prefix.
    void Verbose(const std::string& text) const;
    // Reply failures go to the log in red.
    ReplyReporter Reporter() const;

    // "Opening serial communications on ComN" and the framing line.
    void AnnounceOpening() const;
    // The time-out, packet size and pacing lines (verbose).
    void AnnounceSettings() const;
    // Opens the port of the "SerialPort" setting in its framing, addressed to every unit and
    // to `unit`. False after its red line.
    bool Open(std::uint8_t unit);
    // The controller's firmware line; none after a failed request (reported).
    std::optional<std::string> RequestFirmware();
    // The controller's memory in kilobytes; -1 after a failed request (reported).
    int RequestMemory();
    // Asks to write an image of `length` bytes; true when the controller acknowledged. What
    // follows the acknowledgement stays unread (an empty image's completion may).
    bool RequestWrite(std::uint16_t length);
    // Streams the image in the settings' packets and pacing. False after its red line.
    bool Stream(const std::uint8_t* bytes, std::size_t length);
    // The completion byte after the stream; -1 after `fail` was told of a time-out or a
    // hardware error.
    int ReadCompletion(const std::function<void(const std::string& text)>& fail);
    // "Closing serial communications on ComN" and the port closed.
    void Close();

    CSerialLink& Link() { return link_; }
    int ComNumber() const { return settings_.serialPort + 1; }

private:
    const CommSettings settings_;
    TransferLog log_;
    std::string prefix_;
    int timeout_;
    CSerialLink link_;
};

} // namespace showlink
