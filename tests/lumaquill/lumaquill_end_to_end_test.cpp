// The real dialog, its timer and its sender against the controller emulator on a
// pseudo-terminal that a temporary profile maps to COM1: what the dialog shows is what the
// controller's channels hold.
#include "lumaquill/serial_port_map.h"
#include "tests/lumaquill/lumaquill_fixture.h"
#include "tests/support/controller_emulator.h"

#include <QElapsedTimer>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using namespace lumaquill_tests;
namespace fs = std::filesystem;
using Channels = std::array<std::uint8_t, testing_support::kDmxChannels>;

class EndToEnd {
public:
    explicit EndToEnd(testing_support::EmulatorOptions options = {}) {
        dir_ = fs::temp_directory_path() / ("lumaquill-e2e-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        Connect(options);
        dialog = std::make_unique<DialogFixture>(std::make_unique<dmx::DmxSender>());
    }
    ~EndToEnd() {
        dialog.reset();
        platform::SetSerialPortLookup(previous_);
        emulator.reset();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    // A new controller on COM1, as the program would find it in the profile; COM2 names a
    // device that does not exist.
    void Connect(testing_support::EmulatorOptions options) {
        emulator = std::make_unique<testing_support::ControllerEmulator>(options);
        ASSERT_TRUE(emulator->Start());
        const fs::path profile = dir_ / "velmora.ini";
        std::ofstream(profile) << "[Serial Ports]\r\nCOM1=" << emulator->SlavePath()
                               << "\r\nCOM2=/nonexistent/tty\r\n";
        auto lookup = platform::SetSerialPortLookup(dmx::SerialPortsFromProfile(profile));
        if (!lookupSaved_) {
            previous_ = std::move(lookup);
            lookupSaved_ = true;
        }
    }

    DialogFixture& d() { return *dialog; }

    // Waits until the timer has taken every change and the sender has nothing left.
    void Settle() {
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return !d().sender->ChangePending() && !d().sender->Busy(); }, 5000));
    }
    // The controller's channels as the dialog's enabled channels say they are now, on top of
    // what was sent before.
    Channels Expected(Channels before) const {
        const dmx::DmxSnapshot s = dialog->dialog->TakeSnapshot();
        for (int k = 0; k < dmx::kChannels; ++k) {
            if (s.values[k] != dmx::kNotSent) {
                before[static_cast<std::size_t>(s.baseChannel + k - 1)] =
                    static_cast<std::uint8_t>(s.values[k]);
            }
        }
        return before;
    }
    // Settles and waits for the controller to hold the expected channels.
    void ExpectController(const Channels& expected) {
        Settle();
        (void)QTest::qWaitFor([&] { return emulator->ChannelValues() == expected; }, 3000);
        const Channels got = emulator->ChannelValues();
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(int(got[i]), int(expected[i])) << "channel " << i + 1;
        }
    }
    // Two timer periods and more pass without a command reaching the controller.
    void ExpectNothingSent() {
        const int before = emulator->ChannelCommands();
        QTest::qWait(1200);
        EXPECT_EQ(emulator->ChannelCommands(), before);
    }

    std::unique_ptr<testing_support::ControllerEmulator> emulator;
    std::unique_ptr<DialogFixture> dialog;

private:
    fs::path dir_;
    platform::SerialPortLookup previous_;
    bool lookupSaved_ = false;
};

TEST(LumaquillEndToEnd, WhatTheDialogShowsIsWhatTheControllerHolds) {
    EndToEnd e;
    DialogFixture& f = e.d();
    Channels expected{};

    // Set All in value display, every channel enabled.
    f.Click(kEnableAll);
    f.Click(kValueDisplay);
    for (int k = 0; k < 8; ++k) {
        f.Type(kValue + k, QString::number(10 * (k + 1)));
    }
    f.Click(kSetAll);
    expected = e.Expected(expected);
    e.ExpectController(expected);
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(int(e.emulator->ChannelValues()[static_cast<size_t>(k)]),
                  f.Field(k)->text().toInt());
    }

    // A new base channel goes out with the next change of a value.
    f.Click(kBaseUp);
    f.Click(kBaseUp);
    f.Click(kBaseUp);
    e.ExpectNothingSent();
    f.Drag(0, 55);
    expected = e.Expected(expected);
    e.ExpectController(expected);
    EXPECT_EQ(int(expected[3]), 200);
    EXPECT_EQ(int(expected[0]), 10); // channels 1 to 3 keep what they were sent

    // Grouped keys.
    f.Box(kGroup, 0)->setChecked(true);
    f.Box(kGroup, 1)->setChecked(true);
    f.Slider(1)->setFocus();
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(f.Slider(1), Qt::Key_Up);
    }
    expected = e.Expected(expected);
    e.ExpectController(expected);
    EXPECT_EQ(int(expected[3]), 205);
    EXPECT_EQ(int(expected[4]), 25);

    // Set in percent display.
    f.Click(kPercent);
    f.Type(kValue + 2, "50");
    f.Click(kSet[2]);
    expected = e.Expected(expected);
    e.ExpectController(expected);
    EXPECT_EQ(int(expected[5]), 127);

    // A channel whose Ena box is cleared keeps its last value on the controller.
    f.Box(kEnable, 4)->setChecked(false);
    f.Drag(4, 0);
    expected = e.Expected(expected);
    e.ExpectController(expected);
    EXPECT_EQ(int(expected[7]), 50);

    f.Click(kBlackout);
    expected = e.Expected(expected);
    e.ExpectController(expected);
    EXPECT_EQ(int(expected[3]), 0);
    EXPECT_EQ(int(expected[7]), 50);
    EXPECT_TRUE(f.ui.Texts().empty());
}

