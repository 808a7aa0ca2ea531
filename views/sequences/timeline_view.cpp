#include "views/sequences/timeline_view.h"

#include "controls/commandbars/view_popup.h"
#include "link/live_commands.h"
#include "platform/qt/colors.h"
#include "platform/qt/fonts.h"
#include "platform/qt/gdi.h"
#include "platform/qt/mdi_template.h"
#include "platform/ui_services.h"
#include "script/event_clipboard.h"
#include "script/time_conversions.h"
#include "views/common/update_hints.h"
#include "views/gridbase/print_services.h"
#include "views/sequences/time_grid_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QMetaObject>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace gdi = platform::qt;
using timeline::TimelineRect;

namespace {

constexpr const char* kPasteCaption = "Paste from Clipboard";
constexpr gdi::COLORREF kLabelBlue = 0xFF0000;
constexpr gdi::COLORREF kHoverFill = 0xA5FFFF;

void Box(const std::string& text, const std::string& caption) {
    platform::Ui().MessageBox({text, caption, platform::MsgButtons::Ok});
}

QRect ToQRect(const TimelineRect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

const QFont& AxisFont() {
    static const QFont font = gdi::FontFromLogFont({16, 700, false, false, false, 0, "Arial"});
    return font;
}

const QFont& BoxFont() {
    static const QFont font = gdi::FontFromLogFont({14, 400, false, false, false, 0, "Arial"});
    return font;
}

void DrawBox(QPainter& painter, const CEventBoxOb& box, int axisX) {
    const TimelineRect& r = box.m_rcBox;
    gdi::FillSolidRect(painter, gdi::GdiRect(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1),
                       box.m_crFill);
    painter.save();
    painter.setClipRect(ToQRect(r));
    painter.setFont(BoxFont());
    gdi::DrawTextTop(painter, r.left + 2, r.top, QString::fromLatin1(box.m_strLabel.c_str()),
                     box.m_crText);
    painter.restore();
    if (box.m_bGroupHead)
        gdi::DrawLine(painter, axisX, r.top + 7, r.left, r.top + 7,
                      gdi::GetSysColor(gdi::COLOR_BTNSHADOW));
}

} // namespace

TimelineRect CMouseHoverBox::MoveTo(int x, int y) {
    m_rcOld = m_rcBox;
    m_rcBox = {x - 100, y - 25, x - 30, y - 10};
    return m_rcOld;
}

void PaintTimeline(QPainter& painter, const CEventBoxList& boxes,
                   const timeline::TimelineSettings& settings, const QRect& area,
                   const CMouseHoverBox* hover) {
    gdi::BeginGdiPainting(painter);
    gdi::FillSolidRect(painter, gdi::GdiRect::FromQRect(area), 0xFFFFFF);
    const int x0 = timeline::AxisX(settings);
    const int span = timeline::AxisSpan(settings);
    const gdi::COLORREF shadow = gdi::GetSysColor(gdi::COLOR_BTNSHADOW);
    const int top = std::max(area.top(), timeline::kAxisTop);
    const int bottom = std::min(area.bottom() + 1, span + timeline::kAxisTop + 1);
    if (top < bottom)
        gdi::DrawLine(painter, x0, top, x0, bottom, shadow);
    painter.setFont(AxisFont());
    // A label's rows start 9 above its tick: ask for the ticks a little below the area too.
    for (const timeline::AxisTick& tick :
         timeline::AxisTicks(settings, area.top() - 10, area.bottom() + 20)) {
        gdi::DrawLine(painter, x0 - 4, tick.y, x0 + (tick.major ? 15 : 5), tick.y, shadow);
        if (tick.major)
            gdi::DrawTextTop(painter, 5, tick.y - 9, QString::fromStdString(tick.label),
                             kLabelBlue);
    }
    const TimelineRect paint{area.left(), area.top(), area.right() + 1, area.bottom() + 1};
    for (const CEventBoxOb& box : boxes.Boxes())
        if (box.m_bGroupHead || box.m_rcBox.Overlaps(paint))
            DrawBox(painter, box, x0);
    if (hover) {
        const TimelineRect& r = hover->GetRect();
        gdi::FillSolidRect(painter, gdi::GdiRect(r.left, r.top, r.right, r.bottom), 0);
        gdi::FillSolidRect(painter, gdi::GdiRect(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1),
                           kHoverFill);
        painter.setFont(BoxFont());
        gdi::DrawTextTop(painter, r.left + 2, r.top, QString::fromStdString(hover->m_strText), 0);
    }
}

// ---- TimelineCanvas ----

TimelineCanvas::TimelineCanvas(CVwTimeline& view) : view_(view) {
    setMouseTracking(true); // "Move Event" follows the mouse without a button
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TimelineCanvas::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    PaintTimeline(painter, view_.boxes_, view_.settings_, event->rect(),
                  view_.dragging_ ? &view_.hover_ : nullptr);
}

void TimelineCanvas::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton)
        view_.OnLButtonDown(event->position().toPoint(), event->modifiers());
}

