#include "link/transfer_session.h"

#include "link/controller_protocol.h"
#include "link/log_format.h"

#include <utility>

namespace showlink {

std::string OpenControllerLink(CSerialLink& link, const CommSettings& settings) {
    if (settings.serialPort < 0 || settings.serialPort > 0xFFFF)
        return "Opening serial port: Only Com1 - Com8 are supported";
    return link.Open(ComPortIndex(static_cast<std::uint16_t>(settings.serialPort)),
                     FramingFromSetting(settings.serialBitMode), kControllerBaud);
}

TransferSession::TransferSession(const CommSettings& settings, TransferLog log,
                                 std::string verbosePrefix, int timeoutMs)
    : settings_(settings), log_(std::move(log)), prefix_(std::move(verbosePrefix)),
      timeout_(timeoutMs) {}

void TransferSession::Line(const std::string& text, LogColour colour) const {
    log_(text, colour);
}

void TransferSession::Verbose(const std::string& text) const {
    if (settings_.verbose)
        Line(prefix_ + text);
}

ReplyReporter TransferSession::Reporter() const {
    return [this](const std::string& text) { Line(text, LogColour::Red); };
}

void TransferSession::AnnounceOpening() const {
    Line(Format("Opening serial communications on Com%d", ComNumber()));
    Line(settings_.serialBitMode == 0 ? "  Download Mode set to Brevant 8-bit"
                                      : "  Download Mode set to Brevant 9-bit");
}

void TransferSession::AnnounceSettings() const {
    const std::string timeout = TimeoutText(settings_.serialTimeout);
    if (!timeout.empty())
        Verbose("Timeout set to " + timeout);
    Verbose(Format("Packet Size set to %d bytes", settings_.serialBandwidth));
    // Widened: a pacing that came from elsewhere than the profile must not overflow the product.
    Verbose(
        Format("Packet Pacing set to %lld ms", static_cast<long long>(settings_.serialDelay) * 50));
}

bool TransferSession::Open(std::uint8_t unit) {
    const std::string error = OpenControllerLink(link_, settings_);
    if (!error.empty()) {
        Line("Error: " + error, LogColour::Red);
        return false;
    }
    link_.SetAddress(kAddressAll);
    link_.SetUnit(unit);
    return true;
}

std::optional<std::string> TransferSession::RequestFirmware() {
    link_.Drain();
    Verbose("Requesting firmware version from Show Control Unit");
    std::string line;
    if (SendAndReadLine(link_, timeout_, kRequestTries, {kCmdFirmwareVersion}, line, Reporter()) !=
        kReplyLineRead)
        return std::nullopt;
    Line(Format("Version of Show Control Unit is [%s]", line.c_str()));
    return line;
}

int TransferSession::RequestMemory() {
    link_.Drain();
    Verbose("Requesting EEPROM size from Show Control Unit");
    const int kb = SendAndReadByte(link_, timeout_, kRequestTries, {kCmdMemorySize}, Reporter());
    if (kb >= 0)
        Verbose(Format("Memory Size Byte Returned [%2.2X]", kb));
    return kb;
}

bool TransferSession::RequestWrite(std::uint16_t length) {
    link_.Drain();
    Verbose("Requesting download from Show Control Unit");
    const int answer = SendAndReadByte(link_, timeout_, kRequestTries,
                                       {kCmdWriteImage, static_cast<std::uint8_t>(length & 0xFF),
                                        static_cast<std::uint8_t>(length >> 8)},
                                       Reporter());
    if (answer < 0)
        return false;
    Verbose(Format("Download Request Byte Returned [%2.2X]", answer));
    if (answer == kNak) {
        Line("Error: Download request denied by Show Control Unit", LogColour::Red);
        return false;
    }
    if (answer != kAck) {
        Line("Error: Download request received unknown response from Show Control Unit",
             LogColour::Red);
        return false;
    }
    Verbose("Download request acknowledged");
    return true;
}

bool TransferSession::Stream(const std::uint8_t* bytes, std::size_t length) {
    Line("");
    Line("Downloading to Show Control Unit...");
    if (!SendBulkStream(link_, bytes, length, settings_.serialBandwidth, settings_.serialDelay)) {
        Line("Error: Hardware error transmitting message to Show Control Unit", LogColour::Red);
        return false;
    }
    return true;
}

int TransferSession::ReadCompletion(const std::function<void(const std::string& text)>& fail) {
    link_.WaitUntilSent();
    const int completion = link_.ReadByte(timeout_);
    if (completion == kReplyTimedOut) {
        fail("Download Failed, Timed out receiving response from Show Control Unit!");
        return -1;
    }
    if (completion == kReplyFailed) {
        fail("Download Failed, Hardware error receiving response from Show Control Unit");
        return -1;
    }
    Verbose(Format("Download Completion Status Byte Returned [%2.2X]", completion));
    return completion;
}

void TransferSession::Close() {
    Line(Format("Closing serial communications on Com%d", ComNumber()));
    link_.Close();
}

} // namespace showlink
