#include "script/protocol.h"
#include "script/protocol_list.h"
#include "tests/support/scripted_ui.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const std::string kNoMatch = "Read Protocol:  Could not match command for parameter";
const std::string kTooManyOr =
    "Read Protocol:  Maximum number of Or'd types for parameter has been exceeded";
const std::string kTooManyAnd =
    "Read Protocol:  Maximum number of And'd types for Or has been exceeded";

// A term written as "type" or "type=arg".
std::string Describe(const CParam& p) {
    std::string out;
    for (int g = 0; g < p.m_nGroupCount; ++g) {
        if (g)
            out += " | ";
        const COr& group = p.m_Or[static_cast<std::size_t>(g)];
        for (int t = 0; t < group.m_nTermCount; ++t) {
            const CAnd& term = group.m_And[static_cast<std::size_t>(t)];
            if (t)
                out += " & ";
            out += kParamTypeKeywords[term.m_nType];
            if (!term.m_strArg.empty())
                out += "=" + term.m_strArg;
        }
    }
    return out;
}

TEST(ParamTypes, ParsesTypeExpressions) {
    struct Case {
        const char* text;
        const char* groups;
        const char* description;
    } cases[] = {
        {"port, \"A valid Port\"", "port", "A valid Port"},
        {"datastring|string, \"A valid Data or local String\"", "datastring | string",
         "A valid Data or local String"},
        {"byte(0 - 255)", "byte=0-255", ""},
        {"\"Bank 1\"|\"Two\"", "string=Bank1 | string=Two", ""},
        {"BYTE", "byte", ""},
        {"byte|", "byte | ", ""}, // the empty second group counts
        {"contains(s:1,m:2)&byte(1,20), \"x\"", "contains=s:1,m:2 & byte=1,20", "x"},
        {"\"a,b|c&d(e)\"", "string=a,b|c&d(e)", ""},
        {"byte(\"q\")", "byte=\"q\"", ""},
        {"byte, \"Level ( 0 - 255 )\" tail", "byte",
         "Level ( 0 - 255 )"}, // text outside quotes dropped
        {"byte, unquoted", "byte", ""},
        {"input|output|flag|var|port", "input | output | flag | var | port", ""},
        {"input&output&flag, \"three\"", "input & output & flag", "three"},
        {"  word ( 1 , 16 ) ", "word=1,16", ""},
        {"qornetvalue|ipaddress|porttyperemote", "qornetvalue | ipaddress | porttyperemote", ""},
    };
    for (const auto& c : cases) {
        testing_support::ScriptedUi ui;
        CParam p;
        p.m_strText = c.text;
        ASSERT_TRUE(p.ParseTypes()) << c.text;
        EXPECT_EQ(Describe(p), c.groups) << c.text;
        EXPECT_EQ(p.m_strDescription, c.description) << c.text;
        EXPECT_TRUE(ui.boxes.empty()) << c.text;
    }
}

TEST(ParamTypes, RefusesBadExpressionsWithOneMessage) {
    struct Case {
        const char* text;
        const std::string& message;
    } cases[] = {
        {"nosuch", kNoMatch},
        {"(1,2)", kNoMatch}, // a '(' with no keyword before it
        {")", kNoMatch},     // a ')' with no term to take its argument
        {"byte|(3)", kNoMatch},
        {"byte|)", kNoMatch},
        {"byte|word|flag|var|port|input", kTooManyOr},
        {"byte|word|flag|var|port|", kTooManyOr}, // a sixth group, even an empty one
        {"byte||||||", kTooManyOr},
        {"byte|word|flag|var|port|, \"d\"", kTooManyOr},
        {"byte|word|flag|var|port|)", kTooManyOr},
        {"byte&word&flag&var", kTooManyAnd},
        {"\"a\"&\"b\"&\"c\"&\"d\"", kTooManyAnd},
        {"byte(0-255", kNoMatch}, // the unclosed argument is taken for a keyword
    };
    for (const auto& c : cases) {
        testing_support::ScriptedUi ui;
        CParam p;
        p.m_strText = c.text;
        EXPECT_FALSE(p.ParseTypes()) << c.text;
        EXPECT_EQ(ui.Texts(), std::vector<std::string>{c.message}) << c.text;
        EXPECT_LE(p.m_nGroupCount, CParam::kMaxGroups) << c.text;
    }
}

