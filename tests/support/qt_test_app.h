// The QApplication of a GUI test program: made on first use, destroyed before the program's
// exit handlers run (Qt's objects must not outlive them).
#pragma once

#include <QApplication>
#include <gtest/gtest.h>

#include <memory>

namespace testsupport {

inline std::unique_ptr<QApplication>& QtAppHolder() {
    static std::unique_ptr<QApplication> app;
    return app;
}

inline QApplication& QtApp() {
    static int argc = 1;
    static char name[] = "gui_tests";
    static char* argv[] = {name, nullptr};
    if (!QtAppHolder())
        QtAppHolder() = std::make_unique<QApplication>(argc, argv);
    return *QtAppHolder();
}

class QtEnvironment : public ::testing::Environment {
public:
    void TearDown() override { QtAppHolder().reset(); }
};

inline ::testing::Environment* const g_qtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment); // owned by the test framework

// Constructs the application before any widget member of a fixture.
struct QtAppFirst {
    QtAppFirst() { QtApp(); }
};

} // namespace testsupport
