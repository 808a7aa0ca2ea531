// The script source reader: the file's checks, the order of its readers and the resource
// sections.
#include "script/script_file.h"
#include "tests/script/ksf_test_support.h"

#include <gtest/gtest.h>

namespace {

using ksf_test::Crlf;
using ksf_test::KsfTest;

const std::string kUnit = "[Unit]\nFileFormat=1.0\nType=Harnel16\nAddress=1\nFrameRate=25\n"
                          "ClockSource=Processor\n";
const std::string kSequence = "[Sequence: A]\nEvents=Standard\n 00:00.00 Nop\n";

// A script with the given resource sections between [Unit] and the sequence.
std::string Script(const std::string& sections) {
    return Crlf(kUnit + sections + kSequence);
}

const std::string kAllResources =
    "[Inputs]\n[Outputs]\n[Flags]\n[Vars]\n[Ports]\n[DataStrings]\n[LcdStrings]\n";

TEST_F(KsfTest, FileRefusedWithoutUnitOrWithAnOldFormat) {
    struct Case {
        std::string text;
        std::string message;
    } cases[] = {
        {Crlf("[Setup]\nUnit=1\n[Sequence: A]\n"),
         "Error Reading show.ksf.\nFailed to find [Unit] Section.\nFile must not be a Velmora "
         "KSF file.\n"},
        {"", "Error Reading show.ksf.\nFailed to find [Unit] Section.\nFile must not be a Velmora "
             "KSF file.\n"},
        {Crlf("[Unit]\nType=Harnel16\n" + kAllResources + kSequence),
         "Error Reading show.ksf.\n[Unit] FileFormat=0.00, which is an unknown file format\n"},
        {Crlf("[Unit]\nFileFormat=0.995\nType=Harnel16\n" + kAllResources + kSequence),
         "Error Reading show.ksf.\n[Unit] FileFormat=0.99, which is an unknown file format\n"},
        {Crlf("[Unit]\nFileFormat=Ver 1.0\nType=Harnel16\n" + kAllResources + kSequence),
         "Error Reading show.ksf.\n[Unit] FileFormat=0.00, which is an unknown file format\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        ui.Clear();
        bool ok = true;
        auto doc = Load(c.text, &ok);
        EXPECT_FALSE(ok);
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, c.message);
        EXPECT_EQ(ui.boxes[0].buttons, platform::MsgButtons::Ok);
    }
}

TEST_F(KsfTest, NewerFormatIsReadWithoutItsWindowLayout) {
    const std::string text =
        Crlf("[Unit]\nFileFormat=1.01\nFileFormatType=Binary\nType=Harnel16\nAddress=1\n"
             "FrameRate=25\nClockSource=Processor\n[WindowPlacement]\n"
             "InputWindowPosition=1, 2, 3, 4\n" +
             kAllResources + kSequence);
    auto doc = Load(text);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "Warning Reading show.ksf.\n[Unit] FileFormat=1.01.\nFile Format is newer than this "
              "version of Velmora.\nClick OK to attempt to read anyway.\n");
    EXPECT_EQ(doc->m_anWindowPos[CVLDoc::kWinInput][0], -1);
    EXPECT_EQ(doc->m_strFileFormat, "1.01");
    EXPECT_EQ(doc->m_strFileFormatType, "Binary");
    EXPECT_EQ(doc->m_poSeqList.size(), 1u);

    // Exactly 1.0 reads the layout; the type text defaults to Ascii.
    doc = Load(Crlf("[Unit]\nFileFormat=1.000\nType=Harnel16\nAddress=1\nFrameRate=25\n"
                    "ClockSource=Processor\n[WindowPlacement]\nInputWindowPosition=1, 2, 3, 4\n" +
                    kAllResources + kSequence));
    EXPECT_EQ(doc->m_anWindowPos[CVLDoc::kWinInput][0], 1);
    EXPECT_EQ(doc->m_strFileFormatType, "Ascii");
}