TEST(Command, CategoryIsTheNameBeforeTheFirstColon) {
    EXPECT_EQ(CCmnd("Play:Now").GetCategory(), "Play");
    EXPECT_EQ(CCmnd("A:B:C").GetCategory(), "A");
    EXPECT_EQ(CCmnd("Nop").GetCategory(), "Nop");
    EXPECT_EQ(CCmnd(":x").GetCategory(), "");
    EXPECT_EQ(CCmnd("Play:Now").GetName(), "Play:Now");
}

TEST(Command, CommandNameIsTheNameAfterTheFirstColonWithoutColons) {
    struct Case {
        const char* name;
        const char* command;
    } cases[] = {
        {"Play:Now", "Now"}, {"Lamp:On:Off", "OnOff"}, {"Cat:", ""}, {"Nop", ""},
        {":x", "x"},         {"a::b:", "b"},           {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CCmnd(c.name).GetCommandName(), c.command) << c.name;
}

TEST(Protocol, DisplayNameJoinsMakerAndModel) {
    struct Case {
        const char* maker;
        const char* model;
        const char* name;
    } cases[] = {
        {"Brevant", "Pelvane 2", "Brevant_Pelvane_2"},
        {"Brevant", "", "Brevant"},
        {"", "Model X", "Model_X"},
        {"A\tB", "C\r\nD", "A_B_C__D"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        CProtocol p;
        p.m_strMaker = c.maker;
        p.m_strModel = c.model;
        EXPECT_EQ(p.GetDisplayName(), c.name);
    }
    EXPECT_EQ(CProtocol::UnderscoreBlanks(" a\vb\f"), "_a_b_");
}

class ProtocolFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/velmora-pcl-XXXXXX";
        dir = mkdtemp(tmpl);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string Write(const std::string& name, const std::string& bytes) {
        std::string path = (dir / name).string();
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        return path;
    }
    std::filesystem::path dir;
    testing_support::ScriptedUi ui;
};

const char* const kDevice = "[Device]\r\nMaker=Brevant\r\nModel=Test Unit\r\n";

TEST_F(ProtocolFileTest, ReadsTheDeviceSectionWithDefaults) {
    std::string path = Write("t.pcl", std::string("[Early]\r\nMessage=1\r\n") + kDevice +
                                          "Version=1.00\r\nBaudRate=9600,19200\r\n"
                                          "[Cmd:One]\r\nMessage=h01\r\n");
    CProtocol p;
    ASSERT_TRUE(p.ReadDevice(path));
    EXPECT_EQ(p.m_strPath, path);
    EXPECT_EQ(p.m_strLocation, "Local");
    EXPECT_EQ(p.m_strBrevantType, "Show Controller");
    EXPECT_EQ(p.m_strBaudRate, "9600,19200");
    EXPECT_EQ(p.m_strVersion, "1.00");
    EXPECT_EQ(p.m_strInterface, "");
    EXPECT_EQ(p.GetDisplayName(), "Brevant_Test_Unit");
    EXPECT_FALSE(p.IsLoaded());
    EXPECT_TRUE(p.m_poCmndList.empty());

    // Sections before [Device] are no commands.
    ASSERT_TRUE(p.LoadCommands());
    ASSERT_EQ(p.m_poCmndList.size(), 1u);
    EXPECT_EQ(p.m_poCmndList[0]->GetName(), "Cmd:One");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ProtocolFileTest, ReportsMissingFilesAndDeviceSections) {
    CProtocol p;
    std::string missing = (dir / "none.pcl").string();
    EXPECT_FALSE(p.ReadDevice(missing));
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Could not open " + missing + " for reading",
                                                    "Read Protocol:  Could not read file"}));
    ui.Clear();
    // A '[Device]' that is not at the start of its line is no header.
    EXPECT_FALSE(p.ReadDevice(Write("nodev.pcl", "; [Device]\r\nx=[Device]\r\n[Dev]\r\n")));
    EXPECT_EQ(ui.Texts(),
              std::vector<std::string>{"Read Protocol:  Could not find [Device] Section."});
    EXPECT_TRUE(p.m_strPath.empty());
}

