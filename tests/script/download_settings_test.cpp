// The "Download" section as the program and the link both read and write it.
#include "platform/profile.h"
#include "script/download_settings.h"

#include <gtest/gtest.h>

namespace {

CommSettings Read(const std::string& text) {
    platform::ProfileFile profile;
    profile.Parse(text);
    CommSettings settings;
    settings.Load(profile);
    return settings;
}

TEST(DownloadSettings, AnyMessagesValueButMinimalIsVerbose) {
    const struct {
        const char* line;
        bool verbose;
    } cases[] = {{"Messages=Quiet\n", true},    {"Messages=verbose\n", true},
                 {"Messages=Verbose\n", true},  {"Messages=Minimal\n", false},
                 {"Messages=MINIMAL\n", false}, {"", false}};
    for (const auto& c : cases)
        EXPECT_EQ(Read(std::string("[Download]\n") + c.line).verbose, c.verbose) << c.line;
}

TEST(DownloadSettings, WrittenSettingsAndDevicesReadBack) {
    CommSettings settings;
    settings.commMethod = 1;
    settings.ethernetDevice = 0;
    settings.serialPort = CommSettings::kSerialOffline;
    settings.serialTimeout = 500;
    settings.serialBandwidth = 256;
    settings.serialDelay = 0;
    settings.serialBitMode = 0;
    settings.verbose = true;
    settings.noCompilerPopups = false;
    settings.noArchiveOffer = true;
    CQuenlowList devices;
    devices.AddTail({"Lobby", "show", "10.0.0.5", "secret"});
    platform::ProfileFile profile;
    ASSERT_TRUE(settings.Save(profile));
    ASSERT_TRUE(devices.Save(profile));

    CommSettings read;
    read.Load(profile);
    EXPECT_EQ(read.commMethod, 1);
    EXPECT_EQ(read.ethernetDevice, 0);
    EXPECT_EQ(read.serialPort, CommSettings::kSerialOffline);
    EXPECT_EQ(read.serialTimeout, 500);
    EXPECT_EQ(read.serialBandwidth, 256);
    EXPECT_EQ(read.serialDelay, 0);
    EXPECT_EQ(read.serialBitMode, 0);
    EXPECT_TRUE(read.verbose);
    EXPECT_FALSE(read.noCompilerPopups);
    EXPECT_TRUE(read.noArchiveOffer);
    CQuenlowList readDevices;
    readDevices.Load(profile);
    ASSERT_EQ(readDevices.GetCount(), 1u);
    EXPECT_EQ(readDevices.GetAt(0)->m_strName, "Lobby");
    EXPECT_EQ(readDevices.GetAt(0)->m_strLogin, "show");
    EXPECT_EQ(readDevices.GetAt(0)->m_strIP, "10.0.0.5");
    EXPECT_EQ(readDevices.GetAt(0)->m_strPassword, "secret");
}

} // namespace
