#include "controls/grid/cel_parts.h"

#include "controls/grid/cel_ctrl.h"
#include "controls/grid/grid_colours.h"
#include "platform/cp1252.h"
#include "platform/qt/virtual_keys.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

using namespace grid_colours;

namespace {

enum : int {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_F1 = 0x70,
};

int FlagsOf(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons = Qt::NoButton) {
    int flags = 0;
    if (mods & Qt::ShiftModifier)
        flags |= kMkShift;
    if (mods & Qt::ControlModifier)
        flags |= kMkControl;
    if (buttons & Qt::LeftButton)
        flags |= kMkLButton;
    if (buttons & Qt::RightButton)
        flags |= kMkRButton;
    return flags;
}

QString ToDisplayText(const std::string& bytes) {
    return QString::fromStdString(platform::Cp1252ToUtf8(bytes));
}

// The modifier flags of the input being handled, for the moves it makes; afterwards the grid
// reads the key state again.
struct ScopedFlags {
    ScopedFlags(CELCtrl* grid, int flags) : grid_(grid) { grid_->SetKeyFlags(flags); }
    ~ScopedFlags() { grid_->SetKeyFlags(-1); }
    ScopedFlags(const ScopedFlags&) = delete;
    ScopedFlags& operator=(const ScopedFlags&) = delete;
    CELCtrl* grid_;
};

// Display-order walk: locked items, then from the first scrolled one.
template <typename F> void ForVisible(int count, int locked, int first, F&& f) {
    for (int i = 0; i < count; ++i) {
        if (i == locked && i < first)
            i = first;
        if (i >= count)
            break;
        if (!f(i))
            break;
    }
}

} // namespace

int WindowsKeyCode(int qtKey) {
    return platform::qt::VirtualKeyFromQtKey(qtKey);
}

// ---------------- cell area ----------------

CELGrid::CELGrid(CELCtrl* grid) : QWidget(grid), grid_(grid) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setObjectName("cellArea");
}

void CELGrid::paintEvent(QPaintEvent* /*event*/) {
    if (!grid_->IsPaintingEnabled())
        return;
    QPainter p(this);
    DrawCells(p);
}

void CELGrid::DrawCells(QPainter& p) {
    CELGridInfo& s = grid_->Info();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(s.defaultFont ? *s.defaultFont : grid_->font());
    grid_->PrepareScreenDC(p, nullptr, 1);
    s.rightColumn = s.columnCount;
    s.bottomRow = s.rowCount;
    const int areaW = s.cellAreaWidth, areaH = s.cellAreaHeight;
    const QColor blank = ToQColor(grid_->GetSectionBackColour(1));
    CELCell cell;
    int y = 0;
    bool stop = false;
    focusRect_ = QRect();
    const QColor black(Qt::black);
    for (int r = 0; r < s.rowCount && !stop; ++r) {
        if (r == s.lockedRows && r < s.topRow)
            r = s.topRow;
        if (r >= s.rowCount)
            break;
        const int h = s.RowHeight(r);
        if (h == 0)
            continue;
        int x = 0;
        for (int c = 0; c < s.columnCount; ++c) {
            if (c == s.lockedColumns && c < s.leftColumn)
                c = s.leftColumn;
            if (c >= s.columnCount)
                break;
            const int w = s.ColumnWidth(c);
            if (w == 0)
                continue;
            const QRect rect(x, y, w, h);
            if (p.hasClipping() ? p.clipBoundingRect().intersects(rect) : true) {
                grid_->FetchCell(c, r, cell);
                CELCellType* type = grid_->GetCellTypeByNumber(cell.GetCellType());
                const bool current = c == s.currentColumn && r == s.currentRow;
                int mark = 0;
                if (!current) {
                    int index = 0;
                    if (s.blocks.Holds(c, r, &index))
                        mark = index + 1;
                }
                type->Draw(p, rect, c, r, cell, mark, current);
                if (s.lockedColumns > 0) {
                    if (c == s.leftColumn)
                        p.fillRect(x - 1, y, 1, h + 1, black);
                    if (c == s.lockedColumns - 1)
                        p.fillRect(x + w - 1, y, 1, h, black);
                }
                if (s.lockedRows > 0) {
                    if (r == s.topRow)
                        p.fillRect(x, y - 1, w + 1, 1, black);
                    if (r == s.lockedRows - 1)
                        p.fillRect(x, y + h - 1, w, 1, black);
                }
            }
            if (c == s.currentColumn && r == s.currentRow)
                focusRect_ = rect;
            x += w;
            if (x > areaW) {
                s.rightColumn = c;
                break;
            }
        }
        if (x < areaW && s.rightColumn == s.columnCount)
            p.fillRect(x, y, areaW - x, h, blank);
        y += h;
        if (y > areaH) {
            s.bottomRow = r;
            stop = true;
        } else if (r == s.rowCount - 1) {
            const int before = s.rowCount;
            grid_->ExtendRowsOnDemand();
            if (s.rowCount <= before)
                break;
        }
    }
    if (y < areaH)
        p.fillRect(0, y, areaW, areaH - y, blank);
    if (s.rowCount == 0 || s.columnCount == 0)
        p.fillRect(0, 0, areaW, areaH, blank);
    if ((hasFocus_ || grid_->IsFindDialogOpen()) && focusRect_.isValid())
        grid_->DrawFocusFrame(p, focusRect_);
}

void CELGrid::RedrawChanged() {
    if (grid_->IsPaintingEnabled())
        update();
}

void CELGrid::RedrawCell(int /*column*/, int /*row*/) {
    RedrawChanged();
}

void CELGrid::RedrawRange(int, int, int, int) {
    RedrawChanged();
}

void CELGrid::mousePressEvent(QMouseEvent* event) {
    if (grid_->IsEditing())
        return;
    CELGridInfo& s = grid_->Info();
    const QPoint pt = event->position().toPoint();
    const int flags = FlagsOf(event->modifiers(), event->buttons());
    int column = -1, row = -1;
    QRect rect;
    const bool hit = grid_->GetCellFromPoint(pt.x(), pt.y(), column, row, rect) == 0;
    if (!hit) {
        column = -1;
        row = -1;
    }
    if (event->button() == Qt::LeftButton) {
        setFocus(Qt::MouseFocusReason);
        captured_ = true;
        s.mouseState = 1;
        s.keyFlags = flags;
        const ScopedFlags scoped(grid_, flags);
        int processed = 0;
        if (hit) {
            grid_->MoveActiveCell(column, row);
            processed =
                grid_->GetCellTypeOfCell(column, row)->OnLeftButton(column, row, 1, rect, pt);
            typeOwnsDrag_ = processed != 0;
        }
        grid_->NotifyCellLeftClick(column, row, 1, rect, pt, processed);
        s.mouseState = 0;
    } else if (event->button() == Qt::RightButton) {
        setFocus(Qt::MouseFocusReason);
        s.mouseState = 2;
        s.keyFlags = flags;
        const ScopedFlags scoped(grid_, flags);
        int processed = 0;
        if (hit) {
            grid_->MoveActiveCell(column, row);
            processed =
                grid_->GetCellTypeOfCell(column, row)->OnRightButton(column, row, 1, rect, pt);
        }
        grid_->NotifyCellRightClick(column, row, 1, rect, pt, processed);
        s.mouseState = 0;
    }
}

