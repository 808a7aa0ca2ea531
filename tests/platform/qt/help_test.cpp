#include "platform/qt/help.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/scripted_ui.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(Help, ShippedPageIsFoundAndAMissingOneIsReported) {
    qt_testing::QtTestApp();
    EXPECT_TRUE(platform::qt::HelpFile(VELMORA_SOURCE_DIR "/data"));
    testing_support::ScriptedUi ui;
    EXPECT_FALSE(platform::qt::OpenHelp("/nonexistent-velmora"));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Failed to launch help."});
}

} // namespace
