// A sheet of 10,000 rows by 9 columns on the grid control: headings, a locked first column,
// coloured and read-only cells, in-place editing, find and replace, a status bar with a running
// check and a report list of the edits. `grid-demo --pdf FILE` prints the whole sheet to FILE.
#include "controls/grid/cel_ctrl.h"
#include "controls/grid/cel_parts.h"
#include "controls/toolbox/grid_list.h"
#include "controls/toolbox/status_bar.h"
#include "platform/cp1252.h"
#include "platform/qt/colors.h"
#include "platform/qt/fonts.h"
#include "platform/qt/qt_ui_services.h"

#include <QApplication>
#include <QDockWidget>
#include <QFileDialog>
#include <QHeaderView>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdio>
#include <memory>

namespace {

constexpr int kRows = 10000;
constexpr int kColumns = 9;
constexpr unsigned kProgressPane = 59143;
const char* const kHeadings[kColumns] = {"Cue",  "Time",  "Device", "Channel", "Value",
                                         "Fade", "Group", "Note",   "State"};
const char* const kDevices[] = {"Dimmer", "Fountain", "Pump", "Laser", "Audio", "Video"};

class DemoGrid : public CELCtrl {
public:
    std::function<void(int, int, const std::string&, const std::string&)> onEdited;
    std::function<void(int, int)> onMoved;

    void Fill() {
        SetColumnCount(kColumns, false);
        SetRowCount(kRows, false);
        for (int c = 0; c < kColumns; ++c)
            WriteCellText(c, -1, kHeadings[c]);
        char buffer[64];
        for (int r = 0; r < kRows; ++r) {
            std::snprintf(buffer, sizeof buffer, "%d", r + 1);
            WriteCellText(-1, r, buffer);
            std::snprintf(buffer, sizeof buffer, "Q%05d", r + 1);
            WriteCellText(0, r, buffer);
            std::snprintf(buffer, sizeof buffer, "%02d:%02d.%02d", (r / 30 / 60) % 60,
                          (r / 30) % 60, r % 30);
            WriteCellText(1, r, buffer);
            WriteCellText(2, r, kDevices[r % 6]);
            WriteCellText(3, r, std::to_string(1 + r % 512));
            WriteCellText(4, r, std::to_string((r * 37) % 256));
            WriteCellText(5, r, std::to_string(r % 10) + "s");
            WriteCellText(6, r, "G" + std::to_string(1 + r % 12));
            if (r % 17 == 0)
                WriteCellText(7, r, "Check the nozzle pressure before this cue runs");
            WriteCellText(8, r, r % 5 == 0 ? "locked" : "ready");
            if (r % 5 == 0) {
                CELCell cell;
                FetchStoredCell(8, r, cell);
                cell.SetEditLocked(true);
                cell.SetTextColour(platform::qt::RGB(128, 128, 128));
                StoreCell(8, r, cell);
            }
            if (r % 6 == 1) {
                CELCell cell;
                FetchStoredCell(2, r, cell);
                cell.SetBackground(platform::qt::RGB(255, 236, 200));
                StoreCell(2, r, cell);
            }
            if ((r * 37) % 256 > 240)
                WriteCellTextColour(4, r, platform::qt::RGB(200, 0, 0));
        }
        CELCell cue;
        cue.SetBackground(platform::qt::RGB(232, 240, 255));
        StoreColumnDefault(0, cue);
        CELCell right;
        right.SetAlignment(CELCell::kRight);
        StoreColumnDefault(3, right);
        StoreColumnDefault(4, right);
        ResizeColumn(7, 150);
        LockColumns(1);
        EnableBlockSelection(1);
        SetFindAllColumns(true);
        SetVerticalScrollStyle(1);
        SetHorizontalScrollStyle(1);
        SetRowCount(kRows, true);
    }

    void NotifyCharTyped(int& ch, int) override {
        if (ch >= 32 && ch != 127)
            EditActiveCellWithKey(ch);
        else if (ch == 13)
            EditActiveCell();
    }
    void NotifyKeyPressed(int& key, int) override {
        if (key == 0x71) // F2
            EditActiveCell();
    }
    void NotifyCellDoubleClick(int column, int row, const QRect&, const QPoint&, int) override {
        if (column >= 0 && row >= 0)
            EditActiveCell();
    }
    bool AllowEditStart(int column, int row, CELEdit*&) override {
        before_ = ReadCellText(column, row) ? ReadCellText(column, row) : "";
        return true;
    }
    bool AllowEditFinish(int column, int row, CELEdit*, std::string& text,
                         bool cancelled) override {
        if (!cancelled && text != before_ && onEdited)
            onEdited(column, row, before_, text);
        return true;
    }
    void NotifyActiveCellChanged(int, int column, int, int row) override {
        if (onMoved)
            onMoved(column, row);
    }
    int GetCellTipText(int column, int row, int, std::string& text) override {
        const char* t = ReadCellText(column, row);
        text = t ? t : "";
        return text.size() > 12 ? 1 : 0;
    }

private:
    std::string before_;
};

int PrintToPdf(DemoGrid& grid, const QString& file) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName("Grid demo");
    grid.SetPrintSetting(1, 1);
    grid.SetPrintSetting(2, 1);
    const int pages = grid.PaginateForPrint(PageGeometryOf(printer), 0, 0,
                                            grid.GetColumnCount() - 1, grid.GetRowCount() - 1);
    QPainter painter;
    if (!painter.begin(&printer))
        return -1;
    for (int p = 1; p <= pages; ++p) {
        if (p > 1)
            printer.newPage();
        grid.RenderPrintPage(painter, p);
    }
    painter.end();
    return pages;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    platform::qt::QtUiServices ui;
    platform::SetUi(&ui);
    QFont base(platform::qt::MapFontFace("Arial"));
    base.setPixelSize(platform::qt::LogFontHeightToPixelSize(16, base.family()));

