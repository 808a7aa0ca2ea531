// Popup menus of views: a menu built for one call and tracked with a view (a grid or any pane)
// as its owner. The owner's update handler checks, greys and names the items as they show; the
// pick reaches the owner's command handler once the popup has gone; Escape or a click outside
// delivers nothing.
#pragma once

#include "controls/commandbars/resources.h"
#include "platform/qt/command_target.h"

#include <QPoint>

class QWidget;

// Tracks `menu` at `screenPoint` with `window` as the owner window and `owner` answering the
// updates and taking the pick. Answers the picked command, 0 when none; by then the pick has
// run. An item without a handler of the owner shows greyed.
unsigned TrackViewPopup(const GVPMenu& menu, QWidget& window, platform::qt::CommandTarget& owner,
                        QPoint screenPoint);
