// The Real Time Wizard and the cue list against the controller emulator on a pseudo-terminal
// that COM1 maps to: the clock and its SMPTE messages in both framings, keys recorded and sent
// as their compiled events, the sequence made on closing, the cue list's lists, fires and live
// commands, and the failures' messages.
#include "compiler/event_compile.h"
#include "controls/toolbox/grid_list.h"
#include "platform/paths.h"
#include "platform/serial_device.h"
#include "script/vl_doc.h"
#include "tests/support/app_fixture.h"
#include "tests/support/controller_emulator.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/view_services_fixture.h"
#include "views/sequences/cue_list.h"
#include "views/sequences/real_time_wizard.h"
#include "views/sequences/show_clock.h"
#include "views/sequences/timeline_view.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace {

using testing_support::ControllerEmulator;
using testing_support::EmulatedRequest;
using testing_support::ScriptedUi;
using Bytes = std::vector<std::uint8_t>;

// The requests once `count` have come (or two seconds have passed).
std::vector<EmulatedRequest> WaitFor(const ControllerEmulator& emulator, std::size_t count) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (emulator.Requests().size() < count && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return emulator.Requests();
}

struct LiveDialogs : ::testing::Test, testsupport::QtAppFirst {
    LiveDialogs() {
        platform::SetInstallDirectory(VELMORA_DIST_DIR); // rtwiz.cfg beside the program
        EXPECT_TRUE(emulator.Start());
        previousLookup = platform::SetSerialPortLookup(
            [this](int n) { return n == 1 ? emulator.SlavePath() : std::string("/nonexistent"); });
        app.App().m_Download.serialPort = 0; // COM1
        app.App().m_Download.serialBitMode = 1;
        doc.SetTitle("Show.ksf");
        doc.InitNewScript("Harnel16");
        doc.m_wAddress = 5;
        doc.m_poSeqList.clear();
        for (const char* name : {"intro", "Finale", "Show", "Bows"})
            doc.m_poSeqList.push_back(std::make_unique<CSeq>(name, 1));
        doc.m_poSeqList[3]->m_nSmpteStartOn = 1;
        doc.m_poSeqList[3]->m_anSmpteStart = {0, 2, 0, 0};
    }
    ~LiveDialogs() override {
        platform::SetSerialPortLookup(previousLookup);
        emulator.Stop();
    }
    // The clock under the test's hand: a wall clock it sets, no timers.
    void HandClock(ClockDialog& dialog) {
        dialog.Clock().SetTimersEnabled(false);
        dialog.Clock().SetWallClock([this] { return wallMs; });
    }
    std::vector<std::string> Texts(const QListWidget* list) {
        std::vector<std::string> texts;
        for (int i = 0; i < list->count(); ++i)
            texts.push_back(list->item(i)->text().toStdString());
        return texts;
    }

    ScriptedUi ui;
    testing_support::AppFixture app;
    CVLDoc doc{app.App()};
    ControllerEmulator emulator;
    platform::SerialPortLookup previousLookup;
    std::int64_t wallMs = 1'000'000'400;
};

TEST_F(LiveDialogs, ClockWaitsForTheNextSecondAndFollowsTheWallClock) {
    double shown = -1;
    ShowClock clock([&](double frames) { shown = frames; });
    clock.SetTimersEnabled(false);
    clock.SetWallClock([this] { return wallMs; });
    clock.Start(300, 30); // 00:00:10.00
    EXPECT_EQ(clock.GetState(), ShowClock::State::Waiting);
    wallMs += 500; // the same second
    clock.Poll();
    EXPECT_EQ(clock.GetState(), ShowClock::State::Waiting);
    wallMs += 200; // a new second: the origin
    clock.Poll();
    EXPECT_EQ(clock.GetState(), ShowClock::State::Running);
    clock.Tick();
    EXPECT_DOUBLE_EQ(shown, 300 + 0.055 * 30);
    // Ticks late by half a second: the next new second takes the wall clock up again.
    wallMs += 1500;
    clock.Tick();
    EXPECT_DOUBLE_EQ(shown, 300 + 30 + 0.055 * 30);
    clock.Stop();
    clock.Tick();
    EXPECT_DOUBLE_EQ(shown, 300 + 30 + 0.055 * 30);
}

