// The paint manager measures and draws every bar and control; its subclasses are the themes.
// Bars and controls never paint themselves: they hand the paint manager a painter and
// themselves, seen through the small read interfaces below, which the bar and control classes
// implement.
#pragma once

#include "controls/commandbars/colors.h"

#include <QFont>
#include <QImage>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class CGVPImageManagerIcon;
class QLineEdit;
class QPainter;
class QWidget;

// Bar types and positions as the bars store them.
enum GVPBarType { gvpBarTypeMenuBar = 0, gvpBarTypeNormal = 1, gvpBarTypePopup = 2 };
enum GVPBarPosition {
    gvpBarTop = 0,
    gvpBarBottom = 1,
    gvpBarLeft = 2,
    gvpBarRight = 3,
    gvpBarFloating = 4,
    gvpBarPopup = 5,
    gvpBarNone = 7
};
enum GVPControlType {
    gvpControlButton = 1,
    gvpControlPopup = 2,
    gvpControlButtonPopup = 3,
    gvpControlSplitButtonPopup = 4,
    gvpControlComboBox = 5,
    gvpControlEdit = 6,
    gvpControlCustom = 7
};
// Button styles of a plain button.
enum GVPButtonStyle {
    gvpButtonAutomatic = 0,
    gvpButtonCaption = 1,
    gvpButtonIcon = 2,
    gvpButtonIconAndCaption = 3
};
// The toolkit's own small buttons (DrawSpecialControl).
enum GVPSpecialControl {
    gvpButtonExpandToolbar = 0,
    gvpButtonExpandMenu = 1,
    gvpButtonHideFloating = 2,
    gvpButtonExpandFloating = 3,
    gvpButtonCustomize = 4
};

// Positions 2, 3 and 5.
bool IsVerticalPosition(int position);

class IPaintedBar;

// What the paint manager reads of a control, and the two widths it stores back when it
// measures a combo box or edit field.
class IPaintedControl {
public:
    virtual ~IPaintedControl() = default;

    virtual int GetType() const = 0;
    virtual int GetID() const = 0;
    virtual bool GetEnabled() const = 0;
    virtual bool GetChecked() const = 0;
    // 0; 1 selected with the mouse; 2 selected with the keyboard.
    virtual int GetSelected() const = 0;
    // 0; 1; 2 held down.
    virtual int GetPressed() const = 0;
    // A popup control whose popup bar is open.
    virtual bool GetPopuped() const = 0;
    virtual bool GetBeginGroup() const = 0;
    // Starts a new row of its bar.
    virtual bool GetWrap() const = 0;
    // In the bar's client coordinates.
    virtual QRect GetRect() const = 0;
    virtual void SetRect(const QRect& rect) = 0;
    virtual QString GetCaption() const = 0;
    virtual QString GetShortcutText() const = 0;
    // The icon at that width, or none.
    virtual CGVPImageManagerIcon* GetImage(int width) const = 0;
    virtual bool IsDefaultItem() const = 0;
    virtual bool IsRarelyUsed() const = 0;
    // GVPButtonStyle of a plain button; 0 for the others.
    virtual int GetStyle() const { return gvpButtonAutomatic; }
    virtual IPaintedBar* GetPaintedParent() const = 0;

    // Combo box and edit field.
    virtual int GetWidth() const { return 0; }
    // The caption is drawn before the field on a toolbar.
    virtual bool GetShowLabel() const { return false; }
    virtual int GetLabelWidth() const { return 0; }
    virtual void SetLabelWidth(int) {}
    virtual int GetDropButtonWidth() const { return 0; }
    virtual void SetDropButtonWidth(int) {}
    virtual QLineEdit* GetEditWindow() const { return nullptr; }
    virtual bool IsDroppedDown() const { return false; }
    // A combo box without an edit window shows this text in its field.
    virtual QString GetListText() const { return {}; }
};

// What the paint manager reads of a bar.
class IPaintedBar {
public:
    virtual ~IPaintedBar() = default;

    virtual int GetType() const = 0;
    virtual int GetPosition() const = 0;
    virtual QString GetTitle() const = 0;
    // The bar's window: client size, place in its parent (a dock bar) and on the screen.
    virtual QWidget* GetWidget() const = 0;
    // Button image size (16 x 15 unless the bar loaded other images).
    virtual QSize GetIconSize() const = 0;
    virtual int GetControlCount() const = 0;
    virtual IPaintedControl* GetPaintedControl(int index) const = 0;
    // Drawn and hit (its hidden mask is 0).
    virtual bool IsControlVisible(int index) const = 0;
    // A popup bar: the screen rectangle of the control that opened it; empty otherwise.
    virtual QRect GetOwnerControlScreenRect() const { return {}; }
};

class CGVPPaintManager {
public:
    CGVPPaintManager();
    virtual ~CGVPPaintManager();
    CGVPPaintManager(const CGVPPaintManager&) = delete;
    CGVPPaintManager& operator=(const CGVPPaintManager&) = delete;

    // The process-wide paint manager; null until the first SelectTheme.
    static CGVPPaintManager* GetCurrent();
    // 0 Office, 1 Default, 2 Office 2003, 3 native XP. The current one is kept when it is
    // already that theme.
    static void SelectTheme(int theme);
    static void ReleaseGlobalPaintManager();

    void InternalAddRef() { ++m_refs; }
    // Deletes at count 0.
    void InternalRelease();

