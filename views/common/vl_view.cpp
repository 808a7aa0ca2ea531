#include "views/common/vl_view.h"

#include "controls/grid/cel_parts.h"
#include "platform/paths.h"
#include "platform/qt/gdi.h"
#include "platform/qt/print_pages.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/ui_services.h"
#include "script/view_kind.h"
#include "views/common/update_hints.h"
#include "views/gridbase/print_services.h"
#include "views/gridbase/vl_cel_ctrl.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QResizeEvent>
#include <algorithm>
#include <new>

using platform::qt::ListingFont;
using platform::qt::ToQString;

CVLView::CVLView(CVLDoc& doc, ViewServices& services, QWidget* parent)
    : QWidget(parent), doc_(doc), services_(services) {
    commands_.On(vl_ids::kFilePrint, [this] { PrintListing(false); })
        .On(vl_ids::kFilePrintDirect, [this] { PrintListing(true); })
        .On(vl_ids::kFilePrintPreview, [this] { PrintPreview(); });
    setAttribute(Qt::WA_OpaquePaintEvent); // the grid paints the whole area
    setFocusPolicy(Qt::StrongFocus);
}

CVLView::~CVLView() = default;

platform::View* EventEditorOf(const CVLDoc& doc, const std::string& sequenceName) {
    for (platform::View* view : doc.Views())
        if (HasRole(*view, &ViewKind::eventEditor) &&
            platform::EqualsNoCase(view->ViewSubject(), sequenceName))
            return view;
    return nullptr;
}

void CVLView::CreateGrid(VLCELCtrl* grid) {
    grid_ = grid;
    grid_->setParent(this);
    grid_->hide();
    if (GetDocument())
        OnAttached();
}

void CVLView::OnAttached() {
    if (!grid_ || gridCreated_)
        return;
    gridCreated_ = true;
    grid_->SetCellTipsOnCreate(services_.Settings().spreadsheetHints);
    grid_->SetPrintServices(&services_.Printing());
    grid_->CreateInParent(0, QRect(0, 0, 50, 50), this, services_.NextGridId());
    grid_->setGeometry(rect());
}

void CVLView::OnUpdate(platform::View*, long hint, void* object) {
    if (HintConcernsView(hint, object))
        update();
}

bool CVLView::HintConcernsView(long hint, const void* object) const {
    return hints::Concerns(hint, object, ShownSequence());
}

void CVLView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (grid_) {
        grid_->setGeometry(rect());
        grid_->RepaintAll();
    }
}

void CVLView::focusInEvent(QFocusEvent* event) {
    // Focus may still reach a view whose frame is closing, after its script has gone.
    if (GetDocument())
        Doc().SetStatusProgress("", -1);
    QWidget::focusInEvent(event);
    if (grid_)
        grid_->setFocus();
}

void CVLView::paintEvent(QPaintEvent*) {
    OnDraw();
}

namespace {

// The open cell editor of the grid, when there is one: the clipboard commands are its own. Their
// keys (Ctrl+V, Shift+Insert, Ctrl+C, ...) are the frame's accelerators, which reach the view
// before the editor sees the key.
CELEdit* OpenEditor(const VLCELCtrl* grid) {
    if (!grid || !grid->IsEditing() || !grid->Editor() || !grid->Editor()->isVisible())
        return nullptr;
    return grid->Editor();
}

bool IsClipboardCommand(unsigned id) {
    return id == vl_ids::kEditCut || id == vl_ids::kEditCopy || id == vl_ids::kEditPaste;
}

// Takes the enabled state an update handler decides.
struct EnabledProbe : platform::qt::CommandUi {
    explicit EnabledProbe(unsigned id) : CommandUi(id) {}
    void Enable(bool on) override { enabled = on; }
    void SetCheck(int) override {}
    void SetText(const QString&) override {}
    bool enabled = true;
};

} // namespace

bool CVLView::HasCommandHandler(unsigned id) const {
    return (IsClipboardCommand(id) && OpenEditor(grid_)) || commands_.Has(id);
}

bool CVLView::OnCommand(unsigned id) {
    if (CELEdit* editor = OpenEditor(grid_); editor && IsClipboardCommand(id)) {
        if (id == vl_ids::kEditCut)
            editor->cut();
        else if (id == vl_ids::kEditCopy)
            editor->copy();
        else
            editor->paste();
        return true;
    }
    // A greyed clipboard command does nothing, also when its key brings it.
    if (IsClipboardCommand(id)) {
        EnabledProbe probe(id);
        if (commands_.Update(id, probe) && !probe.enabled)
            return true;
    }
    return commands_.Run(id);
}

