// The event frame and the timeline frame in the real main window: toolbar 188 with the timecode
// mode and start, one placement per sequence for both, the switch between them with its order
// question, and the timeline frame's commands to its panes (test panes stand in for the
// timeline's views).
#include "app/gui/vl_frame.h"
#include "controls/commandbars/control_combo_edit.h"
#include "script/view_kind.h"
#include "script/vl_doc.h"
#include "tests/app/app_test_support.h"
#include "tests/app/gui/gui_test_support.h"
#include "tests/app/gui/main_window_fixture.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/scripted_ui.h"
#include "views/common/vl_view.h"
#include "views/gridbase/vl_cel_ctrl.h"
#include "views/sequences/event_frames.h"
#include "views/sequences/event_view.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>

namespace {

namespace pq = platform::qt;
using namespace vl_ids;

struct Ui : pq::CommandUi {
    void Enable(bool on) override {
        enabled = on;
        enableChanged = true;
    }
    void SetCheck(int state) override { checked = state; }
    void SetText(const QString&) override {}
    bool enabled = true;
    int checked = 0;
};

// The timeline pane: its zoom and nudges are recorded.
class TestTimeline : public CVLView, public TimelinePane {
public:
    TestTimeline(CVLDoc& doc, ViewServices& services) : CVLView(doc, services) {
        CreateGrid(new VLCELCtrl);
    }
    const char* ViewClassName() const override { return "CVwTimeline"; }
    int ZoomLevel() const override { return zoom; }
    void SetZoomLevel(int level) override { zoom = level; }
    bool HasSelection() const override { return selected; }
    void NudgeSelection(int frames) override { nudged += frames; }
    int zoom = 1;
    bool selected = false;
    int nudged = 0;
};

// The grid pane: takes the two display toggles.
class TestTimeGrid : public CVLView {
public:
    TestTimeGrid(CVLDoc& doc, ViewServices& services) : CVLView(doc, services) {
        CreateGrid(new VLCELCtrl);
        Commands().On(kEventsInFrames, [this] { ++toggles; });
    }
    const char* ViewClassName() const override { return "CVwTimeGrid"; }
    int toggles = 0;
};

struct EventFrames : guitest::MainWindowFixture {
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(StartWindow({}, true));
        doc = OpenScript();
        ASSERT_NE(doc, nullptr);
        seq = doc->m_poSeqList[0].get();
    }
    void RegisterTimelinePanes() {
        window->Views().RegisterView(
            "CVwTimeline", [this](platform::Document& d, QWidget*) -> pq::CreatedView {
                auto* view = new TestTimeline(static_cast<CVLDoc&>(d), window->Services());
                timeline = view;
                return {view, view};
            });
        window->Views().RegisterView(
            "CVwTimeGrid", [this](platform::Document& d, QWidget*) -> pq::CreatedView {
                auto* view = new TestTimeGrid(static_cast<CVLDoc&>(d), window->Services());
                grid = view;
                return {view, view};
            });
    }
    template <typename Frame> Frame* Bars() const {
        QMdiSubWindow* active = window->MdiArea()->activeSubWindow();
        return active ? Find<Frame>(active) : nullptr;
    }
    // The widgets have no meta-object of their own: found by their C++ type.
    template <typename Frame> static Frame* Find(QWidget* in) {
        for (QWidget* w : in->findChildren<QWidget*>())
            if (auto* frame = dynamic_cast<Frame*>(w))
                return frame;
        return nullptr;
    }
    SequenceFrame* ActiveFrame() const {
        return dynamic_cast<SequenceFrame*>(window->MdiArea()->activeSubWindow());
    }
    CEvntMDIChildWnd* OpenEvents() {
        window->Services().OpenView(*doc, kEventEditorKind, seq);
        return Bars<CEvntMDIChildWnd>();
    }

    CVLDoc* doc = nullptr;
    CSeq* seq = nullptr;
    TestTimeline* timeline = nullptr;
    TestTimeGrid* grid = nullptr;
};

TEST_F(EventFrames, EventFrameCarriesToolbar188AndItsTitle) {
    testing_support::ScriptedUi ui;
    CEvntMDIChildWnd* bars = OpenEvents();
    ASSERT_NE(bars, nullptr);
    EXPECT_TRUE(bars->HasToolBar());
    ASSERT_NE(bars->ModeCombo(), nullptr);
    EXPECT_EQ(bars->ModeCombo()->GetCount(), 3);
    ASSERT_NE(bars->StartEdit(), nullptr);
    EXPECT_EQ(ActiveFrame()->windowTitle().toStdString(),
              "[" + seq->m_strName + "] of " + doc->GetScriptName());
    EXPECT_EQ(ActiveFrame()->size().width(), 780);
    // The view inside takes the main window's commands.
    EXPECT_TRUE(window->HasHandler(kInsertEvent));
    // The timeline's panes are registered with the event editor: the switch is offered.
    Ui update;
    bars->RouteUpdate(kTimeline, update);
    EXPECT_TRUE(update.enabled);
}

