#include "controls/grid/grid_colours.h"

namespace grid_colours {

COLORREF SysColour(int index) {
    // The classic palette.
    switch (index) {
    case kWindow:
        return Rgb(255, 255, 255);
    case kWindowText:
        return Rgb(0, 0, 0);
    case kHighlight:
        return Rgb(10, 36, 106);
    case kHighlightText:
        return Rgb(255, 255, 255);
    case kButtonFace:
        return Rgb(212, 208, 200);
    case kButtonShadow:
        return Rgb(128, 128, 128);
    case kButtonText:
        return Rgb(0, 0, 0);
    case kButtonHighlight:
        return Rgb(255, 255, 255);
    default:
        return 0;
    }
}

QColor ToQColor(COLORREF colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

} // namespace grid_colours
