#include "controls/grid/cel_print.h"

#include "controls/grid/cel_ctrl.h"

#include <QPaintDevice>
#include <QPainter>
#include <algorithm>

CELPageGeometry PageGeometryOf(const QPaintDevice& device) {
    CELPageGeometry g;
    g.widthPixels = device.width();
    g.heightPixels = device.height();
    g.widthMm = device.widthMM();
    g.heightMm = device.heightMM();
    return g;
}

int CELPrintState::Set(int code, int value) {
    switch (code) {
    case 1:
        columnHeadings = value != 0;
        break;
    case 2:
        rowHeadings = value != 0;
        break;
    case 3:
        leftMm = value;
        break;
    case 4:
        topMm = value;
        break;
    case 5:
        rightMm = value;
        break;
    case 6:
        bottomMm = value;
        break;
    case 10:
        gridLines = value != 0;
        break;
    default:
        return 1;
    }
    return 0;
}

int CELPrintState::Get(int code, int& value) const {
    switch (code) {
    case 1:
        value = columnHeadings;
        return 0;
    case 2:
        value = rowHeadings;
        return 0;
    case 3:
        value = leftMm;
        return 0;
    case 4:
        value = topMm;
        return 0;
    case 5:
        value = rightMm;
        return 0;
    case 6:
        value = bottomMm;
        return 0;
    case 10:
        value = gridLines;
        return 0;
    default:
        return 1;
    }
}

void CELPrintState::AddPage(int number, int firstColumn, int lastColumn, int firstRow,
                            int lastRow) {
    for (Page& p : pages)
        if (p.number == number) {
            p = {number, firstColumn, lastColumn, firstRow, lastRow};
            return;
        }
    pages.push_back({number, firstColumn, lastColumn, firstRow, lastRow});
}

bool CELPrintState::Find(int page, int& firstColumn, int& lastColumn, int& firstRow,
                         int& lastRow) const {
    for (const Page& p : pages)
        if (p.number == page) {
            firstColumn = p.firstColumn;
            lastColumn = p.lastColumn;
            firstRow = p.firstRow;
            lastRow = p.lastRow;
            return true;
        }
    return false;
}

int CELPrintState::Paginate(const CELPageGeometry& page, int firstColumn, int firstRow,
                            int lastColumn, int lastRow) {
    const CELGridInfo& s = grid->Info();
    columnPages = rowPages = 0;
    if (page.widthMm <= 0 || page.heightMm <= 0)
        return 0;
    const int printableWmm = page.widthMm - leftMm - rightMm;
    const int printableHmm = page.heightMm - topMm - bottomMm;
    int W = static_cast<int>(printableWmm * 3.79);
    int H = static_cast<int>(printableHmm * 3.78);
    if (columnHeadings)
        W -= s.sideHeadingWidth;
    if (rowHeadings)
        H -= s.topHeadingHeight;
    // A page with no room at all holds nothing.
    if (W < 1 || H < 1)
        return 0;
    const double pxPerMmX = static_cast<double>(page.widthPixels) / page.widthMm;
    const double pxPerMmY = static_cast<double>(page.heightPixels) / page.heightMm;
    vScale = (printableHmm * pxPerMmY) / H;
    hScale = (printableWmm * pxPerMmX) / W;
    leftMarginPx = static_cast<int>(pxPerMmX * leftMm);
    topMarginPx = static_cast<int>(pxPerMmY * topMm);
    rightEdgePx = page.widthPixels - static_cast<int>(pxPerMmX * rightMm);
    bottomEdgePx = page.heightPixels - static_cast<int>(pxPerMmY * bottomMm);
    pageWidthPx = page.widthPixels;
    pageHeightPx = page.heightPixels;

    struct Span {
        int first, last;
    };
    auto split = [](int first, int last, int start, int limit, auto sizeOf) {
        std::vector<Span> spans;
        int running = start, spanStart = first;
        for (int i = first; i <= last; ++i) {
            running += sizeOf(i);
            if (running > limit) {
                // The item that overflowed starts the next page unless it fills one alone.
                if (i > spanStart && sizeOf(i) < limit) {
                    spans.push_back({spanStart, i - 1});
                    spanStart = i;
                    running = start + sizeOf(i);
                } else {
                    spans.push_back({spanStart, i});
                    spanStart = i + 1;
                    running = start;
                }
            }
        }
        if (spanStart <= last)
            spans.push_back({spanStart, last});
        return spans;
    };
    const int columnStart = rowHeadings ? s.sideHeadingWidth : 0;
    const int rowStart = columnHeadings ? s.topHeadingHeight : 0;
    const auto columnSpans = split(firstColumn, lastColumn, columnStart, W,
                                   [&](int c) { return c >= 0 ? s.ColumnWidth(c) : 0; });
    const auto rowSpans =
        split(firstRow, lastRow, rowStart, H, [&](int r) { return r >= 0 ? s.RowHeight(r) : 0; });
    columnPages = static_cast<int>(columnSpans.size());
    rowPages = static_cast<int>(rowSpans.size());
    for (int band = 0; band < rowPages; ++band)
        for (int i = 0; i < columnPages; ++i)
            AddPage(i + 1 + band * columnPages, columnSpans[static_cast<std::size_t>(i)].first,
                    columnSpans[static_cast<std::size_t>(i)].last,
                    rowSpans[static_cast<std::size_t>(band)].first,
                    rowSpans[static_cast<std::size_t>(band)].last);
    return columnPages * rowPages;
}