TEST_F(LiveDialogs, SmpteMessagesAtStartPauseAndResetInBothFramings) {
    for (int bitMode : {1, 0}) {
        SCOPED_TRACE(bitMode);
        app.App().m_Download.serialBitMode = bitMode;
        CDRTWiz wizard(doc);
        HandClock(wizard);
        const std::size_t before = emulator.Requests().size();
        EXPECT_EQ(wizard.windowTitle(), "RTWiz for Show");
        wizard.SendSmpteCheck()->setChecked(true);
        wizard.CurrentTimeEdit()->setText("00:01:02.15");
        wizard.OnStartTimer();
        wizard.OnPauseTimer();
        wizard.StartTimeEdit()->setText("00:00:05.00");
        wizard.OnResetToStart();
        auto requests = WaitFor(emulator, before + 4);
        ASSERT_EQ(requests.size(), before + 4);
        requests.erase(requests.begin(), requests.begin() + static_cast<std::ptrdiff_t>(before));
        const Bytes expected[] = {{14}, {22, 0, 1, 2, 15}, {13}, {13}};
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(requests[i].message, expected[i]) << i;
            EXPECT_EQ(requests[i].unit, 0xFE);
            EXPECT_EQ(requests[i].nineBit, bitMode == 1);
        }
        EXPECT_EQ(wizard.CurrentTimeEdit()->text(), "00:00:05.00");
        EXPECT_TRUE(ui.boxes.empty());
    }
}

TEST_F(LiveDialogs, StartContinuesFromTheCurrentTimeAndRefusesANonTime) {
    CDRTWiz wizard(doc);
    HandClock(wizard);
    wizard.CurrentTimeEdit()->setText("00:00:10.00");
    wizard.OnStartTimer();
    wallMs += 1000;
    wizard.Clock().Poll();
    wizard.Clock().Tick();
    EXPECT_EQ(wizard.CurrentTimeEdit()->text(), "00:00:10.01");

    // With "Send SMPTE", a time that is no time of day sends nothing and does not start.
    wizard.OnPauseTimer();
    wizard.SendSmpteCheck()->setChecked(true);
    wizard.CurrentTimeEdit()->setText("25:00:00.00");
    wizard.OnStartTimer();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, ClockDialog::kInvalidTime);
    EXPECT_EQ(wizard.Clock().GetState(), ShowClock::State::Stopped);
    EXPECT_TRUE(WaitFor(emulator, 1).empty());
}

// What "Send Events" sends for a key: the event compiled alone, its bytes after the first.
Bytes CompiledBody(CVLDoc& doc, const rtwiz::KeyAssignment& key) {
    CSeq dummy("dummy", 1);
    CEvnt event;
    event.m_strEvent = key.event;
    event.m_strData1 = key.data[0];
    EXPECT_TRUE(CompileSingleEvent(doc, dummy, -1, event, -1));

    return Bytes(event.m_bsCompiled.begin() + 1, event.m_bsCompiled.end());
}