bool CVLView::OnUpdateCommand(unsigned id, platform::qt::CommandUi& ui) {
    if (CELEdit* editor = OpenEditor(grid_); editor && IsClipboardCommand(id)) {
        const bool selected = editor->textCursor().hasSelection();
        ui.Enable(id == vl_ids::kEditPaste ? editor->canPaste() : selected);
        return true;
    }
    return commands_.Update(id, ui);
}

void CVLView::ReplaceInGrid() {
    CVLDoc& doc = Doc();
    if (!grid_)
        return;
    grid_->SetFindAllColumns(true);
    grid_->OpenFindReplaceDialog();
    // Whatever the dialog replaces reaches the model when it closes; the script is taken as
    // changed now.
    doc.MarkForCompile();
    doc.SetModifiedFlag(true);
}

void CVLView::FindInGrid() {
    if (!grid_)
        return;
    grid_->SetFindAllColumns(true);
    grid_->OpenFindDialog();
}

void CVLView::OfferTableCommands(TableCommands table) {
    commands_.On(vl_ids::kEditFind, [this] { FindInGrid(); });
    if (table.replace)
        commands_.On(vl_ids::kEditReplace, std::move(table.replace));
    else
        commands_.On(vl_ids::kEditReplace, [this] { FindInGrid(); });
    if (table.autoSize)
        commands_.On(vl_ids::kAutoSizeColumns, std::move(table.autoSize));
    if (table.printSubtitle) {
        commands_.On(vl_ids::kPrintGrid, [this, subtitle = *table.printSubtitle] {
            CVLDoc& doc = Doc();
            if (grid_)
                grid_->PrintGridCommand(doc.GetScriptName(), doc.m_strAuthor1, subtitle);
        });
    }
}

std::uint16_t CVLView::StoredColumnWidth(int pixels) {
    const long stored = static_cast<long>(std::max(0, pixels)) * 35;
    return static_cast<std::uint16_t>(std::min(stored, 65535L));
}

void CVLView::ApplyColumnWidths(CVLDoc::ColGroup group) {
    CVLDoc& doc = Doc();
    if (!grid_)
        return;
    for (std::size_t i = 0; i < group.count && int(i) < grid_->GetColumnCount(); ++i)
        grid_->ResizeColumn(int(i), doc.m_awColWidths[group.first + i] / 35);
}

void CVLView::StoreColumnWidths(CVLDoc::ColGroup group) {
    CVLDoc& doc = Doc();
    if (!grid_)
        return;
    for (std::size_t i = 0; i < group.count && int(i) < grid_->GetColumnCount(); ++i)
        doc.m_awColWidths[group.first + i] = StoredColumnWidth(grid_->GetColumnWidth(int(i)));
}

void CVLView::AutoSizeColumns(int minimum) {
    if (!grid_ || grid_->GetColumnCount() <= 0)
        return;
    grid_->FitColumnWidths(0, grid_->GetColumnCount() - 1, 0, 2);
    for (int c = 0; c < grid_->GetColumnCount(); ++c)
        if (grid_->GetColumnWidth(c) < minimum)
            grid_->ResizeColumn(c, minimum);
    int width = grid_->GetColumnWidth(0);
    grid_->NotifyColumnSized(0, width);
    grid_->RepaintAll();
}

bool CVLView::OnPreparePrinting(CPrintInfo& info, QPrinter& printer) {
    listing_.clear();
    CVLDoc& doc = Doc();
    views::ListingChoice choice;
    if (services_.Printing().askListing)
        choice = services_.Printing().askListing(this, info.preview);
    hints::SendRepaint(doc);
    const int sequences = static_cast<int>(doc.m_poSeqList.size());
    if (choice.answer == 1) {
        sections_ = choice.sections;
        // A range beyond the script lists what the script has.
        firstSeq_ = std::max(1, choice.first);
        lastSeq_ = std::min(sequences, choice.last);
    } else if (choice.answer == 3) {
        sections_ = 0x7FFF;
        firstSeq_ = 1;
        lastSeq_ = sequences;
    } else {
        return false;
    }
    savedWriteHeaders_ = doc.m_nWriteHeaders;
    doc.m_nWriteHeaders = 1;
    headersForced_ = true;
    printer.setDocName(ToQString(doc.GetTitle()));
    if (!info.preview && !info.direct &&
        !views::AskPrinter(services_.Printing(), printer, this, true)) {
        doc.m_nWriteHeaders = savedWriteHeaders_;
        headersForced_ = false;
        return false;
    }
    return true;
}

