// Drawing with the pixel rules the controls' layouts are written for:
// - a rectangle covers left <= x < right, top <= y < bottom (right and bottom excluded);
// - a line covers its start point and excludes its end point;
// - one-pixel lines are filled rectangles, never stroked pens;
// - no antialiasing (BeginGdiPainting switches it off);
// - text is placed by the top of its cell (DrawTextTop adds the ascent for QPainter::drawText).
// Every colour is a COLORREF. Sizes are logical pixels.
#pragma once

#include "platform/qt/colors.h"

#include <QFontMetrics>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

namespace platform::qt {

// A rectangle by its edges, right and bottom excluded.
struct GdiRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr GdiRect() = default;
    constexpr GdiRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    static GdiRect FromQRect(const QRect& r) {
        return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
    }
    QRect ToQRect() const { return QRect(left, top, right - left, bottom - top); }

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    // Empty when it covers no pixel (also when inverted).
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    constexpr bool Contains(int x, int y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
    // Grows (negative: shrinks) each side by dx and dy.
    constexpr GdiRect Inflated(int dx, int dy) const {
        return {left - dx, top - dy, right + dx, bottom + dy};
    }
    constexpr GdiRect Offset(int dx, int dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    // The common part; all zero when there is none.
    GdiRect Intersected(const GdiRect& other) const;
    bool Intersects(const GdiRect& other) const { return !Intersected(other).IsEmpty(); }
    // The bounding rectangle; an empty side does not count.
    GdiRect United(const GdiRect& other) const;

    constexpr bool operator==(const GdiRect&) const = default;
};

// Puts the painter in the state the helpers expect: antialiasing off.
void BeginGdiPainting(QPainter& painter);

// Fills the rectangle exactly (right and bottom excluded); nothing when empty.
void FillSolidRect(QPainter& painter, const GdiRect& rect, COLORREF colour);
// Origin and size; a negative size extends left or up from the origin.
void FillSolidRect(QPainter& painter, int x, int y, int cx, int cy, COLORREF colour);

// A one-pixel frame: top and left edges in topLeft (each without its last pixel), right and
// bottom edges in bottomRight (whole): the top-right and bottom-left pixels are bottomRight.
void Draw3dRect(QPainter& painter, const GdiRect& rect, COLORREF topLeft, COLORREF bottomRight);

// A one-pixel line from (x1, y1) up to but not including (x2, y2).
void DrawLine(QPainter& painter, int x1, int y1, int x2, int y2, COLORREF colour);

// The dotted focus frame: inverts every other pixel of the rectangle's outline (on a pixel grid
// of even x + y), so drawing it twice restores the picture.
void DrawFocusRect(QPainter& painter, const GdiRect& rect);

// Text with its cell's top at y, in the painter's font, with a transparent background.
void DrawTextTop(QPainter& painter, int x, int y, const QString& text, COLORREF colour);

// Text measure: advance width and the cell height (ascent + descent).
QSize TextExtent(const QFontMetrics& metrics, const QString& text);

// DrawText flags (single-line text only).
inline constexpr unsigned DT_LEFT = 0x0;
inline constexpr unsigned DT_TOP = 0x0;
inline constexpr unsigned DT_CENTER = 0x1;
inline constexpr unsigned DT_RIGHT = 0x2;
inline constexpr unsigned DT_VCENTER = 0x4;
inline constexpr unsigned DT_BOTTOM = 0x8;
inline constexpr unsigned DT_SINGLELINE = 0x20;
inline constexpr unsigned DT_NOCLIP = 0x100;
inline constexpr unsigned DT_NOPREFIX = 0x800;
inline constexpr unsigned DT_END_ELLIPSIS = 0x8000;
inline constexpr unsigned DT_HIDEPREFIX = 0x100000;

// One line of text in a rectangle, in the painter's font, background transparent:
// - horizontal: left, DT_CENTER ((width - text width) / 2, truncated) or DT_RIGHT;
// - vertical: top, DT_VCENTER ((height - cell height) / 2, truncated) or DT_BOTTOM;
// - DT_END_ELLIPSIS shortens text that does not fit to end in "...";
// - without DT_NOPREFIX, "&x" shows x underlined (not with DT_HIDEPREFIX) and "&&" one '&';
// - clipped to the rectangle unless DT_NOCLIP.
// Answers the height of the text cell, as the framework's call does.
int DrawText(QPainter& painter, const GdiRect& rect, const QString& text, unsigned flags,
             COLORREF colour);

// The text as shown after prefix processing, and the index of the underlined character
// (-1 for none).
struct PrefixedText {
    QString text;
    int underline = -1;
};
PrefixedText StripPrefix(const QString& text);

} // namespace platform::qt
