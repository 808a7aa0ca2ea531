// The settings of one sheet of the grid, and its block selection.
#pragma once

#include "controls/grid/cel_cell.h"
#include "controls/grid/cel_mem.h"

#include <QPen>
#include <QRect>
#include <memory>
#include <optional>
#include <vector>

class CELCtrl;

struct CELColumnEntry {
    int width = 75;
    CELDataSource* source = nullptr; // not owned
    std::unique_ptr<CELCell> defaultCell;
    int mapped = 0;
};

// Rectangular blocks of selected cells, the open one stretched by Shift moves and drags.
class CELBlockList {
public:
    struct Block {
        int startColumn, startRow, endColumn, endRow;
        int left, right, top, bottom;
        int state = 1;
    };

    void Empty();
    int StartBlock(int column, int row);
    int Stretch(int column, int row);
    int Anchor(int& column, int& row) const;
    int OpenBlockRect(int& left, int& top, int& right, int& bottom) const;
    int Holds(int column, int row, int* index) const;
    int WholeExtent(int& left, int& top, int& right, int& bottom) const;

    int mode = 0;
    int lastClickColumn = -1;
    int lastClickRow = -1;
    const std::vector<Block>& Blocks() const { return blocks_; }
    bool IsOpen() const { return open_ >= 0; }

private:
    std::vector<Block> blocks_;
    int open_ = -1;
    int anchorColumn_ = -1;
    int anchorRow_ = -1;
};

struct CELGridInfo {
    int columnCount = 0;
    int currentColumn = -1;
    int previousCurrentColumn = -1;
    int leftColumn = 0;
    int previousLeftColumn = 0;
    int lastLeftColumn = 0;
    int defaultColumnWidth = 75;
    int rightColumn = 0;
    int targetColumn = -1;
    std::vector<CELColumnEntry> columns;
    int rowCount = 0;
    int currentRow = -1;
    int previousCurrentRow = -1;
    int topRow = 0;
    int previousTopRow = 0;
    int lastTopRow = 0;
    std::vector<int> rowHeights;
    int defaultRowHeight = 20;
    bool uniformHeights = false;
    int bottomRow = 0;
    int targetRow = -1;
    std::vector<int> headingRowHeights{20};   // index 0 is row -1
    std::vector<int> headingColumnWidths{40}; // index 0 is column -1
    CELCell sheetDefault;
    CELCell headingDefault;
    int topHeadingHeight = 20;
    int sideHeadingWidth = 40;
    int vScrollWidth = 0;
    int hScrollHeight = 0;
    int tabWidth = 0;
    int cellAreaWidth = 0;
    int cellAreaHeight = 0;
    QRect cellAreaRect, topRect, sideRect, cornerRect, tabRect, vbarRect, hbarRect;
    bool wholeRowHighlight = false;
    int blockSelection = 0;
    int currentCellHighlight = 1;
    int edgeWidth3d = 1;
    bool popupEnabled = false;
    bool cellTips = false;
    int cornerSizing = 1;
    bool joins = true;
    bool textOverflow = true;
    bool gridLines = true;
    int vScrollStyle = 0;
    int hScrollStyle = 0;
    int lockedColumns = 0;
    int lockedRows = 0;
    int lockedWidth = 0;
    int lockedHeight = 0;
    const QFont* defaultFont = nullptr;
    CELDataSource* dataSource = nullptr;
    std::unique_ptr<CELMem> ownSource = std::make_unique<CELMem>();
    int mouseState = 0;
    int keyFlags = 0;
    CELBlockList blocks;
    int textMargin = 4;
    QPen gridLinePen{QColor(0xDC, 0xDC, 0xDC), 0};

    int HeadingRows() const { return static_cast<int>(headingRowHeights.size()); }
    int HeadingColumns() const { return static_cast<int>(headingColumnWidths.size()); }
    int RowHeight(int row) const;
    int ColumnWidth(int column) const; // data columns; 0 outside
};

// Modifier flags of the mouse and key messages (as their key-state word carries them).
enum : int { kMkLButton = 0x1, kMkRButton = 0x2, kMkShift = 0x4, kMkControl = 0x8 };
