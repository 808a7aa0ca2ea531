#include "controls/commandbars/paint_manager.h"

#include "controls/commandbars/aux_data.h"
#include "controls/commandbars/draw_utils.h"
#include "controls/commandbars/shadow.h"
#include "controls/commandbars/theme_default.h"
#include "controls/commandbars/theme_office.h"
#include "platform/qt/gdi.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cstdlib>

#include "controls/commandbars/image_manager.h"

namespace {
CGVPPaintManager* g_current = nullptr;
} // namespace

bool IsVerticalPosition(int position) {
    return position == gvpBarLeft || position == gvpBarRight || position == gvpBarPopup;
}

CGVPPaintManager::CGVPPaintManager() = default;
CGVPPaintManager::~CGVPPaintManager() = default;

CGVPPaintManager* CGVPPaintManager::GetCurrent() {
    return g_current;
}

void CGVPPaintManager::SelectTheme(int theme) {
    if (g_current && g_current->GetThemeId() == theme)
        return;
    // The old one goes before the new one is built.
    if (g_current) {
        CGVPPaintManager* old = g_current;
        g_current = nullptr;
        old->InternalRelease();
    }
    CGVPPaintManager* created = nullptr;
    switch (theme) {
    case 0:
        created = new GVPPaintThemes::CGVPOfficeTheme; // owned through its reference count
        break;
    case 2:
        created = new GVPPaintThemes::CGVPOffice2003Theme;
        break;
    case 3:
        created = new GVPPaintThemes::CGVPNativeXPTheme;
        break;
    default:
        created = new GVPPaintThemes::CGVPDefaultTheme;
        break;
    }
    created->m_nThemeId = theme;
    g_current = created;
}

void CGVPPaintManager::ReleaseGlobalPaintManager() {
    if (g_current) {
        CGVPPaintManager* old = g_current;
        g_current = nullptr;
        old->InternalRelease();
    }
}

void CGVPPaintManager::InternalRelease() {
    if (--m_refs == 0)
        delete this;
}

CGVPPaintManager* GetPaintManager() {
    if (!CGVPPaintManager::GetCurrent())
        CGVPPaintManager::SelectTheme(1);
    return CGVPPaintManager::GetCurrent();
}

void CGVPPaintManager::DrawControlEntry(QPainter& dc, IPaintedControl* control) {
    const int type = control->GetType();
    const bool popuped = (type == gvpControlPopup || type == gvpControlButtonPopup ||
                          type == gvpControlSplitButtonPopup) &&
                         control->GetPopuped();
    IPaintedBar* bar = control->GetPaintedParent();
    DrawControlEntry(dc, control->GetRect(), control->GetEnabled(), control->GetSelected(),
                     control->GetPressed(), control->GetChecked(), popuped,
                     bar ? bar->GetPosition() : gvpBarTop);
}

void CGVPPaintManager::DrawStatusBarGripper(QPainter& dc, QRect rc) {
    const QColor shadow = RefToQColor(GetSystemColorTable().SysColor(16));
    const QColor light = RefToQColor(GetSystemColorTable().SysColor(20));
    const int right = rc.x() + rc.width() - 1;
    const int bottom = rc.y() + rc.height() - 1;
    dc.save();
    dc.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < 3; ++i) {
        const int off = 4 + i * 4;
        dc.setPen(shadow);
        dc.drawLine(right - off + 1, bottom, right, bottom - off + 1);
        dc.drawLine(right - off + 2, bottom, right, bottom - off + 2);
        dc.setPen(light);
        dc.drawLine(right - off, bottom, right, bottom - off);
    }
    dc.restore();
}

void CGVPPaintManager::FillDockBar(QPainter& dc, QWidget* dockBar, int) {
    if (dockBar)
        dc.fillRect(dockBar->rect(), GetQColor(15));
}

void CGVPPaintManager::FillStatusBar(QPainter& dc, QWidget* statusBar) {
    if (statusBar)
        dc.fillRect(statusBar->rect(), GetQColor(15));
}

