#include "views/reports/list_views.h"

#include "platform/qt/mdi_template.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/ui_services.h"
#include "views/reports/compile_view.h"
#include "views/reports/popup_dialog.h"

#include <QFontDatabase>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>

using platform::qt::FromQString;
using platform::qt::ToQString;

VL_CListView::VL_CListView(QWidget* parent) : QWidget(parent), list_(new QListWidget(this)) {
    list_->setObjectName(QStringLiteral("ctl_101"));
    list_->setSortingEnabled(false);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    setFocusProxy(list_);
}

void VL_CListView::ClearLines() {
    list_->clear();
    repaint();
}

void VL_CListView::AppendLine(const std::string& text) {
    list_->addItem(ToQString(text));
}

std::vector<std::string> VL_CListView::Lines() const {
    std::vector<std::string> lines;
    for (int i = 0; i < list_->count(); ++i)
        lines.push_back(FromQString(list_->item(i)->text()));
    return lines;
}

std::vector<std::string> DatViewLines(std::size_t length, std::uint16_t checksum, bool valid) {
    char text[64];
    std::vector<std::string> lines;
    std::snprintf(text, sizeof text, "The Size is %zu", length);
    lines.emplace_back(text);
    if (valid) {
        std::snprintf(text, sizeof text, "The Checksum is %4.4X", unsigned(checksum));
        lines.emplace_back(text);
        lines.emplace_back("The Checksum passed validation");
    } else {
        lines.emplace_back();
        lines.emplace_back("This file IS NOT a valid DAT file!");
    }
    lines.emplace_back();
    lines.emplace_back("The DAT file is the compiled KSF Script. It is saved to disk");
    lines.emplace_back("whenever you compile. You can download it to a Show Controller,");
    lines.emplace_back("and can also retrieve it from the Show Controller.");
    lines.emplace_back("By using the checksum and size information you can compare");
    lines.emplace_back("different DAT files to determine which is currently");
    lines.emplace_back("loaded into your show controller.");
    lines.emplace_back();
    return lines;
}

std::vector<std::string> HexDumpLines(const std::vector<std::uint8_t>& image) {
    std::vector<std::string> lines{"This is a Hexadecimal/ASCII dump of the compiled DAT file", ""};
    const std::size_t length = image.size();
    char cell[8];
    for (std::size_t o = 0; o < length; o += 16) {
        std::snprintf(cell, sizeof cell, "%4.4X: ", unsigned(o & 0xFFFF));
        std::string line = cell;
        for (std::size_t half = 0; half < 16; half += 8) {
            for (std::size_t i = o + half; i < o + half + 8; ++i) {
                if (i < length) {
                    std::snprintf(cell, sizeof cell, "%2.2X ", unsigned(image[i]));
                    line += cell;
                } else {
                    line += "   ";
                }
            }
            line += ' ';
        }
        line.pop_back(); // one blank between the halves, none before the bar
        line += "| ";
        for (std::size_t i = o; i < o + 16; ++i) {
            if (i >= length) {
                line += ' ';
                continue;
            }
            const std::uint8_t b = image[i];
            const bool shown = (b >= 0x20 && b <= 0x7F) || (b >= 0xA1 && b <= 0xFE);
            line += shown ? char(b) : '.';
        }
        line += " |";
        lines.push_back(std::move(line));
    }
    return lines;
}

namespace {

// Moves the view's frame to the top left of the area and gives it its size.
void PlaceFrame(platform::qt::MdiChildFrame* frame, int width, int height,
                const std::string& title) {
    if (!frame)
        return;
    QSize size(width, height);
    if (QMdiArea* area = frame->mdiArea())
        size = size.boundedTo(area->viewport()->size()); // never past the area, at any scale
    frame->setGeometry(QRect(QPoint(0, 0), size));
    frame->setWindowTitle(ToQString(title));
}

} // namespace

CDatView::CDatView(std::function<void(CDatDoc&)> shown, QWidget* parent)
    : VL_CListView(parent), shown_(std::move(shown)) {
    // The lines never stay highlighted.
    connect(&List(), &QListWidget::itemSelectionChanged, this, [this] {
        if (!List().selectedItems().isEmpty())
            List().clearSelection();
    });
}

void CDatView::OnInitialUpdate() {
    auto* doc = dynamic_cast<CDatDoc*>(GetDocument());
    PlaceFrame(Frame(), 600, 400, doc ? doc->GetTitle() : std::string());
    ClearLines();
    if (!doc)
        return;
    for (const std::string& line :
         DatViewLines(doc->FileSize(), doc->StoredChecksum(), doc->ChecksumValid()))
        AddLine(line);
    if (shown_) {
        // Asked of the main frame once this view is up; the document is this view's own.
        QPointer<CDatView> self(this);
        QTimer::singleShot(0, this, [self] {
            if (!self)
                return;
            if (auto* d = dynamic_cast<CDatDoc*>(self->GetDocument()))
                self->shown_(*d);
        });
    }
}

void CDatView::AddLine(const std::string& text) {
    AppendLine(text);
    repaint();
}

CDatHexView::CDatHexView(QWidget* parent) : VL_CListView(parent) {}

void CDatHexView::OnInitialUpdate() {
    auto* doc = dynamic_cast<CDatDoc*>(GetDocument());
    PlaceFrame(Frame(), 640, 400, doc ? doc->GetTitle() : std::string());
    ClearLines();
    List().setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    FillDump();
}

void CDatHexView::FillDump() {
    auto* doc = dynamic_cast<CDatDoc*>(GetDocument());
    if (!doc)
        return;
    platform::WaitCursor wait;
    QStringList items;
    for (const std::string& line : HexDumpLines(doc->Image()))
        items << ToQString(line);
    List().addItems(items);
}

void RegisterReportViews(platform::qt::ViewRegistry& registry, ViewServices& services,
                         std::function<void(CDatDoc&)> datViewShown) {
    // The image views show compiled images only.
    registry.RegisterView(
        "CDatView",
        [datViewShown](platform::Document& document, QWidget*) -> platform::qt::CreatedView {
            if (!dynamic_cast<CDatDoc*>(&document))
                return {};
            auto* view = new CDatView(datViewShown);
            return {view, view};
        });
    registry.RegisterView("CDatHexView",
                          [](platform::Document& document, QWidget*) -> platform::qt::CreatedView {
                              if (!dynamic_cast<CDatDoc*>(&document))
                                  return {};
                              auto* view = new CDatHexView;
                              return {view, view};
                          });
    RegisterCompileView(registry, services);
    registry.RegisterDialog<::CPopupDlg>([](::CPopupDlg& request) {
        reports::ShowPopup(request);
        return true;
    });
}
