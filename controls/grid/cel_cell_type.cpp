#include "controls/grid/cel_cell_type.h"

#include "controls/grid/cel_ctrl.h"
#include "controls/grid/grid_colours.h"
#include "platform/cp1252.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

using namespace grid_colours;

namespace {

QString ToDisplay(const char* text) {
    if (!text || !*text)
        return QString();
    // Plain ASCII needs no table.
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    for (; *p; ++p)
        if (*p >= 0x80)
            return QString::fromStdString(platform::Cp1252ToUtf8(text));
    return QString::fromLatin1(text);
}

const QFont& FontOf(CELCtrl* grid, const CELCell& cell) {
    if (const QFont* f = cell.GetFont())
        return *f;
    if (grid && grid->Info().defaultFont)
        return *grid->Info().defaultFont;
    static const QFont fallback;
    return grid ? grid->font() : fallback;
}

} // namespace

bool CELCellType::MayOverflowCell(const CELCell& cell) const {
    if (!mayOverflow)
        return false;
    if (cell.IsPropertyAssigned(CELCell::kAlignment))
        return (cell.GetAlignment() & CELCell::kLeft) != 0;
    int o, c, r;
    return cell.GetExtendedStyle() == 0 && cell.GetJoinInfo(o, c, r) != 0;
}

QRect CELCellType::DrawEdges(QPainter& p, const QRect& rect, const CELCell& cell) {
    const CELGridInfo& s = grid->Info();
    const std::uint16_t edge = cell.GetEdgeStyle();
    bool gridLines = s.gridLines;
    if (edge == 0 && !gridLines)
        return rect;
    const QColor ink = cell.GetEdgePen() ? cell.GetEdgePen()->color() : s.gridLinePen.color();
    const QColor gridInk = s.gridLinePen.color();
    if (edge & (CELCell::kSunken | CELCell::kRaised))
        gridLines = false;
    int l = rect.left(), t = rect.top(), r = rect.right(), b = rect.bottom();
    int inL = 0, inT = 0, inR = 0, inB = 0;
    auto vline = [&](int x, const QColor& c) { p.fillRect(x, t, 1, b - t + 1, c); };
    auto hline = [&](int y, const QColor& c) { p.fillRect(l, y, r - l + 1, 1, c); };
    // Lines per side: single, double, triple.
    auto count = [&](int bit) {
        if (edge & (bit << 8))
            return 3;
        if (edge & (bit << 4))
            return 2;
        return (edge & bit) ? 1 : 0;
    };
    const int nl = count(1), nt = count(2), nr = count(4), nb = count(8);
    for (int i = 0; i < nl; ++i)
        vline(l + i, ink);
    for (int i = 0; i < nt; ++i)
        hline(t + i, ink);
    const int rr = nr ? nr : (gridLines ? 1 : 0);
    const int bb = nb ? nb : (gridLines ? 1 : 0);
    for (int i = 0; i < rr; ++i)
        vline(r - i, nr ? ink : gridInk);
    for (int i = 0; i < bb; ++i)
        hline(b - i, nb ? ink : gridInk);
    inL = nl;
    inT = nt;
    inR = rr;
    inB = bb;
    if (edge & (CELCell::kSunken | CELCell::kRaised)) {
        const bool sunken = (edge & CELCell::kSunken) != 0;
        const QColor dark = ToQColor(SysColour(kButtonShadow));
        const QColor light = ToQColor(SysColour(kButtonHighlight));
        const QColor& lt = sunken ? dark : light;
        const QColor& rb = sunken ? light : dark;
        const int n = std::max(0, s.edgeWidth3d);
        for (int i = 0; i < n; ++i) {
            p.fillRect(l + i, t + i, 1, b - t + 1 - 2 * i, lt);
            p.fillRect(l + i, t + i, r - l + 1 - 2 * i, 1, lt);
            p.fillRect(r - i, t + i, 1, b - t + 1 - 2 * i, rb);
            p.fillRect(l + i, b - i, r - l + 1 - 2 * i, 1, rb);
        }
        inL = std::max(inL, n);
        inT = std::max(inT, n);
        inR = std::max(inR, n);
        inB = std::max(inB, n);
    }
    return QRect(QPoint(l + inL, t + inT), QPoint(r - inR, b - inB));
}

