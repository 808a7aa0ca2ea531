// The report list as the real-time wizard uses it: seven columns spread over the width, rows
// sorted by heading clicks (case ignored, stable, both directions) with the arrow following,
// item values kept through sorting, selection, scrolling into view and the row drawing.
#include "controls/toolbox/grid_list.h"
#include "platform/qt/virtual_keys.h"
#include "tests/support/qt_test_app.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

namespace gdi = platform::qt;
using gdi::GdiRect;
using gdi::RGB;

const QStringList kHeadings = {"Time", "Event", "Data1", "Data2", "Data3", "Data4", "Comment"};

class WizardList : public ::testing::Test {
protected:
    void SetUp() override {
        qt_testing::QtTestApp();
        for (int c = 0; c < kHeadings.size(); ++c)
            list.InsertColumn(c, kHeadings[c]);
        list.resize(520, 300);
        list.show();
        list.DistributeColumnWidths();
        list.EnableSorting(true);
    }
    // Rows of (time, comment), with values 100, 101, ...
    void Fill(const std::vector<std::pair<QString, QString>>& rows) {
        for (const auto& [time, comment] : rows) {
            const int item = list.InsertItem(list.GetItemCount(), time, 100 + list.GetItemCount());
            list.SetItemText(item, 6, comment);
        }
    }
    QStringList Column(int column) const {
        QStringList texts;
        for (int i = 0; i < list.GetItemCount(); ++i)
            texts << list.GetItemText(i, column);
        return texts;
    }
    void ClickHeading(int column) {
        QHeaderView* header = list.header();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }

    gdi::ScopedSystemColors classic;
    CYNGridList list;
};

TEST_F(WizardList, ColumnsShareTheWidth) {
    struct Case {
        int width;
        int each;
        int last;
    };
    for (const Case& c : {Case{500, 71, 74}, Case{497, 71, 71}, Case{6, 0, 6}}) {
        list.resize(list.width() - list.viewport()->width() + c.width, 300);
        ASSERT_EQ(list.viewport()->width(), c.width);
        EXPECT_EQ(list.DistributeColumnWidths(), 1);
        for (int col = 0; col < 6; ++col)
            EXPECT_EQ(list.columnWidth(col), c.each) << c.width;
        EXPECT_EQ(list.columnWidth(6), c.last) << c.width;
    }
    CYNGridList empty;
    EXPECT_EQ(empty.DistributeColumnWidths(), 0);
}

TEST_F(WizardList, HeadingClicksSortAndTheArrowFollows) {
    Fill({{"00:10.00", "beta"},
          {"00:02.00", "Alpha"},
          {"b", "gamma"},
          {"A", "alpha"},
          {"00:02.00", "Delta"}});
    ClickHeading(0);
    EXPECT_EQ(Column(0), QStringList({"00:02.00", "00:02.00", "00:10.00", "A", "b"}));
    EXPECT_EQ(Column(6), QStringList({"Alpha", "Delta", "beta", "alpha", "gamma"})); // stable
    EXPECT_EQ(list.GridHeader()->SortColumn(), 0);
    EXPECT_EQ(list.GridHeader()->SortDirection(), 1);

    ClickHeading(0);
    EXPECT_EQ(Column(0), QStringList({"b", "A", "00:10.00", "00:02.00", "00:02.00"}));
    EXPECT_EQ(Column(6), QStringList({"gamma", "alpha", "beta", "Alpha", "Delta"})); // equal: kept
    EXPECT_EQ(list.GridHeader()->SortDirection(), -1);

    ClickHeading(6);
    EXPECT_EQ(Column(6), QStringList({"alpha", "Alpha", "beta", "Delta", "gamma"}));
    EXPECT_EQ(list.GridHeader()->SortColumn(), 6);
    EXPECT_EQ(list.GridHeader()->SortDirection(), 1);
    EXPECT_FALSE(list.GridHeader()->IsOwnerDrawn(0));
    EXPECT_TRUE(list.GridHeader()->IsOwnerDrawn(6));

    // Sorting off: clicks do nothing and the arrow goes.
    list.EnableSorting(false);
    EXPECT_EQ(list.GridHeader()->SortColumn(), -1);
    EXPECT_EQ(list.GetSortColumn(), -1);
    ClickHeading(0);
    EXPECT_EQ(Column(6), QStringList({"alpha", "Alpha", "beta", "Delta", "gamma"}));
}

