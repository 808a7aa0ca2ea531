// A view whose grid shows cell tips: told when the "Display Spreadsheet Hints" setting changes.
#pragma once

class CellTipsView {
public:
    virtual ~CellTipsView() = default;
    virtual void EnableCellTips(bool enable) = 0;
};
