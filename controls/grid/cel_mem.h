// The in-memory data source that every sheet owns: a sparse sheet whose rows and columns exist
// only up to the furthest cell ever stored. Heading cells live at negative coordinates beside
// the data; inserting and deleting rows or columns carries them along, and find and sort
// leave them alone.
#pragma once

#include "controls/grid/cel_cell.h"
#include "controls/grid/cel_data_source.h"

#include <memory>
#include <vector>

class CELMem : public CELDataSource {
public:
    int AppendRow() override { return 0; }
    int AppendColumn() override { return 0; }
    int InsertRow(int row) override;
    int InsertColumn(int column) override;
    int DeleteRow(int row) override;
    int DeleteColumn(int column) override;
    int DeleteCell(int column, int row) override;
    int Empty() override;
    int GetCell(int column, int row, CELCell& cell) override;
    int SetCell(int column, int row, const CELCell& cell) override;
    int FindFirst(const std::string& text, int& column, int& row, int flags) override;
    int FindNext(const std::string& text, int& column, int& row, int flags) override;
    int SortBy(const int* columns, int count, int flags) override;
    int SortByColumn(int column, int flags) override { return SortBy(&column, 1, flags); }
    int FindPreviousTextColumn(int& column, int row) override;

    // Stored cell or null; no copy.
    const CELCell* CellAt(int column, int row) const;
    int StoredRowCount() const { return static_cast<int>(rows_.size()); }
    // Nodes of a data row (0 when the row does not exist).
    int StoredColumnCount(int row) const;

private:
    using Cells = std::vector<std::unique_ptr<CELCell>>;
    struct Row {
        Cells cells; // columns 0, 1, ...
        Cells heads; // columns -1, -2, ...
    };
    Row* RowAt(int row, bool create);
    const Row* RowAt(int row) const;
    static std::unique_ptr<CELCell>* Slot(Row& r, int column, bool create);
    int RowsForSearch() const;
    int ColumnsForSearch() const;

    std::vector<Row> rows_;     // rows 0, 1, ...
    std::vector<Row> headRows_; // rows -1, -2, ...
};

// Windows-1252 upper case of one byte.
unsigned char UpperCp1252(unsigned char c);
