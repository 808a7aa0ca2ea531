// A main frame with the menu bar and a "Standard" toolbar on real widgets, the classic palette
// and a fixed font; commands and notifications the frame receives are recorded.
#pragma once

#include "controls/commandbars/command_bars.h"
#include "controls/commandbars/controls.h"
#include "controls/commandbars/frame.h"
#include "controls/commandbars/menu_bar.h"
#include "controls/commandbars/popup_bar.h"
#include "controls/commandbars/tool_bar.h"
#include "tests/controls/commandbars/paint_fixture.h"

#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <functional>
#include <set>
#include <vector>

namespace barstest {

enum : unsigned {
    ID_NEW = 101,
    ID_OPEN = 102,
    ID_SAVE = 103,
    ID_DISABLED = 104,
    ID_CHECKED = 105,
    ID_SUB_A = 106,
    ID_SUB_B = 107,
    ID_EDIT_UNDO = 201,
    ID_EDIT_FIND = 202,
    ID_VIEW_STATUS = 301,
    ID_TOOLS_1 = 401,
};

class TestFrame : public CGVPMDIFrameWnd {
public:
    std::vector<unsigned> commands;
    std::vector<unsigned> notifications;
    std::set<unsigned> handled{ID_NEW,   ID_OPEN,      ID_SAVE,      ID_CHECKED,     ID_SUB_A,
                               ID_SUB_B, ID_EDIT_UNDO, ID_EDIT_FIND, ID_VIEW_STATUS, ID_TOOLS_1};
    // Notification handlers answer this result for their ids.
    std::map<unsigned, long> notifyResults;
    std::function<void(unsigned)> onCommand;
    std::function<bool(GVP_CREATE_CONTROL_INFO&)> createControl;

    bool OnCommand(unsigned id) override {
        if (CGVPMDIFrameWnd::OnCommand(id))
            return true;
        if (!handled.count(id))
            return false;
        commands.push_back(id);
        if (onCommand)
            onCommand(id);
        return true;
    }
    bool HasCommandHandler(unsigned id) const override {
        return handled.count(id) || CGVPMDIFrameWnd::HasCommandHandler(id);
    }
    bool OnNotify(unsigned id, platform::qt::ControlNotify& n) override {
        auto it = notifyResults.find(id);
        if (it == notifyResults.end())
            return false;
        notifications.push_back(id);
        n.result = it->second;
        return true;
    }
    bool OnUpdateCommand(unsigned id, platform::qt::CommandUi& ui) override {
        if (id == ID_CHECKED) {
            ui.SetCheck(1);
            return true;
        }
        return false;
    }
    bool OnCreateControl(GVP_CREATE_CONTROL_INFO& info) override {
        return createControl && createControl(info);
    }
};

class BarsTest : public painttest::PaintTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Key press and release through the application, as the keyboard sends them.
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier);
    void KeyPress(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier);
    void KeyRelease(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier);
    CGVPControl* MenuItem(const QString& caption) const;
    CGVPPopupBar* OpenPopup() const;
    QPoint Center(CGVPControl* c) const { return c->GetRect().center(); }
    void Idle() { platform::qt::IdleUpdater::Instance().RunNow(); }

    TestFrame* frame = nullptr;
    CGVPCommandBars* bars = nullptr;
    CGVPMenuBar* menuBar = nullptr;
    CGVPToolBar* toolBar = nullptr;
    QWidget* focus = nullptr;
};

} // namespace barstest
