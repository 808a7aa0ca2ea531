#include "compiler/popup_request.h"
#include "controls/grid/cel_parts.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/view_services_fixture.h"
#include "tests/views/sequences/event_fixtures.h"
#include "views/common/update_hints.h"
#include "views/sequences/event_dialog_requests.h"
#include "views/sequences/event_view.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

using testing_support::ScriptedUi;

constexpr int kVkDelete = 0x2E, kVkInsert = 0x2D, kVkF5 = 0x74;

struct EventViewTest : ::testing::Test, testsupport::QtAppFirst {
    EventViewTest() {
        services.settings.timecodeStartAdded = false;
        services.settings.alwaysPopupEventList = false;
        for (const char* time : {"00:01.00", "00:02.00", "00:05.00"}) {
            auto event = std::make_unique<CEvnt>();
            event->m_strTime = time;
            Intro().m_poEventList.push_back(std::move(event));
        }
    }
    ~EventViewTest() override {
        for (auto& view : views)
            doc->RemoveView(view.get());
    }
    CSeq& Intro() { return *doc->m_poSeqList[0]; }
    CEvntView& Open(CSeq& sequence) {
        doc->m_posCurrentSeq = &sequence;
        views.push_back(std::make_unique<CEvntView>(*doc, services));
        CEvntView& view = *views.back();
        doc->AddView(&view);
        view.OnInitialUpdate();
        view.resize(900, 300);
        return view;
    }
    std::string Cell(CEvntView& view, int column, int row) {
        const char* text = view.Cel().ReadCellText(column, row);
        return text ? text : "";
    }
    // An in-place edit finished with `text`: answers whether the grid took it.
    bool Edit(CEvntView& view, int column, int row, std::string text) {
        return view.Cel().AllowEditFinish(column, row, nullptr, text, false);
    }
    void Type(CEvntView& view, int ch) { view.Cel().NotifyCharTyped(ch, 0); }
    void Key(CEvntView& view, int key) { view.Cel().NotifyKeyPressed(key, 0); }

    ScriptedUi ui;
    eventtest::FixtureServices app;
    std::unique_ptr<CVLDoc> doc = eventtest::MakeScript(app);
    testing_support::TestViewServices services;
    std::vector<std::unique_ptr<CEvntView>> views;
};

TEST_F(EventViewTest, GridShowsEveryEventAndAnEmptyRow) {
    Intro().m_poEventList[0]->m_strLabel = "Go";
    CEvntView& view = Open(Intro());
    EXPECT_EQ(view.ViewSubject(), "Intro");
    EXPECT_EQ(view.FrameCaption(), "[Intro] of Show");
    EXPECT_EQ(view.Cel().GetRowCount(), 4);
    EXPECT_EQ(Cell(view, 2, -1), "Time");
    EXPECT_EQ(Cell(view, 3, -1), "Event");
    EXPECT_EQ(Cell(view, -1, 0), "000001");
    EXPECT_EQ(Cell(view, 1, 0), "Go");
    EXPECT_EQ(Cell(view, 2, 2), "00:05.00");
    EXPECT_EQ(Cell(view, -1, 3), "");
    // Stored widths are shown divided by 35.
    EXPECT_EQ(view.Cel().GetColumnWidth(8), 7500 / 35);
}

// A long sequence: rows far off screen show their events wherever they are read (a cell, a
// find), and a refill after the list changed shows the list as it now stands.
TEST_F(EventViewTest, FarRowsShowTheirEventsWhenRead) {
    for (int i = 0; i < 2000; ++i) {
        auto event = std::make_unique<CEvnt>();
        event->m_strComment = "Event " + std::to_string(i);
        Intro().m_poEventList.push_back(std::move(event));
    }
    CEvntView& view = Open(Intro());
    view.show();
    (void)view.grab();
    EXPECT_EQ(Cell(view, 8, 1503), "Event 1500");
    EXPECT_EQ(Cell(view, -1, 2002), "002003");
    int column = 0, row = 0;
    ASSERT_EQ(view.Cel().GetDataSource()->FindFirst("event 1999", column, row, 2 | 8), 0);
    EXPECT_EQ(column, 8);
    EXPECT_EQ(row, 2002);

    Intro().m_poEventList.erase(Intro().m_poEventList.begin(),
                                Intro().m_poEventList.begin() + 4);
    view.FillGrid();
    EXPECT_EQ(view.Cel().GetRowCount(), 2000);
    EXPECT_EQ(Cell(view, 8, 0), "Event 1");
    EXPECT_EQ(Cell(view, 8, 1498), "Event 1499");
    EXPECT_EQ(Cell(view, 8, 1998), "Event 1999");
    EXPECT_EQ(Cell(view, 8, 1999), "");
}

