#include "controls/commandbars/theme_office.h"

#include "controls/commandbars/aux_data.h"
#include "controls/commandbars/draw_utils.h"
#include "controls/commandbars/image_manager.h"
#include "controls/commandbars/shadow.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
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

int FullScreenWidth() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 1024;
}

} // namespace

CGVPOfficeTheme::CGVPOfficeTheme() {
    m_bFadedIcons = true;
    m_bIconShadow = true;
    RefreshMetrics();
}

void CGVPOfficeTheme::DrawRectangle(QPainter& dc, QRect rc, int selected, int pressed, bool enabled,
                                    bool checked, bool popuped, bool toolbar, int) {
    if (!enabled) {
        if (checked && !toolbar)
            Rectangle(dc, rc, 40, 30);
        else if (selected == 2)
            Rectangle(dc, rc, 32, toolbar ? 31 : 41);
        return;
    }
    if (popuped) {
        Rectangle(dc, rc, 43, 30);
        return;
    }
    if (checked && !pressed) {
        if (selected)
            Rectangle(dc, rc, 37, 33);
        else
            Rectangle(dc, rc, 50, 36);
        return;
    }
    if (pressed == 2) {
        Rectangle(dc, rc, 50, 33);
        return;
    }
    if (!selected) {
        if (pressed)
            Rectangle(dc, rc, 32, 31);
        return;
    }
    if (pressed)
        Rectangle(dc, rc, 50, 33);
    else
        Rectangle(dc, rc, 32, 31);
}

void CGVPOfficeTheme::DrawControlEntry(QPainter& dc, QRect rc, bool enabled, int selected,
                                       int pressed, bool checked, bool popuped, int barPosition) {
    DrawRectangle(dc, rc, selected, pressed, enabled, checked, popuped, true, barPosition);
    COLORREF text = 46;
    if (!enabled)
        text = 40;
    else if (popuped)
        text = 46;
    else if (pressed == 2)
        text = 47;
    else if (selected)
        text = (pressed || checked) ? 47 : 45;
    else if (pressed || checked)
        text = 45;
    dc.setPen(GetQColor(text));
    dc.setBackgroundMode(Qt::TransparentMode);
}

void CGVPOfficeTheme::DrawImage(QPainter& dc, QPoint pt, CGVPImageManagerIcon* image, int selected,
                                int pressed, bool enabled, bool checked, bool popuped, bool) {
    if (!image || !image->HasNormalIcon())
        return;
    if (!enabled) {
        if (m_bDisabledIcons)
            dc.drawImage(pt, image->GetDisabledIcon());
        else
            dc.drawImage(pt, gvpimage::Silhouette(image->GetIcon(), GetQColor(40)));
        return;
    }
    if (popuped && !checked) {
        dc.drawImage(pt, image->GetIcon());
        return;
    }
    if (checked) {
        dc.drawImage(pt, (selected || pressed) ? image->GetHotIcon() : image->GetIcon());
        return;
    }
    if (!selected && !pressed) {
        dc.drawImage(pt, m_bFadedIcons ? image->GetFadedIcon() : image->GetIcon());
        return;
    }
    if (pressed == 2 || (selected && pressed)) {
        dc.drawImage(pt, image->GetHotIcon());
        return;
    }
    if (m_bIconShadow) {
        dc.drawImage(pt + QPoint(1, 1), image->GetShadowIcon());
        dc.drawImage(pt - QPoint(1, 1), image->GetHotIcon());
    } else {
        dc.drawImage(pt, image->GetHotIcon());
    }
}

void CGVPOfficeTheme::FillImageColumn(QPainter& dc, int x, int y, int width, int height,
                                      bool rarelyUsed) {
    dc.fillRect(QRect(x, y, width, height), GetQColor(rarelyUsed ? 42 : 30));
}

