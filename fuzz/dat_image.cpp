// Image files as the image document loads them, and controller reply lines as the firmware
// version parser reads them: any bytes end in a verdict, never a crash, and the verdict is the
// validity rule computed here on its own.
#include "link/controller_protocol.h"
#include "link/dat_doc.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

bool ExpectedValid(const std::uint8_t* data, std::size_t size) {
    if (size < 3 || size > 65535)
        return false;
    std::uint32_t sum = 0;
    for (std::size_t i = 2; i < size; ++i)
        sum += data[i];
    return (sum & 0xFFFFu) == static_cast<std::uint32_t>(data[0] | (data[1] << 8));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CDatDoc doc;
    doc.LoadImage(data, size);
    const CDatStatusDlg texts = doc.StatusTexts();
    const bool valid = ExpectedValid(data, size);
    if (doc.ChecksumValid() != valid || doc.FileSize() != size ||
        texts.m_strSize != "The Size is " + std::to_string(size) ||
        texts.m_strValidation !=
            (valid ? "The Checksum passed validation" : "This file IS NOT a valid DAT file!") ||
        doc.Image().size() != doc.DatLength() ||
        doc.DatLength() != std::min<std::size_t>(size, 65535)) {
        __builtin_trap();
    }
    double version = 0.0;
    showlink::ParseFirmwareVersion(std::string(reinterpret_cast<const char*>(data), size), version);
    return 0;
}