// The keys as a person types them: into the grid, through its editor, Enter to move on.
TEST_F(EventViewTest, TypingThroughTheKeyboard) {
    CEvntView& view = Open(Intro());
    view.show();
    QApplication::setActiveWindow(&view);
    EventCel& cel = view.Cel();
    // Keys go to the open editor, else to the grid's cells.
    const auto target = [&]() -> QWidget* {
        for (CELEdit* editor : cel.findChildren<CELEdit*>())
            if (editor->isVisible())
                return editor;
        return cel.CellArea();
    };
    const auto type = [&](const char* keys) {
        for (const char* k = keys; *k; ++k)
            QTest::keyClick(target(), *k);
    };
    // The editor finishes from the event loop.
    const auto enter = [&] {
        QTest::keyClick(target(), Qt::Key_Return);
        QCoreApplication::processEvents();
    };
    cel.CellArea()->setFocus();
    cel.MoveActiveCell(2, 0);
    type("1210");
    ASSERT_TRUE(cel.IsEditing());
    enter();
    EXPECT_FALSE(cel.IsEditing());
    EXPECT_EQ(Intro().m_poEventList[0]->m_strTime, "00:12.10");
    EXPECT_EQ(cel.GetActiveColumn(), 3) << "Enter moves one column right";

    // A refused label: the box, and the event keeps its label.
    cel.CellArea()->setFocus();
    cel.MoveActiveCell(1, 1);
    type("9x");
    enter();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Labels cannot start with digits ( 0 - 9 )");
    EXPECT_EQ(Intro().m_poEventList[1]->m_strLabel, "");
    EXPECT_FALSE(cel.IsEditing());
    EXPECT_EQ(target(), cel.CellArea()) << "no editor is left showing";

    // Enter through the last Comment goes on to a new event's Label.
    cel.CellArea()->setFocus();
    cel.MoveActiveCell(8, 2);
    type("end");
    EXPECT_TRUE(cel.IsEditing());
    EXPECT_EQ(cel.GetEditColumn(), 8);
    enter();
    EXPECT_EQ(Intro().m_poEventList[2]->m_strComment, "end");
    cel.CellArea()->setFocus();
    enter();
    EXPECT_EQ(Intro().m_poEventList.size(), 3u) << "Enter past the last cell of an event moves";
}

TEST_F(EventViewTest, TimesShownInFramesAndWithTheTimecodeStart) {
    Intro().m_dChaseStart = 108000; // 01:00:00.00 at 30 frames per second
    struct Case {
        bool frames, added;
        const char* shown;
    } cases[] = {{false, false, "00:01.00"},
                 {true, false, "30"},
                 {true, true, "108030"},
                 {false, true, "01:00:01.00"}};
    CEvntView& view = Open(Intro());
    for (const auto& c : cases) {
        services.settings.eventsInFrames = c.frames;
        services.settings.timecodeStartAdded = c.added;
        view.FillGrid();
        EXPECT_EQ(Cell(view, 2, 0), c.shown) << c.frames << c.added;
    }
    // A time that converts to a negative count keeps its text in frames mode.
    Intro().m_poEventList[1]->m_strTime = "-00:01.00";
    services.settings.timecodeStartAdded = false;
    view.FillGrid();
    EXPECT_EQ(Cell(view, 2, 1), "-00:01.00");
}

TEST_F(EventViewTest, TimeEntryByModeAndRate) {
    struct Case {
        std::uint16_t rate;
        bool frames, added;
        const char* typed;
        const char* stored; // empty: refused
        const char* range;
    } cases[] = {
        {3, false, false, "1210", "00:12.10", ""},
        {3, false, false, "1234", "00:13.04", ""},
        {3, false, false, "100:00", "", "( 0 - 65535 ) or ( 00:00.00 - 36:24.15 )"},
        {0, false, false, "46:00.00", "", "( 0 - 65535 ) or ( 00:00.00 - 45:30.15 )"},
        {1, false, false, "44:00.00", "", "( 0 - 65535 ) or ( 00:00.00 - 43:41.10 )"},
        {2, false, false, "37:00.00", "", "( 0 - 65535 ) or ( 00:00.00 - 36:26.20 )"},
        {3, true, false, "1:00", "", "( 0 - 65535 ) or ( 00:00.00 - 36:24.15 )"},
        {3, true, false, "65535", "36:24.15", ""},
        {3, true, false, "65536", "", "( 0 - 65535 ) or ( 00:00.00 - 36:24.15 )"},
        {3, false, true, "01:00:01.00", "00:01.00", ""},
        {3, false, true, "00:59:59.00", "", "( 108000 - 173535 ) or ( 01:00:00.00 - 01:36:24.15 )"},
        {3, false, false, "", "00:01.00", ""}, // an empty entry keeps the time
    };
    Intro().m_dChaseStart = 108000;
    CEvntView& view = Open(Intro());
    for (const auto& c : cases) {
        doc->m_wFrameRate = c.rate;
        services.settings.eventsInFrames = c.frames;
        services.settings.timecodeStartAdded = c.added;
        Intro().m_poEventList[0]->m_strTime = "00:01.00";
        ui.Clear();
        const bool taken = Edit(view, 2, 0, c.typed);
        if (*c.stored) {
            EXPECT_TRUE(taken) << c.typed;
            EXPECT_EQ(Intro().m_poEventList[0]->m_strTime, c.stored) << c.typed;
            EXPECT_TRUE(ui.boxes.empty()) << c.typed;
        } else {
            EXPECT_FALSE(taken) << c.typed;
            EXPECT_EQ(Intro().m_poEventList[0]->m_strTime, "00:01.00");
            ASSERT_EQ(ui.boxes.size(), 1u) << c.typed;
            EXPECT_EQ(ui.boxes[0].caption, "Edit Event Time");
            EXPECT_EQ(ui.boxes[0].text, std::string("Time is invalid.  Range is ") + c.range);
        }
    }
}

