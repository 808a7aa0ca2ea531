#include "views/reports/compile_view.h"

#include "platform/paths.h"
#include "platform/qt/mdi_template.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/ui_services.h"
#include "script/view_kind.h"
#include "views/reports/cmp_error_dlg.h"

#include <QFontMetrics>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr const char* kHeadings[5] = {"Compiler Message", "Error", "Seq/Res", "Event", "Param"};
constexpr int kWidths[5] = {540, 50, 50, 50, 50};

struct ResourceKind {
    const ViewKind& view;
    const char* label;
    bool oneBased; // the first line shows the index plus 1
};

const ResourceKind* ResourceKindOf(int kind) {
    static const ResourceKind kKinds[] = {
        {kInputKind, "Input", false},         {kOutputKind, "Output", false},
        {kFlagKind, "Flag", false},           {kVarKind, "Variable", false},
        {kPortKind, "Port", false},           {kDataStringKind, "Data String", true},
        {kLcdStringKind, "LCD String", true},
    };
    return kind >= 2 && kind <= 8 ? &kKinds[kind - 2] : nullptr;
}

std::string Number(const char* format, int value) {
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// A cell's number, -1 for the blank of "none".
int CellNumber(CELCtrl& grid, int column, int row) {
    const char* text = grid.ReadCellText(column, row);
    if (!text || std::strcmp(text, " ") == 0 || *text == '\0')
        return -1;
    return std::atoi(text);
}

// How many of a resource kind the script has.
int ResourceCount(const CVLDoc& doc, int kind) {
    const CProduct* product = doc.m_pProduct.get();
    switch (kind) {
    case 2:
        return product ? product->m_wInputs : 0;
    case 3:
        return product ? product->m_wOutputs : 0;
    case 4:
        return product ? product->m_wFlags : 0;
    case 5:
        return product ? product->m_wVars : 0;
    case 6:
        return product ? product->m_wPorts : 0;
    case 7:
        return static_cast<int>(doc.m_poDataStrList.size());
    case 8:
        return static_cast<int>(doc.m_poLcdStrList.size());
    default:
        return 0;
    }
}

platform::View* FirstViewOf(const CVLDoc& doc, const ViewKind* kind) {
    for (platform::View* view : doc.Views())
        if (kind && KindOf(*view) == kind)
            return view;
    return nullptr;
}

// Moves the active cell of a table view's grid, then brings the main window forward.
void MoveCellIn(platform::View* view, int column, int row, QWidget* self) {
    auto* table = dynamic_cast<CVLView*>(view);
    if (!table || !table->Grid())
        return;
    VLCELCtrl& grid = *table->Grid();
    grid.ClearBlockSelection();
    grid.RepaintAll();
    grid.MoveActiveCell(column, row);
    if (QWidget* main = self->window())
        main->activateWindow();
}

} // namespace

// ---- CompileCel ----

CompileCel::CompileCel(CCompileView& view) : view_(view) {
    // The compile grid has no appending row: its last row is a message.
    SetLastRowIsRecord(true);
}

void CompileCel::CloseErrorDialog() {
    view_.Doc().CloseCompileErrorDialog();
}

void CompileCel::NotifyCellLeftClick(int, int, int down, const QRect&, const QPoint&, int) {
    if (down)
        CloseErrorDialog();
}

void CompileCel::NotifySideHeadingLeftClick(int, int row, int down, const QRect&, const QPoint&,
                                            int) {
    if (!down)
        return;
    CloseErrorDialog();
    if (row < 0 || row >= GetRowCount() - 1)
        return;
    ClearBlockSelection();
    RepaintAll();
    MoveActiveCell(0, row);
    SelectBlock(0, row, 2, row);
}

void CompileCel::NotifyCellDoubleClick(int, int row, const QRect&, const QPoint&, int) {
    if (row < 0 || row >= GetRowCount())
        return;
    MoveActiveCell(0, row);
    SelectBlock(0, row, 4, row);
    view_.GoToMessage();
}

void CompileCel::NotifySideHeadingDoubleClick(int column, int row, const QRect& rect,
                                              const QPoint& point, int processed) {
    NotifyCellDoubleClick(column, row, rect, point, processed);
}

// ---- CCompileView ----

