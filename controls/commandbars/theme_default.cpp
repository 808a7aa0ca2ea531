#include "controls/commandbars/theme_default.h"

#include "controls/commandbars/aux_data.h"
#include "controls/commandbars/draw_utils.h"
#include "controls/commandbars/image_manager.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>
#include <QWidget>
#include <algorithm>

namespace GVPPaintThemes {

namespace {

int Right(const QRect& rc) {
    return rc.x() + rc.width();
}
int Bottom(const QRect& rc) {
    return rc.y() + rc.height();
}
int Mid(const QRect& rc) {
    return rc.y() + rc.height() / 2;
}

void Sunken(QPainter& dc, QRect rc) {
    CGVPPaintManager::Draw3dRect(dc, rc, 16, 20);
}
void Raised(QPainter& dc, QRect rc) {
    CGVPPaintManager::Draw3dRect(dc, rc, 20, 16);
}

// Alternating pixels of face and highlight, anchored to the painter's origin.
void FillDither(QPainter& dc, QRect rc) {
    QImage pattern(8, 8, QImage::Format_RGB32);
    const QRgb face = GetQColor(15).rgb(), light = GetQColor(20).rgb();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pattern.setPixel(x, y, (x + y) % 2 ? light : face);
    dc.fillRect(rc, QBrush(pattern));
}

} // namespace

CGVPDefaultTheme::CGVPDefaultTheme() {
    RefreshMetrics();
}

void CGVPDefaultTheme::DrawRectangle(QPainter& dc, QRect rc, int selected, int pressed,
                                     bool enabled, bool checked, bool popuped, bool toolbar, int) {
    if (!enabled) {
        if ((checked && !toolbar) || selected == 2)
            Sunken(dc, rc);
        return;
    }
    if (checked) {
        if (!selected && !pressed)
            FillDither(dc, rc);
        Sunken(dc, rc);
        return;
    }
    if (popuped || pressed == 2) {
        Sunken(dc, rc);
        return;
    }
    if (selected) {
        if (pressed)
            Sunken(dc, rc);
        else
            Raised(dc, rc);
        return;
    }
    if (pressed)
        Raised(dc, rc);
}

void CGVPDefaultTheme::DrawControlEntry(QPainter& dc, QRect rc, bool enabled, int selected,
                                        int pressed, bool checked, bool popuped, int barPosition) {
    DrawRectangle(dc, rc, selected, pressed, enabled, checked, popuped, true, barPosition);
    dc.setPen(GetQColor(enabled ? 18 : 17));
    dc.setBackgroundMode(Qt::TransparentMode);
}

void CGVPDefaultTheme::DrawImage(QPainter& dc, QPoint pt, CGVPImageManagerIcon* image, int selected,
                                 int pressed, bool enabled, bool checked, bool popuped, bool) {
    if (!image || !image->HasNormalIcon())
        return;
    if (!enabled) {
        if (m_bDisabledIcons) {
            dc.drawImage(pt, image->GetDisabledIcon());
        } else {
            dc.drawImage(pt + QPoint(1, 1), gvpimage::Silhouette(image->GetIcon(), GetQColor(20)));
            dc.drawImage(pt, gvpimage::Silhouette(image->GetIcon(), GetQColor(16)));
        }
        return;
    }
    if (popuped || checked) {
        const bool hot = (selected || pressed) && (checked || !popuped);
        dc.drawImage(pt, hot ? image->GetHotIcon() : image->GetIcon());
        return;
    }
    if (!selected && !pressed) {
        dc.drawImage(pt, m_bFadedIcons ? image->GetFadedIcon() : image->GetIcon());
        return;
    }
    if ((selected && pressed) || pressed == 2) {
        dc.drawImage(pt + QPoint(1, 1), image->GetHotIcon());
        return;
    }
    if (m_bIconShadow) {
        dc.drawImage(pt + QPoint(1, 1), image->GetShadowIcon());
        dc.drawImage(pt - QPoint(1, 1), image->GetHotIcon());
    } else {
        dc.drawImage(pt, image->GetHotIcon());
    }
}

QSize CGVPDefaultTheme::DrawControlText(QPainter& dc, const QString& text, QRect rc, int flags,
                                        bool draw, bool selected, bool enabled) {
    const QFontMetrics fm(dc.font());
    const int format = flags | Qt::TextSingleLine | Qt::AlignVCenter;
    if (!draw)
        return fm.boundingRect(rc.isEmpty() ? QRect(0, 0, 10000, 1000) : rc, format, text).size();
    if (!selected && !enabled) {
        const QPen pen = dc.pen();
        dc.setPen(GetQColor(20));
        dc.drawText(rc.translated(1, 1), format, text);
        dc.setPen(pen);
    }
    dc.drawText(rc, format, text);
    return rc.size();
}

QSize CGVPDefaultTheme::DrawPopupBarControl(QPainter& dc, IPaintedControl* control, bool draw) {
    const int h = TextHeight();
    const QFontMetrics fm(dc.font());
    const QString caption = StripMnemonics(control->GetCaption());
    const QString shortcut = control->GetShortcutText();
    if (!draw) {
        const int w = fm.horizontalAdvance(caption) + fm.horizontalAdvance(shortcut) + 60;
        return {w, std::max(20, h - 4)};
    }
    const QRect rc = control->GetRect();
    const int type = control->GetType();
    const bool enabled = control->GetEnabled();
    const int selected = control->GetSelected();
    const bool checked = control->GetChecked();
    const bool popuped = control->GetPopuped();

    if (control->IsRarelyUsed())
        dc.fillRect(rc, GetQColor(22));
    const QColor text = GetQColor(!enabled ? 17 : selected ? 14 : 18);

    const QRect column(rc.x(), rc.y(), 20, rc.height());
    CGVPImageManagerIcon* image = ShowsImage(control) ? control->GetImage(16) : nullptr;
    if (image && image->HasNormalIcon()) {
        DrawRectangle(dc, column, selected, 0, enabled, checked, false, false, gvpBarPopup);
        DrawImage(dc, {rc.x() + 2, rc.y() + (rc.height() - image->GetHeight()) / 2}, image,
                  selected, 0, enabled, checked, popuped, false);
    } else if (checked) {
        DrawRectangle(dc, column, selected, 0, enabled, checked, false, false, gvpBarPopup);
        DrawCheckMark(dc, QRect(column.x() - 1, rc.y() + (rc.height() - 20) / 2, 20, 20),
                      GetQColor(enabled ? 18 : 17));
    }
    if (selected)
        Rectangle(dc, QRect(rc.x() + 21, rc.y(), Right(rc) - rc.x() - 21, rc.height()), 13, 13);

    const int right = Right(rc), mid = Mid(rc);
    if (IsPopupType(type)) {
        QColor arrow = text;
        if (type == gvpControlSplitButtonPopup && enabled) {
            Line(dc, right - 20, rc.y(), right - 20, Bottom(rc), selected ? 16 : 18);
            if (popuped && selected)
                Sunken(dc, QRect(right - 20, rc.y(), 20, rc.height()));
            arrow = GetQColor(18);
        }
        Triangle(dc, {right - 11, mid - 3}, {right - 8, mid}, {right - 11, mid + 3}, arrow);
    }

    dc.setPen(text);
    dc.setBackgroundMode(Qt::TransparentMode);
    const QRect textRect(rc.x() + 24, rc.y(), right - rc.x() - 24, rc.height());
    if (fm.horizontalAdvance(caption) > textRect.width())
        DrawControlText(dc, fm.elidedText(caption, Qt::ElideRight, textRect.width()), textRect,
                        Qt::AlignLeft, true, selected, enabled);
    else
        DrawControlText(dc, control->GetCaption(), textRect, Qt::AlignLeft | Qt::TextShowMnemonic,
                        true, selected, enabled);
    if (!shortcut.isEmpty())
        DrawControlText(dc, shortcut,
                        QRect(rc.x() + 28, rc.y(), right - 19 - rc.x() - 28, rc.height()),
                        Qt::AlignRight, true, selected, enabled);
    return rc.size();
}

QSize CGVPDefaultTheme::DrawToolBarControl(QPainter& dc, IPaintedControl* control, bool draw) {
    return DrawToolBarButton(dc, control, draw, 12);
}

QSize CGVPDefaultTheme::DrawFieldControl(QPainter& dc, IPaintedControl* control, bool draw,
                                         bool combo) {
    CGVPFonts& fonts = GetGlobalFonts();
    if (!fonts.valid)
        RefreshFonts();
    const QFontMetrics fm(fonts.iconTitle);
    const int blank = fm.height();
    IPaintedBar* bar = control->GetPaintedParent();
    const bool menu = bar && bar->GetType() == gvpBarTypePopup;
    const QString caption = control->GetCaption();
    const int captionWidth = fm.horizontalAdvance(StripMnemonics(caption));

    if (!draw) {
        int labelWidth = 0;
        int width = control->GetWidth();
        if (menu) {
            labelWidth = captionWidth + 29;
            width += labelWidth;
        } else if (control->GetShowLabel()) {
            labelWidth = captionWidth + 5;
        }
        control->SetLabelWidth(labelWidth);
        if (combo)
            control->SetDropButtonWidth(blank + 2);
        else if (QLineEdit* edit = control->GetEditWindow(); edit && !menu)
            // The field shows its whole text: the control grows past its set width for it
            // (label, the field's insets of 4 and 3, and the edit's own margins and cursor).
            width = std::max(width, labelWidth + 7 + fm.horizontalAdvance(edit->text()) + 8);
        if (QLineEdit* edit = control->GetEditWindow()) {
            edit->setFont(fonts.iconTitle);
            const QMargins m = edit->textMargins();
            edit->setTextMargins(0, m.top(), 0, m.bottom());
        }
        return {width, blank + 8};
    }

    const QRect rc = control->GetRect();
    const bool enabled = control->GetEnabled();
    const int selected = control->GetSelected();
    const int labelWidth = control->GetLabelWidth();
    const COLORREF label = enabled ? 18 : 17;
    dc.save();
    dc.setFont(fonts.iconTitle);
    dc.setBackgroundMode(Qt::TransparentMode);
    dc.setPen(GetQColor(label));
    if (labelWidth > 0) {
        const int x = rc.x() + (menu ? 22 : 2);
        DrawControlText(dc, caption, QRect(x, rc.y(), rc.x() + labelWidth - x, rc.height()),
                        Qt::AlignLeft | Qt::TextShowMnemonic, true, selected, enabled);
    }
    const QRect field(rc.x() + labelWidth, rc.y(), rc.width() - labelWidth, rc.height());
    if (enabled) {
        dc.fillRect(field.adjusted(1, 1, -1, -1), GetQColor(5));
        Draw3dRect(dc, field, 16, label);
    } else {
        Draw3dRect(dc, field, selected == 2 ? 16 : 20, label);
    }
    if (combo) {
        const int dropWidth =
            control->GetDropButtonWidth() > 0 ? control->GetDropButtonWidth() : blank + 2;
        const QRect button(Right(field) - dropWidth - 1, field.y() + 1, dropWidth,
                           field.height() - 2);
        dc.fillRect(button, GetQColor(15));
        if (control->IsDroppedDown())
            Sunken(dc, button);
        else
            Raised(dc, button);
        DrawMarlettGlyph(dc, button, QLatin1Char('u'), GetQColor(label), MarlettPixelSize());
        if (!control->GetEditWindow()) {
            dc.setPen(GetQColor(8));
            dc.drawText(QRect(field.x() + 3, field.y(), button.x() - field.x() - 3, field.height()),
                        Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                        control->GetListText());
        }
    }
    dc.restore();
    return rc.size();
}

QSize CGVPDefaultTheme::DrawComboBoxControl(QPainter& dc, IPaintedControl* control, bool draw) {
    return DrawFieldControl(dc, control, draw, true);
}

QSize CGVPDefaultTheme::DrawEditControl(QPainter& dc, IPaintedControl* control, bool draw) {
    return DrawFieldControl(dc, control, draw, false);
}

QSize CGVPDefaultTheme::DrawListBoxControl(QPainter& dc, IPaintedControl* control, QRect item,
                                           bool selected, bool draw) {
    const QFontMetrics fm(dc.font());
    const QString caption = StripMnemonics(control->GetCaption());
    if (!draw)
        return {fm.horizontalAdvance(caption) + 40, std::max(20, TextHeight() - 4)};
    dc.fillRect(item, GetQColor(15));
    const QRect column(item.x(), item.y(), 20, item.height());
    if (CGVPImageManagerIcon* image = control->GetImage(16); image && image->HasNormalIcon()) {
        DrawRectangle(dc, column, selected, 0, true, false, false, false, gvpBarPopup);
        DrawImage(dc, {item.x() + 2, item.y() + (item.height() - image->GetHeight()) / 2}, image,
                  selected, 0, true, false, false, false);
    }
    if (selected)
        Rectangle(dc, QRect(item.x() + 21, item.y(), item.width() - 21, item.height()), 13, 13);
    const QColor text = GetQColor(selected ? 14 : 18);
    dc.setPen(text);
    const QRect textRect(item.x() + 24, item.y(), item.width() - 24 - 14, item.height());
    dc.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                fm.elidedText(caption, Qt::ElideRight, textRect.width()));
    const int right = Right(item), mid = Mid(item);
    if (IsPopupType(control->GetType())) {
        Triangle(dc, {right - 7, mid}, {right - 12, mid - 5}, {right - 12, mid + 5}, text);
        if (control->GetType() == gvpControlSplitButtonPopup)
            Line(dc, right - 20, item.y(), right - 20, Bottom(item), 16);
    }
    return item.size();
}