void CELGrid::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pt = event->position().toPoint();
    int column = -1, row = -1;
    QRect rect;
    if (grid_->GetCellFromPoint(pt.x(), pt.y(), column, row, rect) != 0) {
        column = -1;
        row = -1;
    }
    int processed = 0;
    if (event->button() == Qt::LeftButton) {
        if (column >= 0)
            processed =
                grid_->GetCellTypeOfCell(column, row)->OnLeftButton(column, row, 0, rect, pt);
        grid_->NotifyCellLeftClick(column, row, 0, rect, pt, processed);
        captured_ = false;
        typeOwnsDrag_ = false;
        if (dragTimer_) {
            killTimer(dragTimer_);
            dragTimer_ = 0;
        }
    } else if (event->button() == Qt::RightButton) {
        if (column >= 0)
            processed =
                grid_->GetCellTypeOfCell(column, row)->OnRightButton(column, row, 0, rect, pt);
        grid_->NotifyCellRightClick(column, row, 0, rect, pt, processed);
    }
}

void CELGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pt = event->position().toPoint();
    int column = -1, row = -1;
    QRect rect;
    if (grid_->GetCellFromPoint(pt.x(), pt.y(), column, row, rect) != 0) {
        column = -1;
        row = -1;
    }
    int processed = 0;
    if (column >= 0)
        processed = grid_->GetCellTypeOfCell(column, row)->OnDoubleClick(column, row, rect, pt);
    grid_->NotifyCellDoubleClick(column, row, rect, pt, processed);
}

void CELGrid::DragStep(const QPoint& pt) {
    CELGridInfo& s = grid_->Info();
    s.mouseState = 3;
    int column, row;
    QRect rect;
    if (grid_->GetCellFromPoint(pt.x(), pt.y(), column, row, rect) == 0) {
        if (s.lockedColumns == 0 && s.lockedRows == 0) {
            grid_->MoveActiveCell(column, row);
        } else {
            if (s.targetColumn >= s.lockedColumns && column < s.lockedColumns &&
                s.leftColumn > s.lockedColumns)
                grid_->MoveColumnBy(0);
            else
                grid_->MoveActiveColumn(column);
            if (s.targetRow >= s.lockedRows && row < s.lockedRows && s.topRow > s.lockedRows)
                grid_->MoveRowBy(0);
            else
                grid_->MoveActiveRow(row);
        }
    }
    if (pt.x() < 0)
        grid_->MoveColumnBy(0);
    else if (pt.x() >= s.cellAreaWidth)
        grid_->MoveColumnBy(1);
    if (pt.y() < 0)
        grid_->MoveRowBy(0);
    else if (pt.y() >= s.cellAreaHeight)
        grid_->MoveRowBy(1);
    s.mouseState = 0;
}

void CELGrid::mouseMoveEvent(QMouseEvent* event) {
    if (!captured_ || grid_->IsEditing())
        return;
    CELGridInfo& s = grid_->Info();
    const QPoint pt = event->position().toPoint();
    const int flags = FlagsOf(event->modifiers(), event->buttons());
    s.keyFlags = flags;
    const ScopedFlags scoped(grid_, flags);
    if (typeOwnsDrag_) {
        const int c = s.currentColumn, r = s.currentRow;
        const int processed = grid_->GetCellTypeOfCell(c, r)->OnMouseMove(c, r, pt, flags);
        grid_->NotifyCellMouseMove(c, r, pt, flags, processed);
        return;
    }
    s.mouseState = 3;
    int column, row;
    QRect rect;
    if (grid_->GetCellFromPoint(pt.x(), pt.y(), column, row, rect) == 0) {
        const int processed =
            grid_->GetCellTypeOfCell(column, row)->OnMouseMove(column, row, pt, flags);
        grid_->NotifyCellMouseMove(column, row, pt, flags, processed);
    }
    if (flags & kMkLButton) {
        dragPoint_ = pt;
        DragStep(pt);
        const bool outside = !rect.isValid() || pt.x() < 0 || pt.y() < 0 ||
                             pt.x() >= s.cellAreaWidth || pt.y() >= s.cellAreaHeight;
        if (outside && !dragTimer_)
            dragTimer_ = startTimer(60);
        else if (!outside && dragTimer_) {
            killTimer(dragTimer_);
            dragTimer_ = 0;
        }
    }
    s.mouseState = 0;
}

void CELGrid::timerEvent(QTimerEvent* event) {
    if (event->timerId() != dragTimer_)
        return;
    if (!captured_ || !(QApplication::mouseButtons() & Qt::LeftButton)) {
        killTimer(dragTimer_);
        dragTimer_ = 0;
        return;
    }
    // The pointer rests outside: keep stretching and scrolling toward it.
    DragStep(dragPoint_);
}

void CELGrid::wheelEvent(QWheelEvent* event) {
    // Deltas gather to whole notches before they scroll.
    wheelRest_ += event->angleDelta().y();
    const int notches = wheelRest_ / 120;
    wheelRest_ -= notches * 120;
    if (notches != 0)
        grid_->SetTopRow(grid_->GetTopRow() - notches * 3);
    event->accept();
}

