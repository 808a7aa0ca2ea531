#include "platform/qt/virtual_keys.h"
#include "script/text_resources.h"
#include "tests/views/resources/resource_test_support.h"
#include "views/resources/string_views.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <gtest/gtest.h>
#include <vector>

namespace {

using namespace resources_test;
using platform::MsgResult;

struct StringViewTest : ::testing::Test, ScriptFixture {
    StringViewTest() {
        for (int i = 1; i <= 6; ++i)
            doc.m_poDataStrList.push_back(std::make_unique<CDataStr>(
                "d" + std::to_string(i), "h0" + std::to_string(i), "c" + std::to_string(i)));
        QApplication::clipboard()->clear();
    }
    std::vector<std::string> DataNames(const CVLDoc& script) const {
        std::vector<std::string> names;
        for (const auto& s : script.m_poDataStrList)
            names.push_back(s->m_strName);
        return names;
    }
    std::vector<std::string> LcdNames(const CVLDoc& script) const {
        std::vector<std::string> names;
        for (const auto& s : script.m_poLcdStrList)
            names.push_back(s->m_strName);
        return names;
    }
    // Selects rows first to last (0-based) as a mouse drag over the name column does.
    static void SelectRows(StrCel& cel, int first, int last) {
        cel.ClearBlockSelection();
        cel.MoveActiveCell(0, first);
        cel.SelectBlock(0, first, 2, last);
    }
    static std::vector<std::uint8_t> ClipboardBlock() {
        const QMimeData* data = QApplication::clipboard()->mimeData();
        if (!data || !data->hasFormat("VelmoraStrings"))
            return {};
        const QByteArray bytes = data->data("VelmoraStrings");
        return {bytes.begin(), bytes.end()};
    }
    static void PutBlock(const std::vector<std::uint8_t>& block) {
        auto* data = new QMimeData;
        data->setData("VelmoraStrings", QByteArray(reinterpret_cast<const char*>(block.data()),
                                                   qsizetype(block.size())));
        QApplication::clipboard()->setMimeData(data);
    }
};

TEST_F(StringViewTest, RowsHeadingsColoursAndTips) {
    Shown<CDataStrView> data(doc, services);
    StrCel& cel = data.view.Cel();
    EXPECT_EQ(cel.GetRowCount(), 7);
    EXPECT_EQ(Cell(cel, -1, 0), "001");
    EXPECT_EQ(Cell(cel, -1, 5), "006");
    EXPECT_EQ(Cell(cel, -1, 6), "");
    EXPECT_EQ(Cell(cel, 1, 2), "h03");
    EXPECT_EQ(Cell(cel, 1, -1), "String Data");
    EXPECT_EQ(DefaultBackground(cel), 0xE6E6E6u);
    EXPECT_EQ(data.view.FrameCaption(), "Data Strings of Show");
    std::string tip;
    cel.GetCellTipText(1, 0, 1, tip);
    EXPECT_EQ(tip, "Place text in quotes, preface hex values with 'h'");

    Shown<CLcdStrView> lcd(doc, services);
    EXPECT_EQ(lcd.view.Cel().GetRowCount(), 1);
    EXPECT_EQ(Cell(lcd.view.Cel(), -1, 0), "");
    EXPECT_EQ(DefaultBackground(lcd.view.Cel()), 0xC8DCF0u);
    lcd.view.Cel().GetCellTipText(1, 0, 1, tip);
    EXPECT_EQ(tip, "Place text in quotes, use h0D for new line. Right click for wizard");
    EXPECT_EQ(lcd.view.FrameCaption(), "LCD Strings of Show");
}

// Strings 2 to 4 of 6 go on the clipboard as exactly tag, count and three records; pasted on
// the empty row they come back as strings 7 to 9.
TEST_F(StringViewTest, CopyWritesTheBlockAndPasteAppendsIt) {
    Shown<CDataStrView> data(doc, services);
    StrCel& cel = data.view.Cel();
    SelectRows(cel, 1, 3);
    data.view.OnCopy();
    const std::vector<std::uint8_t> expected = {
        2,   3,   0,   2, 'd', '2', 3, 'h', '0', '2', 2,   'c', '2', 2, 'd', '3', 3,
        'h', '0', '3', 2, 'c', '3', 2, 'd', '4', 3,   'h', '0', '4', 2, 'c', '4'};
    EXPECT_EQ(ClipboardBlock(), expected);
    EXPECT_TRUE(CStringView::CanPaste());

    cel.ClearBlockSelection();
    cel.MoveActiveCell(0, 6);
    ClearMarks(doc);
    data.view.OnPaste();
    EXPECT_EQ(DataNames(doc),
              (std::vector<std::string>{"d1", "d2", "d3", "d4", "d5", "d6", "d2", "d3", "d4"}));
    EXPECT_EQ(doc.m_poDataStrList[8]->m_strData, "h04");
    EXPECT_EQ(Cell(cel, -1, 8), "009");
    EXPECT_EQ(cel.GetRowCount(), 10);
    EXPECT_TRUE(Marked(doc));
    EXPECT_TRUE(ui.boxes.empty());
}

// Either table pastes the other's strings, in another script as well.
TEST_F(StringViewTest, StringsMoveBetweenTablesAndScripts) {
    Shown<CDataStrView> data(doc, services);
    SelectRows(data.view.Cel(), 4, 5);
    data.view.OnCut();
    EXPECT_EQ(DataNames(doc), (std::vector<std::string>{"d1", "d2", "d3", "d4"}));

    CVLDoc other(app.App());
    other.InitNewScript(CVLDoc::kDefaultProduct);
    Shown<CLcdStrView> lcd(other, services);
    lcd.view.OnPaste();
    EXPECT_EQ(LcdNames(other), (std::vector<std::string>{"d5", "d6"}));
    EXPECT_EQ(other.m_poLcdStrList[1]->m_strComment, "c6");

    SelectRows(lcd.view.Cel(), 0, 0);
    lcd.view.OnCopy();
    data.view.Cel().ClearBlockSelection();
    data.view.Cel().MoveActiveCell(0, 0);
    SelectRows(data.view.Cel(), 0, 0);
    data.view.OnPaste(); // one selected row: inserts before it without asking
    EXPECT_EQ(DataNames(doc), (std::vector<std::string>{"d5", "d1", "d2", "d3", "d4"}));
    EXPECT_TRUE(ui.boxes.empty());
}

// A paste over several rows asks: Yes replaces them, No inserts before them.
TEST_F(StringViewTest, PasteOverASelectionAsks) {
    PutBlock(EncodeStringsBlock({{"x", "", ""}}));
    Shown<CDataStrView> data(doc, services);
    StrCel& cel = data.view.Cel();
    SelectRows(cel, 1, 2);
    ui.QueueAnswer(MsgResult::No);
    data.view.OnPaste();
    EXPECT_EQ(ui.Texts(),
              std::vector<std::string>{"Are you sure you want to replace the current selection?"});
    EXPECT_EQ(ui.boxes[0].caption, "Paste from Clipboard");
    EXPECT_EQ(DataNames(doc), (std::vector<std::string>{"d1", "x", "d2", "d3", "d4", "d5", "d6"}));
    SelectRows(cel, 2, 3);
    ui.QueueAnswer(MsgResult::Yes);
    data.view.OnPaste();
    EXPECT_EQ(DataNames(doc), (std::vector<std::string>{"d1", "x", "x", "d4", "d5", "d6"}));
}

// Foreign, truncated or oversized blocks change nothing.
TEST_F(StringViewTest, BadBlocksChangeNothing) {
    Shown<CDataStrView> data(doc, services);
    data.view.Cel().MoveActiveCell(0, 6);
    struct Case {
        std::vector<std::uint8_t> block;
        const char* message;
    };
    std::vector<std::uint8_t> huge = EncodeStringsBlock(std::vector<StringRecord>(32761));
    const Case cases[] = {
        {{7, 1, 0, 0, 0, 0}, "Unknown data.  Cannot Paste into Strings"},
        {{2, 2, 0, 0, 0, 0}, "Unknown data.  Cannot Paste into Strings"},
        {{2, 1, 0, 9, 'a'}, "Unknown data.  Cannot Paste into Strings"},
        {huge, "Pasting 32761 strings would exceed 32767 strings"},
    };
    for (const Case& c : cases) {
        ui.Clear();
        PutBlock(c.block);
        ClearMarks(doc);
        data.view.OnPaste();
        EXPECT_EQ(ui.Texts(), std::vector<std::string>{c.message});
        EXPECT_EQ(ui.boxes[0].caption, "Paste from Clipboard");
        EXPECT_EQ(doc.m_poDataStrList.size(), 6u);
        EXPECT_FALSE(doc.IsModified());
    }
    // One string fewer fits exactly.
    huge = EncodeStringsBlock(std::vector<StringRecord>(32760));
    PutBlock(huge);
    ui.Clear();
    data.view.OnPaste();
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(doc.m_poDataStrList.size(), 32766u);

    QApplication::clipboard()->setText("plain");
    ui.Clear();
    data.view.OnPaste();
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Error obtaining data from Clipboard"});
}

// Copy takes nothing without a selection, the last string alone when it is selected, and asks
// before cutting a text longer than 255 bytes.
TEST_F(StringViewTest, CopyRulesAndLongTexts) {
    Shown<CDataStrView> data(doc, services);
    StrCel& cel = data.view.Cel();
    cel.ClearBlockSelection();
    cel.MoveActiveCell(0, 6);
    data.view.OnCopy();
    EXPECT_TRUE(ClipboardBlock().empty());
    SelectRows(cel, 5, 5);
    data.view.OnCut();
    EXPECT_EQ(ClipboardBlock().size(), 3u + 3u + 4u + 3u);
    EXPECT_EQ(doc.m_poDataStrList.size(), 5u);

    QApplication::clipboard()->clear();
    doc.m_poDataStrList[0]->m_strName = std::string(300, 'n');
    SelectRows(cel, 0, 0);
    ui.QueueAnswer(MsgResult::No);
    data.view.OnCut();
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].caption, "Copy to Clipboard");
    EXPECT_TRUE(ClipboardBlock().empty());
    EXPECT_EQ(doc.m_poDataStrList.size(), 5u);
    ui.QueueAnswer(MsgResult::Yes);
    data.view.OnCopy();
    ASSERT_FALSE(ClipboardBlock().empty());
    EXPECT_EQ(ClipboardBlock()[3], 255);
}

