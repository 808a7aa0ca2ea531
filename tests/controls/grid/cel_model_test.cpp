// The cell record and the in-memory data source, without windows.
#include "controls/grid/cel_cell.h"
#include "controls/grid/cel_mem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>

namespace {

CELCell TextCell(const std::string& text, int kind = 1) {
    CELCell c;
    c.SetText(text);
    if (kind == 2)
        c.SetNumber(std::stod(text));
    return c;
}

TEST(CELCellTest, FreshCellReadsDefaultsAndSettersAssign) {
    CELCell c;
    EXPECT_EQ(c.GetValueText(), nullptr);
    EXPECT_EQ(c.GetValueKind(), 1);
    EXPECT_EQ(c.GetAlignment(), 0);
    EXPECT_EQ(c.GetEdgeStyle(), 0);
    EXPECT_EQ(c.GetFont(), nullptr);
    EXPECT_FALSE(c.IsEditLocked());
    EXPECT_EQ(c.GetTextColour(), 0x000000u);
    EXPECT_EQ(c.GetBackground(), 0xFFFFFFu);
    EXPECT_EQ(c.GetDataLength(), -1);
    c.SetText(nullptr);
    ASSERT_NE(c.GetValueText(), nullptr);
    EXPECT_STREQ(c.GetValueText(), "");
    EXPECT_TRUE(c.IsPropertyAssigned(CELCell::kText));
}

TEST(CELCellTest, NumbersAndBooleans) {
    CELCell c;
    c.SetNumber(2.5);
    EXPECT_STREQ(c.GetValueText(), "2.500000");
    EXPECT_EQ(c.GetValueKind(), 2);
    struct {
        const char* text;
        bool value;
    } cases[] = {{"", false},  {"T", true},  {"true", true},
                 {"0", false}, {"x", false}, {"12", true}};
    for (const auto& k : cases)
        EXPECT_EQ(TextCell(k.text).ReadBool(), k.value) << k.text;
}

TEST(CELCellTest, MergeLayersAndCopyReplacesMask) {
    CELCell target = TextCell("keep");
    CELCell back;
    back.SetBackground(0x123456);
    target.AddFrom(back);
    EXPECT_STREQ(target.GetValueText(), "keep");
    EXPECT_EQ(target.GetBackground(), 0x123456u);
    CELCell empty;
    target.CopyFrom(empty);
    EXPECT_EQ(target.GetAssignedMask(), 0u);
    EXPECT_EQ(target.GetValueText(), nullptr);
    int o, c, r;
    EXPECT_EQ(target.GetJoinInfo(o, c, r), 1);
}

TEST(CELCellTest, DefaultOrdering) {
    const CELCell n10 = TextCell("10", 2), n9 = TextCell("9", 2);
    const CELCell t10 = TextCell("10"), t9 = TextCell("9");
    CELCell none;
    EXPECT_GT(CompareCellsDefault(&n10, &n9, 0), 0);    // numbers: 9 first
    EXPECT_LT(CompareCellsDefault(&t10, &t9, 0), 0);    // texts: "10" first
    EXPECT_LT(CompareCellsDefault(&n10, &n9, 2), 0);    // descending
    EXPECT_LT(CompareCellsDefault(&none, &t9, 0), 0);   // no text first
    EXPECT_LT(CompareCellsDefault(nullptr, &t9, 0), 0); // missing first
    EXPECT_GT(CompareCellsDefault(&t9, nullptr, 0), 0);
}

TEST(CELMemTest, SparseStorageAndDeletes) {
    CELMem mem;
    CELCell c = TextCell("x");
    mem.SetCell(3, 5, c);
    EXPECT_EQ(mem.StoredRowCount(), 6);
    EXPECT_EQ(mem.StoredColumnCount(5), 4);
    CELCell out;
    EXPECT_EQ(mem.GetCell(2, 5, out), 1);
    EXPECT_EQ(mem.GetCell(3, 4, out), 1);
    EXPECT_EQ(mem.GetCell(3, 5, out), 0);
    EXPECT_EQ(mem.InsertRow(40), 0);
    EXPECT_EQ(mem.StoredRowCount(), 6);
    // Deleting a row's last node empties it and keeps the node.
    mem.DeleteColumn(3);
    EXPECT_EQ(mem.StoredColumnCount(5), 4);
    EXPECT_EQ(mem.GetCell(3, 5, out), 1);
    EXPECT_EQ(mem.DeleteCell(9, 9), 1);
}

TEST(CELMemTest, HeadingCellsTravelWithInsertsAndStayOutOfFindAndSort) {
    CELMem mem;
    mem.SetCell(-1, 0, TextCell("h0"));
    mem.SetCell(-1, 1, TextCell("h1"));
    mem.SetCell(0, 0, TextCell("b"));
    mem.SetCell(0, 1, TextCell("a"));
    mem.SetCell(0, -1, TextCell("Name"));
    int key = 0;
    mem.SortBy(&key, 1, 0);
    CELCell out;
    mem.GetCell(0, 0, out);
    EXPECT_STREQ(out.GetValueText(), "a");
    mem.GetCell(-1, 0, out);
    EXPECT_STREQ(out.GetValueText(), "h0"); // row headings stay in place
    int column = 0, row = 0;
    EXPECT_NE(mem.FindFirst("Name", column, row, 0), 0);
    EXPECT_NE(mem.FindFirst("h1", column, row, 8), 0);
    mem.InsertRow(0);
    mem.GetCell(-1, 1, out);
    EXPECT_STREQ(out.GetValueText(), "h0");
    mem.GetCell(0, -1, out);
    EXPECT_STREQ(out.GetValueText(), "Name");
}

TEST(CELMemTest, FindFlags) {
    CELMem mem;
    mem.SetCell(0, 0, TextCell("xabc"));
    mem.SetCell(0, 1, TextCell("ABC"));
    mem.SetCell(1, 2, TextCell("abc"));
    struct {
        const char* text;
        int flags, column, row, answer, foundColumn, foundRow;
    } cases[] = {
        {"abc", 0, 0, -1, 0, 0, 1}, // whole text ignores case
        {"bc", 1, 0, -1, 0, 0, 0},  // substring with case: in xabc
        {"BC", 1, 0, -1, 0, 0, 1},  // substring with case matches ABC
        {"bc", 3, 0, 0, 0, 0, 1},   // ignoring case, after row 0
        {"abc", 8, 1, 1, 0, 1, 2},  // all columns from (1,1)
        {"abc", 12, 1, 2, 0, 0, 1}, // all columns upward from (1,2)
        {"zzz", 9, 0, 0, 1, 0, 0},
    };
    for (const auto& k : cases) {
        int c = k.column, r = k.row;
        const int answer = mem.FindNext(k.text, c, r, k.flags);
        EXPECT_EQ(answer != 0, k.answer != 0) << k.text << " " << k.flags;
        if (answer == 0 && k.answer == 0) {
            EXPECT_EQ(c, k.foundColumn) << k.text << " " << k.flags;
            EXPECT_EQ(r, k.foundRow) << k.text << " " << k.flags;
        }
    }
    // From the last cell an all-columns search wraps to the first row.
    int c = 1, r = 2;
    ASSERT_EQ(mem.FindNext("xabc", c, r, 8), 0);
    EXPECT_EQ(c, 0);
    EXPECT_EQ(r, 0);
}

// Sorting agrees with passes of neighbour exchanges, and finding with a plain scan.
TEST(CELMemTest, RandomisedAgainstReferenceModel) {
    std::mt19937 rng(7);
    for (int round = 0; round < 30; ++round) {
        CELMem mem;
        const int rows = 1 + static_cast<int>(rng() % 40), columns = 3;
        std::vector<std::vector<std::string>> model(rows, std::vector<std::string>(columns));
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) {
                if (c < 2 && rng() % 4 == 0)
                    continue;
                model[r][c] = std::string(1, static_cast<char>('a' + rng() % 4));
                mem.SetCell(c, r, TextCell(model[r][c]));
            }
        const int keys[] = {1, 0};
        const int flags = (round % 2) ? 2 : 0;
        mem.SortBy(keys, 2, flags);
        auto cmp = [&](const std::vector<std::string>& a, const std::vector<std::string>& b) {
            for (int k : keys) {
                CELCell x = TextCell(a[k]), y = TextCell(b[k]);
                const int v = CompareCellsDefault(a[k].empty() ? nullptr : &x,
                                                  b[k].empty() ? nullptr : &y, flags);
                if (v != 0)
                    return v;
            }
            return 0;
        };
        for (bool swapped = true; swapped;) {
            swapped = false;
            for (int r = 0; r + 1 < rows; ++r)
                if (cmp(model[r], model[r + 1]) > 0) {
                    std::swap(model[r], model[r + 1]);
                    swapped = true;
                }
        }
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) {
                CELCell out;
                const int has = mem.GetCell(c, r, out) == 0 && out.GetValueText();
                EXPECT_EQ(has ? std::string(out.GetValueText()) : std::string(), model[r][c])
                    << round << " " << c << "," << r;
            }
        // All-columns search from before the first cell finds the first match in row order.
        const std::string wanted(1, static_cast<char>('a' + rng() % 4));
        int fc = 0, fr = 0;
        const int found = mem.FindFirst(wanted, fc, fr, 8);
        int ec = -1, er = -1;
        for (int r = 0; r < rows && ec < 0; ++r)
            for (int c = 0; c < columns; ++c)
                if (model[r][c] == wanted) {
                    ec = c;
                    er = r;
                    break;
                }
        if (ec < 0) {
            EXPECT_NE(found, 0);
        } else {
            ASSERT_EQ(found, 0);
            EXPECT_EQ(fc, ec);
            EXPECT_EQ(fr, er);
        }
    }
}

} // namespace
