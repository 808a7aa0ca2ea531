// A script shown in a resource table, for the tests of this folder.
#pragma once

#include "controls/grid/cel_ctrl.h"
#include "controls/grid/cel_parts.h"
#include "script/vl_doc.h"
#include "tests/support/app_fixture.h"
#include "tests/support/port_fixture.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/view_services_fixture.h"

#include <memory>
#include <string>

namespace resources_test {

// A view attached to its script, updated once, detached when it goes.
template <typename View> struct Shown {
    Shown(CVLDoc& doc, testing_support::TestViewServices& services)
        : view(doc, services), doc_(doc) {
        doc.AddView(&view);
        view.OnInitialUpdate();
        view.resize(600, 400);
    }
    ~Shown() { doc_.RemoveView(&view); }
    Shown(const Shown&) = delete;
    Shown& operator=(const Shown&) = delete;
    View view;
    CVLDoc& doc_;
};

inline std::string Cell(CELCtrl& grid, int column, int row) {
    std::string text;
    grid.CopyCellText(column, row, text);
    return text;
}
inline void Key(CELCtrl& grid, int key) {
    grid.NotifyKeyPressed(key, 0);
}
inline bool Finish(CELCtrl& grid, int column, int row, std::string text) {
    return grid.AllowEditFinish(column, row, nullptr, text, false);
}
inline COLORREF DefaultBackground(CELCtrl& grid) {
    CELCell cell;
    grid.FetchGridDefault(cell);
    return cell.GetBackground();
}

// The installation with the test ports and protocols, and one script on it.
struct ScriptFixture : testsupport::QtAppFirst {
    ScriptFixture() {
        doc.InitNewScript(CVLDoc::kDefaultProduct);
        doc.SetTitle("Show.ksf");
        doc.SetModifiedFlag(false);
    }
    // Clears the marks an edit sets, so a test sees what the next step sets.
    void ClearMarks(CVLDoc& script) {
        script.SetModifiedFlag(false);
        script.m_nCompiledOK = 1;
        for (auto& sequence : script.m_poSeqList)
            sequence->m_nNeedsCompile = 0;
    }
    static bool Marked(const CVLDoc& script) {
        return script.IsModified() && script.m_nCompiledOK == 0 &&
               (script.m_poSeqList.empty() || script.m_poSeqList.front()->m_nNeedsCompile == 1);
    }

    testing_support::AppFixture app;
    testing_support::PortFixture ports{app.App()};
    testing_support::ScriptedUi ui;
    CVLDoc doc{app.App()};
    testing_support::TestViewServices services;
};

} // namespace resources_test
