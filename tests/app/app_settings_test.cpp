#include "app/vl_app.h"
#include "platform/profile.h"
#include "platform/serial_device.h"
#include "script/profile_numbers.h"
#include "tests/app/app_test_support.h"
#include "tests/support/scripted_ui.h"

#include <fstream>
#include <functional>
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

namespace {

// Each number of the profile at both ends of its range, one past them and far beyond: what the
// program holds afterwards is always inside the range the code using it can carry.
TEST_F(AppSettings, EveryProfileNumberIsClampedToItsRange) {
    struct Case {
        const char* section;
        const char* key;
        std::function<int(const CVLApp&)> held;
        int low;
        int high;
    };
    const Case cases[] = {
        {"General", "Popup Window Delay", [](const CVLApp& a) { return int(a.m_wPopupDelay); }, 0,
         72},
        {"General", "Font Point Size", [](const CVLApp& a) { return int(a.m_wFontPointSize); }, 1,
         72},
        {"Download", "CommMethod", [](const CVLApp& a) { return a.m_nCommMethod; }, 0, 1},
        {"Download", "EthernetDevice", [](const CVLApp& a) { return a.m_nEthernetDevice; }, -1,
         255},
        {"Download", "SerialPort", [](const CVLApp& a) { return a.m_nSerialPort; }, 0, 9},
        {"Download", "SerialTimeout", [](const CVLApp& a) { return a.m_nSerialTimeout; }, 500,
         30000},
        {"Download", "SerialBandwidth", [](const CVLApp& a) { return a.m_nSerialBandwidth; }, 8,
         256},
        {"Download", "SerialDelay", [](const CVLApp& a) { return a.m_nSerialDelay; }, 0, 4},
        {"Download", "SerialBitMode", [](const CVLApp& a) { return a.m_nSerialBitMode; }, 0, 1},
        {"Download", "NumQuenlows", [](const CVLApp& a) { return a.m_nNumQuenlows; }, 0, 256},
    };
    ASSERT_EQ(ProfileNumbers().size(), std::size(cases));
    for (const Case& c : cases) {
        const ProfileNumber& number = FindProfileNumber(c.section, c.key);
        EXPECT_EQ(number.low, c.low) << c.key;
        EXPECT_EQ(number.high, c.high) << c.key;
        const std::pair<std::string, int> values[] = {
            {std::to_string(c.low), c.low},
            {std::to_string(c.high), c.high},
            {std::to_string(c.low - 1), c.low},
            {std::to_string(c.high + 1), c.high},
            {"-2147483648", c.low},
            {"2147483647", c.high},
            {"-99999999999999999999", c.low},
            {"99999999999999999999", c.high},
        };
        for (const auto& [text, expected] : values) {
            SCOPED_TRACE(std::string(c.key) + "=" + text);
            Write(std::string("[") + c.section + "]\n" + c.key + "=" + text + "\n");
            CVLApp app;
            Load(app);
            EXPECT_EQ(c.held(app), expected);
        }
    }
    // Far beyond: the device count no longer allocates until memory runs out.
    Write("[Download]\nNumQuenlows=2147483647\n");
    CVLApp app;
    Load(app);
    EXPECT_EQ(app.m_poQuenlowList.GetCount(), 256u);
}

// A profile that exists but cannot be read is never replaced: not by the recent-file list of an
// open, not by a settings change. The user hears of it once.
TEST_F(AppSettings, UnreadableProfileIsNeverWrittenAndToldOnce) {
    // A folder in the profile's place: unreadable for every user, root included.
    fs::create_directory(profile_);
    fs::create_directory(profile_ / "kept");
    testing_support::ScriptedUi ui;
    CVLApp app;
    Load(app);
    app.m_nSerialDelay = 2;
    app.SaveSettings();
    app.SaveSettings();
    EXPECT_TRUE(app.ProfileUnreadable());
    EXPECT_TRUE(fs::is_directory(profile_ / "kept"));
    EXPECT_EQ(ui.Texts(),
              std::vector<std::string>{"The settings file " + profile_.string() +
                                       " cannot be read: Is a directory.\nSettings "
                                       "will not be saved until Velmora is restarted."});
}

TEST_F(AppSettings, ProfileThatBecomesUnreadableIsNotReplacedByAnUpdate) {
    const std::string text =
        "[General]\nPopup Window Delay=9\n; mine\n[Serial Ports]\nCOM1=/dev/x\n";
    Write(text);
    testing_support::ScriptedUi ui;
    CVLApp app;
    Load(app);
    EXPECT_FALSE(app.ProfileUnreadable());
    // Swapped for something unreadable after start-up: the next write finds it so and stops.
    fs::rename(profile_, dir_ / "saved.ini");
    fs::create_directory(profile_);
    app.SaveSettings();
    EXPECT_TRUE(fs::is_directory(profile_));
    EXPECT_EQ(ui.Texts().size(), 1u);
    // Back in place, still nothing is written for the rest of the run.
    fs::remove(profile_);
    fs::rename(dir_ / "saved.ini", profile_);
    app.SaveSettings();
    EXPECT_EQ(Read(), text);
    EXPECT_EQ(ui.Texts().size(), 1u);
}

// A settings file that cannot be written or read through its links: the user is told the path
// and the reason once, the link and what it points at stay, and the settings kept in memory go
// to the file at the first write that succeeds.
TEST_F(AppSettings, ProfileThatCannotBeWrittenIsToldAndNothingIsLost) {
    const struct {
        const char* name;
        std::function<void()> make;
        std::string told;
    } cases[] = {
        {"a link into a folder that is a file",
         [&] {
             Write("");
             fs::rename(profile_, dir_ / "blocker");
             fs::create_symlink("blocker/velmora.ini", profile_);
         },
         " cannot be written: Not a directory.\nThe file is left as it was; the settings are "
         "written again at the next change."},
        {"a loop of links",
         [&] {
             fs::create_symlink("velmora.ini", dir_ / "other.ini");
             fs::create_symlink("other.ini", profile_);
         },
         " cannot be read: Too many levels of symbolic links.\nSettings will not be saved until "
         "Velmora is restarted."},
    };
    for (const auto& c : cases) {
        fs::remove_all(dir_);
        fs::create_directory(dir_);
        c.make();
        testing_support::ScriptedUi ui;
        CVLApp app;
        Load(app);
        app.m_nSerialDelay = 2;
        app.SaveSettings();
        app.AddRecentFile("/shows/a.ksf");
        app.SaveSettings();
        EXPECT_EQ(ui.Texts(),
                  std::vector<std::string>{"The settings file " + profile_.string() + c.told})
            << c.name;
        EXPECT_TRUE(fs::is_symlink(profile_)) << c.name;
    }
    // The blocker gone, the next write takes every setting and the recent file.
    fs::remove_all(dir_);
    fs::create_directory(dir_);
    Write("kept\n");
    fs::rename(profile_, dir_ / "blocker");
    fs::create_symlink("blocker/velmora.ini", profile_);
    testing_support::ScriptedUi ui;
    CVLApp app;
    Load(app);
    app.m_nSerialDelay = 2;
    app.AddRecentFile("/shows/a.ksf");
    app.SaveSettings();
    EXPECT_EQ(ui.Texts().size(), 1u);
    {
        std::ifstream blocker(dir_ / "blocker", std::ios::binary);
        std::stringstream text;
        text << blocker.rdbuf();
        EXPECT_EQ(text.str(), "kept\n") << "what the link points at is as it was";
    }
    fs::remove(dir_ / "blocker");
    fs::create_directory(dir_ / "blocker");
    app.m_wPopupDelay = 7;
    app.SaveSettings();
    EXPECT_EQ(ui.Texts().size(), 1u);
    EXPECT_TRUE(fs::is_symlink(profile_));
    const fs::path written = dir_ / "blocker" / "velmora.ini";
    EXPECT_EQ(platform::GetProfileInt(written, "Download", "SerialDelay", -1), 2);
    EXPECT_EQ(platform::GetProfileInt(written, "General", "Popup Window Delay", -1), 7);
    EXPECT_EQ(platform::GetProfileString(written, "Recent File List", "File1", ""), "/shows/a.ksf");
}

} // namespace
