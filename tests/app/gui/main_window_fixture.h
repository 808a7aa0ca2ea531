// The real main window on a private installation with a profile of its own: the fixture the
// main window's tests share. The profile's COM ports lead nowhere unless a test names devices;
// views and tools a test stands in are registered before the application starts on the window.
#pragma once

#include "app/gui/vl_frame.h"
#include "script/vl_doc.h"
#include "tests/app/app_test_support.h"
#include "tests/app/gui/gui_test_support.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/scripted_ui.h"

#include <QTest>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>

namespace guitest {

// The update of one command as a menu item takes it: enabled unless a handler says otherwise.
struct ItemUi : platform::qt::CommandUi {
    explicit ItemUi(unsigned id) : CommandUi(id) {}
    void Enable(bool on) override {
        enabled = on;
        enableChanged = true;
    }
    void SetCheck(int) override {}
    void SetText(const QString&) override {}
    bool enabled = true;
};

struct MainWindowFixture : ::testing::Test, testsupport::QtAppFirst {
    MainWindowFixture() { EnsureToolkit(); }
    void TearDown() override { CloseWindow(); }
    // The application exits and its window goes.
    void CloseWindow() {
        if (window)
            app.ExitInstance();
        scripted.reset();
        window.reset();
    }

    // Writes the profile: the COM ports of `ports` lead to their devices, then `more` as it is.
    void WriteProfile(const std::map<int, std::string>& ports = {}, const std::string& more = "") {
        std::ofstream out(install.Profile());
        WriteSerialPorts(out, ports);
        out << more;
    }
    // Makes the window, lets `before` register what the test stands in, starts the application
    // on it and shows it; `active`: at 1000 x 700 and active, as a user's window is.
    void StartWindow(const std::function<void(CVLFrame&)>& before = {}, bool active = false) {
        if (!std::filesystem::exists(install.Profile()))
            WriteProfile();
        app.SetProfilePath(install.Profile());
        window = std::make_unique<CVLFrame>(app);
        if (before)
            before(*window);
        ASSERT_TRUE(app.InitInstance(*window));
        if (active)
            window->resize(1000, 700);
        window->show();
        if (active) {
            window->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        }
    }
    // The program started again on the same installation and profile, as a user's next start
    // would find them: a new application on a new window.
    void RestartWindow(const std::function<void(CVLFrame&)>& before = {}, bool active = false) {
        CloseWindow();
        std::destroy_at(&app);
        std::construct_at(&app);
        StartWindow(before, active);
    }
    // From now until the window goes, `scripted` answers the message boxes and dialogs (start it
    // in StartWindow's `before`, once the window has installed its own services).
    testing_support::ScriptedUi& ScriptUi() {
        scripted = std::make_unique<testing_support::ScriptedUi>();
        return *scripted;
    }
    CVLDoc* OpenScript(const std::string& name = "Fountain.ksf") {
        return app.OpenDocumentFile((install.Root() / "SCRIPTS" / name).string());
    }

    app_testing::TempInstall install;
    CVLApp app;
    std::unique_ptr<CVLFrame> window;
    std::unique_ptr<testing_support::ScriptedUi> scripted;
};

} // namespace guitest