void CGVPDefaultTheme::FillCommandBar(QPainter& dc, IPaintedBar* bar) {
    const QRect rc = bar->GetWidget()->rect();
    dc.fillRect(rc, GetQColor(15));
    const int position = bar->GetPosition();
    if (position == gvpBarFloating || position == gvpBarPopup ||
        bar->GetType() == gvpBarTypePopup) {
        Draw3dRect(dc, rc, 15, 0);
        Raised(dc, rc.adjusted(1, 1, -1, -1));
    } else {
        Raised(dc, rc);
    }
}

QSize CGVPDefaultTheme::DrawCommandBarGripper(QPainter& dc, IPaintedBar* bar, bool draw) {
    const QRect rc = bar->GetWidget()->rect();
    switch (bar->GetPosition()) {
    case gvpBarTop:
    case gvpBarBottom:
        if (draw)
            Raised(dc, QRect(3, 3, 3, rc.height() - 6));
        return {6, 0};
    case gvpBarLeft:
    case gvpBarRight:
        if (draw)
            Raised(dc, QRect(3, 3, rc.width() - 6, 3));
        return {0, 8};
    case gvpBarFloating: {
        CGVPFonts& fonts = GetGlobalFonts();
        if (!fonts.valid)
            RefreshFonts();
        const QFontMetrics fm(fonts.smallCaption);
        const QRect title(QPoint(3, 3),
                          QPoint(rc.width() - 3 - 1, std::max(18, fm.height() + 3) - 1));
        if (draw) {
            dc.fillRect(title, GetQColor(2));
            dc.save();
            dc.setFont(fonts.smallCaption);
            dc.setPen(GetQColor(20));
            dc.drawText(QRect(5, 3, title.width() - 2, title.height()),
                        Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, bar->GetTitle());
            dc.restore();
        }
        return title.size();
    }
    default:
        return {0, 0};
    }
}

