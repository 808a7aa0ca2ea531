// The ordered collection of a bar's controls: creation from menu items, search, hit test,
// keyboard walk, comparison, copies, and the row layout with wrapping and trailing controls.
#pragma once

#include "controls/commandbars/control_base.h"
#include "controls/commandbars/ref_object.h"

#include <QMargins>
#include <QRect>
#include <QSize>
#include <vector>

class QPainter;
class CGVPCommandBar;
class CGVPCommandBars;
struct GVPMenu;

class CGVPControls : public CGVPRefObject {
public:
    CGVPControls() = default;

    int GetCount() const { return int(controls_.size()); }
    CGVPControl* GetAt(int index) const;
    CGVPControl* GetFirst() const { return GetAt(0); }
    CGVPControl* GetNextInOrder(const CGVPControl* control) const;

    CGVPControl* Add(int type, unsigned id, const QString& parameter = QString(), int before = -1,
                     bool temporary = false);
    // Takes over the caller's reference to the control.
    CGVPControl* AddControl(CGVPControl* control, unsigned id, const QString& parameter = QString(),
                            int before = -1, bool temporary = false);
    CGVPControl* InsertClone(const CGVPControl* control, int before, bool recursive);
    void Append(CGVPControl* control);
    CGVPControl* CreateControlForItem(const GVPMenu* menu, int position);
    void Remove(CGVPControl* control);
    void RemoveAt(int index) { Remove(GetAt(index)); }
    void RemoveAll();
    CGVPControl* FindControl(int type, int id, bool visibleOnly, bool recursive) const;
    CGVPControl* FindControlById(unsigned id) const {
        return FindControl(0, int(id), false, false);
    }
    CGVPControl* HitTest(QPoint point) const;
    int GetNext(int index, int step, bool skipFlagged = true) const;
    int GetVisibleCount(bool strict) const;
    void SetCommandBar(CGVPCommandBar* bar);
    CGVPCommandBar* GetCommandBar() const { return bar_; }
    void SetCommandBars(CGVPCommandBars* bars) { commandBars_ = bars; }
    void Reindex();
    CGVPControls* Duplicate(bool recursive) const;
    void SaveOriginalControls();
    CGVPControls* GetOriginalControls() const { return savedShallow_; }
    bool IsEqual(const CGVPControls* other) const;
    QSize CalcDynamicSize(QPainter* dc, int length, int mode, const QMargins& border, int minWidth);
    // The mode after the last layout (wrapping may add the stretch bit).
    int LastMode() const { return mode_; }
    CGVPCommandBars* GetCommandBars() const;

    // The sizes used by the layout; tests may set a measure instead of the paint manager.
    struct LayoutRecord {
        QRect rect;
        QRect rowRect;
        QSize size;
        bool visible = false;
        bool wrap = false;
        bool overflow = false;
        bool beginGroup = false;
    };

protected:
    ~CGVPControls() override;

private:
    int Wrap(int length);
    QSize Arrange(bool vertical);
    void FitLength(int length);
    void Align(const QMargins& border, const QSize& size, bool vertical);
    void PlaceTrailing(const QMargins& border, const QSize& size, bool vertical);

    CGVPCommandBar* bar_ = nullptr;
    std::vector<CGVPControl*> controls_;
    CGVPCommandBars* commandBars_ = nullptr;
    CGVPControls* savedDeep_ = nullptr;
    CGVPControls* savedShallow_ = nullptr;
    // One layout run's records and mode.
    std::vector<LayoutRecord> records_;
    int mode_ = 0;
};
