#include "platform/qt/virtual_keys.h"
#include "script/product.h"
#include "tests/views/resources/resource_test_support.h"
#include "views/resources/name_views.h"

#include <gtest/gtest.h>

namespace {

using namespace resources_test;

struct NameViewTest : ::testing::Test, ScriptFixture {};

// Each table shows its own product table with its headings, colour, numbering and tips.
TEST_F(NameViewTest, EachKindShowsItsTable) {
    doc.m_pProduct->m_Flags[1].m_strName = "Armed";
    doc.m_pProduct->m_Flags[1].m_strComment = "set by the door";
    Shown<CFlagView> flags(doc, services);
    NameCel& cel = flags.view.Cel();
    EXPECT_EQ(cel.GetRowCount(), doc.m_pProduct->m_wFlags);
    EXPECT_EQ(Cell(cel, 0, -1), "Flag Name");
    EXPECT_EQ(Cell(cel, 1, -1), "Flag Comment");
    EXPECT_EQ(Cell(cel, -1, 0), "01");
    EXPECT_EQ(Cell(cel, 0, 1), "Armed");
    EXPECT_EQ(Cell(cel, 1, 1), "set by the door");
    EXPECT_EQ(DefaultBackground(cel), 0xA0C8FFu);
    EXPECT_EQ(std::string(flags.view.ViewClassName()), "CFlagView");
    EXPECT_EQ(flags.view.FrameCaption(), "Flags of Show");
    std::string tip;
    EXPECT_EQ(cel.GetCellTipText(0, 3, 1, tip), 1);
    EXPECT_EQ(tip, "Use this name in the data column of sequence events");
    EXPECT_EQ(cel.GetCellTipText(1, 3, 1, tip), 1);
    EXPECT_EQ(tip, "Documentation");

    Shown<CInputView> inputs(doc, services);
    Shown<COutputView> outputs(doc, services);
    Shown<CVarView> vars(doc, services);
    EXPECT_EQ(Cell(inputs.view.Cel(), -1, 99), "100");
    EXPECT_EQ(Cell(inputs.view.Cel(), 0, -1), "Input Name");
    EXPECT_EQ(DefaultBackground(inputs.view.Cel()), 0xB6FF9Du);
    EXPECT_EQ(Cell(outputs.view.Cel(), 1, -1), "Output Comment");
    EXPECT_EQ(DefaultBackground(outputs.view.Cel()), 0xC4C4FFu);
    EXPECT_EQ(Cell(vars.view.Cel(), 0, -1), "Var Name");
    EXPECT_EQ(DefaultBackground(vars.view.Cel()), 0xFFFFC8u);
    EXPECT_EQ(vars.view.FrameCaption(), "Vars of Show");
}

// A new name goes into this script's product copy only, and either column marks the script.
TEST_F(NameViewTest, EditsStoreIntoThisScriptAndMarkIt) {
    CVLDoc other(app.App());
    other.InitNewScript(CVLDoc::kDefaultProduct);
    {
        Shown<CInputView> inputs(doc, services);
        ClearMarks(doc);
        EXPECT_TRUE(Finish(inputs.view.Cel(), 0, 4, "Door"));
        EXPECT_TRUE(Marked(doc));
        ClearMarks(doc);
        EXPECT_TRUE(Finish(inputs.view.Cel(), 1, 4, "front door contact"));
        EXPECT_TRUE(Marked(doc));
    }
    EXPECT_EQ(doc.m_pProduct->m_Inputs[4].m_strName, "Door");
    EXPECT_EQ(doc.m_pProduct->m_Inputs[4].m_strComment, "front door contact");
    EXPECT_EQ(other.m_pProduct->m_Inputs[4].m_strName, "Input5");
    Shown<CInputView> again(doc, services);
    EXPECT_EQ(Cell(again.view.Cel(), 0, 4), "Door");
}

// Enter and Tab walk name, comment, next name; the last comment stays. Delete empties the
// entry itself and marks the script.
TEST_F(NameViewTest, KeysWalkTheRowsAndDeleteEmptiesTheEntry) {
    using namespace platform::qt;
    Shown<CVarView> vars(doc, services);
    NameCel& cel = vars.view.Cel();
    const int last = cel.GetRowCount() - 1;
    cel.MoveActiveCell(0, 2);
    Key(cel, VK_RETURN);
    EXPECT_EQ(cel.GetActiveColumn(), 1);
    Key(cel, VK_TAB);
    EXPECT_EQ(cel.GetActiveColumn(), 0);
    EXPECT_EQ(cel.GetActiveRow(), 3);
    cel.MoveActiveCell(1, last);
    Key(cel, VK_RETURN);
    EXPECT_EQ(cel.GetActiveColumn(), 1);
    EXPECT_EQ(cel.GetActiveRow(), last);

    cel.MoveActiveCell(0, 5);
    ClearMarks(doc);
    Key(cel, VK_DELETE);
    EXPECT_EQ(Cell(cel, 0, 5), "");
    EXPECT_EQ(doc.m_pProduct->m_Vars[5].m_strName, "");
    EXPECT_TRUE(Marked(doc));
}

// Closing the find dialog copies every row back; hint 0 (sent when the product changes) shows
// the product's entries again, keeping the active cell.
TEST_F(NameViewTest, FindCopyBackAndProductRefill) {
    Shown<COutputView> outputs(doc, services);
    NameCel& cel = outputs.view.Cel();
    cel.WriteCellText(0, 7, "Fog");
    ClearMarks(doc);
    cel.NotifyFindDialogClosed();
    EXPECT_EQ(doc.m_pProduct->m_Outputs[7].m_strName, "Fog");
    EXPECT_TRUE(Marked(doc));

    cel.MoveActiveCell(1, 6);
    doc.m_pProduct->m_wOutputs = 8;
    doc.m_pProduct->m_Outputs[6].m_strName = "Strobe";
    doc.UpdateAllViews(nullptr, 0, nullptr);
    EXPECT_EQ(cel.GetRowCount(), 8);
    EXPECT_EQ(Cell(cel, 0, 6), "Strobe");
    EXPECT_EQ(cel.GetActiveColumn(), 1);
    EXPECT_EQ(cel.GetActiveRow(), 6);
}

TEST_F(NameViewTest, AutoSizeKeepsTheMinimumAndStoresTheWidths) {
    Shown<CInputView> inputs(doc, services);
    NameCel& cel = inputs.view.Cel();
    for (int r = 0; r < cel.GetRowCount(); ++r) {
        cel.WriteCellText(0, r, "a");
        cel.WriteCellText(1, r, "");
    }
    cel.WriteCellText(1, 3, std::string(60, 'W'));
    inputs.view.AutoSizeColumns();
    EXPECT_EQ(cel.GetColumnWidth(0), 100);
    EXPECT_GT(cel.GetColumnWidth(1), 100);
    EXPECT_EQ(doc.m_awColWidths[CVLDoc::kColInput.first], 3500);
    EXPECT_EQ(doc.m_awColWidths[CVLDoc::kColInput.first + 1], cel.GetColumnWidth(1) * 35);
}

} // namespace
