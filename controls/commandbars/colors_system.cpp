#include "controls/commandbars/colors_system.h"

#include <QGuiApplication>
#include <QScreen>

COLORREF DefaultSysColor(int index) {
    return platform::qt::GetSysColor(index);
}

int DefaultScreenDepth() {
    if (!QGuiApplication::instance())
        return 32;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 32;
}
