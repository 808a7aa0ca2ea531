// The grid's printing: pages of cells that fit the printable area, screen pixels scaled to
// printer pixels, each page rendered with the cells' types.
#pragma once

#include <vector>

class CELCtrl;
class QPainter;
struct CELPageGeometry;

class CELPrintState {
public:
    int Paginate(const CELPageGeometry& page, int firstColumn, int firstRow, int lastColumn,
                 int lastRow);
    int Render(QPainter& painter, int page);
    int Set(int code, int value);
    int Get(int code, int& value) const;
    bool Find(int page, int& firstColumn, int& lastColumn, int& firstRow, int& lastRow) const;

    struct Page {
        int number, firstColumn, lastColumn, firstRow, lastRow;
    };
    std::vector<Page> pages;
    int columnPages = 0;
    int rowPages = 0;
    double vScale = 1.0;
    double hScale = 1.0;
    int leftMarginPx = 0, topMarginPx = 0, rightEdgePx = 0, bottomEdgePx = 0;
    int pageWidthPx = 0, pageHeightPx = 0;
    int leftMm = 25, topMm = 25, rightMm = 25, bottomMm = 25;
    bool gridLines = true;
    bool columnHeadings = false;
    bool rowHeadings = false;
    CELCtrl* grid = nullptr;

private:
    void AddPage(int number, int firstColumn, int lastColumn, int firstRow, int lastRow);
};
