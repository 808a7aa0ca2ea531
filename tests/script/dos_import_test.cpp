#include "script/dos_script_import.h"

#include "app/vl_app.h"
#include "script/import_table.h"
#include "script/vl_doc.h"
#include "tests/support/app_fixture.h"
#include "tests/support/dos_listing.h"
#include "tests/support/scripted_ui.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <locale>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using platform::MsgResult;
using testing_support::DosEventLine;
using testing_support::DosListing;
using testing_support::DosPortLine;
using testing_support::DosSequencePage;
using testing_support::DosSmpteLine;
using testing_support::DosTriggerLine;

namespace {

const std::string kPath = "/shows/old.ksx";

std::string Prompt(std::uint32_t line, const std::string& current, const std::string& text) {
    return "Error Reading " + kPath + ".\nLine " + std::to_string(line) + ": \" " + current +
           " \"\nSyntax Error:  " + text +
           "\n\nSelect YES to continue reading file anyway\nSelect NO to abort reading file";
}

std::string MissingEnd(std::uint32_t line) {
    return "Error Reading " + kPath + ".\nLine " + std::to_string(line) +
           ":  End of Script \"*TOVA  *END\" not found\n";
}

// Everything the import puts into a script, one line per item, to compare whole imports.
std::string Dump(const CVLDoc& doc) {
    std::ostringstream out;
    const CProduct& p = *doc.m_pProduct;
    out << p.m_strName << '|' << doc.m_strWork << '|' << doc.m_strDescription << '|'
        << doc.m_wAddress << '|' << doc.m_wFrameRate << '|' << doc.m_wClockSource << '|'
        << doc.m_strExternalFrequency << '\n';
    for (int i = 0; i < p.m_wInputs; ++i)
        out << p.m_Inputs[i].m_strName << ' ';
    for (int i = 0; i < p.m_wOutputs; ++i)
        out << p.m_Outputs[i].m_strName << ' ';
    for (int i = 0; i < p.m_wFlags; ++i)
        out << p.m_Flags[i].m_strName << ' ';
    for (int i = 0; i < p.m_wVars; ++i)
        out << p.m_Vars[i].m_strName << ' ';
    out << '\n';
    for (int i = 0; i < p.m_wPorts; ++i) {
        const CProductPort& port = p.m_Ports[i];
        out << port.m_strName << ',' << port.m_strBaudRate << ',' << port.m_strParity << ','
            << port.m_strDataBits << ',' << port.m_strStopBits << ',' << port.m_strProtocol << ','
            << port.m_strErrorSequence << '\n';
    }
    for (const auto& s : doc.m_poDataStrList)
        out << s->m_strName << '=' << s->m_strData << '\n';
    for (const auto& seq : doc.m_poSeqList) {
        out << seq->m_strName << '|' << seq->m_strDescription << '|' << seq->GetTimecodeText()
            << '|' << seq->m_nRestart << seq->m_wRestartLockout << seq->m_nLooping
            << seq->m_nAutoStart << '\n';
        for (const auto& e : seq->m_poEventList)
            out << "  " << e->m_strLabel << '|' << e->m_strTime << '|' << e->m_strEvent << '|'
                << e->m_strData1 << '|' << e->m_strData2 << '|' << e->m_strData3 << '|'
                << e->m_strData4 << '|' << e->m_strComment << '\n';
    }
    return out.str();
}

// The boxes shown: a syntax prompt as "?" and its error text, any other box as its text.
std::vector<std::string> Boxes(const testing_support::ScriptedUi& ui) {
    std::vector<std::string> out;
    for (const auto& box : ui.boxes) {
        const std::string mark = "Syntax Error:  ";
        std::size_t at = box.text.find(mark);
        if (at == std::string::npos)
            out.push_back(box.text);
        else {
            at += mark.size();
            out.push_back("?" + box.text.substr(at, box.text.find('\n', at) - at));
        }
    }
    return out;
}

class DosImportTest : public ::testing::Test {
protected:
    const CProduct& Product(const char* name) {
        auto pos = fixture.App().m_poProdList.FindByName(name);
        EXPECT_TRUE(pos) << name;
        return fixture.App().m_poProdList.GetAt(pos.value_or(0));
    }

    bool Import(const std::string& text) {
        doc = std::make_unique<CVLDoc>(fixture.App());
        doc->AddView(&view);
        doc->LoadFileBuffer(text);
        bool ok = doc->ImportDosScript(kPath);
        doc->FreeFileBuffer();
        return ok;
    }

    void TearDown() override {
        if (doc)
            doc->RemoveView(&view);
    }

