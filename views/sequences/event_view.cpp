#include "views/sequences/event_view.h"
#include "views/sequences/time_grid_view.h"
#include "views/sequences/timeline_view.h"

#include "controls/grid/cel_mem.h"

#include "compiler/popup_request.h"
#include "controls/grid/cel_mem.h"
#include "link/live_commands.h"
#include "platform/qt/mdi_template.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/qt/virtual_keys.h"
#include "platform/ui_services.h"
#include "script/clipboard_block.h"
#include "script/event_clipboard.h"
#include "script/sequence_clipboard.h"
#include "script/text_utils.h"
#include "script/time_conversions.h"
#include "views/common/sequence_dialogs.h"
#include "views/common/update_hints.h"
#include "views/sequences/event_dialog_requests.h"
#include "views/sequences/event_dialogs.h"
#include "views/sequences/seq_list_view.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QMimeData>
#include <algorithm>
#include <cstdio>
#include <new>

namespace {

constexpr const char* kHeadings[EventCel::kColumns] = {"R",     "Label", "Time",  "Event",  "Data1",
                                                       "Data2", "Data3", "Data4", "Comment"};
constexpr int kMinimumWidths[EventCel::kColumns] = {12, 50, 60, 60, 50, 50, 50, 50, 100};
constexpr COLORREF kCellBackground = 0xC8FFFF;
constexpr std::uint16_t kEdge3d = 0x2000;
constexpr const char* kNoMemory =
    "Not enough memory to allocate Event ( *pEvent ).  Aborting File Construction...";

// The VK codes the grid reports.
constexpr int kVkReturn = 0x0D, kVkControl = 0x11, kVkEscape = 0x1B,
              kVkInsert = 0x2D, kVkDelete = 0x2E, kVkF2 = 0x71, kVkF5 = 0x74, kVkF6 = 0x75,
              kVkF7 = 0x76;

std::string RowHeading(int row) {
    char text[16];
    std::snprintf(text, sizeof text, "%6.6d", row + 1);
    return text;
}

// An event's texts in grid order.
std::string* Field(CEvnt& event, int column) {
    switch (column) {
    case 0:
        return &event.m_strSkip;
    case 1:
        return &event.m_strLabel;
    case 2:
        return &event.m_strTime;
    case 3:
        return &event.m_strEvent;
    case 4:
        return &event.m_strData1;
    case 5:
        return &event.m_strData2;
    case 6:
        return &event.m_strData3;
    case 7:
        return &event.m_strData4;
    case 8:
        return &event.m_strComment;
    default:
        return nullptr;
    }
}

void Box(const std::string& text, const std::string& caption) {
    platform::Ui().MessageBox({text, caption, platform::MsgButtons::Ok});
}

} // namespace

// ---- EventCel ----

EventCel::EventCel(CEvntView& view) : view_(view) {}

CEvnt* EventCel::EventAt(int row) const {
    CSeq* seq = view_.Sequence();
    if (!seq || row < 0 || row >= static_cast<int>(seq->m_poEventList.size()))
        return nullptr;
    return seq->m_poEventList[static_cast<std::size_t>(row)].get();
}

void EventCel::NotifyColumnSized(int, int&) {
    view_.StoreEventColumnWidths();
}

void EventCel::NotifyCellLeftClick(int column, int row, int down, const QRect&, const QPoint&,
                                   int) {
    CEvnt* event = EventAt(row);
    if (!down || column != 0 || !event)
        return;
    event->m_strSkip = event->m_strSkip.empty() ? "*" : "";
    view_.FillRow(row);
    view_.Doc().SetModifiedFlag();
    view_.SkipMarkToggled(row);
    view_.Sequence()->m_nNeedsCompile = 1;
}

void EventCel::NotifyCellDoubleClick(int, int, const QRect&, const QPoint&, int) {
    EditActiveCell();
}

void EventCel::NotifyKeyPressed(int& key, int processed) {
    VLCELCtrl::NotifyKeyPressed(key, processed);
    const int column = GetActiveColumn(), row = GetActiveRow();
    switch (key) {
    case kVkControl:
        break;
    case kVkEscape:
        view_.CloseFrame();
        break;
    case kVkInsert:
    case kVkF6:
        view_.OnInsertEvent();
        break;
    case kVkDelete:
        if (CEvnt* event = EventAt(row); event && column >= 2 && column <= 8) {
            if (EraseCell(column, row) == 0)
                RepaintAll();
            Field(*event, column)->clear();
            view_.MarkChanged();
        }
        break;
    case kVkF2:
        EditActiveCell();
        break;
    case kVkF5:
        view_.OnDeleteEvents();
        break;
    case kVkF7:
        view_.OnExecuteEventNow();
        break;
    default:
        break;
    }
}

bool EventCel::AppendEvent() {
    CSeq* seq = view_.Sequence();
    try {
        seq->m_poEventList.push_back(std::make_unique<CEvnt>());
    } catch (const std::bad_alloc&) {
        Box(kNoMemory, platform::DefaultCaption());
        return false;
    }
    return true;
}

