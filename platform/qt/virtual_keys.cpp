#include "platform/qt/virtual_keys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace platform::qt {

namespace {

struct KeyPair {
    int qt;
    int vk;
};

// Canonical pairs first: the reverse map takes the first pair of a virtual key.
constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, VK_BACK},
    {Qt::Key_Tab, VK_TAB},
    {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Clear, VK_CLEAR},
    {Qt::Key_Return, VK_RETURN},
    {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL},
    {Qt::Key_Alt, VK_MENU},
    {Qt::Key_AltGr, VK_MENU},
    {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_CapsLock, VK_CAPITAL},
    {Qt::Key_Escape, VK_ESCAPE},
    {Qt::Key_Space, VK_SPACE},
    {Qt::Key_PageUp, VK_PRIOR},
    {Qt::Key_PageDown, VK_NEXT},
    {Qt::Key_End, VK_END},
    {Qt::Key_Home, VK_HOME},
    {Qt::Key_Left, VK_LEFT},
    {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},
    {Qt::Key_Down, VK_DOWN},
    {Qt::Key_Select, VK_SELECT},
    {Qt::Key_Printer, VK_PRINT},
    {Qt::Key_Execute, VK_EXECUTE},
    {Qt::Key_Print, VK_SNAPSHOT},
    {Qt::Key_Insert, VK_INSERT},
    {Qt::Key_Delete, VK_DELETE},
    {Qt::Key_Help, VK_HELP},
    {Qt::Key_Meta, VK_LWIN},
    {Qt::Key_Super_L, VK_LWIN},
    {Qt::Key_Super_R, VK_RWIN},
    {Qt::Key_Menu, VK_APPS},
    {Qt::Key_NumLock, VK_NUMLOCK},
    {Qt::Key_ScrollLock, VK_SCROLL},
    {Qt::Key_Semicolon, VK_OEM_1},
    {Qt::Key_Colon, VK_OEM_1},
    {Qt::Key_Equal, VK_OEM_PLUS},
    {Qt::Key_Plus, VK_OEM_PLUS},
    {Qt::Key_Comma, VK_OEM_COMMA},
    {Qt::Key_Less, VK_OEM_COMMA},
    {Qt::Key_Minus, VK_OEM_MINUS},
    {Qt::Key_Underscore, VK_OEM_MINUS},
    {Qt::Key_Period, VK_OEM_PERIOD},
    {Qt::Key_Greater, VK_OEM_PERIOD},
    {Qt::Key_Slash, VK_OEM_2},
    {Qt::Key_Question, VK_OEM_2},
    {Qt::Key_QuoteLeft, VK_OEM_3},
    {Qt::Key_AsciiTilde, VK_OEM_3},
    {Qt::Key_BracketLeft, VK_OEM_4},
    {Qt::Key_BraceLeft, VK_OEM_4},
    {Qt::Key_Backslash, VK_OEM_5},
    {Qt::Key_Bar, VK_OEM_5},
    {Qt::Key_BracketRight, VK_OEM_6},
    {Qt::Key_BraceRight, VK_OEM_6},
    {Qt::Key_Apostrophe, VK_OEM_7},
    {Qt::Key_QuoteDbl, VK_OEM_7},
    {Qt::Key_ParenRight, '0'},
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
};

// Keys whose meaning changes on the keypad.
constexpr KeyPair kKeypad[] = {
    {Qt::Key_Asterisk, VK_MULTIPLY}, {Qt::Key_Plus, VK_ADD},      {Qt::Key_Minus, VK_SUBTRACT},
    {Qt::Key_Period, VK_DECIMAL},    {Qt::Key_Comma, VK_DECIMAL}, {Qt::Key_Slash, VK_DIVIDE},
};

// X keysyms of the left and right modifier keys.
constexpr quint32 kShiftL = 0xffe1, kShiftR = 0xffe2, kControlL = 0xffe3, kControlR = 0xffe4,
                  kAltL = 0xffe9, kAltR = 0xffea, kAltGr = 0xfe03;

bool IsModifierVk(int vk) {
    return vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU;
}

} // namespace

int VirtualKeyFromQtKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return keypad ? VK_NUMPAD0 + (qtKey - Qt::Key_0) : qtKey;
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return VK_F1 + (qtKey - Qt::Key_F1);
    if (keypad)
        for (const KeyPair& k : kKeypad)
            if (k.qt == qtKey)
                return k.vk;
    for (const KeyPair& k : kKeys)
        if (k.qt == qtKey)
            return k.vk;
    return 0;
}

int VirtualKeyFromEvent(const QKeyEvent& event) {
    const int vk = VirtualKeyFromQtKey(event.key(), event.modifiers());
    if (!IsModifierVk(vk))
        return vk;
    switch (event.nativeVirtualKey()) {
    case kShiftL:
        return VK_LSHIFT;
    case kShiftR:
        return VK_RSHIFT;
    case kControlL:
        return VK_LCONTROL;
    case kControlR:
        return VK_RCONTROL;
    case kAltL:
        return VK_LMENU;
    case kAltR:
    case kAltGr:
        return VK_RMENU;
    default:
        return vk;
    }
}