QSize CGVPDefaultTheme::DrawCommandBarSeparator(QPainter& dc, IPaintedBar* bar,
                                                IPaintedControl* control, bool draw) {
    if (!draw || !control)
        return {0, 8};
    const QRect rc = control->GetRect();
    const QRect client = bar->GetWidget()->rect();
    if (bar->GetType() == gvpBarTypePopup) {
        Sunken(dc, QRect(14, rc.y() - 5, client.width() - 28, 2));
        return {0, 8};
    }
    const bool vertical = IsVerticalPosition(bar->GetPosition());
    if (vertical == control->GetWrap())
        Sunken(dc, control->GetWrap() ? QRect(rc.x() - 4, 2, 2, client.height() - 4)
                                      : QRect(rc.x() - 4, rc.y(), 2, rc.height()));
    else
        Sunken(dc, control->GetWrap() ? QRect(2, rc.y() - 4, client.width() - 4, 2)
                                      : QRect(rc.x(), rc.y() - 4, rc.width(), 2));
    return {0, 8};
}

void CGVPDefaultTheme::AdjustExcludeRect(QRect& rc, IPaintedControl* control) {
    if (control->GetType() == gvpControlComboBox)
        return;
    IPaintedBar* bar = control->GetPaintedParent();
    if (bar && bar->GetType() == gvpBarTypePopup)
        rc.adjust(1, 0, -1, 0);
    else if (bar && IsVerticalPosition(bar->GetPosition()))
        rc.adjust(0, -1, 0, 1);
    else
        rc.adjust(-1, 0, 1, 0);
}

