#include "platform/qt/modality.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace platform::qt {

bool IsBlockedByModal(const QWidget* widget) {
    const QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return false;
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (w == modal)
            return false;
    return true;
}

bool IsInputEvent(int eventType) {
    switch (static_cast<QEvent::Type>(eventType)) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        return true;
    default:
        return false;
    }
}

} // namespace platform::qt
