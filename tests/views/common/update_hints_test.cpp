// The typed hints of one sequence: they reach the views of their sequence and those of the
// whole script, and leave the views of every other sequence untouched.
#include "script/vl_doc.h"
#include "tests/support/app_fixture.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/view_services_fixture.h"
#include "views/common/update_hints.h"
#include "views/common/vl_view.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

// A view of one sequence (null: of the whole script) that records the hints it takes.
class RecordingView : public CVLView {
public:
    RecordingView(const CSeq* shown, CVLDoc& doc, ViewServices& services)
        : CVLView(doc, services), shown_(shown) {}
    const CSeq* ShownSequence() const override { return shown_; }
    void OnUpdate(platform::View*, long hint, void* object) override {
        if (!HintConcernsView(hint, object))
            return;
        taken.push_back(hint);
        if (const auto* changed = hints::As<hints::EventListChanged>(hint, object))
            rebuiltFor.push_back(changed->sequence);
        if (const auto* skip = hints::As<hints::SkipToggled>(hint, object))
            events.push_back(skip->event);
        if (const auto* grid = hints::As<hints::GridEventsChanged>(hint, object))
            events.push_back(grid->event);
    }
    std::vector<long> taken;
    std::vector<const CSeq*> rebuiltFor;
    std::vector<int> events;

private:
    const CSeq* shown_;
};

struct SequenceHints : ::testing::Test, testsupport::QtAppFirst {
    SequenceHints() {
        doc.InitNewScript(CVLDoc::kDefaultProduct);
        doc.m_poSeqList.clear();
        for (const char* name : {"A", "B"})
            doc.m_poSeqList.push_back(std::make_unique<CSeq>(name, 1));
        a = doc.m_poSeqList[0].get();
        b = doc.m_poSeqList[1].get();
        editorA = std::make_unique<RecordingView>(a, doc, services);
        timelineA = std::make_unique<RecordingView>(a, doc, services);
        editorB = std::make_unique<RecordingView>(b, doc, services);
        table = std::make_unique<RecordingView>(nullptr, doc, services);
        for (RecordingView* view : Views())
            doc.AddView(view);
    }
    ~SequenceHints() override {
        for (RecordingView* view : Views())
            doc.RemoveView(view);
    }
    std::vector<RecordingView*> Views() const {
        return {editorA.get(), timelineA.get(), editorB.get(), table.get()};
    }

    testing_support::AppFixture app;
    testing_support::TestViewServices services;
    CVLDoc doc{app.App()};
    CSeq* a = nullptr;
    CSeq* b = nullptr;
    std::unique_ptr<RecordingView> editorA, timelineA, editorB, table;
};

TEST_F(SequenceHints, AHintOfOneSequenceLeavesTheViewsOfAnotherUntouched) {
    struct Case {
        const char* name;
        std::function<void(platform::Document&, const CSeq&)> send;
        long hint;
    } cases[] = {
        {"skip toggled", [](auto& d, auto& s) { hints::SendSkipToggled(d, s, 3); },
         hints::kSkipToggled},
        // The list of boxes is only carried here, never read.
        {"timeline selection",
         [](auto& d, auto& s) {
             hints::SendTimelineSelection(d, s, *reinterpret_cast<const CEventBoxList*>(&s));
         },
         hints::kTimelineSelection},
        {"times moved", [](auto& d, auto& s) { hints::SendTimesMoved(d, s); }, hints::kTimesMoved},
        {"grid events changed", [](auto& d, auto& s) { hints::SendGridEventsChanged(d, s, 2); },
         hints::kGridEventsChanged},
        {"timeline events changed",
         [](auto& d, auto& s) { hints::SendTimelineEventsChanged(d, s); },
         hints::kTimelineEventsChanged},
        {"event list changed", [](auto& d, auto& s) { hints::SendEventListChanged(d, s); },
         hints::kEventListChanged},
    };
    for (const Case& c : cases) {
        for (RecordingView* view : Views())
            view->taken.clear();
        c.send(doc, *a);
        EXPECT_EQ(editorA->taken, std::vector<long>{c.hint}) << c.name;
        EXPECT_EQ(timelineA->taken, std::vector<long>{c.hint}) << c.name;
        EXPECT_EQ(table->taken, std::vector<long>{c.hint}) << c.name; // it only repaints
        EXPECT_TRUE(editorB->taken.empty()) << c.name;
    }
    // What the hint says of its sequence arrives with it.
    EXPECT_EQ(editorA->events, (std::vector<int>{3, 2}));
    EXPECT_TRUE(editorB->events.empty());

    // The hints of the whole script reach every view.
    for (RecordingView* view : Views())
        view->taken.clear();
    hints::SendRepaint(doc);
    hints::SendTimeDisplay(doc);
    for (RecordingView* view : Views())
        EXPECT_EQ(view->taken, (std::vector<long>{hints::kRepaint, hints::kTimeDisplay}));
}

TEST_F(SequenceHints, TheEventListHintReachesEveryViewOfItsSequence) {
    hints::SendEventListChanged(doc, *b);
    EXPECT_EQ(editorB->rebuiltFor, std::vector<const CSeq*>{b});
    EXPECT_TRUE(editorA->rebuiltFor.empty());
    EXPECT_TRUE(timelineA->rebuiltFor.empty());
    hints::SendEventListChanged(doc, *a);
    EXPECT_EQ(editorA->rebuiltFor, std::vector<const CSeq*>{a});
    EXPECT_EQ(timelineA->rebuiltFor, std::vector<const CSeq*>{a});
    EXPECT_EQ(editorB->rebuiltFor, std::vector<const CSeq*>{b});
    // Its number follows the others'.
    EXPECT_GT(hints::kEventListChanged, hints::kTimelineEventsChanged);
    EXPECT_EQ(hints::SequenceOf(hints::kRepaint, nullptr), nullptr);
}

} // namespace