void CELGrid::keyPressEvent(QKeyEvent* event) {
    CELGridInfo& s = grid_->Info();
    s.mouseState = 0;
    const int flags = FlagsOf(event->modifiers());
    const ScopedFlags scoped(grid_, flags);
    int key = platform::qt::VirtualKeyFromEvent(*event);
    const int column = s.currentColumn, row = s.currentRow;
    if (key == VK_F1) {
        grid_->ShowHelp(column, row, 1);
        return;
    }
    CELCellType* type = (column >= 0 && row >= 0) ? grid_->GetCellTypeOfCell(column, row)
                                                  : grid_->GetCellTypeByNumber(0);
    int processed = type->OnKeyDown(column, row, key);
    grid_->NotifyKeyPressed(key, processed);
    switch (key) {
    case VK_LEFT:
        grid_->MoveActiveColumn(s.targetColumn - 1);
        break;
    case VK_RIGHT:
        grid_->MoveActiveColumn(s.targetColumn + 1);
        break;
    case VK_UP:
        grid_->MoveActiveRow(s.targetRow - 1);
        break;
    case VK_DOWN:
        grid_->MoveActiveRow(s.targetRow + 1);
        break;
    case VK_PRIOR:
        grid_->MoveRowBy(2);
        break;
    case VK_NEXT:
        grid_->MoveRowBy(3);
        break;
    case VK_HOME:
        if (flags & kMkControl)
            grid_->MoveRowBy(4);
        else
            grid_->MoveColumnBy(4);
        break;
    case VK_END:
        if (flags & kMkControl)
            grid_->MoveRowBy(5);
        else
            grid_->MoveColumnBy(5);
        break;
    default:
        break;
    }
    const QString text = event->text();
    if (!text.isEmpty() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const std::string bytes = platform::Utf8ToCp1252(text.toStdString());
        if (!bytes.empty()) {
            int ch = static_cast<unsigned char>(bytes[0]);
            const int c = s.currentColumn, r = s.currentRow;
            CELCellType* t =
                (c >= 0 && r >= 0) ? grid_->GetCellTypeOfCell(c, r) : grid_->GetCellTypeByNumber(0);
            const int done = t->OnCharTyped(c, r, ch);
            grid_->NotifyCharTyped(ch, done);
        }
    }
}

void CELGrid::keyReleaseEvent(QKeyEvent* event) {
    CELGridInfo& s = grid_->Info();
    int key = platform::qt::VirtualKeyFromEvent(*event);
    const int column = s.currentColumn, row = s.currentRow;
    CELCellType* type = (column >= 0 && row >= 0) ? grid_->GetCellTypeOfCell(column, row)
                                                  : grid_->GetCellTypeByNumber(0);
    const int processed = type->OnKeyUp(column, row, key);
    grid_->NotifyKeyReleased(key, processed);
}

void CELGrid::focusInEvent(QFocusEvent* event) {
    typeOwnsDrag_ = false;
    hasFocus_ = true;
    QWidget::focusInEvent(event);
    grid_->NotifyFocusGained(1);
    update();
}

void CELGrid::focusOutEvent(QFocusEvent* event) {
    hasFocus_ = false;
    QWidget::focusOutEvent(event);
    update();
    grid_->NotifyFocusLost(1);
}

bool CELGrid::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (!grid_->Info().cellTips) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        int column, row;
        QRect rect;
        if (grid_->GetCellFromPoint(help->pos().x(), help->pos().y(), column, row, rect) != 0) {
            QToolTip::hideText();
            tipColumn_ = tipRow_ = -2;
            return true;
        }
        std::string text;
        if (grid_->GetCellTipText(column, row, 1, text) == 1)
            QToolTip::showText(help->globalPos(), ToDisplayText(text), this, rect);
        else
            QToolTip::hideText();
        tipColumn_ = column;
        tipRow_ = row;
        return true;
    }
    return QWidget::event(event);
}

// ---------------- headings ----------------

CELHeading::CELHeading(CELCtrl* grid, bool top) : QWidget(grid), grid_(grid), top_(top) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setObjectName(top ? "columnHeadings" : "rowHeadings");
}

namespace {

// Top of heading row hr (negative) in the top heading: the topmost heading row is at 0.
int HeadingRowTop(const CELGridInfo& s, int hr) {
    int y = 0;
    for (int k = s.HeadingRows(); k > -hr; --k)
        y += s.headingRowHeights[static_cast<std::size_t>(k - 1)];
    return y;
}

int HeadingColumnLeft(const CELGridInfo& s, int hc) {
    int x = 0;
    for (int k = s.HeadingColumns(); k > -hc; --k)
        x += s.headingColumnWidths[static_cast<std::size_t>(k - 1)];
    return x;
}

} // namespace

QRect CELHeading::CellRect(int column, int row) const {
    const CELGridInfo& s = grid_->Info();
    if (top_) {
        if (row >= 0 || row < -s.HeadingRows())
            return QRect();
        int c = column, r = 0;
        QRect cellRect;
        grid_->GetCellRect(c, r, cellRect);
        const int y = HeadingRowTop(s, row);
        return QRect(cellRect.left(), y, cellRect.width(),
                     s.headingRowHeights[static_cast<std::size_t>(-row - 1)]);
    }
    if (column >= 0 || column < -s.HeadingColumns())
        return QRect();
    int c = 0, r = row;
    QRect cellRect;
    grid_->GetCellRect(c, r, cellRect);
    const int x = HeadingColumnLeft(s, column);
    return QRect(x, cellRect.top(), s.headingColumnWidths[static_cast<std::size_t>(-column - 1)],
                 cellRect.height());
}

int CELHeading::ColumnUnder(int x) const {
    const CELGridInfo& s = grid_->Info();
    int found = -1, sum = 0;
    ForVisible(s.columnCount, s.lockedColumns, s.leftColumn, [&](int c) {
        sum += s.ColumnWidth(c);
        if (x < sum) {
            found = c;
            return false;
        }
        return sum <= s.cellAreaWidth;
    });
    return found;
}

int CELHeading::RowUnder(int y) const {
    const CELGridInfo& s = grid_->Info();
    int found = -1, sum = 0;
    ForVisible(s.rowCount, s.lockedRows, s.topRow, [&](int r) {
        sum += s.RowHeight(r);
        if (y < sum) {
            found = r;
            return false;
        }
        return sum <= s.cellAreaHeight;
    });
    return found;
}

int CELHeading::HitTest(const QPoint& pt, int& column, int& row, QRect& rect) const {
    const CELGridInfo& s = grid_->Info();
    if (top_) {
        const int c = ColumnUnder(pt.x());
        if (c < 0)
            return 1;
        for (int hr = -s.HeadingRows(); hr < 0; ++hr) {
            const QRect r = CellRect(c, hr);
            if (pt.y() >= r.top() && pt.y() <= r.bottom()) {
                column = c;
                row = hr;
                rect = r;
                return 0;
            }
        }
        return 1;
    }
    const int r = RowUnder(pt.y());
    if (r < 0)
        return 1;
    for (int hc = -s.HeadingColumns(); hc < 0; ++hc) {
        const QRect cr = CellRect(hc, r);
        if (pt.x() >= cr.left() && pt.x() <= cr.right()) {
            column = hc;
            row = r;
            rect = cr;
            return 0;
        }
    }
    return 1;
}

