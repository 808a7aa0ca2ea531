#include "controls/commandbars/shadow.h"

#include "controls/commandbars/paint_manager.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cstdlib>
#include <xcb/xcb.h>

// One shadow: a thin top-level window that follows its bar's visibility.
class CGVPShadowsManager::CShadowWnd : public QWidget {
public:
    CShadowWnd(CGVPShadowsManager* manager, QWidget* bar, bool bottom, bool themeShadow)
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                               Qt::X11BypassWindowManagerHint | Qt::WindowStaysOnTopHint),
          m_manager(manager), m_bar(bar), m_bottom(bottom), m_themeShadow(themeShadow) {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        if (manager->IsLayered())
            setAttribute(Qt::WA_TranslucentBackground);
        bar->installEventFilter(this);
        // A destroyed bar's shadows hide at once and are freed with the next change.
        connect(bar, &QObject::destroyed, this, &QWidget::hide);
    }
    ~CShadowWnd() override {
        if (m_bar)
            m_bar->removeEventFilter(this);
    }

    QWidget* Bar() const { return m_bar; }
    bool IsBottom() const { return m_bottom; }
    bool IsThemeShadow() const { return m_themeShadow; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_bar) {
            if (event->type() == QEvent::Show)
                show();
            else if (event->type() == QEvent::Hide)
                hide();
        }
        return false;
    }

    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        if (m_manager->IsLayered()) {
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(0, 0,
                        MakeLayeredShadow(m_bottom, m_bottom ? width() : height(),
                                          m_manager->GetShadowColor(), m_themeShadow));
        } else {
            p.fillRect(rect(), RefToQColor(GetSystemColorTable().SysColor(16)));
        }
    }

private:
    CGVPShadowsManager* m_manager;
    QPointer<QWidget> m_bar;
    bool m_bottom;
    bool m_themeShadow;
};

namespace {

// Per-pixel alpha needs a compositor: always there on Wayland, on X11 when a compositing
// manager owns the screen's _NET_WM_CM_S0 selection.
bool DisplayComposites() {
    if (!QGuiApplication::instance())
        return false;
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(QLatin1String("wayland")))
        return true;
    if (platform != QLatin1String("xcb"))
        return false;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    static const char kName[] = "_NET_WM_CM_S0";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, sizeof kName - 1, kName), nullptr);
    if (!atom)
        return false;
    bool owned = false;
    if (atom->atom != XCB_ATOM_NONE) {
        xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
            connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
        owned = owner && owner->owner != XCB_WINDOW_NONE;
        free(owner);
    }
    free(atom);
    return owned;
}

} // namespace

CGVPShadowsManager::CGVPShadowsManager() : m_layered(DisplayComposites()) {}
CGVPShadowsManager::~CGVPShadowsManager() {
    m_shadows.clear();
}

QRect CGVPShadowsManager::ShadowRect(const QRect& bar, bool bottom, int t) {
    const int right = bar.x() + bar.width(), lower = bar.y() + bar.height();
    if (bottom)
        return QRect(QPoint(bar.x() + t, lower), QPoint(right + t - 1, lower + t - 1));
    return QRect(QPoint(right, bar.y() + t), QPoint(right + t - 1, lower - 1));
}

QImage CGVPShadowsManager::MakeLayeredShadow(bool bottom, int length, COLORREF color,
                                             bool themeShadow) {
    const int m = themeShadow ? 1 : 2;
    const int w = bottom ? length : 4, h = bottom ? 4 : length;
    QImage image(std::max(w, 1), std::max(h, 1), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const int c[3] = {gvpcolor::GetR(color), gvpcolor::GetG(color), gvpcolor::GetB(color)};
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int across = bottom ? y : x; // 0 next to the bar
            const int along = bottom ? x : y;
            const int d = 4 - across;
            int e = 4;
            if (along < 4)
                e = along + 1;
            else if (bottom && along >= length - 4)
                e = length - along;
            int alpha, ch[3];
            if (e < 4) {
                alpha = 3 * m * d * e;
                for (int i = 0; i < 3; ++i)
                    ch[i] = c[i] * d * e / 20;
            } else {
                alpha = 15 * m * d;
                for (int i = 0; i < 3; ++i)
                    ch[i] = c[i] * d / 4;
            }
            alpha = std::min(alpha, 255);
            for (int& v : ch)
                v = std::min(v, alpha);
            line[x] = qRgba(ch[0], ch[1], ch[2], alpha);
        }
    }
    return image;
}

void CGVPShadowsManager::AddShadow(QWidget* bar, bool bottom, const QRect& exclude) {
    CGVPPaintManager* pm = CGVPPaintManager::GetCurrent();
    const bool themeShadow = pm && pm->HasShadows();
    auto shadow = std::make_unique<CShadowWnd>(this, bar, bottom, themeShadow);
    const QRect barRect = bar->frameGeometry();
    const QRect rc = ShadowRect(barRect, bottom, m_layered ? 4 : 2);
    shadow->setGeometry(rc);
    if (themeShadow) {
        // The opening control and the other shadowed popups stay uncovered.
        QRegion region(QRect(QPoint(0, 0), rc.size()));
        if (!exclude.isEmpty())
            region -= QRegion(exclude.translated(-rc.topLeft()));
        for (const auto& other : m_shadows)
            if (other->Bar() && other->Bar() != bar)
                region -= QRegion(other->Bar()->frameGeometry().translated(-rc.topLeft()));
        shadow->setMask(region);
    }
    if (bar->isVisible())
        shadow->show();
    m_shadows.push_back(std::move(shadow));
}

void CGVPShadowsManager::SetShadows(QWidget* popupBar, const QRect& exclude) {
    if (!popupBar)
        return;
    std::erase_if(m_shadows, [](const auto& s) { return !s->Bar(); });
    CGVPPaintManager* pm = CGVPPaintManager::GetCurrent();
    const bool themeShadows = pm && pm->HasShadows();
    if (!themeShadows && !(m_layered && m_systemShadows))
        return;
    AddShadow(popupBar, true, exclude);
    AddShadow(popupBar, false, exclude);
}

void CGVPShadowsManager::ExcludeControl(QWidget* popupBar, const QRect& controlScreenRect) {
    CGVPPaintManager* pm = CGVPPaintManager::GetCurrent();
    if (!pm || !pm->HasShadows())
        return;
    for (auto& shadow : m_shadows) {
        if (shadow->Bar() != popupBar)
            continue;
        QRegion region = shadow->mask().isEmpty() ? QRegion(shadow->rect()) : shadow->mask();
        region -= QRegion(controlScreenRect.translated(-shadow->geometry().topLeft()));
        shadow->setMask(region);
    }
}

void CGVPShadowsManager::RemoveShadows(QWidget* popupBar) {
    std::erase_if(m_shadows, [&](const auto& s) { return !s->Bar() || s->Bar() == popupBar; });
}

int CGVPShadowsManager::ShadowCount(QWidget* popupBar) const {
    return static_cast<int>(std::count_if(m_shadows.begin(), m_shadows.end(),
                                          [&](const auto& s) { return s->Bar() == popupBar; }));
}
