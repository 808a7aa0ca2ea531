#include "controls/commandbars/draw_utils.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace {
int g_themeOverride = -1;
} // namespace

bool IsLowColor(const QPainter* dc) {
    if (dc && dc->device() && dc->device()->depth() <= 8)
        return true;
    const int depth = GetSystemColorTable().ScreenDepth();
    return depth >= 1 && depth <= 8;
}

void FillGradient(QPainter& dc, QRect rc, COLORREF from, COLORREF to, bool horizontal) {
    if (rc.isEmpty())
        return;
    if (IsLowColor(&dc) || from == to) {
        dc.fillRect(rc, RefToQColor(from));
        return;
    }
    QRect area = rc;
    if (dc.hasClipping())
        area &= dc.clipBoundingRect().toAlignedRect();
    if (area.isEmpty())
        return;
    const double width = std::max(rc.width(), 1);
    const double height = std::max(rc.height(), 1);
    if (horizontal) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const COLORREF c = gvpcolor::BlendColors(from, to, 1.0 - (x - rc.left()) / width);
            dc.fillRect(QRect(x, area.top(), 1, area.height()), RefToQColor(c));
        }
    } else {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const COLORREF c = gvpcolor::BlendColors(from, to, 1.0 - (y - rc.top()) / height);
            dc.fillRect(QRect(area.left(), y, area.width(), 1), RefToQColor(c));
        }
    }
}

int GetCurrentSystemTheme() {
    return g_themeOverride >= 0 ? g_themeOverride : 0;
}

void SetCurrentSystemThemeOverride(int theme) {
    g_themeOverride = theme;
}

QRect GetWorkArea(const QRect& rc) {
    if (!QGuiApplication::instance())
        return rc;
    QScreen* screen = QGuiApplication::screenAt(rc.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : rc;
}

QRect GetWorkAreaAtCursor() {
    return GetWorkArea(QRect(QCursor::pos(), QSize(1, 1)));
}

int MarlettPixelSize() {
    // 8 points at 96 dots per inch, whatever the screen's resolution.
    return 11;
}

void DrawMarlettGlyph(QPainter& dc, QRect rc, QChar glyph, const QColor& color, int pixelSize) {
    // Shapes are laid out on a grid of about 9 x 9 cells for an 11-pixel font and scaled.
    const double s = std::max(pixelSize, 6) / 11.0;
    auto px = [&](double v) { return static_cast<int>(std::lround(v * s)); };
    const int cx = rc.left() + rc.width() / 2;
    const int cy = rc.top() + rc.height() / 2;
    auto fill = [&](double x, double y, double w, double h) {
        dc.fillRect(QRect(cx + px(x), cy + px(y), std::max(px(w), 1), std::max(px(h), 1)), color);
    };
    auto box = [&](double x, double y, double w, double h, double top) {
        fill(x, y, w, top);       // thick caption edge
        fill(x, y + h - 1, w, 1); // bottom
        fill(x, y, 1, h);         // left
        fill(x + w - 1, y, 1, h); // right
    };
    auto triangle = [&](int dx, int dy) {
        // A filled triangle pointing (dx, dy), 4 rows deep.
        const int depth = std::max(px(4), 2);
        for (int i = 0; i < depth; ++i) {
            const int half = depth - 1 - i;
            if (dy != 0) {
                const int y = dy > 0 ? cy - depth / 2 + i : cy + depth / 2 - i;
                dc.fillRect(QRect(cx - half, y, 2 * half + 1, 1), color);
            } else {
                const int x = dx > 0 ? cx - depth / 2 + i : cx + depth / 2 - i;
                dc.fillRect(QRect(x, cy - half, 1, 2 * half + 1), color);
            }
        }
    };
    switch (glyph.unicode()) {
    case '0': // minimise
        fill(-4, 2, 7, 2);
        break;
    case '1': // maximise
        box(-4.5, -4, 9, 8, 2);
        break;
    case '2':                   // restore
        fill(-2.5, -4.5, 7, 2); // the window behind: caption and right edge only
        fill(3.5, -4.5, 1, 5);
        fill(1.5, 0.5, 3, 1);
        box(-4.5, -1.5, 7, 6, 2);
        break;
    case 'r': { // close: two strokes, two pixels wide
        const int half = std::max(px(4), 3);
        for (int i = -half; i < half; ++i) {
            dc.fillRect(QRect(cx + i, cy + i, 2, 1), color);
            dc.fillRect(QRect(cx - i - 1, cy + i, 2, 1), color);
        }
        break;
    }
    case 'u':
    case '6':
        triangle(0, 1);
        break;
    case '5':
        triangle(0, -1);
        break;
    case '3':
        triangle(-1, 0);
        break;
    case '4':
        triangle(1, 0);
        break;
    case 'a': { // check mark
        const QPoint o(cx - px(3.5), cy - px(0.5));
        for (int i = 0; i < 3; ++i)
            dc.fillRect(QRect(o.x() + i, o.y() + i, 1, 3), color);
        for (int i = 0; i < 5; ++i)
            dc.fillRect(QRect(o.x() + 3 + i, o.y() + 1 - i, 1, 3), color);
        break;
    }
    case 'h': // bullet
        fill(-2, -2, 4, 4);
        break;
    default:
        break;
    }
}

struct CGVPBufferDC::Impl {
    QPainter* target;
    QRect rc;
    QImage image;
    QPainter painter;
};

CGVPBufferDC::CGVPBufferDC(QPainter& target, QRect rc) : m_impl(new Impl{&target, rc, {}, {}}) {
    m_impl->image = QImage(std::max(rc.right() + 1, 1), std::max(rc.bottom() + 1, 1),
                           QImage::Format_ARGB32_Premultiplied);
    m_impl->image.fill(Qt::transparent);
    m_impl->painter.begin(&m_impl->image);
    m_impl->painter.setFont(target.font());
}

CGVPBufferDC::~CGVPBufferDC() {
    m_impl->painter.end();
    m_impl->target->drawImage(m_impl->rc.topLeft(), m_impl->image, m_impl->rc);
    delete m_impl;
}

QPainter& CGVPBufferDC::dc() {
    return m_impl->painter;
}
