// Colours as the grid keeps them (0x00BBGGRR) and the system colours it falls back on, from
// the shared colour service.
#pragma once

#include <cstdint>

#include <QColor>

namespace grid_colours {

using COLORREF = std::uint32_t;

// System colour indices the grid uses.
enum : int {
    kWindow = 5,
    kWindowText = 8,
    kHighlight = 13,
    kHighlightText = 14,
    kButtonFace = 15,
    kButtonShadow = 16,
    kButtonText = 18,
    kButtonHighlight = 20,
};

COLORREF SysColour(int index);
QColor ToQColor(COLORREF colour);
constexpr COLORREF Rgb(int r, int g, int b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
           (static_cast<COLORREF>(b) << 16);
}

} // namespace grid_colours