    testing_support::AppFixture fixture;
    testing_support::ScriptedUi ui;
    platform::View view;
    std::unique_ptr<CVLDoc> doc;
};

// A Harnel16 listing with every kind of page, trigger, flag and converted event.
DosListing FullListing(const CProduct& harnel16) {
    DosListing l(harnel16);
    l.Set("KSX Ver", "KSX Ver 6.00");
    l.Set("Card Address", "Card Address  - 12");
    l.Set("Timebase Rate", "Timebase Rate - 29.97");
    l.Set("Sync Source", "Sync Source   - EXT/FM GEN");
    l.Set("Ext Sync Freq", "Ext Sync Freq - 59.94");
    l.Set("Comments      - ", "Comments      - Museum show,  hall 2");
    l.InsertBefore("*INPUTS", {"second line", ""});
    l.Set("   1  Input1", "   1  Door Switch");
    l.Set("   3  Output3", "   3  Lamp");
    l.Set("   2  Flag2", "   2  Busy  ");
    l.Set("  64  Var64", "  64  Counter");
    l.Set("   1  port1", DosPortLine(1, "Tova", "9600", 'N', '8', '1', "TOVA"));
    l.Set("   2  port2", DosPortLine(2, "Reelvox", "9600", 'N', '8', '1', "Digital_Reelvox"));
    l.Set("   3  port3", DosPortLine(3, "CD", "OFF", 'N', '8', '1', "scsi_cd_sony_55s"));
    l.Set("   4  port4", DosPortLine(4, "Spare", "OFF", 'E', '7', '2', "Generic"));
    l.Set("   5  port5", DosPortLine(5, "Backpl", "19200", 'N', '8', '1', "DR_Backplane"));
    l.Set("   6  port6", DosPortLine(6, "Video", "9600", 'O', '8', '2', "Brevant_Pelvane_2"));
    l.AddDataString("Greeting  \"Hello world\"");
    l.AddDataString("Short");

    DosSequencePage show;
    show.name = "Show Start";
    show.comments = {"Opens the show", "", "and the doors"};
    show.triggers = {
        DosTriggerLine("Start Trigger   - ", "Button1", "and ", "Var1", "gt  ", "5", "Active On"),
        DosTriggerLine("Stop Trigger    - ", "none", "or  ", "Var2", "ne  ", "Var3", "Active Off"),
        DosTriggerLine("Pause Trigger   - ", "none", "none", "none", "none", "none", "Active On"),
        DosTriggerLine("Reset Trigger   - ", "Flag1", "none", "none", "le  ", "none",
                       "Active Off")};
    show.restart = "ENABLED";
    show.lockout = "255";
    show.loop = "DISABLED";
    show.autoStart = "ENABLED";
    show.smpte = DosSmpteLine("ENABLED", "01:02:03.04");
    show.events = {
        DosEventLine("Begin", "00:00.00", "Disp", "LCD1", "", "", "sign on"),
        DosEventLine("", "00:01.00", "APlay", "Reelvox", "3", "ST5"),
        DosEventLine("", "00:01.05", "APlay", "Tova", "0", "T"),
        DosEventLine("", "00:01.10", "APlyLoop", "reelvox", "g2", "BC9"),
        DosEventLine("", "00:02.00", "AStop", "Reelvox", "g2"),
        DosEventLine("", "00:02.01", "AMute", "Reelvox", "all"),
        DosEventLine("", "00:02.02", "APause", "Reelvox", "R0"),
        DosEventLine("", "00:03.00", "ShwFlgs", "1", "h0F"),
        DosEventLine("", "00:03.01", "ShwFlgs", "7"),
        DosEventLine("", "00:03.02", "outport", "0", "h01"),
        DosEventLine("", "00:04.00", "APlay", "Nowhere", "3", "T"),
        DosEventLine("End", "00:05.00", "TglOut", "Output1"),
    };
    l.AddPage(show);

    DosSequencePage error;
    error.name = "ERROR2";
    error.loop = "ENABLED";
    error.smpte = DosSmpteLine("DISABLED", "00:00:10.00");
    error.events = {DosEventLine("", "00:00.00", "Nop")};
    l.AddPage(error);
    return l;
}

TEST_F(DosImportTest, FullListing) {
    DosListing listing = FullListing(Product("Harnel16"));
    ui.QueueAnswer(MsgResult::Yes); // the Digital Reelvox is a 20-track one
    ASSERT_TRUE(Import(listing.Text()));
    ASSERT_EQ(ui.boxes.size(), 1u) << ui.Texts().back();
    EXPECT_EQ(ui.boxes[0].text,
              "Port 2 was originally assigned to generic \"Digital Reelvox\".\nIs this a "
              "Professional Digital Reelvox?\n\nChoose \"Yes\" if this is a 20 track "
              "Professional Reelvox.\nChoose \"No\" if this is a 32 track Standard Reelvox.\n");
    EXPECT_EQ(ui.boxes[0].buttons, platform::MsgButtons::YesNo);

    const CProduct& p = *doc->m_pProduct;
    EXPECT_EQ(p.m_strName, "Harnel16");
    EXPECT_EQ(doc->m_strWork, "6.00");
    EXPECT_EQ(doc->m_strDescription, "Museum show,  hall 2 second line ");
    EXPECT_EQ(doc->m_wAddress, 12);
    EXPECT_EQ(doc->m_wFrameRate, 2);
    EXPECT_EQ(doc->m_wClockSource, 1);
    EXPECT_EQ(doc->m_strExternalFrequency, "59.94");

    EXPECT_EQ(p.m_Inputs[0].m_strName, "Door_Switch");
    EXPECT_EQ(p.m_Inputs[1].m_strName, "Input2");
    EXPECT_EQ(p.m_Outputs[2].m_strName, "Lamp");
    EXPECT_EQ(p.m_Flags[1].m_strName, "Busy");
    EXPECT_EQ(p.m_Vars[63].m_strName, "Counter");

    struct PortCase {
        int port;
        const char* name;
        const char* baud;
        const char* parity;
        const char* dataBits;
        const char* stopBits;
        const char* protocol;
    } ports[] = {
        {0, "port0", "9600", "N", "8", "1", "None"},
        {1, "Tova", "9600", "N", "9", "1", "Brevant_9_Bit_Control"},
        {2, "Reelvox", "9600", "N", "9", "1", "Brevant_Professional_Reelvox_(20_track)"},
        {3, "CD", "9600", "N", "8", "1", "Sony_CD_55S/76S"},
        {4, "Spare", "9600", "E", "7", "2", "None"},
        {5, "Backpl", "19200", "N", "9", "1", "Brevant_Ostrel_Backplane"},
        {6, "Video", "9600", "O", "8", "2", "Brevant_Pelvane_2"},
        {16, "port16", "9600", "N", "8", "1", "None"},
    };
    for (const auto& c : ports) {
        const CProductPort& port = p.m_Ports[c.port];
        SCOPED_TRACE(c.port);
        EXPECT_EQ(port.m_strName, c.name);
        EXPECT_EQ(port.m_strBaudRate, c.baud);
        EXPECT_EQ(port.m_strParity, c.parity);
        EXPECT_EQ(port.m_strDataBits, c.dataBits);
        EXPECT_EQ(port.m_strStopBits, c.stopBits);
        EXPECT_EQ(port.m_strProtocol, c.protocol);
    }
    // The known protocols of the ports have their commands loaded.
    CProtocol* reelvox = nullptr;
    ASSERT_TRUE(fixture.App().m_poProList.FindProtocol(p.m_Ports[2].m_strProtocol, reelvox, false));
    EXPECT_TRUE(reelvox->IsLoaded());
    EXPECT_EQ(p.m_Ports[2].m_strErrorSequence, "ERROR2");
    EXPECT_EQ(p.m_Ports[1].m_strErrorSequence, "");

    ASSERT_EQ(doc->m_poDataStrList.size(), 2u);
    EXPECT_EQ(doc->m_poDataStrList[0]->m_strName, "Greeting");
    EXPECT_EQ(doc->m_poDataStrList[0]->m_strData, "\"Hello world\"");
    EXPECT_EQ(doc->m_poDataStrList[1]->m_strName, "Short");
    EXPECT_EQ(doc->m_poDataStrList[1]->m_strData, "");

    ASSERT_EQ(doc->m_poSeqList.size(), 2u);
    const CSeq& show = *doc->m_poSeqList[0];
    EXPECT_EQ(show.m_strName, "Show_Start");
    EXPECT_EQ(show.m_wLevel, 1);
    EXPECT_EQ(show.m_strDescription, "Opens the show and the doors");
    EXPECT_EQ(show.GetTriggerText(0), "Start: Button1 goes on, and Var1 gt 5");
    EXPECT_EQ(show.GetTriggerText(1), "Stop: Var2 neq Var3");
    EXPECT_EQ(show.m_aTriggers[1].m_nGoesOn, 0);
    EXPECT_EQ(show.m_aTriggers[1].m_wCombine, 1);
    EXPECT_EQ(show.GetTriggerText(2), "Pause: none");
    EXPECT_EQ(show.GetTriggerText(3), "Reset: Flag1 goes off");
    EXPECT_EQ(show.m_aTriggers[3].m_wComparison, 5);
    EXPECT_EQ(show.m_nRestart, 1);
    EXPECT_EQ(show.m_wRestartLockout, 255);
    EXPECT_EQ(show.m_nLooping, 0);
    EXPECT_EQ(show.m_nAutoStart, 1);
    EXPECT_EQ(show.m_nSmpteStartOn, 1);
    EXPECT_EQ(show.m_anSmpteStart, (std::array<std::int32_t, 4>{1, 2, 3, 4}));

    // Label, time, event, Data1-4, comment after conversion and renaming. Events renamed
    // through the table with a port in Data1 are not accepted by the event protocol, so their
    // Data2 and Data3 change places.
    const std::vector<std::vector<std::string>> events = {
        {"Begin", "00:00.00", "Display", "LCD1", "", "", "", "sign on"},
        {"", "00:01.00", "SPlay", "Reelvox", "R4", "top", "5", ""},
        {"", "00:01.05", "Play", "Tova", "R1", "a", "", ""},
        {"", "00:01.10", "PlayAndLoop", "reelvox", "G2", "c", "9", ""},
        {"", "00:02.00", "Stop", "Reelvox", "", "G2", "", ""},
        {"", "00:02.01", "Mute", "Reelvox", "", "all", "", ""},
        {"", "00:02.02", "Pause", "Reelvox", "", "R1", "", ""},
        {"", "00:03.00", "ShwFlgs", "Bank2", "h0F", "", "", ""},
        {"", "00:03.01", "ShwFlgs", "7", "", "", "", ""},
        {"", "00:03.02", "OutPort", "Bank1", "h01", "", "", ""},
        {"", "00:04.00", "APlay", "Nowhere", "3", "T", "", ""},
        {"End", "00:05.00", "Toggle", "Output1", "", "", "", ""},
    };
    ASSERT_EQ(show.m_poEventList.size(), events.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        const CEvnt& e = *show.m_poEventList[i];
        EXPECT_EQ(
            (std::vector<std::string>{e.m_strLabel, e.m_strTime, e.m_strEvent, e.m_strData1,
                                      e.m_strData2, e.m_strData3, e.m_strData4, e.m_strComment}),
            events[i])
            << "event " << i;
    }

    const CSeq& error = *doc->m_poSeqList[1];
    EXPECT_EQ(error.m_nLooping, 1);
    EXPECT_EQ(error.m_nSmpteStartOn, 0);
    EXPECT_EQ(error.m_anSmpteStart, (std::array<std::int32_t, 4>{0, 0, 10, 0}));
    ASSERT_EQ(error.m_poEventList.size(), 1u);
    EXPECT_EQ(error.m_poEventList[0]->m_strEvent, "Nop");
}

struct DecimalComma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST_F(DosImportTest, DecimalCommaLocaleChangesNothing) {
    DosListing listing = FullListing(Product("Harnel16"));
    ASSERT_TRUE(Import(listing.Text()));
    const std::string expected = Dump(*doc);
    const std::locale saved;
    const std::string savedC = std::setlocale(LC_ALL, nullptr);
    std::locale::global(std::locale(std::locale::classic(), new DecimalComma));
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    const bool ok = Import(listing.Text());
    std::locale::global(saved);
    std::setlocale(LC_ALL, savedC.c_str());
    ASSERT_TRUE(ok);
    EXPECT_EQ(Dump(*doc), expected);
    EXPECT_EQ(doc->m_wFrameRate, 2);
    EXPECT_EQ(doc->m_strWork, "6.00");
}

TEST_F(DosImportTest, StatusAndProgress) {
    DosListing listing = FullListing(Product("Harnel16"));
    ASSERT_TRUE(Import(listing.Text()));
    const std::vector<std::string> expected = {"Importing KSX File:  Loading Unit Setup",
                                               "Importing KSX File:  Loading Inputs",
                                               "Importing KSX File:  Loading Outputs",
                                               "Importing KSX File:  Loading Flags",
                                               "Importing KSX File:  Loading Vars",
                                               "Importing KSX File:  Loading Ports",
                                               "Importing KSX File:  Loading Data Strings",
                                               "Importing KSX File:  Loading Sequence [Show_Start]",
                                               "Importing KSX File:  Loading Sequence [ERROR2]"};
    EXPECT_EQ(ui.statusTexts, expected);
    // The meter climbs one step per hundredth of the file's lines (held at 100 at the end).
    int last = 0, steps = 0;
    for (const auto& p : ui.progress)
        if (p.showPercent) {
            EXPECT_EQ(p.pos, std::min(last + 1, 100));
            last = p.pos;
            ++steps;
        }
    EXPECT_EQ(last, 100);
    EXPECT_GE(steps, 100);
    EXPECT_LT(steps, 200);
}

TEST_F(DosImportTest, LineFeedOnlyListingsImportAlike) {
    DosListing listing = FullListing(Product("Harnel16"));
    ui.QueueAnswer(MsgResult::Yes);
    ASSERT_TRUE(Import(listing.Text("\r\n")));
    const std::string crlf = Dump(*doc);
    ui.QueueAnswer(MsgResult::Yes);
    ASSERT_TRUE(Import(listing.Text("\n")));
    EXPECT_EQ(Dump(*doc), crlf);

    // A short listing without any CR still moves the meter (one step a line).
    DosListing small(Product("Harnel2"));
    ui.Clear();
    ASSERT_TRUE(Import(small.Text("\n")));
    EXPECT_FALSE(ui.progress.empty());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(DosImportTest, UnitSetupChecks) {
    struct Case {
        std::vector<std::pair<const char*, std::string>> lines; // prefix, new text
        std::vector<std::string> boxes;
        std::function<void(const CVLDoc&)> check;
    };
    const std::string version = "Expected Version Number ( 1.00 - 6.00 )";
    const std::string versionDefault = "Defaulting Version Number to 5.60";
    const std::string address = "Expected Card Address ( 0 - 255 )";
    const std::string addressDefault = "Defaulting Card Address to 0";
    const std::string rate = "Expected Timebase Rate ( 24, 25, 29.97, or 30 fps )";
    const std::string frequency = "Expected External Sync Frequency ( 0 - 120 Hz )";
    const std::string frequencyDefault = "Defaulting External Sync Frequency to 0 Hz";
    const Case cases[] = {
        {{{"KSX Ver", "KSX Ver 1.00"}},
         {},
         [](const CVLDoc& d) { EXPECT_EQ(d.m_strWork, "1.00"); }},
        {{{"KSX Ver", "KSX Ver 6.01"}},
         {Prompt(1, "KSX Ver 6.01", version), versionDefault},
         [](const CVLDoc& d) { EXPECT_EQ(d.m_strWork, "5.60"); }},
        {{{"KSX Ver", "KSX Ver 0.99"}}, {Prompt(1, "KSX Ver 0.99", version), versionDefault}, {}},
        {{{"KSX Ver", "KSX Ver 5,60"}}, {Prompt(1, "KSX Ver 5,60", version), versionDefault}, {}},
        {{{"KSX Ver", "KSX"}}, {Prompt(1, "KSX", version), versionDefault}, {}},
        {{{"Card Type", "Card Type     - Harnel99"}},
         {Prompt(5, "Card Type     - Harnel99", "Expected Valid Card Type"),
          "Defaulting Card Type to Harnel16"},
         [](const CVLDoc& d) { EXPECT_EQ(d.m_pProduct->m_strName, "Harnel16"); }},
        {{{"Card Type", "Card Type     -"}},
         // Once read on, the line's second problem takes its default without a box.
         {Prompt(5, "Card Type     -", "Expected \"Card Type     - \"")},
         {}},
        {{{"Card Type", "Card Type     - HARNEL16 "}}, {}, {}},
        {{{"Card Address", "Card Address  - 255"}},
         {},
         [](const CVLDoc& d) { EXPECT_EQ(d.m_wAddress, 255); }},
        {{{"Card Address", "Card Address  - 256"}},
         {Prompt(6, "Card Address  - 256", address), addressDefault},
         [](const CVLDoc& d) { EXPECT_EQ(d.m_wAddress, 0); }},
        {{{"Card Address", "Card Address  - -1"}},
         {Prompt(6, "Card Address  - -1", address), addressDefault},
         {}},
        {{{"Card Address", "Card Address  - 65548"}},
         {Prompt(6, "Card Address  - 65548", address), addressDefault},
         {}},
        {{{"Card Address", "Card Addr - 7"}},
         {Prompt(6, "Card Addr - 7", "Expected \"Card Address  - \"")},
         [](const CVLDoc& d) { EXPECT_EQ(d.m_wAddress, 0); }},
        {{{"Timebase Rate", "Timebase Rate - 29.97"}},
         {},
         [](const CVLDoc& d) { EXPECT_EQ(d.m_wFrameRate, 2); }},
        {{{"Timebase Rate", "Timebase Rate - 24"}},
         {},
         [](const CVLDoc& d) { EXPECT_EQ(d.m_wFrameRate, 0); }},
        {{{"Timebase Rate", "Timebase Rate - 29.970"}},
         {Prompt(7, "Timebase Rate - 29.970", rate), "Defaulting Timebase Rate to 30"},
         [](const CVLDoc& d) { EXPECT_EQ(d.m_wFrameRate, 3); }},
        {{{"Sync Source", "Sync Source   - EXT/FM GEN"}},
         {},
         [](const CVLDoc& d) { EXPECT_EQ(d.m_wClockSource, 1); }},
        {{{"Sync Source", "Sync Source   - processor"}},
         {Prompt(8, "Sync Source   - processor", "Expected Sync Source of PROCESSOR or EXT/FM GEN"),
          "Defaulting Sync Source to PROCESSOR"},
         [](const CVLDoc& d) { EXPECT_EQ(d.m_wClockSource, 0); }},
        // The default frequency follows the clock source, whatever the message says.
        {{{"Sync Source", "Sync Source   - EXT/FM GEN"}, {"Ext Sync Freq", "Ext Sync Freq - "}},
         {Prompt(9, "Ext Sync Freq - ", frequency), frequencyDefault},
         [](const CVLDoc& d) { EXPECT_EQ(d.m_strExternalFrequency, "59.94"); }},
        {{{"Ext Sync Freq", "Ext Sync Freq - 500"}},
         {Prompt(9, "Ext Sync Freq - 500", frequency), frequencyDefault},
         [](const CVLDoc& d) { EXPECT_EQ(d.m_strExternalFrequency, "0"); }},
        {{{"Ext Sync Freq", "Ext Sync Freq - 50"}},
         {},
         [](const CVLDoc& d) { EXPECT_EQ(d.m_strExternalFrequency, "50"); }},
        {{{"Comments      - ", "Comments - short"}},
         {Prompt(11, "Comments - short", "Expected \"Comments      - \"")},
         {}},
        {{{"Comments      - ", "Comments      - x"}},
         {},
         [](const CVLDoc& d) { EXPECT_EQ(d.m_strDescription, ""); }},
    };
    for (const auto& c : cases) {
        DosListing listing(Product("Harnel16"));
        for (const auto& [prefix, text] : c.lines)
            listing.Set(prefix, text);
        SCOPED_TRACE(c.lines.back().second);
        ui.Clear();
        EXPECT_TRUE(Import(listing.Text()));
        EXPECT_EQ(ui.Texts(), c.boxes);
        for (std::size_t i = 0; i < ui.boxes.size(); ++i)
            EXPECT_EQ(ui.boxes[i].buttons, i + 1 < c.boxes.size() || c.boxes.size() == 1 ||
                                                   ui.boxes[i].text.rfind("Error", 0) == 0
                                               ? platform::MsgButtons::YesNo
                                               : platform::MsgButtons::Ok);
        if (c.check)
            c.check(*doc);
    }
}

TEST_F(DosImportTest, CardTypeCdPellucorInAnyCase) {
    DosListing listing(Product("CD Pellucor"));
    listing.Set("Card Type", "Card Type     - cd_pellucor");
    ASSERT_TRUE(Import(listing.Text()));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(doc->m_pProduct->m_strName, "CD Pellucor");
}

TEST_F(DosImportTest, CommentContinuesForNineLines) {
    DosListing listing(Product("Harnel2"));
    listing.Set("Comments      - ", "Comments      - line 0");
    listing.InsertBefore("*INPUTS", {"1", "2", "3", "4", "5", "6", "7", "8", "9"});
    ASSERT_TRUE(Import(listing.Text()));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(doc->m_strDescription, "line 0 1 2 3 4 5 6 7 8 9");

    // A tenth line is checked as the inputs page line.
    listing.InsertBefore("*INPUTS", {"10"});
    ui.QueueAnswer(MsgResult::No);
    EXPECT_FALSE(Import(listing.Text()));
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{Prompt(21, "10", "Expected \"*INPUTS\"")}));
}