TEST_F(EventViewTest, LabelRefusalsLookAtTheTrimmedText) {
    CEvntView& view = Open(Intro());
    struct Case {
        const char* typed;
        const char* message; // null: taken as typed
    } cases[] = {{" 1abc", "Labels cannot start with digits ( 0 - 9 )"},
                 {"*go", "Labels cannot start with an asterisk"},
                 {"two words", nullptr}};
    for (const auto& c : cases) {
        ui.Clear();
        doc->SetModifiedFlag(false);
        EXPECT_EQ(Edit(view, 1, 0, c.typed), c.message == nullptr);
        if (c.message) {
            ASSERT_EQ(ui.boxes.size(), 1u);
            EXPECT_EQ(ui.boxes[0].text, c.message);
            EXPECT_EQ(ui.boxes[0].caption, "Edit Event Label");
            EXPECT_EQ(Intro().m_poEventList[0]->m_strLabel, "");
            EXPECT_FALSE(doc->IsModified());
        } else {
            EXPECT_EQ(Intro().m_poEventList[0]->m_strLabel, c.typed);
            EXPECT_TRUE(doc->IsModified());
        }
    }
}

TEST_F(EventViewTest, EnterInTheLastCommentGoesOnToANewLabel) {
    CEvntView& view = Open(Intro());
    view.Cel().MoveActiveCell(8, 2);
    Type(view, '\r');
    EXPECT_EQ(Intro().m_poEventList.size(), 4u);
    EXPECT_EQ(view.Cel().GetActiveColumn(), 1);
    EXPECT_EQ(view.Cel().GetActiveRow(), 3);
    EXPECT_EQ(view.Cel().GetRowCount(), 5);
    EXPECT_EQ(Cell(view, 3, 3), "Nop");
    // Tab walks right, and from the Comment to the next row's skip mark.
    view.Cel().MoveActiveCell(8, 0);
    Type(view, '\t');
    EXPECT_EQ(view.Cel().GetActiveColumn(), 0);
    EXPECT_EQ(view.Cel().GetActiveRow(), 1);
    // On the empty row Enter in the Comment stays put.
    view.Cel().MoveActiveCell(8, 4);
    Type(view, '\r');
    EXPECT_EQ(view.Cel().GetActiveRow(), 4);
    EXPECT_EQ(Intro().m_poEventList.size(), 4u);
}

