#include "platform/qt/key_characters.h"

#include "platform/qt/virtual_keys.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <cstdlib>
#include <xcb/xcb.h>

namespace platform::qt {

namespace {

xcb_connection_t* XConnection() {
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// The first keysym of a keycode in the server's mapping (the core mapping the server derives
// from its keyboard extension's keymap: group 1, level 1 first); 0 when none.
std::uint32_t FirstKeysym(xcb_connection_t* connection, std::uint32_t keycode) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    if (keycode < setup->min_keycode || keycode > setup->max_keycode)
        return 0;
    const xcb_get_keyboard_mapping_cookie_t cookie =
        xcb_get_keyboard_mapping(connection, static_cast<xcb_keycode_t>(keycode), 1);
    xcb_get_keyboard_mapping_reply_t* reply =
        xcb_get_keyboard_mapping_reply(connection, cookie, nullptr);
    if (!reply)
        return 0;
    std::uint32_t keysym = 0;
    if (reply->keysyms_per_keycode > 0 && xcb_get_keyboard_mapping_keysyms_length(reply) > 0)
        keysym = xcb_get_keyboard_mapping_keysyms(reply)[0];
    std::free(reply);
    return keysym;
}

} // namespace

int KeysymCharacter(std::uint32_t keysym) {
    if (keysym >= 'a' && keysym <= 'z')
        return static_cast<int>(keysym - 'a' + 'A');
    if (keysym >= 0x20 && keysym <= 0x7E)
        return static_cast<int>(keysym);
    if (keysym >= 0xE0 && keysym <= 0xFE && keysym != 0xF7) // Latin-1 small letters
        return static_cast<int>(keysym - 0x20);
    if (keysym >= 0xA0 && keysym <= 0xFF)
        return static_cast<int>(keysym);
    if (keysym >= 0xFE50 && keysym <= 0xFE93) // dead_grave ... dead keys
        return kDeadKeyCharacter;
    switch (keysym) {
    case 0xFF08:
        return 0x08; // BackSpace
    case 0xFF09:
        return 0x09; // Tab
    case 0xFF0D:
        return 0x0D; // Return
    case 0xFF1B:
        return 0x1B; // Escape
    case 0xFF8D:
        return 0x0D; // KP_Enter
    case 0xFFAA:
        return '*';
    case 0xFFAB:
        return '+';
    case 0xFFAD:
        return '-';
    case 0xFFAE:
        return '.';
    case 0xFFAF:
        return '/';
    default:
        break;
    }
    if (keysym >= 0xFFB0 && keysym <= 0xFFB9) // KP_0 ... KP_9
        return static_cast<int>('0' + (keysym - 0xFFB0));
    return -1;
}

int UsUnshiftedCharacter(int vk) {
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return vk;
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        return '0' + (vk - VK_NUMPAD0);
    switch (vk) {
    case VK_BACK:
        return 0x08;
    case VK_TAB:
        return 0x09;
    case VK_RETURN:
        return 0x0D;
    case VK_ESCAPE:
        return 0x1B;
    case VK_SPACE:
        return ' ';
    case VK_MULTIPLY:
        return '*';
    case VK_ADD:
        return '+';
    case VK_SUBTRACT:
        return '-';
    case VK_DECIMAL:
        return '.';
    case VK_DIVIDE:
        return '/';
    case VK_OEM_1:
        return ';';
    case VK_OEM_PLUS:
        return '=';
    case VK_OEM_COMMA:
        return ',';
    case VK_OEM_MINUS:
        return '-';
    case VK_OEM_PERIOD:
        return '.';
    case VK_OEM_2:
        return '/';
    case VK_OEM_3:
        return '`';
    case VK_OEM_4:
        return '[';
    case VK_OEM_5:
        return '\\';
    case VK_OEM_6:
        return ']';
    case VK_OEM_7:
        return '\'';
    default:
        return -1;
    }
}

int UnshiftedKeyCharacter(const QKeyEvent& event) {
    if (const quint32 keycode = event.nativeScanCode(); keycode != 0) {
        if (xcb_connection_t* connection = XConnection()) {
            if (const std::uint32_t keysym = FirstKeysym(connection, keycode); keysym != 0)
                return KeysymCharacter(keysym);
        }
    }
    return UsUnshiftedCharacter(VirtualKeyFromEvent(event));
}

} // namespace platform::qt
