// What the grid paints (pixel probes on the classic palette), find and replace through the
// dialog's widgets, and printing: pagination and a PDF's pages and texts.
#include "grid_fixture.h"
#include "tests/support/pdf_text.h"
#include "tests/support/program_icon.h"

#include "tests/support/scripted_ui.h"

#include <QApplication>
#include <QCheckBox>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <gtest/gtest.h>

using grid_test::RecordingGrid;
using grid_test::Settle;
using grid_test::ShowGrid;

namespace {

unsigned Rgb(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

// Whether any pixel in the rectangle is darker than mid grey.
bool HasInk(const QImage& image, const QRect& r) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(image.pixel(x, y)) < 110)
                return true;
    return false;
}

TEST(GridPaintTest, LinesHeadingsSelectionFocusAndLocks) {
    RecordingGrid g;
    ShowGrid(g, 500, 300, 5, 10);
    g.EnableBlockSelection(1);
    g.SelectBlock(1, 1, 2, 2);
    QImage area = grid_test::Grab(*g.CellArea());
    EXPECT_EQ(Rgb(area, 74, 30), 0xDCDCDCu);  // column 0's right grid line
    EXPECT_EQ(Rgb(area, 30, 19), 0xDCDCDCu);  // row 0's bottom grid line
    EXPECT_EQ(Rgb(area, 30, 30), 0xFFFFFFu);  // an unselected cell
    EXPECT_EQ(Rgb(area, 160, 50), 0x0A246Au); // a selected cell in the highlight
    EXPECT_EQ(Rgb(area, 0, 0), 0x000000u);    // the focus frame's first dot on (0, 0)
    EXPECT_EQ(Rgb(area, 1, 0), 0xFFFFFFu);    // dotted
    QImage top = grid_test::Grab(*reinterpret_cast<QWidget*>(g.TopHeading()));
    EXPECT_EQ(Rgb(top, 0, 10), 0xFFFFFFu);  // raised: light left edge
    EXPECT_EQ(Rgb(top, 74, 10), 0x808080u); // dark right edge
    EXPECT_EQ(Rgb(top, 20, 10), 0xD4D0C8u); // button face
    g.ClearBlockSelection();
    g.LockColumns(1);
    g.LockRows(1);
    area = grid_test::Grab(*g.CellArea());
    EXPECT_EQ(Rgb(area, 74, 50), 0x000000u);  // lock line after the locked column
    EXPECT_EQ(Rgb(area, 200, 19), 0x000000u); // lock line under the locked row
}

TEST(GridPaintTest, OverflowRunsOverEmptyNeighboursAndStops) {
    RecordingGrid g;
    ShowGrid(g, 500, 300, 5, 10);
    g.MoveActiveCell(4, 9);
    const std::string text = "A long text that runs well past its own column";
    g.WriteCellText(0, 3, text);
    QImage area = grid_test::Grab(*g.CellArea());
    const QRect column1(76, 61, 72, 17), column2(151, 61, 72, 17);
    EXPECT_TRUE(HasInk(area, column1));
    EXPECT_TRUE(HasInk(area, column2));
    g.WriteCellText(2, 3, "x"); // a text further on stops the run there
    g.RepaintAll();
    area = grid_test::Grab(*g.CellArea());
    EXPECT_TRUE(HasInk(area, column1));
    EXPECT_FALSE(HasInk(area, QRect(151 + 20, 61, 50, 17)));
    CELCell right;
    right.SetText(text);
    right.SetAlignment(CELCell::kRight);
    g.StoreCell(0, 5, right); // right-aligned text never overflows
    area = grid_test::Grab(*g.CellArea());
    EXPECT_FALSE(HasInk(area, QRect(76, 101, 72, 17)));
}

