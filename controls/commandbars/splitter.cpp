#include "controls/commandbars/splitter.h"

#include "controls/commandbars/aux_data.h"
#include "controls/commandbars/paint_manager.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {
// The desktop shows window contents while dragging; the splitter's style may turn it off.
constexpr bool kSystemFullDrag = true;
} // namespace

CGVSplitterWnd::CGVSplitterWnd(QWidget* parent) : QWidget(parent) {
    m_fullDrag = kSystemFullDrag;
    setMouseTracking(true);
}

bool CGVSplitterWnd::CreateStatic(int rows, int cols) {
    if (rows < 1 || cols < 1 || rows > 16 || cols > 16)
        return false;
    m_rows.assign(static_cast<std::size_t>(rows), Track{});
    m_cols.assign(static_cast<std::size_t>(cols), Track{});
    m_panes.assign(static_cast<std::size_t>(rows * cols), nullptr);
    return true;
}

void CGVSplitterWnd::SetPane(int row, int col, QWidget* pane) {
    if (row < 0 || col < 0 || row >= GetRowCount() || col >= GetColumnCount())
        return;
    pane->setParent(this);
    m_panes[static_cast<std::size_t>(row * GetColumnCount() + col)] = pane;
    pane->show();
    RecalcLayout();
}

QWidget* CGVSplitterWnd::GetPane(int row, int col) const {
    if (row < 0 || col < 0 || row >= GetRowCount() || col >= GetColumnCount())
        return nullptr;
    return m_panes[static_cast<std::size_t>(row * GetColumnCount() + col)];
}

void CGVSplitterWnd::SetRowInfo(int row, int ideal, int minimum) {
    if (row < 0 || row >= GetRowCount())
        return;
    m_rows[static_cast<std::size_t>(row)] = {ideal, ideal, minimum};
}

void CGVSplitterWnd::SetColumnInfo(int col, int ideal, int minimum) {
    if (col < 0 || col >= GetColumnCount())
        return;
    m_cols[static_cast<std::size_t>(col)] = {ideal, ideal, minimum};
}

int CGVSplitterWnd::GetRowHeight(int row) const {
    return row >= 0 && row < GetRowCount() ? m_rows[static_cast<std::size_t>(row)].size : 0;
}

int CGVSplitterWnd::GetColumnWidth(int col) const {
    return col >= 0 && col < GetColumnCount() ? m_cols[static_cast<std::size_t>(col)].size : 0;
}

void CGVSplitterWnd::SetSplitterStyle(int style) {
    m_style = style;
    m_fullDrag = (style & NoFullDrag) ? false : kSystemFullDrag;
}

void CGVSplitterWnd::SetFlatSplitter(bool flat) {
    m_flat = flat;
    m_splitter = flat ? 6 : 7;
    RecalcLayout();
}

namespace {

// Sizes along one axis: every track but the last keeps its size (at least 0); the last takes
// what is left.
void Distribute(std::vector<int>& sizes, int total, int bar) {
    int used = 0;
    for (std::size_t i = 0; i + 1 < sizes.size(); ++i) {
        sizes[i] = std::max(sizes[i], 0);
        used += sizes[i] + bar;
    }
    if (!sizes.empty())
        sizes.back() = std::max(total - used, 0);
}

} // namespace

void CGVSplitterWnd::RecalcLayout() {
    std::vector<int> widths, heights;
    for (const Track& t : m_cols)
        widths.push_back(t.size);
    for (const Track& t : m_rows)
        heights.push_back(t.size);
    Distribute(widths, width(), m_splitter);
    Distribute(heights, height(), m_splitter);
    for (std::size_t i = 0; i < m_cols.size(); ++i)
        m_cols[i].size = widths[i];
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        m_rows[i].size = heights[i];
    int y = 0;
    for (int r = 0; r < GetRowCount(); ++r) {
        int x = 0;
        for (int c = 0; c < GetColumnCount(); ++c) {
            const QRect cell(x, y, widths[static_cast<std::size_t>(c)],
                             heights[static_cast<std::size_t>(r)]);
            if (QWidget* pane = GetPane(r, c))
                pane->setGeometry(cell.adjusted(m_border, m_border, -m_border, -m_border));
            x += cell.width() + m_splitter;
        }
        y += heights[static_cast<std::size_t>(r)] + m_splitter;
    }
    update();
}

QRect CGVSplitterWnd::BarRect(bool row, int index) const {
    int pos = 0;
    for (int i = 0; i <= index; ++i)
        pos += (row ? m_rows : m_cols)[static_cast<std::size_t>(i)].size +
               (i < index ? m_splitter : 0);
    return row ? QRect(0, pos, width(), m_splitter) : QRect(pos, 0, m_splitter, height());
}

