// The SMPTE configuration download of a script against the emulated reproducer system: inline
// with its compile-view lines, and on the download dialog's worker, which a cancel stops at
// once with the port closed.
#include "link/download_dialog.h"
#include "link/download_thread.h"
#include "link/reproducer_download.h"
#include "link/vl_doc_link.h"

#include "foundation/serial_port.h"
#include "foundation/smpte_timecode.h"
#include "foundation/status.h"
#include "reproducer/reelvox_system.h"
#include "reproducer/smpte_interface.h"
#include "reproducer/trigger_table.h"
#include "tests/compiler/compile_fixture.h"
#include "tests/link/link_fixtures.h"
#include "tests/support/fast_waits.h"
#include "tests/support/reproducer_emulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using testing_support::ReelvoxAnswer;
using testing_support::ReelvoxRule;
using testing_support::ReproducerEmulator;
using testing_support::ReproducerEmulatorOptions;
using Clock = std::chrono::steady_clock;
using Commands = std::vector<std::pair<int, int>>; // command, first data byte or -1

class SmpteDownload : public compile_testing::CompileTest {
protected:
    // Time-outs and pauses run ten times faster (declared first: it outlives the peers).
    platform::FastWaits fastWaits_{testing_support::kFastWaitFactor};

    void SetUp() override {
        CompileTest::SetUp();
        GetCompilerState().compileView = &view_;
        doc_->m_wAddress = 7;
        ui_.Clear();
    }
    void TearDown() override {
        platform::SetSerialPortLookup(previousLookup_);
        if (emulator)
            emulator->Stop();
        CompileTest::TearDown();
    }
    // The emulated system as COM1.
    void Emulate(ReproducerEmulatorOptions options = {}) {
        emulator = std::make_unique<ReproducerEmulator>(std::move(options));
        ASSERT_TRUE(emulator->Start());
        const std::string path = emulator->SlavePath();
        previousLookup_ = platform::SetSerialPortLookup(
            [path](int n) { return n == 1 ? path : std::string("/nonexistent/port"); });
    }
    CSeq& SmpteSequence(const std::string& name, int hour) {
        CSeq& sequence = AddSequence(name);
        sequence.m_nSmpteStartOn = 1;
        sequence.m_anSmpteStart = {hour, 2, 3, 4};
        return sequence;
    }
    Commands Sent() const {
        Commands commands;
        for (const auto& frame : emulator->Frames()) {
            EXPECT_TRUE(frame.checksumOk);
            EXPECT_EQ(frame.destination, 0xFE);
            commands.emplace_back(frame.command, frame.data.empty() ? -1 : frame.data[0]);
        }
        return commands;
    }
    std::vector<std::pair<std::string, std::int32_t>> Lines() const {
        std::vector<std::pair<std::string, std::int32_t>> lines;
        for (const auto& line : view_.lines)
            lines.emplace_back(line.text, line.colour);
        return lines;
    }
    Reelvox_c& System() { return doc_->m_Reelvox; }
    ReelvoxSMPTEInterface_c& Smpte() { return *System().SMPTEInterface(); }

    link_tests::AppLink link{app_.App().m_Download, app_.App().m_bBatch};
    std::unique_ptr<ReproducerEmulator> emulator;

private:
    platform::SerialPortLookup previousLookup_;
};

constexpr std::int32_t kRed = kColourRed;
constexpr std::int32_t kBlack = kColourDefault;

TEST_F(SmpteDownload, NewScriptDownloadsItsStepsAndAnEmptyTable) {
    Emulate();
    EXPECT_EQ(showlink::DownloadReproducerSystem(*doc_, true, true, true), QOR_OK);
    const Commands sent = Sent();
    ASSERT_EQ(sent.size(), 8u);
    EXPECT_EQ(sent[0].first, 13);
    EXPECT_EQ(sent[1].first, 9);
    EXPECT_EQ(sent[2].first, 23);
    EXPECT_EQ(sent[3].first, 8);
    EXPECT_EQ((Commands{sent.begin() + 4, sent.end()}),
              (Commands{{0, 253}, {0, 0}, {2, -1}, {3, -1}}));
    EXPECT_EQ(System().GetState(), REELVOX_SYSTEM_COMPLETE);
    EXPECT_EQ(Smpte().GetState(), SMPTE_STEP_DONE);
    EXPECT_EQ(Lines(), (std::vector<std::pair<std::string, std::int32_t>>{
                           {"SMPTE Download Complete", kBlack}}));
}