TEST_F(EventFrames, TimecodeModeAndStart) {
    testing_support::ScriptedUi ui;
    CEvntMDIChildWnd* bars = OpenEvents();
    ASSERT_NE(bars, nullptr);
    seq->m_nChaseOn = 0;
    seq->m_anChaseStart = {1, 2, 3, 4};
    doc->SetModifiedFlag(false);
    bars->ChooseMode(2); // reset mode on a sequence that was not chasing
    EXPECT_EQ(seq->m_nChaseOn, 1);
    EXPECT_EQ(seq->m_nChaseMode, 0);
    EXPECT_TRUE(doc->IsModified()) << "a new mode is saved and compiled";
    Ui update;
    bars->OnUpdateCommand(kTimecodeStartEdit, update);
    EXPECT_TRUE(bars->StartEdit()->IsVisible());

    bars->EnterStart("10000");
    EXPECT_EQ(seq->m_strChaseStart, "00:01:00.00");
    EXPECT_EQ(seq->m_anChaseStart, (std::array<std::int32_t, 4>{0, 1, 0, 0}));
    EXPECT_DOUBLE_EQ(seq->m_dChaseStart, 1800);
    bars->EnterStart("99:00:00.00");
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, "Invalid Timecode Time. Time must be between 0 and 24 hours");
    EXPECT_EQ(seq->m_strChaseStart, "00:01:00.00");

    app.m_bTimecodeStartAdded = true;
    bars->ChooseMode(0);
    EXPECT_EQ(seq->m_nChaseOn, 0);
    EXPECT_EQ(seq->m_strChaseStart, "00:00:00.00");
    EXPECT_FALSE(app.m_bTimecodeStartAdded);
    bars->OnUpdateCommand(kTimecodeStartEdit, update);
    EXPECT_FALSE(bars->StartEdit()->IsVisible());
    // Events with Timecode Start is greyed while the sequence does not chase.
    Ui added;
    bars->RouteUpdate(kEventsWithTimecode, added);
    EXPECT_FALSE(added.enabled);
}

TEST_F(EventFrames, SwitchAsksAboutOrderAndSharesThePlacement) {
    testing_support::ScriptedUi ui;
    RegisterTimelinePanes();
    seq->m_poEventList.clear();
    for (const char* time : {"00:05.00", "00:02.00"}) {
        auto event = std::make_unique<CEvnt>();
        event->m_strTime = time;
        seq->m_poEventList.push_back(std::move(event));
    }
    CEvntMDIChildWnd* bars = OpenEvents();
    ASSERT_NE(bars, nullptr);
    ActiveFrame()->move(30, 40);
    EXPECT_EQ(seq->m_anWindowPos[0], 30);

    ui.QueueAnswer(platform::MsgResult::No);
    bars->RouteCommand(kTimeline);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].caption, "Timeline View");
    EXPECT_EQ(ui.boxes[0].text, kOutOfOrderQuestion);
    EXPECT_EQ(seq->m_poEventList[1]->m_strTime, "00:02.00");
    EXPECT_EQ(Bars<CEvntMDIChildWnd>(), bars) << "No leaves the event window open";

    doc->SetModifiedFlag(false);
    ui.QueueAnswer(platform::MsgResult::Yes);
    bars->RouteCommand(kTimeline);
    QTest::qWait(10);
    EXPECT_EQ(seq->m_poEventList[1]->m_strTime, "00:05.00");
    EXPECT_TRUE(doc->IsModified()) << "the corrected time is saved and compiled";
    EXPECT_EQ(doc->m_nViewTimeLine, 1);
    CFrTimeline* timelineBars = Bars<CFrTimeline>();
    ASSERT_NE(timelineBars, nullptr);
    EXPECT_EQ(Find<CEvntMDIChildWnd>(window->MdiArea()), nullptr);
    // The same record places the timeline frame.
    EXPECT_EQ(ActiveFrame()->geometry().topLeft(), QPoint(30, 40));

    // The frame hands the display toggles to its grid pane and zoom and nudges to its timeline.
    ASSERT_NE(grid, nullptr);
    ASSERT_NE(timeline, nullptr);
    timelineBars->OnCommand(kEventsInFrames);
    EXPECT_EQ(grid->toggles, 1);
    timelineBars->OnCommand(kZoomIn);
    EXPECT_EQ(timeline->zoom, 1) << "not below 1";
    timelineBars->OnCommand(kZoomOut);
    EXPECT_EQ(timeline->zoom, 2);
    timeline->zoom = 9;
    timelineBars->OnCommand(kZoomOut);
    EXPECT_EQ(timeline->zoom, 9) << "not above 9";
    Ui nudge;
    timelineBars->OnUpdateCommand(kAddFrame, nudge);
    EXPECT_FALSE(nudge.enabled);
    timeline->selected = true;
    timelineBars->OnUpdateCommand(kAddFrame, nudge);
    EXPECT_TRUE(nudge.enabled);
    timelineBars->OnCommand(kSubtractFrame);
    EXPECT_EQ(timeline->nudged, -1);

    // And back, with no question.
    ui.Clear();
    timelineBars->RouteCommand(kTimeline);
    QTest::qWait(10);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(doc->m_nViewTimeLine, 0);
    EXPECT_NE(Bars<CEvntMDIChildWnd>(), nullptr);
}

} // namespace