TEST_F(EventViewTest, TypingIntoTheSkipColumnChangesNothingButMarks) {
    CEvntView& view = Open(Intro());
    std::string text = "1:05";
    EXPECT_TRUE(view.Cel().AllowEditFinish(0, 0, nullptr, text, false));
    EXPECT_EQ(text, "") << "the cell keeps showing the skip mark";
    EXPECT_EQ(Intro().m_poEventList[0]->m_strSkip, "");
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(EventViewTest, AnEditOnTheEmptyRowCreatesItsEventFirst) {
    CEvntView& view = Open(Intro());
    ASSERT_EQ(view.Cel().StartEdit(1, 3, 0), 0);
    EXPECT_TRUE(view.Cel().IsEditing()) << "the editor opens on the new event";
    view.Cel().AbandonEdit();
    view.Cel().SetRowCount(4);
    Intro().m_poEventList.pop_back();
    CELEdit* editor = nullptr;
    EXPECT_TRUE(view.Cel().AllowEditStart(1, 3, editor));
    EXPECT_EQ(Intro().m_poEventList.size(), 4u);
    EXPECT_EQ(view.Cel().GetRowCount(), 5);
    EXPECT_EQ(Cell(view, -1, 3), "000004");
    EXPECT_EQ(Cell(view, 2, 3), "00:00.00");
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(EventViewTest, DeleteKeyEmptiesTheCellButNotTheLabel) {
    CEvntView& view = Open(Intro());
    view.Cel().MoveActiveCell(2, 1);
    Key(view, kVkDelete);
    EXPECT_EQ(Intro().m_poEventList[1]->m_strTime, "");
    EXPECT_TRUE(doc->IsModified());
    Intro().m_poEventList[1]->m_strLabel = "L";
    view.Cel().MoveActiveCell(1, 1);
    Key(view, kVkDelete);
    EXPECT_EQ(Intro().m_poEventList[1]->m_strLabel, "L");
}

TEST_F(EventViewTest, SkipMarkToggles) {
    CEvntView& view = Open(Intro());
    for (const char* expected : {"*", "", "*"}) {
        view.Cel().NotifyCellLeftClick(0, 1, 1, {}, {}, 0);
        EXPECT_EQ(Intro().m_poEventList[1]->m_strSkip, expected);
        EXPECT_EQ(Cell(view, 0, 1), expected);
    }
    view.Cel().NotifyCellLeftClick(0, 3, 1, {}, {}, 0); // the empty row
    EXPECT_EQ(Intro().m_poEventList.size(), 3u);
}

TEST_F(EventViewTest, AlwaysPopupEventListOpensTheListWithTheTypedCharacter) {
    services.settings.alwaysPopupEventList = true;
    CEvntView& view = Open(Intro());
    CELEdit* editor = nullptr;
    EXPECT_FALSE(view.Cel().AllowEditStart(3, 0, editor)); // no in-place editor there
    int initial = 0;
    ui.QueueDialog([&](platform::DialogRequest& request) {
        auto& list = dynamic_cast<EventsListRequest&>(request);
        initial = list.initialChar;
        list.event->m_strEvent = "Goto";
        return true;
    });
    view.Cel().MoveActiveCell(3, 1);
    Type(view, 'G');
    EXPECT_EQ(initial, 'G');
    EXPECT_EQ(Intro().m_poEventList[1]->m_strEvent, "Goto");
    EXPECT_EQ(Cell(view, 3, 1), "Goto");
    EXPECT_EQ(view.Cel().GetActiveColumn(), 3);
    // On the empty row the event is made first.
    ui.QueueDialog([](platform::DialogRequest&) { return false; });
    view.Cel().MoveActiveCell(3, 3);
    Type(view, '\r');
    EXPECT_EQ(Intro().m_poEventList.size(), 4u);
}

// Through the keyboard: a letter on the empty row opens the list, the pick keeps the Event cell
// current, and the arrows go on from there.
TEST_F(EventViewTest, ArrowsAfterAnEventIsPickedFromTheList) {
    services.settings.alwaysPopupEventList = true;
    CEvntView& view = Open(Intro());
    view.show();
    QApplication::setActiveWindow(&view);
    EventCel& cel = view.Cel();
    cel.CellArea()->setFocus();
    int initial = 0;
    ui.QueueDialog([&](platform::DialogRequest& request) {
        auto& list = dynamic_cast<EventsListRequest&>(request);
        initial = list.initialChar;
        list.event->m_strEvent = "On";
        return true;
    });
    cel.MoveActiveCell(3, 3); // the empty row
    QTest::keyClick(cel.CellArea(), 'O');
    EXPECT_EQ(initial, 'O');
    ASSERT_EQ(Intro().m_poEventList.size(), 4u);
    EXPECT_EQ(Intro().m_poEventList[3]->m_strEvent, "On");
    EXPECT_EQ(Cell(view, 3, 3), "On");
    EXPECT_FALSE(cel.IsEditing());
    const struct {
        Qt::Key key;
        int column, row;
    } steps[] = {
        {Qt::Key_Right, 4, 3}, {Qt::Key_Right, 5, 3}, {Qt::Key_Left, 4, 3},
        {Qt::Key_Left, 3, 3},  {Qt::Key_Up, 3, 2},    {Qt::Key_Down, 3, 3},
    };
    for (const auto& step : steps) {
        QTest::keyClick(cel.CellArea(), step.key);
        EXPECT_EQ(cel.GetActiveColumn(), step.column) << step.key;
        EXPECT_EQ(cel.GetActiveRow(), step.row) << step.key;
    }
    EXPECT_EQ(ui.dialogNames.size(), 1u) << "the arrows open no list";
}

TEST_F(EventViewTest, DeletingARunAsksAndLandsOnTheFollowingEvent) {
    for (int i = 0; i < 3; ++i)
        Intro().m_poEventList.push_back(std::make_unique<CEvnt>());
    Intro().m_poEventList[4]->m_strLabel = "next";
    CEvntView& view = Open(Intro());
    view.Cel().MoveActiveCell(1, 1);
    view.Cel().SelectBlock(1, 1, 1, 3);
    ui.QueueAnswer(platform::MsgResult::Cancel);
    view.OnDeleteEvents();
    EXPECT_EQ(ui.boxes.back().text, "Remove the 3 selected event(s). Are you sure?");
    EXPECT_EQ(ui.boxes.back().caption, "Delete Events");
    EXPECT_EQ(Intro().m_poEventList.size(), 6u);
    EXPECT_TRUE(doc->IsModified()); // marked whether or not the user confirmed

    ui.QueueAnswer(platform::MsgResult::Ok);
    view.OnDeleteEvents();
    EXPECT_EQ(Intro().m_poEventList.size(), 3u);
    EXPECT_EQ(view.Cel().GetActiveRow(), 1);
    EXPECT_EQ(Cell(view, 1, 1), "next");

    // Deleting every event leaves one new event.
    view.Cel().MoveActiveCell(1, 0);
    view.Cel().SelectBlock(1, 0, 1, 3);
    ui.QueueAnswer(platform::MsgResult::Ok);
    view.OnDeleteEvents();
    ASSERT_EQ(Intro().m_poEventList.size(), 1u);
    EXPECT_EQ(Intro().m_poEventList[0]->m_strTime, "00:00.00");
    EXPECT_EQ(Intro().m_poEventList[0]->m_strEvent, "Nop");
    EXPECT_EQ(view.Cel().GetRowCount(), 2);
}

TEST_F(EventViewTest, InsertGoesBeforeTheActiveRowOrAppends) {
    CEvntView& view = Open(Intro());
    view.Cel().MoveActiveCell(2, 1);
    Key(view, kVkInsert);
    ASSERT_EQ(Intro().m_poEventList.size(), 4u);
    EXPECT_EQ(Intro().m_poEventList[1]->m_strTime, "00:00.00"); // no order check here
    EXPECT_EQ(Intro().m_poEventList[2]->m_strTime, "00:02.00");
    EXPECT_EQ(view.Cel().GetActiveRow(), 1);
    view.Cel().MoveActiveCell(2, 4);
    view.OnInsertEvent();
    EXPECT_EQ(Intro().m_poEventList.size(), 5u);
}

TEST_F(EventViewTest, TwoViewsOfOneSequenceNeverEditTheWrongEvent) {
    CEvntView& first = Open(Intro());
    CEvntView& second = Open(Intro());
    // An insert in the first view shifts the rows of the second.
    first.Cel().MoveActiveCell(1, 0);
    first.OnInsertEvent();
    ASSERT_EQ(second.Cel().GetRowCount(), 5);
    EXPECT_EQ(Cell(second, 2, 1), "00:01.00");
    // The second view's edit of row 1 lands on the event it shows.
    ASSERT_TRUE(Edit(second, 1, 1, "shown"));
    EXPECT_EQ(Intro().m_poEventList[1]->m_strLabel, "shown");
    EXPECT_EQ(Intro().m_poEventList[1]->m_strTime, "00:01.00");
    // A delete in the second view: the first view's skip toggle and Delete key follow.
    second.Cel().MoveActiveCell(1, 0);
    second.Cel().SelectOneCell(1, 0);
    ui.QueueAnswer(platform::MsgResult::Ok);
    second.OnDeleteEvents();
    ASSERT_EQ(first.Cel().GetRowCount(), 4);
    first.Cel().NotifyCellLeftClick(0, 0, 1, {}, {}, 0);
    EXPECT_EQ(Intro().m_poEventList[0]->m_strSkip, "*");
    EXPECT_EQ(Intro().m_poEventList[0]->m_strLabel, "shown");
    first.Cel().MoveActiveCell(2, 0);
    Key(first, kVkDelete);
    EXPECT_EQ(Intro().m_poEventList[0]->m_strTime, "");
    EXPECT_EQ(Intro().m_poEventList[1]->m_strTime, "00:02.00");
    // A view of another sequence is not rebuilt by these.
    CSeq& show = *doc->m_poSeqList[1];
    show.m_poEventList.push_back(std::make_unique<CEvnt>());
    CEvntView& other = Open(show);
    first.OnInsertEvent();
    EXPECT_EQ(other.Cel().GetRowCount(), 2);
}

TEST_F(EventViewTest, AnEditorLeftOpenInTheOtherViewGoesWhenRowsMove) {
    CEvntView& first = Open(Intro());
    CEvntView& second = Open(Intro());
    second.Cel().StartEdit(1, 1, 0);
    ASSERT_TRUE(second.Cel().IsEditing());
    first.Cel().MoveActiveCell(1, 0);
    first.OnInsertEvent();
    EXPECT_FALSE(second.Cel().IsEditing());
    // A view's own change of the event list leaves its own editor open.
    ASSERT_EQ(first.Cel().StartEdit(8, 0, 0), 0);
    ASSERT_TRUE(first.Cel().IsEditing());
    first.EventsChanged(0);
    EXPECT_TRUE(first.Cel().IsEditing());
    EXPECT_FALSE(second.Cel().IsEditing());
    first.Cel().AbandonEdit();
}

TEST_F(EventViewTest, TimeDisplayToggleRebuildsEveryEventEditorOfTheScript) {
    CEvntView& first = Open(Intro());
    CSeq& show = *doc->m_poSeqList[1];
    auto event = std::make_unique<CEvnt>();
    event->m_strTime = "00:02.00";
    show.m_poEventList.push_back(std::move(event));
    CEvntView& second = Open(show);
    first.OnCommand(vl_ids::kEventsInFrames);
    EXPECT_EQ(services.settingsSaved, 1);
    EXPECT_EQ(Cell(first, 2, 0), "30");
    EXPECT_EQ(Cell(second, 2, 0), "60");
    first.OnCommand(vl_ids::kEventsInFrames);
    EXPECT_EQ(Cell(second, 2, 0), "00:02.00");
}

TEST_F(EventViewTest, ColumnWidthsSurviveAReopen) {
    {
        CEvntView& view = Open(Intro());
        view.Cel().ResizeColumn(3, 140);
        int width = 140;
        view.Cel().NotifyColumnSized(3, width);
        EXPECT_FALSE(doc->IsModified());
    }
    EXPECT_EQ(Intro().m_awEventColWidths[3], 140 * 35);
    CEvntView& again = Open(Intro());
    EXPECT_EQ(again.Cel().GetColumnWidth(3), 140);
}

TEST_F(EventViewTest, StatusPopupShowsTheSequenceAndTheState) {
    CEvntView& view = Open(Intro());
    services.settings.popupDelay = 4;
    std::vector<std::pair<std::string, std::string>> lines;
    for (int i = 0; i < 3; ++i)
        ui.QueueDialog([&](platform::DialogRequest& request) {
            auto& popup = dynamic_cast<CPopupDlg&>(request);
            EXPECT_EQ(popup.title, "Sequence Properties");
            EXPECT_EQ(popup.delayTicks, 4);
            lines.emplace_back(popup.message, popup.detail);
            return true;
        });
    view.OnCommand(vl_ids::kAutostart);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(Intro().m_nAutoStart, 1);
    Intro().m_nNeedsCompile = 0;
    doc->SetModifiedFlag(false);
    view.OnCommand(vl_ids::kIndentLevel1 + 2);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(Intro().m_nNeedsCompile, 0); // indentation is not compiled
    EXPECT_EQ(Intro().m_wLevel, 3);
    view.OnCommand(vl_ids::kIndentLevel1);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0],
              std::make_pair(std::string("Sequence: Intro"), std::string("Autostart Enabled")));
    EXPECT_EQ(lines[1].second, "Indentation set to Level 2");
    EXPECT_EQ(lines[2].second, "Indentation set to None");
}

