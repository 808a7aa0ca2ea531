#include "script/dialog_requests.h"
#include "script/sequence.h"
#include "script/vl_doc.h"
#include "tests/support/app_fixture.h"
#include "tests/support/scripted_ui.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

void AddEvents(CSeq& seq, const std::vector<std::string>& times) {
    for (const auto& time : times) {
        auto event = std::make_unique<CEvnt>();
        event->m_strTime = time;
        seq.m_poEventList.push_back(std::move(event));
    }
}

std::vector<std::string> Times(const CSeq& seq) {
    std::vector<std::string> times;
    for (const auto& event : seq.m_poEventList)
        times.push_back(event->m_strTime);
    return times;
}

TEST(CSeq, Defaults) {
    CSeq seq("Default", 1);
    EXPECT_EQ(seq.m_strName, "Default");
    EXPECT_EQ(seq.m_wLevel, 1);
    EXPECT_EQ(seq.m_anWindowPos, (std::array<std::int32_t, 4>{-1, -1, -1, -1}));
    EXPECT_EQ(seq.m_strChaseStart, "00:00:00.00");
    EXPECT_EQ(seq.m_nNeedsCompile, 1);
    EXPECT_EQ(seq.m_awEventColWidths,
              (std::array<std::uint16_t, 9>{400, 2265, 2085, 3475, 2340, 2340, 2340, 2340, 7500}));
    EXPECT_TRUE(seq.m_poEventList.empty());
    for (const CTrigger& trigger : seq.m_aTriggers) {
        EXPECT_FALSE(trigger.IsSet());
        EXPECT_EQ(trigger.m_nGoesOn, 1);
        EXPECT_EQ(trigger.m_wCombine, 0);
        EXPECT_EQ(trigger.m_wComparison, 0);
    }
    EXPECT_EQ(CTrigger().m_nGoesOn, 0); // only a sequence's triggers start as "goes on"
}

TEST(CSeq, TriggerTexts) {
    struct Case {
        const char* io;
        int goesOn;
        std::uint16_t combine;
        const char* variable;
        std::uint16_t comparison;
        const char* value;
        const char* text; // as the stop trigger
    } cases[] = {
        {"", 1, 0, "", 0, "", "Stop: none"},
        {"Input1", 1, 0, "", 0, "", "Stop: Input1 goes on"},
        {"Input1", 0, 0, "", 0, "", "Stop: Input1 goes off"},
        {"", 1, 0, "Count", 1, "5", "Stop: Count neq 5"},
        {"", 1, 0, "Count", 1, "", "Stop: Count neq (var/literal missing)"},
        {"Flag2", 1, 0, "Count", 2, "Limit", "Stop: Flag2 goes on, and Count gt Limit"},
        {"Flag2", 0, 1, "Count", 5, "3", "Stop: Flag2 goes off, or Count le 3"},
        {"", 1, 0, "V", 0, "1", "Stop: V eq 1"},
        {"", 1, 0, "V", 3, "1", "Stop: V lt 1"},
        {"", 1, 0, "V", 4, "1", "Stop: V ge 1"},
        {"", 1, 0, "V", 99, "1", "Stop: V 1"},
    };
    for (const auto& c : cases) {
        CSeq seq("S", 1);
        CTrigger& t = seq.m_aTriggers[CSeq::Stop];
        t.m_strIoName = c.io;
        t.m_nGoesOn = c.goesOn;
        t.m_wCombine = c.combine;
        t.m_strVariable = c.variable;
        t.m_wComparison = c.comparison;
        t.m_strValue = c.value;
        EXPECT_EQ(seq.GetTriggerText(CSeq::Stop), c.text);
    }
    CSeq seq("S", 1);
    EXPECT_EQ(seq.GetTriggerText(0), "Start: none");
    EXPECT_EQ(seq.GetTriggerText(2), "Pause: none");
    EXPECT_EQ(seq.GetTriggerText(3), "Reset: none");
    EXPECT_EQ(seq.GetTriggerText(4), "");
    EXPECT_EQ(seq.GetTriggerText(-1), "");
}