void CELCellType::DrawText(QPainter& p, QRect inner, CELCell& cell, int selected, bool current,
                           int indent) {
    if (inner.width() <= 0 || inner.height() <= 0)
        return;
    const CELGridInfo& s = grid->Info();
    const bool highlighted = selected > 0 || (current && (s.currentCellHighlight & 2));
    const QColor fore =
        ToQColor(highlighted ? cell.GetHighlightTextColour() : cell.GetTextColour());
    const QColor back = ToQColor(highlighted ? cell.GetHighlightColour() : cell.GetBackground());
    p.fillRect(inner, back);
    const char* raw =
        (labelFlag || cell.GetExtendedStyle() == 8) ? cell.GetLabelText() : cell.GetValueText();
    if (!raw || !*raw)
        return;
    const QString text = ToDisplay(raw);
    const QFont& font = FontOf(grid, cell);
    if (!(p.font() == font))
        p.setFont(font);
    const QFontMetrics fm = p.fontMetrics();
    const int tw = fm.horizontalAdvance(text);
    const int th = fm.height();
    const int margin = static_cast<int>(s.textMargin * scale);
    const std::uint16_t align = cell.GetAlignment();
    QRect box = inner;
    if (indent < 0)
        box.setLeft(box.left() - 1);
    int x;
    if (align & CELCell::kCentre)
        x = box.left() + (box.width() - tw) / 2;
    else if (align & CELCell::kRight)
        x = box.left() + box.width() - margin - tw;
    else
        x = box.left() + margin + indent;
    int y;
    if (align & CELCell::kVCentre)
        y = box.top() + (box.height() - th) / 2;
    else if (align & CELCell::kBottom)
        y = box.top() + box.height() - th - 1;
    else
        y = box.top() + 1;
    p.setPen(fore);
    const int ext = cell.GetExtendedStyle();
    if (!(ext & 6) && x >= box.left() && x + tw <= box.left() + box.width() && y >= box.top() &&
        y + th <= box.top() + box.height()) {
        p.drawText(x, y + fm.ascent(), text); // fits: no clipping needed
        return;
    }
    p.save();
    p.setClipRect(box, Qt::IntersectClip);
    if (ext & 2) {
        QRect wrap = box;
        int flags = Qt::TextWordWrap;
        if (align & CELCell::kCentre)
            flags |= Qt::AlignHCenter;
        else if (align & CELCell::kRight) {
            flags |= Qt::AlignRight;
            wrap.setRight(wrap.right() - margin - indent);
        } else {
            flags |= Qt::AlignLeft;
            wrap.setLeft(wrap.left() + margin + indent);
        }
        p.drawText(wrap, flags, text);
    } else if (ext & 4) {
        const QString cut = fm.elidedText(text, Qt::ElideRight, box.width() - 3);
        p.drawText(box.left() + 3, y + fm.ascent(), cut);
    } else {
        p.drawText(x, y + fm.ascent(), text);
    }
    p.restore();
}

void CELCellType::Draw(QPainter& p, const QRect& rect, int column, int row, CELCell& cell,
                       int selected, bool current) {
    if (printing) {
        DrawOverflowing(p, rect, column, row, cell, selected, current);
        return;
    }
    const CELGridInfo& s = grid->Info();
    if (s.textOverflow && mayOverflow && cell.GetTextLength() == 0 && column > 0 && row >= 0 &&
        column < s.columnCount && MayOverflowCell(cell)) {
        int left = grid->GetMappedColumn(column);
        if (s.dataSource->FindPreviousTextColumn(left, row) == 0) {
            int neighbour = left;
            for (int c = 0; c < s.columnCount; ++c)
                if (grid->GetMappedColumn(c) == left) {
                    neighbour = c;
                    break;
                }
            if (neighbour >= 0 && neighbour < column) {
                CELCell other;
                grid->FetchCell(neighbour, row, other);
                const QFontMetrics fm(FontOf(grid, other));
                const int tw = fm.horizontalAdvance(ToDisplay(other.GetValueText()));
                const int margin = static_cast<int>(s.textMargin * scale);
                CELCellType* otherType = grid->GetCellTypeByNumber(other.GetCellType());
                if (tw > s.ColumnWidth(neighbour) - margin && otherType->MayOverflowCell(other)) {
                    int covered = 0;
                    for (int c = neighbour; c < column; ++c)
                        covered += static_cast<int>(s.ColumnWidth(c) * scale);
                    if (covered < tw + margin) {
                        const QRect inner = DrawEdges(p, rect, cell);
                        // This cell's own colours behind the neighbour's text.
                        other.SetBackground(cell.GetBackground());
                        DrawText(p, inner, other, selected, current, -covered);
                        return;
                    }
                }
            }
        }
    }
    const QRect inner = DrawEdges(p, rect, cell);
    DrawText(p, inner, cell, selected, current, 0);
}

void CELCellType::DrawOverflowing(QPainter& p, const QRect& rect, int /*column*/, int /*row*/,
                                  CELCell& cell, int selected, bool current) {
    // The page renderer widens the rectangle over empty neighbours before calling.
    const QRect inner = DrawEdges(p, rect, cell);
    DrawText(p, inner, cell, selected, current, 0);
}

void CELCellType::DrawScaled(QPainter& p, const QRect& rect, int column, int row, CELCell& cell) {
    const CELGridInfo& s = grid->Info();
    int screenHeight =
        row < 0
            ? s.headingRowHeights[static_cast<std::size_t>(std::min(-row - 1, s.HeadingRows() - 1))]
            : s.RowHeight(row);
    int o, cp, rp;
    if (cell.GetJoinInfo(o, cp, rp) == 0 && o == 1 && rp > 0)
        screenHeight *= rp + 1;
    scale = screenHeight > 0 ? static_cast<double>(rect.height()) / screenHeight : 1.0;
    QFont font = FontOf(grid, cell);
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    font.setPixelSize(std::max(1, static_cast<int>(pixels * scale)));
    cell.SetFont(&font);
    const bool wasPrinting = printing;
    printing = true;
    Draw(p, rect, column, row, cell, 0, false);
    printing = wasPrinting;
    scale = 1.0;
    cell.SetFont(nullptr);
}

QSize CELCellType::GetBestSize(CELCell& cell) {
    const char* text = cell.GetValueText();
    if (!text || !*text)
        return QSize(3, 3);
    const QFontMetrics fm(FontOf(grid, cell));
    return QSize(fm.horizontalAdvance(ToDisplay(text)) + 6, fm.height() + 2);
}
