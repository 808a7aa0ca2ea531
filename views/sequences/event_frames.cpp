#include "views/sequences/event_frames.h"

#include "controls/commandbars/command_bars.h"
#include "controls/commandbars/control_combo_edit.h"
#include "controls/commandbars/controls.h"
#include "controls/commandbars/paint_manager.h"
#include "controls/commandbars/resources.h"
#include "controls/commandbars/splitter.h"
#include "controls/commandbars/tool_bar.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/ui_services.h"
#include "script/time_conversions.h"
#include "script/view_kind.h"
#include "script/vl_doc.h"
#include "views/common/update_hints.h"
#include "views/common/view_services.h"

#include <algorithm>
#include <vector>

namespace pq = platform::qt;
using namespace vl_ids;

const char* const kOutOfOrderQuestion =
    "Some events are out of time order. \r\nThese events will be sorted according to time. "
    "\r\nEvent times may be changed.\r\n\r\nDo you wish to continue?";

void RegisterEventFrameResources() {
    GVPToolBarResource bar;
    bar.ids = {kTimeline,
               0,
               kZoomIn,
               kZoomOut,
               0,
               kSubtractFrame,
               kAddFrame,
               0,
               kEventsInFrames,
               kEventsWithTimecode,
               0,
               kRunNow,
               0,
               kTimecodeModeCombo,
               kTimecodeStartEdit};
    bar.iconNames = {{kTimeline, "view-calendar-timeline"},
                     {kZoomIn, "zoom-in"},
                     {kZoomOut, "zoom-out"},
                     {kSubtractFrame, "go-previous"},
                     {kAddFrame, "go-next"},
                     {kEventsInFrames, "view-list-details"},
                     {kEventsWithTimecode, "chronometer"},
                     {kRunNow, "media-playback-start"}};
    CGVPResources& res = CGVPResources::Instance();
    res.SetToolBar(kEventToolBar, std::move(bar));
    res.SetString(8, QString::fromLatin1(kOutOfOrderQuestion));
}

void RegisterSequenceFrames(pq::ViewRegistry& registry, ViewServices& services) {
    struct Kind {
        const ViewKind* view;
        const ViewKind* other; // the kind of the other frame of a sequence
        bool timeline;
    };
    for (const Kind& kind : {Kind{&kEventEditorKind, &kTimelineKind, false},
                             Kind{&kTimelineKind, &kEventEditorKind, true}}) {
        registry.RegisterContent(
            std::string(kind.view->className),
            [&registry, &services, kind](pq::MdiChildFrame& frame,
                                         const pq::ViewMaker& make) -> QWidget* {
                auto* owner = dynamic_cast<SequenceFrame*>(&frame);
                if (!owner)
                    return nullptr;
                CVLDoc& doc = owner->Document();
                CSeq& seq = owner->Sequence();
                SequenceFrameBars::Hooks hooks;
                // The other frame opens on this frame's own sequence.
                hooks.switchFrame = [&services, &doc, &seq, kind] {
                    doc.m_posCurrentSeq = &seq;
                    return services.OpenNewView(doc, *kind.other) != nullptr;
                };
                hooks.otherAvailable = [&registry, kind] {
                    return registry.FindView(std::string(kind.other->className)) != nullptr;
                };
                hooks.clearStartAdded = [&services] { services.ClearTimecodeStartAdded(); };
                if (!kind.timeline) {
                    auto* content =
                        new CEvntMDIChildWnd(doc, seq, owner->MainFrame(), std::move(hooks));
                    QWidget* view = make("CEvntView", content);
                    if (!view) {
                        delete content;
                        return nullptr;
                    }
                    content->SetCentralWidget(view);
                    return content;
                }
                auto* content = new CFrTimeline(doc, seq, owner->MainFrame(), std::move(hooks));
                QWidget* timeline = make("CVwTimeline", content);
                QWidget* grid = make("CVwTimeGrid", content);
                if (!timeline || !grid) {
                    delete content;
                    return nullptr;
                }
                content->SetPanes(timeline, grid);
                return content;
            });
    }
}

// ---- SequenceFrame ----

