#include "controls/grid/cel_mem.h"

#include "controls/grid/cel_ctrl.h"

#include <algorithm>
#include <numeric>

unsigned char UpperCp1252(unsigned char c) {
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 0x20);
    if (c >= 0xE0 && c != 0xF7 && c != 0xFF)
        return static_cast<unsigned char>(c - 0x20);
    switch (c) {
    case 0x9A:
        return 0x8A;
    case 0x9C:
        return 0x8C;
    case 0x9E:
        return 0x8E;
    case 0xFF:
        return 0x9F;
    default:
        return c;
    }
}

namespace {

std::string Upper(const std::string& s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(UpperCp1252(static_cast<unsigned char>(c)));
    return out;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperCp1252(static_cast<unsigned char>(a[i])) !=
            UpperCp1252(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

CELMem::Row* CELMem::RowAt(int row, bool create) {
    auto& list = row >= 0 ? rows_ : headRows_;
    const std::size_t index = row >= 0 ? static_cast<std::size_t>(row)
                                       : static_cast<std::size_t>(-static_cast<long>(row) - 1);
    if (index >= list.size()) {
        if (!create)
            return nullptr;
        list.resize(index + 1);
    }
    return &list[index];
}

const CELMem::Row* CELMem::RowAt(int row) const {
    return const_cast<CELMem*>(this)->RowAt(row, false);
}

std::unique_ptr<CELCell>* CELMem::Slot(Row& r, int column, bool create) {
    Cells& list = column >= 0 ? r.cells : r.heads;
    const std::size_t index = column >= 0
                                  ? static_cast<std::size_t>(column)
                                  : static_cast<std::size_t>(-static_cast<long>(column) - 1);
    if (index >= list.size()) {
        if (!create)
            return nullptr;
        list.resize(index + 1);
    }
    return &list[index];
}

const CELCell* CELMem::CellAt(int column, int row) const {
    const Row* r = RowAt(row);
    if (!r)
        return nullptr;
    auto* slot = Slot(const_cast<Row&>(*r), column, false);
    return slot ? slot->get() : nullptr;
}

int CELMem::StoredColumnCount(int row) const {
    const Row* r = row >= 0 ? RowAt(row) : nullptr;
    return r ? static_cast<int>(r->cells.size()) : 0;
}

int CELMem::InsertRow(int row) {
    if (row >= 0 && static_cast<std::size_t>(row) < rows_.size())
        rows_.insert(rows_.begin() + row, Row{});
    return 0;
}

int CELMem::InsertColumn(int column) {
    if (rows_.empty() && headRows_.empty())
        return 1;
    int at = column;
    CELCtrl* grid = Grid();
    if (grid) {
        for (int c = 0; c < grid->GetColumnCount(); ++c)
            if (grid->GetMappedColumn(c) == column) {
                at = c;
                break;
            }
    }
    if (at < 0)
        return 1;
    auto insertIn = [at](std::vector<Row>& list) {
        for (Row& r : list)
            if (static_cast<std::size_t>(at) < r.cells.size())
                r.cells.insert(r.cells.begin() + at, nullptr);
    };
    insertIn(rows_);
    insertIn(headRows_);
    if (grid)
        for (int c = 0; c < grid->GetColumnCount(); ++c)
            if (grid->GetMappedColumn(c) >= at)
                grid->SetMappedColumn(c, grid->GetMappedColumn(c) + 1);
    return 0;
}

int CELMem::DeleteRow(int row) {
    if (row >= 0 && static_cast<std::size_t>(row) < rows_.size())
        rows_.erase(rows_.begin() + row);
    return 0;
}

int CELMem::DeleteColumn(int column) {
    if (rows_.empty() && headRows_.empty())
        return 1;
    if (column < 0)
        return 1;
    auto deleteIn = [column](std::vector<Row>& list) {
        for (Row& r : list) {
            const auto index = static_cast<std::size_t>(column);
            if (index >= r.cells.size())
                continue;
            if (index + 1 == r.cells.size())
                r.cells[index].reset(); // the row's last node stays, emptied
            else
                r.cells.erase(r.cells.begin() + column);
        }
    };
    deleteIn(rows_);
    deleteIn(headRows_);
    if (CELCtrl* grid = Grid())
        for (int c = 0; c < grid->GetColumnCount(); ++c)
            if (grid->GetMappedColumn(c) >= column)
                grid->SetMappedColumn(c, grid->GetMappedColumn(c) - 1);
    return 0;
}

int CELMem::DeleteCell(int column, int row) {
    Row* r = RowAt(row, false);
    if (!r)
        return 1;
    auto* slot = Slot(*r, column, false);
    if (!slot)
        return 1;
    slot->reset();
    return 0;
}

int CELMem::Empty() {
    rows_.clear();
    headRows_.clear();
    return 0;
}

int CELMem::GetCell(int column, int row, CELCell& cell) {
    const CELCell* stored = CellAt(column, row);
    if (!stored)
        return 1;
    cell.AddFrom(*stored);
    return 0;
}

int CELMem::SetCell(int column, int row, const CELCell& cell) {
    Row* r = RowAt(row, true);
    auto* slot = Slot(*r, column, true);
    if (!*slot)
        *slot = std::make_unique<CELCell>();
    cell.CopyTo(**slot);
    return 0;
}

int CELMem::RowsForSearch() const {
    return Grid() ? Grid()->GetRowCount() : static_cast<int>(rows_.size());
}

int CELMem::ColumnsForSearch() const {
    if (Grid())
        return Grid()->GetColumnCount();
    std::size_t widest = 0;
    for (const Row& r : rows_)
        widest = std::max(widest, r.cells.size());
    return static_cast<int>(widest);
}

int CELMem::FindFirst(const std::string& text, int& column, int& row, int flags) {
    if (flags & 8) {
        column = -1;
        row = 0;
    } else {
        row = -1;
    }
    return FindNext(text, column, row, flags);
}

int CELMem::FindNext(const std::string& text, int& column, int& row, int flags) {
    const int rowCount = RowsForSearch();
    const int lastRow = rowCount - 1;
    const int lastColumn = ColumnsForSearch() - 1;
    if (rowCount <= 0 || lastColumn < 0)
        return 1;
    const bool up = (flags & 4) != 0;
    const bool allColumns = (flags & 8) != 0;
    const bool anywhere = (flags & 1) != 0;
    const bool noCase = (flags & 2) != 0;
    const std::string wanted = noCase ? Upper(text) : text;

    int c = column, r = row;
    auto nextRow = [&]() {
        r += up ? -1 : 1;
        if (r > lastRow)
            r = 0;
        if (r < 0)
            r = lastRow;
        if (allColumns)
            c = up ? lastColumn : 0;
    };
    auto nextColumn = [&]() -> bool { // true when the step left the row
        c += up ? -1 : 1;
        if (c > lastColumn || c < 0) {
            nextRow();
            return true;
        }
        return false;
    };
    if (allColumns)
        nextColumn();
    else {
        r += up ? -1 : 1;
        if (r > lastRow)
            r = 0;
        if (r < 0)
            r = lastRow;
    }
    auto matches = [&](const CELCell* cell) {
        if (!cell)
            return false;
        const char* t = cell->GetValueText();
        if (!t)
            return false;
        const std::string s(t);
        if (anywhere) {
            if (noCase)
                return Upper(s).find(wanted) != std::string::npos;
            return s.find(wanted) != std::string::npos;
        }
        return !s.empty() && EqualNoCase(s, text);
    };

    int counter = 0;
    while (counter < rowCount + 1) {
        if (r < 0 || static_cast<std::size_t>(r) >= rows_.size()) {
            nextRow();
            ++counter;
            continue;
        }
        const Row& rowData = rows_[static_cast<std::size_t>(r)];
        const CELCell* cell = (c >= 0 && static_cast<std::size_t>(c) < rowData.cells.size())
                                  ? rowData.cells[static_cast<std::size_t>(c)].get()
                                  : nullptr;
        if (matches(cell)) {
            column = c;
            row = r;
            return 0;
        }
        if (!allColumns) {
            nextRow();
            ++counter;
        } else if (nextColumn()) {
            ++counter;
        }
    }
    return 1;
}

int CELMem::SortBy(const int* columns, int count, int flags) {
    if (rows_.size() < 2 || !columns || count <= 0)
        return 0;
    CELCtrl* grid = Grid();
    auto cellOf = [](const Row& r, int column) -> const CELCell* {
        if (column < 0 || static_cast<std::size_t>(column) >= r.cells.size())
            return nullptr;
        return r.cells[static_cast<std::size_t>(column)].get();
    };
    auto compareRows = [&](const Row& a, const Row& b) {
        for (int k = 0; k < count; ++k) {
            const CELCell* x = cellOf(a, columns[k]);
            const CELCell* y = cellOf(b, columns[k]);
            const int result =
                grid ? grid->CompareCellsForSort(x, y, flags) : CompareCellsDefault(x, y, flags);
            if (result != 0)
                return result;
        }
        return 0;
    };
    // Neighbour-exchange passes stop when every pair compares at most 0; a stable sort that
    // puts b before a exactly when (a, b) compares above 0 reaches the same order.
    std::vector<std::size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
        return compareRows(rows_[y], rows_[x]) > 0;
    });
    std::vector<Cells> sorted;
    sorted.reserve(rows_.size());
    for (std::size_t i : order)
        sorted.push_back(std::move(rows_[i].cells));
    for (std::size_t i = 0; i < rows_.size(); ++i)
        rows_[i].cells = std::move(sorted[i]);
    return 0;
}

int CELMem::FindPreviousTextColumn(int& column, int row) {
    const Row* r = row >= 0 ? RowAt(row) : nullptr;
    if (!r || r->cells.empty())
        return 1;
    int start = column;
    if (column < 0)
        return 1;
    if (static_cast<std::size_t>(column) >= r->cells.size()) {
        if (!r->cells.back())
            return 1;
        start = static_cast<int>(r->cells.size()) - 1;
    }
    for (int c = start; c >= 0; --c) {
        if (c == column)
            continue;
        const CELCell* cell = r->cells[static_cast<std::size_t>(c)].get();
        if (cell && cell->GetTextLength() > 0) {
            column = c;
            return 0;
        }
    }
    return 1;
}
