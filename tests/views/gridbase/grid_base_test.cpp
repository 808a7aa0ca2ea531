// The grid base on its own: a program's grid without any script or application behind it,
// printed to PDF through the print services.
#include "tests/support/pdf_text.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/scripted_ui.h"
#include "tests/views/gridbase/grid_fill.h"
#include "views/gridbase/print_services.h"
#include "views/gridbase/vl_cel_ctrl.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace {

using testing_support::PdfText;

// A grid in a window, and print services that print to a PDF file in a temporary folder.
struct GridPrinting : ::testing::Test, testsupport::QtAppFirst {
    GridPrinting() {
        window.resize(400, 300);
        grid_.CreateInParent(0, QRect(0, 0, 400, 300), &window, 1000);
        services.askPrinter = [this](QPrinter& printer, QWidget*, bool) {
            ++printerAsked;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf));
            return true;
        };
        grid_.SetPrintServices(&services);
    }

    testing_support::ScriptedUi ui;
    QWidget window;
    VLCELCtrl& grid_ = *new VLCELCtrl; // owned by the window once created
    views::PrintServices services;
    QTemporaryDir dir;
    std::string pdf = dir.filePath("out.pdf").toStdString();
    int printerAsked = 0;
};

using testing_support::FillGrid;

TEST_F(GridPrinting, PrintGridHeaderFooterAndSelection) {
    VLCELCtrl& grid = grid_;
    FillGrid(grid, 6);
    services.askPrintGrid = [](QWidget*) { return 100; };
    EXPECT_EQ(grid.PrintGridCommand("Show", "", "Inputs"), 1);
    std::string text = PdfText(pdf);
    for (const char* expected : {"Show", "Inputs", "Page 1", "Brevant Velmora", "r0c0", "r5c2"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
    EXPECT_NE(text.find(PrintDateText().substr(0, 10)), std::string::npos);

    // Selection: rows 2 and 3 of the active column; the run ends at the first unselected row.
    services.askPrintGrid = [](QWidget*) { return 101; };
    grid.MoveActiveCell(0, 2);
    grid.SelectBlock(0, 2, 2, 3);
    std::remove(pdf.c_str());
    EXPECT_EQ(grid.PrintGridCommand("Show", "n", "Inputs"), 1);
    text = PdfText(pdf);
    EXPECT_NE(text.find("r2c0"), std::string::npos);
    EXPECT_NE(text.find("r3c1"), std::string::npos);
    EXPECT_EQ(text.find("r1c0"), std::string::npos);
    EXPECT_EQ(text.find("r4c0"), std::string::npos);

    // One selected row prints that row alone.
    grid.ClearBlockSelection();
    grid.SelectBlock(0, 4, 2, 4);
    std::remove(pdf.c_str());
    grid.PrintGridCommand("Show", "n", "Inputs");
    text = PdfText(pdf);
    EXPECT_NE(text.find("r4c0"), std::string::npos);
    EXPECT_EQ(text.find("r3c0"), std::string::npos);

    // Nothing selected, or only the appending last row: nothing printed, nothing asked.
    printerAsked = 0;
    grid.ClearBlockSelection();
    EXPECT_EQ(grid.PrintGridCommand("Show", "n", "Inputs"), 0);
    grid.SelectBlock(0, 5, 2, 5);
    EXPECT_EQ(grid.PrintGridCommand("Show", "n", "Inputs"), 0);
    EXPECT_EQ(printerAsked, 0);
    // A last row that is a record prints.
    grid.SetLastRowIsRecord(true);
    std::remove(pdf.c_str());
    grid.PrintGridCommand("Show", "n", "Inputs");
    EXPECT_NE(PdfText(pdf).find("r5c0"), std::string::npos);
}

TEST_F(GridPrinting, EmptyGridPrintsNothingAndAsksNothing) {
    VLCELCtrl& grid = grid_;
    grid.SetColumnCount(3);
    grid.SetRowCount(0);
    EXPECT_EQ(grid.PrintGrid(-1, -1, 2, -1, "t", "n", "s"), 0);
    services.askPrintGrid = [](QWidget*) { return 100; };
    EXPECT_EQ(grid.PrintGridCommand("t", "n", "s"), 0);
    EXPECT_EQ(printerAsked, 0);
}

CELCell Text(const char* text) {
    CELCell cell;
    cell.SetText(text);
    return cell;
}

CELCell Number(double value) {
    CELCell cell;
    cell.SetNumber(value);
    return cell;
}

TEST(GridSort, NumericOrTextAndTextOnly) {
    const CELCell ten = Text("10"), nine = Text("9"), none;
    const CELCell n10 = Number(10), n9 = Number(9);
    struct Case {
        const CELCell* a;
        const CELCell* b;
        int flags, numeric, text;
    } cases[] = {
        {&ten, &nine, 1, -1, -1}, // texts compare as texts
        {&n10, &n9, 1, 1, -1},    // numbers by value in the numeric rule
        {&n10, &n9, 2, -1, 1},    // descending swaps
        {&none, &ten, 1, 1, 1},   // a cell without text goes after
        {&ten, &none, 1, -1, -1},
        {nullptr, &ten, 2, 1, 1}, // a missing cell goes after in either direction
        {&ten, nullptr, 2, -1, -1},
        {nullptr, nullptr, 1, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VLCELCtrl::CompareNumericOrText(c.a, c.b, c.flags), c.numeric);
        EXPECT_EQ(VLCELCtrl::CompareTextOnly(c.a, c.b, c.flags), c.text);
    }
}

TEST_F(GridPrinting, RowHeadingClickSelectsTheRowButNotTheLast) {
    VLCELCtrl& grid = grid_;
    FillGrid(grid, 4);
    grid.NotifySideHeadingLeftClick(-1, 1, 1, {}, {}, 0);
    EXPECT_EQ(grid.GetActiveRow(), 1);
    EXPECT_TRUE(grid.IsCellSelected(2, 1, nullptr));
    grid.NotifySideHeadingLeftClick(-1, 3, 1, {}, {}, 0);
    EXPECT_EQ(grid.GetActiveRow(), 1);
    EXPECT_TRUE(grid.IsCellSelected(2, 1, nullptr));
    EXPECT_FALSE(grid.IsCellSelected(2, 3, nullptr));
}

} // namespace
