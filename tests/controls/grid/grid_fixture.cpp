#include "grid_fixture.h"

#include "platform/qt/colors.h"

#include <QCoreApplication>
#include <QTest>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

namespace grid_test {

namespace {

int g_argc = 1;
char g_name[] = "grid_tests";
char* g_argv[] = {g_name, nullptr};

std::unique_ptr<QApplication>& AppHolder() {
    static std::unique_ptr<QApplication> app;
    return app;
}

// Qt's objects go before the program's exit handlers run.
class QtEnvironment : public ::testing::Environment {
public:
    void TearDown() override { AppHolder().reset(); }
};
[[maybe_unused]] ::testing::Environment* const g_qtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment); // owned by the test framework

} // namespace

QApplication& App() {
    if (!AppHolder()) {
        AppHolder() = std::make_unique<QApplication>(g_argc, g_argv);
        QFont f("Liberation Sans");
        f.setPixelSize(13);
        QApplication::setFont(f);
        platform::qt::SystemColors::Instance().SetOverride(
            platform::qt::SystemColors::ClassicPalette());
    }
    return *AppHolder();
}

std::string Fmt(const char* name, std::initializer_list<int> values) {
    std::string s = name;
    for (int v : values)
        s += " " + std::to_string(v);
    return s;
}

RecordingGrid::RecordingGrid() {
    source.log = &log;
    source.SetGrid(this);
    Info().dataSource = &source;
}

void ShowGrid(RecordingGrid& g, int width, int height, int columns, int rows) {
    App();
    g.CreateInParent(0, QRect(0, 0, width, height), nullptr, 1);
    g.SetColumnCount(columns);
    g.SetRowCount(rows);
    QApplication::setActiveWindow(&g);
    g.CellArea()->setFocus();
    Settle();
    g.log.clear();
}

QImage Grab(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void Settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

} // namespace grid_test
