#include "pactwright/pactwright_view.h"

#include "pactwright/core/command_tree_model.h"
#include "pactwright/core/item_rows.h"
#include "pactwright/core/protocol_listing.h"
#include "pactwright/pactwright_ids.h"
#include "pactwright/protocol_cel.h"
#include "platform/qt/gdi.h"
#include "platform/qt/print_pages.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/ui_services.h"
#include "views/gridbase/listing_layout.h"
#include "views/gridbase/print_services.h"
#include "views/gridbase/vl_cel_ctrl.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QResizeEvent>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <new>

using namespace pw_ids;
using platform::qt::ListingFont;
using platform::qt::ToQString;

namespace pactwright {

namespace {

constexpr int kMinimumColumnWidth = 75;

} // namespace

CPactwrightView::CPactwrightView(CPactwrightDoc& doc, PactwrightServices& services, QWidget* parent)
    : QWidget(parent), doc_(doc), services_(services), grid_(new ProtocolCel(*this)) {
    grid_->setParent(this);
    grid_->hide();
    setFocusPolicy(Qt::StrongFocus);
    commands_
        .On(
            kEditCopy, [this] { OnEditCopy(); }, [this](auto& ui) { ui.Enable(CellTextActive()); })
        .On(
            kEditCut, [this] { OnEditCut(); }, [this](auto& ui) { ui.Enable(CellTextActive()); })
        .On(
            kEditPaste, [this] { OnEditPaste(); },
            [this](auto& ui) {
                const QMimeData* data = QGuiApplication::clipboard()->mimeData();
                ui.Enable(CellTextActive() && data && data->hasText());
            })
        .On(
            kRemoveParam, [this] { OnRemoveParam(); },
            [this](auto& ui) { ui.Enable(RemovableNumber("Param") > 0); })
        .On(
            kRemoveByte, [this] { OnRemoveByte(); },
            [this](auto& ui) { ui.Enable(RemovableNumber("Byte") > 0); })
        .On(kFilePrint, [this] { PrintListing(); })
        .On(kFilePrintPreview, [this] { PrintPreview(); });
}

CPactwrightView::~CPactwrightView() = default;

CPactwrightDoc* CPactwrightView::GetPactwrightDoc() const {
    return dynamic_cast<CPactwrightDoc*>(GetDocument());
}

void CPactwrightView::OnAttached() {
    if (gridCreated_)
        return;
    gridCreated_ = true;
    grid_->SetPrintServices(services_.printing);
    grid_->CreateInParent(0, QRect(0, 0, 50, 50), this, services_.nextGridId++);
    grid_->setGeometry(rect());
}

void CPactwrightView::OnInitialUpdate() {
    OnAttached();
    CELCell cell;
    grid_->FetchGridDefault(cell);
    cell.SetEdgeStyle(0x2000);
    cell.SetBackground(platform::qt::RGB(255, 255, 200));
    grid_->StoreGridDefault(cell);
    grid_->EnableBlockSelection(0);
    grid_->SetColumnCount(2, false);
    grid_->WriteCellText(0, -1, "Heading");
    grid_->WriteCellText(1, -1, "Data");
    grid_->SetRowCount(0, false);
    grid_->RepaintAll();
}

void CPactwrightView::FillGrid(int item) {
    if (grid_->IsEditing())
        grid_->AbandonEdit();
    grid_->EnablePainting(false);
    const std::vector<GridRow> rows = RowsOfItem(doc_.Protocol(), item);
    grid_->SetRowCount(static_cast<int>(rows.size()), false);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int row = static_cast<int>(r);
        char number[16];
        std::snprintf(number, sizeof number, "%2d", row + 1);
        grid_->WriteCellText(-1, row, number);
        grid_->WriteCellText(0, row, rows[r].heading);
        grid_->WriteCellText(1, row, rows[r].data);
    }
    shownItem_ = item;
    shownCommand_ = CommandOfItem(doc_.Protocol(), item);
    grid_->EnablePainting(true);
    grid_->FitColumnWidths(0, 1, 0, 1);
    for (int c = 0; c < 2; ++c) {
        int width = 0;
        if (grid_->ReadColumnWidth(c, width) == 0 && width < kMinimumColumnWidth)
            grid_->ResizeColumn(c, kMinimumColumnWidth);
    }
    grid_->RepaintAll();
}

