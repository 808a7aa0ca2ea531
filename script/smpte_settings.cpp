// The SMPTE settings of a script: the defaults of a new script, the [Smpte] section of the
// source file, and the Configure SMPTE command. The settings live in the SMPTE interface of the
// script's reproducer system; the document keeps whether SMPTE is used, the device and the chase
// dropout tolerance.
#include "foundation/smpte_timecode.h"
#include "foundation/status.h"
#include "foundation/text_string.h"
#include "platform/paths.h"
#include "platform/ui_services.h"
#include "reproducer/reelvox_system.h"
#include "reproducer/smpte_interface.h"
#include "script/script_file.h"
#include "script/smpte_dialog.h"
#include "script/vl_doc.h"

#include <array>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using platform::EqualsNoCase;
using platform::ShowMessage;

constexpr const char* kNoInterface = "KsfReadSmpte100: Error Getting SMPTE interface";

constexpr std::array<const char*, 5> kClockTexts = {"32.0", "35.0", "44.0", "44.1", "48.0"};
constexpr std::array<const char*, 6> kFrameRateTexts = {
    "23.976 FPS", "24 FPS", "25 FPS", "29.97 Non-Drop FPS", "29.97 Drop FPS", "30 FPS"};

std::uint8_t OnOff(bool on) {
    return on ? QOR_TRUE : QOR_FALSE;
}

bool IsOn(std::uint8_t flag) {
    return flag == QOR_TRUE;
}

bool IsYesWord(std::string_view text) {
    return EqualsNoCase(text, "YES") || EqualsNoCase(text, "ENABLED") || EqualsNoCase(text, "TRUE");
}

bool IsNoWord(std::string_view text) {
    return EqualsNoCase(text, "NO") || EqualsNoCase(text, "DISABLED") ||
           EqualsNoCase(text, "FALSE");
}

// The interface's unit type and 24-bit capability follow the device.
void ApplyDevice(ReelvoxSMPTEInterface_c& smpte, std::int32_t device) {
    switch (device) {
    case 1:
        smpte.SetUnitType(1);
        smpte.SetBitsCapable(0);
        break;
    case 2:
        smpte.SetUnitType(2);
        smpte.SetBitsCapable(0);
        break;
    default:
        smpte.SetUnitType(0);
        smpte.SetBitsCapable(1);
        break;
    }
}

using TimecodeGetter = std::uint8_t (ReelvoxSMPTEInterface_c::*)(QORSMPTETimecode_c*);
using TimecodeSetter = std::uint8_t (ReelvoxSMPTEInterface_c::*)(const QORSMPTETimecode_c*);

// A time of the interface as HH:MM:SS.FF, through a timecode at the interface's frame rate.
std::string TimeText(ReelvoxSMPTEInterface_c& smpte, TimecodeGetter get) {
    QORSMPTETimecode_c timecode;
    timecode.SetFrameRate(smpte.GetFrameRate(), 0);
    (smpte.*get)(&timecode);
    QORString_c text;
    timecode.ToText(&text);
    return std::string(text.View());
}

void SetTimeFromText(ReelvoxSMPTEInterface_c& smpte, TimecodeSetter set, const std::string& text) {
    QORSMPTETimecode_c timecode;
    timecode.SetFrameRate(smpte.GetFrameRate(), 0);
    QORString_c value;
    value.Assign(text.c_str(), QOR_WHOLE, QOR_FALSE);
    timecode.FromText(&value);
    (smpte.*set)(&timecode);
}

// The settings as XML text, to tell whether the dialog changed any of them.
std::vector<std::uint8_t> SettingsImage(ReelvoxSMPTEInterface_c& smpte) {
    const std::int32_t size = smpte.SettingsXmlSize();
    std::vector<std::uint8_t> image(static_cast<std::size_t>(size > 0 ? size : 0));
    const std::int32_t written =
        smpte.WriteSettingsXml(image.empty() ? nullptr : image.data(), size > 0 ? size : 0);
    image.resize(static_cast<std::size_t>(written > 0 ? written : 0));
    return image;
}

} // namespace

