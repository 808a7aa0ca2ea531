// The settings sections of the script source file: [Unit] with its questions, [Compiler],
// [Connection] and [WindowPlacement].
#include "tests/script/ksf_test_support.h"

#include <gtest/gtest.h>

namespace {

using ksf_test::Crlf;
using ksf_test::KsfTest;
using platform::MsgResult;

// A script whose [Unit] holds `unitKeys`; every other section is present.
std::string Script(const std::string& unitKeys, const std::string& more = "") {
    return Crlf("[Unit]\nFileFormat=1.0\n" + unitKeys +
                "\n[Inputs]\n[Outputs]\n[Flags]\n[Vars]\n[Ports]\n[DataStrings]\n[LcdStrings]\n" +
                more + "[Sequence: A]\nEvents=Standard\n 00:00.00 Nop\n");
}

const std::string kGoodUnit = "Type=Harnel16\nAddress=1\nFrameRate=25\nClockSource=Processor";

std::string Query(const std::string& text) {
    return "Error Reading show.ksf.\nSyntax Error:  " + text +
           "\n\nSelect YES to continue reading file anyway\nSelect NO to abort reading file";
}

TEST_F(KsfTest, UnitQuestionsAndTheirAnswers) {
    struct Case {
        std::string unit;
        std::string question;
        std::string defaulting; // the information box after Yes
    } cases[] = {
        {"Type=Harnel99\nAddress=1\nFrameRate=25\nClockSource=Processor",
         "Expected Valid [Unit] Type", "Defaulting Unit Type to Harnel16"},
        {"Type=Harnel16\nFrameRate=25\nClockSource=Processor",
         "Expected Valid [Unit] Address ( 0 - 255 )", "Defaulting Unit Address to 0"},
        {"Type=Harnel16\nAddress=256\nFrameRate=25\nClockSource=Processor",
         "Expected Valid [Unit] Address ( 0 - 255 )", "Defaulting Unit Address to 0"},
        // Not taken as address 0 by wrapping at 16 bits.
        {"Type=Harnel16\nAddress=65536\nFrameRate=25\nClockSource=Processor",
         "Expected Valid [Unit] Address ( 0 - 255 )", "Defaulting Unit Address to 0"},
        {"Type=Harnel16\nAddress=1\nFrameRate=31\nClockSource=Processor",
         "Expected Valid [Unit] FrameRate ( 24, 25, 29.97, or 30 )",
         "Defaulting Frame Rate to 30 fps"},
        {"Type=Harnel16\nAddress=1\nClockSource=Processor",
         "Expected Valid [Unit] FrameRate ( 24, 25, 29.97, or 30 )",
         "Defaulting Frame Rate to 30 fps"},
        {"Type=Harnel16\nAddress=1\nFrameRate=25\nClockSource=External\nExternalFrequency=-1",
         "Expected Valid [Unit] ExternalFrequency ( 0 Hz - 6120 Hz )",
         "Defaulting External Frequency to 59.94 Hz"},
        // Without the key the frequency is 8000 Hz, which is out of range too.
        {"Type=Harnel16\nAddress=1\nFrameRate=25\nClockSource=External",
         "Expected Valid [Unit] ExternalFrequency ( 0 Hz - 6120 Hz )",
         "Defaulting External Frequency to 59.94 Hz"},
        {"Type=Harnel16\nAddress=1\nFrameRate=25\nClockSource=Crystal",
         "Expecting Valid [Unit] ClockSource ( Processor or External )",
         "Defaulting Clock Source to Processor"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.question + " / " + c.unit);
        // Yes: the default and its information box, and the file is read.
        ui.Clear();
        ui.QueueAnswer(MsgResult::Yes);
        bool ok = false;
        auto doc = Load(Script(c.unit), &ok);
        EXPECT_TRUE(ok);
        ASSERT_GE(ui.boxes.size(), 2u);
        EXPECT_EQ(ui.boxes[0].text, Query(c.question));
        EXPECT_EQ(ui.boxes[0].buttons, platform::MsgButtons::YesNo);
        EXPECT_EQ(ui.boxes[0].icon, platform::MsgIcon::Exclamation);
        EXPECT_EQ(ui.boxes[1].text, c.defaulting);
        EXPECT_EQ(ui.boxes[1].icon, platform::MsgIcon::Information);
        EXPECT_EQ(ui.boxes.size(), 2u);
        EXPECT_EQ(doc->m_pProduct->m_strName, "Harnel16");

        // No: the read stops there.
        ui.Clear();
        ui.QueueAnswer(MsgResult::No);
        doc = Load(Script(c.unit), &ok);
        EXPECT_FALSE(ok);
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, Query(c.question));
        // The script is still made for a product, even when the type was refused.
        ASSERT_TRUE(doc->m_pProduct);
        EXPECT_EQ(doc->m_pProduct->m_strName, "Harnel16");
        EXPECT_TRUE(doc->m_poSeqList.size() == 1u);
    }
}