void CELHeading::paintEvent(QPaintEvent* /*event*/) {
    if (!grid_->IsPaintingEnabled())
        return;
    QPainter p(this);
    Draw(p);
}

void CELHeading::Draw(QPainter& p) {
    CELGridInfo& s = grid_->Info();
    grid_->PrepareScreenDC(p, nullptr, top_ ? 2 : 3);
    p.setFont(s.defaultFont ? *s.defaultFont : grid_->font());
    const QColor back = ToQColor(grid_->GetSectionBackColour(top_ ? 2 : 3));
    CELCell cell;
    if (top_) {
        int right = 0;
        for (int hr = -s.HeadingRows(); hr < 0; ++hr) {
            const int y = HeadingRowTop(s, hr);
            const int h = s.headingRowHeights[static_cast<std::size_t>(-hr - 1)];
            int x = 0;
            ForVisible(s.columnCount, s.lockedColumns, s.leftColumn, [&](int c) {
                const int w = s.ColumnWidth(c);
                if (w > 0 && h > 0) {
                    grid_->FetchCell(c, hr, cell);
                    p.save();
                    grid_->GetCellTypeByNumber(cell.GetCellType())
                        ->Draw(p, QRect(x, y, w, h), c, hr, cell, 0, false);
                    p.restore();
                }
                x += w;
                return x <= s.cellAreaWidth;
            });
            right = std::max(right, x);
        }
        if (right < width())
            p.fillRect(right, 0, width() - right, height(), back);
        const int bottom = HeadingRowTop(s, 0);
        if (bottom < height())
            p.fillRect(0, bottom, width(), height() - bottom, back);
        return;
    }
    int y = 0;
    ForVisible(s.rowCount, s.lockedRows, s.topRow, [&](int r) {
        const int h = s.RowHeight(r);
        for (int hc = -s.HeadingColumns(); hc < 0; ++hc) {
            const int x = HeadingColumnLeft(s, hc);
            const int w = s.headingColumnWidths[static_cast<std::size_t>(-hc - 1)];
            if (w > 0 && h > 0) {
                grid_->FetchCell(hc, r, cell);
                p.save();
                grid_->GetCellTypeByNumber(cell.GetCellType())
                    ->Draw(p, QRect(x, y, w, h), hc, r, cell, 0, false);
                p.restore();
            }
        }
        y += h;
        return y <= s.cellAreaHeight;
    });
    if (y < height())
        p.fillRect(0, y, width(), height() - y, back);
    const int right = HeadingColumnLeft(s, 0);
    if (right < width())
        p.fillRect(right, 0, width() - right, y, back);
}

bool CELHeading::Hover(const QPoint& pt) {
    const CELGridInfo& s = grid_->Info();
    hovering_ = false;
    if (top_) {
        int x = 0;
        int found = -1;
        std::vector<int> order;
        ForVisible(s.columnCount, s.lockedColumns, s.leftColumn, [&](int c) {
            order.push_back(c);
            return true;
        });
        for (std::size_t i = 0; i < order.size(); ++i) {
            const int c = order[i];
            x += s.ColumnWidth(c);
            if (std::abs(pt.x() - x) <= 3) {
                found = c;
                if (i + 1 < order.size() && s.ColumnWidth(order[i + 1]) == 0)
                    found = order[i + 1];
                break;
            }
            if (x > s.cellAreaWidth + 3)
                break;
        }
        if (found >= 0 && grid_->AllowColumnSizing(found)) {
            hovering_ = true;
            hoverKind_ = 0;
            target_ = found;
        } else {
            for (int hr = -s.HeadingRows(); hr < 0; ++hr) {
                const int edge =
                    HeadingRowTop(s, hr) + s.headingRowHeights[static_cast<std::size_t>(-hr - 1)];
                if (std::abs(pt.y() - edge) <= 3 && grid_->AllowTopHeadingSizing()) {
                    hovering_ = true;
                    hoverKind_ = 1;
                    target_ = hr;
                    break;
                }
            }
        }
    } else {
        for (int hc = -s.HeadingColumns(); hc < 0 && !hovering_; ++hc) {
            const int edge =
                HeadingColumnLeft(s, hc) + s.headingColumnWidths[static_cast<std::size_t>(-hc - 1)];
            if (std::abs(pt.x() - edge) <= 3 && grid_->AllowSideHeadingSizing()) {
                hovering_ = true;
                hoverKind_ = 0;
                target_ = hc;
            }
        }
        if (!hovering_) {
            int y = 0, found = -1;
            std::vector<int> order;
            ForVisible(s.rowCount, s.lockedRows, s.topRow, [&](int r) {
                order.push_back(r);
                return y += s.RowHeight(r), y <= s.cellAreaHeight + 3;
            });
            y = 0;
            for (std::size_t i = 0; i < order.size(); ++i) {
                y += s.RowHeight(order[i]);
                if (std::abs(pt.y() - y) <= 3) {
                    found = order[i];
                    if (i + 1 < order.size() && s.RowHeight(order[i + 1]) == 0)
                        found = order[i + 1];
                    break;
                }
            }
            if (found >= 0 && grid_->AllowRowSizing(found)) {
                hovering_ = true;
                hoverKind_ = 1;
                target_ = found;
                if (s.uniformHeights && s.defaultRowHeight > 0)
                    rowsAbove_ =
                        std::max(1, (pt.y() + s.defaultRowHeight / 2) / s.defaultRowHeight);
            }
        }
    }
    if (hovering_)
        setCursor((top_ == (hoverKind_ == 0)) ? Qt::SizeHorCursor : Qt::SizeVerCursor);
    else
        unsetCursor();
    return hovering_;
}

