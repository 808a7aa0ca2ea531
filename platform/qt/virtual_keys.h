// Windows virtual-key codes, their mapping from and to Qt keys, and the key state the controls
// ask for (is Shift, Ctrl or Enter down), tracked from the input events the application sees
// rather than asked of the window system.
#pragma once

#include <QObject>
#include <QPointer>
#include <Qt>
#include <array>
#include <cstdint>

class QCoreApplication;
class QKeyEvent;

namespace platform::qt {

inline constexpr int VK_LBUTTON = 0x01;
inline constexpr int VK_RBUTTON = 0x02;
inline constexpr int VK_CANCEL = 0x03;
inline constexpr int VK_MBUTTON = 0x04;
inline constexpr int VK_XBUTTON1 = 0x05;
inline constexpr int VK_XBUTTON2 = 0x06;
inline constexpr int VK_BACK = 0x08;
inline constexpr int VK_TAB = 0x09;
inline constexpr int VK_CLEAR = 0x0C;
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_MENU = 0x12; // Alt
inline constexpr int VK_PAUSE = 0x13;
inline constexpr int VK_CAPITAL = 0x14;
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_SPACE = 0x20;
inline constexpr int VK_PRIOR = 0x21; // Page Up
inline constexpr int VK_NEXT = 0x22;  // Page Down
inline constexpr int VK_END = 0x23;
inline constexpr int VK_HOME = 0x24;
inline constexpr int VK_LEFT = 0x25;
inline constexpr int VK_UP = 0x26;
inline constexpr int VK_RIGHT = 0x27;
inline constexpr int VK_DOWN = 0x28;
inline constexpr int VK_SELECT = 0x29;
inline constexpr int VK_PRINT = 0x2A;
inline constexpr int VK_EXECUTE = 0x2B;
inline constexpr int VK_SNAPSHOT = 0x2C;
inline constexpr int VK_INSERT = 0x2D;
inline constexpr int VK_DELETE = 0x2E;
inline constexpr int VK_HELP = 0x2F;
// '0'-'9' are 0x30-0x39 and 'A'-'Z' are 0x41-0x5A: the characters themselves.
inline constexpr int VK_LWIN = 0x5B;
inline constexpr int VK_RWIN = 0x5C;
inline constexpr int VK_APPS = 0x5D;
inline constexpr int VK_NUMPAD0 = 0x60; // to VK_NUMPAD9 = 0x69
inline constexpr int VK_NUMPAD9 = 0x69;
inline constexpr int VK_MULTIPLY = 0x6A;
inline constexpr int VK_ADD = 0x6B;
inline constexpr int VK_SEPARATOR = 0x6C;
inline constexpr int VK_SUBTRACT = 0x6D;
inline constexpr int VK_DECIMAL = 0x6E;
inline constexpr int VK_DIVIDE = 0x6F;
inline constexpr int VK_F1 = 0x70; // to VK_F24 = 0x87
inline constexpr int VK_F24 = 0x87;
inline constexpr int VK_NUMLOCK = 0x90;
inline constexpr int VK_SCROLL = 0x91;
inline constexpr int VK_LSHIFT = 0xA0;
inline constexpr int VK_RSHIFT = 0xA1;
inline constexpr int VK_LCONTROL = 0xA2;
inline constexpr int VK_RCONTROL = 0xA3;
inline constexpr int VK_LMENU = 0xA4;
inline constexpr int VK_RMENU = 0xA5;
inline constexpr int VK_OEM_1 = 0xBA;      // ;:
inline constexpr int VK_OEM_PLUS = 0xBB;   // =+
inline constexpr int VK_OEM_COMMA = 0xBC;  // ,<
inline constexpr int VK_OEM_MINUS = 0xBD;  // -_
inline constexpr int VK_OEM_PERIOD = 0xBE; // .>
inline constexpr int VK_OEM_2 = 0xBF;      // /?
inline constexpr int VK_OEM_3 = 0xC0;      // `~
inline constexpr int VK_OEM_4 = 0xDB;      // [{
inline constexpr int VK_OEM_5 = 0xDC;      // \|
inline constexpr int VK_OEM_6 = 0xDD;      // ]}
inline constexpr int VK_OEM_7 = 0xDE;      // '"

// The virtual key of a Qt key; 0 when it has none. The keypad modifier selects the keypad codes
// (VK_NUMPAD0-9, VK_MULTIPLY...); shifted symbols of a US keyboard give their key ('!' is '1').
int VirtualKeyFromQtKey(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// The same for an event; left and right Shift, Ctrl and Alt are told apart by the native key
// where the platform gives one (see KeyState).
int VirtualKeyFromEvent(const QKeyEvent& event);
// The Qt key of a virtual key, 0 when none; keypad codes answer their plain keys
// (VK_NUMPAD1 is Qt::Key_1: the keypad modifier is the caller's).
int QtKeyFromVirtualKey(int vk);

// The keys and mouse buttons held down, as the application's input events told. It watches
// every event the application delivers (an application event filter, installed when the
// application is constructed, or on the first use of Instance() after that). Every input event also
// corrects Shift, Ctrl and Alt from its modifiers, and losing the application's activation
// releases everything, since releases elsewhere are never seen.
class KeyState : public QObject {
    Q_OBJECT
public:
    static KeyState& Instance();

    // Down when pressed (VK_SHIFT also for either Shift, VK_LSHIFT only for the left one...)
    // or forced down by a ScopedKeyDown.
    bool IsDown(int vk) const;
    // The toggle of a key, flipped by each press (meaningful for the lock keys; the state
    // before the first press seen is unknown and taken as off).
    bool IsToggled(int vk) const;
    // The framework's form: bit 15 (negative) when down, bit 0 when toggled.
    std::int16_t GetKeyState(int vk) const;

    // Forgets every press and toggle (not the forced keys).
    void Reset();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class ScopedKeyDown;
    KeyState() = default;
    void Watch();
    void SetDown(int vk, bool down);
    void SyncModifiers(Qt::KeyboardModifiers modifiers, int except);
    void SyncButtons(Qt::MouseButtons buttons);

    std::array<bool, 256> down_{};
    std::array<bool, 256> toggled_{};
    std::array<int, 256> forced_{};
    QPointer<QCoreApplication> watched_;
};

// Shorthand for KeyState::Instance().GetKeyState(vk).
std::int16_t GetKeyState(int vk);

// Makes a key read as down for the scope, whatever the events say (nests).
class ScopedKeyDown {
public:
    explicit ScopedKeyDown(int vk);
    ~ScopedKeyDown();
    ScopedKeyDown(const ScopedKeyDown&) = delete;
    ScopedKeyDown& operator=(const ScopedKeyDown&) = delete;

private:
    int vk_;
};

} // namespace platform::qt
