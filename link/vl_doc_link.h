// The link's side of a script document: the download after a compile, the choice of the
// communication method and the communication dialog for a CVLDoc. The settings, the SMPTE
// configuration download and the archive store come through the script's services.
#pragma once

#include "link/script_transfer.h"
#include "script/app_services.h"
#include "script/download_settings.h"

#include <functional>
#include <string>

class CVLDoc;
class CSerialLink;

namespace showlink {

// A script document as the download sees it. Lines go to the compile view registered in the
// compiler state; the firmware requirement is the compiler's.
class VLDocLinkHost : public ScriptLinkHost {
public:
    explicit VLDocLinkHost(CVLDoc& doc) : doc_(doc) {}

    std::string GetScriptName() const override;
    std::string ProductName() const override;
    std::uint8_t UnitAddress() const override;
    std::uint8_t* ImageBuffer() override;
    std::uint16_t ImageLength() const override;
    void SetFirmwareVersion(double version) override;
    double FirmwareVersion() const override;
    void SetMemorySize(std::int32_t bytes) override;
    bool UsesSmpte() const override;
    void SetCompileRunning(bool running) override;
    FirmwareRequirement RequiredFirmware() const override;
    void PostCompileMessage(const std::string& text, LogColour colour) override;
    int DownloadReproducerSystem(bool fullConfiguration) override;
    bool CanStoreArchive() const override;
    void StoreArchive(CSerialLink& link) override;

private:
    CVLDoc& doc_;
};

// CVLDoc::ChooseCommMethod, CVLDoc::RunCommDialog and CVLDoc::DownloadCompiledScript.
bool ChooseCommMethod(CVLDoc& doc, const std::string& message);
bool RunCommDialog(CVLDoc& doc, const std::string& message);
bool DownloadCompiledScript(CVLDoc& doc);

} // namespace showlink