// Insert, Delete with its question, renumbering, and the enabling of both.
TEST_F(StringViewTest, InsertAndDeleteStrings) {
    Shown<CLcdStrView> lcd(doc, services);
    for (int i = 1; i <= 6; ++i)
        doc.m_poLcdStrList.push_back(std::make_unique<CLcdStr>("l" + std::to_string(i), "", ""));
    lcd.view.FillGrid();
    StrCel& cel = lcd.view.Cel();
    struct Ui : platform::qt::CommandUi {
        void Enable(bool on) override { enabled = on; }
        void SetCheck(int) override {}
        void SetText(const QString&) override {}
        bool enabled = true;
    };
    auto enabled = [&](unsigned id) {
        Ui state;
        lcd.view.OnUpdateCommand(id, state);
        return state.enabled;
    };
    cel.MoveActiveCell(1, 6);
    EXPECT_FALSE(enabled(vl_ids::kInsertString));
    EXPECT_FALSE(enabled(vl_ids::kDeleteStrings));
    lcd.view.OnInsertString();
    EXPECT_EQ(doc.m_poLcdStrList.size(), 6u);

    cel.MoveActiveCell(1, 2);
    EXPECT_TRUE(enabled(vl_ids::kInsertString));
    lcd.view.OnInsertString();
    EXPECT_EQ(LcdNames(doc), (std::vector<std::string>{"l1", "l2", "", "l3", "l4", "l5", "l6"}));
    EXPECT_EQ(cel.GetActiveRow(), 3);
    EXPECT_EQ(cel.GetActiveColumn(), 1);

    SelectRows(cel, 1, 3);
    ui.QueueAnswer(MsgResult::Ok);
    lcd.view.OnDeleteStrings();
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Delete Strings 2 - 4.  Are you sure?"});
    EXPECT_EQ(ui.boxes[0].caption, "Delete LCD Strings");
    EXPECT_EQ(LcdNames(doc), (std::vector<std::string>{"l1", "l4", "l5", "l6"}));
    EXPECT_EQ(Cell(cel, -1, 3), "004");
    EXPECT_EQ(Cell(cel, -1, 4), "");
    // Only the first run of a split selection goes; Cancel keeps everything.
    cel.ClearBlockSelection();
    cel.MoveActiveCell(0, 0);
    cel.SelectBlock(0, 0, 2, 0);
    ui.Clear();
    ui.QueueAnswer(MsgResult::Cancel);
    lcd.view.OnDeleteStrings();
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Delete String 1.  Are you sure?"});
    EXPECT_EQ(doc.m_poLcdStrList.size(), 4u);
}