QSize CGVPOfficeTheme::DrawPopupBarControl(QPainter& dc, IPaintedControl* control, bool draw) {
    const int h = TextHeight();
    const QFontMetrics fm(dc.font());
    const QString caption = StripMnemonics(control->GetCaption());
    const QString shortcut = control->GetShortcutText();
    if (!draw) {
        const int w = fm.horizontalAdvance(caption) + fm.horizontalAdvance(shortcut) + h + 44;
        return {w, std::max(h, 22)};
    }
    const QRect rc = control->GetRect();
    const int type = control->GetType();
    const bool enabled = control->GetEnabled();
    const int selected = control->GetSelected();
    const bool checked = control->GetChecked();
    const bool popuped = control->GetPopuped();

    if (control->IsRarelyUsed())
        FillImageColumn(dc, 1, rc.y(), h + 5, rc.height(), true);
    DrawRectangle(dc, rc, selected, 0, enabled, false, false, false, gvpBarPopup);

    const COLORREF textColor = !enabled ? 35 : selected ? 45 : 44;
    const QRect box(rc.x() + (h + 4) / 2 - 10, rc.y() + (rc.height() - 20) / 2, 20, 20);
    if (checked && enabled)
        DrawRectangle(dc, box, selected, 0, enabled, true, false, false, gvpBarPopup);
    CGVPImageManagerIcon* image = ShowsImage(control) ? control->GetImage(16) : nullptr;
    if (image && image->HasNormalIcon()) {
        const QPoint pt(box.x() + box.width() / 2 - 8,
                        rc.y() + (rc.height() - image->GetHeight()) / 2);
        DrawImage(dc, pt, image, selected, 0, enabled, checked, popuped, false);
    } else if (checked) {
        DrawCheckMark(dc, box, GetQColor(textColor));
    }

    const int right = Right(rc), mid = Mid(rc);
    if (IsPopupType(type)) {
        COLORREF arrow = textColor;
        if (type == gvpControlSplitButtonPopup && enabled) {
            if (popuped && selected) {
                Rectangle(dc, QRect(right - 20, rc.y(), 20, rc.height()), 32, 33);
                arrow = 47;
            } else {
                Line(dc, right - 20, rc.y(), right - 20, Bottom(rc), selected ? 32 : 16);
            }
        }
        Triangle(dc, {right - 11, mid - 3}, {right - 8, mid}, {right - 11, mid + 3},
                 GetQColor(arrow));
    }

    dc.setPen(GetQColor(textColor));
    dc.setBackgroundMode(Qt::TransparentMode);
    const QRect textRect(rc.x() + h + 12, rc.y(), right - (rc.x() + h + 12), rc.height());
    const QString full = control->GetCaption();
    if (fm.horizontalAdvance(caption) > textRect.width())
        dc.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                    fm.elidedText(caption, Qt::ElideRight, textRect.width()));
    else
        dc.drawText(textRect,
                    Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine | Qt::TextShowMnemonic,
                    full);
    if (!shortcut.isEmpty())
        dc.drawText(QRect(textRect.x(), rc.y(), right - 19 - textRect.x(), rc.height()),
                    Qt::AlignVCenter | Qt::AlignRight | Qt::TextSingleLine, shortcut);
    return {rc.width(), rc.height()};
}

QSize CGVPOfficeTheme::DrawToolBarControl(QPainter& dc, IPaintedControl* control, bool draw) {
    return DrawToolBarButton(dc, control, draw, 11);
}

