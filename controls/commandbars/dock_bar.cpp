#include "controls/commandbars/dock_bar.h"

#include "controls/commandbars/command_bars.h"
#include "controls/commandbars/frame_site.h"
#include "controls/commandbars/paint_manager.h"
#include "controls/commandbars/tool_bar.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>

namespace {
QRect GlobalRect(const QWidget* w) {
    return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
}
QRect Swap(const QRect& r) {
    return QRect(r.y(), r.x(), r.height(), r.width());
}
} // namespace

CGVPDockBar::CGVPDockBar(QWidget* parent, int style, unsigned id, CGVPCommandBars* bars)
    : QWidget(parent), style_(style), id_(id), commandBars_(bars) {
    bars_.push_back(nullptr);
    setAttribute(Qt::WA_NoSystemBackground);
    resize(0, 0);
    show();
}

CGVPDockBar::~CGVPDockBar() {
    for (CGVPToolBar* bar : bars_)
        if (bar && bar->GetDockBar() == this)
            bar->SetDockBar(nullptr);
}

int CGVPDockBar::GetSide() const {
    if (style_ & 0x2800)
        return 0;
    if (style_ & 0x8200)
        return 1;
    if (style_ & 0x1400)
        return 2;
    return 3;
}

int CGVPDockBar::FindBar(const CGVPToolBar* bar, int skip) const {
    for (int i = 0; i < int(bars_.size()); ++i)
        if (i != skip && bars_[size_t(i)] == bar)
            return i;
    return -1;
}

CGVPToolBar* CGVPDockBar::GetBar(int index) const {
    return (index >= 0 && index < int(bars_.size())) ? bars_[size_t(index)] : nullptr;
}

std::vector<CGVPToolBar*> CGVPDockBar::GetRowBars(int index) const {
    std::vector<CGVPToolBar*> row;
    if (index < 0 || index >= int(bars_.size()))
        return row;
    int start = index;
    while (start > 0 && bars_[size_t(start - 1)])
        --start;
    for (int i = start; i < int(bars_.size()) && bars_[size_t(i)]; ++i) {
        CGVPToolBar* bar = bars_[size_t(i)];
        if (bar->IsVisible() && bar->GetType() == gvpBarTypeNormal)
            row.push_back(bar);
    }
    const bool horizontal = IsHorizontal();
    std::stable_sort(row.begin(), row.end(), [horizontal](CGVPToolBar* a, CGVPToolBar* b) {
        const QRect ra = GlobalRect(a), rb = GlobalRect(b);
        return horizontal ? ra.left() < rb.left() : ra.top() < rb.top();
    });
    return row;
}

void CGVPDockBar::RemoveCommandBar(CGVPToolBar* bar, int skip) {
    const int i = FindBar(bar, skip);
    if (i < 0)
        return;
    bars_.erase(bars_.begin() + i);
    // Collapse a row that became empty.
    if (i > 0 && i < int(bars_.size()) && !bars_[size_t(i - 1)] && !bars_[size_t(i)])
        bars_.erase(bars_.begin() + i);
    if (bars_.empty() || bars_.front())
        bars_.insert(bars_.begin(), nullptr);
    if (commandBars_ && commandBars_->GetSite())
        commandBars_->GetSite()->DelayRecalcLayout();
}

