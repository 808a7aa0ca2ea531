// The grid's child windows: cell area, headings, corner button, tab strip, scroll bars, the
// in-place editor and the find dialog.
#pragma once

#include "controls/grid/cel_cell.h"

#include <QDialog>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QWidget>

class CELCtrl;
struct CELGridInfo;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CELGrid : public QWidget {
    Q_OBJECT
public:
    explicit CELGrid(CELCtrl* grid);
    // One paint pass over every visible cell.
    void DrawCells(QPainter& painter);
    void RedrawChanged();
    void RedrawCell(int column, int row);
    void RedrawRange(int firstColumn, int firstRow, int lastColumn, int lastRow);
    bool HasFocusFlag() const { return hasFocus_; }
    // The rectangle the focus frame was last drawn at.
    QRect FocusRect() const { return focusRect_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool) override { return false; }
    bool event(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void DragStep(const QPoint& point);
    CELCtrl* grid_;
    bool captured_ = false;
    bool typeOwnsDrag_ = false;
    bool hasFocus_ = false;
    int wheelRest_ = 0;
    QRect focusRect_;
    QPoint dragPoint_;
    int dragTimer_ = 0;
    bool dragOverBottom_ = false;
    bool dragOverRight_ = false;
    int tipColumn_ = -2;
    int tipRow_ = -2;
};

class CELHeading : public QWidget {
    Q_OBJECT
public:
    CELHeading(CELCtrl* grid, bool top);
    // Hit test in this window: 0 and the heading cell, 1 outside.
    int HitTest(const QPoint& point, int& column, int& row, QRect& rect) const;
    QRect CellRect(int column, int row) const;
    void Draw(QPainter& painter);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool Hover(const QPoint& point);
    int ColumnUnder(int x) const;
    int RowUnder(int y) const;
    CELCtrl* grid_;
    bool top_;
    bool hovering_ = false;
    int hoverKind_ = 0;
    int target_ = 0; // column or row, or heading column/row (negative)
    bool dragging_ = false;
    bool selecting_ = false;
    int startSize_ = 0;
    int startPos_ = 0;
    int startTotal_ = 0;
    int rowsAbove_ = 1;
};

class CELTopHdg : public CELHeading {
    Q_OBJECT
public:
    explicit CELTopHdg(CELCtrl* grid) : CELHeading(grid, true) {}
};

class CELSideHdg : public CELHeading {
    Q_OBJECT
public:
    explicit CELSideHdg(CELCtrl* grid) : CELHeading(grid, false) {}
};

class CELCnrBtn : public QWidget {
    Q_OBJECT
public:
    explicit CELCnrBtn(CELCtrl* grid);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    CELCtrl* grid_;
    bool dragging_ = false;
    bool sizingHeight_ = false;
    bool sizingWidth_ = false;
};

// The sheet-tab strip: its area is 0 wide in this system.
class CELTab : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

class CELVScroll : public QScrollBar {
    Q_OBJECT
public:
    explicit CELVScroll(CELCtrl* grid);
    void UpdateRange();
    void Reset();
    double PositionsToRows() const { return toRows_; }

private:
    void OnAction(int action);
    void OnReleased();
    void Sync();
    CELCtrl* grid_;
    int seenLastTop_ = -2;
    int seenStyle_ = -2;
    int seenLocked_ = -2;
    double toPositions_ = 1.0;
    double toRows_ = 1.0;
};

class CELHScroll : public QScrollBar {
    Q_OBJECT
public:
    explicit CELHScroll(CELCtrl* grid);
    void UpdateRange();
    void Reset();

private:
    void OnAction(int action);
    void OnReleased();
    void Sync();
    CELCtrl* grid_;
    int seenLastLeft_ = -1;
    int seenLocked_ = -1;
};

// The in-place editor.
class CELEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CELEdit(CELCtrl* grid, QWidget* parent);
    // Text as Windows-1252 bytes.
    std::string Text() const;
    void SetText(const std::string& text);
    void Begin(const QRect& rect, QWidget* parent, const QFont* font);
    bool cancelled = false;
    bool continueEdit = false;
    int nextColumn = 0;
    int nextRow = 0;
    int lastKey = 0;
    bool autoSize = true;
    int initialHeight = 0;
    int currentHeight = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool) override { return false; }

private:
    void End(int key);
    void Grow();
    void RunFinish();
    CELCtrl* grid_;
    QRect startRect_;
    bool finishQueued_ = false;
};

// The modeless find (and replace) dialog.
class CELFindDialog : public QDialog {
    Q_OBJECT
public:
    CELFindDialog(CELCtrl* grid, bool replace);
    QLineEdit* findEdit = nullptr;
    QLineEdit* replaceEdit = nullptr;
    QCheckBox* wholeCell = nullptr;
    QCheckBox* matchCase = nullptr;
    QRadioButton* up = nullptr;
    QRadioButton* down = nullptr;
    QPushButton* findNext = nullptr;
    QPushButton* replace = nullptr;
    QPushButton* replaceAll = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void Request(int action);
    CELCtrl* grid_;
    bool closed_ = false;
};

// Windows key code of a Qt key (0 when it has none).
int WindowsKeyCode(int qtKey);