void CGVPPaintManager::RefreshMetrics() {
    RefreshFonts();
    GetSystemColorTable().Refresh(false);
    if (CGVPShadowsManager* shadows = GetShadowsManager())
        shadows->SetShadowColor(0);
}

QMargins CGVPPaintManager::GetCommandBarBorders(IPaintedBar*) {
    return {2, 2, 2, 2};
}

const QFont& CGVPPaintManager::GetControlFont(IPaintedBar* bar, bool bold) {
    CGVPFonts& fonts = GetGlobalFonts();
    if (!fonts.valid)
        RefreshFonts();
    if (bar && (bar->GetPosition() == gvpBarLeft || bar->GetPosition() == gvpBarRight))
        return fonts.vertical;
    return bold ? fonts.bold : fonts.regular;
}

QSize CGVPPaintManager::DrawControl(QPainter& dc, IPaintedControl* control, bool draw) {
    switch (control->GetType()) {
    case gvpControlEdit:
        return DrawEditControl(dc, control, draw);
    case gvpControlComboBox:
        return DrawComboBoxControl(dc, control, draw);
    default:
        break;
    }
    IPaintedBar* bar = control->GetPaintedParent();
    if (bar && bar->GetType() == gvpBarTypePopup)
        return DrawPopupBarControl(dc, control, draw);
    return DrawToolBarControl(dc, control, draw);
}

namespace {

// Two chevrons pointing right (down when `down`), each two pixels wide, the pair 4 apart.
void DrawChevrons(QPainter& dc, QPoint origin, bool down, const QColor& color) {
    for (int c = 0; c < 2; ++c) {
        for (int k = 0; k < 5; ++k) {
            const int off = 2 - std::abs(k - 2);
            if (down)
                dc.fillRect(QRect(origin.x() + k, origin.y() + c * 4 + off, 1, 2), color);
            else
                dc.fillRect(QRect(origin.x() + c * 4 + off, origin.y() + k, 2, 1), color);
        }
    }
}

} // namespace

QSize CGVPPaintManager::DrawSpecialControl(QPainter& dc, int kind, IPaintedControl* control,
                                           IPaintedBar* bar, bool draw, QSize barSize,
                                           bool hiddenControls) {
    const bool vertical = bar && IsVerticalPosition(bar->GetPosition());
    switch (kind) {
    case gvpButtonExpandToolbar: {
        if (!draw) {
            const int cx = barSize.width(), cy = barSize.height();
            control->SetRect(vertical ? QRect(QPoint(2, cy - 13), QPoint(cx - 3, cy - 3))
                                      : QRect(QPoint(cx - 13, 2), QPoint(cx - 3, cy - 3)));
            return {0, 0};
        }
        DrawControlEntry(dc, control);
        const QColor color = dc.pen().color();
        const QRect rc = control->GetRect();
        const int left = rc.x(), top = rc.y(), bottom = rc.y() + rc.height();
        const int centre = rc.x() + rc.width() / 2;
        if (vertical) {
            Triangle(dc, {left + 6, top + 3}, {left + 6, top + 7}, {left + 4, top + 5}, color);
            if (hiddenControls)
                DrawChevrons(dc, {left + rc.width() - 8, top + 2}, true, color);
        } else {
            Triangle(dc, {centre - 2, bottom - 7}, {centre + 2, bottom - 7}, {centre, bottom - 5},
                     color);
            if (hiddenControls)
                DrawChevrons(dc, {centre - 3, top + 3}, false, color);
        }
        return {0, 0};
    }
    case gvpButtonExpandMenu: {
        if (draw) {
            DrawControlEntry(dc, control);
            const QRect rc = control->GetRect();
            DrawChevrons(dc, {rc.x() + rc.width() / 2 - 2, rc.y() + rc.height() / 2 - 4}, true,
                         dc.pen().color());
        }
        return {0, 12};
    }
    case gvpButtonHideFloating: {
        if (draw) {
            DrawControlEntry(dc, control);
            const bool hot =
                control->GetSelected() || control->GetPressed() || control->GetPopuped();
            const QColor color = hot ? dc.pen().color() : GetQColor(14);
            DrawMarlettGlyph(dc, control->GetRect(), QLatin1Char('r'), color, MarlettPixelSize());
        }
        return {0, 0};
    }
    case gvpButtonExpandFloating: {
        if (draw) {
            DrawControlEntry(dc, control);
            const bool hot = control->GetSelected() || control->GetPopuped();
            const QColor color = hot ? dc.pen().color() : GetQColor(14);
            const QRect rc = control->GetRect();
            const int cx = rc.x() + rc.width() / 2, cy = rc.y() + rc.height() / 2;
            Triangle(dc, {cx - 3, cy - 2}, {cx + 3, cy - 2}, {cx, cy + 1}, color);
        }
        return {0, 0};
    }
    default:
        return {0, 0};
    }
}

