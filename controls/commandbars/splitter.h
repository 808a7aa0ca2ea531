// A static splitter window: a grid of panes separated by bars that the user drags, live or
// with a tracker.
#pragma once

#include <QWidget>
#include <vector>

class CGVSplitterWnd : public QWidget {
public:
    enum Style { FocusTracker = 1, NoFullDrag = 2, PlainBorders = 4, NoSizing = 8 };
    // Hit codes of the bars, as the drawing and cursor code tells them apart.
    enum Hit { NoHit = 0, VSplitterBar1 = 101, HSplitterBar1 = 201, SplitterIntersection1 = 301 };
    enum DrawKind { SplitBox = 0, SplitBar = 1, SplitIntersection = 2, SplitBorder = 3 };

    explicit CGVSplitterWnd(QWidget* parent = nullptr);

    bool CreateStatic(int rows, int cols);
    void SetPane(int row, int col, QWidget* pane);
    QWidget* GetPane(int row, int col) const;
    void SetRowInfo(int row, int ideal, int minimum);
    void SetColumnInfo(int col, int ideal, int minimum);
    int GetRowHeight(int row) const;
    int GetColumnWidth(int col) const;
    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    int GetColumnCount() const { return static_cast<int>(m_cols.size()); }
    void RecalcLayout();

    void SetSplitterStyle(int style);
    int GetSplitterStyle() const { return m_style; }
    void SetFlatSplitter(bool flat);
    bool IsFlat() const { return m_flat; }
    bool IsFullDrag() const { return m_fullDrag; }
    int SplitterWidth() const { return m_splitter; }

    // Paints one element; without a painter the rectangle is scheduled for repaint.
    void OnDrawSplitter(QPainter* dc, int kind, const QRect& rect);
    int HitTest(QPoint pt) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Track {
        int size = 0;
        int ideal = 0;
        int minimum = 0;
    };
    void SetSplitCursor(int hit);
    void StartTracking(int hit, QPoint pt);
    void StopTracking(bool accept);
    void ApplyTracker(QPoint pt);
    QRect BarRect(bool row, int index) const;

    std::vector<Track> m_rows;
    std::vector<Track> m_cols;
    std::vector<QWidget*> m_panes;
    int m_style = NoFullDrag;
    bool m_flat = true;
    bool m_fullDrag = false;
    int m_splitter = 6;
    int m_border = 2;
    int m_tracking = NoHit;
    QPoint m_trackOffset;
    QRect m_tracker;
    QRect m_trackerCol;
    QPoint m_lastTrackingPoint{-1, -1};
};
