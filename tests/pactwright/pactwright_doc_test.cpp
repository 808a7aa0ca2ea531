// The document without a window: new-document defaults, opening good and bad files, the save
// name rule, Save and Save As, and the save prompt.
#include "pactwright/core/pactwright_doc.h"
#include "script/dialog_requests.h"
#include "tests/support/scripted_ui.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using pactwright::CPactwrightDoc;

struct DocTest : ::testing::Test {
    DocTest() {
        char tmpl[] = "/tmp/pactwright-doc-XXXXXX";
        dir = mkdtemp(tmpl);
    }
    ~DocTest() override { fs::remove_all(dir); }
    std::string Write(const std::string& name, const std::string& bytes) {
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    fs::path dir;
    testing_support::ScriptedUi ui;
};

TEST_F(DocTest, ANewDocumentHoldsTheDefaultsAndOneCommand) {
    // Dates are English whatever the user's locale.
    setlocale(LC_TIME, "fr_FR.UTF-8");
    CPactwrightDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    setlocale(LC_TIME, "C");
    const CProtocol& p = doc.Protocol();
    EXPECT_TRUE(std::regex_match(
        p.m_strDate, std::regex("(Sun|Mon|Tues|Wednes|Thurs|Fri|Satur)day, (January|February|March|"
                                "April|May|June|July|August|September|October|November|December) "
                                "[0-3][0-9], 20[0-9][0-9]")))
        << p.m_strDate;
    EXPECT_EQ(p.m_strPath, "MyProtocol.pcl");
    EXPECT_EQ(p.m_strBrevantType, "");
    EXPECT_EQ(p.m_strAddress, "");
    EXPECT_EQ(p.m_strLocation, "Local");
    ASSERT_EQ(p.m_poCmndList.size(), 1u);
    const CCmnd& c = *p.m_poCmndList[0];
    EXPECT_EQ(c.m_strName, "MessageOut");
    EXPECT_EQ(c.m_nParamCount, 2);
    EXPECT_EQ(c.m_nByteCount, 0);
    EXPECT_EQ(c.m_Params[1].m_strText, "datastring|string, \"A valid Data or local String\"");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(p.GetReading(), ProtocolReading::Lenient);
}

TEST_F(DocTest, OpensGoodFilesAndRefusesBadOnesWithTheirMessages) {
    const std::string device = "[Device]\r\nMaker=M\r\n";
    struct Case {
        const char* name;
        std::string bytes;
        bool opens;
        std::vector<std::string> messages; // "%s" stands for the path
        int commands;
    } cases[] = {
        {"LF line ends", "[Device]\nMaker=M\n[A:B]\nMessage=h01\nParam1=byte\n", true, {}, 1},
        {"no last line end", device + "[A:B]\r\nMessage=h01", true, {}, 1},
        {"no device",
         "[Other]\r\nMaker=M\r\n",
         false,
         {"Read Protocol:  Could not find [Device] Section."},
         0},
        {"empty file", "", false, {"Read Protocol:  Could not find [Device] Section."}, 0},
        {"bad type words",
         device + "[A:B]\r\nParam1=nonsense, \"d\"\r\nParam2=byte\r\n",
         true,
         {"Warning: I couldn't make much sense of the Param\n\" nonsense \" in the Command \" "
          "A:B \""},
         1},
        {"binary bytes",
         device + std::string("[\0\xff]\r\nParam1=\x01(\r\n", 17),
         true,
         {"Warning: I couldn't make much sense of the Param\n\" \x01 \" in the Command \" " +
          std::string("\0\xff", 2) + " \""},
         1},
    };
    for (const auto& c : cases) {
        const std::string path = Write("case.pcl", c.bytes);
        CPactwrightDoc doc;
        EXPECT_EQ(doc.OnOpenDocument(path), c.opens) << c.name;
        EXPECT_EQ(ui.Texts(), c.messages) << c.name;
        EXPECT_EQ(doc.Protocol().m_poCmndList.size(), static_cast<std::size_t>(c.commands))
            << c.name;
        if (c.opens) {
            EXPECT_EQ(doc.GetPathName(), path) << c.name;
            EXPECT_FALSE(doc.IsModified()) << c.name;
        } else {
            EXPECT_EQ(doc.GetPathName(), "") << c.name;
        }
        ui.Clear();
    }
    // The parameter the reader could not make sense of keeps its text.
    CPactwrightDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(
        Write("bad.pcl", device + "[A:B]\r\nParam1=nonsense\r\nParam2=byte\r\n")));
    EXPECT_EQ(doc.Protocol().m_poCmndList[0]->m_nParamCount, 2);
    EXPECT_EQ(doc.Protocol().m_poCmndList[0]->m_Params[0].m_strText, "nonsense");