void EventCel::OpenEventsList(int row, int initialChar) {
    CEvnt* event = EventAt(row);
    if (!event)
        return;
    EventsListRequest request;
    request.document = &view_.Doc();
    request.event = event;
    request.initialChar = initialChar;
    if (!platform::Ui().RunDialog(request))
        return;
    view_.FillRow(row);
    view_.update();
    view_.MarkChanged();
    // The pick leaves the Event cell current, so the next Right goes on to the event's Data1.
    MoveActiveCell(3, row);
    view_.EventPicked();
}

void EventCel::NotifyCharTyped(int& ch, int processed) {
    const int column = GetActiveColumn(), row = GetActiveRow();
    const int lastRow = GetRowCount() - 1;
    if (ch == '\t') {
        if (column < 8)
            MoveActiveCell(column + 1, row);
        else if (row != lastRow)
            MoveActiveCell(0, row + 1);
        return;
    }
    const bool printable = ch > 0x20 && ch != 0x7F;
    if (column == 3 && view_.Settings().alwaysPopupEventList && (ch == '\r' || printable)) {
        if (row == lastRow) {
            if (!AppendEvent())
                return;
            view_.EventsChanged(0);
            view_.FillGrid();
            view_.repaint();
            view_.MarkChanged();
        }
        OpenEventsList(row, ch == '\r' ? -1 : ch);
        return;
    }
    if (ch == '\r') {
        ClearBlockSelection();
        if (column < 8) {
            MoveActiveCell(column + 1, row);
        } else if (row != lastRow) {
            if (row + 1 == lastRow) {
                if (!AppendEvent())
                    return;
                view_.EventsChanged(0);
                view_.FillGrid();
                view_.MarkChanged();
            }
            MoveActiveCell(1, row + 1);
        }
        RepaintAll();
        return;
    }
    if (printable && !processed)
        EditActiveCellWithKey(ch);
}

bool EventCel::AllowEditStart(int column, int row, CELEdit*&) {
    if (row == GetRowCount() - 1) {
        if (!AppendEvent())
            return false;
        CEvnt& event = *view_.Sequence()->m_poEventList.back();
        WriteCellText(-1, row, RowHeading(row));
        WriteCellText(2, row, view_.TimeCellText(event));
        WriteCellText(3, row, event.m_strEvent);
        // No relayout now: it would abandon the editor that is opening.
        SetRowCount(row + 2, false);
        for (int c = -1; c < kColumns; ++c)
            WriteCellText(c, row + 1, "");
        RepaintAll();
        view_.MarkChanged();
        view_.EventsChanged(0);
    }
    if (column == 3 && view_.Settings().alwaysPopupEventList)
        return false;
    return true;
}

bool EventCel::StoreTime(CEvnt& event, std::string& text) {
    if (text.empty())
        text = event.m_strTime;
    const CVLDoc& doc = view_.Doc();
    const double rate = doc.GetFrameRate();
    const ViewSettings settings = view_.Settings();
    const int offset = view_.ShownStartOffset();
    const std::string normal =
        NormalizeTimeEntry(text, rate, offset,
                           TimeEntrySettings{settings.eventsInFrames, settings.timecodeStartAdded});
    if (normal.empty()) {
        char message[200];
        if (settings.timecodeStartAdded)
            std::snprintf(message, sizeof message,
                          "Time is invalid.  Range is ( %i - %i ) or ( %s - %s )", offset,
                          offset + 65535, FramesToTimecodeText(offset, rate).c_str(),
                          FramesToTimecodeText(offset + 65535.0, rate).c_str());
        else
            std::snprintf(message, sizeof message,
                          "Time is invalid.  Range is ( %i - %i ) or ( %s - %s )", 0, 65535,
                          "00:00.00", timewizard::MaxEventTimeText(rate).c_str());
        Box(message, "Edit Event Time");
        return false;
    }
    event.m_strTime = normal;
    text = view_.TimeCellText(event);
    return true;
}

bool EventCel::AllowEditFinish(int column, int row, CELEdit*, std::string& text, bool cancelled) {
    if (cancelled)
        return true;
    CEvnt* event = EventAt(row);
    if (!event)
        return true;
    if (column == 1) {
        const std::string checked = NormalizeName(text, true);
        const char* refusal = nullptr;
        if (!checked.empty() && checked[0] >= '0' && checked[0] <= '9')
            refusal = "Labels cannot start with digits ( 0 - 9 )";
        else if (!checked.empty() && checked[0] == '*')
            refusal = "Labels cannot start with an asterisk";
        if (refusal) {
            Box(refusal, "Edit Event Label");
            AbandonEdit();
            return false;
        }
    }
    if (column == 2 && !StoreTime(*event, text)) {
        AbandonEdit();
        return false;
    }
    if (column == 0)
        text = event->m_strSkip; // the skip mark changes only by its click and its dialog
    else if (column != 2)
        *Field(*event, column) = text;
    view_.MarkChanged();
    view_.CellEdited();
    return true;
}

