// Every command of the main window's menus, given as the menus give it (update first, then the
// command through the routing when the item is enabled), without a script and with one: none
// may crash or hang, and none may be enabled while no target handles it. Message boxes and the
// program's dialogs answer from the scripted interface; Qt's own modal dialogs (File Open,
// Page Setup, the print dialogs, About) are closed as soon as they are up.
#include "app/command_ids.h"
#include "app/gui/vl_frame.h"
#include "app/gui/vl_resources.h"
#include "controls/commandbars/aux_data.h"
#include "controls/commandbars/resources.h"
#include "script/vl_doc.h"
#include "tests/app/app_test_support.h"
#include "tests/app/gui/gui_test_support.h"
#include "tests/app/gui/main_window_fixture.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/scripted_ui.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <set>

namespace {

namespace fs = std::filesystem;
using namespace vl_ids;

using guitest::ItemUi;

void CollectIds(const GVPMenu& menu, std::set<unsigned>& ids) {
    for (const GVPMenuItem& item : menu.items) {
        if (item.submenu)
            CollectIds(*item.submenu, ids);
        else if (!item.separator && item.id != 0)
            ids.insert(item.id);
    }
}

// Closes whatever modal dialog comes up, as a user pressing Escape would.
class ModalCloser {
public:
    ModalCloser() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ++closed;
                if (auto* dialog = qobject_cast<QDialog*>(modal))
                    dialog->reject();
                else
                    modal->close();
            }
        });
        timer_.start();
    }
    int closed = 0;

private:
    QTimer timer_;
};

struct MenuSweep : guitest::MainWindowFixture {
    void SetUp() override {
        // No help file: the help commands must not hand a browser the test's files.
        fs::remove_all(install.Root() / "Help");
        ASSERT_NO_FATAL_FAILURE(StartWindow());
        fs::current_path(install.Root() / "SCRIPTS"); // images are written beside the script
    }

    // Every command of the program's menus, the exit last.
    static std::vector<unsigned> Commands() {
        std::set<unsigned> ids;
        for (unsigned menu : {kFrameMenu, kScriptMenu, kCompileMenu, kImageMenu, kTableMenu,
                              kEventMenu, kStringMenu, kTimelineMenu})
            if (GVPMenuPtr found = CGVPResources::Instance().FindMenu(menu))
                CollectIds(*found, ids);
        ids.erase(kAppExit);
        std::vector<unsigned> ordered(ids.begin(), ids.end());
        ordered.push_back(kAppExit);
        return ordered;
    }

    enum class Open { Nothing, Script, Image };
    // Runs every command; before each, the document `open` names is opened when none is active.
    void Sweep(Open open) {
        testing_support::ScriptedUi ui;
        ModalCloser closer;
        const std::vector<unsigned> commands = Commands();
        ASSERT_GT(commands.size(), 40u);
        int ran = 0;
        for (unsigned id : commands) {
            SCOPED_TRACE(::testing::Message() << "command " << id);
            if (open == Open::Script && !app.ActiveScript()) {
                ASSERT_NE(app.OpenDocumentFile((install.Root() / "SCRIPTS/Fountain.ksf").string()),
                          nullptr);
            }
            if (open == Open::Image && !window->ActiveDocument()) {
                const fs::path image = install.Root() / "SCRIPTS/Show.DAT";
                std::ofstream(image, std::ios::binary) << std::string("\x03\x00\x01\x02", 4);
                ASSERT_TRUE(window->OpenFile(image.string()));
            }
            ItemUi item(id);
            window->DoUpdate(item, true);
            if (!item.enabled)
                continue;
            EXPECT_TRUE(window->HasHandler(id)) << "enabled without a handler";
            QElapsedTimer clock;
            clock.start();
            window->RouteCommand(id);
            QApplication::processEvents();
            EXPECT_LT(clock.elapsed(), 20000) << "the command took too long";
            ++ran;
        }
        EXPECT_GT(ran, 20);
    }
};

TEST_F(MenuSweep, WithoutADocument) {
    Sweep(Open::Nothing);
}

TEST_F(MenuSweep, WithAScript) {
    Sweep(Open::Script);
}

TEST_F(MenuSweep, WithACompiledImage) {
    Sweep(Open::Image);
}

} // namespace
