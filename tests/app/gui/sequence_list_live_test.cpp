// The sequence list in the real main window against the controller emulator: the live start and
// reset carry the active row's index, and "Upload Script from Unit" shows the archived sequences.
#include "app/gui/vl_frame.h"
#include "app/vl_app.h"
#include "link/script_archive.h"
#include "script/vl_doc.h"
#include "tests/app/app_test_support.h"
#include "tests/app/gui/gui_test_support.h"
#include "tests/app/gui/main_window_fixture.h"
#include "tests/support/controller_emulator.h"
#include "tests/support/qt_test_app.h"
#include "views/sequences/seq_list_view.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>

namespace {

struct LiveSequenceList : guitest::MainWindowFixture {
    void Start(const std::string& com1) {
        WriteProfile({{1, com1}},
                     "[Download]\nSerialPort=0\nSerialTimeout=1000\nNoCompilerPopups=TRUE\n");
        ASSERT_NO_FATAL_FAILURE(StartWindow());
    }
    CSeqListView* ListOf(const CVLDoc& doc) {
        for (QMdiSubWindow* frame : window->MdiArea()->subWindowList())
            if (auto* list = dynamic_cast<CSeqListView*>(frame->widget()))
                if (&list->Doc() == &doc)
                    return list;
        return nullptr;
    }
};

TEST_F(LiveSequenceList, StartAndResetCarryTheActiveRowAndTheEmptyRowSendsNothing) {
    testing_support::ControllerEmulator emulator;
    ASSERT_TRUE(emulator.Start());
    Start(emulator.SlavePath());
    CVLDoc* doc = app.OpenDocumentFile((install.Root() / "SCRIPTS/Fountain.ksf").string());
    ASSERT_NE(doc, nullptr);
    CSeqListView* list = ListOf(*doc);
    ASSERT_NE(list, nullptr);
    const auto messages = [&emulator] {
        std::vector<std::vector<std::uint8_t>> out;
        for (const auto& request : emulator.Requests())
            out.push_back(request.message);
        return out;
    };
    list->Cel()->MoveActiveCell(2, 2);
    EXPECT_TRUE(window->RouteCommand(vl_ids::kRunNow));
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages().size() == 1; }, 3000));
    list->Cel()->MoveActiveCell(2, 1);
    EXPECT_TRUE(window->RouteCommand(vl_ids::kResetSequence));
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages().size() == 2; }, 3000));
    // The empty row: nothing goes out.
    list->Cel()->MoveActiveCell(2, list->Cel()->GetRowCount() - 1);
    window->RouteCommand(vl_ids::kRunNow);
    window->RouteCommand(vl_ids::kResetSequence);
    QTest::qWait(200);
    const std::vector<std::vector<std::uint8_t>> expected = {{0x18, 2}, {0x1B, 1}};
    EXPECT_EQ(messages(), expected);
    emulator.Stop();
}

// Its suite is labelled timing: the archive travels at the emulator's pace.
using ScriptUploadList = LiveSequenceList;

TEST_F(ScriptUploadList, TheNewListShowsTheRetrievedSequences) {
    std::ifstream source(install.Root() / "SCRIPTS/Fountain.ksf", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(source), {}};
    const auto packed = showlink::PackArchiveText(text);
    ASSERT_TRUE(packed.has_value());
    const auto header = showlink::MakeArchiveHeader(*packed, "LOBBY");
    testing_support::EmulatorOptions options;
    options.archive.assign(header.begin(), header.end());
    options.archive.insert(options.archive.end(), packed->begin(), packed->end());
    testing_support::ControllerEmulator emulator(options);
    ASSERT_TRUE(emulator.Start());
    Start(emulator.SlavePath());
    guitest::WhenModal([](QDialog& dialog) {
        guitest::Click(dialog, 1);
        guitest::WhenModal([](QDialog& box) { box.accept(); });
    });
    EXPECT_TRUE(window->RouteCommand(vl_ids::kUploadScript));
    CVLDoc* doc = app.ActiveScript();
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->m_poSeqList.size(), 3u);
    CSeqListView* list = ListOf(*doc);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->Cel()->GetRowCount(), 4);
    for (int row = 0; row < 3; ++row) {
        const std::string shown = list->Cel()->ReadCellText(2, row);
        EXPECT_NE(shown.find(doc->m_poSeqList[std::size_t(row)]->m_strName), std::string::npos)
            << shown;
        EXPECT_FALSE(doc->m_poSeqList[std::size_t(row)]->m_strName.empty());
    }
    EXPECT_TRUE(doc->IsModified());
    emulator.Stop();
}

} // namespace
