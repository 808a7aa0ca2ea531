// The timeline's event grid: the event editor with the hints that keep the graphical timeline
// in step, the timeline's hints followed, and Print Grid of both grids.
#include "tests/support/pdf_text.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/view_services_fixture.h"
#include "tests/views/sequences/event_fixtures.h"
#include "views/common/update_hints.h"
#include "views/sequences/event_dialog_requests.h"
#include "views/sequences/time_grid_view.h"
#include "views/sequences/timeline_layout.h"

#include <QApplication>
#include <QClipboard>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

using testing_support::ScriptedUi;

// Every hint the script's views get: (hint, event index or -1).
struct HintRecorder : platform::View {
    void OnUpdate(platform::View*, long hint, void* object) override {
        int event = -1;
        if (const auto* changed = hints::As<hints::GridEventsChanged>(hint, object))
            event = changed->event;
        if (const auto* toggled = hints::As<hints::SkipToggled>(hint, object))
            event = toggled->event;
        got.emplace_back(hint, event);
    }
    std::vector<std::pair<long, int>> got;
};

using Hints = std::vector<std::pair<long, int>>;

struct TimeGridTest : ::testing::Test, testsupport::QtAppFirst {
    TimeGridTest() {
        services.settings.timecodeStartAdded = false;
        services.settings.alwaysPopupEventList = false;
        for (const char* time : {"00:01.00", "00:02.00", "00:05.00"}) {
            auto event = std::make_unique<CEvnt>();
            event->m_strTime = time;
            event->m_strLabel = std::string("L") + time[4];
            Intro().m_poEventList.push_back(std::move(event));
        }
        doc->AddView(&recorder);
    }
    ~TimeGridTest() override {
        for (auto& view : views)
            doc->RemoveView(view.get());
        doc->RemoveView(&recorder);
    }
    CSeq& Intro() { return *doc->m_poSeqList[0]; }
    CSeq& Show() { return *doc->m_poSeqList[1]; }
    template <typename View = CVwTimeGrid> View& Open(CSeq& sequence) {
        doc->m_posCurrentSeq = &sequence;
        views.push_back(std::make_unique<View>(*doc, services));
        auto& view = static_cast<View&>(*views.back());
        doc->AddView(&view);
        view.OnInitialUpdate();
        view.resize(900, 300);
        return view;
    }
    std::string Cell(CEvntView& view, int column, int row) {
        const char* text = view.Cel().ReadCellText(column, row);
        return text ? text : "";
    }
    std::vector<std::string> Times() {
        std::vector<std::string> times;
        for (const auto& event : Intro().m_poEventList)
            times.push_back(event->m_strTime);
        return times;
    }

    ScriptedUi ui;
    eventtest::FixtureServices app;
    std::unique_ptr<CVLDoc> doc = eventtest::MakeScript(app);
    testing_support::TestViewServices services;
    std::vector<std::unique_ptr<CEvntView>> views;
    HintRecorder recorder;
};