bool EventCel::AllowEditContinue(int column, int row, int& nextColumn, int& nextRow) {
    if (platform::qt::GetKeyState(kVkReturn) >= 0)
        return false;
    const int lastRow = GetRowCount() - 1;
    if (column < kColumns - 1) {
        nextColumn = column + 1;
        nextRow = row;
    } else if (row != lastRow) {
        nextColumn = 1;
        nextRow = row + 1;
    } else {
        nextColumn = column;
        nextRow = row;
        if (AppendEvent()) {
            view_.Doc().SetModifiedFlag();
            view_.EventsChanged(0);
            view_.EventTextChanged();
            view_.Sequence()->m_nNeedsCompile = 1;
            view_.FillGrid();
        }
    }
    return false;
}

int EventCel::GetCellTipText(int column, int, int section, std::string& text) {
    static const char* const kTips[kColumns] = {"Skip compilation of event",
                                                "Name used as destination of Goto and If events",
                                                "Time of event in MM:SS.FF or absolute frames",
                                                "Right click for a list of events",
                                                "Operand of event",
                                                "Additional data needed by some events",
                                                "Additional data needed by some events",
                                                "Additional data needed by some events",
                                                "Documentation"};
    if (section != 1 || column < 0 || column >= kColumns)
        return 0;
    text = kTips[column];
    return 1;
}

bool EventCel::NotifyFindDialogClosed() {
    CSeq* seq = view_.Sequence();
    CVLDoc& doc = view_.Doc();
    if (!seq)
        return true;
    const ViewSettings settings = view_.Settings();
    const double rate = doc.GetFrameRate();
    for (int row = 0; row < static_cast<int>(seq->m_poEventList.size()); ++row) {
        CEvnt& event = *seq->m_poEventList[static_cast<std::size_t>(row)];
        for (int column = 0; column < kColumns; ++column) {
            std::string text;
            CopyCellText(column, row, text);
            if (column == 2) {
                const std::string normal =
                    NormalizeTimeEntry(text, rate, view_.ShownStartOffset(),
                                       {settings.eventsInFrames, settings.timecodeStartAdded});
                if (!normal.empty())
                    event.m_strTime = normal;
            } else {
                *Field(event, column) = text;
            }
        }
    }
    doc.SetModifiedFlag();
    doc.MarkForCompile();
    view_.EventsChanged(0);
    return true;
}

GVPMenuPtr EventCel::BuildPopupMenu(int column, int row, int section) {
    if (section != 1 || column < 0 || column >= kColumns || !EventAt(row))
        return nullptr;
    auto menu = std::make_shared<GVPMenu>();
    const unsigned base = 500 + 10 * static_cast<unsigned>(column);
    unsigned n = 0;
    const auto item = [&](const char* text) { menu->Item(text, base + n++); };
    switch (column) {
    case 0:
        item("Remark Help");
        break;
    case 1:
        item("Label Help");
        break;
    case 2:
        item("Time Wizard");
        break;
    case 3:
        item("Event Wizard");
        break;
    case 8:
        item("Comment Help");
        break;
    default:
        item("Event Wizard");
        item("Resource List");
        break;
    }
    menu->Separator();
    item("Help");
    itemCounts_[static_cast<std::size_t>(column)] = static_cast<int>(n);
    return menu;
}

void EventCel::OnCommand(int id) {
    VLCELCtrl::OnCommand(id);
    if (id < 500 || id > 590)
        return;
    const int column = (id - 500) / 10, item = (id - 500) % 10;
    // Only an item of the popup last built for that column, on an event row.
    if (column >= kColumns || item >= ItemCount(column) || !EventAt(GetActiveRow()))
        return;
    RunPopupCommand(id);
}

void EventCel::RunPopupCommand(int id) {
    const int row = GetActiveRow();
    CEvnt* event = EventAt(row);
    CVLDoc& doc = view_.Doc();
    if (!event)
        return;
    const int column = (id - 500) / 10, item = (id - 500) % 10;
    const bool help = item == ItemCount(column) - 1;
    if (help) {
        view_.Services().OpenHelp();
        return;
    }
    switch (id) {
    case 500: {
        RemarkRequest request;
        request.choice = event->m_strSkip.empty() ? 1 : 0;
        if (!platform::Ui().RunDialog(request))
            return;
        event->m_strSkip = request.choice == 0 ? "*" : "";
        view_.FillRow(row);
        doc.SetModifiedFlag();
        view_.EventTextChanged();
        view_.Sequence()->m_nNeedsCompile = 1;
        return;
    }
    case 510:
        Box("An Event Label allows other events to reference the labeled event.  "
            "For example, when using an\n\nIFON ( output or flag ) GOTO label\n\nevent,"
            "a Label can be the location Tarnix jumps to if the output or flag is on.\n"
            "Labels can be any alphanumeric string that does not begin with a digit",
            "Label Help");
        return;
    case 520:
        RunTimeWizard();
        return;
    case 530: {
        EventsListRequest request;
        request.document = &doc;
        request.event = event;
        if (!platform::Ui().RunDialog(request))
            return;
        view_.FillRow(row);
        doc.SetModifiedFlag();
        view_.EventTextChanged();
        view_.Sequence()->m_nNeedsCompile = 1;
        MoveActiveCell(3, row + 1);
        return;
    }
    case 580:
        Box("A Comment is used to describe each event.  "
            "Any text can be put into an event comment",
            "Comment Help");
        return;
    default:
        break;
    }
    const int data = column - 3; // 1 to 4
    if (item == 0) {
        DataFieldRequest request;
        request.document = &doc;
        request.event = event;
        request.parameter = data;
        platform::Ui().RunDialog(request);
        return;
    }
    std::string& field = *Field(*event, column);
    ResourceListRequest request;
    request.document = &doc;
    request.name = field;
    request.eventName = event->m_strEvent;
    if (!platform::Ui().RunDialog(request))
        return;
    field = request.name;
    view_.FillRow(row);
    doc.SetModifiedFlag();
    view_.EventTextChanged();
    view_.Sequence()->m_nNeedsCompile = 1;
}

