#include "controls/toolbox/status_bar.h"

#include "platform/qt/virtual_keys.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <algorithm>

using platform::qt::COLORREF;
using platform::qt::GdiRect;
namespace gdi = platform::qt;

CYNProgressCtrl::CYNProgressCtrl(int id, QWidget* parent) : QWidget(parent), id_(id) {
    connect(&gdi::SystemColors::Instance(), &gdi::SystemColors::Changed, this,
            qOverload<>(&QWidget::update));
}

void CYNProgressCtrl::SetRange(int low, int high) {
    low_ = low;
    high_ = std::max(low, high);
    pos_ = std::clamp(pos_, low_, high_);
    update();
}

void CYNProgressCtrl::SetPos(int pos) {
    pos_ = std::clamp(pos, low_, high_);
    update();
}

void CYNProgressCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    gdi::BeginGdiPainting(painter);
    const GdiRect all{0, 0, width(), height()};
    gdi::FillSolidRect(painter, all, gdi::GetSysColor(gdi::COLOR_BTNFACE));
    gdi::Draw3dRect(painter, all, gdi::GetSysColor(gdi::COLOR_BTNSHADOW),
                    gdi::GetSysColor(gdi::COLOR_BTNHIGHLIGHT));
    const GdiRect inner = all.Inflated(-2, -2);
    if (high_ > low_ && !inner.IsEmpty()) {
        const long long filled =
            static_cast<long long>(inner.Width()) * (pos_ - low_) / (high_ - low_);
        gdi::FillSolidRect(
            painter,
            GdiRect{inner.left, inner.top, inner.left + static_cast<int>(filled), inner.bottom},
            gdi::GetSysColor(gdi::COLOR_HIGHLIGHT));
    }
}

namespace {

QString DefaultIndicatorText(unsigned id) {
    switch (id) {
    case 59137:
        return QStringLiteral("CAP");
    case 59138:
        return QStringLiteral("NUM");
    case 59139:
        return QStringLiteral("SCRL");
    case 59140:
        return QStringLiteral("OVR");
    case 59141:
        return QStringLiteral("REC");
    default:
        return {};
    }
}

} // namespace

CYNStatusBar::CYNStatusBar(QWidget* parent) : QWidget(parent), lookup_(DefaultIndicatorText) {
    setObjectName(QStringLiteral("ctl_%1").arg(kStatusBarId));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    gdi::KeyState::Instance(); // the tip test reads the mouse button from it
    connect(&gdi::SystemColors::Instance(), &gdi::SystemColors::Changed, this,
            qOverload<>(&QWidget::update));
}

CYNStatusBar::~CYNStatusBar() = default;

void CYNStatusBar::SetStringLookup(StringLookup lookup) {
    lookup_ = lookup ? std::move(lookup) : StringLookup(DefaultIndicatorText);
}

std::vector<int> CYNStatusBar::LayoutPaneEdges(int insideWidth, const Borders& borders,
                                               const std::vector<PaneLayout>& panes) {
    int spare = insideWidth + borders.gap;
    int stretching = 0;
    for (const PaneLayout& pane : panes) {
        spare -= pane.width + 6 + borders.gap;
        if (pane.stretch)
            ++stretching;
    }
    std::vector<int> edges;
    edges.reserve(panes.size());
    int x = borders.horizontal;
    for (const PaneLayout& pane : panes) {
        x += pane.width + 6;
        if (pane.stretch) {
            if (spare > 0) {
                const int share = spare / stretching;
                x += share;
                spare -= share;
            }
            --stretching;
        }
        edges.push_back(x);
        x += borders.gap;
    }
    return edges;
}

bool CYNStatusBar::DefinePanes(const std::vector<unsigned>& ids) {
    for (Pane& pane : panes_)
        if (pane.progress)
            pane.progress.reset();
    panes_.clear();
    panes_.resize(ids.size());
    const QFontMetrics fm = fontMetrics();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int quarterScreen = screen ? screen->geometry().width() / 4 : 0;
    const COLORREF buttonText = gdi::GetSysColor(gdi::COLOR_BTNTEXT);
    for (size_t i = 0; i < ids.size(); ++i) {
        Pane& pane = panes_[i];
        pane.id = ids[i];
        pane.colour = buttonText;
        if (pane.id != 0) {
            pane.text = lookup_(pane.id);
            pane.width = fm.horizontalAdvance(pane.text);
        } else {
            pane.width = i == 0 ? 0 : quarterScreen;
        }
        if (i == 0)
            pane.style |= SBPS_STRETCH;
    }
    RecalcLayout();
    return true;
}

int CYNStatusBar::EnablePaneTips(bool on) {
    tipsEnabled_ = on;
    if (!on)
        QToolTip::hideText();
    return 1;
}

int CYNStatusBar::SetPaneTip(int index, const QString& text) {
    if (!ValidIndex(index))
        return 0;
    panes_[index].tip = text;
    return 1;
}

QString CYNStatusBar::GetPaneTip(int index) const {
    return ValidIndex(index) ? panes_[index].tip : QString();
}

