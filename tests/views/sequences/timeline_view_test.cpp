// The graphical timeline pane: its boxes from the sequence, selection by clicks, the drag as
// a state machine, nudges, delete and paste, the hints exchanged with the timeline grid, its
// menu and its printout.
#include "platform/qt/colors.h"
#include "script/event_clipboard.h"
#include "script/time_conversions.h"
#include "tests/support/pdf_text.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/view_services_fixture.h"
#include "tests/views/sequences/event_fixtures.h"
#include "views/common/update_hints.h"
#include "views/sequences/time_grid_view.h"
#include "views/sequences/timeline_view.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

using testing_support::ScriptedUi;
using State = CVwTimeline::MouseState;

struct TimelineTest : ::testing::Test, testsupport::QtAppFirst {
    TimelineTest() {
        services.settings.timecodeStartAdded = false;
        services.settings.alwaysPopupEventList = false;
        // At level 4 (150 frames a step) these sit at y 20, 40 and 60, apart.
        for (const char* time : {"00:01.00", "00:03.00", "00:05.00"}) {
            auto event = std::make_unique<CEvnt>();
            event->m_strTime = time;
            event->m_strLabel = std::string("L") + time[4];
            event->m_strData1 = "Fan"; // an output
            Intro().m_poEventList.push_back(std::move(event));
        }
    }
    ~TimelineTest() override {
        for (auto& view : views)
            doc->RemoveView(view.get());
    }
    CSeq& Intro() { return *doc->m_poSeqList[0]; }
    template <typename View> View& Open() {
        doc->m_posCurrentSeq = &Intro();
        auto view = std::make_unique<View>(*doc, services);
        View& shown = *view;
        views.push_back(std::move(view));
        doc->AddView(&shown);
        shown.OnInitialUpdate();
        shown.resize(500, 400);
        return shown;
    }
    CVwTimeline& OpenTimeline(int zoom = 4) {
        CVwTimeline& view = Open<CVwTimeline>();
        view.SetZoomLevel(zoom);
        return view;
    }
    std::vector<std::string> Labels() {
        std::vector<std::string> labels;
        for (const auto& event : Intro().m_poEventList)
            labels.push_back(event->m_strLabel);
        return labels;
    }
    static QPoint Centre(const CVwTimeline& view, int box) {
        const auto& r = view.Boxes()[std::size_t(box)].m_rcBox;
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    ScriptedUi ui;
    eventtest::FixtureServices app;
    std::unique_ptr<CVLDoc> doc = eventtest::MakeScript(app);
    testing_support::TestViewServices services;
    std::vector<std::unique_ptr<CVLView>> views;
};

TEST_F(TimelineTest, BoxesFromTheSequenceInTheirColours) {
    CVwTimeline& view = OpenTimeline(8);
    EXPECT_STREQ(view.ViewClassName(), "CVwTimeline");
    EXPECT_EQ(view.ShownSequence(), &Intro());
    EXPECT_EQ(view.ZoomLevel(), 8);
    ASSERT_EQ(view.Boxes().size(), 3u);
    // One group at level 8: stacked from y 10.
    EXPECT_EQ(view.Boxes()[2].m_rcBox, (timeline::TimelineRect{100, 31, 230, 45}));
    EXPECT_EQ(view.Boxes()[0].m_crFill, 0xC4C4FFu);
    EXPECT_EQ(view.Boxes()[0].m_strLabel, "Nop: Fan");

    view.SetZoomLevel(4);
    EXPECT_EQ(view.Boxes()[2].m_rcBox.top, 53);
    ui.boxes.clear();
    view.SetZoomLevel(16);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Zoom Level Not Found");
    EXPECT_EQ(view.ZoomLevel(), 4);

    // The picture: the axis labels in blue and the boxes in their fill.
    view.show();
    QImage image(view.Canvas().size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    view.Canvas().render(&image);
    EXPECT_EQ(image.pixel(150, 15), platform::qt::ToQColor(0xC4C4FF).rgb());
    EXPECT_EQ(image.pixel(120, 5), qRgb(255, 255, 255));
}

TEST_F(TimelineTest, ClicksSelectAndTheGridFollows) {
    CVwTimeline& view = OpenTimeline();
    CVwTimeGrid& grid = Open<CVwTimeGrid>();
    view.OnLButtonDown(Centre(view, 1), {});
    EXPECT_EQ(view.Selection(), std::vector<int>{1});
    EXPECT_EQ(view.State(), State::Armed);
    EXPECT_TRUE(grid.Cel().IsCellSelected(4, 1, nullptr));
    view.OnLButtonUp(Centre(view, 1));
    EXPECT_EQ(view.State(), State::Idle);

    // Ctrl adds and never removes; Shift adds the run downward only.
    view.OnLButtonDown(Centre(view, 1), Qt::ControlModifier);
    EXPECT_EQ(view.Selection(), std::vector<int>{1});
    view.OnLButtonDown(Centre(view, 0), Qt::ShiftModifier);
    EXPECT_EQ(view.Selection(), (std::vector<int>{1, 0}));
    view.OnLButtonDown(Centre(view, 0), {});
    view.OnLButtonDown(Centre(view, 2), Qt::ShiftModifier);
    EXPECT_EQ(view.Selection(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(grid.Cel().GetActiveRow(), 2);

    // A plain click on empty space deselects everything and arms nothing.
    view.OnLButtonUp({});
    view.OnLButtonDown({400, 300}, {});
    EXPECT_TRUE(view.Selection().empty());
    EXPECT_EQ(view.State(), State::Idle);

    // The context menu on empty space opens nothing and empties the selection.
    view.OnLButtonDown(Centre(view, 0), {});
    view.OnLButtonUp({});
    view.OnContextMenu({400, 300}, {});
    EXPECT_TRUE(view.Selection().empty());
}

TEST_F(TimelineTest, ADragWritesTheTimeAndEveryViewFollows) {
    CVwTimeline& view = OpenTimeline();
    CVwTimeGrid& grid = Open<CVwTimeGrid>();
    CEvntView& editor = Open<CEvntView>();
    doc->SetModifiedFlag(false);
    Intro().m_nNeedsCompile = 0;

    // Through the canvas as the mouse gives it: less than 3 pixels changes nothing.
    view.show();
    QTest::mousePress(&view.Canvas(), Qt::LeftButton, {}, Centre(view, 0));
    QTest::mouseMove(&view.Canvas(), Centre(view, 0) + QPoint(2, 2));
    EXPECT_EQ(view.State(), State::Armed);
    view.OnMouseMove(QPoint(165, 104)); // snaps to the grid of 15 frames: y 100, 270 frames
    EXPECT_EQ(view.State(), State::Dragging);
    EXPECT_EQ(view.Boxes()[0].m_rcBox.top, 93);
    EXPECT_EQ(view.Boxes()[0].m_nFrames, 270);
    EXPECT_EQ(view.HoverBox().m_strText, "00:00:09.00");
    QTest::mouseRelease(&view.Canvas(), Qt::LeftButton, {}, QPoint(165, 104));

    EXPECT_EQ(view.State(), State::Idle);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"L3", "L5", "L1"}));
    EXPECT_EQ(Intro().m_poEventList[2]->m_strTime, "00:09.00");
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(Intro().m_nNeedsCompile, 1);
    EXPECT_TRUE(view.Selection().empty());
    const char* gridLabel = grid.Cel().ReadCellText(1, 2);
    EXPECT_STREQ(gridLabel, "L1");
    EXPECT_EQ(grid.Cel().GetActiveRow(), 0);
    EXPECT_STREQ(editor.Cel().ReadCellText(1, 2), "L1"); // the editor shows the new order
    EXPECT_EQ(view.Boxes()[2].m_rcBox.top, 93);

    // A drop above the axis start gives time 0; far below, 65535 frames at most.
    view.OnLButtonDown(Centre(view, 2), {});
    view.OnMouseMove({165, 2});
    view.OnLButtonUp({165, 2});
    EXPECT_EQ(Intro().m_poEventList[0]->m_strTime, "00:00.00");
    view.SetZoomLevel(9);
    view.OnLButtonDown(Centre(view, 2), {});
    view.OnMouseMove({165, 900});
    view.OnLButtonUp({165, 900});
    EXPECT_EQ(Intro().m_poEventList[2]->m_strTime, FramesToMinSecText(65535, 30.0));
}

TEST_F(TimelineTest, MoveEventFollowsTheMouseWithoutAButton) {
    CVwTimeline& view = OpenTimeline();
    view.OnLButtonDown(Centre(view, 1), {});
    view.OnLButtonUp(Centre(view, 1));
    view.OnMoveEvent();
    EXPECT_EQ(view.State(), State::Armed);
    view.OnMouseMove({165, 160});
    EXPECT_EQ(view.State(), State::Dragging);
    // The click that ends it drops, whatever lies under it.
    view.OnLButtonDown({400, 300}, {});
    view.OnLButtonUp({400, 300});
    EXPECT_EQ(Intro().m_poEventList[2]->m_strTime, "00:15.00");
}

TEST_F(TimelineTest, NudgesKeepTheSelectionThroughTheSort) {
    CVwTimeline& view = OpenTimeline();
    Intro().m_poEventList[0]->m_strTime = "00:00.00";
    view.RebuildBoxes();
    view.OnLButtonDown(Centre(view, 0), {});
    view.OnLButtonUp({});
    view.NudgeSelectedEvents(true);
    EXPECT_EQ(Intro().m_poEventList[0]->m_strTime, "00:00.00");
    EXPECT_EQ(view.Selection(), std::vector<int>{0});

    // Later past the next event: the sort moves it, the selection follows.
    Intro().m_poEventList[0]->m_strTime = "00:02.29";
    Intro().m_poEventList[1]->m_strTime = "00:02.29";
    view.RebuildBoxes();
    view.OnLButtonDown(Centre(view, 0), {});
    view.OnLButtonUp({});
    view.NudgeSelection(1);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"L3", "L1", "L5"}));
    EXPECT_EQ(Intro().m_poEventList[1]->m_strTime, "00:03.00");
    EXPECT_EQ(view.Selection(), std::vector<int>{1});
    EXPECT_TRUE(view.Boxes()[1].m_bSelected);
}

