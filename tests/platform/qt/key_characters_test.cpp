// A key's character without Shift: from the keymap's keysym, and the US fold where no keymap is.
#include "platform/qt/key_characters.h"
#include "platform/qt/virtual_keys.h"
#include "tests/support/qt_test_app.h"

#include <QKeyEvent>
#include <gtest/gtest.h>

namespace {

using namespace platform::qt;

TEST(KeyCharacters, KeysymsAsTheLayoutGivesThem) {
    struct Case {
        std::uint32_t keysym;
        int character;
    };
    const Case cases[] = {
        {'a', 'A'},     {'z', 'Z'},
        {'1', '1'},     {';', ';'},
        {'-', '-'},     {0xE4, 0xC4},
        {0xDF, 0xDF},                                // a-umlaut, sharp s
        {0xF7, 0xF7},   {0xFE51, kDeadKeyCharacter}, // dead_acute
        {0xFF0D, 0x0D}, {0xFFB7, '7'},
        {0xFFAB, '+'},  {0xFFE1, -1},
        {0xFF52, -1},   {0xFFBE, -1}, // Shift_L, Up, F1
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeysymCharacter(c.keysym), c.character) << std::hex << c.keysym;
}

TEST(KeyCharacters, UsFoldWithoutAKeymap) {
    testsupport::QtApp();
    struct Case {
        int qtKey;
        Qt::KeyboardModifiers mods;
        int character;
    };
    const Case cases[] = {
        {Qt::Key_A, {}, 'A'},
        {Qt::Key_A, Qt::ShiftModifier, 'A'},
        {Qt::Key_Exclam, Qt::ShiftModifier, '1'}, // the key of '!' gives '1' unshifted
        {Qt::Key_Colon, Qt::ShiftModifier, ';'},
        {Qt::Key_BraceLeft, Qt::ShiftModifier, '['},
        {Qt::Key_QuoteDbl, Qt::ShiftModifier, '\''},
        {Qt::Key_7, Qt::KeypadModifier, '7'},
        {Qt::Key_Space, {}, ' '},
        {Qt::Key_Up, {}, -1},
        {Qt::Key_F5, {}, -1},
        {Qt::Key_Shift, Qt::ShiftModifier, -1},
    };
    for (const Case& c : cases) {
        const QKeyEvent event(QEvent::KeyPress, c.qtKey, c.mods);
        EXPECT_EQ(UnshiftedKeyCharacter(event), c.character) << c.qtKey;
    }
    EXPECT_EQ(UsUnshiftedCharacter(VK_OEM_3), '`');
    EXPECT_EQ(UsUnshiftedCharacter(VK_F1), -1);
}

} // namespace
