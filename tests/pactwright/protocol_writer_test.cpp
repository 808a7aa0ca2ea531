// The protocol file as Pactwright writes it, read back by Velmora's strict reader.
#include "pactwright/core/item_rows.h"
#include "pactwright/core/pactwright_doc.h"
#include "pactwright/core/protocol_writer.h"
#include "tests/pactwright/protocol_snapshot.h"
#include "tests/support/scripted_ui.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using pactwright::CPactwrightDoc;
using pactwright_test::ApplyReadingRules;
using pactwright_test::Snapshot;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct WriterTest : ::testing::Test {
    WriterTest() {
        char tmpl[] = "/tmp/pactwright-writer-XXXXXX";
        dir = mkdtemp(tmpl);
    }
    ~WriterTest() override { fs::remove_all(dir); }
    // Velmora's reading of a file.
    std::string StrictSnapshot(const fs::path& path) {
        CProtocol read;
        EXPECT_TRUE(read.ReadDevice(path.string())) << path;
        EXPECT_TRUE(read.LoadCommands()) << path;
        return Snapshot(read);
    }
    fs::path dir;
    testing_support::ScriptedUi ui;
};

TEST_F(WriterTest, ANewDocumentWritesItsKeysInOrder) {
    CPactwrightDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    const std::string date = doc.Protocol().m_strDate;
    EXPECT_EQ(pactwright::WriteProtocolText(doc.Protocol()),
              "[Device]\r\n\r\nVersion=Your Revision Number\r\nDate=" + date +
                  "\r\nDescription=Name of Protocol as it will appear in Velmora\r\n"
                  "Location=Local\r\nAuthor=Your Name\r\nMaker=Brand\r\n"
                  "Model=Specific Model Number\r\nSupported=5.00\r\n"
                  "Type=Video Switcher, for example\r\nInterface=Serial\r\nDataBits=8\r\n"
                  "StopBits=1\r\nParity=N\r\nBaudRate=9600\r\nProtocol=Custom\r\nBrevantType=\r\n"
                  "\r\n[MessageOut]\r\ndescription=Sends a Data or local String out a port\r\n"
                  "param1=port, \"A valid Port\"\r\n"
                  "param2=datastring|string, \"A valid Data or local String\"\r\n"
                  "message=@string(param2)\r\n");
}

// Each case edits a new document; written and read back strictly, it gives the model the
// reading rules make of it.
TEST_F(WriterTest, RoundTripsThroughTheStrictReader) {
    const std::string longValue(5000, 'x');
    struct Case {
        const char* name;
        std::function<void(CProtocol&)> edit;
    } cases[] = {
        {"new document", [](CProtocol&) {}},
        {"brackets in values",
         [](CProtocol& p) {
             p.m_strDescription = "see [Phantom] here";
             p.m_poCmndList[0]->m_strDescription = "uses [brackets]";
             p.m_poCmndList[0]->m_strMessage = "[x]=1";
         }},
        {"very long values",
         [&](CProtocol& p) {
             p.m_strModel = longValue;
             p.m_poCmndList[0]->m_strMessage = longValue + "end";
             p.m_poCmndList[0]->m_strBytes[0] = longValue;
             p.m_poCmndList[0]->m_nByteCount = 1;
             p.m_poCmndList[0]->m_strSupported = "after";
         }},
        {"ten parameters and twenty byte lines",
         [](CProtocol& p) {
             CCmnd& c = *p.m_poCmndList[0];
             for (int n = 0; n < 10; ++n)
                 c.m_Params[static_cast<std::size_t>(n)].m_strText =
                     "byte(0-" + std::to_string(n) + "), \"P" + std::to_string(n) + "\"";
             for (int n = 0; n < 20; ++n)
                 c.m_strBytes[static_cast<std::size_t>(n)] = "h" + std::to_string(n);
             c.m_nParamCount = 10;
             c.m_nByteCount = 20;
             c.m_strRetries = "3";
             c.m_strTimeout = "500";
             c.m_strMessageAck = "h06";
             c.m_strCompletionAck = "\"OK\"";
         }},
        {"categories and nested colons",
         [](CProtocol& p) {
             for (const char* name : {"Lamp:On:Off", "Cat:", "Lamp:Dim", "a::b"}) {
                 auto c = std::make_unique<CCmnd>(name);
                 c->m_strMessage = "h01";
                 p.m_poCmndList.push_back(std::move(c));
             }
         }},
        {"pasted multi-line text",
         [](CProtocol& p) {
             pactwright::StoreItemText(p, 0, 0, "Description", "one\r\n[Injected]\r\nMaker=X");
             pactwright::StoreItemText(p, 1, 1, "Description", "a\nb\rc");
             pactwright::StoreItemText(p, 1, 7, "Param1", "byte,\r\n\"two\nlines\"");
         }},
        {"no commands", [](CProtocol& p) { p.m_poCmndList.clear(); }},
        {"reading rules: defaults, blanks, comments",
         [](CProtocol& p) {
             p.m_strLocation.clear();
             p.m_strAuthor = "   Pat";
             p.m_strVersion = "; no version";
             p.m_strAddress = "\t12";
             p.m_poCmndList[0]->m_strDescription = "  lead";
             p.m_poCmndList[0]->m_Params[1].m_strText = " ; gone";
         }},
    };
    for (const auto& c : cases) {
        CPactwrightDoc doc;
        ASSERT_TRUE(doc.OnNewDocument());
        c.edit(doc.Protocol());
        const fs::path path = dir / "case.pcl";
        ASSERT_TRUE(doc.OnSaveDocument(path.string())) << c.name;
        ApplyReadingRules(doc.Protocol());
        EXPECT_EQ(StrictSnapshot(path), Snapshot(doc.Protocol())) << c.name;
        EXPECT_TRUE(ui.Texts().empty()) << c.name;
        ui.Clear();
    }
}