namespace {

constexpr std::int32_t kNewScriptSmpteDevice = 2;

// The SMPTE settings of a new script.
void ApplyNewScriptSettings(ReelvoxSMPTEInterface_c& smpte) {
    smpte.SetStartOnPower(QOR_FALSE);
    smpte.SetSmpteReset(QOR_TRUE);
    smpte.SetTransition(0);
    smpte.SetControlSource(0);
    smpte.SetTimecodeOutput(QOR_FALSE);
    smpte.SetMuteOnIdle(QOR_FALSE);
    smpte.SetVideoFormat(0);
    smpte.SetGenerate(QOR_TRUE);
    smpte.SetVideoSync(QOR_FALSE);
    smpte.SetFrameRate(5);
    smpte.SetClockFreq(4);
    ApplyDevice(smpte, kNewScriptSmpteDevice);
}

// The reproducer configuration of a new script, set up once: every script's system starts
// from a copy of it, made only when something looks at the configuration, since most scripts
// never do. Null when it cannot be set up.
const ReelvoxDataDocument_c* NewScriptConfiguration() {
    static const std::unique_ptr<Reelvox_c> system = []() -> std::unique_ptr<Reelvox_c> {
        try {
            auto made = std::make_unique<Reelvox_c>();
            if (made->AttachSMPTEInterface(std::make_unique<ReelvoxSMPTEInterface_c>()) != QOR_OK)
                return nullptr;
            ApplyNewScriptSettings(*made->SMPTEInterface());
            made->Document();
            return made;
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }();
    return system ? system->Document() : nullptr;
}

} // namespace

bool CVLDoc::InitSmpteSettings() {
    m_nSmpteUsed = 0;
    m_nSmpteDevice = kNewScriptSmpteDevice;
    m_wChaseDropoutTolerance = 5;
    // A script set up anew starts from an empty configuration, also when the document had one.
    const ReelvoxDataDocument_c* prototype = NewScriptConfiguration();
    m_Reelvox.ResetDevices(prototype);
    std::unique_ptr<ReelvoxSMPTEInterface_c> created;
    try {
        created = std::make_unique<ReelvoxSMPTEInterface_c>();
    } catch (const std::bad_alloc&) {
    }
    if (m_Reelvox.AttachSMPTEInterface(std::move(created)) != QOR_OK) {
        ShowMessage("Error Creating SMPTE interface");
        return false;
    }
    if (!prototype)
        ApplyNewScriptSettings(*m_Reelvox.SMPTEInterface());
    return true;
}

void ScriptFileWriter::WriteSmpteSection() {
    ReelvoxSMPTEInterface_c* smpte = doc_.m_Reelvox.SMPTEInterface();
    if (!smpte) {
        ShowMessage(kNoInterface);
        return;
    }
    if (doc_.m_nSmpteUsed == 0)
        return;
    doc_.WriteLine(std::nullopt);
    doc_.WriteLine("[Smpte]");

    const bool generating = IsOn(smpte->IsGenerating());
    const bool videoSync = IsOn(smpte->GetVideoSync());
    if (generating)
        doc_.WriteLine("Mode", videoSync ? "Generate-VideoGenlock" : "Generate-NoVideoGenlock");
    else if (!videoSync)
        doc_.WriteLine("Mode", "ReadExternal");

    switch (doc_.m_nSmpteDevice) {
    case 0:
        doc_.WriteLine("SmpteDevice", "ReelvoxAll");
        break;
    case 1:
        doc_.WriteLine("SmpteDevice", "ReelvoxLegacy");
        break;
    case 2:
        doc_.WriteLine("SmpteDevice", "Tembrel");
        break;
    default:
        break;
    }
    const std::uint8_t clock = smpte->GetClockFreq();
    if (clock < kClockTexts.size())
        doc_.WriteLine("SmpteSampleClk", kClockTexts[clock]);

    auto yesNo = [](bool yes) { return yes ? "YES" : "NO"; };
    const std::uint8_t source = smpte->GetControlSource();
    const bool timecodeOutput = IsOn(smpte->GetTimecodeOutput());
    doc_.WriteLine("SmpteGenlockNTSC", yesNo(smpte->GetVideoFormat() == 0));
    doc_.WriteLine("EnabledOnPowerUp", yesNo(IsOn(smpte->GetStartOnPower())));
    doc_.WriteLine("StartButtonRestarts", yesNo(IsOn(smpte->GetSmpteReset())));
    doc_.WriteLine("StopAtEndTime", yesNo(smpte->GetTransition() == 0));
    doc_.WriteLine("ShowControlPortConfiguredAsMIDI", yesNo(source == 1));
    doc_.WriteLine("UseMTC", yesNo(timecodeOutput && source == 1));
    doc_.WriteLine("EnableTimeStamp", yesNo(timecodeOutput && source == 0));
    doc_.WriteLine("MuteWhenStopped", yesNo(IsOn(smpte->GetMuteOnIdle())));
    const std::uint8_t rate = smpte->GetFrameRate();
    doc_.WriteLine("FrameRate", kFrameRateTexts[rate < kFrameRateTexts.size() ? rate : 5]);
    doc_.WriteLine("ChaseDropoutTolerance", std::to_string(doc_.m_wChaseDropoutTolerance));
    doc_.WriteLine("PrerollTime", TimeText(*smpte, &ReelvoxSMPTEInterface_c::GetPreroll));
    doc_.WriteLine("StartTime", TimeText(*smpte, &ReelvoxSMPTEInterface_c::GetStart));
    doc_.WriteLine("EndTime", TimeText(*smpte, &ReelvoxSMPTEInterface_c::GetEnd));
}

bool ScriptFileReader::KsfReadSmpte100() {
    doc_.SetStatusProgress("Reading KSF File:  Loading Smpte Setup", -1);
    if (!doc_.FindSection("Smpte", false)) {
        doc_.m_nSmpteUsed = 0;
        return true;
    }
    doc_.m_nSmpteUsed = 1;
    ReelvoxSMPTEInterface_c* smpte = doc_.m_Reelvox.SMPTEInterface();
    if (!smpte) {
        ShowMessage(kNoInterface);
        return false;
    }

    const std::string mode = doc_.ReadKey("Mode", "Generate-NoVideoGenlock");
    if (EqualsNoCase(mode, "Generate-VideoGenlock")) {
        smpte->SetGenerate(QOR_TRUE);
        smpte->SetVideoSync(QOR_TRUE);
    } else if (EqualsNoCase(mode, "ReadExternal")) {
        smpte->SetGenerate(QOR_FALSE);
        smpte->SetVideoSync(QOR_FALSE);
    }

    static constexpr std::array<std::pair<const char*, std::int32_t>, 7> kDevices = {{
        {"Reelvox2016bit", 1},
        {"Reelvox2416bit", 0},
        {"Reelvox2424bit", 0},
        {"Reelvox3216bit", 0},
        {"Tembrel", 2},
        {"ReelvoxAll", 0},
        {"ReelvoxLegacy", 1},
    }};
    const std::string device = doc_.ReadKey("SmpteDevice", "Tembrel");
    for (const auto& [word, value] : kDevices) {
        if (EqualsNoCase(device, word)) {
            doc_.m_nSmpteDevice = value;
            break;
        }
    }
    ApplyDevice(*smpte, doc_.m_nSmpteDevice);

    const std::string clock = doc_.ReadKey("SmpteSampleClk", "48.0");
    for (std::size_t i = 0; i < kClockTexts.size(); ++i) {
        if (EqualsNoCase(clock, kClockTexts[i])) {
            smpte->SetClockFreq(static_cast<std::uint8_t>(i));
            break;
        }
    }

    smpte->SetVideoFormat(IsYesWord(doc_.ReadKey("SmpteGenlockNTSC", "YES")) ? 0 : 1);
    if (IsYesWord(doc_.ReadKey("EnabledOnPowerUp", "No")))
        smpte->SetStartOnPower(QOR_TRUE);
    if (IsNoWord(doc_.ReadKey("StartButtonRestarts", "Yes")))
        smpte->SetSmpteReset(QOR_FALSE);
    if (IsNoWord(doc_.ReadKey("StopAtEndTime", "Yes")))
        smpte->SetTransition(1);
    if (IsYesWord(doc_.ReadKey("ShowControlPortConfiguredAsMIDI", "No")))
        smpte->SetControlSource(1);
    if (IsYesWord(doc_.ReadKey("UseMTC", "No")))
        smpte->SetTimecodeOutput(QOR_TRUE);
    if (IsYesWord(doc_.ReadKey("EnableTimeStamp", "No")))
        smpte->SetTimecodeOutput(QOR_TRUE);
    if (IsYesWord(doc_.ReadKey("MuteWhenStopped", "No")))
        smpte->SetMuteOnIdle(QOR_TRUE);

    const std::string rate = doc_.ReadKey("FrameRate", "30 FPS");
    std::uint8_t rateIndex = 5;
    for (std::size_t i = 0; i + 1 < kFrameRateTexts.size(); ++i) {
        if (EqualsNoCase(rate, kFrameRateTexts[i])) {
            rateIndex = static_cast<std::uint8_t>(i);
            break;
        }
    }
    smpte->SetFrameRate(rateIndex);
    doc_.m_wChaseDropoutTolerance =
        static_cast<std::uint16_t>(doc_.ReadIntKey("ChaseDropoutTolerance", 5));

    SetTimeFromText(*smpte, &ReelvoxSMPTEInterface_c::SetPreroll,
                    doc_.ReadKey("PrerollTime", "00:00:00.00"));
    SetTimeFromText(*smpte, &ReelvoxSMPTEInterface_c::SetStart,
                    doc_.ReadKey("StartTime", "00:00:00.00"));
    SetTimeFromText(*smpte, &ReelvoxSMPTEInterface_c::SetEnd,
                    doc_.ReadKey("EndTime", "00:00:00.00"));
    return true;
}

void CVLDoc::OnConfigureSmpte() {
    ReelvoxSMPTEInterface_c* smpte = m_Reelvox.SMPTEInterface();
    if (!smpte) {
        std::unique_ptr<ReelvoxSMPTEInterface_c> created;
        try {
            created = std::make_unique<ReelvoxSMPTEInterface_c>();
        } catch (const std::bad_alloc&) {
        }
        if (m_Reelvox.AttachSMPTEInterface(std::move(created)) != QOR_OK) {
            ShowMessage("Error Creating/Getting SMPTE interface");
            return;
        }
        smpte = m_Reelvox.SMPTEInterface();
    }

    CSmpteDlg dialog;
    dialog.document = this;
    dialog.smpteUsed = m_nSmpteUsed;
    dialog.device = m_nSmpteDevice;
    dialog.dropoutTolerance = m_wChaseDropoutTolerance;
    dialog.enabledOnPowerUp = IsOn(smpte->GetStartOnPower()) ? 1 : 0;
    dialog.startButtonRestarts = IsOn(smpte->GetSmpteReset()) ? 1 : 0;
    dialog.transition = smpte->GetTransition() == 1 ? 1 : 0;
    const bool timecodeOutput = IsOn(smpte->GetTimecodeOutput());
    if (smpte->GetControlSource() == 1) {
        dialog.controlPort = CSmpteDlg::kMidiPort;
        dialog.useMtc = timecodeOutput ? 1 : 0;
    } else {
        dialog.controlPort = CSmpteDlg::kShowControlPort;
        dialog.enableTimeStamp = timecodeOutput ? 1 : 0;
    }
    dialog.muteWhenStopped = IsOn(smpte->GetMuteOnIdle()) ? 1 : 0;
    dialog.preroll = TimeText(*smpte, &ReelvoxSMPTEInterface_c::GetPreroll);
    dialog.start = TimeText(*smpte, &ReelvoxSMPTEInterface_c::GetStart);
    dialog.end = TimeText(*smpte, &ReelvoxSMPTEInterface_c::GetEnd);
    dialog.frameRate = smpte->GetFrameRate();
    dialog.clockFrequency = smpte->GetClockFreq();
    dialog.ntscGenlock = smpte->GetVideoFormat() == 0 ? 1 : 0;
    if (!IsOn(smpte->IsGenerating()))
        dialog.mode = CSmpteDlg::kReadExternal;
    else
        dialog.mode = IsOn(smpte->GetVideoSync()) ? CSmpteDlg::kGenerateVideoSync
                                                  : CSmpteDlg::kGenerateNoVideoSync;

    const std::vector<std::uint8_t> before = SettingsImage(*smpte);
    if (!platform::Ui().RunDialog(dialog))
        return;

    const bool documentChanged =
        dialog.dropoutTolerance != m_wChaseDropoutTolerance || dialog.smpteUsed != m_nSmpteUsed;
    m_wChaseDropoutTolerance = dialog.dropoutTolerance;
    m_nSmpteUsed = dialog.smpteUsed;
    m_nSmpteDevice = dialog.device;
    ApplyDevice(*smpte, m_nSmpteDevice);
    smpte->SetStartOnPower(OnOff(dialog.enabledOnPowerUp != 0));
    smpte->SetSmpteReset(OnOff(dialog.startButtonRestarts != 0));
    smpte->SetMuteOnIdle(OnOff(dialog.muteWhenStopped != 0));
    smpte->SetTransition(dialog.transition != 0 ? 1 : 0);
    switch (dialog.controlPort) {
    case CSmpteDlg::kMidiPort:
        smpte->SetControlSource(1);
        smpte->SetTimecodeOutput(OnOff(dialog.useMtc != 0));
        break;
    case CSmpteDlg::kShowControlPort:
        smpte->SetControlSource(0);
        smpte->SetTimecodeOutput(OnOff(dialog.enableTimeStamp != 0));
        break;
    default:
        smpte->SetControlSource(0);
        smpte->SetTimecodeOutput(QOR_FALSE);
        break;
    }
    SetTimeFromText(*smpte, &ReelvoxSMPTEInterface_c::SetPreroll, dialog.preroll);
    SetTimeFromText(*smpte, &ReelvoxSMPTEInterface_c::SetStart, dialog.start);
    SetTimeFromText(*smpte, &ReelvoxSMPTEInterface_c::SetEnd, dialog.end);
    smpte->SetFrameRate(static_cast<std::uint8_t>(dialog.frameRate));
    smpte->SetClockFreq(static_cast<std::uint8_t>(dialog.clockFrequency));
    smpte->SetVideoFormat(dialog.ntscGenlock != 0 ? 0 : 1);
    switch (dialog.mode) {
    case CSmpteDlg::kGenerateVideoSync:
        smpte->SetGenerate(QOR_TRUE);
        smpte->SetVideoSync(QOR_TRUE);
        break;
    case CSmpteDlg::kReadExternal:
        smpte->SetGenerate(QOR_FALSE);
        smpte->SetVideoSync(QOR_FALSE);
        break;
    default:
        smpte->SetGenerate(QOR_TRUE);
        smpte->SetVideoSync(QOR_FALSE);
        break;
    }

    if (documentChanged || SettingsImage(*smpte) != before)
        SetModifiedFlag(true);

    if (dialog.configureNow)
        Services().DownloadSmpte(*this, false, false, true);
}