TEST_F(DosImportTest, ResourceAndPortPrompts) {
    DosListing listing(Product("Harnel2"));
    listing.Set("   2  Input2", "   3  Input2");
    listing.Set("   5  Output5", "");
    listing.Set("   1  Flag1", "   1");
    listing.Set("  16  Var16", "  15  Sixteen");
    listing.Set("*OUTPUTS", "*OUTPUT");
    listing.Set("   2  port2", "   2");
    listing.Set("   1  port1", DosPortLine(1, "", "OFF", 'N', '8', '1', "SCSI_CD_Sony_55S"));
    ASSERT_TRUE(Import(listing.Text()));
    // The first problem asks; the user's answer holds for the rest of the listing, whose
    // problems all take their defaults.
    EXPECT_EQ(Boxes(ui), (std::vector<std::string>{
                             "?Expected Valid Input Name for Input 2",
                             "Defaulting Input 2 Name to \"input2\"",
                         }));
    const CProduct& p = *doc->m_pProduct;
    EXPECT_EQ(p.m_Inputs[1].m_strName, "input2");
    EXPECT_EQ(p.m_Outputs[4].m_strName, "output5");
    EXPECT_EQ(p.m_Flags[0].m_strName, "flag1");
    EXPECT_EQ(p.m_Vars[15].m_strName, "var16");
    EXPECT_EQ(p.m_Ports[2].m_strName, "port2");
    EXPECT_EQ(p.m_Ports[2].m_strProtocol, "None");
    EXPECT_EQ(p.m_Ports[1].m_strName, "");
    EXPECT_EQ(p.m_Ports[1].m_strBaudRate, "9600");
    EXPECT_EQ(p.m_Ports[1].m_strProtocol, "Sony_CD_55S/76S");
}

