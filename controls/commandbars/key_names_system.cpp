#include "controls/commandbars/key_names_system.h"

#include <QKeySequence>

namespace {

// Virtual keys outside the fixed name table, as Qt knows them.
int QtKeyOf(int vk) {
    switch (vk) {
    case 0x15:
        return Qt::Key_Kana_Shift;
    case 0x19:
        return Qt::Key_Kanji;
    case 0x5F:
        return Qt::Key_Sleep;
    case 0x7C:
    case 0x7D:
    case 0x7E:
    case 0x7F:
    case 0x80:
    case 0x81:
    case 0x82:
    case 0x83:
    case 0x84:
    case 0x85:
    case 0x86:
    case 0x87:
        return Qt::Key_F13 + (vk - 0x7C);
    case 0xA0:
    case 0xA1:
        return Qt::Key_Shift;
    case 0xA2:
    case 0xA3:
        return Qt::Key_Control;
    case 0xA4:
    case 0xA5:
        return Qt::Key_Alt;
    case 0xA6:
        return Qt::Key_Back;
    case 0xA7:
        return Qt::Key_Forward;
    case 0xA8:
        return Qt::Key_Refresh;
    case 0xA9:
        return Qt::Key_Stop;
    case 0xAA:
        return Qt::Key_Search;
    case 0xAB:
        return Qt::Key_Favorites;
    case 0xAC:
        return Qt::Key_HomePage;
    case 0xAD:
        return Qt::Key_VolumeMute;
    case 0xAE:
        return Qt::Key_VolumeDown;
    case 0xAF:
        return Qt::Key_VolumeUp;
    case 0xB0:
        return Qt::Key_MediaNext;
    case 0xB1:
        return Qt::Key_MediaPrevious;
    case 0xB2:
        return Qt::Key_MediaStop;
    case 0xB3:
        return Qt::Key_MediaPlay;
    case 0xB4:
        return Qt::Key_LaunchMail;
    case 0xBA:
        return Qt::Key_Semicolon;
    case 0xBB:
        return Qt::Key_Equal;
    case 0xBC:
        return Qt::Key_Comma;
    case 0xBD:
        return Qt::Key_Minus;
    case 0xBE:
        return Qt::Key_Period;
    case 0xBF:
        return Qt::Key_Slash;
    case 0xC0:
        return Qt::Key_QuoteLeft;
    case 0xDB:
        return Qt::Key_BracketLeft;
    case 0xDC:
        return Qt::Key_Backslash;
    case 0xDD:
        return Qt::Key_BracketRight;
    case 0xDE:
        return Qt::Key_Apostrophe;
    case 0xE2:
        return Qt::Key_Less;
    default:
        return 0;
    }
}

} // namespace

QString SystemKeyName(int virtualKey) {
    const int key = QtKeyOf(virtualKey);
    if (key == 0)
        return {};
    return QKeySequence(key).toString(QKeySequence::PortableText);
}
