#include "script/dialog_requests.h"
#include "script/event.h"
#include "script/product.h"
#include "script/text_resources.h"
#include "tests/views/resources/resource_test_support.h"
#include "views/common/update_hints.h"
#include "views/resources/xref_view.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using namespace resources_test;

// What the build told its progress, and a Cancel pressed before sequence `cancelAt`.
struct RecordedProgress : XRefProgress {
    bool CheckCancel() override { return checks++ == cancelAt; }
    void SetProgress(int percent) override { percents.push_back(percent); }
    void SetStage(const std::string& text) override { stages.push_back(text); }
    void SetEntry(const std::string& text) override { entries.push_back(text); }
    int cancelAt = -1;
    int checks = 0;
    std::vector<int> percents;
    std::vector<std::string> stages, entries;
};

// Stands in for the event editor: a grid of a sequence's events under "CEvntView".
class EventEditorStandIn : public CVLView {
public:
    EventEditorStandIn(CVLDoc& doc, ViewServices& services, CSeq& sequence)
        : CVLView(doc, services), sequence_(sequence) {
        CreateGrid(new VLCELCtrl);
    }
    const char* ViewClassName() const override { return "CEvntView"; }
    std::string ViewSubject() const override { return sequence_.m_strName; }
    const CSeq* ShownSequence() const override { return &sequence_; }
    void OnInitialUpdate() override {
        Grid()->SetColumnCount(9);
        Grid()->SetRowCount(int(sequence_.m_poEventList.size()) + 1);
    }
    int hints = 0;
    void OnUpdate(platform::View*, long, void*) override { ++hints; }

private:
    CSeq& sequence_;
};

struct XRefTest : ::testing::Test, ScriptFixture {
    XRefTest() {
        doc.m_poSeqList.clear();
        CProduct& product = *doc.m_pProduct;
        product.m_Inputs[2].m_strName = "Door";
        product.m_Vars[3].m_strName = "Count";
        product.m_Outputs[0].m_strName = "Lamp";
        doc.m_poDataStrList.push_back(std::make_unique<CDataStr>("Hello", "\"hi\"", ""));
        doc.m_poLcdStrList.push_back(std::make_unique<CLcdStr>("Welcome", "\"w\"", ""));

        auto intro = std::make_unique<CSeq>("Intro", 1);
        intro->m_aTriggers[0].m_strIoName = "Door";
        intro->m_aTriggers[0].m_nGoesOn = 0;
        intro->m_aTriggers[1].m_strVariable = "Count";
        intro->m_aTriggers[1].m_strValue = "5";
        intro->m_poEventList.push_back(Event("", "Send", "\"text\"", "Hello", "", "", "greet"));
        intro->m_poEventList.push_back(Event("*", "Set", "Lamp", "12", "", "", ""));
        doc.m_poSeqList.push_back(std::move(intro));
        auto finale = std::make_unique<CSeq>("Finale", 1);
        finale->m_aTriggers[2].m_strIoName = "Nowhere";
        finale->m_poEventList.push_back(Event("", "Lcd", "Welcome", "Intro", "", "", ""));
        doc.m_poSeqList.push_back(std::move(finale));

        services.opener = [this](CVLDoc& script, const ViewKind& kind, CSeq* subject) {
            EXPECT_EQ(&kind, &kEventEditorKind);
            auto editor = std::make_unique<EventEditorStandIn>(script, services, *subject);
            script.AddView(editor.get());
            editor->OnInitialUpdate();
            editors.push_back(std::move(editor));
            return static_cast<platform::View*>(editors.back().get());
        };
    }
    ~XRefTest() override {
        for (auto& editor : editors)
            doc.RemoveView(editor.get());
    }
    static std::unique_ptr<CEvnt> Event(const char* skip, const char* name, const char* d1,
                                        const char* d2, const char* d3, const char* d4,
                                        const char* comment) {
        auto event = std::make_unique<CEvnt>();
        event->m_strSkip = skip;
        event->m_strEvent = name;
        event->m_strData1 = d1;
        event->m_strData2 = d2;
        event->m_strData3 = d3;
        event->m_strData4 = d4;
        event->m_strComment = comment;
        return event;
    }
    // Rows as "type|#|name|seq#|seq name|place|event type|comment".
    static std::vector<std::string> Rows(CXRefView& view) {
        std::vector<std::string> rows;
        for (int r = 0; r < view.Cel().GetRowCount(); ++r) {
            std::string row;
            for (int c = 0; c < 8; ++c)
                row += (c ? "|" : "") + Cell(view.Cel(), c, r);
            rows.push_back(row);
        }
        return rows;
    }
    static COLORREF RowColour(CXRefView& view, int row) {
        CELCell cell;
        view.Cel().FetchCell(5, row, cell);
        return cell.GetBackground();
    }

    std::vector<std::unique_ptr<EventEditorStandIn>> editors;
};