TEST_F(WizardList, SortingKeepsValuesSelectionAndLetters) {
    Fill({{"z", "0"}, {"\u00c9t\u00e9", "1"}, {"e", "2"}, {"\u00e9a", "3"}, {"f", "4"}});
    list.MarkItemSelected(1, true); // "Été", value 101
    QSignalSpy changed(&list, &CYNGridList::ItemChanged);
    ClickHeading(0);
    // Letters compare by their Windows-1252 codes after lowering: e, f, z, then é (0xE9).
    EXPECT_EQ(Column(0), QStringList({"e", "f", "z", "\u00e9a", "\u00c9t\u00e9"}));
    EXPECT_EQ(list.GetItemData(4), 101);
    EXPECT_TRUE(list.IsItemSelected(4));
    EXPECT_EQ(list.GetNextSelectedItem(), 4);
    EXPECT_EQ(changed.count(), 0); // sorting is no selection change
    for (qintptr value = 100; value < 105; ++value) {
        const int item = list.FindItemByData(value);
        ASSERT_GE(item, 0);
        EXPECT_EQ(list.GetItemData(item), value);
        EXPECT_EQ(list.FindItemByData(value, item), -1); // values are distinct
    }
    list.EnableSorting(false);
    EXPECT_EQ(list.GetItemData(list.FindItemByData(102)), 102);
    EXPECT_EQ(list.FindItemByData(999), -1);

    // Notifications carry the caller's value.
    list.MarkItemSelected(0, true);
    ASSERT_GE(changed.count(), 1);
    bool sawValue = false;
    for (const QList<QVariant>& args : changed)
        if (args.at(0).toInt() == 0)
            sawValue = args.at(1).value<qintptr>() == list.GetItemData(0);
    EXPECT_TRUE(sawValue);
    EXPECT_FALSE(list.IsItemSelected(4)); // one selection at a time
}

TEST_F(WizardList, SelectionMarks) {
    Fill({{"a", ""}, {"b", ""}, {"c", ""}});
    list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    EXPECT_TRUE(list.MarkItemSelected(-1, true));
    EXPECT_TRUE(list.IsItemSelected(0) && list.IsItemSelected(1) && list.IsItemSelected(2));
    EXPECT_TRUE(list.MarkItemSelected(-1, false));
    EXPECT_EQ(list.GetNextSelectedItem(), -1);
    EXPECT_FALSE(list.MarkItemSelected(3, true));
    EXPECT_FALSE(list.MarkItemSelected(-2, true));
}

TEST_F(WizardList, DeletingAtTheEndScrollsUpOneRow) {
    std::vector<std::pair<QString, QString>> rows;
    for (int i = 0; i < 60; ++i)
        rows.push_back({QString::number(i), ""});
    list.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Fill(rows);
    QCoreApplication::processEvents();
    list.verticalScrollBar()->setValue(list.verticalScrollBar()->maximum());
    const int top = list.GetTopIndex();
    ASSERT_GT(top, 0);
    ASSERT_TRUE(list.IsLastItemVisible());
    EXPECT_TRUE(list.DeleteItem(59));
    EXPECT_EQ(list.GetTopIndex(), top - 1);
    EXPECT_EQ(list.GetItemCount(), 59);
    // Not at the end: the view stays.
    list.verticalScrollBar()->setValue(5);
    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(list.GetTopIndex(), 5);
    EXPECT_FALSE(list.DeleteItem(59));
}

TEST_F(WizardList, ScrollItemIntoView) {
    std::vector<std::pair<QString, QString>> rows;
    for (int i = 0; i < 60; ++i)
        rows.push_back({QString::number(i), ""});
    Fill(rows);
    list.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QCoreApplication::processEvents();
    list.resize(list.width() - list.viewport()->width() + 500, 300);
    for (int c = 0; c < 7; ++c)
        list.setColumnWidth(c, 150);
    list.setColumnWidth(5, 800);
    const int viewWidth = list.viewport()->width();
    ASSERT_EQ(viewWidth, 500);

    QCoreApplication::processEvents();
    // Column 3 spans 450-600: partly right of the view; the right edge comes in.
    EXPECT_EQ(list.ScrollItemIntoView(0, 3, false), 1);
    EXPECT_EQ(list.horizontalScrollBar()->value(), 100);
    // Partly visible is enough when asked.
    list.horizontalScrollBar()->setValue(0);
    EXPECT_EQ(list.ScrollItemIntoView(0, 3, true), 1);
    EXPECT_EQ(list.horizontalScrollBar()->value(), 0);
    // Column 5 (750-1550) is wider than the view: shown from its left edge.
    EXPECT_EQ(list.ScrollItemIntoView(0, 5, false), 1);
    EXPECT_EQ(list.horizontalScrollBar()->value(), 750);
    // Back left: column 0's left edge.
    EXPECT_EQ(list.ScrollItemIntoView(0, 0, false), 1);
    EXPECT_EQ(list.horizontalScrollBar()->value(), 0);

    // Rows: a row below the page becomes its last row.
    EXPECT_EQ(list.ScrollItemIntoView(40, 0, false), 1);
    const int perPage = list.GetCountPerPage();
    EXPECT_EQ(list.GetTopIndex(), 40 - perPage + 1);
    EXPECT_EQ(list.ScrollItemIntoView(2, 0, false), 1);
    EXPECT_EQ(list.GetTopIndex(), 2);

    EXPECT_EQ(list.ScrollItemIntoView(60, 0, false), 0);
    EXPECT_EQ(list.ScrollItemIntoView(0, 7, false), 0);
    EXPECT_EQ(list.ScrollItemIntoView(0, -1, false), 0);
}

