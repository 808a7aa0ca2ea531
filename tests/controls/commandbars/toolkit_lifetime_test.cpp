#include "controls/commandbars/aux_data.h"
#include "controls/commandbars/mouse_manager.h"
#include "controls/commandbars/shadow.h"
#include "controls/commandbars/sound.h"
#include "tests/controls/commandbars/paint_fixture.h"

#include <gtest/gtest.h>

#include <QPointer>

namespace {

using ToolkitLifetimeTest = painttest::PaintTest;

// Exit destroys the managers Init made; a second Init builds fresh, working ones, so no bar of
// a later run talks to a manager of an earlier one.
TEST_F(ToolkitLifetimeTest, ExitDestroysManagersAndInitRebuildsThem) {
    GVPToolkitInit();
    QPointer<CGVPMouseManager> mouse = CGVPMouseManager::GetMouseManager();
    QPointer<CGVPHookManager> hooks = &CGVPHookManager::Instance();
    ASSERT_TRUE(mouse);
    ASSERT_TRUE(hooks);
    mouse->LockMouseMove();
    ASSERT_NE(GetShadowsManager(), nullptr);
    ASSERT_NE(GetMenuSoundPlayer(), nullptr);

    GVPToolkitExit();
    EXPECT_TRUE(mouse.isNull());
    EXPECT_TRUE(hooks.isNull());
    EXPECT_EQ(GetShadowsManager(), nullptr);
    EXPECT_EQ(GetMenuSoundPlayer(), nullptr);

    GVPToolkitInit();
    CGVPMouseManager* fresh = CGVPMouseManager::GetMouseManager();
    ASSERT_NE(fresh, nullptr);
    EXPECT_FALSE(fresh->IsLocked());
    EXPECT_FALSE(fresh->IsTracking());
    EXPECT_FALSE(CGVPHookManager::Instance().HasKeyboardListeners());
    EXPECT_NE(GetShadowsManager(), nullptr);
}

} // namespace