TEST_F(DosImportTest, DigitalReelvoxAnsweredNoIsTheStandardOne) {
    DosListing listing(Product("Harnel2"));
    listing.Set("   1  port1", DosPortLine(1, "R", "9600", 'N', '8', '1', "digital_reelvox"));
    ui.QueueAnswer(MsgResult::No);
    ASSERT_TRUE(Import(listing.Text()));
    EXPECT_EQ(doc->m_pProduct->m_Ports[1].m_strProtocol, "Brevant_Digital_Reelvox_(32_track)");
    EXPECT_EQ(doc->m_pProduct->m_Ports[1].m_strDataBits, "9");
}

TEST_F(DosImportTest, SequencePageChecks) {
    DosListing listing(Product("Harnel2"));
    DosSequencePage nameless;
    nameless.comments = {"", "a", "b", "c", "d", "e", "f", "g", "h", "i"};
    nameless.lockout = "256";
    nameless.smpte = DosSmpteLine("ENABLED", "00:00:00.30");
    nameless.events = {
        std::string(31, 'x'),
        DosEventLine("L", "00:01.00", "Nop").substr(0, 32),
        DosEventLine("", "00:02.00", "Msgout", "Port1", "Hello").substr(0, 48),
    };
    nameless.triggers = {
        DosTriggerLine("Start Trigger   - ", "none", "xor ", "none", "none", "none", "Active On"),
        DosTriggerLine("Stop Trigger    - ", "none", "none", "none", "eq  ", "none", "Active"),
        "Pause Trigger   - ",
        DosTriggerLine("Reset Trig - ", "none", "none", "none", "none", "none", "Active On")};
    nameless.restart = "E";
    nameless.loop = "Enabled";
    nameless.autoStart = "";
    listing.AddPage(nameless);
    DosSequencePage second;
    second.name = "Next";
    second.smpte = "SMPTE Trip      - ENABLED";
    listing.AddPage(second);

    const unsigned number = CDosImport::ImportedSequenceCount() + 1;
    ASSERT_TRUE(Import(listing.Text()));
    // One question for the whole page; every later problem takes its default silently.
    EXPECT_EQ(Boxes(ui), (std::vector<std::string>{
                             "?Expected \"Sequence Name  - ",
                             "Defaulting Sequence " + std::to_string(number) +
                                 " Name to \"sequence" + std::to_string(number) + "\"",
                         }));
    ASSERT_EQ(doc->m_poSeqList.size(), 2u);
    const CSeq& seq = *doc->m_poSeqList[0];
    EXPECT_EQ(seq.m_strName, "sequence" + std::to_string(number));
    EXPECT_EQ(seq.m_strDescription, " a b c d e f g h i");
    EXPECT_EQ(seq.m_nRestart, 1);
    EXPECT_EQ(seq.m_wRestartLockout, 0);
    EXPECT_EQ(seq.m_nLooping, 1);
    EXPECT_EQ(seq.m_nSmpteStartOn, 1);
    EXPECT_EQ(seq.m_anSmpteStart, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(seq.m_aTriggers[1].m_nGoesOn, 1);
    EXPECT_FALSE(seq.m_aTriggers[2].IsSet());
    // A line of 31 characters gives no event; one of 32 gives label, time and event.
    ASSERT_EQ(seq.m_poEventList.size(), 2u);
    const CEvnt& nop = *seq.m_poEventList[0];
    EXPECT_EQ(nop.m_strLabel, "L");
    EXPECT_EQ(nop.m_strTime, "00:01.00");
    EXPECT_EQ(nop.m_strEvent, "Nop");
    EXPECT_EQ(nop.m_strData1, "");
    // A line cut after Data2 keeps it.
    EXPECT_EQ(seq.m_poEventList[1]->m_strData2, "Hello");
    EXPECT_EQ(CDosImport::ImportedSequenceCount(), number + 1);
}

TEST_F(DosImportTest, SmpteTripTimeColumns) {
    struct Case {
        std::string line;
        std::array<std::int32_t, 4> time;
        std::int32_t on;
        std::vector<std::string> boxes;
    } cases[] = {
        {DosSmpteLine("ENABLED", "01:02:03.04"), {1, 2, 3, 4}, 1, {}},
        {DosSmpteLine("DISABLED", "59:59:59.29"), {59, 59, 59, 29}, 0, {}},
        {"SMPTE Trip      - ENABLED Frame - 00:00:01.02  ",
         {0, 0, 1, 2},
         1,
         {"?Expected \"Frame - "}},
        {DosSmpteLine("ENABLED", "60:00:00.00"),
         {0, 0, 0, 0},
         1,
         {"?Expected Valid SMPTE Trip Value ( 00:00:00.00 - 59:59:59.29 )",
          "Defaulting SMPTE Trip time to 00:00:00.00"}},
        {"SMPTE Trip      - X",
         {0, 0, 0, 0},
         0,
         {"?Expected Valid ENABLED or DISABLED SMPTE Trip Value",
          "Defaulting SMPTE Trip Flag to DISABLED"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        DosListing listing(Product("Harnel2"));
        DosSequencePage page;
        page.name = "Timed";
        page.smpte = c.line;
        listing.AddPage(page);
        ui.Clear();
        ASSERT_TRUE(Import(listing.Text()));
        EXPECT_EQ(Boxes(ui), c.boxes);
        EXPECT_EQ(doc->m_poSeqList[0]->m_anSmpteStart, c.time);
        EXPECT_EQ(doc->m_poSeqList[0]->m_nSmpteStartOn, c.on);
    }
}

TEST_F(DosImportTest, NoAtAPromptStopsTheImport) {
    DosListing listing(Product("Harnel2"));
    listing.Set("Card Address", "Card Address  - 300");
    ui.QueueAnswer(MsgResult::No);
    EXPECT_FALSE(Import(listing.Text()));
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{Prompt(6, "Card Address  - 300",
                                                           "Expected Card Address ( 0 - 255 )")}));

    DosSequencePage page;
    page.name = "Bad";
    page.lockout = "300";
    listing.Set("Card Address", "Card Address  - 3");
    listing.AddPage(page);
    ui.Clear();
    ui.QueueAnswer(MsgResult::No);
    EXPECT_FALSE(Import(listing.Text()));
    EXPECT_EQ(Boxes(ui),
              (std::vector<std::string>{"?Expected Valid Restart Lockout Value ( 0 - 255 )"}));
}

TEST_F(DosImportTest, TruncatedListingsFailWithOneMessage) {
    DosListing listing(Product("Harnel2"));
    DosSequencePage page;
    page.name = "Cut";
    page.events = {DosEventLine("", "00:00.00", "Nop"), DosEventLine("", "00:01.00", "Nop")};
    listing.AddPage(page);
    const std::size_t lines = listing.lines.size();
    for (std::size_t keep : {std::size_t{0}, std::size_t{3}, std::size_t{12}, std::size_t{30},
                             listing.Find("*SERIAL PORTS") + 3, listing.Find("\f*TOVA\tSCRIPT") + 8,
                             lines - 3, lines - 1}) {
        SCOPED_TRACE(keep);
        DosListing cut = listing;
        cut.lines.resize(keep);
        ui.Clear();
        EXPECT_FALSE(Import(cut.Text()));
        ASSERT_EQ(ui.boxes.size(), 1u) << ui.Texts().front();
        EXPECT_EQ(ui.boxes[0].text.rfind("Error Reading " + kPath + ".\nLine ", 0), 0u);
        EXPECT_NE(ui.boxes[0].text.find(":  End of Script \"*TOVA  *END\" not found\n"),
                  std::string::npos);
    }
    // One huge line: the prompt shows its start, then the listing is found cut.
    ui.Clear();
    EXPECT_FALSE(Import(std::string(100000, 'x')));
    ASSERT_EQ(ui.boxes.size(), 3u);
    EXPECT_EQ(ui.boxes[0].text,
              Prompt(1, std::string(1023, 'x'), "Expected Version Number ( 1.00 - 6.00 )"));
    EXPECT_EQ(ui.boxes[2].text, MissingEnd(5));

    // The end line needs no line end after it.
    std::string whole = listing.Text("\n");
    whole.pop_back();
    ui.Clear();
    EXPECT_TRUE(Import(whole));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(DosImportTest, ListingWithoutSequencesGetsTheDefaultSequence) {
    DosListing listing(Product("Harnel4"));
    ASSERT_TRUE(Import(listing.Text()));
    ASSERT_EQ(doc->m_poSeqList.size(), 1u);
    EXPECT_EQ(doc->m_poSeqList[0]->m_strName, "Default");
    EXPECT_EQ(doc->m_poSeqList[0]->m_wLevel, 1);
    ASSERT_EQ(doc->m_poSeqList[0]->m_poEventList.size(), 1u);
    EXPECT_EQ(doc->m_poSeqList[0]->m_poEventList[0]->m_strEvent, "Nop");
}

TEST_F(DosImportTest, MissingRenamingTableRenamesNothingAndIsTriedAgain) {
    char folder[] = "/tmp/velmora-dos-import-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    fixture.App().m_strAppDir = folder;
    DosListing listing(Product("Harnel2"));
    DosSequencePage page;
    page.name = "Old";
    page.events = {DosEventLine("", "00:00.00", "Disp", "LCD1")};
    listing.AddPage(page);
    const std::string message = "Error Loading Utilities\\Import.Flt:  Invalid or Missing File";
    ASSERT_TRUE(Import(listing.Text()));
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{message}));
    EXPECT_EQ(doc->m_poSeqList[0]->m_poEventList[0]->m_strEvent, "Disp");

    ui.Clear();
    ASSERT_TRUE(Import(listing.Text()));
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{message}));

    // Once the table is there it is loaded and used.
    fs::create_directory(fs::path(folder) / "utilities");
    std::ofstream(fs::path(folder) / "utilities" / "import.flt", std::ios::binary)
        << "Disp Display\r\n";
    ui.Clear();
    ASSERT_TRUE(Import(listing.Text()));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(doc->m_poSeqList[0]->m_poEventList[0]->m_strEvent, "Display");
    EXPECT_TRUE(fixture.App().m_pImportTable->IsLoaded());
    fs::remove_all(folder);

    // A loaded table is not read again.
    ASSERT_TRUE(Import(listing.Text()));
    EXPECT_EQ(doc->m_poSeqList[0]->m_poEventList[0]->m_strEvent, "Display");
}

