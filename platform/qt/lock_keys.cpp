#include "platform/qt/lock_keys.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <array>
#include <cstdlib>
#include <string_view>
#include <xcb/xcb.h>

// The keyboard extension's header has a member named `explicit`.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

namespace platform::qt {

LockKeySource::~LockKeySource() = default;

namespace {

class NoLockKeys final : public LockKeySource {
public:
    LockKeyState State() const override { return {}; }
};

// The core keyboard's named indicators "Caps Lock", "Num Lock" and "Scroll Lock", read on the
// program's own connection to the server. The server tells of indicator changes wherever the
// input focus is; the lock keys pressed here and the program's activation ask again, in case
// those notices do not come.
class XLockKeys final : public LockKeySource, public QAbstractNativeEventFilter {
public:
    XLockKeys(xcb_connection_t* connection, uint8_t xkbEvent, std::array<xcb_atom_t, 3> names)
        : connection_(connection), xkbEvent_(xkbEvent), names_(names) {
        Refresh();
        qGuiApp->installNativeEventFilter(this);
        qGuiApp->installEventFilter(this);
        connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
                [this](Qt::ApplicationState state) {
                    if (state == Qt::ApplicationActive)
                        RefreshSoon();
                });
    }

    ~XLockKeys() override {
        if (qGuiApp) {
            qGuiApp->removeNativeEventFilter(this);
            qGuiApp->removeEventFilter(this);
        }
    }

    LockKeyState State() const override { return state_; }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t")
            return false;
        // Every keyboard-extension event shares one code and tells its kind in its second byte,
        // where each of their layouts has it.
        const auto* event = static_cast<const xcb_xkb_indicator_state_notify_event_t*>(message);
        if ((event->response_type & 0x7F) == xkbEvent_ &&
            event->xkbType == XCB_XKB_INDICATOR_STATE_NOTIFY)
            RefreshSoon();
        return false;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock)
                RefreshSoon();
        }
        return LockKeySource::eventFilter(watched, event);
    }

private:
    // After the events at hand: one key press reaches several widgets' filters.
    void RefreshSoon() {
        if (refreshPending_)
            return;
        refreshPending_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                refreshPending_ = false;
                Refresh();
            },
            Qt::QueuedConnection);
    }

    void Refresh() {
        std::array<xcb_xkb_get_named_indicator_cookie_t, 3> cookies{};
        for (std::size_t i = 0; i < names_.size(); ++i)
            if (names_[i] != XCB_ATOM_NONE)
                cookies[i] = xcb_xkb_get_named_indicator(connection_, XCB_XKB_ID_USE_CORE_KBD,
                                                         XCB_XKB_LED_CLASS_DFLT_XI_CLASS,
                                                         XCB_XKB_ID_DFLT_XI_ID, names_[i]);
        std::array<bool, 3> on{};
        for (std::size_t i = 0; i < names_.size(); ++i) {
            if (names_[i] == XCB_ATOM_NONE)
                continue;
            xcb_xkb_get_named_indicator_reply_t* reply =
                xcb_xkb_get_named_indicator_reply(connection_, cookies[i], nullptr);
            on[i] = reply && reply->found && reply->on;
            std::free(reply);
        }
        const LockKeyState state{on[0], on[1], on[2]};
        if (state == state_)
            return;
        state_ = state;
        emit Changed();
    }

    xcb_connection_t* connection_;
    uint8_t xkbEvent_;
    std::array<xcb_atom_t, 3> names_;
    LockKeyState state_;
    bool refreshPending_ = false;
};

xcb_connection_t* XConnection() {
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

std::unique_ptr<LockKeySource> MakeXLockKeys(xcb_connection_t* connection) {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_xkb_id);
    if (!extension || !extension->present)
        return nullptr;
    xcb_xkb_use_extension_reply_t* use = xcb_xkb_use_extension_reply(
        connection, xcb_xkb_use_extension(connection, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION),
        nullptr);
    const bool supported = use && use->supported;
    std::free(use);
    if (!supported)
        return nullptr;

    static constexpr std::array<std::string_view, 3> kNames{"Caps Lock", "Num Lock", "Scroll Lock"};
    std::array<xcb_intern_atom_cookie_t, 3> cookies{};
    for (std::size_t i = 0; i < kNames.size(); ++i)
        cookies[i] = xcb_intern_atom(connection, 1, static_cast<uint16_t>(kNames[i].size()),
                                     kNames[i].data());
    std::array<xcb_atom_t, 3> atoms{};
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookies[i], nullptr);
        atoms[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
    }

    // Adds indicator-state events to what this connection hears, leaving the other kinds of
    // keyboard events (Qt's own) as they are selected.
    xcb_xkb_select_events_details_t details{};
    xcb_xkb_select_events_aux(connection, XCB_XKB_ID_USE_CORE_KBD,
                              XCB_XKB_EVENT_TYPE_INDICATOR_STATE_NOTIFY, 0,
                              XCB_XKB_EVENT_TYPE_INDICATOR_STATE_NOTIFY, 0, 0, &details);
    xcb_flush(connection);
    return std::make_unique<XLockKeys>(connection, extension->first_event, atoms);
}

} // namespace

std::unique_ptr<LockKeySource> MakeLockKeySource() {
    if (xcb_connection_t* connection = XConnection())
        if (std::unique_ptr<LockKeySource> source = MakeXLockKeys(connection))
            return source;
    return std::make_unique<NoLockKeys>();
}

} // namespace platform::qt
