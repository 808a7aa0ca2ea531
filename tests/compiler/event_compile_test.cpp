#include "tests/compiler/event_compile_fixture.h"

#include "compiler/linked_resources.h"
#include "compiler/param_functions.h"

#include <functional>
#include <sstream>

namespace event_compile_testing {
namespace {

// A device protocol of one command "Go:Now": a port, then a byte; the message 01 02 and the
// byte. `extraDevice` and `extraCommand` add keys.
std::string DeviceProtocol(const std::string& model, const std::string& protocol,
                           const std::string& type, const std::string& extraCommand = "",
                           const std::string& message = "h01, h02, @byte(Param2)",
                           const std::string& supported = "1.00") {
    std::ostringstream text;
    text << "[Device]\r\nMaker=Test\r\nModel=" << model << "\r\nSupported=" << supported
         << "\r\nType=" << type << "\r\nProtocol=" << protocol << "\r\n\r\n[Go:Now]\r\n"
         << "Supported=1.00\r\nMessage=" << message
         << "\r\nParam1=port, \"The port\"\r\nParam2=byte, \"A value\"\r\n"
         << extraCommand;
    return text.str();
}

class EventCompile : public EventCompileTest {};

TEST_F(EventCompile, ExternalFramings) {
    struct Case {
        const char* protocol;
        const char* type;
        bool remote;
        ByteString frame;
    };
    // Message 01 02 05, three bytes; this unit's address 3 (83 with bit 7), the linked one 7.
    const Case cases[] = {
        {"OstrelBus", "Backplane", false, {5, 4, 1, 2, 5, 4}},
        {"Brevant9", "Audio", true, {7, 6, 0x83, 7, 1, 2, 5, 0x49}},
        {"Brevant9", "Show Controller", false, {7, 6, 0x83, 0, 1, 2, 5, 0x45}},
        {"brevant9", "Audio", false, {6, 5, 0x83, 1, 2, 5, 0x45}},
        {"Serial", "Audio", false, {3, 1, 2, 5}},
        {"MIDI", "Show Controller", true, {3, 1, 2, 5}},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string model = "Frame" + std::to_string(n++);
        ASSERT_NE(AddProtocol(model + ".pcl", DeviceProtocol(model, c.protocol, c.type)), nullptr);
        SetLinkProtocol(c.remote ? "Remote.ksf->Test_" + model : "Test_" + model);
        Sequence().m_poEventList.clear();
        CEvnt& event = AddEvent("Go", {"Link", "5"});
        ByteString expected = {0, 13, 1};
        expected.insert(expected.end(), c.frame.begin(), c.frame.end());
        EXPECT_EQ(CompileFull(event), expected) << c.protocol << " " << c.type;
        EXPECT_EQ(GetCompilerState().errorCount, 0u) << sink_.All();
    }
    // A remap number (low 8 bits) stands for the port index.
    main_->m_pProduct->m_Ports[1].m_strRemap = "260";
    CEvnt& event = AddEvent("Go", {"Link", "5"});
    EXPECT_EQ(CompileFull(event), (ByteString{0, 13, 4, 3, 1, 2, 5}));
    main_->m_pProduct->m_Ports[1].m_strRemap = "99999999999999999999";
    EXPECT_EQ(CompileFull(event), (ByteString{0, 13, 1, 3, 1, 2, 5}));
}

TEST_F(EventCompile, SendCodeAndAnswer) {
    const std::string answer = "Timeout=1000\r\nRetries=3\r\nMessageAck=h06\r\n";
    ASSERT_NE(AddProtocol("ack.pcl",
                          DeviceProtocol("Ack", "Serial", "Player", "") + "\r\n[Go:Later]\r\n" +
                              "Supported=6.4\r\nMessage=h09\r\nParam1=port, \"Port\"\r\n" + answer +
                              "\r\n[Go:Old]\r\nSupported=1.00\r\nMessage=h08\r\n" +
                              "Param1=port, \"Port\"\r\nParam2=\"old\", \"Old\"\r\n" + answer),
              nullptr);
    SetLinkProtocol("Test_Ack");
    CEvnt& later = AddEvent("Go", {"Link"});
    EXPECT_EQ(CompileFull(later), (ByteString{0, 38, 1, 1, 9, 0xE8, 0x03, 3, 0, 1, 6}));
    ByteString alone;
    ASSERT_TRUE(CompileAlone(later, alone));
    EXPECT_EQ(alone, (ByteString{0, 39, 1, 1, 9}));
    CEvnt& old = AddEvent("Go", {"Link", "old"});
    EXPECT_EQ(CompileFull(old), (ByteString{0, 18, 1, 1, 8, 0xE8, 0x03, 3, 0, 1, 6}));
    ASSERT_TRUE(CompileAlone(old, alone));
    EXPECT_EQ(alone, (ByteString{0, 13, 1, 1, 8}));
    // The device command's version is what the download checks.
    EXPECT_EQ(GetCompilerState().highestFirmwareText, "6.4");
    EXPECT_EQ(GetCompilerState().highestFirmwareCommand, "Go:Later");
    EXPECT_TRUE(GetCompilerState().highestFirmwareExternal);
}

TEST_F(EventCompile, FrameLengthByteNeverPasses255) {
    ASSERT_NE(AddProtocol("long.pcl", DeviceProtocol("Long", "Brevant9", "Show Controller", "",
                                                     "@string(Param2)")),
              nullptr);
    ASSERT_NE(AddProtocol("long2.pcl",
                          DeviceProtocol("Long2", "OstrelBus", "Backplane", "", "@string(Param2)")),
              nullptr);
    auto bytes = [](int count) {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += i ? ",1" : "1";
        return text;
    };
    auto setStringParam = [this](const char* display) {
        CProtocol* protocol = nullptr;
        ASSERT_TRUE(app_.App().m_poProList.FindProtocol(display, protocol, false));
        ASSERT_TRUE(protocol->LoadCommands());
        CParam& param = protocol->m_poCmndList.front()->m_Params[1];
        param.m_strText = "string, \"Bytes\"";
        param.m_nGroupCount = 0;
        param.m_Or = {};
        ASSERT_TRUE(param.ParseTypes());
    };
    // Param2 of these commands takes a string of bytes instead of one byte.
    setStringParam("Test_Long");
    setStringParam("Test_Long2");

    SetLinkProtocol("Test_Long");
    CEvnt& fits = AddEvent("Go", {"Link", bytes(251)});
    EXPECT_EQ(CompileFull(fits).size(), 3u + 4u + 251u + 1u);
    EXPECT_EQ(GetCompilerState().errorCount, 0u);
    CEvnt& tooLong = AddEvent("Go", {"Link", bytes(252)});
    EXPECT_TRUE(CompileFull(tooLong).empty());
    EXPECT_EQ(GetCompilerState().errorCount, 1u);
    EXPECT_TRUE(sink_.Has("Error: Sequence Default, Event 2: Event [Go:Now] is too long to be "
                          "sent: its frame would hold 256 bytes, at most 255 fit"))
        << sink_.All();
    ByteString alone;
    EXPECT_FALSE(CompileAlone(tooLong, alone));

    SetLinkProtocol("Test_Long2");
    CEvnt& ostrel = AddEvent("Go", {"Link", bytes(253)});
    EXPECT_EQ(CompileFull(ostrel).size(), 3u + 2u + 253u + 1u);
    CEvnt& ostrelLong = AddEvent("Go", {"Link", bytes(254)});
    EXPECT_TRUE(CompileFull(ostrelLong).empty());
}

TEST_F(EventCompile, PortEventsOfTheEventsProtocolStayInternal) {
    SetLinkProtocol("Brevant_Pelvane_2");
    // "Msgout" names a port first, and the events protocol accepts it: internal.
    CEvnt& msgout = AddEvent("Msgout", {"Link", "Hello"});
    SetCursor(msgout);
    EXPECT_EQ(CompilePortEvent(*main_), 1);
    EXPECT_EQ(CompileFull(msgout), (ByteString{0x31, 1, 3, 'H', 'i', 13}));
    // A device command through the same port is external.
    CEvnt& play = AddEvent("Play", {"Link", "1"});
    SetCursor(play);
    EXPECT_EQ(CompilePortEvent(*main_), 0);
    // No port named first: internal at once.
    CEvnt& on = AddEvent("On", {"Lamp"});
    SetCursor(on);
    EXPECT_EQ(CompilePortEvent(*main_), 1);
}

TEST_F(EventCompile, NoEventProtocolIsAnEmptyCommandList) {
    app_.App().m_posEventProtocol = nullptr;
    CEvnt& on = AddEvent("On", {"Lamp"});
    EXPECT_TRUE(CompileFull(on).empty());
    EXPECT_TRUE(sink_.Has("Error: Sequence Default, Event 1: [On] is not supported as an internal "
                          "event"))
        << sink_.All();
    SetCursor(on);
    EXPECT_EQ(CompilePortEvent(*main_), 1);
}

TEST_F(EventCompile, Templates) {
    CCmnd command("T:T");
    command.m_nParamCount = 2;
    command.m_Params[0].m_strText = "byte";
    command.m_Params[1].m_strText = "word";
    ASSERT_TRUE(command.m_Params[0].ParseTypes());
    ASSERT_TRUE(command.m_Params[1].ParseTypes());
    CEvnt& event = AddEvent("T", {"7", "h1234"});
    SetCursor(event);
    GetCompilerState().currentCommand = &command;
    ASSERT_EQ(MatchEventParameters(*main_, 0), 1);
    struct {
        const char* text;
        ByteString bytes;
    } cases[] = {
        {"h02, @msglength(2), \"BO\", @checksum(3,4), h03", {2, 6, 'B', 'O', 0x91, 3}},
        {"Param2", {0x34}},
        {"param1   h10,,h11", {7, 0x10, 0x11}},
        {"\"AB CD\"", {'A', 'B', ' ', 'C', 'D'}},
        {"@byte(Param1)h10", {7, 0x10}},
        {"\"\", zz, 256", {}},
        {"@msglength(9), 1", {0, 1}},
        {"@word(Param2)  @msgposition()", {0x34, 0x12, 3}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EvaluateTemplate(*main_, c.text), c.bytes) << c.text;
        EXPECT_EQ(GetCompilerState().message, c.bytes) << c.text;
    }
}

// One parameter type against event texts: accepted or not, and what it encoded.
TEST_F(EventCompile, ParameterTypes) {
    main_->m_wFrameRate = 3; // 30 frames per second
    struct Case {
        const char* type;
        const char* text;
        bool accepted;
        ByteString value;
    };
    const Case cases[] = {
        {"byte(1,16)", "16", true, {16}},
        {"byte(1,16)", "17", false, {}},
        {"byte(1,16)", "0", false, {}},
        {"byte(1, 16)", "h10", true, {16}},
        {"byte", "256", false, {}},
        {"byte(20)", "20", true, {20}},
        {"byte(20)", "21", false, {}},
        {"word(1,999)", "999", true, {0xE7, 0x03}},
        {"word(1,999)", "1000", false, {}},
        {"word", "99999999999999999999", false, {}},
        {"contains(R:0,r:0)&byte(1,20)", "R5", true, {5}},
        {"contains(R:0,r:0)&byte(1,20)", "5", false, {}},
        {"contains(t:1,b:2)", "tb", true, {2}},
        {"contains(t:1,b:2)", "t", true, {1}},
        {"contains(t:1,b:2)", "x", false, {}},
        {"contains(x:1)&contains(default:9)", "x", true, {9}},
        {"contains(x:,y:3)", "xy", true, {3}},
        {"\"ALL\"", "all", true, {}},
        {"\"ALL\"", "some", false, {}},
        {"string", "65,66", true, {65, 66}},
        {"string", "xyz", false, {}},
        {"bytetime", "1.5", true, {35}},
        {"bytetime", "9", true, {9}},
        {"bytetime", "8.16", false, {}},
        {"bytetime", "1.x", false, {}},
        {"bytetime", "99999999999999999999.1", false, {}},
        {"wordtime", "00:10.00", true, {0x2C, 0x01}},
        {"time", "01:02:03.04", true, {1, 2, 3, 4}},
        {"time", "25:00:00.00", false, {}},
        {"framestring", "123", true, {'1', '2', '3'}},
        {"timestring", "2:03.04", true, {'0', '2', '0', '3', '0', '4'}},
        {"trackstring", "12-3", true, {'1', '2', '0', '3'}},
        {"ipaddress", "10.0.0.1", true, {10, 0, 0, 1}},
        {"qornetvalue", "300", true, {0xFF, 0x01, 0x2C}},
        {"input|flag", "Ready", true, {66}},
        {"input|flag", "button", true, {128}},
        {"output", "Siren", true, {1}},
        {"output", "Nothing", false, {}},
        {"var", "Count", true, {0}},
        {"port", "aux", true, {2}},
        {"sequence", "Default", true, {0}},
        {"datastring", "Hello", true, {'H', 'i', 13}},
        {"lcdstring", "Banner", true, {'W', 'e', 'l', 'c', 'o', 'm', 'e'}},
        {"porttyperemote", "Link", false, {}},
        {"byte", "", false, {}},
    };
    for (const Case& c : cases) {
        Sequence().m_poEventList.clear();
        CEvnt& event = AddEvent("T", {c.text});
        SetCursor(event);
        CCmnd command("T:T");
        command.m_nParamCount = 1;
        command.m_Params[0].m_strText = c.type;
        ASSERT_TRUE(command.m_Params[0].ParseTypes()) << c.type;
        GetCompilerState().currentCommand = &command;
        CurrentParamValues()[0] = {0xEE}; // left from an earlier event: cleared at the start
        EXPECT_EQ(MatchEventParameters(*main_, 0), c.accepted ? 1 : 0) << c.type << " " << c.text;
        if (c.accepted) {
            EXPECT_EQ(CurrentParamValues()[0], c.value) << c.type << " " << c.text;
        }
    }
}

TEST_F(EventCompile, Labels) {
    CEvnt& nearJump = AddEvent("Goto", {"Target"});
    AddEvent("Nop", {});
    CEvnt& skipped = AddEvent("Nop", {});
    skipped.m_strSkip = ";";
    AddEvent("Nop", {}, "Target");
    EXPECT_EQ(CompileFull(nearJump), (ByteString{0x01, 1}));

    // Only the word form reaches 128 events on.
    Sequence().m_poEventList.clear();
    CEvnt& farJump = AddEvent("Goto", {"Far"});
    for (int i = 0; i < 128; ++i)
        AddEvent("Nop", {});
    AddEvent("Nop", {}, "Far");
    EXPECT_EQ(CompileFull(farJump), (ByteString{0x02, 128, 0}));
    EXPECT_EQ(GetCompilerState().errorCount, 0u) << sink_.All();
}

TEST_F(EventCompile, RemoteResources) {
    SetLinkProtocol("Remote.ksf->Brevant_9_Bit_Control");
    CEvnt& on = AddEvent("On", {"Link", "FarLamp"});
    EXPECT_EQ(CompileFull(on), (ByteString{0, 13, 1, 6, 5, 0x83, 7, 0x10, 0, 0x4D}));
    EXPECT_EQ(GetCompilerState().errorCount, 0u) << sink_.All();
    EXPECT_TRUE(GetCompilerState().linkedResources);
    EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(EventCompile, ClosedLinkedScript) {
    SetLinkProtocol("Other.ksf->Brevant_9_Bit_Control");
    CEvnt& first = AddEvent("On", {"Link", "FarLamp"});
    CEvnt& second = AddEvent("On", {"Link", "FarLamp"});

    // No: compiles on, the remote parameter is not found.
    ui_.QueueAnswer(platform::MsgResult::No);
    CompileFull(first);
    ASSERT_FALSE(ui_.boxes.empty());
    EXPECT_EQ(ui_.boxes.front().text,
              "The script Other.ksf is not currently loaded.  It is needed to compile remote "
              "resources.  May I open it now?");
    EXPECT_EQ(ui_.boxes.front().buttons, platform::MsgButtons::YesNoCancel);
    EXPECT_TRUE(sink_.Has("       Event [On:RemoteOutput] - An Output of the linked script was "
                          "not found as parameter 2"))
        << sink_.All();
    EXPECT_EQ(main_->m_nAbortRequested, 0);
    EXPECT_FALSE(GetCompilerState().linkedResources);
    // The event tries several commands, with and without report: one question for all.
    EXPECT_EQ(ui_.boxes.size(), 1u);

    // Yes: the opener opens it (here: the remote script gets that title), and the second event
    // then finds it without asking.
    ui_.Clear();
    ui_.QueueAnswer(platform::MsgResult::Yes);
    std::vector<std::string> opened;
    app_.App().entries.openScript = [this, &opened](const std::string& path) {
        opened.push_back(path);
        remote_->SetTitle("Other.ksf");
        return remote_.get();
    };
    CompileFull(first);
    const std::size_t asked = ui_.boxes.size();
    GetCompilerState().errorCount = 0;
    EXPECT_EQ(CompileFull(second).size(), 3u + 4u + 2u + 1u);
    EXPECT_EQ(GetCompilerState().errorCount, 0u) << sink_.All();
    EXPECT_EQ(ui_.boxes.size(), asked);
    EXPECT_EQ(opened, (std::vector<std::string>{"Other.ksf"}));
    app_.App().entries.openScript = [](const std::string&) -> CVLDoc* { return nullptr; };
}

TEST_F(EventCompile, LinkedScriptLocatedByHand) {
    SetLinkProtocol("Gone.ksf->Brevant_9_Bit_Control");
    CEvnt& on = AddEvent("On", {"Link", "FarLamp"});
    app_.App().entries.openScript = [this](const std::string& path) -> CVLDoc* {
        return path == "/shows/Remote.ksf" ? remote_.get() : nullptr;
    };
    ui_.QueueAnswer(platform::MsgResult::Yes);
    ui_.QueueDialog([](platform::DialogRequest& request) {
        auto& dialog = dynamic_cast<CFileOpenDlg&>(request);
        EXPECT_EQ(dialog.title, "Open File");
        EXPECT_EQ(dialog.filterName, "Velmora files(*.ksf)");
        EXPECT_EQ(dialog.filterMask, "*.ksf");
        dialog.path = "/shows/Remote.ksf";
        return true;
    });
    EXPECT_FALSE(CompileFull(on).empty());
    EXPECT_EQ(GetCompilerState().errorCount, 0u) << sink_.All();
    ASSERT_GE(ui_.boxes.size(), 2u);
    EXPECT_EQ(ui_.boxes[1].text, "The script Gone.ksf could not be found in the default "
                                 "directory.  Please locate it manually.");
    // The port now names the script chosen, with its product's remote protocol.
    EXPECT_EQ(main_->m_pProduct->m_Ports[1].m_strProtocol, "Remote.ksf->Brevant_9_Bit_Control");
    EXPECT_TRUE(sink_.Has("The Script Remote.ksf has replaced Gone.ksf for this Product Wizard "
                          "Connection!"));
    app_.App().entries.openScript = [](const std::string&) -> CVLDoc* { return nullptr; };

    // A file that does not load: its name in the box, and no script.
    SetLinkProtocol("Gone.ksf->Brevant_9_Bit_Control");
    ui_.Clear();
    ui_.QueueAnswer(platform::MsgResult::Yes);
    ui_.QueueDialog([](platform::DialogRequest& request) {
        dynamic_cast<CFileOpenDlg&>(request).path = "/shows/Broken.ksf";
        return true;
    });
    SetCursor(on);
    EXPECT_EQ(ResolveLinkedScript(*main_), nullptr);
    ASSERT_EQ(ui_.boxes.size(), 3u);
    EXPECT_EQ(ui_.boxes[2].text, "Unable to successfully load Broken.ksf");

    // Within the same event nothing more is asked; the next event asks again, and Cancel
    // stops the compile.
    EXPECT_EQ(ResolveLinkedScript(*main_), nullptr);
    EXPECT_EQ(ui_.boxes.size(), 3u);
    ForgetDeclinedLinkedScript();
    ui_.Clear();
    ui_.QueueAnswer(platform::MsgResult::Cancel);
    EXPECT_EQ(ResolveLinkedScript(*main_), nullptr);
    EXPECT_EQ(main_->m_nAbortRequested, 1);
}

// Every event diagnostic of the event compile, each with the fault that causes it.
TEST_F(EventCompile, Diagnostics) {
    ASSERT_NE(
        AddProtocol("diag.pcl", DeviceProtocol("Diag", "Serial", "Player",
                                               "\r\n[Go:Future]\r\nSupported=99.99\r\nMessage=1\r\n"
                                               "Param1=port, \"Port\"\r\nParam2=\"future\"\r\n"
                                               "\r\n[Bare:Bare]\r\nSupported=1.00\r\nMessage=1\r\n"
                                               "Param1=port\r\nParam2=byte\r\n")),
        nullptr);
    ASSERT_NE(AddProtocol("new.pcl", DeviceProtocol("New", "Serial", "Player", "", "h01", "99.99")),
              nullptr);
    struct Case {
        const char* name;
        std::function<void(EventCompile&)> prepare;
        std::string event;
        std::vector<std::string> params;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"unknown internal event",
         nullptr,
         "Bogus",
         {},
         {"Error: Sequence Default, Event 1: [Bogus] is not supported by the Harnel16 as an "
          "internal event",
          "Error: Sequence Default, Event 1: [Bogus] is not supported as an internal event"}},
        {"parameter not found",
         nullptr,
         "On",
         {"Nothing"},
         {"Error: Sequence Default, Event 1: ",
          "       Event [On:Output] - A valid Output was not found as parameter 1", "",
          "       Event [On:Flag] - A valid Flag was not found as parameter 1", ""}},
        {"one parameter too many",
         nullptr,
         "Nop",
         {"Extra"},
         {"Error: Sequence Default, Event 1: ", ""}},
        {"duplicate label",
         nullptr,
         "Goto",
         {"Twice"},
         {"Error: Sequence Default, Event 1: ", "Error: [Goto:Near] Duplicate Label Found", "",
          "Error: [Goto:Far] Duplicate Label Found", ""}},
        {"conditional in chase mode",
         [](EventCompile& t) {
             t.Sequence().m_nChaseOn = 1;
             t.Sequence().m_poEventList.back()->m_strLabel = "Once";
         },
         "IfOn",
         {"Button", "Twice"},
         {"Warning: Sequence Default, Event 1: Conditional Statements used with Timecode Chase "
          "Mode"}},
        {"unknown protocol",
         [](EventCompile& t) { t.SetLinkProtocol("Nothing_Known"); },
         "Play",
         {"Link"},
         {"Error: [Nothing_Known] is an unknown or invalid protocol for port Link"}},
        {"unknown device command",
         [](EventCompile& t) { t.SetLinkProtocol("Test_Diag"); },
         "Fly",
         {"Link"},
         {"Error: Sequence Default, Event 1: Event [Fly] is not supported by the Test_Diag "
          "protocol"}},
        {"device parameter without description",
         [](EventCompile& t) { t.SetLinkProtocol("Test_Diag"); },
         "Bare",
         {"Link", "zz"},
         {"Error: Sequence Default, Event 1: ",
          "       Event [Bare:Bare] - Parameter 2 failed parameter check ( no specific error "
          "message ) was not found as parameter 2",
          ""}},
        {"device protocol too new",
         [](EventCompile& t) { t.SetLinkProtocol("Test_New"); },
         "Go",
         {"Link", "1"},
         {"Error: Sequence Default, Event 1: ",
          "       Event [Test_New] is only supported by SCU Version 99.99 firmware and above"}},
    };
    for (const Case& c : cases) {
        Sequence().m_poEventList.clear();
        Sequence().m_nChaseOn = 0;
        SetLinkProtocol("None");
        CEvnt& event = AddEvent(c.event, c.params);
        AddEvent("Nop", {}, "Twice");
        AddEvent("Nop", {}, "twice");
        if (c.prepare)
            c.prepare(*this);
        sink_.lines.clear();
        CompileFull(event);
        std::vector<std::string> texts;
        for (const CompileMessage& line : sink_.lines)
            texts.push_back(line.text);
        EXPECT_EQ(texts, c.lines) << c.name;
    }
}

TEST_F(EventCompile, FirmwareLimitRefusesNewerCommands) {
    ASSERT_NE(AddProtocol("future.pcl",
                          "[Device]\r\nMaker=Test\r\nModel=Future\r\nSupported=1.00\r\n"
                          "Protocol=Serial\r\n\r\n[Go:Future]\r\nSupported=99.99\r\n"
                          "Message=1\r\nParam1=port, \"Port\"\r\n"),
              nullptr);
    // An events-protocol command marked 99.99 is refused with the firmware line.
    CProtocol* events = app_.App().m_posEventProtocol;
    ASSERT_NE(events, nullptr);
    for (const auto& command : events->m_poCmndList)
        if (command->GetName() == "Nop:Nop")
            command->m_strSupported = "99.99";
    CEvnt& nop = AddEvent("Nop", {});
    CompileFull(nop);
    EXPECT_TRUE(sink_.Has("       Event [Nop:Nop] is only supported by SCU Version 99.99 "
                          "firmware and above"))
        << sink_.All();
    EXPECT_TRUE(sink_.Has("Error: Sequence Default, Event 1: [Nop] is not supported as an "
                          "internal event"));
    for (const auto& command : events->m_poCmndList)
        if (command->GetName() == "Nop:Nop")
            command->m_strSupported = "1.00";
}

} // namespace
} // namespace event_compile_testing
