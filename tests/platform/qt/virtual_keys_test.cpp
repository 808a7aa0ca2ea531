// Virtual-key codes from Qt keys and back, and the key state as the application's input events
// leave it.
#include "platform/qt/virtual_keys.h"
#include "tests/support/qt_test_app.h"

#include <QKeyEvent>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

using namespace platform::qt;

TEST(VirtualKeys, FromQtKeys) {
    struct Case {
        int qt;
        Qt::KeyboardModifiers mods;
        int vk;
    };
    const Case cases[] = {
        {Qt::Key_Return, {}, VK_RETURN},
        {Qt::Key_Enter, Qt::KeypadModifier, VK_RETURN},
        {Qt::Key_Tab, {}, VK_TAB},
        {Qt::Key_Backtab, Qt::ShiftModifier, VK_TAB},
        {Qt::Key_Escape, {}, VK_ESCAPE},
        {Qt::Key_A, {}, 'A'},
        {Qt::Key_Z, Qt::ShiftModifier, 'Z'},
        {Qt::Key_5, {}, '5'},
        {Qt::Key_5, Qt::KeypadModifier, VK_NUMPAD0 + 5},
        {Qt::Key_Asterisk, Qt::KeypadModifier, VK_MULTIPLY},
        {Qt::Key_Asterisk, Qt::ShiftModifier, '8'},
        {Qt::Key_Exclam, Qt::ShiftModifier, '1'},
        {Qt::Key_Plus, Qt::KeypadModifier, VK_ADD},
        {Qt::Key_Plus, Qt::ShiftModifier, VK_OEM_PLUS},
        {Qt::Key_Minus, {}, VK_OEM_MINUS},
        {Qt::Key_Period, Qt::KeypadModifier, VK_DECIMAL},
        {Qt::Key_Home, Qt::KeypadModifier, VK_HOME},
        {Qt::Key_PageUp, {}, VK_PRIOR},
        {Qt::Key_PageDown, {}, VK_NEXT},
        {Qt::Key_F1, {}, VK_F1},
        {Qt::Key_F12, {}, VK_F1 + 11},
        {Qt::Key_Delete, {}, VK_DELETE},
        {Qt::Key_Insert, {}, VK_INSERT},
        {Qt::Key_Shift, {}, VK_SHIFT},
        {Qt::Key_Control, {}, VK_CONTROL},
        {Qt::Key_Alt, {}, VK_MENU},
        {Qt::Key_CapsLock, {}, VK_CAPITAL},
        {Qt::Key_BracketLeft, {}, VK_OEM_4},
        {Qt::Key_unknown, {}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VirtualKeyFromQtKey(c.qt, c.mods), c.vk) << std::hex << c.qt;
}

TEST(VirtualKeys, BackToQtKeys) {
    struct Case {
        int vk;
        int qt;
    };
    const Case cases[] = {
        {VK_RETURN, Qt::Key_Return},
        {VK_TAB, Qt::Key_Tab},
        {'A', Qt::Key_A},
        {'7', Qt::Key_7},
        {VK_NUMPAD0 + 3, Qt::Key_3},
        {VK_F1 + 4, Qt::Key_F5},
        {VK_PRIOR, Qt::Key_PageUp},
        {VK_MULTIPLY, Qt::Key_Asterisk},
        {VK_OEM_2, Qt::Key_Slash},
        {VK_LSHIFT, Qt::Key_Shift},
        {VK_APPS, Qt::Key_Menu},
        {0xFF, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QtKeyFromVirtualKey(c.vk), c.qt) << std::hex << c.vk;
}

TEST(KeyState, FollowsTheEventsTheApplicationDelivers) {
    qt_testing::QtTestApp();
    KeyState& keys = KeyState::Instance();
    keys.Reset();
    QWidget widget;
    widget.resize(50, 50);
    widget.show();

    QTest::keyPress(&widget, Qt::Key_Shift);
    EXPECT_TRUE(keys.IsDown(VK_SHIFT));
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    QTest::keyPress(&widget, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_TRUE(keys.IsDown(VK_RETURN));
    QKeyEvent releaseReturn(QEvent::KeyRelease, Qt::Key_Return, Qt::ShiftModifier);
    QCoreApplication::sendEvent(&widget, &releaseReturn);
    EXPECT_FALSE(keys.IsDown(VK_RETURN));
    EXPECT_TRUE(keys.IsDown(VK_SHIFT));
    QTest::keyRelease(&widget, Qt::Key_Shift);
    EXPECT_FALSE(keys.IsDown(VK_SHIFT));
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0);

    // A release seen nowhere is corrected by the next event's modifiers.
    QTest::keyPress(&widget, Qt::Key_Control);
    EXPECT_TRUE(keys.IsDown(VK_CONTROL));
    QTest::keyClick(&widget, Qt::Key_X);
    EXPECT_FALSE(keys.IsDown(VK_CONTROL));
    // ...and a modifier pressed elsewhere by the modifiers of a click here.
    QTest::mousePress(&widget, Qt::LeftButton, Qt::ControlModifier, QPoint(5, 5));
    EXPECT_TRUE(keys.IsDown(VK_CONTROL));
    EXPECT_TRUE(keys.IsDown(VK_LBUTTON));
    QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_FALSE(keys.IsDown(VK_LBUTTON));
    EXPECT_FALSE(keys.IsDown(VK_CONTROL));

    // Each press flips the toggle; the repeated delivery of one press to parents does not.
    QWidget child(&widget);
    child.show();
    EXPECT_FALSE(keys.IsToggled(VK_CAPITAL));
    QTest::keyClick(&child, Qt::Key_CapsLock);
    EXPECT_TRUE(keys.IsToggled(VK_CAPITAL));
    EXPECT_EQ(GetKeyState(VK_CAPITAL), 1);
    QTest::keyClick(&child, Qt::Key_CapsLock);
    EXPECT_FALSE(keys.IsToggled(VK_CAPITAL));

    // Losing the activation releases everything held.
    QTest::keyPress(&widget, Qt::Key_Down);
    EXPECT_TRUE(keys.IsDown(VK_DOWN));
    QEvent deactivate(QEvent::ApplicationDeactivate);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &deactivate);
    EXPECT_FALSE(keys.IsDown(VK_DOWN));
}

TEST(KeyState, ForcedDownForAScope) {
    qt_testing::QtTestApp();
    KeyState& keys = KeyState::Instance();
    keys.Reset();
    QWidget widget;
    widget.show();
    EXPECT_FALSE(keys.IsDown(VK_RETURN));
    {
        ScopedKeyDown enter(VK_RETURN);
        EXPECT_TRUE(keys.IsDown(VK_RETURN));
        {
            ScopedKeyDown again(VK_RETURN);
            QTest::keyClick(&widget, Qt::Key_Return); // a real release does not end the scope
            EXPECT_TRUE(keys.IsDown(VK_RETURN));
        }
        EXPECT_TRUE(keys.IsDown(VK_RETURN));
    }
    EXPECT_FALSE(keys.IsDown(VK_RETURN));
}

} // namespace