class LoadingList : public CYNGridList {
public:
    int reached = 0;

protected:
    void OnLastItemVisible() override { ++reached; }
};

TEST(GridList, LastItemVisibleHookAfterKeysAndScrolls) {
    qt_testing::QtTestApp();
    LoadingList list;
    list.InsertColumn(0, "Time");
    for (int i = 0; i < 50; ++i)
        list.InsertItem(i, QString::number(i));
    list.resize(200, 200);
    list.show();
    list.setCurrentItem(list.topLevelItem(0));
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(list.reached, 0);
    QTest::keyClick(&list, Qt::Key_End);
    EXPECT_EQ(list.reached, 1);
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(list.reached, 1); // still visible: not again
    list.verticalScrollBar()->setValue(0);
    list.verticalScrollBar()->setValue(list.verticalScrollBar()->maximum());
    EXPECT_EQ(list.reached, 2);
}

TEST_F(WizardList, RowsDrawnWithTheSelectionColours) {
    Fill({{"first", "x"}, {"second", "y"}});
    list.MarkItemSelected(1, true);
    list.clearFocus();
    const int rowHeight = list.RowHeight();
    auto background = [&](int row) {
        const QImage shot = list.viewport()->grab().toImage();
        return qt_testing::PixelRef(shot, list.columnWidth(0) - 3, row * rowHeight + 1);
    };
    // Unfocused, selection not always shown: plain window colours.
    list.SetShowSelectionAlways(false);
    EXPECT_EQ(background(1), RGB(255, 255, 255));
    list.SetShowSelectionAlways(true);
    EXPECT_EQ(background(1), RGB(10, 36, 106));
    EXPECT_EQ(background(0), RGB(255, 255, 255));
    // The cell text starts 2 pixels in and 1 down: nothing inked left of that.
    const QImage shot = list.viewport()->grab().toImage();
    for (int y = 0; y < rowHeight; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(qt_testing::PixelRef(shot, x, y), RGB(255, 255, 255)) << x << "," << y;
    // A disabled list draws unselected rows on the inactive-border colour.
    list.setEnabled(false);
    EXPECT_EQ(background(0), RGB(212, 208, 200));
}

TEST_F(WizardList, SortArrowPointsTheWayOfTheOrder) {
    CYNGridHeader* header = list.GridHeader();
    const QRect section(0, 0, 120, 20);
    // The rows of the arrow's box that hold its colours, top to bottom: widths of ink.
    auto arrowRows = [&](int direction) {
        header->SetSortArrow(0, direction);
        QImage image = qt_testing::BlankImage(section.width(), section.height());
        QPainter painter(&image);
        header->DrawSortItem(painter, section, 0);
        painter.end();
        const int u = header->fontMetrics().horizontalAdvance(' ');
        std::vector<int> widths;
        for (int y = 0; y < section.height(); ++y) {
            int inked = 0;
            for (int x = section.width() - 6 * u; x < section.width() - u; ++x) {
                const auto p = qt_testing::PixelRef(image, x, y);
                if (p == RGB(128, 128, 128) || p == RGB(255, 255, 255))
                    ++inked;
            }
            if (inked > 0 && inked < 5 * u - 1)
                widths.push_back(inked);
            else if (inked >= 5 * u - 1)
                widths.push_back(-1); // a full row is the face, not the arrow
        }
        widths.erase(std::remove(widths.begin(), widths.end(), -1), widths.end());
        return widths;
    };
    const std::vector<int> up = arrowRows(1);
    ASSERT_GE(up.size(), 3u);
    EXPECT_LT(up.front(), up.back()); // apex up: narrow at the top, the base at the bottom
    const std::vector<int> down = arrowRows(-1);
    ASSERT_GE(down.size(), 3u);
    EXPECT_GT(down.front(), down.back());
}

// Where a cell is, for clicks.
QPoint CellCentre(CYNGridList& list, int item, int column) {
    return list.visualRect(list.model()->index(item, column)).center();
}

TEST_F(WizardList, CellEditingStoresDropsAndSwitchesOff) {
    Fill({{"00:01.00", "first"}, {"00:02.00", "second"}});
    QSignalSpy edited(&list, &CYNGridList::CellEdited);
    QSignalSpy activated(&list, &CYNGridList::ItemActivated);

    // Off: a double click activates, no editor opens.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, CellCentre(list, 1, 6));
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, CellCentre(list, 1, 6));
    EXPECT_EQ(list.CellEditor(), nullptr);
    EXPECT_EQ(activated.count(), 1);

    list.EnableCellEditing(true);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, CellCentre(list, 1, 6));
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, CellCentre(list, 1, 6));
    ASSERT_NE(list.CellEditor(), nullptr);
    EXPECT_EQ(activated.count(), 1); // the double click served the editing
    EXPECT_EQ(list.CellEditor()->text(), "second");
    QTest::keyClicks(list.CellEditor(), "changed");
    QTest::keyClick(list.CellEditor(), Qt::Key_Return);
    EXPECT_EQ(list.CellEditor(), nullptr);
    EXPECT_EQ(list.GetItemText(1, 6), "changed");
    ASSERT_EQ(edited.count(), 1);
    EXPECT_EQ(edited[0][0].toInt(), 1);
    EXPECT_EQ(edited[0][1].toInt(), 6);
    EXPECT_EQ(edited[0][2].toString(), "changed");

    // Escape drops.
    ASSERT_TRUE(list.EditCell(0, 0));
    QTest::keyClicks(list.CellEditor(), "xx");
    QTest::keyClick(list.CellEditor(), Qt::Key_Escape);
    EXPECT_EQ(list.GetItemText(0, 0), "00:01.00");
    EXPECT_EQ(edited.count(), 1);

    // F2 opens on the current row; losing the focus stores.
    list.setFocus();
    list.setCurrentItem(list.topLevelItem(0), 2);
    QTest::keyClick(&list, Qt::Key_F2);
    ASSERT_NE(list.CellEditor(), nullptr);
    QTest::keyClicks(list.CellEditor(), "Light1");
    QLineEdit elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    elsewhere.setFocus();
    QApplication::processEvents();
    EXPECT_EQ(list.CellEditor(), nullptr);
    EXPECT_EQ(list.GetItemText(0, 2), "Light1");
    EXPECT_EQ(edited.count(), 2);

    // Switching editing off drops an open editor and gives double clicks back to activation.
    ASSERT_TRUE(list.EditCell(1, 1));
    QTest::keyClicks(list.CellEditor(), "lost");
    list.EnableCellEditing(false);
    EXPECT_EQ(list.CellEditor(), nullptr);
    EXPECT_EQ(list.GetItemText(1, 1), "");
    EXPECT_FALSE(list.EditCell(1, 1));
    EXPECT_EQ(edited.count(), 2);
}