void TimelineCanvas::mouseMoveEvent(QMouseEvent* event) {
    view_.OnMouseMove(event->position().toPoint());
}

void TimelineCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        view_.OnLButtonUp(event->position().toPoint());
}

void TimelineCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        view_.OnLButtonDblClk(event->position().toPoint(), event->modifiers());
}

void TimelineCanvas::contextMenuEvent(QContextMenuEvent* event) {
    view_.OnContextMenu(event->pos(), event->globalPos());
    event->accept();
}

void TimelineCanvas::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up)
        view_.NudgeSelectedEvents(true);
    else if (event->key() == Qt::Key_Down)
        view_.NudgeSelectedEvents(false);
    QWidget::keyPressEvent(event);
}

// ---- CVwTimeline ----

CVwTimeline::CVwTimeline(CVLDoc& doc, ViewServices& services, QWidget* parent)
    : CVLView(doc, services, parent), scroll_(new QScrollArea(this)),
      canvas_(new TimelineCanvas(*this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll_);
    scroll_->setWidget(canvas_);
    scroll_->setWidgetResizable(false);
    scroll_->setBackgroundRole(QPalette::Base);
    canvas_->resize(1000, 1000);
    DeclareCommands();
}

CVwTimeline::~CVwTimeline() = default;

std::string CVwTimeline::ViewSubject() const {
    return seq_ ? seq_->m_strName : std::string();
}

void CVwTimeline::DeclareCommands() {
    using namespace vl_ids;
    Commands()
        .On(kInsertEvent, [this] { ForwardToGrid(kInsertEvent); })
        .On(
            kEditCut, [this] { ForwardToGrid(kEditCut); },
            [](gdi::CommandUi& ui) { ui.SetText("Cu&t Events\tCtrl+X"); })
        .On(
            kEditCopy, [this] { ForwardToGrid(kEditCopy); },
            [](gdi::CommandUi& ui) { ui.SetText("&Copy Events\tCtrl+C"); })
        .On(
            kEditPaste, [this] { PasteEvents(); },
            [](gdi::CommandUi& ui) {
                ui.SetText("&Paste Events\tCtrl+V");
                ui.Enable(CEvntView::ClipboardOffersEvents());
            })
        .On(kDeleteEvents, [this] { OnDeleteEvents(); })
        .On(kMoveEvent, [this] { OnMoveEvent(); })
        .On(kRunNow, [this] { OnRunNow(); })
        // The base prints the script listing; the timeline prints its picture.
        .On(kFilePrint, [this] { PrintTimeline(false); })
        .On(kFilePrintDirect, [this] { PrintTimeline(true); })
        .On(kFilePrintPreview, [this] { PrintPreviewTimeline(); });
}

void CVwTimeline::OnInitialUpdate() {
    CVLDoc& doc = Doc();
    seq_ = doc.m_posCurrentSeq;
    canvas_->resize(1000, 1000);
    zoomLevel_ = timeline::kDefaultZoomLevel;
    if (seq_)
        timecodeStart_ = FramesToTimecodeText(seq_->m_dChaseStart, doc.GetFrameRate());
    RebuildBoxes();
    if (Frame() && seq_)
        SetFrameTitle("[" + seq_->m_strName + "] of " + doc.GetScriptName());
}