TEST_F(EventViewTest, PopupsOfferTheColumnsItemsAndTakeOnlyThose) {
    CEvntView& view = Open(Intro());
    GVPMenuPtr menu = view.Cel().BuildPopupMenu(4, 0, 1);
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->items.size(), 4u);
    EXPECT_EQ(menu->items[0].id, 540u);
    EXPECT_EQ(menu->items[1].id, 541u);
    EXPECT_TRUE(menu->items[2].separator);
    EXPECT_EQ(menu->items[3].id, 542u);
    EXPECT_EQ(view.Cel().ItemCount(4), 3);
    EXPECT_FALSE(view.Cel().BuildPopupMenu(4, 3, 1)); // the empty row has none

    menu = view.Cel().BuildPopupMenu(2, 0, 1);
    EXPECT_EQ(menu->items.back().id, 521u);
    // An item number beyond the last menu of that column does nothing.
    view.Cel().MoveActiveCell(4, 0);
    view.Cel().OnCommand(543);
    EXPECT_TRUE(ui.dialogNames.empty());
    EXPECT_EQ(services.helpOpened, 0);
    view.Cel().OnCommand(542);
    EXPECT_EQ(services.helpOpened, 1);

    // Resource List writes the picked name into the data field.
    ui.QueueDialog([](platform::DialogRequest& request) {
        dynamic_cast<ResourceListRequest&>(request).name = "Lamp";
        return true;
    });
    view.Cel().OnCommand(541);
    EXPECT_EQ(Intro().m_poEventList[0]->m_strData1, "Lamp");
    EXPECT_EQ(Cell(view, 4, 0), "Lamp");

    view.Cel().BuildPopupMenu(1, 0, 1);
    view.Cel().OnCommand(510);
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().caption, "Label Help");
    view.Cel().BuildPopupMenu(8, 0, 1);
    view.Cel().OnCommand(580);
    EXPECT_EQ(ui.boxes.back().text,
              "A Comment is used to describe each event.  Any text can be put "
              "into an event comment");
}