    QString pdf;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i)
        if (args[i] == "--pdf")
            pdf = args[i + 1];

    if (!pdf.isEmpty()) {
        DemoGrid grid;
        grid.resize(800, 600);
        grid.SetBaseFont(&base);
        grid.Fill();
        const int pages = PrintToPdf(grid, pdf);
        if (pages < 0) {
            std::fprintf(stderr, "grid-demo: cannot write %s\n", pdf.toLocal8Bit().constData());
            return 1;
        }
        std::printf("%d pages written to %s\n", pages, pdf.toLocal8Bit().constData());
        return 0;
    }

    QMainWindow window;
    window.setWindowTitle("Grid demo");
    auto* central = new QWidget;
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* grid = new DemoGrid;
    grid->SetBaseFont(&base);
    column->addWidget(grid, 1);
    auto* bar = new CYNStatusBar;
    bar->SetStringLookup(
        [](unsigned id) { return id == kProgressPane ? QString("Progress Meter") : QString(); });
    bar->DefinePanes({0, kProgressPane, 0});
    unsigned id, style;
    int width;
    bar->GetPaneInfo(1, id, style, width);
    bar->ConfigurePane(1, id, style | CYNStatusBar::SBPS_PROGRESS, 135);
    bar->GetPaneInfo(2, id, style, width);
    bar->ConfigurePane(2, id, style, 60);
    bar->SetPaneTip(0, "Where the active cell is");
    bar->SetPaneTip(1, "A running check of the sheet");
    bar->SetPaneTip(2, "Edits made");
    bar->EnablePaneTips(true);
    bar->MakeProgressPane(1, 0, true);
    column->addWidget(bar);
    window.setCentralWidget(central);
    grid->Fill();

    auto* report = new CYNGridList;
    report->setObjectName("report");
    report->InsertColumn(0, "Cell", CYNGridList::LVCFMT_LEFT, 120);
    report->InsertColumn(1, "Was", CYNGridList::LVCFMT_LEFT, 200);
    report->InsertColumn(2, "Now", CYNGridList::LVCFMT_LEFT, 200);
    report->EnableSorting(true);
    auto* dock = new QDockWidget("Edits", &window);
    dock->setWidget(report);
    window.addDockWidget(Qt::BottomDockWidgetArea, dock);
    // A double click on an edit goes back to its cell.
    QObject::connect(
        report, &QTreeWidget::itemDoubleClicked, [report, grid](QTreeWidgetItem* item) {
            const qintptr cell = report->GetItemData(report->indexOfTopLevelItem(item));
            grid->MoveActiveCell(static_cast<int>(cell % 100), static_cast<int>(cell / 100));
            grid->CellArea()->setFocus();
        });

    grid->onMoved = [bar](int column, int row) {
        bar->SetPaneText(
            0, QString("Row %1, %2").arg(row + 1).arg(kHeadings[column < 0 ? 0 : column]));
    };
    grid->onEdited = [report, bar](int column, int row, const std::string& was,
                                   const std::string& now) {
        const int item = report->InsertItem(report->GetItemCount(),
                                            QString("%1 %2").arg(kHeadings[column]).arg(row + 1),
                                            static_cast<qintptr>(row) * 100 + column);
        report->SetItemText(item, 1, platform::qt::ToQString(was));
        report->SetItemText(item, 2, platform::qt::ToQString(now));
        report->ScrollItemIntoView(item, 0, false);
        bar->SetPaneTextAndColour(2, QString("%1 edits").arg(report->GetItemCount()),
                                  platform::qt::RGB(192, 0, 0));
    };

    // A running check over the sheet, a slice of rows at a time, as a long task would report.
    auto* timer = new QTimer(&window);
    int checked = 0;
    QObject::connect(timer, &QTimer::timeout, [&] {
        checked = (checked + 250) % (kRows + 250);
        bar->UpdatePaneProgress(1, 0, kRows, std::min(checked, kRows));
    });
    timer->start(100);

    QMenu* file = window.menuBar()->addMenu("&File");
    file->addAction("&Print to PDF...", QKeySequence::Print, [&] {
        const QString out =
            QFileDialog::getSaveFileName(&window, "Print to PDF", "grid.pdf", "PDF files (*.pdf)");
        if (!out.isEmpty()) {
            const int pages = PrintToPdf(*grid, out);
            bar->SetPaneText(0, QString("%1 pages printed to %2").arg(pages).arg(out));
        }
    });
    file->addAction("E&xit", QKeySequence::Quit, &window, &QWidget::close);
    QMenu* edit = window.menuBar()->addMenu("&Edit");
    edit->addAction("&Find...", QKeySequence::Find, [grid] { grid->OpenFindDialog(); });
    edit->addAction("&Replace...", QKeySequence::Replace,
                    [grid] { grid->OpenFindReplaceDialog(); });
    edit->addAction("&Copy", QKeySequence::Copy, [grid] {
        std::string text;
        grid->CopyCellText(grid->GetActiveColumn(), grid->GetActiveRow(), text);
        grid->CopyTextToClipboard(text);
    });
    edit->addAction("&Paste", QKeySequence::Paste, [grid] {
        std::string text;
        if (grid->PasteTextFromClipboard(text) == 0)
            grid->PasteText(text);
    });
    edit->addAction("Sort by &Device", [grid] {
        const int keys[] = {2, 0};
        grid->SortRowsByColumns(keys, 2, 0);
        grid->RepaintAll();
    });

    window.resize(1000, 700);
    window.show();
    grid->setFocus();
    grid->MoveActiveCell(1, 0);
    return app.exec();
}
