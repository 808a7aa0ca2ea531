// Every reply the link reads from a controller, played from the fuzz bytes on a line that
// answers at once: the firmware line and its version, the memory size, the image length and
// image with its verdict, and the script archive's total, header, packed text and its expansion.
// A reply that ends early is a time-out; nothing may read past what the controller said.
#include "link/controller_protocol.h"
#include "link/dat_doc.h"
#include "link/script_archive.h"
#include "link/serial_link.h"
#include "platform/serial_device.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

class ReplayLine : public platform::SerialLine {
public:
    ReplayLine(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Open(const std::string&) override { return open_ = true; }
    bool IsOpen() const override { return open_; }
    bool Close() override {
        open_ = false;
        return true;
    }
    bool Apply(const platform::LineSettings& settings) override {
        settings_ = settings;
        return true;
    }
    bool ReadBack(platform::LineSettings& settings) override {
        settings = settings_;
        return true;
    }
    bool SetModemLines(bool, bool) override { return true; }
    platform::LineResult Read(std::uint8_t* destination, std::size_t count,
                              const platform::ReadTimeouts&) override {
        const std::size_t n = std::min(count, size_ - at_);
        if (n > 0)
            std::memcpy(destination, data_ + at_, n);
        at_ += n;
        return {n == count ? platform::LineStatus::Ok : platform::LineStatus::TimedOut, n};
    }
    platform::LineResult Write(const std::uint8_t*, std::size_t count,
                               std::chrono::milliseconds) override {
        return {platform::LineStatus::Ok, count};
    }
    bool Discard() override { return true; }
    bool QueueCounts(std::size_t& input, std::size_t& output) override {
        input = size_ - at_;
        output = 0;
        return true;
    }
    bool Pause(std::chrono::milliseconds) override { return true; }
    int LastError() const override { return 0; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
    bool open_ = false;
    platform::LineSettings settings_;
};

int Word(CSerialLink& link, std::uint8_t command) {
    const int low = showlink::SendAndReadByte(link, 0, 1, {command}, {});
    if (low < 0)
        return -1;
    const int high = showlink::ReadReplyByte(link, 0, {});
    return high < 0 ? -1 : (low | (high << 8));
}

bool ReadBytes(CSerialLink& link, std::size_t count, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    for (std::size_t i = 0; i < count; ++i) {
        const int byte = showlink::ReadReplyByte(link, 0, {});
        if (byte < 0)
            return false;
        bytes.push_back(static_cast<std::uint8_t>(byte));
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CSerialLink link(std::make_unique<ReplayLine>(data, size));
    if (!link.Open(ComPortIndex(0), Framing::EightBit, BaudRate(9600)).empty())
        __builtin_trap();

    std::string line;
    if (showlink::SendAndReadLine(link, 0, 1, {showlink::kCmdFirmwareVersion}, line, {}) ==
        showlink::kReplyLineRead) {
        if (line.size() > showlink::kMaxReplyLine)
            __builtin_trap();
        double version = 0.0;
        showlink::ParseFirmwareVersion(line, version);
        (void)showlink::HexBytes(line);
    }
    const int kb = showlink::SendAndReadByte(link, 0, 1, {showlink::kCmdMemorySize}, {});
    if (kb > 0xFF)
        __builtin_trap();

    // The image: its length word, then that many bytes, judged as an image file is.
    std::vector<std::uint8_t> bytes;
    const int length = Word(link, showlink::kCmdReadImage);
    if (length > 0xFFFF)
        __builtin_trap();
    if (length >= 0 && ReadBytes(link, static_cast<std::size_t>(length), bytes)) {
        static CDatDoc image;
        image.LoadImage(bytes.data(), bytes.size());
        if (image.DatLength() != bytes.size() || image.FileSize() != bytes.size())
            __builtin_trap();
    }

    // The archive: its total, the header and the packed text the header announces.
    const int total = Word(link, showlink::kCmdReadArchive);
    if (total > 0 && ReadBytes(link, showlink::kArchiveHeaderSize, bytes)) {
        const showlink::ArchiveHeader header = showlink::ReadArchiveHeader(bytes.data());
        if (header.name.size() > showlink::kArchiveNameField)
            __builtin_trap();
        const std::string file = showlink::PlainArchiveFileName(header.name);
        if (file.empty() || file.find_first_of("/\\") != std::string::npos)
            __builtin_trap();
        // Expanded whatever the checksum says: the expander must hold on any bytes.
        if (ReadBytes(link, header.compressedLength, bytes)) {
            (void)showlink::ArchiveChecksum(bytes.data(), bytes.size());
            const auto text = showlink::ExpandArchiveText(bytes.data(), bytes.size());
            if (text && text->size() > showlink::kArchiveExpandCapacity)
                __builtin_trap();
        }
    }
    link.Close();
    return 0;
}
