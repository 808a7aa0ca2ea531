// The grid base of the program's tables: the shared look (Arial base font, white sections,
// dotted focus frame), the shared answers to the grid's notifications, and the printing of a
// grid with a header and footer on every page.
#pragma once

#include "controls/commandbars/resources.h"
#include "controls/grid/cel_ctrl.h"
#include "platform/qt/command_target.h"
#include "views/gridbase/print_services.h"

#include <QFont>
#include <memory>
#include <string>

class QPainter;
class QPaintDevice;

class VLCELCtrl : public CELCtrl {
public:
    explicit VLCELCtrl(QWidget* parent = nullptr);
    ~VLCELCtrl() override;

    // Whether the grid shows cell tips once created (the program's "Display Spreadsheet
    // Hints" setting); set before the grid is created.
    void SetCellTipsOnCreate(bool on) { cellTips_ = on; }
    void NotifyGridCreated() override;
    bool AllowTopHeadingSizing() override { return false; }
    bool AllowSideHeadingSizing() override { return false; }
    void NotifySideHeadingLeftClick(int column, int row, int down, const QRect& rect,
                                    const QPoint& point, int processed) override;
    void NotifySideHeadingRightClick(int column, int row, int down, const QRect& rect,
                                     const QPoint& point, int processed) override;
    // A right click's release on a cell and the menu key (or Shift+F10) at the active cell
    // track the cell's popup.
    void NotifyCellRightClick(int column, int row, int down, const QRect& rect, const QPoint& point,
                              int processed) override;
    void NotifyKeyPressed(int& key, int processed) override;

    // The popup of a place (section 1 a cell, 2 the top heading, 3 the side heading, 4 the
    // corner), built for this call; null (the default) shows none.
    virtual GVPMenuPtr BuildPopupMenu(int column, int row, int section);
    // Checks, greys or names an item of the grid's popup as it shows; false leaves it enabled.
    virtual bool OnUpdatePopupCommand(unsigned id, platform::qt::CommandUi& ui);
    // Tracks the popup of a place with the grid as its owner: the pick goes through
    // HandleCommand, so the menu-command notification runs. Answers the pick, 0 for none.
    unsigned TrackGridPopup(int column, int row, int section, QPoint screenPoint);
    // The same at the active cell, below its top left corner.
    unsigned TrackActiveCellPopup();
    bool AllowEditContinue(int column, int row, int& nextColumn, int& nextRow) override;
    int CompareCellsForSort(const CELCell* first, const CELCell* second, int flags) override;
    void AdjustChildLayout(QRect& cellArea, QRect& topHeading, QRect& sideHeading, QRect& corner,
                           QRect& vScroll, QRect& hScroll, QRect& tabs) override;
    COLORREF GetSectionBackColour(int section) override;
    void DrawFocusFrame(QPainter& painter, const QRect& rect) override;

    // The print dialogs the grid asks (not owned; they outlive the grid).
    void SetPrintServices(const views::PrintServices* services) { printing_ = services; }
    const views::PrintServices& Printing() const;
    // "Print Grid": asks all or selection, then prints with the three texts.
    int PrintGridCommand(std::string title, std::string note, std::string subtitle);
    // 0 when nothing was attempted (an empty range, the print dialog cancelled), else 1.
    int PrintGrid(int startColumn, int startRow, int endColumn, int endRow,
                  const std::string& title, const std::string& note, const std::string& subtitle);
    // One header (part 0) or footer (part 1) text at the left (0), centre (1) or right (2).
    int PrintHeaderText(QPainter& dc, int part, int position, int page, std::string text);

    // The two sort rules of the tables.
    static int CompareNumericOrText(const CELCell* first, const CELCell* second, int flags);
    static int CompareTextOnly(const CELCell* first, const CELCell* second, int flags);
    // The whole row becomes the selection (not for the last row).
    void SelectWholeRow(int row);

    // Whether the last row is a record rather than the empty row that appends one: such a row
    // takes part in a selection print.
    void SetLastRowIsRecord(bool record) { lastRowIsRecord_ = record; }

protected:
    // The rows a selection print covers, from the active column; false when no record is
    // selected.
    bool SelectedRun(int& first, int& last);

private:
    int PrintRange(int startColumn, int startRow, int endColumn, int endRow,
                   const std::string& title, const std::string& note, const std::string& subtitle);

    std::unique_ptr<QFont> baseFont_;
    bool lastRowIsRecord_ = false;
    bool cellTips_ = true;
    const views::PrintServices* printing_ = nullptr;
};

// The font of the printouts' headers and footers on `device` (Arial, 10 points).
QFont PrintHeaderFont(const QPaintDevice& device);
// The local date and time as the printouts' footers show it.
std::string PrintDateText();
