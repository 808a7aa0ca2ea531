// The store behind the grid. The grid keeps no cell contents itself: it asks its data source
// for every cell it shows and hands it every cell it stores. Every operation of this base
// answers -1 (not supported) or accepts, so a source implements only what it stores.
#pragma once

#include <string>

class CELCell;
class CELCtrl;
class CELEdit;

class CELDataSource {
public:
    virtual ~CELDataSource() = default;

    virtual int AppendRow() { return -1; }
    virtual int InsertRow(int /*row*/) { return -1; }
    virtual int AppendColumn() { return -1; }
    virtual int InsertColumn(int /*column*/) { return -1; }
    virtual int DeleteRow(int /*row*/) { return -1; }
    virtual int DeleteColumn(int /*column*/) { return -1; }
    virtual int DeleteCell(int /*column*/, int /*row*/) { return -1; }
    virtual int Empty() { return -1; }
    // Adds the stored properties to the cell; 0 when a cell is stored there.
    virtual int GetCell(int /*column*/, int /*row*/, CELCell& /*cell*/) { return -1; }
    virtual int SetCell(int /*column*/, int /*row*/, const CELCell& /*cell*/) { return -1; }
    // Find flags: 1 anywhere in the text, 2 ignore case, 4 upwards, 8 all columns.
    virtual int FindFirst(const std::string& /*text*/, int& /*column*/, int& /*row*/,
                          int /*flags*/) {
        return -1;
    }
    virtual int FindNext(const std::string& /*text*/, int& /*column*/, int& /*row*/,
                         int /*flags*/) {
        return -1;
    }
    virtual int SortBy(const int* /*columns*/, int /*count*/, int /*flags*/) { return -1; }
    virtual int SortByColumn(int /*column*/, int /*flags*/) { return -1; }
    virtual int NotifyHitBottom(int /*rowCount*/, int /*rowsWanted*/, int& /*added*/) { return -1; }
    virtual void NotifyRowChanged(int /*oldRow*/, int /*newRow*/) {}
    virtual void NotifyColumnChanged(int /*oldColumn*/, int /*newColumn*/) {}
    // Only 1 lets the grid go on.
    virtual int AllowMove(int /*oldColumn*/, int /*oldRow*/, int /*newColumn*/, int /*newRow*/) {
        return 1;
    }
    virtual int AllowEditStart(int /*column*/, int /*row*/, CELEdit*& /*editor*/) { return 1; }
    virtual int AllowEditKey(int /*column*/, int /*row*/, CELEdit* /*editor*/, int& /*ch*/) {
        return 1;
    }
    virtual int AllowEditFinish(int /*column*/, int /*row*/, CELEdit* /*editor*/,
                                std::string& /*text*/, bool /*cancelled*/) {
        return 1;
    }
    virtual int AllowEditContinue(int /*column*/, int /*row*/, int& /*nextColumn*/,
                                  int& /*nextRow*/) {
        return 1;
    }
    // 0 with the column set to the nearest column left of it whose stored cell has text.
    virtual int FindPreviousTextColumn(int& /*column*/, int /*row*/) { return -1; }

    CELCtrl* Grid() const { return grid_; }
    void SetGrid(CELCtrl* grid) { grid_ = grid; }
    int id = -1;

private:
    CELCtrl* grid_ = nullptr;
};