void CGVPDockBar::DockCommandBar(CGVPToolBar* bar, const QRect* rect) {
    const int existing = FindBar(bar);
    if (existing >= 0 && (!rect || *rect == GlobalRect(bar)))
        return;
    const bool horizontal = IsHorizontal();
    int index;
    CGVPDockContext* dc = bar->GetDockContext();
    if (rect) {
        const QRect local(mapFromGlobal(rect->topLeft()), rect->size());
        const int cross = horizontal ? local.center().y() : local.center().x();
        index = -1;
        int prevFar = 0;
        int rowStart = 1;
        for (int i = 1; i <= int(bars_.size()); ++i) {
            if (i < int(bars_.size()) && bars_[size_t(i)])
                continue;
            // bars_[rowStart .. i) is a row
            if (i > rowStart) {
                int farEdge = 0, nearEdge = INT_MAX;
                for (int k = rowStart; k < i; ++k) {
                    CGVPToolBar* b = bars_[size_t(k)];
                    if (b == bar || !b->isVisible())
                        continue;
                    const QRect g = b->geometry();
                    farEdge =
                        std::max(farEdge, horizontal ? g.y() + g.height() : g.x() + g.width());
                    nearEdge = std::min(nearEdge, horizontal ? g.y() : g.x());
                }
                if (farEdge > cross) {
                    if (cross == prevFar || (rowStart == 1 && cross < nearEdge)) {
                        bars_.insert(bars_.begin() + rowStart, {bar, nullptr});
                        index = rowStart;
                    } else {
                        bars_.insert(bars_.begin() + i, bar);
                        index = i;
                    }
                    break;
                }
                prevFar = farEdge;
            }
            rowStart = i + 1;
        }
        if (index < 0) {
            if (bars_.back())
                bars_.push_back(nullptr);
            bars_.push_back(bar);
            index = int(bars_.size()) - 1;
            bars_.push_back(nullptr);
        }
        if (dc)
            dc->lastDockedRect = local;
    } else {
        if (bars_.back())
            bars_.push_back(nullptr);
        bars_.push_back(bar);
        index = int(bars_.size()) - 1;
        bars_.push_back(nullptr);
        if (dc)
            dc->lastDockedRect = QRect();
    }
    if (bar->parentWidget() != this || bar->isWindow()) {
        bar->setParent(this, Qt::Widget);
        if (bar->IsVisible())
            bar->show();
    }
    if (bar->GetDockBar() == this)
        RemoveCommandBar(bar, index);
    else if (bar->GetDockBar())
        bar->GetDockBar()->RemoveCommandBar(bar);
    bar->SetDockBar(this);
    // A stretched bar fills a row of its own.
    for (int i = 0; i < int(bars_.size()); ++i) {
        CGVPToolBar* b = bars_[size_t(i)];
        if (!b || !(b->GetDockingFlags() & kDockStretch))
            continue;
        if (i > 0 && bars_[size_t(i - 1)]) {
            bars_.insert(bars_.begin() + i, nullptr);
            ++i;
        }
        if (i + 1 < int(bars_.size()) && bars_[size_t(i + 1)])
            bars_.insert(bars_.begin() + i + 1, nullptr);
    }
    if (commandBars_ && commandBars_->GetSite())
        commandBars_->GetSite()->DelayRecalcLayout();
}