void EventCel::RunTimeWizard() {
    CSeq* seq = view_.Sequence();
    CVLDoc& doc = view_.Doc();
    const int events = static_cast<int>(seq->m_poEventList.size());
    if (events == 0)
        return;
    const timewizard::EventRun run = timewizard::SelectedRun(
        events, [this](int row) { return IsCellSelected(2, row, nullptr) != 0; });
    TimeWizardRequest request;
    request.severalEvents = run.Several();
    request.choice = 0;
    request.currentLength = seq->m_poEventList.back()->m_strTime;
    request.document = &doc;
    request.eventsInFrames = view_.Settings().eventsInFrames;
    if (!platform::Ui().RunDialog(request))
        return;
    std::vector<std::string> times;
    times.reserve(static_cast<std::size_t>(events));
    for (const auto& event : seq->m_poEventList)
        times.push_back(event->m_strTime);
    const timewizard::Outcome outcome =
        timewizard::Plan(times, run,
                         {request.choice, request.firstText, request.incrementText,
                          request.skipZero, request.wholeSeconds},
                         {doc.GetFrameRate(), request.eventsInFrames, view_.WizardConversion()});
    if (outcome.Stopped()) {
        Box(outcome.stopMessage, "Time Wizard");
        return;
    }
    for (const timewizard::NewTime& time : outcome.times)
        seq->m_poEventList[static_cast<std::size_t>(time.event)]->m_strTime = time.time;
    view_.EventsChanged(0);
    view_.FillGrid();
    view_.update();
    doc.SetModifiedFlag();
    seq->m_nNeedsCompile = 1;
}

// ---- CEvntView ----

// The event grid's memory. Filling the grid marks every row as owed its event's texts; a row is
// filled from its event when anything first reads or writes it (painting, editing, copying),
// so opening a long sequence fills only the rows on screen. What works on the whole sheet
// (find, sort, columns inserted or deleted) fills every owed row first.
class EventRows : public CELMem {
public:
    explicit EventRows(CEvntView& view) : view_(view) {}

    void Owe(int rows) {
        owed_.assign(static_cast<std::size_t>(std::max(rows, 0)), true);
        owedCount_ = owed_.size();
    }
    void PayAll() {
        for (std::size_t row = 0; owedCount_ > 0 && row < owed_.size(); ++row)
            Pay(static_cast<int>(row));
    }

    int GetCell(int column, int row, CELCell& cell) override {
        Pay(row);
        return CELMem::GetCell(column, row, cell);
    }
    int SetCell(int column, int row, const CELCell& cell) override {
        Pay(row);
        return CELMem::SetCell(column, row, cell);
    }
    int DeleteCell(int column, int row) override {
        Pay(row);
        return CELMem::DeleteCell(column, row);
    }
    int FindPreviousTextColumn(int& column, int row) override {
        Pay(row);
        return CELMem::FindPreviousTextColumn(column, row);
    }
    // The owed marks move with the rows; a row put in owes nothing.
    int InsertRow(int row) override {
        if (row >= 0 && static_cast<std::size_t>(row) < owed_.size())
            owed_.insert(owed_.begin() + row, false);
        return CELMem::InsertRow(row);
    }
    int DeleteRow(int row) override {
        if (row >= 0 && static_cast<std::size_t>(row) < owed_.size()) {
            if (owed_[std::size_t(row)])
                --owedCount_;
            owed_.erase(owed_.begin() + row);
        }
        return CELMem::DeleteRow(row);
    }
    int InsertColumn(int column) override {
        PayAll();
        return CELMem::InsertColumn(column);
    }
    int DeleteColumn(int column) override {
        PayAll();
        return CELMem::DeleteColumn(column);
    }
    int Empty() override {
        Owe(0);
        return CELMem::Empty();
    }
    int FindFirst(const std::string& text, int& column, int& row, int flags) override {
        PayAll();
        return CELMem::FindFirst(text, column, row, flags);
    }
    int FindNext(const std::string& text, int& column, int& row, int flags) override {
        PayAll();
        return CELMem::FindNext(text, column, row, flags);
    }
    int SortBy(const int* columns, int count, int flags) override {
        PayAll();
        return CELMem::SortBy(columns, count, flags);
    }

private:
    void Pay(int row) {
        if (row < 0 || static_cast<std::size_t>(row) >= owed_.size() || !owed_[std::size_t(row)])
            return;
        // Cleared first: filling reads the row back through this source.
        owed_[std::size_t(row)] = false;
        --owedCount_;
        view_.FillRow(row);
    }

    CEvntView& view_;
    std::vector<bool> owed_;
    std::size_t owedCount_ = 0;
};

