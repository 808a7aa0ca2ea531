#include "app/gui/shell_dialogs.h"
#include "app/gui/velmora_templates.h"
#include "link/dat_doc.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/view_services_fixture.h"
#include "views/reports/list_views.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace pq = platform::qt;

namespace {

struct NamedView : QLabel, pq::MdiView {
    explicit NamedView(const char* name) : name_(name) {}
    const char* ViewClassName() const override { return name_; }
    const char* name_;
};

// A view with a title of its own.
struct CaptionView : NamedView {
    using NamedView::NamedView;
    std::string FrameCaption() const override {
        return "Cross Reference of " + static_cast<CVLDoc*>(GetDocument())->GetScriptName();
    }
};

struct Fixture : ::testing::Test, testsupport::QtAppFirst {
    Fixture() {
        area.resize(1000, 700);
        area.show();
        for (const char* name : {"CSeqListView", "CInputView", "CCompileView"})
            views.RegisterView(name, [name](platform::Document&, QWidget*) {
                auto* view = new NamedView(name);
                return pq::CreatedView{view, view};
            });
        views.RegisterView("CXRefView", [](platform::Document&, QWidget*) {
            auto* view = new CaptionView("CXRefView");
            return pq::CreatedView{view, view};
        });
    }
    QMdiArea area;
    pq::ViewRegistry views;
};

TEST_F(Fixture, TableWindowsKeepTheirPlacementInTheScript) {
    VelmoraTemplates templates(area, views);
    CVLDoc doc;
    doc.SetTitle("Show.ksf");
    pq::FramedView* inputs = templates.Get(kInputKind)->OpenView(doc);
    ASSERT_NE(inputs, nullptr);
    QMdiSubWindow* frame = inputs->Frame();
    EXPECT_EQ(frame->size(), QSize(550, 400)) << "a new script: the kind's default size";
    EXPECT_EQ(frame->windowTitle(), "Inputs of Show");

    frame->setGeometry(200, 150, 420, 300);
    EXPECT_EQ(doc.m_anWindowPos[CVLDoc::kWinInput],
              (std::array<std::int32_t, 4>{200, 150, 420, 300}));
    frame->showMaximized();
    EXPECT_EQ(doc.m_anMaximized[CVLDoc::kWinInput], 1);
    EXPECT_EQ(doc.m_anWindowPos[CVLDoc::kWinInput][0], 200)
        << "maximised keeps the normal rectangle";
    frame->showNormal();
    frame->close();

    // The cross reference opens in the inputs frame class: it shares the inputs' record.
    pq::FramedView* xref = templates.Get(kXRefKind)->OpenView(doc);
    ASSERT_NE(xref, nullptr);
    EXPECT_EQ(xref->Frame()->geometry(), QRect(200, 150, 420, 300));
    xref->Frame()->move(10, 20);
    xref->Frame()->close();
    pq::FramedView* again = templates.Get(kInputKind)->OpenView(doc);
    EXPECT_EQ(again->Frame()->geometry(), QRect(10, 20, 420, 300));

    // A record saved on a larger screen opens at the default position with its size.
    again->Frame()->close();
    doc.m_anWindowPos[CVLDoc::kWinInput] = {3000, 2000, 300, 200};
    pq::FramedView* moved = templates.Get(kInputKind)->OpenView(doc);
    EXPECT_EQ(moved->Frame()->size(), QSize(300, 200));
    EXPECT_LT(moved->Frame()->x(), 200);
}

TEST_F(Fixture, FirstShowFollowsTheRecordOrTheActiveChildAndTheViewTitlesItsFrame) {
    VelmoraTemplates templates(area, views);
    CVLDoc doc;
    doc.SetTitle("Show.ksf");
    pq::FramedView* seq = templates.Get(kSequenceListKind)->OpenView(doc);
    QMdiSubWindow* sequences = seq->Frame();
    sequences->showMaximized();
    pq::FramedView* inputs = templates.Get(kInputKind)->OpenView(doc);
    EXPECT_TRUE(inputs->Frame()->isMaximized()) << "the active child was maximised";
    inputs->Frame()->close();
    sequences->showNormal();

    struct Case {
        bool maximised, minimised;
        bool shownMaximised, shownMinimised;
    } cases[] = {{false, false, false, false},
                 {true, false, true, false},
                 {false, true, false, true},
                 {true, true, false, true}};
    for (const Case& c : cases) {
        area.setActiveSubWindow(sequences);
        doc.m_anWindowPos[CVLDoc::kWinInput] = {30, 40, 300, 200};
        doc.m_anMaximized[CVLDoc::kWinInput] = c.maximised;
        doc.m_anMinimized[CVLDoc::kWinInput] = c.minimised;
        QMdiSubWindow* frame = templates.Get(kInputKind)->OpenView(doc)->Frame();
        EXPECT_EQ(frame->isMaximized(), c.shownMaximised) << c.maximised << c.minimised;
        EXPECT_EQ(frame->isMinimized(), c.shownMinimised) << c.maximised << c.minimised;
        if (c.minimised) {
            EXPECT_EQ(area.activeSubWindow(), sequences) << "minimised without activation";
        }
        frame->showNormal();
        EXPECT_EQ(frame->geometry(), QRect(30, 40, 300, 200));
        frame->close();
    }

    // The cross reference shares the inputs' frame class but carries its own title.
    QMdiSubWindow* xref = templates.Get(kXRefKind)->OpenView(doc)->Frame();
    EXPECT_EQ(xref->windowTitle(), "Cross Reference of Show");
    area.setActiveSubWindow(sequences);
    area.setActiveSubWindow(xref);
    EXPECT_EQ(xref->windowTitle(), "Cross Reference of Show") << "kept on every activation";
    EXPECT_EQ(templates.Get(kCompileViewKind)->OpenView(doc)->Frame()->windowTitle(),
              "Compile/Download of Show")
        << "a view without a title of its own: the kind's";
}

TEST_F(Fixture, TemplatesWithoutTheirViewsOpenNothing) {
    VelmoraTemplates templates(area, views);
    CVLDoc doc;
    ASSERT_EQ(templates.All().size(), 15u);
    for (const ViewKind* kind : {&kOutputKind, &kPortKind, &kEventEditorKind, &kTimelineKind})
        EXPECT_EQ(templates.Get(*kind)->OpenView(doc), nullptr) << kind->className;
    EXPECT_TRUE(area.subWindowList().empty());
    EXPECT_TRUE(doc.Views().empty());
}

TEST_F(Fixture, CompileWindowStaysOpenAndAbortsWhileItsCompileRuns) {
    VelmoraTemplates templates(area, views);
    CVLDoc doc;
    pq::FramedView* compile = templates.Get(kCompileViewKind)->OpenView(doc);
    ASSERT_NE(compile, nullptr);
    EXPECT_EQ(compile->Frame()->size(), QSize(790, 500));
    doc.m_nCompileRunning = 1;
    compile->Frame()->close();
    EXPECT_EQ(doc.m_nAbortRequested, 1);
    EXPECT_EQ(doc.Views().size(), 1u);
    doc.m_nCompileRunning = 0;
    compile->Frame()->close();
    EXPECT_TRUE(doc.Views().empty());
}

TEST_F(Fixture, ClosingTheSequenceListClosesTheScriptOnce) {
    VelmoraTemplates templates(area, views);
    testing_support::ScriptedUi ui;
    CVLDoc doc;
    doc.SetTitle("Show.ksf");
    int closes = 0;
    templates.closeScript = [&](CVLDoc& d) {
        ++closes;
        d.CloseAllFrames();
    };
    pq::FramedView* seq = templates.Get(kSequenceListKind)->OpenView(doc);
    templates.Get(kInputKind)->OpenView(doc);
    templates.Get(kCompileViewKind)->OpenView(doc);
    ASSERT_EQ(doc.Views().size(), 3u);
    doc.SetModifiedFlag(true);
    ui.QueueAnswer(platform::MsgResult::Cancel);
    seq->Frame()->close();
    EXPECT_EQ(closes, 0);
    EXPECT_EQ(doc.Views().size(), 3u) << "kept open when the user says so";
    ui.QueueAnswer(platform::MsgResult::No);
    seq->Frame()->close();
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(ui.boxes.size(), 2u) << "asked once per close, never by the other windows";
    EXPECT_TRUE(doc.Views().empty());
}

} // namespace

