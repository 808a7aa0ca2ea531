// Leaving the program with a sequence's event editor open: the frame's placement never reaches
// a sequence that is gone (the sanitizer build catches a write into freed memory), and an
// idle event editor costs no work.
#include "platform/qt/command_target.h"
#include "script/view_kind.h"
#include "script/vl_doc.h"
#include "tests/app/gui/main_window_fixture.h"
#include "tests/support/scripted_ui.h"
#include "views/common/vl_view.h"
#include "views/gridbase/vl_cel_ctrl.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

namespace pq = platform::qt;

struct EventEditorFaults : guitest::MainWindowFixture {
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(StartWindow({}, true));
        doc = OpenScript();
        ASSERT_NE(doc, nullptr);
    }
    QMdiSubWindow* OpenEvents(CSeq* seq) {
        window->Services().OpenView(*doc, kEventEditorKind, seq);
        QCoreApplication::processEvents();
        return window->MdiArea()->activeSubWindow();
    }

    testing_support::ScriptedUi ui;
    CVLDoc* doc = nullptr;
};

TEST_F(EventEditorFaults, ExitWithAnEventEditorOpen) {
    for (int state = 0; state < 3; ++state) {
        SCOPED_TRACE(state);
        if (!doc)
            doc = OpenScript();
        ASSERT_NE(doc, nullptr);
        QMdiSubWindow* frame = OpenEvents(doc->m_poSeqList[2].get());
        ASSERT_NE(frame, nullptr);
        if (state == 1)
            frame->showMaximized();
        else if (state == 2)
            frame->showMinimized();
        QCoreApplication::processEvents();
        doc->SetModifiedFlag(false);
        // File > Exit: the script closes with its frames.
        EXPECT_TRUE(window->close());
        QCoreApplication::processEvents();
        EXPECT_TRUE(window->MdiArea()->subWindowList().isEmpty());
        doc = nullptr;
        window->show();
    }
}

} // namespace

namespace {

// Counts the widgets shown and hidden and the layouts asked for.
struct RequestCounter : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide ||
            event->type() == QEvent::LayoutRequest)
            ++count;
        return false;
    }
    int count = 0;
};

} // namespace

// An event editor left alone, for a sequence with and without a timecode chase start, does no
// work on its idle updates: an idle window costs nothing.
TEST_F(EventEditorFaults, AnIdleEventEditorDoesNoWork) {
    for (int chase = 0; chase < 2; ++chase) {
        SCOPED_TRACE(chase);
        CSeq* seq = doc->m_poSeqList[size_t(chase) + 1].get();
        seq->m_nChaseOn = chase;
        seq->m_anChaseStart = {0, 1, 2, 3};
        QMdiSubWindow* frame = OpenEvents(seq);
        ASSERT_NE(frame, nullptr);
        // Narrow: the bar wraps its timecode start field away.
        frame->resize(260, 300);
        QTest::qWait(300); // the opening's own layouts and paints
        // A second of idle updates, as the event loop runs them whenever it is about to
        // wait: each may ask for work, which would wake the loop for the next one.
        RequestCounter counter;
        qApp->installEventFilter(&counter);
        for (int i = 0; i < 100; ++i) {
            pq::IdleUpdater::Instance().RunNow();
            QTest::qWait(10);
        }
        qApp->removeEventFilter(&counter);
        // The opening's last layout may still arrive; a hundred updates cause none of their own.
        EXPECT_LT(counter.count, 5);
    }
}

// A column width read from a script never makes a column wider than the window.
TEST_F(EventEditorFaults, AStoredColumnWidthIsBoundedByTheWindow) {
    CSeq* seq = doc->m_poSeqList[0].get();
    seq->m_awEventColWidths[8] = 65535;
    ASSERT_NE(OpenEvents(seq), nullptr);
    CVLView* view = nullptr;
    for (platform::View* v : doc->Views())
        if (std::string_view(v->ViewClassName()) == "CEvntView")
            view = dynamic_cast<CVLView*>(v);
    ASSERT_NE(view, nullptr);
    EXPECT_LE(view->Grid()->GetColumnWidth(8), window->width());
    EXPECT_GT(view->Grid()->GetColumnWidth(8), 100);
}