TEST_F(KsfTest, MissingResourceSectionsWarnAndKeepDefaults) {
    auto doc = Load(Script(""));
    const std::vector<std::string> expected = {
        "Warning Reading show.ksf.\nFailed to find [Inputs] Section.\nInputs will be set to "
        "defaults\n",
        "Warning Reading show.ksf.\nFailed to find [Outputs] Section.\nOutputs will be set to "
        "defaults\n",
        "Warning Reading show.ksf.\nFailed to find [Flags] Section.\nFlags will be set to "
        "defaults\n",
        "Warning Reading show.ksf.\nFailed to find [Vars] Section.\nVariables will be set to "
        "defaults\n",
        "Warning Reading show.ksf.\nFailed to find [Ports] Section.\nPorts will be set to "
        "defaults\n",
        "Warning Reading show.ksf.\nFailed to find [Data Strings] Section.\nData Strings will be "
        "assumed to be empty\n",
        "Warning Reading show.ksf.\nFailed to find [Lcd Strings] Section.\nLCD Strings will be "
        "assumed to be empty\n",
    };
    EXPECT_EQ(ui.Texts(), expected);
    EXPECT_EQ(doc->m_pProduct->m_Inputs[4].m_strName, "Input5");
    EXPECT_EQ(doc->m_pProduct->m_Ports[0].m_strName, "MIDI");
    EXPECT_EQ(doc->m_pProduct->m_Ports[0].m_strBaudRate, "31250");
}