void CGVPDefaultTheme::DrawStatusBarPane(QPainter& dc, QRect rc, int paneStyle,
                                         const QString& text) {
    constexpr int kNoBorders = 0x0100;
    if (!(paneStyle & kNoBorders))
        Sunken(dc, rc);
    dc.setPen(GetQColor(18));
    dc.drawText(rc.adjusted(2, 1, -2, -1), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                text);
}

QSize CGVPDefaultTheme::DrawSpecialControl(QPainter& dc, int kind, IPaintedControl* control,
                                           IPaintedBar* bar, bool draw, QSize barSize,
                                           bool hiddenControls) {
    if (draw && (kind == gvpButtonHideFloating || kind == gvpButtonExpandFloating) &&
        (control->GetPressed() || control->GetSelected() || control->GetPopuped()))
        dc.fillRect(control->GetRect(), GetQColor(15));
    if (kind != gvpButtonCustomize)
        return CGVPPaintManager::DrawSpecialControl(dc, kind, control, bar, draw, barSize,
                                                    hiddenControls);
    const QSize item = DrawPopupBarControl(dc, control, false);
    if (!draw)
        return {item.width() + 24, item.height()};
    const QRect rc = control->GetRect();
    const bool enabled = control->GetEnabled();
    const int selected = control->GetSelected();
    const QRect check(rc.x(), rc.y(), 20, rc.height());
    if (control->GetChecked()) {
        DrawRectangle(dc, check, selected, 0, enabled, true, false, false, gvpBarPopup);
        DrawCheckMark(dc, QRect(check.x() - 1, rc.y() + (rc.height() - 20) / 2, 20, 20),
                      GetQColor(enabled ? 18 : 17));
    }
    if (CGVPImageManagerIcon* image = control->GetImage(16); image && image->HasNormalIcon())
        DrawImage(dc, {rc.x() + 24, rc.y() + (rc.height() - image->GetHeight()) / 2}, image,
                  selected, 0, enabled, false, false, false);
    if (selected)
        Rectangle(dc, QRect(rc.x() + 45, rc.y(), rc.width() - 45, rc.height()), 13, 13);
    dc.setPen(GetQColor(!enabled ? 17 : selected ? 14 : 18));
    DrawControlText(dc, control->GetCaption(),
                    QRect(rc.x() + 48, rc.y(), rc.width() - 48, rc.height()),
                    Qt::AlignLeft | Qt::TextShowMnemonic, true, selected, enabled);
    return rc.size();
}

QMargins CGVPDefaultTheme::GetCommandBarBorders(IPaintedBar* bar) {
    if (bar && (bar->GetType() == gvpBarTypePopup || bar->GetPosition() == gvpBarPopup))
        return {3, 3, 3, 3};
    return {2, 2, 2, 2};
}

QSize CGVPDefaultTheme::DrawTearOffGripper(QPainter& dc, QRect rc, bool selected, bool draw) {
    if (draw)
        dc.fillRect(QRect(rc.x(), rc.y(), rc.width(), rc.height() - 1),
                    GetQColor(selected ? 2 : 3));
    return {0, 8};
}

CGVPNativeXPTheme::CGVPNativeXPTheme() {
    m_bFadedIcons = true;
    m_bIconShadow = false;
}

} // namespace GVPPaintThemes