SequenceFrame::SequenceFrame(CVLDoc& doc, CSeq& seq, QSize defaultSize,
                             pq::CommandTarget& mainFrame)
    : PlacementFrame(defaultSize), doc_(doc), seq_(seq), mainFrame_(mainFrame) {
    // One record per sequence, whichever of the two frames shows it.
    storedPlacement = [this] {
        pq::PlacementRecord record;
        record.x = seq_.m_anWindowPos[0];
        record.y = seq_.m_anWindowPos[1];
        record.width = seq_.m_anWindowPos[2];
        record.height = seq_.m_anWindowPos[3];
        record.maximised = seq_.m_nMaximized != 0;
        record.minimised = seq_.m_nMinimized != 0;
        return record;
    };
    savePlacement = [this](const pq::PlacementRecord& record) {
        seq_.m_anWindowPos = {record.x, record.y, record.width, record.height};
        seq_.m_nMaximized = record.maximised ? 1 : 0;
        seq_.m_nMinimized = record.minimised ? 1 : 0;
    };
    connect(this, &QMdiSubWindow::aboutToActivate, this,
            [this] { setWindowTitle(pq::ToQString(Title())); });
}

std::string SequenceFrame::Title() const {
    return "[" + seq_.m_strName + "] of " + doc_.GetScriptName();
}

// ---- SequenceFrameBars ----

SequenceFrameBars::SequenceFrameBars(CVLDoc& doc, CSeq& seq, pq::CommandTarget& mainFrame,
                                     Hooks hooks)
    : doc_(doc), seq_(seq), hooks_(std::move(hooks)) {
    SetMainFrame(&mainFrame);
    // The start shown follows the chase time whatever ran last.
    const double rate = doc_.GetFrameRate();
    const auto part = [&](int i) { return static_cast<std::uint8_t>(seq_.m_anChaseStart[i]); };
    seq_.m_dChaseStart = HmsfToFrames(part(0), part(1), part(2), part(3), rate);
    seq_.m_strChaseStart = FramesToTimecodeText(seq_.m_dChaseStart, rate);

    CGVPToolBar* bar = nullptr;
    if (SetUpCommandBars())
        bar = GetCommandBars()->AddToolBar(QStringLiteral("Standard"), 0);
    toolBar_ = bar && bar->LoadToolBar(kEventToolBar);
    if (!toolBar_) {
        platform::ShowMessage("Failed to create toolbar");
        return;
    }
    if (auto* timeline =
            dynamic_cast<CGVPControlButton*>(bar->GetControls()->FindControlById(kTimeline))) {
        timeline->SetCaption(QStringLiteral("Timeline"));
        timeline->SetStyle(gvpButtonIconAndCaption);
    }
}

bool SequenceFrameBars::OnCreateControl(GVP_CREATE_CONTROL_INFO& info) {
    if (info.nID == kTimecodeModeCombo) {
        combo_ = CGVPControlComboBox::CreateObject();
        combo_->SetWidth(140);
        combo_->SetDropWidth(150);
        for (const char* item :
             {"Timecode - Internal", "Timecode - Jam Sync", "Timecode - Reset Mode"})
            combo_->AddString(QString::fromLatin1(item));
        info.pControl = combo_;
        info.controlType = gvpControlComboBox;
        return true;
    }
    if (info.nID == kTimecodeStartEdit) {
        edit_ = CGVPControlEdit::CreateObject();
        edit_->SetWidth(160);
        edit_->SetCaption(QStringLiteral("Timecode Start:"));
        edit_->ShowLabel(true);
        info.pControl = edit_;
        info.controlType = gvpControlEdit;
        return true;
    }
    return false;
}

bool SequenceFrameBars::HasCommandHandler(unsigned id) const {
    return id == kTimecodeModeCombo || id == kTimecodeStartEdit || id == kTimeline;
}

bool SequenceFrameBars::OnCommand(unsigned id) {
    switch (id) {
    case kTimecodeModeCombo:
        if (combo_)
            ChooseMode(combo_->GetCurSel());
        return true;
    case kTimecodeStartEdit:
        if (edit_)
            EnterStart(pq::FromQString(edit_->GetEditText()));
        return true;
    case kTimeline:
        Switch();
        return true;
    default:
        return CGVPMDIChildWnd::OnCommand(id);
    }
}