// Typing on the empty last row starts string 001; Enter on it appends; Delete empties a field.
TEST_F(StringViewTest, TheEmptyRowStartsStringsAndDeleteEmptiesFields) {
    Shown<CLcdStrView> lcd(doc, services);
    lcd.view.show();
    StrCel& cel = lcd.view.Cel();
    cel.MoveActiveCell(0, 0);
    ClearMarks(doc);
    int ch = 'W';
    cel.NotifyCharTyped(ch, 0);
    EXPECT_TRUE(cel.IsEditing());
    EXPECT_EQ(doc.m_poLcdStrList.size(), 1u);
    EXPECT_EQ(Cell(cel, -1, 0), "001");
    EXPECT_EQ(cel.GetRowCount(), 2);
    EXPECT_TRUE(Marked(doc));
    cel.AbandonEdit();
    EXPECT_TRUE(Finish(cel, 1, 0, "\"HI\""));
    EXPECT_EQ(doc.m_poLcdStrList[0]->m_strData, "\"HI\"");

    cel.MoveActiveCell(0, 1);
    Key(cel, platform::qt::VK_RETURN);
    EXPECT_EQ(doc.m_poLcdStrList.size(), 2u);

    cel.MoveActiveCell(1, 0);
    ClearMarks(doc);
    Key(cel, platform::qt::VK_DELETE);
    EXPECT_EQ(doc.m_poLcdStrList[0]->m_strData, "");
    EXPECT_TRUE(Marked(doc));
    // Tab runs along the row and on to the next.
    cel.MoveActiveCell(2, 0);
    Key(cel, platform::qt::VK_TAB);
    EXPECT_EQ(cel.GetActiveColumn(), 0);
    EXPECT_EQ(cel.GetActiveRow(), 1);
}

