#include "app/vl_app.h"
#include "platform/profile.h"
#include "platform/serial_device.h"
#include "tests/app/app_test_support.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

namespace fs = std::filesystem;

class AppSettings : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "velmora-settings-XXXXXX").string();
        dir_ = ::mkdtemp(pattern.data());
        profile_ = dir_ / "velmora.ini";
    }
    void TearDown() override { fs::remove_all(dir_); }
    void Write(const std::string& text) { std::ofstream(profile_, std::ios::binary) << text; }
    std::string Read() const {
        std::ifstream in(profile_, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void Load(CVLApp& app) {
        app.SetProfilePath(profile_);
        app.LoadSettings();
    }

    fs::path dir_;
    fs::path profile_;
};

TEST_F(AppSettings, MissingProfileGivesEveryDefault) {
    CVLApp app;
    Load(app);
    EXPECT_TRUE(app.m_bNewFileAtStartup);
    EXPECT_TRUE(app.m_bAlwaysPopupEventList);
    EXPECT_EQ(app.m_wPopupDelay, 18);
    EXPECT_EQ(app.m_strFontFace, "Arial");
    EXPECT_EQ(app.m_wFontPointSize, 8);
    EXPECT_FALSE(app.m_bEventsInFrames);
    EXPECT_TRUE(app.m_bTimecodeStartAdded);
    EXPECT_TRUE(app.m_bSpreadsheetHints);
    EXPECT_EQ(app.m_strToolName1, "&Calculator");
    EXPECT_EQ(app.m_strToolPath1, "C:\\Windows\\Calc.Exe");
    EXPECT_EQ(app.m_strToolName2, "");
    EXPECT_EQ(app.m_nCommMethod, 0);
    EXPECT_EQ(app.m_nEthernetDevice, -1);
    EXPECT_EQ(app.m_nSerialPort, 0);
    EXPECT_EQ(app.m_nSerialTimeout, 3000);
    EXPECT_EQ(app.m_nSerialDelay, 3);
    EXPECT_EQ(app.m_nSerialBandwidth, 128);
    EXPECT_EQ(app.m_nSerialBitMode, 1);
    EXPECT_FALSE(app.m_bVerboseMessages);
    EXPECT_EQ(app.m_nNumQuenlows, 0);
    EXPECT_TRUE(app.m_poQuenlowList.IsEmpty());
    EXPECT_TRUE(app.m_bNoCompilerPopups);
    EXPECT_FALSE(app.m_bNoArchiveOffer);
    EXPECT_EQ(app.PopupDelayTicks(), 18);
    EXPECT_FALSE(fs::exists(profile_)) << "reading never writes";
}

TEST_F(AppSettings, WordsAreReadWithoutRegardToCase) {
    Write("[General]\nNew File At Startup=true\nAlways Popup Event List=yes\n"
          "View Events=frames\nView Events Start Timecode=Not Added\nPopup Window Delay=36\n"
          "Font Face=Courier\nFont Point Size=11\n"
          "[Download]\nMessages=Quiet\nNumQuenlows=2\nQuenlowName1=Lobby\nQuenlowIP1=10.0.0.5\n"
          "QuenlowLogin1=show\nQuenlowPassword1=secret\nNoCompilerPopups=false\n");
    CVLApp app;
    Load(app);
    EXPECT_TRUE(app.m_bNewFileAtStartup);
    EXPECT_FALSE(app.m_bAlwaysPopupEventList);
    EXPECT_TRUE(app.m_bEventsInFrames);
    EXPECT_FALSE(app.m_bTimecodeStartAdded);
    EXPECT_EQ(app.m_wPopupDelay, 36);
    EXPECT_EQ(app.PopupDelayTicks(), 36);
    EXPECT_EQ(app.m_strFontFace, "Courier");
    EXPECT_EQ(app.m_wFontPointSize, 11);
    EXPECT_TRUE(app.m_bVerboseMessages) << "anything but Minimal is verbose";
    EXPECT_FALSE(app.m_bNoCompilerPopups);
    ASSERT_EQ(app.m_poQuenlowList.GetCount(), 2u);
    EXPECT_EQ(app.m_poQuenlowList.GetAt(0)->m_strName, "Lobby");
    EXPECT_EQ(app.m_poQuenlowList.GetAt(0)->m_strIP, "10.0.0.5");
    EXPECT_EQ(app.m_poQuenlowList.GetAt(0)->m_strLogin, "show");
    EXPECT_EQ(app.m_poQuenlowList.GetAt(0)->m_strPassword, "secret");
    EXPECT_EQ(app.m_poQuenlowList.GetAt(1)->m_strName, "Default Name");
    EXPECT_EQ(app.m_poQuenlowList.GetAt(1)->m_strIP, "Default Name");
    EXPECT_EQ(app.m_poQuenlowList.GetAt(1)->m_strLogin, "Default Login");
    // The link reads the very same settings.
    EXPECT_EQ(&app.Settings().verbose, &app.m_bVerboseMessages);
    EXPECT_EQ(&app.Devices(), &app.m_poQuenlowList);

    app.SaveSettings();
    const std::string text = Read();
    EXPECT_NE(text.find("Messages=Verbose"), std::string::npos);
    EXPECT_NE(text.find("View Events=Frames"), std::string::npos);
    EXPECT_NE(text.find("View Events Start Timecode=Not Added"), std::string::npos);
}

TEST_F(AppSettings, ARemovedDeviceLeavesItsOldKeysUnread) {
    Write("[Download]\nNumQuenlows=2\nQuenlowName1=A\nQuenlowName2=B\n");
    CVLApp app;
    Load(app);
    app.m_poQuenlowList.RemoveAt(0);
    app.SaveSettings();
    const std::string text = Read();
    EXPECT_NE(text.find("NumQuenlows=1"), std::string::npos);
    EXPECT_NE(text.find("QuenlowName1=B"), std::string::npos);
    EXPECT_NE(text.find("QuenlowName2=B"), std::string::npos);
    CVLApp next;
    Load(next);
    ASSERT_EQ(next.m_poQuenlowList.GetCount(), 1u);
    EXPECT_EQ(next.m_poQuenlowList.GetAt(0)->m_strName, "B");
}

TEST_F(AppSettings, WrittenByOneRunReadByTheNext) {
    CVLApp first;
    Load(first);
    first.m_bNewFileAtStartup = false;
    first.m_wPopupDelay = 72;
    first.m_strToolName2 = "&Notes";
    first.m_strToolPath2 = "/usr/bin/gedit";
    first.m_nSerialPort = 3;
    first.m_nSerialTimeout = 10000;
    first.m_bNoArchiveOffer = true;
    CQuenlowOb device;
    device.m_strName = "Stage";
    device.m_strIP = "192.168.1.20";
    first.m_poQuenlowList.AddTail(device);
    first.SaveSettings();
    EXPECT_EQ(fs::status(profile_).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    CVLApp second;
    Load(second);
    EXPECT_FALSE(second.m_bNewFileAtStartup);
    EXPECT_EQ(second.m_wPopupDelay, 72);
    EXPECT_EQ(second.m_strToolName2, "&Notes");
    EXPECT_EQ(second.m_strToolPath2, "/usr/bin/gedit");
    EXPECT_EQ(second.m_nSerialPort, 3);
    EXPECT_EQ(second.m_nSerialTimeout, 10000);
    EXPECT_TRUE(second.m_bNoArchiveOffer);
    ASSERT_EQ(second.m_poQuenlowList.GetCount(), 1u);
    EXPECT_EQ(second.m_poQuenlowList.GetAt(0)->m_strIP, "192.168.1.20");
    // Font settings are read, never written.
    EXPECT_EQ(Read().find("Font"), std::string::npos);
}

TEST_F(AppSettings, HandEditedProfileKeepsItsCommentsUnknownKeysAndOrder) {
    const std::string original = "; my settings\r\n"
                                 "[Download]\r\n"
                                 "SerialPort=2\r\n"
                                 "Colour=green\r\n"
                                 "\r\n"
                                 "; ports of this machine\r\n"
                                 "[Serial Ports]\r\n"
                                 "COM1=/dev/ttyUSB0\r\n"
                                 "[General]\r\n"
                                 "Font Face=Courier\r\n"
                                 "Popup Window Delay=9\r\n";
    Write(original);
    CVLApp app;
    Load(app);
    app.m_nSerialPort = 1;
    app.SaveSettings();
    const std::string text = Read();
    // Every original line but the changed one stays, in its order.
    std::string expected = original;
    expected.replace(expected.find("SerialPort=2"), 12, "SerialPort=1");
    std::size_t at = 0;
    std::istringstream lines(expected);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t found = text.find(line, at);
        ASSERT_NE(found, std::string::npos) << line;
        at = found + line.size();
    }
    EXPECT_NE(text.find("Font Face=Courier"), std::string::npos);
    EXPECT_NE(text.find("NoArchiveOffer=FALSE"), std::string::npos);
}

TEST_F(AppSettings, SerialPortsSectionMapsComPorts) {
    Write("[Serial Ports]\nCOM1=/dev/ttyUSB0\ncom3=\\dev\\ttyACM1\n");
    CVLApp app;
    Load(app);
    EXPECT_EQ(app.SerialPortPath(1), "/dev/ttyUSB0");
    EXPECT_EQ(app.SerialPortPath(2), "");
    EXPECT_EQ(app.SerialPortPath(3), "/dev/ttyACM1");
}

TEST_F(AppSettings, NothingIsWrittenWithoutAProfileOrThroughTheHook) {
    CVLApp app;
    app.SaveSettings(); // no profile path: nothing to write, no crash
    int saves = 0;
    app.SetProfilePath(profile_);
    app.SetSaveSettingsHook([&](CVLApp&) { ++saves; });
    app.SaveSettings();
    EXPECT_EQ(saves, 1);
    EXPECT_FALSE(fs::exists(profile_));
}

} // namespace