CEvntView::CEvntView(CVLDoc& doc, ViewServices& services, QWidget* parent)
    : CVLView(doc, services, parent), rows_(std::make_unique<EventRows>(*this)),
      cel_(new EventCel(*this)) {
    CreateGrid(cel_);
    cel_->SetDataSource(rows_.get());
    DeclareCommands();
}

CEvntView::~CEvntView() {
    // The grid outlives this object's members as a child widget: it goes back to its own memory.
    cel_->SetDataSource(nullptr);
}

std::string CEvntView::ViewSubject() const {
    return seq_ ? seq_->m_strName : std::string();
}

std::string CEvntView::FrameCaption() const {
    const CVLDoc& doc = Doc();
    return "[" + ViewSubject() + "] of " + doc.GetScriptName();
}

void CEvntView::OnDraw() {
    if (Frame() && seq_)
        SetFrameTitle(FrameCaption());
}

void CEvntView::DeclareCommands() {
    using namespace vl_ids;
    Commands()
        .On(kInsertEvent, [this] { OnInsertEvent(); })
        .On(kDeleteEvents, [this] { OnDeleteEvents(); })
        .On(kRunNow, [this] { OnExecuteEventNow(); })
        .On(
            kEditCopy,
            [this] {
                CopyEvents(false);
                MarkChanged();
                EventsCopied();
            },
            [](platform::qt::CommandUi& ui) { ui.SetText("&Copy Events\tCtrl+C"); })
        .On(
            kEditCut,
            [this] {
                if (CopyEvents(true))
                    DeleteEvents(false);
                MarkChanged();
            },
            [](platform::qt::CommandUi& ui) { ui.SetText("Cu&t Events\tCtrl+X"); })
        .On(
            kEditPaste, [this] { PasteEvents(); },
            [](platform::qt::CommandUi& ui) {
                ui.SetText("&Paste Events\tCtrl+V");
                ui.Enable(ClipboardOffersEvents());
            })
        .On(
            kEventsInFrames, [this] { ToggleEventsInFrames(); },
            [this](platform::qt::CommandUi& ui) { ui.SetCheck(Settings().eventsInFrames); })
        .On(
            kEventsWithTimecode, [this] { ToggleTimecodeStart(); },
            [this](platform::qt::CommandUi& ui) {
                // Only a chasing sequence has a start to add.
                ui.Enable(seq_ && seq_->m_nChaseOn != 0);
                ui.SetCheck(Settings().timecodeStartAdded);
            })
        .On(
            kAutostart, [this] { ToggleAutoStart(); }, PropertyText(kAutostart))
        .On(
            kLoop, [this] { ToggleLoop(); }, PropertyText(kLoop))
        .On(
            kRestart,
            [this] {
                if (seq_)
                    EditSequenceRestart(Doc(), *seq_, this);
            },
            PropertyText(kRestart))
        .On(
            kTimecodeStart, [this] { EditTimecodeStart(); }, PropertyText(kTimecodeStart));
    for (int level = 1; level <= 6; ++level)
        Commands().On(
            kIndentLevel1 + static_cast<unsigned>(level - 1),
            [this, level] { SetIndentation(level); },
            [this, level](platform::qt::CommandUi& ui) {
                ui.SetCheck(seq_ && seq_->m_wLevel == level);
            });
    for (int trigger = 0; trigger < 4; ++trigger) {
        const unsigned id = kStartTrigger + static_cast<unsigned>(trigger);
        Commands().On(
            id, [this, trigger] { EditTrigger(trigger); }, PropertyText(id));
    }
    // Print Grid prints the events under the script's name with no subtitle.
    OfferTableCommands({[this] { AutoSizeColumns(); }, [this] { ReplaceInGrid(); }, std::string()});
}

platform::qt::CommandMap::Updater CEvntView::PropertyText(unsigned id) const {
    return [this, id](platform::qt::CommandUi& ui) {
        if (seq_)
            ui.SetText(platform::qt::ToQString(SequencePropertyText(*seq_, id)));
    };
}

void CEvntView::EditTimecodeStart() {
    CVLDoc& doc = Doc();
    if (seq_ && EditSequenceTimecodeStart(doc, *seq_, this))
        TimecodeStartChanged();
}

void CEvntView::TimecodeStartChanged() {
    hints::SendTimeDisplay(Doc());
}