TEST_F(DosImportTest, WithoutEventProtocolRenamedPortEventsSwapTheirData) {
    fixture.App().m_posEventProtocol = nullptr;
    DosListing listing(Product("Harnel2"));
    listing.Set("   1  port1", DosPortLine(1, "Player", "9600", 'N', '8', '1', "None"));
    DosSequencePage page;
    page.name = "Old";
    page.events = {DosEventLine("", "00:00.00", "AStop", "Player", "3", "x"),
                   DosEventLine("", "00:00.00", "Disp", "LCD1", "a", "b")};
    listing.AddPage(page);
    ASSERT_TRUE(Import(listing.Text()));
    const CEvnt& stop = *doc->m_poSeqList[0]->m_poEventList[0];
    EXPECT_EQ(stop.m_strEvent, "Stop");
    EXPECT_EQ(stop.m_strData2, "x");
    EXPECT_EQ(stop.m_strData3, "R4");
    const CEvnt& display = *doc->m_poSeqList[0]->m_poEventList[1];
    EXPECT_EQ(display.m_strEvent, "Display");
    EXPECT_EQ(display.m_strData2, "a");
}

TEST_F(DosImportTest, UnitParameterConversion) {
    struct Case {
        const char* data2;
        const char* converted;
    } cases[] = {{"ALL", "ALL"}, {"all", "all"}, {"g2", "G2"}, {"R0", "R1"},
                 {"r12", "R13"}, {"3", "R4"},    {"", "R1"},   {"x", "R1"}};
    AppServices none; // the conversion needs nothing of the program
    struct NoHost : DosImportHost {
        CProduct* SetUpProduct(const std::string&) override { return nullptr; }
        void SetStatusProgress(const std::string&, int) override {}
        int CompilePortEvent(CSeq&, CEvnt&) override { return 1; }
    } host;
    CDosImport import("", host, none);
    for (const auto& c : cases) {
        CEvnt event;
        event.m_strData2 = c.data2;
        import.ConvertUnitParam(event);
        EXPECT_EQ(event.m_strData2, c.converted) << c.data2;
    }
}

