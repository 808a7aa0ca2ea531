#include "platform/qt/mdi_template.h"
#include "platform/qt/placement.h"
#include "tests/support/qt_test_app.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace pq = platform::qt;

namespace {

struct TestView : QLabel, pq::MdiView {
    TestView() { setFocusPolicy(Qt::StrongFocus); }
    const char* ViewClassName() const override { return "CTestView"; }
    void OnInitialUpdate() override { ++initialUpdates; }
    void OnUpdate(platform::View*, long hint, void*) override { hints.push_back(hint); }
    int initialUpdates = 0;
    std::vector<long> hints;
};

struct TestDoc : platform::Document {
    bool OnNewDocument() override { return newOk; }
    bool OnOpenDocument(const std::string& path) override {
        if (path == "bad")
            return false;
        SetPathName(path);
        return true;
    }
    bool newOk = true;
};

struct Fixture : ::testing::Test, testsupport::QtAppFirst {
    Fixture() {
        area.resize(800, 600);
        area.show();
    }
    pq::MdiDocTemplate MakeTemplate(int id, bool menu = true) {
        return pq::MdiDocTemplate(area, views, pq::TemplateResources{id, menu, false, {}},
                                  "CTestView",
                                  [](platform::Document&) { return new pq::MdiChildFrame; });
    }
    void RegisterView() {
        views.RegisterView("CTestView", [this](platform::Document&, QWidget*) {
            auto* view = new TestView;
            made.push_back(view);
            return pq::CreatedView{view, view};
        });
    }
    QMdiArea area;
    pq::ViewRegistry views;
    std::vector<TestView*> made;
};

TEST(PlacementClamp, TableOfCases) {
    const QRect usable(0, 0, 800, 600);
    const QRect defaults(24, 24, 550, 400);
    struct Case {
        pq::PlacementRecord stored;
        QRect expected;
    } cases[] = {
        {{}, QRect(24, 24, 550, 400)},                     // none stored
        {{-1, 10, 100, 100}, QRect(24, 24, 550, 400)},     // any -1 means none
        {{100, 50, 300, 200}, QRect(100, 50, 300, 200)},   // inside
        {{600, 500, 400, 300}, QRect(600, 500, 200, 100)}, // half outside: cut
        {{-200, -100, 300, 300}, QRect(0, 0, 100, 200)},   // above-left: cut
        {{2000, 1500, 640, 480}, QRect(24, 24, 640, 480)}, // far outside: moved, size kept
        {{800, 0, 100, 100}, QRect(24, 24, 100, 100)},     // touching the edge only
    };
    for (const Case& c : cases)
        EXPECT_EQ(pq::ClampPlacement(c.stored, defaults, usable), c.expected)
            << c.stored.x << "," << c.stored.y;
}

TEST(PlacementFirstShow, MinimisedWinsThenMaximised) {
    pq::PlacementRecord normal, max, min;
    max.maximised = true;
    min.minimised = true;
    min.maximised = true;
    EXPECT_EQ(pq::ChooseFirstShow(normal, false), pq::FirstShow::Normal);
    EXPECT_EQ(pq::ChooseFirstShow(normal, true), pq::FirstShow::Maximised);
    EXPECT_EQ(pq::ChooseFirstShow(max, false), pq::FirstShow::Maximised);
    EXPECT_EQ(pq::ChooseFirstShow(min, true), pq::FirstShow::Minimised);
}

TEST_F(Fixture, FrameTracksItsNormalRectangleThroughMaximiseAndMinimise) {
    auto* frame = new pq::PlacementFrame(QSize(550, 400));
    frame->setWidget(new QLabel("x"));
    area.addSubWindow(frame);
    std::vector<pq::PlacementRecord> saved;
    frame->savePlacement = [&](const pq::PlacementRecord& r) { saved.push_back(r); };

    pq::PlacementRecord stored{100, 80, 300, 200};
    frame->ActivateFirst(stored, false);
    EXPECT_EQ(frame->geometry(), QRect(100, 80, 300, 200));
    EXPECT_TRUE(saved.empty()) << "the first placement is not a user's move";
    EXPECT_FALSE(frame->FirstActivationPending());

    frame->move(120, 90);
    ASSERT_FALSE(saved.empty());
    EXPECT_EQ(saved.back(), (pq::PlacementRecord{120, 90, 300, 200, false, false}));

    frame->showMaximized();
    EXPECT_EQ(saved.back(), (pq::PlacementRecord{120, 90, 300, 200, true, false}));
    frame->showMinimized();
    EXPECT_EQ(saved.back(), (pq::PlacementRecord{120, 90, 300, 200, true, true}));
    frame->showNormal();
    EXPECT_EQ(saved.back(), (pq::PlacementRecord{120, 90, 300, 200, false, false}));
    EXPECT_EQ(frame->geometry(), QRect(120, 90, 300, 200));
}

TEST_F(Fixture, StoredMaximisedOrMinimisedFrameReopensSo) {
    for (const bool minimised : {false, true}) {
        auto* frame = new pq::PlacementFrame(QSize(550, 400));
        frame->setWidget(new QLabel("x"));
        area.addSubWindow(frame);
        pq::PlacementRecord stored{40, 30, 200, 150, true, minimised};
        frame->ActivateFirst(stored, false);
        EXPECT_EQ(frame->isMinimized(), minimised);
        EXPECT_EQ(frame->isMaximized(), !minimised);
        EXPECT_EQ(frame->Current(), stored);
        frame->showNormal();
        EXPECT_EQ(frame->geometry(), QRect(40, 30, 200, 150));
        delete frame;
    }
}

TEST_F(Fixture, TemplateWithoutItsViewMakesNoFrameAndSaysNothing) {
    auto tmpl = MakeTemplate(146);
    TestDoc doc;
    EXPECT_FALSE(tmpl.ViewAvailable());
    EXPECT_EQ(tmpl.OpenView(doc), nullptr);
    EXPECT_TRUE(area.subWindowList().empty());
    EXPECT_TRUE(doc.Views().empty());
    tmpl.SetDocumentFactory([] { return std::make_unique<TestDoc>(); }, "Script", ".ksf");
    EXPECT_EQ(tmpl.OpenDocumentFile(""), nullptr);
    EXPECT_TRUE(tmpl.Documents().empty());

    RegisterView(); // a later library plugs its view in: the same template now opens it
    EXPECT_NE(tmpl.OpenView(doc), nullptr);
    EXPECT_EQ(area.subWindowList().size(), 1);
}

TEST_F(Fixture, NewFrameTakesTheDocumentItWasMadeForNotTheActiveOne) {
    RegisterView();
    auto tmpl = MakeTemplate(146);
    TestDoc first, second;
    pq::FramedView* a = tmpl.OpenView(first);
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(area.activeSubWindow(), a->Frame());
    pq::FramedView* b = tmpl.OpenView(second);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->DocumentView().GetDocument(), &second);
    EXPECT_EQ(made.back()->initialUpdates, 1);
    EXPECT_EQ(area.activeSubWindow(), b->Frame());
    EXPECT_EQ(pq::MdiDocTemplate::OfFrame(b->Frame()), &tmpl);