// Every trigger field and event operand that names a resource, sorted by type; within a type
// in the order found.
TEST_F(XRefTest, RowsOrderAndColours) {
    CXRefView view(doc, services);
    doc.AddView(&view);
    RecordedProgress progress;
    view.BuildCrossReference(&progress);
    const std::vector<std::string> expected = {
        "|  0|Nowhere|  2|Finale|Pause Trigger Goes On||",
        "Data|  1|Hello|  1|Intro|     1|Send|greet",
        "Input|  3|Door|  1|Intro|Start Trigger Goes Off||",
        "LCD|  1|Welcome|  2|Finale|     1|Lcd|",
        "Output|  1|Lamp|  1|Intro|     2 (Commented Out)|Set|",
        "Seq|  1|Intro|  2|Finale|     1|Lcd|",
        "Var|  4|Count|  1|Intro|Stop Trigger||",
        "Var(Num Match)|  0|5|  1|Intro|Stop Trigger||",
    };
    EXPECT_EQ(Rows(view), expected);
    EXPECT_EQ(Cell(view.Cel(), -1, 0), "00001");
    EXPECT_EQ(Cell(view.Cel(), -1, 7), "00008");
    EXPECT_EQ(RowColour(view, 1), 0xE6E6E6u);
    EXPECT_EQ(RowColour(view, 2), 0xB6FF9Du);
    EXPECT_EQ(RowColour(view, 7), 0xFFFFC8u);
    EXPECT_EQ(progress.stages,
              (std::vector<std::string>{"Searching Sequences for Resources ...",
                                        "Sorting Resources (this may take a moment)..."}));
    EXPECT_EQ(progress.percents, (std::vector<int>{0, 47}));
    EXPECT_EQ(progress.entries.front(), "Found Resource 1 in Sequence 1");
    EXPECT_EQ(progress.entries.back(), " ");
    EXPECT_EQ(view.FrameCaption(),
              "Cross Reference of Show - Double Left or Right Click Column Header to Sort Up or "
              "Down");
    doc.RemoveView(&view);
}

TEST_F(XRefTest, NothingNamedGivesOneEmptyRow) {
    for (auto& sequence : doc.m_poSeqList) {
        sequence->m_aTriggers = {};
        sequence->m_poEventList.clear();
        sequence->m_poEventList.push_back(Event("", "Nop", "\"quoted\"", "12", "h0d", "", ""));
    }
    CXRefView view(doc, services);
    doc.AddView(&view);
    RecordedProgress progress;
    view.BuildCrossReference(&progress);
    EXPECT_EQ(view.Cel().GetRowCount(), 1);
    EXPECT_EQ(Rows(view), std::vector<std::string>{"|||||||"});
    EXPECT_EQ(RowColour(view, 0), 0xFFFFFFu);
    doc.RemoveView(&view);
}

// Cancel before the second sequence keeps the first one's rows in the order found.
TEST_F(XRefTest, CancelKeepsWhatWasFoundUnsorted) {
    CXRefView view(doc, services);
    doc.AddView(&view);
    RecordedProgress progress;
    progress.cancelAt = 1;
    view.BuildCrossReference(&progress);
    const std::vector<std::string> expected = {
        "Input|  3|Door|  1|Intro|Start Trigger Goes Off||",
        "Var|  4|Count|  1|Intro|Stop Trigger||",
        "Var(Num Match)|  0|5|  1|Intro|Stop Trigger||",
        "Data|  1|Hello|  1|Intro|     1|Send|greet",
        "Output|  1|Lamp|  1|Intro|     2 (Commented Out)|Set|",
    };
    EXPECT_EQ(Rows(view), expected);
    EXPECT_EQ(progress.stages.size(), 1u);
    doc.RemoveView(&view);
}

TEST_F(XRefTest, HeadingsSortUpAndDown) {
    CXRefView view(doc, services);
    doc.AddView(&view);
    RecordedProgress progress;
    view.BuildCrossReference(&progress);
    view.Cel().NotifyTopHeadingLeftClick(2, -1, 1, {}, {}, 0); // the press does nothing
    EXPECT_EQ(Cell(view.Cel(), 2, 0), "Nowhere");
    view.Cel().NotifyTopHeadingLeftClick(2, -1, 0, {}, {}, 0);
    EXPECT_EQ(Cell(view.Cel(), 2, 0), "5");
    EXPECT_EQ(Cell(view.Cel(), 2, 7), "Welcome");
    view.Cel().NotifyTopHeadingRightClick(2, -1, 0, {}, {}, 0);
    EXPECT_EQ(Cell(view.Cel(), 2, 0), "Welcome");
    doc.RemoveView(&view);
}

