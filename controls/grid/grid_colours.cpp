#include "controls/grid/grid_colours.h"

#include "platform/qt/colors.h"

namespace grid_colours {

COLORREF SysColour(int index) {
    return platform::qt::SystemColors::Instance().Color(index);
}

QColor ToQColor(COLORREF colour) {
    return platform::qt::ToQColor(colour);
}

} // namespace grid_colours
