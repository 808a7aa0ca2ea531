// The sequence sections: the three section forms, the keys of a sequence, its triggers and the
// event rows.
#include "script/script_file.h"
#include "tests/script/ksf_test_support.h"

#include <gtest/gtest.h>

namespace {

using ksf_test::Crlf;
using ksf_test::KsfTest;

const std::string kHead = "[Unit]\nFileFormat=1.0\nType=Harnel16\nAddress=1\nFrameRate=25\n"
                          "ClockSource=Processor\n[Inputs]\n[Outputs]\n[Flags]\n[Vars]\n[Ports]\n"
                          "[DataStrings]\n[LcdStrings]\n";

struct Row {
    std::string skip, label, time, event, d1, d2, d3, d4, comment;
};

Row RowOf(const CEvnt& e) {
    return {e.m_strSkip,  e.m_strLabel, e.m_strTime,  e.m_strEvent,  e.m_strData1,
            e.m_strData2, e.m_strData3, e.m_strData4, e.m_strComment};
}

void ExpectRow(const Row& expected, const Row& actual) {
    EXPECT_EQ(actual.skip, expected.skip);
    EXPECT_EQ(actual.label, expected.label);
    EXPECT_EQ(actual.time, expected.time);
    EXPECT_EQ(actual.event, expected.event);
    EXPECT_EQ(actual.d1, expected.d1);
    EXPECT_EQ(actual.d2, expected.d2);
    EXPECT_EQ(actual.d3, expected.d3);
    EXPECT_EQ(actual.d4, expected.d4);
    EXPECT_EQ(actual.comment, expected.comment);
}

TEST_F(KsfTest, EventRows) {
    struct Case {
        std::string line;
        Row row;
    } cases[] = {
        {" Lbl 00:01.00 Nop a b c d ;note",
         {"", "Lbl", "00:01.00", "Nop", "a", "b", "c", "d ", "note"}},
        {"         00:01.00 Nop", {"", "", "00:01.00", "Nop", "", "", "", "", ""}},
        // A label that begins with a digit is taken for the time; the fields move right.
        {" 12ab 00:01.00 Nop", {"", "", "12ab", "00:01.00", "Nop", "", "", "", ""}},
        {"*Skip 00:00.00 Nop", {"*", "Skip", "00:00.00", "Nop", "", "", "", "", ""}},
        {"*  00:00.00 Nop", {"*", "", "00:00.00", "Nop", "", "", "", "", ""}},
        {" OnlyLabel", {"", "OnlyLabel", "", "", "", "", "", "", ""}},
        {" L 1 E \"a b;c\" \"d e\" f g  h\t i  ;x ; y",
         {"", "L", "1", "E", "\"a b;c\"", "\"d e\"", "f", "g  h  i  ", "x ; y"}},
        {" L 1 E a b c \"d;e\" ;x", {"", "L", "1", "E", "a", "b", "c", "\"d;e\" ", "x"}},
        {" La;bel 1 E", {"", "La", "", "", "", "", "", "", "bel 1 E"}},
        {" L 1 E da;ta", {"", "L", "1", "E", "da", "", "", "", "ta"}},
        {" L[x] 1 E", {"", "Lx]", "1", "E", "", "", "", "", ""}},
        {" L 1 E d[1]", {"", "L", "1", "E", "d[1]", "", "", "", ""}},
        {" \"Q L\" 1", {"", "\"Q", "L\"", "1", "", "", "", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        auto doc = Load(Crlf(kHead + "[Sequence: A]\nEvents=Standard\n" + c.line + "\n"));
        ASSERT_EQ(doc->m_poSeqList.size(), 1u);
        ASSERT_EQ(doc->m_poSeqList[0]->m_poEventList.size(), 1u);
        ExpectRow(c.row, RowOf(*doc->m_poSeqList[0]->m_poEventList[0]));
    }
}

TEST_F(KsfTest, RowsThatAddNothingAndTheEndOfTheSection) {
    auto doc = Load(Crlf(kHead + "[Sequence: A]\nEvents=Standard\n"
                                 "\n"
                                 ";Label Time Event\n"
                                 ";----- ----\n"
                                 "   \t \n"
                                 " One 00:00.00 Nop\n"
                                 "  [Sequence: B]\n"
                                 "Events=Standard\n"
                                 " Two 00:00.00 Nop\n"
                                 " Three 00:00.00 Nop"));
    ASSERT_EQ(doc->m_poSeqList.size(), 2u);
    ASSERT_EQ(doc->m_poSeqList[0]->m_poEventList.size(), 1u);
    EXPECT_EQ(doc->m_poSeqList[0]->m_poEventList[0]->m_strLabel, "One");
    // The last row counts also without its line end.
    ASSERT_EQ(doc->m_poSeqList[1]->m_poEventList.size(), 2u);
    EXPECT_EQ(doc->m_poSeqList[1]->m_poEventList[1]->m_strLabel, "Three");
}

TEST_F(KsfTest, SequenceKeys) {
    auto doc = Load(Crlf(kHead + "[Sequence: Keys]\n"
                                 "Description=  Runs; twice \n"
                                 "AutoStart=enabled\n"
                                 "Looping=Yes\n"
                                 "FreezeWhileWaiting=ENABLED\n"
                                 "RestartLockout=12\n"
                                 "EventsWindowPosition=1, 2\n"
                                 "EventsWindowMaximized=true\n"
                                 "EventColWidths=0, 100, , 300\n"
                                 "SmpteStartTrigger=1:2\n"
                                 "TimecodeChaseStart=10:20:30.40\n"
                                 "ChaseMode=jamsync\n"
                                 "Events=Standard\n"
                                 "Level=4\n" // below Events: an event row, no key
                                 "[Sequence: Other]\n"
                                 "Restart=Enabled\nRestartLockout=7\nLevel=6\nChaseMode=JamSync\n"
                                 "TimecodeChaseStart=1:2:x\n"
                                 "Events=Standard\n"));
    ASSERT_EQ(doc->m_poSeqList.size(), 2u);
    const CSeq& a = *doc->m_poSeqList[0];
    EXPECT_EQ(a.m_strName, "Keys");
    EXPECT_EQ(a.m_strDescription, "Runs; twice ");
    EXPECT_EQ(a.m_nAutoStart, 1);
    EXPECT_EQ(a.m_nLooping, 0);
    EXPECT_EQ(a.m_nFreezeWhileWaiting, 1);
    EXPECT_EQ(a.m_nRestart, 0);
    EXPECT_EQ(a.m_wRestartLockout, 0); // read only with Restart on
    EXPECT_EQ(a.m_wLevel, 1);
    EXPECT_EQ(a.m_anWindowPos, (std::array<std::int32_t, 4>{1, 2, -1, -1}));
    EXPECT_EQ(a.m_nMaximized, 1);
    EXPECT_EQ(a.m_nMinimized, 0);
    EXPECT_EQ(a.m_awEventColWidths[0], 400);
    EXPECT_EQ(a.m_awEventColWidths[1], 100);
    EXPECT_EQ(a.m_awEventColWidths[2], 2085);
    EXPECT_EQ(a.m_awEventColWidths[3], 300);
    EXPECT_EQ(a.m_nSmpteStartOn, 1);
    EXPECT_EQ(a.m_anSmpteStart, (std::array<std::int32_t, 4>{1, 2, 0, 0}));
    EXPECT_EQ(a.m_nChaseOn, 1);
    EXPECT_EQ(a.m_anChaseStart, (std::array<std::int32_t, 4>{10, 20, 30, 40}));
    EXPECT_EQ(a.m_nChaseMode, 0); // only "JamSync" with its case
    ASSERT_EQ(a.m_poEventList.size(), 1u);
    EXPECT_EQ(a.m_poEventList[0]->m_strLabel, "Level=4");

    const CSeq& b = *doc->m_poSeqList[1];
    EXPECT_EQ(b.m_nRestart, 1);
    EXPECT_EQ(b.m_wRestartLockout, 7);
    EXPECT_EQ(b.m_wLevel, 6);
    EXPECT_EQ(b.m_nChaseMode, 1);
    EXPECT_EQ(b.m_anChaseStart, (std::array<std::int32_t, 4>{1, 2, 0, 0}));
    EXPECT_EQ(b.m_nSmpteStartOn, 0);
    EXPECT_TRUE(b.m_poEventList.empty());
}

// Numbers beyond their range are taken to its nearer end, never wrapped to 16 bits.
TEST_F(KsfTest, SequenceNumbersStayInTheirRange) {
    auto doc = Load(Crlf(kHead + "[Sequence: Low]\nLevel=-1\nRestart=Enabled\nRestartLockout=-5\n"
                                 "EventColWidths=-1, 70000, 500\nEvents=Standard\n"
                                 "[Sequence: High]\nLevel=99\nRestart=Enabled\n"
                                 "RestartLockout=100000\nEvents=Standard\n"));
    ASSERT_EQ(doc->m_poSeqList.size(), 2u);
    const CSeq& low = *doc->m_poSeqList[0];
    EXPECT_EQ(low.m_wLevel, 1);
    EXPECT_EQ(low.m_wRestartLockout, 0);
    EXPECT_EQ(low.m_awEventColWidths[0], CSeq("", 1).m_awEventColWidths[0]); // the default
    EXPECT_EQ(low.m_awEventColWidths[1], 65535);
    EXPECT_EQ(low.m_awEventColWidths[2], 500);
    const CSeq& high = *doc->m_poSeqList[1];
    EXPECT_EQ(high.m_wLevel, 6);
    EXPECT_EQ(high.m_wRestartLockout, 65535);
}

TEST_F(KsfTest, Triggers) {
    struct Case {
        std::string text;
        std::string io;
        std::int32_t goesOn;
        std::uint16_t combine;
        std::string variable;
        std::uint16_t comparison;
        std::string value;
    } cases[] = {
        {"In1 GOES ON", "In1", 1, 0, "", 0, ""},
        {"In1 GOES OFF, OR Var1 LT 7", "In1", 0, 1, "Var1", 3, "7"},
        {"In1 GOES ON, AND Var1 NE x", "In1", 1, 0, "Var1", 1, "x"},
        {"Var1 GE 10", "", 1, 0, "Var1", 4, "10"},
        {"Var1 le 10", "", 1, 0, "Var1", 5, "10"},
        {"in1 goes off", "in1", 0, 0, "", 0, ""},
        // A second ON and a second comparison are passed over.
        {"In1 ON OFF", "In1", 1, 0, "", 0, ""},
        {"V1 EQ 1 V2 NE 2", "", 1, 0, "V1", 0, "1"},
        // Commas are dropped wherever they stand: "ON,OR" is one word, neither ON nor OR.
        {"In,1 GOES ON,OR V GT 3", "", 1, 0, "In1", 2, "3"},
        {"\tIn1\t\tGOES  ON ,  OR  V  GT  3", "In1", 1, 1, "V", 2, "3"},
        // Trailing separators hand over an empty word: the value becomes empty.
        {"V EQ  ", "", 1, 0, "V", 0, ""},
        {"Lonely", "", 1, 0, "", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        auto doc = NewDoc();
        CSeq seq("S", 1);
        for (int index = 0; index < 4; ++index) {
            EXPECT_TRUE(ScriptFileReader(*doc).ParseTrigger(seq, index, c.text));
            const CTrigger& t = seq.m_aTriggers[index];
            EXPECT_EQ(t.m_strIoName, c.io);
            EXPECT_EQ(t.m_nGoesOn, c.goesOn);
            EXPECT_EQ(t.m_wCombine, c.combine);
            EXPECT_EQ(t.m_strVariable, c.variable);
            EXPECT_EQ(t.m_wComparison, c.comparison);
            EXPECT_EQ(t.m_strValue, c.value);
        }
    }
    // The trigger keys of a section reach their own triggers.
    auto doc = Load(Crlf(kHead + "[Sequence: T]\nStartTrigger=A GOES ON\nStopTrigger=B GOES ON\n"
                                 "PauseTrigger=C GOES ON\nResetTrigger=D GOES ON\nEvents=x\n"));
    const CSeq& t = *doc->m_poSeqList[0];
    EXPECT_EQ(t.m_aTriggers[0].m_strIoName, "A");
    EXPECT_EQ(t.m_aTriggers[1].m_strIoName, "B");
    EXPECT_EQ(t.m_aTriggers[2].m_strIoName, "C");
    EXPECT_EQ(t.m_aTriggers[3].m_strIoName, "D");
}

TEST_F(KsfTest, OlderFormsWithSeparateEventSections) {
    for (const char* word : {"SequenceProperties", "SequenceSetup"}) {
        SCOPED_TRACE(word);
        const std::string w = word;
        // Al's rows come after Alpha's, whose name Al begins; B has no rows at all; C follows.
        const std::string text = kHead + "[" + w + ": Al]\nLooping=Enabled\n" + "[" + w +
                                 ": Alpha]\n" + "[SequenceEvents: Alpha]\n 00:00.00 AlphaRow\n" +
                                 "[SequenceEvents: Al]\n 00:00.00 AlRow\n 00:01.00 AlRow2\n" + "[" +
                                 w + ": B]\n" + "[" + w + ": C]\nLevel=2\n" +
                                 "[SequenceEvents: C]\n*X 00:00.00 CRow\n";
        ui.Clear();
        auto doc = Load(Crlf(text));
        EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Did not find [SequenceEvents:B] section"});
        ASSERT_EQ(doc->m_poSeqList.size(), 4u);
        const auto& seqs = doc->m_poSeqList;
        EXPECT_EQ(seqs[0]->m_strName, "Al");
        EXPECT_EQ(seqs[0]->m_nLooping, 1);
        ASSERT_EQ(seqs[0]->m_poEventList.size(), 2u);
        EXPECT_EQ(seqs[0]->m_poEventList[0]->m_strEvent, "AlRow");
        EXPECT_EQ(seqs[1]->m_strName, "Alpha");
        ASSERT_EQ(seqs[1]->m_poEventList.size(), 1u);
        EXPECT_EQ(seqs[1]->m_poEventList[0]->m_strEvent, "AlphaRow");
        EXPECT_EQ(seqs[2]->m_strName, "B");
        EXPECT_TRUE(seqs[2]->m_poEventList.empty());
        EXPECT_EQ(seqs[3]->m_strName, "C");
        EXPECT_EQ(seqs[3]->m_wLevel, 2);
        ASSERT_EQ(seqs[3]->m_poEventList.size(), 1u);
        EXPECT_EQ(seqs[3]->m_poEventList[0]->m_strSkip, "*");
    }

    // An events section before its options section is not found.
    ui.Clear();
    auto doc = Load(Crlf(kHead + "[SequenceEvents: A]\n 00:00.00 Nop\n[SequenceSetup: A]\n"));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Did not find [SequenceEvents:A] section"});
    ASSERT_EQ(doc->m_poSeqList.size(), 1u);
    EXPECT_TRUE(doc->m_poSeqList[0]->m_poEventList.empty());
}

TEST_F(KsfTest, CurrentFormWithoutEventsKeyGoesOn) {
    auto doc = Load(Crlf(kHead + "[Sequence: A]\nLooping=Enabled\n 00:00.00 NotARow\n"
                                 "[Sequence: B]\nEvents=Standard\n 00:00.00 Row\n"));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"No events found for sequence A"});
    ASSERT_EQ(doc->m_poSeqList.size(), 2u);
    EXPECT_TRUE(doc->m_poSeqList[0]->m_poEventList.empty());
    EXPECT_EQ(doc->m_poSeqList[1]->m_poEventList.size(), 1u);
}

TEST_F(KsfTest, SequenceNames) {
    struct Case {
        std::string header;
        std::string name;
    } cases[] = {
        {"[Sequence: X]", "X"},
        {"[Sequence: ]", ""},
        {"[Sequence:]", ""},
        {"[SEQUENCE: Upper]", "Upper"},
        {"[Sequence->Odd Name]", "Odd Name"},
        {"[Sequence: A\xE9]", "A\xE9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        auto doc = Load(Crlf(kHead + c.header + "\nEvents=Standard\n"));
        ASSERT_EQ(doc->m_poSeqList.size(), 1u);
        EXPECT_EQ(doc->m_poSeqList[0]->m_strName, c.name);
    }
}

} // namespace