std::string SavedText(CVLDoc& doc) {
    EXPECT_TRUE(
        doc.WriteScriptToBuffer(CVLDoc::kWriteAll, 1, static_cast<int>(doc.m_poSeqList.size())));
    return std::string(doc.WrittenText());
}

// An imported listing saves as a script source file and reads back as it was imported.
TEST_F(DosImportTest, SavesAsScriptSourceFile) {
    DosListing listing(Product("Harnel2"));
    listing.Set("KSX Ver", "KSX Ver 4.10");
    listing.Set("Card Address", "Card Address  - 3");
    listing.Set("Timebase Rate", "Timebase Rate - 25");
    listing.Set("Sync Source", "Sync Source   - EXT/FM GEN");
    listing.Set("Ext Sync Freq", "Ext Sync Freq - 59.94");
    listing.Set("Comments      - ", "Comments      - Harbour show");
    listing.InsertBefore("*INPUTS", {"second comment line"});
    listing.Set("   2  Input2", "   2  Gate Open");
    listing.Set("   1  port1", DosPortLine(1, "Player", "9600", 'N', '8', '1', "Digital_Reelvox"));
    listing.Set("   2  port2", DosPortLine(2, "CD", "OFF", 'N', '8', '1', "SCSI_CD_Sony_55S"));
    listing.AddDataString("Greeting  \"Hello\"");
    DosSequencePage show;
    show.name = "Show Start";
    show.comments = {"Opens", "and closes"};
    show.triggers = {
        DosTriggerLine("Start Trigger   - ", "Gate_Ope", "and ", "Var1", "gt  ", "5", "Active On"),
        DosTriggerLine("Stop Trigger    - ", "none", "or  ", "Var2", "ne  ", "Var3", "Active Off"),
        DosTriggerLine("Pause Trigger   - ", "none", "none", "none", "none", "none", "Active On"),
        DosTriggerLine("Reset Trigger   - ", "Flag1", "none", "none", "none", "none",
                       "Active Off")};
    show.restart = "ENABLED";
    show.lockout = "12";
    show.autoStart = "ENABLED";
    show.smpte = DosSmpteLine("ENABLED", "01:02:03.04");
    show.events = {
        DosEventLine("Begin", "00:00.00", "Disp", "LCD1", "", "", "sign on"),
        DosEventLine("", "00:01.00", "APlay", "Player", "3", "ST5"),
        DosEventLine("", "00:01.10", "APlyLoop", "Player", "g2", "BC9"),
        DosEventLine("", "00:02.00", "AStop", "Player", "all"),
        DosEventLine("", "00:03.00", "ShwFlgs", "1", "h0F"),
        DosEventLine("", "00:03.02", "outport", "0", "h01"),
        DosEventLine("End", "00:05.00", "TglOut", "Output1"),
    };
    listing.AddPage(show);
    DosSequencePage error;
    error.name = "Error2";
    error.loop = "ENABLED";
    error.events = {DosEventLine("", "00:00.00", "Nop")};
    listing.AddPage(error);

    ui.QueueAnswer(MsgResult::Yes);
    ASSERT_TRUE(Import(listing.Text()));
    const std::string saved = SavedText(*doc);
    std::ifstream in(std::string(VELMORA_SOURCE_DIR) + "/tests/script/data/dos_import_harnel2.ksf",
                     std::ios::binary);
    std::ostringstream expected;
    expected << in.rdbuf();
    EXPECT_EQ(saved, expected.str());

    // The saved file opens again. (The file form keeps no empty Data2 before a Data3, so the
    // renamed Stop comes back with "all" as its Data2; Data4 keeps the blank after it.)
    CVLDoc reread(fixture.App());
    reread.LoadFileBuffer(saved);
    ASSERT_TRUE(reread.ReadScript("imported.ksf"));
    reread.FreeFileBuffer();
    EXPECT_TRUE(ui.boxes.size() == 1) << ui.Texts().back();
    doc->m_strWork.clear(); // the listing's version is not part of the script
    CEvnt& stop = *doc->m_poSeqList[0]->m_poEventList[3];
    std::swap(stop.m_strData2, stop.m_strData3);
    for (int i : {1, 2})
        doc->m_poSeqList[0]->m_poEventList[i]->m_strData4 += ' ';
    EXPECT_EQ(Dump(reread), Dump(*doc));
}