int CELPrintState::Render(QPainter& painter, int page) {
    int firstColumn, lastColumn, firstRow, lastRow;
    if (!Find(page, firstColumn, lastColumn, firstRow, lastRow))
        return 0;
    const CELGridInfo& s = grid->Info();
    const int dataFirstColumn = firstColumn, dataFirstRow = firstRow;
    // Heading columns and rows come first, then the page's own.
    std::vector<int> columns, rows;
    if (rowHeadings)
        for (int c = -s.HeadingColumns(); c < 0; ++c)
            columns.push_back(c);
    for (int c = firstColumn; c <= lastColumn; ++c)
        columns.push_back(c);
    if (columnHeadings)
        for (int r = -s.HeadingRows(); r < 0; ++r)
            rows.push_back(r);
    for (int r = firstRow; r <= lastRow; ++r)
        rows.push_back(r);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor ink(Qt::black);
    auto widthOf = [&](int c) {
        const int w =
            c < 0 ? s.headingColumnWidths[static_cast<std::size_t>(-c - 1)] : s.ColumnWidth(c);
        return static_cast<int>(w * hScale);
    };
    auto heightOf = [&](int r) {
        const int h =
            r < 0 ? s.headingRowHeights[static_cast<std::size_t>(-r - 1)] : s.RowHeight(r);
        return static_cast<int>(h * vScale);
    };
    int y = topMarginPx;
    int lastRight = leftMarginPx;
    bool printedRows = false;
    CELCell cell, next;
    for (int r : rows) {
        const int h = heightOf(r);
        if (h == 0)
            continue;
        printedRows = true;
        int x = leftMarginPx;
        int overflowRight = -1; // the right edge a left neighbour's text has covered
        for (std::size_t ci = 0; ci < columns.size(); ++ci) {
            const int c = columns[ci];
            const int w = widthOf(c);
            if (w == 0)
                continue;
            QRect rect(x, y, w, h);
            grid->FetchCell(c, r, cell);
            CELCellType* type = grid->GetCellTypeByNumber(cell.GetCellType());
            const bool empty = cell.GetTextLength() == 0;
            if (!(empty && x < overflowRight)) {
                // Long text runs on over the empty cells that follow it on the page.
                if (!empty && c >= 0 && r >= 0 && type->MayOverflowCell(cell)) {
                    const QFontMetrics fm(s.defaultFont ? *s.defaultFont : grid->font());
                    const int need = static_cast<int>(
                        (fm.horizontalAdvance(QString::fromLatin1(cell.GetValueText())) +
                         s.textMargin) *
                        hScale);
                    int right = x + w;
                    for (std::size_t ni = ci + 1; ni < columns.size() && right - x < need; ++ni) {
                        grid->FetchCell(columns[ni], r, next);
                        if (next.GetTextLength() > 0)
                            break;
                        right += widthOf(columns[ni]);
                    }
                    rect.setRight(right - 1);
                    if (right > x + w)
                        overflowRight = right;
                }
                painter.save();
                type->DrawScaled(painter, rect, c, r, cell);
                painter.restore();
            }
            if (gridLines) {
                if (r == dataFirstRow)
                    painter.fillRect(x, y, w + 1, 1, ink);
                if (r == lastRow)
                    painter.fillRect(x, y + h, w + 1, 1, ink);
                if (c == dataFirstColumn) {
                    painter.fillRect(x, y, 1, h + 1, ink);
                    if (r < 0)
                        painter.fillRect(x, topMarginPx, 1, y - topMarginPx + 1, ink);
                }
                if (c == lastColumn)
                    painter.fillRect(x + w, y, 1, h + 1, ink);
            }
            x += w;
        }
        lastRight = std::max(lastRight, x);
        y += h;
    }
    if (gridLines && printedRows) {
        painter.fillRect(leftMarginPx, topMarginPx, 1, y - topMarginPx, ink);
        painter.fillRect(leftMarginPx, topMarginPx, lastRight - leftMarginPx, 1, ink);
    }
    return 0;
}
