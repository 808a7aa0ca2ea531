#include "platform/qt/title_width.h"

#include <QFont>
#include <QFontMetrics>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace platform::qt {

int TitleWidth(const QWidget& window) {
    const QString title = window.windowTitle();
    if (title.isEmpty())
        return 0;
    QFont font = window.font();
    font.setBold(true);
    const int text = QFontMetrics(font).horizontalAdvance(title);
    QStyle* style = window.style();
    const int caption = std::max(style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window),
                                 QFontMetrics(font).height() + 4);
    // The frame as the window manager drew it, once it has; the style's guess before.
    const int frame =
        std::max(window.frameGeometry().width() - window.geometry().width(),
                 2 * style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &window));
    // Room for the icon and up to three caption buttons, and half a caption's margin either side.
    return text + 5 * caption + frame;
}

} // namespace platform::qt