TEST_F(WizardList, KeyNoticesBeforeNavigationAndNoneWhileEditing) {
    Fill({{"a", ""}, {"b", ""}, {"c", ""}});
    list.EnableCellEditing(true);
    list.setFocus();
    list.setCurrentItem(list.topLevelItem(0));
    std::vector<std::pair<int, int>> notices;
    std::vector<int> rowAtNotice;
    QObject::connect(&list, &CYNGridList::KeyDown, [&](int vk, int character) {
        notices.emplace_back(vk, character);
        rowAtNotice.push_back(list.currentIndex().row());
    });
    QTest::keyClick(&list, Qt::Key_Q);
    QTest::keyClick(&list, Qt::Key_Exclam, Qt::ShiftModifier);
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Down);
    // Shift goes down first: a key of its own, without a character.
    ASSERT_EQ(notices.size(), 5u);
    EXPECT_EQ(notices[0], std::make_pair(int('Q'), int('Q')));
    EXPECT_EQ(notices[1].second, -1);
    EXPECT_EQ(notices[2], std::make_pair(int('1'), int('1')));
    EXPECT_EQ(notices[3], std::make_pair(int(platform::qt::VK_DOWN), -1));
    EXPECT_EQ(rowAtNotice[4], 1); // told before the list moved on to row 2
    EXPECT_EQ(list.currentIndex().row(), 2);

    ASSERT_TRUE(list.EditCell(2, 1));
    QTest::keyClicks(list.CellEditor(), "typed");
    EXPECT_EQ(notices.size(), 5u);
    QTest::keyClick(list.CellEditor(), Qt::Key_Return);
    EXPECT_EQ(notices.size(), 5u); // the Enter that closed the editor was the editor's
    EXPECT_EQ(list.GetItemText(2, 1), "typed");
}

} // namespace