void CYNStatusBar::ConfigurePane(int index, unsigned id, unsigned style, int width) {
    if (!ValidIndex(index))
        return;
    Pane& pane = panes_[index];
    pane.id = id;
    const bool stretchChanged = ((style ^ pane.style) & SBPS_STRETCH) != 0;
    if (stretchChanged || width != pane.width) {
        pane.style = style;
        pane.width = std::max(width, 0);
        RecalcLayout();
    } else if (style != pane.style) {
        pane.style = style;
        pane.refreshText = true;
        update(pane.rect.ToQRect());
    }
}

void CYNStatusBar::GetPaneInfo(int index, unsigned& id, unsigned& style, int& width) const {
    if (!ValidIndex(index)) {
        id = style = 0;
        width = 0;
        return;
    }
    id = panes_[index].id;
    style = panes_[index].style;
    width = panes_[index].width;
}

bool CYNStatusBar::SetPaneText(int index, const QString& text, bool update) {
    if (!ValidIndex(index))
        return false;
    Pane& pane = panes_[index];
    if (pane.text == text)
        return true;
    pane.text = text;
    if (update)
        this->update(pane.rect.ToQRect());
    return true;
}

int CYNStatusBar::SetPaneTextAndColour(int index, const QString& text, COLORREF colour,
                                       bool update) {
    if (!SetPaneText(index, text, update))
        return 0;
    Pane& pane = panes_[index];
    if (colour != pane.colour) {
        unsigned style = pane.style;
        if (colour != gdi::GetSysColor(gdi::COLOR_BTNTEXT))
            style |= SBPS_OWNERDRAW;
        else
            style &= ~SBPS_OWNERDRAW;
        pane.colour = colour;
        ConfigurePane(index, pane.id, style, pane.width);
        if (update)
            this->update(pane.rect.ToQRect());
    } else {
        pane.colour = colour;
    }
    return 1;
}

QString CYNStatusBar::GetPaneText(int index) const {
    return ValidIndex(index) ? panes_[index].text : QString();
}

COLORREF CYNStatusBar::GetPaneColour(int index) const {
    return ValidIndex(index) ? panes_[index].colour : 0;
}

unsigned CYNStatusBar::GetItemID(int index) const {
    return ValidIndex(index) ? panes_[index].id : 0;
}

int CYNStatusBar::CommandToIndex(unsigned id) const {
    for (int i = 0; i < GetCount(); ++i)
        if (panes_[i].id == id)
            return i;
    return -1;
}

GdiRect CYNStatusBar::GetItemRect(int index) const {
    return ValidIndex(index) ? panes_[index].rect : GdiRect{};
}

int CYNStatusBar::PercentTextWidth() const {
    return fontMetrics().horizontalAdvance(QStringLiteral("999%"));
}

GdiRect CYNStatusBar::InsideRect() const {
    return GdiRect{0, kTopBorder, width(), height()};
}

GdiRect CYNStatusBar::InnerRect(int index) const {
    const GdiRect r = panes_[index].rect;
    return GdiRect{r.left + borders_.gap, r.top + borders_.horizontal + 1, r.right - borders_.gap,
                   r.bottom - borders_.horizontal - 2};
}

void CYNStatusBar::RecalcLayout() {
    const GdiRect inside = InsideRect();
    std::vector<PaneLayout> layout;
    layout.reserve(panes_.size());
    for (const Pane& pane : panes_)
        layout.push_back({pane.width, (pane.style & SBPS_STRETCH) != 0});
    const std::vector<int> edges = LayoutPaneEdges(inside.Width(), borders_, layout);
    for (size_t i = 0; i < panes_.size(); ++i) {
        const int left = i == 0 ? inside.left + borders_.horizontal : edges[i - 1] + borders_.gap;
        panes_[i].rect = GdiRect{left, inside.top, edges[i], inside.bottom};
    }
    for (int i = 0; i < GetCount(); ++i) {
        Pane& pane = panes_[i];
        if (!pane.progress || !(pane.style & SBPS_PROGRESS))
            continue;
        CEvolInfo& info = *pane.progress;
        if (!info.created && !CreateProgressControl(i))
            continue;
        GdiRect rect = InnerRect(i);
        if (info.showPercent)
            rect.left += PercentTextWidth();
        info.rect = rect;
        info.control->setGeometry(rect.ToQRect());
        info.control->show();
    }
    for (Pane& pane : panes_)
        pane.refreshText = false;
    update();
}

bool CYNStatusBar::CreateProgressControl(int index) {
    Pane& pane = panes_[index];
    CEvolInfo& info = *pane.progress;
    GdiRect rect = InnerRect(index);
    if (rect.IsEmpty())
        return false;
    if (info.showPercent)
        rect.left += PercentTextWidth();
    pane.text.clear();
    info.control = std::make_unique<CYNProgressCtrl>(index, this);
    info.control->setGeometry(rect.ToQRect());
    info.control->show();
    info.rect = rect;
    info.created = true;
    return true;
}

int CYNStatusBar::MakeProgressPane(int index, int, bool showPercent) {
    if (!ValidIndex(index))
        return 0;
    Pane& pane = panes_[index];
    pane.progress = std::make_unique<CEvolInfo>();
    pane.progress->showPercent = showPercent;
    CreateProgressControl(index);
    update(pane.rect.ToQRect());
    return 1;
}

