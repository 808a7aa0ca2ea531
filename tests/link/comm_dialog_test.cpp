#include "link/comm_dialog.h"

#include "platform/profile.h"
#include "tests/link/link_fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

using link_tests::MemoryApplication;

TEST(CommSettings, DefaultsAndRoundTripThroughTheProfile) {
    platform::ProfileFile empty;
    CommSettings defaults;
    defaults.commMethod = 9;
    defaults.Load(empty);
    EXPECT_EQ(defaults.commMethod, 0);
    EXPECT_EQ(defaults.ethernetDevice, -1);
    EXPECT_EQ(defaults.serialPort, 0);
    EXPECT_EQ(defaults.serialTimeout, 3000);
    EXPECT_EQ(defaults.serialBandwidth, 128);
    EXPECT_EQ(defaults.serialDelay, 3);
    EXPECT_EQ(defaults.serialBitMode, 1);
    EXPECT_FALSE(defaults.verbose);
    EXPECT_TRUE(defaults.noCompilerPopups);
    EXPECT_FALSE(defaults.noArchiveOffer);

    CommSettings s{1, 2, 5, 10000, 64, 0, 0, true, false, true};
    platform::ProfileFile profile;
    ASSERT_TRUE(s.Save(profile));
    EXPECT_EQ(profile.GetString("Download", "Messages", ""), "Verbose");
    EXPECT_EQ(profile.GetString("Download", "NoCompilerPopups", ""), "FALSE");
    CommSettings back;
    back.Load(profile);
    EXPECT_EQ(back.commMethod, 1);
    EXPECT_EQ(back.ethernetDevice, 2);
    EXPECT_EQ(back.serialPort, 5);
    EXPECT_EQ(back.serialTimeout, 10000);
    EXPECT_EQ(back.serialBandwidth, 64);
    EXPECT_EQ(back.serialDelay, 0);
    EXPECT_EQ(back.serialBitMode, 0);
    EXPECT_TRUE(back.verbose);
    EXPECT_FALSE(back.noCompilerPopups);
    EXPECT_TRUE(back.noArchiveOffer);
}

TEST(QuenlowList, ProfileKeysAndDefaults) {
    platform::ProfileFile profile;
    profile.Parse("[Download]\nNumQuenlows=2\nQuenlowName1=Left\nQuenlowIP1=10.0.0.5\n"
                  "QuenlowPassword1=pw\nQuenlowLogin1=admin\n");
    CQuenlowList list;
    list.Load(profile);
    ASSERT_EQ(list.GetCount(), 2u);
    EXPECT_EQ(list.GetAt(0)->m_strName, "Left");
    EXPECT_EQ(list.GetAt(0)->m_strIP, "10.0.0.5");
    EXPECT_EQ(list.GetAt(0)->m_strPassword, "pw");
    EXPECT_EQ(list.GetAt(0)->m_strLogin, "admin");
    EXPECT_EQ(list.GetAt(1)->m_strName, "Default Name");
    EXPECT_EQ(list.GetAt(1)->m_strIP, "Default Name");
    EXPECT_EQ(list.GetAt(1)->m_strPassword, "");
    EXPECT_EQ(list.GetAt(1)->m_strLogin, "Default Login");
    EXPECT_EQ(list.GetAt(2), nullptr);
    EXPECT_EQ(list.GetAt(-1), nullptr);

    // A copy is independent of its original.
    CQuenlowList copy = list;
    copy.GetAt(0)->m_strName = "Changed";
    copy.RemoveAt(1);
    EXPECT_EQ(list.GetAt(0)->m_strName, "Left");
    EXPECT_EQ(list.GetCount(), 2u);

    platform::ProfileFile out;
    ASSERT_TRUE(copy.Save(out));
    EXPECT_EQ(out.GetString("Download", "NumQuenlows", ""), "1");
    EXPECT_EQ(out.GetString("Download", "QuenlowName1", ""), "Changed");
    EXPECT_EQ(out.GetString("Download", "QuenlowLogin1", ""), "admin");
}

class RedrawingApplication : public MemoryApplication {
public:
    void RedrawMainWindow() override { ++redraws; }
    int redraws = 0;
};