// A shipped protocol cut short anywhere is refused at load with what is missing, not left to
// fail at every compile.
TEST_F(ProtocolFileTest, AFileCutShortIsToldAtLoad) {
    std::ifstream in(std::string(VELMORA_SOURCE_DIR) + "/data/PROTOCOL/PELVANE2.PCL",
                     std::ios::binary);
    const std::string whole((std::istreambuf_iterator<char>(in)), {});
    ASSERT_GT(whole.size(), 3000u);
    const struct {
        std::size_t length;
        const char* message;
    } cases[] = {
        {1000, "Read Protocol:  The [Device] Section names no Maker and no Model: the file may be "
               "cut short."},
        {3000, "Read Protocol:  Command [UnMute:Video] has no Message: the file may be cut short."},
    };
    for (const auto& c : cases) {
        ui.Clear();
        CProtocol p;
        EXPECT_FALSE(p.ReadDevice(Write("cut.pcl", whole.substr(0, c.length))));
        EXPECT_EQ(ui.Texts(), std::vector<std::string>{c.message});
    }
    ui.Clear();
    CProtocol p;
    EXPECT_TRUE(p.ReadDevice(Write("whole.pcl", whole)));
    EXPECT_TRUE(ui.Texts().empty());
}

TEST_F(ProtocolFileTest, ReadsCommandsWithAllTheirKeys) {
    std::string text = kDevice;
    text += "\r\n[Cmd:Full]\r\ndescription=All of it\r\nsupported=2.50\r\nretries=3\r\n"
            "timeout=500\r\nmessageack=h06\r\ncompletionack=\"OK\"\r\n";
    for (int n = 1; n <= 11; ++n)
        text += "param" + std::to_string(n) + "=byte\r\n";
    for (int n = 1; n <= 21; ++n)
        text += "byte" + std::to_string(n) + "=h" + std::to_string(n) + "\r\n";
    text += "message=h01, @byte(Param1)\r\n";
    text += "\r\n[Cmd:Gaps]\r\nParam1=port\r\nParam2=word\r\nParam4=var\r\n"
            "Param3=\r\nByte2=1\r\nMessage=h02\r\n";
    text += "[Cmd:LF]\nParam1=flag, \"see [manual]\"\nMessage=h03";
    CProtocol p;
    ASSERT_TRUE(p.ReadDevice(Write("t.pcl", text)));
    ASSERT_TRUE(p.LoadCommands());
    ASSERT_EQ(p.m_poCmndList.size(), 3u);

    const CCmnd& full = *p.m_poCmndList[0];
    EXPECT_EQ(full.m_strDescription, "All of it");
    EXPECT_EQ(full.m_strSupported, "2.50");
    EXPECT_EQ(full.m_strRetries, "3");
    EXPECT_EQ(full.m_strTimeout, "500");
    EXPECT_EQ(full.m_strMessageAck, "h06");
    EXPECT_EQ(full.m_strCompletionAck, "\"OK\"");
    EXPECT_EQ(full.m_strMessage, "h01, @byte(Param1)");
    EXPECT_EQ(full.m_nParamCount, 10);
    EXPECT_EQ(full.m_nByteCount, 20);
    EXPECT_EQ(full.m_strBytes[19], "h20");
    EXPECT_EQ(Describe(full.m_Params[9]), "byte");

    const CCmnd& gaps = *p.m_poCmndList[1];
    EXPECT_EQ(gaps.m_nParamCount, 2); // Param3 is empty: Param4 is not read
    EXPECT_EQ(gaps.m_nByteCount, 0);  // no Byte1: Byte2 is not read
    EXPECT_EQ(gaps.m_Params[2].m_strText, "");

    const CCmnd& lf = *p.m_poCmndList[2];
    EXPECT_EQ(lf.m_Params[0].m_strDescription, "see [manual]");
    EXPECT_EQ(lf.m_strMessage, "h03");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ProtocolFileTest, LoadsOnceAndRetriesAFailedLoadWithoutDuplicates) {
    std::string good = std::string(kDevice) + "[A:1]\r\nParam1=byte\r\n[B:2]\r\nParam1=var\r\n";
    std::string bad = std::string(kDevice) + "[A:1]\r\nParam1=byte\r\n[B:2]\r\nParam1=nosuch\r\n";
    std::string path = Write("t.pcl", bad);
    CProtocol p;
    ASSERT_TRUE(p.ReadDevice(path));
    EXPECT_FALSE(p.LoadCommands());
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{kNoMatch});
    EXPECT_FALSE(p.IsLoaded());
    EXPECT_TRUE(p.m_poCmndList.empty());

    Write("t.pcl", good);
    ASSERT_TRUE(p.LoadCommands());
    ASSERT_EQ(p.m_poCmndList.size(), 2u);
    EXPECT_TRUE(p.IsLoaded());

    // Once loaded, the file is not read again.
    std::filesystem::remove(path);
    EXPECT_TRUE(p.LoadCommands());
    EXPECT_EQ(p.m_poCmndList.size(), 2u);
    EXPECT_EQ(ui.boxes.size(), 1u);

    // Reading the device section again starts over: no commands, not loaded.
    Write("t.pcl", good);
    ASSERT_TRUE(p.ReadDevice(path));
    EXPECT_FALSE(p.IsLoaded());
    EXPECT_TRUE(p.m_poCmndList.empty());
    ASSERT_TRUE(p.LoadCommands());
    EXPECT_EQ(p.m_poCmndList.size(), 2u);
}