void CELHeading::mousePressEvent(QMouseEvent* event) {
    CELGridInfo& s = grid_->Info();
    const QPoint pt = event->position().toPoint();
    if (event->button() == Qt::LeftButton && hovering_) {
        dragging_ = true;
        if (top_) {
            if (hoverKind_ == 0) {
                startSize_ = s.ColumnWidth(target_);
                startPos_ = pt.x();
            } else {
                startSize_ = s.headingRowHeights[static_cast<std::size_t>(-target_ - 1)];
                startPos_ = pt.y();
                startTotal_ = s.topHeadingHeight;
            }
        } else {
            if (hoverKind_ == 0) {
                startSize_ = s.headingColumnWidths[static_cast<std::size_t>(-target_ - 1)];
                startPos_ = pt.x();
                startTotal_ = s.sideHeadingWidth;
            } else {
                startSize_ = s.RowHeight(target_);
                startPos_ = pt.y();
            }
        }
        return;
    }
    int column = -1, row = -1;
    QRect rect;
    const bool hit = HitTest(pt, column, row, rect) == 0;
    if (event->button() == Qt::LeftButton) {
        grid_->CellArea()->setFocus(Qt::MouseFocusReason);
        const int flags = FlagsOf(event->modifiers(), event->buttons());
        const ScopedFlags scoped(grid_, flags);
        if (s.blockSelection && hit) {
            selecting_ = true;
            CELBlockList& b = s.blocks;
            const bool shift = flags & kMkShift, ctrl = flags & kMkControl;
            if (top_) {
                const int lastRow = s.rowCount - 1;
                if (shift && b.IsOpen()) {
                    int l, t, r, bb;
                    b.OpenBlockRect(l, t, r, bb);
                    if (t != 0)
                        b.StartBlock(l, 0);
                } else {
                    const int saved = s.blockSelection;
                    s.blockSelection = 0;
                    grid_->MoveActiveCell(column, 0);
                    s.blockSelection = saved;
                    if (!ctrl)
                        b.Empty();
                    b.StartBlock(column, 0);
                }
                b.Stretch(column, lastRow);
            } else {
                const int lastColumn = s.columnCount - 1;
                if (shift && b.IsOpen()) {
                    int l, t, r, bb;
                    b.OpenBlockRect(l, t, r, bb);
                    if (l != 0)
                        b.StartBlock(0, t);
                } else {
                    const int saved = s.blockSelection;
                    s.blockSelection = 0;
                    grid_->MoveActiveCell(0, row);
                    s.blockSelection = saved;
                    if (!ctrl)
                        b.Empty();
                    b.StartBlock(0, row);
                }
                b.Stretch(lastColumn, row);
            }
            int ac, ar;
            if (b.Anchor(ac, ar) == 0) {
                s.currentColumn = ac;
                s.currentRow = ar;
            }
            grid_->RepaintAll();
        }
        if (hit) {
            const int processed =
                grid_->GetCellTypeOfCell(column, row)->OnLeftButton(column, row, 1, rect, pt);
            if (top_)
                grid_->NotifyTopHeadingLeftClick(column, row, 1, rect, pt, processed);
            else
                grid_->NotifySideHeadingLeftClick(column, row, 1, rect, pt, processed);
        }
    } else if (event->button() == Qt::RightButton && hit) {
        grid_->CellArea()->setFocus(Qt::MouseFocusReason);
        const int processed =
            grid_->GetCellTypeOfCell(column, row)->OnRightButton(column, row, 1, rect, pt);
        if (top_)
            grid_->NotifyTopHeadingRightClick(column, row, 1, rect, pt, processed);
        else
            grid_->NotifySideHeadingRightClick(column, row, 1, rect, pt, processed);
    }
}

void CELHeading::mouseMoveEvent(QMouseEvent* event) {
    CELGridInfo& s = grid_->Info();
    const QPoint pt = event->position().toPoint();
    if (dragging_) {
        if (top_ && hoverKind_ == 0) {
            int c = target_, r = 0;
            QRect cellRect;
            grid_->GetCellRect(c, r, cellRect);
            const int x = std::max(pt.x(), cellRect.left());
            int width = std::max(0, startSize_ + x - startPos_);
            grid_->NotifyColumnSizing(target_, width);
            grid_->ResizeColumn(target_, width);
        } else if (top_) {
            const int delta = pt.y() - startPos_;
            const int h = std::max(0, startSize_ + delta);
            int total = std::max(0, startTotal_ + delta);
            grid_->NotifyTopHeadingSizing(total);
            s.headingRowHeights[static_cast<std::size_t>(-target_ - 1)] = h;
            s.topHeadingHeight = std::min(total, 1024);
        } else if (hoverKind_ == 0) {
            const int delta = pt.x() - startPos_;
            const int w = std::max(0, startSize_ + delta);
            int total = std::max(0, startTotal_ + delta);
            grid_->NotifySideHeadingSizing(total);
            s.headingColumnWidths[static_cast<std::size_t>(-target_ - 1)] = w;
            s.sideHeadingWidth = std::min(total, 1024);
        } else {
            int h;
            if (s.uniformHeights)
                h = std::max(1, pt.y()) / std::max(1, rowsAbove_);
            else
                h = std::max(0, startSize_ + pt.y() - startPos_);
            grid_->NotifyRowSizing(target_, h);
            grid_->SetRowHeight(target_, h);
        }
        grid_->RelayoutChildren();
        return;
    }
    if (selecting_ && (event->buttons() & Qt::LeftButton)) {
        if (top_) {
            const int c = ColumnUnder(pt.x());
            if (c >= 0)
                s.blocks.Stretch(c, s.rowCount - 1);
        } else {
            const int r = RowUnder(pt.y());
            if (r >= 0)
                s.blocks.Stretch(s.columnCount - 1, r);
        }
        grid_->RepaintAll();
        return;
    }
    if (!(event->buttons() & (Qt::LeftButton | Qt::RightButton)))
        Hover(pt);
}

void CELHeading::mouseReleaseEvent(QMouseEvent* event) {
    CELGridInfo& s = grid_->Info();
    const QPoint pt = event->position().toPoint();
    if (dragging_ && event->button() == Qt::LeftButton) {
        dragging_ = false;
        if (top_ && hoverKind_ == 0) {
            int width = s.ColumnWidth(target_);
            const int before = width;
            grid_->NotifyColumnSized(target_, width);
            if (width != before)
                grid_->ResizeColumn(target_, width);
        } else if (top_) {
            int total = s.topHeadingHeight;
            grid_->NotifyTopHeadingSized(total);
        } else if (hoverKind_ == 0) {
            int total = s.sideHeadingWidth;
            grid_->NotifySideHeadingSized(total);
        } else {
            int h = s.RowHeight(target_);
            grid_->NotifyRowSized(target_, h);
            grid_->SetRowHeight(target_, h);
        }
        grid_->RelayoutChildren();
        grid_->RepaintAll();
        return;
    }
    int column = -1, row = -1;
    QRect rect;
    const bool hit = HitTest(pt, column, row, rect) == 0;
    if (event->button() == Qt::LeftButton) {
        if (selecting_) {
            selecting_ = false;
            if (top_) {
                const int c = ColumnUnder(pt.x());
                if (c >= 0) {
                    s.targetColumn = c;
                    s.targetRow = s.rowCount - 1;
                }
            } else {
                const int r = RowUnder(pt.y());
                if (r >= 0) {
                    s.targetColumn = s.columnCount - 1;
                    s.targetRow = r;
                }
            }
        }
        if (hit) {
            const int processed =
                grid_->GetCellTypeOfCell(column, row)->OnLeftButton(column, row, 0, rect, pt);
            if (top_)
                grid_->NotifyTopHeadingLeftClick(column, row, 0, rect, pt, processed);
            else
                grid_->NotifySideHeadingLeftClick(column, row, 0, rect, pt, processed);
        }
    } else if (event->button() == Qt::RightButton && hit) {
        const int processed =
            grid_->GetCellTypeOfCell(column, row)->OnRightButton(column, row, 0, rect, pt);
        if (top_)
            grid_->NotifyTopHeadingRightClick(column, row, 0, rect, pt, processed);
        else
            grid_->NotifySideHeadingRightClick(column, row, 0, rect, pt, processed);
    }
}

