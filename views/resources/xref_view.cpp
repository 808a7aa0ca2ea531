#include "views/resources/xref_view.h"

#include "compiler/name_lookups.h"
#include "controls/dialogkit/dialog_kit.h"
#include "controls/grid/cel_cell.h"
#include "controls/grid/cel_parts.h"
#include "platform/paths.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/ui_services.h"
#include "script/event.h"
#include "views/common/update_hints.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kHeadings[8] = {"Type",     "#",      "Name",       "Used in Seq#",
                                      "Seq Name", "Event#", "Event Type", "Comment"};
constexpr const char* kTips[8] = {"Resource Type: Input, Output, Flag, Var, Port, LCD or Data",
                                  "Resource Number (within its Type)",
                                  "Resource Name",
                                  "Number of Sequence in which Resource Appears",
                                  "Name of Sequence in which Resource Appears",
                                  "Number of Event in Sequence where Resource Appears",
                                  "Type of Event in Sequence where Resource Appears",
                                  "Documentation"};
constexpr const char* kTriggerNames[4] = {"Start Trigger", "Stop Trigger", "Pause Trigger",
                                          "Reset Trigger"};
constexpr int kNumericMatch = 19;

struct KindLook {
    int kind;
    const char* type;
    COLORREF colour;
};
constexpr KindLook kLooks[] = {
    {1, "Input", 0xB6FF9D}, {2, "Output", 0xC4C4FF}, {3, "Flag", 0xA0C8FF},
    {4, "Var", 0xFFFFC8},   {5, "Port", 0xFFDCFF},   {6, "LCD", 0xC8DCF0},
    {7, "Data", 0xE6E6E6},  {8, "Seq", 0xE6FFE6},    {kNumericMatch, "Var(Num Match)", 0xFFFFC8},
};

const KindLook* LookOf(int kind) {
    for (const KindLook& look : kLooks)
        if (look.kind == kind)
            return &look;
    return nullptr;
}

std::string Format(const char* format, int value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

bool HasLetter(const std::string& text) {
    for (const char c : text)
        if (std::isalpha(static_cast<unsigned char>(c)))
            return true;
    return false;
}

} // namespace

// ---- DCXRefProgressDlg ----

DCXRefProgressDlg::DCXRefProgressDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Generating Resource Cross Reference ..."));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    stage_ = dialogs::Named(
        new QLabel(QStringLiteral("Searching Through Sequences for Resources ..."), this), 406);
    bar_ = dialogs::Named(new QProgressBar(this), 405);
    bar_->setRange(0, 100);
    bar_->setValue(1);
    entry_ = dialogs::Named(new QLabel(QStringLiteral("The Resources Found Are Listed Here"), this),
                            407);
    layout->addWidget(stage_);
    layout->addWidget(bar_);
    layout->addWidget(entry_);
    auto* cancel = dialogs::MakeButton(QStringLiteral("Cancel"), 2, this);
    connect(cancel, &QPushButton::clicked, this, [this] { cancel_ = true; });
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
    resize(360, 150);
    dialogs::CentreOnDesktop(*this);
    show();
}

void DCXRefProgressDlg::Pump() {
    QCoreApplication::processEvents();
}

bool DCXRefProgressDlg::CheckCancel() {
    Pump();
    const bool cancel = cancel_;
    cancel_ = false;
    return cancel;
}

void DCXRefProgressDlg::SetProgress(int percent) {
    Pump();
    bar_->setValue(percent);
}

void DCXRefProgressDlg::SetStage(const std::string& text) {
    stage_->setText(platform::qt::ToQString(text));
}

void DCXRefProgressDlg::SetEntry(const std::string& text) {
    entry_->setText(platform::qt::ToQString(text));
}

// ---- XRefCel ----

XRefCel::XRefCel(CXRefView& view) : ResourceCel(view), view_(view) {}

void XRefCel::NotifySideHeadingLeftClick(int, int row, int down, const QRect&, const QPoint&, int) {
    if (!down || row < 0 || row >= GetRowCount())
        return;
    ClearBlockSelection();
    RepaintAll();
    MoveActiveCell(0, row);
    SelectBlock(0, row, 7, row);
}