TEST_F(EventViewTest, TimeWizardRunsOnTheSelectedTimes) {
    CEvntView& view = Open(Intro());
    view.Cel().MoveActiveCell(2, 0);
    view.Cel().SelectBlock(2, 0, 2, 1);
    bool several = false;
    ui.QueueDialog([&](platform::DialogRequest& request) {
        auto& wizard = dynamic_cast<TimeWizardRequest&>(request);
        several = wizard.severalEvents;
        EXPECT_EQ(wizard.currentLength, "00:05.00");
        wizard.choice = 0;
        wizard.firstText = "00:01.00";
        return true;
    });
    view.Cel().BuildPopupMenu(2, 0, 1);
    view.Cel().OnCommand(520);
    EXPECT_TRUE(several);
    EXPECT_EQ(Intro().m_poEventList[0]->m_strTime, "00:02.00");
    EXPECT_EQ(Intro().m_poEventList[1]->m_strTime, "00:03.00");
    EXPECT_EQ(Intro().m_poEventList[2]->m_strTime, "00:05.00");
    EXPECT_EQ(Cell(view, 2, 1), "00:03.00");
    EXPECT_TRUE(doc->IsModified());

    // A stop changes nothing and says why, under "Time Wizard".
    ui.QueueDialog([](platform::DialogRequest& request) {
        auto& wizard = dynamic_cast<TimeWizardRequest&>(request);
        wizard.choice = 1;
        wizard.firstText = "00:04.00";
        return true;
    });
    view.Cel().OnCommand(520);
    EXPECT_EQ(ui.boxes.back().caption, "Time Wizard");
    EXPECT_EQ(Intro().m_poEventList[0]->m_strTime, "00:02.00");
}

TEST_F(EventViewTest, FindAndReplaceCopiesTheGridBack) {
    CEvntView& view = Open(Intro());
    view.Cel().WriteCellText(8, 1, "replaced");
    view.Cel().WriteCellText(2, 1, "garbage:99:99:99");
    view.Cel().NotifyFindDialogClosed();
    EXPECT_EQ(Intro().m_poEventList[1]->m_strComment, "replaced");
    EXPECT_EQ(Intro().m_poEventList[1]->m_strTime, "00:02.00");
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->m_poSeqList[1]->m_nNeedsCompile, 1);
}

TEST_F(EventViewTest, F5DeletesAfterAsking) {
    CEvntView& view = Open(Intro());
    view.Cel().MoveActiveCell(1, 0);
    view.Cel().SelectOneCell(1, 0);
    ui.QueueAnswer(platform::MsgResult::Ok);
    Key(view, kVkF5);
    EXPECT_EQ(Intro().m_poEventList.size(), 2u);
}

void PutOnClipboard(const std::vector<std::uint8_t>& block) {
    auto* data = new QMimeData;
    data->setData("VelmoraEvents", QByteArray(reinterpret_cast<const char*>(block.data()),
                                              static_cast<qsizetype>(block.size())));
    QApplication::clipboard()->setMimeData(data);
}

std::vector<std::string> Labels(const CSeq& seq) {
    std::vector<std::string> labels;
    for (const auto& event : seq.m_poEventList)
        labels.push_back(event->m_strLabel);
    return labels;
}

