// A grid subclass and a data source that record every notification with its arguments, and
// the application the widgets need.
#pragma once

#include "controls/grid/cel_ctrl.h"
#include "controls/grid/cel_mem.h"
#include "controls/grid/cel_parts.h"

#include <QApplication>
#include <QImage>
#include <functional>
#include <string>
#include <vector>

namespace grid_test {

QApplication& App();

std::string Fmt(const char* name, std::initializer_list<int> values);

class RecordingSource : public CELMem {
public:
    std::vector<std::string>* log = nullptr;
    int allowMove = 1;
    void NotifyRowChanged(int a, int b) override { Log(Fmt("src.RowChanged", {a, b})); }
    void NotifyColumnChanged(int a, int b) override { Log(Fmt("src.ColumnChanged", {a, b})); }
    int AllowMove(int a, int b, int c, int d) override {
        Log(Fmt("src.AllowMove", {a, b, c, d}));
        return allowMove;
    }
    int NotifyHitBottom(int count, int wanted, int& added) override {
        Log(Fmt("src.HitBottom", {count, wanted}));
        added = 0;
        return -1;
    }

private:
    void Log(const std::string& s) {
        if (log)
            log->push_back(s);
    }
};

struct AppInit {
    AppInit() { App(); }
};

class RecordingGrid : private AppInit, public CELCtrl {
public:
    RecordingGrid();
    std::vector<std::string> log;
    RecordingSource source;
    bool allowCellMove = true;
    bool allowViewMove = true;
    bool zeroKey = false;
    bool continueEdit = true;
    std::function<bool(std::string&)> onFinish; // answers AllowEditFinish
    std::function<void(int&)> onChar;

    std::vector<std::string> Take() {
        auto out = std::move(log);
        log.clear();
        return out;
    }
    bool AllowActiveCellMove(int a, int b, int c, int d) override {
        log.push_back(Fmt("AllowActiveCellMove", {a, b, c, d}));
        return allowCellMove;
    }
    bool AllowViewMove(int a, int b, int c, int d) override {
        log.push_back(Fmt("AllowViewMove", {a, b, c, d}));
        return allowViewMove;
    }
    void NotifyPastLastRow(int a, int b, int c) override {
        log.push_back(Fmt("PastLastRow", {a, b, c}));
    }
    void NotifyActiveColumnChanged(int a, int b) override {
        log.push_back(Fmt("ActiveColumnChanged", {a, b}));
    }
    void NotifyActiveRowChanged(int a, int b) override {
        log.push_back(Fmt("ActiveRowChanged", {a, b}));
    }
    void NotifyActiveCellChanged(int a, int b, int c, int d) override {
        log.push_back(Fmt("ActiveCellChanged", {a, b, c, d}));
    }
    void NotifyLeftColumnChanged(int a, int b) override {
        log.push_back(Fmt("LeftColumnChanged", {a, b}));
    }
    void NotifyTopRowChanged(int a, int b) override { log.push_back(Fmt("TopRowChanged", {a, b})); }
    void NotifyCellLeftClick(int c, int r, int down, const QRect&, const QPoint&, int p) override {
        log.push_back(Fmt("CellLeftClick", {c, r, down, p}));
    }
    void NotifyCellRightClick(int c, int r, int down, const QRect&, const QPoint&, int p) override {
        log.push_back(Fmt("CellRightClick", {c, r, down, p}));
    }
    void NotifyCellDoubleClick(int c, int r, const QRect&, const QPoint&, int p) override {
        log.push_back(Fmt("CellDoubleClick", {c, r, p}));
    }
    void NotifyTopHeadingLeftClick(int c, int r, int down, const QRect&, const QPoint&,
                                   int p) override {
        log.push_back(Fmt("TopHeadingLeftClick", {c, r, down, p}));
    }
    void NotifySideHeadingLeftClick(int c, int r, int down, const QRect&, const QPoint&,
                                    int p) override {
        log.push_back(Fmt("SideHeadingLeftClick", {c, r, down, p}));
    }
    void NotifyCornerLeftClick(int down, const QRect&, const QPoint&, int p) override {
        log.push_back(Fmt("CornerLeftClick", {down, p}));
    }
    void NotifyKeyPressed(int& key, int p) override {
        log.push_back(Fmt("KeyPressed", {key, p}));
        if (zeroKey)
            key = 0;
    }
    void NotifyCharTyped(int& ch, int p) override {
        log.push_back(Fmt("CharTyped", {ch, p}));
        if (onChar)
            onChar(ch);
    }
    void NotifyColumnSizing(int c, int& w) override { log.push_back(Fmt("ColumnSizing", {c, w})); }
    void NotifyColumnSized(int c, int& w) override { log.push_back(Fmt("ColumnSized", {c, w})); }
    void NotifyRowSized(int r, int& h) override { log.push_back(Fmt("RowSized", {r, h})); }
    bool AllowEditStart(int c, int r, CELEdit*&) override {
        log.push_back(Fmt("AllowEditStart", {c, r}));
        return true;
    }
    bool AllowEditFinish(int c, int r, CELEdit*, std::string& text, bool cancelled) override {
        log.push_back(Fmt("AllowEditFinish", {c, r, cancelled}) + " " + text);
        return onFinish ? onFinish(text) : true;
    }
    bool AllowEditContinue(int c, int r, int& nc, int& nr) override {
        log.push_back(Fmt("AllowEditContinue", {c, r, nc, nr}));
        return continueEdit;
    }
    void NotifyMenuCommand(int c, int r, int s, int id) override {
        log.push_back(Fmt("MenuCommand", {c, r, s, id}));
    }
    void OnCommand(int id) override { log.push_back(Fmt("OnCommand", {id})); }
};

// A shown grid of the given size and counts, with the recording source attached.
void ShowGrid(RecordingGrid& g, int width, int height, int columns, int rows);
QImage Grab(QWidget& w);
// Lets queued calls run.
void Settle();

} // namespace grid_test