void CVwTimeline::OnUpdate(platform::View*, long hint, void* object) {
    if (!HintConcernsView(hint, object) || !seq_)
        return;
    if (const auto* toggled = hints::As<hints::SkipToggled>(hint, object)) {
        SelectBox({}, toggled->event);
    } else if (hint == hints::kTimeDisplay) {
        // The frame's start field and the toggles change what the sequence says: read it again.
        timecodeStart_ = FramesToTimecodeText(seq_->m_dChaseStart, Doc().GetFrameRate());
        RebuildBoxes();
    } else if (const auto* changed = hints::As<hints::GridEventsChanged>(hint, object)) {
        RebuildBoxes();
        if (changed->event != 0)
            SelectBox({}, changed->event);
    } else if (hints::As<hints::EventListChanged>(hint, object)) {
        RebuildBoxes();
    }
}

void CVwTimeline::SetZoomLevel(int level) {
    if (!timeline::LookUpZoomLevel(level)) {
        // The previous level stays: no division by a step of nothing.
        Box("Zoom Level Not Found", platform::DefaultCaption());
        return;
    }
    zoomLevel_ = level;
    RebuildBoxes();
}

void CVwTimeline::RebuildBoxes() {
    CVLDoc& doc = Doc();
    if (busy_ || !seq_)
        return;
    busy_ = true;
    canvas_->setUpdatesEnabled(false);
    selection_.clear();
    const ViewSettings view = Services().Settings();
    settings_ = *timeline::MakeSettings(zoomLevel_, timecodeStart_, doc.GetFrameRate(),
                                        view.eventsInFrames, view.timecodeStartAdded);
    boxes_.Build(seq_->m_poEventList, settings_, timeline::OperandColours(doc));
    if (grabbed_ >= static_cast<int>(boxes_.size()))
        grabbed_ = -1;
    UpdateExtent();
    busy_ = false;
    canvas_->setUpdatesEnabled(true);
    canvas_->update();
}

void CVwTimeline::UpdateExtent() {
    const int width = std::max(boxes_.RightmostEdge() + 10, scroll_->viewport()->width());
    const int height = std::max(timeline::ScrollHeight(settings_), scroll_->viewport()->height());
    if (canvas_->size() != QSize(width, height))
        canvas_->resize(width, height);
}

CVwTimeline::MouseState CVwTimeline::State() const {
    if (dragging_)
        return MouseState::Dragging;
    return armed_ ? MouseState::Armed : MouseState::Idle;
}

CEvnt* CVwTimeline::EventOfBox(int box) const {
    if (!seq_ || box < 0 || box >= static_cast<int>(boxes_.size()))
        return nullptr;
    const int event = boxes_[static_cast<std::size_t>(box)].m_nEvent;
    if (event < 0 || event >= static_cast<int>(seq_->m_poEventList.size()))
        return nullptr;
    return seq_->m_poEventList[static_cast<std::size_t>(event)].get();
}

void CVwTimeline::InvalidateBox(int box) {
    const TimelineRect& r = boxes_[static_cast<std::size_t>(box)].m_rcBox;
    canvas_->update(ToQRect(r));
    // Its connector strip from the axis.
    canvas_->update(QRect(5, r.top + 7, std::max(0, r.left - 5), 1));
}

void CVwTimeline::ClearSelection() {
    for (int box : selection_) {
        boxes_[static_cast<std::size_t>(box)].Deselect();
        InvalidateBox(box);
    }
    selection_.clear();
}

void CVwTimeline::AddToSelection(int box) {
    selection_.push_back(box);
    boxes_[static_cast<std::size_t>(box)].Select(gdi::GetSysColor(gdi::COLOR_HIGHLIGHT),
                                                 gdi::GetSysColor(gdi::COLOR_HIGHLIGHTTEXT));
    InvalidateBox(box);
}

