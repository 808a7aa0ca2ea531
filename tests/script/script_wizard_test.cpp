#include "script/wizard_script.h"

#include "app/vl_app.h"
#include "compiler/compile_main.h"
#include "compiler/compiler_state.h"
#include "compiler/diagnostics.h"
#include "script/dialog_requests.h"
#include "script/vl_doc.h"
#include "tests/support/app_fixture.h"
#include "tests/support/scripted_ui.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

struct Answers {
    std::string showName = "Lagoon";
    std::string author = "Ada";
    int synchronisation = 1;
    int product = 0;
    int players = 2;
};

class ScriptWizardTest : public ::testing::Test {
protected:
    // Runs the wizard on a new document with the answers; records the defaults it offered.
    bool Run(const Answers& answers) {
        doc = std::make_unique<CVLDoc>(fixture.App());
        ui.QueueDialog([&](platform::DialogRequest& request) {
            auto& dialog = dynamic_cast<CScriptGenDlg&>(request);
            offered = dialog;
            dialog.showName = answers.showName;
            dialog.author = answers.author;
            dialog.synchronisation = answers.synchronisation;
            dialog.product = answers.product;
            dialog.players = answers.players;
            return true;
        });
        return doc->RunScriptWizard();
    }

    CProduct& ListProduct(const char* name) {
        auto& list = fixture.App().m_poProdList;
        return list.GetAt(list.FindByName(name).value_or(0));
    }

    testing_support::AppFixture fixture;
    testing_support::ScriptedUi ui;
    std::unique_ptr<CVLDoc> doc;
    CScriptGenDlg offered;
};

// The sequences as "name level looping autostart start-trigger: description" and their events
// as "label time event data1 data2" with empty fields shown as '-'.
std::string Sequences(const CVLDoc& doc) {
    auto field = [](const std::string& text) { return text.empty() ? std::string("-") : text; };
    std::ostringstream out;
    for (const auto& seq : doc.m_poSeqList) {
        out << seq->m_strName << ' ' << seq->m_wLevel << ' ' << seq->m_nLooping << seq->m_nAutoStart
            << ' ' << field(seq->m_aTriggers[0].m_strIoName) << ": " << seq->m_strDescription
            << '\n';
        for (const auto& e : seq->m_poEventList) {
            EXPECT_TRUE(e->m_strData3.empty() && e->m_strData4.empty() && e->m_strComment.empty());
            out << "  " << field(e->m_strLabel) << ' ' << e->m_strTime << ' ' << e->m_strEvent
                << ' ' << field(e->m_strData1) << ' ' << field(e->m_strData2) << '\n';
        }
    }
    return out.str();
}