struct EventClipboard : EventViewTest {
    EventClipboard() {
        const char* labels[] = {"a", "b", "c"};
        for (std::size_t i = 0; i < 3; ++i)
            Intro().m_poEventList[i]->m_strLabel = labels[i];
    }
    // Copies rows first to last of the view's Label column.
    void CopyRows(CEvntView& view, int first, int last) {
        view.Cel().MoveActiveCell(1, first);
        view.Cel().SelectBlock(1, first, 1, last);
        view.OnCommand(vl_ids::kEditCopy);
    }
    void PasteAt(CEvntView& view, int first, int last) {
        view.Cel().MoveActiveCell(1, first);
        view.Cel().SelectBlock(1, first, 1, last);
        view.OnCommand(vl_ids::kEditPaste);
    }
};

// The timeline's grid is the same view with other answers to the hooks: a twin of that shape.
class TwinView : public CEvntView {
public:
    using CEvntView::CEvntView;
    const char* ViewClassName() const override { return "CVwTimeGrid"; }
    void EventsChanged(int event) override {
        CEvntView::EventsChanged(event);
        changes.push_back(event);
    }
    void SkipMarkToggled(int row) override { toggled.push_back(row); }
    bool RaisesOrderOnInsert() const override { return true; }
    timewizard::FrameConversion WizardConversion() const override {
        return timewizard::FrameConversion::Truncate;
    }
    bool FitsColumns() const override { return false; }
    std::vector<int> changes;
    std::vector<int> toggled;
};

TEST_F(EventViewTest, ATwinGridAnswersTheHooksItsOwnWay) {
    doc->m_wFrameRate = 2; // 29.97
    doc->m_posCurrentSeq = &Intro();
    TwinView twin(*doc, services);
    doc->AddView(&twin);
    twin.OnInitialUpdate();
    CEvntView& editor = Open(Intro());

    // Insert below 00:01.00 raises the new event's time to it; the editor's grid follows.
    twin.Cel().MoveActiveCell(2, 1);
    twin.OnInsertEvent();
    EXPECT_EQ(Intro().m_poEventList[1]->m_strTime, "00:01.00");
    EXPECT_EQ(twin.changes, std::vector<int>{1});
    EXPECT_EQ(editor.Cel().GetRowCount(), 5);

    twin.Cel().NotifyCellLeftClick(0, 2, 1, {}, {}, 0);
    EXPECT_EQ(twin.toggled, std::vector<int>{2});

    const int width = twin.Cel().GetColumnWidth(8);
    twin.OnCommand(vl_ids::kAutoSizeColumns);
    EXPECT_EQ(twin.Cel().GetColumnWidth(8), width) << "no column fit in the twin";

    // Its Time Wizard truncates: 00:01.00 at 29.97 is 29.97 frames, added as 29.
    Intro().m_poEventList[0]->m_strTime = "00:00.00";
    ui.QueueDialog([](platform::DialogRequest& request) {
        auto& wizard = dynamic_cast<TimeWizardRequest&>(request);
        wizard.choice = 0;
        wizard.firstText = "00:01.00";
        return true;
    });
    twin.Cel().MoveActiveCell(2, 0);
    twin.Cel().SelectOneCell(2, 0);
    twin.Cel().BuildPopupMenu(2, 0, 1);
    twin.Cel().OnCommand(520);
    EXPECT_EQ(Intro().m_poEventList[0]->m_strTime, "00:00.29");
    doc->RemoveView(&twin);
}

struct MenuUi : platform::qt::CommandUi {
    void Enable(bool on) override { enabled = on; }
    void SetCheck(int) override {}
    void SetText(const QString& shown) override { text = shown; }
    bool enabled = true;
    QString text;
};

