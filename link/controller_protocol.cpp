#include "link/controller_protocol.h"

#include "link/delay_ticks.h"
#include "link/log_format.h"

#include <cctype>
#include <charconv>

namespace showlink {

namespace {

void Report(const ReplyReporter& report, const char* text) {
    if (report) {
        report(text);
    }
}

int ReportFailure(const ReplyReporter& report, int result) {
    if (result == kReplyTimedOut) {
        Report(report, "Error: Timed out receiving response");
    } else if (result == kReplyFailed) {
        Report(report, "Error: Hardware error receiving response");
    }
    return result;
}

} // namespace

int ReadReplyLine(CSerialLink& link, std::string& text, int timeoutMs,
                  const ReplyReporter& report) {
    text.clear();
    for (;;) {
        const int byte = link.ReadByte(timeoutMs);
        if (byte < 0) {
            return ReportFailure(report, byte);
        }
        if (byte == 0x0D || byte == 0) {
            return kReplyLineRead;
        }
        if (text.size() >= kMaxReplyLine) {
            return ReportFailure(report, kReplyFailed);
        }
        text.push_back(static_cast<char>(byte));
    }
}

int ReadReplyByte(CSerialLink& link, int timeoutMs, const ReplyReporter& report) {
    const int byte = link.ReadByte(timeoutMs);
    return byte < 0 ? ReportFailure(report, byte) : byte;
}

int SendAndReadLine(CSerialLink& link, int timeoutMs, int tries,
                    const std::vector<std::uint8_t>& message, std::string& text,
                    const ReplyReporter& report) {
    int result = kReplyTimedOut;
    for (int attempt = 0; attempt < tries; ++attempt) {
        if (!link.SendCommand(message)) {
            Report(report, "Hardware error transmitting message");
            return kReplyFailed;
        }
        result = ReadReplyLine(link, text, timeoutMs, report);
        if (result == kReplyLineRead) {
            break;
        }
    }
    return result;
}

int SendAndReadByte(CSerialLink& link, int timeoutMs, int tries,
                    const std::vector<std::uint8_t>& message, const ReplyReporter& report) {
    int result = kReplyTimedOut;
    for (int attempt = 0; attempt < tries; ++attempt) {
        if (!link.SendCommand(message)) {
            Report(report, "Hardware error transmitting message");
            return kReplyFailed;
        }
        result = ReadReplyByte(link, timeoutMs, report);
        if (result >= 0) {
            break;
        }
    }
    return result;
}

int EffectivePacketSize(int packetSize) {
    return packetSize > 0 ? packetSize : kDefaultPacketSize;
}

bool SendBulkStream(CSerialLink& link, const std::uint8_t* bytes, std::size_t count, int packetSize,
                    int pacing) {
    const auto packet = static_cast<std::size_t>(EffectivePacketSize(packetSize));
    for (std::size_t j = 0; j < count; ++j) {
        if (j % packet == 0 && pacing != 0) {
            DelayTicksPumped(pacing);
        }
        if (!link.SendByte(bytes[j], kParitySpace)) {
            return false;
        }
    }
    return true;
}

bool ParseFirmwareVersion(const std::string& line, double& version) {
    if (line.size() < 2) {
        return false;
    }
    std::size_t start = line.size();
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        if (line[i + 1] == '.') {
            start = i;
            break;
        }
    }
    if (start == line.size()) {
        return false;
    }
    // Converted as the C library's atof would, without its locale: leading blanks, a sign,
    // digits and a decimal point; anything else ends the number (nothing converted gives 0).
    std::string piece = line.substr(start, 4);
    std::size_t p = 0;
    while (p < piece.size() && std::isspace(static_cast<unsigned char>(piece[p]))) {
        ++p;
    }
    if (p < piece.size() && piece[p] == '+') {
        ++p;
    }
    double value = 0.0;
    const auto result = std::from_chars(piece.data() + p, piece.data() + piece.size(), value,
                                        std::chars_format::fixed);
    version = result.ec == std::errc() ? value : 0.0;
    return true;
}

std::string HexBytes(const std::string& bytes) {
    std::string text;
    for (char c : bytes) {
        text += Format("%2.2X ", static_cast<unsigned char>(c));
    }
    return text;
}

} // namespace showlink