TEST(GridPaintTest, ScrolledPaintEqualsFreshPaint) {
    RecordingGrid a, b;
    for (RecordingGrid* g : {&a, &b}) {
        ShowGrid(*g, 400, 300, 6, 200);
        for (int r = 0; r < 200; ++r)
            for (int c = 0; c < 6; ++c)
                g->WriteCellText(c, r, std::to_string(r * 10 + c));
    }
    grid_test::Grab(*a.CellArea());
    for (int i = 0; i < 7; ++i)
        a.ScrollRowsBy(1);
    a.ScrollRowsBy(3);
    b.SetTopRow(a.GetTopRow());
    b.MoveActiveCell(0, 0);
    ASSERT_GT(a.GetTopRow(), 7);
    EXPECT_EQ(grid_test::Grab(*a.CellArea()), grid_test::Grab(*b.CellArea()));
    EXPECT_EQ(grid_test::Grab(*reinterpret_cast<QWidget*>(a.SideHeading())),
              grid_test::Grab(*reinterpret_cast<QWidget*>(b.SideHeading())));
}

// The dialog is the program's, not the table window's: it shows the program's icon.
TEST(GridFindTest, TheDialogShowsTheProgramsIcon) {
    testing_support::ScriptedUi ui;
    RecordingGrid g;
    ShowGrid(g, 400, 300, 3, 6);
    const testsupport::ProgramIconSwatch program;
    g.window()->setWindowIcon(testsupport::Swatch(Qt::blue));
    g.OpenFindDialog();
    CELFindDialog* d = g.FindDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(testsupport::IconPicture(d->windowIcon()), program.Picture());
    d->close();
}

TEST(GridFindTest, FindAndReplaceThroughTheDialog) {
    testing_support::ScriptedUi ui;
    RecordingGrid g;
    ShowGrid(g, 400, 300, 3, 6);
    g.WriteCellText(0, 1, "xabc");
    g.WriteCellText(0, 3, "abc");
    g.WriteCellText(0, 4, "abcb");
    ASSERT_EQ(g.OpenFindReplaceDialog(), 0);
    EXPECT_EQ(g.OpenFindDialog(), 1); // one at a time
    CELFindDialog* d = g.FindDialog();
    d->findEdit->setText("abc");
    d->wholeCell->setChecked(true);
    EXPECT_EQ(d->wholeCell->text(), "Match &entire cell text");
    QTest::mouseClick(d->findNext, Qt::LeftButton);
    EXPECT_EQ(g.GetActiveRow(), 3); // not xabc
    d->wholeCell->setChecked(false);
    g.MoveActiveCell(0, 0);
    QTest::mouseClick(d->findNext, Qt::LeftButton);
    EXPECT_EQ(g.GetActiveRow(), 1);
    // Replace ignoring case: the first occurrence only; with case: every one.
    g.MoveActiveCell(0, 4);
    d->findEdit->setText("B");
    d->replaceEdit->setText("X");
    QTest::mouseClick(d->replace, Qt::LeftButton);
    EXPECT_STREQ(g.ReadCellText(0, 4), "aXcb");
    g.WriteCellText(0, 4, "abcb");
    g.MoveActiveCell(0, 4);
    d->findEdit->setText("b");
    d->matchCase->setChecked(true);
    QTest::mouseClick(d->replace, Qt::LeftButton);
    EXPECT_STREQ(g.ReadCellText(0, 4), "aXcX");
    // Replace all: every cell once, then it stops.
    d->findEdit->setText("a");
    d->replaceEdit->setText("A");
    d->matchCase->setChecked(false);
    QTest::mouseClick(d->replaceAll, Qt::LeftButton);
    EXPECT_STREQ(g.ReadCellText(0, 1), "xAbc");
    EXPECT_STREQ(g.ReadCellText(0, 3), "Abc");
    d->findEdit->setText("zzz");
    QTest::mouseClick(d->findNext, Qt::LeftButton);
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Item not found"}));
    EXPECT_EQ(ui.boxes.back().caption, "Not Found");
    QTest::mouseClick(d->findChild<QPushButton*>("cancel"), Qt::LeftButton);
    Settle();
    EXPECT_FALSE(g.IsFindDialogOpen());
    EXPECT_EQ(g.OpenFindDialog(), 0);
}

