// The script source writer: which flag bit writes what, the layout of every section, the
// listing form and the bounded buffer.
#include "tests/script/ksf_test_support.h"

#include <gtest/gtest.h>

namespace {

using ksf_test::Crlf;
using ksf_test::KsfTest;
using ksf_test::Write;

// The section header lines of a text, in order.
std::vector<std::string> Headers(const std::string& text) {
    std::vector<std::string> headers;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        if (text[start] == '[')
            headers.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return headers;
}

// The sequence sections of the full form: what the full form writes beyond its first part.
std::string FullSequences(CVLDoc& doc, int first, int last) {
    const std::string head = Write(doc, CVLDoc::kWriteFull, first, last);
    const std::string text = Write(doc, CVLDoc::kWriteFull | CVLDoc::kWriteSequences, first, last);
    EXPECT_EQ(text.substr(0, head.size()), head);
    return text.substr(head.size());
}

std::unique_ptr<CEvnt> Event(std::string skip, std::string label, std::string time,
                             std::string event, std::string d1, std::string d2, std::string d3,
                             std::string d4, std::string comment) {
    auto e = std::make_unique<CEvnt>();
    e->m_strSkip = std::move(skip);
    e->m_strLabel = std::move(label);
    e->m_strTime = std::move(time);
    e->m_strEvent = std::move(event);
    e->m_strData1 = std::move(d1);
    e->m_strData2 = std::move(d2);
    e->m_strData3 = std::move(d3);
    e->m_strData4 = std::move(d4);
    e->m_strComment = std::move(comment);
    return e;
}

TEST_F(KsfTest, EachFlagBitWritesItsSections) {
    auto doc = NewDoc("Harnel2");
    struct Case {
        std::uint32_t flags;
        std::vector<std::string> headers;
    } cases[] = {
        {0x8000, {"[WindowPlacement]"}},
        {0x0001, {"[Unit]"}},
        {0x8001, {"[WindowPlacement]", "[Unit]", "[Compiler]", "[Connection]"}},
        {0x0002, {"[Inputs]"}},
        {0x0004, {"[Outputs]"}},
        {0x0008, {"[Flags]"}},
        {0x0010, {"[Vars]"}},
        {0x0020, {"[Ports]"}},
        {0x0080, {"[DataStrings]"}},
        {0x0040, {"[LcdStrings]"}},
        {0x0100, {"[Sequence 1:  Default]"}},
        {0x8100, {"[WindowPlacement]", "[Sequence: Default]"}},
        {0x7E00, {}},
        {0x01FF,
         {"[Unit]", "[Inputs]", "[Outputs]", "[Flags]", "[Vars]", "[Ports]", "[DataStrings]",
          "[LcdStrings]", "[Sequence 1:  Default]"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        const std::string text = Write(*doc, c.flags, 1, 1);
        EXPECT_EQ(Headers(text), c.headers);
        EXPECT_EQ(text.rfind("; KSF Velmora source file, Brevant Inc. \r\n", 0) == 0,
                  (c.flags & 0x8000) != 0);
    }
}

TEST_F(KsfTest, SequenceSectionInBothForms) {
    auto doc = NewDoc("Harnel2");
    doc->m_poSeqList.clear();
    auto seq = std::make_unique<CSeq>("My Seq", 2);
    seq->m_poEventList.push_back(
        Event("", "Go", "00:00.00", "SetOutput", "Out1", "On", "", "", "first"));
    seq->m_poEventList.push_back(Event("*", "", "00:01.10", "Nop", "", "", "", "  a  b  ", ""));
    doc->m_poSeqList.push_back(std::move(seq));

    const std::string heading = ";   Time     Event                   Comment";
    const std::string rule = ";-- -------- --------- ---- --  ---- -------";
    const std::string row1 = " Go 00:00.00 SetOutput Out1 On       ;first";
    const std::string row2 = "*   00:01.10 Nop                a  b ";
    const std::string keys = "[Sequence: My_Seq]\n"
                             "EventColWidths=400, 2265, 2085, 3475, 2340, 2340, 2340, 2340, 7500\n"
                             "Level=2\n"
                             "Events=Standard\n";

    EXPECT_TRUE(ksf_test::SameText(Crlf("\n; ***********************\n"
                                        "; *                     *\n"
                                        "; * Sequence 1:  My Seq *\n"
                                        "; *                     *\n"
                                        "; ***********************\n\n" +
                                        keys + "\n" + heading + "\n" + rule + "\n" + row1 + "\n" +
                                        row2 + "\n"),
                                   FullSequences(*doc, 1, 1)));
    // The listing form: a bracketed heading, no header line, no window keys, Level or Events
    // key, no rule line.
    EXPECT_TRUE(ksf_test::SameText(
        Crlf("\n[Sequence 1:  My Seq]\n\n" + heading + "\n" + row1 + "\n" + row2 + "\n"),
        Write(*doc, 0x0100, 1, 1)));
    // Without banners: one empty line before the header, no heading or rule lines.
    doc->m_nWriteHeaders = 0;
    EXPECT_TRUE(ksf_test::SameText(Crlf("\n" + keys + "\n" + row1 + "\n" + row2 + "\n"),
                                   FullSequences(*doc, 1, 1)));
    EXPECT_TRUE(
        ksf_test::SameText(Crlf("\n\n" + row1 + "\n" + row2 + "\n"), Write(*doc, 0x0100, 1, 1)));
}

TEST_F(KsfTest, EventRowsOfUntrimmedTextsAndTheirMeasure) {
    auto doc = NewDoc("Harnel2");
    doc->m_nWriteHeaders = 0;
    doc->m_poSeqList.clear();
    auto seq = std::make_unique<CSeq>("S", 1);
    seq->m_poEventList.push_back(
        Event("", " Go ", "00:00.00", "Set Output", "\"a b\"", "x\ty", "", "\t p  q \t", "c; d"));
    seq->m_poEventList.push_back(Event("*", "", "00:01.10", "Nop", "", "", "", "", ""));
    doc->m_poSeqList.push_back(std::move(seq));

    // Trimmed name forms (white space outside quotes made '_'), the columns filled by the
    // untrimmed lengths; Data4 only trimmed.
    const std::string row1 = " Go 00:00.00 Set_Output \"a b\" x_y  p  q ;c; d";
    const std::string row2 = "*     00:01.10 Nop" + std::string(24, ' ');
    const std::string text = Write(*doc, 0x0100, 1, 1);
    EXPECT_EQ(text, Crlf("\n\n" + row1 + "\n" + row2 + "\n"));

    // The counting pass measures exactly what the real pass writes.
    doc->BeginWriteBuffer(0);
    doc->WriteScript(0x0100, 1, 1);
    EXPECT_EQ(doc->WriteTotal(), text.size());
}

TEST_F(KsfTest, SequenceKeysWritten) {
    auto doc = NewDoc("Harnel2");
    doc->m_nWriteHeaders = 0;
    doc->m_poSeqList.clear();
    auto seq = std::make_unique<CSeq>("K", 1);
    seq->m_strDescription = "d;x";
    seq->m_nAutoStart = 1;
    seq->m_nFreezeWhileWaiting = 1;
    seq->m_wRestartLockout = 5; // written even with Restart off
    seq->m_nSmpteStartOn = 1;
    seq->m_anSmpteStart = {1, 2, 3, 4};
    seq->m_nChaseOn = 1;
    seq->m_anChaseStart = {0, 0, 1, 0};
    seq->m_nMinimized = 1; // written on its own, without a position
    seq->m_anWindowPos = {5, 6, 7, -1};
    seq->m_aTriggers[0].m_strIoName = "A";
    seq->m_aTriggers[1].m_strIoName = "B";
    seq->m_aTriggers[1].m_nGoesOn = 0;
    seq->m_aTriggers[1].m_wCombine = 2; // no word for an unknown code
    seq->m_aTriggers[1].m_strVariable = "V";
    seq->m_aTriggers[1].m_wComparison = 9;
    seq->m_aTriggers[1].m_strValue = "x y";
    seq->m_aTriggers[2].m_strVariable = "V";
    seq->m_aTriggers[2].m_strValue = "1";
    seq->m_aTriggers[3].m_strIoName = "In 1";
    seq->m_aTriggers[3].m_wCombine = CTrigger::Or;
    seq->m_aTriggers[3].m_strVariable = "W";
    seq->m_aTriggers[3].m_wComparison = CTrigger::LE;
    seq->m_aTriggers[3].m_strValue = "2";
    doc->m_poSeqList.push_back(std::move(seq));
    EXPECT_TRUE(ksf_test::SameText(
        Crlf("\n[Sequence: K]\n"
             "EventsWindowMinimized=TRUE\n"
             "EventColWidths=400, 2265, 2085, 3475, 2340, 2340, 2340, 2340, 7500\n"
             "Description=d;x\n"
             "AutoStart=Enabled\n"
             "FreezeWhileWaiting=Enabled\n"
             "RestartLockout=5\n"
             "SmpteStartTrigger=01:02:03.04\n"
             "TimecodeChaseStart=00:00:01.00\n"
             "ChaseMode=RunOnce\n"
             "StartTrigger=A GOES ON\n"
             "StopTrigger=B GOES OFFVx_y\n"
             "PauseTrigger=V EQ 1\n"
             "ResetTrigger=In_1 GOES ON, OR W LE 2\n"
             "Events=Standard\n\n"),
        FullSequences(*doc, 1, 1)));
}

TEST_F(KsfTest, SequenceRange) {
    auto doc = NewDoc("Harnel2");
    doc->m_poSeqList.push_back(std::make_unique<CSeq>("Second", 1));
    doc->m_poSeqList.push_back(std::make_unique<CSeq>("Third", 1));
    struct Case {
        int first, last;
        std::vector<std::string> headers;
    } cases[] = {
        {1, 3, {"[Sequence: Default]", "[Sequence: Second]", "[Sequence: Third]"}},
        {2, 2, {"[Sequence: Second]"}},
        {1, 0, {}},
        {0, 2, {}},
        {2, 4, {}},
        {3, 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.first) + ".." + std::to_string(c.last));
        EXPECT_EQ(Headers(FullSequences(*doc, c.first, c.last)), c.headers);
    }
    // The banner counts the position in the whole list.
    EXPECT_NE(FullSequences(*doc, 2, 2).find("; * Sequence 2:  Second *"), std::string::npos);
}

TEST_F(KsfTest, ResourceNamesWritten) {
    auto doc = NewDoc("Harnel2");
    CProduct& p = *doc->m_pProduct;
    p.m_Inputs[0].m_strName = "input1";    // the default text: left out
    p.m_Inputs[2].m_strName = "input2";    // another position's default text: written
    p.m_Inputs[3].m_strName = "Long_Name"; // the longest name written
    p.m_Inputs[3].m_strComment = "c1";
    p.m_Inputs[4].m_strName = "X y";
    p.m_Inputs[4].m_strComment = " c2";
    for (int i = 5; i < 16; ++i)
        p.m_Inputs[static_cast<std::size_t>(i)].m_strName = "input" + std::to_string(i + 1);
    p.m_Inputs[15].m_strComment = "kept";
    EXPECT_EQ(Write(*doc, CVLDoc::kWriteInputs, 1, 0), Crlf("\n[Inputs]\n"
                                                            "Input02=Input2\n"
                                                            "Input03=input2\n"
                                                            "Input04=Long_Name ;c1\n"
                                                            "Input05=X_y       ; c2\n"
                                                            "Input16=input16   ;kept\n"));
    p.m_wVars = 0;
    EXPECT_EQ(Write(*doc, CVLDoc::kWriteVars, 1, 0), Crlf("\n[Vars]\n"));
}

TEST_F(KsfTest, PortsWritten) {
    auto doc = NewDoc("Harnel2");
    CProduct& p = *doc->m_pProduct;
    EXPECT_EQ(Write(*doc, CVLDoc::kWritePorts, 1, 0), Crlf("\n[Ports]\n"
                                                           "Port00=MIDI ,31250,N,8,1,None\n"
                                                           "Port01=Port1,9600 ,N,8,1,None\n"
                                                           "Port02=Port2,9600 ,N,8,1,None\n"));
    // Without error sequences a comment follows the protocol column after one blank.
    p.m_Ports[2].m_strComment = "d";
    p.m_Ports[0].m_strParity.clear();
    p.m_Ports[0].m_strInterface = "Other";
    EXPECT_EQ(Write(*doc, CVLDoc::kWritePorts, 1, 0), Crlf("\n[Ports]\n"
                                                           "Port00=MIDI ,31250, ,8,,None\n"
                                                           "Port01=Port1,9600 ,N,8,1,None\n"
                                                           "Port02=Port2,9600 ,N,8,1,None ;d\n"));
    p.m_Ports[1].m_strErrorSequence = "Err";
    p.m_Ports[1].m_strComment = "c";
    p.m_Ports[1].m_strProtocol = "Brevant_Pelvane_2";
    p.m_Ports[0].m_strInterface = "scsi";
    p.m_Ports[0].m_strScsiAddress = "4";
    EXPECT_EQ(Write(*doc, CVLDoc::kWritePorts, 1, 0),
              Crlf("\n[Ports]\n"
                   "Port00=MIDI ,31250, ,8,4,None             \n"
                   "Port01=Port1,9600 ,N,8,1,Brevant_Pelvane_2,Err ;c\n"
                   "Port02=Port2,9600 ,N,8,1,None                  ;d\n"));
    // No ports: not even the header.
    p.m_wPorts = 0;
    EXPECT_EQ(Write(*doc, CVLDoc::kWritePorts, 1, 0), "");
    EXPECT_EQ(ksf_test::Save(*doc).find("[Ports]"), std::string::npos);
}

TEST_F(KsfTest, StringsWrittenAndNamed) {
    auto doc = NewDoc("Harnel2");
    doc->m_poDataStrList.push_back(std::make_unique<CDataStr>("A", "x", "c1"));
    doc->m_poDataStrList.push_back(std::make_unique<CDataStr>("", "longer data", ""));
    doc->m_poDataStrList.push_back(std::make_unique<CDataStr>("Name 3", "  pad  ", "c3"));
    doc->m_poLcdStrList.push_back(std::make_unique<CLcdStr>("", "Hi", ""));
    EXPECT_EQ(Write(*doc, CVLDoc::kWriteDataStrings | CVLDoc::kWriteLcdStrings, 1, 0),
              Crlf("\n[DataStrings]\n"
                   "A=          x           ;c1\n"
                   "datastring2=longer data\n"
                   "Name_3=     pad     ;c3\n"
                   "\n[LcdStrings]\n"
                   "lcdstring1=Hi\n"));
    EXPECT_EQ(doc->m_poDataStrList[1]->m_strName, "datastring2");
    EXPECT_EQ(doc->m_poLcdStrList[0]->m_strName, "lcdstring1");
}

TEST_F(KsfTest, BoundedBufferAndCountingPass) {
    auto doc = NewDoc("Harnel2");
    const std::string text = ksf_test::Save(*doc);
    const int count = static_cast<int>(doc->m_poSeqList.size());

    doc->BeginWriteBuffer(0); // counting: nothing is copied, the total is the length
    EXPECT_FALSE(doc->WriteScript(CVLDoc::kWriteAll, 1, count));
    EXPECT_EQ(doc->WriteTotal(), text.size());

    doc->BeginWriteBuffer(text.size() + 1); // room for the final NUL
    EXPECT_TRUE(doc->WriteScript(CVLDoc::kWriteAll, 1, count));
    EXPECT_EQ(doc->WrittenText(), text);
    EXPECT_EQ(doc->FileBufferData()[text.size()], '\0');

    doc->BeginWriteBuffer(text.size()); // the last line does not fit
    EXPECT_FALSE(doc->WriteScript(CVLDoc::kWriteAll, 1, count));
    const std::string_view written = doc->WrittenText();
    EXPECT_LT(written.size(), text.size());
    EXPECT_EQ(text.substr(0, written.size()), written);
    EXPECT_EQ(text.substr(written.size()).find("\r\n"), text.size() - written.size() - 2);
    EXPECT_EQ(doc->FileBufferData()[written.size()], '\0');
}

} // namespace
