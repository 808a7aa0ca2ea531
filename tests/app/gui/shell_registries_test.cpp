// What a library outside the program's windows brings through the two registries of the real
// main window: a stand-in script tool reached through its menu command, and a stand-in view of
// a known kind reached through its menu command and through the view opener the views use.
#include "app/command_ids.h"
#include "platform/qt/tool_registry.h"
#include "script/view_kind.h"
#include "tests/app/gui/main_window_fixture.h"
#include "tests/support/scripted_ui.h"
#include "views/common/vl_view.h"
#include "views/gridbase/vl_cel_ctrl.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <gtest/gtest.h>

namespace {

using namespace vl_ids;

using guitest::ItemUi;

// A library's cross reference: a table with a grid, known by its stored class name.
class StandInCrossReference : public CVLView {
public:
    StandInCrossReference(CVLDoc& doc, ViewServices& services) : CVLView(doc, services) {
        CreateGrid(new VLCELCtrl);
    }
    const char* ViewClassName() const override { return "CXRefView"; }
};

// The tools and views a library registers, as it would from its own registration function.
struct StandInLibrary {
    void Register(platform::qt::ToolRegistry& tools, platform::qt::ViewRegistry& views,
                  ViewServices& services) {
        tools.Register<CVLDoc>(
            kRealTimeWizard,
            [this](CVLDoc& doc, QWidget* parent) {
                ranOn = &doc;
                ranIn = parent;
            },
            false);
        views.RegisterView(
            "CXRefView",
            [this, &services](platform::Document& document, QWidget*) -> platform::qt::CreatedView {
                auto* doc = dynamic_cast<CVLDoc*>(&document);
                if (!doc)
                    return {};
                auto* view = new StandInCrossReference(*doc, services);
                ++made;
                return {view, view};
            });
    }
    CVLDoc* ranOn = nullptr;
    QWidget* ranIn = nullptr;
    int made = 0;
};

struct ShellRegistries : guitest::MainWindowFixture {
    ItemUi Update(unsigned id) {
        ItemUi ui(id);
        window->DoUpdate(ui, true);
        return ui;
    }
    StandInLibrary library;
};

TEST_F(ShellRegistries, AStandInToolAndViewAreReachedThroughTheMenusAndTheOpener) {
    ASSERT_NO_FATAL_FAILURE(StartWindow([this](CVLFrame& frame) {
        library.Register(frame.Tools(), frame.Views(), frame.Services());
    }));
    testing_support::ScriptedUi ui;

    // The tool stays offered without a script, and says that the command failed.
    EXPECT_TRUE(Update(kRealTimeWizard).enabled);
    EXPECT_TRUE(window->RouteCommand(kRealTimeWizard));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Command failed."});
    EXPECT_EQ(library.ranOn, nullptr);

    CVLDoc* doc = OpenScript();
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(window->RouteCommand(kRealTimeWizard));
    EXPECT_EQ(library.ranOn, doc);
    EXPECT_EQ(library.ranIn, window.get());

    // The view through its menu command: made once, titled by the script as its kind says.
    ASSERT_TRUE(Update(kXReference).enabled);
    EXPECT_TRUE(window->RouteCommand(kXReference));
    ASSERT_EQ(library.made, 1);
    QMdiSubWindow* frame = window->MdiArea()->currentSubWindow();
    ASSERT_NE(frame, nullptr);
    auto* view = dynamic_cast<StandInCrossReference*>(frame->widget());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(KindOf(*view), FindViewKind("CXRefView"));
    EXPECT_EQ(doc->ViewTitle(*view).rfind("Cross Reference of " + doc->GetScriptName(), 0), 0u)
        << doc->ViewTitle(*view);

    // Through the opener the views use: the open view comes forward, no second one is made.
    window->MdiArea()->activatePreviousSubWindow();
    ASSERT_NE(window->MdiArea()->currentSubWindow(), frame);
    EXPECT_EQ(window->Services().OpenView(*doc, kXRefKind, nullptr), view);
    EXPECT_EQ(window->MdiArea()->currentSubWindow(), frame);
    EXPECT_EQ(library.made, 1);
    // A new one on request.
    EXPECT_NE(window->Services().OpenNewView(*doc, kXRefKind), nullptr);
    EXPECT_EQ(library.made, 2);

    // Unregistered, the tool's command is greyed and reaches no handler.
    window->Tools().Unregister(kRealTimeWizard);
    EXPECT_FALSE(Update(kRealTimeWizard).enabled);
    EXPECT_FALSE(window->HasHandler(kRealTimeWizard));
}

} // namespace