TEST_F(SmpteDownload, StartTriggersOfTheSequencesGoIntoTheTableForThisDownloadOnly) {
    Emulate();
    AddSequence("Plain");
    SmpteSequence("Opening", 1);
    SmpteSequence("Finale", 2);
    EXPECT_EQ(showlink::DownloadReproducerSystem(*doc_, true, true, false), QOR_OK);
    std::vector<std::vector<std::uint8_t>> packets;
    Commands order;
    for (const auto& frame : emulator->Frames()) {
        order.emplace_back(frame.command, frame.data.empty() ? -1 : frame.data[0]);
        if (frame.command == 1)
            packets.push_back(frame.data);
    }
    // Only the table: clear both kinds, two triggers, sort, store.
    ASSERT_EQ(order.size(), 6u);
    EXPECT_EQ(order[0], (std::pair<int, int>{0, 253}));
    EXPECT_EQ(order[1], (std::pair<int, int>{0, 0}));
    EXPECT_EQ(order[4].first, 2);
    EXPECT_EQ(order[5].first, 3);
    ASSERT_EQ(packets.size(), 2u);
    std::vector<std::vector<std::uint8_t>> expected;
    for (std::uint8_t number : {2, 3}) {
        const std::uint8_t hour = number - 1;
        const unsigned sum = 0xFE + 7 + 0x18 + (number - 1);
        expected.push_back({hour, 2, 3, 4, 0, 5, 0xFE, 7, 0x18,
                            static_cast<std::uint8_t>(number - 1),
                            static_cast<std::uint8_t>((sum & 0xFF) >> 1)});
    }
    if (packets[0][0] != 1)
        std::swap(packets[0], packets[1]);
    EXPECT_EQ(packets, expected);
    EXPECT_EQ(Lines().front().first, "SMPTE Download Complete");
    // The table drops the sequences' triggers again.
    EXPECT_EQ(Smpte().TriggerTable()->TriggerCount(), 0);
}

TEST_F(SmpteDownload, SilenceRefusalAndIgnoreErrorsGiveTheirLines) {
    using Lines_t = std::vector<std::pair<std::string, std::int32_t>>;
    {
        SCOPED_TRACE("refused defaults");
        ReproducerEmulatorOptions options;
        options.rules.push_back(ReelvoxRule{0xFE, 9, std::nullopt, ReelvoxAnswer::Refuse, -1});
        Emulate(options);
        EXPECT_EQ(showlink::DownloadReproducerSystem(*doc_, true, true, true), QOR_ERROR);
        EXPECT_EQ(Lines(), (Lines_t{{"Error: Download Failed", kRed},
                                    {"Error: While downloading SMPTE Interface settings", kRed},
                                    {"Error: Unable to download default settings", kRed}}));
    }
    {
        SCOPED_TRACE("ignore errors");
        view_.lines.clear();
        System().SetIgnoreErrors(QOR_TRUE);
        EXPECT_EQ(showlink::DownloadReproducerSystem(*doc_, true, true, true), QOR_OK);
        EXPECT_EQ(Lines(), (Lines_t{{"SMPTE Download Complete", kBlack},
                                    {"Error: Unable to set defaults", kRed}}));
        System().SetIgnoreErrors(QOR_FALSE);
    }
    {
        SCOPED_TRACE("refused trigger");
        emulator->Stop();
        view_.lines.clear();
        SmpteSequence("One", 1);
        SmpteSequence("Two", 2);
        ReproducerEmulatorOptions options;
        options.rules.push_back(ReelvoxRule{0xFE, 1, std::uint8_t{2}, ReelvoxAnswer::Refuse, -1});
        platform::SetSerialPortLookup({});
        Emulate(options);
        EXPECT_EQ(showlink::DownloadReproducerSystem(*doc_, true, true, false), QOR_ERROR);
        int number = 0;
        for (const auto& frame : emulator->Frames()) {
            if (frame.command == 1) {
                ++number;
                if (frame.data[0] == 2)
                    break;
            }
        }
        EXPECT_EQ(Lines(),
                  (Lines_t{{"Error: Download Failed", kRed},
                           {"Error: While downloading SMPTE Interface settings", kRed},
                           {"Error: An error occurred while downloading the trigger table", kRed},
                           {"Trigger " + std::to_string(number) + " failed to download", kBlack}}));
    }
}

TEST_F(SmpteDownload, SilentUnitTimesOut) {
    ReproducerEmulatorOptions options;
    options.defaultAnswer = ReelvoxAnswer::Silent;
    Emulate(options);
    EXPECT_EQ(showlink::DownloadReproducerSystem(*doc_, true, true, true), QOR_TIMEOUT);
    EXPECT_EQ(Lines(), (std::vector<std::pair<std::string, std::int32_t>>{
                           {"Error: Download Timeout (Check your connection)", kRed},
                           {"Error: While downloading SMPTE Interface settings", kRed},
                           {"Error: Unable to temporarily disable SMPTE", kRed}}));
}