TEST_F(WriterTest, EveryShippedProtocolSavesToTheSameModel) {
    int files = 0;
    for (const char* folder : {"PROTOCOL", "PROTOCOL/My Protocols"}) {
        for (const auto& entry :
             fs::directory_iterator(fs::path(VELMORA_SOURCE_DIR) / "data" / folder)) {
            std::string ext = entry.path().extension().string();
            for (char& ch : ext)
                ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            if (!entry.is_regular_file() || ext != ".pcl")
                continue;
            ++files;
            CPactwrightDoc doc;
            ASSERT_TRUE(doc.OnOpenDocument(entry.path().string())) << entry.path();
            const fs::path saved = dir / entry.path().filename();
            ASSERT_TRUE(doc.OnSaveDocument(saved.string())) << entry.path();
            EXPECT_EQ(StrictSnapshot(saved), StrictSnapshot(entry.path())) << entry.path();
            EXPECT_FALSE(doc.IsModified());
        }
    }
    EXPECT_GE(files, 7);
    EXPECT_TRUE(ui.Texts().empty());
}

TEST_F(WriterTest, FindsParameterAndByteLinesTheReaderWouldDrop) {
    struct Case {
        std::vector<std::string> params, bytes;
        std::string gaps; // "P2 B1": Param2 and Byte1
    } cases[] = {
        {{"byte", "word"}, {"h1"}, ""},
        {{"byte", "", "word"}, {}, "P2"},
        {{"byte", "  ", "word"}, {"", "h2"}, "P2 B1"},
        {{"byte", "; note", "word", ""}, {"h1", ""}, "P2"},
        {{"", ""}, {"h1", "h2", ""}, ""}, // nothing after the empty ones
    };
    for (const auto& c : cases) {
        CProtocol p;
        auto cmd = std::make_unique<CCmnd>("A:B");
        for (std::size_t n = 0; n < c.params.size(); ++n)
            cmd->m_Params[n].m_strText = c.params[n];
        for (std::size_t n = 0; n < c.bytes.size(); ++n)
            cmd->m_strBytes[n] = c.bytes[n];
        cmd->m_nParamCount = static_cast<int>(c.params.size());
        cmd->m_nByteCount = static_cast<int>(c.bytes.size());
        p.m_poCmndList.push_back(std::move(cmd));
        std::string found;
        for (const auto& gap : pactwright::FindEmptyLineGaps(p))
            found += (found.empty() ? "" : " ") + std::string(gap.param ? "P" : "B") +
                     std::to_string(gap.line);
        EXPECT_EQ(found, c.gaps) << c.gaps;
    }
}

TEST_F(WriterTest, AskedAboutADroppedLineCancelKeepsTheFileAndOkWrites) {
    CPactwrightDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    doc.Protocol().m_poCmndList[0]->m_Params[0].m_strText.clear();
    doc.SetModifiedFlag(true);
    const fs::path path = dir / "gap.pcl";
    std::ofstream(path) << "old";

    ui.QueueAnswer(platform::MsgResult::Cancel);
    EXPECT_FALSE(doc.OnSaveDocument(path.string()));
    ASSERT_EQ(ui.Texts().size(), 1u);
    EXPECT_NE(ui.Texts()[0].find("\"MessageOut\", Param1 is empty"), std::string::npos);
    EXPECT_EQ(ReadAll(path), "old");
    EXPECT_TRUE(doc.IsModified());

    ui.QueueAnswer(platform::MsgResult::Ok);
    EXPECT_TRUE(doc.OnSaveDocument(path.string()));
    EXPECT_NE(ReadAll(path).find("param1=\r\nparam2="), std::string::npos);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(WriterTest, AFailedSaveKeepsTheOldFile) {
    CPactwrightDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    doc.SetModifiedFlag(true);

    // No folder to write in.
    const std::string nowhere = (dir / "missing" / "x.pcl").string();
    EXPECT_FALSE(doc.OnSaveDocument(nowhere));
    EXPECT_EQ(ui.Texts(),
              std::vector<std::string>{"File " + nowhere + " could not be opened for writing!"});
    EXPECT_TRUE(doc.IsModified());
    ui.Clear();

    // A name that a folder holds: nothing can be renamed over it.
    const fs::path folder = dir / "taken.pcl";
    fs::create_directory(folder);
    std::ofstream(folder / "inside") << "kept";
    EXPECT_FALSE(doc.OnSaveDocument(folder.string()));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{
                              "File " + folder.string() +
                              " could not be written to successfully!\n\nThe Drive could be "
                              "full.  Try another Drive!"});
    EXPECT_EQ(ReadAll(folder / "inside"), "kept");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1)
        << "no temporary file is left behind";
    ui.Clear();

    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not hold for root";
    const fs::path readOnly = dir / "ro.pcl";
    std::ofstream(readOnly) << "old";
    fs::permissions(readOnly, fs::perms::owner_read);
    EXPECT_FALSE(doc.OnSaveDocument(readOnly.string()));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"File " + readOnly.string() +
                                                   " could not be opened for writing!"});
    EXPECT_EQ(ReadAll(readOnly), "old");
}

} // namespace
