// The timeline frame with its real panes in the main window: opened from an event editor by
// Timeline (32915) and from the sequence list by route B, the two panes finding each other
// through the frame's views, and the frame closing once when the sequence list deletes or cuts
// its sequence.
#include "script/view_kind.h"
#include "tests/app/gui/main_window_fixture.h"
#include "tests/support/scripted_ui.h"
#include "views/sequences/event_frames.h"
#include "views/sequences/seq_list_view.h"
#include "views/sequences/time_grid_view.h"
#include "views/sequences/timeline_view.h"

#include <QApplication>
#include <QClipboard>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace vl_ids;

struct TimelineFrame : guitest::MainWindowFixture {
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(StartWindow({}, true));
        doc = OpenScript();
        ASSERT_NE(doc, nullptr);
        seq = doc->m_poSeqList.back().get(); // Fountain_Show, its events in order
    }
    template <typename T> T* Find() const {
        for (QWidget* w : window->MdiArea()->findChildren<QWidget*>())
            if (auto* found = dynamic_cast<T*>(w))
                return found;
        return nullptr;
    }
    int TimelineFrames() const {
        int frames = 0;
        for (QWidget* w : window->MdiArea()->findChildren<QWidget*>())
            frames += dynamic_cast<CFrTimeline*>(w) != nullptr;
        return frames;
    }
    CSeqListView* SeqList() const {
        for (platform::View* view : doc->Views())
            if (auto* list = dynamic_cast<CSeqListView*>(view))
                return list;
        return nullptr;
    }

    CVLDoc* doc = nullptr;
    CSeq* seq = nullptr;
};

TEST_F(TimelineFrame, OpenedByTimelineWithPanesThatFindEachOther) {
    testing_support::ScriptedUi ui; // after the window's own
    window->Services().OpenView(*doc, kEventEditorKind, seq);
    auto* bars = Find<CEvntMDIChildWnd>();
    ASSERT_NE(bars, nullptr);
    bars->RouteCommand(kTimeline);
    QTest::qWait(10);
    ASSERT_EQ(TimelineFrames(), 1);
    auto* timeline = Find<CVwTimeline>();
    auto* grid = Find<CVwTimeGrid>();
    ASSERT_NE(timeline, nullptr);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(timeline->ShownSequence(), seq);
    EXPECT_EQ(grid->ShownSequence(), seq);
    EXPECT_EQ(timeline->GridPane(), grid);
    EXPECT_EQ(timeline->Boxes().size(), seq->m_poEventList.size());

    // Copy in the pane is carried out by the grid on the rows the pane selected.
    const auto& box = timeline->Boxes()[4];
    timeline->OnLButtonDown({(box.m_rcBox.left + box.m_rcBox.right) / 2, box.m_rcBox.top + 7}, {});
    timeline->OnLButtonUp({});
    doc->SetModifiedFlag(false);
    QApplication::clipboard()->clear();
    timeline->OnCommand(kEditCopy);
    QTest::qWait(10);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasFormat("VelmoraEvents"));
    EXPECT_TRUE(doc->IsModified());

    // The sequence list deletes the sequence: the frame closes, once.
    CSeqListView* list = SeqList();
    ASSERT_NE(list, nullptr);
    const int row = int(doc->m_poSeqList.size()) - 1;
    list->Cel()->MoveActiveCell(2, row);
    list->Cel()->SelectOneCell(2, row);
    ui.QueueAnswer(platform::MsgResult::Ok);
    list->OnDeleteSequences();
    QTest::qWait(20);
    EXPECT_EQ(TimelineFrames(), 0);
    EXPECT_EQ(Find<CVwTimeline>(), nullptr);
}

TEST_F(TimelineFrame, RouteBOpensTheTimelineAndCutClosesIt) {
    testing_support::ScriptedUi ui;
    doc->m_nViewTimeLine = 1;
    CSeqListView* list = SeqList();
    ASSERT_NE(list, nullptr);
    const int row = int(doc->m_poSeqList.size()) - 1;
    list->OpenEventsRouteB(row);
    QTest::qWait(10);
    ASSERT_EQ(TimelineFrames(), 1);
    ASSERT_NE(Find<CVwTimeline>(), nullptr);
    EXPECT_EQ(Find<CVwTimeline>()->ShownSequence(), seq);

    list->Cel()->MoveActiveCell(2, row);
    list->Cel()->SelectOneCell(2, row);
    list->OnCut();
    QTest::qWait(20);
    EXPECT_EQ(TimelineFrames(), 0);
}

} // namespace