    b->Frame()->close();
    EXPECT_EQ(second.Views().size(), 0u);
    EXPECT_EQ(first.Views().size(), 1u);
}

TEST_F(Fixture, OwnDocumentsAreNumberedAndFailuresLeaveNothing) {
    RegisterView();
    auto tmpl = MakeTemplate(6);
    bool failNew = false;
    tmpl.SetDocumentFactory(
        [&] {
            auto doc = std::make_unique<TestDoc>();
            doc->newOk = !failNew;
            return doc;
        },
        "Script", ".dat");
    EXPECT_EQ(tmpl.OpenDocumentFile("")->GetTitle(), "Script1");
    failNew = true;
    EXPECT_EQ(tmpl.OpenDocumentFile(""), nullptr);
    failNew = false;
    EXPECT_EQ(tmpl.OpenDocumentFile("")->GetTitle(), "Script2") << "a failed new uses no number";
    EXPECT_EQ(tmpl.OpenDocumentFile("bad"), nullptr);
    QApplication::processEvents();
    EXPECT_EQ(area.subWindowList().size(), 2) << "a file that does not open leaves no window";
    platform::Document* opened = tmpl.OpenDocumentFile("/tmp/show.dat");
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->GetTitle(), "show.dat");
    EXPECT_EQ(tmpl.Documents().size(), 3u);
    // Opening it again activates its window; no second document is made.
    pq::MdiChildFrame* openedFrame = dynamic_cast<TestView*>(opened->Views().front())->Frame();
    tmpl.OpenDocumentFile("");
    ASSERT_NE(area.activeSubWindow(), openedFrame);
    EXPECT_EQ(tmpl.OpenDocumentFile("/tmp/show.dat"), opened);
    EXPECT_EQ(tmpl.Documents().size(), 4u);
    EXPECT_EQ(area.activeSubWindow(), openedFrame);

    int closedDocs = 0;
    tmpl.lastViewClosed = [&](platform::Document&) { ++closedDocs; };
    opened->Views().front()->CloseFrame();
    EXPECT_EQ(closedDocs, 1);
    EXPECT_EQ(tmpl.Documents().size(), 3u) << "the document goes with its last view";
}

