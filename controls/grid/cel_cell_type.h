// How a cell looks and how it reacts to the mouse and the keyboard. The grid registers the
// normal type as number 0; the other numbers draw as normal cells.
#pragma once

#include "controls/grid/cel_cell.h"

#include <QPoint>
#include <QRect>
#include <QSize>

class CELCtrl;
class QPainter;

class CELCellType {
public:
    virtual ~CELCellType() = default;
    virtual const char* GetName() const { return "Normal Cell Type (default)"; }
    virtual int AdjustEditRect(QRect& /*rect*/) { return 0; }
    virtual int NotifySystemColours() { return 0; }
    virtual int OnLeftButton(int, int, int /*down*/, const QRect&, const QPoint&) { return 0; }
    virtual int OnRightButton(int, int, int /*down*/, const QRect&, const QPoint&) { return 0; }
    virtual int OnDoubleClick(int, int, const QRect&, const QPoint&) { return 0; }
    virtual int OnKeyDown(int, int, int& /*key*/) { return 0; }
    virtual int OnKeyUp(int, int, int& /*key*/) { return 0; }
    virtual int OnCharTyped(int, int, int& /*ch*/) { return 0; }
    virtual int OnMouseMove(int, int, const QPoint&, int /*keyFlags*/) { return 0; }
    virtual void Draw(QPainter& p, const QRect& rect, int column, int row, CELCell& cell,
                      int selected, bool current);
    // Drawing on a printed page: long text runs on across empty neighbours on the page.
    virtual void DrawOverflowing(QPainter& p, const QRect& rect, int column, int row, CELCell& cell,
                                 int selected, bool current);
    virtual int DrawFocus(QPainter&, const QRect&, int, int) { return 0; }
    virtual void DrawScaled(QPainter& p, const QRect& rect, int column, int row, CELCell& cell);
    virtual void NotifyGotFocus(int, int, CELCell&) {}
    virtual void NotifyLostFocus(int, int, CELCell&) {}
    virtual void NotifyColumnSized(int, int, int&) {}
    virtual void NotifyColumnSizing(int, int, int&) {}
    virtual void NotifyRowSized(int, int, int&) {}
    virtual void NotifyRowSizing(int, int, int&) {}
    virtual QSize GetBestSize(CELCell& cell);
    virtual void NotifyViewMoved(int, int, CELCell&) {}

    bool usesEditor = true;
    bool labelFlag = false;
    bool mayOverflow = true;
    double scale = 1.0;
    CELCtrl* grid = nullptr;
    int number = 0;
    // While printing: the right edges of the page's printed columns, for overflow.
    bool printing = false;

    // Draws the edges and answers the inner rectangle.
    QRect DrawEdges(QPainter& p, const QRect& rect, const CELCell& cell);
    // Draws the text (no edges) in the inner rectangle; indent < 0 continues an overflow.
    void DrawText(QPainter& p, QRect inner, CELCell& cell, int selected, bool current, int indent);
    bool MayOverflowCell(const CELCell& cell) const;
};
