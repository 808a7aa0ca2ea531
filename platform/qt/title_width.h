// How wide a top-level window must be for the window manager to show its whole caption.
#pragma once

class QWidget;

namespace platform::qt {

// The caption's text in the bold title font, room for the icon and three caption buttons, and
// the frame; 0 for a window without a title.
int TitleWidth(const QWidget& window);

} // namespace platform::qt