int CGVSplitterWnd::HitTest(QPoint pt) const {
    int rowHit = -1, colHit = -1;
    for (int r = 0; r + 1 < GetRowCount(); ++r)
        if (BarRect(true, r).contains(pt))
            rowHit = r;
    for (int c = 0; c + 1 < GetColumnCount(); ++c)
        if (BarRect(false, c).contains(pt))
            colHit = c;
    if (rowHit >= 0 && colHit >= 0)
        return SplitterIntersection1 + rowHit * 15 + colHit;
    if (rowHit >= 0)
        return VSplitterBar1 + rowHit;
    if (colHit >= 0)
        return HSplitterBar1 + colHit;
    return NoHit;
}

void CGVSplitterWnd::OnDrawSplitter(QPainter* dc, int kind, const QRect& rect) {
    if (!dc) {
        update(rect);
        return;
    }
    constexpr COLORREF A = 55, B = 52;
    const GV_AUX_DATA& aux = GetGlobalAuxData();
    const COLORREF H = aux.clrBtnHilite | 0x01000000u; // values, not table indices
    const COLORREF F = aux.clrWindowFrame | 0x01000000u;
    auto ring = [&](QRect& rc, COLORREF tl, COLORREF br) {
        CGVPPaintManager::Draw3dRect(*dc, rc, tl, br);
        rc.adjust(1, 1, -1, -1);
    };
    QRect rc = rect;
    switch (kind) {
    case SplitBox:
        if (m_flat) {
            ring(rc, A, A);
            ring(rc, B, H);
        } else {
            ring(rc, A, F);
            ring(rc, H, B);
        }
        dc->fillRect(rc, GetQColor(A));
        break;
    case SplitBorder:
        if (m_flat && (m_style & PlainBorders)) {
            ring(rc, A, A);
            ring(rc, A, A);
        } else if (m_flat) {
            ring(rc, A, A);
            ring(rc, B, H);
        } else {
            ring(rc, B, H);
            ring(rc, F, A);
        }
        break;
    default:
        dc->fillRect(rc, GetQColor(A));
        break;
    }
}

void CGVSplitterWnd::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), GetQColor(55));
    int y = 0;
    for (int r = 0; r < GetRowCount(); ++r) {
        int x = 0;
        for (int c = 0; c < GetColumnCount(); ++c) {
            const QRect cell(x, y, m_cols[static_cast<std::size_t>(c)].size,
                             m_rows[static_cast<std::size_t>(r)].size);
            OnDrawSplitter(&p, SplitBorder, cell);
            x += cell.width() + m_splitter;
        }
        y += m_rows[static_cast<std::size_t>(r)].size + m_splitter;
    }
    if (m_tracking != NoHit && !m_fullDrag) {
        // The tracker: a 4-pixel band inverted across the bar.
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        for (const QRect& t : {m_tracker, m_trackerCol})
            if (!t.isEmpty())
                p.fillRect(t, m_flat ? QColor(Qt::white) : QColor(128, 128, 128));
    }
}

void CGVSplitterWnd::resizeEvent(QResizeEvent*) {
    RecalcLayout();
}

void CGVSplitterWnd::SetSplitCursor(int hit) {
    const GV_AUX_DATA& aux = GetGlobalAuxData();
    if (hit == VSplitterBar1 || (hit > VSplitterBar1 && hit <= VSplitterBar1 + 14))
        setCursor(aux.hcurVSplit);
    else if (hit == HSplitterBar1 || (hit > HSplitterBar1 && hit <= HSplitterBar1 + 14))
        setCursor(aux.hcurHSplit);
    else if (hit >= SplitterIntersection1)
        setCursor(Qt::SizeAllCursor);
    else
        unsetCursor();
}

void CGVSplitterWnd::StartTracking(int hit, QPoint pt) {
    m_tracking = hit;
    m_trackOffset = QPoint();
    if (hit >= VSplitterBar1 && hit < HSplitterBar1)
        m_trackOffset.setY(BarRect(true, hit - VSplitterBar1).y() - pt.y());
    else if (hit >= HSplitterBar1 && hit < SplitterIntersection1)
        m_trackOffset.setX(BarRect(false, hit - HSplitterBar1).x() - pt.x());
    else {
        const int row = (hit - SplitterIntersection1) / 15,
                  col = (hit - SplitterIntersection1) % 15;
        m_trackOffset = QPoint(BarRect(false, col).x() - pt.x(), BarRect(true, row).y() - pt.y());
    }
    m_lastTrackingPoint = QPoint(-1, -1);
    grabMouse();
    SetSplitCursor(hit);
    ApplyTracker(pt);
}