TEST_F(KsfTest, UnitDefaultsAfterYes) {
    ui.QueueAnswer(MsgResult::Yes);
    auto doc = Load(Script("Type=Harnel16\nAddress=1\nFrameRate=25\nClockSource=External\n"
                           "ExternalFrequency=7000"));
    EXPECT_EQ(doc->m_wClockSource, 1);
    EXPECT_EQ(doc->m_strExternalFrequency, "59.94");
    ui.QueueAnswer(MsgResult::Yes);
    doc = Load(Script("Type=Harnel16\nAddress=1\nFrameRate=25\nClockSource=Quartz"));
    EXPECT_EQ(doc->m_wClockSource, 0);
    ui.QueueAnswer(MsgResult::Yes);
    doc = Load(Script("Type=Harnel16\nAddress=-1\nFrameRate=60\nClockSource=Processor"));
    EXPECT_EQ(doc->m_wAddress, 0);
    EXPECT_EQ(doc->m_wFrameRate, 3);
}

TEST_F(KsfTest, UnitValuesAsRead) {
    struct Case {
        std::string unit;
        std::uint16_t frameRate;
        std::uint16_t clock;
        std::string frequency;
        std::int32_t writeProtected;
        std::int32_t writeHeaders;
    } cases[] = {
        {"Type=Harnel16\nAddress=255\nFrameRate=24\nClockSource=processor", 0, 0, "0", 0, 1},
        {"Type=Harnel16\nAddress=0\nFrameRate=29.970\nClockSource=external\n"
         "ExternalFrequency=6120\nWriteProtected=enabled\nWriteHeaders=no",
         2, 1, "6120", 1, 0},
        {"Type=Harnel16\nAddress=0\nFrameRate=30\nClockSource=EXTERNAL\nExternalFrequency=0\n"
         "WriteProtected=True\nWriteHeaders=Disabled",
         3, 1, "0", 1, 0},
        {"Type=Harnel16\nAddress=0\nFrameRate=25\nClockSource=Processor\nWriteProtected=1\n"
         "WriteHeaders=0",
         1, 0, "0", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unit);
        ui.Clear();
        auto doc = Load(Script(c.unit));
        EXPECT_TRUE(ui.boxes.empty());
        EXPECT_EQ(doc->m_wFrameRate, c.frameRate);
        EXPECT_EQ(doc->m_wClockSource, c.clock);
        EXPECT_EQ(doc->m_strExternalFrequency, c.frequency);
        EXPECT_EQ(doc->m_nWriteProtected, c.writeProtected);
        EXPECT_EQ(doc->m_nWriteHeaders, c.writeHeaders);
    }
    auto doc = Load(Script("Description=Line one~Line two\nVersion=3\nAuthor2=Bo\n" + kGoodUnit));
    EXPECT_EQ(doc->m_strDescription, "Line one~Line two");
    EXPECT_EQ(doc->m_strVersion, "3");
    EXPECT_EQ(doc->m_strAuthor2, "Bo");
    EXPECT_EQ(doc->m_wAddress, 1);
}

TEST_F(KsfTest, UnitTypeInAnyCaseOpensWithTheProductsOwnName) {
    auto doc = Load(Script("Type=cd pellucor\nAddress=1\nFrameRate=25\nClockSource=Processor"));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(doc->m_pProduct->m_strName, "CD Pellucor");
    EXPECT_EQ(doc->m_pProduct->m_wPorts, 8);
}