int QtKeyFromVirtualKey(int vk) {
    if (vk >= '0' && vk <= '9')
        return vk;
    if (vk >= 'A' && vk <= 'Z')
        return vk;
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        return Qt::Key_0 + (vk - VK_NUMPAD0);
    if (vk >= VK_F1 && vk <= VK_F24)
        return Qt::Key_F1 + (vk - VK_F1);
    for (const KeyPair& k : kKeypad)
        if (k.vk == vk)
            return k.qt;
    switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT:
        return Qt::Key_Shift;
    case VK_LCONTROL:
    case VK_RCONTROL:
        return Qt::Key_Control;
    case VK_LMENU:
    case VK_RMENU:
        return Qt::Key_Alt;
    default:
        break;
    }
    for (const KeyPair& k : kKeys)
        if (k.vk == vk)
            return k.qt;
    return 0;
}

KeyState& KeyState::Instance() {
    static KeyState* instance = new KeyState; // lives as long as the process
    instance->Watch();
    return *instance;
}

void KeyState::Watch() {
    QCoreApplication* app = QCoreApplication::instance();
    if (app && watched_ != app) {
        app->installEventFilter(this);
        watched_ = app;
    }
}

bool KeyState::IsDown(int vk) const {
    if (vk < 0 || vk > 255)
        return false;
    return down_[vk] || forced_[vk] > 0;
}

bool KeyState::IsToggled(int vk) const {
    return vk >= 0 && vk <= 255 && toggled_[vk];
}

std::int16_t KeyState::GetKeyState(int vk) const {
    std::uint16_t state = 0;
    if (IsDown(vk))
        state |= 0x8000;
    if (IsToggled(vk))
        state |= 1;
    return static_cast<std::int16_t>(state);
}

void KeyState::Reset() {
    down_.fill(false);
    toggled_.fill(false);
}

void KeyState::SetDown(int vk, bool down) {
    if (vk <= 0 || vk > 255)
        return;
    if (down && !down_[vk])
        toggled_[vk] = !toggled_[vk];
    down_[vk] = down;
}

void KeyState::SyncModifiers(Qt::KeyboardModifiers modifiers, int except) {
    struct Modifier {
        Qt::KeyboardModifier flag;
        int vk, left, right;
    };
    static constexpr Modifier kModifiers[] = {
        {Qt::ShiftModifier, VK_SHIFT, VK_LSHIFT, VK_RSHIFT},
        {Qt::ControlModifier, VK_CONTROL, VK_LCONTROL, VK_RCONTROL},
        {Qt::AltModifier, VK_MENU, VK_LMENU, VK_RMENU},
    };
    for (const Modifier& m : kModifiers) {
        if (m.vk == except)
            continue;
        const bool on = modifiers.testFlag(m.flag);
        if (on && !down_[m.vk]) {
            down_[m.vk] = true; // the press went elsewhere: no toggle
        } else if (!on) {
            down_[m.vk] = down_[m.left] = down_[m.right] = false;
        }
    }
}

void KeyState::SyncButtons(Qt::MouseButtons buttons) {
    down_[VK_LBUTTON] = buttons.testFlag(Qt::LeftButton);
    down_[VK_RBUTTON] = buttons.testFlag(Qt::RightButton);
    down_[VK_MBUTTON] = buttons.testFlag(Qt::MiddleButton);
    down_[VK_XBUTTON1] = buttons.testFlag(Qt::BackButton);
    down_[VK_XBUTTON2] = buttons.testFlag(Qt::ForwardButton);
}

bool KeyState::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride: // the press itself may never arrive when a shortcut takes it
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* key = static_cast<const QKeyEvent*>(event);
        const bool press = event->type() != QEvent::KeyRelease;
        const int vk = VirtualKeyFromEvent(*key);
        int generic = vk;
        if (vk == VK_LSHIFT || vk == VK_RSHIFT)
            generic = VK_SHIFT;
        else if (vk == VK_LCONTROL || vk == VK_RCONTROL)
            generic = VK_CONTROL;
        else if (vk == VK_LMENU || vk == VK_RMENU)
            generic = VK_MENU;
        // A key event is delivered again to each parent it propagates to: the down flag makes
        // the repeats harmless (a toggle flips only when a key goes down).
        if (!(key->isAutoRepeat() && !press)) {
            SetDown(vk, press);
            if (generic != vk)
                SetDown(generic, press);
        }
        SyncModifiers(key->modifiers(), IsModifierVk(generic) ? generic : 0);
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        SyncButtons(mouse->buttons());
        SyncModifiers(mouse->modifiers(), 0);
        break;
    }
    case QEvent::ApplicationDeactivate:
        if (watched == watched_)
            down_.fill(false); // toggles stay: a lock key keeps its state
        break;
    default:
        break;
    }
    return false;
}

namespace {
// Every program that links the tracker has it watching from the application's construction on.
void WatchFromStart() {
    KeyState::Instance();
}
} // namespace
Q_COREAPP_STARTUP_FUNCTION(WatchFromStart)

std::int16_t GetKeyState(int vk) {
    return KeyState::Instance().GetKeyState(vk);
}

ScopedKeyDown::ScopedKeyDown(int vk) : vk_(vk) {
    if (vk_ >= 0 && vk_ <= 255)
        ++KeyState::Instance().forced_[vk_];
}

ScopedKeyDown::~ScopedKeyDown() {
    if (vk_ >= 0 && vk_ <= 255)
        --KeyState::Instance().forced_[vk_];
}

} // namespace platform::qt