// A row heading selects its string's row: the data table on the press and on the release, the
// LCD table on the press only; the empty last row is never selected.
TEST_F(StringViewTest, RowHeadingsSelectTheirRow) {
    for (int i = 0; i < 3; ++i)
        doc.m_poLcdStrList.push_back(std::make_unique<CLcdStr>("l", "", ""));
    Shown<CDataStrView> data(doc, services);
    Shown<CLcdStrView> lcd(doc, services);
    struct Case {
        StrCel* cel;
        int down;
        bool selects;
    };
    const Case cases[] = {{&data.view.Cel(), 1, true},
                          {&data.view.Cel(), 0, true},
                          {&lcd.view.Cel(), 1, true},
                          {&lcd.view.Cel(), 0, false}};
    for (const Case& c : cases) {
        c.cel->ClearBlockSelection();
        c.cel->MoveActiveCell(1, 0);
        c.cel->NotifySideHeadingLeftClick(-1, 2, c.down, {}, {}, 0);
        EXPECT_EQ(c.cel->IsCellSelected(2, 2, nullptr) != 0, c.selects) << c.down;
        EXPECT_EQ(c.cel->GetActiveRow(), c.selects ? 2 : 0);
    }
    const int last = data.view.Cel().GetRowCount() - 1;
    data.view.Cel().ClearBlockSelection();
    data.view.Cel().NotifySideHeadingLeftClick(-1, last, 1, {}, {}, 0);
    EXPECT_EQ(data.view.Cel().IsCellSelected(0, last, nullptr), 0);
}

