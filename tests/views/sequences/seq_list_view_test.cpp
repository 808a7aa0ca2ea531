// The sequence list driven as a user drives it: keys and clicks on the grid, the Edit menu's
// commands, the popup, and the clipboard, checked against the script model.
#include "controls/grid/cel_parts.h"
#include "platform/qt/command_target.h"
#include "platform/qt/virtual_keys.h"
#include "script/clipboard_block.h"
#include "script/sequence.h"
#include "script/sequence_clipboard.h"
#include "script/vl_doc.h"
#include "tests/support/app_fixture.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/view_services_fixture.h"
#include "views/common/update_hints.h"
#include "views/sequences/seq_list_view.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QMimeData>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using platform::MsgResult;
using testing_support::ScriptedUi;

struct RecordedUi : platform::qt::CommandUi {
    void Enable(bool on) override {
        enabled = on;
        enableChanged = true;
    }
    void SetCheck(int state) override { check = state; }
    void SetText(const QString& t) override { text = t; }
    bool enabled = false;
    int check = -1;
    QString text = QStringLiteral("untouched");
};

// A view of one sequence, as an event editor or a timeline pane is.
struct SequenceView : CVLView {
    SequenceView(CVLDoc& doc, ViewServices& services, const char* name, const CSeq* shown)
        : CVLView(doc, services), name_(name), shown_(shown) {}
    const char* ViewClassName() const override { return name_; }
    const CSeq* ShownSequence() const override { return shown_; }
    void CloseFrame() override { ++closes; }
    const char* name_;
    const CSeq* shown_;
    int closes = 0;
};

// Counts the hints the script's views hear.
struct HintRecorder : platform::View {
    void OnUpdate(platform::View*, long hint, void*) override { hints.push_back(hint); }
    std::vector<long> hints;
};

struct SeqList : ::testing::Test {
    SeqList() {
        qt_testing::QtTestApp();
        doc.InitNewScript(CVLDoc::kDefaultProduct);
        doc.SetTitle("Show.ksf");
        doc.AddView(&recorder);
        Open();
    }
    ~SeqList() override {
        Close();
        doc.RemoveView(&recorder);
        QApplication::clipboard()->clear();
    }
    void Open() {
        view = std::make_unique<CSeqListView>(doc, services);
        view->resize(760, 300);
        doc.AddView(view.get());
        view->OnInitialUpdate();
    }
    void Close() {
        if (view)
            doc.RemoveView(view.get());
        view.reset();
    }
    // Replaces the script's sequences by these names, each with one event, marks cleared.
    void Sequences(std::vector<std::string> names) {
        doc.m_poSeqList.clear();
        for (const std::string& name : names) {
            auto seq = std::make_unique<CSeq>(name, 1);
            auto event = std::make_unique<CEvnt>();
            event->m_strData1 = name;
            seq->m_poEventList.push_back(std::move(event));
            seq->m_nNeedsCompile = 0;
            doc.m_poSeqList.push_back(std::move(seq));
        }
        view->FillGrid();
        Unmark();
    }
    void Unmark() {
        doc.SetModifiedFlag(false);
        doc.m_nCompiledOK = 1;
        for (auto& seq : doc.m_poSeqList)
            seq->m_nNeedsCompile = 0;
        recorder.hints.clear();
        ui.Clear();
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& seq : doc.m_poSeqList)
            names.push_back(seq->m_strName);
        return names;
    }
    SeqCel& Cel() { return *view->Cel(); }
    std::string Cell(int column, int row) {
        const char* text = Cel().ReadCellText(column, row);
        return text ? text : "";
    }
    void Select(int firstRow, int lastRow, int column = 2) {
        Cel().MoveActiveCell(column, firstRow);
        Cel().ClearBlockSelection();
        Cel().SelectBlock(column, firstRow, column, lastRow);
    }
    bool Command(unsigned id) { return view->OnCommand(id); }
    RecordedUi Update(unsigned id) {
        RecordedUi ui;
        view->OnUpdateCommand(id, ui);
        return ui;
    }
    bool MarkedForCompile() const {
        for (const auto& seq : doc.m_poSeqList)
            if (!seq->m_nNeedsCompile)
                return false;
        return doc.m_nCompiledOK == 0;
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(Cel().CellArea(), Qt::Key(key), modifiers);
    }
    void ShowActive() {
        view->show();
        view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
        Cel().CellArea()->setFocus();
    }

    testing_support::AppFixture app;
    ScriptedUi ui;
    CVLDoc doc{app.App()};
    testing_support::TestViewServices services;
    HintRecorder recorder;
    std::unique_ptr<CSeqListView> view;
};

