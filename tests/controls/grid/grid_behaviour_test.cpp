// The grid on real widgets: notification order and arguments, vetoes, keys, editing,
// selection, scrolling and sizing, driven through QTest.
#include "grid_fixture.h"

#include "platform/qt/virtual_keys.h"
#include "tests/support/scripted_ui.h"

#include <QClipboard>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

using grid_test::RecordingGrid;
using grid_test::Settle;
using grid_test::ShowGrid;
using Log = std::vector<std::string>;

namespace {

QPoint CellCentre(RecordingGrid& g, int column, int row) {
    QRect r;
    g.GetCellRect(column, row, r);
    return r.center();
}

TEST(GridCellsTest, DefaultsHeadingsAndRowsPastTheCount) {
    RecordingGrid g;
    ShowGrid(g, 400, 300, 3, 5);
    CELCell def;
    def.SetBackground(0x00FF00);
    g.StoreColumnDefault(1, def);
    g.WriteCellText(1, 2, "abc");
    CELCell stored;
    g.FetchStoredCell(1, 2, stored);
    EXPECT_FALSE(stored.IsPropertyAssigned(CELCell::kBackground)); // defaults are never stored
    CELCell shown;
    g.FetchCell(1, 2, shown);
    EXPECT_EQ(shown.GetBackground(), 0x00FF00u);
    EXPECT_STREQ(shown.GetValueText(), "abc");
    g.WriteCellText(1, -1, "Name");
    g.FetchCell(1, -1, shown);
    EXPECT_EQ(shown.GetEdgeStyle(), CELCell::kRaised);
    EXPECT_EQ(shown.GetAlignment(), 0x24);
    EXPECT_STREQ(shown.GetValueText(), "Name");
    g.FetchCell(1, 5, shown); // past the rows: defaults only
    EXPECT_EQ(shown.GetValueText(), nullptr);
    EXPECT_EQ(shown.GetBackground(), 0x00FF00u);
    g.FetchCell(7, 0, shown); // past the columns: heading defaults
    EXPECT_EQ(shown.GetEdgeStyle(), CELCell::kRaised);
}

TEST(GridCellsTest, BadArgumentsAnswerCodesAndChangeNothing) {
    RecordingGrid g;
    ShowGrid(g, 400, 300, 3, 5);
    struct {
        const char* what;
        int answer, expected;
    } cases[] = {
        {"columns 32001", g.SetColumnCount(32001), 1},
        {"columns -1", g.SetColumnCount(-1), 1},
        {"rows -1", g.SetRowCount(-1), 1},
        {"sheets 0", g.SetNumberSheets(0), 1},
        {"sheets 1025", g.SetNumberSheets(1025), 1},
        {"sheet 3", g.SetSheetNumber(3), 1},
        {"join bad", g.JoinCells(2, 3, 1, 5), 1},
        {"heading 1025", g.SetColumnHeadingHeight(1025), 1},
        {"lock 4", g.LockColumns(4), 1},
        {"default 9", g.StoreColumnDefault(9, CELCell()), 1},
        {"move outside", g.MoveActiveCell(3, 0), 2},
        {"move heading", g.MoveActiveCell(-1, 0), 2},
        {"width -1", g.ResizeColumn(-1, 50), 1},
        {"fit", g.FitColumnWidths(0, 3, 0, 0), 2},
        {"move column", g.MoveColumn(2, 1, false), 0},
    };
    for (const auto& k : cases)
        EXPECT_EQ(k.answer, k.expected) << k.what;
    EXPECT_EQ(g.GetColumnCount(), 3);
    EXPECT_EQ(g.GetRowCount(), 5);
    EXPECT_EQ(g.GetActiveColumn(), 0);
    EXPECT_EQ(g.GetActiveRow(), 0);
    EXPECT_EQ(g.Info().headingColumnWidths[0], 50);
    EXPECT_EQ(g.SetColumnCount(32000), 0);
}

TEST(GridMoveTest, NotificationsInOrder) {
    RecordingGrid g;
    ShowGrid(g, 400, 300, 4, 8);
    g.MoveActiveCell(2, 3);
    g.Take();
    EXPECT_EQ(g.MoveActiveCell(2, 4), 0);
    EXPECT_EQ(g.Take(),
              (Log{"src.AllowMove 2 3 2 4", "AllowActiveCellMove 2 3 2 4", "src.RowChanged 3 4",
                   "ActiveRowChanged 3 4", "ActiveCellChanged 2 2 3 4"}));
    // Vetoes change nothing and notify nothing further.
    g.allowCellMove = false;
    EXPECT_EQ(g.MoveActiveCell(1, 1), 2);
    EXPECT_EQ(g.Take(), (Log{"src.AllowMove 2 4 1 1", "AllowActiveCellMove 2 4 1 1"}));
    g.allowCellMove = true;
    g.source.allowMove = 0;
    EXPECT_EQ(g.MoveActiveColumn(0), 2);
    EXPECT_EQ(g.GetActiveColumn(), 2);
    g.source.allowMove = 1;
    g.Take();
    // Past the last row: the source is asked for rows, then the owner is told; 1 when there.
    g.MoveActiveRow(7);
    g.Take();
    EXPECT_EQ(g.MoveActiveRow(8), 1);
    EXPECT_EQ(g.Take(), (Log{"src.HitBottom 8 1", "PastLastRow 8 1 0"}));
    EXPECT_EQ(g.MoveActiveRow(-5), 0);
    EXPECT_EQ(g.GetActiveRow(), 0);
}

TEST(GridMoveTest, MovesOutOfViewAskAndScroll) {
    RecordingGrid g;
    ShowGrid(g, 300, 200, 10, 100); // about 8 rows and 3 columns visible
    g.Take();
    g.MoveActiveCell(0, 1);
    for (const auto& s : g.Take())
        EXPECT_EQ(s.find("AllowViewMove"), std::string::npos) << s;
    g.allowViewMove = false;
    EXPECT_EQ(g.MoveActiveCell(0, 50), 2);
    EXPECT_EQ(g.GetTopRow(), 0);
    g.allowViewMove = true;
    g.Take();
    EXPECT_EQ(g.MoveActiveCell(0, 50), 0);
    const Log log = g.Take();
    EXPECT_EQ(log[2], "AllowViewMove 0 0 0 50");
    EXPECT_GT(g.GetTopRow(), 40);
    EXPECT_NE(std::find(log.begin(), log.end(), "TopRowChanged 0 " + std::to_string(g.GetTopRow())),
              log.end());
}

TEST(GridKeysTest, KeysMoveAndAZeroedKeyStops) {
    RecordingGrid g;
    ShowGrid(g, 400, 300, 5, 30);
    QWidget* area = g.CellArea();
    struct {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int column, row;
    } steps[] = {
        {Qt::Key_Right, Qt::NoModifier, 1, 0},     {Qt::Key_Down, Qt::NoModifier, 1, 1},
        {Qt::Key_End, Qt::NoModifier, 4, 1},       {Qt::Key_Home, Qt::NoModifier, 0, 1},
        {Qt::Key_End, Qt::ControlModifier, 0, 29}, {Qt::Key_Home, Qt::ControlModifier, 0, 0},
        {Qt::Key_PageDown, Qt::NoModifier, 0, -1}, {Qt::Key_Left, Qt::NoModifier, 0, -1},
    };
    for (const auto& s : steps) {
        QTest::keyClick(area, s.key, s.mods);
        EXPECT_EQ(g.GetActiveColumn(), s.column) << s.key;
        if (s.row >= 0) {
            EXPECT_EQ(g.GetActiveRow(), s.row) << s.key;
        }
    }
    EXPECT_GT(g.GetActiveRow(), 5); // a page down
    g.Take();
    g.zeroKey = true;
    const int row = g.GetActiveRow();
    QTest::keyClick(area, Qt::Key_Down);
    EXPECT_EQ(g.GetActiveRow(), row);
    EXPECT_EQ(g.Take().front(), "KeyPressed 40 0"); // the Windows code of Down
    g.zeroKey = false;
    QTest::keyClick(area, Qt::Key_A);
    EXPECT_EQ(g.Take(), (Log{"KeyPressed 65 0", "CharTyped 97 0"}));
}

TEST(GridMouseTest, ClicksOnCellsHeadingsAndCorner) {
    RecordingGrid g;
    ShowGrid(g, 400, 300, 4, 10);
    QTest::mouseClick(g.CellArea(), Qt::LeftButton, {}, CellCentre(g, 2, 3));
    EXPECT_EQ(g.GetActiveColumn(), 2);
    EXPECT_EQ(g.GetActiveRow(), 3);
    Log log = g.Take();
    EXPECT_EQ(log.back(), "CellLeftClick 2 3 0 0");
    EXPECT_NE(std::find(log.begin(), log.end(), "CellLeftClick 2 3 1 0"), log.end());
    QTest::mouseClick(g.CellArea(), Qt::LeftButton, {}, QPoint(390, 5)); // right of the cells
    EXPECT_EQ(g.Take(), (Log{"CellLeftClick -1 -1 1 0", "CellLeftClick -1 -1 0 0"}));
    QTest::mouseClick(g.CellArea(), Qt::RightButton, {}, CellCentre(g, 1, 1));
    log = g.Take();
    EXPECT_EQ(g.GetActiveColumn(), 1); // the right click moves first
    EXPECT_EQ(log.back(), "CellRightClick 1 1 0 0");
    QTest::mouseClick(reinterpret_cast<QWidget*>(g.TopHeading()), Qt::LeftButton, {},
                      QPoint(75 + 30, 10));
    log = g.Take();
    EXPECT_EQ(log.back(), "TopHeadingLeftClick 1 -1 0 0");
    QTest::mouseClick(reinterpret_cast<QWidget*>(g.SideHeading()), Qt::LeftButton, {},
                      QPoint(10, 20 * 4 + 5));
    EXPECT_EQ(g.Take().back(), "SideHeadingLeftClick -1 4 0 0");
    QTest::mouseClick(reinterpret_cast<QWidget*>(g.Corner()), Qt::LeftButton, {}, QPoint(10, 5));
    EXPECT_EQ(g.Take(), (Log{"CornerLeftClick 1 0", "CornerLeftClick 0 0"}));
    g.HandleCommand(999);
    g.HandleCommand(1000);
    EXPECT_EQ(g.Take(), (Log{"OnCommand 999", "MenuCommand -1 -1 0 1000", "OnCommand 1000"}));
}

TEST(GridSizingTest, ColumnEdgeDragAndUniformRowDrag) {
    RecordingGrid g;
    ShowGrid(g, 500, 300, 4, 10);
    QWidget* top = reinterpret_cast<QWidget*>(g.TopHeading());
    QTest::mouseMove(top, QPoint(73, 10)); // 2 pixels left of column 0's edge
    EXPECT_EQ(top->cursor().shape(), Qt::SizeHorCursor);
    QTest::mouseMove(top, QPoint(71, 10));
    EXPECT_EQ(top->cursor().shape(), Qt::ArrowCursor);
    QTest::mouseMove(top, QPoint(75, 10));
    QTest::mousePress(top, Qt::LeftButton, {}, QPoint(75, 10));
    QTest::mouseMove(top, QPoint(105, 10));
    QTest::mouseRelease(top, Qt::LeftButton, {}, QPoint(105, 10));
    EXPECT_EQ(g.GetColumnWidth(0), 105);
    Log log = g.Take();
    EXPECT_EQ(log.back(), "ColumnSized 0 105");
    // Uniform heights: the rows above the dragged edge share the new height.
    g.SetRowCount(70000);
    QWidget* side = reinterpret_cast<QWidget*>(g.SideHeading());
    QTest::mouseMove(side, QPoint(10, 60));
    QTest::mousePress(side, Qt::LeftButton, {}, QPoint(10, 60));
    QTest::mouseMove(side, QPoint(10, 90));
    QTest::mouseRelease(side, Qt::LeftButton, {}, QPoint(10, 90));
    EXPECT_EQ(g.GetRowHeight(0), 30);
    EXPECT_EQ(g.GetRowHeight(50000), 30);
}

TEST(GridEditTest, EnterContinuesTabStaysEscapeDiscards) {
    RecordingGrid g;
    ShowGrid(g, 500, 300, 3, 10);
    g.MoveActiveCell(1, 5);
    ASSERT_EQ(g.EditActiveCell(), 0);
    CELEdit* ed = g.Editor();
    ASSERT_TRUE(ed->isVisible());
    QTest::keyClicks(ed, "hi");
    QTest::keyClick(ed, Qt::Key_Return);
    Settle();
    EXPECT_STREQ(g.ReadCellText(1, 5), "hi");
    EXPECT_TRUE(g.IsEditing());
    EXPECT_EQ(g.GetEditColumn(), 2);
    EXPECT_EQ(g.GetActiveColumn(), 2);
    // On the last column the next cell is clamped to it: editing goes on there.
    QTest::keyClicks(ed, "end");
    QTest::keyClick(ed, Qt::Key_Return);
    Settle();
    EXPECT_STREQ(g.ReadCellText(2, 5), "end");
    EXPECT_EQ(g.GetEditColumn(), 2);
    QTest::keyClicks(ed, "tab");
    QTest::keyClick(ed, Qt::Key_Tab);
    Settle();
    EXPECT_FALSE(g.IsEditing());
    EXPECT_STREQ(g.ReadCellText(2, 5), "tab");
    EXPECT_EQ(g.GetActiveColumn(), 2);
    g.EditActiveCellWithKey('z');
    QTest::keyClick(g.Editor(), Qt::Key_Escape);
    Settle();
    EXPECT_FALSE(g.IsEditing());
    EXPECT_STREQ(g.ReadCellText(2, 5), "tab");
    // Down continues below; continuing refused only moves there.
    g.continueEdit = false;
    g.EditActiveCellWithKey('d');
    QTest::keyClick(g.Editor(), Qt::Key_Down);
    Settle();
    EXPECT_STREQ(g.ReadCellText(2, 5), "d");
    EXPECT_FALSE(g.IsEditing());
    EXPECT_EQ(g.GetActiveRow(), 6);
}

TEST(GridEditTest, RefusalsAndReadOnlyCells) {
    RecordingGrid g;
    ShowGrid(g, 500, 300, 3, 10);
    CELCell locked;
    locked.SetText("fixed");
    locked.SetEditLocked(true);
    g.StoreCell(0, 0, locked);
    EXPECT_EQ(g.EditActiveCell(), 1);
    EXPECT_FALSE(g.IsEditing()); // a refusal leaves no edit open
    g.allowCellMove = false;
    EXPECT_EQ(g.StartEdit(1, 1, 0), 2);
    EXPECT_FALSE(g.IsEditing());
}

TEST(GridEditTest, RefusedFinishShowingABoxKeepsTheEditorOnce) {
    testing_support::ScriptedUi ui;
    RecordingGrid g;
    ShowGrid(g, 500, 300, 3, 10);
    int finishes = 0;
    g.onFinish = [&](std::string& text) {
        ++finishes;
        if (text == "bad") {
            platform::ShowMessage("Not a value");
            return false;
        }
        return true;
    };
    g.EditActiveCell();
    QTest::keyClicks(g.Editor(), "bad");
    QTest::keyClick(g.Editor(), Qt::Key_Return);
    Settle();
    EXPECT_EQ(finishes, 1); // no re-entry while the box is up
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Not a value"}));
    EXPECT_TRUE(g.IsEditing());
    EXPECT_TRUE(g.Editor()->isVisible());
    EXPECT_EQ(g.GetActiveColumn(), 0);
    EXPECT_EQ(g.ReadCellText(0, 0), nullptr);
    g.Editor()->selectAll();
    QTest::keyClicks(g.Editor(), "good");
    QTest::keyClick(g.Editor(), Qt::Key_Tab);
    Settle();
    EXPECT_FALSE(g.IsEditing());
    EXPECT_STREQ(g.ReadCellText(0, 0), "good");
}

TEST(GridEditTest, TheKeyThatEndedTheEditIsKnownDuringTheFinish) {
    RecordingGrid g;
    ShowGrid(g, 500, 300, 3, 10);
    int keyDuringFinish = -1;
    bool enterDown = false;
    g.onFinish = [&](std::string&) {
        keyDuringFinish = g.FinishingKey();
        enterDown = platform::qt::KeyState::Instance().IsDown(platform::qt::VK_RETURN);
        return true;
    };
    g.EditActiveCell();
    QTest::keyClick(g.Editor(), Qt::Key_Return);
    Settle();
    EXPECT_EQ(keyDuringFinish, 0x0D);
    EXPECT_TRUE(enterDown); // the key-state query answers Enter as down during the finish
    EXPECT_EQ(g.FinishingKey(), 0);
    EXPECT_FALSE(platform::qt::KeyState::Instance().IsDown(platform::qt::VK_RETURN));
}

struct SelectionStep {
    enum Kind { Click, Key, Heading } kind;
    int column, row;
    Qt::KeyboardModifiers mods;
    Qt::Key key;
};

TEST(GridSelectionTest, MouseKeysAndHeadings) {
    RecordingGrid g;
    ShowGrid(g, 700, 400, 8, 12);
    g.EnableBlockSelection(1);
    auto click = [&](int c, int r, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseClick(g.CellArea(), Qt::LeftButton, mods, CellCentre(g, c, r));
    };
    click(1, 1);
    click(3, 4, Qt::ShiftModifier);
    EXPECT_EQ(g.GetActiveColumn(), 1); // the frame stays where the block began
    EXPECT_EQ(g.GetActiveRow(), 1);
    EXPECT_EQ(g.Info().blocks.Blocks().size(), 1u);
    click(5, 0, Qt::ControlModifier);
    int index = -1;
    EXPECT_EQ(g.IsCellSelected(5, 0, &index), 1);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(g.IsCellSelected(2, 2, &index), 1);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(g.IsCellSelected(4, 4, &index), 0);
    // A program move after the clicks reads the keys as they are now: the next input event
    // carries no modifiers, so a new block starts.
    QMouseEvent plain(QEvent::MouseMove, QPointF(3, 3),
                      QPointF(g.CellArea()->mapToGlobal(QPoint(3, 3))), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(g.CellArea(), &plain);
    g.MoveActiveCell(6, 6);
    EXPECT_EQ(g.Info().blocks.Blocks().size(), 1u);
    EXPECT_EQ(g.IsCellSelected(6, 6, nullptr), 1);
    // Shift+click, then back onto the clicked cell: the block shrinks to it.
    click(1, 1);
    click(3, 3, Qt::ShiftModifier);
    click(2, 2, Qt::ShiftModifier);
    EXPECT_EQ(g.IsCellSelected(3, 3, nullptr), 0);
    EXPECT_EQ(g.IsCellSelected(2, 2, nullptr), 1);
    // Keys: Shift+arrows stretch, a plain arrow starts again.
    QTest::keyClick(g.CellArea(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(g.IsCellSelected(3, 2, nullptr), 1);
    QTest::keyClick(g.CellArea(), Qt::Key_Down);
    EXPECT_EQ(g.IsCellSelected(3, 2, nullptr), 0);
    EXPECT_EQ(g.Info().blocks.Blocks().size(), 1u);
    // A scroll alone never changes the selection.
    QTest::keyClick(g.CellArea(), Qt::Key_Down, Qt::ShiftModifier);
    const auto before = g.Info().blocks.Blocks().size();
    g.ScrollRowsBy(1);
    QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(g.CellArea(), &wheel);
    EXPECT_EQ(g.Info().blocks.Blocks().size(), before);
    EXPECT_EQ(g.IsCellSelected(1, 4, nullptr), 1);
    g.SetTopRow(0);
    // Headings: a column, Shift extends it, Ctrl adds another.
    QWidget* top = reinterpret_cast<QWidget*>(g.TopHeading());
    auto heading = [&](int c, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseClick(top, Qt::LeftButton, mods, QPoint(c * 75 + 30, 10));
    };
    heading(2);
    EXPECT_EQ(g.GetActiveColumn(), 2);
    EXPECT_EQ(g.GetActiveRow(), 0);
    EXPECT_EQ(g.IsCellSelected(2, 11, nullptr), 1);
    EXPECT_EQ(g.IsCellSelected(3, 0, nullptr), 0);
    heading(5, Qt::ShiftModifier);
    EXPECT_EQ(g.IsCellSelected(4, 6, nullptr), 1);
    heading(7, Qt::ControlModifier);
    EXPECT_EQ(g.Info().blocks.Blocks().size(), 2u);
}

TEST(GridScrollTest, RangesLocksBarsAndWheel) {
    RecordingGrid g;
    // 40 rows of 20 pixels in a 200-pixel area: page 10, last top row 30.
    ShowGrid(g, 400, 200 + 20, 3, 40);
    ASSERT_EQ(g.Info().cellAreaHeight, 200);
    EXPECT_EQ(g.Info().lastTopRow, 30);
    EXPECT_EQ(g.VScroll()->maximum(), 30);
    EXPECT_EQ(g.VScroll()->pageStep(), 10);
    EXPECT_FALSE(g.HScroll()->isVisible());
    EXPECT_EQ(g.SetTopRow(99), 0);
    EXPECT_EQ(g.GetTopRow(), 30);
    g.SetTopRow(10);
    struct {
        int delta, top;
    } wheel[] = {{120, 7}, {-240, 13}, {60, 13}, {60, 10}, {1200, 0}};
    for (const auto& w : wheel) {
        QWheelEvent e(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, w.delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(g.CellArea(), &e);
        EXPECT_EQ(g.GetTopRow(), w.top) << w.delta;
    }
    // Bars come and go with the content.
    RecordingGrid small;
    ShowGrid(small, 400, 300, 3, 5);
    EXPECT_FALSE(small.VScroll()->isVisible());
    EXPECT_FALSE(small.HScroll()->isVisible());
    small.SetRowCount(15);
    EXPECT_TRUE(small.VScroll()->isVisible());
    EXPECT_FALSE(small.HScroll()->isVisible());
    // Above 1000 positions the thumb maps onto 0..1000.
    RecordingGrid big;
    ShowGrid(big, 400, 600 + 20, 3, 5000);
    EXPECT_EQ(big.Info().lastTopRow, 4970);
    EXPECT_EQ(big.VScroll()->maximum(), 1000);
    big.VScroll()->setSliderDown(true);
    big.VScroll()->setSliderPosition(500);
    big.VScroll()->setSliderDown(false);
    EXPECT_EQ(big.GetTopRow(), 2485);
    // Locked columns stay while the others scroll; thumb 0 is the first unlocked column.
    RecordingGrid wide;
    ShowGrid(wide, 300, 200, 12, 5);
    wide.LockColumns(2);
    EXPECT_EQ(wide.GetLeftColumn(), 2);
    EXPECT_EQ(wide.HScroll()->value(), 0);
    wide.ScrollColumnsBy(1);
    EXPECT_EQ(wide.GetLeftColumn(), 3);
    EXPECT_EQ(wide.GetActiveColumn(), 0); // the view moved, not the active cell
}

TEST(GridLayoutTest, HeadingRescaleAndFit) {
    RecordingGrid g;
    ShowGrid(g, 400, 300, 3, 5);
    g.Info().headingRowHeights = {10, 30};
    EXPECT_EQ(g.SetColumnHeadingHeight(80), 0);
    EXPECT_EQ(g.Info().headingRowHeights, (std::vector<int>{20, 60}));
    EXPECT_EQ(g.SetColumnHeadingHeight(1024), 0);
    g.WriteCellText(1, 2, "a fairly long text here");
    g.FitColumnWidths(1, 1, 0, 0);
    CELCell c;
    g.FetchCell(1, 2, c);
    const QFontMetrics fm(g.font());
    EXPECT_EQ(g.GetColumnWidth(1), fm.horizontalAdvance("a fairly long text here") + 6 + 2);
    EXPECT_EQ(g.MoveColumn(0, 3 - 1, false), 0);
    EXPECT_EQ(g.GetMappedColumn(2), 0);
}

TEST(GridPasteTest, TabsAndLinesFillCellsAndSelect) {
    RecordingGrid g;
    ShowGrid(g, 500, 300, 6, 10);
    g.EnableBlockSelection(1);
    g.MoveActiveCell(2, 5);
    g.PasteText("1\t2\r\n3");
    EXPECT_STREQ(g.ReadCellText(2, 5), "1");
    EXPECT_STREQ(g.ReadCellText(3, 5), "2");
    EXPECT_STREQ(g.ReadCellText(2, 6), "3");
    EXPECT_EQ(g.IsCellSelected(3, 6, nullptr), 1);
    EXPECT_EQ(g.IsCellSelected(4, 6, nullptr), 0);
    g.MoveActiveCell(0, 0);
    g.PasteText("\t\tx");
    EXPECT_STREQ(g.ReadCellText(0, 0), "");
    EXPECT_STREQ(g.ReadCellText(1, 0), "");
    EXPECT_STREQ(g.ReadCellText(2, 0), "x");
    // Past the sheet nothing is written.
    g.MoveActiveCell(5, 9);
    g.PasteText("a\tb\nc");
    EXPECT_STREQ(g.ReadCellText(5, 9), "a");
    EXPECT_EQ(g.GetRowCount(), 10);
}

TEST(GridClipboardTest, Windows1252RoundTrip) {
    RecordingGrid g;
    ShowGrid(g, 300, 200, 2, 2);
    const std::string text = "caf\xE9 \x80 \xFC";
    EXPECT_EQ(g.CopyTextToClipboard(text), 0);
    std::string back;
    EXPECT_EQ(g.PasteTextFromClipboard(back), 0);
    EXPECT_EQ(back, text);
    QApplication::clipboard()->clear();
    EXPECT_EQ(g.PasteTextFromClipboard(back), 1);
}

} // namespace

namespace {

class SheetGrid : public RecordingGrid {
public:
    std::vector<int> created;
    void NotifySheetCreated(int sheet) override { created.push_back(sheet); }
};

TEST(GridRobustnessTest, EmptySheetsShrunkLocksAndSheets) {
    RecordingGrid g;
    ShowGrid(g, 400, 300, 0, 0);
    // Nothing to move to, paint or select in an empty sheet.
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_End, Qt::Key_PageDown})
        QTest::keyClick(g.CellArea(), key, Qt::ControlModifier);
    QTest::mouseClick(g.CellArea(), Qt::LeftButton, {}, QPoint(20, 20));
    g.Info().blockSelection = 1;
    g.PasteText("a\tb");
    EXPECT_EQ(g.GetActiveColumn(), -1);
    EXPECT_EQ(grid_test::Grab(*g.CellArea()).pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);
    // Locks above a shrunk count come down with it.
    g.SetColumnCount(6);
    g.SetRowCount(20);
    EXPECT_EQ(g.LockColumns(4), 0);
    EXPECT_EQ(g.LockRows(10), 0);
    g.MoveActiveCell(5, 19);
    g.SetColumnCount(3);
    g.SetRowCount(5);
    EXPECT_EQ(g.Info().lockedColumns, 2);
    EXPECT_EQ(g.Info().lockedRows, 4);
    EXPECT_EQ(g.GetActiveColumn(), 2);
    EXPECT_EQ(g.GetActiveRow(), 4);
    grid_test::Grab(g);
    // Each added sheet is announced while it is current; the settings are per sheet.
    SheetGrid s;
    ShowGrid(s, 300, 200, 2, 2);
    EXPECT_EQ(s.SetNumberSheets(3), 0);
    EXPECT_EQ(s.created, (std::vector<int>{0, 1, 2})); // 0 at creation
    EXPECT_EQ(s.SetSheetNumber(2), 0);
    EXPECT_EQ(s.GetColumnCount(), 0);
    s.SetSheetNumber(0);
    EXPECT_EQ(s.GetColumnCount(), 2);
}

TEST(GridJoinTest, JoinedRangeStoresOffsetsAndActsAsOneCell) {
    RecordingGrid g;
    ShowGrid(g, 400, 300, 4, 6);
    ASSERT_EQ(g.JoinCells(1, 1, 2, 2), 0);
    struct {
        int column, row, origin, columnPart, rowPart;
    } cells[] = {{1, 1, 1, 1, 1}, {2, 1, 0, -1, 0}, {1, 2, 0, 0, -1}, {2, 2, 0, -1, -1}};
    for (const auto& k : cells) {
        CELCell cell;
        g.FetchStoredCell(k.column, k.row, cell);
        int o, cp, rp;
        ASSERT_EQ(cell.GetJoinInfo(o, cp, rp), 0);
        EXPECT_EQ(o, k.origin);
        EXPECT_EQ(cp, k.columnPart);
        EXPECT_EQ(rp, k.rowPart);
    }
    g.MoveActiveCell(2, 2);
    EXPECT_EQ(g.GetActiveColumn(), 1); // a member moves to the origin
    EXPECT_EQ(g.GetActiveRow(), 1);
    QRect rect;
    int c = 2, r = 2;
    g.GetCellRect(c, r, rect);
    EXPECT_EQ(rect.width(), 150);
    EXPECT_EQ(rect.height(), 40);
    QTest::keyClick(g.CellArea(), Qt::Key_Down); // steps over the range
    EXPECT_EQ(g.GetActiveRow(), 3);
}

} // namespace

namespace {

TEST(GridSourceTest, BoundColumnsAndASourceThatStoresNothing) {
    testing_support::ScriptedUi ui;
    RecordingGrid g;
    ShowGrid(g, 400, 300, 4, 6);
    CELMem other;
    ASSERT_EQ(g.SetColumnDataSource(1, &other, 3), 0);
    g.WriteCellText(1, 2, "bound");
    g.WriteCellText(1, -1, "Head");
    CELCell cell;
    EXPECT_EQ(other.GetCell(3, 2, cell), 0);
    EXPECT_STREQ(cell.GetValueText(), "bound");
    EXPECT_EQ(other.GetCell(1, -1, cell), 1); // headings stay in the sheet's own source
    EXPECT_EQ(g.source.GetCell(1, -1, cell), 0);
    EXPECT_STREQ(g.ReadCellText(1, 2), "bound");

    CELDataSource nothing;
    g.Info().dataSource = &nothing;
    for (int c = 0; c < 4; ++c)
        g.SetColumnDataSource(c, &nothing, c);
    g.WriteCellText(0, 0, "A long text that would run on into its neighbours");
    g.FetchCell(0, 0, cell);
    EXPECT_EQ(cell.GetValueText(), nullptr);
    EXPECT_EQ(g.MoveActiveCell(2, 3), 0);
    EXPECT_EQ(g.EditActiveCell(), 0);
    g.AbandonEdit();
    g.OpenFindDialog();
    g.FindDialog()->findEdit->setText("x");
    QTest::mouseClick(g.FindDialog()->findNext, Qt::LeftButton);
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Item not found"}));
    g.Info().dataSource = &g.source;
}

TEST(GridScrollTest, BarRequestsMoveOnlyTheView) {
    RecordingGrid g;
    ShowGrid(g, 400, 300, 20, 200);
    g.MoveActiveCell(1, 1);
    struct {
        QScrollBar* bar;
        QAbstractSlider::SliderAction action;
        int top, left;
    } steps[] = {
        {g.VScroll(), QAbstractSlider::SliderSingleStepAdd, 1, 0},
        {g.VScroll(), QAbstractSlider::SliderPageStepAdd, 14, 0},
        {g.VScroll(), QAbstractSlider::SliderToMaximum, -1, 0},
        {g.VScroll(), QAbstractSlider::SliderToMinimum, 0, 0},
        {g.HScroll(), QAbstractSlider::SliderSingleStepAdd, 0, 1},
        {g.HScroll(), QAbstractSlider::SliderPageStepSub, 0, 0},
    };
    for (const auto& s : steps) {
        s.bar->triggerAction(s.action);
        if (s.top >= 0) {
            EXPECT_EQ(g.GetTopRow(), s.top) << s.action;
        } else {
            EXPECT_EQ(g.GetTopRow(), g.Info().lastTopRow);
        }
        EXPECT_EQ(g.GetLeftColumn(), s.left) << s.action;
        EXPECT_EQ(g.GetActiveRow(), 1);
        EXPECT_EQ(s.bar == g.VScroll() ? g.VScroll()->value() : g.HScroll()->value(),
                  s.bar == g.VScroll() ? g.GetTopRow() : g.GetLeftColumn());
    }
}

TEST(GridHelpTest, F1HandsTheContextIdToTheHook) {
    struct HelpGrid : RecordingGrid {
        int GetHelpContextId(int column, int row, int section) override {
            return column * 100 + row * 10 + section;
        }
    } g;
    ShowGrid(g, 400, 300, 4, 6);
    g.MoveActiveCell(2, 3);
    int shown = -1;
    g.SetHelpHook([&](int id) { shown = id; });
    QTest::keyClick(g.CellArea(), Qt::Key_F1);
    EXPECT_EQ(shown, 231);
}

} // namespace

namespace {

TEST(GridSelectionTest, DragStretchesAndEmptyPasteSelectsTheCell) {
    RecordingGrid g;
    ShowGrid(g, 600, 400, 6, 12);
    g.EnableBlockSelection(1);
    QTest::mousePress(g.CellArea(), Qt::LeftButton, {}, CellCentre(g, 1, 1));
    QMouseEvent move(QEvent::MouseMove, QPointF(CellCentre(g, 3, 3)),
                     QPointF(g.CellArea()->mapToGlobal(CellCentre(g, 3, 3))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(g.CellArea(), &move);
    QTest::mouseRelease(g.CellArea(), Qt::LeftButton, {}, CellCentre(g, 3, 3));
    EXPECT_EQ(g.IsCellSelected(3, 3, nullptr), 1);
    EXPECT_EQ(g.IsCellSelected(2, 2, nullptr), 1);
    EXPECT_EQ(g.GetActiveColumn(), 1);
    g.MoveActiveCell(4, 4);
    g.PasteText("\t\n");
    EXPECT_EQ(g.IsCellSelected(4, 4, nullptr), 1);
    EXPECT_EQ(g.IsCellSelected(5, 4, nullptr), 0);
}

// A source that hands out more rows when painting reaches the last one.
class GrowingSource : public CELMem {
public:
    CELCtrl* grid = nullptr;
    int limit = 0;
    int NotifyHitBottom(int count, int wanted, int& added) override {
        added = count < limit ? wanted : 0;
        if (added)
            grid->SetRowCount(count + added, false);
        return 0;
    }
};

TEST(GridPaintTest, RowsAddedOnDemandArePaintedInTheSamePass) {
    RecordingGrid g;
    ShowGrid(g, 400, 300, 2, 3);
    GrowingSource source;
    source.grid = &g;
    source.limit = 6;
    g.Info().dataSource = &source;
    grid_test::Grab(*g.CellArea());
    EXPECT_EQ(g.GetRowCount(), 6);
    g.Info().dataSource = &g.source;
}

} // namespace

namespace {

class SizingGrid : public RecordingGrid {
public:
    int forcedWidth = -1;
    bool allowSide = true;
    void NotifyColumnSizing(int column, int& width) override {
        RecordingGrid::NotifyColumnSizing(column, width);
        if (forcedWidth >= 0)
            width = forcedWidth;
    }
    bool AllowSideHeadingSizing() override { return allowSide; }
};

void DragHeading(QWidget* w, QPoint from, QPoint to) {
    QTest::mouseMove(w, from);
    QTest::mousePress(w, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(w->mapToGlobal(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    QTest::mouseRelease(w, Qt::LeftButton, {}, to);
}

TEST(GridSizingTest, NotificationsHiddenColumnsCornerAndFit) {
    SizingGrid g;
    ShowGrid(g, 600, 300, 5, 30);
    QWidget* top = reinterpret_cast<QWidget*>(g.TopHeading());
    // Dragging left past the column's left edge gives width 0.
    DragHeading(top, QPoint(150, 10), QPoint(40, 10));
    EXPECT_EQ(g.GetColumnWidth(1), 0);
    // The zero-width column right of an edge is the one dragged open again.
    DragHeading(top, QPoint(75, 10), QPoint(95, 10));
    EXPECT_EQ(g.GetColumnWidth(1), 20);
    EXPECT_EQ(g.GetColumnWidth(0), 75);
    // A sizing notification has the last word.
    g.forcedWidth = 50;
    QTest::mouseMove(top, QPoint(60, 10));
    DragHeading(top, QPoint(75, 10), QPoint(200, 10));

    EXPECT_EQ(g.GetColumnWidth(0), 50);
    g.forcedWidth = -1;
    // The corner's right edge drags the row-heading width, unless the owner says no.
    QWidget* corner = reinterpret_cast<QWidget*>(g.Corner());
    DragHeading(corner, QPoint(38, 10), QPoint(70, 10));
    EXPECT_EQ(g.GetRowHeadingWidth(), 70);
    g.allowSide = false;
    DragHeading(corner, QPoint(68, 10), QPoint(90, 10));
    EXPECT_EQ(g.GetRowHeadingWidth(), 70);
    // A double click on a column edge fits the column to the first 20 rows' widest text.
    g.WriteCellText(2, 5, "A text wider than the column");
    g.WriteCellText(2, 25, "A much longer text, too far down to be measured here");
    g.SetColumnCount(5);
    const int edge = 50 + 20 + 75;
    QTest::mouseMove(top, QPoint(edge - 20, 10));
    QTest::mouseMove(top, QPoint(edge, 10));
    QTest::mouseDClick(top, Qt::LeftButton, {}, QPoint(edge, 10));
    const QFontMetrics fm(g.font());
    EXPECT_EQ(g.GetColumnWidth(2), fm.horizontalAdvance("A text wider than the column") + 6 + 2);
}

TEST(GridTipTest, CellTipsShowTheOwnersText) {
    RecordingGrid g;
    ShowGrid(g, 400, 300, 3, 5);
    g.EnableCellTips(true);
    const QPoint at = CellCentre(g, 1, 2);
    QHelpEvent help(QEvent::ToolTip, at, g.CellArea()->mapToGlobal(at));
    QApplication::sendEvent(g.CellArea(), &help);
    EXPECT_EQ(QToolTip::text(), "Col:1 Row:2");
    QToolTip::hideText();
}

} // namespace
