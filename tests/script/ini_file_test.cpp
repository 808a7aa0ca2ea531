#include "script/ini_file.h"
#include "script/ini_scanner.h"
#include "script/line_writer.h"
#include "tests/support/scripted_ui.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// A scanner placed just after the header "[S]" of the text "[S]\r\n" + body.
struct Section {
    explicit Section(std::string body) : text("[S]\r\n" + std::move(body)) {
        scanner.SetBuffer(text.data(), text.size());
        found = scanner.FindSection("S", false);
    }
    std::string text;
    IniScanner scanner;
    bool found = false;
};

TEST(IniScanner, KeyLookupInTextMode) {
    struct Case {
        const char* body;
        const char* key;
        const char* expected;
    } cases[] = {
        {"Key = 5\r\n", "Key", "<none>"}, // the blank before '=' is part of the key
        {"Key =5\r\n", "Key ", "5"},
        {"Key=  5\r\n", "Key", "5"},              // leading blanks of the value skipped
        {"Key=\t5  \r\n", "Key", "5  "},          // trailing blanks belong to the value
        {"K=a;b\r\n", "K", "a;b"},                // ';' is part of a text value
        {"K=\r\nX=1\r\nK=x\r\n", "K", "x"},       // an empty value looks on
        {"K=;c\r\nK=y\r\n", "K", "y"},            // so does a value that is only a comment
        {";K=1\r\nK=2\r\n", "K", "2"},            // comment lines never match
        {"key=1\r\n", "KEY", "1"},                // keys ignore case
        {"  \tK=1\r\n", "K", "1"},                // indented key
        {"Kx=1\r\nK=2\r\n", "K", "2"},            // whole key against whole key
        {"K=1\r\nK=2\r\n", "K", "1"},             // the first matching line wins
        {"A=1\r\n[T]\r\nK=2\r\n", "K", "<none>"}, // a key after the next header
        {"K=a[b]\r\n", "K", "a[b]"},              // brackets inside a value are text
        {"K=v", "K", "v"},                        // the end of the buffer ends a last line
        {"K=", "K", "<none>"},
        {"K=v\nL=w\n", "L", "w"}, // lines ended by LF alone
        {"noequals\r\nK=3\r\n", "K", "3"},
        {"K;=1\r\nK=4\r\n", "K", "4"}, // a ';' in the key starts a comment
    };
    for (const auto& c : cases) {
        Section s(c.body);
        ASSERT_TRUE(s.found);
        EXPECT_EQ(s.scanner.ReadKey(c.key, "<none>"), c.expected) << c.body;
        EXPECT_EQ(s.scanner.Position(), 4u) << "ReadKey must not move the cursor";
        // The section read in one pass finds the same.
        EXPECT_EQ(s.scanner.ReadSectionKeys().Find(c.key, "<none>"), c.expected) << c.body;
    }
}

TEST(IniScanner, NumericModeEndsTheValueAtSemicolonAndSaturates) {
    struct Case {
        const char* value;
        int asInt;
        double asDouble;
    } cases[] = {
        {"12;x", 12, 12.0},
        {"-12", -12, -12.0},
        {"+7", 7, 7.0},
        {"29.97", 29, 29.97},
        {"-1.5e2", -1, -150.0},
        {".5", 0, 0.5},
        {"abc", 0, 0.0},
        {"7abc", 7, 7.0},
        {"--3", 0, 0.0},
        {"inf", 0, 0.0},
        {"2147483647", INT_MAX, 2147483647.0},
        {"99999999999999999999999999", INT_MAX, 1e26},
        {"-99999999999999999999999999", INT_MIN, -1e26},
        {"-2147483648", INT_MIN, -2147483648.0},
        {"1e999", 1, HUGE_VAL},
        {"1e-999", 1, 0.0},
    };
    for (const auto& c : cases) {
        Section s(std::string("N=") + c.value + "\r\n");
        EXPECT_EQ(s.scanner.ReadIntKey("N", 77), c.asInt) << c.value;
        EXPECT_DOUBLE_EQ(s.scanner.ReadDoubleKey("N", 77.0), c.asDouble) << c.value;
    }
    Section s("Other=1\r\n");
    EXPECT_EQ(s.scanner.ReadIntKey("N", 65535), 65535);
    EXPECT_DOUBLE_EQ(s.scanner.ReadDoubleKey("N", 2.5), 2.5);
}