TEST(CSeq, TimecodeTextSumsUpWhatIsSet) {
    CSeq seq("S", 1);
    EXPECT_EQ(seq.GetTimecodeText(), "");

    seq.m_aTriggers[CSeq::Start].m_strIoName = "Go";
    seq.m_nSmpteStartOn = 1;
    seq.m_anSmpteStart = {1, 2, 3, 4};
    seq.m_nChaseOn = 1;
    seq.m_anChaseStart = {10, 0, 59, 29};
    seq.m_aTriggers[CSeq::Reset].m_strVariable = "X";
    seq.m_aTriggers[CSeq::Reset].m_strValue = "0";
    EXPECT_EQ(seq.GetTimecodeText(), "Start: Go goes on; Timecode Trigger: 01:02:03.04 ; "
                                     "Timecode Chase: 10:00:59.29 ; Reset: X eq 0");

    CSeq only("S", 1);
    only.m_aTriggers[CSeq::Pause].m_strIoName = "In3";
    only.m_nSmpteStartOn = 2; // only 1 counts as on
    EXPECT_EQ(only.GetTimecodeText(), "Pause: In3 goes on");
}

TEST(CSeq, SortEventsByTime) {
    struct Case {
        std::vector<std::string> in, out;
    } cases[] = {
        {{"00:01.00", "00:05.00", "00:03.00", "00:04.00"},
         {"00:01.00", "00:03.00", "00:04.00", "00:05.00"}},
        {{"00:09.00", "00:02.00", "00:03.00"}, {"00:02.00", "00:03.00", "00:09.00"}},
        // Several out of place: the sort is complete.
        {{"00:05.00", "00:03.00", "00:02.00"}, {"00:02.00", "00:03.00", "00:05.00"}},
        {{"1:00", "0:30", "00:00.10", "45", "0"}, {"0", "00:00.10", "0:30", "45", "1:00"}},
        {{}, {}},
        {{"00:07.00"}, {"00:07.00"}},
    };
    for (const auto& c : cases) {
        CSeq seq("S", 1);
        AddEvents(seq, c.in);
        seq.SortEventsByTime(30);
        EXPECT_EQ(Times(seq), c.out);
    }
}

TEST(CSeq, SortKeepsEqualTimesInOrder) {
    CSeq seq("S", 1);
    // Equal in whole frames: 00:00.29 and 00:01.00 at 29.97 both truncate to 29 frames.
    AddEvents(seq, {"00:02.00", "00:00.29", "00:01.00", "00:00.29", "00:00.00"});
    for (std::size_t i = 0; i < seq.m_poEventList.size(); ++i)
        seq.m_poEventList[i]->m_strLabel = "L" + std::to_string(i);
    seq.SortEventsByTime(29.97);
    std::vector<std::string> labels;
    for (const auto& event : seq.m_poEventList)
        labels.push_back(event->m_strLabel);
    EXPECT_EQ(labels, (std::vector<std::string>{"L4", "L1", "L2", "L3", "L0"}));
}

TEST(CSeq, CheckEventOrder) {
    struct Case {
        std::vector<std::string> in;
        double rate;
        bool raise;
        bool result;
        std::vector<std::string> out;
    } cases[] = {
        {{"00:02.00", "00:01.00"}, 30, false, false, {"00:02.00", "00:01.00"}},
        {{"00:02.00", "00:01.00"}, 30, true, false, {"00:02.00", "00:02.00"}},
        {{"2", "3.5", "1:05"}, 25, false, true, {"2", "00:03.05", "01:05.00"}},
        {{"0:4", "00:00.45", "0:3"}, 30, true, false, {"0:4", "00:04.00", "00:04.00"}},
        {{"0:1", "00:00.45", "0:3"}, 30, false, true, {"0:1", "00:01.15", "00:03.00"}},
        {{"00:01.00"}, 30, true, true, {"00:01.00"}},
        {{}, 30, true, true, {}},
    };
    for (const auto& c : cases) {
        CSeq seq("S", 1);
        AddEvents(seq, c.in);
        EXPECT_EQ(seq.CheckEventOrder(c.rate, c.raise), c.result);
        EXPECT_EQ(Times(seq), c.out);
    }
}