TEST_F(TimeGridTest, EveryChangeTellsTheTimelineAfterTheEventLists) {
    CVwTimeGrid& grid = Open(Intro());
    EXPECT_STREQ(grid.ViewClassName(), "CVwTimeGrid");
    EXPECT_EQ(grid.ShownSequence(), &Intro());

    // Insert below 00:02.00: the order check raises the new event; hint 6 names its row.
    grid.Cel().MoveActiveCell(2, 2);
    grid.OnCommand(vl_ids::kInsertEvent);
    EXPECT_EQ(Times(), (std::vector<std::string>{"00:01.00", "00:02.00", "00:02.00", "00:05.00"}));
    EXPECT_EQ(recorder.got, (Hints{{8, -1}, {6, 2}}));

    // An accepted in-place edit.
    recorder.got.clear();
    std::string text = "Go";
    EXPECT_TRUE(grid.Cel().AllowEditFinish(1, 0, nullptr, text, false));
    EXPECT_EQ(recorder.got, (Hints{{6, 0}}));

    // The skip mark: hint 6, then hint 2 with the row so the timeline selects its box.
    recorder.got.clear();
    grid.Cel().NotifyCellLeftClick(0, 1, 1, {}, {}, 0);
    EXPECT_EQ(recorder.got, (Hints{{6, 0}, {2, 1}}));

    // The event picked in the Event column's list.
    recorder.got.clear();
    ui.QueueDialog([](platform::DialogRequest& request) {
        dynamic_cast<EventsListRequest&>(request).event->m_strEvent = "On";
        return true;
    });
    grid.Cel().MoveActiveCell(3, 0);
    grid.Cel().BuildPopupMenu(3, 0, 1);
    services.settings.alwaysPopupEventList = true;
    int enter = '\r';
    grid.Cel().NotifyCharTyped(enter, 0);
    services.settings.alwaysPopupEventList = false;
    EXPECT_EQ(Intro().m_poEventList[0]->m_strEvent, "On");
    EXPECT_EQ(recorder.got, (Hints{{6, 0}}));

    // Copy marks the script and rebuilds the timeline.
    recorder.got.clear();
    doc->SetModifiedFlag(false);
    grid.Cel().MoveActiveCell(1, 0);
    grid.Cel().SelectOneCell(1, 0);
    grid.OnCommand(vl_ids::kEditCopy);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(recorder.got, (Hints{{6, 0}}));

    // Paste: hint 6 names the first pasted row.
    recorder.got.clear();
    grid.Cel().MoveActiveCell(1, 4);
    grid.Cel().SelectOneCell(1, 4);
    grid.OnCommand(vl_ids::kEditPaste);
    ASSERT_EQ(Intro().m_poEventList.size(), 5u);
    EXPECT_EQ(recorder.got, (Hints{{8, -1}, {6, 4}}));

    // Cut and Delete: hint 6 with no event.
    recorder.got.clear();
    grid.Cel().MoveActiveCell(1, 4);
    grid.Cel().SelectOneCell(1, 4);
    grid.OnCommand(vl_ids::kEditCut);
    EXPECT_EQ(recorder.got, (Hints{{8, -1}, {6, 0}}));
    recorder.got.clear();
    grid.Cel().MoveActiveCell(1, 3);
    grid.Cel().SelectOneCell(1, 3);
    ui.QueueAnswer(platform::MsgResult::Ok);
    grid.OnCommand(vl_ids::kDeleteEvents);
    EXPECT_EQ(recorder.got, (Hints{{8, -1}, {6, 0}}));
    EXPECT_EQ(Intro().m_poEventList.size(), 3u);
}

TEST_F(TimeGridTest, InsertInTheEventEditorKeepsItsOrder) {
    CEvntView& editor = Open<CEvntView>(Intro());
    editor.Cel().MoveActiveCell(2, 2);
    editor.OnCommand(vl_ids::kInsertEvent);
    EXPECT_EQ(Intro().m_poEventList[2]->m_strTime, "00:00.00");
    EXPECT_EQ(recorder.got, (Hints{{8, -1}}));
}

