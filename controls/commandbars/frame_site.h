// What the bars need of the frame they serve. The frame bases implement it; a bar reaches its
// frame only through this interface.
#pragma once

#include "controls/commandbars/resources.h"
#include "platform/qt/command_target.h"

#include <QString>

class QWidget;
class QMdiArea;
class CGVPCommandBar;
class CGVPControl;
class CGVPPopupBar;
class CGVPToolBar;
struct GVPMenu;

// The frame may supply its own control for a menu item or a toolbar button.
struct GVP_CREATE_CONTROL_INFO {
    unsigned nID = 0;
    CGVPControl* pControl = nullptr; // out: created by the frame (one reference handed over)
    bool bToolBar = false;
    int nIndex = 0;
    const GVPMenu* pMenu = nullptr;
    CGVPCommandBar* pCommandBar = nullptr;
    QString strCaption;
    int controlType = 1;
};

// Asked before a bar is used: a popup request may answer a popup bar of its own.
struct GVP_CREATE_COMMANDBAR_INFO {
    CGVPCommandBar* pCommandBar = nullptr; // out for popups (one reference handed over)
    bool bPopup = false;
    bool bExpandBar = false;
    bool bToolBar = false;
    bool bTearOffBar = false;
    QString strCaption;
    unsigned nID = 0;
};

class CGVPFrameSite : public platform::qt::CommandTarget {
public:
    virtual QWidget* SiteWindow() = 0;
    // Answers true when the record was filled.
    virtual bool OnCreateControl(GVP_CREATE_CONTROL_INFO&) { return false; }
    virtual bool OnCreateCommandBar(GVP_CREATE_COMMANDBAR_INFO&) { return false; }
    // A control was executed: the notification, then the plain command when the result is 0.
    virtual long OnExecuteControl(unsigned id, CGVPControl* control) {
        return platform::qt::ExecuteControlCommand(*this, id, control);
    }
    virtual void RecalcLayout() {}
    virtual void DelayRecalcLayout() { RecalcLayout(); }
    // The status line: a control's description, or the idle message with an empty text.
    virtual void SetMessageText(const QString&) {}
    virtual const GVPAcceleratorTable* GetAccelerators() const { return nullptr; }
    // The document template id of the active child's document; 0 when there is none.
    virtual unsigned ActiveTemplateId() const { return 0; }
    virtual QMdiArea* MdiClient() const { return nullptr; }
};
