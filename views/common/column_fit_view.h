// A table view that fits its columns to their contents when the main window's "AutoSize
// Columns" reaches it; each table has its own minimum widths.
#pragma once

class ColumnFitView {
public:
    virtual ~ColumnFitView() = default;
    virtual void AutoSizeColumns() = 0;
};
