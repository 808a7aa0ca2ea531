#include "views/gridbase/vl_cel_ctrl.h"

#include "controls/commandbars/view_popup.h"
#include "controls/grid/cel_parts.h"
#include "platform/english_date.h"
#include "platform/qt/fonts.h"
#include "platform/qt/gdi.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/qt/virtual_keys.h"
#include "platform/ui_services.h"
#include "views/gridbase/print_services.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPrinter>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <utility>

using platform::qt::ToQString;

namespace {

constexpr int kVkReturn = 0x0D;

// Missing cells and cells without text go last in either direction; numbers compare by value
// under the numeric rule, everything else as text.
int CompareCells(const CELCell* first, const CELCell* second, int flags, bool numeric) {
    if (!first)
        return second ? 1 : 0;
    if (!second)
        return -1;
    if (flags & 2)
        std::swap(first, second);
    const char* a = first->GetValueText();
    const char* b = second->GetValueText();
    if (numeric) {
        const int kind = first->GetValueKind();
        if (kind == 1 && !a && !b)
            return 0;
        if (kind == 2 || kind == 3 || kind == 5) {
            const double x = first->GetValueNumber(), y = second->GetValueNumber();
            return x < y ? -1 : (x > y ? 1 : 0);
        }
    }
    if (!a)
        return 1;
    if (!b)
        return -1;
    const int c = std::strcmp(a, b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace

QFont PrintHeaderFont(const QPaintDevice& device) {
    platform::qt::LogFont logFont;
    logFont.faceName = QStringLiteral("Arial");
    // 10 points on the device.
    logFont.height = -((10 * device.logicalDpiY() + 36) / 72);
    logFont.weight = 300;
    return platform::qt::FontFromLogFont(logFont);
}

std::string PrintDateText() {
    return platform::EnglishDateNow("%A, %B %d, %Y, %H:%M");
}

VLCELCtrl::VLCELCtrl(QWidget* parent) : CELCtrl(parent) {
    // The base built its headings on its own section colour; these grids' headings lie on white.
    RecreatePens();
}

VLCELCtrl::~VLCELCtrl() {
    SetBaseFont(nullptr);
}

void VLCELCtrl::NotifyGridCreated() {
    platform::qt::LogFont logFont;
    logFont.faceName = QStringLiteral("Arial");
    logFont.height = 16;
    logFont.weight = 400;
    baseFont_ = std::make_unique<QFont>(platform::qt::FontFromLogFont(logFont));
    SetBaseFont(baseFont_.get());
    SetHorizontalScrollStyle(1);
    SetVerticalScrollStyle(1);
    EnableTextOverflow(false);
    EnableCellTips(cellTips_);
    EnableBlockSelection(1);
    EnablePainting(true);
}

void VLCELCtrl::SelectWholeRow(int row) {
    if (row < 0 || row >= GetRowCount() - 1)
        return;
    ClearBlockSelection();
    RepaintAll();
    MoveActiveCell(0, row);
    SelectBlock(0, row, GetColumnCount() - 1, row);
}

void VLCELCtrl::NotifySideHeadingLeftClick(int, int row, int down, const QRect&, const QPoint&,
                                           int) {
    if (down)
        SelectWholeRow(row);
}

void VLCELCtrl::NotifySideHeadingRightClick(int, int row, int down, const QRect&, const QPoint&,
                                            int) {
    if (down && row >= 0)
        MoveActiveCell(0, row);
}

void VLCELCtrl::NotifyCellRightClick(int column, int row, int down, const QRect&,
                                     const QPoint& point, int) {
    if (!down && column >= 0 && row >= 0)
        TrackGridPopup(column, row, 1, CellArea()->mapToGlobal(point));
}

void VLCELCtrl::NotifyKeyPressed(int& key, int) {
    const bool shifted = (KeyFlags() & kMkShift) != 0;
    if (key == platform::qt::VK_APPS || (key == platform::qt::VK_F1 + 9 && shifted))
        TrackActiveCellPopup();
}

const views::PrintServices& VLCELCtrl::Printing() const {
    // Without the program's dialogs "Print Grid" asks nothing and prints nothing.
    static const views::PrintServices none;
    return printing_ ? *printing_ : none;
}

GVPMenuPtr VLCELCtrl::BuildPopupMenu(int, int, int) {
    return nullptr;
}

bool VLCELCtrl::OnUpdatePopupCommand(unsigned, platform::qt::CommandUi&) {
    return false;
}

namespace {

// The grid as the owner of its popup: it takes every item it built, and its update handler
// decides what shows checked or greyed.
class GridPopupOwner : public platform::qt::CommandTarget {
public:
    explicit GridPopupOwner(VLCELCtrl& grid) : grid_(grid) {}
    bool HasCommandHandler(unsigned) const override { return true; }
    bool OnUpdateCommand(unsigned id, platform::qt::CommandUi& ui) override {
        return grid_.OnUpdatePopupCommand(id, ui);
    }
    bool OnCommand(unsigned id) override {
        grid_.HandleCommand(int(id));
        return true;
    }

private:
    VLCELCtrl& grid_;
};

} // namespace

unsigned VLCELCtrl::TrackGridPopup(int column, int row, int section, QPoint screenPoint) {
    Info().popupEnabled = true;
    // The grid's own veto, and the place HandleCommand reports to the notification.
    if (StartPopupMenu(column, row, screenPoint, section) != 3)
        return 0;
    const GVPMenuPtr menu = BuildPopupMenu(column, row, section);
    if (!menu || menu->items.empty())
        return 0;
    GridPopupOwner owner(*this);
    return TrackViewPopup(*menu, *this, owner, screenPoint);
}

unsigned VLCELCtrl::TrackActiveCellPopup() {
    int column = GetActiveColumn(), row = GetActiveRow();
    if (column < 0 || row < 0)
        return 0;
    QRect rect;
    if (GetCellRect(column, row, rect) != 0)
        rect = QRect();
    return TrackGridPopup(column, row, 1, CellArea()->mapToGlobal(rect.topLeft() + QPoint(4, 4)));
}

bool VLCELCtrl::AllowEditContinue(int column, int row, int& nextColumn, int& nextRow) {
    if (platform::qt::GetKeyState(kVkReturn) < 0) {
        if (column < GetColumnCount() - 1) {
            nextColumn = column + 1;
            nextRow = row;
        } else if (row < GetRowCount() - 1) {
            nextColumn = 0;
            nextRow = row + 1;
        } else {
            nextColumn = column;
            nextRow = row;
        }
    }
    return false;
}

int VLCELCtrl::CompareNumericOrText(const CELCell* first, const CELCell* second, int flags) {
    return CompareCells(first, second, flags, true);
}

int VLCELCtrl::CompareTextOnly(const CELCell* first, const CELCell* second, int flags) {
    return CompareCells(first, second, flags, false);
}

int VLCELCtrl::CompareCellsForSort(const CELCell* first, const CELCell* second, int flags) {
    return CompareNumericOrText(first, second, flags);
}

void VLCELCtrl::AdjustChildLayout(QRect&, QRect&, QRect&, QRect&, QRect&, QRect&, QRect&) {
    // An edit open across a relayout would sit over the wrong cell: drop it, text unstored.
    if (IsEditing())
        AbandonEdit();
}

COLORREF VLCELCtrl::GetSectionBackColour(int) {
    return 0xFFFFFF;
}

void VLCELCtrl::DrawFocusFrame(QPainter& painter, const QRect& rect) {
    platform::qt::GdiRect r = platform::qt::GdiRect::FromQRect(rect);
    r.right -= 1;
    r.bottom -= 1;
    platform::qt::DrawFocusRect(painter, r);
}

bool VLCELCtrl::SelectedRun(int& first, int& last) {
    const int c = GetActiveColumn();
    const int n = GetRowCount();
    // The empty appending row never prints; a last row that is a record does.
    const int rows = lastRowIsRecord_ ? n : n - 1;
    first = -1;
    for (int r = 0; r < rows; ++r)
        if (IsCellSelected(c, r, nullptr)) {
            first = r;
            break;
        }
    if (first < 0)
        return false;
    last = first;
    while (last + 1 < rows && IsCellSelected(c, last + 1, nullptr))
        ++last;
    return true;
}

int VLCELCtrl::PrintGridCommand(std::string title, std::string note, std::string subtitle) {
    const views::PrintServices& printing = Printing();
    const int answer = printing.askPrintGrid ? printing.askPrintGrid(this) : 2;
    if (QWidget* parent = parentWidget())
        parent->repaint();
    if (answer != 100 && answer != 101)
        return 0;
    SetPrintSetting(2, 1);
    SetPrintSetting(1, 1);
    if (answer == 100)
        return PrintGrid(-1, -1, GetColumnCount() - 1, GetRowCount() - 1, title, note, subtitle);
    int first = 0, last = 0;
    // No selected record: nothing to print, nothing to ask.
    if (!SelectedRun(first, last))
        return 0;
    return PrintRange(-1, first, GetColumnCount() - 1, last, title, note, subtitle);
}

int VLCELCtrl::PrintGrid(int startColumn, int startRow, int endColumn, int endRow,
                         const std::string& title, const std::string& note,
                         const std::string& subtitle) {
    if (startColumn == endColumn || startRow == endRow)
        return 0;
    return PrintRange(startColumn, startRow, endColumn, endRow, title, note, subtitle);
}

int VLCELCtrl::PrintRange(int startColumn, int startRow, int endColumn, int endRow,
                          const std::string& title, const std::string& note,
                          const std::string& subtitle) {
    const int columns = GetColumnCount(), rows = GetRowCount();
    if (columns <= 0 || rows <= 0)
        return 0;
    QPrinter printer(QPrinter::HighResolution);
    views::SetUpPrinter(Printing(), printer);
    if (!views::AskPrinter(Printing(), printer, this, false))
        return 0;
    printer.setDocName(QStringLiteral("Velmora Spreadsheet"));
    if (startColumn < 0 || startColumn >= columns)
        startColumn = 0;
    if (startRow < 0 || startRow >= rows)
        startRow = 0;
    if (endColumn < 0 || endColumn >= columns)
        endColumn = columns - 1;
    if (endRow < 0 || endRow >= rows)
        endRow = rows - 1;
    if (startColumn > endColumn)
        std::swap(startColumn, endColumn);
    if (startRow > endRow)
        std::swap(startRow, endRow);
    if (!printer.isValid()) {
        platform::ShowMessage("No printer found!");
        return 1;
    }
    platform::Ui().BeginWaitCursor();
    QPainter painter;
    if (!painter.begin(&printer)) {
        platform::Ui().EndWaitCursor();
        platform::ShowMessage("Printer wouldn't initalize");
        return 1;
    }
    SetPrintSetting(3, 5);
    SetPrintSetting(5, 5);
    painter.setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    const int pages =
        PaginateForPrint(PageGeometryOf(printer), startColumn, startRow, endColumn, endRow);
    const std::string date = PrintDateText();
    for (int p = 1; p <= pages; ++p) {
        if (p > 1)
            printer.newPage();
        painter.save();
        RenderPrintPage(painter, p);
        painter.restore();
        char pageText[32];
        std::snprintf(pageText, sizeof pageText, "Page %d", p);
        PrintHeaderText(painter, 0, 0, p, title);
        PrintHeaderText(painter, 0, 1, p, subtitle);
        PrintHeaderText(painter, 0, 2, p, pageText);
        PrintHeaderText(painter, 1, 0, p, "Brevant Velmora");
        PrintHeaderText(painter, 1, 1, p, note.empty() ? std::string(" ") : note);
        PrintHeaderText(painter, 1, 2, p, date);
    }
    painter.end();
    platform::Ui().EndWaitCursor();
    return 1;
}

int VLCELCtrl::PrintHeaderText(QPainter& dc, int part, int position, int page, std::string text) {
    if (text.empty()) {
        if (part == 1) {
            char pageText[32];
            std::snprintf(pageText, sizeof pageText, "Page: %d", page);
            text = pageText;
        } else if (QWidget* parent = parentWidget()) {
            text = platform::qt::FromQString(parent->windowTitle());
        }
    }
    QPaintDevice* device = dc.device();
    if (!device)
        return 0;
    const int horzRes = device->width(), vertRes = device->height();
    const int horzSize = std::max(1, device->widthMM()), vertSize = std::max(1, device->heightMM());
    (void)horzSize;
    const int down = vertRes / vertSize;
    int topMm = 25, bottomMm = 25;
    GetPrintSetting(4, topMm);
    GetPrintSetting(6, bottomMm);
    const int topBand = topMm * down, bottomBand = bottomMm * down;

    dc.save();
    dc.setFont(PrintHeaderFont(*device));
    const QString shown = ToQString(text);
    const QSize extent = platform::qt::TextExtent(dc.fontMetrics(), shown);
    int x = 0;
    if (position == 0)
        x = 0;
    else if (position == 2)
        x = horzRes - extent.width() - 20;
    else
        x = horzRes / 2 - extent.width() / 2;
    const int y = part == 1 ? vertRes - bottomBand / 2 - extent.height() / 2
                            : topBand / 2 - extent.height() / 2;
    platform::qt::DrawTextTop(dc, x, y, shown, 0x000000);
    dc.restore();
    return 0;
}