CCompileView::CCompileView(CVLDoc& doc, ViewServices& services, QWidget* parent)
    : CVLView(doc, services, parent), cel_(new CompileCel(*this)) {
    CreateGrid(cel_);
}

void CCompileView::OnInitialUpdate() {
    CELCell cell;
    cel_->FetchGridDefault(cell);
    cell.SetEdgeStyle(1);
    cell.SetEditLocked(true);
    cel_->StoreGridDefault(cell);
    cel_->SetColumnCount(5, false);
    cel_->SetRowCount(0, false);
    // A narrow column is as wide as its heading; the message column gives up what they take,
    // and the vertical scroll bar's width (a log soon has more rows than the window shows), so
    // that the columns still fit the window's default width.
    const QFontMetrics metrics(cel_->font());
    int widths[5];
    int extra = cel_->Info().vScrollWidth;
    for (int c = 1; c < 5; ++c) {
        widths[c] = std::max(kWidths[c], metrics.horizontalAdvance(QLatin1String(kHeadings[c])) +
                                             2 * metrics.averageCharWidth());
        extra += widths[c] - kWidths[c];
    }
    widths[0] =
        std::max(metrics.horizontalAdvance(QLatin1String(kHeadings[0])), kWidths[0] - extra);
    for (int c = 0; c < 5; ++c) {
        cel_->WriteCellText(c, -1, kHeadings[c]);
        cel_->ResizeColumn(c, widths[c]);
    }
    cel_->RepaintAll();
    OnDraw();
}

std::string CCompileView::FrameTitle() const {
    const CVLDoc& doc = Doc();
    return "Compilation of " + doc.GetScriptName() +
           " - Double Left or Right Click Column Header to Sort Up or Down";
}

void CCompileView::OnUpdate(platform::View* sender, long hint, void* object) {
    OnDraw();
    CVLView::OnUpdate(sender, hint, object);
}

void CCompileView::OnDraw() {
    const std::string title = FrameTitle();
    if (Frame() && platform::qt::FromQString(Frame()->windowTitle()) != title)
        SetFrameTitle(title);
}

void CCompileView::ClearMessages() {
    cel_->SetRowCount(0);
    repaint();
    cel_->repaint();
}

void CCompileView::AddMessage(const std::string& text, int kind, int resource, int event, int param,
                              std::int32_t colour) {
    const int row = cel_->GetRowCount();
    cel_->SetRowCount(row + 1);
    cel_->WriteCellText(-1, row, Number("%2.2d", row));
    cel_->WriteCellText(0, row, text.empty() ? std::string(" ") : text);
    cel_->WriteCellText(1, row, kind == 0 ? std::string(" ") : Number("%d", kind));
    cel_->WriteCellText(2, row, resource == -1 ? std::string(" ") : Number("%d", resource + 1));
    cel_->WriteCellText(3, row, event == -1 ? std::string(" ") : Number("%d", event + 1));
    cel_->WriteCellText(4, row, param == -1 ? std::string(" ") : Number("%d", param + 1));
    // A message wider than its column widens it: the grid then scrolls sideways instead of
    // cutting the line at the column's edge.
    const QFontMetrics metrics(cel_->font());
    const int needed =
        metrics.horizontalAdvance(platform::qt::ToQString(text)) + 2 * metrics.averageCharWidth();
    if (needed > cel_->GetColumnWidth(0))
        cel_->ResizeColumn(0, needed);
    const COLORREF shown = colour == -1 ? 0x000000 : static_cast<COLORREF>(colour);
    for (int c = 0; c < 5; ++c)
        cel_->WriteCellTextColour(c, row, shown);
    cel_->MoveActiveRow(row);
}

