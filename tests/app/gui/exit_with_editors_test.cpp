// Leaving the program with a sequence's event editor open: the frame's placement never reaches
// a sequence that is gone (the sanitizer build catches a write into freed memory), and an
// idle event editor costs no work.
#include "app/gui/vl_frame.h"
#include "script/vl_doc.h"
#include "tests/app/app_test_support.h"
#include "tests/app/gui/gui_test_support.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/scripted_ui.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct ExitWithEditors : ::testing::Test, testsupport::QtAppFirst {
    ExitWithEditors() { guitest::EnsureToolkit(); }
    void SetUp() override {
        std::ofstream(install.Profile()) << "[Serial Ports]\nCOM1=/nonexistent/tty\n";
        app.SetProfilePath(install.Profile());
        window = std::make_unique<CVLFrame>(app);
        ASSERT_TRUE(app.InitInstance(*window));
        window->resize(1000, 700);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        doc = app.OpenDocumentFile((install.Root() / "SCRIPTS/Fountain.ksf").string());
        ASSERT_NE(doc, nullptr);
    }
    void TearDown() override {
        if (window)
            app.ExitInstance();
        window.reset();
    }
    QMdiSubWindow* OpenEvents(CSeq* seq) {
        window->Services().OpenView(*doc, "m_pEventTmp", seq);
        QCoreApplication::processEvents();
        return window->MdiArea()->activeSubWindow();
    }

    app_testing::TempInstall install;
    CVLApp app;
    std::unique_ptr<CVLFrame> window;
    testing_support::ScriptedUi ui;
    CVLDoc* doc = nullptr;
};

TEST_F(ExitWithEditors, ExitWithAnEventEditorOpen) {
    for (int state = 0; state < 3; ++state) {
        SCOPED_TRACE(state);
        if (!doc)
            doc = app.OpenDocumentFile((install.Root() / "SCRIPTS/Fountain.ksf").string());
        ASSERT_NE(doc, nullptr);
        QMdiSubWindow* frame = OpenEvents(doc->m_poSeqList[2].get());
        ASSERT_NE(frame, nullptr);
        if (state == 1)
            frame->showMaximized();
        else if (state == 2)
            frame->showMinimized();
        QCoreApplication::processEvents();
        doc->SetModifiedFlag(false);
        // File > Exit: the script closes with its frames.
        EXPECT_TRUE(window->close());
        QCoreApplication::processEvents();
        EXPECT_TRUE(window->MdiArea()->subWindowList().isEmpty());
        doc = nullptr;
        window->show();
    }
}

} // namespace