TEST(IniScanner, ReadNextKeyWalksRepeatedKeys) {
    Section s("E=1\r\nX=0\r\nE=2\r\nE=3\n[T]\r\nE=4\r\n");
    EXPECT_EQ(s.scanner.ReadNextKey("E", "-"), "1");
    EXPECT_EQ(s.scanner.ReadNextKey("E", "-"), "2");
    EXPECT_EQ(s.scanner.ReadNextKey("E", "-"), "3");
    std::size_t at = s.scanner.Position();
    EXPECT_EQ(s.scanner.ReadNextKey("E", "-"), "-"); // stops at the next header
    EXPECT_EQ(s.scanner.Position(), at);
}

TEST(IniScanner, SectionSearch) {
    struct Case {
        const char* text;
        const char* name;
        bool found;
        std::size_t position; // where the cursor stands after a successful search
    } cases[] = {
        {"[A]\r\n;[B]\r\n[B]\r\n", "B", true, 15},     // the comment line never matches
        {"[Port10]\r\n[Port1]\r\n", "Port1", true, 9}, // prefix match: the first header wins
        {"[Seq]\r\n", "Sequence", false, 0},           // a shorter name never matches
        {"[sequence:Main] ; c\r\nK=1", "Sequence", true, 20},
        {"K=x [B]\r\n[C]\r\n", "B", false, 0},   // '[' inside a line starts no header
        {"[B\r\nK=1\r\n[B]\r\n", "B", true, 13}, // nor does an unclosed one
        {"  [B]\r\n", "B", true, 6},             // white space before the header
        {"[B]", "B", true, 3},                   // the end of the buffer ends the line
        {"[B]\n", "B", true, 4},
        {"", "B", false, 0},
    };
    for (const auto& c : cases) {
        IniScanner scanner(c.text, std::strlen(c.text));
        EXPECT_EQ(scanner.FindSection(c.name, false), c.found) << c.text;
        EXPECT_EQ(scanner.Position(), c.position) << c.text;
    }
}

TEST(IniScanner, ContinuedSearchesAndSectionNames) {
    std::string text = "[A]\r\n;[X]\r\nK=[Y]\r\n[B] tail\r\n\r\n[A]\r\n";
    IniScanner scanner(text.data(), text.size());
    ASSERT_TRUE(scanner.FindSection("A", false));
    EXPECT_EQ(scanner.Position(), 4u); // just after the CR
    ASSERT_TRUE(scanner.FindSection("a", true));
    EXPECT_EQ(scanner.Position(), text.size() - 1);
    EXPECT_FALSE(scanner.FindSection("A", true));
    EXPECT_EQ(scanner.Position(), text.size() - 1);

    std::vector<std::string> names;
    for (std::string n = scanner.NextSectionName(false); !n.empty();
         n = scanner.NextSectionName(true))
        names.push_back(n);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B", "A"}));
}

TEST(IniScanner, SearchFromTheMiddleOfALine) {
    // The rest of the line is read as a line of its own; the lines below as always.
    struct Case {
        const char* text;
        std::size_t start;
        const char* name;
        bool found;
        std::size_t position;
    } cases[] = {
        {"K=[A]\r\n[B]\r\n", 2, "A", true, 6},
        {"K=[A]\r\n[B]\r\n", 3, "A", false, 3},
        {"K=[A]\r\n[B]\r\n", 3, "B", true, 11},
        {"x  [A]", 1, "A", true, 6},
        {"[A]\r\n[A]\r\n", 1, "A", true, 9},
        {"[A]\r\n[A]\r\n", 4, "A", true, 9}, // at the LF of a CR LF
    };
    for (const auto& c : cases) {
        IniScanner scanner(c.text, std::strlen(c.text));
        scanner.SetPosition(c.start);
        EXPECT_EQ(scanner.FindSection(c.name, true), c.found) << c.text << " from " << c.start;
        EXPECT_EQ(scanner.Position(), c.position) << c.text << " from " << c.start;
    }
}

