#include "controls/grid/cel_grid_info.h"

#include <algorithm>

void CELBlockList::Empty() {
    blocks_.clear();
    open_ = -1;
    lastClickColumn = -1;
    lastClickRow = -1;
}

int CELBlockList::StartBlock(int column, int row) {
    if (mode == 0)
        return 0;
    anchorColumn_ = column;
    anchorRow_ = row;
    blocks_.push_back({column, row, column, row, column, column, row, row, 1});
    open_ = static_cast<int>(blocks_.size()) - 1;
    return 0;
}

int CELBlockList::Stretch(int column, int row) {
    if (mode == 0)
        return 0;
    if (open_ < 0)
        return 1;
    Block& b = blocks_[static_cast<std::size_t>(open_)];
    b.endColumn = column;
    b.endRow = row;
    b.left = std::min(b.startColumn, column);
    b.right = std::max(b.startColumn, column);
    b.top = std::min(b.startRow, row);
    b.bottom = std::max(b.startRow, row);
    b.state = 1;
    return 0;
}

int CELBlockList::Anchor(int& column, int& row) const {
    if (open_ < 0)
        return 1;
    column = anchorColumn_;
    row = anchorRow_;
    return 0;
}

int CELBlockList::OpenBlockRect(int& left, int& top, int& right, int& bottom) const {
    if (mode == 0)
        return 0;
    if (open_ < 0)
        return 1;
    const Block& b = blocks_[static_cast<std::size_t>(open_)];
    left = b.left;
    top = b.top;
    right = b.right;
    bottom = b.bottom;
    return 0;
}

int CELBlockList::Holds(int column, int row, int* index) const {
    if (index)
        *index = 0;
    if (mode == 0 || blocks_.empty())
        return 0;
    int answer = 0;
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
        const Block& b = blocks_[i];
        if (column >= b.left && column <= b.right && row >= b.top && row <= b.bottom) {
            answer = b.state;
            if (index)
                *index = static_cast<int>(i);
        }
    }
    return answer;
}

int CELBlockList::WholeExtent(int& left, int& top, int& right, int& bottom) const {
    if (mode == 0)
        return 1;
    if (blocks_.empty())
        return 2;
    left = top = INT32_MAX;
    right = bottom = INT32_MIN;
    for (const Block& b : blocks_) {
        left = std::min(left, b.left);
        top = std::min(top, b.top);
        right = std::max(right, b.right);
        bottom = std::max(bottom, b.bottom);
    }
    return 0;
}