void CEvntView::OnInitialUpdate() {
    CVLDoc& doc = Doc();
    seq_ = doc.m_posCurrentSeq;
    OnUpdate(nullptr, 0, nullptr);
    CELCell cell;
    cel_->FetchGridDefault(cell);
    cell.SetEdgeStyle(kEdge3d);
    cell.SetBackground(kCellBackground);
    cel_->StoreGridDefault(cell);
    cel_->EnableBlockSelection(1);
    cel_->SetColumnCount(EventCel::kColumns, false);
    for (int c = 0; c < EventCel::kColumns; ++c)
        cel_->WriteCellText(c, -1, kHeadings[c]);
    FillGrid();
    if (seq_) {
        // A stored width never makes one column wider than the program's window.
        const int widest = std::max(kMinimumWidths[EventCel::kColumns - 1], window()->width());
        // A default width shows its whole heading, and the time column a whole time with its
        // frames.
        const QFontMetrics metrics(cel_->font());
        const CSeq defaults("", 1);
        for (int c = 0; c < EventCel::kColumns; ++c) {
            const auto i = static_cast<std::size_t>(c);
            int width = seq_->m_awEventColWidths[i] / 35;
            if (seq_->m_awEventColWidths[i] == defaults.m_awEventColWidths[i]) {
                const char* text = c == 2 ? "00:00:00.00" : kHeadings[c];
                width = std::max(width, metrics.horizontalAdvance(QString::fromLatin1(text)) + 10);
            }
            cel_->ResizeColumn(c, std::min(width, widest));
        }
    }
    cel_->SetRowHeadingWidth(50);
    cel_->RepaintAll();
    OnDraw();
}

void CEvntView::OnUpdate(platform::View* sender, long hint, void* object) {
    if (!HintConcernsView(hint, object))
        return;
    cel_->update();
    if (hint == hints::kTimeDisplay || hint == hints::kEventListChanged) {
        // Rows move under an editor another view left open: its text would land on whichever
        // event comes to its row, so the edit goes.
        if (hint == hints::kEventListChanged && !sendingEventsChanged_ && cel_->IsEditing())
            cel_->AbandonEdit();
        FillGrid();
        update();
    }
    CVLView::OnUpdate(sender, hint, object);
}

std::string CEvntView::TimeCellText(const CEvnt& event) const {
    const CVLDoc& doc = Doc();
    if (!seq_)
        return event.m_strTime;
    const double rate = doc.GetFrameRate();
    const ViewSettings settings = Settings();
    double frames = EventTimeToFrames(event.m_strTime, rate);
    std::string text = event.m_strTime;
    if (settings.timecodeStartAdded) {
        frames += seq_->m_dChaseStart;
        text = FramesToTimecodeText(frames, rate);
    }
    if (settings.eventsInFrames && frames >= 0)
        text = std::to_string(static_cast<unsigned long>(RoundHalfUp(frames)));
    return text;
}

int CEvntView::ShownStartOffset() const {
    return seq_ && Settings().timecodeStartAdded ? static_cast<int>(seq_->m_dChaseStart) : 0;
}

void CEvntView::FillRow(int row) {
    if (!seq_ || row < 0 || row >= static_cast<int>(seq_->m_poEventList.size()))
        return;
    CEvnt& event = *seq_->m_poEventList[static_cast<std::size_t>(row)];
    const auto put = [&](int column, const std::string& text) {
        const char* held = cel_->ReadCellText(column, row);
        if (!held || text != held)
            cel_->WriteCellText(column, row, text);
    };
    put(-1, RowHeading(row));
    for (int c = 0; c < EventCel::kColumns; ++c)
        put(c, c == 2 ? TimeCellText(event) : *Field(event, c));
}

void CEvntView::FillGrid() {
    if (!seq_)
        return;
    const int events = static_cast<int>(seq_->m_poEventList.size());
    // An editor opening on the new last row keeps its place: no relayout under it.
    cel_->SetRowCount(events + 1, !cel_->IsEditing());
    // Rows are filled when first asked for.
    rows_->Owe(events);
    for (int c = -1; c < EventCel::kColumns; ++c) {
        const char* held = cel_->ReadCellText(c, events);
        if (held && *held)
            cel_->WriteCellText(c, events, "");
    }
    cel_->RepaintAll();
}

void CEvntView::StoreEventColumnWidths() {
    if (!seq_)
        return;
    for (int c = 0; c < EventCel::kColumns; ++c)
        seq_->m_awEventColWidths[static_cast<std::size_t>(c)] =
            StoredColumnWidth(cel_->GetColumnWidth(c));
}

void CEvntView::AutoSizeColumns() {
    if (!FitsColumns())
        return;
    cel_->FitColumnWidths(0, EventCel::kColumns - 1, -1, 2);
    for (int c = 0; c < EventCel::kColumns; ++c)
        if (cel_->GetColumnWidth(c) < kMinimumWidths[c])
            cel_->ResizeColumn(c, kMinimumWidths[c]);
    cel_->RepaintAll();
    StoreEventColumnWidths();
    cel_->RepaintAll();
}

void CEvntView::EnableCellTips(bool enable) {
    cel_->EnableCellTips(enable);
}

void CEvntView::MarkChanged() {
    Doc().SetModifiedFlag();
    if (seq_)
        seq_->m_nNeedsCompile = 1;
}

void CEvntView::EventsChanged(int) {
    CVLDoc& doc = Doc();
    if (!seq_)
        return;
    sendingEventsChanged_ = true;
    hints::SendEventListChanged(doc, *seq_);
    sendingEventsChanged_ = false;
}

void CEvntView::EventTextChanged() {
    hints::SendRepaint(Doc());
}

