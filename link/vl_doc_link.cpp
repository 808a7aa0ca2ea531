#include "link/vl_doc_link.h"

#include "compiler/compiler_state.h"
#include "compiler/diagnostics.h"
#include "link/comm_dialog.h"
#include "link/serial_link.h"
#include "script/product.h"
#include "script/vl_doc.h"

namespace showlink {

std::string VLDocLinkHost::GetScriptName() const {
    return doc_.GetScriptName();
}

std::string VLDocLinkHost::ProductName() const {
    return doc_.m_pProduct ? doc_.m_pProduct->m_strName : std::string();
}

std::uint8_t VLDocLinkHost::UnitAddress() const {
    return static_cast<std::uint8_t>(doc_.m_wAddress & 0xFF);
}

std::uint8_t* VLDocLinkHost::ImageBuffer() {
    return doc_.m_hpbShow.size() >= kImageBufferSize ? doc_.m_hpbShow.data() : nullptr;
}

std::uint16_t VLDocLinkHost::ImageLength() const {
    return doc_.m_wImageLength;
}

void VLDocLinkHost::SetFirmwareVersion(double version) {
    doc_.m_dUnitVersion = version;
}

double VLDocLinkHost::FirmwareVersion() const {
    return doc_.m_dUnitVersion;
}

void VLDocLinkHost::SetMemorySize(std::int32_t bytes) {
    doc_.m_nUnitEepromSize = bytes;
}

bool VLDocLinkHost::UsesSmpte() const {
    return doc_.m_nSmpteUsed != 0;
}

void VLDocLinkHost::SetCompileRunning(bool running) {
    doc_.m_nCompileRunning = running ? 1 : 0;
}

FirmwareRequirement VLDocLinkHost::RequiredFirmware() const {
    const CompilerState& state = GetCompilerState();
    return {state.highestFirmware, state.highestFirmwareText, state.highestFirmwareCommand,
            state.highestFirmwareExternal};
}

void VLDocLinkHost::PostCompileMessage(const std::string& text, LogColour colour) {
    std::int32_t value = kColourDefault;
    if (colour == LogColour::Red) {
        value = kColourRed;
    } else if (colour == LogColour::Blue) {
        value = kColourBlue;
    }
    ::PostCompileMessage(text, value);
}

int VLDocLinkHost::DownloadReproducerSystem(bool fullConfiguration) {
    return doc_.Services().DownloadSmpte(doc_, true, true, fullConfiguration);
}

bool VLDocLinkHost::CanStoreArchive() const {
    return doc_.Services().CanStoreArchive();
}

void VLDocLinkHost::StoreArchive(CSerialLink& link) {
    doc_.Services().StoreArchive(doc_, link);
}

bool ChooseCommMethod(CVLDoc& doc, const std::string& message) {
    CVLDocHold hold(doc);
    return ChooseCommMethod(doc.Services(), message,
                            ProductTitleSuffix(VLDocLinkHost(doc).ProductName()));
}

bool RunCommDialog(CVLDoc& doc, const std::string& message) {
    CVLDocHold hold(doc);
    return RunCommDialog(doc.Services(), message,
                         ProductTitleSuffix(VLDocLinkHost(doc).ProductName()));
}

bool DownloadCompiledScript(CVLDoc& doc) {
    CVLDocHold hold(doc);
    VLDocLinkHost host(doc);
    return DownloadCompiledScript(host, doc.Services());
}

} // namespace showlink