bool CVLView::OnBeginPrinting(QPaintDevice& device, CPrintInfo& info) {
    CVLDoc& doc = Doc();
    lineHeight_ = device.logicalDpiY() / 7;
    pageBottom_ = device.height() - device.logicalDpiY();
    {
        platform::WaitCursor wait;
        bool written = false;
        try {
            // The writer's own counting pass sizes the buffer to the text.
            written = doc.WriteScriptToBuffer(sections_, firstSeq_, lastSeq_);
            if (written)
                listing_.assign(doc.WrittenText());
        } catch (const std::bad_alloc&) {
            doc.FreeFileBuffer();
            listing_.clear();
            platform::Ui().EndWaitCursor();
            platform::ShowMessage("Could not allocate memory for print!");
            platform::Ui().BeginWaitCursor();
            return false;
        }
        doc.FreeFileBuffer();
        if (!written) {
            listing_.clear();
            platform::Ui().EndWaitCursor();
            platform::ShowMessage("File could not be printed successfully!");
            platform::Ui().BeginWaitCursor();
            return false;
        }
    }
    const int L = lineHeight_;
    bodyFont_ = ListingFont("Courier", L, 400, false);
    sectionFont_ = ListingFont("Arial", L + L / 2, 700, false);
    commentFont_ = ListingFont("Courier", L, 400, true);
    info.maxPage = PrintListingPage(nullptr, false, info);
    return true;
}

void CVLView::OnPrint(QPainter& dc, CPrintInfo& info) {
    PrintListingPage(&dc, true, info);
}

void CVLView::OnEndPrinting(CPrintInfo&) {
    if (headersForced_) {
        Doc().m_nWriteHeaders = savedWriteHeaders_;
        headersForced_ = false;
    }
    listing_.clear();
    listing_.shrink_to_fit();
}

int CVLView::PrintListingPage(QPainter* dc, bool draw, CPrintInfo& info) {
    const int T = info.currentPage;
    const bool drawing = draw && dc;
    if (drawing)
        dc->setFont(bodyFont_);
    const int pages = LayoutListing(
        listing_, lineHeight_, pageBottom_, drawing ? T : 0, [&](const ListingLine& line) {
            const QFont& font = line.style == ListingLine::Section   ? sectionFont_
                                : line.style == ListingLine::Comment ? commentFont_
                                                                     : bodyFont_;
            dc->setFont(font);
            platform::qt::DrawTextTop(*dc, 0, line.y, ToQString(ShownListingText(line)), 0x000000);
            dc->setFont(bodyFont_);
        });
    if (drawing && T >= 1 && T <= pages && dc->device()) {
        CVLDoc& doc = Doc();
        platform::qt::DrawPageBands(*dc, PrintHeaderFont(*dc->device()),
                                    {ToQString(doc.GetScriptName()),
                                     QStringLiteral("Script Listing"),
                                     QStringLiteral("Page %1 of %2").arg(T).arg(info.maxPage),
                                     QStringLiteral("Brevant Velmora"), ToQString(doc.m_strAuthor1),
                                     ToQString(PrintDateText())});
    }
    return pages;
}

void CVLView::RenderJob(QPrinter& printer, CPrintInfo& info) {
    platform::qt::PrintPages(printer, info.maxPage, [this, &info](QPainter& painter, int page) {
        info.currentPage = page;
        OnPrint(painter, info);
    });
}

void CVLView::PrintListing(bool direct) {
    CPrintInfo info;
    info.direct = direct;
    QPrinter printer(QPrinter::HighResolution);
    views::SetUpPrinter(services_.Printing(), printer);
    if (!OnPreparePrinting(info, printer))
        return;
    // A failure before the pages ends the job: nothing reaches the printer.
    if (OnBeginPrinting(printer, info))
        RenderJob(printer, info);
    OnEndPrinting(info);
}

void CVLView::PrintPreview() {
    CPrintInfo info;
    info.preview = true;
    QPrinter printer(QPrinter::HighResolution);
    views::SetUpPrinter(services_.Printing(), printer);
    if (!OnPreparePrinting(info, printer))
        return;
    if (OnBeginPrinting(printer, info)) {
        // The preview may change the page: each rendering lays the text out for its printer.
        auto render = [this, &info](QPrinter& target) {
            lineHeight_ = target.logicalDpiY() / 7;
            pageBottom_ = target.height() - target.logicalDpiY();
            const int L = lineHeight_;
            bodyFont_ = ListingFont("Courier", L, 400, false);
            sectionFont_ = ListingFont("Arial", L + L / 2, 700, false);
            commentFont_ = ListingFont("Courier", L, 400, true);
            info.maxPage = PrintListingPage(nullptr, false, info);
            RenderJob(target, info);
        };
        if (services_.Printing().preview) {
            services_.Printing().preview(this, render);
        } else {
            QPrintPreviewDialog dialog(&printer, this);
            connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
                    [&render](QPrinter* target) { render(*target); });
            dialog.exec();
        }
    }
    OnEndPrinting(info);
}
