#include "views/sequences/rtwiz_key_table.h"

#include "compiler/event_compile.h"
#include "script/vl_doc.h"
#include "tests/support/app_fixture.h"
#include "tests/support/scripted_ui.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using rtwiz::KeyAssignment;
using rtwiz::KeyTable;

KeyAssignment Assign(std::string event, std::string d1 = "", std::string d2 = "",
                     std::string d3 = "", std::string d4 = "", std::string comment = "") {
    return {std::move(event),
            {std::move(d1), std::move(d2), std::move(d3), std::move(d4)},
            std::move(comment)};
}

TEST(RtwizKeyTable, GrammarTable) {
    struct Case {
        const char* what;
        std::string text;
        int code;
        KeyAssignment expected;
    };
    const Case cases[] = {
        {"key, blank, event", "A Nop\n", 'A', Assign("Nop")},
        {"a shifted line goes to the code plus 128", "A~Nop\n", 'A' + 128, Assign("Nop")},
        {"a shifted line leaves the plain key", "A~Nop\n", 'A', Assign("")},
        {"event, data and a comment with its blank", "A OutputOn Light1 ; lamp on\n", 'A',
         Assign("OutputOn", "Light1", "", "", "", " lamp on")},
        {"five words, the sixth ignored", "1 Ev a b c d e\n", '1',
         Assign("Ev", "a", "b", "c", "d")},
        {"a tab inside a word belongs to it", "2 Ev a\tb\n", '2', Assign("Ev", "a\tb")},
        {"leading tabs and blanks are dropped", "3 \t Ev  \tx\n", '3', Assign("Ev", "x")},
        {"a ';' as the last character stays in the text", "4 Ev x;\n", '4', Assign("Ev", "x;")},
        {"only the first ';' starts the comment", "5 Ev;a;b\n", '5',
         Assign("Ev", "", "", "", "", "a;b")},
        {"carriage returns anywhere are dropped", "6 E\rv x\r\n", '6', Assign("Ev", "x")},
        {"the separator is any character", "7xEv\n", '7', Assign("Ev")},
        {"a later line replaces the key", "B One\nB Two t\n", 'B', Assign("Two", "t")},
        {"a blank key skips the line", "  Nop\nC Yes\n", 'C', Assign("Yes")},
        {"a key above 0x7F skips the line", "\xC4 Nop\nC Yes\n", 0xC4, Assign("")},
        {"DEL is a key", "\x7F Nop\n", 0x7F, Assign("Nop")},
        {"empty lines are skipped", "\n\nD Nop", 'D', Assign("Nop")},
        {"a key alone ends the file", "E\nF Nop\n", 'F', Assign("")},
        {"a key and separator alone end the file", "E \nF Nop\n", 'F', Assign("")},
        {"what came before an end stays", "F Nop\nE\n", 'F', Assign("Nop")},
        {"a small letter is its own code", "a Nop\n", 'a', Assign("Nop")},
        {"trailing blanks give empty data", "G Ev   \n", 'G', Assign("Ev")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        KeyTable table;
        table.Parse(c.text);
        EXPECT_EQ(table.At(c.code), c.expected);
    }
    KeyTable table;
    EXPECT_EQ(table.At(-1), KeyAssignment{});
    EXPECT_EQ(table.At(256), KeyAssignment{});
}

TEST(RtwizKeyTable, FoundInProgramThenCurrentThenPathFoldersWithoutRegardToCase) {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "rtwiz_find.XXXXXX").string();
    const fs::path root = ::mkdtemp(pattern.data());
    for (const char* dir : {"program", "current", "p1", "p2"})
        fs::create_directory(root / dir);
    auto write = [](const fs::path& file, const char* text) { std::ofstream(file) << text; };

    const std::string path = (root / "p1").string() + ":" + (root / "p2").string();
    EXPECT_FALSE(rtwiz::FindKeyTableFile(root / "program", root / "current", path));
    write(root / "p2" / "RTWIZ.CFG", "A P2\n");
    EXPECT_EQ(rtwiz::FindKeyTableFile(root / "program", root / "current", path),
              root / "p2" / "RTWIZ.CFG");
    write(root / "current" / "RtWiz.Cfg", "A Current\n");
    EXPECT_EQ(rtwiz::FindKeyTableFile(root / "program", root / "current", path),
              root / "current" / "RtWiz.Cfg");
    fs::create_directory(root / "program" / "rtwiz.cfg"); // a folder of that name is no file
    EXPECT_EQ(rtwiz::FindKeyTableFile(root / "program", root / "current", path),
              root / "current" / "RtWiz.Cfg");

    KeyTable table;
    ASSERT_TRUE(rtwiz::LoadKeyTable(root / "current" / "RtWiz.Cfg", table));
    EXPECT_EQ(table.At('A').event, "Current");
    EXPECT_FALSE(rtwiz::LoadKeyTable(root / "missing.cfg", table));
    EXPECT_FALSE(rtwiz::LoadKeyTable(root / "program" / "rtwiz.cfg", table));
    fs::remove_all(root);
}

// The shipped table assigns events of the shipped event protocol with operands every shipped
// product defines: each one compiles alone, as "Send Events" compiles it, to a real message.
TEST(RtwizKeyTable, ShippedTableCompilesForEveryProduct) {
    KeyTable table;
    ASSERT_TRUE(
        rtwiz::LoadKeyTable(std::filesystem::path(VELMORA_SOURCE_DIR) / "data/rtwiz.cfg", table));
    testing_support::ScriptedUi ui;
    testing_support::AppFixture app;
    int assigned = 0;
    for (const char* product : {"Harnel2", "Harnel4", "Harnel16", "CD Pellucor"}) {
        SCOPED_TRACE(product);
        CVLDoc doc(app.App());
        ASSERT_TRUE(doc.InitNewScript(product));
        CSeq dummy("dummy", 1);
        for (int code = 0x21; code <= 0x7F; ++code) {
            const KeyAssignment& key = table.At(code);
            if (key.event.empty())
                continue;
            ++assigned;
            CEvnt event;
            event.m_strEvent = key.event;
            event.m_strData1 = key.data[0];
            event.m_strData2 = key.data[1];
            event.m_strData3 = key.data[2];
            event.m_strData4 = key.data[3];
            EXPECT_TRUE(CompileSingleEvent(doc, dummy, 0, event, 0)) << char(code);
            if (key.event != "Nop") {
                EXPECT_GT(event.m_bsCompiled.size(), 1u) << char(code);
            }
        }
        EXPECT_TRUE(table.At('A' + 128).event.empty());
    }
    EXPECT_GE(assigned, 4 * 40);
    EXPECT_EQ(table.At('Q').event, "On");
    EXPECT_EQ(table.At('Q').data[0], "Output1");
    EXPECT_EQ(table.At('Q').comment, "Output 1 on");
}

} // namespace