TEST_F(TimeGridTest, FollowsTheTimelinesSelectionDragsAndPastes) {
    CVwTimeGrid& grid = Open(Intro());
    CEvntView& editor = Open<CEvntView>(Intro());
    EventCel& cel = grid.Cel();

    // Hint 3: the listed boxes' rows selected whole, the last listed one active.
    CEventBoxList selected;
    for (int event : {2, 0}) {
        CEventBoxOb box;
        box.m_nEvent = event;
        selected.push_back(box);
    }
    hints::SendTimelineSelection(*doc, Intro(), selected);
    EXPECT_EQ(cel.GetActiveRow(), 0);
    for (int column = 0; column < EventCel::kColumns; ++column) {
        EXPECT_TRUE(cel.IsCellSelected(column, 0, nullptr));
        EXPECT_TRUE(cel.IsCellSelected(column, 2, nullptr));
        EXPECT_FALSE(cel.IsCellSelected(column, 1, nullptr));
    }
    // An empty list clears the selection and leaves the active row.
    hints::SendTimelineSelection(*doc, Intro(), CEventBoxList{});
    EXPECT_FALSE(cel.IsCellSelected(1, 2, nullptr));
    EXPECT_EQ(cel.GetActiveRow(), 0);

    // A hint of another sequence changes nothing.
    hints::SendTimelineSelection(*doc, Show(), selected);
    EXPECT_FALSE(cel.IsCellSelected(1, 2, nullptr));
    Intro().m_poEventList[0]->m_strTime = "00:09.00";
    hints::SendTimesMoved(*doc, Show());
    EXPECT_EQ(Cell(grid, 1, 0), "L1");

    // Hint 5: the events sorted by time, the grid rebuilt, the active cell at the first row; the
    // event editor keeps the rows it has shown until it is rebuilt.
    EXPECT_EQ(Cell(editor, 1, 0), "L1");
    cel.MoveActiveCell(3, 2);
    hints::SendTimesMoved(*doc, Intro());
    EXPECT_EQ(Times(), (std::vector<std::string>{"00:02.00", "00:05.00", "00:09.00"}));
    EXPECT_EQ(Cell(grid, 1, 0), "L2");
    EXPECT_EQ(Cell(grid, 2, 2), "00:09.00");
    EXPECT_EQ(cel.GetActiveRow(), 0);
    EXPECT_EQ(cel.GetActiveColumn(), 0);
    EXPECT_EQ(Cell(editor, 1, 0), "L1");

    // Hint 7 rebuilds (the timeline pasted or deleted events).
    Intro().m_poEventList.pop_back();
    hints::SendTimelineEventsChanged(*doc, Intro());
    EXPECT_EQ(cel.GetRowCount(), 3);
}

TEST_F(TimeGridTest, TruncatesAt2997AndFitsNoColumns) {
    doc->m_wFrameRate = 2; // 29.97
    CVwTimeGrid& grid = Open(Intro());
    const int width = grid.Cel().GetColumnWidth(8);
    grid.OnCommand(vl_ids::kAutoSizeColumns);
    EXPECT_EQ(grid.Cel().GetColumnWidth(8), width);

    // 00:01.00 at 29.97 is 29.97 frames: the twin adds 29 where the event editor adds 30.
    for (bool twin : {true, false}) {
        Intro().m_poEventList[0]->m_strTime = "00:00.00";
        CEvntView& view = twin ? static_cast<CEvntView&>(grid) : Open<CEvntView>(Intro());
        ui.QueueDialog([](platform::DialogRequest& request) {
            auto& wizard = dynamic_cast<TimeWizardRequest&>(request);
            wizard.choice = 0;
            wizard.firstText = "00:01.00";
            return true;
        });
        view.Cel().MoveActiveCell(2, 0);
        view.Cel().SelectOneCell(2, 0);
        view.Cel().BuildPopupMenu(2, 0, 1);
        view.Cel().OnCommand(520);
        EXPECT_EQ(Intro().m_poEventList[0]->m_strTime, twin ? "00:00.29" : "00:01.00");
    }
}

TEST_F(TimeGridTest, PrintGridOfBothGridsWithAnEmptySubtitle) {
    QTemporaryDir dir;
    const std::string pdf = dir.filePath("grid.pdf").toStdString();
    services.printing.askPrinter = [&](QPrinter& printer, QWidget*, bool) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    };
    services.printing.askPrintGrid = [](QWidget*) { return 100; };
    Intro().m_poEventList[1]->m_strComment = "printed remark";
    for (bool twin : {false, true}) {
        SCOPED_TRACE(twin ? "timeline grid" : "event editor");
        std::remove(pdf.c_str());
        CEvntView& view = twin ? static_cast<CEvntView&>(Open(Intro())) : Open<CEvntView>(Intro());
        view.OnCommand(vl_ids::kPrintGrid);
        const std::string text = testing_support::PdfText(pdf);
        EXPECT_NE(text.find("Show"), std::string::npos) << text;
        EXPECT_NE(text.find("printed remark"), std::string::npos);
        EXPECT_NE(text.find("00:05.00"), std::string::npos);
    }
}

} // namespace