int CGVPDockBar::LayoutRow(std::vector<DockInfo>& infos, int offset, int length, int mode,
                           bool commit, int& thickness) {
    const bool horizontal = IsHorizontal();
    const bool customize = commandBars_ && commandBars_->IsCustomizeMode();
    auto barMode = [&](CGVPToolBar* bar) {
        int m = mode & ~LM_STRETCH;
        if (bar->GetDockingFlags() & kDockStretch)
            m |= LM_STRETCH;
        if ((bar->GetDockingFlags() & kDockHideWrap) && !customize)
            m |= LM_HIDEWRAP;
        return m;
    };
    std::vector<QSize> sizes;
    for (DockInfo& d : infos) {
        QSize s = d.bar->CalcDockingLayout(length, barMode(d.bar));
        if (!horizontal)
            s.transpose();
        sizes.push_back(s);
        const QRect last =
            d.bar->GetDockContext() ? d.bar->GetDockContext()->lastDockedRect : QRect();
        const int left = horizontal ? last.left() : last.top();
        d.requested = QRect(last.isNull() ? 0 : left, offset, s.width(), s.height());
        d.rect = d.requested;
    }
    std::vector<int> order(infos.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return infos[size_t(a)].rect.left() < infos[size_t(b)].rect.left();
    });
    std::vector<DockInfo> sorted;
    std::vector<QSize> sortedSizes;
    for (int i : order) {
        sorted.push_back(infos[size_t(i)]);
        sortedSizes.push_back(sizes[size_t(i)]);
    }
    infos = sorted;
    sizes = sortedSizes;
    const int n = int(infos.size());
    std::vector<bool> pushed(size_t(n), false);
    auto right = [](const QRect& r) { return r.left() + r.width(); };
    for (int i = 1; i < n; ++i) {
        DockInfo& d = infos[size_t(i)];
        const DockInfo& prev = infos[size_t(i - 1)];
        if (d.rect.left() < right(prev.rect)) {
            if (!pushed[size_t(i - 1)] && prev.index > d.index)
                continue;
            d.rect.moveLeft(right(prev.rect));
            pushed[size_t(i)] = true;
        }
    }
    int limit = length;
    for (int i = n - 1; i >= 0; --i) {
        DockInfo& d = infos[size_t(i)];
        if (right(d.rect) > limit) {
            const bool keep =
                i + 1 < n && !pushed[size_t(i + 1)] && infos[size_t(i + 1)].index < d.index;
            if (!keep)
                d.rect.moveLeft(limit - d.rect.width());
        }
        limit = d.rect.left();
    }
    int x = 0;
    for (DockInfo& d : infos) {
        if (d.rect.left() < x)
            d.rect.moveLeft(x);
        x = right(d.rect);
    }
    if (n > 0 && right(infos.back().rect) > length) {
        int sum = 0;
        for (DockInfo& d : infos) {
            if (barMode(d.bar) & LM_HIDEWRAP) {
                QSize m = d.bar->CalcDockingLayout(1, barMode(d.bar));
                d.minLength = horizontal ? m.width() : m.height();
            } else {
                d.minLength = length;
            }
            d.sumMin = sum;
            sum += d.minLength;
        }
        limit = length;
        for (int i = n - 1; i >= 0; --i) {
            DockInfo& d = infos[size_t(i)];
            int left = std::min(d.rect.left(), d.requested.left());
            left = std::max(left, limit - d.rect.width());
            left = std::max(left, d.sumMin);
            if (limit - left < d.minLength) {
                left = limit - d.minLength;
                if (left < d.sumMin && n > 1)
                    return n - 1;
            }
            d.rect = QRect(left, d.rect.top(), limit - left, d.rect.height());
            limit = std::max(0, left);
        }
    }
    thickness = 0;
    std::vector<QSize> finals;
    for (DockInfo& d : infos) {
        QSize s = d.bar->CalcDockingLayout(d.rect.width(), barMode(d.bar));
        if (!horizontal)
            s.transpose();
        finals.push_back(s);
        thickness = std::max(thickness, s.height());
    }
    for (size_t i = 0; i < infos.size(); ++i) {
        DockInfo& d = infos[i];
        if (!commit)
            continue;
        QSize s = d.bar->CalcDockingLayout(d.rect.width(), barMode(d.bar) | LM_COMMIT);
        QRect placed(d.rect.left(), offset, d.rect.width(), thickness);
        if (!horizontal)
            placed = Swap(placed);
        (void)s;
        if (d.bar->GetDockContext())
            d.bar->GetDockContext()->lastSide = GetSide();
        d.bar->setGeometry(placed);
        d.bar->update();
    }
    return -1;
}

QSize CGVPDockBar::CalcDockingLayout(int length, int mode, bool commit) {
    const bool horizontal = IsHorizontal();
    QSize size((mode & LM_STRETCH) && (mode & LM_HORZ) ? 32767 : 0,
               (mode & LM_STRETCH) && !(mode & LM_HORZ) ? 32767 : 0);
    int offset = 0;
    size_t i = 0;
    while (i < bars_.size()) {
        std::vector<DockInfo> row;
        for (; i < bars_.size() && !bars_[i]; ++i) {
        }
        for (; i < bars_.size() && bars_[i]; ++i) {
            CGVPToolBar* bar = bars_[i];
            if (bar->IsVisible())
                row.push_back({bar, {}, {}, int(i), 0, 0});
        }
        while (!row.empty()) {
            std::vector<DockInfo> overflow;
            int thickness = 0;
            for (;;) {
                const int leave = LayoutRow(row, offset, length, mode, commit, thickness);
                if (leave < 0)
                    break;
                overflow.insert(overflow.begin(), row[size_t(leave)]);
                row.erase(row.begin() + leave);
            }
            offset += thickness;
            row = overflow;
        }
    }
    if (horizontal)
        size.setHeight(std::max(size.height(), offset));
    else
        size.setWidth(std::max(size.width(), offset));
    return size;
}