TEST_F(SeqList, NewScriptShowsDefaultAndTheEmptyRow) {
    EXPECT_EQ(view->FrameCaption(), "Sequences of Show");
    ASSERT_EQ(Cel().GetRowCount(), 2);
    EXPECT_EQ(Cell(-1, 0), "001");
    EXPECT_EQ(Cell(2, 0), "Default");
    for (int c = -1; c < 5; ++c)
        EXPECT_EQ(Cell(c, 1), "") << c;
    const char* headings[] = {"A", "L", "Sequence Name", "Triggers/Timecode Chase", "Comment"};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(Cell(c, -1), headings[c]);
    // Widths from the script: 5155, 8500 and 5165 in 1/35 pixel, widened where a default
    // width would cut its heading.
    const QFontMetrics metrics(Cel().font());
    const struct { int column, stored; } widths[] = {{2, 147}, {3, 147}, {4, 242}};
    EXPECT_EQ(Cel().GetColumnWidth(0), 12);
    for (const auto& w : widths) {
        const int heading = metrics.horizontalAdvance(QString::fromLatin1(headings[w.column]));
        EXPECT_EQ(Cel().GetColumnWidth(w.column), std::max(w.stored, heading + 10)) << w.column;
        EXPECT_GT(Cel().GetColumnWidth(w.column), heading) << w.column;
    }
    // A width the script stored is shown as it is, even when it cuts the heading.
    CVLDoc stored{app.App()};
    stored.InitNewScript(CVLDoc::kDefaultProduct);
    stored.m_awColWidths[CVLDoc::kColSequenceList.first + 3] = 40 * 35;
    CSeqListView other(stored, services);
    stored.AddView(&other);
    other.OnInitialUpdate();
    EXPECT_EQ(other.Cel()->GetColumnWidth(3), 40);
    stored.RemoveView(&other);
}

TEST_F(SeqList, RowsShowFlagsLevelsAndTriggers) {
    Sequences({"Main", "Sub", "Odd"});
    CSeq& main = *doc.m_poSeqList[0];
    main.m_nAutoStart = 1;
    main.m_nSmpteStartOn = 1;
    main.m_anSmpteStart = {1, 0, 0, 0};
    main.m_strDescription = "first";
    doc.m_poSeqList[1]->m_wLevel = 3;
    doc.m_poSeqList[1]->m_nLooping = 1;
    doc.m_poSeqList[2]->m_wLevel = 9; // out of range in a file: shown as the nearest
    view->FillGrid();
    EXPECT_EQ(Cell(0, 0), "*");
    EXPECT_EQ(Cell(1, 0), "");
    EXPECT_EQ(Cell(3, 0), "Timecode Trigger: 01:00:00.00 ");
    EXPECT_EQ(Cell(4, 0), "first");
    EXPECT_EQ(Cell(1, 1), "*");
    EXPECT_EQ(Cell(2, 1), "          Sub");
    EXPECT_EQ(Cell(2, 2), std::string(25, ' ') + "Odd");
    EXPECT_EQ(Cell(-1, 2), "003");
}

