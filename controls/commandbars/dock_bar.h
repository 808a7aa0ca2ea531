// The four dock areas along the frame's edges (rows of bars, pushed aside and wrapped when a
// row is full) and the dock context of a bar: dragging between dock bars and floating,
// resizing a floating bar by its border, and the double click between docked and floating.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <vector>

class CGVPToolBar;
class CGVPCommandBars;

inline constexpr int kDockStyleTop = 0x2800;
inline constexpr int kDockStyleBottom = 0x8200;
inline constexpr int kDockStyleLeft = 0x1400;
inline constexpr int kDockStyleRight = 0x4100;

class CGVPDockBar : public QWidget {
public:
    CGVPDockBar(QWidget* parent, int style, unsigned id, CGVPCommandBars* bars);
    ~CGVPDockBar() override;

    int GetSide() const;
    bool IsHorizontal() const { return GetSide() < 2; }
    // With a rectangle (screen coordinates) the bar goes into the row that holds its centre;
    // without, into a new last row.
    void DockCommandBar(CGVPToolBar* bar, const QRect* rect = nullptr);
    void RemoveCommandBar(CGVPToolBar* bar, int skip = -1);
    int FindBar(const CGVPToolBar* bar, int skip = -1) const;
    CGVPToolBar* GetBar(int index) const;
    std::vector<CGVPToolBar*> GetRowBars(int index) const;
    QSize CalcDockingLayout(int length, int mode, bool commit);
    // The row layout of the frame: takes its edge from the rectangle (client coordinates).
    void LayoutIn(QRect& remaining, bool commit);
    const std::vector<CGVPToolBar*>& Bars() const { return bars_; }
    CGVPCommandBars* GetCommandBars() const { return commandBars_; }
    unsigned GetID() const { return id_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct DockInfo {
        CGVPToolBar* bar;
        QRect rect;
        QRect requested;
        int index;
        int minLength;
        int sumMin;
    };
    // Lays out one row; answers -1 or the index (into infos) of the bar that must leave.
    int LayoutRow(std::vector<DockInfo>& infos, int offset, int length, int mode, bool commit,
                  int& thickness);
    std::vector<CGVPToolBar*> bars_; // nullptr separates rows
    int style_;
    unsigned id_;
    CGVPCommandBars* commandBars_;
};

class CGVPDockContext {
public:
    explicit CGVPDockContext(CGVPToolBar* bar);

    void StartDrag(QPoint global);
    void StartResize(int hit, QPoint global);
    bool OnDoubleClick();
    // The press/move/release loop of a drag or a resize (the bar hands its events here).
    bool IsTracking() const { return mode_ != 0; }
    void OnMove(QPoint global);
    void OnRelease();
    void OnCancel(); // Escape: the bar stays where the last move put it

    int lastSide = 0;
    QRect lastDockedRect; // in the dock bar's client coordinates; empty when appended
    QPoint lastFloatPos{0, 0};
    bool hasFloatPos = false;
    QRect dragRect;
    QRect floatRect;

private:
    void EndLoop();
    CGVPToolBar* bar_;
    int mode_ = 0;
    QPoint last_;
    int startSide_ = 0;
    QRect startDocked_;
    bool wasDocked_ = false;
};
