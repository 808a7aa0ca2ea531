// The state of the Caps Lock, Num Lock and Scroll Lock keys for the status bar's indicators.
// Only an X server tells it (its keyboard's indicators); elsewhere every lock reads off.
#pragma once

#include <QObject>
#include <memory>

namespace platform::qt {

struct LockKeyState {
    bool caps = false;
    bool num = false;
    bool scroll = false;
    friend bool operator==(const LockKeyState&, const LockKeyState&) = default;
};

// Where the lock keys' state comes from. Changed() follows every change of State().
class LockKeySource : public QObject {
    Q_OBJECT
public:
    ~LockKeySource() override;
    virtual LockKeyState State() const = 0;

signals:
    void Changed();
};

// The X keyboard's indicators on the xcb platform, kept current from the server's indicator
// events, the lock keys pressed in the program and its activation; on any other platform (or
// without the keyboard extension) a source whose locks are always off.
std::unique_ptr<LockKeySource> MakeLockKeySource();

} // namespace platform::qt
