// The classic three-dimensional look, and the native look that draws it here (no
// visual-styles library exists on this platform).
#pragma once

#include "controls/commandbars/paint_manager.h"

namespace GVPPaintThemes {

class CGVPDefaultTheme : public CGVPPaintManager {
public:
    CGVPDefaultTheme();

    QSize DrawPopupBarControl(QPainter& dc, IPaintedControl* control, bool draw) override;
    QSize DrawToolBarControl(QPainter& dc, IPaintedControl* control, bool draw) override;
    QSize DrawComboBoxControl(QPainter& dc, IPaintedControl* control, bool draw) override;
    QSize DrawEditControl(QPainter& dc, IPaintedControl* control, bool draw) override;
    QSize DrawListBoxControl(QPainter& dc, IPaintedControl* control, QRect item, bool selected,
                             bool draw) override;
    void FillCommandBar(QPainter& dc, IPaintedBar* bar) override;
    using CGVPPaintManager::DrawControlEntry;
    void DrawControlEntry(QPainter& dc, QRect rc, bool enabled, int selected, int pressed,
                          bool checked, bool popuped, int barPosition) override;
    void DrawRectangle(QPainter& dc, QRect rc, int selected, int pressed, bool enabled,
                       bool checked, bool popuped, bool toolbar, int barPosition) override;
    QSize DrawCommandBarGripper(QPainter& dc, IPaintedBar* bar, bool draw) override;
    QSize DrawCommandBarSeparator(QPainter& dc, IPaintedBar* bar, IPaintedControl* control,
                                  bool draw) override;
    void AdjustExcludeRect(QRect& rc, IPaintedControl* control) override;
    void DrawStatusBarPane(QPainter& dc, QRect rc, int paneStyle, const QString& text) override;
    QSize DrawSpecialControl(QPainter& dc, int kind, IPaintedControl* control, IPaintedBar* bar,
                             bool draw, QSize barSize, bool hiddenControls) override;
    QMargins GetCommandBarBorders(IPaintedBar* bar) override;
    QSize DrawTearOffGripper(QPainter& dc, QRect rc, bool selected, bool draw) override;
    void DrawImage(QPainter& dc, QPoint pt, CGVPImageManagerIcon* image, int selected, int pressed,
                   bool enabled, bool checked, bool popuped, bool toolbar) override;
    int GetThemeId() const override { return 1; }

    virtual QSize DrawControlText(QPainter& dc, const QString& text, QRect rc, int flags, bool draw,
                                  bool selected, bool enabled);

protected:
    QSize DrawFieldControl(QPainter& dc, IPaintedControl* control, bool draw, bool combo);
};

// Draws the Default picture: visual styles never exist here.
class CGVPNativeXPTheme : public CGVPDefaultTheme {
public:
    CGVPNativeXPTheme();
    int GetThemeId() const override { return 3; }
};

} // namespace GVPPaintThemes