void XRefCel::NotifyCellDoubleClick(int, int row, const QRect&, const QPoint&, int) {
    view_.GoToEntry(row);
}

void XRefCel::NotifySideHeadingDoubleClick(int, int row, const QRect&, const QPoint&, int) {
    view_.GoToEntry(row);
}

int XRefCel::GetCellTipText(int column, int, int section, std::string& text) {
    if (section != 1 || column < 0 || column > 7)
        return 0;
    text = kTips[column];
    return 1;
}

// ---- CXRefView ----

CXRefView::CXRefView(CVLDoc& doc, ViewServices& services, QWidget* parent)
    : CResourceView(doc, services, parent), cel_(new XRefCel(*this)) {
    CreateGrid(cel_);
    // The cross reference is read-only: Replace only finds.
    OfferTableCommands({[this] { AutoSizeColumns(); }, nullptr, std::string("Cross Reference")});
}

void CXRefView::OnInitialUpdate() {
    BuildCrossReference();
    AutoSizeColumns();
    OnDraw();
}

void CXRefView::AddEntry(int kind, int index, const std::string& name, int sequence,
                         const std::string& sequenceName, const std::string& place,
                         const std::string& eventType, const std::string& comment) {
    const int row = entries_++;
    if (cel_->GetRowCount() < entries_)
        cel_->SetRowCount(entries_, false);
    const KindLook* look = LookOf(kind);
    const std::string texts[8] = {look ? look->type : "",
                                  Format("%3d", index + 1),
                                  name,
                                  Format("%3d", sequence + 1),
                                  sequenceName,
                                  place,
                                  eventType,
                                  comment};
    cel_->WriteCellText(-1, row, Format("%5.5d", entries_));
    for (int c = 0; c < 8; ++c) {
        cel_->WriteCellText(c, row, texts[c]);
        if (look) {
            CELCell cell;
            cel_->FetchCell(c, row, cell);
            cell.SetBackground(look->colour);
            cel_->StoreCell(c, row, cell);
        }
    }
}

