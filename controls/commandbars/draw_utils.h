// Drawing utilities that bars, controls and themes share: gradients, the low-colour test, the
// visual-style scheme, work areas and the small symbol glyphs of buttons and menus.
#pragma once

#include "controls/commandbars/colors.h"

#include <QColor>
#include <QRect>

class QPainter;
class QPoint;

// The screen (or the painter's device, when given) shows 256 colours or fewer.
bool IsLowColor(const QPainter* dc = nullptr);
// A gradient from `from` to `to`, left to right (horizontal) or top to bottom, over the part
// of `rc` inside the painter's clip; a plain fill of `from` on a low-colour device or when both
// colours are equal.
void FillGradient(QPainter& dc, QRect rc, COLORREF from, COLORREF to, bool horizontal);
// 0 no visual style, 1 blue, 2 olive green, 3 silver. No visual-styles library exists here, so
// it answers 0 unless overridden.
int GetCurrentSystemTheme();
// -1 removes the override.
void SetCurrentSystemThemeOverride(int theme);
// The work area of the screen that holds the rectangle (or the mouse pointer), else of the
// primary screen.
QRect GetWorkArea(const QRect& rc);
QRect GetWorkAreaAtCursor();

// The symbol glyphs buttons show, drawn as shapes centred in `rc`, scaled to `pixelSize`
// (the glyph font's pixel size): '0' minimise, '1' maximise, '2' restore, 'r' close,
// 'u' drop-down arrow, '3' '4' '5' '6' arrows left, right, up and down, 'a' a check mark,
// 'h' a bullet.
void DrawMarlettGlyph(QPainter& dc, QRect rc, QChar glyph, const QColor& color, int pixelSize);
// The pixel size of the glyph font at 8 points on a 96 dots-per-inch screen.
int MarlettPixelSize();

// Draws into an off-screen image of the target's size and copies it on destruction.
class CGVPBufferDC {
public:
    CGVPBufferDC(QPainter& target, QRect rc);
    ~CGVPBufferDC();
    CGVPBufferDC(const CGVPBufferDC&) = delete;
    CGVPBufferDC& operator=(const CGVPBufferDC&) = delete;
    QPainter& dc();

private:
    struct Impl;
    Impl* m_impl;
};