TEST(CSeq, CheckEventOrderNeverMovesTimesAt2997) {
    const std::vector<std::string> times = {"00:00.00", "00:00.29", "00:01.00", "00:01.15",
                                            "00:59.29", "01:00.00", "10:00.01", "36:24.15"};
    CSeq seq("S", 1);
    AddEvents(seq, times);
    for (int round = 0; round < 5; ++round) {
        EXPECT_TRUE(seq.CheckEventOrder(29.97, true));
        EXPECT_EQ(Times(seq), times) << "round " << round;
    }

    // A raised time takes its predecessor's text exactly, and stays there.
    CSeq raised("S", 1);
    AddEvents(raised, {"00:00.00", "00:01.00", "00:00.10"});
    EXPECT_FALSE(raised.CheckEventOrder(29.97, true));
    EXPECT_EQ(Times(raised), (std::vector<std::string>{"00:00.00", "00:01.00", "00:01.00"}));
    EXPECT_TRUE(raised.CheckEventOrder(29.97, true));
    EXPECT_EQ(Times(raised), (std::vector<std::string>{"00:00.00", "00:01.00", "00:01.00"}));
}

TEST(CSeq, EditTriggerStoresTheDialogsChoiceOnOk) {
    testing_support::ScriptedUi ui;
    CSeq seq("S", 1);
    seq.m_nNeedsCompile = 0;
    seq.m_aTriggers[CSeq::Pause].m_nGoesOn = 0;
    seq.m_aTriggers[CSeq::Pause].m_wComparison = CTrigger::GT;
    testing_support::AppFixture app;
    CVLDoc script(app.App());
    script.SetModifiedFlag(false);
    CVLDoc* const document = &script;

    ui.QueueDialog([&](platform::DialogRequest& request) {
        auto* dialog = dynamic_cast<CSeqTriggerDlg*>(&request);
        EXPECT_NE(dialog, nullptr);
        if (!dialog)
            return false;
        EXPECT_EQ(dialog->document, document);
        EXPECT_EQ(dialog->sequence, &seq);
        EXPECT_EQ(dialog->triggerIndex, 2);
        EXPECT_EQ(dialog->combine, 0);
        EXPECT_EQ(dialog->comparison, CTrigger::GT);
        EXPECT_EQ(dialog->goesOff, 1);
        CTrigger& t = dialog->sequence->m_aTriggers[static_cast<std::size_t>(dialog->triggerIndex)];
        t.m_strIoName = "Input7";
        t.m_strVariable = "Laps";
        t.m_strValue = "3";
        dialog->combine = CTrigger::Or;
        dialog->comparison = CTrigger::GE;
        dialog->goesOff = 0;
        return true;
    });
    EXPECT_TRUE(seq.EditTrigger(document, CSeq::Pause));
    EXPECT_EQ(ui.dialogNames, (std::vector<std::string>{"CSeqTriggerDlg"}));
    EXPECT_EQ(seq.GetTriggerText(CSeq::Pause), "Pause: Input7 goes on, or Laps ge 3");
    EXPECT_EQ(seq.m_nNeedsCompile, 1);
    EXPECT_TRUE(script.IsModified()) << "the edited trigger must be saved";
}

TEST(CSeq, EditTriggerChangesNothingOnCancel) {
    testing_support::ScriptedUi ui;
    CSeq seq("S", 1);
    seq.m_nNeedsCompile = 0;
    ui.QueueDialog([](platform::DialogRequest& request) {
        auto& dialog = static_cast<CSeqTriggerDlg&>(request);
        dialog.combine = 1;
        dialog.comparison = 5;
        dialog.goesOff = 1;
        return false;
    });
    testing_support::AppFixture app;
    CVLDoc script(app.App());
    script.SetModifiedFlag(false);
    EXPECT_FALSE(seq.EditTrigger(&script, CSeq::Start));
    EXPECT_FALSE(script.IsModified());
    const CTrigger& t = seq.m_aTriggers[CSeq::Start];
    EXPECT_EQ(t.m_wCombine, 0);
    EXPECT_EQ(t.m_wComparison, 0);
    EXPECT_EQ(t.m_nGoesOn, 1);
    EXPECT_EQ(seq.m_nNeedsCompile, 0);

    // An index outside 0-3 opens no dialog.
    EXPECT_FALSE(seq.EditTrigger(nullptr, 4));
    EXPECT_FALSE(seq.EditTrigger(nullptr, -1));
    EXPECT_EQ(ui.dialogNames.size(), 1u);
}

} // namespace
