// The Office look (flat, tinted hot boxes, menus joined to their bar) and the Office 2003 look
// derived from it (gradients that follow the desktop's colour scheme).
#pragma once

#include "controls/commandbars/paint_manager.h"

#include <QImage>

namespace GVPPaintThemes {

class CGVPOfficeTheme : public CGVPPaintManager {
public:
    CGVPOfficeTheme();

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
    bool HasShadows() const override { return true; }
    QSize DrawSpecialControl(QPainter& dc, int kind, IPaintedControl* control, IPaintedBar* bar,
                             bool draw, QSize barSize, bool hiddenControls) override;
    QSize DrawTearOffGripper(QPainter& dc, QRect rc, bool selected, bool draw) override;
    void DrawImage(QPainter& dc, QPoint pt, CGVPImageManagerIcon* image, int selected, int pressed,
                   bool enabled, bool checked, bool popuped, bool toolbar) override;
    int GetThemeId() const override { return 0; }

    virtual void FillImageColumn(QPainter& dc, int x, int y, int width, int height,
                                 bool rarelyUsed);

protected:
    // The label and field of a combo box or edit field.
    QSize DrawFieldControl(QPainter& dc, IPaintedControl* control, bool draw, bool combo);
    void FillPopupBar(QPainter& dc, IPaintedBar* bar, COLORREF sharedBorder);
    void FillFloatingBar(QPainter& dc, IPaintedBar* bar, COLORREF fill);
    QSize DrawFloatingTitle(QPainter& dc, IPaintedBar* bar, bool draw, COLORREF background);
};

class CGVPOffice2003Theme : public CGVPOfficeTheme {
public:
    CGVPOffice2003Theme();

    void RefreshMetrics() override;
    void FillCommandBar(QPainter& dc, IPaintedBar* bar) override;
    void FillDockBar(QPainter& dc, QWidget* dockBar, int position) override;
    void DrawRectangle(QPainter& dc, QRect rc, int selected, int pressed, bool enabled,
                       bool checked, bool popuped, bool toolbar, int barPosition) override;
    QSize DrawCommandBarSeparator(QPainter& dc, IPaintedBar* bar, IPaintedControl* control,
                                  bool draw) override;
    QSize DrawCommandBarGripper(QPainter& dc, IPaintedBar* bar, bool draw) override;
    QSize DrawTearOffGripper(QPainter& dc, QRect rc, bool selected, bool draw) override;
    QSize DrawSpecialControl(QPainter& dc, int kind, IPaintedControl* control, IPaintedBar* bar,
                             bool draw, QSize barSize, bool hiddenControls) override;
    void DrawStatusBarPane(QPainter& dc, QRect rc, int paneStyle, const QString& text) override;
    QMargins GetCommandBarBorders(IPaintedBar* bar) override;
    void FillImageColumn(QPainter& dc, int x, int y, int width, int height,
                         bool rarelyUsed) override;
    int GetThemeId() const override { return 2; }

    COLORREF m_clrDockBarLeft = 0, m_clrDockBarRight = 0;
    COLORREF m_clrFaceDark = 0, m_clrFaceLight = 0;
    COLORREF m_clrPoppedLight = 0, m_clrPoppedDark = 0;
    COLORREF m_clrBarLine = 0;
    COLORREF m_clrCaption = 0;
    COLORREF m_clrExpandDark = 0, m_clrExpandLight = 0;
    COLORREF m_clrRarelyDark = 0, m_clrRarelyLight = 0;
    COLORREF m_clrBallDark = 0, m_clrBallLight = 0;
    COLORREF m_clrStatusFrame = 0;
    bool m_bSchemeActive = false;

    static constexpr COLORREF kHotFrom = 0xC8F2FF, kHotTo = 0x97D4FF;
    static constexpr COLORREF kPushedFrom = 0x4B8EFE, kPushedTo = 0x8BCFFF;
    static constexpr COLORREF kCheckedFrom = 0x8CD5FF, kCheckedTo = 0x55ADFF;

private:
    // The dock gradient across the screen's width, in the coordinates of `origin` (the x of the
    // painted area's left edge in the gradient's frame).
    void FillDockGradient(QPainter& dc, QRect rc, int originX, int span);
};

} // namespace GVPPaintThemes
