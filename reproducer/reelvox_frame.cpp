#include "reproducer/reelvox_frame.h"

#include "foundation/byte_buffer.h"
#include "foundation/status.h"
#include "foundation/text_string.h"

std::uint8_t ReelvoxFrameChecksum(std::uint8_t start, std::uint8_t destination,
                                  std::uint8_t command, const std::uint8_t* data,
                                  std::int32_t length) {
    std::uint8_t sum = static_cast<std::uint8_t>(start + destination + command);
    for (std::int32_t i = 0; data != nullptr && i < length; ++i) {
        sum = static_cast<std::uint8_t>(sum + data[i]);
    }
    return static_cast<std::uint8_t>(sum >> 1);
}

std::vector<std::uint8_t> ReelvoxBuildFrame(std::uint8_t start, std::uint8_t destination,
                                            std::uint8_t command, const std::uint8_t* data,
                                            std::int32_t length) {
    // Sized once and filled in place: header, data, checksum.
    const std::size_t count = data != nullptr && length > 0 ? static_cast<std::size_t>(length) : 0;
    std::vector<std::uint8_t> frame(count + 4);
    frame[0] = start;
    frame[1] = destination;
    frame[2] = command;
    for (std::size_t i = 0; i < count; ++i) {
        frame[3 + i] = data[i];
    }
    frame[3 + count] = ReelvoxFrameChecksum(start, destination, command, data, length);
    return frame;
}

std::int32_t ReelvoxCommandAnswer(std::int32_t frameLength, std::uint8_t ackStatus) {
    if (ackStatus == QOR_OK) {
        return frameLength;
    }
    return ackStatus == QOR_TIMEOUT ? QOR_COUNT_TIMEOUT : QOR_COUNT_ERROR;
}

ReelvoxTextReply ReelvoxCollectTextReply(QORBuffer_c& input, QORBuffer_c& reply,
                                         std::int32_t& count, QORString_c& text) {
    std::uint8_t byte = 0;
    while (input.Read(&byte, 1) == 1) {
        if (byte == '\r') {
            text.Assign(reinterpret_cast<const char*>(reply.Data()), count, QOR_FALSE);
            count = 0;
            return ReelvoxTextReply::Complete;
        }
        if ((count == 0 && byte == 'U') || byte < 0x20 || byte > 0x7E || count >= reply.Size())
            return ReelvoxTextReply::Bad;
        reply.Data()[count++] = byte;
    }
    return ReelvoxTextReply::Partial;
}