void CGVPDockBar::LayoutIn(QRect& remaining, bool commit) {
    const bool horizontal = IsHorizontal();
    const int mode = (horizontal ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK) | LM_STRETCH;
    const int length = horizontal ? remaining.width() : remaining.height();
    QSize size = CalcDockingLayout(length, mode, commit);
    size = size.boundedTo(remaining.size());
    QRect r;
    switch (GetSide()) {
    case 0:
        r = QRect(remaining.left(), remaining.top(), remaining.width(), size.height());
        remaining.setTop(remaining.top() + size.height());
        break;
    case 1:
        r = QRect(remaining.left(), remaining.bottom() + 1 - size.height(), remaining.width(),
                  size.height());
        remaining.setBottom(remaining.bottom() - size.height());
        break;
    case 2:
        r = QRect(remaining.left(), remaining.top(), size.width(), remaining.height());
        remaining.setLeft(remaining.left() + size.width());
        break;
    default:
        r = QRect(remaining.right() + 1 - size.width(), remaining.top(), size.width(),
                  remaining.height());
        remaining.setRight(remaining.right() - size.width());
        break;
    }
    if (commit) {
        setGeometry(r);
        update();
    }
}

void CGVPDockBar::paintEvent(QPaintEvent*) {
    QPainter dc(this);
    CGVPPaintManager* pm = commandBars_ ? commandBars_->GetPaintManager() : GetPaintManager();
    if (pm)
        pm->FillDockBar(dc, this, GetSide());
}

void CGVPDockBar::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton && commandBars_)
        commandBars_->ContextMenu(e->globalPosition().toPoint());
}

// --- dock context ---------------------------------------------------------------------------

CGVPDockContext::CGVPDockContext(CGVPToolBar* bar) : bar_(bar) {}

void CGVPDockContext::StartDrag(QPoint global) {
    mode_ = 1;
    last_ = global;
    startSide_ = lastSide;
    startDocked_ = lastDockedRect;
    wasDocked_ = !bar_->IsFloating();
    dragRect = GlobalRect(bar_);
    if (!dragRect.contains(global))
        dragRect.moveTopLeft(global);
    floatRect =
        QRect(dragRect.topLeft(), bar_->CalcDynamicLayout(0, LM_MRUWIDTH | LM_HORZ | LM_COMMIT));
    bar_->setCursor(Qt::SizeAllCursor);
    CGVPMouseManager::GetMouseManager()->LockMouseMove();
    bar_->grabMouse();
}

void CGVPDockContext::StartResize(int hit, QPoint global) {
    mode_ = hit;
    last_ = global;
    wasDocked_ = false;
    floatRect = GlobalRect(bar_);
    CGVPMouseManager::GetMouseManager()->LockMouseMove();
    bar_->grabMouse();
}