TEST_F(SmpteDownload, TriggerThatCannotBeMadeFailsBeforeAnythingIsSent) {
    Emulate();
    SmpteSequence("Opening", 1);
    doc_->m_wAddress = 60; // beyond what a trigger carries: never wrapped to another unit
    EXPECT_EQ(showlink::DownloadReproducerSystem(*doc_, true, true, true), QOR_ERROR);
    ASSERT_EQ(view_.lines.size(), 1u);
    EXPECT_EQ(view_.lines[0].colour, kRed);
    EXPECT_NE(view_.lines[0].text.find("Sequence Opening"), std::string::npos);
    EXPECT_EQ(Smpte().TriggerTable()->TriggerCount(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(emulator->Frames().empty());
}

TEST_F(SmpteDownload, PortThatDoesNotOpenIsReported) {
    link.settings.serialPort = 4; // COM5 leads nowhere
    EXPECT_NE(showlink::DownloadReproducerSystem(*doc_, true, true, true), QOR_OK);
    EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"The serial port could not be openned"});
    EXPECT_EQ(ui_.boxes[0].icon, platform::MsgIcon::Stop);
    EXPECT_TRUE(view_.lines.empty());
}

TEST_F(SmpteDownload, EnableAndDisableNow) {
    Emulate();
    EXPECT_EQ(showlink::EnableSmpteNow(*doc_, true), 4);
    EXPECT_EQ(showlink::EnableSmpteNow(*doc_, false), 4);
    EXPECT_EQ(Sent(), (Commands{{14, -1}, {13, -1}}));
    const auto frames = emulator->Frames();
    EXPECT_EQ(frames[0].bytes, (std::vector<std::uint8_t>{0xFF, 0xFE, 0x0E, 0x05}));
    EXPECT_EQ(frames[1].bytes, (std::vector<std::uint8_t>{0xFF, 0xFE, 0x0D, 0x05}));
    System().ResetDevices(); // no interface: nothing happens
    EXPECT_EQ(showlink::EnableSmpteNow(*doc_, true), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(emulator->Frames().size(), 2u);
    EXPECT_TRUE(ui_.boxes.empty());
}

// A unit that refuses or never answers the switch is named in a stop box; a port that does not
// open gets its own box and nothing is sent.
TEST_F(SmpteDownload, EnableNowThatFailsIsReported) {
    const struct {
        ReelvoxAnswer answer;
        bool enable;
        int status;
        const char* box;
    } cases[] = {
        {ReelvoxAnswer::Refuse, true, QOR_COUNT_ERROR,
         "The SMPTE interface did not accept the Enable SMPTE command."},
        {ReelvoxAnswer::Silent, false, QOR_COUNT_TIMEOUT,
         "The SMPTE interface did not answer the Disable SMPTE command (check your connection)."},
    };
    Emulate();
    for (const auto& c : cases) {
        // A unit of its own for each answer, as COM1.
        emulator->Stop();
        ReproducerEmulatorOptions options;
        options.defaultAnswer = c.answer;
        emulator = std::make_unique<ReproducerEmulator>(options);
        ASSERT_TRUE(emulator->Start());
        platform::SetSerialPortLookup([path = emulator->SlavePath()](int n) {
            return n == 1 ? path : std::string("/nonexistent/port");
        });
        ui_.Clear();
        EXPECT_EQ(showlink::EnableSmpteNow(*doc_, c.enable), c.status);
        // The 3 s the reply is awaited (a tenth of that on the wall clock here) repaint the
        // windows at least every 50 ms.
        if (c.answer == ReelvoxAnswer::Silent) {
            EXPECT_GE(ui_.paintPumps,
                      3000 / testing_support::kFastWaitFactor / platform::kPaintPumpPeriod.count());
        }
        EXPECT_EQ(ui_.Texts(), std::vector<std::string>{c.box});
        EXPECT_EQ(ui_.boxes[0].icon, platform::MsgIcon::Stop);
    }
    ui_.Clear();
    link.settings.serialPort = 4; // COM5 leads nowhere
    EXPECT_EQ(showlink::EnableSmpteNow(*doc_, true), QOR_ERROR);
    EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"The serial port could not be openned"});
}