int CVwTimeline::SelectBox(Qt::KeyboardModifiers modifiers, int box) {
    if (box >= static_cast<int>(boxes_.size()))
        box = -1;
    const auto selected = [this](int b) {
        return std::find(selection_.begin(), selection_.end(), b) != selection_.end();
    };
    if (modifiers == Qt::ShiftModifier) {
        if (selection_.empty()) {
            if (box >= 0)
                AddToSelection(box);
        } else if (box >= 0) {
            // Only downward in index: a click above the first selected box adds no run.
            const int first = boxes_[static_cast<std::size_t>(selection_.front())].m_nEvent;
            const int last = boxes_[static_cast<std::size_t>(box)].m_nEvent;
            for (int b = 0; b < static_cast<int>(boxes_.size()); ++b) {
                const int event = boxes_[static_cast<std::size_t>(b)].m_nEvent;
                if (event > first && event < last && !selected(b))
                    AddToSelection(b);
            }
            if (!selected(box))
                AddToSelection(box);
        }
    } else if (modifiers == Qt::ControlModifier) {
        if (box >= 0 && !selected(box))
            AddToSelection(box);
    } else {
        ClearSelection();
        if (box >= 0)
            AddToSelection(box);
    }
    return box;
}

void CVwTimeline::SendSelection() {
    CVLDoc& doc = Doc();
    if (!seq_)
        return;
    CEventBoxList listed;
    for (int box : selection_)
        listed.push_back(boxes_[static_cast<std::size_t>(box)]);
    hints::SendTimelineSelection(doc, *seq_, listed);
}

void CVwTimeline::OnLButtonDown(QPoint point, Qt::KeyboardModifiers modifiers) {
    if (busy_)
        return;
    if (moveEventDrag_)
        return; // the press of a "Move Event" drag only drops it, at the release
    dragStarted_ = false;
    const int box = SelectBox(modifiers, boxes_.HitTest(point.x(), point.y()));
    if (box < 0)
        return;
    armed_ = true;
    const TimelineRect& r = boxes_[static_cast<std::size_t>(box)].m_rcBox;
    anchor_ = QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    anchorFrames_ = timeline::PixelToFrames(anchor_.y(), settings_.framesPerStep);
    grabbed_ = box;
    SendSelection();
}

void CVwTimeline::OnMoveEvent() {
    if (busy_)
        return;
    dragStarted_ = false;
    armed_ = true;
    if (selection_.empty())
        return;
    moveEventDrag_ = true;
    grabbed_ = selection_.front();
    const TimelineRect& r = boxes_[static_cast<std::size_t>(grabbed_)].m_rcBox;
    anchor_ = QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    anchorFrames_ = timeline::PixelToFrames(anchor_.y(), settings_.framesPerStep);
    SendSelection();
}

void CVwTimeline::OnMouseMove(QPoint point) {
    if (!armed_ || busy_ || selection_.empty())
        return;
    if (std::abs(anchor_.x() - point.x()) < 3 && std::abs(anchor_.y() - point.y()) < 3)
        return;
    const QPoint snapped(point.x(), timeline::SnapPixel(point.y(), settings_.framesPerStep));
    DragSelectedBoxes(snapped);
    ShowDragTime(snapped);
    AutoScroll(snapped);
    anchor_ = snapped;
}

void CVwTimeline::DragSelectedBoxes(QPoint snapped) {
    dragging_ = true;
    if (!dragStarted_) {
        // The grabbed box takes the time of its centre row; the others keep their distance.
        const auto it = std::find(selection_.begin(), selection_.end(), grabbed_);
        if (it != selection_.end()) {
            CEventBoxOb& grabbed = boxes_[static_cast<std::size_t>(grabbed_)];
            const int d = anchorFrames_ - grabbed.m_nFrames;
            for (int box : selection_)
                if (box != grabbed_)
                    boxes_[static_cast<std::size_t>(box)].m_nFrames += d;
            grabbed.m_nFrames = anchorFrames_;
        }
        dragStarted_ = true;
    }
    const int frames = timeline::PixelToFrames(snapped.y(), settings_.framesPerStep) -
                       timeline::PixelToFrames(anchor_.y(), settings_.framesPerStep);
    for (int box : selection_) {
        InvalidateBox(box);
        CEventBoxOb& b = boxes_[static_cast<std::size_t>(box)];
        b.MoveBy(snapped.x() - anchor_.x(), snapped.y() - anchor_.y());
        b.m_nFrames += frames;
        InvalidateBox(box);
    }
}