TEST(GridPrintTest, PaginationAcrossThenDown) {
    RecordingGrid g;
    ShowGrid(g, 400, 300, 9, 100);
    CELPageGeometry a4{2480, 3508, 210, 297}; // 300 dpi
    // 160 mm x 3.79 = 606 screen pixels: 8 columns of 75 on a page; 46 rows of 20 in 933.
    EXPECT_EQ(g.PaginateForPrint(a4, 0, 0, 8, 99), 6);
    struct {
        int page, firstColumn, lastColumn, firstRow, lastRow;
    } pages[] = {{1, 0, 7, 0, 45}, {2, 8, 8, 0, 45}, {3, 0, 7, 46, 91}, {6, 8, 8, 92, 99}};
    for (const auto& p : pages) {
        int fc, lc, fr, lr;
        ASSERT_TRUE(g.PageRange(p.page, fc, lc, fr, lr)) << p.page;
        EXPECT_EQ(fc, p.firstColumn) << p.page;
        EXPECT_EQ(lc, p.lastColumn) << p.page;
        EXPECT_EQ(fr, p.firstRow) << p.page;
        EXPECT_EQ(lr, p.lastRow) << p.page;
    }
    g.ResizeColumn(4, 900); // a column wider than the page gets a page of its own
    EXPECT_EQ(g.PaginateForPrint(a4, 0, 0, 8, 45), 2);
    int fc, lc, fr, lr;
    ASSERT_TRUE(g.PageRange(1, fc, lc, fr, lr));
    EXPECT_EQ(lc, 4);
    CELPageGeometry narrow{100, 3508, 49, 297}; // no printable width at all
    EXPECT_EQ(g.PaginateForPrint(narrow, 0, 0, 8, 99), 0);
    int value = -1;
    EXPECT_EQ(g.GetPrintSetting(3, value), 0);
    EXPECT_EQ(value, 25);
    EXPECT_EQ(g.GetPrintSetting(7, value), 1);
}

using testing_support::CommandOutput;

TEST(GridPrintTest, PdfHasThePagesAndTheirTexts) {
    if (CommandOutput("command -v pdfinfo").empty())
        GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    RecordingGrid g;
    ShowGrid(g, 400, 300, 9, 60);
    for (int r = 0; r < 60; ++r)
        for (int c = 0; c < 9; ++c)
            g.WriteCellText(c, r, "R" + std::to_string(r) + "C" + std::to_string(c));
    g.WriteCellText(3, -1, "Heading3");
    g.SetPrintSetting(1, 1);
    g.SetPrintSetting(2, 1);
    QTemporaryDir dir;
    const QString path = dir.filePath("grid.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    const int pages = g.PaginateForPrint(PageGeometryOf(printer), 0, 0, 8, 59);
    ASSERT_EQ(pages, 4);
    QPainter painter(&printer);
    for (int p = 1; p <= pages; ++p) {
        if (p > 1)
            printer.newPage();
        g.RenderPrintPage(painter, p);
    }
    painter.end();
    const std::string info = CommandOutput("pdfinfo '" + path.toStdString() + "'");
    EXPECT_NE(info.find("Pages:           4"), std::string::npos) << info;
    const std::string page1 = CommandOutput("pdftotext -f 1 -l 1 '" + path.toStdString() + "' -");
    EXPECT_NE(page1.find("R0C0"), std::string::npos);
    EXPECT_NE(page1.find("Heading3"), std::string::npos);
    EXPECT_EQ(page1.find("R0C8"), std::string::npos);
    const std::string page2 = CommandOutput("pdftotext -f 2 -l 2 '" + path.toStdString() + "' -");
    EXPECT_NE(page2.find("R0C8"), std::string::npos);
    const std::string page3 = CommandOutput("pdftotext -f 3 -l 3 '" + path.toStdString() + "' -");
    EXPECT_NE(page3.find("R59C0"), std::string::npos);
}

} // namespace