// Find searches the rows as sorted; a build after the script shrank shows only its rows.
TEST_F(XRefTest, FindAndRebuildSeeTheRowsAsTheyStand) {
    CXRefView view(doc, services);
    doc.AddView(&view);
    RecordedProgress progress;
    view.BuildCrossReference(&progress);
    CELDataSource& rows = *view.Cel().GetDataSource();
    int column = 0, row = 0;
    ASSERT_EQ(rows.FindFirst("lamp", column, row, 2 | 8), 0); // whole text, any case
    EXPECT_EQ(column, 2);
    EXPECT_EQ(row, 4);
    ASSERT_EQ(rows.FindFirst("Commented", column, row, 1 | 8), 0); // anywhere in the text
    EXPECT_EQ(column, 5);
    EXPECT_EQ(row, 4);
    ASSERT_EQ(rows.FindFirst("nowhere", column, row, 8), 0);
    EXPECT_EQ(row, 0);

    doc.m_poSeqList.pop_back();
    view.BuildCrossReference(&progress);
    const std::vector<std::string> expected = {
        "Data|  1|Hello|  1|Intro|     1|Send|greet",
        "Input|  3|Door|  1|Intro|Start Trigger Goes Off||",
        "Output|  1|Lamp|  1|Intro|     2 (Commented Out)|Set|",
        "Var|  4|Count|  1|Intro|Stop Trigger||",
        "Var(Num Match)|  0|5|  1|Intro|Stop Trigger||",
    };
    EXPECT_EQ(Rows(view), expected);
    EXPECT_EQ(Cell(view.Cel(), -1, 4), "00005");
    doc.RemoveView(&view);
}

// A double click leads to the event's Data1 cell in its editor, or to the trigger's dialog;
// a row whose sequence is gone does nothing.
TEST_F(XRefTest, DoubleClicksReachTheEventOrTheTrigger) {
    CXRefView view(doc, services);
    doc.AddView(&view);
    RecordedProgress progress;
    view.BuildCrossReference(&progress);
    view.Cel().NotifyCellDoubleClick(0, 4, {}, {}, 0); // Lamp, Intro event 2
    ASSERT_EQ(services.opened.size(), 1u);
    EXPECT_EQ(services.opened[0].second, doc.m_poSeqList[0].get());
    ASSERT_EQ(editors.size(), 1u);
    EXPECT_EQ(editors[0]->Grid()->GetActiveColumn(), 4);
    EXPECT_EQ(editors[0]->Grid()->GetActiveRow(), 1);
    // The editor already open is brought forward, not opened again.
    view.Cel().NotifySideHeadingDoubleClick(-1, 1, {}, {}, 0); // Hello, Intro event 1
    EXPECT_EQ(services.opened.size(), 1u);
    EXPECT_EQ(editors[0]->Grid()->GetActiveRow(), 0);

    ui.QueueDialog([&](platform::DialogRequest& request) {
        auto& trigger = dynamic_cast<CSeqTriggerDlg&>(request);
        EXPECT_EQ(trigger.sequence, doc.m_poSeqList[0].get());
        EXPECT_EQ(trigger.triggerIndex, 1);
        return true;
    });
    const int hintsBefore = editors[0]->hints;
    view.Cel().NotifyCellDoubleClick(2, 7, {}, {}, 0); // 5, Stop Trigger of Intro
    EXPECT_EQ(ui.dialogNames, std::vector<std::string>{"CSeqTriggerDlg"});
    EXPECT_EQ(editors[0]->hints, hintsBefore + 1);
    ui.QueueDialog([&](platform::DialogRequest& request) {
        EXPECT_EQ(dynamic_cast<CSeqTriggerDlg&>(request).triggerIndex, 0);
        return false;
    });
    view.Cel().NotifyCellDoubleClick(2, 2, {}, {}, 0); // Door, Start Trigger Goes Off
    EXPECT_EQ(ui.dialogNames.size(), 2u);

    doc.m_poSeqList.pop_back();
    view.Cel().NotifyCellDoubleClick(2, 0, {}, {}, 0); // Nowhere, Finale: gone
    view.Cel().NotifyCellDoubleClick(2, 3, {}, {}, 0); // Welcome, Finale event 1: gone
    EXPECT_EQ(ui.dialogNames.size(), 2u);
    EXPECT_EQ(services.opened.size(), 1u);
    doc.RemoveView(&view);
}

// The view builds itself when it opens, fits its columns to their minimums and stores them.
TEST_F(XRefTest, OpeningBuildsAndFits) {
    CXRefView view(doc, services);
    doc.AddView(&view);
    view.OnInitialUpdate();
    EXPECT_EQ(view.EntryCount(), 8);
    const int minimum[8] = {50, 25, 50, 100, 75, 50, 75, 75};
    for (int c = 0; c < 8; ++c) {
        EXPECT_GE(view.Cel().GetColumnWidth(c), minimum[c]) << c;
        EXPECT_EQ(doc.m_awColWidths[CVLDoc::kColXRef.first + std::size_t(c)],
                  view.Cel().GetColumnWidth(c) * 35);
    }
    EXPECT_EQ(view.Cel().GetColumnWidth(1), 25);
    std::string tip;
    view.Cel().GetCellTipText(3, 0, 1, tip);
    EXPECT_EQ(tip, "Number of Sequence in which Resource Appears");
    doc.RemoveView(&view);
}

} // namespace