void CVwTimeline::ShowDragTime(QPoint snapped) {
    CVLDoc& doc = Doc();
    const double rate = doc.GetFrameRate();
    long long frames = timeline::PixelToFrames(snapped.y(), settings_.framesPerStep);
    if (settings_.startTimecodeAdded)
        frames += static_cast<long long>(EventTimeToFrames(timecodeStart_, rate));
    frames = std::min<long long>(frames, settings_.endTime);
    hover_.SetText(settings_.eventsInFrames
                       ? std::to_string(frames)
                       : FramesToTimecodeText(static_cast<double>(frames), rate));
    const TimelineRect old = hover_.MoveTo(snapped.x(), snapped.y());
    canvas_->update(ToQRect(old));
    canvas_->update(ToQRect(hover_.GetRect()));
}

void CVwTimeline::AutoScroll(QPoint snapped) {
    const QPoint inView = canvas_->mapTo(scroll_->viewport(), snapped);
    const QRect client = scroll_->viewport()->rect();
    QScrollBar* vertical = scroll_->verticalScrollBar();
    QScrollBar* horizontal = scroll_->horizontalScrollBar();
    if (inView.y() >= client.bottom() + 1 - 10)
        vertical->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    else if (inView.y() <= client.top() + 10)
        vertical->triggerAction(QAbstractSlider::SliderSingleStepSub);
    if (inView.x() <= client.left() + 10)
        horizontal->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (inView.x() >= client.right() + 1 - 10)
        horizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd);
}

void CVwTimeline::OnLButtonUp(QPoint) {
    armed_ = false;
    moveEventDrag_ = false;
    if (busy_ || !dragging_)
        return;
    dragging_ = false;
    canvas_->update(ToQRect(hover_.GetRect()));
    CVLDoc& doc = Doc();
    if (!seq_)
        return;
    for (int box : selection_) {
        CEventBoxOb& b = boxes_[static_cast<std::size_t>(box)];
        if (CEvnt* event = EventOfBox(box)) {
            const int frames = std::clamp(b.m_nFrames, 0, timeline::kMaxEventFrames);
            event->m_strTime = FramesToMinSecText(frames, doc.GetFrameRate());
        }
        b.Deselect();
        InvalidateBox(box);
    }
    selection_.clear();
    TimesWritten();
    RebuildBoxes();
    doc.SetModifiedFlag();
}

void CVwTimeline::TimesWritten() {
    CVLDoc& doc = Doc();
    if (!seq_)
        return;
    seq_->m_nNeedsCompile = 1;
    seq_->SortEventsByTime(doc.GetFrameRate());
    hints::SendEventListChanged(doc, *seq_);
    hints::SendTimesMoved(doc, *seq_);
}

void CVwTimeline::NudgeSelectedEvents(bool earlier) {
    CVLDoc& doc = Doc();
    if (busy_ || !seq_ || selection_.empty())
        return;
    std::vector<const CEvnt*> moved;
    for (int box : selection_) {
        CEvnt* event = EventOfBox(box);
        if (!event)
            continue;
        CEventBoxOb& b = boxes_[static_cast<std::size_t>(box)];
        b.m_nFrames = std::clamp(b.m_nFrames + (earlier ? -1 : 1), 0, timeline::kMaxEventFrames);
        event->m_strTime = FramesToMinSecText(b.m_nFrames, doc.GetFrameRate());
        moved.push_back(event);
    }
    selection_.clear();
    TimesWritten();
    RebuildBoxes();
    // The sort moved the events: find each again.
    for (const CEvnt* event : moved) {
        const auto& list = seq_->m_poEventList;
        for (std::size_t i = 0; i < list.size(); ++i)
            if (list[i].get() == event) {
                AddToSelection(static_cast<int>(i));
                break;
            }
    }
    doc.SetModifiedFlag();
}

void CVwTimeline::OnLButtonDblClk(QPoint point, Qt::KeyboardModifiers modifiers) {
    // What the first click selected runs; the second click selects as a click does.
    OnRunNow();
    OnLButtonDown(point, modifiers);
}

void CVwTimeline::OnRunNow() {
    CVLDoc& doc = Doc();
    if (!seq_)
        return;
    const std::vector<int> boxes = selection_;
    for (int box : boxes)
        if (CEvnt* event = EventOfBox(box))
            showlink::DownloadEventNow(doc, *seq_, *event);
}