void CPactwrightView::OnUpdate(platform::View*, long hint, void* object) {
    if (hint == kHintRebuild) {
        // The same command under its new number, or the device when it is gone.
        if (shownItem_ > 0) {
            int item = kDeviceItem;
            const auto& list = doc_.Protocol().m_poCmndList;
            for (std::size_t i = 0; i < list.size(); ++i)
                if (list[i].get() == shownCommand_)
                    item = static_cast<int>(i) + 1;
            FillGrid(item);
        } else if (shownItem_ == kDeviceItem) {
            FillGrid(kDeviceItem);
        }
    } else if (hint == kHintItemChanged) {
        if ((object && object == shownCommand_) || (!object && shownItem_ == kDeviceItem))
            FillGrid(shownItem_);
    }
}

void CPactwrightView::ItemChanged() {
    doc_.SetModifiedFlag(true);
    doc_.UpdateAllViews(this, kHintItemChanged, const_cast<CCmnd*>(shownCommand_));
}

bool CPactwrightView::StoreEdit(int row, std::string& text) {
    if (shownItem_ == kCategoryItem)
        return true;
    const char* heading = grid_->ReadCellText(0, row);
    const StoreResult result =
        StoreItemText(doc_.Protocol(), shownItem_, row, heading ? heading : "", text);
    if (!result.refusal.empty()) {
        platform::ShowMessage(result.refusal, platform::MsgButtons::Ok,
                              platform::MsgIcon::Exclamation);
        return false;
    }
    if (!result.stored)
        return true;
    // What was stored, line breaks made blanks, is what the cell shows.
    text = OneLine(text);
    doc_.SetModifiedFlag(true);
    if (result.rebuildTree)
        doc_.UpdateAllViews(this, kHintRebuild);
    else
        doc_.UpdateAllViews(this, kHintItemChanged, const_cast<CCmnd*>(shownCommand_));
    return true;
}

bool CPactwrightView::CellTextActive() const {
    return grid_->GetActiveColumn() == 1 && grid_->GetActiveRow() >= 0 &&
           grid_->GetActiveRow() < grid_->GetRowCount() && shownItem_ >= 0;
}

void CPactwrightView::DeleteActiveCell() {
    if (!CellTextActive())
        return;
    const int row = grid_->GetActiveRow();
    grid_->EraseCell(1, row);
    grid_->RedrawCell(1, row);
    std::string empty;
    if (!StoreEdit(row, empty))
        FillGrid(shownItem_); // refused: the cell shows the stored text again
}

void CPactwrightView::OnEditCopy() {
    if (!CellTextActive())
        return;
    const char* text = grid_->ReadCellText(1, grid_->GetActiveRow());
    grid_->CopyTextToClipboard(text ? text : "");
}

void CPactwrightView::OnEditCut() {
    if (!CellTextActive())
        return;
    OnEditCopy();
    DeleteActiveCell();
}

void CPactwrightView::OnEditPaste() {
    if (!CellTextActive())
        return;
    std::string text;
    if (grid_->PasteTextFromClipboard(text) != 0) {
        platform::ShowMessage("There was no Text in the clipboard");
        return;
    }
    const int row = grid_->GetActiveRow();
    if (!StoreEdit(row, text)) {
        FillGrid(shownItem_);
        return;
    }
    grid_->WriteCellText(1, row, text);
    grid_->RedrawCell(1, row);
}

int CPactwrightView::RemovableNumber(const char* prefix) const {
    if (!shownCommand_ || grid_->GetActiveRow() < 0)
        return 0;
    const char* heading = grid_->ReadCellText(0, grid_->GetActiveRow());
    if (!heading)
        return 0;
    return std::string_view(prefix) == "Param" ? ParamNumber(heading) : ByteNumber(heading);
}

void CPactwrightView::OnNewParam() {
    if (CCmnd* c = CommandOfItem(doc_.Protocol(), shownItem_)) {
        AddParam(*c);
        FillGrid(shownItem_);
        ItemChanged();
    }
}

void CPactwrightView::OnNewByte() {
    if (CCmnd* c = CommandOfItem(doc_.Protocol(), shownItem_)) {
        AddByte(*c);
        FillGrid(shownItem_);
        ItemChanged();
    }
}

void CPactwrightView::OnRemoveParam() {
    CCmnd* c = CommandOfItem(doc_.Protocol(), shownItem_);
    if (const int k = RemovableNumber("Param"); c && k > 0 && RemoveParam(*c, k)) {
        FillGrid(shownItem_);
        ItemChanged();
    }
}

