#include "controls/commandbars/colors_system.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>

COLORREF DefaultSysColor(int index) {
    const QPalette pal = QGuiApplication::instance() ? QGuiApplication::palette() : QPalette();
    auto c = [&](QPalette::ColorGroup g, QPalette::ColorRole r) {
        return QColorToRef(pal.color(g, r));
    };
    using P = QPalette;
    switch (index) {
    case 0:
        return c(P::Active, P::Mid); // scroll bar
    case 1:
        return c(P::Active, P::Dark); // desktop
    case 2:
        return c(P::Active, P::Highlight); // active caption
    case 3:
        return c(P::Inactive, P::Mid); // inactive caption
    case 4:
        return c(P::Active, P::Button); // menu
    case 5:
        return c(P::Active, P::Base); // window
    case 6:
        return c(P::Active, P::Shadow); // window frame
    case 7:
        return c(P::Active, P::ButtonText); // menu text
    case 8:
        return c(P::Active, P::Text); // window text
    case 9:
        return c(P::Active, P::HighlightedText); // caption text
    case 10:
    case 11:
        return c(P::Active, P::Button);
    case 12:
        return c(P::Active, P::Mid); // application workspace
    case 13:
        return c(P::Active, P::Highlight);
    case 14:
        return c(P::Active, P::HighlightedText);
    case 15:
        return c(P::Active, P::Button); // button face
    case 16:
        return c(P::Active, P::Mid); // button shadow
    case 17:
        return c(P::Disabled, P::Text); // grey text
    case 18:
        return c(P::Active, P::ButtonText);
    case 19:
        return c(P::Inactive, P::Text); // inactive caption text
    case 20:
        return c(P::Active, P::Light); // button highlight
    case 21:
        return c(P::Active, P::Shadow); // dark shadow
    case 22:
        return c(P::Active, P::Midlight); // 3D light
    case 23:
        return c(P::Active, P::ToolTipText);
    case 24:
        return c(P::Active, P::ToolTipBase);
    case 26:
        return c(P::Active, P::Link);
    case 27:
        return c(P::Active, P::Highlight);
    case 28:
        return c(P::Inactive, P::Mid);
    default:
        return 0;
    }
}

int DefaultScreenDepth() {
    if (!QGuiApplication::instance())
        return 32;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 32;
}