void CGVPDockContext::OnMove(QPoint global) {
    if (!mode_ || global == last_)
        return;
    const QPoint delta = global - last_;
    last_ = global;
    CGVPCommandBars* bars = bar_->GetCommandBars();
    if (!bars)
        return;
    if (mode_ == 1) {
        dragRect.translate(delta);
        floatRect.translate(delta);
        CGVPDockBar* dock = bars->FindDockBar(global, bar_->GetDockBar());
        static const int need[4] = {kDockTop, kDockBottom, kDockLeft, kDockRight};
        if (dock && (bar_->GetDockingFlags() & need[dock->GetSide()])) {
            CGVPDockBar* previous = bar_->GetDockBar();
            const bool wasFloating = bar_->IsFloating();
            bars->DockCommandBar(bar_, &dragRect, dock);
            if (dock != previous || wasFloating) {
                if (bars->GetSite())
                    bars->GetSite()->RecalcLayout();
                dragRect = GlobalRect(bar_);
                if (!dragRect.contains(global))
                    dragRect.moveTopLeft(global - QPoint(4, 4));
            }
        } else if (bar_->GetDockingFlags() & kDockFloat) {
            if (!bar_->IsFloating()) {
                bars->FloatCommandBar(bar_);
                const QSize size = bar_->CalcDynamicLayout(0, LM_MRUWIDTH | LM_HORZ | LM_COMMIT);
                floatRect = QRect(floatRect.topLeft(), size);
                if (!floatRect.contains(global))
                    floatRect.moveTopLeft(global - QPoint(size.width() / 2, 4));
                bar_->resize(size);
                bar_->move(floatRect.topLeft());
                // The bar became a window of its own and lost the pointer with its old
                // parent: the rest of the drag must still come to it, or it stays where it
                // left the dock.
                if (bar_->isVisible())
                    bar_->grabMouse();
            }
            bar_->move(floatRect.topLeft());
        }
        if (bars->GetSite())
            bars->GetSite()->RecalcLayout();
        return;
    }
    // Resizing a floating bar by one of its borders.
    QRect r = floatRect;
    switch (mode_) {
    case 10:
        r.setLeft(r.left() + delta.x());
        break;
    case 11:
        r.setRight(r.right() + delta.x());
        break;
    case 12:
        r.setTop(r.top() + delta.y());
        break;
    default:
        r.setBottom(r.bottom() + delta.y());
        break;
    }
    floatRect = r;
    const bool byWidth = mode_ == 10 || mode_ == 11;
    const int length = std::max(0, byWidth ? r.width() : r.height());
    const QSize size = bar_->CalcDynamicLayout(
        length, byWidth ? (LM_HORZ | LM_COMMIT) : (LM_HORZ | LM_LENGTHY | LM_COMMIT));
    if (size == bar_->size())
        return;
    QRect win = GlobalRect(bar_);
    QRect next(win.topLeft(), size);
    if (mode_ == 10)
        next.moveRight(win.right());
    if (mode_ == 12)
        next.moveBottom(win.bottom());
    QRect desktop;
    for (QScreen* s : QGuiApplication::screens())
        desktop |= s->geometry();
    if (!desktop.isEmpty() && !desktop.intersects(next))
        return;
    bar_->setGeometry(next);
    bar_->SetRememberedWidth(size.width());
    bar_->update();
}

void CGVPDockContext::EndLoop() {
    if (!mode_)
        return;
    const int mode = mode_;
    mode_ = 0;
    if (QWidget::mouseGrabber() == bar_)
        bar_->releaseMouse();
    bar_->unsetCursor();
    CGVPMouseManager::GetMouseManager()->UnlockMouseMove();
    if (bar_->IsFloating()) {
        lastFloatPos = bar_->pos();
        hasFloatPos = true;
        if (mode == 1 && wasDocked_) {
            lastSide = startSide_;
            lastDockedRect = startDocked_;
        }
        if (mode != 1)
            bar_->SetRememberedWidth(bar_->width());
    }
}

void CGVPDockContext::OnRelease() {
    EndLoop();
}
void CGVPDockContext::OnCancel() {
    EndLoop();
}

bool CGVPDockContext::OnDoubleClick() {
    CGVPCommandBars* bars = bar_->GetCommandBars();
    if (!bars)
        return false;
    if (bar_->IsFloating()) {
        if (!(bar_->GetDockingFlags() & 0xF))
            return false;
        CGVPDockBar* dock = bars->GetDockBar(lastSide);
        if (!dock)
            return false;
        if (lastDockedRect.isNull()) {
            bars->DockCommandBar(bar_, lastSide);
        } else {
            const QRect screen(dock->mapToGlobal(lastDockedRect.topLeft()), lastDockedRect.size());
            bars->DockCommandBar(bar_, &screen, dock);
        }
        if (bars->GetSite())
            bars->GetSite()->RecalcLayout();
        return true;
    }
    if (!(bar_->GetDockingFlags() & kDockFloat) || !bars->GetCommandBarsOptions()->bDblClickFloat)
        return false;
    QPoint pos = lastFloatPos;
    if (!hasFloatPos && bar_->GetDockBar())
        pos = bar_->GetDockBar()->mapToGlobal(lastDockedRect.topLeft());
    bars->FloatCommandBar(bar_);
    bar_->move(pos);
    return true;
}
