#include "platform/qt/gdi.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace platform::qt {

GdiRect GdiRect::Intersected(const GdiRect& other) const {
    GdiRect r{std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
              std::min(bottom, other.bottom)};
    return r.IsEmpty() ? GdiRect{} : r;
}

GdiRect GdiRect::United(const GdiRect& other) const {
    if (IsEmpty())
        return other.IsEmpty() ? GdiRect{} : other;
    if (other.IsEmpty())
        return *this;
    return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
            std::max(bottom, other.bottom)};
}

void BeginGdiPainting(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
}

void FillSolidRect(QPainter& painter, const GdiRect& rect, COLORREF colour) {
    if (rect.IsEmpty())
        return;
    painter.fillRect(rect.ToQRect(), ToQColor(colour));
}

void FillSolidRect(QPainter& painter, int x, int y, int cx, int cy, COLORREF colour) {
    GdiRect r{x, y, x + cx, y + cy};
    if (r.right < r.left)
        std::swap(r.left, r.right);
    if (r.bottom < r.top)
        std::swap(r.top, r.bottom);
    FillSolidRect(painter, r, colour);
}

void Draw3dRect(QPainter& painter, const GdiRect& rect, COLORREF topLeft, COLORREF bottomRight) {
    const int x = rect.left;
    const int y = rect.top;
    const int cx = rect.Width();
    const int cy = rect.Height();
    if (cx <= 0 || cy <= 0)
        return;
    FillSolidRect(painter, x, y, cx - 1, 1, topLeft);
    FillSolidRect(painter, x, y, 1, cy - 1, topLeft);
    FillSolidRect(painter, x + cx, y, -1, cy, bottomRight);
    FillSolidRect(painter, x, y + cy, cx, -1, bottomRight);
}

void DrawLine(QPainter& painter, int x1, int y1, int x2, int y2, COLORREF colour) {
    if (x1 == x2 && y1 == y2)
        return;
    if (y1 == y2) {
        FillSolidRect(painter,
                      x1 < x2 ? GdiRect{x1, y1, x2, y1 + 1} : GdiRect{x2 + 1, y1, x1 + 1, y1 + 1},
                      colour);
        return;
    }
    if (x1 == x2) {
        FillSolidRect(painter,
                      y1 < y2 ? GdiRect{x1, y1, x1 + 1, y2} : GdiRect{x1, y2 + 1, x1 + 1, y1 + 1},
                      colour);
        return;
    }
    // Bresenham, stopping before the end point.
    const QColor c = ToQColor(colour);
    const int dx = std::abs(x2 - x1);
    const int dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    int x = x1;
    int y = y1;
    while (x != x2 || y != y2) {
        painter.fillRect(x, y, 1, 1, c);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void DrawFocusRect(QPainter& painter, const GdiRect& rect) {
    if (rect.IsEmpty())
        return;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    auto dot = [&](int x, int y) {
        if (((x + y) & 1) == 0)
            painter.fillRect(x, y, 1, 1, Qt::black);
    };
    for (int x = rect.left; x < rect.right; ++x) {
        dot(x, rect.top);
        if (rect.bottom - 1 != rect.top)
            dot(x, rect.bottom - 1);
    }
    for (int y = rect.top + 1; y < rect.bottom - 1; ++y) {
        dot(rect.left, y);
        if (rect.right - 1 != rect.left)
            dot(rect.right - 1, y);
    }
    painter.restore();
}

void DrawTextTop(QPainter& painter, int x, int y, const QString& text, COLORREF colour) {
    painter.setPen(ToQColor(colour));
    painter.drawText(x, y + painter.fontMetrics().ascent(), text);
}

QSize TextExtent(const QFontMetrics& metrics, const QString& text) {
    return QSize(metrics.horizontalAdvance(text), metrics.ascent() + metrics.descent());
}

PrefixedText StripPrefix(const QString& text) {
    PrefixedText out;
    out.text.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            out.text += text[i];
            continue;
        }
        if (i + 1 >= text.size())
            break; // a trailing '&' shows nothing
        if (text[i + 1] == u'&') {
            out.text += u'&';
            ++i;
            continue;
        }
        out.underline = static_cast<int>(out.text.size());
        out.text += text[++i];
    }
    return out;
}

int DrawText(QPainter& painter, const GdiRect& rect, const QString& text, unsigned flags,
             COLORREF colour) {
    const QFontMetrics fm = painter.fontMetrics();
    const int cellHeight = fm.ascent() + fm.descent();

    PrefixedText shown;
    if (flags & DT_NOPREFIX)
        shown.text = text;
    else
        shown = StripPrefix(text);
    if (flags & DT_HIDEPREFIX)
        shown.underline = -1;

    if ((flags & DT_END_ELLIPSIS) && fm.horizontalAdvance(shown.text) > rect.Width()) {
        const QString elided = fm.elidedText(shown.text, Qt::ElideRight, std::max(rect.Width(), 0));
        // The underline survives only on a character that is still shown in full.
        if (shown.underline >= elided.size() - 1)
            shown.underline = -1;
        shown.text = elided;
    }

    const int width = fm.horizontalAdvance(shown.text);
    int x = rect.left;
    if (flags & DT_CENTER)
        x = rect.left + (rect.Width() - width) / 2;
    else if (flags & DT_RIGHT)
        x = rect.right - width;
    int y = rect.top;
    if (flags & DT_VCENTER)
        y = rect.top + (rect.Height() - cellHeight) / 2;
    else if (flags & DT_BOTTOM)
        y = rect.bottom - cellHeight;

    painter.save();
    if (!(flags & DT_NOCLIP))
        painter.setClipRect(rect.ToQRect(), Qt::IntersectClip);
    DrawTextTop(painter, x, y, shown.text, colour);
    if (shown.underline >= 0 && shown.underline < shown.text.size()) {
        const int ux = x + fm.horizontalAdvance(shown.text.left(shown.underline));
        const int uw = fm.horizontalAdvance(shown.text.mid(shown.underline, 1));
        const int uy = y + fm.ascent() + std::max(fm.underlinePos(), 1);
        FillSolidRect(painter, GdiRect{ux, uy, ux + uw, uy + std::max(fm.lineWidth(), 1)}, colour);
    }
    painter.restore();
    return cellHeight;
}

} // namespace platform::qt