bool SequenceFrameBars::OnUpdateCommand(unsigned id, pq::CommandUi& ui) {
    switch (id) {
    case kTimecodeModeCombo:
        if (combo_ && !combo_->IsDroppedDown()) {
            const int index = !seq_.m_nChaseOn ? 0 : seq_.m_nChaseMode ? 1 : 2;
            if (combo_->GetCurSel() != index)
                combo_->SelectListItem(index);
        }
        ui.Enable(true);
        return true;
    case kTimecodeStartEdit:
        if (edit_) {
            // Only the field's own hide flag is ours: the bar's layout sets the others (a
            // wrapped or docked-away field), and clearing them would ask for a new layout,
            // which asks for the next update, on every update.
            const int mask = edit_->GetHiddenMask();
            if (seq_.m_nChaseOn) {
                if (!edit_->GetEditWindow() || !edit_->GetEditWindow()->hasFocus())
                    edit_->SetEditText(pq::ToQString(seq_.m_strChaseStart));
                if (mask & kHideGeneric)
                    edit_->SetHiddenMask(mask & ~kHideGeneric);
            } else if (!(mask & kHideGeneric)) {
                seq_.m_nChaseMode = 0;
                SetStart("00:00:00.00");
                if (hooks_.clearStartAdded)
                    hooks_.clearStartAdded();
                edit_->SetHiddenMask(mask | kHideGeneric);
            }
        }
        ui.Enable(true);
        return true;
    case kTimeline:
        if (IsTimeline())
            ui.SetCheck(doc_.m_nViewTimeLine != 0);
        ui.Enable(!hooks_.otherAvailable || hooks_.otherAvailable());
        return true;
    default:
        return CGVPMDIChildWnd::OnUpdateCommand(id, ui);
    }
}

void SequenceFrameBars::ChooseMode(int index) {
    if (index < 0 || index > 2)
        return;
    const int chase = index == 0 ? 0 : 1;
    const int mode = index == 1 ? 1 : 0;
    const bool changed = seq_.m_nChaseOn != chase || (chase && seq_.m_nChaseMode != mode);
    seq_.m_nChaseOn = chase;
    seq_.m_nChaseMode = mode;
    if (index == 0) {
        SetStart("00:00:00.00");
        if (hooks_.clearStartAdded)
            hooks_.clearStartAdded();
    }
    // The mode is saved and compiled with the sequence.
    if (changed) {
        doc_.SetModifiedFlag();
        seq_.m_nNeedsCompile = 1;
    }
    hints::SendTimeDisplay(doc_);
}

void SequenceFrameBars::EnterStart(const std::string& text) {
    const std::string start = NormalizeTimeEntryForDoc(text, doc_.GetFrameRate());
    if (start.empty()) {
        platform::ShowMessage("Invalid Timecode Time. Time must be between 0 and 24 hours");
        return;
    }
    doc_.SetModifiedFlag();
    seq_.m_nNeedsCompile = 1;
    SetStart(start);
}

void SequenceFrameBars::SetStart(const std::string& text) {
    const auto number = [&](std::size_t at) {
        int value = 0;
        for (std::size_t i = at; i < at + 2 && i < text.size(); ++i)
            if (text[i] >= '0' && text[i] <= '9')
                value = value * 10 + (text[i] - '0');
        return value;
    };
    seq_.m_dChaseStart = EventTimeToFrames(text, doc_.GetFrameRate());
    seq_.m_strChaseStart = text;
    seq_.m_anChaseStart = {number(0), number(3), number(6),
                           number(text.size() >= 2 ? text.size() - 2 : 0)};
    hints::SendTimeDisplay(doc_);
}