void CXRefView::BuildCrossReference(XRefProgress* progress) {
    CVLDoc* doc = GetVLDoc();
    if (!doc)
        return;
    std::unique_ptr<DCXRefProgressDlg> dialog;
    if (!progress) {
        dialog = std::make_unique<DCXRefProgressDlg>(window());
        progress = dialog.get();
    }
    SetDefaultCell(*cel_, 0xFFFFFF, true);
    FitRowHeadings(*cel_, "00000");
    cel_->SetColumnCount(8, false);
    for (int c = 0; c < 8; ++c)
        cel_->WriteCellText(c, -1, kHeadings[c]);
    cel_->SetRowCount(0, false);
    cel_->SetRowCount(1, false);
    progress->SetStage("Searching Sequences for Resources ...");
    entries_ = 0;
    const int count = int(doc->m_poSeqList.size());
    bool cancelled = false;
    for (int s = 0; s < count; ++s) {
        if (progress->CheckCancel()) {
            cancelled = true;
            break;
        }
        progress->SetProgress(95 * s / count);
        // The dialog keeps the other windows from input; a script shorter than it was is still
        // never read past its end.
        if (s >= int(doc->m_poSeqList.size()))
            break;
        const CSeq& sequence = *doc->m_poSeqList[std::size_t(s)];
        const int before = entries_;
        auto add = [&](int kind, int index, const std::string& name, const std::string& place,
                       const std::string& eventType, const std::string& comment) {
            AddEntry(kind, index, name, s, sequence.m_strName, place, eventType, comment);
        };
        for (int t = 0; t < 4; ++t) {
            const CTrigger& trigger = sequence.m_aTriggers[std::size_t(t)];
            if (trigger.m_strIoName.empty())
                continue;
            const std::string place =
                std::string(kTriggerNames[t]) + (trigger.m_nGoesOn ? " Goes On" : " Goes Off");
            if (const int input = FindInput(*doc, trigger.m_strIoName); input >= 0)
                add(kOperandInput, input - 128, trigger.m_strIoName, place, "", "");
            else if (const int output = FindOutput(*doc, trigger.m_strIoName); output >= 0)
                add(kOperandOutput, output, trigger.m_strIoName, place, "", "");
            else
                add(kOperandNone, -1, trigger.m_strIoName, place, "", "");
        }
        for (int t = 0; t < 4; ++t) {
            const CTrigger& trigger = sequence.m_aTriggers[std::size_t(t)];
            if (!trigger.m_strVariable.empty())
                add(kOperandVariable, FindVariable(*doc, trigger.m_strVariable),
                    trigger.m_strVariable, kTriggerNames[t], "", "");
        }
        for (int t = 0; t < 4; ++t) {
            const CTrigger& trigger = sequence.m_aTriggers[std::size_t(t)];
            if (!trigger.m_strValue.empty())
                add(HasLetter(trigger.m_strValue) ? kOperandVariable : kNumericMatch,
                    FindVariable(*doc, trigger.m_strValue), trigger.m_strValue, kTriggerNames[t],
                    "", "");
        }
        int number = 0;
        for (const auto& event : sequence.m_poEventList) {
            ++number;
            const std::string place =
                Format("%6d", number) + (event->m_strSkip.empty() ? "" : " (Commented Out)");
            for (const std::string* operand :
                 {&event->m_strData1, &event->m_strData2, &event->m_strData3, &event->m_strData4}) {
                if (operand->empty() || !std::isalpha(static_cast<unsigned char>((*operand)[0])))
                    continue;
                int index = -1;
                const int kind = GetOperandKind(*doc, *operand, index);
                if (kind != kOperandNone)
                    add(kind, index, *operand, place, event->m_strEvent, event->m_strComment);
            }
        }
        for (int e = before + 1; e <= entries_; ++e) {
            char line[64];
            std::snprintf(line, sizeof line, "Found Resource %d in Sequence %d", e, s + 1);
            progress->SetEntry(line);
        }
    }
    if (entries_ > 0)
        cel_->SetRowCount(entries_, false);
    if (!cancelled) {
        progress->SetStage("Sorting Resources (this may take a moment)...");
        progress->SetEntry(" ");
        platform::WaitCursor wait;
        // Stable: the rows of one type keep the order in which they were found.
        cel_->SortRowsByColumn(0, 1);
        // The row headings number the rows as they now stand.
        for (int r = 0; r < entries_; ++r)
            cel_->WriteCellText(-1, r, Format("%5.5d", r + 1));
    }
    cel_->RepaintAll();
}

void CXRefView::GoToEntry(int row) {
    CVLDoc* doc = GetVLDoc();
    if (!doc || row < 0 || row >= cel_->GetRowCount())
        return;
    std::string sequenceText, placeText;
    cel_->CopyCellText(3, row, sequenceText);
    cel_->CopyCellText(5, row, placeText);
    if (sequenceText.empty() || placeText.empty())
        return;
    const int number = std::atoi(sequenceText.c_str());
    const int event = std::atoi(placeText.c_str());
    if (number < 1 || number > int(doc->m_poSeqList.size()))
        return;
    CSeq* sequence = doc->m_poSeqList[std::size_t(number - 1)].get();
    if (event > 0) {
        if (platform::View* shown = EventEditorOf(*doc, sequence->m_strName))
            shown->ActivateFrame();
        else
            Services().OpenView(*doc, "m_pEventTmp", sequence);
        auto* editor = dynamic_cast<CVLView*>(EventEditorOf(*doc, sequence->m_strName));
        if (!editor || !editor->Grid())
            return;
        VLCELCtrl& grid = *editor->Grid();
        grid.ClearBlockSelection();
        grid.RepaintAll();
        grid.MoveActiveCell(4, event - 1);
        return;
    }
    for (int t = 0; t < 4; ++t) {
        const std::size_t length = std::strlen(kTriggerNames[t]);
        if (placeText.compare(0, length, kTriggerNames[t]) == 0) {
            sequence->EditTrigger(doc, t);
            hints::SendRepaint(*doc);
            return;
        }
    }
}
