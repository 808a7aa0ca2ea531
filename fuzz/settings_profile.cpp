// The program's settings profile: any bytes read as the profile give settings inside their
// ranges, an update writes them back, and what was written reads back as the same settings,
// with the text stable from one write to the next.
#include "platform/profile.h"
#include "script/download_settings.h"
#include "script/profile_numbers.h"
#include "script/quenlow_device.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool Same(const CommSettings& a, const CommSettings& b) {
    return a.commMethod == b.commMethod && a.ethernetDevice == b.ethernetDevice &&
           a.serialPort == b.serialPort && a.serialTimeout == b.serialTimeout &&
           a.serialBandwidth == b.serialBandwidth && a.serialDelay == b.serialDelay &&
           a.serialBitMode == b.serialBitMode && a.verbose == b.verbose &&
           a.noCompilerPopups == b.noCompilerPopups && a.noArchiveOffer == b.noArchiveOffer;
}

bool Same(const CQuenlowList& a, const CQuenlowList& b) {
    if (a.GetCount() != b.GetCount())
        return false;
    for (int i = 0; i < static_cast<int>(a.GetCount()); ++i) {
        const CQuenlowOb& x = *a.GetAt(i);
        const CQuenlowOb& y = *b.GetAt(i);
        if (x.m_strName != y.m_strName || x.m_strIP != y.m_strIP || x.m_strLogin != y.m_strLogin ||
            x.m_strPassword != y.m_strPassword)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::ProfileFile profile;
    profile.Parse(std::string_view(reinterpret_cast<const char*>(data), size));

    for (const ProfileNumber& number : ProfileNumbers()) {
        const int value = ReadProfileNumber(profile, number.section, number.key);
        if (value < number.low || value > number.high)
            __builtin_trap();
    }
    CommSettings settings;
    settings.Load(profile);
    CQuenlowList devices;
    devices.Load(profile);
    if (devices.GetCount() >
        static_cast<std::size_t>(FindProfileNumber("Download", "NumQuenlows").high))
        __builtin_trap();

    // Update: the settings as the program writes them, then read back.
    settings.Save(profile);
    devices.Save(profile);
    const std::string written = profile.Text();
    platform::ProfileFile reread;
    reread.Parse(written);
    if (reread.Text() != written)
        __builtin_trap();
    CommSettings settingsAgain;
    settingsAgain.Load(reread);
    CQuenlowList devicesAgain;
    devicesAgain.Load(reread);
    if (!Same(settings, settingsAgain) || !Same(devices, devicesAgain))
        __builtin_trap();
    return 0;
}