void SequenceFrameBars::Switch() {
    if (hooks_.otherAvailable && !hooks_.otherAvailable())
        return;
    if (!MaySwitch())
        return;
    doc_.m_nViewTimeLine = doc_.m_nViewTimeLine ? 0 : 1;
    // The frame goes once the other one shows the sequence.
    pq::MdiChildFrame* own = nullptr;
    for (QWidget* w = parentWidget(); w && !own; w = w->parentWidget())
        own = dynamic_cast<pq::MdiChildFrame*>(w);
    if (hooks_.switchFrame && hooks_.switchFrame() && own)
        own->close();
}

// ---- CEvntMDIChildWnd ----

CEvntMDIChildWnd::CEvntMDIChildWnd(CVLDoc& doc, CSeq& seq, pq::CommandTarget& mainFrame,
                                   Hooks hooks)
    : SequenceFrameBars(doc, seq, mainFrame, std::move(hooks)) {}

bool CEvntMDIChildWnd::MaySwitch() {
    const double rate = doc_.GetFrameRate();
    std::vector<std::string> times;
    for (const auto& event : seq_.m_poEventList)
        times.push_back(event->m_strTime);
    // The check alone rewrites the times' texts: they are put back as they were.
    const bool ordered = seq_.CheckEventOrder(rate, false);
    for (std::size_t i = 0; i < times.size(); ++i)
        seq_.m_poEventList[i]->m_strTime = times[i];
    if (ordered)
        return true;
    if (platform::Ui().MessageBox({kOutOfOrderQuestion, "Timeline View",
                                   platform::MsgButtons::YesNo}) != platform::MsgResult::Yes)
        return false;
    seq_.CheckEventOrder(rate, true);
    bool changed = false;
    for (std::size_t i = 0; i < times.size(); ++i)
        changed = changed || seq_.m_poEventList[i]->m_strTime != times[i];
    if (changed) {
        doc_.SetModifiedFlag();
        seq_.m_nNeedsCompile = 1;
    }
    return true;
}

// ---- CFrTimeline ----

CFrTimeline::CFrTimeline(CVLDoc& doc, CSeq& seq, pq::CommandTarget& mainFrame, Hooks hooks)
    : SequenceFrameBars(doc, seq, mainFrame, std::move(hooks)) {}

void CFrTimeline::SetPanes(QWidget* timeline, QWidget* grid) {
    auto* splitter = new CGVSplitterWnd(this);
    splitter->CreateStatic(1, 2);
    splitter->SetPane(0, 0, timeline);
    splitter->SetPane(0, 1, grid);
    splitter->SetColumnInfo(0, 200, 0);
    SetCentralWidget(splitter);
    timeline_ = dynamic_cast<TimelinePane*>(timeline);
    grid_ = dynamic_cast<pq::CommandTarget*>(grid);
}

bool CFrTimeline::HasCommandHandler(unsigned id) const {
    return id == kEventsInFrames || id == kEventsWithTimecode || id == kZoomIn || id == kZoomOut ||
           id == kAddFrame || id == kSubtractFrame || SequenceFrameBars::HasCommandHandler(id);
}

bool CFrTimeline::OnCommand(unsigned id) {
    switch (id) {
    case kEventsInFrames:
    case kEventsWithTimecode:
        // The grid pane's toggles switch, write, refill and tell every view.
        return grid_ && grid_->OnCommand(id);
    case kZoomIn:
    case kZoomOut:
        if (timeline_) {
            const int level = timeline_->ZoomLevel() + (id == kZoomIn ? -1 : 1);
            if (level >= 1 && level <= 9)
                timeline_->SetZoomLevel(level);
        }
        return true;
    case kAddFrame:
    case kSubtractFrame:
        if (timeline_)
            timeline_->NudgeSelection(id == kAddFrame ? 1 : -1);
        return true;
    default:
        return SequenceFrameBars::OnCommand(id);
    }
}

bool CFrTimeline::OnUpdateCommand(unsigned id, pq::CommandUi& ui) {
    switch (id) {
    case kEventsInFrames:
    case kEventsWithTimecode:
        return grid_ && grid_->OnUpdateCommand(id, ui);
    case kAddFrame:
    case kSubtractFrame:
        ui.Enable(timeline_ && timeline_->HasSelection());
        return true;
    default:
        return SequenceFrameBars::OnUpdateCommand(id, ui);
    }
}