TEST_F(ScriptWizardTest, TwoPlayersOnHarnel16) {
    ASSERT_TRUE(Run({}));
    EXPECT_EQ(ui.dialogNames, (std::vector<std::string>{"CScriptGenDlg"}));
    EXPECT_EQ(offered.showName, "");
    EXPECT_EQ(offered.author, "");
    EXPECT_EQ(offered.synchronisation, 1);
    EXPECT_EQ(offered.product, 0);
    EXPECT_EQ(offered.players, 2);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_TRUE(doc->IsModified());

    EXPECT_EQ(doc->m_pProduct->m_strName, "Harnel16");
    EXPECT_EQ(doc->m_strDescription, "\"Lagoon\", created by Script Wizard");
    EXPECT_EQ(doc->m_strVersion, "1.00");
    EXPECT_EQ(doc->m_strAuthor1, "Ada");
    EXPECT_EQ(doc->m_wFrameRate, 2);
    EXPECT_EQ(doc->m_wClockSource, 1);
    EXPECT_EQ(doc->m_strExternalFrequency, "59.94");

    const CProduct& p = *doc->m_pProduct;
    EXPECT_EQ(p.m_Inputs[0].m_strName, "Day/Night_Button");
    EXPECT_EQ(p.m_Inputs[1].m_strName, "Input2");
    EXPECT_EQ(p.m_Flags[0].m_strName, "In_Daymode");
    EXPECT_EQ(p.m_Flags[1].m_strName, "Going_To_Daymode");
    EXPECT_EQ(p.m_Flags[2].m_strName, "Flag3");
    EXPECT_EQ(p.m_Flags[3].m_strName, "PLN1_Ready");
    EXPECT_EQ(p.m_Flags[4].m_strName, "PLN2_Ready");
    EXPECT_EQ(p.m_Flags[5].m_strName, "Flag6");
    EXPECT_EQ(p.m_Ports[0].m_strName, ListProduct("Harnel16").m_Ports[0].m_strName);
    EXPECT_EQ(p.m_Ports[1].m_strName, "PLN1");
    EXPECT_EQ(p.m_Ports[1].m_strProtocol, "Brevant_Pelvane_2");
    EXPECT_EQ(p.m_Ports[2].m_strName, "PLN2");
    EXPECT_EQ(p.m_Ports[2].m_strProtocol, "Brevant_Pelvane_2");
    EXPECT_EQ(p.m_Ports[3].m_strName, "Port3");
    CProtocol* pelvane = nullptr;
    ASSERT_TRUE(fixture.App().m_poProList.FindProtocol("Brevant_Pelvane_2", pelvane, false));
    EXPECT_TRUE(pelvane->IsLoaded());

    std::vector<std::pair<std::string, std::string>> lcd;
    for (const auto& s : doc->m_poLcdStrList) {
        EXPECT_EQ(s->m_strComment, "");
        lcd.emplace_back(s->m_strName, s->m_strData);
    }
    const std::vector<std::pair<std::string, std::string>> expectedLcd = {
        {"Nightmode_Msg", "\"Lagoon: Night                          \""},
        {"Daymode_Msg", "\"Lagoon: Day                            \""},
        {"Clear_Line1_Msg", "\"                                        \""},
        {"Clear_Line2_Msg", "h0d, \"                                        \""},
        {"Go_Day_Msg", "h0d, \"Going to Daymode                        \""},
        {"Go_Night_Msg", "h0d, \"Going to Nightmode                      \""},
        {"PowerUp_PLNs_Msg", "h0d, \"Waiting for PLN Power up...             \""},
        {"Waiting_PLNs_Msg", "h0d, \"Waiting for PLN Initialization...       \""},
        {"PLNs_Ready_Msg", "h0d, \"PLNs are Ready                          \""},
        {"Running_Show_Msg", "h0d, \"Main Show is Running                    \""},
    };
    EXPECT_EQ(lcd, expectedLcd);

    EXPECT_EQ(Sequences(*doc), R"(AutoExec 1 01 -: Displays signon at power up
  - 00:02.00 Display Nightmode_Msg -
  - 00:02.00 Display Clear_Line2_Msg -
Daymode/Nightmode 1 00 Day/Night_Button: Toggles between running Daymode and Nightmode
  - 00:00.00 Start Reset_All_Sequences -
  - 00:00.05 IfOff Going_To_Daymode Go_Day
  Go_Night 00:00.00 Start Goto_Nightmode -
  - 00:00.00 Goto End -
  Go_Day 00:00.00 Start Goto_Daymode -
  End 00:00.10 Toggle Going_To_Daymode -
Goto_Daymode 2 00 -: Initializes PLNs and show
  - 00:00.00 Display Go_Day_Msg -
  - 00:00.00 Display PowerUp_PLNs_Msg -
  - 00:00.00 Off PLN1_Ready -
  - 00:00.00 Off PLN2_Ready -
  - 00:00.00 Start Prepare_PLN1 -
  - 00:00.00 Start Prepare_PLN2 -
  - 00:00.00 Start Wait_For_PLNs_Ready -
  - 00:30.00 Display Waiting_PLNs_Msg -
Prepare_PLN1 3 00 -: Gets a PLN ready as fast as possible
  - 00:00.00 UnMute PLN1 Video
  - 00:00.00 On PLN1_Ready -
Prepare_PLN2 3 00 -: Gets a PLN ready as fast as possible
  - 00:00.00 UnMute PLN2 Video
  - 00:00.00 On PLN2_Ready -
Wait_For_PLNs_Ready 3 10 -: Waits for all PLNs to be ready
  - 00:00.00 IfOff PLN1_Ready TryAgain
  - 00:00.00 IfOff PLN2_Ready TryAgain
  - 00:00.00 Start PLNs_Are_Ready -
  - 00:00.00 Reset Goto_Daymode -
  - 00:00.00 Pause Wait_For_PLNs_Ready -
  TryAgain 00:00.10 Nop - -
PLNs_Are_Ready 3 00 -: Finishes initializing show after PLNs ready
  - 00:00.00 On In_Daymode -
  - 00:00.00 Display Daymode_Msg -
  - 00:00.00 Display PLNs_Ready_Msg -
  - 00:00.00 Start Search_PLN1 -
  - 00:00.00 Start Search_PLN2 -
  - 00:02.00 Display Clear_Line2_Msg -
  - 00:02.00 Start MainShow -
Goto_Nightmode 2 00 -: Shuts down PLNs and uninitializes show
  - 00:00.00 Display Go_Night_Msg -
  - 00:00.00 Reset PLN1 -
  - 00:00.00 Reset PLN2 -
  - 00:00.00 Off In_Daymode -
  - 00:02.00 Display Nightmode_Msg -
  - 00:02.00 Display Clear_Line2_Msg -
MainShow 1 10 -: Loops PLNs together
  - 00:00.00 Display Running_Show_Msg -
  - 00:00.00 Start Play_PLN1 -
  - 00:00.00 Start Play_PLN2 -
  - 00:20.00 Start Search_PLN1 -
  - 00:20.00 Start Search_PLN2 -
  - 00:20.10 Nop - -
Search_PLN1 2 00 -: Searches to main show clip
  - 00:00.00 SelectClip PLN1 1
Search_PLN2 2 00 -: Searches to main show clip
  - 00:00.00 SelectClip PLN2 1
Play_PLN1 2 00 -: Plays PLN synchronously
  - 00:00.00 Play PLN1 -
Play_PLN2 2 00 -: Plays PLN synchronously
  - 00:00.00 Play PLN2 -
Reset_All_Sequences 1 00 -: Resets all possibly running sequences
  - 00:00.00 Reset Goto_Daymode -
  - 00:00.00 Reset Goto_Nightmode -
  - 00:00.00 Reset Prepare_PLN1 -
  - 00:00.00 Reset Search_PLN1 -
  - 00:00.00 Reset Play_PLN1 -
  - 00:00.00 Reset Prepare_PLN2 -
  - 00:00.00 Reset Search_PLN2 -
  - 00:00.00 Reset Play_PLN2 -
  - 00:00.00 Reset Wait_For_PLNs_Ready -
  - 00:00.00 Reset PLNs_Are_Ready -
  - 00:00.00 Reset MainShow -
)");
}

