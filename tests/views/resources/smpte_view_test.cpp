#include "tests/app/gui/gui_test_support.h"
#include "tests/views/resources/resource_test_support.h"
#include "views/common/search_list_box.h"
#include "views/resources/smpte_view.h"

#include <QCheckBox>
#include <QLabel>
#include <gtest/gtest.h>
#include <vector>

namespace {

using namespace resources_test;
using guitest::Click;
using guitest::Control;
using guitest::WhenModal;

struct SmpteViewTest : ::testing::Test, ScriptFixture {
    SmpteViewTest() {
        doc.m_poSeqList.clear();
        for (const char* name : {"One", "Two", "Three", "Four", "Five"})
            doc.m_poSeqList.push_back(std::make_unique<CSeq>(name, 1));
        Trigger(2, {10, 0, 0, 0});
        Trigger(4, {9, 30, 0, 0});
    }
    void Trigger(int index, std::array<std::int32_t, 4> time) {
        CSeq& sequence = *doc.m_poSeqList[std::size_t(index)];
        sequence.m_nSmpteStartOn = 1;
        sequence.m_anSmpteStart = time;
    }
    static std::vector<std::string> Rows(CsmpteView& view) {
        std::vector<std::string> rows;
        for (int r = 0; r < view.Cel().GetRowCount(); ++r)
            rows.push_back(Cell(view.Cel(), -1, r) + "|" + Cell(view.Cel(), 0, r) + "|" +
                           Cell(view.Cel(), 1, r) + "|" + Cell(view.Cel(), 2, r));
        return rows;
    }
};

// Rows in time order, a title that says how to sort, and the headings sorting both ways.
TEST_F(SmpteViewTest, TriggersInTimeOrder) {
    Shown<CsmpteView> table(doc, services);
    EXPECT_EQ(Rows(table.view), (std::vector<std::string>{"00001|09:30:00.00|  5|Five",
                                                          "00002|10:00:00.00|  3|Three"}));
    EXPECT_EQ(table.view.FrameCaption(), "Timecode Triggers of Show - Double Left or Right Click "
                                         "Column Header to Sort Up or Down");
    EXPECT_EQ(DefaultBackground(table.view.Cel()), 0xFFFFFFu);
    for (int c = 0; c < 3; ++c)
        EXPECT_GE(table.view.Cel().GetColumnWidth(c), 100);
    table.view.Cel().NotifyTopHeadingRightClick(0, -1, 0, {}, {}, 0);
    EXPECT_EQ(Cell(table.view.Cel(), 2, 0), "Three");
    table.view.Cel().NotifyTopHeadingLeftClick(2, -1, 0, {}, {}, 0);
    EXPECT_EQ(Cell(table.view.Cel(), 2, 0), "Five");
    std::string tip;
    EXPECT_EQ(table.view.Cel().GetCellTipText(0, 0, 1, tip), 1);
    EXPECT_FALSE(tip.empty());
}

TEST_F(SmpteViewTest, NoTriggersLeaveOneEmptyRowThatDoesNothing) {
    for (auto& sequence : doc.m_poSeqList)
        sequence->m_nSmpteStartOn = 0;
    Shown<CsmpteView> table(doc, services);
    EXPECT_EQ(Rows(table.view), std::vector<std::string>{"|||"});
    table.view.Cel().NotifyCellDoubleClick(0, 0, {}, {}, 0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// A double click opens the sequence's timecode dialog; switching the trigger off there takes
// its row away; a row whose sequence is gone does nothing.
TEST_F(SmpteViewTest, DoubleClickEditsAndRefreshes) {
    Shown<CsmpteView> table(doc, services);
    std::string title;
    WhenModal([&](QDialog& d) {
        title = d.windowTitle().toStdString();
        Control<QCheckBox>(d, 182)->setChecked(false);
        Click(d, 1);
    });
    ClearMarks(doc);
    table.view.Cel().NotifyCellDoubleClick(2, 0, {}, {}, 0);
    EXPECT_EQ(title, "Timecode Trigger of Five");
    EXPECT_EQ(doc.m_poSeqList[4]->m_nSmpteStartOn, 0);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.m_poSeqList[4]->m_nNeedsCompile, 1);
    EXPECT_EQ(Rows(table.view), std::vector<std::string>{"00001|10:00:00.00|  3|Three"});

    doc.m_poSeqList.resize(2);
    table.view.Cel().NotifySideHeadingDoubleClick(-1, 0, {}, {}, 0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// "Add SMPTE Trigger" lists the sequences, shows the chosen one's description, and leads to its
// timecode dialog; Ok with nothing chosen opens nothing more.
TEST_F(SmpteViewTest, AddTriggerPicksASequence) {
    doc.m_poSeqList[1]->m_strDescription = "second\nof five";
    {
        DCAddSmpteTrigger dialog(doc);
        EXPECT_EQ(dialog.List()->count(), 5);
        EXPECT_EQ(dialog.List()->item(0)->text(), "Five"); // sorted
        EXPECT_EQ(dialog.Answer(), -1);
        EXPECT_EQ(dialog.Comment()->text(), "");
        dialog.List()->OnChar(u'T');
        dialog.List()->OnChar(u'w');
        EXPECT_EQ(dialog.List()->currentItem()->text(), "Two");
        EXPECT_EQ(dialog.Answer(), 2);
        EXPECT_EQ(dialog.Comment()->text(), "second\nof five");
        EXPECT_EQ(dialog.height(), 262 + 16);
    }
    Shown<CsmpteView> table(doc, services);
    std::vector<std::string> titles;
    WhenModal([&](QDialog& d) {
        titles.push_back(d.windowTitle().toStdString());
        auto* list = Control<CSearchListBox>(d, 413);
        list->setCurrentRow(list->count() - 1); // "Two"
        WhenModal([&](QDialog& start) {
            titles.push_back(start.windowTitle().toStdString());
            Control<QCheckBox>(start, 182)->setChecked(true);
            Click(start, 1);
        });
        Click(d, 1);
    });
    table.view.Cel().HandleCommand(200);
    EXPECT_EQ(titles, (std::vector<std::string>{"Add SMPTE Trigger", "Timecode Trigger of Two"}));
    EXPECT_EQ(table.view.Cel().GetRowCount(), 3);

    WhenModal([](QDialog& d) { Click(d, 1); });
    table.view.Cel().HandleCommand(200);
    EXPECT_EQ(table.view.Cel().GetRowCount(), 3);
}

} // namespace