void CELHeading::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint pt = event->position().toPoint();
    if (event->button() != Qt::LeftButton)
        return;
    if (hovering_) {
        if (top_ && hoverKind_ == 0) {
            grid_->FitColumnWidths(target_, target_, 20, 1);
            grid_->RepaintAll();
        }
        return;
    }
    int column = -1, row = -1;
    QRect rect;
    if (HitTest(pt, column, row, rect) != 0)
        return;
    const int processed =
        grid_->GetCellTypeOfCell(column, row)->OnDoubleClick(column, row, rect, pt);
    if (top_)
        grid_->NotifyTopHeadingDoubleClick(column, row, rect, pt, processed);
    else
        grid_->NotifySideHeadingDoubleClick(column, row, rect, pt, processed);
}

// ---------------- corner ----------------

CELCnrBtn::CELCnrBtn(CELCtrl* grid) : QWidget(grid), grid_(grid) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setObjectName("corner");
}

void CELCnrBtn::paintEvent(QPaintEvent* /*event*/) {
    if (!grid_->IsPaintingEnabled())
        return;
    QPainter p(this);
    grid_->PrepareScreenDC(p, nullptr, 2);
    const CELGridInfo& s = grid_->Info();
    p.setFont(s.defaultFont ? *s.defaultFont : grid_->font());
    CELCell cell;
    grid_->FetchCell(-1, -1, cell);
    grid_->GetCellTypeByNumber(cell.GetCellType())->Draw(p, rect(), -1, -1, cell, 0, false);
}

void CELCnrBtn::mousePressEvent(QMouseEvent* event) {
    const QPoint pt = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (sizingWidth_ || sizingHeight_) {
            dragging_ = true;
            return;
        }
        grid_->NotifyCornerLeftClick(1, rect(), pt, 0);
    } else if (event->button() == Qt::RightButton) {
        grid_->NotifyCornerRightClick(1, rect(), pt, 0);
        grid_->StartPopupMenu(-1, -1, mapToGlobal(pt), 4);
    }
}

void CELCnrBtn::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pt = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (dragging_) {
            dragging_ = false;
            return;
        }
        grid_->NotifyCornerLeftClick(0, rect(), pt, 0);
    } else if (event->button() == Qt::RightButton) {
        grid_->NotifyCornerRightClick(0, rect(), pt, 0);
    }
}

void CELCnrBtn::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        grid_->NotifyCornerDoubleClick(rect(), event->position().toPoint(), 0);
}

void CELCnrBtn::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pt = event->position().toPoint();
    if (dragging_) {
        if (sizingWidth_) {
            int w = std::max(0, pt.x());
            grid_->NotifySideHeadingSizing(w);
            grid_->SetRowHeadingWidth(w);
        } else {
            int h = std::max(0, pt.y());
            grid_->NotifyTopHeadingSizing(h);
            grid_->SetColumnHeadingHeight(h);
        }
        return;
    }
    if (event->buttons() != Qt::NoButton)
        return;
    sizingWidth_ = sizingHeight_ = false;
    if (grid_->Info().cornerSizing > 0) {
        if (width() - 1 - pt.x() < 4 && grid_->AllowSideHeadingSizing())
            sizingWidth_ = true;
        else if (height() - 1 - pt.y() < 4 && grid_->AllowTopHeadingSizing())
            sizingHeight_ = true;
    }
    if (sizingWidth_)
        setCursor(Qt::SizeHorCursor);
    else if (sizingHeight_)
        setCursor(Qt::SizeVerCursor);
    else
        unsetCursor();
}

// ---------------- scroll bars ----------------

CELVScroll::CELVScroll(CELCtrl* grid) : QScrollBar(Qt::Vertical, grid), grid_(grid) {
    setObjectName("verticalScrollBar");
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractSlider::actionTriggered, this, &CELVScroll::OnAction);
    connect(this, &QAbstractSlider::sliderReleased, this, &CELVScroll::OnReleased);
}

void CELVScroll::Reset() {
    seenLastTop_ = seenStyle_ = seenLocked_ = -2;
}

void CELVScroll::UpdateRange() {
    const CELGridInfo& s = grid_->Info();
    if (s.lastTopRow != seenLastTop_ || s.vScrollStyle != seenStyle_ ||
        s.lockedRows != seenLocked_) {
        seenLastTop_ = s.lastTopRow;
        seenStyle_ = s.vScrollStyle;
        seenLocked_ = s.lockedRows;
        const QSignalBlocker block(this);
        if (s.lastTopRow > 1000) {
            setRange(s.lockedRows, 1000);
            setPageStep(1);
            toRows_ = s.lastTopRow / 1000.0;
            toPositions_ = 1000.0 / s.lastTopRow;
        } else {
            const int page = s.defaultRowHeight > 0 ? s.cellAreaHeight / s.defaultRowHeight : 0;
            // The thumb's last position is the last top row; the page covers the rest.
            setRange(s.lockedRows, std::max(s.lockedRows, s.lastTopRow));
            setPageStep(std::max(1, page));
            toRows_ = toPositions_ = 1.0;
        }
    }
    Sync();
}

void CELVScroll::Sync() {
    const QSignalBlocker block(this);
    const CELGridInfo& s = grid_->Info();
    if (!isSliderDown() || s.vScrollStyle == 1)
        setSliderPosition(static_cast<int>(s.topRow * toPositions_));
}

