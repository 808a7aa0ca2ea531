// A protocol made and saved by Pactwright, in a temporary installation's My Protocols folder,
// is loaded by the real Velmora at its next start, and a script whose port uses it compiles.
#include "pactwright/core/pactwright_doc.h"
#include "tests/app/batch_run.h"
#include "tests/support/scripted_ui.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

class SavedProtocolInVelmora : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "pactwright-install-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data());
        // The installation: the program and the data folders beside it.
        const fs::path dist = fs::path(VELMORA_PROGRAM).parent_path();
        for (const char* folder : {"PRODUCTS", "PROTOCOL", "SCRIPTS"})
            fs::copy(dist / folder, root_ / folder, fs::copy_options::recursive);
        fs::create_directories(root_ / "PROTOCOL/My Protocols");
        fs::copy_file(VELMORA_PROGRAM, root_ / "velmora");
        fs::create_directories(root_ / "work/config/velmora");
        std::ofstream(root_ / "work/config/velmora/velmora.ini")
            << "[Serial Ports]\nCOM1=/nonexistent/tty\nCOM2=/nonexistent/tty\n";
    }
    void TearDown() override { fs::remove_all(root_); }

    // Saves a protocol "Acme Relay 8" with Relay:On and Relay:Off, made as a user would.
    void SaveProtocolWithPactwright() {
        testing_support::ScriptedUi ui;
        pactwright::CPactwrightDoc doc;
        ASSERT_TRUE(doc.OnNewDocument());
        CProtocol& p = doc.Protocol();
        p.m_strMaker = "Acme";
        p.m_strModel = "Relay 8";
        p.m_strDescription = "Acme relay box, [eight] relays";
        for (const char* state : {"On", "Off"}) {
            auto command = std::make_unique<CCmnd>(std::string("Relay:") + state);
            command->m_strDescription = std::string("Switches the relays ") + state;
            command->m_Params[0].m_strText = "port, \"The port of the relay box\"";
            command->m_Params[1].m_strText = std::string("\"") + state + "\", \"" + state + "\"";
            command->m_nParamCount = 2;
            command->m_strMessage = std::string("\"R") + state + "\", h0D";
            p.m_poCmndList.push_back(std::move(command));
        }
        ASSERT_TRUE(doc.OnSaveDocument((root_ / "PROTOCOL/My Protocols/Acme.pcl").string()));
        EXPECT_TRUE(ui.Texts().empty());
    }

    // The example script with its Wall port on the new protocol and one event of it.
    void WriteScript(const std::string& eventLine) {
        std::string text =
            batch_testing::Slurp(fs::path(VELMORA_SOURCE_DIR) / "data/SCRIPTS/Fountain.ksf");
        const std::string port = "Port01=Wall  ,9600 ,N,8,1,Brevant_Pelvane_2";
        ASSERT_NE(text.find(port), std::string::npos);
        text.replace(text.find(port), port.size(), "Port01=Wall  ,9600 ,N,8,1,Acme_Relay_8");
        for (const char* line : {"  00:00.00 UnMute  Wall               Video",
                                 "  02:00.00 Mute    Wall               Video"}) {
            ASSERT_NE(text.find(line), std::string::npos);
            text.replace(text.find(line), std::string(line).size(), eventLine);
        }
        std::ofstream(root_ / "work/Relays.ksf", std::ios::binary) << text;
    }

    batch_testing::RunResult Compile() {
        const std::string command = "cd '" + (root_ / "work").string() + "' && XDG_CONFIG_HOME='" +
                                    (root_ / "work/config").string() +
                                    "' QT_QPA_PLATFORM=offscreen timeout -s KILL 120 '" +
                                    (root_ / "velmora").string() +
                                    "' -c Relays.ksf > out.txt 2> err.txt; echo $? > status.txt";
        batch_testing::RunResult run;
        EXPECT_EQ(std::system(command.c_str()), 0);
        run.status = std::stoi(batch_testing::Slurp(root_ / "work/status.txt"));
        run.out = batch_testing::Slurp(root_ / "work/out.txt");
        run.err = batch_testing::Slurp(root_ / "work/err.txt");
        return run;
    }

    fs::path root_;
};

TEST_F(SavedProtocolInVelmora, AScriptUsingItCompiles) {
    SaveProtocolWithPactwright();
    WriteScript("  00:00.00 Relay   Wall               On");
    const batch_testing::RunResult run = Compile();
    // 3: compiled without errors, then not downloaded (no controller on the port).
    EXPECT_EQ(run.status, 3) << run.out << run.err;
    EXPECT_NE(run.out.find("compiled with 0 Error(s)"), std::string::npos) << run.out;

    // A command the protocol does not have is an error: the protocol is what was read.
    WriteScript("  00:00.00 Relay   Wall               Half");
    const batch_testing::RunResult bad = Compile();
    EXPECT_EQ(bad.status, 2) << bad.out << bad.err;
}

} // namespace