QImage CGVPPaintManager::AnimateFrame(const QImage& buffer, const QImage& screen, int type,
                                      int step) const {
    const int n = std::max(m_nAnimationSteps, 1);
    const int w = buffer.width(), h = buffer.height();
    if (step >= n || (type != 2 && type != 3 && type != 4))
        return buffer;
    const QImage src = buffer.convertToFormat(QImage::Format_ARGB32);
    const bool haveScreen = screen.size() == buffer.size();
    QImage frame = haveScreen ? screen.convertToFormat(QImage::Format_ARGB32)
                              : QImage(buffer.size(), QImage::Format_ARGB32);
    if (!haveScreen)
        frame.fill(Qt::transparent);
    if (type == 2 || type == 3) {
        const int fw = type == 2 ? w * step / n : w;
        const int fh = h * step / n;
        QPainter p(&frame);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QPoint(0, 0), src, QRect(w - fw, h - fh, fw, fh));
        return frame;
    }
    const int a = 255 * step / n;
    for (int y = 0; y < h; ++y) {
        const auto* b = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* s = reinterpret_cast<QRgb*>(frame.scanLine(y));
        for (int x = 0; x < w; ++x) {
            if (!haveScreen) {
                // Nothing known of what lies behind: the picture comes up through its alpha.
                s[x] = qRgba(qRed(b[x]), qGreen(b[x]), qBlue(b[x]), qAlpha(b[x]) * a / 255);
                continue;
            }
            auto mix = [&](int cb, int cs) { return (cb * a + cs * (255 - a)) / 256; };
            s[x] = qRgba(mix(qRed(b[x]), qRed(s[x])), mix(qGreen(b[x]), qGreen(s[x])),
                         mix(qBlue(b[x]), qBlue(s[x])), 255);
        }
    }
    return frame;
}

void CGVPPaintManager::Draw3dRect(QPainter& dc, QRect rc, COLORREF topLeft, COLORREF bottomRight) {
    const CGVPSystemColorTable& t = GetSystemColorTable();
    platform::qt::Draw3dRect(dc, platform::qt::GdiRect::FromQRect(rc), t.GetColor(topLeft),
                             t.GetColor(bottomRight));
}

void CGVPPaintManager::Rectangle(QPainter& dc, QRect rc, COLORREF pen, COLORREF brush) {
    if (rc.width() <= 0 || rc.height() <= 0)
        return;
    dc.fillRect(rc, GetQColor(brush));
    Draw3dRect(dc, rc, pen, pen);
}

void CGVPPaintManager::Line(QPainter& dc, int x1, int y1, int x2, int y2, COLORREF color) {
    platform::qt::DrawLine(dc, x1, y1, x2, y2, GetSystemColorTable().GetColor(color));
}

void CGVPPaintManager::Triangle(QPainter& dc, QPoint p0, QPoint p1, QPoint p2,
                                const QColor& color) {
    dc.save();
    dc.setRenderHint(QPainter::Antialiasing, false);
    dc.setPen(QPen(color, 0));
    dc.setBrush(color);
    dc.drawPolygon(QPolygon({p0, p1, p2}));
    dc.restore();
}