void CELVScroll::OnAction(int action) {
    CELGridInfo& s = grid_->Info();
    if (!grid_->CellArea()->hasFocus())
        grid_->CellArea()->setFocus();
    s.mouseState = 4;
    switch (action) {
    case SliderSingleStepSub:
        grid_->ScrollRowsBy(0);
        break;
    case SliderSingleStepAdd:
        grid_->ScrollRowsBy(1);
        break;
    case SliderPageStepSub:
        grid_->ScrollRowsBy(2);
        break;
    case SliderPageStepAdd:
        grid_->ScrollRowsBy(3);
        break;
    case SliderToMinimum:
        grid_->ScrollRowsBy(4);
        break;
    case SliderToMaximum:
        grid_->ScrollRowsBy(5);
        break;
    case SliderMove:
        if (s.vScrollStyle == 1)
            grid_->SetTopRow(static_cast<int>((sliderPosition() & 0xFFFF) * toRows_));
        s.mouseState = 0;
        return; // the thumb stays where it is dragged
    default:
        break;
    }
    s.mouseState = 0;
    Sync();
}

void CELVScroll::OnReleased() {
    grid_->Info().mouseState = 4;
    grid_->SetTopRow(static_cast<int>((sliderPosition() & 0xFFFF) * toRows_));
    grid_->Info().mouseState = 0;
    Sync();
}

CELHScroll::CELHScroll(CELCtrl* grid) : QScrollBar(Qt::Horizontal, grid), grid_(grid) {
    setObjectName("horizontalScrollBar");
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractSlider::actionTriggered, this, &CELHScroll::OnAction);
    connect(this, &QAbstractSlider::sliderReleased, this, &CELHScroll::OnReleased);
}

void CELHScroll::Reset() {
    seenLastLeft_ = seenLocked_ = -1;
}

void CELHScroll::UpdateRange() {
    const CELGridInfo& s = grid_->Info();
    if (s.lastLeftColumn != seenLastLeft_ || s.lockedColumns != seenLocked_) {
        seenLastLeft_ = s.lastLeftColumn;
        seenLocked_ = s.lockedColumns;
        const int page =
            s.defaultColumnWidth > 0 ? (s.cellAreaWidth - s.lockedWidth) / s.defaultColumnWidth : 0;
        const QSignalBlocker block(this);
        setRange(0, std::max(0, s.lastLeftColumn - s.lockedColumns));
        setPageStep(std::max(1, page));
    }
    Sync();
}

void CELHScroll::Sync() {
    const QSignalBlocker block(this);
    const CELGridInfo& s = grid_->Info();
    if (!isSliderDown() || s.hScrollStyle == 1)
        setSliderPosition(s.leftColumn - s.lockedColumns);
}

void CELHScroll::OnAction(int action) {
    CELGridInfo& s = grid_->Info();
    if (!grid_->CellArea()->hasFocus())
        grid_->CellArea()->setFocus();
    s.mouseState = 4;
    switch (action) {
    case SliderSingleStepSub:
        grid_->ScrollColumnsBy(0);
        break;
    case SliderSingleStepAdd:
        grid_->ScrollColumnsBy(1);
        break;
    case SliderPageStepSub:
        grid_->ScrollColumnsBy(2);
        break;
    case SliderPageStepAdd:
        grid_->ScrollColumnsBy(3);
        break;
    case SliderToMinimum:
        grid_->ScrollColumnsBy(4);
        break;
    case SliderToMaximum:
        grid_->ScrollColumnsBy(5);
        break;
    case SliderMove:
        if (s.hScrollStyle == 1)
            grid_->SetLeftColumn(s.lockedColumns + (sliderPosition() & 0xFFFF));
        s.mouseState = 0;
        return;
    default:
        break;
    }
    s.mouseState = 0;
    Sync();
}

void CELHScroll::OnReleased() {
    CELGridInfo& s = grid_->Info();
    s.mouseState = 4;
    grid_->SetLeftColumn(s.lockedColumns + (sliderPosition() & 0xFFFF));
    s.mouseState = 0;
    Sync();
}

// ---------------- in-place editor ----------------

CELEdit::CELEdit(CELCtrl* grid, QWidget* parent) : QPlainTextEdit(parent), grid_(grid) {
    setObjectName("cellEditor");
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(false);
    document()->setDocumentMargin(1);
    connect(this, &QPlainTextEdit::textChanged, this, &CELEdit::Grow);
}

std::string CELEdit::Text() const {
    return platform::Utf8ToCp1252(toPlainText().toStdString());
}

void CELEdit::SetText(const std::string& text) {
    const QSignalBlocker block(this);
    setPlainText(ToDisplayText(text));
}

void CELEdit::Begin(const QRect& rect, QWidget* parent, const QFont* font) {
    if (parentWidget() != parent)
        setParent(parent);
    setFont(font ? *font : grid_->font());
    startRect_ = rect;
    setGeometry(rect);
    finishQueued_ = false;
    cancelled = false;
    continueEdit = false;
    lastKey = 0;
    show();
    raise();
    activateWindow();
    setFocus(Qt::OtherFocusReason);
    initialHeight = currentHeight = rect.height();
    selectAll();
    ensureCursorVisible();
}

void CELEdit::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    if (event->reason() == Qt::PopupFocusReason)
        return;
    initialHeight = currentHeight = height();
    cancelled = false;
    continueEdit = false;
    selectAll();
    ensureCursorVisible();
}

void CELEdit::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    // A popup (a context menu, a completer) taking the focus does not end the edit.
    if (event->reason() == Qt::PopupFocusReason || !isVisible() || !grid_->IsEditing())
        return;
    if (!finishQueued_) {
        finishQueued_ = true;
        QMetaObject::invokeMethod(this, &CELEdit::RunFinish, Qt::QueuedConnection);
    }
}

void CELEdit::End(int key) {
    lastKey = key;
    if (!finishQueued_) {
        finishQueued_ = true;
        QMetaObject::invokeMethod(this, &CELEdit::RunFinish, Qt::QueuedConnection);
    }
    grid_->CellArea()->setFocus(Qt::OtherFocusReason);
}

void CELEdit::RunFinish() {
    if (!finishQueued_)
        return;
    finishQueued_ = false;
    if (!grid_->IsEditing() || grid_->Editor() != this)
        return;
    const int column = grid_->GetEditColumn(), row = grid_->GetEditRow();
    grid_->SetFinishingKey(lastKey);
    int answer;
    if (lastKey == VK_RETURN) {
        // The owner's continuation asks whether Enter is down: it is, for this finish.
        const platform::qt::ScopedKeyDown enter(VK_RETURN);
        answer = grid_->FinishEdit(Text(), cancelled, continueEdit, nextColumn, nextRow);
    } else {
        answer = grid_->FinishEdit(Text(), cancelled, continueEdit, nextColumn, nextRow);
    }
    grid_->SetFinishingKey(0);
    if (answer == 0) {
        grid_->MoveActiveCell(column, row);
        show();
        setFocus(Qt::OtherFocusReason);
    }
}