TEST_F(LiveDialogs, KeysRecordRowsSendTheirEventsAndBecomeASequence) {
    // The 8-bit framing counts its bytes: the emulator reads any event's body whole.
    app.App().m_Download.serialBitMode = 0;
    CDRTWiz wizard(doc);
    HandClock(wizard);
    wizard.show();
    EXPECT_EQ(wizard.Keys().At('Q').event, "On");
    wizard.CurrentTimeEdit()->setText("00:01:02.15");
    CYNGridList* list = wizard.List();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Q);
    QTest::keyClick(list, Qt::Key_Up);                            // no character: nothing
    QTest::keyClick(list, Qt::Key_A, Qt::ShiftModifier);          // the key of 'A' unshifted
    QTest::keyClick(list, Qt::Key_AsciiTilde, Qt::ShiftModifier); // '`': not assigned
    ASSERT_EQ(wizard.RecordedRows(), 3);
    EXPECT_EQ(list->GetItemText(0, 0), "01:02.15");
    EXPECT_EQ(list->GetItemText(0, 1), "On");
    EXPECT_EQ(list->GetItemText(0, 2), "Output1");
    EXPECT_EQ(list->GetItemText(1, 1), "Off");
    EXPECT_EQ(list->GetItemText(2, 1), "");
    EXPECT_TRUE(list->IsItemSelected(2));

    // "Send Events": each assigned key's compiled event, at the script's unit.
    const auto requests = WaitFor(emulator, 2);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].message, CompiledBody(doc, wizard.Keys().At('Q')));
    EXPECT_EQ(requests[1].message, CompiledBody(doc, wizard.Keys().At('A')));
    EXPECT_EQ(requests[0].unit, 5);

    // An edit in a cell records nothing.
    ASSERT_TRUE(list->EditCell(2, 6));
    QTest::keyClicks(list->CellEditor(), "cue");
    QTest::keyClick(list->CellEditor(), Qt::Key_Return);
    EXPECT_EQ(wizard.RecordedRows(), 3);

    // Closing with OK makes the sequence.
    ui.QueueAnswer(platform::MsgResult::Ok);
    wizard.reject();
    ASSERT_EQ(ui.boxes.back().text, "Create RTWizSequence with events you've entered?");
    ASSERT_EQ(doc.m_poSeqList.size(), 5u);
    const CSeq& made = *doc.m_poSeqList.back();
    EXPECT_EQ(made.m_strName, "RTWizSequence");
    EXPECT_EQ(made.m_strDescription, "Generated by the Real Time Wizard");
    ASSERT_EQ(made.m_poEventList.size(), 3u);
    EXPECT_EQ(made.m_poEventList[0]->m_strTime, "01:02.15");
    EXPECT_EQ(made.m_poEventList[0]->m_strData1, "Output1");
    EXPECT_EQ(made.m_poEventList[2]->m_strComment, "cue");
    EXPECT_EQ(made.m_nNeedsCompile, 1);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(LiveDialogs, ClearAllAndClosingWithoutRows) {
    CDRTWiz wizard(doc);
    wizard.OnListKeyDown('1', '1');
    ui.QueueAnswer(platform::MsgResult::Cancel);
    wizard.OnClearAll();
    EXPECT_EQ(wizard.RecordedRows(), 1);
    ui.QueueAnswer(platform::MsgResult::Ok);
    wizard.OnClearAll();
    EXPECT_EQ(ui.boxes.back().text, "Clear all events you've entered?");
    EXPECT_EQ(wizard.RecordedRows(), 0);
    const std::size_t boxes = ui.boxes.size();
    wizard.reject();
    EXPECT_EQ(ui.boxes.size(), boxes) << "nothing recorded: nothing asked";
    EXPECT_EQ(doc.m_poSeqList.size(), 4u);
}

TEST_F(LiveDialogs, MissingTableAndAPortThatCannotOpen) {
    namespace fs = std::filesystem;
    const fs::path empty = fs::temp_directory_path() / ("rtwiz_none_" + std::to_string(::getpid()));
    fs::create_directories(empty);
    platform::SetInstallDirectory(empty.string());
    const fs::path before = fs::current_path();
    fs::current_path(empty);
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", empty.string().c_str(), 1);
    app.App().m_Download.serialPort = 2; // COM3 goes nowhere
    {
        CDRTWiz wizard(doc);
        ASSERT_EQ(ui.boxes.size(), 2u);
        EXPECT_EQ(ui.boxes[0].text, kNoKeyTable);
        EXPECT_EQ(ui.boxes[1].text.rfind("Opening serial port:", 0), 0u) << ui.boxes[1].text;
        // Still usable: keys record empty rows, and the SMPTE messages report the line.
        wizard.OnListKeyDown('Q', 'Q');
        EXPECT_EQ(wizard.RecordedRows(), 1);
        wizard.SendSmpteCheck()->setChecked(true);
        wizard.Clock().SetTimersEnabled(false);
        wizard.OnStartTimer();
        EXPECT_EQ(ui.boxes.back().text,
                  "Serial Message 'Set SMPTE Time': Hardware error transmitting message.  "
                  "Aborting...");
        EXPECT_EQ(wizard.Clock().GetState(), ShowClock::State::Waiting) << "the clock starts";
        wizard.OnPauseTimer();
        EXPECT_EQ(ui.boxes.back().text,
                  "Serial Message 'Disable SMPTE': Hardware error transmitting message.  "
                  "Aborting...");
        ui.QueueAnswer(platform::MsgResult::Cancel);
        wizard.reject();
    }
    ::setenv("PATH", path.c_str(), 1);
    fs::current_path(before);
    fs::remove_all(empty);
}

