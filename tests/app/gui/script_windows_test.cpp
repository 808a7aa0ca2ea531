// A script's windows in the real main window: the sequence list made through the script
// template, where its windows reopen, how they close, and what opening and New leave behind.
#include "app/gui/velmora_templates.h"
#include "app/gui/vl_resources.h"
#include "controls/commandbars/tool_bar.h"
#include "script/dialog_requests.h"
#include "tests/app/gui/main_window_fixture.h"
#include "views/sequences/seq_list_view.h"

#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

namespace {

namespace fs = std::filesystem;
namespace pq = platform::qt;

struct ScriptWindows : guitest::MainWindowFixture {
    void SetUp() override {
        // The scripted services answer the frame's boxes.
        ASSERT_NO_FATAL_FAILURE(StartWindow([this](CVLFrame&) { ScriptUi(); }));
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        script_ = (install.Root() / "SCRIPTS/Fountain.ksf").string();
    }

    QMdiArea& Area() const { return *window->MdiArea(); }
    QSize Usable() const { return Area().viewport()->size(); }
    CVLDoc* Open() {
        CVLDoc* doc = app.OpenDocumentFile(script_);
        QCoreApplication::processEvents();
        return doc;
    }
    static pq::MdiChildFrame* FrameOf(CVLDoc& doc, const char* viewClass) {
        for (platform::View* view : doc.Views())
            if (std::string_view(view->ViewClassName()) == viewClass)
                return dynamic_cast<pq::FramedView*>(view)->Frame();
        return nullptr;
    }
    void Close(CVLDoc* doc) {
        app.CloseDocument(doc);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Stores the sequence list's record in the script file and closes it.
    void SaveRecord(CVLDoc* doc, std::array<std::int32_t, 4> rect, bool max, bool min) {
        doc->m_anWindowPos[CVLDoc::kWinSequenceList] = rect;
        doc->m_anMaximized[CVLDoc::kWinSequenceList] = max;
        doc->m_anMinimized[CVLDoc::kWinSequenceList] = min;
        ASSERT_TRUE(doc->OnFileSave());
        Close(doc);
    }

    std::string script_;
};

TEST_F(ScriptWindows, SequenceListIsTheScriptTemplatesFrame) {
    GVPAccel key;
    key.fVirt = GVPAccel::kVirtKey | GVPAccel::kControl;
    key.key = 'T';
    key.cmd = 32999;
    CGVPResources::Instance().SetAccelerators(3, {key});
    CVLDoc* doc = Open();
    ASSERT_NE(doc, nullptr);
    pq::MdiChildFrame* frame = FrameOf(*doc, "CSeqListView");
    ASSERT_NE(frame, nullptr);
    EXPECT_NE(dynamic_cast<CMDIChildRememberWnd*>(frame), nullptr);
    EXPECT_EQ(pq::MdiDocTemplate::OfFrame(frame), window->Templates().Get(kSequenceListKind));
    EXPECT_EQ(Area().activeSubWindow(), frame);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Sequences of Fountain"));
    EXPECT_EQ(frame->size(), QSize(630, 230));
    EXPECT_EQ(dynamic_cast<CSeqListView*>(frame->widget())->Cel()->GetRowCount(), 4);
    // The script's menu and its keys, ahead of the main window's own.
    EXPECT_EQ(window->ActiveTemplateId(), 3u);
    const GVPAcceleratorTable* keys = window->GetAccelerators();
    ASSERT_GT(keys->size(), 1u);
    EXPECT_EQ(keys->front().cmd, 32999u);

    // The compiled image's window has neither.
    ASSERT_TRUE(window->RouteCommand(vl_ids::kCompileScript));
    ASSERT_TRUE(window->OpenFile((install.Root() / "SCRIPTS/Fountain.DAT").string()));
    EXPECT_EQ(window->ActiveTemplateId(), 6u);
    for (const GVPAccel& accel : *window->GetAccelerators())
        EXPECT_NE(accel.cmd, 32999u);
    // Saved under another name, the list takes the new name.
    Area().setActiveSubWindow(frame);
    scripted->QueueDialog([&](platform::DialogRequest& request) {
        static_cast<CSaveAsDlg&>(request).path = (install.Root() / "SCRIPTS/Finale.ksf").string();
        return true;
    });
    ASSERT_TRUE(doc->OnFileSaveAs());
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Sequences of Finale"));
    CGVPResources::Instance().SetAccelerators(3, {});
}

TEST_F(ScriptWindows, PlacementReopensAfterSaveAndReopen) {
    struct Case {
        const char* what;
        void (*act)(QMdiSubWindow&);
        bool maximised, minimised;
    } cases[] = {
        {"moved and sized", [](QMdiSubWindow&) {}, false, false},
        {"maximised", [](QMdiSubWindow& f) { f.showMaximized(); }, true, false},
        {"minimised", [](QMdiSubWindow& f) { f.showMinimized(); }, false, true},
    };
    const QRect moved(120, 60, 500, 300);
    for (const Case& c : cases) {
        CVLDoc* doc = Open();
        ASSERT_NE(doc, nullptr) << c.what;
        QMdiSubWindow* frame = FrameOf(*doc, "CSeqListView");
        frame->showNormal();
        frame->setGeometry(moved);
        c.act(*frame);
        ASSERT_TRUE(doc->OnFileSave()) << c.what;
        Close(doc);
        ASSERT_TRUE(Area().subWindowList().empty()) << c.what;

        doc = Open();
        frame = FrameOf(*doc, "CSeqListView");
        EXPECT_EQ(frame->isMaximized(), c.maximised) << c.what;
        EXPECT_EQ(frame->isMinimized(), c.minimised) << c.what;
        frame->showNormal();
        EXPECT_EQ(frame->geometry(), moved) << c.what;
        Close(doc);
    }
    EXPECT_TRUE(scripted->boxes.empty());
}

TEST_F(ScriptWindows, RememberedRectangleIsCutOrMovedIntoTheWindow) {
    const QSize usable = Usable();
    struct Case {
        const char* what;
        QRect stored;
        QRect expected; // null position: the default position
    } cases[] = {
        {"half outside: cut", QRect(usable.width() - 200, usable.height() - 100, 400, 300),
         QRect(usable.width() - 200, usable.height() - 100, 200, 100)},
        {"above and left: cut", QRect(-100, -50, 300, 200), QRect(0, 0, 200, 150)},
        {"entirely outside: default position, same size",
         QRect(usable.width() + 500, usable.height() + 400, 300, 200), QRect(0, 0, 300, 200)},
    };
    for (const Case& c : cases) {
        SaveRecord(Open(), {c.stored.x(), c.stored.y(), c.stored.width(), c.stored.height()}, false,
                   false);
        CVLDoc* doc = Open();
        auto* frame = dynamic_cast<pq::PlacementFrame*>(FrameOf(*doc, "CSeqListView"));
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->DefaultRect().topLeft(), QPoint(0, 0)) << "the first window";
        EXPECT_EQ(frame->geometry(), c.expected) << c.what;
        Close(doc);
    }
}

TEST_F(ScriptWindows, HiddenToolbarGrowsTheUsableArea) {
    const int bottom = Usable().height();
    SaveRecord(Open(), {10, bottom - 50, 300, 200}, false, false);
    CVLDoc* doc = Open();
    EXPECT_EQ(FrameOf(*doc, "CSeqListView")->height(), 50);
    Close(doc);

    // Hidden from View > Toolbar: the bar's dock row goes with it.
    window->RouteCommand(vl_ids::kViewToolbar);
    EXPECT_FALSE(window->StandardBar()->IsVisible());
    const int grown = Usable().height() - bottom;
    EXPECT_GT(grown, 0);
    doc = Open();
    EXPECT_EQ(FrameOf(*doc, "CSeqListView")->height(), 50 + grown);
    Close(doc);
}

TEST_F(ScriptWindows, NothingClosesTheScriptWhileItsCompileRuns) {
    CVLDoc* doc = Open();
    ASSERT_TRUE(window->RouteCommand(vl_ids::kCompileScript));
    QMdiSubWindow* compile = FrameOf(*doc, "CCompileView");
    QMdiSubWindow* sequences = FrameOf(*doc, "CSeqListView");
    ASSERT_NE(compile, nullptr);
    doc->m_nCompileRunning = 1;
    const std::pair<const char*, std::function<void()>> closes[] = {
        {"compile window", [&] { compile->close(); }},
        {"sequence list", [&] { sequences->close(); }},
        {"File Close", [&] { app.CloseDocument(doc); }},
        {"the program", [&] { window->close(); }},
    };
    for (const auto& [what, close] : closes) {
        doc->m_nAbortRequested = 0;
        close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(doc->m_nAbortRequested, 1) << what;
        ASSERT_EQ(app.ScriptTemplate()->Documents().size(), 1u) << what;
        EXPECT_EQ(doc->Views().size(), 2u) << what;
        EXPECT_TRUE(window->isVisible()) << what;
    }
    doc->m_nCompileRunning = 0;
    compile->close();
    EXPECT_EQ(doc->Views().size(), 1u) << "closes normally once the compile is over";
    EXPECT_TRUE(scripted->boxes.empty());
}

TEST_F(ScriptWindows, SequenceListClosesEveryWindowOfItsScriptAndAsksOnce) {
    CVLDoc* doc = Open();
    ASSERT_TRUE(window->RouteCommand(vl_ids::kCompileScript));
    ASSERT_EQ(doc->Views().size(), 2u);
    doc->SetModifiedFlag(true);
    QMdiSubWindow* sequences = FrameOf(*doc, "CSeqListView");

    scripted->QueueAnswer(platform::MsgResult::Cancel);
    sequences->close();
    EXPECT_EQ(scripted->Texts(), std::vector<std::string>{"Save changes to Fountain.ksf?"});
    EXPECT_EQ(doc->Views().size(), 2u) << "Cancel keeps every window";
    EXPECT_EQ(Area().subWindowList().size(), 2);

    scripted->QueueAnswer(platform::MsgResult::No);
    sequences->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(scripted->boxes.size(), 2u) << "one question per close";
    EXPECT_TRUE(app.ScriptTemplate()->Documents().empty());
    EXPECT_TRUE(Area().subWindowList().empty());

    // Another window closes alone; the last one takes the script with it.
    doc = Open();
    ASSERT_TRUE(window->RouteCommand(vl_ids::kCompileScript));
    FrameOf(*doc, "CCompileView")->close();
    EXPECT_EQ(doc->Views().size(), 1u);
    EXPECT_EQ(scripted->boxes.size(), 2u);
}

TEST_F(ScriptWindows, FileThatDoesNotOpenLeavesNoWindow) {
    const fs::path broken = install.Root() / "SCRIPTS/Broken.ksf";
    std::ofstream(broken) << "[Unit]\r\nProduct=NoSuchProduct\r\n";
    for (const fs::path& path : {install.Root() / "SCRIPTS/Missing.ksf", broken}) {
        scripted->Clear();
        EXPECT_EQ(app.OpenDocumentFile(path.string()), nullptr) << path;
        EXPECT_FALSE(scripted->boxes.empty()) << "the script says why";
        EXPECT_TRUE(Area().subWindowList().empty()) << path;
        EXPECT_TRUE(app.ScriptTemplate()->Documents().empty()) << path;
    }
    EXPECT_EQ(app.ScriptTemplate()->UntitledCount(), 0u);
}

TEST_F(ScriptWindows, NewScriptsAreNumberedAndACancelledOneUsesNoNumber) {
    auto answer = [this](bool ok) {
        scripted->QueueDialog([ok](platform::DialogRequest& request) {
            static_cast<CNewScriptDlg&>(request).product = "Harnel16";
            return ok;
        });
    };
    std::vector<QString> titles;
    for (bool ok : {true, false, true, true}) {
        answer(ok);
        if (CVLDoc* doc = app.OnFileNew())
            titles.push_back(FrameOf(*doc, "CSeqListView")->windowTitle());
    }
    EXPECT_EQ(titles, (std::vector<QString>{"Sequences of Script1", "Sequences of Script2",
                                            "Sequences of Script3"}));
    EXPECT_EQ(Area().subWindowList().size(), 3) << "the cancelled one left no window";
}

} // namespace
