// Menu items that stand for lists changing while the program runs: the open MDI windows, the
// toolbars, the verbs of a selected embedded object and the recent files. Before every layout
// the placeholder removes its old items, hides itself and inserts the current ones after it.
#pragma once

#include "controls/commandbars/control_base.h"

#include <QString>

class CGVPControlWindowList : public CGVPControlButton {
public:
    void OnCalcDynamicSize(int mode) override;
    // The first id of MDI children: 0xFF00 until a child with an id from 0x8000 is seen.
    static unsigned FirstMdiChildId();
    static void ResetFirstMdiChildId();

protected:
    CGVPControl* CreateSame() const override { return new CGVPControlWindowList; }
};

class CGVPControlToolbars : public CGVPControlButton {
public:
    class CGVPControlToolbar : public CGVPControlButton {
    public:
        void Execute() override;

    protected:
        CGVPControl* CreateSame() const override { return new CGVPControlToolbar; }
    };
    void OnCalcDynamicSize(int mode) override;

protected:
    CGVPControl* CreateSame() const override { return new CGVPControlToolbars; }
};

// No document of this system holds embedded objects: the placeholder only hides itself.
class CGVPControlOleItems : public CGVPControlButton {
public:
    void OnCalcDynamicSize(int mode) override;

protected:
    CGVPControl* CreateSame() const override { return new CGVPControlOleItems; }
};

class CGVPControlRecentFileList : public CGVPControlButton {
public:
    // Lists the recent files of the bars it belongs to (CGVPCommandBars::SetRecentFiles).
    void OnCalcDynamicSize(int mode) override;
    // The name shown for a path: relative to the current directory when it lies in it, with
    // every '&' doubled.
    static QString DisplayName(const QString& path, const QString& currentDir);

protected:
    CGVPControl* CreateSame() const override { return new CGVPControlRecentFileList; }
};