    // Measure (draw false) and paint (draw true) share one path per control.
    virtual QSize DrawPopupBarControl(QPainter& dc, IPaintedControl* control, bool draw) = 0;
    virtual QSize DrawToolBarControl(QPainter& dc, IPaintedControl* control, bool draw) = 0;
    virtual QSize DrawComboBoxControl(QPainter& dc, IPaintedControl* control, bool draw) = 0;
    virtual QSize DrawEditControl(QPainter& dc, IPaintedControl* control, bool draw) = 0;
    virtual QSize DrawListBoxControl(QPainter& dc, IPaintedControl* control, QRect item,
                                     bool selected, bool draw) = 0;
    virtual void FillCommandBar(QPainter& dc, IPaintedBar* bar) = 0;
    // The face of one control; sets the painter's pen to the caption colour.
    virtual void DrawControlEntry(QPainter& dc, QRect rc, bool enabled, int selected, int pressed,
                                  bool checked, bool popuped, int barPosition) = 0;
    void DrawControlEntry(QPainter& dc, IPaintedControl* control);
    virtual void DrawRectangle(QPainter& dc, QRect rc, int selected, int pressed, bool enabled,
                               bool checked, bool popuped, bool toolbar, int barPosition) = 0;
    virtual QSize DrawCommandBarGripper(QPainter& dc, IPaintedBar* bar, bool draw) = 0;
    // `control` follows the separator.
    virtual QSize DrawCommandBarSeparator(QPainter& dc, IPaintedBar* bar, IPaintedControl* control,
                                          bool draw) = 0;
    // The screen rectangle of a control to the rectangle its popup keeps clear.
    virtual void AdjustExcludeRect(QRect& rc, IPaintedControl* control) = 0;
    virtual void DrawStatusBarPane(QPainter& dc, QRect rc, int paneStyle, const QString& text) = 0;
    virtual void DrawStatusBarGripper(QPainter& dc, QRect rcClient);
    // `position` is the dock bar's edge (0 top ... 3 right).
    virtual void FillDockBar(QPainter& dc, QWidget* dockBar, int position);
    virtual void FillStatusBar(QPainter& dc, QWidget* statusBar);
    virtual void RefreshMetrics();
    virtual bool HasShadows() const { return false; }
    // Kind 0 measures with `barSize` (and places the control at the bar's far end); kinds 0 and
    // 3 draw chevrons when `hiddenControls`.
    virtual QSize DrawSpecialControl(QPainter& dc, int kind, IPaintedControl* control,
                                     IPaintedBar* bar, bool draw, QSize barSize = {},
                                     bool hiddenControls = false);
    virtual QMargins GetCommandBarBorders(IPaintedBar* bar);
    virtual QSize DrawTearOffGripper(QPainter& dc, QRect rc, bool selected, bool draw) = 0;
    virtual void DrawImage(QPainter& dc, QPoint pt, CGVPImageManagerIcon* image, int selected,
                           int pressed, bool enabled, bool checked, bool popuped, bool toolbar) = 0;
    virtual int GetThemeId() const = 0;
    // Bars at the left or right get the vertical font.
    virtual const QFont& GetControlFont(IPaintedBar* bar, bool bold);

    // Edit and combo box to their own operations, other controls on popup bars to
    // DrawPopupBarControl, the rest to DrawToolBarControl.
    QSize DrawControl(QPainter& dc, IPaintedControl* control, bool draw);

    // One frame of a popup's first paint: what the window shows at `step` of n steps, from
    // the finished picture and (fade) what the screen showed before. Types: 2 diagonal slide,
    // 3 vertical slide, 4 fade; other types show the picture at once.
    QImage AnimateFrame(const QImage& buffer, const QImage& screen, int type, int step) const;

    // Drawing helpers; the first three take table indices or colours above 55.
    static void Draw3dRect(QPainter& dc, QRect rc, COLORREF topLeft, COLORREF bottomRight);
    static void Rectangle(QPainter& dc, QRect rc, COLORREF pen, COLORREF brush);
    static void Line(QPainter& dc, int x1, int y1, int x2, int y2, COLORREF color);
    static void Triangle(QPainter& dc, QPoint p0, QPoint p1, QPoint p2, const QColor& color);
    static void DrawCheckMark(QPainter& dc, QRect rc, const QColor& color);
    // A toolbar control's caption; answers its extent.
    QSize DrawCaption(QPainter& dc, const QString& text, QRect rc, bool draw, bool vertical,
                      bool centered, bool triangle, bool embossed);
    static QString StripMnemonics(const QString& text);
    static void GradientFill(QPainter& dc, QRect rc, COLORREF from, COLORREF to, bool horizontal);

    // Buttons that show images: plain buttons unless caption only, button and split popups.
    static bool ShowsImage(IPaintedControl* control);
    static bool IsPopupType(int type);
    // The text-height metric of the regular font.
    static int TextHeight();

    int m_nThemeId = 0;
    bool m_bFadedIcons = false;
    bool m_bDisabledIcons = false;
    bool m_bIconShadow = false;
    int m_nAnimationSteps = 10;
    int m_nAnimationTime = 100;

protected:
    // A control on a toolbar or the menu bar; a split button's face leaves out `faceCut`
    // pixels at the right for its arrow part.
    QSize DrawToolBarButton(QPainter& dc, IPaintedControl* control, bool draw, int faceCut);

private:
    int m_refs = 1;
};

// The current paint manager; SelectTheme(1) first when none exists yet.
CGVPPaintManager* GetPaintManager();
