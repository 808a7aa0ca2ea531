// Image files as the image document loads them, and controller reply lines as the firmware
// version parser reads them: any bytes end in a verdict, never a crash.
#include "link/controller_protocol.h"
#include "link/dat_doc.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CDatDoc doc;
    doc.LoadImage(data, size);
    const CDatStatusDlg texts = doc.StatusTexts();
    if (texts.m_strValidation.empty() || doc.Image().size() != doc.DatLength()) {
        __builtin_trap();
    }
    double version = 0.0;
    showlink::ParseFirmwareVersion(std::string(reinterpret_cast<const char*>(data), size), version);
    return 0;
}