// The wizard's two lines from the data and back, with the refusals.
TEST(LcdWizardText, DecodesAndEncodesTheTwoLines) {
    const LcdLines hello = DecodeLcdLines("\"HELLO\", h0d, \"WORLD\"", 40);
    EXPECT_EQ(hello.line1, "HELLO");
    EXPECT_EQ(hello.line2, "WORLD");
    EXPECT_FALSE(hello.forceBlank1);
    EXPECT_TRUE(hello.refusal.empty());
    LcdWizardRequest lines;
    lines.width = 40;
    lines.line1 = "HELLO";
    lines.line2 = "WORLD";
    EXPECT_EQ(EncodeLcdLines(lines),
              "\"HELLO" + std::string(35, ' ') + "\", h0d, \"WORLD" + std::string(35, ' ') + "\"");

    const LcdLines second = DecodeLcdLines("h0d, \"Two\"", 16);
    EXPECT_EQ(second.line1, "");
    EXPECT_EQ(second.line2, "Two");
    lines = {};
    lines.width = 16;
    lines.line2 = "Two";
    EXPECT_EQ(EncodeLcdLines(lines), "h0d, \"Two" + std::string(13, ' ') + "\"");
    lines.line2.clear();
    EXPECT_EQ(EncodeLcdLines(lines), "");
    lines.forceBlank1 = true;
    EXPECT_EQ(EncodeLcdLines(lines), "\"" + std::string(16, ' ') + "\"");
    const LcdLines blank = DecodeLcdLines("\"" + std::string(16, ' ') + "\"", 16);
    EXPECT_TRUE(blank.forceBlank1);
    EXPECT_EQ(blank.line1, "");

    lines = {};
    lines.width = 16;
    lines.line1 = std::string(20, 'L');
    EXPECT_EQ(EncodeLcdLines(lines), "\"" + std::string(20, 'L') + "\"");
    // A quote in a line travels as h22 between quoted runs and reads back the same.
    lines.line1 = "say \"hi\"";
    const std::string quoted = EncodeLcdLines(lines);
    EXPECT_EQ(DecodeLcdLines(quoted, 16).line1, "say \"hi\"");

    EXPECT_EQ(DecodeLcdLines("h0d, h0d", 40).refusal,
              "More than one carriage return was found.\nThis string cannot be edited by LCD "
              "Wizard");
    EXPECT_EQ(DecodeLcdLines("\"a\", h07", 40).refusal,
              "Special Characters were found.\nThis string cannot be edited by LCD Wizard");
}

TEST_F(StringViewTest, TheWizardEditsTheActiveStringOrRefuses) {
    doc.m_poLcdStrList.push_back(std::make_unique<CLcdStr>("msg", "\"A\", h0d, \"B\"", ""));
    doc.m_poLcdStrList.push_back(std::make_unique<CLcdStr>("bad", "h0d, h0d", ""));
    Shown<CLcdStrView> lcd(doc, services);
    StrCel& cel = lcd.view.Cel();
    cel.MoveActiveCell(1, 1);
    ClearMarks(doc);
    lcd.view.OnLcdWizard();
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].caption, "LCD Wizard");
    EXPECT_TRUE(ui.dialogNames.empty());
    EXPECT_EQ(doc.m_poLcdStrList[1]->m_strData, "h0d, h0d");
    EXPECT_FALSE(doc.IsModified());

    cel.MoveActiveCell(1, 0);
    ui.QueueDialog([](platform::DialogRequest& request) {
        auto& wizard = dynamic_cast<LcdWizardRequest&>(request);
        EXPECT_EQ(wizard.width, 40);
        EXPECT_EQ(wizard.line1, "A");
        EXPECT_EQ(wizard.line2, "B");
        wizard.line2.clear();
        return true;
    });
    lcd.view.OnLcdWizard();
    EXPECT_EQ(doc.m_poLcdStrList[0]->m_strData, "\"A" + std::string(39, ' ') + "\"");
    EXPECT_EQ(Cell(cel, 1, 0), doc.m_poLcdStrList[0]->m_strData);
    EXPECT_TRUE(Marked(doc));

    // A display the wizard does not know offers none.
    doc.m_pProduct->m_strLcd = "None";
    ui.Clear();
    lcd.view.OnLcdWizard();
    EXPECT_TRUE(ui.dialogNames.empty());
}

} // namespace