TEST_F(ProtocolFileTest, LoadReportsAFileThatWentAway) {
    std::string path = Write("t.pcl", kDevice);
    CProtocol p;
    ASSERT_TRUE(p.ReadDevice(path));
    Write("t.pcl", "[Other]\r\n");
    EXPECT_FALSE(p.LoadCommands());
    std::filesystem::remove(path);
    EXPECT_FALSE(p.LoadCommands());
    EXPECT_EQ(ui.Texts(),
              (std::vector<std::string>{"Read Protocol:  Could not find [Device] Section.",
                                        "Could not open " + path + " for reading",
                                        "Read Protocol:  Could not read file"}));
}

TEST_F(ProtocolFileTest, BracketsInValuesMakeNoPhantomCommands) {
    std::string text = std::string(kDevice) +
                       "Description=see [Phantom] here\r\n"
                       "[Cmd:One]\r\nDescription=uses [brackets] and [more]\r\nMessage=h01\r\n";
    CProtocol p;
    ASSERT_TRUE(p.ReadDevice(Write("t.pcl", text)));
    EXPECT_EQ(p.m_strDescription, "see [Phantom] here");
    ASSERT_TRUE(p.LoadCommands());
    ASSERT_EQ(p.m_poCmndList.size(), 1u);
    EXPECT_EQ(p.m_poCmndList[0]->m_strDescription, "uses [brackets] and [more]");
}