TEST(LineWriter, FormatsLinesAndStopsAtTheCapacity) {
    std::string buffer(64, '#');
    LineWriter w(buffer.data(), buffer.size());
    w.WriteLine("Key", "Value");
    w.WriteLine(std::nullopt);
    w.WriteLine("[Unit]");
    w.WriteIntLine("N", -42);
    // A line break inside a text never ends its line: each CR and LF is written as a blank.
    w.WriteLine("D", "a\r\n[S]\nb\r");
    EXPECT_TRUE(w.WriteOk());
    EXPECT_EQ(buffer.substr(0, w.Written()), "Key=Value\r\n\r\n[Unit]\r\nN=-42\r\nD=a  [S] b \r\n");
    EXPECT_EQ(w.Total(), w.Written());

    // Capacity 10: a 9-byte line fits (9 < 10), a 10-byte line does not, and after that
    // every line of the pass fails, however short.
    std::string small(10, '#');
    LineWriter b(small.data(), small.size());
    b.WriteLine("abcd", "ab");
    EXPECT_TRUE(b.WriteOk());
    EXPECT_EQ(b.Total(), 9u);
    std::string other(10, '#');
    LineWriter c(other.data(), other.size());
    c.WriteLine("abcd", "abc");
    EXPECT_FALSE(c.WriteOk());
    EXPECT_EQ(c.Written(), 0u);
    c.WriteLine(std::nullopt);
    EXPECT_EQ(c.Total(), 12u);
    EXPECT_EQ(c.Written(), 0u);
    EXPECT_EQ(other, std::string(10, '#'));
}

TEST(LineWriter, TakesLongTextsWholeAndCountsWithoutABuffer) {
    std::string description(2048, 'd');
    std::string buffer(4096, '\0');
    LineWriter w(buffer.data(), buffer.size());
    w.WriteLine("Description", description);
    ASSERT_TRUE(w.WriteOk());
    EXPECT_EQ(buffer.substr(0, w.Written()), "Description=" + description + "\r\n");

    LineWriter counting; // no buffer: only the total grows
    counting.WriteLine("Description", description);
    counting.WriteIntLine("N", 1);
    EXPECT_FALSE(counting.WriteOk());
    EXPECT_EQ(counting.Total(), 12u + 2048u + 2u + 5u);
    EXPECT_EQ(counting.Written(), 0u);
}

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/velmora-ini-XXXXXX";
        dir = mkdtemp(tmpl);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string Write(const std::string& name, const std::string& bytes) {
        std::string path = (dir / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::filesystem::path dir;
    testing_support::ScriptedUi ui;
};

TEST_F(IniFileTest, ReadsAWholeFile) {
    IniFile file;
    ASSERT_TRUE(file.Open(Write("a.pcl", "; c\r\n[Device]\r\nMaker=Brevant\r\n[X]\r\n")));
    EXPECT_TRUE(file.FindSection("device", false));
    EXPECT_EQ(file.ReadKey("Maker", ""), "Brevant");
    EXPECT_EQ(file.NextSectionName(true), "X");
    EXPECT_EQ(file.NextSectionName(true), "");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(IniFileTest, ReportsAFileThatCannotBeOpened) {
    IniFile file;
    std::string missing = (dir / "missing.pcl").string();
    EXPECT_FALSE(file.Open(missing));
    EXPECT_FALSE(file.Open(dir.string())); // a folder is no file
    EXPECT_EQ(ui.Texts(),
              (std::vector<std::string>{"Could not open " + missing + " for reading",
                                        "Could not open " + dir.string() + " for reading"}));
}

TEST_F(IniFileTest, EmptyFileHasNoSections) {
    IniFile file;
    ASSERT_TRUE(file.Open(Write("empty.pcl", "")));
    EXPECT_FALSE(file.FindSection("Device", false));
    EXPECT_EQ(file.ReadKey("K", "d"), "d");
}

} // namespace