TEST_F(TimelineTest, DeleteAsksAndLeavesOneEvent) {
    CVwTimeline& view = OpenTimeline();
    view.OnLButtonDown(Centre(view, 0), {});
    view.OnLButtonDown(Centre(view, 2), Qt::ShiftModifier);
    ui.QueueAnswer(platform::MsgResult::Cancel);
    view.OnCommand(vl_ids::kDeleteEvents);
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, "Remove the 3 selected event(s). Are you sure?");
    EXPECT_EQ(ui.boxes.back().caption, "Delete Events");
    EXPECT_EQ(Intro().m_poEventList.size(), 3u);
    EXPECT_TRUE(doc->IsModified());

    ui.QueueAnswer(platform::MsgResult::Ok);
    view.OnCommand(vl_ids::kDeleteEvents);
    ASSERT_EQ(Intro().m_poEventList.size(), 1u);
    EXPECT_EQ(Intro().m_poEventList[0]->m_strLabel, "");
    EXPECT_EQ(view.Boxes().size(), 1u);
}

TEST_F(TimelineTest, PasteGoesAfterTheLastSelectedAtItsTime) {
    CVwTimeline& view = OpenTimeline();
    CVwTimeGrid& grid = Open<CVwTimeGrid>();
    CEvnt pasted;
    pasted.m_strLabel = "P";
    pasted.m_strTime = "00:44.00";
    const CEvnt* events[] = {&pasted, &pasted};
    const auto block = clipboard::WriteEventsBlock(events);
    auto* data = new QMimeData;
    data->setData(clipboard::kEventsFormat,
                  QByteArray(reinterpret_cast<const char*>(block.data()), qsizetype(block.size())));
    QApplication::clipboard()->setMimeData(data);

    // Nothing selected: after the first event, with its time.
    view.OnCommand(vl_ids::kEditPaste);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"L1", "P", "P", "L3", "L5"}));
    EXPECT_EQ(Intro().m_poEventList[1]->m_strTime, "00:01.00");
    EXPECT_EQ(grid.Cel().GetRowCount(), 6);
    EXPECT_EQ(view.Boxes().size(), 5u);

    // A block of sequences is refused.
    const std::uint8_t sequences[] = {0, 0, 0};
    data = new QMimeData;
    data->setData(clipboard::kEventsFormat,
                  QByteArray(reinterpret_cast<const char*>(sequences), 3));
    QApplication::clipboard()->setMimeData(data);
    view.OnCommand(vl_ids::kEditPaste);
    EXPECT_EQ(ui.boxes.back().text, "Cannot Paste sequences into events");
    EXPECT_EQ(ui.boxes.back().caption, "Paste from Clipboard");
}