void CGVPPaintManager::DrawCheckMark(QPainter& dc, QRect rc, const QColor& color) {
    const int l = rc.x(), t = rc.y();
    for (int d = 0; d < 2; ++d) {
        platform::qt::DrawLine(dc, l + 6, t + 9 + d, l + 8, t + 11 + d, QColorToRef(color));
        platform::qt::DrawLine(dc, l + 8, t + 11 + d, l + 13, t + 6 + d, QColorToRef(color));
    }
}

QString CGVPPaintManager::StripMnemonics(const QString& text) {
    return platform::qt::StripPrefix(text).text;
}

void CGVPPaintManager::GradientFill(QPainter& dc, QRect rc, COLORREF from, COLORREF to,
                                    bool horizontal) {
    const CGVPSystemColorTable& t = GetSystemColorTable();
    FillGradient(dc, rc, t.GetColor(from), t.GetColor(to), horizontal);
}

QSize CGVPPaintManager::DrawCaption(QPainter& dc, const QString& text, QRect rc, bool draw,
                                    bool vertical, bool centered, bool triangle, bool embossed) {
    const QString stripped = StripMnemonics(text);
    const QFontMetrics fm(dc.font());
    const int tw = fm.horizontalAdvance(stripped.isEmpty() ? QStringLiteral(" ") : stripped);
    const int th = fm.height();
    if (!draw)
        return vertical ? QSize(th, tw) : QSize(tw, th);

    const QColor color = dc.pen().color();
    const int flags = Qt::TextSingleLine | Qt::TextShowMnemonic;
    if (!vertical) {
        int x = rc.x();
        if (centered)
            x = rc.x() + (rc.width() - (tw + (triangle ? 5 : 0))) / 2;
        const QRect textRect(x, rc.y(), rc.x() + rc.width() - x, rc.height());
        if (embossed) {
            dc.setPen(GetQColor(20));
            dc.drawText(textRect.translated(1, 1), flags | Qt::AlignVCenter | Qt::AlignLeft, text);
            dc.setPen(color);
        }
        dc.drawText(textRect, flags | Qt::AlignVCenter | Qt::AlignLeft, text);
        if (triangle) {
            const int end = x + tw, mid = rc.y() + rc.height() / 2;
            Triangle(dc, {end + 3, mid - 1}, {end + 7, mid - 1}, {end + 5, mid + 1}, color);
        }
        return {tw, th};
    }
    // Vertical: the text runs downwards with its top towards the right.
    const int x = rc.x() + rc.width() - (rc.width() - th + 1) / 2;
    int y = rc.y();
    if (centered)
        y = rc.y() + (rc.height() - (tw + (triangle ? 5 : 0))) / 2;
    auto drawAt = [&](int px, int py, const QColor& c) {
        dc.save();
        dc.translate(px, py);
        dc.rotate(90);
        dc.setPen(c);
        dc.drawText(QRect(0, 0, tw + 2, th), flags | Qt::AlignLeft | Qt::AlignTop, text);
        dc.restore();
    };
    if (embossed)
        drawAt(x + 1, y + 1, GetQColor(20));
    drawAt(x, y, color);
    if (triangle) {
        const int end = y + tw, mid = rc.x() + rc.width() / 2;
        Triangle(dc, {mid + 1, end + 3}, {mid + 1, end + 7}, {mid - 1, end + 5}, color);
    }
    return {th, tw};
}

bool CGVPPaintManager::ShowsImage(IPaintedControl* control) {
    switch (control->GetType()) {
    case gvpControlButton:
        return control->GetStyle() != gvpButtonCaption;
    case gvpControlButtonPopup:
    case gvpControlSplitButtonPopup:
        return true;
    default:
        return false;
    }
}

bool CGVPPaintManager::IsPopupType(int type) {
    return type == gvpControlPopup || type == gvpControlButtonPopup ||
           type == gvpControlSplitButtonPopup;
}