TEST_F(LiveDialogs, EmulatorHangingUpBringsTheHardwareErrors) {
    CDRTWiz wizard(doc);
    HandClock(wizard);
    emulator.Stop();
    wizard.SendSmpteCheck()->setChecked(true);
    wizard.OnStartTimer();
    ASSERT_GE(ui.boxes.size(), 2u);
    EXPECT_NE(ui.boxes[0].text.find("Hardware error"), std::string::npos);
    EXPECT_EQ(ui.boxes[1].text,
              "Serial Message 'Set SMPTE Time': Hardware error transmitting message.  "
              "Aborting...");
}

TEST_F(LiveDialogs, CueListListsMovesAndOneSelection) {
    CDCueList cues(doc);
    EXPECT_EQ(cues.windowTitle(), "CueList for Show");
    EXPECT_EQ(Texts(cues.SequencesList()), (std::vector<std::string>{"Finale", "intro", "Show"}));
    EXPECT_EQ(Texts(cues.TriggersList()), (std::vector<std::string>{"00:02:00.00 Bows"}));
    EXPECT_TRUE(cues.SequencesList()->item(0)->isSelected());

    cues.OnToDeck(); // Finale
    cues.OnToDeck(); // intro
    EXPECT_EQ(Texts(cues.DeckList()), (std::vector<std::string>{"Finale", "intro"}));
    EXPECT_TRUE(cues.SequencesList()->item(0)->isSelected());
    cues.OnToDeck(); // Show: the last one; the deck's first cue is selected
    EXPECT_EQ(cues.SequencesList()->count(), 0);
    EXPECT_TRUE(cues.DeckList()->item(0)->isSelected());

    // A list taking the focus clears the others' selection.
    cues.show();
    cues.TriggersList()->item(0)->setSelected(true);
    cues.TriggersList()->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(cues.DeckList()->selectedItems().isEmpty());

    // Back from the deck: sorted into Sequences.
    cues.DeckList()->setFocus();
    cues.DeckList()->setCurrentRow(1);
    cues.DeckList()->item(1)->setSelected(true);
    cues.OnFromDeck();
    EXPECT_EQ(Texts(cues.SequencesList()), (std::vector<std::string>{"intro"}));

    // Closing through the close box with cues on deck asks; Cancel keeps the dialog.
    ui.QueueAnswer(platform::MsgResult::Cancel);
    QCloseEvent close;
    QApplication::sendEvent(&cues, &close);
    EXPECT_FALSE(close.isAccepted());
    EXPECT_EQ(ui.boxes.back().text,
              "There are still Cues On-Deck! These will be returned to the regular sequence "
              "list if you exit now.");
    EXPECT_FALSE(doc.IsModified()) << "moves change nothing in the script";
}