TEST_F(TimelineTest, HintsFromTheGrid) {
    CVwTimeline& view = OpenTimeline();
    CVwTimeGrid& grid = Open<CVwTimeGrid>();
    hints::SendGridEventsChanged(*doc, Intro(), 2);
    EXPECT_EQ(view.Selection(), std::vector<int>{2});
    hints::SendGridEventsChanged(*doc, Intro(), 0);
    EXPECT_TRUE(view.Selection().empty());
    // The skip mark toggled in the grid selects the box.
    grid.Cel().NotifyCellLeftClick(0, 1, 1, {}, {}, 0);
    EXPECT_EQ(view.Selection(), std::vector<int>{1});
    // A hint of another sequence changes nothing.
    hints::SendGridEventsChanged(*doc, *doc->m_poSeqList[1], 2);
    EXPECT_EQ(view.Selection(), std::vector<int>{1});
    // Insert in the grid rebuilds the boxes and selects the new event's box.
    grid.Cel().MoveActiveCell(2, 1);
    grid.OnCommand(vl_ids::kInsertEvent);
    EXPECT_EQ(view.Boxes().size(), 4u);
    EXPECT_EQ(view.Selection(), std::vector<int>{1});
    // A new timecode start is read from the sequence on hint 4.
    Intro().m_dChaseStart = 1800;
    hints::SendTimeDisplay(*doc);
    EXPECT_EQ(view.TimecodeStart(), "00:01:00.00");
}