QSize CGVPOfficeTheme::DrawFieldControl(QPainter& dc, IPaintedControl* control, bool draw,
                                        bool combo) {
    CGVPFonts& fonts = GetGlobalFonts();
    if (!fonts.valid)
        RefreshFonts();
    const int h = TextHeight();
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
            labelWidth = captionWidth + h + 17;
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
    const bool dropped = combo && (control->IsDroppedDown() || control->GetPopuped());
    const int labelWidth = control->GetLabelWidth();
    if (menu && selected)
        DrawRectangle(dc, rc, selected, 0, enabled, false, false, false, gvpBarPopup);

    dc.save();
    dc.setFont(fonts.iconTitle);
    dc.setBackgroundMode(Qt::TransparentMode);
    const COLORREF labelColor = menu ? (!enabled ? 35 : selected ? 45 : 44) : (enabled ? 46 : 40);
    if (labelWidth > 0) {
        const int x = rc.x() + (menu ? h + 12 : 2);
        dc.setPen(GetQColor(labelColor));
        dc.drawText(QRect(x, rc.y(), rc.x() + labelWidth - x, rc.height()),
                    Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine | Qt::TextShowMnemonic,
                    caption);
    }
    const QRect field(rc.x() + labelWidth, rc.y(), rc.width() - labelWidth, rc.height());
    if (enabled) {
        dc.fillRect(field.adjusted(1, 1, -1, -1), GetQColor(5));
        if (selected || dropped)
            Rectangle(dc, field, 32, 5);
        else if (menu)
            Draw3dRect(dc, field, 53, 53);
    } else {
        Rectangle(dc, field, selected == 2 ? 32 : 40, 15);
    }
    if (combo) {
        const int dropWidth =
            control->GetDropButtonWidth() > 0 ? control->GetDropButtonWidth() : blank + 2;
        const QRect button(Right(field) - dropWidth - 1, field.y() + 1, dropWidth,
                           field.height() - 2);
        if (enabled && (selected || dropped))
            Rectangle(dc, button.adjusted(0, -1, 1, 1), 32, dropped ? 33 : 31);
        else if (enabled)
            Rectangle(dc, button, 5, 53);
        const COLORREF arrow = !enabled ? 40 : dropped ? 47 : selected ? 45 : 46;
        DrawMarlettGlyph(dc, button, QLatin1Char('u'), GetQColor(arrow), MarlettPixelSize());
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

QSize CGVPOfficeTheme::DrawComboBoxControl(QPainter& dc, IPaintedControl* control, bool draw) {
    return DrawFieldControl(dc, control, draw, true);
}

QSize CGVPOfficeTheme::DrawEditControl(QPainter& dc, IPaintedControl* control, bool draw) {
    return DrawFieldControl(dc, control, draw, false);
}

QSize CGVPOfficeTheme::DrawListBoxControl(QPainter& dc, IPaintedControl* control, QRect item,
                                          bool selected, bool draw) {
    const int h = TextHeight();
    const QFontMetrics fm(dc.font());
    const QString caption = StripMnemonics(control->GetCaption());
    if (!draw)
        return {fm.horizontalAdvance(caption) + h + 24, std::max(h, 22)};
    dc.fillRect(item, GetQColor(41));
    FillImageColumn(dc, item.x(), item.y(), h + 5, item.height(), false);
    if (selected)
        DrawRectangle(dc, item, 1, 0, true, false, false, false, gvpBarPopup);
    if (CGVPImageManagerIcon* image = control->GetImage(16); image && image->HasNormalIcon()) {
        const int boxLeft = item.x() + (h + 4) / 2 - 10;
        DrawImage(dc, {boxLeft + 2, item.y() + (item.height() - image->GetHeight()) / 2}, image,
                  selected, 0, true, false, false, false);
    }
    const QColor text = GetQColor(selected ? 45 : 44);
    dc.setPen(text);
    const QRect textRect(item.x() + h + 12, item.y(), item.width() - h - 12 - 12, item.height());
    dc.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                fm.elidedText(caption, Qt::ElideRight, textRect.width()));
    if (IsPopupType(control->GetType())) {
        const int right = Right(item), mid = Mid(item);
        Triangle(dc, {right - 11, mid - 3}, {right - 8, mid}, {right - 11, mid + 3}, text);
    }
    return item.size();
}

void CGVPOfficeTheme::FillFloatingBar(QPainter& dc, IPaintedBar* bar, COLORREF fill) {
    const QRect rc = bar->GetWidget()->rect();
    Rectangle(dc, rc, 43, fill);
    Rectangle(dc, rc.adjusted(1, 1, -1, -1), 43, fill);
    const QColor frame = GetQColor(43);
    const int r = Right(rc), b = Bottom(rc);
    for (const QPoint& p : {QPoint(2, 2), QPoint(r - 3, 2), QPoint(2, b - 3), QPoint(r - 3, b - 3)})
        dc.fillRect(QRect(p, QSize(1, 1)), frame);
}

void CGVPOfficeTheme::FillPopupBar(QPainter& dc, IPaintedBar* bar, COLORREF sharedBorder) {
    QWidget* widget = bar->GetWidget();
    const QRect rc = widget->rect();
    Rectangle(dc, rc, 43, 41);
    FillImageColumn(dc, 1, 2, TextHeight() + 5, rc.height() - 4, false);
    const QRect owner = bar->GetOwnerControlScreenRect();
    if (owner.isEmpty())
        return;
    // The border the popup shares with the control that opened it: one joined outline.
    const QRect window(widget->mapToGlobal(QPoint(0, 0)), rc.size());
    QRect shared = owner & window;
    if (shared.isEmpty()) {
        // Placed edge to edge: the join is the popup's border row or column along the control.
        shared = owner.adjusted(-1, -1, 1, 1) & window;
        if (shared.isEmpty())
            return;
        if (shared.width() > 1)
            shared.adjust(1, 0, -1, 0);
        if (shared.height() > 1)
            shared.adjust(0, 1, 0, -1);
        dc.fillRect(shared.translated(-window.topLeft()), GetQColor(sharedBorder));
        return;
    }
    if (shared.width() > 1)
        shared.adjust(1, 0, -1, 0);
    if (shared.height() > 1)
        shared.adjust(0, 1, 0, -1);
    dc.fillRect(shared.translated(-window.topLeft()), GetQColor(sharedBorder));
}

void CGVPOfficeTheme::FillCommandBar(QPainter& dc, IPaintedBar* bar) {
    const QRect rc = bar->GetWidget()->rect();
    if (bar->GetPosition() == gvpBarFloating) {
        FillFloatingBar(dc, bar, bar->GetType() == gvpBarTypeMenuBar ? 15 : 30);
        return;
    }
    if (bar->GetType() == gvpBarTypeMenuBar) {
        dc.fillRect(rc, GetQColor(15));
        return;
    }
    if (bar->GetType() == gvpBarTypePopup || bar->GetPosition() == gvpBarPopup) {
        FillPopupBar(dc, bar, 30);
        return;
    }
    dc.fillRect(rc, GetQColor(30));
    Draw3dRect(dc, rc, 15, 15);
    const QColor face = GetQColor(15);
    const int r = Right(rc), b = Bottom(rc);
    for (const QPoint& p : {QPoint(1, 1), QPoint(r - 2, 1), QPoint(1, b - 2), QPoint(r - 2, b - 2)})
        dc.fillRect(QRect(p, QSize(1, 1)), face);
}

QSize CGVPOfficeTheme::DrawFloatingTitle(QPainter& dc, IPaintedBar* bar, bool draw,
                                         COLORREF background) {
    CGVPFonts& fonts = GetGlobalFonts();
    if (!fonts.valid)
        RefreshFonts();
    const QFontMetrics fm(fonts.smallCaption);
    const int width = bar->GetWidget()->width();
    const QRect title(QPoint(3, 3), QPoint(width - 3 - 1, std::max(18, fm.height() + 3) - 1));
    if (draw) {
        dc.fillRect(title, GetQColor(background));
        dc.save();
        dc.setFont(fonts.smallCaption);
        dc.setPen(GetQColor(20));
        dc.drawText(QRect(5, 3, title.width() - 2, title.height()),
                    Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, bar->GetTitle());
        dc.restore();
    }
    return title.size();
}

QSize CGVPOfficeTheme::DrawCommandBarGripper(QPainter& dc, IPaintedBar* bar, bool draw) {
    const QRect rc = bar->GetWidget()->rect();
    switch (bar->GetPosition()) {
    case gvpBarTop:
    case gvpBarBottom:
        if (draw)
            for (int y = 5; y < rc.height() - 5; y += 2)
                Line(dc, 3, y, 6, y, 38);
        return {6, 0};
    case gvpBarLeft:
    case gvpBarRight:
        if (draw)
            for (int x = 5; x < rc.width() - 5; x += 2)
                Line(dc, x, 3, x, 6, 38);
        return {0, 8};
    case gvpBarFloating:
        return DrawFloatingTitle(dc, bar, draw, 16);
    default:
        return {0, 0};
    }
}

QSize CGVPOfficeTheme::DrawCommandBarSeparator(QPainter& dc, IPaintedBar* bar,
                                               IPaintedControl* control, bool draw) {
    if (!draw || !control)
        return {0, 3};
    const QRect rc = control->GetRect();
    const QRect client = bar->GetWidget()->rect();
    if (bar->GetType() == gvpBarTypePopup) {
        const int h = TextHeight();
        Line(dc, h + 14, rc.y() - 2, Right(client), rc.y() - 2, 39);
        return {0, 3};
    }
    const bool vertical = IsVerticalPosition(bar->GetPosition());
    if (!vertical) {
        if (control->GetWrap())
            Line(dc, 2, rc.y() - 4, Right(client) - 2, rc.y() - 4, 39);
        else
            Line(dc, rc.x() - 4, rc.y(), rc.x() - 4, Bottom(rc), 39);
    } else {
        if (control->GetWrap())
            Line(dc, rc.x() - 4, 2, rc.x() - 4, Bottom(client) - 2, 39);
        else
            Line(dc, rc.x(), rc.y() - 4, Right(rc), rc.y() - 4, 39);
    }
    return {0, 3};
}

void CGVPOfficeTheme::AdjustExcludeRect(QRect& rc, IPaintedControl* control) {
    if (control->GetType() == gvpControlComboBox)
        return;
    IPaintedBar* bar = control->GetPaintedParent();
    if (bar && bar->GetType() == gvpBarTypePopup)
        rc.adjust(-1, 0, 1, 0);
    else if (bar && IsVerticalPosition(bar->GetPosition()))
        rc.adjust(1, 0, -1, 0);
    else
        rc.adjust(0, 1, 0, -1);
}

void CGVPOfficeTheme::DrawStatusBarPane(QPainter& dc, QRect rc, int paneStyle,
                                        const QString& text) {
    constexpr int kNoBorders = 0x0100;
    if (!(paneStyle & kNoBorders))
        Draw3dRect(dc, rc, 16, 16);
    dc.setPen(GetQColor(18));
    dc.drawText(rc.adjusted(2, 1, -2, -1), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                text);
}

QSize CGVPOfficeTheme::DrawTearOffGripper(QPainter& dc, QRect rc, bool selected, bool draw) {
    if (!draw)
        return {0, 9};
    const QRect strip(1, 1, rc.width(), rc.height());
    dc.fillRect(strip, GetQColor(41));
    if (selected)
        Rectangle(dc, strip.adjusted(1, 1, -1, -1), 32, 31);
    else
        dc.fillRect(strip.adjusted(1, 1, -1, -1), GetQColor(30));
    const int half = rc.width() / 2;
    const int e = half > 26 ? 16 : half - 10;
    const int centre = rc.x() + half;
    if (selected) {
        for (int y : {4, 6})
            Line(dc, centre - e, y, centre + e, y, 45);
    } else {
        for (int y : {3, 5, 7})
            Line(dc, centre - e, y, centre + e, y, 38);
    }
    return {0, 9};
}

QSize CGVPOfficeTheme::DrawSpecialControl(QPainter& dc, int kind, IPaintedControl* control,
                                          IPaintedBar* bar, bool draw, QSize barSize,
                                          bool hiddenControls) {
    if (kind != gvpButtonCustomize)
        return CGVPPaintManager::DrawSpecialControl(dc, kind, control, bar, draw, barSize,
                                                    hiddenControls);
    // An entry of a toolbar's list of buttons to hide or show: check box, image, caption.
    const int h = TextHeight();
    const QSize item = DrawPopupBarControl(dc, control, false);
    if (!draw)
        return {item.width() + h + 4, item.height()};
    const QRect rc = control->GetRect();
    const bool enabled = control->GetEnabled();
    const int selected = control->GetSelected();
    DrawRectangle(dc, rc, selected, 0, enabled, false, false, false, gvpBarPopup);
    const QRect box(rc.x() + (h + 4) / 2 - 10, rc.y() + (rc.height() - 20) / 2, 20, 20);
    if (control->GetChecked()) {
        DrawRectangle(dc, box, selected, 0, true, true, false, false, gvpBarPopup);
        DrawCheckMark(dc, box.translated(1, 1), enabled ? QColor(Qt::black) : GetQColor(40));
    }
    const QRect column(rc.x() + h + 5, rc.y(), h + 4, rc.height());
    dc.fillRect(column, GetQColor(30));
    if (CGVPImageManagerIcon* image = control->GetImage(16); image && image->HasNormalIcon())
        DrawImage(dc,
                  {column.x() + (column.width() - 16) / 2,
                   rc.y() + (rc.height() - image->GetHeight()) / 2},
                  image, selected, 0, enabled, false, false, false);
    dc.setPen(GetQColor(!enabled ? 35 : selected ? 45 : 44));
    const int x = rc.x() + 2 * h + 16;
    dc.drawText(QRect(x, rc.y(), Right(rc) - x, rc.height()),
                Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine | Qt::TextShowMnemonic,
                control->GetCaption());
    dc.drawText(QRect(x, rc.y(), Right(rc) - 19 - x, rc.height()),
                Qt::AlignVCenter | Qt::AlignRight | Qt::TextSingleLine, control->GetShortcutText());
    return rc.size();
}

// ---------------------------------------------------------------------------------------------

CGVPOffice2003Theme::CGVPOffice2003Theme() {
    m_bFadedIcons = false;
    m_bIconShadow = false;
    RefreshMetrics();
}

void CGVPOffice2003Theme::RefreshMetrics() {
    CGVPPaintManager::RefreshMetrics();
    using gvpcolor::Mix;
    CGVPSystemColorTable& t = GetSystemColorTable();
    auto c = [&](int i) { return t.GetColor(static_cast<COLORREF>(i)); };
    m_clrDockBarLeft = c(15);
    m_clrDockBarRight = Mix(c(15), c(5), 205);
    m_clrFaceDark = c(15);
    m_clrFaceLight = Mix(c(15), c(5), 205);
    m_clrPoppedLight = c(41);
    m_clrPoppedDark = Mix(c(5), c(15), 550);
    m_clrBarLine = c(30);
    m_clrCaption = c(16);
    m_clrExpandDark = c(16);
    m_clrExpandLight = Mix(c(51), c(16), 51);
    m_clrRarelyDark = c(42);
    m_clrRarelyLight = Mix(c(5), c(42), 550);
    m_clrBallDark = Mix(c(5), c(15), 550);
    m_clrBallLight = c(41);
    m_clrStatusFrame = Mix(c(15), c(5), 70);
    m_bSchemeActive = false;
    t.SetColor(55, t.GetSchemeColor(3));

    if (t.GetPlainColors())
        return;
    const int scheme = t.SystemTheme();
    if (scheme < 1 || scheme > 3)
        return;
    const int s = scheme - 1;
    static constexpr COLORREF kFields[16][3] = {
        {0xF5BE9E, 0xA7D9D9, 0xE5D7D7}, {0xFADAC4, 0xE4F1F2, 0xF7F3F3},
        {0xE2A981, 0x91C6B7, 0xB59799}, {0xFEECDD, 0xDEF7F4, 0xFAF4F3},
        {0xFFEFE3, 0xD5F0EC, 0xF1E7E9}, {0xE7B593, 0x9FCEC2, 0xCDB9BA},
        {0x9C613B, 0x588060, 0x947C7C}, {0xC9662A, 0x5E8674, 0x99797A},
        {0x913500, 0x6B7760, 0x927476}, {0xF1A675, 0x8CC2B0, 0xC8B2B3},
        {0xDCA179, 0x78B4A4, 0xA28385}, {0xF6DDCB, 0xD1E6E6, 0xE2D7D7},
        {0xE2A981, 0x93C6B8, 0xC5AEB0}, {0xFEEFE3, 0xD5F0EC, 0xF1E8E8},
        {0xD3D3D3, 0xD3D3D3, 0xDAEAEC}, {0x361E16, 0x19221F, 0x292024}};
    COLORREF* targets[15] = {
        &m_clrDockBarLeft, &m_clrDockBarRight, &m_clrFaceDark, &m_clrFaceLight,  &m_clrPoppedLight,
        &m_clrPoppedDark,  &m_clrBarLine,      &m_clrCaption,  &m_clrExpandDark, &m_clrExpandLight,
        &m_clrRarelyDark,  &m_clrRarelyLight,  &m_clrBallDark, &m_clrBallLight,  &m_clrStatusFrame};
    for (int i = 0; i < 15; ++i)
        *targets[i] = kFields[i][s];
    if (CGVPShadowsManager* shadows = GetShadowsManager())
        shadows->SetShadowColor(kFields[15][s]);

    struct Entry {
        int index;
        COLORREF v[3];
    };
    static constexpr Entry kEntries[] = {
        {30, {0xF5BE9E, 0xA7D9D9, 0xE5D7D7}}, {31, {0xC2EEFF, 0xC2EEFF, 0xC2EEFF}},
        {32, {0x800000, 0x385D3F, 0x6F4B4B}}, {37, {0x800000, 0x385D3F, 0x6F4B4B}},
        {50, {0x800000, 0x385D3F, 0x6F4B4B}}, {33, {0x3E80FE, 0x3E80FE, 0x3E80FE}},
        {36, {0x6FC0FF, 0x6FC0FF, 0x6FC0FF}}, {38, {0x764127, 0x335E51, 0x755454}},
        {39, {0xCB8C6A, 0x588060, 0x8F6D6E}}, {40, {0xD0966D, 0x7AAE9F, 0xBEA7A8}},
        {41, {0xF6F6F6, 0xEEF4F4, 0xFFFAFD}}, {43, {0x962D00, 0x5E8D75, 0x947C7C}},
        {47, {0x000000, 0x000000, 0x000000}}, {48, {0xFFE9DA, 0xD2FFF9, 0xFFF3F3}},
        {51, {0xFCE7D8, 0xBFE7E2, 0xEADFDF}}, {52, {0xF5BE9E, 0x8AC0AB, 0xC3B0B1}},
        {53, {0xFCE1CB, 0xB6E3D8, 0xE7D3D6}}};
    for (const Entry& e : kEntries)
        t.SetColor(e.index, e.v[s]);
    m_bSchemeActive = true;
}

void CGVPOffice2003Theme::FillImageColumn(QPainter& dc, int x, int y, int width, int height,
                                          bool rarelyUsed) {
    if (rarelyUsed)
        FillGradient(dc, QRect(x, y, width, height), m_clrRarelyLight, m_clrRarelyDark, true);
    else
        FillGradient(dc, QRect(x, y, width, height), m_clrFaceLight, m_clrFaceDark, true);
}

void CGVPOffice2003Theme::FillDockGradient(QPainter& dc, QRect rc, int originX, int span) {
    // The gradient starts at x = originX in the painted area's coordinates.
    span = std::max(span, 1);
    const QRect gradient(originX, rc.y(), span, rc.height());
    dc.save();
    dc.setClipRect(rc, Qt::IntersectClip);
    FillGradient(dc, gradient, m_clrDockBarLeft, m_clrDockBarRight, true);
    const int beyond = originX + span;
    if (beyond < Right(rc))
        dc.fillRect(QRect(beyond, rc.y(), Right(rc) - beyond, rc.height()),
                    RefToQColor(m_clrDockBarRight));
    if (originX > rc.x())
        dc.fillRect(QRect(rc.x(), rc.y(), originX - rc.x(), rc.height()),
                    RefToQColor(m_clrDockBarLeft));
    dc.restore();
}

void CGVPOffice2003Theme::FillDockBar(QPainter& dc, QWidget* dockBar, int position) {
    if (!dockBar)
        return;
    const QRect rc = dockBar->rect();
    if (position == gvpBarRight) {
        dc.fillRect(rc, RefToQColor(m_clrDockBarRight));
        return;
    }
    FillDockGradient(dc, rc, 0, std::max(rc.width(), FullScreenWidth() / 2));
}

void CGVPOffice2003Theme::FillCommandBar(QPainter& dc, IPaintedBar* bar) {
    QWidget* widget = bar->GetWidget();
    const QRect rc = widget->rect();
    const int position = bar->GetPosition();
    if (bar->GetType() == gvpBarTypeMenuBar) {
        FillDockGradient(dc, rc, 0, std::max(rc.width(), FullScreenWidth() / 2));
        if (position == gvpBarFloating) {
            const QRect outer = rc;
            Draw3dRect(dc, outer, 43, 43);
            Draw3dRect(dc, outer.adjusted(1, 1, -1, -1), 43, 43);
            const QColor frame = GetQColor(43);
            const int r = Right(rc), b = Bottom(rc);
            for (const QPoint& p :
                 {QPoint(2, 2), QPoint(r - 3, 2), QPoint(2, b - 3), QPoint(r - 3, b - 3)})
                dc.fillRect(QRect(p, QSize(1, 1)), frame);
        }
        return;
    }
    if (bar->GetType() == gvpBarTypePopup || position == gvpBarPopup) {
        FillPopupBar(dc, bar, 41);
        return;
    }
    if (position == gvpBarFloating) {
        FillFloatingBar(dc, bar, 30);
        return;
    }
    if (position > gvpBarRight)
        return;

    const bool vertical = position == gvpBarLeft || position == gvpBarRight;
    const int w = rc.width(), h = rc.height();
    // Lowest (or rightmost) edge of the visible controls.
    int extent = 0;
    for (int i = 0; i < bar->GetControlCount(); ++i) {
        if (!bar->IsControlVisible(i))
            continue;
        const QRect c = bar->GetPaintedControl(i)->GetRect();
        extent = std::max(extent, vertical ? Right(c) : Bottom(c));
    }
    dc.fillRect(rc, GetQColor(15));
    // The dock behind, lined up with the dock bar's own gradient so that the corners show
    // exactly the colour around them.
    QWidget* parent = widget->parentWidget();
    const int offset = parent ? widget->x() : 0;
    const int span = parent ? std::max(parent->width(), FullScreenWidth() / 2) : FullScreenWidth();
    if (position == gvpBarRight)
        dc.fillRect(rc, RefToQColor(m_clrDockBarRight));
    else
        FillDockGradient(dc, rc, -offset, span);

    dc.save();
    QRegion face(rc);
    if (!vertical) {
        face -= QRegion(0, 0, 3, h);
        for (const QPoint& p :
             {QPoint(3, 1), QPoint(w - 1, 1), QPoint(3, h - 1), QPoint(w - 1, h - 1)})
            face -= QRegion(QRect(p, QSize(1, 1)));
        face -= QRegion(0, 0, w, 1);
    } else {
        face -= QRegion(0, 0, w, 3);
        for (const QPoint& p :
             {QPoint(1, 3), QPoint(1, h - 1), QPoint(w - 1, 3), QPoint(w - 1, h - 1)})
            face -= QRegion(QRect(p, QSize(1, 1)));
        face -= QRegion(0, 0, 1, h);
    }
    dc.setClipRegion(face, Qt::IntersectClip);
    if (!vertical) {
        const int bottom = std::min(std::max(extent + 1, 2), h);
        FillGradient(dc, QRect(0, 1, w, bottom - 1), m_clrFaceLight, m_clrFaceDark, false);
        if (bottom < h)
            dc.fillRect(QRect(0, bottom, w, h - bottom), RefToQColor(m_clrFaceDark));
        dc.fillRect(QRect(5, h - 1, w - 7, 1), RefToQColor(m_clrBarLine));
    } else {
        const int right = std::min(std::max(extent + 1, 2), w);
        FillGradient(dc, QRect(1, 0, right - 1, h), m_clrFaceLight, m_clrFaceDark, true);
        if (right < w)
            dc.fillRect(QRect(right, 0, w - right, h), RefToQColor(m_clrFaceDark));
        dc.fillRect(QRect(w - 1, 5, 1, h - 7), RefToQColor(m_clrBarLine));
    }
    dc.restore();
}

void CGVPOffice2003Theme::DrawRectangle(QPainter& dc, QRect rc, int selected, int pressed,
                                        bool enabled, bool checked, bool popuped, bool toolbar,
                                        int barPosition) {
    if (popuped) {
        FillGradient(dc, rc, m_clrPoppedLight, m_clrPoppedDark, false);
        Draw3dRect(dc, rc, 43, 43);
        return;
    }
    if (m_bSchemeActive && barPosition >= gvpBarTop && barPosition <= gvpBarRight) {
        const bool across = barPosition == gvpBarLeft || barPosition == gvpBarRight;
        COLORREF from = 0, to = 0, frame = 0;
        bool paint = true;
        if (!enabled) {
            paint = selected == 2;
            from = kHotFrom, to = kHotTo, frame = 32;
        } else if (pressed == 2 || (selected && pressed) || (checked && selected)) {
            from = kPushedFrom, to = kPushedTo, frame = 50;
        } else if (checked) {
            from = kCheckedFrom, to = kCheckedTo, frame = 50;
        } else if (selected || pressed) {
            from = kHotFrom, to = kHotTo, frame = 32;
        } else {
            paint = false;
        }
        if (paint) {
            FillGradient(dc, rc, from, to, across);
            Draw3dRect(dc, rc, frame, frame);
        }
        return;
    }
    CGVPOfficeTheme::DrawRectangle(dc, rc, selected, pressed, enabled, checked, popuped, toolbar,
                                   barPosition);
}

QSize CGVPOffice2003Theme::DrawCommandBarSeparator(QPainter& dc, IPaintedBar* bar,
                                                   IPaintedControl* control, bool draw) {
    const int position = bar->GetPosition();
    if (!draw || !control || position > gvpBarRight || bar->GetType() == gvpBarTypePopup)
        return CGVPOfficeTheme::DrawCommandBarSeparator(dc, bar, control, draw);
    const QRect rc = control->GetRect();
    const QRect client = bar->GetWidget()->rect();
    const bool vertical = position == gvpBarLeft || position == gvpBarRight;
    // An etched line: shadow, and the highlight beside it.
    if (vertical != control->GetWrap()) {
        const int y = rc.y() - 4;
        const int x1 = control->GetWrap() ? 4 : rc.x() + 4;
        const int x2 = control->GetWrap() ? Right(client) - 4 : Right(rc) - 4;
        Line(dc, x1, y, x2, y, 39);
        Line(dc, x1 + 1, y + 1, x2 + 1, y + 1, 20);
    } else {
        const int x = rc.x() - 4;
        const int y1 = control->GetWrap() ? 4 : rc.y() + 4;
        const int y2 = control->GetWrap() ? Bottom(client) - 4 : Bottom(rc) - 4;
        Line(dc, x, y1, x, y2, 39);
        Line(dc, x + 1, y1 + 1, x + 1, y2 + 1, 20);
    }
    return {0, 3};
}

QSize CGVPOffice2003Theme::DrawCommandBarGripper(QPainter& dc, IPaintedBar* bar, bool draw) {
    const QRect rc = bar->GetWidget()->rect();
    const QColor light = GetQColor(20), dark = GetQColor(38);
    switch (bar->GetPosition()) {
    case gvpBarTop:
    case gvpBarBottom:
        if (draw)
            for (int y = 8; y - 3 < rc.height() - 8; y += 4) {
                dc.fillRect(QRect(6, y - 2, 2, 2), light);
                dc.fillRect(QRect(5, y - 3, 2, 2), dark);
            }
        return {6, 0};
    case gvpBarLeft:
    case gvpBarRight:
        if (draw)
            for (int x = 8; x - 3 < rc.width() - 8; x += 4) {
                dc.fillRect(QRect(x - 2, 7, 2, 2), light);
                dc.fillRect(QRect(x - 3, 6, 2, 2), dark);
            }
        return {0, 9};
    case gvpBarFloating:
        return DrawFloatingTitle(dc, bar, draw, m_clrCaption);
    default:
        return {0, 0};
    }
}

QSize CGVPOffice2003Theme::DrawTearOffGripper(QPainter& dc, QRect rc, bool selected, bool draw) {
    if (!draw)
        return {0, 9};
    const QRect strip(1, 1, rc.width(), rc.height());
    dc.fillRect(strip, GetQColor(41));
    if (selected)
        Rectangle(dc, strip.adjusted(1, 1, -1, -1), 32, 31);
    else
        dc.fillRect(strip.adjusted(1, 1, -1, -1), GetQColor(30));
    const int half = rc.width() / 2;
    const int e = half > 42 ? 32 : half - 10;
    const int centre = rc.x() + half;
    for (int x = centre - e + 3; x - 3 < centre + e; x += 4) {
        dc.fillRect(QRect(x - 2, 5, 2, 2), GetQColor(20));
        dc.fillRect(QRect(x - 3, 4, 2, 2), GetQColor(38));
    }
    return {0, 9};
}

QSize CGVPOffice2003Theme::DrawSpecialControl(QPainter& dc, int kind, IPaintedControl* control,
                                              IPaintedBar* bar, bool draw, QSize barSize,
                                              bool hiddenControls) {
    if (kind != gvpButtonExpandToolbar)
        return CGVPOfficeTheme::DrawSpecialControl(dc, kind, control, bar, draw, barSize,
                                                   hiddenControls);
    const bool vertical = bar && IsVerticalPosition(bar->GetPosition());
    if (!draw) {
        const int cx = barSize.width(), cy = barSize.height();
        control->SetRect(vertical ? QRect(0, cy - 12, cx, 12) : QRect(cx - 12, 1, 12, cy - 1));
        return {0, 0};
    }
    const QRect rc = control->GetRect();
    const bool selected = control->GetSelected();
    const bool popuped = control->GetPopuped();
    dc.save();
    // Rounded far corners: those pixels keep the face behind.
    QRegion shape(rc);
    const int r = Right(rc) - 1, b = Bottom(rc) - 1;
    const QPoint first = vertical ? QPoint(rc.x(), b) : QPoint(r, rc.y());
    const int dy = vertical ? -1 : 1;
    const int dx = vertical ? 1 : -1;
    const QPoint corners[] = {
        first, first + QPoint(dx, 0), first + QPoint(0, dy), {r, b}, {r - 1, b}, {r, b - 1}};
    for (const QPoint& p : corners)
        shape -= QRegion(QRect(p, QSize(1, 1)));
    dc.setClipRegion(shape, Qt::IntersectClip);
    if (popuped) {
        if (m_bSchemeActive)
            FillGradient(dc, rc, kPushedFrom, kPushedTo, vertical);
        else
            dc.fillRect(rc, GetQColor(36));
    } else if (selected) {
        if (m_bSchemeActive)
            FillGradient(dc, rc, kHotFrom, kHotTo, vertical);
        else
            dc.fillRect(rc, GetQColor(31));
    } else {
        FillGradient(dc, rc, m_clrExpandLight, m_clrExpandDark, vertical);
    }
    dc.restore();

    auto glyph = [&](int dx, const QColor& color) {
        const int left = rc.x() + dx, top = rc.y() + dx, bottom = Bottom(rc) + dx;
        const int centre = rc.x() + rc.width() / 2 + dx;
        if (vertical) {
            Triangle(dc, {left + 6, top + 3}, {left + 6, top + 7}, {left + 4, top + 5}, color);
            if (hiddenControls)
                for (int c = 0; c < 2; ++c)
                    for (int k = 0; k < 5; ++k) {
                        const int off = 2 - std::abs(k - 2);
                        dc.fillRect(
                            QRect(rc.x() + rc.width() - 8 + k + dx, top + 2 + c * 4 + off, 1, 2),
                            color);
                    }
        } else {
            Triangle(dc, {centre - 2, bottom - 7}, {centre + 2, bottom - 7}, {centre, bottom - 5},
                     color);
            if (hiddenControls)
                for (int c = 0; c < 2; ++c)
                    for (int k = 0; k < 5; ++k) {
                        const int off = 2 - std::abs(k - 2);
                        dc.fillRect(QRect(centre - 3 + c * 4 + off, top + 3 + k, 2, 1), color);
                    }
        }
    };
    glyph(1, GetQColor(20));
    glyph(0, GetQColor(selected && !popuped ? 45 : 46));
    return {0, 0};
}

void CGVPOffice2003Theme::DrawStatusBarPane(QPainter& dc, QRect rc, int paneStyle,
                                            const QString& text) {
    constexpr int kNoBorders = 0x0100;
    if (!(paneStyle & kNoBorders))
        Draw3dRect(dc, rc, m_clrStatusFrame | 0x01000000u, m_clrStatusFrame | 0x01000000u);
    dc.setPen(GetQColor(18));
    dc.drawText(rc.adjusted(2, 1, -2, -1), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                text);
}

QMargins CGVPOffice2003Theme::GetCommandBarBorders(IPaintedBar* bar) {
    if (bar && bar->GetType() != gvpBarTypePopup &&
        (bar->GetPosition() == gvpBarTop || bar->GetPosition() == gvpBarBottom))
        return {4, 2, 2, 2};
    return {2, 2, 2, 2};
}

} // namespace GVPPaintThemes
