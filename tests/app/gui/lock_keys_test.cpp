// The lock-key indicators of the main window's status bar: the panes follow the state source they
// are given, and without an X server every lock reads off.
#include "app/gui/vl_frame.h"
#include "app/vl_app.h"
#include "controls/commandbars/aux_data.h"
#include "controls/toolbox/status_bar.h"
#include "platform/qt/lock_keys.h"
#include "tests/support/qt_test_app.h"

#include <QFontMetrics>
#include <gtest/gtest.h>
#include <memory>

namespace {

using platform::qt::LockKeySource;
using platform::qt::LockKeyState;

class FakeLockKeys final : public LockKeySource {
public:
    LockKeyState State() const override { return state; }
    void Set(LockKeyState next) {
        state = next;
        emit Changed();
    }
    LockKeyState state;
};

TEST(LockKeys, OffTheXServerEveryLockReadsOff) {
    testsupport::QtApp();
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        GTEST_SKIP() << "an X server answers here";
    const std::unique_ptr<LockKeySource> source = platform::qt::MakeLockKeySource();
    EXPECT_EQ(source->State(), LockKeyState{});
}

class LockKeyPanes : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        testsupport::QtApp();
        toolkit_ = new CGVPToolkit;
    }
    static void TearDownTestSuite() {
        delete toolkit_;
        toolkit_ = nullptr;
    }
    static CGVPToolkit* toolkit_;

    QStringList LockTexts() const {
        CYNStatusBar* bar = frame_.StatusBar();
        return {bar->GetPaneText(3), bar->GetPaneText(4), bar->GetPaneText(5)};
    }

    CVLApp app_;
    CVLFrame frame_{app_};
};
CGVPToolkit* LockKeyPanes::toolkit_ = nullptr;

TEST_F(LockKeyPanes, FollowTheStateSourceAndFitTheirTexts) {
    // Off the X server the frame's own source leaves the panes blank.
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        EXPECT_EQ(LockTexts(), QStringList({"", "", ""}));
    }

    auto owned = std::make_unique<FakeLockKeys>();
    FakeLockKeys* source = owned.get();
    source->state = {true, false, true};
    frame_.SetLockKeySource(std::move(owned));
    EXPECT_EQ(LockTexts(), QStringList({"CAP", "", "SCRL"}));

    struct Step {
        LockKeyState state;
        QStringList texts;
    };
    const Step steps[] = {
        {{false, true, true}, {"", "NUM", "SCRL"}},
        {{true, true, false}, {"CAP", "NUM", ""}},
        {{false, false, false}, {"", "", ""}},
        {{true, true, true}, {"CAP", "NUM", "SCRL"}},
    };
    for (const Step& step : steps) {
        source->Set(step.state);
        EXPECT_EQ(LockTexts(), step.texts);
    }

    // Each pane is as wide as its text in the bar's font, whether the lock is on or off.
    CYNStatusBar* bar = frame_.StatusBar();
    const QFontMetrics metrics(bar->font());
    const char* texts[] = {"CAP", "NUM", "SCRL"};
    for (int pane = 3; pane <= 5; ++pane) {
        unsigned id = 0;
        unsigned style = 0;
        int width = 0;
        bar->GetPaneInfo(pane, id, style, width);
        EXPECT_EQ(id, 59134u + pane);
        EXPECT_EQ(width, metrics.horizontalAdvance(QLatin1String(texts[pane - 3]))) << pane;
    }
}

} // namespace