TEST_F(TimelineTest, MenuAndPrintout) {
    CVwTimeline& view = OpenTimeline();
    const GVPMenuPtr menu = view.BuildContextMenu();
    ASSERT_EQ(menu->items.size(), 1u);
    const GVPMenu& popup = *menu->FirstSubmenu();
    std::vector<std::pair<std::string, unsigned>> items;
    for (const GVPMenuItem& item : popup.items)
        items.emplace_back(item.text.toStdString(), item.id);
    const std::vector<std::pair<std::string, unsigned>> expected = {
        {"Insert Event\tCtrl+Y", 32802}, {"Delete Event\tCtrl+D", 32803},
        {"Move Event", 32945},           {"", 0},
        {"Run Event\tF7", 32834},        {"", 0},
        {"Cu&t\tCtrl+X", 57635},         {"&Copy\tCtrl+C", 57634},
        {"&Paste\tCtrl+V", 57637}};
    EXPECT_EQ(items, expected);

    QTemporaryDir dir;
    const std::string pdf = dir.filePath("timeline.pdf").toStdString();
    services.printing.askPrinter = [&](QPrinter& printer, QWidget*, bool) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    };
    view.OnCommand(vl_ids::kFilePrint);
    const std::string text = testing_support::PdfText(pdf);
    for (const char* expectedText : {"00:05.00", "00:10.00", "Nop: Fan"})
        EXPECT_NE(text.find(expectedText), std::string::npos) << expectedText << "\n" << text;
    // Level 4's axis is 21,845 pixels long: many pages down.
    EXPECT_GT(testing_support::PdfPages(pdf), 10);
}

} // namespace