TEST_F(ProtocolFileTest, LenientReadingWarnsAndKeepsTheParameterText) {
    std::string text = std::string(kDevice) +
                       "[A:1]\r\nParam1=bogus, \"d\"\r\nParam2=byte|word|flag|var|port|input\r\n"
                       "Param3=byte&word&flag&var\r\nParam4=byte\r\nByte1=h01\r\n"
                       "[B:2]\r\nParam1=(3)\r\nMessage=h02\r\n";
    std::string path = Write("t.pcl", text);

    CProtocol lenient;
    lenient.SetReading(ProtocolReading::Lenient);
    ASSERT_TRUE(lenient.ReadDevice(path));
    ASSERT_TRUE(lenient.LoadCommands());
    EXPECT_EQ(ui.Texts(),
              (std::vector<std::string>{
                  "Warning: I couldn't make much sense of the Param\n\" bogus \" in the Command "
                  "\" A:1 \"",
                  kTooManyOr, kTooManyAnd,
                  "Warning: I couldn't make much sense of the Param\n\"  \" in the Command \" "
                  "B:2 \""}));
    ASSERT_EQ(lenient.m_poCmndList.size(), 2u);
    const CCmnd& a = *lenient.m_poCmndList[0];
    EXPECT_EQ(a.m_nParamCount, 4);
    EXPECT_EQ(a.m_Params[0].m_strText, "bogus, \"d\"");
    EXPECT_EQ(a.m_Params[2].m_strText, "byte&word&flag&var");
    EXPECT_EQ(a.m_nByteCount, 1);
    EXPECT_EQ(lenient.m_poCmndList[1]->m_strMessage, "h02");
    EXPECT_TRUE(lenient.IsLoaded());

    // The same file read strictly stops at the first bad parameter.
    ui.Clear();
    CProtocol strict;
    ASSERT_TRUE(strict.ReadDevice(path));
    EXPECT_FALSE(strict.LoadCommands());
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{kNoMatch});
    EXPECT_TRUE(strict.m_poCmndList.empty());
}

// Records the order of wait-cursor changes and message boxes.
class CursorLog : public testing_support::ScriptedUi {
public:
    void BeginWaitCursor() override { log += "("; }
    void EndWaitCursor() override { log += ")"; }
    platform::MsgResult MessageBox(const platform::MessageBoxRequest& request) override {
        log += "!";
        return ScriptedUi::MessageBox(request);
    }
    std::string log;
};

TEST_F(ProtocolFileTest, EndsTheWaitCursorBeforeEveryMessage) {
    std::string path =
        Write("t.pcl", std::string(kDevice) + "[A:1]\r\nParam1=byte&word&flag&var\r\n");
    CursorLog log;
    CProtocol p;
    ASSERT_TRUE(p.ReadDevice(path));
    EXPECT_FALSE(p.LoadCommands());
    EXPECT_FALSE(p.ReadDevice((dir / "none.pcl").string()));
    // The file reader's own message comes while the cursor still shows, as it does not
    // know about it; the protocol reader's messages always come after the cursor ended.
    EXPECT_EQ(log.log, "()()!(!)!");
    EXPECT_EQ(log.Texts().front(), kTooManyAnd);
}

TEST(ProtocolList, FindsProtocolsByDisplayName) {
    CProList list;
    auto add = [&](const char* maker, const char* model) {
        auto p = std::make_unique<CProtocol>();
        p->m_strMaker = maker;
        p->m_strModel = model;
        return list.AddTail(std::move(p));
    };
    CProtocol* events = add("Brevant", "Events");
    CProtocol* pelvane = add("Brevant", "Pelvane 2");
    CProtocol* second = add("brevant", "pelvane 2"); // a later duplicate is never found
    ASSERT_EQ(list.GetCount(), 3u);
    (void)second;

    CProtocol* pos = pelvane;
    EXPECT_FALSE(list.FindProtocol("Brevant_Events", pos, false));
    EXPECT_EQ(pos, nullptr);
    EXPECT_TRUE(list.FindProtocol("brevant_events", pos, true));
    EXPECT_EQ(pos, events);

    struct Case {
        const char* name;
        CProtocol* expected;
    } cases[] = {
        {"Brevant_Pelvane_2", pelvane},
        {"BREVANT_PELVANE_2", pelvane},
        {"Show1->Brevant_Pelvane_2", pelvane},
        {"a->b->Brevant_Pelvane_2", pelvane},
        {"Brevant Pelvane 2", nullptr}, // names are identifiers
        {"None", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(list.FindProtocol(c.name, pos, false), c.expected != nullptr) << c.name;
        EXPECT_EQ(pos, c.expected) << c.name;
    }
    EXPECT_TRUE(CProList::HasArrow("a>b"));
    EXPECT_FALSE(CProList::HasArrow("a-b"));
}

} // namespace