GVPMenuPtr CVwTimeline::BuildContextMenu() const {
    using namespace vl_ids;
    auto menu = std::make_shared<GVPMenu>();
    GVPMenu& popup = menu->Popup("Popup");
    popup.Item("Insert Event\tCtrl+Y", kInsertEvent)
        .Item("Delete Event\tCtrl+D", kDeleteEvents)
        .Item("Move Event", kMoveEvent)
        .Separator()
        .Item("Run Event\tF7", kRunNow)
        .Separator()
        .Item("Cu&t\tCtrl+X", kEditCut)
        .Item("&Copy\tCtrl+C", kEditCopy)
        .Item("&Paste\tCtrl+V", kEditPaste);
    return menu;
}

void CVwTimeline::OnContextMenu(QPoint point, QPoint screenPoint) {
    if (SelectBox({}, boxes_.HitTest(point.x(), point.y())) < 0)
        return;
    SendSelection();
    // Resource 189's popup "Popup" is what shows.
    const GVPMenuPtr menu = BuildContextMenu()->FirstSubmenu();
    TrackViewPopup(*menu, *canvas_, *this, screenPoint);
}

platform::qt::CommandTarget* CVwTimeline::GridPane() const {
    CVLDoc& doc = Doc();
    if (!Frame())
        return nullptr;
    for (platform::View* view : doc.Views())
        if (auto* grid = dynamic_cast<CVwTimeGrid*>(view); grid && grid->FrameId() == FrameId())
            return grid;
    return nullptr;
}

void CVwTimeline::ForwardToGrid(unsigned id) {
    if (auto* grid = dynamic_cast<CVwTimeGrid*>(GridPane())) {
        // Posted, as a command message would be: the grid acts once this command has returned.
        QPointer<CVwTimeGrid> target(grid);
        QMetaObject::invokeMethod(
            grid,
            [target, id] {
                if (target)
                    target->OnCommand(id);
            },
            Qt::QueuedConnection);
    }
    selection_.clear(); // without repainting: the boxes are rebuilt when the grid reports
}

void CVwTimeline::Mark() {
    Doc().SetModifiedFlag();
    if (seq_)
        seq_->m_nNeedsCompile = 1;
}

void CVwTimeline::OnDeleteEvents() {
    CVLDoc& doc = Doc();
    if (!seq_)
        return;
    char text[96];
    std::snprintf(text, sizeof text, "Remove the %d selected event(s). Are you sure?",
                  static_cast<int>(selection_.size()));
    bool deleted = false;
    if (platform::Ui().MessageBox({text, "Delete Events", platform::MsgButtons::OkCancel}) ==
        platform::MsgResult::Ok) {
        std::vector<const CEvnt*> doomed;
        for (int box : selection_)
            if (const CEvnt* event = EventOfBox(box))
                doomed.push_back(event);
        selection_.clear();
        auto& list = seq_->m_poEventList;
        std::erase_if(list, [&](const std::unique_ptr<CEvnt>& event) {
            return std::find(doomed.begin(), doomed.end(), event.get()) != doomed.end();
        });
        deleted = !doomed.empty();
        if (list.empty()) {
            try {
                list.push_back(std::make_unique<CEvnt>());
            } catch (const std::bad_alloc&) {
                Box("Not enough mem to create event", platform::DefaultCaption());
            }
        }
        RebuildBoxes();
    }
    Mark();
    if (deleted)
        hints::SendEventListChanged(doc, *seq_);
    hints::SendTimelineEventsChanged(doc, *seq_);
}