void CEvntView::OnInsertEvent() {
    if (!seq_)
        return;
    const int column = cel_->GetActiveColumn(), row = cel_->GetActiveRow();
    if (row < 0 || row >= cel_->GetRowCount())
        return;
    try {
        auto event = std::make_unique<CEvnt>();
        auto& list = seq_->m_poEventList;
        list.insert(list.begin() + std::min<std::ptrdiff_t>(row, std::ssize(list)),
                    std::move(event));
    } catch (const std::bad_alloc&) {
        Box(kNoMemory, platform::DefaultCaption());
        return;
    }
    if (RaisesOrderOnInsert())
        seq_->CheckEventOrder(Doc().GetFrameRate(), true);
    FillGrid();
    update();
    cel_->ClearBlockSelection();
    cel_->RepaintAll();
    cel_->MoveActiveCell(column, row);
    MarkChanged();
    EventsChanged(row);
}

void CEvntView::OnDeleteEvents() {
    DeleteEvents(true);
    MarkChanged();
}

bool CEvntView::DeleteEvents(bool ask) {
    if (!seq_)
        return false;
    const int column = cel_->GetActiveColumn();
    std::vector<int> rows;
    const int events = static_cast<int>(seq_->m_poEventList.size());
    for (int row = 0; row < events; ++row)
        if (cel_->IsCellSelected(column, row, nullptr))
            rows.push_back(row);
    if (ask) {
        char text[96];
        std::snprintf(text, sizeof text, "Remove the %d selected event(s). Are you sure?",
                      static_cast<int>(rows.size()));
        if (platform::Ui().MessageBox({text, "Delete Events", platform::MsgButtons::OkCancel}) !=
            platform::MsgResult::Ok)
            return false;
    }
    auto& list = seq_->m_poEventList;
    for (std::size_t k = 0; k < rows.size(); ++k)
        list.erase(list.begin() + (rows[k] - static_cast<int>(k)));
    if (list.empty()) {
        try {
            list.push_back(std::make_unique<CEvnt>());
        } catch (const std::bad_alloc&) {
            Box(kNoMemory, platform::DefaultCaption());
            return true;
        }
    }
    if (!rows.empty())
        EventsChanged(0);
    FillGrid();
    update();
    cel_->ClearBlockSelection();
    cel_->RepaintAll();
    if (!rows.empty())
        cel_->MoveActiveCell(column, std::min(rows.back() - static_cast<int>(rows.size()) + 1,
                                              cel_->GetRowCount() - 1));
    return true;
}

void CEvntView::OnExecuteEventNow() {
    CVLDoc& doc = Doc();
    CEvnt* event = seq_ ? cel_->EventAt(cel_->GetActiveRow()) : nullptr;
    if (event)
        showlink::DownloadEventNow(doc, *seq_, *event);
}

void CEvntView::ToggleEventsInFrames() {
    ViewSettings settings = Settings();
    Services().SetTimeDisplay(!settings.eventsInFrames, settings.timecodeStartAdded);
    FillGrid();
    update();
    hints::SendTimeDisplay(Doc());
}

void CEvntView::ToggleTimecodeStart() {
    ViewSettings settings = Settings();
    Services().SetTimeDisplay(settings.eventsInFrames, !settings.timecodeStartAdded);
    FillGrid();
    update();
    hints::SendTimeDisplay(Doc());
}

void CEvntView::SetIndentation(int level) {
    CVLDoc& doc = Doc();
    if (!seq_)
        return;
    seq_->m_wLevel = static_cast<std::uint16_t>(level);
    doc.SetModifiedFlag();
    hints::SendRepaint(doc);
    ShowStatus(level == 1 ? std::string("Indentation set to None")
                          : "Indentation set to Level " + std::to_string(level - 1));
}

void CEvntView::ToggleAutoStart() {
    if (!seq_)
        return;
    seq_->m_nAutoStart = seq_->m_nAutoStart ? 0 : 1;
    MarkChanged();
    ShowStatus(seq_->m_nAutoStart ? "Autostart Enabled" : "Autostart Disabled");
}

void CEvntView::ToggleLoop() {
    if (!seq_)
        return;
    seq_->m_nLooping = seq_->m_nLooping ? 0 : 1;
    MarkChanged();
    ShowStatus(seq_->m_nLooping ? "Loop Enabled" : "Loop Disabled");
}

void CEvntView::EditTrigger(int index) {
    CVLDoc& doc = Doc();
    if (seq_ && seq_->EditTrigger(&doc, index))
        doc.SetModifiedFlag();
}

void CEvntView::ShowStatus(const std::string& state) {
    ::CPopupDlg popup;
    popup.title = "Sequence Properties";
    popup.message = "Sequence: " + ViewSubject();
    popup.detail = state;
    popup.delayTicks = Settings().popupDelay;
    platform::Ui().RunDialog(popup);
}

namespace {

QString EventsFormat() {
    return QString::fromLatin1(clipboard::kEventsFormat);
}

std::string Counted(const char* pattern, std::size_t count) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, static_cast<int>(count));
    return text;
}

} // namespace

bool CEvntView::ClipboardOffersEvents() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasFormat(EventsFormat());
}

std::vector<int> CEvntView::SelectedEventRows() const {
    std::vector<int> rows;
    if (!seq_)
        return rows;
    const int column = cel_->GetActiveColumn();
    const int events = static_cast<int>(seq_->m_poEventList.size());
    for (int row = 0; row < events; ++row)
        if (cel_->IsCellSelected(column, row, nullptr))
            rows.push_back(row);
    return rows;
}

