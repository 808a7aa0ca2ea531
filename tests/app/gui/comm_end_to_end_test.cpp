// Communication from the main window to the end of the line: the program's own frame and its
// real dialogs (connection, advanced, device, message boxes) driven as a user would, the real
// link code, a controller emulator on a pty per port and an FTP server on 127.0.0.1. The
// profile maps all eight ports.
#include "app/command_ids.h"
#include "app/gui/comm_dialogs.h"
#include "link/ftp_upload.h"
#include "tests/app/gui/main_window_fixture.h"
#include "tests/support/controller_emulator.h"
#include "tests/support/ftp_server.h"
#include "views/reports/compile_view.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <optional>

namespace {

namespace fs = std::filesystem;
using guitest::Click;
using guitest::Control;
using namespace vl_ids;

struct CommEndToEnd : guitest::MainWindowFixture {
    // Writes the profile: the ports of `ports` (COM number to device), every other port nowhere,
    // then the [Download] section.
    void WriteProfile(const std::map<int, std::string>& ports, const std::string& download) {
        MainWindowFixture::WriteProfile(ports, "[Download]\n" + download);
    }
    // The program on the profile as it is now (a restart when it runs already).
    void Launch() {
        RestartWindow([this](CVLFrame&) {
            // Noon: the compile's message carries no late-night remark.
            app.entries.localTime = [] { return LocalClockTime{12, 0}; };
        });
    }
    std::string ProfileText() const {
        std::ifstream in(install.Profile());
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static std::vector<std::uint8_t> Image(const CVLDoc& doc) {
        return {doc.m_hpbShow.begin(), doc.m_hpbShow.begin() + doc.m_wImageLength};
    }
    // The messages of the script's compile window, top to bottom.
    std::vector<std::string> CompileLines(const CVLDoc& doc) const {
        std::vector<std::string> lines;
        for (QMdiSubWindow* frame : window->MdiArea()->subWindowList()) {
            auto* view = dynamic_cast<CCompileView*>(frame->widget());
            if (!view || view->GetDocument() != &doc)
                continue;
            for (int row = 0; row < view->Cel().GetRowCount(); ++row) {
                std::string text;
                view->Cel().CopyCellText(0, row, text);
                lines.push_back(text);
            }
        }
        return lines;
    }
    // Runs the command; `step` drives the connection dialog and closes it.
    void Run(unsigned command, std::function<void(QDialog&)> step) {
        bool ran = false;
        guitest::WhenModal([&](QDialog& dialog) {
            ran = true;
            step(dialog);
            if (dialog.isVisible())
                dialog.reject(); // a step that left it open: the case fails below
        });
        EXPECT_TRUE(window->RouteCommand(command)) << command;
        // Some commands ask once the event loop comes back.
        (void)QTest::qWaitFor([&] { return ran; }, 5000);
        EXPECT_TRUE(ran) << "no dialog for " << command;
    }
};

// Picks the port by the keyboard, as a user would (the combo box says so only then).
void ChoosePort(QDialog& dialog, const QString& name) {
    auto* ports = Control<QComboBox>(dialog, 468);
    ASSERT_NE(ports, nullptr);
    const int target = ports->findText(name);
    ASSERT_GE(target, 0) << name.toStdString();
    ports->setFocus();
    while (ports->currentIndex() != target)
        QTest::keyClick(ports, ports->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
}

bool AllEightBit(const std::vector<testing_support::EmulatedRequest>& requests) {
    return std::none_of(requests.begin(), requests.end(),
                        [](const auto& request) { return request.nineBit; });
}

// "Compile Script and Download" over the serial line: the dialog names the compile's outcome and
// the connection; another port and 8-bit framing chosen there carry the image to that port's
// controller in that framing, and the profile keeps them. Cancel sends nothing.
// Its own suite: it downloads to controllers in real time.
using SerialEndToEnd = CommEndToEnd;

TEST_F(SerialEndToEnd, TheChosenPortAndFramingCarryTheImageAndStayInTheProfile) {
    testing_support::ControllerEmulator current, chosen;
    ASSERT_TRUE(current.Start());
    ASSERT_TRUE(chosen.Start());
    WriteProfile({{2, current.SlavePath()}, {5, chosen.SlavePath()}},
                 "SerialPort=1\nSerialBitMode=1\nSerialTimeout=1000\nNoArchiveOffer=TRUE\n");
    Launch();
    CVLDoc* doc = OpenScript();
    ASSERT_NE(doc, nullptr);
    QString titleBefore, titleAfter, message, okText;
    QStringList ports;
    Run(kCompileScript, [&](QDialog& dialog) {
        titleBefore = dialog.windowTitle();
        message = Control<QLabel>(dialog, 367)->text();
        okText = Control<QPushButton>(dialog, 1)->text();
        auto* combo = Control<QComboBox>(dialog, 468);
        for (int i = 0; i < combo->count(); ++i)
            ports << combo->itemText(i);
        ChoosePort(dialog, QStringLiteral("COM5"));
        titleAfter = dialog.windowTitle();
        guitest::WhenModal([](QDialog& advanced) {
            EXPECT_EQ(advanced.windowTitle(), QStringLiteral("Advanced Communications"));
            EXPECT_TRUE(Control<QRadioButton>(advanced, 466)->isChecked());
            Control<QRadioButton>(advanced, 467)->click();
            Click(advanced, 1);
        });
        Click(dialog, 260);
        Click(dialog, 1);
    });
    EXPECT_EQ(titleBefore, QStringLiteral("Downloading through COM2 to a Harnel16"));
    EXPECT_EQ(titleAfter, QStringLiteral("Downloading through COM5 to a Harnel16"));
    EXPECT_EQ(message, QStringLiteral("Script Compiled Successfully"));
    EXPECT_EQ(okText, QStringLiteral("Download"));
    EXPECT_EQ(ports, (QStringList{"COM2", "COM5"})) << "only the ports that exist";

    const std::vector<std::uint8_t> image = Image(*doc);
    ASSERT_FALSE(image.empty());
    EXPECT_EQ(chosen.StoredImage(), image);
    ASSERT_FALSE(chosen.Requests().empty());
    EXPECT_TRUE(AllEightBit(chosen.Requests()));
    EXPECT_TRUE(current.Requests().empty()) << "nothing to the port no longer chosen";
    EXPECT_EQ(app.m_nSerialBitMode, 0);

    // The profile on disk, read back by a fresh start, holds the choice.
    const std::string profile = ProfileText();
    EXPECT_NE(profile.find("SerialPort=4\n"), std::string::npos) << profile;
    EXPECT_NE(profile.find("SerialBitMode=0\n"), std::string::npos) << profile;
    Launch();
    EXPECT_EQ(app.m_nSerialPort, 4);
    EXPECT_EQ(app.m_nSerialBitMode, 0);
}

TEST_F(SerialEndToEnd, CancelSendsNothingAndChangesNothing) {
    testing_support::ControllerEmulator current, other;
    ASSERT_TRUE(current.Start());
    ASSERT_TRUE(other.Start());
    WriteProfile({{2, current.SlavePath()}, {5, other.SlavePath()}},
                 "SerialPort=1\nSerialBitMode=1\nSerialTimeout=1000\nNoArchiveOffer=TRUE\n");
    Launch();
    CVLDoc* doc = OpenScript();
    ASSERT_NE(doc, nullptr);
    const std::string before = ProfileText(); // the script is among the recent files now
    Run(kCompileScript, [](QDialog& dialog) {
        ChoosePort(dialog, QStringLiteral("COM5"));
        guitest::WhenModal([](QDialog& advanced) {
            Control<QRadioButton>(advanced, 467)->click();
            Click(advanced, 1);
        });
        Click(dialog, 260);
        Click(dialog, 2);
    });
    QTest::qWait(300); // a request sent by mistake would reach an emulator meanwhile
    EXPECT_TRUE(current.Requests().empty());
    EXPECT_TRUE(other.Requests().empty());
    EXPECT_TRUE(current.StoredImage().empty());
    EXPECT_TRUE(other.StoredImage().empty());
    const std::vector<std::string> lines = CompileLines(*doc);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Script Not Downloaded, User Aborted Download.");
    EXPECT_EQ(ProfileText(), before);
    EXPECT_EQ(app.m_nSerialPort, 1);
    EXPECT_EQ(app.m_nSerialBitMode, 1);
}

// A networked device added in the connection dialog of "Compile Script and Download" gets the
// image as load.dat over FTP; the device outlives a restart of the program, and the profile that
// holds its password is the user's alone.
// Its own suite: it talks to a server and a controller in real time.
struct NetworkEndToEnd : CommEndToEnd {
    void SetUp() override {
        if (!testing_support::PythonHasFtpServer())
            GTEST_SKIP() << testing_support::kFtpPython
                         << " has no pyftpdlib module (Debian package python3-pyftpdlib)";
    }
    void TearDown() override {
        if (previousPort)
            showlink::SetFtpPort(*previousPort);
        CommEndToEnd::TearDown();
    }
    void UseServer(const testing_support::FtpServer& server) {
        previousPort = showlink::SetFtpPort(server.port);
    }
    std::optional<int> previousPort;
};

// Fills the open device dialog.
void FillDevice(QDialog& device, const QString& name, const QStringList& address,
                const QString& login, const QString& password) {
    EXPECT_EQ(device.windowTitle(), QStringLiteral("Add/Edit Quenlow Configuration"));
    Control<QLineEdit>(device, 464)->setText(name);
    auto* fields = Control<comm::CIPAddressCtrl>(device, 460);
    for (int i = 0; i < 4; ++i)
        QTest::keyClicks(fields->Field(i), address[i]);
    Control<QLineEdit>(device, 461)->setText(login);
    Control<QLineEdit>(device, 462)->setText(password);
}

TEST_F(NetworkEndToEnd, AnAddedDeviceGetsTheImageAndOutlivesARestart) {
    testing_support::FtpServer server(true);
    ASSERT_TRUE(server.ready);
    UseServer(server);
    testing_support::ControllerEmulator serial;
    ASSERT_TRUE(serial.Start());
    WriteProfile({{1, serial.SlavePath()}}, "SerialPort=0\nSerialTimeout=1000\n");
    Launch();
    CVLDoc* doc = OpenScript();
    ASSERT_NE(doc, nullptr);
    QString title;
    Run(kCompileScript, [&](QDialog& dialog) {
        guitest::WhenModal([](QDialog& device) {
            FillDevice(device, QStringLiteral("Stage"), {"127", "0", "0", "1"},
                       QStringLiteral("show"), QStringLiteral("secret"));
            Click(device, 1);
        });
        Click(dialog, 470);
        Control<QRadioButton>(dialog, 370)->click();
        title = dialog.windowTitle();
        Click(dialog, 1);
    });
    EXPECT_EQ(title, QStringLiteral("Downloading through Stage to a Harnel16"));
    const std::vector<std::uint8_t> image = Image(*doc);
    ASSERT_FALSE(image.empty());
    EXPECT_EQ(server.Uploaded(), image);
    EXPECT_TRUE(serial.Requests().empty()) << "the serial line stays quiet";
    const std::string name = doc->GetScriptName() + ".dat";
    const std::vector<std::string> lines = CompileLines(*doc);
    const std::vector<std::string> expected = {
        "Opening FTP Connection with Stage...", "Connected to Stage! Downloading " + name + "...",
        name + " was successfully downloaded to Stage!", "FTP Session Closed."};
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(lines.end() - long(expected.size()), lines.end()), expected);
    EXPECT_EQ(fs::status(install.Profile()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write)
        << "the profile holds a password";

    // A new start on the same profile: the device is there, chosen, and takes the next download.
    Launch();
    ASSERT_EQ(app.Devices().GetCount(), 1u);
    const CQuenlowOb& device = *app.Devices().GetAt(0);
    EXPECT_EQ(device.m_strName, "Stage");
    EXPECT_EQ(device.m_strIP, "127.0.0.1");
    EXPECT_EQ(device.m_strLogin, "show");
    EXPECT_EQ(device.m_strPassword, "secret");
    EXPECT_EQ(app.m_nCommMethod, 1);
    fs::remove(server.folder / "load.dat");
    doc = OpenScript();
    ASSERT_NE(doc, nullptr);
    QString shown;
    Run(kCompileScript, [&](QDialog& dialog) {
        shown = Control<QComboBox>(dialog, 454)->currentText();
        title = dialog.windowTitle();
        Click(dialog, 1);
    });
    EXPECT_EQ(shown, QStringLiteral("Stage"));
    EXPECT_EQ(title, QStringLiteral("Downloading through Stage to a Harnel16"));
    EXPECT_EQ(server.Uploaded(), Image(*doc));
    EXPECT_TRUE(serial.Requests().empty());
}

// Add and Edit with a name another device holds: the question, then Yes replaces that device, No
// shows the device dialog again with what was typed, Cancel keeps the list as it was.
using CommOverwrite = CommEndToEnd;

TEST_F(CommOverwrite, AddAndEditAskBeforeTakingANameThatExists) {
    const struct {
        int button; // 470 Add, 465 Edit (of Booth)
        QMessageBox::StandardButton answer;
        std::vector<std::string> devices; // name@address, in the list's order, after OK
    } cases[] = {
        {470, QMessageBox::Yes, {"Booth@10.0.0.6", "Stage@10.0.0.9"}},
        {470, QMessageBox::No, {"Stage@10.0.0.5", "Booth@10.0.0.6"}},
        {470, QMessageBox::Cancel, {"Stage@10.0.0.5", "Booth@10.0.0.6"}},
        {465, QMessageBox::Yes, {"Stage@10.0.0.9"}},
        {465, QMessageBox::No, {"Stage@10.0.0.5", "Booth@10.0.0.6"}},
        {465, QMessageBox::Cancel, {"Stage@10.0.0.5", "Booth@10.0.0.6"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.button << " answered " << c.answer);
        WriteProfile({}, "CommMethod=1\nEthernetDevice=0\nNumQuenlows=2\n"
                         "QuenlowName1=Stage\nQuenlowIP1=10.0.0.5\n"
                         "QuenlowName2=Booth\nQuenlowIP2=10.0.0.6\n");
        Launch();
        QString asked, reopenedWith;
        int deviceDialogs = 0;
        Run(kCommunications, [&](QDialog& dialog) {
            if (c.button == 465) {
                auto* devices = Control<QComboBox>(dialog, 454);
                devices->setFocus();
                QTest::keyClick(devices, Qt::Key_Down);
                ASSERT_EQ(devices->currentText(), QStringLiteral("Booth"));
            }
            guitest::WhenModal([&](QDialog& device) {
                ++deviceDialogs;
                Control<comm::CIPAddressCtrl>(device, 460)->ClearAddress();
                FillDevice(device, QStringLiteral("Stage"), {"10", "0", "0", "9"}, "show", "");
                guitest::WhenModal([&](QDialog& box) {
                    auto* question = qobject_cast<QMessageBox*>(&box);
                    ASSERT_NE(question, nullptr);
                    asked = question->text();
                    if (c.answer == QMessageBox::No)
                        guitest::WhenModal([&](QDialog& again) {
                            ++deviceDialogs;
                            reopenedWith = Control<QLineEdit>(again, 464)->text();
                            Click(again, 2);
                        });
                    question->button(c.answer)->click();
                });
                Click(device, 1);
            });
            Click(dialog, c.button);
            Click(dialog, 1);
        });
        EXPECT_EQ(asked, QStringLiteral("Name already exists, do you wish to overwrite?"));
        EXPECT_EQ(deviceDialogs, c.answer == QMessageBox::No ? 2 : 1);
        EXPECT_EQ(reopenedWith, c.answer == QMessageBox::No ? QStringLiteral("Stage") : QString());
        std::vector<std::string> devices;
        for (std::size_t i = 0; i < app.Devices().GetCount(); ++i) {
            const CQuenlowOb& device = *app.Devices().GetAt(int(i));
            devices.push_back(device.m_strName + "@" + device.m_strIP);
        }
        EXPECT_EQ(devices, c.devices);
        // What the dialog's OK took is on disk: a new start reads the same list.
        Launch();
        EXPECT_EQ(app.Devices().GetCount(), c.devices.size());
    }
}

// The connection dialog's title, OK button and message in its three modes, each from its own
// menu item.
using CommModes = CommEndToEnd;

TEST_F(CommModes, TitleAndOkTextFollowTheMode) {
    WriteProfile({}, "CommMethod=1\nEthernetDevice=0\nNumQuenlows=1\n"
                     "QuenlowName1=Stage\nQuenlowIP1=10.0.0.5\n");
    Launch();
    ASSERT_NE(OpenScript(), nullptr);
    const struct {
        unsigned command;
        const char* title;
        const char* ok;
        const char* message;
    } cases[] = {
        {kCompileScript, "Downloading through Stage to a Harnel16", "Download",
         "Script Compiled Successfully"},
        {kUploadDat, "Retrieving through Stage", "Retrieve",
         "Please select the method of retrieval"},
        {kCommunications, "Communication Settings", "Set", "Select communication options below."},
    };
    for (const auto& c : cases) {
        QString title, ok, message;
        Run(c.command, [&](QDialog& dialog) {
            title = dialog.windowTitle();
            ok = Control<QPushButton>(dialog, 1)->text();
            message = Control<QLabel>(dialog, 367)->text();
            Click(dialog, 2);
        });
        EXPECT_EQ(title, QString::fromUtf8(c.title)) << c.command;
        EXPECT_EQ(ok, QString::fromUtf8(c.ok)) << c.command;
        EXPECT_EQ(message, QString::fromUtf8(c.message)) << c.command;
    }
}

} // namespace
