// Colour values and the system-colour service: the byte order, the override table over the
// application palette, and the change notice.
#include "platform/qt/colors.h"
#include "tests/support/qt_test_app.h"

#include <QPalette>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using namespace platform::qt;

TEST(ColorRef, RedIsTheLowByteBothWays) {
    struct Case {
        COLORREF ref;
        QColor qt;
    };
    const Case cases[] = {
        {0x0000FF, QColor(255, 0, 0)},   {0x00FF00, QColor(0, 255, 0)},
        {0xFF0000, QColor(0, 0, 255)},   {0x4080FF, QColor(255, 128, 64)},
        {RGB(1, 2, 3), QColor(1, 2, 3)}, {0xFF123456, QColor(0x56, 0x34, 0x12)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToQColor(c.ref), c.qt) << std::hex << c.ref;
        EXPECT_EQ(ToColorRef(c.qt), c.ref & 0xFFFFFF) << std::hex << c.ref;
    }
    EXPECT_EQ(GetRValue(0x4080FF), 0xFF);
    EXPECT_EQ(GetGValue(0x4080FF), 0x80);
    EXPECT_EQ(GetBValue(0x4080FF), 0x40);
}

TEST(SystemColors, OverrideReplacesThePaletteAndClearingRestoresIt) {
    qt_testing::QtTestApp();
    SystemColors& colours = SystemColors::Instance();
    colours.ClearOverride();
    const QPalette saved = QGuiApplication::palette();
    QPalette palette = saved;
    palette.setColor(QPalette::Button, QColor(10, 20, 30));
    palette.setColor(QPalette::Highlight, QColor(200, 100, 50));
    palette.setColor(QPalette::Base, QColor(250, 240, 230));
    QGuiApplication::setPalette(palette);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(10, 20, 30));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(200, 100, 50));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(250, 240, 230));
    {
        ScopedSystemColors classic;
        EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
        EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(10, 36, 106));
        EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
        EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), RGB(0, 0, 0));
        EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(128, 128, 128));
        EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), RGB(255, 255, 255));
        {
            ScopedSystemColors inner(SystemColors::ClassicPalette());
            colours.SetOverride(COLOR_WINDOW, RGB(1, 2, 3));
            EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(1, 2, 3));
        }
        EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    }
    EXPECT_FALSE(colours.HasOverride());
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(10, 20, 30));
    // Indices outside the table read black and cannot be overridden.
    colours.SetOverride(31, RGB(9, 9, 9));
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColor(31), 0u);
    EXPECT_FALSE(colours.HasOverride());
    QGuiApplication::setPalette(saved);
}

TEST(SystemColors, ChangesAreNoticed) {
    qt_testing::QtTestApp();
    SystemColors& colours = SystemColors::Instance();
    QSignalSpy changed(&colours, &SystemColors::Changed);
    colours.SetOverride(COLOR_MENU, RGB(1, 1, 1));
    colours.ClearOverride();
    EXPECT_EQ(changed.count(), 2);

    const QPalette saved = QGuiApplication::palette();
    QPalette palette = saved;
    palette.setColor(QPalette::Window, QColor(33, 44, 55));
    QGuiApplication::setPalette(palette);
    EXPECT_GE(changed.count(), 3);
    EXPECT_EQ(GetSysColor(COLOR_MENU), RGB(33, 44, 55));
    QGuiApplication::setPalette(saved);
}

} // namespace