void CCompileView::GoToMessage() {
    CVLDoc& doc = Doc();
    const int row = cel_->GetActiveRow();
    if (row < 0 || row >= cel_->GetRowCount())
        return;
    const int kind = CellNumber(*cel_, 1, row);
    const int resource = CellNumber(*cel_, 2, row) < 0 ? -1 : CellNumber(*cel_, 2, row) - 1;
    const int event = CellNumber(*cel_, 3, row) < 0 ? -1 : CellNumber(*cel_, 3, row) - 1;
    const int param = CellNumber(*cel_, 4, row) < 0 ? -1 : CellNumber(*cel_, 4, row) - 1;
    std::string text;
    cel_->CopyCellText(0, row, text);

    // Everything the row names must exist in the script as it is now; a row left from before
    // an edit does nothing.
    if (kind < 1 || kind > 11)
        return;
    const CSeq* sequence = nullptr;
    if (kind >= 2 && kind <= 8) {
        if (resource < 0 || resource >= ResourceCount(doc, kind))
            return;
    } else if (kind >= 9) {
        if (resource < 0 || resource >= static_cast<int>(doc.m_poSeqList.size()))
            return;
        sequence = doc.m_poSeqList[resource].get();
        if (kind >= 10 && (event < 0 || event >= static_cast<int>(sequence->m_poEventList.size())))
            return;
        if (kind == 11 && (param < 0 || param > 3))
            return;
    }

    doc.CloseCompileErrorDialog();
    auto* dialog = new CCmpErrorDlg(doc, window()); // owned through the script's handle
    doc.m_pCompileErrorDlg = std::make_unique<CmpErrorDlgHandle>(dialog);

    if (kind == 1) {
        dialog->SetLocationLine(kUnitMessageDialogTitle);
        dialog->SetMessageText(text);
        dialog->CreateModeless();
        return;
    }
    if (const ResourceKind* resourceKind = ResourceKindOf(kind)) {
        dialog->SetLocationLine(std::string(resourceKind->label) + ": " +
                                Number("%d", resource + (resourceKind->oneBased ? 1 : 0)));
        dialog->SetMessageText(text);
        dialog->CreateModeless();
        ShowResourceView(kind);
        SelectResourceRow(kind, resource);
        return;
    }
    dialog->SetLocationLine("Sequence: " + sequence->m_strName);
    if (kind == 10)
        dialog->SetEventLine(Number("Event: %d", event + 1));
    if (kind == 11) {
        char line[64];
        std::snprintf(line, sizeof line, "Event: %d, Parameter: %d", event + 1, param + 1);
        dialog->SetEventLine(line);
        if (text.size() > 7)
            text.erase(0, 6);
        text = "Error: " + text;
    }
    dialog->SetMessageText(text);
    dialog->CreateModeless();
    ShowSequenceList();
    SelectSequenceRow(resource);
    if (kind >= 10) {
        ShowEventView(resource);
        SelectEventCell(resource, event, kind == 11 ? param : -1);
    }
}

void CCompileView::ShowResourceView(int kind) {
    CVLDoc& doc = Doc();
    const ResourceKind* resourceKind = ResourceKindOf(kind);
    if (!resourceKind)
        return;
    Services().OpenView(doc, resourceKind->view, nullptr);
}

void CCompileView::SelectResourceRow(int kind, int index) {
    CVLDoc& doc = Doc();
    const ResourceKind* resourceKind = ResourceKindOf(kind);
    if (!resourceKind)
        return;
    MoveCellIn(FirstViewOf(doc, &resourceKind->view), 1, index, this);
}

void CCompileView::ShowSequenceList() {
    Services().OpenView(Doc(), kSequenceListKind, nullptr);
}

void CCompileView::SelectSequenceRow(int index) {
    MoveCellIn(FirstViewOf(Doc(), &kSequenceListKind), 1, index, this);
}

void CCompileView::ShowEventView(int sequence) {
    CVLDoc& doc = Doc();
    if (sequence < 0 || sequence >= static_cast<int>(doc.m_poSeqList.size()))
        return;
    Services().OpenView(doc, kEventEditorKind, doc.m_poSeqList[sequence].get());
}

void CCompileView::SelectEventCell(int sequence, int event, int param) {
    CVLDoc& doc = Doc();
    if (sequence < 0 || sequence >= static_cast<int>(doc.m_poSeqList.size()))
        return;
    const std::string& name = doc.m_poSeqList[sequence]->m_strName;
    MoveCellIn(EventEditorOf(doc, name), param == -1 ? 3 : param + 4, event, this);
}

void RegisterCompileView(platform::qt::ViewRegistry& registry, ViewServices& services) {
    RegisterTypedView<CCompileView, CVLDoc>(registry, "CCompileView", services);
}