TEST_F(EventClipboard, CopyThenPasteOnTheEmptyRowAppendsInOrder) {
    CEvntView& view = Open(Intro());
    QApplication::clipboard()->clear();
    MenuUi paste;
    view.OnUpdateCommand(vl_ids::kEditPaste, paste);
    EXPECT_FALSE(paste.enabled) << "Paste waits for events on the clipboard";
    EXPECT_EQ(paste.text, "&Paste Events\tCtrl+V");
    CopyRows(view, 0, 2);
    EXPECT_TRUE(doc->IsModified()) << "copy alone marks the script";
    EXPECT_TRUE(CEvntView::ClipboardOffersEvents());
    view.OnUpdateCommand(vl_ids::kEditPaste, paste);
    EXPECT_TRUE(paste.enabled);
    PasteAt(view, 3, 3);
    EXPECT_EQ(Labels(Intro()), (std::vector<std::string>{"a", "b", "c", "a", "b", "c"}));
    EXPECT_EQ(view.Cel().GetActiveColumn(), 1);
    EXPECT_EQ(view.Cel().GetActiveRow(), 3);
    EXPECT_EQ(Cell(view, 1, 5), "c");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(EventClipboard, PasteBeforeOneRowAsksNothingAndOverARunAsksOnce) {
    CEvntView& view = Open(Intro());
    CopyRows(view, 2, 2);
    PasteAt(view, 1, 1);
    EXPECT_EQ(Labels(Intro()), (std::vector<std::string>{"a", "c", "b", "c"}));
    EXPECT_TRUE(ui.boxes.empty());

    ui.QueueAnswer(platform::MsgResult::No);
    PasteAt(view, 0, 1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Are you sure you want to replace the current selection?");
    EXPECT_EQ(ui.boxes[0].caption, "Paste from Clipboard");
    EXPECT_EQ(Labels(Intro()), (std::vector<std::string>{"c", "a", "c", "b", "c"}));

    ui.QueueAnswer(platform::MsgResult::Yes);
    PasteAt(view, 0, 2);
    EXPECT_EQ(Labels(Intro()), (std::vector<std::string>{"c", "b", "c"}));
}

TEST_F(EventClipboard, AnEmptyBlockOverEveryEventLeavesOneNewEvent) {
    CEvntView& view = Open(Intro());
    PutOnClipboard({1, 0, 0});
    ui.QueueAnswer(platform::MsgResult::Yes);
    PasteAt(view, 0, 3);
    ASSERT_EQ(Intro().m_poEventList.size(), 1u);
    EXPECT_EQ(Intro().m_poEventList[0]->m_strEvent, "Nop");
}

TEST_F(EventClipboard, RefusedBlocksChangeNothing) {
    CEvntView& view = Open(Intro());
    struct Case {
        std::vector<std::uint8_t> block;
        const char* message;
    } cases[] = {
        {{0, 1, 0}, "Cannot Paste sequences into events"},
        {{2, 1, 0}, "Unknown data.  Cannot Paste into events"},
        {{1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "Error obtaining data from Clipboard"},
        {{1, 1, 0, 9, 'x'}, "Error obtaining data from Clipboard"},
    };
    for (const auto& c : cases) {
        PutOnClipboard(c.block);
        ui.Clear();
        // A forged block over a run: refused before the question, nothing removed.
        PasteAt(view, 0, 2);
        ASSERT_EQ(ui.boxes.size(), 1u) << c.message;
        EXPECT_EQ(ui.boxes[0].text, c.message);
        EXPECT_EQ(ui.boxes[0].caption, "Paste from Clipboard");
        EXPECT_EQ(Labels(Intro()), (std::vector<std::string>{"a", "b", "c"}));
    }
}

TEST_F(EventClipboard, PasteLimitCountsWhatWouldRemain) {
    CSeq& show = *doc->m_poSeqList[1];
    for (int i = 0; i < 32764; ++i)
        show.m_poEventList.push_back(std::make_unique<CEvnt>());
    CEvntView& view = Open(Intro());
    CopyRows(view, 0, 2);
    CEvntView& big = Open(show);
    PasteAt(big, 0, 0);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Pasting 3 events would exceed 32767 events");
    EXPECT_EQ(show.m_poEventList.size(), 32764u);
    CopyRows(view, 0, 1);
    PasteAt(big, 0, 0);
    EXPECT_EQ(show.m_poEventList.size(), 32766u);
}

TEST_F(EventClipboard, CutRemovesAndAnotherScriptTakesThePaste) {
    CEvntView& view = Open(Intro());
    view.Cel().MoveActiveCell(1, 0);
    view.Cel().SelectBlock(1, 0, 1, 1);
    view.OnCommand(vl_ids::kEditCut);
    EXPECT_TRUE(ui.boxes.empty()) << "a cut does not ask";
    EXPECT_EQ(Labels(Intro()), (std::vector<std::string>{"c"}));

    eventtest::FixtureServices otherApp;
    auto other = eventtest::MakeScript(otherApp);
    other->m_poSeqList[0]->m_poEventList.push_back(std::make_unique<CEvnt>());
    other->m_posCurrentSeq = other->m_poSeqList[0].get();
    CEvntView target(*other, services);
    other->AddView(&target);
    target.OnInitialUpdate();
    target.Cel().MoveActiveCell(1, 0);
    target.Cel().SelectOneCell(1, 0);
    target.OnCommand(vl_ids::kEditPaste);
    EXPECT_EQ(Labels(*other->m_poSeqList[0]), (std::vector<std::string>{"a", "b", ""}));
    EXPECT_TRUE(other->IsModified());
    other->RemoveView(&target);
}

TEST_F(EventClipboard, LongTextsAskBeforeACopy) {
    Intro().m_poEventList[0]->m_strComment = std::string(300, 'c');
    CEvntView& view = Open(Intro());
    PutOnClipboard({1, 0, 0});
    ui.QueueAnswer(platform::MsgResult::No);
    view.Cel().MoveActiveCell(1, 0);
    view.Cel().SelectBlock(1, 0, 1, 1);
    view.OnCommand(vl_ids::kEditCut);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].caption, "Cut to Clipboard");
    EXPECT_EQ(Intro().m_poEventList.size(), 3u) << "a declined cut removes nothing";
}

TEST_F(EventClipboard, APasteInOneViewMovesTheRowsOfTheOther) {
    CEvntView& first = Open(Intro());
    CEvntView& second = Open(Intro());
    CopyRows(first, 2, 2);
    PasteAt(first, 0, 0);
    ASSERT_EQ(second.Cel().GetRowCount(), 5);
    ASSERT_TRUE(Edit(second, 8, 1, "on a"));
    EXPECT_EQ(Intro().m_poEventList[1]->m_strLabel, "a");
    EXPECT_EQ(Intro().m_poEventList[1]->m_strComment, "on a");
}

} // namespace
