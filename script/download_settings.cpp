#include "script/download_settings.h"

#include "platform/paths.h"
#include "platform/profile.h"
#include "script/profile_numbers.h"

#include <string>

namespace {

constexpr const char* kSection = "Download";

} // namespace

void CommSettings::Load(const platform::ProfileFile& profile) {
    commMethod = ReadProfileNumber(profile, kSection, "CommMethod");
    ethernetDevice = ReadProfileNumber(profile, kSection, "EthernetDevice");
    serialPort = ReadProfileNumber(profile, kSection, "SerialPort");
    serialTimeout = ReadProfileNumber(profile, kSection, "SerialTimeout");
    serialBandwidth = ReadProfileNumber(profile, kSection, "SerialBandwidth");
    serialDelay = ReadProfileNumber(profile, kSection, "SerialDelay");
    serialBitMode = ReadProfileNumber(profile, kSection, "SerialBitMode");
    verbose =
        !platform::EqualsNoCase(profile.GetString(kSection, "Messages", "Minimal"), "Minimal");
    noCompilerPopups = profile.GetBool(kSection, "NoCompilerPopups", true);
    noArchiveOffer = profile.GetBool(kSection, "NoArchiveOffer", false);
}

bool CommSettings::Save(platform::ProfileFile& profile) const {
    bool ok = true;
    auto put = [&](const char* key, const std::string& value) {
        ok = profile.SetString(kSection, key, value) && ok;
    };
    put("CommMethod", std::to_string(commMethod));
    put("EthernetDevice", std::to_string(ethernetDevice));
    put("SerialPort", std::to_string(serialPort));
    put("SerialTimeout", std::to_string(serialTimeout));
    put("SerialDelay", std::to_string(serialDelay));
    put("SerialBandwidth", std::to_string(serialBandwidth));
    put("SerialBitMode", std::to_string(serialBitMode));
    put("Messages", verbose ? "Verbose" : "Minimal");
    put("NoCompilerPopups", noCompilerPopups ? "TRUE" : "FALSE");
    put("NoArchiveOffer", noArchiveOffer ? "TRUE" : "FALSE");
    return ok;
}

std::string TimeoutText(int milliseconds) {
    switch (milliseconds) {
    case 500:
        return "1/2 Second";
    case 1000:
        return "1 Second";
    case 3000:
        return "3 Seconds";
    case 10000:
        return "10 Seconds";
    case 30000:
        return "30 Seconds";
    default:
        return {};
    }
}
