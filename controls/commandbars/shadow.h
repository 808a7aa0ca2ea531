// The drop shadows of popup bars: two thin top-level windows under and at the right of a bar,
// with per-pixel alpha where the display composites and a solid fill elsewhere.
#pragma once

#include "controls/commandbars/colors.h"

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <memory>
#include <vector>

class CGVPShadowsManager {
public:
    class CShadowWnd;

    CGVPShadowsManager();
    ~CGVPShadowsManager();

    // Shadows for a popup bar's window, leaving `exclude` (screen coordinates) uncovered.
    void SetShadows(QWidget* popupBar, const QRect& exclude = {});
    // Cuts a control's screen rectangle out of both shadows of its popup bar.
    void ExcludeControl(QWidget* popupBar, const QRect& controlScreenRect);
    void RemoveShadows(QWidget* popupBar);
    int ShadowCount(QWidget* popupBar) const;

    void SetShadowColor(COLORREF color) { m_color = color; }
    COLORREF GetShadowColor() const { return m_color; }
    // Whether shadow windows get per-pixel alpha (the display composites).
    bool IsLayered() const { return m_layered; }
    void SetLayered(bool layered) { m_layered = layered; }
    // The desktop's own menu-shadow setting (off here unless set).
    void SetSystemMenuShadows(bool on) { m_systemShadows = on; }

    // The picture of one shadow: thickness 4 across, `length` along; `bottom` for the shadow
    // under the bar. m is 1 with the theme's shadows and 2 otherwise.
    static QImage MakeLayeredShadow(bool bottom, int length, COLORREF color, bool themeShadow);
    // The window rectangles of the two shadows of a bar, under it first.
    static QRect ShadowRect(const QRect& bar, bool bottom, int thickness);

private:
    void AddShadow(QWidget* bar, bool bottom, const QRect& exclude);

    COLORREF m_color = 0;
    bool m_layered = false;
    bool m_systemShadows = false;
    std::vector<std::unique_ptr<CShadowWnd>> m_shadows;
};

CGVPShadowsManager* GetShadowsManager();