void CYNStatusBar::UpdatePaneProgress(int index, int, int range, int position) {
    if (!ValidIndex(index) || !panes_[index].progress)
        return;
    Pane& pane = panes_[index];
    CEvolInfo& info = *pane.progress;
    if (!info.created && !CreateProgressControl(index))
        return;
    info.control->SetRange(0, range);
    info.control->SetPos(position);
    info.percent =
        range == 0 ? 0 : static_cast<int>(static_cast<long long>(position) * 100 / range);
    if (info.showPercent) {
        SetPaneText(index, QString::asprintf("%d%%", info.percent), false);
        update(QRect(pane.rect.left, pane.rect.top, std::max(info.rect.left - pane.rect.left, 0),
                     pane.rect.Height()));
    }
}

const CYNStatusBar::CEvolInfo* CYNStatusBar::GetProgressInfo(int index) const {
    return ValidIndex(index) ? panes_[index].progress.get() : nullptr;
}

void CYNStatusBar::SetMinHeight(int height) {
    minHeight_ = std::max(height, 0);
    updateGeometry();
}

QSize CYNStatusBar::sizeHint() const {
    const QFontMetrics fm = fontMetrics();
    const int height = kTopBorder + fm.ascent() + fm.descent() + 2 * borders_.vertical + 2;
    int width = borders_.horizontal * 2;
    for (const Pane& pane : panes_)
        width += pane.width + 6 + borders_.gap;
    return QSize(width, std::max(height, minHeight_));
}

int CYNStatusBar::PaneAt(QPoint point) const {
    for (int i = 0; i < GetCount(); ++i)
        if (panes_[i].rect.Contains(point.x(), point.y()))
            return i;
    return -1;
}

CYNStatusBar::ToolHit CYNStatusBar::HitTestTip(QPoint point) const {
    ToolHit hit;
    if (gdi::KeyState::Instance().IsDown(gdi::VK_LBUTTON))
        return hit;
    for (int i = 0; i < GetCount(); ++i) {
        const CEvolInfo* info = panes_[i].progress.get();
        if (info && info->control && info->control->isVisible() &&
            info->control->geometry().contains(point)) {
            const int pane = info->control->Id();
            hit.hit = true;
            hit.pane = pane;
            hit.toolId = pane + GetCount();
            hit.text = GetPaneTip(pane);
            hit.rect = GdiRect::FromQRect(info->control->geometry());
            return hit;
        }
    }
    const int pane = PaneAt(point);
    if (pane < 0)
        return hit;
    hit.hit = true;
    hit.pane = pane;
    hit.toolId = static_cast<int>(panes_[pane].id);
    hit.text = panes_[pane].tip;
    hit.rect = panes_[pane].rect;
    return hit;
}

bool CYNStatusBar::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const ToolHit hit = tipsEnabled_ ? HitTestTip(help->pos()) : ToolHit{};
        if (hit.hit && !hit.text.isEmpty())
            QToolTip::showText(help->globalPos(), hit.text, this, hit.rect.ToQRect());
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void CYNStatusBar::mouseDoubleClickEvent(QMouseEvent* event) {
    const int pane = PaneAt(event->position().toPoint());
    if (pane >= 0)
        emit PaneDoubleClicked(panes_[pane].id);
}

void CYNStatusBar::resizeEvent(QResizeEvent*) {
    RecalcLayout();
}

void CYNStatusBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    gdi::BeginGdiPainting(painter);
    painter.setFont(font());
    gdi::FillSolidRect(painter, GdiRect{0, 0, width(), height()},
                       gdi::GetSysColor(gdi::COLOR_BTNFACE));
    const COLORREF shadow = gdi::GetSysColor(gdi::COLOR_BTNSHADOW);
    const COLORREF light = gdi::GetSysColor(gdi::COLOR_BTNHIGHLIGHT);
    const COLORREF buttonText = gdi::GetSysColor(gdi::COLOR_BTNTEXT);
    for (Pane& pane : panes_) {
        pane.refreshText = false;
        const GdiRect& r = pane.rect;
        if (r.IsEmpty())
            continue;
        if (pane.style & SBPS_POPOUT)
            gdi::Draw3dRect(painter, r, light, shadow);
        else if (!(pane.style & SBPS_NOBORDERS))
            gdi::Draw3dRect(painter, r, shadow, light);
        if ((pane.style & SBPS_DISABLED) || pane.text.isEmpty())
            continue;
        const COLORREF colour = (pane.style & SBPS_OWNERDRAW) ? pane.colour : buttonText;
        GdiRect textRect{r.left + 2, r.top + 1, r.right - 1, r.bottom - 1};
        if (pane.progress && pane.progress->control && pane.progress->control->isVisible())
            textRect.right = std::min(textRect.right, pane.progress->rect.left);
        gdi::DrawText(painter, textRect, pane.text,
                      gdi::DT_SINGLELINE | gdi::DT_VCENTER | gdi::DT_NOPREFIX, colour);
    }
}