TEST_F(SmpteDownload, CompileDownloadSendsTheTriggersFirstThenTheImage) {
    Emulate();
    link_tests::EmulatedPort controller;
    ASSERT_TRUE(controller.started);
    // COM1 is the reproducer system until its table is stored, then the show controller.
    const std::string smptePath = emulator->SlavePath();
    const std::string controllerPath = controller.emulator.SlavePath();
    ReproducerEmulator* smpte = emulator.get();
    platform::SetSerialPortLookup([=](int n) {
        if (n != 1)
            return std::string("/nonexistent/port");
        for (const auto& frame : smpte->Frames()) {
            if (frame.command == 3)
                return controllerPath;
        }
        return smptePath;
    });
    app_.App().entries.countComPorts = [] { return CountComPorts(); };
    link.commandLine = true;
    link.settings.serialDelay = 0;
    link.settings.noArchiveOffer = true;
    doc_->m_nSmpteUsed = 1;
    CSeq& main = SmpteSequence("Main", 1);
    AddEvent(main, "00:00.00", "On", "Output1");
    ui_.QueueAnswer(platform::MsgResult::No); // the triggers only
    Compile();

    const Commands sent = Sent();
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent[2].first, 1);
    EXPECT_EQ(sent[4].first, 3);
    const auto texts = view_.Texts();
    const auto complete = std::find(texts.begin(), texts.end(), "SMPTE Download Complete");
    const auto image = std::find(texts.begin(), texts.end(), "Show1.DAT successfully downloaded!");
    ASSERT_NE(complete, texts.end());
    ASSERT_NE(image, texts.end());
    EXPECT_LT(complete, image);
    EXPECT_EQ(controller.emulator.StoredImage(), DocImage());
    EXPECT_EQ(Smpte().TriggerTable()->TriggerCount(), 0);
}

// A unit that does not answer the SMPTE steps: the log ends saying the download stopped, and
// nothing of the image is sent.
TEST_F(SmpteDownload, CompileDownloadToAUnitWithoutSmpteSaysItStopped) {
    doc_->m_nSmpteUsed = 1;
    AddEvent(SmpteSequence("Main", 1), "00:00.00", "On", "Output1");
    for (const auto answer : {platform::MsgResult::Yes, platform::MsgResult::No}) {
        SCOPED_TRACE(answer == platform::MsgResult::Yes ? "full" : "triggers only");
        ReproducerEmulatorOptions options;
        options.defaultAnswer = ReelvoxAnswer::Silent;
        if (emulator)
            emulator->Stop();
        Emulate(options);
        app_.App().entries.countComPorts = [] { return CountComPorts(); };
        link.commandLine = true;
        link.settings.serialDelay = 0;
        link.settings.noArchiveOffer = true;
        view_.lines.clear();
        ui_.Clear();
        ui_.QueueAnswer(answer);
        Compile();
        const auto lines = Lines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), std::make_pair(std::string("       Download Terminated!"), kRed));
        for (const auto& frame : emulator->Frames())
            EXPECT_EQ(frame.destination, 0xFE) << "nothing for the show controller";
    }
}