TEST_F(KsfTest, CompilerSection) {
    struct Case {
        std::string section;
        std::int32_t optimization, messages, detection;
    } cases[] = {
        {"", 0, 1, 0}, // no section: the new-script defaults
        {"[Compiler]\nOptimization=size\nMessages=minimal\nErrorDetection=MAXIMUM\n", 1, 0, 1},
        {"[Compiler]\nOptimization=Small\nMessages=quiet\nErrorDetection=Max\n", 0, 1, 0},
        {"[Compiler]\n", 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.section);
        auto doc = Load(Script(kGoodUnit, c.section));
        EXPECT_EQ(doc->m_nOptimization, c.optimization);
        EXPECT_EQ(doc->m_nMessages, c.messages);
        EXPECT_EQ(doc->m_nErrorDetection, c.detection);
    }

    auto doc = NewDoc();
    doc->m_nOptimization = 1;
    doc->m_nMessages = 0;
    doc->m_nErrorDetection = 1;
    EXPECT_NE(
        ksf_test::Save(*doc).find("\r\n\r\n[Compiler]\r\nOptimization=Size\r\nMessages=Minimal\r\n"
                                  "ErrorDetection=Maximum\r\n\r\n[Connection]"),
        std::string::npos);
}

TEST_F(KsfTest, ConnectionSectionFromTheDownloadSettings) {
    struct Case {
        std::int32_t port, timeout, delay, bandwidth;
        std::string expected;
    } cases[] = {
        {9, 3000, 1, 64, "[Connection]\r\nMethod=Offline\r\n"},
        {0, 500, 0, 64,
         "[Connection]\r\nMethod=Serial\r\nComPort=Com1\r\nTimeout=1/2 Second\r\nPacing=0 ms\r\n"
         "PacketSize=64\r\n"},
        {2, 1000, 4, 256,
         "[Connection]\r\nMethod=Serial\r\nComPort=Com3\r\nTimeout=1 Second\r\nPacing=200 ms\r\n"
         "PacketSize=256\r\n"},
        {7, 10000, 2, 32,
         "[Connection]\r\nMethod=Serial\r\nComPort=Com8\r\nTimeout=10 Seconds\r\n"
         "Pacing=100 ms\r\nPacketSize=32\r\n"},
        // Values outside the lists write no line.
        {1, 30001, 5, 128, "[Connection]\r\nMethod=Serial\r\nComPort=Com2\r\nPacketSize=128\r\n"},
        {1, 30000, 3, 128,
         "[Connection]\r\nMethod=Serial\r\nComPort=Com2\r\nTimeout=30 Seconds\r\n"
         "Pacing=150 ms\r\nPacketSize=128\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        CVLApp& a = app.App();
        a.m_nSerialPort = c.port;
        a.m_nSerialTimeout = c.timeout;
        a.m_nSerialDelay = c.delay;
        a.m_nSerialBandwidth = c.bandwidth;
        auto doc = NewDoc();
        const std::string text = ksf_test::Save(*doc);
        EXPECT_NE(text.find("\r\n\r\n" + c.expected + "\r\n[Inputs]"), std::string::npos);
        // Reading it back never changes the application's settings.
        a.m_nSerialPort = 5;
        Load(text);
        EXPECT_EQ(a.m_nSerialPort, 5);
    }
}

TEST_F(KsfTest, WindowPlacementAsRead) {
    auto doc = Load(Script(kGoodUnit, "[WindowPlacement]\n"
                                      "InputWindowPosition=10, 20\n"
                                      "FlagWindowPosition=1, 2, 3, 4\n"
                                      "FlagWindowMaximized=true\n"
                                      "FlagWindowMinimized=yes\n"
                                      "SequenceListWindowMinimized=TRUE\n"
                                      "XRefWindowMaximized=TRUE\n"
                                      "smpteWindowMinimized=True\n"
                                      "CompileErrorWindowPosition=5,6,7,8\n"
                                      "ViewTimeLine=true\n"
                                      "InputColWidths=0, 200\n"
                                      "PortColWidths=1, 2, 3, 4, 5\n"
                                      "XRefColWidths=, , , , , , , 77\n"
                                      "VarColWidths=9, 9\n"));
    EXPECT_EQ(doc->m_anWindowPos[CVLDoc::kWinInput], (std::array<std::int32_t, 4>{10, 20, -1, -1}));
    EXPECT_EQ(doc->m_anWindowPos[CVLDoc::kWinFlag], (std::array<std::int32_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(doc->m_anWindowPos[CVLDoc::kWinCompileError],
              (std::array<std::int32_t, 4>{5, 6, 7, 8}));
    EXPECT_EQ(doc->m_anWindowPos[CVLDoc::kWinOutput],
              (std::array<std::int32_t, 4>{-1, -1, -1, -1}));
    EXPECT_EQ(doc->m_anMaximized[CVLDoc::kWinFlag], 1);
    EXPECT_EQ(doc->m_anMinimized[CVLDoc::kWinFlag], 0);
    EXPECT_EQ(doc->m_anMinimized[CVLDoc::kWinSequenceList], 1);
    EXPECT_EQ(doc->m_anMaximized[CVLDoc::kWinXRef], 1);
    EXPECT_EQ(doc->m_anMinimized[CVLDoc::kWinSmpte], 1);
    EXPECT_EQ(doc->m_nViewTimeLine, 1);
    EXPECT_EQ(doc->m_awColWidths[CVLDoc::kColInput.first], 3875); // 0 keeps the stored width
    EXPECT_EQ(doc->m_awColWidths[CVLDoc::kColInput.first + 1], 200);
    EXPECT_EQ(doc->m_awColWidths[CVLDoc::kColPort.first + 3], 4);
    EXPECT_EQ(doc->m_awColWidths[CVLDoc::kColDataString.first], 3875); // the fifth is not a port's
    EXPECT_EQ(doc->m_awColWidths[CVLDoc::kColXRef.first + 7], 77);
    // The variables' widths are VariableColWidths.
    EXPECT_EQ(doc->m_awColWidths[CVLDoc::kColVar.first], 3875);
}

TEST_F(KsfTest, WindowPlacementWrittenForStoredPositionsOnly) {
    auto doc = NewDoc();
    doc->m_anWindowPos[CVLDoc::kWinOutput] = {1, 2, 3, -1}; // incomplete: not written
    doc->m_anMaximized[CVLDoc::kWinOutput] = 1;
    doc->m_anWindowPos[CVLDoc::kWinCompile] = {0, 0, 800, 600};
    doc->m_anMaximized[CVLDoc::kWinCompile] = 1;
    doc->m_anMinimized[CVLDoc::kWinCompile] = 1;
    doc->m_anWindowPos[CVLDoc::kWinSmpte] = {9, 8, 7, 6};
    doc->m_awColWidths[CVLDoc::kColSmpte.first + 2] = 65535;
    const std::string text = ksf_test::Save(*doc);
    const std::string expected = Crlf("; KSF Velmora source file, Brevant Inc. \n"
                                      "\n[WindowPlacement]\n"
                                      "InputColWidths=3875, 8500\n"
                                      "OutputColWidths=3875, 8500\n"
                                      "FlagColWidths=3875, 8500\n"
                                      "VariableColWidths=3875, 8500\n"
                                      "PortColWidths=3875, 5960, 3765, 8500\n"
                                      "DataStringColWidths=3875, 8500, 8500\n"
                                      "LcdStringColWidths=3875, 8500, 8500\n"
                                      "XRefColWidths=3875, 8500, 0, 0, 0, 0, 0, 0\n"
                                      "SequenceColWidths=5155, 8500, 0, 5165, 0\n"
                                      "smpteColWidths=3875, 8500, 65535\n"
                                      "CompileWindowPosition=0, 0, 800, 600\n"
                                      "CompileWindowMaximized=TRUE\n"
                                      "CompileWindowMinimized=TRUE\n"
                                      "smpteWindowPosition=9, 8, 7, 6\n"
                                      "\n[Unit]\n");
    EXPECT_TRUE(ksf_test::SameText(expected, text.substr(0, expected.size())));
}

TEST_F(KsfTest, UnitSectionWritten) {
    auto doc = NewDoc("Harnel2");
    doc->m_strDescription = "Two~lines";
    doc->m_strAuthor2 = "Second";
    doc->m_wAddress = 200;
    doc->m_wFrameRate = 7; // unknown codes run at 30
    doc->m_wClockSource = 1;
    doc->m_strExternalFrequency = "48.5";
    doc->m_nWriteHeaders = 0;
    const std::string full = ksf_test::Save(*doc);
    EXPECT_NE(full.find(Crlf("\n\n[Unit]\nFileFormat=1.0\nFileFormatType=Ascii\n"
                             "Description=Two~lines\nAuthor2=Second\nWriteHeaders=NO\n"
                             "Type=Harnel2\nAddress=200\nFrameRate=30\nClockSource=External\n"
                             "ExternalFrequency=48.5\n\n[Compiler]")),
              std::string::npos);
    // The listing form leaves out the file-only keys.
    doc->m_nWriteProtected = 1;
    EXPECT_EQ(ksf_test::Write(*doc, CVLDoc::kWriteUnit, 1, 0),
              Crlf("\n[Unit]\nDescription=Two~lines\nAuthor2=Second\nType=Harnel2\n"
                   "Address=200\nFrameRate=30\nClockSource=External\nExternalFrequency=48.5\n"));
}

} // namespace