void CPactwrightView::OnRemoveByte() {
    CCmnd* c = CommandOfItem(doc_.Protocol(), shownItem_);
    if (const int k = RemovableNumber("Byte"); c && k > 0 && RemoveByte(*c, k)) {
        FillGrid(shownItem_);
        ItemChanged();
    }
}

// ---- Printing ----

bool CPactwrightView::BeginPrinting(QPrinter& printer) {
    lineHeight_ = printer.logicalDpiY() / 7;
    pageHeight_ = printer.height() - printer.logicalDpiY();
    bool built = true;
    {
        platform::WaitCursor wait;
        try {
            listing_ = BuildListing(doc_.Protocol());
        } catch (const std::bad_alloc&) {
            listing_.clear();
            built = false;
        }
    }
    if (!built) {
        platform::ShowMessage("Could not allocate memory for print!");
        return false;
    }
    const int L = lineHeight_;
    bodyFont_ = ListingFont("Courier New", L * 4 / 5, 400, false);
    sectionFont_ = ListingFont("Arial", L + L / 4, 700, false);
    commentFont_ = ListingFont("Courier New", L * 4 / 5, 400, true);
    return true;
}

int CPactwrightView::PaginateListing(QPainter* dc, int page, int lastPage) {
    if (dc)
        dc->setFont(bodyFont_);
    const int pages = LayoutListing(
        listing_, lineHeight_, pageHeight_, dc ? page : 0, [&](const ListingLine& line) {
            dc->setFont(line.style == ListingLine::Section   ? sectionFont_
                        : line.style == ListingLine::Comment ? commentFont_
                                                             : bodyFont_);
            platform::qt::DrawTextTop(*dc, 0, line.y, ToQString(ShownListingText(line)), 0x000000);
            dc->setFont(bodyFont_);
        });
    if (dc && page >= 1 && page <= pages && dc->device()) {
        const CProtocol& p = doc_.Protocol();
        platform::qt::DrawPageBands(*dc, PrintHeaderFont(*dc->device()),
                                    {ToQString(p.m_strDescription),
                                     QStringLiteral("Protocol Listing"),
                                     QStringLiteral("Page %1 of %2").arg(page).arg(lastPage),
                                     QStringLiteral("Brevant Velmora"), ToQString(p.m_strAuthor),
                                     ToQString(PrintDateText())});
    }
    return pages;
}

void CPactwrightView::RenderJob(QPrinter& printer, int lastPage) {
    platform::qt::PrintPages(printer, lastPage, [this, lastPage](QPainter& painter, int page) {
        PaginateListing(&painter, page, lastPage);
    });
}

void CPactwrightView::PrintListing() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(ToQString(doc_.GetTitle()));
    if (services_.printing) {
        views::SetUpPrinter(*services_.printing, printer);
        if (!views::AskPrinter(*services_.printing, printer, this, true))
            return;
    }
    if (BeginPrinting(printer))
        RenderJob(printer, PaginateListing(nullptr, 0, 0));
    listing_.clear();
}

void CPactwrightView::PrintPreview() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(ToQString(doc_.GetTitle()));
    if (services_.printing)
        views::SetUpPrinter(*services_.printing, printer);
    // Each rendering lays the listing out for the printer it is given.
    auto render = [this](QPrinter& target) {
        if (BeginPrinting(target))
            RenderJob(target, PaginateListing(nullptr, 0, 0));
    };
    if (services_.printing && services_.printing->preview) {
        services_.printing->preview(this, render);
    } else {
        QPrintPreviewDialog dialog(&printer, this);
        // Two pages side by side, once the dialog has set its own view up.
        if (auto* preview = dialog.findChild<QPrintPreviewWidget*>())
            QTimer::singleShot(0, preview, [preview] {
                preview->setViewMode(QPrintPreviewWidget::FacingPagesView);
                preview->fitInView();
            });
        connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
                [&render](QPrinter* target) { render(*target); });
        dialog.exec();
    }
    listing_.clear();
}

bool CPactwrightView::OnCommand(unsigned id) {
    return commands_.Run(id);
}

bool CPactwrightView::OnUpdateCommand(unsigned id, platform::qt::CommandUi& ui) {
    return commands_.Update(id, ui);
}

bool CPactwrightView::HasCommandHandler(unsigned id) const {
    return commands_.Has(id);
}

void CPactwrightView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    grid_->setGeometry(rect());
}

void CPactwrightView::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    grid_->setFocus();
}

} // namespace pactwright