void CVwTimeline::PasteEvents() {
    CVLDoc& doc = Doc();
    if (!seq_)
        return;
    auto& list = seq_->m_poEventList;
    // The paste position: the last selected box, else the first event.
    int j = selection_.empty() ? 0 : boxes_[static_cast<std::size_t>(selection_.back())].m_nEvent;
    const CEvnt* at = j >= 0 && j < static_cast<int>(list.size())
                          ? list[static_cast<std::size_t>(j)].get()
                          : nullptr;
    const std::string time = at ? at->m_strTime : std::string("00:00.00");
    const QMimeData* data = QApplication::clipboard()->mimeData();
    const QByteArray bytes =
        data ? data->data(QString::fromLatin1(clipboard::kEventsFormat)) : QByteArray();
    if (bytes.isEmpty()) {
        Box("Error obtaining data from Clipboard", kPasteCaption);
        return;
    }
    const clipboard::EventsBlock block =
        clipboard::ReadEventsBlock({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                    static_cast<std::size_t>(bytes.size())});
    using Status = clipboard::EventsBlock::Status;
    if (block.status == Status::SequencesBlock) {
        Box("Cannot Paste sequences into events", kPasteCaption);
        return;
    }
    if (block.status == Status::UnknownTag) {
        Box("Unknown data.  Cannot Paste into events", kPasteCaption);
        return;
    }
    if (block.status != Status::Ok) {
        Box("Error obtaining data from Clipboard", kPasteCaption);
        return;
    }
    const std::size_t n = block.events.size();
    if (n + boxes_.size() + 1 > clipboard::kMaxPasteRows) {
        char text[80];
        std::snprintf(text, sizeof text, "Pasting %d events would exceed 32767 events",
                      static_cast<int>(n));
        Box(text, kPasteCaption);
        return;
    }
    try {
        std::size_t position = std::min(list.size(), static_cast<std::size_t>(j) + 1);
        for (const auto& record : block.events) {
            auto event = std::make_unique<CEvnt>(*record);
            event->m_strTime = time; // every pasted event at the paste position's time
            list.insert(list.begin() + static_cast<std::ptrdiff_t>(position++), std::move(event));
        }
        if (list.empty())
            list.push_back(std::make_unique<CEvnt>());
    } catch (const std::bad_alloc&) {
        Box("Error: not enough mem", kPasteCaption);
    }
    selection_.clear();
    Mark();
    RebuildBoxes();
    hints::SendEventListChanged(doc, *seq_);
    hints::SendTimelineEventsChanged(doc, *seq_);
}

// ---- Printing ----

int CVwTimeline::PrintPageCount(const QRect& pageRect, double scale) const {
    const int pageHeight = std::max(1, static_cast<int>(pageRect.height() / scale));
    int bottom = timeline::ScrollHeight(settings_);
    for (const CEventBoxOb& box : boxes_.Boxes())
        bottom = std::max(bottom, box.m_rcBox.bottom + 10);
    return std::max(1, (bottom + pageHeight - 1) / pageHeight);
}

void CVwTimeline::PrintPage(QPainter& painter, int page, const QRect& pageRect,
                            double scale) const {
    const int pageHeight = std::max(1, static_cast<int>(pageRect.height() / scale));
    const int pageWidth = std::max(1, static_cast<int>(pageRect.width() / scale));
    painter.save();
    painter.translate(pageRect.topLeft());
    painter.scale(scale, scale);
    painter.translate(0, -page * pageHeight);
    const QRect area(0, page * pageHeight, pageWidth, pageHeight);
    painter.setClipRect(area);
    PaintTimeline(painter, boxes_, settings_, area, nullptr);
    painter.restore();
}

namespace {

void RenderTimeline(const CVwTimeline& view, QPrinter& printer) {
    QPainter painter(&printer);
    if (!painter.isActive())
        return;
    const QRect pageRect = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRect page(0, 0, pageRect.width(), pageRect.height());
    // A screen's logical pixels at 96 to the inch.
    const double scale = printer.resolution() / 96.0;
    const int pages = view.PrintPageCount(page, scale);
    for (int p = 0; p < pages; ++p) {
        if (p > 0)
            printer.newPage();
        view.PrintPage(painter, p, page, scale);
    }
}

} // namespace

void CVwTimeline::PrintTimeline(bool direct) {
    QPrinter printer(QPrinter::HighResolution);
    views::SetUpPrinter(Services().Printing(), printer);
    if (!direct && !views::AskPrinter(Services().Printing(), printer, this, false))
        return;
    RenderTimeline(*this, printer);
}

void CVwTimeline::PrintPreviewTimeline() {
    const auto render = [this](QPrinter& printer) { RenderTimeline(*this, printer); };
    if (Services().Printing().preview) {
        Services().Printing().preview(this, render);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    views::SetUpPrinter(Services().Printing(), printer);
    QPrintPreviewDialog dialog(&printer, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [render](QPrinter* target) { render(*target); });
    dialog.exec();
}

void RegisterTimelineView(platform::qt::ViewRegistry& registry, ViewServices& services) {
    RegisterTypedView<CVwTimeline, CVLDoc>(registry, "CVwTimeline", services);
}