TEST_F(KsfTest, ResourceNamesAndComments) {
    auto doc = Load(Script("[Inputs]\n"
                           "Input01=  My  Door ;  left side; upstairs\n"
                           "Input02= ;only a comment\n"
                           "Input03=\"Quoted name\"\n"
                           "Input4=not the key of input 4\n"
                           "Input05 =not this key either\n"
                           "Input06=\n"
                           "Input06=Second_Line\n"
                           "Input129=beyond the product\n"
                           "[Outputs]\nOutput128=Last\n"
                           "[Flags]\nflag64=Lower_Case_Key\n"
                           "[Vars]\nVar01=Count ;\n" +
                           std::string("[Ports]\n[DataStrings]\n[LcdStrings]\n")));
    const CProduct& p = *doc->m_pProduct;
    EXPECT_EQ(p.m_Inputs[0].m_strName, "My__Door");
    EXPECT_EQ(p.m_Inputs[0].m_strComment, "  left side; upstairs");
    EXPECT_EQ(p.m_Inputs[1].m_strName, "");
    EXPECT_EQ(p.m_Inputs[1].m_strComment, "only a comment");
    EXPECT_EQ(p.m_Inputs[2].m_strName, "\"Quoted name\"");
    EXPECT_EQ(p.m_Inputs[3].m_strName, "Input4");
    EXPECT_EQ(p.m_Inputs[4].m_strName, "Input5");
    EXPECT_EQ(p.m_Inputs[5].m_strName, "Second_Line");
    EXPECT_EQ(p.m_Inputs[6].m_strName, "Input7");
    EXPECT_EQ(p.m_Outputs[127].m_strName, "Last");
    EXPECT_EQ(p.m_Flags[63].m_strName, "Lower_Case_Key");
    EXPECT_EQ(p.m_Vars[0].m_strName, "Count");
    EXPECT_EQ(p.m_Vars[0].m_strComment, "");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(KsfTest, PortLines) {
    auto doc = Load(Script("[Inputs]\n[Outputs]\n[Flags]\n[Vars]\n[Ports]\n"
                           "Port01=Dev one,19200\n"
                           "Port02=Dev2 ,4800 ,E,7,2,Unknown_Protocol ,Err_Seq ;desk; left\n"
                           "Port03=P3,9600,N,8,1,Orvane_Lumen_24;comment only\n"
                           "Port04=P;4,96;00,N,8,1,None\n"
                           "Port00=\n"
                           "[DataStrings]\n[LcdStrings]\n"));
    const CProduct& p = *doc->m_pProduct;
    // An empty line leaves the product's port.
    EXPECT_EQ(p.m_Ports[0].m_strName, "MIDI");
    EXPECT_EQ(p.m_Ports[0].m_strBaudRate, "31250");
    // Only a name and a baud rate: everything else is emptied.
    EXPECT_EQ(p.m_Ports[1].m_strName, "Dev_one");
    EXPECT_EQ(p.m_Ports[1].m_strBaudRate, "19200");
    EXPECT_EQ(p.m_Ports[1].m_strParity, "");
    EXPECT_EQ(p.m_Ports[1].m_strDataBits, "");
    EXPECT_EQ(p.m_Ports[1].m_strStopBits, "");
    EXPECT_EQ(p.m_Ports[1].m_strProtocol, "");
    // A protocol that is not loaded keeps the fifth field as stop bits.
    EXPECT_EQ(p.m_Ports[2].m_strName, "Dev2");
    EXPECT_EQ(p.m_Ports[2].m_strBaudRate, "4800");
    EXPECT_EQ(p.m_Ports[2].m_strParity, "E");
    EXPECT_EQ(p.m_Ports[2].m_strDataBits, "7");
    EXPECT_EQ(p.m_Ports[2].m_strStopBits, "2");
    EXPECT_EQ(p.m_Ports[2].m_strProtocol, "Unknown_Protocol");
    EXPECT_EQ(p.m_Ports[2].m_strErrorSequence, "Err_Seq");
    EXPECT_EQ(p.m_Ports[2].m_strComment, "desk; left");
    EXPECT_EQ(p.m_Ports[3].m_strProtocol, "Orvane_Lumen_24");
    EXPECT_EQ(p.m_Ports[3].m_strComment, "comment only");
    EXPECT_EQ(p.m_Ports[3].m_strScsiAddress, "");
    // Before the protocol a ';' is part of the field.
    EXPECT_EQ(p.m_Ports[4].m_strName, "P;4");
    EXPECT_EQ(p.m_Ports[4].m_strBaudRate, "96;00");
}

TEST_F(KsfTest, ScsiPortsKeepTheirAddressWhateverTheProtocol) {
    auto doc = Load(Crlf("[Unit]\nFileFormat=1.0\nType=CD Pellucor\nAddress=1\nFrameRate=25\n"
                         "ClockSource=Processor\n[Inputs]\n[Outputs]\n[Flags]\n[Vars]\n[Ports]\n"
                         "Port04=SCSI4,,,,5,None\n"
                         "Port05=SCSI5,,,,6\n"
                         "Port06=SCSI6,,,,2,Unknown_Protocol\n"
                         "Port01=Serial1,9600,N,8,2,None\n[DataStrings]\n[LcdStrings]\n" +
                         kSequence));
    const CProduct& p = *doc->m_pProduct;
    EXPECT_EQ(p.m_Ports[4].m_strScsiAddress, "5");
    EXPECT_EQ(p.m_Ports[4].m_strStopBits, "");
    EXPECT_EQ(p.m_Ports[5].m_strScsiAddress, "6");
    EXPECT_EQ(p.m_Ports[6].m_strScsiAddress, "2");
    EXPECT_EQ(p.m_Ports[1].m_strStopBits, "2");
    EXPECT_EQ(p.m_Ports[1].m_strScsiAddress, "");
}

TEST_F(KsfTest, DataAndLcdStringLines) {
    const std::string strings = "[DataStrings]\n"
                                "  Name One  =   some data   ;  a comment  \n"
                                "Quoted=\"a;b\" ;c\n"
                                "Half=\"open;quote\n"
                                "Cut=before;after\n"
                                "NoData=\n"
                                "OnlyComment=   ; nothing\n"
                                "NoEquals\n"
                                "; a comment line\n"
                                "Eq=a=b\n"
                                "[LcdStrings]\n"
                                "L1=Hello\tWorld\n"
                                "Last=no line end";
    auto doc =
        Load(Crlf(kUnit + "[Inputs]\n[Outputs]\n[Flags]\n[Vars]\n[Ports]\n" + kSequence + strings));
    ASSERT_EQ(doc->m_poDataStrList.size(), 5u);
    auto check = [](const auto& s, const char* name, const char* data, const char* comment) {
        EXPECT_EQ(s->m_strName, name);
        EXPECT_EQ(s->m_strData, data);
        EXPECT_EQ(s->m_strComment, comment);
    };
    check(doc->m_poDataStrList[0], "Name_One", "some data", "a comment");
    check(doc->m_poDataStrList[1], "Quoted", "\"a;b\"", "c");
    check(doc->m_poDataStrList[2], "Half", "\"open;quote", "");
    check(doc->m_poDataStrList[3], "Cut", "before", "after");
    check(doc->m_poDataStrList[4], "Eq", "a=b", "");
    ASSERT_EQ(doc->m_poLcdStrList.size(), 2u);
    check(doc->m_poLcdStrList[0], "L1", "Hello\tWorld", "");
    // The end of the file ends the last line.
    check(doc->m_poLcdStrList[1], "Last", "no line end", "");

    // A present but empty section empties the list.
    doc->m_poDataStrList.push_back(std::make_unique<CDataStr>("x", "y", ""));
    doc->LoadFileBuffer(Crlf("[DataStrings]\n\n[LcdStrings]\n"));
    EXPECT_TRUE(ScriptFileReader(*doc).ReadDataStrings("show.ksf"));
    EXPECT_TRUE(doc->m_poDataStrList.empty());
}

TEST_F(KsfTest, LineFeedOnlyFileReadsLikeCrLf) {
    const std::string text = kUnit + "[Inputs]\nInput01=Door ;front\n[Outputs]\n[Flags]\n[Vars]\n"
                                     "[Ports]\nPort01=Dev,19200,N,8,1,None\n"
                                     "[DataStrings]\nS1=data ;c\n[LcdStrings]\n"
                                     "[Sequence: A]\nLooping=Enabled\nEvents=Standard\n"
                                     ";Label Time\n"
                                     " Lbl 00:00.00 Nop a b c d ;cm\n"
                                     "*    00:01.00 Go\n"
                                     "[Sequence: B]\nEvents=Standard\n 00:02.00 Last\n";
    auto lf = Load(text);
    auto crlf = Load(Crlf(text));
    EXPECT_TRUE(ksf_test::SameText(ksf_test::Save(*crlf), ksf_test::Save(*lf)));
    ASSERT_EQ(lf->m_poSeqList.size(), 2u);
    ASSERT_EQ(lf->m_poSeqList[0]->m_poEventList.size(), 2u);
    EXPECT_EQ(lf->m_poSeqList[0]->m_poEventList[0]->m_strData4, "d ");
    EXPECT_EQ(lf->m_poSeqList[0]->m_poEventList[0]->m_strComment, "cm");
    // The last row of a file ending in a line feed is read too.
    ASSERT_EQ(lf->m_poSeqList[1]->m_poEventList.size(), 1u);
    EXPECT_EQ(lf->m_poSeqList[1]->m_poEventList[0]->m_strEvent, "Last");
    EXPECT_EQ(lf->m_pProduct->m_Inputs[0].m_strComment, "front");
    EXPECT_EQ(lf->m_poDataStrList[0]->m_strComment, "c");
}

TEST_F(KsfTest, ReadersRunInOrderAndStopAtTheFirstFailure) {
    // A [Unit] refused with No stops before any resource section is looked at.
    ui.QueueAnswer(platform::MsgResult::No);
    bool ok = true;
    auto doc = Load(Crlf("[Unit]\nFileFormat=1.0\nType=Harnel16\n"), &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(ui.boxes.size(), 1u);

    // No sequence at all fails the read after every resource section.
    ui.Clear();
    doc = Load(Crlf(kUnit + kAllResources), &ok);
    EXPECT_FALSE(ok);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Did Not Find Any Sequences in show.ksf");
}

} // namespace
