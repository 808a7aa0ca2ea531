#include "controls/commandbars/key_names.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint8_t V = GVPAccel::kVirtKey, C = GVPAccel::kControl, A = GVPAccel::kAlt,
                       S = GVPAccel::kShift;

std::uint8_t Flags(int f) {
    return static_cast<std::uint8_t>(f);
}

QString Format(int flags, int key) {
    const GVPAccel accel{Flags(flags), static_cast<std::uint16_t>(key), 1};
    QString text = QStringLiteral("junk");
    CGVPShortcutManager::CKeyHelper(&accel).Format(text);
    return text;
}

} // namespace

TEST(KeyNames, FormatsEntries) {
    struct Case {
        int flags, key;
        const char* text;
    };
    const Case cases[] = {
        {V | C | S, 0x53, "Ctrl+Shift+S"},
        {V | A, 0x73, "Alt+F4"},
        {V | S | A | C, 0x41, "Ctrl+Alt+Shift+A"},
        {V | C, 0, "Ctrl"},
        {V, 0, ""},
        {V | C, 0x2D, "Ctrl+Ins"},
        {V, 0x2E, "Del"},
        {V, 0x79, "F10"},
        {V, 0x7B, "F12"},
        {V, 0x60, "Num 0"},
        {V, 0x69, "Num 9"},
        {V, 0x6B, "Num +"},
        {V, 0x39, "9"},
        {V, 0x1B, "Esc"},
        {V, 0xFE, "Oem Clear"},
        // Outside the table: the desktop's key name, lower case with the first letter raised.
        {V, 0xC0, "`"},
        {V | C, 0xBC, "Ctrl+,"},
        {V, 0x7C, "F13"},
        // A character accelerator appends its character, never a table name.
        {C, 'a', "Ctrl+a"},
        {0, '1', "1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Format(c.flags, c.key).toStdString(), c.text) << std::hex << c.key;

    QString text = QStringLiteral("x");
    CGVPShortcutManager::CKeyHelper(nullptr).Format(text);
    EXPECT_TRUE(text.isEmpty());
}

TEST(KeyNames, PriorityPrefersNoModifierThenCtrl) {
    auto priority = [](int flags) {
        const GVPAccel accel{Flags(flags), 0x41, 1};
        return CGVPShortcutManager::CKeyHelper(&accel).GetPriority();
    };
    EXPECT_EQ(CGVPShortcutManager::CKeyHelper(nullptr).GetPriority(), 0);
    EXPECT_EQ(priority(V), 4);
    EXPECT_EQ(priority(V | C | S), 3);
    EXPECT_EQ(priority(V | A | S), 2);
    EXPECT_EQ(priority(V | S), 1);
}

TEST(KeyNames, FindShortcutPicksBestEntry) {
    const std::vector<GVPAccel> table = {
        {Flags(V | S), 0x79, 10}, {Flags(V), 0x79, 10},     // Shift+F10, F10
        {Flags(V | C), 0x2D, 20}, {Flags(V | S), 0x2D, 20}, // Ctrl+Ins, Shift+Ins
        {Flags(V | S), 0x2E, 30}, {Flags(V | C), 0x58, 30}, // Shift+Del, Ctrl+X
        {Flags(V | C), 0x53, 40},
    };
    struct Case {
        unsigned id;
        const char* before;
        bool found;
        const char* after;
    };
    const Case cases[] = {
        {10, "", true, "F10"},
        {20, "", true, "Ctrl+Ins"},
        {30, "", true, "Ctrl+X"},
        // A text that already shows one of the command's shortcuts stays.
        {30, "Shift+Del", true, "Shift+Del"},
        {40, "Ctrl+Q", true, "Ctrl+S"},
        {99, "Ctrl+Q", false, ""},
    };
    for (const Case& c : cases) {
        QString text = QString::fromLatin1(c.before);
        EXPECT_EQ(CGVPShortcutManager::FindShortcut(c.id, text, &table), c.found) << c.id;
        EXPECT_EQ(text.toStdString(), c.after) << c.id;
    }
    QString text = QStringLiteral("kept");
    EXPECT_FALSE(CGVPShortcutManager::FindShortcut(10, text, nullptr));
    EXPECT_EQ(text, QStringLiteral("kept"));
}

TEST(KeyNames, CharToUpperFollowsTheStringClass) {
    EXPECT_EQ(CharToUpper(QLatin1Char('a')), QLatin1Char('A'));
    EXPECT_EQ(CharToUpper(QChar(0xE9)), QChar(0xC9));
    EXPECT_EQ(CharToUpper(QLatin1Char('&')), QLatin1Char('&'));
}