void CELEdit::keyPressEvent(QKeyEvent* event) {
    const int column = grid_->GetEditColumn(), row = grid_->GetEditRow();
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        const bool back =
            event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
        continueEdit = false;
        nextColumn = column + (back ? -1 : 1);
        nextRow = row;
        End(0x09);
        return;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        continueEdit = true;
        nextColumn = column + 1;
        nextRow = row;
        End(0x0D);
        return;
    case Qt::Key_Escape:
        cancelled = true;
        End(0x1B);
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (height() <= initialHeight) {
            continueEdit = true;
            nextColumn = column;
            nextRow = row + (event->key() == Qt::Key_Up ? -1 : 1);
            End(event->key() == Qt::Key_Up ? 0x26 : 0x28);
            return;
        }
        break;
    default:
        break;
    }
    const QString text = event->text();
    if (!text.isEmpty() && text[0].isPrint()) {
        const std::string bytes = platform::Utf8ToCp1252(text.toStdString());
        int ch = bytes.empty() ? '?' : static_cast<unsigned char>(bytes[0]);
        const int original = ch;
        CELDataSource* source = grid_->GetDataSource();
        if (source->AllowEditKey(column, row, this, ch) == 0 ||
            !grid_->AllowEditKey(column, row, this, ch))
            return;
        if (ch != original) {
            if (ch > 0)
                insertPlainText(ToDisplayText(std::string(1, static_cast<char>(ch))));
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CELEdit::Grow() {
    if (!autoSize || !isVisible() || !parentWidget())
        return;
    const QFontMetrics fm(font());
    const QString probe = toPlainText() + " X X";
    const int limitRight = parentWidget()->width();
    const int available = std::max(startRect_.width(), limitRight - startRect_.left());
    const QRect need = fm.boundingRect(QRect(0, 0, available - 4, 10000), Qt::TextWordWrap, probe);
    int width = std::max(startRect_.width(), need.width() + 4);
    int height = std::max(startRect_.height(), need.height() + 4);
    // Grow to whole cells of the cell area where it is the parent.
    if (parentWidget() == grid_->CellArea()) {
        int column, row;
        QRect cell;
        if (grid_->GetCellFromPoint(startRect_.left() + width - 1, startRect_.top(), column, row,
                                    cell) == 0)
            width = cell.right() - startRect_.left();
        if (grid_->GetCellFromPoint(startRect_.left(), startRect_.top() + height - 1, column, row,
                                    cell) == 0)
            height = cell.bottom() - startRect_.top();
    }
    width = std::min(std::max(width, startRect_.width()), limitRight - startRect_.left());
    height = std::min(std::max(height, startRect_.height()),
                      parentWidget()->height() - startRect_.top());
    resize(width, height);
    currentHeight = height;
}

// ---------------- find dialog ----------------

CELFindDialog::CELFindDialog(CELCtrl* grid, bool replaceMode) : QDialog(grid), grid_(grid) {
    setObjectName(replaceMode ? "findReplaceDialog" : "findDialog");
    setWindowTitle(replaceMode ? "Replace" : "Find");
    // Left alone it would show the icon of the table's window, its parent.
    if (!QApplication::windowIcon().isNull())
        setWindowIcon(QApplication::windowIcon());
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QHBoxLayout(this);
    auto* left = new QGridLayout;
    auto* findLabel = new QLabel("Fi&nd what:", this);
    findEdit = new QLineEdit(this);
    findEdit->setObjectName("findText");
    findLabel->setBuddy(findEdit);
    left->addWidget(findLabel, 0, 0);
    left->addWidget(findEdit, 0, 1);
    if (replaceMode) {
        auto* replaceLabel = new QLabel("Re&place with:", this);
        replaceEdit = new QLineEdit(this);
        replaceEdit->setObjectName("replaceText");
        replaceLabel->setBuddy(replaceEdit);
        left->addWidget(replaceLabel, 1, 0);
        left->addWidget(replaceEdit, 1, 1);
    }
    wholeCell = new QCheckBox("Match &entire cell text", this);
    wholeCell->setObjectName("wholeCell");
    matchCase = new QCheckBox("Match &case", this);
    matchCase->setObjectName("matchCase");
    auto* options = new QVBoxLayout;
    options->addWidget(wholeCell);
    options->addWidget(matchCase);
    auto* lower = new QHBoxLayout;
    lower->addLayout(options);
    if (!replaceMode) {
        auto* direction = new QGroupBox("Direction", this);
        auto* dl = new QHBoxLayout(direction);
        up = new QRadioButton("&Up", direction);
        up->setObjectName("up");
        down = new QRadioButton("&Down", direction);
        down->setObjectName("down");
        down->setChecked(true);
        dl->addWidget(up);
        dl->addWidget(down);
        lower->addWidget(direction);
    }
    left->addLayout(lower, 2, 0, 1, 2);
    layout->addLayout(left);
    auto* buttons = new QVBoxLayout;
    findNext = new QPushButton("&Find Next", this);
    findNext->setObjectName("findNext");
    findNext->setDefault(true);
    buttons->addWidget(findNext);
    connect(findNext, &QPushButton::clicked, this, [this] { Request(0); });
    if (replaceMode) {
        replace = new QPushButton("&Replace", this);
        replace->setObjectName("replace");
        replaceAll = new QPushButton("Replace &All", this);
        replaceAll->setObjectName("replaceAll");
        buttons->addWidget(replace);
        buttons->addWidget(replaceAll);
        connect(replace, &QPushButton::clicked, this, [this] { Request(1); });
        connect(replaceAll, &QPushButton::clicked, this, [this] { Request(2); });
    }
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cancel");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(cancel);
    buttons->addStretch();
    layout->addLayout(buttons);
}

void CELFindDialog::Request(int action) {
    const std::string find = platform::Utf8ToCp1252(findEdit->text().toStdString());
    const std::string with =
        replaceEdit ? platform::Utf8ToCp1252(replaceEdit->text().toStdString()) : std::string();
    const bool goingDown = down ? down->isChecked() : true;
    grid_->HandleFind(find, with, matchCase->isChecked(), wholeCell->isChecked(), goingDown,
                      action == 0   ? CELCtrl::FindAction::FindNext
                      : action == 1 ? CELCtrl::FindAction::ReplaceCurrent
                                    : CELCtrl::FindAction::ReplaceAll);
}

void CELFindDialog::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        grid_->FindDialogClosed();
    }
    QDialog::closeEvent(event);
}

void CELFindDialog::reject() {
    if (!closed_) {
        closed_ = true;
        grid_->FindDialogClosed();
    }
    QDialog::reject();
}