    const std::string missing = (dir / "none.pcl").string();
    ui.Clear();
    EXPECT_FALSE(doc.OnOpenDocument(missing));
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Could not open " + missing + " for reading",
                                                    "Read Protocol:  Could not read file"}));
}

TEST_F(DocTest, SaveOffersTheTitleCutToEightCharactersOrThePath) {
    struct Case {
        const char* title;
        const char* offered;
    } cases[] = {
        {"Pactwr1", "Pactwr1"}, {"Pactwr123", "Pactwr12"}, {"My Proto", "My"},         {"a#b", "a"},
        {"x%y;z", "x"},         {"ab/cd\\e", "ab"},        {"123456789 ", "12345678"},
    };
    for (const auto& c : cases) {
        CPactwrightDoc doc;
        doc.SetTitle(c.title);
        std::string offered;
        ui.QueueDialog([&](platform::DialogRequest& r) {
            auto& save = dynamic_cast<CSaveAsDlg&>(r);
            offered = save.path;
            EXPECT_EQ(save.title, "File Save As");
            EXPECT_EQ(save.filter, "Protocol Files (*.pcl)");
            return false;
        });
        EXPECT_FALSE(doc.OnFileSaveAs());
        EXPECT_EQ(offered, c.offered) << c.title;
    }
    CPactwrightDoc opened;
    opened.SetPathName("/some/where/p.pcl");
    EXPECT_EQ(opened.ProposedSaveName(), "/some/where/p.pcl");
}

TEST_F(DocTest, SaveWritesInPlaceOrAsksForANameAndTellsTheRecentList) {
    CPactwrightDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    doc.SetTitle("Pactwr1");
    std::vector<std::string> recent;
    doc.onPathChosen = [&](const std::string& path) { recent.push_back(path); };
    const std::string chosen = (dir / "Chosen.pcl").string();
    ui.QueueDialog([&](platform::DialogRequest& r) {
        dynamic_cast<CSaveAsDlg&>(r).path = chosen;
        return true;
    });
    doc.SetModifiedFlag(true);
    ASSERT_TRUE(doc.OnFileSave()); // no path yet: Save As
    EXPECT_EQ(doc.GetPathName(), chosen);
    EXPECT_EQ(doc.GetTitle(), "Chosen.pcl");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(recent, std::vector<std::string>{chosen});
    EXPECT_EQ(ui.dialogNames.size(), 1u);

    doc.SetModifiedFlag(true);
    ASSERT_TRUE(doc.OnFileSave()); // in place, no dialog
    EXPECT_EQ(ui.dialogNames.size(), 1u);
    EXPECT_TRUE(fs::exists(chosen));

    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not hold for root";
    fs::permissions(chosen, fs::perms::owner_read);
    EXPECT_FALSE(doc.OnFileSave()); // read-only: the Save As dialog, cancelled
    EXPECT_EQ(ui.dialogNames.size(), 2u);
}

TEST_F(DocTest, TheSavePromptNamesTheDocumentAndFollowsTheAnswer) {
    CPactwrightDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(doc.SaveModified()); // not modified: no question
    EXPECT_TRUE(ui.Texts().empty());

    doc.SetModifiedFlag(true);
    ui.QueueAnswer(platform::MsgResult::Cancel);
    EXPECT_FALSE(doc.SaveModified());
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Save changes to Untitled?"});
    EXPECT_EQ(ui.boxes[0].buttons, platform::MsgButtons::YesNoCancel);

    ui.QueueAnswer(platform::MsgResult::No);
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_TRUE(doc.IsModified());

    // Yes without a path: Save As; cancelling it stops the close.
    ui.QueueAnswer(platform::MsgResult::Yes);
    EXPECT_FALSE(doc.SaveModified());
    EXPECT_EQ(ui.dialogNames, std::vector<std::string>{"CSaveAsDlg"});

    const std::string path = Write("p.pcl", "old"); // Save writes in place only over a file
    doc.SetPathName(path);
    ui.Clear();
    ui.QueueAnswer(platform::MsgResult::Yes);
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Save changes to " + path + "?"});
    EXPECT_GT(fs::file_size(path), 400u); // the protocol replaced "old"
    EXPECT_FALSE(doc.IsModified());
}

} // namespace