TEST_F(DosImportTest, OpeningAListingImportsItUnderAKsfName) {
    char folder[] = "/tmp/velmora-dos-open-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const fs::path saved = fs::current_path();
    const std::string path = std::string(folder) + "/old.ksx";
    DosListing listing(Product("Harnel4"));
    std::ofstream(path, std::ios::binary) << listing.Text();
    CVLDoc opened(fixture.App());
    EXPECT_TRUE(opened.OnOpenDocument(path));
    EXPECT_EQ(opened.GetPathName(), std::string(folder) + "/old.KSF");
    EXPECT_TRUE(opened.IsModified());
    EXPECT_EQ(opened.m_pProduct->m_strName, "Harnel4");
    fs::current_path(saved);
    fs::remove_all(folder);
}

} // namespace

namespace {

// A damaged listing asks once whether to read on; the answer holds for the rest of the file.
TEST_F(DosImportTest, DamagedListingAsksOnce) {
    DosListing listing(Product("Harnel2"));
    std::string text = listing.Text();
    // Every other byte of the resource pages turned to garbage: a prompt on nearly every line.
    const std::size_t from = text.find("*INPUTS");
    ASSERT_NE(from, std::string::npos);
    for (std::size_t i = from; i < text.size(); i += 2) {
        if (text[i] != '\r' && text[i] != '\n')
            text[i] = static_cast<char>('#' + i % 7);
    }
    struct Case {
        MsgResult answer;
        bool imported;
    };
    for (const Case c : {Case{MsgResult::Yes, true}, Case{MsgResult::No, false}}) {
        SCOPED_TRACE(c.imported);
        ui.boxes.clear();
        ui.QueueAnswer(c.answer);
        Import(text);
        int questions = 0;
        for (const auto& box : ui.boxes)
            questions += box.buttons == platform::MsgButtons::YesNo ? 1 : 0;
        EXPECT_EQ(questions, 1);
        // Past the question, read on without another box of any kind.
        EXPECT_LE(ui.boxes.size(), 3u);
    }
}

} // namespace