int CGVPPaintManager::TextHeight() {
    CGVPFonts& fonts = GetGlobalFonts();
    if (!fonts.valid)
        RefreshFonts();
    return fonts.textHeight;
}

QSize CGVPPaintManager::DrawToolBarButton(QPainter& dc, IPaintedControl* control, bool draw,
                                          int faceCut) {
    IPaintedBar* bar = control->GetPaintedParent();
    const QSize icon = bar ? bar->GetIconSize() : QSize(16, 15);
    const int w = icon.width() + 7, h = icon.height() + 7;
    const bool vertical = bar && IsVerticalPosition(bar->GetPosition());
    const int type = control->GetType();
    CGVPImageManagerIcon* image = ShowsImage(control) ? control->GetImage(icon.width()) : nullptr;
    if (image && !image->HasNormalIcon())
        image = nullptr;
    const int style = control->GetStyle();
    const bool hasCaption =
        type == gvpControlPopup ||
        (type == gvpControlButton &&
         (style == gvpButtonCaption || style == gvpButtonIconAndCaption || !image));

    const QSize textSize =
        hasCaption ? DrawCaption(dc, control->GetCaption(), {}, false, false, false, false, false)
                   : QSize();
    if (!draw) {
        switch (type) {
        case gvpControlPopup:
            return vertical ? QSize(textSize.height() + 6, textSize.width() + 16)
                            : QSize(textSize.width() + 16, textSize.height() + 6);
        case gvpControlButtonPopup:
            return {w, h};
        case gvpControlSplitButtonPopup:
            return {w + 11, h};
        default:
            break;
        }
        if (!hasCaption)
            return {w, h};
        const int along = textSize.width() + (image ? w + 3 : 7);
        const int across = std::max(h, textSize.height() + 6);
        return vertical ? QSize(across, along) : QSize(along, across);
    }

    const QRect rc = control->GetRect();
    const bool enabled = control->GetEnabled();
    const int selected = control->GetSelected();
    const int pressed = control->GetPressed();
    const bool checked = control->GetChecked();
    const bool popuped = control->GetPopuped();
    const int position = bar ? bar->GetPosition() : gvpBarTop;

    if (type == gvpControlSplitButtonPopup && !popuped) {
        DrawControlEntry(dc, rc.adjusted(0, 0, -faceCut, 0), enabled, selected, pressed, checked,
                         false, position);
        const QPen textPen = dc.pen();
        const QRect arrow((rc.x() + rc.width()) - 12, rc.y(), 12, rc.height());
        if ((selected || pressed) && enabled)
            DrawControlEntry(dc, arrow, enabled, selected, 0, false, false, position);
        const int r = (rc.x() + rc.width()), mid = (rc.y() + rc.height() / 2);
        Triangle(dc, {r - 9, mid - 1}, {r - 5, mid - 1}, {r - 7, mid + 1}, dc.pen().color());
        dc.setPen(textPen);
    } else {
        DrawControlEntry(dc, control);
        if (type == gvpControlSplitButtonPopup) {
            const int r = (rc.x() + rc.width()), mid = (rc.y() + rc.height() / 2);
            Triangle(dc, {r - 9, mid - 1}, {r - 5, mid - 1}, {r - 7, mid + 1}, dc.pen().color());
        }
    }

    if (image) {
        const QPoint pt = vertical
                              ? QPoint(rc.x() + (rc.width() - image->GetWidth()) / 2, rc.y() + 4)
                              : QPoint(rc.x() + 3, rc.y() + (rc.height() - image->GetHeight()) / 2);
        DrawImage(dc, pt, image, selected, pressed, enabled, checked, popuped, true);
    }
    if (hasCaption) {
        QRect textRect = rc;
        if (image) {
            if (vertical)
                textRect.setTop(rc.y() + h - 1);
            else
                textRect.setLeft(rc.x() + w - 1);
        }
        DrawCaption(dc, control->GetCaption(), textRect, true, vertical, !image, false, !enabled);
    }
    return rc.size();
}
