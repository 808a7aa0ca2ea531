#include "link/vl_doc_link.h"

#include "compiler/compile_environment.h"
#include "compiler/compiler_state.h"
#include "compiler/diagnostics.h"
#include "link/comm_dialog.h"
#include "link/serial_link.h"
#include "script/product.h"
#include "script/vl_doc.h"

#include <mutex>

namespace showlink {

namespace {

std::mutex& ServicesMutex() {
    static std::mutex m;
    return m;
}

ScriptLinkServices& Services() {
    static ScriptLinkServices services;
    return services;
}

ScriptLinkServices CurrentServices() {
    std::lock_guard lock(ServicesMutex());
    return Services();
}

} // namespace

ScriptLinkServices SetScriptLinkServices(ScriptLinkServices services) {
    std::lock_guard lock(ServicesMutex());
    std::swap(Services(), services);
    return services;
}

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
    const auto services = CurrentServices();
    return services.usesSmpte && services.usesSmpte(doc_);
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
    const auto services = CurrentServices();
    // Without the reproducer download the SMPTE step cannot succeed.
    return services.downloadReproducerSystem
               ? services.downloadReproducerSystem(doc_, fullConfiguration)
               : 254;
}

bool VLDocLinkHost::CanStoreArchive() const {
    return static_cast<bool>(CurrentServices().storeArchive);
}

void VLDocLinkHost::StoreArchive(CSerialLink& link) {
    const auto services = CurrentServices();
    if (services.storeArchive) {
        services.storeArchive(doc_, link);
    }
}

bool ChooseCommMethod(CVLDoc& doc, const std::string& message) {
    return ChooseCommMethod(TheLinkApplication(), message,
                            ProductTitleSuffix(VLDocLinkHost(doc).ProductName()));
}

bool RunCommDialog(CVLDoc& doc, const std::string& message) {
    return RunCommDialog(TheLinkApplication(), message,
                         ProductTitleSuffix(VLDocLinkHost(doc).ProductName()));
}

bool DownloadCompiledScript(CVLDoc& doc) {
    VLDocLinkHost host(doc);
    return DownloadCompiledScript(host, TheLinkApplication());
}

void InstallDownloadHandOff() {
    DownloadHandOff handOff;
    handOff.countComPorts = [] { return CountComPorts(); };
    handOff.networkedDeviceCount = [] {
        return static_cast<int>(TheLinkApplication().Devices().GetCount());
    };
    handOff.chooseCommMethod = [](CVLDoc& doc, const std::string& message) {
        return ChooseCommMethod(doc, message);
    };
    handOff.downloadCompiledScript = [](CVLDoc& doc) { DownloadCompiledScript(doc); };
    SetDownloadHandOff(std::move(handOff));
}

} // namespace showlink
