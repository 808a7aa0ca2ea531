// The pieces under the driver: name and label lookups, trigger conditions, event times, the
// sequence header, port settings and the reporters.
#include "compile_fixture.h"

#include "compiler/config_compile.h"
#include "compiler/name_lookups.h"
#include "compiler/sequence_compile.h"
#include "compiler/show_image.h"
#include "script/protocol.h"

namespace compile_testing {
namespace {

class PartsTest : public CompileTest {
protected:
    void SetUp() override {
        CompileTest::SetUp();
        sequence_ = &AddSequence("Main");
        GetCompilerState().document = doc_.get();
        GetCompilerState().compileView = &view_;
        GetCompilerState().currentSequence = sequence_;
    }
    // Events with the given labels ("-" marks a skipped event); the cursor on event `current`.
    void Events(const std::vector<std::string>& labels, int current) {
        sequence_->m_poEventList.clear();
        for (const auto& label : labels) {
            CEvnt& event = AddEvent(*sequence_, "0", "Nop");
            if (label.starts_with("-")) {
                event.m_strSkip = "REM";
                event.m_strLabel = label.substr(1);
            } else {
                event.m_strLabel = label;
            }
        }
        GetCompilerState().currentEventIndex = current;
    }
    CSeq* sequence_ = nullptr;
};

TEST_F(PartsTest, NamesAreFoundWithoutRegardToCaseFirstEntryWinning) {
    CProduct& product = *doc_->m_pProduct;
    product.m_Inputs[0].m_strName = "Start";
    product.m_Inputs[1].m_strName = "Stop";
    product.m_Inputs[2].m_strName = "start";
    EXPECT_EQ(FindInput(*doc_, "START"), 128);
    EXPECT_EQ(FindInput(*doc_, "Reset"), -1);
    EXPECT_EQ(FindFlag(*doc_, "Flag3"), 66);
    EXPECT_EQ(FindOutput(*doc_, "output1"), 0);
    EXPECT_EQ(FindVariable(*doc_, "VAR2"), 1);
    // Names beyond the product's count are not there.
    EXPECT_EQ(FindInput(*doc_, "Input33"), -1);
    AddSequence("Second");
    EXPECT_EQ(FindSequence(*doc_, "second"), 1);
    doc_->m_poDataStrList.push_back(std::make_unique<CDataStr>("Hello", "\"hi\"", ""));
    doc_->m_poLcdStrList.push_back(std::make_unique<CLcdStr>("Banner", "\"x\"", ""));
    EXPECT_EQ(FindDataString(*doc_, "HELLO"), 0);
    EXPECT_EQ(FindLcdString(*doc_, "banner"), 0);
    EXPECT_EQ(FindLcdString(*doc_, "Hello"), -1);
    EXPECT_TRUE(EqualsNoCase("\xC9t\xE9", "\xE9T\xC9"));
}

TEST_F(PartsTest, LabelsCountTheEventsToPassOverGoingForwardOnly) {
    struct Case {
        std::vector<std::string> labels;
        int current;
        const char* label;
        int byteOffset;
        int wordOffset;
    };
    const std::vector<Case> cases = {
        {{"", "-", "Next"}, 0, "Next", 0, 0},
        {{"", "", "", "Next"}, 0, "Next", 2, 2},
        {{"Back", "", ""}, 1, "Back", -1, 0},
        {{"Here", ""}, 0, "Here", -1, 0},
        {{"Loop", "", "Loop"}, 1, "Loop", -3, -3},
        {{"", "-Loop", "", "Loop"}, 0, "Loop", 1, 1},
        {{"", ""}, 0, "", -1, 0},
        {{"", ""}, 0, "Missing", -1, 0},
    };
    for (const Case& c : cases) {
        Events(c.labels, c.current);
        EXPECT_EQ(FindLabelByteOffset(c.label), c.byteOffset) << c.label;
        EXPECT_EQ(FindLabelWordOffset(c.label), c.wordOffset) << c.label;
    }
    for (int between : {127, 128}) {
        std::vector<std::string> labels(static_cast<std::size_t>(between) + 1);
        labels.push_back("Far");
        Events(labels, 0);
        EXPECT_EQ(FindLabelByteOffset("far"), between == 127 ? 127 : -2);
        EXPECT_EQ(FindLabelWordOffset("far"), between);
    }
}

TEST_F(PartsTest, IdenticalEventSearchGivesTheFirstStoredCopy) {
    CEvnt& event = AddEvent(*sequence_, "0", "Nop");
    GetCompilerState().currentEvent = &event;
    event.m_bsCompiled = {1, 2, 3};
    EXPECT_EQ(FindIdenticalCompiledEvent(), -1);
    for (std::uint16_t offset : {100, 200}) {
        auto original = std::make_unique<COriginalEvent>();
        original->m_wOffset = offset;
        original->m_bsCode = {1, 2, 3};
        GetCompilerState().originalEvents.push_back(std::move(original));
    }
    EXPECT_EQ(FindIdenticalCompiledEvent(), 100);
    event.m_bsCompiled = {1, 2};
    EXPECT_EQ(FindIdenticalCompiledEvent(), -1);
}

TEST_F(PartsTest, TriggerConditionBytes) {
    struct Case {
        const char* io;
        std::uint16_t combine;
        const char* variable;
        std::uint16_t comparison;
        const char* value;
        int expected;
    };
    const std::vector<Case> cases = {
        {"", CTrigger::Or, "Var1", CTrigger::EQ, "5", 13},
        {"Input1", CTrigger::And, "Var1", CTrigger::EQ, "5", 1},
        {"Input1", CTrigger::Or, "Var1", CTrigger::NE, "5", 8},
        {"Input1", CTrigger::And, "Var1", CTrigger::GT, "Var2", 0x85},
        {"", CTrigger::And, "Var1", CTrigger::LT, "5", 9},
        {"", CTrigger::And, "Var1", CTrigger::GE, "5", 12},
        {"Input1", CTrigger::And, "Var1", CTrigger::LE, "5", 4},
        {"Input1", CTrigger::And, "", CTrigger::LE, "", 0},
        {"", CTrigger::And, "Var1", CTrigger::EQ, "", 0},
        {"", CTrigger::And, "", CTrigger::EQ, "5", 0},
        {"", CTrigger::And, "Var1", CTrigger::EQ, "abc", 7},
    };
    for (const Case& c : cases) {
        CTrigger& trigger = sequence_->m_aTriggers[CSeq::Start];
        trigger.m_strIoName = c.io;
        trigger.m_wCombine = c.combine;
        trigger.m_strVariable = c.variable;
        trigger.m_wComparison = c.comparison;
        trigger.m_strValue = c.value;
        EXPECT_EQ(EncodeTriggerCondition(*doc_, CSeq::Start), c.expected)
            << c.io << "/" << c.variable << "/" << c.value;
    }
}

TEST_F(PartsTest, EventTimesInFramesAndMinuteTexts) {
    struct Case {
        const char* text;
        std::uint16_t frameRate;
        int frames;
        unsigned errors;
    };
    const std::vector<Case> cases = {
        {"1:30", 3, 2700, 0},
        {"1:30.00", 3, 2700, 0},
        {"0:0.100", 3, 100, 0},
        {"90", 3, 90, 0},
        {"1:2:3", 3, 1863, 0},
        {"1.2.3", 3, 0, 1},
        {"1 2", 3, 12, 1},
        {"1  2", 3, 12, 2},
        {"00:10.00", 2, 300, 0},
        {"00:01.15", 2, 45, 0},
        {"36:24.15", 3, 65535, 0},
        {"65535", 3, 65535, 0},
        {"99999999999", 3, 65535, 1},
    };
    for (const Case& c : cases) {
        doc_->m_wFrameRate = c.frameRate;
        CEvnt& event = AddEvent(*sequence_, c.text, "Nop");
        GetCompilerState().currentEvent = &event;
        GetCompilerState().errorCount = 0;
        CompileEventTime(*doc_);
        ASSERT_EQ(event.m_bsCompiled.size(), 2u);
        if (c.errors == 0 || c.frames != 0) {
            EXPECT_EQ(event.m_bsCompiled[0] | (event.m_bsCompiled[1] << 8), c.frames) << c.text;
        }
        EXPECT_EQ(GetCompilerState().errorCount, c.errors) << c.text;
    }
}

TEST_F(PartsTest, SequenceHeaderFields) {
    sequence_->m_nRestart = 1;
    sequence_->m_nAutoStart = 1;
    sequence_->m_nFreezeWhileWaiting = 1;
    sequence_->m_aTriggers[CSeq::Stop].m_nGoesOn = 0;
    sequence_->m_nChaseOn = 1;
    sequence_->m_nChaseMode = 1;
    sequence_->m_anChaseStart = {1, 0, 0, 5};
    sequence_->m_wRestartLockout = 0x1234;
    CTrigger& start = sequence_->m_aTriggers[CSeq::Start];
    start.m_strIoName = "Input2";
    start.m_strVariable = "Var3";
    start.m_strValue = "Var4";
    CTrigger& reset = sequence_->m_aTriggers[CSeq::Reset];
    reset.m_strIoName = "output5";
    reset.m_strVariable = "Var1";
    reset.m_strValue = "300";
    AddEvent(*sequence_, "0", "Nop");
    AddEvent(*sequence_, "0", "Nop").m_strSkip = "REM";
    AddEvent(*sequence_, "0", "Nop");
    CompileSequenceHeader(*doc_);
    const ByteString& h = sequence_->m_bsHeader;
    ASSERT_EQ(h.size(), 25u);
    EXPECT_EQ(h[0] | (h[1] << 8), 2);
    EXPECT_EQ(h[2], 0x01 | 0x04 | 0x08 | 0x10 | 0x40 | 0x80);
    EXPECT_EQ(h[3] | (h[4] << 8), 0x1234);
    EXPECT_EQ(h[5], 0x81);
    EXPECT_EQ(h[6], 129);
    EXPECT_EQ(h[11], 1);
    EXPECT_EQ(h[12], 4);
    EXPECT_EQ(h[13], 3);
    EXPECT_EQ(h[14], 2);
    EXPECT_EQ(h[15], 0xFF);
    EXPECT_EQ(h[16], 0xFF);
    EXPECT_EQ(h[19], 300 & 0xFF);
    EXPECT_EQ(h[20], 0);
    EXPECT_EQ(h[21], 3);
    const int frames = 3600 * 30 + 5;
    EXPECT_EQ(h[22] | (h[23] << 8) | (h[24] << 16), frames);
    EXPECT_EQ(GetCompilerState().errorCount, 1u) << "the reset literal 300";
}

TEST_F(PartsTest, PortSettingsBytesAndSlots) {
    AddEvent(*sequence_, "0", "Nop");
    CProduct& product = *doc_->m_pProduct;
    auto set = [&](int port, const char* protocol, const char* baud, const char* parity,
                   const char* data, const char* stop) {
        product.m_Ports[port].m_strProtocol = protocol;
        product.m_Ports[port].m_strBaudRate = baud;
        product.m_Ports[port].m_strParity = parity;
        product.m_Ports[port].m_strDataBits = data;
        product.m_Ports[port].m_strStopBits = stop;
    };
    const char* ostrel = "Brevant_Ostrel_Backplane";
    set(0, ostrel, "31250", "N", "8", "1");
    set(1, ostrel, "19200", "E", "7", "2");
    set(2, ostrel, "38400", "N", "8", "1");
    set(3, ostrel, "OFF", "N", "8", "1");
    set(4, "None", "1234", "N", "8", "1");
    product.m_Ports[2].m_strRemap = "16";
    product.m_Ports[2].m_strErrorSequence = "main";
    Compile();
    const std::vector<std::uint8_t> image = DocImage();
    const std::size_t p = show_image::PortTables(1);
    EXPECT_EQ(image[p + 0], 6);
    EXPECT_EQ(image[p + 1], 0xCD);
    EXPECT_EQ(image[p + 2], 4) << "the remapped port leaves its own slot";
    EXPECT_EQ(image[p + 16], 6);
    EXPECT_EQ(image[p + 3], 0x07);
    EXPECT_EQ(image[p + 4], 4);
    EXPECT_EQ(image[p + 17 + 16], 0);
    EXPECT_EQ(image[p + 17 + 2], 2);
    EXPECT_EQ(image[p + 34 + 16], 0);
    EXPECT_EQ(image[p + 34 + 2], 0xFF);
    EXPECT_EQ(view_.Find("Error: [1234] is an invalid baud rate for port 4.  It is not "
                         "supported by Tarnix"),
              nullptr);
    EXPECT_NE(view_.Find("Error: [1234] is an invalid baud rate for port 4 on the Harnel4"),
              nullptr);
}

TEST(ListContainsNameTest, OnlyTheFirstTenNormalisedItemsCount) {
    const std::string eleven = "300,1200,2400,4800,9600,19200,31250,38400,57600, 115200 ,230400";
    EXPECT_TRUE(ListContainsName(eleven, "300"));
    EXPECT_TRUE(ListContainsName(eleven, "115200"));
    EXPECT_FALSE(ListContainsName(eleven, "230400"));
    EXPECT_TRUE(ListContainsName("n,e, o", "O"));
    EXPECT_FALSE(ListContainsName("", "9600"));
}

TEST_F(PartsTest, ExternalClockIsFrequencyOverFrameRate) {
    AddEvent(*sequence_, "0", "Nop");
    doc_->m_wClockSource = 1;
    doc_->m_wFrameRate = 0;
    for (const auto& [text, expected, errors] : std::vector<std::tuple<const char*, int, unsigned>>{
             {"6120", 255, 0u}, {"6121", 255, 1u}, {"240.9", 10, 0u}, {"-24", 255, 1u}}) {
        doc_->m_strExternalFrequency = text;
        Compile();
        EXPECT_EQ(DocImage()[10], expected) << text;
        EXPECT_EQ(GetCompilerState().errorCount, errors) << text;
    }
}

TEST_F(PartsTest, ReportersCountPostAndTagLines) {
    CSeq& twin = AddSequence("Main");
    GetCompilerState().currentSequence = &twin;
    GetCompilerState().currentEventIndex = 4;
    twin.m_nNeedsCompile = 0;
    ReportEventError("bad");
    EXPECT_EQ(twin.m_nNeedsCompile, 1);
    ASSERT_EQ(view_.lines.size(), 1u);
    EXPECT_EQ(view_.lines[0].text, "Error: Sequence Main, Event 5: bad");
    EXPECT_EQ(view_.lines[0].resource, 0) << "the first sequence of that name";
    EXPECT_EQ(view_.lines[0].event, 4);

    ReportEventWarning("");
    EXPECT_EQ(view_.lines.back().text, "Warning: Sequence Main, Event 5: ");
    EXPECT_EQ(GetCompilerState().warningCount, 0u);

    ReportParameterNotFound("On:Output", "A valid Output", 0);
    EXPECT_EQ(view_.lines.back().text,
              "       Event [On:Output] - A valid Output was not found as parameter 1");
    EXPECT_EQ(view_.lines.back().kind, 11);
    EXPECT_EQ(view_.lines.back().param, 0);
    EXPECT_EQ(view_.lines.back().colour, kColourRed);

    CCmnd command("Fancy:Thing");
    command.m_strSupported = "7.50";
    GetCompilerState().currentCommand = &command;
    ReportFirmwareRequirement();
    EXPECT_EQ(
        view_.lines.back().text,
        "       Event [Fancy:Thing] is only supported by SCU Version 7.50 firmware and above");
    EXPECT_EQ(GetCompilerState().errorCount, 1u);

    // A sequence no longer in the list: counted, not shown.
    CSeq gone("Gone", 1);
    GetCompilerState().currentSequence = &gone;
    const std::size_t shown = view_.lines.size();
    ReportSequenceError("lost");
    EXPECT_EQ(view_.lines.size(), shown);
    EXPECT_EQ(GetCompilerState().errorCount, 2u);

    GetCompilerState().resourceIndex = 7;
    ReportOutputWarning("dup");
    EXPECT_EQ(view_.lines.back().text, "Warning: dup");
    EXPECT_EQ(view_.lines.back().kind, 3);
    EXPECT_EQ(view_.lines.back().resource, 7);
    EXPECT_EQ(view_.lines.back().colour, kColourOrange);

    ReportUnitError(std::string(5000, 'x'));
    EXPECT_EQ(view_.lines.back().text.size(), kMaxMessageText);

    // A view that goes away is forgotten.
    {
        RecordingCompileView shortLived;
        GetCompilerState().compileView = &shortLived;
    }
    EXPECT_EQ(GetCompilerState().compileView, nullptr);
    PostCompileMessage("nobody listens");

    // Without a view nothing is shown, but the counts still change.
    GetCompilerState().compileView = nullptr;
    ReportConfigurationError("quiet");
    EXPECT_EQ(view_.lines.back().text.size(), kMaxMessageText);
    EXPECT_EQ(GetCompilerState().errorCount, 4u);
}

} // namespace
} // namespace compile_testing
