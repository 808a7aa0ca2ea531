// Whether a window's input is blocked by an open modal window. The bars, menus, accelerators
// and hooks read input through application-wide filters, which see events Qt itself would never
// deliver to a blocked window; they ask this before they act.
#pragma once

class QObject;
class QWidget;

namespace platform::qt {

// True while a modal window is open that `widget` is not part of (a modal window's own
// children, popups and nested frames are part of it).
bool IsBlockedByModal(const QWidget* widget);

// True for the input events (keys, shortcuts, mouse, wheel, touch, context menus).
bool IsInputEvent(int eventType);

} // namespace platform::qt
