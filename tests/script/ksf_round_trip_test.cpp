// Opening and saving a script the program wrote gives the same file, byte for byte, and the
// same model.
#include "tests/script/ksf_test_support.h"

#include <gtest/gtest.h>

namespace {

using ksf_test::KsfTest;
using ksf_test::Save;

std::unique_ptr<CEvnt> Event(std::string label, std::string time, std::string name,
                             std::string d1 = "", std::string d2 = "", std::string d3 = "",
                             std::string d4 = "", std::string comment = "", bool skip = false) {
    auto e = std::make_unique<CEvnt>();
    e->m_strSkip = skip ? "*" : "";
    e->m_strLabel = std::move(label);
    e->m_strTime = std::move(time);
    e->m_strEvent = std::move(name);
    e->m_strData1 = std::move(d1);
    e->m_strData2 = std::move(d2);
    e->m_strData3 = std::move(d3);
    e->m_strData4 = std::move(d4);
    e->m_strComment = std::move(comment);
    return e;
}

// A script that uses every section and every kind of value the writer knows.
void FillRichScript(CVLDoc& doc) {
    doc.m_strDescription = "First line~Second line; with a semicolon";
    doc.m_strVersion = "2.3b";
    doc.m_strAuthor1 = "Ana Quill";
    doc.m_strAuthor3 = "Third \xE9"
                       "crivain";
    doc.m_nWriteProtected = 1;
    doc.m_wAddress = 17;
    doc.m_wFrameRate = 2;
    doc.m_wClockSource = 1;
    doc.m_strExternalFrequency = "59.94";
    doc.m_nOptimization = 1;
    doc.m_nMessages = 0;
    doc.m_nErrorDetection = 1;
    doc.m_nViewTimeLine = 1;
    doc.m_anWindowPos[CVLDoc::kWinInput] = {10, 20, 300, 400};
    doc.m_anMaximized[CVLDoc::kWinInput] = 1;
    doc.m_anWindowPos[CVLDoc::kWinSequenceList] = {0, 0, 640, 480};
    doc.m_anMinimized[CVLDoc::kWinSequenceList] = 1;
    doc.m_anWindowPos[CVLDoc::kWinCompileError] = {5, 6, 7, 8};
    doc.m_anWindowPos[CVLDoc::kWinXRef] = {1, 2, 3, 4};
    doc.m_anMaximized[CVLDoc::kWinXRef] = 1;
    doc.m_awColWidths[CVLDoc::kColPort.first + 2] = 1234;
    doc.m_awColWidths[CVLDoc::kColXRef.first + 7] = 99;

    CProduct& p = *doc.m_pProduct;
    p.m_Inputs[0].m_strName = "Door_Sensor";
    p.m_Inputs[0].m_strComment = " front door, left";
    p.m_Inputs[5].m_strName = "Go";
    p.m_Inputs[9].m_strComment = "only a comment";
    p.m_Inputs[9].m_strName = "";
    p.m_Outputs[127].m_strName = "Last_Output";
    p.m_Flags[3].m_strName = "Show\xB0Running";
    p.m_Vars[0].m_strName = "Counter";
    p.m_Vars[0].m_strComment = "counts loops";
    p.m_Ports[1].m_strName = "Projector";
    p.m_Ports[1].m_strProtocol = "Brevant_Pelvane_2";
    p.m_Ports[1].m_strBaudRate = "19200";
    p.m_Ports[1].m_strErrorSequence = "OnError";
    p.m_Ports[1].m_strComment = "left stage";
    p.m_Ports[2].m_strComment = "spare";
    p.m_Ports[3].m_strErrorSequence = "Recover";
    p.m_Ports[3].m_strStopBits = "2";

    doc.m_poDataStrList.push_back(
        std::make_unique<CDataStr>("Greeting", "\"Hello; world\" and more", "shown first"));
    doc.m_poDataStrList.push_back(std::make_unique<CDataStr>("", "unnamed", ""));
    doc.m_poDataStrList.push_back(
        std::make_unique<CDataStr>("Long", std::string(900, 'x') + " tail \xFC", "a long one"));
    doc.m_poLcdStrList.push_back(std::make_unique<CLcdStr>("Line1", "Welcome", ""));
    doc.m_poLcdStrList.push_back(std::make_unique<CLcdStr>("Line2", "Bienvenue \xE0 tous", "fr"));

    doc.m_poSeqList.clear();
    auto main = std::make_unique<CSeq>("Main_Show", 1);
    main->m_strDescription = "The main show; runs at start";
    main->m_nAutoStart = 1;
    main->m_nLooping = 1;
    main->m_nRestart = 1;
    main->m_wRestartLockout = 30;
    main->m_nSmpteStartOn = 1;
    main->m_anSmpteStart = {1, 2, 3, 4};
    main->m_nChaseOn = 1;
    main->m_anChaseStart = {0, 59, 59, 29};
    main->m_nChaseMode = 1;
    main->m_anWindowPos = {11, 22, 333, 444};
    main->m_nMaximized = 1;
    main->m_awEventColWidths[4] = 4000;
    main->m_aTriggers[CSeq::Start].m_strIoName = "Go";
    main->m_aTriggers[CSeq::Start].m_strVariable = "Counter";
    main->m_aTriggers[CSeq::Start].m_wComparison = CTrigger::GE;
    main->m_aTriggers[CSeq::Start].m_strValue = "5";
    main->m_aTriggers[CSeq::Stop].m_strIoName = "Door_Sensor";
    main->m_aTriggers[CSeq::Stop].m_nGoesOn = 0;
    main->m_aTriggers[CSeq::Pause].m_strVariable = "Counter";
    main->m_aTriggers[CSeq::Pause].m_wComparison = CTrigger::NE;
    main->m_aTriggers[CSeq::Pause].m_strValue = "0";
    main->m_aTriggers[CSeq::Reset].m_strIoName = "Go";
    main->m_aTriggers[CSeq::Reset].m_wCombine = CTrigger::Or;
    main->m_aTriggers[CSeq::Reset].m_strVariable = "Counter";
    main->m_aTriggers[CSeq::Reset].m_wComparison = CTrigger::LT;
    main->m_aTriggers[CSeq::Reset].m_strValue = "2";
    auto& ev = main->m_poEventList;
    ev.push_back(Event("Top", "00:00.00", "SetOutput", "Last_Output", "On"));
    ev.push_back(Event("", "00:01.15", "SendString", "Projector", "Greeting", "", "", "say hi"));
    ev.push_back(Event("Skipped", "00:02.00", "Nop", "", "", "", "", "", true));
    ev.push_back(Event("", "00:03.00", "SendData", "\"quoted; text here\"", "x", "y",
                       "several  words  of data4", "trailing comment ; with semicolon"));
    ev.push_back(Event("Lbl\xE4", "01:00.00", "Goto", "Top", "", "", "", "back \xB5"));
    ev.push_back(Event("", "01:00.01", "Nop", "a", "b", "c", "d"));
    doc.m_poSeqList.push_back(std::move(main));

    auto second = std::make_unique<CSeq>("X", 3);
    second->m_nFreezeWhileWaiting = 1;
    second->m_wRestartLockout = 0;
    second->m_nMinimized = 1;
    second->m_poEventList.push_back(Event("Only", "00:00.00", "Nop"));
    doc.m_poSeqList.push_back(std::move(second));

    doc.m_poSeqList.push_back(std::make_unique<CSeq>("Empty_Sequence", 2));
}

TEST_F(KsfTest, RichScriptSavesOpensAndSavesIdentically) {
    auto doc = NewDoc();
    FillRichScript(*doc);
    const std::string first = Save(*doc);
    // Data strings without a name get theirs for good.
    EXPECT_EQ(doc->m_poDataStrList[1]->m_strName, "datastring2");

    ui.Clear();
    auto reread = Load(first);
    EXPECT_TRUE(ui.Texts().empty()) << ui.Texts().front();
    EXPECT_TRUE(ksf_test::SameText(first, Save(*reread)));

    // The model came back.
    EXPECT_EQ(reread->m_strDescription, doc->m_strDescription);
    EXPECT_EQ(reread->m_strAuthor3, "Third \xE9"
                                    "crivain");
    EXPECT_EQ(reread->m_nWriteProtected, 1);
    EXPECT_EQ(reread->m_wAddress, 17);
    EXPECT_EQ(reread->m_wFrameRate, 2);
    EXPECT_EQ(reread->m_wClockSource, 1);
    EXPECT_EQ(reread->m_strExternalFrequency, "59.94");
    EXPECT_EQ(reread->m_nOptimization, 1);
    EXPECT_EQ(reread->m_nMessages, 0);
    EXPECT_EQ(reread->m_nErrorDetection, 1);
    EXPECT_EQ(reread->m_anWindowPos, doc->m_anWindowPos);
    EXPECT_EQ(reread->m_anMaximized, doc->m_anMaximized);
    EXPECT_EQ(reread->m_anMinimized, doc->m_anMinimized);
    EXPECT_EQ(reread->m_awColWidths, doc->m_awColWidths);
    EXPECT_EQ(reread->m_nViewTimeLine, 1);

    const CProduct& p = *reread->m_pProduct;
    EXPECT_EQ(p.m_Inputs[0].m_strName, "Door_Sensor");
    EXPECT_EQ(p.m_Inputs[0].m_strComment, " front door, left");
    EXPECT_EQ(p.m_Inputs[9].m_strName, "");
    EXPECT_EQ(p.m_Inputs[9].m_strComment, "only a comment");
    EXPECT_EQ(p.m_Flags[3].m_strName, "Show\xB0Running");
    EXPECT_EQ(p.m_Ports[1].m_strProtocol, "Brevant_Pelvane_2");
    EXPECT_EQ(p.m_Ports[1].m_strErrorSequence, "OnError");
    EXPECT_EQ(p.m_Ports[1].m_strComment, "left stage");
    EXPECT_EQ(p.m_Ports[3].m_strStopBits, "2");

    ASSERT_EQ(reread->m_poDataStrList.size(), 3u);
    EXPECT_EQ(reread->m_poDataStrList[0]->m_strData, "\"Hello; world\" and more");
    EXPECT_EQ(reread->m_poDataStrList[2]->m_strData, doc->m_poDataStrList[2]->m_strData);
    EXPECT_EQ(reread->m_poLcdStrList[1]->m_strComment, "fr");

    ASSERT_EQ(reread->m_poSeqList.size(), 3u);
    const CSeq& main = *reread->m_poSeqList[0];
    EXPECT_EQ(main.m_strName, "Main_Show");
    EXPECT_EQ(main.m_strDescription, "The main show; runs at start");
    EXPECT_EQ(main.m_wRestartLockout, 30);
    EXPECT_EQ(main.m_anSmpteStart, (std::array<std::int32_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(main.m_anChaseStart, (std::array<std::int32_t, 4>{0, 59, 59, 29}));
    EXPECT_EQ(main.m_nChaseMode, 1);
    EXPECT_EQ(main.m_anWindowPos, (std::array<std::int32_t, 4>{11, 22, 333, 444}));
    EXPECT_EQ(main.m_awEventColWidths[4], 4000);
    for (int t = 0; t < 4; ++t) {
        const CTrigger& a = doc->m_poSeqList[0]->m_aTriggers[t];
        const CTrigger& b = main.m_aTriggers[t];
        EXPECT_EQ(b.m_strIoName, a.m_strIoName) << t;
        EXPECT_EQ(b.m_nGoesOn, a.m_nGoesOn) << t;
        EXPECT_EQ(b.m_wCombine, a.m_wCombine) << t;
        EXPECT_EQ(b.m_strVariable, a.m_strVariable) << t;
        EXPECT_EQ(b.m_wComparison, a.m_wComparison) << t;
        EXPECT_EQ(b.m_strValue, a.m_strValue) << t;
    }
    ASSERT_EQ(main.m_poEventList.size(), 6u);
    const CEvnt& quoted = *main.m_poEventList[3];
    EXPECT_EQ(quoted.m_strData1, "\"quoted; text here\"");
    EXPECT_EQ(quoted.m_strData4.substr(0, 24), "several  words  of data4");
    EXPECT_EQ(quoted.m_strComment, "trailing comment ; with semicolon");
    EXPECT_EQ(main.m_poEventList[2]->m_strSkip, "*");
    EXPECT_EQ(main.m_poEventList[2]->m_strLabel, "Skipped");
    EXPECT_EQ(main.m_poEventList[4]->m_strLabel, "Lbl\xE4");
    EXPECT_EQ(main.m_poEventList[4]->m_strComment, "back \xB5");
    EXPECT_EQ(reread->m_poSeqList[1]->m_strName, "X");
    EXPECT_EQ(reread->m_poSeqList[1]->m_wLevel, 3);
    EXPECT_EQ(reread->m_poSeqList[1]->m_nMinimized, 1);
    EXPECT_TRUE(reread->m_poSeqList[2]->m_poEventList.empty());
}

TEST_F(KsfTest, RoundTripOverProductsAndSettings) {
    struct Case {
        const char* product;
        bool headers;
        std::int32_t serialPort;
    } cases[] = {{"Harnel16", false, 0},
                 {"Harnel4", true, 9},
                 {"Harnel2", false, 3},
                 {"CD Pellucor", true, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.product);
        app.App().m_nSerialPort = c.serialPort;
        auto doc = NewDoc(c.product);
        FillRichScript(*doc);
        doc->m_nWriteHeaders = c.headers ? 1 : 0;
        doc->m_wClockSource = 0;
        doc->m_wFrameRate = 0;
        const std::string first = Save(*doc);
        ui.Clear();
        auto reread = Load(first);
        EXPECT_TRUE(ksf_test::SameText(first, Save(*reread)));
        EXPECT_EQ(reread->m_nWriteHeaders, c.headers ? 1 : 0);
        EXPECT_EQ(reread->m_pProduct->m_strName, c.product);
    }
}

TEST_F(KsfTest, FixtureFileOpensAndSavesIdentically) {
    // Written by the program: every section, [Smpte] among them, both older comment blocks.
    for (const char* name : {"full_form.ksf", "scsi_ports.ksf"}) {
        SCOPED_TRACE(name);
        const std::string text = ksf_test::ReadDataFile(name);
        ASSERT_FALSE(text.empty());
        auto doc = Load(text);
        EXPECT_TRUE(ksf_test::SameText(text, Save(*doc)));
    }
}

TEST_F(KsfTest, LargeScriptRoundTrip) {
    auto doc = NewDoc();
    doc->m_poSeqList.clear();
    for (int s = 0; s < 40; ++s) {
        auto seq = std::make_unique<CSeq>("Seq" + std::to_string(s), 1);
        for (int e = 0; e < 50; ++e)
            seq->m_poEventList.push_back(Event(e % 7 ? "" : "L" + std::to_string(e), "00:01.00",
                                               "SetOutput", "Output" + std::to_string(e % 9 + 1),
                                               "On", "", "", e % 3 ? "" : "note"));
        doc->m_poSeqList.push_back(std::move(seq));
    }
    const std::string first = Save(*doc);
    auto reread = Load(first);
    ASSERT_EQ(reread->m_poSeqList.size(), 40u);
    EXPECT_EQ(reread->m_poSeqList[39]->m_poEventList.size(), 50u);
    EXPECT_TRUE(ksf_test::SameText(first, Save(*reread)));
}

} // namespace

namespace {

// The parts of a script that a value must never change: the sequences, their names and the
// number of events of each, and the strings.
struct Structure {
    std::vector<std::string> names;
    std::vector<std::size_t> events;
    std::size_t dataStrings = 0;
    std::size_t lcdStrings = 0;
    bool operator==(const Structure&) const = default;
};

Structure StructureOf(const CVLDoc& doc) {
    Structure s;
    for (const auto& seq : doc.m_poSeqList) {
        s.names.push_back(seq->m_strName);
        s.events.push_back(seq->m_poEventList.size());
    }
    s.dataStrings = doc.m_poDataStrList.size();
    s.lcdStrings = doc.m_poLcdStrList.size();
    return s;
}

} // namespace

// Whatever way a line break reaches a value, the writer keeps it on its line: every text field
// given a CR, an LF, a CR LF or a header-like line writes the same file as the text with
// blanks in their place, and the script reads back with the same structure.
TEST_F(KsfTest, NoValueSplitsItsLineOrStartsASection) {
    using Setter = void (*)(CVLDoc&, const std::string&);
    const struct {
        const char* field;
        Setter set;
    } fields[] = {
        {"script description", [](CVLDoc& d, const std::string& t) { d.m_strDescription = t; }},
        {"input name",
         [](CVLDoc& d, const std::string& t) { d.m_pProduct->m_Inputs[0].m_strName = t; }},
        {"input comment",
         [](CVLDoc& d, const std::string& t) { d.m_pProduct->m_Inputs[0].m_strComment = t; }},
        {"port comment",
         [](CVLDoc& d, const std::string& t) { d.m_pProduct->m_Ports[1].m_strComment = t; }},
        {"data string name",
         [](CVLDoc& d, const std::string& t) { d.m_poDataStrList[0]->m_strName = t; }},
        {"data string data",
         [](CVLDoc& d, const std::string& t) { d.m_poDataStrList[0]->m_strData = t; }},
        {"lcd string comment",
         [](CVLDoc& d, const std::string& t) { d.m_poLcdStrList[1]->m_strComment = t; }},
        {"sequence name", [](CVLDoc& d, const std::string& t) { d.m_poSeqList[0]->m_strName = t; }},
        {"sequence description",
         [](CVLDoc& d, const std::string& t) { d.m_poSeqList[0]->m_strDescription = t; }},
        {"trigger value",
         [](CVLDoc& d, const std::string& t) { d.m_poSeqList[0]->m_aTriggers[0].m_strValue = t; }},
        {"event label",
         [](CVLDoc& d, const std::string& t) {
             d.m_poSeqList[0]->m_poEventList[1]->m_strLabel = t;
         }},
        {"event time",
         [](CVLDoc& d, const std::string& t) {
             d.m_poSeqList[0]->m_poEventList[1]->m_strTime = t;
         }},
        {"event name",
         [](CVLDoc& d, const std::string& t) {
             d.m_poSeqList[0]->m_poEventList[1]->m_strEvent = t;
         }},
        {"event data1",
         [](CVLDoc& d, const std::string& t) {
             d.m_poSeqList[0]->m_poEventList[1]->m_strData1 = t;
         }},
        {"event data4",
         [](CVLDoc& d, const std::string& t) {
             d.m_poSeqList[0]->m_poEventList[1]->m_strData4 = t;
         }},
        {"event comment",
         [](CVLDoc& d, const std::string& t) {
             d.m_poSeqList[0]->m_poEventList[1]->m_strComment = t;
         }},
    };
    const char* const texts[] = {
        "note\r 00:00.00 Nop",
        "note\n 00:00.00 Nop",
        "note\r\n 00:09.00 Nop\r\n[Sequence: Injected]\r\n 00:00.00 Nop",
        "\"quoted\r\n[Sequence: Injected]\"",
    };
    for (const auto& f : fields) {
        for (const char* text : texts) {
            std::string blanks = text;
            for (char& c : blanks)
                if (c == '\r' || c == '\n')
                    c = ' ';
            auto plain = NewDoc();
            FillRichScript(*plain);
            f.set(*plain, blanks);
            const std::string expected = Save(*plain);
            const Structure structure = StructureOf(*Load(expected));

            auto doc = NewDoc();
            FillRichScript(*doc);
            f.set(*doc, text);
            const std::string saved = Save(*doc);
            EXPECT_TRUE(ksf_test::SameText(expected, saved)) << f.field;
            EXPECT_EQ(StructureOf(*Load(saved)), structure) << f.field;
            EXPECT_EQ(structure.names[1], "X") << f.field;
            EXPECT_EQ(structure.events[0], 6u) << f.field;
        }
    }
}

// A text that would lead its line with a header bracket or a comment mark loses those marks,
// not its sequence or its row.
TEST_F(KsfTest, LeadingBracketsAndSemicolonsKeepRowsAndStrings) {
    const struct {
        const char* field;
        void (*set)(CVLDoc&);
    } cases[] = {
        {"label",
         [](CVLDoc& d) {
             d.m_poSeqList[0]->m_poEventList[1]->m_strLabel = "[Sequence: Injected]";
         }},
        {"skipped label",
         [](CVLDoc& d) { d.m_poSeqList[0]->m_poEventList[2]->m_strLabel = ";[x]"; }},
        {"time", [](CVLDoc& d) { d.m_poSeqList[0]->m_poEventList[1]->m_strTime = ";00:01.15"; }},
        {"data string name",
         [](CVLDoc& d) { d.m_poDataStrList[0]->m_strName = "[Sequence: Injected]"; }},
        {"lcd string name", [](CVLDoc& d) { d.m_poLcdStrList[0]->m_strName = ";;"; }},
    };
    for (const auto& c : cases) {
        auto doc = NewDoc();
        FillRichScript(*doc);
        const Structure before = StructureOf(*Load(Save(*doc)));
        c.set(*doc);
        EXPECT_EQ(StructureOf(*Load(Save(*doc))), before) << c.field;
    }
}