TEST_F(ScriptWizardTest, PlayerCounts) {
    struct Case {
        int product;
        int players;
        int used;
        std::vector<std::string> boxes;
    } cases[] = {
        {1,
         5,
         4,
         {"The Harnel4 has only 4 serial ports.  That's why it's called a Harnel4.\n\nResetting "
          "to 4..."}},
        {1, 4, 4, {}},
        {0, 16, 16, {}},
        {0, 1, 1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.players);
        ui.Clear();
        Answers answers;
        answers.product = c.product;
        answers.players = c.players;
        ASSERT_TRUE(Run(answers));
        EXPECT_EQ(ui.Texts(), c.boxes);
        const CProduct& p = *doc->m_pProduct;
        EXPECT_EQ(doc->m_poSeqList.size(), 8u + 3u * static_cast<unsigned>(c.used));
        for (int i = 1; i <= c.used; ++i) {
            EXPECT_EQ(p.m_Ports[i].m_strName, "PLN" + std::to_string(i));
            EXPECT_EQ(p.m_Flags[i + 2].m_strName, "PLN" + std::to_string(i) + "_Ready");
        }
        if (c.used + 1 < p.m_wPorts) {
            EXPECT_EQ(p.m_Ports[c.used + 1].m_strProtocol,
                      ListProduct(p.m_strName.c_str()).m_Ports[c.used + 1].m_strProtocol);
        }
        EXPECT_EQ(p.m_Flags[c.used + 3].m_strName, "Flag" + std::to_string(c.used + 4));
    }
}

TEST_F(ScriptWizardTest, PlayersAreBoundedByThePortsAndFlagsOfTheProduct) {
    CProduct& harnel4 = ListProduct("Harnel4");
    harnel4.m_wPorts = 3;
    Answers answers;
    answers.product = 1;
    answers.players = 4;
    ASSERT_TRUE(Run(answers));
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{
                              "The Harnel4 has only 2 serial ports and 32 flags.  That's room for "
                              "2 video players.\n\nResetting to 2..."}));
    EXPECT_EQ(doc->m_poSeqList.size(), 14u);
    EXPECT_EQ(doc->m_pProduct->m_Ports[3].m_strName, "");

    harnel4.m_wPorts = 5;
    harnel4.m_wFlags = 4;
    ui.Clear();
    ASSERT_TRUE(Run(answers));
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{
                              "The Harnel4 has only 4 serial ports and 4 flags.  That's room for "
                              "1 video players.\n\nResetting to 1..."}));
    EXPECT_EQ(doc->m_pProduct->m_Flags[3].m_strName, "PLN1_Ready");
    EXPECT_EQ(doc->m_pProduct->m_Flags[4].m_strName, "");
    EXPECT_EQ(doc->m_pProduct->m_Ports[2].m_strName, "Port2");
}