TEST(LumaquillEndToEnd, EdgeCases) {
    struct Case {
        const char* name;
        std::function<void(EndToEnd&)> run;
    };
    const Case cases[] = {
        {"without a checked Ena box nothing is ever sent",
         [](EndToEnd& e) {
             DialogFixture& f = e.d();
             f.Drag(0, 10);
             f.Type(kValue + 3, "90");
             f.Click(kSetAll);
             f.Click(kBlackout);
             f.Click(kGroupAll);
             f.Drag(5, 100);
             e.ExpectNothingSent();
             EXPECT_EQ(e.emulator->ChannelCommands(), 0);
         }},
        {"a port or base change alone sends nothing",
         [](EndToEnd& e) {
             DialogFixture& f = e.d();
             f.Box(kEnable, 0)->setChecked(true);
             f.Drag(0, 0);
             e.ExpectController(e.Expected({}));
             f.Click(kPort + 2);
             e.ExpectNothingSent();
             f.Paste(kBase, "40");
             f.Click(kBaseDown);
             e.ExpectNothingSent();
             EXPECT_EQ(e.emulator->ChannelCommands(), 1);
         }},
        {"base 505 sends channels 505 to 512",
         [](EndToEnd& e) {
             DialogFixture& f = e.d();
             f.Paste(kBase, "505");
             f.Click(kEnableAll);
             f.Click(kGroupAll);
             f.Drag(7, 3);
             Channels expected{};
             for (int c = 505; c <= 512; ++c) {
                 expected[static_cast<size_t>(c - 1)] = 252;
             }
             e.ExpectController(expected);
         }},
        {"base 250 reaches channel 257 with the second command",
         [](EndToEnd& e) {
             DialogFixture& f = e.d();
             f.Paste(kBase, "250");
             f.Click(kEnableAll);
             f.Click(kValueDisplay);
             for (int k = 0; k < 8; ++k) {
                 f.Type(kValue + k, QString::number(k + 1));
             }
             f.Click(kSetAll);
             Channels expected{};
             for (int k = 0; k < 8; ++k) {
                 expected[static_cast<size_t>(249 + k)] = static_cast<std::uint8_t>(k + 1);
             }
             e.ExpectController(expected);
         }},
        {"a port that does not exist: nothing sent, no message, the next change tries again",
         [](EndToEnd& e) {
             DialogFixture& f = e.d();
             f.Click(kPort + 1);
             f.Click(kEnableAll);
             f.Drag(2, 50);
             e.Settle();
             e.ExpectNothingSent();
             EXPECT_EQ(e.emulator->ChannelCommands(), 0);
             f.Click(kPort);
             f.Drag(2, 40);
             e.ExpectController(e.Expected({}));
             EXPECT_TRUE(f.ui.Texts().empty());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EndToEnd e;
        c.run(e);
        EXPECT_TRUE(e.d().ui.Texts().empty());
    }
}

TEST(LumaquillEndToEnd, LastChangeOfABurstArrivesAtNineSixHundredBaud) {
    testing_support::EmulatorOptions options;
    options.baud = 9600;
    EndToEnd e(options);
    DialogFixture& f = e.d();
    f.Click(kEnableAll);
    f.Click(kGroupAll);
    // Moves every 15 ms for about two seconds: many of them while a cycle is on the line.
    for (int i = 0; i < 130; ++i) {
        f.Drag(i % 8, (i * 37) % 256);
        QTest::qWait(15);
    }
    e.ExpectController(e.Expected({}));
    EXPECT_GT(e.d().sender->Cycles(), 2);
}

TEST(LumaquillEndToEnd, ControllerHangingUpInACycleIsSilentAndTheNextControllerIsReached) {
    testing_support::EmulatorOptions options;
    options.dropAfterChannelCommands = 3;
    EndToEnd e(options);
    DialogFixture& f = e.d();
    f.Click(kEnableAll);
    f.Drag(0, 100);
    e.Settle();
    QTest::qWait(100);
    EXPECT_EQ(e.emulator->ChannelCommands(), 3);

    e.Connect({});
    f.Drag(1, 30);
    e.ExpectController(e.Expected({}));
    EXPECT_TRUE(f.ui.Texts().empty());
}

} // namespace