TEST(RunCommDialog, OkTakesEveryValueAndTheDeviceListCancelChangesNothing) {
    testing_support::ScriptedUi ui;
    RedrawingApplication app;
    app.devices.AddTail({"Old", "l", "1.2.3.4", "p"});
    CommDialogRequest seen;
    ui.QueueDialog([&](platform::DialogRequest& r) {
        auto& d = dynamic_cast<CommDialogRequest&>(r);
        seen.m_strMessage = d.m_strMessage;
        seen.m_strTitleSuffix = d.m_strTitleSuffix;
        seen.m_nTimeout = d.m_nTimeout;
        seen.m_bRetrieve = d.m_bRetrieve;
        d.m_nPort = 4;
        d.m_nTimeout = 10000;
        d.m_nPacing = 1;
        d.m_nPacketSize = 256;
        d.m_nBitMode = 0;
        d.m_nMethod = 1;
        d.m_nDevice = 1;
        d.m_bVerbose = true;
        d.m_devices.AddTail({"New", "l2", "5.6.7.8", "p2"});
        return true;
    });
    ASSERT_TRUE(showlink::RunCommDialog(app, "Script Compiled Successfully",
                                        showlink::ProductTitleSuffix("Brevant 2000")));
    EXPECT_EQ(seen.m_strMessage, "Script Compiled Successfully");
    EXPECT_EQ(seen.m_strTitleSuffix, " to a Brevant 2000");
    EXPECT_EQ(seen.m_nTimeout, 3000);
    EXPECT_FALSE(seen.m_bRetrieve);
    const CommSettings& s = app.settings;
    EXPECT_EQ(s.serialPort, 4);
    EXPECT_EQ(s.serialTimeout, 10000);
    EXPECT_EQ(s.serialDelay, 1);
    EXPECT_EQ(s.serialBandwidth, 256);
    EXPECT_EQ(s.serialBitMode, 0);
    EXPECT_EQ(s.commMethod, 1);
    EXPECT_EQ(s.ethernetDevice, 1);
    EXPECT_TRUE(s.verbose);
    ASSERT_EQ(app.devices.GetCount(), 2u);
    EXPECT_EQ(app.devices.GetAt(1)->m_strName, "New");
    EXPECT_EQ(app.saves, 1);
    EXPECT_EQ(app.redraws, 1);

    ui.QueueDialog([](platform::DialogRequest& r) {
        auto& d = dynamic_cast<CommDialogRequest&>(r);
        d.m_nPort = 7;
        d.m_devices.RemoveAll();
        return false;
    });
    EXPECT_FALSE(showlink::RunCommDialog(app, "x", ""));
    EXPECT_EQ(app.settings.serialPort, 4);
    EXPECT_EQ(app.devices.GetCount(), 2u);
    EXPECT_EQ(app.saves, 1);
}

TEST(ChooseCommMethod, AsksOnlyWhenItMust) {
    testing_support::ScriptedUi ui;
    MemoryApplication app;
    link_tests::EmulatedPort port; // COM1 exists, COM2 does not
    ASSERT_TRUE(port.started);
    std::string asked;
    auto accept = [&](platform::DialogRequest& r) {
        asked = dynamic_cast<CommDialogRequest&>(r).m_strMessage;
        return true;
    };

    app.commandLine = true;
    EXPECT_TRUE(showlink::ChooseCommMethod(app, "Script Compiled Successfully", ""));
    EXPECT_TRUE(ui.dialogNames.empty());
    app.commandLine = false;

    EXPECT_TRUE(showlink::ChooseCommMethod(app, "", "")); // serial and COM1 is there
    EXPECT_TRUE(ui.dialogNames.empty());

    ui.QueueDialog(accept);
    EXPECT_TRUE(showlink::ChooseCommMethod(app, "Script Compiled Ok, but with Warnings.", ""));
    EXPECT_EQ(asked, "Script Compiled Ok, but with Warnings.");

    app.settings.serialPort = 1;                           // missing port
    EXPECT_FALSE(showlink::ChooseCommMethod(app, "", "")); // dialog cancelled
    ui.QueueDialog(accept);
    app.settings.commMethod = 1;
    app.settings.serialPort = 0;
    EXPECT_TRUE(showlink::ChooseCommMethod(app, "", ""));
    EXPECT_EQ(asked, "Please choose a Communication method.");
}

TEST(CommDialogRequest, TitleAndAdvancedIndexes) {
    CommDialogRequest d;
    d.m_nPort = 2;
    d.m_strTitleSuffix = " to a Brevant 2000";
    EXPECT_EQ(d.Title(), "Downloading through COM3 to a Brevant 2000");
    d.m_bRetrieve = true;
    EXPECT_EQ(d.Title(), "Retrieving through COM3 to a Brevant 2000");
    d.m_bRetrieve = false;
    d.m_nMethod = 1;
    d.m_devices.AddTail({"Stage", "", "", ""});
    d.m_nDevice = 0;
    EXPECT_EQ(d.Title(), "Downloading through Stage to a Brevant 2000");
    d.m_bSettingsOnly = true;
    EXPECT_EQ(d.Title(), "Communication Settings");

    EXPECT_EQ(showlink::TimeoutIndex(3000), 2);
    EXPECT_EQ(showlink::TimeoutIndex(2000), -1);
    EXPECT_EQ(showlink::TimeoutForIndex(-1, 2000), 2000);
    EXPECT_EQ(showlink::TimeoutForIndex(4, 2000), 30000);
    EXPECT_EQ(showlink::PacketSizeIndex(8), 0);
    EXPECT_EQ(showlink::PacketSizeIndex(100), -1);
    EXPECT_EQ(showlink::PacketSizeForIndex(5, 0), 256);
    EXPECT_EQ(TimeoutText(2000), "");
    EXPECT_EQ(TimeoutText(500), "1/2 Second");
}

} // namespace
