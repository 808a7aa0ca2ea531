// Every fault the configuration, sequence and trigger compiles report: the line's text, kind,
// indexes and colour, and that it is counted.
#include "compile_fixture.h"

namespace compile_testing {
namespace {

enum class Counted { Error, Warning };

struct FaultCase {
    const char* name;
    std::function<void(CVLDoc&)> setup;
    CompileMessage expected;
    Counted counted;
};

void PrintTo(const FaultCase& fault, std::ostream* out) {
    *out << fault.name;
}

CSeq& Main(CVLDoc& doc) {
    return *doc.m_poSeqList[0];
}

CEvnt& FirstEvent(CVLDoc& doc) {
    return *Main(doc).m_poEventList[0];
}

CProductPort& Port(CVLDoc& doc, int index) {
    return doc.m_pProduct->m_Ports[index];
}

CTrigger& Trigger(CVLDoc& doc, int index) {
    return Main(doc).m_aTriggers[index];
}

const std::int32_t kRed = kColourRed;
const std::int32_t kOrange = kColourOrange;

std::vector<FaultCase> FaultCases() {
    return {
        {"UnitAddress",
         [](CVLDoc& d) { d.m_wAddress = 300; },
         {"Error: Internal Error: [300] is an invalid Unit Address", kRed, 1, -1, -1, -1},
         Counted::Error},
        {"NoSequences",
         [](CVLDoc& d) { d.m_poSeqList.clear(); },
         {"Error: Internal Error: [0] is an invalid number of sequences", kRed, 1, -1, -1, -1},
         Counted::Error},
        {"FrameRate",
         [](CVLDoc& d) { d.m_wFrameRate = 9; },
         {"Error: Internal Error: [9] is an invalid radio button frame rate", kRed, 1, -1, -1, -1},
         Counted::Error},
        {"FrequencyNotANumber",
         [](CVLDoc& d) {
             d.m_wClockSource = 1;
             d.m_strExternalFrequency = "fast";
         },
         {"Error: [fast] is an invalid external frequency.  Range is (0.0 Hz - 6120.0 Hz)", kRed, 0,
          -1, -1, -1},
         Counted::Error},
        {"FrequencyTooHigh",
         [](CVLDoc& d) {
             d.m_wClockSource = 1;
             d.m_strExternalFrequency = "6121";
         },
         {"Error: [6121] is an invalid external frequency.  Range is (0.0 Hz - 6120.0 Hz)", kRed, 0,
          -1, -1, -1},
         Counted::Error},
        {"ClockSource",
         [](CVLDoc& d) { d.m_wClockSource = 5; },
         {"Error: Internal Error: [5] is an invalid radio button clock source", kRed, 1, -1, -1,
          -1},
         Counted::Error},
        {"BaudNotInProduct",
         [](CVLDoc& d) { Port(d, 2).m_strBaudRate = "1234"; },
         {"Error: [1234] is an invalid baud rate for port 2 on the Harnel4", kRed, 6, 2, -1, -1},
         Counted::Error},
        {"BaudNotInProtocol",
         [](CVLDoc& d) {
             Port(d, 2).m_strProtocol = "Brevant_Ostrel_Backplane";
             Port(d, 2).m_strBaudRate = "9600";
         },
         {"Error: [9600] is an invalid baud rate for port 2.  It is not supported by the "
          "Brevant_Ostrel_Backplane protocol",
          kRed, 6, 2, -1, -1},
         Counted::Error},
        {"BaudNotKnown",
         [](CVLDoc& d) {
             Port(d, 2).m_strProtocol = "Brevant_Ostrel_Backplane";
             Port(d, 2).m_strBaudRate = "1234";
         },
         {"Error: [1234] is an invalid baud rate for port 2.  It is not supported by Tarnix", kRed,
          6, 2, -1, -1},
         Counted::Error},
        {"ParityNotInProduct",
         [](CVLDoc& d) { Port(d, 3).m_strParity = "X"; },
         {"Error: [X] is an invalid parity for port 3 on the Harnel4", kRed, 6, 3, -1, -1},
         Counted::Error},
        {"ParityNotInProtocol",
         [](CVLDoc& d) {
             Port(d, 1).m_strProtocol = "Brevant_Ostrel_Backplane";
             Port(d, 1).m_strBaudRate = "19200";
             Port(d, 1).m_strParity = "E";
         },
         {"Error: [E] is an invalid parity for port 1.  It is not supported by the "
          "Brevant_Ostrel_Backplane protocol",
          kRed, 6, 1, -1, -1},
         Counted::Error},
        {"ParityNotKnown",
         [](CVLDoc& d) { Port(d, 3).m_strParity = "X"; },
         {"Error: [X] is an invalid parity selection for port 3.  It is not supported by Tarnix",
          kRed, 6, 3, -1, -1},
         Counted::Error},
        {"DataBitsNotInProduct",
         [](CVLDoc& d) { Port(d, 1).m_strDataBits = "6"; },
         {"Error: [6] is an invalid data bits selection for port 1 on the Harnel4", kRed, 6, 1, -1,
          -1},
         Counted::Error},
        {"DataBitsNotInProtocol",
         [](CVLDoc& d) {
             Port(d, 1).m_strProtocol = "Brevant_Ostrel_Backplane";
             Port(d, 1).m_strBaudRate = "19200";
             Port(d, 1).m_strDataBits = "8";
         },
         {"Error: [8] is an invalid data bits selection for port 1.  It is not supported by the "
          "Brevant_Ostrel_Backplane protocol",
          kRed, 6, 1, -1, -1},
         Counted::Error},
        {"DataBitsNotKnown",
         [](CVLDoc& d) { Port(d, 1).m_strDataBits = "6"; },
         {"Error: [6] is an invalid data bits selection for port 1.  It is not supported by "
          "Tarnix",
          kRed, 6, 1, -1, -1},
         Counted::Error},
        {"StopBitsNotInProduct",
         [](CVLDoc& d) { Port(d, 4).m_strStopBits = "3"; },
         {"Error: [3] is an invalid stop bits selection for port 4 on the Harnel4", kRed, 6, 4, -1,
          -1},
         Counted::Error},
        {"StopBitsNotInProtocol",
         [](CVLDoc& d) {
             Port(d, 1).m_strProtocol = "Brevant_Ostrel_Backplane";
             Port(d, 1).m_strBaudRate = "19200";
             Port(d, 1).m_strStopBits = "2";
         },
         {"Error: [2] is an invalid stop bits selection for port 1.  It is not supported by the "
          "Brevant_Ostrel_Backplane protocol",
          kRed, 6, 1, -1, -1},
         Counted::Error},
        {"StopBitsNotKnown",
         [](CVLDoc& d) { Port(d, 4).m_strStopBits = "3"; },
         {"Error: [3] is an invalid stop bits selection for port 4.  It is not supported by "
          "Tarnix",
          kRed, 6, 4, -1, -1},
         Counted::Error},
        {"ScsiAddressOutOfRange",
         [](CVLDoc& d) {
             Port(d, 4).m_strInterface = "SCSI";
             Port(d, 4).m_strScsiAddress = "9";
         },
         {"Error: [9] is an invalid SCSI address selection for port 4.  It is not supported by "
          "Tarnix",
          kRed, 6, 4, -1, -1},
         Counted::Error},
        {"ScsiAddressNotANumber",
         [](CVLDoc& d) {
             Port(d, 4).m_strInterface = "SCSI";
             Port(d, 4).m_strScsiAddress = "two";
         },
         {"Error: [two] is an invalid SCSI address selection for port 4.  It is not supported by "
          "Tarnix",
          kRed, 6, 4, -1, -1},
         Counted::Error},
        {"ScsiAddressShared",
         [](CVLDoc& d) {
             for (int i : {3, 4}) {
                 Port(d, i).m_strInterface = "SCSI";
                 Port(d, i).m_strScsiAddress = "2";
             }
         },
         {"Error: Port 4 has a SCSI address [2] also used by port 3.  Addresses need to be unique",
          kRed, 6, 4, -1, -1},
         Counted::Error},
        {"RemapOutOfRange",
         [](CVLDoc& d) { Port(d, 2).m_strRemap = "17"; },
         {"Error: Port 2 is remapped to an invalid port number [17]", kRed, 6, 2, -1, -1},
         Counted::Error},
        {"PortWithoutSlot",
         [](CVLDoc& d) {
             d.m_pProduct->m_wPorts = 18;
             Port(d, 17).m_strName = "Port17";
             Port(d, 17).m_strProtocol = "None";
         },
         {"Error: Port 17 has no slot of its own in the port tables and needs a remap to a port "
          "number ( 1 - 16 )",
          kRed, 6, 17, -1, -1},
         Counted::Error},
        {"UnknownProtocol",
         [](CVLDoc& d) { Port(d, 1).m_strProtocol = "Bogus"; },
         {"Error: [Bogus] did not match any available protocol on port 1", kRed, 6, 1, -1, -1},
         Counted::Error},
        {"UnknownErrorSequence",
         [](CVLDoc& d) { Port(d, 0).m_strErrorSequence = "Nope"; },
         {"Error: [Nope] is not a valid sequence name selected as an error sequence on port 0",
          kRed, 6, 0, -1, -1},
         Counted::Error},
        {"SequenceWithoutName",
         [](CVLDoc& d) { Main(d).m_strName.clear(); },
         {"Warning: Sequence 1 has no name", kRed, 9, 0, -1, -1},
         Counted::Warning},
        {"ChaseAndLooping",
         [](CVLDoc& d) {
             Main(d).m_nChaseOn = 1;
             Main(d).m_nLooping = 1;
         },
         {"Warning: Sequence cannot be looped. It is currently in Timecode Chase Mode.", kRed, 9, 0,
          -1, -1},
         Counted::Warning},
        {"ChaseAndRestart",
         [](CVLDoc& d) {
             Main(d).m_nChaseOn = 1;
             Main(d).m_nRestart = 1;
         },
         {"Warning: Sequence cannot Restart. It is currently in Timecode Chase Mode.", kRed, 9, 0,
          -1, -1},
         Counted::Warning},
        {"TriggerIo",
         [](CVLDoc& d) { Trigger(d, 0).m_strIoName = "Nowhere"; },
         {"Error: Sequence Main Setup, Start Trigger: [Nowhere] is not a valid input or output "
          "name",
          kRed, 9, 0, -1, -1},
         Counted::Error},
        {"TriggerVariable",
         [](CVLDoc& d) {
             Trigger(d, 1).m_strVariable = "NoVar";
             Trigger(d, 1).m_strValue = "1";
         },
         {"Error: Sequence Main Setup, Stop Trigger: [NoVar] is not a valid variable name", kRed, 9,
          0, -1, -1},
         Counted::Error},
        {"TriggerValueWithoutVariable",
         [](CVLDoc& d) { Trigger(d, 2).m_strValue = "3"; },
         {"Error: Sequence Main Setup, Pause Trigger: There is no variable to compare to 3", kRed,
          9, 0, -1, -1},
         Counted::Error},
        {"TriggerVariableWithoutValue",
         [](CVLDoc& d) { Trigger(d, 3).m_strVariable = "Var1"; },
         {"Error: Sequence Main Setup, Reset Trigger: variable Var1 has no variable/literal to "
          "compare to",
          kRed, 9, 0, -1, -1},
         Counted::Error},
        {"StartTriggerLiteral",
         [](CVLDoc& d) {
             Trigger(d, 0).m_strVariable = "Var1";
             Trigger(d, 0).m_strValue = "300";
         },
         {"Error: Sequence Main Setup, Start Trigger: variable/literal 300 is invalid.", kRed, 9, 0,
          -1, -1},
         Counted::Error},
        {"StopTriggerLiteral",
         [](CVLDoc& d) {
             Trigger(d, 1).m_strVariable = "Var1";
             Trigger(d, 1).m_strValue = "-1";
         },
         {"Error: Sequence Main Setup, Stop Trigger: variable/literal -1 is invalid", kRed, 9, 0,
          -1, -1},
         Counted::Error},
        {"TriggerValueNotANumber",
         [](CVLDoc& d) {
             Trigger(d, 0).m_strVariable = "Var1";
             Trigger(d, 0).m_strValue = "abc";
         },
         {"Warning: Sequence Main Setup, Start Trigger: [abc] is neither a variable name nor a "
          "decimal number; it is compared as 0",
          kRed, 9, 0, -1, -1},
         Counted::Warning},
        {"TriggerCombine",
         [](CVLDoc& d) {
             Trigger(d, 0).m_strIoName = "Input1";
             Trigger(d, 0).m_wCombine = 7;
         },
         {"Error: Internal Error: Sequence Main Setup, ( AND, OR ) Out of Range Integer", kRed, 9,
          0, -1, -1},
         Counted::Error},
        {"TriggerComparison",
         [](CVLDoc& d) {
             Trigger(d, 0).m_strVariable = "Var1";
             Trigger(d, 0).m_strValue = "1";
             Trigger(d, 0).m_wComparison = 6;
         },
         {"Error: Internal Error: Sequence Main Setup, ( EQ, NEQ, GT, LT, GE, LE ) Out of Range "
          "Integer",
          kRed, 9, 0, -1, -1},
         Counted::Error},
        {"TimeCharacter",
         [](CVLDoc& d) { FirstEvent(d).m_strTime = "1.2.3"; },
         {"Error: Sequence Main, Event 1: [1.2.3] is not a valid time", kRed, 10, 0, 0, -1},
         Counted::Error},
        {"TimeFrames",
         [](CVLDoc& d) { FirstEvent(d).m_strTime = "70000"; },
         {"Error: Sequence Main, Event 1: [70000] is not a valid time ( 0 - 65535 ) frames", kRed,
          10, 0, 0, -1},
         Counted::Error},
        {"TimeRange30",
         [](CVLDoc& d) { FirstEvent(d).m_strTime = "50:00.00"; },
         {"Error: Sequence Main, Event 1: [50:00.00] is not a valid time ( 00:00.00 - 36:24.15 )",
          kRed, 10, 0, 0, -1},
         Counted::Error},
        {"TimeRange24",
         [](CVLDoc& d) {
             d.m_wFrameRate = 0;
             FirstEvent(d).m_strTime = "50:00.00";
         },
         {"Error: Sequence Main, Event 1: [50:00.00] is not a valid time ( 00:00.00 - 45:30.15 )",
          kRed, 10, 0, 0, -1},
         Counted::Error},
        {"TimeRange25",
         [](CVLDoc& d) {
             d.m_wFrameRate = 1;
             FirstEvent(d).m_strTime = "50:00.00";
         },
         {"Error: Sequence Main, Event 1: [50:00.00] is not a valid time ( 00:00.00 - 43:41.10 )",
          kRed, 10, 0, 0, -1},
         Counted::Error},
        {"TimeRange2997",
         [](CVLDoc& d) {
             d.m_wFrameRate = 2;
             FirstEvent(d).m_strTime = "50:00.00";
         },
         {"Error: Sequence Main, Event 1: [50:00.00] is not a valid time ( 00:00.00 - 36:26.20 )",
          kRed, 10, 0, 0, -1},
         Counted::Error},
        {"TimeOutOfOrder",
         [](CVLDoc& d) {
             d.m_nErrorDetection = 1;
             FirstEvent(d).m_strTime = "00:10.00";
             auto later = std::make_unique<CEvnt>();
             later->m_strTime = "00:05.00";
             Main(d).m_poEventList.push_back(std::move(later));
         },
         {"Warning: Sequence Main, Event 2: Time is earlier than Event 1's time (Time possibly out "
          "of order)",
          kOrange, 10, 0, 1, -1},
         Counted::Warning},
        {"SkippedEvent",
         [](CVLDoc& d) { FirstEvent(d).m_strSkip = "REM"; },
         {"Warning: Sequence Main, Event 1: This event is REM'd out.  Event not compiled.", kOrange,
          10, 0, 0, -1},
         Counted::Warning},
        {"InputNamedAsSequence",
         [](CVLDoc& d) {
             d.m_nErrorDetection = 1;
             d.m_pProduct->m_Inputs[1].m_strName = "PUMP";
             d.m_poSeqList.push_back(std::make_unique<CSeq>("Other", 1));
             d.m_poSeqList.push_back(std::make_unique<CSeq>("pump", 1));
         },
         {"Warning: input [pump]:  Sequence 3 has the same name.", kRed, 9, 2, -1, -1},
         Counted::Warning},
        {"InputsDifferingInCaseAndBlanks",
         [](CVLDoc& d) {
             d.m_nErrorDetection = 1;
             d.m_pProduct->m_Inputs[0].m_strName = "Door";
             d.m_pProduct->m_Inputs[1].m_strName = "door ";
         },
         {"Warning: input [door]:  Input 2 has the same name.", kOrange, 2, 1, -1, -1},
         Counted::Warning},
        {"OutputNamedAsFlag",
         [](CVLDoc& d) {
             d.m_nErrorDetection = 1;
             d.m_pProduct->m_Flags[4].m_strName = "Output3";
         },
         {"Warning: output [Output3]:  Flag 5 has the same name.", kOrange, 4, 4, -1, -1},
         Counted::Warning},
    };
}

class FaultTest : public CompileTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FaultTest, IsReportedWithKindIndexesAndColour) {
    AddEvent(AddSequence("Main"), "00:00.00", "Nop");
    GetParam().setup(*doc_);
    Compile();
    const CompileMessage& expected = GetParam().expected;
    const CompileMessage* line = view_.Find(expected.text);
    ASSERT_NE(line, nullptr) << testing::PrintToString(view_.Texts());
    EXPECT_EQ(line->kind, expected.kind);
    EXPECT_EQ(line->resource, expected.resource);
    EXPECT_EQ(line->event, expected.event);
    EXPECT_EQ(line->param, expected.param);
    EXPECT_EQ(line->colour, expected.colour);
    if (GetParam().counted == Counted::Error) {
        EXPECT_GT(GetCompilerState().errorCount, 0u);
        EXPECT_EQ(view_.lines.back().text,
                  "Script Compiled with Errors.  Fix the errors and compile again.");
        EXPECT_FALSE(std::filesystem::exists(ImageFile()));
    } else {
        EXPECT_GT(GetCompilerState().warningCount, 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultTest, ::testing::ValuesIn(FaultCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CompileTest, DuplicateNamesAreCheckedOnlyWithMaximumDetection) {
    AddEvent(AddSequence("Main"), "00:00.00", "Nop");
    doc_->m_pProduct->m_Inputs[1].m_strName = "Input1";
    Compile();
    EXPECT_EQ(view_.Find("Checking for duplicate input names"), nullptr);
    EXPECT_EQ(GetCompilerState().warningCount, 0u);

    doc_->m_nErrorDetection = 1;
    Compile();
    const std::vector<std::string> checks = {
        "Checking for duplicate input names",      "Checking for duplicate output names",
        "Checking for duplicate flag names",       "Checking for duplicate variable names",
        "Checking for duplicate port names",       "Checking for duplicate data string names",
        "Checking for duplicate LCD string names", "Checking for duplicate sequence names"};
    for (const auto& check : checks)
        EXPECT_NE(view_.Find(check), nullptr) << check;
    // Each pair is compared once.
    EXPECT_EQ(GetCompilerState().warningCount, 1u);
    EXPECT_NE(view_.Find("Warning: input [Input1]:  Input 2 has the same name."), nullptr);
}

TEST_F(CompileTest, SharedScsiAddressIsReportedFromBothSides) {
    AddEvent(AddSequence("Main"), "00:00.00", "Nop");
    for (int i : {3, 4}) {
        doc_->m_pProduct->m_Ports[i].m_strInterface = "SCSI";
        doc_->m_pProduct->m_Ports[i].m_strScsiAddress = "2";
    }
    Compile();
    EXPECT_NE(view_.Find("Error: Port 3 has a SCSI address [2] also used by port 4.  Addresses "
                         "need to be unique"),
              nullptr);
    EXPECT_NE(view_.Find("Error: Port 4 has a SCSI address [2] also used by port 3.  Addresses "
                         "need to be unique"),
              nullptr);
    EXPECT_EQ(GetCompilerState().errorCount, 2u);
}

} // namespace
} // namespace compile_testing