void CGVSplitterWnd::ApplyTracker(QPoint pt) {
    const QPoint p = pt + m_trackOffset;
    int row = -1, col = -1;
    if (m_tracking >= VSplitterBar1 && m_tracking < HSplitterBar1)
        row = m_tracking - VSplitterBar1;
    else if (m_tracking >= HSplitterBar1 && m_tracking < SplitterIntersection1)
        col = m_tracking - HSplitterBar1;
    else {
        row = (m_tracking - SplitterIntersection1) / 15;
        col = (m_tracking - SplitterIntersection1) % 15;
    }
    // The limit: the bar stays between the neighbouring bars (or edges).
    auto clampAlong = [&](bool isRow, int index, int value) {
        const auto& tracks = isRow ? m_rows : m_cols;
        int start = 0;
        for (int i = 0; i < index; ++i)
            start += tracks[static_cast<std::size_t>(i)].size + m_splitter;
        const int end = start + tracks[static_cast<std::size_t>(index)].size +
                        tracks[static_cast<std::size_t>(index + 1)].size;
        return std::clamp(value, start, std::max(start, end));
    };
    m_tracker = m_trackerCol = QRect();
    if (row >= 0) {
        const int y = clampAlong(true, row, p.y());
        m_tracker = QRect(0, y + (m_splitter - 4) / 2, width(), 4);
        if (m_fullDrag) {
            int start = 0;
            for (int i = 0; i < row; ++i)
                start += m_rows[static_cast<std::size_t>(i)].size + m_splitter;
            const int total = m_rows[static_cast<std::size_t>(row)].size +
                              m_rows[static_cast<std::size_t>(row + 1)].size;
            m_rows[static_cast<std::size_t>(row)].size = y - start;
            m_rows[static_cast<std::size_t>(row + 1)].size = total - (y - start);
        }
    }
    if (col >= 0) {
        const int x = clampAlong(false, col, p.x());
        m_trackerCol = QRect(x + (m_splitter - 4) / 2, 0, 4, height());
        if (m_fullDrag) {
            int start = 0;
            for (int i = 0; i < col; ++i)
                start += m_cols[static_cast<std::size_t>(i)].size + m_splitter;
            const int total = m_cols[static_cast<std::size_t>(col)].size +
                              m_cols[static_cast<std::size_t>(col + 1)].size;
            m_cols[static_cast<std::size_t>(col)].size = x - start;
            m_cols[static_cast<std::size_t>(col + 1)].size = total - (x - start);
        }
    }
    if (m_fullDrag) {
        if (p != m_lastTrackingPoint) {
            m_lastTrackingPoint = p;
            RecalcLayout();
            repaint();
        }
    } else {
        update();
    }
}

void CGVSplitterWnd::StopTracking(bool accept) {
    if (m_tracking == NoHit)
        return;
    releaseMouse();
    if (accept && !m_fullDrag) {
        // The tracker positions become the sizes.
        const bool fullDrag = m_fullDrag;
        m_fullDrag = true;
        if (!m_tracker.isEmpty() || !m_trackerCol.isEmpty()) {
            const QPoint centre(m_trackerCol.isEmpty() ? 0
                                                       : m_trackerCol.x() - (m_splitter - 4) / 2,
                                m_tracker.isEmpty() ? 0 : m_tracker.y() - (m_splitter - 4) / 2);
            ApplyTracker(centre - m_trackOffset);
        }
        m_fullDrag = fullDrag;
    }
    m_tracking = NoHit;
    m_tracker = m_trackerCol = QRect();
    RecalcLayout();
}

void CGVSplitterWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || (m_style & NoSizing))
        return;
    const int hit = HitTest(event->position().toPoint());
    if (hit != NoHit)
        StartTracking(hit, event->position().toPoint());
}

void CGVSplitterWnd::mouseMoveEvent(QMouseEvent* event) {
    if (m_tracking != NoHit) {
        ApplyTracker(event->position().toPoint());
        return;
    }
    if (!(m_style & NoSizing))
        SetSplitCursor(HitTest(event->position().toPoint()));
}

void CGVSplitterWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (m_tracking != NoHit && event->button() == Qt::LeftButton) {
        ApplyTracker(event->position().toPoint());
        StopTracking(true);
        update();
    }
}

void CGVSplitterWnd::keyPressEvent(QKeyEvent* event) {
    if (m_tracking != NoHit && event->key() == Qt::Key_Escape) {
        StopTracking(false);
        return;
    }
    QWidget::keyPressEvent(event);
}
