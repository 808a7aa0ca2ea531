#include "views/sequences/seq_list_view.h"

#include "views/sequences/event_frames.h"
#include "views/sequences/event_view.h"

#include "controls/grid/cel_parts.h"
#include "link/live_commands.h"
#include "platform/qt/help.h"
#include "platform/qt/mdi_template.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/qt/virtual_keys.h"
#include "platform/ui_services.h"
#include "script/app_services.h"
#include "script/clipboard_block.h"
#include "script/sequence.h"
#include "script/sequence_clipboard.h"
#include "script/text_utils.h"
#include "script/view_kind.h"
#include "script/vl_doc.h"
#include "views/common/sequence_dialogs.h"
#include "views/common/update_hints.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QMimeData>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <new>
#include <set>

using platform::qt::ToQString;

namespace {

constexpr const char* kHeadings[5] = {"A", "L", "Sequence Name", "Triggers/Timecode Chase",
                                      "Comment"};
constexpr const char* kTips[5] = {
    "AutoStart - Right click to change", "Looping - Right click to change",
    "Use this name in the data column of sequence events",
    "Transitions that affect this sequence - Right click to change", "Documentation"};
constexpr COLORREF kSheetColour = 0xE6FFE6;
constexpr std::uint16_t kEdge = 0x2000;
constexpr int kFlagColumnWidth = 12;
constexpr int kVkReturn = 0x0D;

const char* const kNoMemorySequence =
    "Not enough memory to allocate Sequence ( *pSeq ).  Aborting File Construction...";
const char* const kNoMemoryEvent =
    "Not enough memory to allocate Event ( *pEvent ).  Aborting File Construction...";

platform::MsgResult Box(const std::string& text, const std::string& caption,
                        platform::MsgButtons buttons = platform::MsgButtons::Ok) {
    platform::MessageBoxRequest request;
    request.text = text;
    request.caption = caption;
    request.buttons = buttons;
    request.icon = buttons == platform::MsgButtons::Ok ? platform::MsgIcon::Exclamation
                                                       : platform::MsgIcon::Question;
    return platform::Ui().MessageBox(request);
}

std::string Format(const char* format, int a, int b = 0) {
    char text[160];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

// A new sequence with its one "Nop" event, or null after the out-of-memory message.
std::unique_ptr<CSeq> NewSequence(const std::string& name) {
    std::unique_ptr<CSeq> seq;
    try {
        seq = std::make_unique<CSeq>(name, 1);
    } catch (const std::bad_alloc&) {
        platform::ShowMessage(kNoMemorySequence, platform::MsgButtons::Ok, platform::MsgIcon::Stop);
        return nullptr;
    }
    try {
        seq->m_poEventList.push_back(std::make_unique<CEvnt>());
    } catch (const std::bad_alloc&) {
        platform::ShowMessage(kNoMemoryEvent, platform::MsgButtons::Ok, platform::MsgIcon::Stop);
        return nullptr;
    }
    return seq;
}

int ShownLevel(const CSeq& seq) {
    return std::clamp<int>(seq.m_wLevel, 1, 6);
}

std::string IndentedName(const CSeq& seq) {
    return std::string(static_cast<std::size_t>(5 * (ShownLevel(seq) - 1)), ' ') + seq.m_strName;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

QString Timecode(const char* label, const std::array<std::int32_t, 4>& t) {
    char text[80];
    std::snprintf(text, sizeof text, "%s: %2.2d:%2.2d:%2.2d.%2.2d", label, t[0], t[1], t[2], t[3]);
    return QString::fromLatin1(text);
}

} // namespace

std::string SequencePropertyText(const CSeq& s, unsigned id) {
    switch (id) {
    case vl_ids::kAutostart:
        return s.m_nAutoStart ? "Autostart Enabled" : "Autostart Disabled";
    case vl_ids::kLoop:
        return s.m_nLooping ? "Loop Enabled" : "Loop Disabled";
    case vl_ids::kRestart:
        return s.m_nRestart ? "Restart in " + std::to_string(s.m_wRestartLockout) + " frames..."
                            : "Restart Disabled...";
    case vl_ids::kTimecodeStart:
        if (s.m_nSmpteStartOn)
            return Timecode("Timecode Trigger", s.m_anSmpteStart).toStdString();
        if (s.m_nChaseOn)
            return Timecode("Timecode Chase", s.m_anChaseStart).toStdString();
        return "Timecode Disabled...";
    default:
        if (id >= vl_ids::kStartTrigger && id <= vl_ids::kResetTrigger)
            return DoubleAmpersands(s.GetTriggerText(int(id - vl_ids::kStartTrigger)));
        return {};
    }
}

// ---- SeqCel ----

GVPMenuPtr SeqCel::BuildPropertyMenu(const CSeq& seq) const {
    using namespace seqpopup;
    auto menu = std::make_shared<GVPMenu>();
    menu->Item(QStringLiteral("Edit Sequence Events"), kEditEvents).Separator();
    const int level = ShownLevel(seq);
    const QString levelText = level == 1   ? QStringLiteral("No Indentation")
                              : level == 2 ? QStringLiteral("Indented 1 Level")
                                           : QStringLiteral("Indented %1 Levels").arg(level - 1);
    GVPMenu& indent = menu->Popup(levelText);
    const char* const indentTexts[6] = {"Do Not Indent",   "Indent 1 Level",  "Indent 2 Levels",
                                        "Indent 3 Levels", "Indent 4 Levels", "Indent 5 Levels"};
    for (unsigned i = 0; i < 6; ++i)
        indent.Item(QString::fromLatin1(indentTexts[i]), kIndentFirst + i);
    menu->Item(seq.m_nAutoStart ? QStringLiteral("Autostart Enabled (Select to Toggle)")
                                : QStringLiteral("Autostart Disabled (Select to Toggle)"),
               kAutostart);
    menu->Item(seq.m_nLooping ? QStringLiteral("Loop Enabled (Select to Toggle)")
                              : QStringLiteral("Loop Disabled (Select to Toggle)"),
               kLoop);
    menu->Item(seq.m_nRestart ? QStringLiteral("Restart in %1 frames...").arg(seq.m_wRestartLockout)
                              : QStringLiteral("Restart Disabled..."),
               kRestart);
    menu->Item(seq.m_nSmpteStartOn ? Timecode("Timecode Trigger", seq.m_anSmpteStart)
               : seq.m_nChaseOn    ? Timecode("Timecode Chase", seq.m_anChaseStart)
                                   : QStringLiteral("Timecode  Disabled"),
               kTimecode);
    menu->Separator();
    for (unsigned t = 0; t < 4; ++t)
        menu->Item(ToQString(DoubleAmpersands(seq.GetTriggerText(int(t)))), kTriggerFirst + t);
    menu->Separator().Item(QStringLiteral("Help"), kHelp);
    return menu;
}

GVPMenuPtr SeqCel::BuildPopupMenu(int, int row, int section) {
    if (section != 1)
        return nullptr;
    CSeq* seq = view_.SetSequenceToOpen(row);
    return seq ? BuildPropertyMenu(*seq) : nullptr;
}

bool SeqCel::OnUpdatePopupCommand(unsigned id, platform::qt::CommandUi& ui) {
    const CSeq* seq = view_.ActiveSequence();
    if (seq && id >= seqpopup::kIndentFirst && id < seqpopup::kIndentFirst + 6) {
        ui.SetCheck(ShownLevel(*seq) == int(id - seqpopup::kIndentFirst) + 1 ? 1 : 0);
        return true;
    }
    return false;
}

void SeqCel::OnCommand(int id) {
    using namespace seqpopup;
    if (id < int(kFirst) || id > int(kEditEvents))
        return;
    CSeq* seq = view_.SetSequenceToOpen(GetActiveRow());
    if (!seq)
        return;
    const auto uid = unsigned(id);
    if (uid >= kIndentFirst && uid < kIndentFirst + 6) {
        view_.SetLevel(*seq, int(uid - kIndentFirst) + 1);
    } else if (uid == kAutostart) {
        view_.ToggleAutoStart(*seq, true);
    } else if (uid == kLoop) {
        view_.ToggleLooping(*seq, true);
    } else if (uid == kRestart) {
        view_.EditRestart(*seq, true);
    } else if (uid == kTimecode) {
        view_.EditTimecode(*seq, true);
    } else if (uid >= kTriggerFirst && uid < kTriggerFirst + 4) {
        view_.EditTrigger(*seq, int(uid - kTriggerFirst));
    } else if (uid == kHelp) {
        platform::qt::OpenHelp(view_.Doc().Services().InstallDirectory());
    } else if (uid == kEditEvents) {
        view_.OpenEventsRouteB(GetActiveRow());
    }
}

void SeqCel::NotifyCellLeftClick(int column, int row, int down, const QRect&, const QPoint&, int) {
    if (!down || (column != 0 && column != 1))
        return;
    CSeq* seq = view_.SetSequenceToOpen(row);
    if (!seq)
        return;
    if (column == 0)
        view_.ToggleAutoStart(*seq, false);
    else
        view_.ToggleLooping(*seq, false);
    RepaintAll();
}

void SeqCel::NotifySideHeadingLeftClick(int, int row, int down, const QRect&, const QPoint&, int) {
    if (!down || !view_.SequenceAt(row))
        return;
    ClearBlockSelection();
    RepaintAll();
    MoveActiveCell(0, row);
    SelectBlock(0, row, 4, row);
}

void SeqCel::NotifySideHeadingRightClick(int, int row, int down, const QRect& rect,
                                         const QPoint& point, int) {
    if (!view_.SequenceAt(row))
        return;
    if (down) {
        MoveActiveCell(0, row);
        return;
    }
    // The release shows the popup, as a right click in a cell does.
    QPoint global = SideHeading() ? SideHeading()->mapToGlobal(point) : point;
    (void)rect;
    TrackGridPopup(0, row, 1, global);
}

void SeqCel::NotifyCellDoubleClick(int column, int row, const QRect&, const QPoint&, int) {
    CELCell cell;
    FetchCell(column, row, cell);
    if (!cell.IsEditLocked())
        StartEdit(column, row, 0);
}

void SeqCel::NotifySideHeadingDoubleClick(int, int row, const QRect&, const QPoint&, int) {
    if (view_.SequenceAt(row))
        view_.OpenEventsRouteB(row);
}

void SeqCel::NotifyKeyPressed(int& key, int processed) {
    using namespace platform::qt;
    const int column = GetActiveColumn();
    const int row = GetActiveRow();
    const bool control = (KeyFlags() & kMkControl) != 0;
    if (control) {
        // Control characters never reach the character notification.
        if (key == 'T')
            view_.CycleLevel();
        return;
    }
    switch (key) {
    case VK_TAB:
        if (column < 4)
            MoveActiveCell(column + 1, row);
        else if (row < GetRowCount() - 1)
            MoveActiveCell(0, row + 1);
        key = 0;
        return;
    case kVkReturn:
        if (view_.SequenceAt(row))
            view_.OpenEventsRouteA();
        key = 0;
        return;
    case VK_ESCAPE:
        // Posted: the frame's closing deletes this grid.
        QTimer::singleShot(0, &view_, [view = &view_] { view->CloseFrame(); });
        key = 0;
        return;
    case VK_INSERT:
    case VK_F1 + 5: // F6
        view_.OnInsertSequence();
        key = 0;
        return;
    case VK_DELETE:
        view_.EraseActiveCell();
        key = 0;
        return;
    case VK_F1 + 1: // F2
        EditActiveCell();
        key = 0;
        return;
    case VK_F1 + 4: // F5
        view_.OnDeleteSequences();
        key = 0;
        return;
    case VK_F1 + 6: // F7
        view_.StartNow();
        key = 0;
        return;
    case VK_F1 + 7: // F8
        view_.ResetNow();
        key = 0;
        return;
    default:
        VLCELCtrl::NotifyKeyPressed(key, processed);
    }
}

void SeqCel::NotifyCharTyped(int& ch, int processed) {
    if (processed)
        return;
    switch (ch) {
    case 19:
        view_.OnInsertSequence();
        return;
    case 4:
        view_.OnDeleteSequences();
        return;
    case 20:
        view_.CycleLevel();
        return;
    default:
        break;
    }
    if (ch > ' ' && ch != 127)
        EditActiveCellWithKey(ch);
}

bool SeqCel::AllowEditStart(int, int row, CELEdit*&) {
    if (row == GetRowCount() - 1)
        return view_.AppendForTyping();
    return true;
}

bool SeqCel::AllowEditFinish(int column, int row, CELEdit*, std::string& text, bool cancelled) {
    if (cancelled)
        return true;
    CSeq* seq = view_.SequenceAt(row);
    CVLDoc& doc = view_.Doc();
    if (!seq)
        return true;
    if (column == 2) {
        const std::size_t start = text.find_first_not_of(" \t\r\n");
        seq->m_strName = start == std::string::npos ? std::string() : text.substr(start);
        text = IndentedName(*seq);
        doc.MarkForCompile();
    } else if (column == 4) {
        seq->m_strDescription = text;
    }
    doc.SetModifiedFlag(true);
    return true;
}

bool SeqCel::AllowEditContinue(int column, int row, int& nextColumn, int& nextRow) {
    nextColumn = column;
    nextRow = row;
    if (platform::qt::GetKeyState(kVkReturn) < 0) {
        if (column == 2) {
            nextColumn = 4; // the trigger column takes no typing
        } else if (column < 4) {
            nextColumn = column + 1;
        } else if (row < GetRowCount() - 1) {
            nextColumn = 2;
            nextRow = row + 1;
        }
    }
    return false;
}

void SeqCel::NotifyColumnSized(int, int&) {
    CVLDoc& doc = view_.Doc();
    // The display only: the script is not marked modified.
    doc.m_awColWidths[CVLDoc::kColSequenceList.first + 0] =
        CVLView::StoredColumnWidth(GetColumnWidth(2));
    doc.m_awColWidths[CVLDoc::kColSequenceList.first + 1] =
        CVLView::StoredColumnWidth(GetColumnWidth(4));
    doc.m_awColWidths[CVLDoc::kColSequenceList.first + 3] =
        CVLView::StoredColumnWidth(GetColumnWidth(3));
}

int SeqCel::GetCellTipText(int column, int row, int section, std::string& text) {
    if (section != 1 || column < 0 || column > 4 || row < 0)
        return 0;
    text = kTips[column];
    return 1;
}

bool SeqCel::NotifyFindDialogClosed() {
    CVLDoc& doc = view_.Doc();
    for (int row = 0; row < GetRowCount() - 1; ++row) {
        CSeq* seq = view_.SequenceAt(row);
        if (!seq)
            break;
        std::string name = ReadCellText(2, row) ? ReadCellText(2, row) : "";
        const std::size_t start = name.find_first_not_of(' ');
        seq->m_strName = start == std::string::npos ? std::string() : name.substr(start);
        const char* comment = ReadCellText(4, row);
        seq->m_strDescription = comment ? comment : "";
    }
    doc.SetModifiedFlag(true);
    doc.MarkForCompile();
    return true;
}

// ---- CSeqListView ----

CSeqListView::CSeqListView(CVLDoc& doc, ViewServices& services, QWidget* parent)
    : CVLView(doc, services, parent), cel_(new SeqCel(*this)) {
    CreateGrid(cel_);
    OfferTableCommands(
        {[this] { AutoSizeColumns(); }, [this] { ReplaceInGrid(); }, std::string("Sequence List")});
    using namespace vl_ids;
    auto& map = Commands();
    const auto always = [](platform::qt::CommandUi& ui) { ui.Enable(true); };
    map.On(
        kEditCut, [this] { OnCut(); }, always);
    map.On(
        kEditCopy, [this] { OnCopy(); }, always);
    map.On(
        kEditPaste, [this] { OnPaste(); },
        [](platform::qt::CommandUi& ui) {
            const QMimeData* data = QApplication::clipboard()->mimeData();
            ui.Enable(data && data->hasFormat(QString::fromLatin1(clipboard::kSequencesFormat)));
        });
    map.On(
        kInsertSequence, [this] { OnInsertSequence(); },
        [this](platform::qt::CommandUi& ui) {
            ui.Enable(cel_->GetActiveRow() != cel_->GetRowCount() - 1);
        });
    map.On(
        kDeleteSequences, [this] { OnDeleteSequences(); },
        [this](platform::qt::CommandUi& ui) {
            ui.Enable(cel_->GetActiveRow() < cel_->GetRowCount() - 1);
        });
    map.On(
        kSequenceEvents, [this] { OpenEventsRouteA(); },
        [this](platform::qt::CommandUi& ui) { ui.Enable(ActiveSequence() != nullptr); });
    map.On(
        kRunNow, [this] { StartNow(); }, always);
    map.On(
        kResetSequence, [this] { ResetNow(); }, always);
    for (unsigned level = 1; level <= 6; ++level) {
        map.On(
            kIndentLevel1 + level - 1,
            [this, level] {
                if (CSeq* seq = ActiveSequence())
                    SetLevel(*seq, int(level));
            },
            [this, level](platform::qt::CommandUi& ui) {
                ui.Enable(true);
                if (const CSeq* seq = ActiveSequence())
                    ui.SetCheck(ShownLevel(*seq) == int(level) ? 1 : 0);
            });
    }
    map.On(kAutostart, [this] {
        if (CSeq* seq = ActiveSequence())
            ToggleAutoStart(*seq, false);
    });
    map.On(kLoop, [this] {
        if (CSeq* seq = ActiveSequence())
            ToggleLooping(*seq, true);
    });
    map.On(kRestart, [this] {
        if (CSeq* seq = ActiveSequence())
            EditRestart(*seq, false);
    });
    map.On(kTimecodeStart, [this] {
        if (CSeq* seq = ActiveSequence())
            EditTimecode(*seq, false);
    });
    for (unsigned t = 0; t < 4; ++t)
        map.On(kStartTrigger + t, [this, t] {
            if (CSeq* seq = ActiveSequence())
                EditTrigger(*seq, int(t));
        });
}

CSeqListView::~CSeqListView() = default;

std::string CSeqListView::FrameCaption() const {
    const CVLDoc& doc = Doc();
    return doc.ViewTitle(*this);
}

void CSeqListView::OnInitialUpdate() {
    CVLDoc& doc = Doc();
    if (Frame())
        SetFrameTitle(FrameCaption());
    CELCell cell;
    cel_->FetchGridDefault(cell);
    cell.SetEdgeStyle(kEdge);
    cell.SetBackground(kSheetColour);
    cel_->StoreGridDefault(cell);
    cel_->SetColumnCount(5, false);
    cell.SetEditLocked(true);
    for (int column : {0, 1, 3})
        cel_->StoreColumnDefault(column, cell);
    FillGrid();
    cel_->ResizeColumn(0, kFlagColumnWidth);
    cel_->ResizeColumn(1, kFlagColumnWidth);
    const auto& widths = doc.m_awColWidths;
    const std::size_t first = CVLDoc::kColSequenceList.first;
    // A default width shows its whole heading; a width the script stored stays as it is.
    const QFontMetrics metrics(cel_->font());
    const struct {
        int column;
        std::size_t stored;
        std::uint16_t byDefault;
    } columns[] = {{2, first + 0, 5155}, {4, first + 1, 8500}, {3, first + 3, 5165}};
    for (const auto& c : columns) {
        int width = widths[c.stored] / 35;
        if (widths[c.stored] == c.byDefault)
            width = std::max(
                width, metrics.horizontalAdvance(QString::fromLatin1(kHeadings[c.column])) + 10);
        cel_->ResizeColumn(c.column, width);
    }
    cel_->RepaintAll();
}

void CSeqListView::FillGrid() {
    const CVLDoc& doc = Doc();
    cel_->EnableBlockSelection(1);
    for (int c = 0; c < 5; ++c)
        cel_->WriteCellText(c, -1, kHeadings[c]);
    const int count = int(doc.m_poSeqList.size());
    cel_->SetRowCount(count + 1, false);
    for (int row = 1; row <= count; ++row)
        FillRow(row);
    cel_->WriteCellText(-1, count, "");
    for (int c = 0; c < 5; ++c)
        cel_->WriteCellText(c, count, "");
}

void CSeqListView::FillRow(int row) {
    const CSeq* seq = SequenceAt(row - 1);
    if (!seq)
        return;
    const int r = row - 1;
    cel_->WriteCellText(-1, r, Format("%3.3d", row));
    cel_->WriteCellText(0, r, seq->m_nAutoStart ? "*" : "");
    cel_->WriteCellText(1, r, seq->m_nLooping ? "*" : "");
    cel_->WriteCellText(2, r, IndentedName(*seq));
    cel_->WriteCellText(3, r, seq->GetTimecodeText());
    cel_->WriteCellText(4, r, seq->m_strDescription);
}

void CSeqListView::OnUpdate(platform::View* sender, long hint, void* object) {
    cel_->update();
    if (hint == hints::kTimeDisplay) {
        FillGrid();
        cel_->RepaintAll();
        repaint();
    }
    CVLView::OnUpdate(sender, hint, object);
}

bool CSeqListView::OnUpdateCommand(unsigned id, platform::qt::CommandUi& ui) {
    if (id >= vl_ids::kAutostart && id <= vl_ids::kResetTrigger) {
        // The texts follow the active sequence; on the empty row the item is left as it is.
        if (const CSeq* seq = ActiveSequence()) {
            ui.SetText(ToQString(SequencePropertyText(*seq, id)));
            ui.Enable(true);
        }
        return true;
    }
    return CVLView::OnUpdateCommand(id, ui);
}

void CSeqListView::AutoSizeColumns() {
    const CVLDoc& doc = Doc();
    cel_->FitColumnWidths(2, 4, int(doc.m_poSeqList.size()) + 1, 0);
    cel_->ResizeColumn(0, kFlagColumnWidth);
    cel_->ResizeColumn(1, kFlagColumnWidth);
    const int minimum[5] = {0, 0, 100, 75, 75};
    for (int c = 2; c < 5; ++c)
        if (cel_->GetColumnWidth(c) < minimum[c])
            cel_->ResizeColumn(c, minimum[c]);
    int width = cel_->GetColumnWidth(2);
    cel_->NotifyColumnSized(2, width);
    cel_->RepaintAll();
}

void CSeqListView::EnableCellTips(bool enable) {
    cel_->EnableCellTips(enable);
}

CSeq* CSeqListView::SequenceAt(int row) const {
    const CVLDoc& doc = Doc();
    if (row < 0 || row >= cel_->GetRowCount() - 1 || std::size_t(row) >= doc.m_poSeqList.size())
        return nullptr;
    return doc.m_poSeqList[std::size_t(row)].get();
}

CSeq* CSeqListView::ActiveSequence() const {
    return SequenceAt(cel_->GetActiveRow());
}

CSeq* CSeqListView::SetSequenceToOpen(int row) {
    CSeq* seq = SequenceAt(row);
    if (seq)
        Doc().m_posCurrentSeq = seq;
    return seq;
}

int CSeqListView::RowOf(const CSeq* seq) const {
    const CVLDoc& doc = Doc();
    for (std::size_t i = 0; i < doc.m_poSeqList.size(); ++i)
        if (doc.m_poSeqList[i].get() == seq)
            return int(i);
    return -1;
}

void CSeqListView::SetLevel(CSeq& seq, int level) {
    CVLDoc& doc = Doc();
    seq.m_wLevel = static_cast<std::uint16_t>(level);
    doc.SetModifiedFlag(true);
    FillRow(RowOf(&seq) + 1);
    hints::SendRepaint(doc);
}

void CSeqListView::CycleLevel() {
    CSeq* seq = ActiveSequence();
    if (!seq)
        return;
    CVLDoc& doc = Doc();
    seq->m_wLevel = static_cast<std::uint16_t>(ShownLevel(*seq) >= 6 ? 1 : ShownLevel(*seq) + 1);
    doc.SetModifiedFlag(true);
    FillGrid();
    cel_->RepaintAll();
    hints::SendRepaint(doc);
}

void CSeqListView::ToggleFlag(CSeq& seq, std::int32_t CSeq::*flag, bool hint) {
    CVLDoc& doc = Doc();
    seq.*flag = seq.*flag ? 0 : 1;
    seq.m_nNeedsCompile = 1;
    doc.SetModifiedFlag(true);
    FillRow(RowOf(&seq) + 1);
    if (hint)
        hints::SendRepaint(doc);
}

void CSeqListView::ToggleAutoStart(CSeq& seq, bool hint) {
    ToggleFlag(seq, &CSeq::m_nAutoStart, hint);
}

void CSeqListView::ToggleLooping(CSeq& seq, bool hint) {
    ToggleFlag(seq, &CSeq::m_nLooping, hint);
}

void CSeqListView::RunSequenceDialog(CSeq& seq, bool fromPopup,
                                     bool (*dialog)(CVLDoc&, CSeq&, QWidget*)) {
    CVLDoc& doc = Doc();
    if (!dialog(doc, seq, this) || !fromPopup)
        return;
    FillRow(RowOf(&seq) + 1);
    hints::SendRepaint(doc);
}

void CSeqListView::EditRestart(CSeq& seq, bool fromPopup) {
    RunSequenceDialog(seq, fromPopup, EditSequenceRestart);
}

void CSeqListView::EditTimecode(CSeq& seq, bool fromPopup) {
    RunSequenceDialog(seq, fromPopup, EditSequenceTimecodeStart);
}

void CSeqListView::EditTrigger(CSeq& seq, int index) {
    CVLDoc& doc = Doc();
    if (!seq.EditTrigger(&doc, index))
        return;
    FillRow(RowOf(&seq) + 1);
    hints::SendRepaint(doc);
}

void CSeqListView::StartNow() {
    if (CSeq* seq = ActiveSequence())
        showlink::StartSequenceNow(Doc(), RowOf(seq));
}

void CSeqListView::ResetNow() {
    if (CSeq* seq = ActiveSequence())
        showlink::ResetSequenceNow(Doc(), RowOf(seq));
}

void CSeqListView::OpenEventsRouteA() {
    CSeq* seq = SetSequenceToOpen(cel_->GetActiveRow());
    if (!seq)
        return;
    // A new event editor each time, also beside one already open on the sequence.
    Services().OpenNewView(Doc(), kEventEditorKind);
}

void CSeqListView::OpenEventsRouteB(int row) {
    CVLDoc& doc = Doc();
    if (!SetSequenceToOpen(row))
        return;
    Services().OpenNewView(doc, doc.m_nViewTimeLine ? kTimelineKind : kEventEditorKind);
}

void CSeqListView::EraseActiveCell() {
    const int column = cel_->GetActiveColumn();
    CSeq* seq = ActiveSequence();
    if (!seq || (column != 2 && column != 4))
        return;
    CVLDoc& doc = Doc();
    cel_->WriteCellText(column, cel_->GetActiveRow(), "");
    cel_->RedrawCell(column, cel_->GetActiveRow());
    if (column == 2) {
        seq->m_strName.clear();
        doc.MarkForCompile();
    } else {
        seq->m_strDescription.clear();
    }
    doc.SetModifiedFlag(true);
}

bool CSeqListView::AppendForTyping() {
    CVLDoc& doc = Doc();
    std::unique_ptr<CSeq> seq = NewSequence(std::string());
    if (!seq)
        return false;
    doc.m_poSeqList.push_back(std::move(seq));
    hints::SendRepaint(doc);
    FillGrid();
    doc.SetModifiedFlag(true);
    return true;
}

void CSeqListView::OnInsertSequence() {
    const int column = cel_->GetActiveColumn();
    const int row = cel_->GetActiveRow();
    if (!SequenceAt(row))
        return;
    CVLDoc& doc = Doc();
    std::unique_ptr<CSeq> seq = NewSequence(std::string());
    if (!seq)
        return;
    doc.m_poSeqList.insert(doc.m_poSeqList.begin() + row, std::move(seq));
    FillGrid();
    update();
    cel_->ClearBlockSelection();
    cel_->RepaintAll();
    cel_->MoveActiveCell(column, row);
    doc.MarkForCompile();
    doc.SetModifiedFlag(true);
}

void CSeqListView::RemoveRows(int first, int last) {
    CVLDoc& doc = Doc();
    std::vector<const CSeq*> removed;
    for (int row = first; row <= last; ++row)
        removed.push_back(doc.m_poSeqList[std::size_t(row)].get());
    // Every frame that shows one of them closes: its own views by identity, the event editors
    // also by name without regard to case.
    std::vector<platform::View*> targets;
    for (platform::View* view : doc.Views()) {
        const auto* shown = dynamic_cast<const CVLView*>(view);
        const CSeq* seq = shown ? shown->ShownSequence() : nullptr;
        if (!seq)
            continue;
        const bool editor = HasRole(*view, &ViewKind::eventEditor);
        for (const CSeq* gone : removed)
            if (seq == gone || (editor && EqualNoCase(seq->m_strName, gone->m_strName))) {
                targets.push_back(view);
                break;
            }
    }
    // A frame with two panes closes once; a closed frame's views may be gone already.
    std::set<const void*> closed;
    for (platform::View* view : targets) {
        const auto& attached = doc.Views();
        if (std::find(attached.begin(), attached.end(), view) == attached.end())
            continue;
        const void* frame = view->FrameId();
        if (frame && !closed.insert(frame).second)
            continue;
        view->CloseFrame();
    }
    for (const CSeq* gone : removed)
        if (doc.m_posCurrentSeq == gone)
            doc.m_posCurrentSeq = nullptr;
    doc.m_poSeqList.erase(doc.m_poSeqList.begin() + first, doc.m_poSeqList.begin() + last + 1);
}

void CSeqListView::OnDeleteSequences() {
    CVLDoc& doc = Doc();
    const int lastSeqRow = cel_->GetRowCount() - 2;
    int first = -1;
    for (int row = 0; row <= lastSeqRow; ++row)
        if (cel_->IsCellSelected(2, row, nullptr)) {
            first = row;
            break;
        }
    if (first < 0 || !SequenceAt(first))
        return;
    int last = first;
    while (last + 1 <= lastSeqRow && cel_->IsCellSelected(2, last + 1, nullptr))
        ++last;
    std::string question;
    if (first == last) {
        const CSeq* seq = SequenceAt(first);
        question = seq->m_strName.empty()
                       ? Format("Delete Sequence %d.  Are you sure?", first + 1)
                       : "Delete Sequence " + seq->m_strName + ".  Are you sure?";
    } else {
        question = Format("Delete Sequences %d - %d.  Are you sure?", first + 1, last + 1);
    }
    if (Box(question, "Delete Sequences", platform::MsgButtons::OkCancel) !=
        platform::MsgResult::Ok)
        return;
    RemoveRows(first, last);
    RefillKeepingOneSequence();
    cel_->ClearBlockSelection();
    cel_->RepaintAll();
    const int count = int(doc.m_poSeqList.size());
    if (first + 1 > count)
        cel_->MoveActiveCell(1, std::max(0, first - 1));
    else
        cel_->MoveActiveCell(2, first);
    doc.MarkForCompile();
    doc.SetModifiedFlag(true);
}

bool CSeqListView::IsRowSelected(int row) const {
    return cel_->IsCellSelected(cel_->GetActiveColumn(), row, nullptr) != 0;
}

void CSeqListView::RefillKeepingOneSequence() {
    CVLDoc& doc = Doc();
    if (doc.m_poSeqList.empty()) {
        if (std::unique_ptr<CSeq> seq = NewSequence("Default"))
            doc.m_poSeqList.push_back(std::move(seq));
    }
    FillGrid();
    update();
}

bool CSeqListView::CopyRun(int& first, int& last) const {
    const CVLDoc& doc = Doc();
    const int count = int(doc.m_poSeqList.size());
    if (count == 0)
        return false;
    first = count - 1;
    for (int row = 0; row < count - 1; ++row)
        if (IsRowSelected(row)) {
            first = row;
            break;
        }
    last = first;
    while (last + 1 < count && IsRowSelected(last + 1))
        ++last;
    return true;
}

bool CSeqListView::WriteClipboard(bool cut, int first, int last) {
    const CVLDoc& doc = Doc();
    const std::string caption = cut ? "Cut to Clipboard" : "Copy to Clipboard";
    std::vector<const CSeq*> run;
    for (int row = first; row <= last; ++row)
        run.push_back(doc.m_poSeqList[std::size_t(row)].get());
    if (!clipboard::SequencesFitBlock(run)) {
        // The block counts sequences in one byte and events in two.
        Box(Format(cut ? "Cutting %d sequences would exceed 255 sequences"
                       : "Copying %d sequences would exceed 255 sequences",
                   int(run.size())),
            caption);
        return false;
    }
    if (clipboard::SequencesBlockCutsText(run) &&
        Box(clipboard::kCutTextsQuestion, caption, platform::MsgButtons::YesNo) !=
            platform::MsgResult::Yes)
        return false;
    try {
        const std::vector<std::uint8_t> block = clipboard::WriteSequencesBlock(run);
        auto* data = new QMimeData; // the clipboard takes it
        data->setData(
            QString::fromLatin1(clipboard::kSequencesFormat),
            QByteArray(reinterpret_cast<const char*>(block.data()), qsizetype(block.size())));
        QApplication::clipboard()->setMimeData(data);
    } catch (const std::bad_alloc&) {
        Box(cut ? "Error cutting data to the Clipboard:  No memory available"
                : "Error copying data to the Clipboard:  No memory available",
            caption);
        return false;
    }
    return true;
}

void CSeqListView::OnCopy() {
    int first = 0, last = 0;
    if (CopyRun(first, last))
        WriteClipboard(false, first, last);
}

void CSeqListView::OnCut() {
    int first = 0, last = 0;
    if (!CopyRun(first, last) || !WriteClipboard(true, first, last))
        return;
    CVLDoc& doc = Doc();
    RemoveRows(first, last);
    RefillKeepingOneSequence();
    cel_->ClearBlockSelection();
    cel_->RepaintAll();
    doc.MarkForCompile();
    doc.SetModifiedFlag(true);
}

void CSeqListView::OnPaste() {
    CVLDoc& doc = Doc();
    const std::string caption = "Paste from Clipboard";
    const int rows = cel_->GetRowCount();
    const int lastRow = rows - 1;
    int first = lastRow;
    for (int row = 0; row < lastRow; ++row)
        if (IsRowSelected(row)) {
            first = row;
            break;
        }
    int last = first;
    while (last + 1 < rows && IsRowSelected(last + 1))
        ++last;
    // Read and check the whole block before anything changes.
    const QMimeData* data = QApplication::clipboard()->mimeData();
    const QByteArray bytes =
        data ? data->data(QString::fromLatin1(clipboard::kSequencesFormat)) : QByteArray();
    if (bytes.isEmpty()) {
        Box("Error obtaining data from Clipboard", caption);
        return;
    }
    clipboard::SequencesBlock block;
    try {
        block = clipboard::ReadSequencesBlock(
            {reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())});
    } catch (const std::bad_alloc&) {
        // Nothing has changed yet.
        platform::ShowMessage(kNoMemorySequence, platform::MsgButtons::Ok, platform::MsgIcon::Stop);
        return;
    }
    using Status = clipboard::SequencesBlock::Status;
    switch (block.status) {
    case Status::EventsBlock:
        Box("Cannot paste events by themselves into full sequences", caption);
        return;
    case Status::UnknownTag:
        Box("Unknown data.  Cannot Paste into sequences", "Paste from Clibpard");
        return;
    case Status::Damaged:
        Box("Error obtaining data from Clipboard", caption);
        return;
    case Status::Ok:
        break;
    }
    bool replace = false;
    if (last > first) {
        if (last == lastRow)
            --last;
        replace = Box("Are you sure you want to replace the current selection?", caption,
                      platform::MsgButtons::YesNo) == platform::MsgResult::Yes;
    }
    const int remaining = int(doc.m_poSeqList.size()) - (replace ? last - first + 1 : 0);
    if (int(block.sequences.size()) + remaining + 1 > 256) {
        Box(Format("Pasting %d sequences would exceed 255 sequences", int(block.sequences.size())),
            caption);
        return;
    }
    if (replace && SequenceAt(first))
        RemoveRows(first, last);
    doc.MarkForCompile();
    int at = std::min(first, int(doc.m_poSeqList.size()));
    const int firstPasted = at;
    try {
        for (auto& seq : block.sequences)
            doc.m_poSeqList.insert(doc.m_poSeqList.begin() + at++, std::move(seq));
    } catch (const std::bad_alloc&) {
        // What was removed and inserted so far stays, and the list shows it.
        platform::ShowMessage(kNoMemorySequence, platform::MsgButtons::Ok, platform::MsgIcon::Stop);
    }
    RefillKeepingOneSequence();
    cel_->MoveActiveCell(2, firstPasted);
    cel_->ClearBlockSelection();
    cel_->SelectOneCell(2, firstPasted);
    cel_->RepaintAll();
    doc.SetModifiedFlag(true);
}

void RegisterSequenceViews(platform::qt::ViewRegistry& registry, ViewServices& services) {
    RegisterTypedView<CSeqListView, CVLDoc>(registry, "CSeqListView", services);
    RegisterEventViews(registry, services);
    RegisterSequenceFrames(registry, services);
}

void ShowRetrievedScript(CVLDoc& doc) {
    const std::vector<platform::View*> views = doc.Views();
    for (platform::View* view : views) {
        auto* list = dynamic_cast<CSeqListView*>(view);
        if (!list)
            continue;
        list->ActivateFrame();
        doc.SetModifiedFlag(true);
        list->FillGrid();
        hints::SendRepaint(doc);
    }
}