namespace {

TEST_F(Fixture, ScriptFramesForTheCoreTemplate) {
    VelmoraTemplates templates(area, views);
    ScriptFrameFactory frames(*templates.Get(kSequenceListKind));
    CVLDoc doc;
    doc.SetTitle("Script1");
    ASSERT_TRUE(frames.CreateFrame(doc));
    ASSERT_EQ(doc.Views().size(), 1u);
    frames.InitialUpdateFrame(doc, true);
    QMdiSubWindow* frame = area.activeSubWindow();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), "Sequences of Script1");
    EXPECT_EQ(frame->size(), QSize(630, 230));
    // The script's own window shows the program's icon.
    EXPECT_EQ(frame->windowIcon().pixmap(16).toImage(), VelmoraIcon().pixmap(16).toImage());
    frames.DestroyFrames(doc);
    EXPECT_TRUE(doc.Views().empty());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(area.subWindowList().empty());
}

TEST_F(Fixture, UploadDatFromUnitAsksTheRetrievalOfItsOwnImage) {
    std::vector<CDatDoc*> shown;
    testing_support::TestViewServices services;
    RegisterReportViews(views, services, [&](CDatDoc& doc) {
        if (doc.RetrievePending())
            shown.push_back(&doc);
    });
    VelmoraTemplates templates(area, views);
    const std::string path = "/tmp/velmora_upload_test.dat";
    std::ofstream(path, std::ios::binary) << std::string("\x05\x00\x05", 3);
    platform::Document* opened = templates.Get(kImageKind)->OpenDocumentFile(path);
    ASSERT_NE(opened, nullptr);
    CDatDoc* uploaded = templates.UploadDatFromUnit();
    ASSERT_NE(uploaded, nullptr);
    EXPECT_EQ(uploaded->GetTitle(), "Script1");
    // The opened file is active again when the request comes: it still goes to the new image.
    opened->Views().front()->ActivateFrame();
    QApplication::processEvents();
    EXPECT_EQ(shown, std::vector<CDatDoc*>{uploaded}) << "an opened image never retrieves";
    std::filesystem::remove(path);
}

} // namespace

namespace {

// The owner of the scripts destroys the frames and the document from inside the sequence
// list's own close.
TEST_F(Fixture, ScriptDestroyedFromItsSequenceListsClose) {
    VelmoraTemplates templates(area, views);
    ScriptFrameFactory frames(*templates.Get(kSequenceListKind));
    auto doc = std::make_unique<CVLDoc>();
    templates.closeScript = [&](CVLDoc& d) {
        EXPECT_EQ(&d, doc.get());
        frames.DestroyFrames(d);
        doc.reset();
    };
    ASSERT_TRUE(frames.CreateFrame(*doc));
    frames.InitialUpdateFrame(*doc, true);
    templates.Get(kCompileViewKind)->OpenView(*doc);
    QMdiSubWindow* sequences = area.subWindowList().front();
    sequences->close();
    EXPECT_EQ(doc, nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(area.subWindowList().empty());
}

} // namespace