bool CEvntView::CopyEvents(bool cut) {
    const std::vector<int> rows = SelectedEventRows();
    if (rows.empty())
        return false;
    const std::string caption = cut ? "Cut to Clipboard" : "Copy to Clipboard";
    // The block counts its events in two bytes: a longer run is refused whole.
    if (rows.size() > clipboard::kMaxBlockEvents) {
        platform::Ui().MessageBox({Counted(cut ? "Cutting %d events would exceed 65535 events"
                                               : "Copying %d events would exceed 65535 events",
                                           rows.size()),
                                   caption, platform::MsgButtons::Ok});
        return false;
    }
    std::vector<const CEvnt*> events;
    events.reserve(rows.size());
    for (int row : rows)
        events.push_back(seq_->m_poEventList[static_cast<std::size_t>(row)].get());
    if (clipboard::EventsBlockCutsText(events) &&
        platform::Ui().MessageBox({clipboard::kCutTextsQuestion, caption,
                                   platform::MsgButtons::YesNo}) != platform::MsgResult::Yes)
        return false;
    try {
        const std::vector<std::uint8_t> block = clipboard::WriteEventsBlock(events);
        auto* data = new QMimeData; // the clipboard takes it
        data->setData(EventsFormat(), QByteArray(reinterpret_cast<const char*>(block.data()),
                                                 static_cast<qsizetype>(block.size())));
        QApplication::clipboard()->setMimeData(data);
    } catch (const std::bad_alloc&) {
        Box("Selection size too large:  Not enough memory to perform copy", "Copy to Clipboard");
        return false;
    }
    return true;
}

void CEvntView::PasteEvents() {
    if (!seq_)
        return;
    const std::string caption = "Paste from Clipboard";
    auto& list = seq_->m_poEventList;
    const int column = cel_->GetActiveColumn();
    const int emptyRow = static_cast<int>(list.size());
    // The run of selected rows the paste goes before (the empty row may end it).
    int first = emptyRow;
    for (int row = 0; row < emptyRow; ++row)
        if (cel_->IsCellSelected(column, row, nullptr)) {
            first = row;
            break;
        }
    int last = first;
    while (last + 1 <= emptyRow && cel_->IsCellSelected(column, last + 1, nullptr))
        ++last;
    const int replaceLast = std::min(last, emptyRow - 1);

    // Read and check the whole block before anything changes.
    const QMimeData* data = QApplication::clipboard()->mimeData();
    const QByteArray bytes = data ? data->data(EventsFormat()) : QByteArray();
    if (bytes.isEmpty()) {
        Box("Error obtaining data from Clipboard", caption);
        return;
    }
    clipboard::EventsBlock block;
    try {
        block =
            clipboard::ReadEventsBlock({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                        static_cast<std::size_t>(bytes.size())});
    } catch (const std::bad_alloc&) {
        Box(kNoMemory, caption);
        return;
    }
    using Status = clipboard::EventsBlock::Status;
    switch (block.status) {
    case Status::Ok:
        break;
    case Status::SequencesBlock:
        Box("Cannot Paste sequences into events", caption);
        return;
    case Status::UnknownTag:
        Box("Unknown data.  Cannot Paste into events", caption);
        return;
    case Status::Damaged:
        Box("Error obtaining data from Clipboard", caption);
        return;
    }
    bool replace = false;
    if (replaceLast > first)
        replace = platform::Ui().MessageBox({"Are you sure you want to replace the current "
                                             "selection?",
                                             caption, platform::MsgButtons::YesNo}) ==
                  platform::MsgResult::Yes;
    const std::size_t removed = replace ? static_cast<std::size_t>(replaceLast - first + 1) : 0;
    const std::size_t rowsAfter = list.size() - removed + 1;
    if (block.events.size() + rowsAfter > clipboard::kMaxPasteRows) {
        Box(Counted("Pasting %d events would exceed 32767 events", block.events.size()), caption);
        return;
    }
    try {
        list.reserve(list.size() - removed + block.events.size() + 1);
        if (removed)
            list.erase(list.begin() + first, list.begin() + first + static_cast<int>(removed));
        list.insert(list.begin() + std::min<std::ptrdiff_t>(first, std::ssize(list)),
                    std::make_move_iterator(block.events.begin()),
                    std::make_move_iterator(block.events.end()));
        if (list.empty())
            list.push_back(std::make_unique<CEvnt>());
    } catch (const std::bad_alloc&) {
        Box(kNoMemory, caption);
    }
    EventsChanged(first);
    FillGrid();
    update();
    cel_->MoveActiveCell(1, first);
    cel_->ClearBlockSelection();
    cel_->SelectOneCell(1, first);
    cel_->RepaintAll();
    MarkChanged();
}

void RegisterEventViews(platform::qt::ViewRegistry& registry, ViewServices& services) {
    RegisterTypedView<CEvntView, CVLDoc>(registry, "CEvntView", services);
    // Both panes of the timeline frame, or neither: the frame needs the two.
    RegisterTimelineView(registry, services);
    RegisterTimeGridView(registry, services);
    RegisterEventDialogs(registry);
}