// The dialog driven as the user interface drives it: timer ticks until the worker is done.
void RunUntilSettled(DownloadDlg& dialog, std::vector<std::string>* stages = nullptr) {
    const auto limit = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < limit && dialog.m_eResult == DownloadDlg::kNotEnded) {
        dialog.OnTimer(DownloadDlg::kTimerId);
        if (stages && (stages->empty() || stages->back() != dialog.m_strStage))
            stages->push_back(dialog.m_strStage);
        if (!dialog.m_bTimerRunning)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

TEST_F(SmpteDownload, DialogDownloadCompletesOrOffersRetry) {
    // The worker downloads the interface's settings (its option byte asks for no triggers).
    ReproducerEmulatorOptions options;
    options.rules.push_back(ReelvoxRule{0xFE, 23, std::nullopt, ReelvoxAnswer::Refuse, 1});
    options.replyDelay = std::chrono::milliseconds(40);
    Emulate(options);
    std::atomic<int> notified{0};
    std::vector<std::string> stages;
    std::string log;
    ui_.QueueDialog([&](platform::DialogRequest& request) {
        auto& dialog = dynamic_cast<DownloadDlg&>(request);
        dialog.SetNotifier([&] { ++notified; });
        dialog.OnInitDialog();
        EXPECT_TRUE(dialog.m_bLeaveOpen);
        EXPECT_FALSE(dialog.m_bRetryEnabled);
        RunUntilSettled(dialog, &stages);
        log = dialog.m_strLog;
        EXPECT_TRUE(dialog.m_bRetryEnabled);
        EXPECT_EQ(dialog.m_nProgressPos, 0);
        EXPECT_EQ(dialog.m_nProgressRange, 14);
        dialog.OnCancelOrDone();
        EXPECT_EQ(dialog.m_eResult, DownloadDlg::kCancel);
        return dialog.m_eResult == DownloadDlg::kOk;
    });
    EXPECT_EQ(showlink::DownloadReproducerSystem(*doc_, false, false, true), QOR_ERROR);

    // Retry in the same dialog, over the same port: the refusal was for one frame only.
    ui_.QueueDialog([&](platform::DialogRequest& request) {
        auto& dialog = dynamic_cast<DownloadDlg&>(request);
        dialog.OnInitDialog();
        RunUntilSettled(dialog);
        EXPECT_TRUE(dialog.m_bRetryEnabled);
        dialog.OnRetry();
        RunUntilSettled(dialog);
        EXPECT_EQ(dialog.m_strCancelText, "Done") << dialog.m_strLog;
        dialog.OnCancelOrDone();
        return dialog.m_eResult == DownloadDlg::kOk;
    });
    Emulate(options);
    EXPECT_EQ(showlink::DownloadReproducerSystem(*doc_, false, false, true), QOR_OK);
    EXPECT_EQ(System().GetState(), 0);
    EXPECT_GE(notified.load(), 2);
    EXPECT_EQ(log, "Downloading...\r\nDownload Failed\r\nWhile downloading SMPTE Interface "
                   "settings\r\nUnable to download preroll timecode\r\n");
    EXPECT_NE(std::find(stages.begin(), stages.end(), "Setting Preroll"), stages.end());

    // The next download completes: "Done", the progress at its end, the dialog kept open.
    ui_.QueueDialog([&](platform::DialogRequest& request) {
        auto& dialog = dynamic_cast<DownloadDlg&>(request);
        dialog.OnInitDialog();
        RunUntilSettled(dialog);
        EXPECT_EQ(dialog.m_strCancelText, "Done") << dialog.m_strLog;
        EXPECT_EQ(dialog.m_nProgressPos, dialog.m_nProgressRange);
        EXPECT_EQ(dialog.m_eResult, DownloadDlg::kNotEnded);
        dialog.OnCancelOrDone();
        return dialog.m_eResult == DownloadDlg::kOk;
    });
    EXPECT_EQ(showlink::DownloadReproducerSystem(*doc_, false, false, true), QOR_OK);

    // Without an interface the dialog says so, and a completed download closes it by itself.
    System().ResetDevices();
    ui_.Clear();
    ui_.QueueDialog([&](platform::DialogRequest& request) {
        auto& dialog = dynamic_cast<DownloadDlg&>(request);
        dialog.OnInitDialog();
        EXPECT_FALSE(dialog.m_bLeaveOpen);
        RunUntilSettled(dialog);
        return dialog.m_eResult == DownloadDlg::kOk;
    });
    showlink::DownloadReproducerSystem(*doc_, false, false, true);
    ASSERT_FALSE(ui_.Texts().empty());
    EXPECT_EQ(
        ui_.Texts()[0],
        "SMPTE interface is missing.\r\nPlease save your work then restart this application.");
}

// Also run under ThreadSanitizer (the Makefile's tsan target).
class DownloadThreadCancel : public SmpteDownload {};

TEST_F(DownloadThreadCancel, CancelAtAnyMomentStopsTheWorkerWithThePortClosed) {
    ReproducerEmulatorOptions options;
    options.replyDelay = std::chrono::milliseconds(30);
    options.rules.push_back(ReelvoxRule{0xFE, 8, std::nullopt, ReelvoxAnswer::Silent, -1});
    Emulate(options);
    System().SetIgnoreErrors(QOR_TRUE);
    for (int delayMs : {0, 15, 60, 140, 400}) {
        SCOPED_TRACE(delayMs);
        QORSerial_c port;
        port.SetPortByIndex(1);
        ASSERT_EQ(System().SetSerialPort(&port), QOR_OK);
        DownloadDlg dialog;
        dialog.SetSystem(&System());
        std::atomic<int> notified{0};
        dialog.SetNotifier([&] { ++notified; });
        dialog.OnInitDialog();
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        dialog.RefreshProgress();
        const auto start = Clock::now();
        dialog.OnCancelOrDone();
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(150));
        EXPECT_EQ(dialog.Worker(), nullptr);
        EXPECT_EQ(dialog.m_eResult, DownloadDlg::kCancel);
        EXPECT_EQ(System().GetState(), 0);
        EXPECT_FALSE(port.IsOpen());
        System().SetSerialPort(nullptr);
    }
}

} // namespace