TEST_F(SeqList, DeleteRunsAskAndLandOnTheRightCell) {
    struct Case {
        const char* what;
        int first, last;
        std::string question;
        std::vector<std::string> left;
        int column, row;
    } cases[] = {
        {"last two", 3, 4, "Delete Sequences 4 - 5.  Are you sure?", {"A", "B", "C"}, 1, 2},
        {"middle two", 1, 2, "Delete Sequences 2 - 3.  Are you sure?", {"A", "D", ""}, 2, 1},
        {"named one", 2, 2, "Delete Sequence C.  Are you sure?", {"A", "B", "D", ""}, 2, 2},
        {"unnamed fourth", 4, 4, "Delete Sequence 5.  Are you sure?", {"A", "B", "C", "D"}, 1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Sequences({"A", "B", "C", "D", ""});
        Select(c.first, c.last);
        ui.QueueAnswer(MsgResult::Ok);
        EXPECT_TRUE(Command(vl_ids::kDeleteSequences));
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, c.question);
        EXPECT_EQ(ui.boxes[0].caption, "Delete Sequences");
        EXPECT_EQ(Names(), c.left);
        EXPECT_EQ(Cel().GetRowCount(), int(c.left.size()) + 1);
        EXPECT_EQ(Cel().GetActiveColumn(), c.column);
        EXPECT_EQ(Cel().GetActiveRow(), c.row);
        EXPECT_TRUE(doc.IsModified());
        EXPECT_TRUE(MarkedForCompile());
        EXPECT_TRUE(recorder.hints.empty());
    }
    // Cancel keeps everything; the empty row alone selected deletes nothing.
    Sequences({"A", "B"});
    Select(0, 0);
    ui.QueueAnswer(MsgResult::Cancel);
    Command(vl_ids::kDeleteSequences);
    Select(2, 2);
    Command(vl_ids::kDeleteSequences);
    EXPECT_EQ(Names(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(SeqList, DeletingTheLastSequenceLeavesDefault) {
    Sequences({"Only"});
    Select(0, 0);
    ui.QueueAnswer(MsgResult::Ok);
    Command(vl_ids::kDeleteSequences);
    ASSERT_EQ(Names(), std::vector<std::string>{"Default"});
    const CSeq& seq = *doc.m_poSeqList[0];
    ASSERT_EQ(seq.m_poEventList.size(), 1u);
    EXPECT_EQ(seq.m_poEventList[0]->m_strEvent, "Nop");
    EXPECT_EQ(seq.m_poEventList[0]->m_strTime, "00:00.00");
    EXPECT_EQ(Cel().GetActiveColumn(), 2);
    EXPECT_EQ(Cel().GetActiveRow(), 0);
}

TEST_F(SeqList, RemovingSequencesClosesTheirViewsAndForgetsThePositionToOpen) {
    Sequences({"Intro", "Show", "intro", "Keep"});
    CSeq* show = doc.m_poSeqList[1].get();
    CSeq* other = doc.m_poSeqList[2].get();
    CSeq* keep = doc.m_poSeqList[3].get();
    SequenceView sameName(doc, services, "CEvntView", other); // "intro" against "Intro"
    SequenceView timeline(doc, services, "CVwTimeline", show);
    SequenceView timelineOfOther(doc, services, "CVwTimeline", other);
    SequenceView kept(doc, services, "CEvntView", keep);
    for (SequenceView* v : {&sameName, &timeline, &timelineOfOther, &kept})
        doc.AddView(v);
    doc.m_posCurrentSeq = show;
    Select(0, 1);
    ui.QueueAnswer(MsgResult::Ok);
    Command(vl_ids::kDeleteSequences);
    EXPECT_EQ(Names(), (std::vector<std::string>{"intro", "Keep"}));
    EXPECT_EQ(sameName.closes, 1);        // an event editor, by name
    EXPECT_EQ(timeline.closes, 1);        // by identity
    EXPECT_EQ(timelineOfOther.closes, 0); // the name rule is the event editors'
    EXPECT_EQ(kept.closes, 0);
    EXPECT_EQ(doc.m_posCurrentSeq, nullptr);
    for (SequenceView* v : {&sameName, &timeline, &timelineOfOther, &kept})
        doc.RemoveView(v);
}

TEST_F(SeqList, InsertPutsAnUnnamedSequenceBeforeTheActiveRowAndNothingOnTheEmptyRow) {
    Sequences({"A", "B", "C"});
    Cel().MoveActiveCell(4, 3);
    EXPECT_FALSE(Update(vl_ids::kInsertSequence).enabled);
    Command(vl_ids::kInsertSequence);
    EXPECT_EQ(Names().size(), 3u);
    EXPECT_FALSE(doc.IsModified());
    Cel().MoveActiveCell(4, 2);
    EXPECT_TRUE(Update(vl_ids::kInsertSequence).enabled);
    Command(vl_ids::kInsertSequence);
    EXPECT_EQ(Names(), (std::vector<std::string>{"A", "B", "", "C"}));
    EXPECT_EQ(doc.m_poSeqList[2]->m_poEventList.size(), 1u);
    EXPECT_EQ(Cel().GetActiveColumn(), 4);
    EXPECT_EQ(Cel().GetActiveRow(), 2);
    EXPECT_EQ(Cel().GetRowCount(), 5);
    EXPECT_TRUE(MarkedForCompile());
    EXPECT_TRUE(recorder.hints.empty());
}

TEST_F(SeqList, TypingIntoTheEmptyRowAppendsAndEnterWalksNameCommentNextName) {
    ShowActive();
    Sequences({"A"});
    Cel().MoveActiveCell(2, 1);
    QTest::keyClicks(Cel().CellArea(), "I");
    ASSERT_TRUE(Cel().IsEditing());
    EXPECT_EQ(Names(), (std::vector<std::string>{"A", ""}));
    EXPECT_EQ(doc.m_poSeqList[1]->m_wLevel, 1);
    EXPECT_EQ(recorder.hints, std::vector<long>{hints::kRepaint});
    EXPECT_EQ(Cel().GetRowCount(), 3);
    QTest::keyClicks(Cel().Editor(), "ntro");
    QTest::keyClick(Cel().Editor(), Qt::Key_Return);
    QCoreApplication::processEvents(); // the edit ends after the key
    EXPECT_EQ(doc.m_poSeqList[1]->m_strName, "Intro");
    EXPECT_FALSE(Cel().IsEditing()); // no editor opens on the next cell by itself
    EXPECT_EQ(Cel().GetActiveColumn(), 4);
    EXPECT_EQ(Cel().GetActiveRow(), 1);
    QTest::keyClicks(Cel().CellArea(), "D");
    QTest::keyClicks(Cel().Editor(), "oors");
    QTest::keyClick(Cel().Editor(), Qt::Key_Return);
    QCoreApplication::processEvents(); // the edit ends after the key
    EXPECT_EQ(doc.m_poSeqList[1]->m_strDescription, "Doors");
    EXPECT_EQ(Cel().GetActiveColumn(), 2);
    EXPECT_EQ(Cel().GetActiveRow(), 2);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(SeqList, NamesLoseLeadingBlanksAndShowTheirIndentAgain) {
    ShowActive();
    Sequences({"A"});
    doc.m_poSeqList[0]->m_wLevel = 3;
    view->FillGrid();
    Cel().MoveActiveCell(2, 0);
    Key(Qt::Key_F2);
    ASSERT_TRUE(Cel().IsEditing());
    QWidget* editor = Cel().Editor();
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, "   Big  Top ");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(doc.m_poSeqList[0]->m_strName, "Big  Top ");
    EXPECT_EQ(Cell(2, 0), "          Big  Top ");
    EXPECT_TRUE(MarkedForCompile());
    EXPECT_EQ(Cel().GetActiveColumn(), 4); // past the trigger column
    // Ended otherwise than by Enter (a click elsewhere), the active cell stays.
    Cel().MoveActiveCell(4, 0);
    Key(Qt::Key_F2);
    ASSERT_TRUE(Cel().IsEditing());
    int next = 0, nextRow = 0;
    EXPECT_FALSE(Cel().AllowEditContinue(4, 0, next, nextRow));
    EXPECT_EQ(next, 4);
    EXPECT_EQ(nextRow, 0);
}

TEST_F(SeqList, TabWalksTheRowAndLevelsCycle) {
    ShowActive();
    Sequences({"A", "B"});
    Cel().MoveActiveCell(3, 0);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Cel().GetActiveColumn(), 4);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Cel().GetActiveColumn(), 0);
    EXPECT_EQ(Cel().GetActiveRow(), 1);
    Cel().MoveActiveCell(4, 2);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Cel().GetActiveRow(), 2);
    EXPECT_EQ(Cel().GetActiveColumn(), 4);

    Cel().MoveActiveCell(2, 1);
    doc.m_poSeqList[1]->m_wLevel = 6;
    Key(Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(doc.m_poSeqList[1]->m_wLevel, 1);
    Key(Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(doc.m_poSeqList[1]->m_wLevel, 2);
    EXPECT_EQ(Cell(2, 1), "     B");
    EXPECT_EQ(recorder.hints, (std::vector<long>{hints::kRepaint, hints::kRepaint}));
    // Display only: modified, not for compilation.
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.m_poSeqList[1]->m_nNeedsCompile, 0);
}

TEST_F(SeqList, FlagClicksFlagOnlyTheirSequence) {
    ShowActive();
    Sequences({"A", "B"});
    QRect rect;
    int column = 0, row = 1;
    ASSERT_EQ(Cel().GetCellRect(column, row, rect), 0);
    QTest::mouseClick(Cel().CellArea(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(doc.m_poSeqList[1]->m_nAutoStart, 1);
    EXPECT_EQ(Cell(0, 1), "*");
    EXPECT_EQ(doc.m_poSeqList[1]->m_nNeedsCompile, 1);
    EXPECT_EQ(doc.m_poSeqList[0]->m_nNeedsCompile, 0);
    EXPECT_EQ(doc.m_posCurrentSeq, doc.m_poSeqList[1].get());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(recorder.hints.empty());
    // A click in the name only moves the active cell.
    Unmark();
    column = 2;
    row = 0;
    ASSERT_EQ(Cel().GetCellRect(column, row, rect), 0);
    QTest::mouseClick(Cel().CellArea(), Qt::LeftButton, {}, rect.center());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(Cel().GetActiveRow(), 0);
}

TEST_F(SeqList, DeleteKeyErasesNameOrComment) {
    ShowActive();
    Sequences({"A"});
    doc.m_poSeqList[0]->m_strDescription = "note";
    view->FillGrid();
    Cel().MoveActiveCell(4, 0);
    Key(Qt::Key_Delete);
    EXPECT_EQ(doc.m_poSeqList[0]->m_strDescription, "");
    EXPECT_FALSE(MarkedForCompile());
    Cel().MoveActiveCell(2, 0);
    Key(Qt::Key_Delete);
    EXPECT_EQ(doc.m_poSeqList[0]->m_strName, "");
    EXPECT_EQ(Cell(2, 0), "");
    EXPECT_TRUE(MarkedForCompile());
}

TEST_F(SeqList, WidthsAreStoredUnmarkedAndSurviveAReopen) {
    Cel().ResizeColumn(2, 200);
    int width = 200;
    Cel().NotifyColumnSized(2, width);
    EXPECT_EQ(doc.m_awColWidths[0], 7000);
    EXPECT_FALSE(doc.IsModified());
    Close();
    Open();
    EXPECT_EQ(Cel().GetColumnWidth(2), 200);

    view->show();
    Cel().ResizeColumn(3, 500);
    view->AutoSizeColumns();
    EXPECT_EQ(Cel().GetColumnWidth(0), 12);
    EXPECT_GE(Cel().GetColumnWidth(2), 100);
    EXPECT_EQ(Cel().GetColumnWidth(3), 75); // empty trigger texts: the minimum
    EXPECT_GE(Cel().GetColumnWidth(4), 75);
    EXPECT_EQ(doc.m_awColWidths[3], 75 * 35);
}

TEST_F(SeqList, FindCopiesTheGridBackAndHintFourRebuilds) {
    Sequences({"A", "B"});
    Cel().WriteCellText(2, 1, "     Renamed");
    Cel().WriteCellText(4, 0, "found");
    Cel().NotifyFindDialogClosed();
    EXPECT_EQ(Names(), (std::vector<std::string>{"A", "Renamed"}));
    EXPECT_EQ(doc.m_poSeqList[0]->m_strDescription, "found");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(MarkedForCompile());

    doc.m_poSeqList[0]->m_strName = "Changed";
    doc.UpdateAllViews(nullptr, hints::kRepaint);
    EXPECT_EQ(Cell(2, 0), "A");
    doc.UpdateAllViews(nullptr, hints::kTimeDisplay);
    EXPECT_EQ(Cell(2, 0), "Changed");
}

TEST_F(SeqList, MenuTextsChecksAndInertEmptyRow) {
    Sequences({"A", "B"});
    CSeq& b = *doc.m_poSeqList[1];
    b.m_nRestart = 1;
    b.m_wRestartLockout = 30;
    b.m_nChaseOn = 1;
    b.m_anChaseStart = {0, 1, 2, 3};
    b.m_wLevel = 4;
    b.m_aTriggers[2].m_strIoName = "R&D";
    Cel().MoveActiveCell(2, 1);
    EXPECT_EQ(Update(vl_ids::kAutostart).text, "Autostart Disabled");
    EXPECT_EQ(Update(vl_ids::kLoop).text, "Loop Disabled");
    EXPECT_EQ(Update(vl_ids::kRestart).text, "Restart in 30 frames...");
    EXPECT_EQ(Update(vl_ids::kTimecodeStart).text, "Timecode Chase: 00:01:02.03");
    EXPECT_TRUE(Update(vl_ids::kStartTrigger + 2).text.contains("R&&D"));
    EXPECT_EQ(Update(vl_ids::kIndentLevel1 + 3).check, 1);
    EXPECT_EQ(Update(vl_ids::kIndentLevel1).check, 0);
    EXPECT_TRUE(Update(vl_ids::kSequenceEvents).enabled);
    Command(vl_ids::kLoop);
    EXPECT_EQ(b.m_nLooping, 1);
    EXPECT_EQ(recorder.hints, std::vector<long>{hints::kRepaint});
    Command(vl_ids::kAutostart);
    EXPECT_EQ(recorder.hints.size(), 1u); // the Edit menu's AutoStart sends none

    Unmark();
    Cel().MoveActiveCell(2, 2);
    EXPECT_EQ(Update(vl_ids::kAutostart).text, "untouched");
    EXPECT_EQ(Update(vl_ids::kIndentLevel1).check, -1);
    EXPECT_FALSE(Update(vl_ids::kSequenceEvents).enabled);
    for (unsigned id : {unsigned(vl_ids::kAutostart), unsigned(vl_ids::kLoop),
                        vl_ids::kIndentLevel1 + 2u, unsigned(vl_ids::kSequenceEvents),
                        unsigned(vl_ids::kRunNow), unsigned(vl_ids::kResetSequence)})
        Command(id);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(services.opened.empty());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SeqList, PopupIsBuiltForItsSequenceAndItsCommandsAct) {
    Sequences({"A", "B"});
    CSeq& b = *doc.m_poSeqList[1];
    b.m_wLevel = 3;
    b.m_nAutoStart = 1;
    const GVPMenuPtr menu = Cel().BuildPopupMenu(2, 1, 1);
    ASSERT_TRUE(menu);
    EXPECT_EQ(doc.m_posCurrentSeq, &b);
    std::vector<QString> texts;
    for (const GVPMenuItem& item : menu->items)
        texts.push_back(item.separator ? QStringLiteral("-") : item.text);
    const std::vector<QString> expected = {"Edit Sequence Events",
                                           "-",
                                           "Indented 2 Levels",
                                           "Autostart Enabled (Select to Toggle)",
                                           "Loop Disabled (Select to Toggle)",
                                           "Restart Disabled...",
                                           "Timecode  Disabled",
                                           "-",
                                           "Start: none",
                                           "Stop: none",
                                           "Pause: none",
                                           "Reset: none",
                                           "-",
                                           "Help"};
    ASSERT_EQ(texts.size(), expected.size());
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (expected[i].endsWith(": none"))
            EXPECT_TRUE(texts[i].startsWith(expected[i].left(5))) << texts[i].toStdString();
        else
            EXPECT_EQ(texts[i], expected[i]) << i;
    const GVPMenuPtr indent = menu->FirstSubmenu();
    ASSERT_TRUE(indent);
    ASSERT_EQ(indent->items.size(), 6u);
    EXPECT_EQ(indent->items[0].text, "Do Not Indent");
    EXPECT_EQ(indent->items[5].text, "Indent 5 Levels");
    EXPECT_EQ(indent->items[2].id, 105u);
    Cel().MoveActiveCell(2, 1);
    RecordedUi check;
    Cel().OnUpdatePopupCommand(105, check);
    EXPECT_EQ(check.check, 1);
    EXPECT_EQ(Cel().BuildPopupMenu(2, 2, 1), nullptr); // none on the empty row

    Unmark();
    Cel().HandleCommand(101);
    Cel().HandleCommand(119);
    EXPECT_FALSE(doc.IsModified());
    Cel().HandleCommand(103);
    EXPECT_EQ(b.m_wLevel, 1);
    Cel().HandleCommand(110);
    EXPECT_EQ(b.m_nLooping, 1);
    EXPECT_EQ(b.m_nNeedsCompile, 1);
    EXPECT_EQ(recorder.hints, (std::vector<long>{hints::kRepaint, hints::kRepaint}));
    Cel().HandleCommand(118);
    ASSERT_EQ(services.opened.size(), 1u);
    EXPECT_EQ(services.opened[0].first, &kEventEditorKind);
}

TEST_F(SeqList, RouteAOpensANewEditorEachTimeRouteBFollowsViewTimeLine) {
    Sequences({"A", "B"});
    int made = 0;
    services.opener = [&made](CVLDoc&, const ViewKind&, CSeq*) -> platform::View* {
        ++made;
        return nullptr;
    };
    Cel().MoveActiveCell(2, 1);
    Command(vl_ids::kSequenceEvents);
    Command(vl_ids::kSequenceEvents);
    EXPECT_EQ(made, 2);
    EXPECT_EQ(doc.m_posCurrentSeq, doc.m_poSeqList[1].get());
    doc.m_nViewTimeLine = 1;
    QTest::keyClick(Cel().CellArea(), Qt::Key_Return); // route A still opens the editor
    view->Cel()->NotifySideHeadingDoubleClick(-1, 0, QRect(), QPoint(), 0);
    doc.m_nViewTimeLine = 0;
    view->Cel()->NotifySideHeadingDoubleClick(-1, 0, QRect(), QPoint(), 0);
    std::vector<const ViewKind*> kinds;
    for (const auto& opened : services.opened)
        kinds.push_back(opened.first);
    EXPECT_EQ(kinds,
              (std::vector<const ViewKind*>{&kEventEditorKind, &kEventEditorKind, &kEventEditorKind,
                                            &kTimelineKind, &kEventEditorKind}));
    EXPECT_EQ(doc.m_posCurrentSeq, doc.m_poSeqList[0].get());
}

// ---- the clipboard ----

bool ClipboardHoldsSequences() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasFormat(QStringLiteral("VelmoraSeqs"));
}

void PutBlock(const std::vector<std::uint8_t>& block) {
    auto* data = new QMimeData;
    data->setData(QStringLiteral("VelmoraSeqs"),
                  QByteArray(reinterpret_cast<const char*>(block.data()), qsizetype(block.size())));
    QApplication::clipboard()->setMimeData(data);
}

TEST_F(SeqList, CopyThreeAndPasteThemAtTheEndOfAnotherScript) {
    Sequences({"A", "B", "C", "D"});
    doc.m_poSeqList[1]->m_wLevel = 2;
    doc.m_poSeqList[2]->m_nChaseOn = 1;
    Select(1, 3);
    EXPECT_FALSE(Update(vl_ids::kEditPaste).enabled);
    Command(vl_ids::kEditCopy);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(Update(vl_ids::kEditPaste).enabled);

    CVLDoc second{app.App()};
    second.InitNewScript(CVLDoc::kDefaultProduct);
    second.SetModifiedFlag(false);
    CSeqListView other(second, services);
    second.AddView(&other);
    other.OnInitialUpdate();
    other.Cel()->MoveActiveCell(2, 1); // the empty row
    other.Cel()->ClearBlockSelection();
    other.OnCommand(vl_ids::kEditPaste);
    ASSERT_EQ(second.m_poSeqList.size(), 4u);
    EXPECT_EQ(second.m_poSeqList[1]->m_strName, "B");
    EXPECT_EQ(second.m_poSeqList[1]->m_wLevel, 2);
    EXPECT_EQ(second.m_poSeqList[2]->m_nChaseOn, 0);
    EXPECT_EQ(second.m_poSeqList[3]->m_poEventList[0]->m_strData1, "D");
    EXPECT_EQ(other.Cel()->GetActiveColumn(), 2);
    EXPECT_EQ(other.Cel()->GetActiveRow(), 1);
    EXPECT_TRUE(second.IsModified());
    EXPECT_EQ(second.m_nCompiledOK, 0);
    EXPECT_TRUE(ui.boxes.empty());
    second.RemoveView(&other);
}

TEST_F(SeqList, CopyTakesTheFirstSelectedRunOrTheLastSequence) {
    Sequences({"A", "B", "C", "D", "E"});
    const auto copied = [] {
        const QByteArray bytes = QApplication::clipboard()->mimeData()->data("VelmoraSeqs");
        auto read = clipboard::ReadSequencesBlock(
            {reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())});
        std::vector<std::string> names;
        for (auto& seq : read.sequences)
            names.push_back(seq->m_strName);
        return names;
    };
    // Rows 2, 3 and 5 selected (1-based): 2 and 3 only.
    Cel().MoveActiveCell(2, 1);
    Cel().ClearBlockSelection();
    Cel().SelectBlock(2, 1, 2, 2);
    Cel().SelectBlock(2, 4, 2, 4);
    Command(vl_ids::kEditCopy);
    EXPECT_EQ(copied(), (std::vector<std::string>{"B", "C"}));
    Cel().MoveActiveCell(2, 5);
    Cel().ClearBlockSelection();
    Command(vl_ids::kEditCopy);
    EXPECT_EQ(copied(), std::vector<std::string>{"E"});
}

TEST_F(SeqList, PasteAsksOnceOverASelectionAndNoInsertsBeforeIt) {
    Sequences({"X"});
    Select(0, 0);
    Command(vl_ids::kEditCopy);
    Sequences({"A", "B", "C"});
    Select(1, 1);
    Command(vl_ids::kEditPaste); // one row: before it, no question
    EXPECT_EQ(Names(), (std::vector<std::string>{"A", "X", "B", "C"}));
    EXPECT_TRUE(ui.boxes.empty());
    Unmark();
    Select(2, 3);
    ui.QueueAnswer(MsgResult::No);
    Command(vl_ids::kEditPaste);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Are you sure you want to replace the current selection?");
    EXPECT_EQ(ui.boxes[0].caption, "Paste from Clipboard");
    EXPECT_EQ(Names(), (std::vector<std::string>{"A", "X", "X", "B", "C"}));
    Unmark();
    Select(3, 5); // B, C and the empty row: the empty row drops out
    ui.QueueAnswer(MsgResult::Yes);
    Command(vl_ids::kEditPaste);
    EXPECT_EQ(Names(), (std::vector<std::string>{"A", "X", "X", "X"}));
    EXPECT_EQ(Cel().GetActiveRow(), 3);
}

TEST_F(SeqList, PasteRefusalsChangeNothing) {
    std::vector<std::string> names(250, "S");
    Sequences(names);
    std::vector<std::unique_ptr<CSeq>> owned;
    std::vector<const CSeq*> six;
    for (int i = 0; i < 6; ++i) {
        owned.push_back(std::make_unique<CSeq>("P", 1));
        six.push_back(owned.back().get());
    }
    struct Case {
        std::vector<std::uint8_t> block;
        std::string text, caption;
        int lastRow; // 1: over two rows, which a Yes would replace
    } cases[] = {
        {clipboard::WriteSequencesBlock(six), "Pasting 6 sequences would exceed 255 sequences",
         "Paste from Clipboard", 0},
        {{1, 0},
         "Cannot paste events by themselves into full sequences",
         "Paste from Clipboard",
         1},
        {{2, 0}, "Unknown data.  Cannot Paste into sequences", "Paste from Clibpard", 1},
        {{0, 3, 1}, "Error obtaining data from Clipboard", "Paste from Clipboard", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        PutBlock(c.block);
        // A block that fails its check asks nothing and removes nothing.
        Select(0, c.lastRow);
        ui.QueueAnswer(MsgResult::Yes);
        Command(vl_ids::kEditPaste);
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes.back().text, c.text);
        EXPECT_EQ(ui.boxes.back().caption, c.caption);
        EXPECT_EQ(doc.m_poSeqList.size(), 250u);
        EXPECT_EQ(Cel().GetRowCount(), 251);
        EXPECT_FALSE(doc.IsModified());
        ui.Clear();
    }
    owned.pop_back();
    six.pop_back();
    PutBlock(clipboard::WriteSequencesBlock(six));
    Select(250, 250);
    Command(vl_ids::kEditPaste);
    EXPECT_EQ(doc.m_poSeqList.size(), 255u);
    // The limit counts what a replacing paste leaves: 255 - 2 + 2 fits.
    six.resize(2);
    PutBlock(clipboard::WriteSequencesBlock(six));
    Select(0, 1);
    ui.QueueAnswer(MsgResult::Yes);
    Command(vl_ids::kEditPaste);
    EXPECT_EQ(doc.m_poSeqList.size(), 255u);
    EXPECT_EQ(doc.m_poSeqList[0]->m_strName, "P");
}

TEST_F(SeqList, CutRemovesAndClosesAndARefusedCopyOrCutTakesNothing) {
    Sequences({"A", "B", "C"});
    SequenceView editor(doc, services, "CEvntView", doc.m_poSeqList[1].get());
    doc.AddView(&editor);
    Select(1, 1);
    Command(vl_ids::kEditCut);
    EXPECT_EQ(Names(), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(editor.closes, 1);
    EXPECT_TRUE(MarkedForCompile());
    EXPECT_TRUE(ui.boxes.empty());
    doc.RemoveView(&editor);

    // A text the block would cut: No copies nothing and cuts nothing.
    Unmark();
    QApplication::clipboard()->clear();
    doc.m_poSeqList[0]->m_strDescription = std::string(300, 'd');
    Select(0, 0);
    ui.QueueAnswer(MsgResult::No);
    Command(vl_ids::kEditCut);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, clipboard::kCutTextsQuestion);
    EXPECT_EQ(ui.boxes[0].caption, "Cut to Clipboard");
    EXPECT_EQ(ui.boxes[0].buttons, platform::MsgButtons::YesNo);
    EXPECT_EQ(Names().size(), 2u);
    EXPECT_FALSE(ClipboardHoldsSequences());
    ui.QueueAnswer(MsgResult::Yes);
    Command(vl_ids::kEditCopy);
    EXPECT_EQ(ui.boxes.back().caption, "Copy to Clipboard");
    EXPECT_TRUE(ClipboardHoldsSequences());

    // More than a block counts.
    Sequences(std::vector<std::string>(257, "S"));
    Select(0, 255);
    Command(vl_ids::kEditCut);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Cutting 256 sequences would exceed 255 sequences");
    EXPECT_EQ(doc.m_poSeqList.size(), 257u);
    Command(vl_ids::kEditCopy);
    EXPECT_EQ(ui.boxes.back().text, "Copying 256 sequences would exceed 255 sequences");
}

} // namespace
