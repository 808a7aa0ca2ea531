#include "script/import_table.h"

#include "tests/support/scripted_ui.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs Parsed(const std::string& text) {
    CImportTable table;
    table.Parse(text);
    Pairs pairs;
    for (const auto& p : table.Pairs())
        pairs.emplace_back(p->m_strOldName, p->m_strNewName);
    return pairs;
}

TEST(ImportTable, PairLines) {
    struct Case {
        const char* text;
        Pairs pairs;
    } cases[] = {
        {"AStop      Stop\r\n", {{"AStop", "Stop"}}},
        {"a,b\r\nc ,d\r\n\te\tf\r\n", {{"a", "b"}, {"c", ",d"}, {"e", "f"}}},
        {"a, b\r\n", {{"a", "b"}}},
        // A remark after the pair, after at least one blank.
        {"Disp   Display   ; the LCD\r\n", {{"Disp", "Display"}}},
        // Only remarks and blank lines.
        {"; remark\r\n\r\n   \t \r\n;\r\n", {}},
        // The last line needs its CR.
        {"a b\r\nc d", {{"a", "b"}}},
        // Line feeds alone end nothing.
        {"a b\nc d\n", {}},
        // Case is kept.
        {"ShwFlgs SHWFLGS\r\n", {{"ShwFlgs", "SHWFLGS"}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Parsed(c.text), c.pairs) << c.text;
}

TEST(ImportTable, MalformedLinesDoNotLeakIntoTheNextPair) {
    // A lone old name, a remark straight after an old name or a separator, and a ';' directly
    // after the new name all end their line without a pair; the next line reads cleanly.
    EXPECT_EQ(Parsed("lonely\r\na b\r\n"), (Pairs{{"a", "b"}}));
    EXPECT_EQ(Parsed("old;remark\r\na b\r\n"), (Pairs{{"a", "b"}}));
    EXPECT_EQ(Parsed("old ;remark\r\na b\r\n"), (Pairs{{"a", "b"}}));
    EXPECT_EQ(Parsed("old new;remark\r\na b\r\n"), (Pairs{{"a", "b"}}));
    EXPECT_EQ(Parsed("old \r\n\r\na b\r\n"), (Pairs{{"a", "b"}}));
}

TEST(ImportTable, LookupIgnoresCaseAndTakesTheFirstPair) {
    CImportTable table;
    table.Parse("disp Display\r\nDISP Other\r\nTglOut Toggle\r\n");
    ASSERT_NE(table.Lookup("DiSp"), nullptr);
    EXPECT_EQ(*table.Lookup("DiSp"), "Display");
    EXPECT_EQ(*table.Lookup("tglout"), "Toggle");
    EXPECT_EQ(table.Lookup("Toggle"), nullptr);
    EXPECT_EQ(table.Lookup(""), nullptr);
}

TEST(ImportTable, LoadFile) {
    testing_support::ScriptedUi ui;
    CImportTable table;
    EXPECT_FALSE(table.LoadFile("/nonexistent/IMPORT.FLT"));
    EXPECT_EQ(table.GetCount(), 0u);

    // A folder opens but cannot be read.
    char folder[] = "/tmp/velmora-import-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    EXPECT_FALSE(table.LoadFile(folder));

    // A FIFO in its place is refused at once, never waited on for a writer.
    const std::string pipe = std::string(folder) + "/PIPE.FLT";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_FALSE(table.LoadFile(pipe));

    const std::string file = std::string(folder) + "/IMPORT.FLT";
    std::ofstream(file, std::ios::binary) << "x y\r\n";
    EXPECT_TRUE(table.LoadFile(file));
    EXPECT_EQ(table.GetCount(), 1u);
    std::filesystem::remove_all(folder);

    // The shipped table loads whole, without a message.
    CImportTable shipped;
    EXPECT_TRUE(shipped.LoadFile(std::string(VELMORA_SOURCE_DIR) + "/data/Utilities/IMPORT.FLT"));
    ASSERT_NE(shipped.Lookup("astop"), nullptr);
    EXPECT_EQ(*shipped.Lookup("astop"), "Stop");
    EXPECT_EQ(*shipped.Lookup("outport"), "OutPort");
    EXPECT_EQ(shipped.Lookup("ShwFlgs"), nullptr);
    EXPECT_TRUE(ui.Texts().empty());
}

} // namespace