TEST_F(ScriptWizardTest, ShowNameAndSynchronisation) {
    Answers answers;
    answers.showName = std::string(25, 'N');
    answers.synchronisation = 0;
    ASSERT_TRUE(Run(answers));
    const std::string night = doc->m_poLcdStrList[0]->m_strData;
    EXPECT_EQ(night, "\"" + std::string(25, 'N') + ": Night" + std::string(7, ' ') + "\"");
    EXPECT_EQ(night.size(), 41u);
    EXPECT_EQ(doc->m_wClockSource, 0);
    EXPECT_EQ(doc->m_strExternalFrequency, "0");
}

TEST_F(ScriptWizardTest, CancelChangesNothing) {
    doc = std::make_unique<CVLDoc>(fixture.App());
    ui.QueueDialog([](platform::DialogRequest&) { return false; });
    EXPECT_FALSE(doc->RunScriptWizard());
    EXPECT_EQ(doc->m_pProduct, nullptr);
    EXPECT_TRUE(doc->m_poSeqList.empty());
    EXPECT_TRUE(doc->m_poLcdStrList.empty());
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(ScriptWizardTest, NewDocumentInWizardMode) {
    fixture.App().m_wNewDocMode = CVLApp::kNewScriptWizard;
    ui.QueueDialog([](platform::DialogRequest& request) {
        dynamic_cast<CScriptGenDlg&>(request).product = 1;
        return true;
    });
    CVLDoc created(fixture.App());
    ASSERT_TRUE(created.OnNewDocument());
    EXPECT_EQ(created.m_pProduct->m_strName, "Harnel4");
    EXPECT_EQ(created.m_poSeqList.size(), 14u);
}

// The compile view as the compiler finds it among the document's views.
class CompileLog : public platform::View, public CompileMessageSink {
public:
    const char* ViewClassName() const override { return "CCompileView"; }
    void ClearMessages() override { lines.clear(); }
    void AddMessage(const std::string& text, int, int, int, int, std::int32_t) override {
        lines.push_back(text);
    }
    std::vector<std::string> lines;
};

std::string SavedText(CVLDoc& doc) {
    EXPECT_TRUE(
        doc.WriteScriptToBuffer(CVLDoc::kWriteAll, 1, static_cast<int>(doc.m_poSeqList.size())));
    return std::string(doc.WrittenText());
}

TEST_F(ScriptWizardTest, SavesAsTheSkeletonScript) {
    Answers answers;
    answers.product = 1;
    ASSERT_TRUE(Run(answers));
    std::ifstream in(std::string(VELMORA_SOURCE_DIR) + "/tests/script/data/wizard_harnel4.ksf",
                     std::ios::binary);
    std::ostringstream expected;
    expected << in.rdbuf();
    ASSERT_FALSE(expected.str().empty());
    EXPECT_EQ(SavedText(*doc), expected.str());
}

// Every product and player count: the script saves, reads back as it was, and compiles
// without errors.
TEST_F(ScriptWizardTest, EveryProductAndPlayerCountSavesAndCompiles) {
    char folder[] = "/tmp/velmora-wizard-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    fixture.App().m_bNoCompilerPopups = true;
    struct Case {
        int product;
        int players;
    } cases[] = {{0, 1}, {0, 2}, {0, 9}, {0, 16}, {1, 1}, {1, 2}, {1, 3}, {1, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.product) + "/" + std::to_string(c.players));
        Answers answers;
        answers.product = c.product;
        answers.players = c.players;
        answers.showName = "Show " + std::to_string(c.players);
        ASSERT_TRUE(Run(answers));
        const std::string saved = SavedText(*doc);

        CVLDoc reread(fixture.App());
        reread.LoadFileBuffer(saved);
        ASSERT_TRUE(reread.ReadScript("wizard.ksf"));
        reread.FreeFileBuffer();
        EXPECT_EQ(Sequences(reread), Sequences(*doc));
        EXPECT_EQ(SavedText(reread), saved);

        ResetCompilerState();
        CompileLog log;
        doc->AddView(&log);
        doc->SetPathName(std::string(folder) + "/wizard.ksf");
        compiler::CompileMain(*doc);
        doc->RemoveView(&log);
        EXPECT_EQ(GetCompilerState().errorCount, 0u);
        EXPECT_EQ(doc->m_nCompiledOK, 1);
        std::string errors;
        for (const auto& line : log.lines)
            errors += line + "\n";
        EXPECT_NE(errors.find("compiled with 0 Error(s)"), std::string::npos) << errors;
    }
    ResetCompilerState();
    std::filesystem::remove_all(folder);
}

} // namespace