TEST_F(LiveDialogs, FiringTakingBackAndLiveCommands) {
    CDCueList cues(doc);
    HandClock(cues);
    cues.OnToDeck(); // Finale, index 1 in the script
    cues.CurrentTimeEdit()->setText("00:01:30.10");
    cues.SendTriggersCheck()->setChecked(true);
    cues.DeckList()->setCurrentRow(0);
    cues.DeckList()->item(0)->setSelected(true);
    cues.OnFireCue();
    CSeq& finale = *doc.m_poSeqList[1];
    EXPECT_EQ(finale.m_nSmpteStartOn, 1);
    EXPECT_EQ(finale.m_anSmpteStart, (std::array<std::int32_t, 4>{0, 1, 30, 10}));
    EXPECT_EQ(Texts(cues.TriggersList()),
              (std::vector<std::string>{"00:01:30.10 Finale", "00:02:00.00 Bows"}));
    EXPECT_TRUE(doc.IsModified());
    auto requests = WaitFor(emulator, 1);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].message, (Bytes{24, 1}));
    EXPECT_EQ(requests[0].unit, 5);

    // Taken back: no trigger, on deck, to be compiled.
    finale.m_nNeedsCompile = 0;
    cues.TriggersList()->setCurrentRow(0);
    cues.TriggersList()->item(0)->setSelected(true);
    cues.OnUnfireCue();
    EXPECT_EQ(finale.m_nSmpteStartOn, 0);
    EXPECT_EQ(finale.m_nNeedsCompile, 1);
    EXPECT_EQ(Texts(cues.DeckList()), (std::vector<std::string>{"Finale"}));

    // Start Seq and Reset Seq over the dialog's open link.
    cues.SequencesList()->clearSelection();
    cues.TriggersList()->clearSelection();
    cues.DeckList()->setCurrentRow(0);
    cues.DeckList()->item(0)->setSelected(true);
    cues.OnStartSeq();
    cues.OnResetSeq();
    requests = WaitFor(emulator, 3);
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[1].message, (Bytes{24, 1}));
    EXPECT_EQ(requests[2].message, (Bytes{27, 1}));

    // Nothing selected anywhere: nothing happens. A non-time fires nothing.
    cues.DeckList()->clearSelection();
    EXPECT_EQ(cues.GetSelectedSequenceIndex(), -1);
    cues.OnStartSeq();
    cues.DeckList()->item(0)->setSelected(true);
    cues.CurrentTimeEdit()->setText("xx");
    cues.OnFireCue();
    EXPECT_EQ(ui.boxes.back().text, ClockDialog::kInvalidTime);
    EXPECT_EQ(finale.m_nSmpteStartOn, 0);
    EXPECT_EQ(WaitFor(emulator, 4).size(), 3u);
}

// F7 and a double click on the timeline run the selected events on the controller.
TEST_F(LiveDialogs, TimelineRunsItsSelectedEvents) {
    app.App().m_Download.serialBitMode = 0; // counted frames: any event body reads whole
    CSeq& show = *doc.m_poSeqList[2];
    for (const char* output : {"Output1", "Output2"}) {
        auto event = std::make_unique<CEvnt>();
        event->m_strTime = output[6] == '1' ? "00:01.00" : "00:09.00";
        event->m_strEvent = "On";
        event->m_strData1 = output;
        show.m_poEventList.push_back(std::move(event));
    }
    doc.m_posCurrentSeq = &show;
    testing_support::TestViewServices services;
    CVwTimeline timeline(doc, services);
    doc.AddView(&timeline);
    timeline.OnInitialUpdate();
    const auto centre = [&](int box) {
        const auto& r = timeline.Boxes()[std::size_t(box)].m_rcBox;
        return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    timeline.SetZoomLevel(4);
    timeline.OnLButtonDown(centre(1), {});
    timeline.OnLButtonUp(centre(1));
    timeline.OnCommand(vl_ids::kRunNow);
    auto requests = WaitFor(emulator, 1);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].message, CompiledBody(doc, {"On", {"Output2"}, ""}));
    EXPECT_EQ(requests[0].unit, 5);

    // A double click runs what its first click selected.
    timeline.OnLButtonDown(centre(0), {});
    timeline.OnLButtonUp(centre(0));
    timeline.OnLButtonDblClk(centre(0), {});
    requests = WaitFor(emulator, 2);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].message, CompiledBody(doc, {"On", {"Output1"}, ""}));
    doc.RemoveView(&timeline);
}

} // namespace