// Two views side by side in one frame, with a field of the frame's own between them (as a bar's
// edit would be).
struct TwoPanes : Fixture {
    std::unique_ptr<pq::MdiDocTemplate> MakeSplitTemplate() {
        auto tmpl = std::make_unique<pq::MdiDocTemplate>(
            area, views, pq::TemplateResources{149, true, false, {}}, "CTestView",
            [](platform::Document&) { return new pq::PlacementFrame(QSize(400, 300)); });
        tmpl->SetContent([this](pq::MdiChildFrame&, const pq::MdiDocTemplate::ViewMaker& make) {
            auto* content = new QWidget;
            auto* layout = new QHBoxLayout(content);
            field = new QLineEdit(content);
            layout->addWidget(make("CTestView", content));
            layout->addWidget(field);
            layout->addWidget(make("CTestView", content));
            return content;
        });
        return tmpl;
    }
    QLineEdit* field = nullptr;
};

TEST_F(TwoPanes, BothViewsGoWithTheFrameAndTheFocusedOneIsActive) {
    RegisterView();
    auto tmpl = MakeSplitTemplate();
    tmpl->SetDocumentFactory([] { return std::make_unique<TestDoc>(); }, "Show", ".ksf");
    platform::Document* doc = tmpl->OpenDocumentFile("");
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(made.size(), 2u);
    ASSERT_EQ(doc->Views().size(), 2u);
    auto* frame = static_cast<pq::MdiChildFrame*>(area.activeSubWindow());
    for (TestView* view : made) {
        EXPECT_EQ(view->Frame(), frame);
        EXPECT_EQ(view->initialUpdates, 1);
    }
    doc->UpdateAllViews(nullptr, 7, nullptr);
    EXPECT_EQ(made[0]->hints, std::vector<long>{7});
    EXPECT_EQ(made[1]->hints, std::vector<long>{7});

    // The first pane until another has the focus; a field outside the panes changes nothing.
    area.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&area));
    EXPECT_EQ(pq::MdiDocTemplate::ViewOfFrame(frame), made[0]);
    made[1]->setFocus();
    EXPECT_EQ(pq::MdiDocTemplate::ViewOfFrame(frame), made[1]);
    field->setFocus();
    EXPECT_EQ(pq::MdiDocTemplate::ViewOfFrame(frame), made[1]) << "the pane that had it last";
    made[0]->setFocus();
    EXPECT_EQ(pq::MdiDocTemplate::ViewOfFrame(frame), made[0]);

    int closedDocs = 0;
    tmpl->lastViewClosed = [&](platform::Document&) { ++closedDocs; };
    made[1]->CloseFrame();
    EXPECT_EQ(closedDocs, 1) << "both views left the document with their frame";
    EXPECT_TRUE(tmpl->Documents().empty());
}

TEST_F(TwoPanes, ContentWithoutAViewMakesNoFrame) {
    auto tmpl = MakeSplitTemplate(); // the view class is not registered
    TestDoc doc;
    EXPECT_EQ(tmpl->OpenView(doc), nullptr);
    EXPECT_TRUE(area.subWindowList().empty());
    EXPECT_TRUE(doc.Views().empty());
}

} // namespace
